#pragma once
// The .lng file-type association for the desktop: a desktop entry that opens the file with
// this program and a MIME type for "*.lng", written for the user at every start unless an
// installed package provides them. Nothing of it is checked or reported: without them the
// program runs as before. The entry and the MIME
// type are the files res/com.vollin.densora.desktop.in and res/densora.xml, which an install
// puts into the system's folders too; the user's entry differs only in its Exec line. The
// entry's name is the program's reverse-DNS id, which the AppStream metadata and the window
// (its icon and name on Wayland) give as well.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace association {

// The desktop entry's file name; the window's desktop file name is this without ".desktop".
inline constexpr const char* kDesktopEntry = "com.vollin.densora.desktop";
// The name older versions gave the entry, in a package's folders and in the user's.
inline constexpr const char* kOldDesktopEntry = "densora.desktop";

// $XDG_DATA_HOME, or ~/.local/share when it is not set.
QString DataHome();
// The system's data folders, where an installed package puts its desktop entry:
// $XDG_DATA_DIRS, or /usr/local/share and /usr/share when it is not set; relative folders and
// the user's own data home left out.
QStringList SystemDataDirs();
// The desktop entry's Exec line for the program at `exePath`, quoted as desktop entries
// quote arguments, followed by %f. nullopt when the path holds a control character (a newline,
// a tab): a newline would end the line there and start another of the path's choosing.
std::optional<QString> ExecLine(const QString& exePath);
// The desktop entry with `execLine` as its Exec line.
QByteArray DesktopEntry(const QString& execLine);

// A file of the association: its path below the data home and its bytes.
using AssociationFile = std::pair<QString, QByteArray>;
// What a start writes for the program at `exePath`: applications/com.vollin.densora.desktop,
// mime/packages/densora.xml, and the program's and the document's icon under icons/hicolor
// (as SVG, and as PNG at 48 pixels for desktops that draw no SVG). Nothing at all when an
// installed package's entry (by its name or by an older version's) is in the applications
// folder of one of `systemDataDirs` (the desktop then uses the package's files, which the
// user's would shadow and outlive), nor when the program's path cannot be an Exec line.
std::vector<AssociationFile> AssociationFiles(const QString& exePath,
                                              const QStringList& systemDataDirs);
// Writes `files` into `dataHome`, each whole or not at all. Returns false when a file could
// not be written.
bool WriteAssociation(const QString& dataHome, const std::vector<AssociationFile>& files);
// Removes the entry an older version wrote for the user under its older name, which would
// stand in the menu beside the new one; an entry there that is not this program's is left.
void RemoveOldEntry(const QString& dataHome);
// Starts update-mime-database and update-desktop-database on `dataHome` where they exist,
// without waiting for them.
void RefreshDesktopDatabases(const QString& dataHome);

}  // namespace association
