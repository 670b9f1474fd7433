#include "cli/cli.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "file/program_settings.h"
#include "framework/file_io.h"
#include "model/densora_doc.h"

#ifdef _WIN32
#include <windows.h>
#endif

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
  RegisterFamily();
}

FamilyChartWriter& ChartWriter() {
  static FamilyChartWriter writer;
  return writer;
}

// An environment variable's value, or the empty text.
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
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
  StreamPrompt prompt(err, framework::ShownPath(path) + ": ");
  if (!doc.OpenFile(path)) return false;
  fitted = FitRecord(doc);
  return true;
}

bool OpenAndFit(CDensoraDoc& doc, const std::string& path, std::ostream& err) {
  Fitted fit;
  return OpenFit(doc, path, fit, err);
}

std::string ProgramSettingsFile() {
  // An XDG_CONFIG_HOME that is not an absolute path counts as not set.
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = Environment("HOME") + "/.config";
  return SettingsFileIn(config);
}

#ifdef _WIN32
std::optional<std::string> ProgramSetting(const char* key) {
  // The program keeps a text as REG_SZ under HKEY_CURRENT_USER\Software\Vollin\Densora.
  const std::wstring name(key, key + std::char_traits<char>::length(key));
  const wchar_t* const folder = L"Software\\Vollin\\Densora";
  DWORD size = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, folder, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegGetValueW(HKEY_CURRENT_USER, folder, name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(::wcslen(value.c_str()));
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(value.size()),
                                          nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), text.data(),
                        bytes, nullptr, nullptr);
  return text;
}
#else
std::optional<std::string> ProgramSetting(const char* key) {
  return SettingsValue(ProgramSettingsFile(), key);
}
#endif

std::string ProjectsDirectory(const Arguments& args) {
  if (!args.projects.empty()) return args.projects;
#ifdef _WIN32
  return ProgramSetting("Project Directory").value_or("C:\\Densora");  // the program's default
#else
  return SettingsProjectsDir(ProgramSettingsFile(), Environment("HOME"));
#endif
}

void SetFamilyChartWriter(FamilyChartWriter writer) { ChartWriter() = std::move(writer); }

const FamilyChartWriter& GetFamilyChartWriter() { return ChartWriter(); }

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
