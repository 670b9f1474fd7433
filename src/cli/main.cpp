#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#if defined(DENSORA_WITH_QT) && __has_include("cli/cli_qt_commands.h")
#include "cli/cli_qt_commands.h"
#define DENSORA_CLI_DRAWING 1
#endif

int main(int argc, char** argv) {
#ifdef DENSORA_CLI_DRAWING
  cli::RegisterDrawingCommands(argc, argv);
#endif
  const std::vector<std::string> args(argv + 1, argv + argc);
  return cli::Run(args, std::cout, std::cerr);
}
