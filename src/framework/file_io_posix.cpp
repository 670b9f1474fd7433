// The file-system operations on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <ostream>

#include "framework/file_io.h"
#include "framework/prompt.h"
#include "framework/write_buffer.h"

namespace framework {

bool IsSpecialFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

std::vector<unsigned char> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  // A folder, pipe, socket or device is never opened for reading: some wait for a writer,
  // some have effects of their own.
  if (IsSpecialFile(path)) throw CFileException(CFileException::notRegularFile, path);
  // Opened without blocking all the same, so that a pipe put under the name since cannot
  // hang the program; only a regular file is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int err = errno;
    throw CFileException(
        IsSpecialFile(path) ? CFileException::notRegularFile : CFileException::CauseFromErrno(err),
        path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = errno;
    const bool statFailed = st.st_mode == 0;
    ::close(fd);
    throw CFileException(
        statFailed ? CFileException::CauseFromErrno(err) : CFileException::notRegularFile, path);
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

// The temporary file of the replacement under way, for a signal handler to remove: the name
// is complete whenever the flag is set.
char g_unfinished[PATH_MAX];
volatile std::sig_atomic_t g_hasUnfinished = 0;

void TrackUnfinished(const std::string& tmp) {
  g_hasUnfinished = 0;
  if (tmp.size() >= sizeof g_unfinished) return;
  std::memcpy(g_unfinished, tmp.c_str(), tmp.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  g_hasUnfinished = 1;
}

void UntrackUnfinished() { g_hasUnfinished = 0; }

// Removes the temporary file of a failed write and reports the failure against the target.
[[noreturn]] void Abandon(int fd, const std::string& tmp, int err, const std::string& path) {
  if (fd >= 0) ::close(fd);
  ::unlink(tmp.c_str());
  UntrackUnfinished();
  throw CFileException(CFileException::CauseFromErrno(err), path);
}

// Writes all of `size` bytes; 0 or the errno of the failure. A write past a file-size limit
// fails with EFBIG instead of ending the program.
int WriteAll(int fd, const char* data, std::size_t size) {
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &previous);
  std::size_t done = 0;
  int err = 0;
  while (done < size) {
    const ssize_t put = ::write(fd, data + done, size - done);
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

bool WriteFileAtomicallyFrom(const std::string& path,
                             const std::function<bool(std::ostream&)>& produce) {
  namespace fs = std::filesystem;
  const std::string target = ResolveWriteTarget(path);
  const mode_t mode = TargetMode(target, path);
  const fs::path targetPath(target);
  const fs::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : fs::path(".");
  // A short name of its own, so that a target name of any legal length still fits.
  std::string tmp = (folder / ".densora-XXXXXX").string();
  // Made and tracked in one step as far as a signal can tell: a signal that comes meanwhile
  // waits, and its handler then finds the file to remove.
  sigset_t all, previous;
  sigfillset(&all);
  ::pthread_sigmask(SIG_BLOCK, &all, &previous);
  const int fd = ::mkstemp(tmp.data());
  const int err = errno;
  if (fd >= 0) TrackUnfinished(tmp);
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (fd < 0) {
    throw CFileException(
        err == ENOENT ? CFileException::badPath : CFileException::CauseFromErrno(err), path);
  }
  if (::fchmod(fd, mode) != 0) Abandon(fd, tmp, errno, path);
  WriteBuffer buffer([fd](const char* data, std::size_t size) { return WriteAll(fd, data, size); });
  bool finished = false;
  try {
    std::ostream out(&buffer);
    finished = produce(out);
    out.flush();
  } catch (...) {
    ::close(fd);
    ::unlink(tmp.c_str());
    UntrackUnfinished();
    throw;
  }
  if (!finished) {
    ::close(fd);
    ::unlink(tmp.c_str());
    UntrackUnfinished();
    return false;
  }
  if (buffer.FirstError() != 0) Abandon(fd, tmp, buffer.FirstError(), path);
  if (::fsync(fd) != 0) Abandon(fd, tmp, errno, path);
  if (::close(fd) != 0) Abandon(-1, tmp, errno, path);
  if (::rename(tmp.c_str(), target.c_str()) != 0) Abandon(-1, tmp, errno, path);
  UntrackUnfinished();
  // The new name itself reaches the disk with the folder.
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

void RemoveUnfinishedFile() noexcept {
  if (g_hasUnfinished != 0) ::unlink(g_unfinished);
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

namespace {

EntryKind KindFrom(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return EntryKind::kFolder;
  return S_ISREG(st.st_mode) ? EntryKind::kFile : EntryKind::kOther;
}

}  // namespace

EntryKind KindAt(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return EntryKind::kNothing;
  return KindFrom(st);
}

EntryKind KindOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return EntryKind::kNothing;
  return KindFrom(st);
}

bool MakeFolder(const std::string& folder) { return ::mkdir(folder.c_str(), 0777) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return ::remove(path.c_str()) == 0; }

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
