#pragma once
// The core's file-system operations, the only place it talks to the operating system: whole
// files read within a bound, files replaced atomically, folders read, entered and removed,
// and the failures of all of them, each with the stock text that reports its cause.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace framework {

class CFileException : public std::runtime_error {
 public:
  enum Cause {
    none,
    generic,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    sharingViolation,
    diskFull,
    notRegularFile,  // a folder, pipe, device or socket where a file was to be read or written
    tooLarge,        // a file larger than its reader accepts
    notFolder        // a file where a folder was to be listed
  };
  CFileException(Cause cause, std::string path);
  static Cause CauseFromErrno(int err);
  // The stock text for the cause, naming the path (or "an unnamed file" without one).
  std::string ErrorText() const;

  Cause m_cause;
  std::string m_strFileName;
};

// A path from its UTF-8 text and back. Every path the program keeps is UTF-8; Windows names
// files in UTF-16, and a narrow path there would be read in the ANSI code page.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// A path as a person reads it: with the system's own separator between its names ("\\" on
// Windows, where the program joins names with "/", which the system takes as well). What
// is data (a summary's relative paths, a record's JSON) keeps "/" on every system.
std::string ShownPath(const std::string& path);

// A stock text with "%1" filled in by a path, shown as a person reads it.
std::string FormatPathStock(const std::string& text, const std::string& path);

// True when `name`, one folder or file name, may be made on every system a projects
// directory may be copied to: Windows refuses the characters : * ? " < > | and those below
// a blank, a name ending in a dot or a blank, and the device names CON, PRN, AUX, NUL,
// COM1 to COM9 and LPT1 to LPT9, with or without an extension.
bool IsPortableName(const std::string& name);

// Reads a whole regular file of at most `maxBytes` bytes; a larger one is refused with
// cause tooLarge before anything is read, a folder, pipe, socket or device with cause
// notRegularFile without waiting on it. Throws CFileException.
std::vector<unsigned char> ReadWholeFile(const std::string& path,
                                         std::size_t maxBytes = static_cast<std::size_t>(-1));

// True when something other than a regular file stands at `path`, links followed: a folder,
// pipe, socket or device, which may wait for ever when opened. Nothing there is false.
bool IsSpecialFile(const std::string& path);

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

// Replaces the file at `path` as WriteFileAtomically does, with what `produce` writes into
// the stream it is given, a piece at a time: nothing reaches `path` until `produce` has
// returned true and every byte is on disk. When `produce` returns false or throws, the
// temporary file is removed and `path` stays as it was. Returns what `produce` returned.
// Throws CFileException.
bool WriteFileAtomicallyFrom(const std::string& path,
                             const std::function<bool(std::ostream&)>& produce);

// Removes the temporary file of a replacement that is under way, if any. Safe to call from
// a signal handler: a program ended by a signal leaves no half-written file beside its
// output.
void RemoveUnfinishedFile() noexcept;

// One entry of a folder: its name, byte for byte, and what it is once links are followed.
struct FolderEntry {
  std::string name;
  bool isFolder = false;
  bool isFile = false;  // a regular file
};

// The entries of a folder, without "." and "..", in the order the file system gives them.
// A folder that cannot be read has none.
std::vector<FolderEntry> ReadFolder(const std::string& folder);

// What a file or folder is on this machine (its device and inode), links followed: two paths
// with the same identity reach the same folder. nullopt when the path leads nowhere.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Makes sure `folder` (links followed) is a folder whose entries can be read. Throws
// CFileException: fileNotFound, notFolder, accessDenied, ...
void CheckFolder(const std::string& folder);

// True when `folder` is a folder that may be entered.
bool CanEnter(const std::string& folder);

// What stands at `path`: nothing, a folder, a regular file, or something else (a pipe,
// socket or device; for KindAt also a link). KindAt looks at `path` itself, a link not
// followed; KindOf at what it leads to, links followed, a link to nothing being nothing.
enum class EntryKind { kNothing, kFolder, kFile, kOther };
EntryKind KindAt(const std::string& path);
EntryKind KindOf(const std::string& path);

// Makes the folder `folder`, whose parent must exist. False when it was not made, for
// whatever reason: something already there, no parent, no permission.
bool MakeFolder(const std::string& folder);

// Renames `from` to `to`, replacing a file there; removes the file (or empty folder) at
// `path`. Each false when it did not happen.
bool RenameFile(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);

// What a file's size and modification time are now, links followed: two looks that agree
// mostly mean the file was not written in between. nullopt when it cannot be looked at.
struct FileState {
  std::int64_t size = 0;
  std::int64_t mtimeSec = 0;
  std::int64_t mtimeNsec = 0;
  bool operator==(const FileState&) const = default;
};
std::optional<FileState> StateOf(const std::string& path);

// The one name of an existing file or folder however it is reached: absolute, with every
// link, "." and ".." resolved. nullopt when there is nothing at `path`.
std::optional<std::string> CanonicalPath(const std::string& path);
// `path` made absolute, with the links of the part that exists followed and "." and ".."
// resolved; a part that does not exist yet is kept as written. nullopt when that fails.
std::optional<std::string> NormalPath(const std::string& path);
// True when `path` is `folder` or lies below it, compared name by name (both given in one
// form, e.g. canonical).
bool LiesWithin(const std::string& path, const std::string& folder);

// The parts of a path, by its text alone: the last name ("7Sub.lng"), the folder before
// it, and the last name's extension with its dot (".lng"; none for a name like ".lng").
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);
std::string ExtensionOf(const std::string& path);
// True when `path` names its place from a root rather than from a folder it is joined to: it
// begins with a slash or backslash, or with a drive ("C:"). Decided by the text alone and the
// same on every system, so that a name stored on one reads the same on the other.
bool IsRootedPath(const std::string& path);

// Removes a folder with everything in it, or a single file. Links are removed, never
// followed. A file without any write permission is read-only and stays. Throws
// CFileException at the first entry that cannot be removed.
void DeleteTree(const std::string& path);

}  // namespace framework
