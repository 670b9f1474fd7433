#include "cli/cli_options.h"

#include <algorithm>
#include <ostream>

#include "cli/cli.h"
#include "model/densora_doc.h"

namespace cli {
namespace {

bool Takes(const Option& option, const CommandSpec& spec) {
  return (option.commands & spec.bit) != 0;
}

// The option of the command spelled `word`, or nullptr.
const Option* FindOption(const CommandSpec& spec, const std::string& word) {
  for (const Option& option : kOptions) {
    if (Takes(option, spec) &&
        (word == option.name || (option.alias != nullptr && word == option.alias))) {
      return &option;
    }
  }
  return nullptr;
}

// The option with its argument as the command's help shows it: "-o CHART.png", "--metric".
std::string Spelled(const Option& option, const CommandSpec& spec, bool withAlias) {
  std::string text = option.name;
  if (withAlias && option.alias != nullptr) text = text + ", " + option.alias;
  const char* argument =
      option.value == &Arguments::output && spec.output != nullptr ? spec.output : option.argument;
  if (argument != nullptr) text = text + ' ' + argument;
  return text;
}

int Refuse(const CommandSpec& spec, const std::string& message, std::ostream& err) {
  err << "densora-cli " << spec.name << ": " << message << '\n';
  return kExitUsage;
}

// Takes the option at argv[i]; an option with an argument takes the next word too.
int TakeOption(const CommandSpec& spec, const Option& option, const std::vector<std::string>& argv,
               std::size_t& i, Arguments& args, std::ostream& err) {
  if (option.flag != nullptr) {
    args.*option.flag = true;
    return kExitOk;
  }
  if (i + 1 >= argv.size() || (option.valid != nullptr && !option.valid(argv[i + 1]))) {
    return Refuse(spec, std::string(option.name) + " needs " + option.needs, err);
  }
  args.*option.value = argv[++i];
  return kExitOk;
}

// Whether the inputs and the required options are all there.
bool Complete(const CommandSpec& spec, const Arguments& args) {
  if (args.inputs.empty() || (!spec.manyInputs && args.inputs.size() > 1)) return false;
  return std::none_of(kOptions.begin(), kOptions.end(), [&](const Option& option) {
    return option.required && Takes(option, spec) && option.value != nullptr &&
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

std::string UsageLine(const CommandSpec& spec) {
  std::string line = std::string(spec.name) + ' ' + spec.input + (spec.manyInputs ? "..." : "");
  for (const Option& option : kOptions) {
    if (!Takes(option, spec)) continue;
    const std::string text = Spelled(option, spec, false);
    line += option.required ? ' ' + text : " [" + text + ']';
  }
  return line;
}

void PrintCommandHelp(const CommandSpec& spec, std::ostream& out) {
  out << "usage: densora-cli " << UsageLine(spec) << '\n';
  std::size_t width = 0;
  for (const Option& option : kOptions) {
    if (Takes(option, spec)) width = std::max(width, Spelled(option, spec, true).size());
  }
  for (const Option& option : kOptions) {
    if (!Takes(option, spec)) continue;
    std::string text = Spelled(option, spec, true);
    text.resize(width + 2, ' ');
    out << "  " << text << option.help << '\n';
  }
}

int ParseArguments(const CommandSpec& spec, const std::vector<std::string>& argv, Arguments& args,
                   std::ostream& err) {
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string& word = argv[i];
    if (const Option* option = FindOption(spec, word)) {
      if (TakeOption(spec, *option, argv, i, args, err) != kExitOk) return kExitUsage;
    } else if (word.size() > 1 && word[0] == '-') {
      return Refuse(spec, "unknown option " + word, err);
    } else if (!spec.manyInputs && !args.inputs.empty() && spec.extraInput != nullptr) {
      return Refuse(spec, spec.extraInput, err);
    } else {
      args.inputs.push_back(word);
    }
  }
  if (Complete(spec, args)) return kExitOk;
  if (args.inputs.empty() && spec.noInput != nullptr) Refuse(spec, spec.noInput, err);
  err << "usage: densora-cli " << UsageLine(spec) << '\n';
  return kExitUsage;
}

}  // namespace cli
