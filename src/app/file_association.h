#pragma once
// The .lng file-type association for the desktop: a desktop entry that opens the file with
// this program and a MIME type for "*.lng", written for the user at every start. Nothing of
// it is checked or reported: without them the program runs as before. The entry and the MIME
// type are the files res/densora.desktop.in and res/densora.xml, which an install puts into
// the system's folders too; the user's entry differs only in its Exec line.
#include <QByteArray>
#include <QString>

namespace association {

// $XDG_DATA_HOME, or ~/.local/share when it is not set.
QString DataHome();
// The desktop entry's Exec line for the program at `exePath`, quoted as desktop entries
// quote arguments, followed by %f.
QString ExecLine(const QString& exePath);
// The desktop entry with `execLine` as its Exec line.
QByteArray DesktopEntry(const QString& execLine);
// Writes `dataHome`/applications/densora.desktop and `dataHome`/mime/packages/densora.xml,
// and the program's and the document's icon into `dataHome`/icons/hicolor (as SVG, and as
// PNG at 48 pixels for desktops that draw no SVG). Returns false when a file could not be
// written.
bool WriteAssociation(const QString& dataHome, const QString& exePath);
// Starts update-mime-database and update-desktop-database on `dataHome` where they exist,
// without waiting for them.
void RefreshDesktopDatabases(const QString& dataHome);

}  // namespace association
