#include "app/file_association.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "app/icons.h"

namespace association {
namespace {

bool WriteText(const QString& path, const QByteArray& text) {
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

QString ExecLine(const QString& exePath) {
  // Inside the quotes a quote, backquote, dollar sign and backslash are escaped with a
  // backslash; a desktop entry's string value then escapes each backslash once more.
  QString quoted;
  for (QChar c : exePath) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    if (c == u'%') quoted += u'%';
    quoted += c;
  }
  quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
  return QStringLiteral("\"") + quoted + QStringLiteral("\" %f");
}

bool WriteAssociation(const QString& dataHome, const QString& exePath) {
  const QByteArray desktop = QStringLiteral(
                                 "[Desktop Entry]\n"
                                 "Type=Application\n"
                                 "Name=Densora\n"
                                 "GenericName=Compaction Test\n"
                                 "Comment=Moisture-density (compaction) tests to AASHTO T-99\n"
                                 "Exec=%1\n"
                                 "Icon=densora\n"
                                 "MimeType=%2;\n"
                                 "Terminal=false\n"
                                 "Categories=Science;Engineering;\n")
                                 .arg(ExecLine(exePath), QString::fromLatin1(kMimeType))
                                 .toUtf8();
  const QByteArray mime =
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
          "  <mime-type type=\"%1\">\n"
          "    <comment>Densora compaction file</comment>\n"
          "    <icon name=\"densora\"/>\n"
          "    <glob pattern=\"*.lng\"/>\n"
          "  </mime-type>\n"
          "</mime-info>\n")
          .arg(QString::fromLatin1(kMimeType))
          .toUtf8();
  bool ok = WriteText(dataHome + QStringLiteral("/applications/densora.desktop"), desktop);
  ok = WriteText(dataHome + QStringLiteral("/mime/packages/densora.xml"), mime) && ok;
  const QString iconPath = dataHome + QStringLiteral("/icons/hicolor/48x48/apps/densora.png");
  QDir().mkpath(QFileInfo(iconPath).absolutePath());
  ok = icons::Document().pixmap(48, 48).save(iconPath, "PNG") && ok;
  return ok;
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
