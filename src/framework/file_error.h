#pragma once
// File-system failures of the framework's own file operations, with the stock text that
// reports each cause.
#include <stdexcept>
#include <string>
#include <vector>

namespace framework {

class CFileException : public std::runtime_error {
 public:
  enum Cause {
    none, generic, fileNotFound, badPath, tooManyOpenFiles, accessDenied, sharingViolation,
    diskFull,
    notRegularFile,  // a folder, pipe, device or socket where a file was to be written
    tooLarge         // a file larger than its reader accepts
  };
  CFileException(Cause cause, std::string path);
  static Cause CauseFromErrno(int err);
  // The stock text for the cause, naming the path (or "an unnamed file" without one).
  std::string ErrorText() const;

  Cause m_cause;
  std::string m_strFileName;
};

// Reads a whole regular file of at most `maxBytes` bytes; a larger one is refused with
// cause tooLarge before anything is read. Throws CFileException.
std::vector<unsigned char> ReadWholeFile(const std::string& path,
                                         std::size_t maxBytes = static_cast<std::size_t>(-1));

// The file a save of `path` writes: `path` with every symbolic link along it followed, so
// that a save through a link changes the file the link points to and keeps the link. A
// link to a missing file gives the missing file's path. Throws CFileException (badPath)
// for a chain of links too long to be real.
std::string ResolveWriteTarget(const std::string& path);

// Replaces the file at `path` with `bytes` atomically: the bytes go to a temporary file in
// the same folder as the file (after links are followed), are flushed to disk and the
// temporary file is renamed over the target. An existing file keeps its permissions; a new
// one gets the user's umask. On any failure the previous file is untouched and the
// temporary file removed. A target without write permission is refused, as a read-only
// file must be; so is a target that exists but is not a regular file (a folder, pipe or
// device), which is left alone. Throws CFileException.
void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace framework
