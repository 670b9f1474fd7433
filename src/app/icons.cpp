#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

#include "app/app_resources.h"

namespace icons {
namespace {

QIcon FromResources(const char* name) {
  resources::Init();
  QIcon icon;
  for (int size : kSizes) icon.addFile(ResourcePath(name, size), QSize(size, size));
  return icon;
}

// Draws `paint` on a 16 × 16 grid scaled to each of the sizes.
QIcon Drawn(const std::function<void(QPainter&)>& paint) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    paint(p);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

QIcon Themed(const char* name, const std::function<void(QPainter&)>& paint) {
  const QString themeName = QString::fromLatin1(name);
  if (QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
  return Drawn(paint);
}

void Sheet(QPainter& p) {
  QPainterPath sheet;
  sheet.moveTo(3, 1);
  sheet.lineTo(10, 1);
  sheet.lineTo(13, 4);
  sheet.lineTo(13, 15);
  sheet.lineTo(3, 15);
  sheet.closeSubpath();
  p.setPen(QPen(QColor(60, 60, 60), 0.8));
  p.setBrush(Qt::white);
  p.drawPath(sheet);
  p.drawLine(QPointF(10, 1), QPointF(10, 4));
  p.drawLine(QPointF(10, 4), QPointF(13, 4));
}

}  // namespace

QString ResourcePath(const char* name, int size) {
  const QString file = QString::fromLatin1(name);
  if (size == 0) return QStringLiteral(":/densora/icons/%1.svg").arg(file);
  return QStringLiteral(":/densora/icons/%1x%1/%2.png").arg(size).arg(file);
}

QIcon Program() { return FromResources(kProgramName); }

QIcon Document() { return FromResources(kDocumentName); }

QIcon FileNew() {
  return Themed("document-new", [](QPainter& p) { Sheet(p); });
}

QIcon FileOpen() {
  return Themed("document-open", [](QPainter& p) {
    p.setPen(QPen(QColor(120, 90, 20), 0.8));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(1.5, 4, 12, 9.5));
    p.drawRect(QRectF(1.5, 2.5, 5, 1.5));
    p.setBrush(QColor(250, 225, 130));
    QPolygonF front{{3.5, 7}, {15, 7}, {13.5, 13.5}, {1.5, 13.5}};
    p.drawPolygon(front);
  });
}

QIcon FileSave() {
  return Themed("document-save", [](QPainter& p) {
    p.setPen(QPen(QColor(20, 20, 60), 0.8));
    p.setBrush(QColor(60, 80, 170));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4, 9.5, 8, 5));
  });
}

QIcon FilePrint() {
  return Themed("document-print", [](QPainter& p) {
    p.setPen(QPen(QColor(50, 50, 50), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 10.5, 8, 4));
    p.setPen(QPen(QColor(0, 160, 0), 1));
    p.drawPoint(QPointF(12.5, 8.5));
  });
}

QIcon FilePrintPreview() {
  return Themed("document-print-preview", [](QPainter& p) {
    Sheet(p);
    p.setPen(QPen(QColor(40, 40, 40), 1.3));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QPointF(7.5, 7.5), 3, 3);
    p.drawLine(QPointF(9.7, 9.7), QPointF(13.5, 13.5));
  });
}

QIcon HelpAbout() {
  return Themed("help-about", [](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 200));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(Qt::white);
    QFont f;
    f.setBold(true);
    f.setPixelSize(11);
    p.setFont(f);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
  });
}

}  // namespace icons
