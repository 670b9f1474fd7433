#pragma once
// The desktop program's settings as the rest of Densora reads them without Qt: the file is
// the INI file the program keeps ("Project Directory" at its top level), and only what
// densora-cli needs of it is read.
#include <optional>
#include <string>
#include <string_view>

// The settings file under the user's configuration folder `configHome` (XDG_CONFIG_HOME, or
// HOME/.config): configHome/Vollin/Densora.conf.
std::string SettingsFileIn(const std::string& configHome);

// The text of the top-level setting `key` in the settings file `settingsFile`; none when the
// file cannot be read (missing, not a regular file, larger than a settings file can be) or
// does not hold the key as a text.
std::optional<std::string> SettingsValue(const std::string& settingsFile, std::string_view key);

// The projects directory the desktop program works in: the "Project Directory" kept in the
// settings file `settingsFile`, or `home`/Densora when none is kept or the file cannot be
// read (missing, not a regular file, larger than a settings file can be).
std::string SettingsProjectsDir(const std::string& settingsFile, const std::string& home);

// The value of `key` at the top level of INI text as the program's settings write it: the
// "[General]" section or before any section, a key's characters beyond letters, digits and
// "_-." written as "%XX" or "%UXXXX", a value in quotes where it has a comma, semicolon or
// equals sign or begins or ends with a blank, with backslash escapes ("\\", "\"", "\t",
// "\xHHHH") and a leading "@" doubled. nullopt when the key is not there, or holds a list
// or another type than a text.
std::optional<std::string> IniTopLevelValue(std::string_view text, std::string_view key);
