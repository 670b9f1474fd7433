#include "app/recovery.h"

#include <QDir>
#include <QStandardPaths>
#include <filesystem>
#include <utility>

#include "framework/archive.h"
#include "framework/codepage.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "model/messages.h"

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

}  // namespace

CRecovery::CRecovery(CDensoraDoc& doc, std::string folder)
    : m_doc(doc), m_folder(std::move(folder)) {
  m_timer.setSingleShot(true);
  m_timer.setInterval(kDelayMs);
  QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { WriteCopy(); });
}

CRecovery::~CRecovery() {
  if (m_state != State::kIdle) m_doc.SetModifiedObserver({});
}

std::string CRecovery::DefaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdString();
}

std::string CRecovery::CopyPath() const { return m_folder + "/unsaved-test.recovery"; }

void CRecovery::SetNoteHandler(std::function<void(const std::string&)> handler) {
  m_noteHandler = std::move(handler);
  if (m_noteHandler && !m_strPendingNote.empty())
    m_noteHandler(std::exchange(m_strPendingNote, {}));
}

CRecovery::State CRecovery::TurnOff(const std::string& note) {
  m_state = State::kOff;
  m_timer.stop();
  if (!m_bNoted) {
    m_bNoted = true;
    if (m_noteHandler) {
      m_noteHandler(note);
    } else {
      m_strPendingNote = note;
    }
  }
  return m_state;
}

CRecovery::State CRecovery::Start() {
  const QString folder = QString::fromStdString(m_folder);
  const std::string off = framework::FormatStock(msg::kRecoveryOff, m_folder);
  if (m_folder.empty() || !QDir().mkpath(folder)) return TurnOff(off);
  // The lock of another program is read to see whether it still runs: a pipe in its place
  // would keep the start waiting for ever.
  const std::string lock = m_folder + "/recovery.lock";
  if (framework::IsSpecialFile(lock)) {
    return TurnOff(framework::FormatStock(msg::kRecoveryNotRegular, lock));
  }
  m_pLock = std::make_unique<QLockFile>(QString::fromStdString(lock));
  // Held for the whole run: only a lock whose program has ended is stale, however old.
  m_pLock->setStaleLockTime(0);
  if (!m_pLock->tryLock(0)) {
    const bool elsewhere = m_pLock->error() == QLockFile::LockFailedError;
    m_pLock.reset();
    if (!elsewhere) return TurnOff(off);
    TurnOff(msg::kRecoveryElsewhere);
    m_state = State::kOtherProgram;
    return m_state;
  }
  m_state = State::kOwner;
  m_doc.SetModifiedObserver([this](bool modified) { OnModifiedChanged(modified); });
  return m_state;
}

void CRecovery::OnModifiedChanged(bool modified) {
  if (!modified) {
    m_timer.stop();
    RemoveCopy();
  } else if (m_state == State::kOwner && !m_timer.isActive()) {
    m_timer.start();
  }
}

void CRecovery::RemoveCopy() {
  if (!m_pLock || !m_pLock->isLocked()) return;
  std::error_code ec;
  std::filesystem::remove(CopyPath(), ec);
}

void CRecovery::WriteCopy() {
  if (m_state != State::kOwner || !m_doc.IsModified()) return;
  // A record the reader would refuse makes no copy: the next start would refuse it too. An
  // older copy, if any, stays.
  if (m_doc.WriteRefusal()) return;
  try {
    framework::WriteFileAtomically(CopyPath(), Encode(m_doc));
  } catch (const framework::CFileException&) {
    // An older copy, if any, stays: it still holds more than nothing.
    TurnOff(framework::FormatStock(msg::kRecoveryOff, m_folder));
  }
}

void CRecovery::Exit() {
  m_timer.stop();
  RemoveCopy();
  if (m_state != State::kIdle) m_doc.SetModifiedObserver({});
  m_pLock.reset();
  m_state = State::kIdle;
}

std::vector<unsigned char> CRecovery::Encode(CDensoraDoc& doc) {
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

CRecovery::Reading CRecovery::Decode(const std::vector<unsigned char>& bytes, CDensoraDoc& doc,
                                     std::string& path, std::string& problem) {
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

std::string CRecovery::TestName(const std::string& path, const CompactionRecord& record) {
  if (!path.empty()) return path;
  std::string details;
  auto add = [&details](const char* label, const std::string& text) {
    if (text.empty()) return;
    details += (details.empty() ? " (" : ", ") + std::string(label) + framework::Cp1252ToUtf8(text);
  };
  add("Project ", record.m_strProject);
  add("Test No. ", record.m_strTestNo);
  return "Untitled" + details + (details.empty() ? "" : ")");
}

bool CRecovery::OfferLeftCopy() {
  if (m_state != State::kOwner) return false;
  std::error_code ec;
  if (!std::filesystem::exists(CopyPath(), ec)) return false;
  std::vector<unsigned char> bytes;
  CDensoraDoc left;
  std::string path, problem;
  Reading reading = Reading::kUnreadable;
  try {
    bytes = framework::ReadWholeFile(CopyPath(), kMaxCopyBytes);
    reading = Decode(bytes, left, path, problem);
  } catch (const framework::CFileException& e) {
    problem = e.m_cause == framework::CFileException::tooLarge ? framework::stock::kUnexpectedFormat
                                                               : e.ErrorText();
  }
  if (reading != Reading::kRead) {
    AfxMessageBox(framework::FormatStock(msg::kRecoveryUnreadable, CopyPath()) + problem,
                  MsgButtons::Ok, MsgIcon::Exclamation);
    if (reading == Reading::kNewer) {
      // The newer program offers it at its next start. This one keeps no copy of its own,
      // which would replace it, and lets go of the lock, so that it never removes this one.
      m_pLock.reset();
      TurnOff(framework::FormatStock(msg::kRecoveryNewer, CopyPath()));
    } else {
      // Kept for whoever can still make something of it; the next start offers nothing.
      std::filesystem::rename(CopyPath(), CopyPath() + ".unreadable", ec);
    }
    return false;
  }
  if (AfxMessageBox(framework::FormatStock(msg::kRecoverCopy, TestName(path, left.m_record)),
                    MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
    RemoveCopy();
    return false;
  }
  m_doc.m_record = left.m_record;
  m_doc.m_nUnits = left.m_nUnits;
  m_doc.SetStamp(left.Stamp());
  if (path.empty()) {
    m_doc.ClearPathName();
  } else {
    m_doc.SetPathName(path);
  }
  m_doc.SetModifiedFlag(true);
  return true;
}
