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

}  // namespace

std::string InstalledGuide(const std::string& programDir) {
  // DENSORA_HELP_PATH is relative to the prefix, unless the data folder was set absolute.
  return (fs::path(programDir).parent_path() / DENSORA_HELP_PATH).lexically_normal().string();
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
