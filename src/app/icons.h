#pragma once
// The program's pictures. The program's and the document's icon are image files
// (res/icons/, drawn as SVG, rendered to PNG at each size), built into the program as
// resources and installed into the desktop's icon theme under the names below. The toolbar's
// buttons take the desktop theme's icon of the same meaning when the theme has one, and are
// drawn here otherwise.
#include <QIcon>
#include <array>

namespace icons {

// The icon theme's names of the two pictures: the desktop entry's Icon and the MIME type's
// icon.
inline constexpr const char* kProgramName = "densora";
inline constexpr const char* kDocumentName = "application-x-densora-compaction";
// The sizes, in pixels, at which the resources hold each picture as PNG.
inline constexpr std::array<int, 6> kSizes = {16, 32, 48, 64, 128, 256};

// The resource path of the picture `name` as PNG at `size`, or of its SVG when `size` is 0.
QString ResourcePath(const char* name, int size);

// The program's icon: a moisture-density chart. The main window's icon.
QIcon Program();
// The document icon: a sheet with a moisture-density curve. The projects tree's test files
// and the About box.
QIcon Document();
QIcon FileNew();
QIcon FileOpen();
QIcon FileSave();
QIcon FilePrint();
QIcon FilePrintPreview();
QIcon HelpAbout();

}  // namespace icons
