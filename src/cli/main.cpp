#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#ifdef DENSORA_WITH_QT
#include "cli/cli_qt_commands.h"
#endif

int main(int argc, char** argv) {
#ifdef DENSORA_WITH_QT
  // The drawing commands need Qt; a build without it reads and writes files only.
  cli::RegisterDrawingCommands(argc, argv);
#endif
  const std::vector<std::string> args(argv + 1, argv + argc);
  return cli::Run(args, std::cout, std::cerr);
}
