#pragma once
// The projects directory as the tree shows it: every folder below it and every compaction
// file in those folders, siblings in alphabetical order without regard to case or accents.
// The tree, densora-cli summary and the program's export all list folders through here, so
// that the three show the same order.
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

// The record's folders from the top level down, the one rule for saving and showing them:
// the Project, the T.I.P. No. unless it is empty or only blanks, then the Test Type (names
// in UTF-8). A record without a Project has none.
std::vector<std::string> RecordFolderTexts(const CompactionRecord& record);
