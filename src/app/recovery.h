#pragma once
// The recovery copy. While the record has changes that are not saved, a copy of it is kept in
// the user's state folder, so that a crash or a power cut loses at most the last seconds of
// typing; the next start offers a copy left behind. One running program per user owns the
// copy, through a lock file beside it: another neither offers, writes nor removes it.
//
// The copy is one file, written by one atomic rename: a short header (its tag, its layout
// version, the document path, the unit system and the stamp of the file last read or
// written) followed by the record in the .lng layout. One file, so that no crash between two
// writes can pair a record with another test's path, which a later Save would overwrite.
#include <QLockFile>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDensoraDoc;
class CompactionRecord;

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
  State GetState() const { return m_state; }

  // Offers a copy left behind, if this program owns it. Yes reads it into the document as a
  // modified record, with its document path or untitled, and returns true; No deletes it.
  // A copy that cannot be read, or that the reader refuses, is reported by name and moved
  // aside as *.unreadable; one a newer Densora wrote is reported and left where it is, and
  // this program then keeps no copy.
  bool OfferLeftCopy();

  // The timer's work: writes the copy of a modified record now.
  void WriteCopy();
  // The program's normal end: the copy and the lock go.
  void Exit();

  std::string CopyPath() const;
  QTimer& Timer() { return m_timer; }

  // The copy of the document's record.
  static std::vector<unsigned char> Encode(CDensoraDoc& doc);
  // What reading a copy found.
  enum class Reading {
    kRead,        // the record is in the document
    kUnreadable,  // the copy is damaged, or no recovery copy at all
    kNewer,       // a newer Densora wrote it, in a layout this one does not know
  };
  // Reads a copy into `doc` (record, unit system, stamp) and its document path into `path`.
  // When it is not read, `problem` holds the reader's message; nothing is shown.
  static Reading Decode(const std::vector<unsigned char>& bytes, CDensoraDoc& doc,
                        std::string& path, std::string& problem);
  // How the question names the test: its path, or "Untitled" with its Project and Test No.
  static std::string TestName(const std::string& path, const CompactionRecord& record);

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
