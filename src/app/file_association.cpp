#include "app/file_association.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <utility>
#include <vector>

#include "app/app_resources.h"
#include "app/icons.h"

namespace association {
namespace {

// Writes `text` whole or not at all; nothing, and false, for no text (a resource missing).
bool WriteText(const QString& path, const QByteArray& text) {
  if (text.isEmpty()) return false;
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write(text);
  return f.commit();
}

}  // namespace

QString DataHome() {
  const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
  return QDir::homePath() + QStringLiteral("/.local/share");
}

QStringList SystemDataDirs() {
  QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
  if (dirs.isEmpty()) dirs = QStringLiteral("/usr/local/share:/usr/share");
  const QString home = QDir::cleanPath(DataHome());
  QStringList out;
  for (const QString& dir : dirs.split(u':', Qt::SkipEmptyParts)) {
    if (QDir::isAbsolutePath(dir) && QDir::cleanPath(dir) != home) out << dir;
  }
  return out;
}

std::optional<QString> ExecLine(const QString& exePath) {
  // Inside the quotes a quote, backquote, dollar sign and backslash are escaped with a
  // backslash; a desktop entry's string value then escapes each backslash once more.
  QString quoted;
  for (QChar c : exePath) {
    if (c.category() == QChar::Other_Control) return std::nullopt;
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    if (c == u'%') quoted += u'%';
    quoted += c;
  }
  quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
  return QStringLiteral("\"") + quoted + QStringLiteral("\" %f");
}

QByteArray DesktopEntry(const QString& execLine) {
  QByteArray entry =
      resources::Read(QStringLiteral(":/densora/") + QString::fromLatin1(kDesktopEntry) + ".in");
  return entry.replace("@DENSORA_EXEC@", execLine.toUtf8());
}

std::vector<AssociationFile> AssociationFiles(const QString& exePath,
                                              const QStringList& systemDataDirs) {
  for (const QString& dir : systemDataDirs) {
    for (const char* entry : {kDesktopEntry, kOldDesktopEntry}) {
      if (QFileInfo::exists(dir + QStringLiteral("/applications/") + QString::fromLatin1(entry))) {
        return {};
      }
    }
  }
  const std::optional<QString> exec = ExecLine(exePath);
  if (!exec) return {};
  std::vector<AssociationFile> files = {
      {QStringLiteral("applications/") + QString::fromLatin1(kDesktopEntry), DesktopEntry(*exec)},
      {QStringLiteral("mime/packages/densora.xml"),
       resources::Read(QStringLiteral(":/densora/densora.xml"))}};
  // In the icon theme the program's icon is an application's, the document's the MIME type's.
  for (const auto& [name, context] :
       {std::pair{icons::kProgramName, "apps"}, std::pair{icons::kDocumentName, "mimetypes"}}) {
    const QString file =
        QStringLiteral("/%1/%2").arg(QString::fromLatin1(context), QString::fromLatin1(name));
    files.emplace_back(QStringLiteral("icons/hicolor/scalable") + file + QStringLiteral(".svg"),
                       resources::Read(icons::ResourcePath(name, 0)));
    files.emplace_back(QStringLiteral("icons/hicolor/48x48") + file + QStringLiteral(".png"),
                       resources::Read(icons::ResourcePath(name, 48)));
  }
  return files;
}

bool WriteAssociation(const QString& dataHome, const std::vector<AssociationFile>& files) {
  bool ok = true;
  for (const auto& [path, bytes] : files) {
    if (!WriteText(dataHome + u'/' + path, bytes)) ok = false;
  }
  return ok;
}

void RemoveOldEntry(const QString& dataHome) {
  const QString old =
      dataHome + QStringLiteral("/applications/") + QString::fromLatin1(kOldDesktopEntry);
  QFile f(old);
  if (!QFileInfo(old).isFile() || f.size() > 64 * 1024 || !f.open(QIODevice::ReadOnly)) return;
  const QByteArray entry = f.readAll();
  f.close();
  // Ours when it opens the program's own MIME type.
  if (entry.contains("\nMimeType=application/x-densora-compaction;")) QFile::remove(old);
}

void RefreshDesktopDatabases(const QString& dataHome) {
  const QString mimeTool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
  if (!mimeTool.isEmpty()) QProcess::startDetached(mimeTool, {dataHome + QStringLiteral("/mime")});
  const QString desktopTool =
      QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
  if (!desktopTool.isEmpty()) {
    QProcess::startDetached(desktopTool, {dataHome + QStringLiteral("/applications")});
  }
}

}  // namespace association
