#include "app/app_resources.h"

#include <QFile>

// Outside any namespace: the registration function the resource compiler wrote is global.
static void InitDensoraResources() { Q_INIT_RESOURCE(densora); }

namespace resources {

void Init() { InitDensoraResources(); }

QByteArray Read(const QString& path) {
  Init();
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

}  // namespace resources
