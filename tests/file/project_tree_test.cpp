#include "file/project_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ranges>

#include "support/records.h"

namespace fs = std::filesystem;
using testdata::TempDir;

namespace {

void Touch(const fs::path& p) { testdata::WriteBytes(p.string(), {1}); }

std::string Shown(bool isFolder, const std::string& name, const std::string& text) {
  return (isFolder ? "folder " : "file ") + name + " as " + text;
}

}  // namespace

// One folder with every kind of name, listed in the table's order: punctuation, then digits
// one by one, then letters without regard to case or accents (a name that is not UTF-8 read
// as Windows-1252), then other scripts; equal texts in the order of the names' bytes. Only
// folders and files whose names end in "lng" are listed, a link as what it leads to.
TEST(ProjectTree, ListsAFolderInAlphabeticalOrder) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links: Windows makes them only with a privilege a user lacks";
#endif
  enum How { kFolder, kFile, kLinkToFolder, kLinkToFile, kBrokenLink };
  struct Row {
    const char* name;
    How how;
    const char* text;  // nullptr: not listed
  };
  const Row rows[] = {
      {"lng", kFile, ""},  // no dot: an empty text
      {"(old)", kFolder, "(old)"},
      {"10Sub.lng", kFile, "10Sub"},
      {"7Sub", kFolder, "7Sub"},
      {"7Sub.lng", kFile, "7Sub"},
      {"alpha.lng", kFile, "alpha"},
      {"Arzt", kFolder, "Arzt"},
      {"arzt", kFolder, "arzt"},
      {"\xC3\x84rzte", kFolder, "\xC3\x84rzte"},
      {"\xC4rzte", kFolder, "\xC3\x84rzte"},
      {"Beta", kFolder, "Beta"},
      {"b\xE9ton.lng", kFile, "b\xC3\xA9ton"},
      {"county rd 9", kFolder, "county rd 9"},
      {"\xC3\x89tude", kFolder, "\xC3\x89tude"},
      {"Fussweg", kFolder, "Fussweg"},
      {"Fu\xC3\x9Fweg", kFolder, "Fu\xC3\x9Fweg"},
      {"Futter.lng", kFile, "Futter"},
      {"link.lng", kLinkToFile, "link"},
      {"link to P", kLinkToFolder, "link to P"},
      {"notes.xlng", kFile, "notes"},
      {"Zeta", kFolder, "Zeta"},
      {"\xCE\xA9mega", kFolder, "\xCE\xA9mega"},
      {"notes.txt", kFile, nullptr},
      {"8Sub.LNG", kFile, nullptr},
      {"gone.lng", kBrokenLink, nullptr},
  };
  TempDir dir;
  const fs::path folder = dir.path() / "folder";
  fs::create_directories(folder);
  fs::create_directory(dir.path() / "P");
  Touch(dir.path() / "7Sub.lng");
  // Made in the reverse of the expected order, so that no folder gives it for nothing.
  for (const Row& row : std::views::reverse(rows)) {
    const fs::path p = folder / row.name;
    switch (row.how) {
      case kFolder:
        fs::create_directories(p);
        break;
      case kFile:
        Touch(p);
        break;
      case kLinkToFolder:
        fs::create_directory_symlink(dir.path() / "P", p);
        break;
      case kLinkToFile:
        fs::create_symlink(dir.path() / "7Sub.lng", p);
        break;
      case kBrokenLink:
        fs::create_symlink(dir.path() / "gone", p);
        break;
    }
  }
  std::vector<std::string> expected;
  for (const Row& row : rows) {
    const bool isFolder = row.how == kFolder || row.how == kLinkToFolder;
    if (row.text) expected.push_back(Shown(isFolder, row.name, row.text));
  }
  std::vector<std::string> listed;
  for (const ProjectNode& n : ListFolder(folder.string()))
    listed.push_back(Shown(n.isFolder, n.name, n.text));
  EXPECT_EQ(listed, expected);
}

TEST(ProjectTree, ListsAWideFolderWholeAndNothingWhereThereIsNoFolder) {
  TempDir dir;
  EXPECT_TRUE(ListFolder((dir.path() / "none").string()).empty());
  Touch(dir.path() / "file");
  EXPECT_TRUE(ListFolder((dir.path() / "file").string()).empty());

  for (int i = 0; i < 10000; ++i) Touch(dir.path() / (std::to_string(i) + "Sub.lng"));
  const std::vector<ProjectNode> nodes = ListFolder(dir.path().string());
  ASSERT_EQ(nodes.size(), 10000u);
  EXPECT_EQ(nodes[0].text, "0Sub");
  EXPECT_EQ(nodes[1].text, "1000Sub");
}
