#pragma once
// The .lng file-type association for the desktop: a desktop entry that opens the file with
// this program and a MIME type for "*.lng", written for the user at every start. Nothing of
// it is checked or reported: without them the program runs as before.
#include <QString>

namespace association {

inline constexpr const char* kMimeType = "application/x-densora-compaction";

// $XDG_DATA_HOME, or ~/.local/share when it is not set.
QString DataHome();
// The desktop entry's Exec line for the program at `exePath`, quoted as desktop entries
// quote arguments, followed by %f.
QString ExecLine(const QString& exePath);
// Writes `dataHome`/applications/densora.desktop and `dataHome`/mime/packages/densora.xml
// and the program's icon. Returns false when a file could not be written.
bool WriteAssociation(const QString& dataHome, const QString& exePath);
// Starts update-mime-database and update-desktop-database on `dataHome` where they exist,
// without waiting for them.
void RefreshDesktopDatabases(const QString& dataHome);

}  // namespace association
