#pragma once
// The projects directory as the tree shows it: every folder below it and every compaction
// file in those folders, siblings in alphabetical order without regard to case or accents.
// The tree, densora-cli summary and the program's export all list folders through here, so
// that the three show the same order.
#include <functional>
#include <string>
#include <vector>

class CompactionRecord;

struct ProjectNode {
  std::string text;  // what the tree shows: a folder's name; a file's name up to its last "."
  std::string name;  // the entry's own name in its folder, byte for byte as the file system has it
  bool isFolder = false;
};

// Lists one folder: its folders (links to folders among them) and compaction files, without
// entering any of them, in order of framework::AlphabeticalKey of their texts; entries whose
// keys are equal (a folder and a file of the same text, "Arzt" and "arzt") in the order of
// their names' bytes. A missing or unreadable folder gives no items.
std::vector<ProjectNode> ListFolder(const std::string& folder);

// One thing a walk of the tree meets: a folder it enters, a compaction file, or a folder below
// the top whose entries cannot be read.
struct ProjectStep {
  enum Kind { kFolder, kFile, kUnreadableFolder };
  Kind kind;
  const std::string& path;   // on disk, below the walk's top
  const std::string& shown;  // below the top, each name as the tree shows it; empty for the top
  std::string error;         // kUnreadableFolder: the stock text of why
};

// Walks the tree below the folder `top` as it lists: each folder's entries in ListFolder's
// order, a folder's files and folders before its next sibling's. Links are followed; a folder
// reached a second time (the same device and inode) is not entered again, so a looping link
// ends. `visit` hears of each folder as it is entered (the top first), each file, and each
// folder whose entries cannot be read (not entered); when it returns false the walk ends
// there. Returns false when `visit` ended it. The top itself is not checked: a missing top
// gives no step.
bool WalkProjectTree(const std::string& top,
                     const std::function<bool(const ProjectStep& step)>& visit);

// Reads the compaction file at `path` into `record` as the program opens one (a file larger
// than a document is read, or empty, is refused as not a compaction file). Returns the
// message the program would show when it cannot, or the empty text; `record` may then be
// partly filled.
std::string ReadCompactionFile(const std::string& path, CompactionRecord& record);

// The record's folders from the top level down, the one rule for saving and showing them:
// the Project, the T.I.P. No. unless it is empty or only blanks, then the Test Type (names
// in UTF-8). A record without a Project has none.
std::vector<std::string> RecordFolderTexts(const CompactionRecord& record);
