#include "framework/file_io.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <ostream>

#include "framework/prompt.h"

namespace framework {

CFileException::CFileException(Cause cause, std::string path)
    : std::runtime_error("file error"), m_cause(cause), m_strFileName(std::move(path)) {}

CFileException::Cause CFileException::CauseFromErrno(int err) {
  switch (err) {
    case ENOENT:
      return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EISDIR:
      return badPath;
    case EACCES:
    case EPERM:
    case EROFS:
      return accessDenied;
    case EMFILE:
    case ENFILE:
      return tooManyOpenFiles;
    case ETXTBSY:
    case EBUSY:
      return sharingViolation;
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT  // a user's disk quota; Windows' C library has none
    case EDQUOT:
#endif
      return diskFull;
    default:
      return generic;
  }
}

std::string CFileException::ErrorText() const {
  const std::string name = m_strFileName.empty() ? stock::kUnnamedFile : ShownPath(m_strFileName);
  switch (m_cause) {
    case fileNotFound:
      return FormatStock(stock::kNotFound, name);
    case badPath:
      return FormatStock(stock::kInvalidPath, name);
    case accessDenied:
      return FormatStock(stock::kAccessDenied, name);
    case tooManyOpenFiles:
      return stock::kTooManyOpenFiles;
    case sharingViolation:
      return FormatStock(stock::kSharingViolation, name);
    case diskFull:
      return FormatStock(stock::kDiskFull, name);
    case notRegularFile:
      return FormatStock(stock::kNotRegularFile, name);
    case tooLarge:
      return FormatStock(stock::kTooLarge, name);
    case notFolder:
      return FormatStock(stock::kNotFolder, name);
    case none:
    case generic:
      break;
  }
  return FormatStock(stock::kGenericFileError, name);
}

void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes) {
  WriteFileAtomicallyFrom(path, [&bytes](std::ostream& out) {
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return true;
  });
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
  // The file system's own bytes, whatever their encoding: a name is never converted.
  return std::filesystem::path(utf8);
#endif
}

std::string Utf8FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
#else
  return path.string();
#endif
}

std::string ShownPath(const std::string& path) {
#ifdef _WIN32
  std::string shown = path;
  std::replace(shown.begin(), shown.end(), '/', '\\');
  return shown;
#else
  return path;
#endif
}

std::string FormatPathStock(const std::string& text, const std::string& path) {
  return FormatStock(text, ShownPath(path));
}

bool IsPortableName(const std::string& name) {
  if (name.empty()) return true;
  for (const unsigned char c : name) {
    if (c < 0x20 ||
        std::string_view(":*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
  }
  if (name.back() == '.' || name.back() == ' ') return false;
  // A device name stays a device whatever extension follows it ("NUL.lng", "con .txt").
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return false;
  const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                        stem[3] >= '1' && stem[3] <= '9';
  return !numbered;
}

std::optional<FileState> StateOf(const std::string& path) {
  namespace fs = std::filesystem;
  using namespace std::chrono;
  std::error_code ec;
  const fs::path p = PathFromUtf8(path);
  const fs::file_status status = fs::status(p, ec);
  if (ec || !fs::exists(status)) return std::nullopt;
  // A folder's own size says nothing on some systems; its time tells of its entries.
  const std::uintmax_t size = fs::is_regular_file(status) ? fs::file_size(p, ec) : 0;
  if (ec) return std::nullopt;
  const fs::file_time_type written = fs::last_write_time(p, ec);
  if (ec) return std::nullopt;
  const auto since = file_clock::to_sys(written).time_since_epoch();
  const auto sec = floor<seconds>(since);
  return FileState{static_cast<std::int64_t>(size), static_cast<std::int64_t>(sec.count()),
                   static_cast<std::int64_t>(duration_cast<nanoseconds>(since - sec).count())};
}

std::optional<std::string> CanonicalPath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::canonical(PathFromUtf8(path), ec);
  if (ec) return std::nullopt;
  return Utf8FromPath(canonical);
}

std::optional<std::string> NormalPath(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path normal = fs::weakly_canonical(fs::absolute(PathFromUtf8(path), ec), ec);
  if (ec) return std::nullopt;
  return Utf8FromPath(normal);
}

bool LiesWithin(const std::string& path, const std::string& folder) {
  const std::filesystem::path p = PathFromUtf8(path), f = PathFromUtf8(folder);
  return std::mismatch(f.begin(), f.end(), p.begin(), p.end()).first == f.end();
}

std::string FileNameOf(const std::string& path) {
  return Utf8FromPath(PathFromUtf8(path).filename());
}

std::string FolderOf(const std::string& path) {
  return Utf8FromPath(PathFromUtf8(path).parent_path());
}

std::string ExtensionOf(const std::string& path) {
  return Utf8FromPath(PathFromUtf8(path).extension());
}

bool IsRootedPath(const std::string& path) {
  if (path.empty()) return false;
  if (path.front() == '/' || path.front() == '\\') return true;
  const unsigned char drive = static_cast<unsigned char>(path.front());
  return path.size() >= 2 && path[1] == ':' &&
         ((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z'));
}

}  // namespace framework
