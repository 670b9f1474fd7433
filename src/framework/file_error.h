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
    diskFull
  };
  CFileException(Cause cause, std::string path);
  static Cause CauseFromErrno(int err);
  // The stock text for the cause, naming the path (or "an unnamed file" without one).
  std::string ErrorText() const;

  Cause m_cause;
  std::string m_strFileName;
};

// Reads a whole file. Throws CFileException.
std::vector<unsigned char> ReadWholeFile(const std::string& path);

// Replaces the file at `path` with `bytes` atomically: the bytes go to a temporary file in
// the same folder, are flushed to disk and the temporary file is renamed over the target.
// On any failure the previous file is untouched and the temporary file removed. A target
// without write permission is refused, as a read-only file must be. Throws CFileException.
void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace framework
