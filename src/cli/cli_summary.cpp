// densora-cli summary: a table of every compaction file in a projects directory, as CSV or
// JSON on standard output.
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
  try {
    // A file that could not be read has its row, with the message; the others are all there.
    const std::size_t errorRows =
        WriteProjectSummary(args.inputs[0], format, static_cast<Units>(args.Units()), out);
    if (!out) {
      err << "densora-cli summary: the summary could not be written to standard output\n";
      return kExitFileFailed;
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
