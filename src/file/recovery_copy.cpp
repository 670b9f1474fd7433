#include "file/recovery_copy.h"

#include <cstdint>
#include <utility>

#include "framework/archive.h"
#include "framework/codepage.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "model/messages.h"

namespace recovery {

namespace {

using framework::AfxMessageBox;
using framework::MsgAnswer;
using framework::MsgButtons;
using framework::MsgIcon;

constexpr const char* kTag = "Densora recovery copy";
constexpr std::int32_t kLayout = 1;
// A record and the stamp's bytes, each bounded like any file the program reads, and a path.
constexpr std::size_t kMaxCopyBytes = 2 * framework::CDocument::kMaxFileBytes + (1u << 16);

// Keeps the first message shown while it exists instead of showing it, then gives the
// prompt back.
class MessageKeeper : public framework::Prompt {
 public:
  MessageKeeper() : m_previous(framework::GetPrompt()) { framework::SetPrompt(this); }
  ~MessageKeeper() override { framework::SetPrompt(&m_previous); }
  MessageKeeper(const MessageKeeper&) = delete;
  MessageKeeper& operator=(const MessageKeeper&) = delete;
  MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon) override {
    if (m_text.empty()) m_text = text;
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
  }
  const std::string& Text() const { return m_text; }

 private:
  framework::Prompt& m_previous;
  std::string m_text;
};

// What reading a copy found.
enum class Reading {
  kRead,        // the record is in the document
  kUnreadable,  // the copy is damaged, or no recovery copy at all
  kNewer,       // a newer Densora wrote it, in a layout this one does not know
};

// Reads a copy into `doc` (record, unit system, stamp) and its document path into `path`.
// When it is not read, `problem` holds the reader's message; nothing is shown.
Reading Decode(const std::vector<unsigned char>& bytes, CDensoraDoc& doc, std::string& path,
               std::string& problem) {
  std::int32_t units = kEnglish;
  framework::FileStamp stamp;
  std::size_t header = 0;
  try {
    framework::CArchive ar(bytes.data(), bytes.size());
    if (ar.ReadString() != kTag) {
      problem = msg::kNotCompactionFile;
      return Reading::kUnreadable;
    }
    const std::int32_t layout = ar.ReadInt32();
    if (layout != kLayout) {
      problem = layout > kLayout ? msg::kNeedsUpdate : framework::stock::kUnexpectedFormat;
      return layout > kLayout ? Reading::kNewer : Reading::kUnreadable;
    }
    path = ar.ReadString();
    units = ar.ReadInt32();
    stamp.Serialize(ar);
    header = ar.Position();
  } catch (const framework::CArchiveException&) {
    problem = framework::stock::kUnexpectedFormat;
    return Reading::kUnreadable;
  }
  // The record is read as any file is; its message is kept rather than shown.
  const auto record = bytes.begin() + static_cast<std::ptrdiff_t>(header);
  MessageKeeper keeper;
  if (!doc.OnOpenImage(std::vector<unsigned char>(record, bytes.end()))) {
    problem = keeper.Text();
    // A record of a newer file version: a newer Densora wrote the copy.
    return problem == msg::kNeedsUpdate ? Reading::kNewer : Reading::kUnreadable;
  }
  doc.m_nUnits = units == kMetric ? kMetric : kEnglish;
  doc.SetStamp(std::move(stamp));
  return Reading::kRead;
}

// How the question names the test: its path, or "Untitled" with its Project and Test No.
std::string TestName(const std::string& path, const CompactionRecord& record) {
  if (!path.empty()) return framework::ShownPath(path);
  std::string details;
  auto add = [&details](const char* label, const std::string& text) {
    if (text.empty()) return;
    details += (details.empty() ? " (" : ", ") + std::string(label) + framework::Cp1252ToUtf8(text);
  };
  add("Project ", record.m_strProject);
  add("Test No. ", record.m_strTestNo);
  return "Untitled" + details + (details.empty() ? "" : ")");
}

}  // namespace

std::vector<unsigned char> Encode(CDensoraDoc& doc) {
  std::vector<unsigned char> bytes;
  framework::CArchive ar(&bytes);
  ar.WriteString(kTag);
  ar.WriteInt32(kLayout);
  ar.WriteString(doc.GetPathName());
  ar.WriteInt32(doc.m_nUnits);
  framework::FileStamp stamp = doc.Stamp();
  stamp.Serialize(ar);
  doc.Serialize(ar);
  return bytes;
}

Offer OfferLeftCopy(const std::string& copyPath, CDensoraDoc& doc) {
  if (framework::KindOf(copyPath) == framework::EntryKind::kNothing) return Offer::kNone;
  CDensoraDoc left;
  std::string path, problem;
  Reading reading = Reading::kUnreadable;
  try {
    reading = Decode(framework::ReadWholeFile(copyPath, kMaxCopyBytes), left, path, problem);
  } catch (const framework::CFileException& e) {
    problem = e.m_cause == framework::CFileException::tooLarge ? framework::stock::kUnexpectedFormat
                                                               : e.ErrorText();
  }
  if (reading != Reading::kRead) {
    AfxMessageBox(framework::FormatPathStock(msg::kRecoveryUnreadable, copyPath) + problem,
                  MsgButtons::Ok, MsgIcon::Exclamation);
    if (reading == Reading::kNewer) return Offer::kNewer;
    // Kept for whoever can still make something of it; the next start offers nothing.
    framework::RenameFile(copyPath, copyPath + ".unreadable");
    return Offer::kSetAside;
  }
  if (AfxMessageBox(framework::FormatStock(msg::kRecoverCopy, TestName(path, left.m_record)),
                    MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
    framework::RemoveFile(copyPath);
    return Offer::kDeclined;
  }
  doc.m_record = left.m_record;
  doc.m_nUnits = left.m_nUnits;
  doc.SetStamp(left.Stamp());
  if (path.empty()) {
    doc.ClearPathName();
  } else {
    doc.SetPathName(path);
  }
  doc.SetModifiedFlag(true);
  return Offer::kRecovered;
}

}  // namespace recovery
