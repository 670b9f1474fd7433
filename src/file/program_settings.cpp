#include "file/program_settings.h"

#include <vector>

#include "framework/file_io.h"

namespace {

// A settings file holds a handful of lines; anything larger is not one.
constexpr std::size_t kMaxSettingsBytes = 1u << 20;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The `count` hex digits at `at`, or -1 when they are not all there.
long HexAt(std::string_view s, std::size_t at, std::size_t count) {
  if (at + count > s.size()) return -1;
  long v = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    const int d = HexValue(s[i]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

// A key as written, its "%XX" (a Latin-1 character) and "%UXXXX" read back.
std::string UnescapedKey(std::string_view k) {
  std::string out;
  for (std::size_t i = 0; i < k.size(); ++i) {
    if (k[i] == '%') {
      if (const long u = k.substr(i + 1, 1) == "U" ? HexAt(k, i + 2, 4) : -1; u >= 0) {
        AppendUtf8(static_cast<char32_t>(u), out);
        i += 5;
        continue;
      }
      if (const long x = HexAt(k, i + 1, 2); x >= 0) {
        AppendUtf8(static_cast<char32_t>(x), out);
        i += 2;
        continue;
      }
    }
    out += k[i];
  }
  return out;
}

std::string_view Trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The character a backslash escape at `v[i]` (the backslash) stands for, appended to `out`;
// `i` left on the escape's last character.
void TakeEscape(std::string_view v, std::size_t& i, std::string& out) {
  if (i + 1 >= v.size()) return;
  const char c = v[++i];
  constexpr std::string_view kLetters = "abfnrtv";
  constexpr std::string_view kControls = "\a\b\f\n\r\t\v";
  if (const std::size_t k = kLetters.find(c); k != std::string_view::npos) {
    out += kControls[k];
  } else if (c == 'x') {
    long code = 0;
    while (i + 1 < v.size() && HexValue(v[i + 1]) >= 0 && code < 0x110000) {
      code = code * 16 + HexValue(v[++i]);
    }
    AppendUtf8(static_cast<char32_t>(code < 0x110000 ? code : 0xFFFD), out);
  } else if (c >= '0' && c <= '7') {
    long code = c - '0';
    while (i + 1 < v.size() && v[i + 1] >= '0' && v[i + 1] <= '7' && code < 0x110000) {
      code = code * 8 + (v[++i] - '0');
    }
    AppendUtf8(static_cast<char32_t>(code < 0x110000 ? code : 0xFFFD), out);
  } else {
    out += c;  // \" \\ \' \? and any other character as itself
  }
}

// A value as written, read back as one text; nullopt for a list (a comma outside quotes) or
// a value of another type ("@ByteArray(...)", "@Variant(...)").
std::optional<std::string> UnescapedValue(std::string_view v) {
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const char c = v[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '\\') {
      TakeEscape(v, i, out);
    } else if (!quoted && c == ',') {
      return std::nullopt;
    } else if (!quoted && c == ';') {
      break;  // a comment
    } else {
      out += c;
    }
  }
  if (out.rfind("@@", 0) == 0) return out.substr(1);
  if (!out.empty() && out.front() == '@') return std::nullopt;
  return out;
}

}  // namespace

std::string SettingsFileIn(const std::string& configHome) {
  return configHome + "/Vollin/Densora.conf";
}

std::optional<std::string> IniTopLevelValue(std::string_view text, std::string_view key) {
  std::optional<std::string> value;
  bool top = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      // A group of the program's own named "General" is written "%General".
      top = line == "[General]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!top || equals == std::string_view::npos) continue;
    if (UnescapedKey(Trimmed(line.substr(0, equals))) == key) {
      value = UnescapedValue(Trimmed(line.substr(equals + 1)));
    }
  }
  return value;
}

std::optional<std::string> SettingsValue(const std::string& settingsFile, std::string_view key) {
  try {
    const std::vector<unsigned char> bytes =
        framework::ReadWholeFile(settingsFile, kMaxSettingsBytes);
    return IniTopLevelValue(std::string(bytes.begin(), bytes.end()), key);
  } catch (const framework::CFileException&) {
    return std::nullopt;  // no settings, or none that can be read
  }
}

std::string SettingsProjectsDir(const std::string& settingsFile, const std::string& home) {
  if (std::optional<std::string> dir = SettingsValue(settingsFile, "Project Directory")) {
    return *dir;
  }
  return home + "/Densora";  // the program's default
}
