// The desktop program's settings that densora-cli follows: the laboratory's relative-
// compaction percentages. The program keeps them with Qt's settings in an INI file, which
// densora-cli reads itself, without Qt.
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "framework/file_io.h"
#include "model/relative_compaction.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace cli {
namespace {

#ifdef _WIN32
// On Windows the program keeps its settings in the registry, a text as REG_SZ under
// HKEY_CURRENT_USER\Software\Vollin\Densora. nullopt when there is none.
std::optional<std::string> StoredSetting(const char* name) {
  const std::wstring wideName(name, name + std::char_traits<char>::length(name));
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Vollin\\Densora", wideName.c_str(),
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::string text;
  // Percentages are digits, points, commas and blanks: anything else cannot parse anyway.
  for (const wchar_t* c = value; *c != L'\0'; ++c) text += *c < 0x80 ? static_cast<char>(*c) : '?';
  return text;
}
#else
// A settings file is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kMaxSettingsBytes = 1 << 20;

// Where the desktop program keeps its settings: $XDG_CONFIG_HOME, else ~/.config, then
// Vollin/Densora.conf. Empty when neither folder is known.
std::string SettingsFile() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/Vollin/Densora.conf";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.config/Vollin/Densora.conf";
}

// A key as the settings file writes it: each byte that is not a letter, digit or one of
// "-_." as %XX ("Relative%20Compaction").
std::string EscapedKey(std::string_view key) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : key) {
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '_' || c == '.') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A value as the settings file writes a text: as it is, or, when it holds a comma or a quote,
// in double quotes with a backslash before each quote and backslash inside them.
std::string UnquotedValue(std::string_view value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::string(value);
  std::string out;
  for (std::size_t i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == '\\' && i + 2 < value.size()) ++i;
    out += value[i];
  }
  return out;
}

// The value of the top-level setting `key` (the [General] section of the file), or none.
std::optional<std::string> TopLevelValue(std::string_view text, std::string_view key) {
  const std::string escaped = EscapedKey(key);
  bool general = true;  // keys before any section are top-level too
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trimmed(text.substr(at, end - at));
    at = end + 1;
    if (line.starts_with('[')) {
      general = line == "[General]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!general || equals == std::string_view::npos) continue;
    if (Trimmed(line.substr(0, equals)) == escaped) {
      return UnquotedValue(Trimmed(line.substr(equals + 1)));
    }
  }
  return std::nullopt;
}
#endif

}  // namespace

std::vector<double> CompactionPercents(const Arguments& args) {
  if (!args.percent.empty())
    return ParseCompactionPercents(args.percent).value_or(std::vector<double>{});
  const std::vector<double> fallback = *ParseCompactionPercents(kDefaultCompactionPercents);
#ifdef _WIN32
  const std::optional<std::string> value = StoredSetting(kCompactionSetting);
  if (!value) return fallback;
  return ParseCompactionPercents(*value).value_or(fallback);
#else
  const std::string file = SettingsFile();
  if (file.empty()) return fallback;
  std::string text;
  try {
    const auto bytes = framework::ReadWholeFile(file, kMaxSettingsBytes);
    text.assign(bytes.begin(), bytes.end());
  } catch (const framework::CFileException&) {
    return fallback;  // no settings kept yet, or none that can be read
  }
  const std::optional<std::string> value = TopLevelValue(text, kCompactionSetting);
  if (!value) return fallback;
  return ParseCompactionPercents(*value).value_or(fallback);
#endif
}

}  // namespace cli
