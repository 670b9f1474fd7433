#include "app/settings.h"

#include <QDir>
#include <QSettings>
#include <filesystem>
#include <system_error>

#include "app/resource.h"

namespace settings {
namespace {
const QString kProjectDirectory = QStringLiteral("Project Directory");
const QString kRecentGroup = QStringLiteral("Recent File List");

QSettings Store() { return QSettings(QStringLiteral("Vollin"), QStringLiteral("Densora")); }
}  // namespace

std::string DefaultProjectsDir() { return QDir::homePath().toStdString() + "/Densora"; }

std::string ReadProjectsDir() {
  QSettings s = Store();
  return s.value(kProjectDirectory, QString::fromStdString(DefaultProjectsDir()))
      .toString()
      .toStdString();
}

void WriteProjectsDir(const std::string& folder) {
  QSettings s = Store();
  s.setValue(kProjectDirectory, QString::fromStdString(folder));
}

void EnsureProjectsDir(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path p(folder);
  if (folder.empty() || std::filesystem::exists(p, ec)) return;
  std::filesystem::create_directory(p, ec);
}

std::vector<std::string> ReadRecentFiles() {
  QSettings s = Store();
  s.beginGroup(kRecentGroup);
  std::vector<std::string> files;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const QString f = s.value(QStringLiteral("File%1").arg(i)).toString();
    if (!f.isEmpty()) files.push_back(f.toStdString());
  }
  return files;
}

void WriteRecentFiles(const std::vector<std::string>& files) {
  QSettings s = Store();
  s.beginGroup(kRecentGroup);
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    if (k < files.size()) {
      s.setValue(QStringLiteral("File%1").arg(i), QString::fromStdString(files[k]));
    } else {
      s.remove(QStringLiteral("File%1").arg(i));
    }
  }
}

}  // namespace settings
