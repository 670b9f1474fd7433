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
  m_pLock = std::make_unique<QLockFile>(folder + QStringLiteral("/recovery.lock"));
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

bool CRecovery::Decode(const std::vector<unsigned char>& bytes, CDensoraDoc& doc,
                       std::string& path) {
  std::int32_t units = kEnglish;
  framework::FileStamp stamp;
  std::size_t header = 0;
  try {
    framework::CArchive ar(bytes.data(), bytes.size());
    if (ar.ReadString() != kTag) {
      AfxMessageBox(msg::kNotCompactionFile, MsgButtons::Ok, MsgIcon::Stop);
      return false;
    }
    if (ar.ReadInt32() != kLayout) {
      AfxMessageBox(msg::kNeedsUpdate, MsgButtons::Ok, MsgIcon::Stop);
      return false;
    }
    path = ar.ReadString();
    units = ar.ReadInt32();
    stamp.Serialize(ar);
    header = ar.Position();
  } catch (const framework::CArchiveException&) {
    AfxMessageBox(framework::stock::kUnexpectedFormat, MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
  }
  const auto record = bytes.begin() + static_cast<std::ptrdiff_t>(header);
  if (!doc.OnOpenImage(std::vector<unsigned char>(record, bytes.end()))) return false;
  doc.m_nUnits = units == kMetric ? kMetric : kEnglish;
  doc.SetStamp(std::move(stamp));
  return true;
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
  try {
    bytes = framework::ReadWholeFile(CopyPath(), kMaxCopyBytes);
  } catch (const framework::CFileException& e) {
    AfxMessageBox(e.m_cause == framework::CFileException::tooLarge
                      ? framework::stock::kUnexpectedFormat
                      : e.ErrorText(),
                  MsgButtons::Ok, MsgIcon::Exclamation);
    RemoveCopy();
    return false;
  }
  CDensoraDoc left;
  std::string path;
  if (!Decode(bytes, left, path) ||
      AfxMessageBox(framework::FormatStock(msg::kRecoverCopy, TestName(path, left.m_record)),
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
