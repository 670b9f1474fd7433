#include "support/platform.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/records.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#endif

namespace testdata {

namespace {

#ifdef _WIN32
std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring Wide(const std::string& utf8) {
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

// One argument as CommandLineToArgvW reads it back: in quotes, a quote escaped, and the
// backslashes before a quote (or the closing one) doubled.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? 2 * slashes + 1 : slashes, L'\\');
    slashes = 0;
    out += c;
  }
  out.append(2 * slashes, L'\\');
  return out + L"\"";
}

// A handle the child inherits, on `path` opened for reading or made new for writing.
HANDLE Inheritable(const std::filesystem::path& path, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(path.wstring().c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
#else
// Starts densora-cli with `args`, its standard output and error into the pipes `out` and
// `err` (write ends), which are closed here.
pid_t StartCli(const std::vector<std::string>& args, const RunOptions& options, int out, int err) {
  std::vector<std::string> argv = {DENSORA_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(options.input.empty() ? "/dev/null" : options.input.c_str(), O_RDONLY);
    if (in < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
    if (options.withoutRuntimeDir) ::unsetenv("XDG_RUNTIME_DIR");
    if (options.noFileFits) {
      const rlimit none{0, 0};
      ::setrlimit(RLIMIT_FSIZE, &none);
    }
    // The tool gets signals as a terminal gives them, whatever the test's own disposition.
    sigset_t all;
    sigemptyset(&all);
    ::sigprocmask(SIG_SETMASK, &all, nullptr);
    for (const int s : {SIGINT, SIGALRM, SIGXFSZ}) ::signal(s, SIG_DFL);
    ::alarm(static_cast<unsigned>(options.timeoutSeconds));
    std::vector<char*> raw;
    for (std::string& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);
    ::execv(raw[0], raw.data());
    ::_exit(127);
  }
  ::close(out);
  ::close(err);
  return pid;
}

// Reads the pipes `out` and `err` until both end, and closes them.
void ReadBoth(int out, int err, std::string& outText, std::string& errText) {
  pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string* texts[2] = {&outText, &errText};
  int open = 2;
  char buf[4096];
  while (open > 0 && ::poll(fds, 2, -1) >= 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
      if (n > 0) {
        texts[i]->append(buf, static_cast<std::size_t>(n));
      } else {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}
#endif

}  // namespace

const char* Lacks(Need need) {
#ifdef _WIN32
  switch (need) {
    case Need::kFifo:
      return "Windows has no named pipes in the file system";
    case Need::kSymlink:
      return "making symbolic links needs a privilege a Windows user does not have by default";
    case Need::kDevice:
      return "Windows has no device files (/dev) or /proc in its file system";
    case Need::kSocket:
      return "Windows puts no socket under a file's name";
    case Need::kFileSizeLimit:
      return "Windows has no limit on how large a process's files may grow (ulimit -f)";
    case Need::kSignal:
      return "Windows sends Ctrl+C only to the programs of one console, not to one process";
    case Need::kModeBits:
      return "Windows files have no permission bits or umask";
    case Need::kOtherUser:
      return "acting as another user needs POSIX users and root";
    case Need::kByteNames:
      return "Windows names are UTF-16: a name cannot hold bytes that are not UTF-8";
    case Need::kXdgSettings:
      return "under Windows the desktop program keeps its settings in the registry";
  }
  return "not on Windows";
#else
  if (need == Need::kOtherUser && !RunsAsRoot()) return "acting as another user needs root";
  return nullptr;
#endif
}

ProgramRun RunCliProgram(const std::vector<std::string>& args, const RunOptions& options) {
  int code = -1;
#ifdef _WIN32
  TempDir dir;
  const std::filesystem::path outFile = dir.path() / "out", errFile = dir.path() / "err";
  std::wstring program = std::filesystem::path(DENSORA_CLI_PATH).make_preferred().wstring();
  std::wstring line = Quoted(program);
  for (const auto& a : args) line += L" " + Quoted(Wide(a));
  const HANDLE in = options.input.empty()
                        ? Inheritable(L"NUL", false)
                        : Inheritable(std::filesystem::path(Wide(options.input)), false);
  const HANDLE out = Inheritable(options.outToNull ? L"NUL" : outFile.wstring(), true);
  const HANDLE err = Inheritable(errFile, true);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                       nullptr, nullptr, &startup, &process)) {
    if (::WaitForSingleObject(process.hProcess, 1000u * options.timeoutSeconds) == WAIT_OBJECT_0) {
      DWORD exit = 0;
      if (::GetExitCodeProcess(process.hProcess, &exit)) code = static_cast<int>(exit);
    } else {
      ::TerminateProcess(process.hProcess, 1);
      ::WaitForSingleObject(process.hProcess, INFINITE);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  for (const HANDLE h : {in, out, err}) {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
  return {code, ReadText(outFile), ReadText(errFile)};
#else
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return {-1, "", "no pipe"};
  std::string outText, errText;
  if (options.outToNull) {
    ::close(out[1]);
    out[1] = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  }
  const pid_t pid = StartCli(args, options, out[1], err[1]);
  ReadBoth(out[0], err[0], outText, errText);
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    code = WEXITSTATUS(status);
  }
  return {code, outText, errText};
#endif
}

int InterruptCliProgram(const std::vector<std::string>& args, const std::function<bool()>& ready) {
#ifdef _WIN32
  (void)args;
  (void)ready;
  throw std::logic_error(Lacks(Need::kSignal));
#else
  const pid_t pid = StartCli(args, {}, ::open("/dev/null", O_WRONLY | O_CLOEXEC),
                             ::open("/dev/null", O_WRONLY | O_CLOEXEC));
  if (pid < 0) return -1;
  int status = 0;
  bool interrupt = false;
  for (int i = 0; i < 100000 && !interrupt && ::waitpid(pid, &status, WNOHANG) == 0; ++i) {
    interrupt = ready();
    if (!interrupt) ::usleep(100);
  }
  if (interrupt) ::kill(pid, SIGINT);
  if (!interrupt && ::waitpid(pid, &status, WNOHANG) == 0) ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

int InChildProcess(const std::function<int()>& body, long fileSizeLimit) {
#ifdef _WIN32
  (void)body;
  (void)fileSizeLimit;
  throw std::logic_error(Lacks(Need::kFileSizeLimit));
#else
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (fileSizeLimit >= 0) {
      const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::_exit(body());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
#endif
}

#ifdef _WIN32
namespace {
const wchar_t* const kSettingsKey = L"Software\\Vollin\\Densora";
}

ProgramSetting::ProgramSetting(const std::string& key, const std::string& value) : m_key(key) {
  const std::wstring text = Wide(value);
  if (::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, Wide(key).c_str(), REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot set " + key);
  }
}

ProgramSetting::~ProgramSetting() {
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, Wide(m_key).c_str());
}
#else
ProgramSetting::ProgramSetting(const std::string& key, const std::string& value) : m_key(key) {
  // A value without , ; = \ " or an outer blank is written as it is; any other would need the
  // file's quoting.
  if (value.find_first_of(",;=\\\"") != std::string::npos ||
      (!value.empty() && (value.front() == ' ' || value.back() == ' '))) {
    throw std::invalid_argument("a setting that needs quoting: " + value);
  }
  const char* before = std::getenv("XDG_CONFIG_HOME");
  m_before = before != nullptr ? before : "";
  char name[] = "/tmp/densora-settings-XXXXXX";
  if (::mkdtemp(name) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_dir = name;
  std::filesystem::create_directories(m_dir / "Vollin");
  // A blank in a key is written %20.
  std::string iniKey;
  for (const char c : key) iniKey += c == ' ' ? std::string("%20") : std::string(1, c);
  std::ofstream(m_dir / "Vollin/Densora.conf", std::ios::binary) << "[General]\n"
                                                                 << iniKey << "=" << value << "\n";
  ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
}

ProgramSetting::~ProgramSetting() {
  ::setenv("XDG_CONFIG_HOME", m_before.c_str(), 1);
  std::error_code ec;
  std::filesystem::remove_all(m_dir, ec);
}
#endif

void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
  ::_putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

void UnsetEnvironment(const char* name) {
#ifdef _WIN32
  ::_putenv_s(name, "");
#else
  ::unsetenv(name);
#endif
}

#ifdef _WIN32
namespace {
// A FILETIME counts 100 ns from 1601; in nanoseconds that overflows, so a FileTime counts
// from 1970.
constexpr long long kTicksTo1970 = 116444736000000000LL;

HANDLE OpenForTimes(const std::string& path, DWORD access) {
  // A folder too (backup semantics).
  const HANDLE h = ::CreateFileW(std::filesystem::path(path).wstring().c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return h;
}
}  // namespace
#endif

FileTime ModificationTime(const std::string& path) {
#ifdef _WIN32
  const HANDLE h = OpenForTimes(path, FILE_READ_ATTRIBUTES);
  FILETIME ft{};
  const BOOL got = ::GetFileTime(h, nullptr, nullptr, &ft);
  ::CloseHandle(h);
  if (!got) throw std::runtime_error("cannot read the time of " + path);
  const long long ticks = static_cast<long long>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
  return FileTime((ticks - kTicksTo1970) * 100);
#else
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) throw std::runtime_error("cannot read the time of " + path);
  return std::chrono::seconds(st.st_mtim.tv_sec) + FileTime(st.st_mtim.tv_nsec);
#endif
}

void SetModificationTime(const std::string& path, FileTime time) {
#ifdef _WIN32
  const auto ticks = static_cast<unsigned long long>(time.count() / 100 + kTicksTo1970);
  const FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  const HANDLE h = OpenForTimes(path, FILE_WRITE_ATTRIBUTES);
  const BOOL set = ::SetFileTime(h, nullptr, nullptr, &ft);
  ::CloseHandle(h);
  if (!set) throw std::runtime_error("cannot set the time of " + path);
#else
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(time);
  const timespec times[2] = {
      {0, UTIME_OMIT},
      {static_cast<time_t>(seconds.count()), static_cast<long>((time - seconds).count())}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw std::runtime_error("cannot set the time of " + path);
  }
#endif
}

bool MakeFifo(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  return ::mkfifo(path.c_str(), 0644) == 0;
#endif
}

unsigned FileMode(const std::string& path) {
#ifdef _WIN32
  return static_cast<unsigned>(std::filesystem::status(path).permissions());
#else
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
#endif
}

void SetFileMode(const std::string& path, unsigned mode) {
  std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode));
}

unsigned SetUmask(unsigned mask) {
#ifdef _WIN32
  (void)mask;
  return 0;
#else
  return ::umask(static_cast<mode_t>(mask));
#endif
}

bool RunsAsRoot() {
#ifdef _WIN32
  return false;
#else
  return ::getuid() == 0;
#endif
}

#ifndef _WIN32
namespace {
constexpr uid_t kNobody = 65534;
}
#endif

void GiveToNobody(const std::string& path) {
#ifdef _WIN32
  (void)path;
  throw std::logic_error(Lacks(Need::kOtherUser));
#else
  if (::chown(path.c_str(), kNobody, kNobody) != 0) {
    throw std::runtime_error("cannot give " + path + " away");
  }
#endif
}

int AsNobody(const std::function<int()>& body) {
#ifdef _WIN32
  (void)body;
  throw std::logic_error(Lacks(Need::kOtherUser));
#else
  return InChildProcess([&] {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return 2;
    return body();
  });
#endif
}

std::function<void()> BindSocket(const std::string& path) {
#ifdef _WIN32
  (void)path;
  throw std::logic_error(Lacks(Need::kSocket));
#else
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (sock < 0 || path.size() >= sizeof addr.sun_path) throw std::runtime_error("no socket");
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  if (::bind(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(sock);
    throw std::runtime_error("cannot bind " + path);
  }
  return [sock] { ::close(sock); };
#endif
}

}  // namespace testdata
