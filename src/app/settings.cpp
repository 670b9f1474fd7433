#include "app/settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/resource.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "model/messages.h"
#include "model/relative_compaction.h"

namespace settings {
namespace {
const QString kProjectDirectory = QStringLiteral("Project Directory");
const QString kRecentGroup = QStringLiteral("Recent File List");

std::string SettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
         "/Vollin/Densora.conf";
}

// What stands in the settings' way: the settings file, or the lock file beside it that a
// write takes, when it is a folder, pipe, socket or device. Opening a pipe would wait for a
// writer for ever. Empty when there is nothing in the way.
std::string Obstacle() {
  const std::string file = SettingsFile();
  for (const std::string& path : {file, file + ".lock"}) {
    if (framework::IsSpecialFile(path)) return path;
  }
  return {};
}

// The settings file, or nullptr when something is in its way: the settings are then the
// defaults, and nothing is written.
std::unique_ptr<QSettings> Store() {
#ifdef Q_OS_WIN
  // The registry: HKEY_CURRENT_USER\Software\Vollin\Densora.
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                     QStringLiteral("Vollin"), QStringLiteral("Densora"));
#else
  if (!Obstacle().empty()) return nullptr;
  return std::make_unique<QSettings>(QString::fromStdString(SettingsFile()), QSettings::IniFormat);
#endif
}
}  // namespace

std::string Note() {
  const std::string obstacle = Obstacle();
  return obstacle.empty() ? std::string()
                          : framework::FormatPathStock(msg::kSettingsNotKept, obstacle);
}

std::string DefaultProjectsDir() {
#ifdef Q_OS_WIN
  return "C:\\Densora";
#else
  return QDir::homePath().toStdString() + "/Densora";
#endif
}

std::string ReadProjectsDir() {
  const std::unique_ptr<QSettings> s = Store();
  if (!s) return DefaultProjectsDir();
  return s->value(kProjectDirectory, QString::fromStdString(DefaultProjectsDir()))
      .toString()
      .toStdString();
}

void WriteProjectsDir(const std::string& folder) {
  if (const std::unique_ptr<QSettings> s = Store()) {
    s->setValue(kProjectDirectory, QString::fromStdString(folder));
  }
}

void EnsureProjectsDir(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::path p(folder);
  if (folder.empty() || std::filesystem::exists(p, ec)) return;
  std::filesystem::create_directory(p, ec);
}

std::vector<double> ReadRelativeCompaction() {
  const std::vector<double> fallback = *ParseCompactionPercents(kDefaultCompactionPercents);
  const std::unique_ptr<QSettings> s = Store();
  const QString key = QString::fromLatin1(kCompactionSetting);
  if (!s || !s->contains(key)) return fallback;
  return ParseCompactionPercents(s->value(key).toString().toStdString()).value_or(fallback);
}

void WriteRelativeCompaction(const std::vector<double>& percents) {
  if (const std::unique_ptr<QSettings> s = Store()) {
    s->setValue(QString::fromLatin1(kCompactionSetting),
                QString::fromStdString(FormatCompactionPercents(percents)));
  }
}

std::vector<std::string> ReadRecentFiles() {
  std::vector<std::string> files;
  const std::unique_ptr<QSettings> s = Store();
  if (!s) return files;
  s->beginGroup(kRecentGroup);
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const QString f = s->value(QStringLiteral("File%1").arg(i)).toString();
    if (!f.isEmpty()) files.push_back(f.toStdString());
  }
  return files;
}

void WriteRecentFiles(const std::vector<std::string>& files) {
  const std::unique_ptr<QSettings> s = Store();
  if (!s) return;
  s->beginGroup(kRecentGroup);
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    if (k < files.size()) {
      s->setValue(QStringLiteral("File%1").arg(i), QString::fromStdString(files[k]));
    } else {
      s->remove(QStringLiteral("File%1").arg(i));
    }
  }
}

}  // namespace settings
