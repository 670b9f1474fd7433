#pragma once
// What the tests need of the operating system beyond the standard library, for POSIX and for
// Windows in one place: running densora-cli as a user runs it, a child process, the
// environment, file times and modes, and the kinds of file only POSIX has. A case that needs
// what the running system lacks asks `Lacks` and skips with the reason it gives.
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testdata {

// What a case may need that not every system has.
enum class Need {
  kFifo,           // a named pipe in the file system
  kSymlink,        // symbolic links a test may make
  kDevice,         // device files (/dev/zero, /dev/null) and /proc
  kSocket,         // a socket under a file's name
  kFileSizeLimit,  // a limit on how large a process's files may grow, as on a full disk
  kSignal,         // an interrupt (Ctrl+C) sent to one process
  kModeBits,       // permission bits and the umask
  kOtherUser,      // acting as another user (root only)
  kByteNames,      // file names of any bytes, not only UTF-16
  kXdgSettings,    // the desktop program's settings in an INI file under XDG_CONFIG_HOME
};

// Why the running system cannot give a case `need`: a reason to skip with, or nullptr.
const char* Lacks(Need need);

struct ProgramRun {
  int code;  // the exit code; -1 when the program did not end by itself
  std::string out, err;
};

struct RunOptions {
  std::string input = "";          // a file to read as standard input; none: nothing
  bool outToNull = false;          // standard output on the null device, not kept
  bool withoutRuntimeDir = false;  // run without XDG_RUNTIME_DIR
  bool noFileFits = false;         // no byte may be written to a file (needs kFileSizeLimit)
  int timeoutSeconds = 30;         // then the program is ended
};

// Runs densora-cli with `args` as a user runs it, without a display or a chosen platform,
// and gives its exit code, standard output and standard error.
ProgramRun RunCliProgram(const std::vector<std::string>& args, const RunOptions& options = {});

// Starts densora-cli with `args` as RunCliProgram does and interrupts it as a terminal's Ctrl+C
// does as soon as `ready` holds, asked while it runs; ends it without a chance when `ready`
// does not hold within ten seconds. Gives its exit code, -1 when it did not end by itself
// (kSignal).
int InterruptCliProgram(const std::vector<std::string>& args, const std::function<bool()>& ready);

// Runs `body` in a child process, with no byte allowed into a file larger than
// `fileSizeLimit` when it is not negative; gives the child's exit code, -1 when it did not
// end by itself. POSIX only (kFileSizeLimit).
int InChildProcess(const std::function<int()>& body, long fileSizeLimit = -1);

// The desktop program's top-level text setting `key` as the program keeps it for the user
// running the tests (an INI file under XDG_CONFIG_HOME; under Windows the registry), while
// this lives; then as it was.
class ProgramSetting {
 public:
  ProgramSetting(const std::string& key, const std::string& value);
  ~ProgramSetting();
  ProgramSetting(const ProgramSetting&) = delete;
  ProgramSetting& operator=(const ProgramSetting&) = delete;

 private:
  std::string m_key;
  std::string m_before;  // XDG_CONFIG_HOME before
  std::filesystem::path m_dir;
};

// Sets or removes an environment variable of this process.
void SetEnvironment(const char* name, const std::string& value);
void UnsetEnvironment(const char* name);

// A file's or folder's modification time to the finest unit the file system keeps, counted
// from 1970.
using FileTime = std::chrono::nanoseconds;
FileTime ModificationTime(const std::string& path);
void SetModificationTime(const std::string& path, FileTime time);

// Makes a named pipe (kFifo).
bool MakeFifo(const std::string& path);

// A file's permission bits, and the umask a block of a test runs under (kModeBits).
unsigned FileMode(const std::string& path);
void SetFileMode(const std::string& path, unsigned mode);
unsigned SetUmask(unsigned mask);

// Whether this process runs as root; and, as root, gives `path` to the user nobody and runs
// `body` in a child process as that user, giving its exit code (kOtherUser).
bool RunsAsRoot();
void GiveToNobody(const std::string& path);
int AsNobody(const std::function<int()>& body);

// A socket bound under `path`, open until the returned closer runs (kSocket).
std::function<void()> BindSocket(const std::string& path);

}  // namespace testdata
