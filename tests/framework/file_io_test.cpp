// The file system as a user's folders present it on every system: names in any script,
// paths past 260 characters, files that may not be replaced.
#include "framework/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/records.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using framework::CFileException;
using Bytes = std::vector<unsigned char>;

TEST(FileIo, NonAsciiAndLongPathsAreWrittenListedReadAndRemoved) {
  testdata::TempDir dir;
  const std::string root = framework::Utf8FromPath(dir.path());
  struct Row {
    const char* name;
    std::vector<std::string> folders;
  };
  // 40 levels of 8 characters: well past the old limit of 260 characters.
  std::vector<std::string> deep(40, "Subgrade");
  const Row rows[] = {
      {"non-ASCII",
       {"Bahnhofstra\xc3\x9f"
        "e",
        "\xe8\xa9\xa6\xe9\xa8\x93 \xc3\x85"}},
      {"longer than 260 characters", deep},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string folder = root;
    for (const std::string& name : row.folders) {
      folder += "/" + name;
      ASSERT_TRUE(framework::MakeFolder(folder)) << folder;
    }
    const std::string file = folder + "/7Sub\xc3\xa9.lng";
    const Bytes bytes = {1, 2, 3};
    framework::WriteFileAtomically(file, bytes);
    EXPECT_EQ(framework::ReadWholeFile(file), bytes);
    EXPECT_EQ(framework::KindOf(file), framework::EntryKind::kFile);
    ASSERT_TRUE(framework::StateOf(file).has_value());
    EXPECT_EQ(framework::StateOf(file)->size, 3);
    const std::vector<framework::FolderEntry> top = framework::ReadFolder(root);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].name, row.folders[0]);
    EXPECT_TRUE(top[0].isFolder);
    const std::vector<framework::FolderEntry> last = framework::ReadFolder(folder);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].name, "7Sub\xc3\xa9.lng");
    EXPECT_TRUE(last[0].isFile);
    framework::DeleteTree(root + "/" + row.folders[0]);
    EXPECT_TRUE(framework::ReadFolder(root).empty());
  }
}

TEST(FileIo, AReadOnlyFileIsRefusedAndKept) {
  testdata::TempDir dir;
  const std::string file = dir / "7Sub.lng";
  const Bytes before = {1, 2, 3};
  testdata::WriteBytes(file, before);
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  try {
    framework::WriteFileAtomically(file, {9});
    ADD_FAILURE() << "a read-only file was replaced";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.ErrorText(), "Access to " + file + " was denied.");
  }
  EXPECT_EQ(framework::ReadWholeFile(file), before);
}

TEST(FileIo, AFileHeldOpenByAnotherProgramIsRefusedAndKept) {
#ifdef _WIN32
  testdata::TempDir dir;
  const std::string file = dir / "7Sub.lng";
  const Bytes before = {1, 2, 3};
  testdata::WriteBytes(file, before);
  // Held open by another program that lets no one else write it.
  const std::wstring wide = framework::PathFromUtf8(file).wstring();
  HANDLE held = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  try {
    framework::WriteFileAtomically(file, {9});
    ADD_FAILURE() << "a file held open was replaced";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.ErrorText(), "Sharing violation while accessing " + file + ".");
  }
  ::CloseHandle(held);
  EXPECT_EQ(framework::ReadWholeFile(file), before);
  EXPECT_EQ(framework::ReadFolder(dir.path().string()).size(), 1u);  // no temporary file left
#else
  GTEST_SKIP() << "a file held open by another program: POSIX has no sharing modes";
#endif
}
