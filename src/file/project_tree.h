#pragma once
// The projects directory as the tree shows it: every folder below it and every compaction
// file in those folders, siblings in alphabetical order without regard to case.
#include <string>
#include <vector>

class CompactionRecord;

struct ProjectNode {
  std::string text;  // what the tree shows: a folder's name; a file's name up to its last "."
  std::string name;  // the entry's own name in its folder, byte for byte as the file system has it
  bool isFolder = false;
  std::vector<ProjectNode> children;
};

// Lists one folder: its folders (links to folders among them) and compaction files, sorted,
// without entering any of them. A missing or unreadable folder gives no items.
std::vector<ProjectNode> ListFolder(const std::string& folder);

// The record's folders from the top level down, the one rule for saving and showing them:
// the Project, the T.I.P. No. unless it is empty or only blanks, then the Test Type (names
// in UTF-8). A record without a Project has none.
std::vector<std::string> RecordFolderTexts(const CompactionRecord& record);

// Lists `root` recursively. A missing or unreadable folder gives no items; a folder reached
// a second time through a link is not entered again.
std::vector<ProjectNode> ScanProjectsDir(const std::string& root);

// The folders to open for the current record: the Project among the top-level items, then
// (when the T.I.P. No. is not empty) the T.I.P. No. among its children, then the Test Type.
// Each level matches the field exactly; the walk stops at the first level without a match,
// and a record without a Project opens nothing.
// Returns the chain of indices from the top level down.
std::vector<int> FoldersToOpen(const std::vector<ProjectNode>& top, const CompactionRecord& record);

// Counts the items of a tree.
std::size_t CountNodes(const std::vector<ProjectNode>& nodes);
