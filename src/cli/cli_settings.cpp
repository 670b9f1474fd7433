// The desktop program's settings that densora-cli follows: the laboratory's relative-
// compaction percentages, read where the program keeps them, without Qt.
#include <optional>
#include <string>

#include "cli/cli.h"
#include "model/relative_compaction.h"

namespace cli {

std::vector<double> CompactionPercents(const Arguments& args) {
  if (!args.percent.empty())
    return ParseCompactionPercents(args.percent).value_or(std::vector<double>{});
  const std::vector<double> fallback = *ParseCompactionPercents(kDefaultCompactionPercents);
  const std::optional<std::string> value = ProgramSetting(kCompactionSetting);
  if (!value) return fallback;  // no settings kept yet, none that can be read, or none set
  return ParseCompactionPercents(*value).value_or(fallback);
}

}  // namespace cli
