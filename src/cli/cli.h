#pragma once
// densora-cli: the headless companion of the desktop program. Reads and writes compaction
// files, and (with the drawing commands registered) draws charts and reports.
#include <functional>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"

class CDensoraDoc;
struct Family;

namespace cli {

enum ExitCode { kExitOk = 0, kExitFileFailed = 1, kExitUsage = 2 };

using Command =
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)>;

// Adds a command; its usage line and help are made from `info` and the option table.
void RegisterCommand(const CommandInfo& info, Command command);

// Runs the tool with the arguments after the program name.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Opens a file into `doc` as the program does: read, then recount and refit. Messages of a
// refused file go to `err` after the file's name ("FILE: message"), so that among several
// inputs the user sees which one failed. Returns false when the file was not read.
bool OpenAndFit(CDensoraDoc& doc, const std::string& path, std::ostream& err);

// The desktop program's settings file: Vollin/Densora.conf under $XDG_CONFIG_HOME, or under
// ~/.config without it.
std::string ProgramSettingsFile();
// The text of the desktop program's top-level setting `key` ("Project Directory"): from its
// settings file, or on Windows from the registry where the program keeps it; none when
// there is none, or none that can be read.
std::optional<std::string> ProgramSetting(const char* key);

// The projects directory a command names families in: --projects, or else the program's own
// setting ("Project Directory" in $XDG_CONFIG_HOME/Vollin/Densora.conf, or
// ~/.config/Vollin/Densora.conf), or else ~/Densora, as the program itself would.
std::string ProjectsDirectory(const Arguments& args);

// Draws a family's chart as a PNG image into `path`, whole or not at all, in the units
// `units` (model's Units); returns an exit code, with a failure's message written to `err`.
// The drawing commands set it; without them `family --chart` cannot draw.
using FamilyChartWriter =
    std::function<int(const Family& family, int units, const std::string& path, std::ostream& err)>;
void SetFamilyChartWriter(FamilyChartWriter writer);
const FamilyChartWriter& GetFamilyChartWriter();

// Replaces the file at `path` (its bytes, whatever their encoding) with `bytes` through a
// temporary file and a rename, so that the output is whole or the previous one stays. A
// failure's stock text, which names the path, goes to `err`. Returns kExitOk or
// kExitFileFailed.
int WriteOutput(const std::string& path, const std::vector<unsigned char>& bytes,
                std::ostream& err);

// The relative-compaction percentages a command works to: those of --percent, else the
// desktop program's setting ("Relative Compaction" in $XDG_CONFIG_HOME/Vollin/Densora.conf,
// ~/.config without it), else 95.
std::vector<double> CompactionPercents(const Arguments& args);

// The JSON object of a record as `show --json` prints it (texts as UTF-8). The document's
// fit must be current (OpenAndFit); `fitStatus`, `fitMessage` and the axis bounds come from
// the curve that fitted it.
nlohmann::json RecordToJson(CDensoraDoc& doc, const std::string& file);

// Fills the record of `doc` from the record keys of `j`; missing keys keep what the record
// holds. Returns false with `error` set when a text cannot be held in Windows-1252, a key
// has the wrong type, or a laboratory entry is one no technician could have entered
// ("\"specificGravity\": Enter a value between 2.0 and 3.5").
bool RecordFromJson(const nlohmann::json& j, CDensoraDoc& doc, std::string& error);

// The record `write` stores, from the text of its JSON input: parsed when its arrays and
// objects nest at most 64 levels deep, a list of one record taken as that record, then filled
// in as RecordFromJson does. Returns false with `error` set ("not a JSON record: ...") when
// the text holds no record that can be stored.
bool RecordFromJsonText(const std::string& text, CDensoraDoc& doc, std::string& error);

}  // namespace cli
