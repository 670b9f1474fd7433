// The file-system operations on Windows: every path is UTF-8 inside the program and UTF-16 at
// the system's calls, a long one in the form that lifts the 260-character limit.
#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cwchar>
#include <ostream>
#include <random>
#include <vector>

#include "framework/file_io.h"
#include "framework/write_buffer.h"

namespace framework {

namespace {

std::wstring WideOf(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8Of(const wchar_t* wide) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

// The path as the system's wide calls take it. Past the old limit of 260 characters the
// path is made absolute and given the \\?\ prefix, which the system takes at any length
// (it then resolves no "." or "..", which the full path already has).
std::wstring SystemPath(const std::string& path) {
  std::wstring wide = WideOf(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  if (wide.size() < MAX_PATH - 12 || wide.starts_with(L"\\\\?\\")) return wide;
  const DWORD need = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (need == 0) return wide;
  std::wstring full(need, L'\0');
  const DWORD got = ::GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
  full.resize(got);
  if (full.starts_with(L"\\\\?\\")) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

CFileException::Cause CauseFromWin32(DWORD err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return CFileException::fileNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
    case ERROR_CANT_RESOLVE_FILENAME:
      return CFileException::badPath;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
      return CFileException::accessDenied;
    case ERROR_TOO_MANY_OPEN_FILES:
      return CFileException::tooManyOpenFiles;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return CFileException::sharingViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return CFileException::diskFull;
    default:
      return CFileException::generic;
  }
}

[[noreturn]] void ThrowLastError(const std::string& path) {
  throw CFileException(CauseFromWin32(::GetLastError()), path);
}

// A handle closed when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE h) : m_h(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_h; }
  bool Close() {
    if (!Valid()) return true;
    const bool ok = ::CloseHandle(m_h) != 0;
    m_h = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE m_h;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle to what `path` leads to, links followed, that reads nothing: enough to ask
// what it is. Folders open too.
HANDLE OpenToLookAt(const std::wstring& path) {
  return ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

DWORD AttributesOf(const std::string& path) {
  return ::GetFileAttributesW(SystemPath(path).c_str());
}

}  // namespace

EntryKind KindOf(const std::string& path) {
  Handle h(OpenToLookAt(SystemPath(path)));
  if (!h.Valid()) {
    // A file held open without sharing still is a file.
    const DWORD attrs = AttributesOf(path);
    if (attrs == INVALID_FILE_ATTRIBUTES) return EntryKind::kNothing;
    return (attrs & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile;
  }
  if (::GetFileType(h.Get()) != FILE_TYPE_DISK) return EntryKind::kOther;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h.Get(), &info)) return EntryKind::kOther;
  return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile;
}

EntryKind KindAt(const std::string& path) {
  const DWORD attrs = AttributesOf(path);
  if (attrs == INVALID_FILE_ATTRIBUTES) return EntryKind::kNothing;
  if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::kOther;
  return KindOf(path);
}

bool IsSpecialFile(const std::string& path) {
  const EntryKind kind = KindOf(path);
  return kind == EntryKind::kFolder || kind == EntryKind::kOther;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  if (IsSpecialFile(path)) throw CFileException(CFileException::notRegularFile, path);
  Handle h(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) ThrowLastError(path);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(h.Get(), &size)) ThrowLastError(path);
  if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
    throw CFileException(CFileException::tooLarge, path);
  }
  std::vector<unsigned char> bytes;
  bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  unsigned char buf[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(h.Get(), buf, sizeof buf, &got, nullptr)) ThrowLastError(path);
    if (got == 0) break;
    // A file that grows while it is read is held to the same bound.
    if (got > maxBytes - bytes.size()) throw CFileException(CFileException::tooLarge, path);
    bytes.insert(bytes.end(), buf, buf + got);
  }
  return bytes;
}

std::string ResolveWriteTarget(const std::string& path) {
  const DWORD attrs = AttributesOf(path);
  if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  // A link: the file it leads to, named as the system finally reaches it.
  Handle h(OpenToLookAt(SystemPath(path)));
  if (!h.Valid()) return path;
  std::array<wchar_t, 32768> final{};
  const DWORD n =
      ::GetFinalPathNameByHandleW(h.Get(), final.data(), static_cast<DWORD>(final.size()), 0);
  if (n == 0 || n >= final.size()) throw CFileException(CFileException::badPath, path);
  std::wstring target(final.data(), n);
  if (target.starts_with(L"\\\\?\\UNC\\")) {
    target = L"\\\\" + target.substr(8);
  } else if (target.starts_with(L"\\\\?\\")) {
    target = target.substr(4);
  }
  return Utf8Of(target.c_str());
}

namespace {

// The temporary file of the replacement under way, for the console's end handler to remove.
wchar_t g_unfinished[32768];
std::atomic<bool> g_hasUnfinished{false};

void TrackUnfinished(const std::wstring& tmp) {
  g_hasUnfinished = false;
  if (tmp.size() >= std::size(g_unfinished)) return;
  std::wmemcpy(g_unfinished, tmp.c_str(), tmp.size() + 1);
  g_hasUnfinished = true;
}

// Writes all of `size` bytes to a file handle; the system's error, 0 when all were written.
DWORD WriteAll(HANDLE h, const char* data, std::size_t size) {
  while (size > 0) {
    DWORD put = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::WriteFile(h, data, chunk, &put, nullptr)) return ::GetLastError();
    if (put == 0) return ERROR_DISK_FULL;
    data += put;
    size -= put;
  }
  return 0;
}

// What a replaced file was besides its bytes, for the file that takes its place: who may
// read and write it (its access list, owner and group), its attributes and when it was made.
struct KeptMetadata {
  bool exists = false;
  DWORD attributes = 0;
  FILETIME created{};
  std::vector<unsigned char> security;  // a self-relative security descriptor; may stay empty
};

constexpr SECURITY_INFORMATION kOwnerAndAccess =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

KeptMetadata MetadataOf(const std::wstring& target) {
  KeptMetadata kept;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) return kept;
  kept.exists = true;
  kept.attributes = data.dwFileAttributes;
  kept.created = data.ftCreationTime;
  DWORD need = 0;
  ::GetFileSecurityW(target.c_str(), kOwnerAndAccess, nullptr, 0, &need);
  if (need > 0) {
    kept.security.resize(need);
    if (!::GetFileSecurityW(target.c_str(), kOwnerAndAccess, kept.security.data(), need, &need)) {
      kept.security.clear();
    }
  }
  return kept;
}

