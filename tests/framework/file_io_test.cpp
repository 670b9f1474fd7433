// The file system as a user's folders present it on every system: names in any script,
// paths past 260 characters, files that may not be replaced.
#include "framework/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/records.h"

#ifdef _WIN32
#include <windows.h>
// after windows.h
#include <sddl.h>
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

TEST(FileIo, AReplacedFileKeepsItsAttributesCreationTimeAndAccessList) {
#ifdef _WIN32
  testdata::TempDir dir;
  const std::string file = dir / "7Sub.lng";
  testdata::WriteBytes(file, {1, 2, 3});
  const std::wstring wide = framework::PathFromUtf8(file).wstring();
  // An access list of its own, not inherited from the folder: everyone may read, the
  // administrators do everything.
  const wchar_t* kAccess = L"D:P(A;;FR;;;WD)(A;;FA;;;BA)";
  PSECURITY_DESCRIPTOR given = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(kAccess, SDDL_REVISION_1,
                                                                     &given, nullptr));
  ASSERT_TRUE(::SetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, given));
  ::LocalFree(given);
  constexpr DWORD kSet = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), kSet));
  const FILETIME made{0x2a0f8000u, 0x01c0f5a1u};  // a spring day of 2001
  {
    HANDLE h = ::CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(::SetFileTime(h, &made, nullptr, nullptr));
    ::CloseHandle(h);
  }
  auto accessOf = [&wide] {
    DWORD need = 0;
    ::GetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &need);
    std::vector<unsigned char> sd(need);
    if (need == 0 ||
        !::GetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, sd.data(), need, &need)) {
      return std::wstring();
    }
    wchar_t* text = nullptr;
    if (!::ConvertSecurityDescriptorToStringSecurityDescriptorW(
            sd.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
      return std::wstring();
    }
    std::wstring out(text);
    ::LocalFree(text);
    return out;
  };
  // Wine keeps neither a creation time nor an access list that is set (it shows the time the
  // file was made and an access list drawn from the Unix permissions), nor the not-indexed
  // attribute: what a system does not keep is not asked of a save either.
  const DWORD attrsBefore = ::GetFileAttributesW(wide.c_str());
  ASSERT_TRUE(attrsBefore & FILE_ATTRIBUTE_HIDDEN);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data));
  const bool keepsTimes = ::CompareFileTime(&data.ftCreationTime, &made) == 0;
  const std::wstring accessBefore = accessOf();
  const bool keepsAccess = accessBefore.starts_with(L"D:P(");  // protected, as it was set

  framework::WriteFileAtomically(file, {9});

  EXPECT_EQ(framework::ReadWholeFile(file), Bytes{9});
  const DWORD attrs = ::GetFileAttributesW(wide.c_str());
  EXPECT_EQ(attrs & kSet, attrsBefore & kSet);
  EXPECT_TRUE(attrs & FILE_ATTRIBUTE_ARCHIVE) << "a changed file awaits its next backup";
  ASSERT_TRUE(::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data));
  if (keepsTimes) {
    EXPECT_EQ(::CompareFileTime(&data.ftCreationTime, &made), 0);
  }
  if (keepsAccess) {
    EXPECT_EQ(accessOf(), accessBefore);
  }
  EXPECT_EQ(framework::ReadFolder(dir.path().string()).size(), 1u);  // no temporary file left
#else
  GTEST_SKIP() << "attributes, creation times and access lists of Windows files";
#endif
}

// A person reads paths with the system's own separator; the program joins names with "/".
TEST(FileIo, MessagesShowPathsWithTheSystemsSeparator) {
  const std::string joined = "C:/Densora/MAIN ST/A-100/7Sub.lng";
#ifdef _WIN32
  const std::string shown = "C:\\Densora\\MAIN ST\\A-100\\7Sub.lng";
#else
  const std::string shown = joined;
#endif
  testdata::TempDir dir;
  const std::string missing = framework::Utf8FromPath(dir.path()) + "/none/7Sub.lng";
  std::string refusal;
  try {
    framework::WriteFileAtomically(missing, {9});
  } catch (const CFileException& e) {
    refusal = e.ErrorText();
  }
  const struct {
    std::string message, expected;
  } rows[] = {
      {CFileException(CFileException::fileNotFound, joined).ErrorText(), shown + " was not found."},
      {framework::FormatPathStock("%1 already exists.", joined), shown + " already exists."},
      {refusal, framework::ShownPath(missing) + " contains an invalid path."},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.message, row.expected);
#ifdef _WIN32
    EXPECT_EQ(row.message.find('/'), std::string::npos) << row.message;
#endif
  }
}
