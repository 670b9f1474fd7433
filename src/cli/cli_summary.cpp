// densora-cli summary: a table of every compaction file in a projects directory, as CSV or
// JSON on standard output or into a file.
#include <ostream>

#include "cli/cli.h"
#include "cli/cli_commands.h"
#include "file/project_summary.h"
#include "framework/file_io.h"

namespace cli {
namespace {

constexpr CommandInfo kSummary{.name = "summary",
                               .bit = kSummaryCommand,
                               .input = "DIR",
                               .noInput = "no folder given",
                               .extraInput = "only one folder is summarised"};

int Summary(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
  Arguments args;
  if (ParseArguments(kSummary, argv, args, err) != kExitOk) return kExitUsage;
  const SummaryFormat format = args.json ? SummaryFormat::kJson : SummaryFormat::kCsv;
  const auto units = static_cast<Units>(args.Units());
  const std::vector<double> percents = CompactionPercents(args);
  try {
    // A file that could not be read has its row, with the message; the others are all there.
    std::size_t errorRows = 0;
    if (!args.output.empty()) {
      // Whole or not at all: the table goes to a temporary file beside the output, renamed
      // over it once every row is on disk.
      framework::WriteFileAtomicallyFrom(args.output, [&](std::ostream& file) {
        errorRows = WriteProjectSummary(args.inputs[0], format, units, file, {}, percents);
        return true;
      });
    } else {
      errorRows = WriteProjectSummary(args.inputs[0], format, units, out, {}, percents);
      if (!out) {
        err << "densora-cli summary: the summary could not be written to standard output\n";
        return kExitFileFailed;
      }
    }
    return errorRows == 0 ? kExitOk : kExitFileFailed;
  } catch (const framework::CFileException& e) {
    err << e.ErrorText() << '\n';
    return kExitFileFailed;
  }
}

}  // namespace

void RegisterSummary() { RegisterCommand(kSummary, Summary); }

}  // namespace cli
