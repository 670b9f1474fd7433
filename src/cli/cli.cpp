#include "cli/cli.h"

#include <map>
#include <ostream>

#include "cli/cli_commands.h"
#include "framework/file_io.h"
#include "model/densora_doc.h"

namespace cli {
namespace {

struct Entry {
  CommandInfo info;
  Command command;
};

std::map<std::string, Entry>& Commands() {
  static std::map<std::string, Entry> commands;
  return commands;
}

void PrintHelp(std::ostream& out) {
  out << "densora-cli: reads, writes and draws moisture-density (compaction) test files.\n\n"
         "usage:\n";
  for (const auto& [name, entry] : Commands()) {
    out << "  densora-cli " << UsageLine(entry.info) << '\n';
  }
  out << "  densora-cli --help | --version\n\n"
         "Units are English (pcf) unless --metric (kg/m\xC2\xB3) is given; files always hold pcf.\n"
         "An option's value follows it, after a blank, after \"=\" (--output=FILE) or, for -o,\n"
         "at once (-oFILE); \"--\" ends the options, so that a file may begin with \"-\".\n"
         "Exit codes: 0 success, 1 a file could not be read or written, 2 bad usage.\n"
         "An interrupt (Ctrl+C) ends it with 130 and leaves no part of an output file.\n";
}

void RegisterBuiltins() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterShow();
  RegisterWrite();
  RegisterSummary();
}

// Whether an option before any "--" asks for help; after it, "--help" is a file's name.
bool AsksForHelp(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

}  // namespace

StreamPrompt::StreamPrompt(std::ostream& err, std::string prefix)
    : m_err(err), m_prefix(std::move(prefix)) {
  framework::SetPrompt(this);
}

StreamPrompt::~StreamPrompt() { framework::SetPrompt(nullptr); }

framework::MsgAnswer StreamPrompt::Show(const std::string& text, framework::MsgButtons buttons,
                                        framework::MsgIcon) {
  m_err << m_prefix << text << '\n';
  return buttons == framework::MsgButtons::Ok ? framework::MsgAnswer::Ok
                                              : framework::MsgAnswer::Cancel;
}

void RegisterCommand(const CommandInfo& info, Command command) {
  Commands()[info.name] = Entry{info, std::move(command)};
}

bool OpenFit(CDensoraDoc& doc, const std::string& path, Fitted& fitted, std::ostream& err) {
  StreamPrompt prompt(err, path + ": ");
  if (!doc.OpenFile(path)) return false;
  fitted = FitRecord(doc);
  return true;
}

bool OpenAndFit(CDensoraDoc& doc, const std::string& path, std::ostream& err) {
  Fitted fit;
  return OpenFit(doc, path, fit, err);
}

int WriteOutput(const std::string& path, const std::vector<unsigned char>& bytes,
                std::ostream& err) {
  try {
    framework::WriteFileAtomically(path, bytes);
  } catch (const framework::CFileException& e) {
    err << e.ErrorText() << '\n';
    return kExitFileFailed;
  }
  return kExitOk;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  RegisterBuiltins();
  if (args.empty()) {
    PrintHelp(err);
    return kExitUsage;
  }
  const std::string& cmd = args[0];
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    PrintHelp(out);
    return kExitOk;
  }
  if (cmd == "--version") {
    out << "densora-cli " << DENSORA_VERSION << '\n';
    return kExitOk;
  }
  const auto it = Commands().find(cmd);
  if (it == Commands().end()) {
    err << "densora-cli: unknown command \"" << cmd << "\"; see densora-cli --help\n";
    return kExitUsage;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (AsksForHelp(rest)) {
    PrintCommandHelp(it->second.info, out);
    return kExitOk;
  }
  return it->second.command(rest, out, err);
}

}  // namespace cli
