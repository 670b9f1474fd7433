#pragma once
// What other programs changed on disk, seen without their help. On a shared network folder
// (SMB, NFS, sshfs) the system reports only this computer's own changes, so a test another
// technician saved shows nowhere. The program looks instead, every few seconds and when its
// window becomes active, at the stamps (size and modification time) of what it shows: the
// folders open in the projects tree, never more, and the file of the record on screen. A
// look costs one stat per open folder and one for the file, however many tests a folder
// holds: a folder is listed again only when its stamp changed. Adding, removing or renaming
// a test changes its folder's modification time; rewriting one in place does not, and the
// tree shows no more than names.
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/file_io.h"

class CDensoraDoc;

// A folder's or file's stamp as a look found it; nullopt: nothing there, or out of reach.
struct PathState {
  std::string path;
  std::optional<framework::FileState> state;
};

// One look: planned where the window lives, read, and applied back there. Reading is the
// part that waits on the disk (one stat per path, and now and then a few hundred bytes of
// the record's file) and touches nothing else, so it may run on a thread of its own: a
// share that stops answering then holds up no window. What a change calls for (a folder
// listed, the test read again) is done where the look is applied, as the user's own
// opening would.
struct DiskLook {
  std::vector<PathState> folders;    // the folders open in the tree
  PathState record;                  // the open record's file; an empty path: none
  framework::FileState recordStamp;  // the record's stamp when the look was planned
  // The bytes the record's file held when stamped, when they are to be compared: the file
  // may have been written again within the same tick of the clock, keeping its size.
  std::optional<std::vector<unsigned char>> recordBytes;
  bool recordRewritten = false;  // found by Read: the file stands as stamped, other bytes in it

  void Read();
};

// The stamps of the folders the tree lists, each taken just before the folder is read, so
// that a change made while it is read shows in the next look.
class CFolderStamps {
 public:
  // A stamp taken sooner than this after its folder's last change cannot tell that change
  // from another one within the same tick of the file system's clock (whole seconds on an
  // sshfs share): the folder is listed again until its stamp is older.
  static constexpr std::chrono::seconds kSettleTime{2};

  // Stamps `folder` as it is now, before it is listed.
  void Take(const std::string& folder);
  // Forgets the stamp of a folder that closed or went; it is listed anew when it opens.
  void Drop(const std::string& folder) { m_stamps.erase(folder); }
  void Clear() { m_stamps.clear(); }
  // The folders of a look to list again: those whose stamp differs from the one the look
  // found, those stamped too soon after a change, and those never stamped.
  std::vector<std::string> Changed(const std::vector<PathState>& found) const;

 private:
  struct Stamp {
    std::optional<framework::FileState> state;  // nullopt: nothing there to stamp
    bool settled = true;
  };
  std::map<std::string, Stamp> m_stamps;
};

// The file of the record on screen, as another program may change it. A look compares its
// stamp with the one seen last (and, once after each open or save, its bytes with those
// read or written, which tell a change within the same tick of the clock) and acts once for
// each change:
//   - unmodified record, file changed: read again as any open reads it; a file the reader
//     refuses changes nothing. Nothing is asked: the reader's message goes into the note;
//   - modified record, file changed: nothing now; the question of Save decides;
//   - file gone (deleted, moved, out of reach): the record stays on screen, and says so.
class COpenRecordCheck {
 public:
  explicit COpenRecordCheck(CDensoraDoc& doc) : m_doc(doc) {}

  // Puts the record's file into `look`; none for a record that came from no file.
  void Plan(DiskLook& look) const;
  // Does what the look's finding calls for. A look planned before another file was read or
  // written here is out of date and does nothing. Returns the status bar's note, which
  // names the file by its name, or nothing when there is nothing to say.
  std::string Apply(const DiskLook& look);
  // Plans, reads and applies a look at once.
  std::string Look();

 private:
  CDensoraDoc& m_doc;
  // The document's stamp as this check last knew it: a new one (a save, an open) starts
  // over from what it says.
  std::string m_strStampPath;
  framework::FileState m_stampState;
  // The file's state at the last look; nullopt: it was not there.
  std::optional<framework::FileState> m_seen;
  // False while a file that stands as stamped may still have been written again within the
  // same tick of its clock: a look then compares its bytes too.
  bool m_bSettled = false;
};
