#include "app/recovery.h"

#include <QDir>
#include <QStandardPaths>
#include <utility>

#include "file/recovery_copy.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "model/messages.h"

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
  const std::string off = framework::FormatPathStock(msg::kRecoveryOff, m_folder);
  if (m_folder.empty() || !QDir().mkpath(folder)) return TurnOff(off);
  // The lock of another program is read to see whether it still runs: a pipe in its place
  // would keep the start waiting for ever.
  const std::string lock = m_folder + "/recovery.lock";
  if (framework::IsSpecialFile(lock)) {
    return TurnOff(framework::FormatPathStock(msg::kRecoveryNotRegular, lock));
  }
  m_pLock = std::make_unique<QLockFile>(QString::fromStdString(lock));
  // Held for the whole run: only a lock whose program has ended is stale, however old.
  m_pLock->setStaleLockTime(0);
  bool locked = m_pLock->tryLock(0);
#ifdef Q_OS_WIN
  // The lock names the process that took it, and a process id is soon given to another
  // process, even to this one: a lock left by a program that was ended would then look held.
  // Its holder keeps it open without letting anyone remove it, and the system closes what a
  // process held when it ends, so a lock that can be removed is held by no running program.
  if (!locked && m_pLock->error() == QLockFile::LockFailedError && m_pLock->removeStaleLockFile())
    locked = m_pLock->tryLock(0);
#endif
  if (!locked) {
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
  framework::RemoveFile(CopyPath());
}

void CRecovery::WriteCopy() {
  if (m_state != State::kOwner || !m_doc.IsModified()) return;
  // A record the reader would refuse makes no copy: the next start would refuse it too. An
  // older copy, if any, stays.
  if (m_doc.WriteRefusal()) return;
  try {
    framework::WriteFileAtomically(CopyPath(), recovery::Encode(m_doc));
  } catch (const framework::CFileException&) {
    // An older copy, if any, stays: it still holds more than nothing.
    TurnOff(framework::FormatPathStock(msg::kRecoveryOff, m_folder));
  }
}

void CRecovery::Exit() {
  m_timer.stop();
  RemoveCopy();
  if (m_state != State::kIdle) m_doc.SetModifiedObserver({});
  m_pLock.reset();
  m_state = State::kIdle;
}

bool CRecovery::OfferLeftCopy() {
  if (m_state != State::kOwner) return false;
  const recovery::Offer offer = recovery::OfferLeftCopy(CopyPath(), m_doc);
  if (offer == recovery::Offer::kNewer) {
    // The newer program offers it at its next start. This one keeps no copy of its own,
    // which would replace it, and lets go of the lock, so that it never removes this one.
    m_pLock.reset();
    TurnOff(framework::FormatPathStock(msg::kRecoveryNewer, CopyPath()));
  }
  return offer == recovery::Offer::kRecovered;
}
