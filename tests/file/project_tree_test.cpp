#include "file/project_tree.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "model/compaction_record.h"
#include "support/records.h"

namespace fs = std::filesystem;
using testdata::TempDir;

namespace {

std::vector<std::string> Texts(const std::vector<ProjectNode>& nodes) {
  std::vector<std::string> t;
  for (const auto& n : nodes) t.push_back(n.text);
  return t;
}

void Touch(const fs::path& p) { testdata::WriteBytes(p.string(), {1}); }

}  // namespace

TEST(ProjectTree, ShowsFoldersAndCompactionFilesSortedWithoutRegardToCase) {
  TempDir dir;
  const fs::path root = dir.path();
  fs::create_directories(root / "Main St/A-100/Subgrade");
  fs::create_directories(root / "county rd 9");
  fs::create_directories(root / "Zeta");
  Touch(root / "Main St/A-100/Subgrade/7Sub.lng");
  Touch(root / "Main St/A-100/Subgrade/notes.txt");
  Touch(root / "Main St/A-100/Subgrade/8Sub.LNG");
  Touch(root / "Main St/A-100/Subgrade/lng");
  Touch(root / "Main St/A-100/Subgrade/notes.xlng");
  Touch(root / "Main St/A-100/Subgrade/10Sub.lng");
  Touch(root / "alpha.lng");

  const auto top = ScanProjectsDir(root.string());
  EXPECT_EQ(Texts(top), (std::vector<std::string>{"alpha", "county rd 9", "Main St", "Zeta"}));
  EXPECT_FALSE(top[0].isFolder);
  EXPECT_TRUE(top[1].isFolder);
  const auto& subgrade = top[2].children[0].children[0];
  EXPECT_EQ(subgrade.text, "Subgrade");
  // "lng" has no dot: an item with an empty text; notes.xlng ends in "lng" too.
  EXPECT_EQ(Texts(subgrade.children), (std::vector<std::string>{"", "10Sub", "7Sub", "notes"}));
  EXPECT_EQ(CountNodes(top), 10u);
  // Each item keeps the entry's own name, which the shown text may not tell.
  std::vector<std::string> names;
  for (const auto& n : subgrade.children) names.push_back(n.name);
  EXPECT_EQ(names, (std::vector<std::string>{"lng", "10Sub.lng", "7Sub.lng", "notes.xlng"}));
  EXPECT_EQ(top[2].name, "Main St");
}

TEST(ProjectTree, MissingUnreadableAndLoopingFolders) {
  TempDir dir;
  EXPECT_TRUE(ScanProjectsDir((dir.path() / "none").string()).empty());
  Touch(dir.path() / "file");
  EXPECT_TRUE(ScanProjectsDir((dir.path() / "file").string()).empty());

  fs::create_directories(dir.path() / "P/T");
  fs::create_directory_symlink(dir.path() / "P", dir.path() / "P/T/back");
  const auto top = ScanProjectsDir(dir.path().string());
  ASSERT_EQ(Texts(top), (std::vector<std::string>{"P"}));  // a plain file is not a compaction file
  // The link back up is shown once, not entered again.
  const auto& t = top[0];
  ASSERT_EQ(t.children.size(), 1u);
  ASSERT_EQ(t.children[0].children.size(), 1u);
  EXPECT_EQ(t.children[0].children[0].text, "back");
  EXPECT_TRUE(t.children[0].children[0].children.empty());

  // A link across to another folder of the tree shows its contents, and so does the folder
  // itself, whichever of the two is listed first.
  fs::create_directories(dir.path() / "Z/Sub");
  Touch(dir.path() / "Z/Sub/7Sub.lng");
  fs::create_directory_symlink(dir.path() / "Z/Sub", dir.path() / "P/A-link");
  const auto again = ScanProjectsDir(dir.path().string());
  ASSERT_EQ(Texts(again), (std::vector<std::string>{"P", "Z"}));
  ASSERT_EQ(Texts(again[0].children), (std::vector<std::string>{"A-link", "T"}));
  EXPECT_EQ(Texts(again[0].children[0].children), (std::vector<std::string>{"7Sub"}));
  ASSERT_EQ(Texts(again[1].children), (std::vector<std::string>{"Sub"}));
  EXPECT_EQ(Texts(again[1].children[0].children), (std::vector<std::string>{"7Sub"}));
}

TEST(ProjectTree, DeepAndWideFolders) {
  TempDir dir;
  fs::path p = dir.path();
  for (int i = 0; i < 200; ++i) p /= "d";
  fs::create_directories(p);
  Touch(p / "1Sub.lng");
  auto top = ScanProjectsDir(dir.path().string());
  int depth = 0;
  const std::vector<ProjectNode>* level = &top;
  while (!level->empty() && (*level)[0].isFolder) {
    level = &(*level)[0].children;
    ++depth;
  }
  EXPECT_EQ(depth, 200);
  ASSERT_EQ(level->size(), 1u);
  EXPECT_EQ((*level)[0].text, "1Sub");

  TempDir wide;
  for (int i = 0; i < 10000; ++i) Touch(wide.path() / (std::to_string(i) + "Sub.lng"));
  top = ScanProjectsDir(wide.path().string());
  ASSERT_EQ(top.size(), 10000u);
  EXPECT_EQ(top.front().text, "0Sub");
  EXPECT_EQ(top[1].text, "1000Sub");
}

TEST(ProjectTree, FoldersOfTheRecordToOpen) {
  TempDir dir;
  fs::create_directories(dir.path() / "MAIN ST/A-100/Subgrade");
  fs::create_directories(dir.path() / "MAIN ST/Embankment");
  fs::create_directories(dir.path() / "AAA");
  const auto top = ScanProjectsDir(dir.path().string());
  CompactionRecord r;
  r.m_strProject = "MAIN ST";
  r.m_strTipNo = "A-100";
  r.m_strTestType = "Subgrade";
  EXPECT_EQ(FoldersToOpen(top, r), (std::vector<int>{1, 0, 0}));
  r.m_strTipNo.clear();
  r.m_strTestType = "Embankment";
  EXPECT_EQ(FoldersToOpen(top, r), (std::vector<int>{1, 1}));
  r.m_strProject = "main st";  // exact match only
  EXPECT_TRUE(FoldersToOpen(top, r).empty());
  r.m_strProject = "MAIN ST";
  r.m_strTipNo = "B-7";
  EXPECT_EQ(FoldersToOpen(top, r), (std::vector<int>{1}));
}
