#include "cli/cli_options.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "cli/cli.h"
#include "model/densora_doc.h"
#include "model/relative_compaction.h"

namespace cli {
namespace {

bool Takes(const Option& option, const CommandInfo& info) {
  return (option.commands & info.bit) != 0;
}

// The option of the command spelled `word`, or nullptr.
const Option* FindOption(const CommandInfo& info, const std::string& word) {
  for (const Option& option : kOptions) {
    if (Takes(option, info) &&
        (word == option.name || (option.alias != nullptr && word == option.alias))) {
      return &option;
    }
  }
  return nullptr;
}

// The option with its argument as the command's help shows it: "-o CHART.png", "--metric".
std::string Spelled(const Option& option, const CommandInfo& info, bool withAlias) {
  std::string text = option.name;
  if (withAlias && option.alias != nullptr) text = text + ", " + option.alias;
  const char* argument =
      option.value == &Arguments::output && info.output != nullptr ? info.output : option.argument;
  if (argument != nullptr) text = text + ' ' + argument;
  return text;
}

int Refuse(const CommandInfo& info, const std::string& message, std::ostream& err) {
  err << "densora-cli " << info.name << ": " << message << '\n';
  return kExitUsage;
}

// Takes the option at argv[i]. An option with a value takes `attached` when the word held it
// ("--output=FILE", "-oFILE"), else the next word, whatever it begins with.
int TakeOption(const CommandInfo& info, const Option& option,
               const std::optional<std::string>& attached, const std::vector<std::string>& argv,
               std::size_t& i, Arguments& args, std::ostream& err) {
  if (option.flag != nullptr) {
    if (attached) return Refuse(info, std::string(option.name) + " takes no value", err);
    args.*option.flag = true;
    return kExitOk;
  }
  const std::string needs = std::string(option.name) + " needs " + option.needs;
  if (!attached && i + 1 >= argv.size()) return Refuse(info, needs, err);
  const std::string value = attached ? *attached : argv[i + 1];
  if ((attached && value.empty()) || (option.valid != nullptr && !option.valid(value))) {
    return Refuse(info, needs, err);
  }
  args.*option.value = value;
  if (!attached) ++i;
  return kExitOk;
}

// The option of the command that `word` spells, with the value it holds: "--output=FILE" is
// --output with FILE, and "-oFILE" is -o with FILE when -o takes a value. Nullptr when the
// command takes no such option.
const Option* OptionOf(const CommandInfo& info, const std::string& word,
                       std::optional<std::string>& attached) {
  attached.reset();
  if (word.starts_with("--")) {
    const std::size_t equals = word.find('=');
    if (equals == std::string::npos) return FindOption(info, word);
    attached = word.substr(equals + 1);
    return FindOption(info, word.substr(0, equals));
  }
  if (const Option* option = FindOption(info, word)) return option;
  const Option* option = FindOption(info, word.substr(0, 2));
  if (option == nullptr || option->value == nullptr) return nullptr;
  attached = word.substr(2);
  return option;
}

// "--csv and --json cannot be given together" when the command was given both a switch and
// the one before it in the table, of which it is the other choice; else the empty text.
std::string BothChoicesGiven(const CommandInfo& info, const Arguments& args) {
  for (std::size_t i = 1; i < kOptions.size(); ++i) {
    const Option& option = kOptions[i];
    const Option& before = kOptions[i - 1];
    if (option.alternative && Takes(option, info) && args.*option.flag && args.*before.flag) {
      return std::string(before.name) + " and " + option.name + " cannot be given together";
    }
  }
  return {};
}

// Whether the inputs and the required options are all there.
bool Complete(const CommandInfo& info, const Arguments& args) {
  if (args.inputs.empty() || (!info.manyInputs && args.inputs.size() > 1)) return false;
  return std::none_of(kOptions.begin(), kOptions.end(), [&](const Option& option) {
    return option.required && Takes(option, info) && option.value != nullptr &&
           (args.*option.value).empty();
  });
}

}  // namespace

int Arguments::Units() const { return metric ? kMetric : kEnglish; }

bool ParseImageSize(const std::string& text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  auto number = [](const std::string& s, int& out) {
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    out = std::stoi(s);
    return out >= 1 && out <= kMaxImageSide;
  };
  return number(text.substr(0, x), width) && number(text.substr(x + 1), height);
}

bool IsImageSize(const std::string& text) {
  int width = 0, height = 0;
  return ParseImageSize(text, width, height);
}

bool IsPercentList(const std::string& text) {
  const auto percents = ParseCompactionPercents(text);
  return percents && !percents->empty();
}

std::string UsageLine(const CommandInfo& info) {
  std::string line = std::string(info.name) + ' ' + info.input + (info.manyInputs ? "..." : "");
  for (std::size_t i = 0; i < kOptions.size(); ++i) {
    const Option& option = kOptions[i];
    if (!Takes(option, info)) continue;
    const std::string text = Spelled(option, info, false);
    // The other choice joins the bracket of the switch before it: "[--csv | --json]".
    if (option.alternative && i > 0 && Takes(kOptions[i - 1], info)) {
      line.insert(line.size() - 1, " | " + text);
    } else {
      line += option.required ? ' ' + text : " [" + text + ']';
    }
  }
  return line;
}

void PrintCommandHelp(const CommandInfo& info, std::ostream& out) {
  out << "usage: densora-cli " << UsageLine(info) << '\n';
  std::size_t width = 0;
  for (const Option& option : kOptions) {
    if (Takes(option, info)) width = std::max(width, Spelled(option, info, true).size());
  }
  for (const Option& option : kOptions) {
    if (!Takes(option, info)) continue;
    std::string text = Spelled(option, info, true);
    text.resize(width + 2, ' ');
    out << "  " << text << option.help << '\n';
  }
}

int ParseArguments(const CommandInfo& info, const std::vector<std::string>& argv, Arguments& args,
                   std::ostream& err) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string& word = argv[i];
    if (!optionsEnded && word == "--") {
      // Every word after it is an input, a file named "-dash.lng" too.
      optionsEnded = true;
    } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
      std::optional<std::string> attached;
      const Option* option = OptionOf(info, word, attached);
      if (option == nullptr) return Refuse(info, "unknown option " + word, err);
      if (TakeOption(info, *option, attached, argv, i, args, err) != kExitOk) return kExitUsage;
    } else if (!info.manyInputs && !args.inputs.empty() && info.extraInput != nullptr) {
      return Refuse(info, info.extraInput, err);
    } else {
      args.inputs.push_back(word);
    }
  }
  if (const std::string both = BothChoicesGiven(info, args); !both.empty()) {
    return Refuse(info, both, err);
  }
  if (Complete(info, args)) return kExitOk;
  if (args.inputs.empty() && info.noInput != nullptr) Refuse(info, info.noInput, err);
  err << "usage: densora-cli " << UsageLine(info) << '\n';
  return kExitUsage;
}

}  // namespace cli
