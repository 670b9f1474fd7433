#include "app/help.h"

#include <QCoreApplication>
#include <filesystem>
#include <system_error>

namespace help {

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

bool IsFolder(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

// A path the build gives relative to the install prefix, for a program in `programDir`.
std::string BelowPrefix(const std::string& programDir, const char* relative) {
  // Relative to the prefix, unless the data folder was set absolute.
  return (fs::path(programDir).parent_path() / relative).lexically_normal().string();
}

}  // namespace

std::string InstalledGuide(const std::string& programDir) {
  return BelowPrefix(programDir, DENSORA_HELP_PATH);
}

std::string InstalledSamples(const std::string& programDir) {
  return BelowPrefix(programDir, DENSORA_SAMPLES_PATH);
}

std::optional<std::string> FindProgramSamples() {
  const std::string installed =
      InstalledSamples(QCoreApplication::applicationDirPath().toStdString());
  if (IsFolder(installed)) return installed;
  const fs::path source = fs::path(DENSORA_SOURCE_DIR) / "tests/data/sample-projects";
  if (IsFolder(source)) return source.string();
  return std::nullopt;
}

std::optional<std::string> FindGuide(const std::string& programDir, const std::string& sourceDir) {
  const std::string installed = InstalledGuide(programDir);
  if (IsFile(installed)) return installed;
  const fs::path source = fs::path(sourceDir) / "res/help/index.html";
  if (!sourceDir.empty() && IsFile(source)) return source.string();
  return std::nullopt;
}

std::optional<std::string> FindProgramGuide() {
  return FindGuide(QCoreApplication::applicationDirPath().toStdString(), DENSORA_SOURCE_DIR);
}

}  // namespace help
