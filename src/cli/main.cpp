#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "framework/file_io.h"
#ifdef DENSORA_WITH_QT
#include "cli/cli_qt_commands.h"
#endif

namespace {

// Ctrl+C, a closed terminal or a kill: the output being written is abandoned with its
// temporary file, so that no part of it stays, and the tool ends as the signal asked.
void OnEndSignal(int signal) {
  framework::RemoveUnfinishedFile();
  ::_exit(128 + signal);
}

}  // namespace

int main(int argc, char** argv) {
  struct sigaction end {};
  end.sa_handler = OnEndSignal;
  sigemptyset(&end.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal the caller chose to ignore (a job started in the background) stays ignored.
    struct sigaction before {};
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &end, nullptr);
  }
#ifdef DENSORA_WITH_QT
  // The drawing commands need Qt; a build without it reads and writes files only.
  cli::RegisterDrawingCommands(argc, argv);
#endif
  const std::vector<std::string> args(argv + 1, argv + argc);
  return cli::Run(args, std::cout, std::cerr);
}
