#pragma once
// The recovery copy. While the record has changes that are not saved, a copy of it is kept in
// the user's state folder, so that a crash or a power cut loses at most the last seconds of
// typing; the next start offers a copy left behind. One running program per user owns the
// copy, through a lock file beside it: another neither offers, writes nor removes it. The
// copy's layout, and what an offer does, are in file/recovery_copy.h.
#include <QLockFile>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

class CDensoraDoc;

class CRecovery {
 public:
  // The copy is written this long after the first edit since it was last written: at most
  // this often, and never later than this after an edit.
  static constexpr int kDelayMs = 10000;

  enum class State {
    kIdle,          // not started, or ended
    kOwner,         // this program keeps the copy
    kOtherProgram,  // another running Densora keeps it: this one keeps none
    kOff,           // the state folder cannot be written: no copy is kept
  };

  // `folder` is the per-user state folder (UTF-8). Nothing is touched before Start.
  CRecovery(CDensoraDoc& doc, std::string folder);
  // Leaves the copy where it is, as a crash would; the lock goes with the program.
  ~CRecovery();
  CRecovery(const CRecovery&) = delete;
  CRecovery& operator=(const CRecovery&) = delete;

  // The program's state folder: its local application data folder.
  static std::string DefaultFolder();

  // Receives the status bar's note when recovery is off, once: at once if it was due before.
  void SetNoteHandler(std::function<void(const std::string&)> handler);
  // Creates the folder and takes the lock; the owner follows the document's modified flag
  // from then on.
  State Start();

  // Offers a copy left behind, if this program owns it, and returns true when it was
  // recovered. One a newer Densora wrote is left where it is, and this program then keeps
  // no copy.
  bool OfferLeftCopy();

  // The timer's work: writes the copy of a modified record now.
  void WriteCopy();
  // The program's normal end: the copy and the lock go.
  void Exit();

  std::string CopyPath() const;
  QTimer& Timer() { return m_timer; }

 private:
  void OnModifiedChanged(bool modified);
  void RemoveCopy();
  // No copy is kept from now on; the note says why, once.
  State TurnOff(const std::string& note);

  CDensoraDoc& m_doc;
  std::string m_folder;
  std::unique_ptr<QLockFile> m_pLock;
  QTimer m_timer;
  State m_state = State::kIdle;
  bool m_bNoted = false;
  std::string m_strPendingNote;
  std::function<void(const std::string&)> m_noteHandler;
};
