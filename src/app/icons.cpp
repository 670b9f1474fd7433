#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace icons {
namespace {

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

QIcon Document() {
  return Drawn([](QPainter& p) {
    Sheet(p);
    QPainterPath curve;
    curve.moveTo(4.5, 12.5);
    curve.cubicTo(6.5, 5.5, 9.5, 5.5, 11.5, 11.5);
    p.setPen(QPen(QColor(0, 0, 255), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(QPen(QColor(255, 0, 0), 0.8, Qt::DashLine));
    p.drawLine(QPointF(8, 7.2), QPointF(8, 13.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 255));
    for (QPointF c : {QPointF(5.2, 10.8), QPointF(8, 7.2), QPointF(10.8, 10)})
      p.drawEllipse(c, 1.1, 1.1);
  });
}

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