// The attributes a new file takes over from the one it replaces. Read-only never comes
// along (such a file is refused before), nor what the file system decides itself (folder,
// link, compression, encryption, sparseness). Archive is always set: the file has changed
// since it was last backed up.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_TEMPORARY;

// Gives the written file, still under its temporary name and closed, what the replaced file
// was. The content is what matters: where the system refuses a part (setting an owner
// needs a privilege; some file systems keep no access lists), the file keeps what it was made
// with, the folder's defaults, as a new file would.
void GiveMetadata(const std::wstring& tmp, const KeptMetadata& kept) {
  if (!kept.exists) return;
  if (!kept.security.empty()) {
    auto* descriptor =
        reinterpret_cast<PSECURITY_DESCRIPTOR>(const_cast<unsigned char*>(kept.security.data()));
    if (!::SetFileSecurityW(tmp.c_str(), kOwnerAndAccess, descriptor)) {
      ::SetFileSecurityW(tmp.c_str(), DACL_SECURITY_INFORMATION, descriptor);
    }
  }
  ::SetFileAttributesW(tmp.c_str(), (kept.attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
}

// Refuses what may not or cannot be replaced: something other than a file, a read-only
// file, and a file another program holds open without letting others write it.
void CheckReplaceable(const std::wstring& target, const std::string& path) {
  const DWORD attrs = ::GetFileAttributesW(target.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return;
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) throw CFileException(CFileException::notRegularFile, path);
  if (attrs & FILE_ATTRIBUTE_READONLY) throw CFileException(CFileException::accessDenied, path);
  Handle h(::CreateFileW(target.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) ThrowLastError(path);
  if (::GetFileType(h.Get()) != FILE_TYPE_DISK) {
    throw CFileException(CFileException::notRegularFile, path);
  }
}

}  // namespace

bool WriteFileAtomicallyFrom(const std::string& path,
                             const std::function<bool(std::ostream&)>& produce) {
  const std::string target = ResolveWriteTarget(path);
  const std::wstring wideTarget = SystemPath(target);
  CheckReplaceable(wideTarget, path);
  const KeptMetadata kept = MetadataOf(wideTarget);
  const std::size_t cut = wideTarget.find_last_of(L'\\');
  const std::wstring folder = cut == std::wstring::npos ? L"." : wideTarget.substr(0, cut);
  // A short name of its own, so that a target name of any legal length still fits.
  std::random_device random;
  std::wstring tmp;
  HANDLE raw = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 16 && raw == INVALID_HANDLE_VALUE; ++attempt) {
    wchar_t name[32];
    std::swprintf(name, std::size(name), L"\\.densora-%08x", random());
    tmp = folder + name;
    raw = ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (raw == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (raw == INVALID_HANDLE_VALUE) {
    const DWORD err = ::GetLastError();
    throw CFileException(
        err == ERROR_PATH_NOT_FOUND ? CFileException::badPath : CauseFromWin32(err), path);
  }
  TrackUnfinished(tmp);
  Handle h(raw);
  auto abandon = [&](DWORD err) {
    h.Close();
    ::DeleteFileW(tmp.c_str());
    g_hasUnfinished = false;
    return CFileException(CauseFromWin32(err), path);
  };
  HANDLE written = h.Get();
  WriteBuffer buffer(
      [written](const char* data, std::size_t size) { return WriteAll(written, data, size); });
  bool finished = false;
  try {
    std::ostream out(&buffer);
    finished = produce(out);
    out.flush();
  } catch (...) {
    h.Close();
    ::DeleteFileW(tmp.c_str());
    g_hasUnfinished = false;
    throw;
  }
  if (!finished) {
    h.Close();
    ::DeleteFileW(tmp.c_str());
    g_hasUnfinished = false;
    return false;
  }
  if (buffer.FirstError() != 0) throw abandon(buffer.FirstError());
  // The replaced file's creation time; its writes, all done, no longer change it.
  if (kept.exists) ::SetFileTime(h.Get(), &kept.created, nullptr, nullptr);
  if (!::FlushFileBuffers(h.Get())) throw abandon(::GetLastError());
  if (!h.Close()) throw abandon(::GetLastError());
  GiveMetadata(tmp, kept);
  if (!::MoveFileExW(tmp.c_str(), wideTarget.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw abandon(::GetLastError());
  }
  g_hasUnfinished = false;
  return true;
}

void RemoveUnfinishedFile() noexcept {
  if (g_hasUnfinished) ::DeleteFileW(g_unfinished);
}

std::vector<FolderEntry> ReadFolder(const std::string& folder) {
  std::vector<FolderEntry> out;
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = SystemPath(folder) + L"\\*";
  HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return out;
  do {
    FolderEntry entry;
    entry.name = Utf8Of(found.cFileName);
    if (entry.name == "." || entry.name == ".." || entry.name.empty()) continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      // A link: what it leads to.
      const EntryKind kind = KindOf(folder + "\\" + entry.name);
      entry.isFolder = kind == EntryKind::kFolder;
      entry.isFile = kind == EntryKind::kFile;
    } else {
      entry.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      entry.isFile = !entry.isFolder;
    }
    out.push_back(std::move(entry));
  } while (::FindNextFileW(find, &found));
  ::FindClose(find);
  return out;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  Handle h(OpenToLookAt(SystemPath(path)));
  if (!h.Valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h.Get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

void CheckFolder(const std::string& folder) {
  const DWORD attrs = AttributesOf(folder);
  if (attrs == INVALID_FILE_ATTRIBUTES) ThrowLastError(folder);
  if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) throw CFileException(CFileException::notFolder, folder);
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = SystemPath(folder) + L"\\*";
  HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) ThrowLastError(folder);
  ::FindClose(find);
}

bool CanEnter(const std::string& folder) { return KindOf(folder) == EntryKind::kFolder; }

bool MakeFolder(const std::string& folder) {
  return ::CreateDirectoryW(SystemPath(folder).c_str(), nullptr) != 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return ::MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING) != 0;
}

bool RemoveFile(const std::string& path) {
  const std::wstring wide = SystemPath(path);
  const DWORD attrs = ::GetFileAttributesW(wide.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
    return ::RemoveDirectoryW(wide.c_str()) != 0;
  }
  return ::DeleteFileW(wide.c_str()) != 0;
}

void DeleteTree(const std::string& path) {
  const std::wstring wide = SystemPath(path);
  const DWORD attrs = ::GetFileAttributesW(wide.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) ThrowLastError(path);
  auto fail = [&path] {
    const DWORD err = ::GetLastError();
    const CFileException::Cause cause = CauseFromWin32(err);
    throw CFileException(cause, cause == CFileException::fileNotFound ? path : "");
  };
  if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
    // A link to a folder is removed as a link; a folder loses what is inside it first.
    if (!(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
      for (const FolderEntry& e : ReadFolder(path)) DeleteTree(path + "\\" + e.name);
    }
    if (!::RemoveDirectoryW(wide.c_str())) fail();
    return;
  }
  // A read-only file stays, as a read-only file must.
  if (attrs & FILE_ATTRIBUTE_READONLY) throw CFileException(CFileException::accessDenied, "");
  if (!::DeleteFileW(wide.c_str())) fail();
}

}  // namespace framework
