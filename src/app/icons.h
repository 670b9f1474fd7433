#pragma once
// The program's pictures, drawn here so that they need no image files: the program and
// document icon and the toolbar's buttons. A toolbar button takes the desktop theme's icon
// of the same meaning when the theme has one.
#include <QIcon>

namespace icons {

// The document icon: a sheet with a moisture-density curve. Also the program's icon.
QIcon Document();
QIcon FileNew();
QIcon FileOpen();
QIcon FileSave();
QIcon FilePrint();
QIcon FilePrintPreview();
QIcon HelpAbout();

}  // namespace icons
