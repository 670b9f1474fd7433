#pragma once
// The files built into the program from res/densora.qrc, under ":/densora/": the County list,
// the desktop entry's template, the MIME type and the icons.
#include <QByteArray>
#include <QString>

namespace resources {

// Makes the resources reachable. They live in a static library, which a program does not
// register by itself; any number of calls.
void Init();

// The bytes of the resource at `path` (":/densora/..."), or nothing when there is none.
QByteArray Read(const QString& path);

}  // namespace resources
