#include "framework/file_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include "framework/prompt.h"

namespace framework {

CFileException::CFileException(Cause cause, std::string path)
    : std::runtime_error("file error"), m_cause(cause), m_strFileName(std::move(path)) {}

CFileException::Cause CFileException::CauseFromErrno(int err) {
  switch (err) {
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EISDIR: return badPath;
    case EACCES:
    case EPERM:
    case EROFS: return accessDenied;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case ETXTBSY:
    case EBUSY: return sharingViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return diskFull;
    default: return generic;
  }
}

std::string CFileException::ErrorText() const {
  const std::string name = m_strFileName.empty() ? stock::kUnnamedFile : m_strFileName;
  switch (m_cause) {
    case fileNotFound: return FormatStock(stock::kNotFound, name);
    case badPath: return FormatStock(stock::kInvalidPath, name);
    case accessDenied: return FormatStock(stock::kAccessDenied, name);
    case tooManyOpenFiles: return stock::kTooManyOpenFiles;
    case sharingViolation: return FormatStock(stock::kSharingViolation, name);
    case diskFull: return FormatStock(stock::kDiskFull, name);
    case none:
    case generic: break;
  }
  return FormatStock(stock::kGenericFileError, name);
}

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
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
  std::vector<unsigned char> bytes;
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
    bytes.insert(bytes.end(), buf, buf + got);
  }
  ::close(fd);
  return bytes;
}

void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  mode_t mode = 0644;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw CFileException(CFileException::badPath, path);
    // A file without any write permission is read-only, even to a user the system would
    // let write it.
    if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) {
      throw CFileException(CFileException::accessDenied, path);
    }
    mode = st.st_mode & 07777;
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string tmpl = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(tmpl.data());
  if (fd < 0) {
    const int err = errno;
    throw CFileException(err == ENOENT ? CFileException::badPath
                                       : CFileException::CauseFromErrno(err),
                         path);
  }
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmpl.c_str());
    throw CFileException(CFileException::CauseFromErrno(err), path);
  };
  ::fchmod(fd, mode);
  // A write past a file-size limit should fail with EFBIG, not end the program.
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &previous);
  std::size_t done = 0;
  int writeErr = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      writeErr = errno;
      break;
    }
    if (put == 0) {
      writeErr = ENOSPC;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  ::sigaction(SIGXFSZ, &previous, nullptr);
  if (writeErr != 0) fail(writeErr);
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tmpl.c_str());
    throw CFileException(CFileException::CauseFromErrno(err), path);
  }
  if (::rename(tmpl.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmpl.c_str());
    throw CFileException(CFileException::CauseFromErrno(err), path);
  }
  // The new name itself reaches the disk with the folder.
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
}

}  // namespace framework
