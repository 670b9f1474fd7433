#pragma once
// densora-cli's options in one table: the commands' arguments are parsed from it, and their
// usage lines and option help are written from it. An option is a line in kOptions.
#include <array>
#include <iosfwd>
#include <string>
#include <vector>

#include "model/relative_compaction.h"

namespace cli {

// Each command's bit in an option's set of commands.
enum CommandBit : unsigned {
  kShowCommand = 1u << 0,
  kWriteCommand = 1u << 1,
  kChartCommand = 1u << 2,
  kReportCommand = 1u << 3,
  kSummaryCommand = 1u << 4,
};
inline constexpr unsigned kAllCommands =
    kShowCommand | kWriteCommand | kChartCommand | kReportCommand | kSummaryCommand;

// What a command was given on its command line.
struct Arguments {
  std::vector<std::string> inputs;
  std::string output;
  bool metric = false;
  bool json = false;
  bool csv = false;
  std::string size;     // an image's WIDTHxHEIGHT, checked as it was read
  std::string percent;  // the relative-compaction percentages ("90,95"), checked as read

  // The document units --metric chose (model's Units).
  int Units() const;
};

// One option: how it is spelled, which commands take it, how the help explains it and what
// it sets in the command's Arguments.
struct Option {
  const char* name;
  const char* alias = nullptr;     // the long spelling
  const char* argument = nullptr;  // the word for its argument in the help; none for a switch
  unsigned commands = 0;           // the CommandBits of the commands that take it
  bool required = false;           // a command that takes it cannot run without it
  const char* help = "";
  const char* needs = "";  // what its argument must be, for the message when it is missing or bad
  bool Arguments::*flag = nullptr;              // what a switch turns on
  std::string Arguments::*value = nullptr;      // where an argument goes
  bool (*valid)(const std::string&) = nullptr;  // whether an argument can be taken; none: any
  // A switch that is the other choice to the switch before it in the table: the usage line
  // shows the two as "[--csv | --json]", and a command given both is refused.
  bool alternative = false;
};

// The largest width or height of an image, in pixels (--size's texts below say it too).
inline constexpr int kMaxImageSide = 20000;

// Reads "WIDTHxHEIGHT" (or "WIDTHXHEIGHT"), each 1 to kMaxImageSide. False when the text is
// not such a size; `width` and `height` are then not to be used.
bool ParseImageSize(const std::string& text, int& width, int& height);

// Whether `text` is such a size.
bool IsImageSize(const std::string& text);

// Whether `text` is a list of relative-compaction percentages, one at least.
bool IsPercentList(const std::string& text);

// The options of every command, in the order usage lines list them: what a command needs
// first, then what it may be given.
inline constexpr std::array<Option, 8> kOptions = {{
    {.name = "-o",
     .alias = "--output",
     .argument = "FILE",
     .commands = kWriteCommand | kChartCommand | kReportCommand,
     .required = true,
     .help = "the file written, whole or not at all",
     .needs = "a file name",
     .value = &Arguments::output},
    {.name = "-o",
     .alias = "--output",
     .argument = "FILE",
     .commands = kSummaryCommand,
     .help = "the file written, whole or not at all, instead of standard output",
     .needs = "a file name",
     .value = &Arguments::output},
    {.name = "--csv",
     .commands = kSummaryCommand,
     .help = "CSV (RFC 4180, UTF-8): a header, then a row per .lng file under DIR; the default",
     .flag = &Arguments::csv},
    {.name = "--json",
     .commands = kSummaryCommand,
     .help = "a JSON array instead, one object per file on a line of its own",
     .flag = &Arguments::json,
     .alternative = true},
    {.name = "--metric",
     .commands = kAllCommands,
     .help = "unit weights in kg/m\xC2\xB3 instead of pcf; files always hold pcf",
     .flag = &Arguments::metric},
    {.name = "--json",
     .commands = kShowCommand,
     .help = "JSON instead of text: one object per file, an array for several",
     .flag = &Arguments::json},
    {.name = "--percent",
     .argument = "LIST",
     .commands = kShowCommand | kChartCommand | kReportCommand | kSummaryCommand,
     .help = "relative-compaction percentages (90,95) instead of the program's setting, 95 "
             "without one",
     .needs = kCompactionPercentsNeeded,
     .value = &Arguments::percent,
     .valid = &IsPercentList},
    {.name = "--size",
     .argument = "WxH",
     .commands = kChartCommand,
     .help = "the image's width and height in pixels, each 1 to 20000",
     .needs = "WIDTHxHEIGHT, each 1 to 20000",
     .value = &Arguments::size,
     .valid = &IsImageSize},
}};

// How a command is called: what it reads and writes. Its options come from kOptions.
struct CommandInfo {
  const char* name;
  CommandBit bit;
  const char* input;                 // the word for what it reads: "FILE.lng"
  bool manyInputs = false;           // it reads one or more inputs, not exactly one
  const char* output = nullptr;      // the word for what -o names for it
  const char* noInput = nullptr;     // said before the usage line when no input is given
  const char* extraInput = nullptr;  // said as soon as a second input comes (else the usage)
};

// The command's line in --help: "chart FILE.lng -o CHART.png [--metric] [--size WxH]".
std::string UsageLine(const CommandInfo& info);

// The command's usage line and one line for each of its options, as `COMMAND --help` prints
// them.
void PrintCommandHelp(const CommandInfo& info, std::ostream& out);

// Reads the command's arguments into `args`. An option's value is the next word ("-o FILE",
// "--output FILE"), or follows "=" in a long option ("--output=FILE") or the letter of a
// short one ("-oFILE"); "--" ends the options, so that every word after it is an input, one
// named "-dash.lng" too. Returns kExitOk, or kExitUsage with the message written to `err`:
// an option the command does not take, a switch given a value, an option's argument missing
// or bad, the inputs too few or too many, or a required option missing.
int ParseArguments(const CommandInfo& info, const std::vector<std::string>& argv, Arguments& args,
                   std::ostream& err);

}  // namespace cli
