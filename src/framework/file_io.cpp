#include "framework/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <filesystem>

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
    case EDQUOT:
      return diskFull;
    default:
      return generic;
  }
}

std::string CFileException::ErrorText() const {
  const std::string name = m_strFileName.empty() ? stock::kUnnamedFile : m_strFileName;
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

std::vector<unsigned char> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  // Opened without blocking, so that a pipe or device under a file's name cannot hang the
  // program; only a regular file is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw CFileException(CFileException::CauseFromErrno(errno), path);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = errno;
    const bool statFailed = st.st_mode == 0;
    ::close(fd);
    throw CFileException(statFailed ? CFileException::CauseFromErrno(err) : CFileException::badPath,
                         path);
  }
  auto tooLarge = [&] {
    ::close(fd);
    throw CFileException(CFileException::tooLarge, path);
  };
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) tooLarge();
  std::vector<unsigned char> bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  unsigned char buf[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buf, sizeof buf);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      throw CFileException(CFileException::CauseFromErrno(err), path);
    }
    if (got == 0) break;
    // A file that grows while it is read is held to the same bound.
    if (static_cast<std::size_t>(got) > maxBytes - bytes.size()) tooLarge();
    bytes.insert(bytes.end(), buf, buf + got);
  }
  ::close(fd);
  return bytes;
}

std::string ResolveWriteTarget(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path at(path);
  // The kernel gives up on a chain of 40 links; so does the save.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at.string();
    std::error_code ec;
    const fs::path next = fs::read_symlink(at, ec);
    if (ec) throw CFileException(CFileException::CauseFromErrno(ec.value()), path);
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  throw CFileException(CFileException::badPath, path);
}

namespace {

// Removes the temporary file of a failed write and reports the failure against the target.
[[noreturn]] void Abandon(int fd, const std::string& tmp, int err, const std::string& path) {
  if (fd >= 0) ::close(fd);
  ::unlink(tmp.c_str());
  throw CFileException(CFileException::CauseFromErrno(err), path);
}

// Writes all of `bytes`; 0 or the errno of the failure. A write past a file-size limit
// fails with EFBIG instead of ending the program.
int WriteAll(int fd, const std::vector<unsigned char>& bytes) {
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &previous);
  std::size_t done = 0;
  int err = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      err = put < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  ::sigaction(SIGXFSZ, &previous, nullptr);
  return err;
}

// The permissions of the written file: an existing file's own, else what the user's umask
// leaves of read and write for everyone. Refuses what may not or cannot be replaced.
mode_t TargetMode(const std::string& target, const std::string& path) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
  }
  if (!S_ISREG(st.st_mode)) throw CFileException(CFileException::notRegularFile, path);
  // A file without any write permission is read-only, even to a user the system would
  // let write it.
  if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
    throw CFileException(CFileException::accessDenied, path);
  }
  return st.st_mode & 07777;
}

}  // namespace

void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes) {
  namespace fs = std::filesystem;
  const std::string target = ResolveWriteTarget(path);
  const mode_t mode = TargetMode(target, path);
  const fs::path targetPath(target);
  const fs::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : fs::path(".");
  // A short name of its own, so that a target name of any legal length still fits.
  std::string tmp = (folder / ".densora-XXXXXX").string();
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    const int err = errno;
    throw CFileException(
        err == ENOENT ? CFileException::badPath : CFileException::CauseFromErrno(err), path);
  }
  if (::fchmod(fd, mode) != 0) Abandon(fd, tmp, errno, path);
  if (const int err = WriteAll(fd, bytes); err != 0) Abandon(fd, tmp, err, path);
  if (::fsync(fd) != 0) Abandon(fd, tmp, errno, path);
  if (::close(fd) != 0) Abandon(-1, tmp, errno, path);
  if (::rename(tmp.c_str(), target.c_str()) != 0) Abandon(-1, tmp, errno, path);
  // The new name itself reaches the disk with the folder.
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

std::vector<FolderEntry> ReadFolder(const std::string& folder) {
  std::vector<FolderEntry> out;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return out;
  while (const dirent* e = ::readdir(dir)) {
    FolderEntry entry;
    entry.name = e->d_name;
    if (entry.name == "." || entry.name == "..") continue;
    entry.isFolder = e->d_type == DT_DIR;
    entry.isFile = e->d_type == DT_REG;
    // Links, and file systems that leave the type out: ask for the entry itself.
    if (e->d_type != DT_DIR && e->d_type != DT_REG) {
      struct stat st {};
      if (::stat((folder + "/" + entry.name).c_str(), &st) == 0) {
        entry.isFolder = S_ISDIR(st.st_mode);
        entry.isFile = S_ISREG(st.st_mode);
      }
    }
    out.push_back(std::move(entry));
  }
  ::closedir(dir);
  return out;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

void CheckFolder(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) {
    throw CFileException(CFileException::CauseFromErrno(errno), folder);
  }
  if (!S_ISDIR(st.st_mode)) throw CFileException(CFileException::notFolder, folder);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) throw CFileException(CFileException::CauseFromErrno(errno), folder);
  ::closedir(dir);
}

bool CanEnter(const std::string& folder) {
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(folder.c_str(), X_OK) == 0;
}

EntryKind KindAt(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return EntryKind::kNothing;
  return S_ISDIR(st.st_mode) ? EntryKind::kFolder : EntryKind::kOther;
}

void DeleteTree(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    throw CFileException(CFileException::CauseFromErrno(errno), path);
  }
  if (S_ISDIR(st.st_mode)) {
    // The folder's own listing, links not followed: what is inside goes before the folder.
    std::vector<std::string> entries;
    DIR* dir = ::opendir(path.c_str());
    if (!dir) throw CFileException(CFileException::CauseFromErrno(errno), path);
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") entries.push_back(path + '/' += name);
    }
    ::closedir(dir);
    for (const std::string& e : entries) DeleteTree(e);
    if (::rmdir(path.c_str()) != 0) {
      const int err = errno;
      throw CFileException(CFileException::CauseFromErrno(err), err == ENOENT ? path : "");
    }
    return;
  }
  // A file without any write permission is read-only and stays, as a read-only file must.
  if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) {
    throw CFileException(CFileException::accessDenied, "");
  }
  if (::unlink(path.c_str()) != 0) {
    const int err = errno;
    throw CFileException(CFileException::CauseFromErrno(err), err == ENOENT ? path : "");
  }
}

}  // namespace framework
