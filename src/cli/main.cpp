#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "cli/cli.h"
#include "framework/file_io.h"
#ifdef DENSORA_WITH_QT
#include "cli/cli_qt_commands.h"
#endif

namespace {

#ifdef _WIN32
// Ctrl+C, Ctrl+Break or a closed console: the output being written is abandoned with its
// temporary file, so that no part of it stays.
BOOL WINAPI OnConsoleEnd(DWORD) {
  framework::RemoveUnfinishedFile();
  ::ExitProcess(130);
}

// The arguments as the system holds them, in UTF-16, each made UTF-8: the narrow ones
// would be in the ANSI code page, which cannot hold every name.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), n, nullptr, nullptr);
    args.push_back(std::move(arg));
  }
  ::LocalFree(wide);
  return args;
}
#else
// Ctrl+C, a closed terminal or a kill: the output being written is abandoned with its
// temporary file, so that no part of it stays, and the tool ends as the signal asked.
void OnEndSignal(int signal) {
  framework::RemoveUnfinishedFile();
  ::_exit(128 + signal);
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  ::SetConsoleCtrlHandler(OnConsoleEnd, TRUE);
  // Every output byte for byte as on other systems: no line end turned into CR LF, and the
  // console shows the UTF-8 the tool writes.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  ::SetConsoleOutputCP(CP_UTF8);
  const std::vector<std::string> args = Arguments();
#else
  struct sigaction end {};
  end.sa_handler = OnEndSignal;
  sigemptyset(&end.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal the caller chose to ignore (a job started in the background) stays ignored.
    struct sigaction before {};
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &end, nullptr);
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
#endif
#ifdef DENSORA_WITH_QT
  // The drawing commands need Qt; a build without it reads and writes files only.
  cli::RegisterDrawingCommands(argc, argv);
#endif
  return cli::Run(args, std::cout, std::cerr);
}
