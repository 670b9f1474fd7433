#include "framework/qt/qt_surface.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cstdlib>

#include "framework/codepage.h"

namespace framework {

namespace {

QColor ToQColor(const Color& c) { return QColor(c.r, c.g, c.b); }

QString ToQString(const std::string& cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

// Strokes run through pixel centres, so that a one-pixel line at a whole device coordinate
// covers exactly that row or column of pixels.
QPointF Centre(int x, int y) { return QPointF(x + 0.5, y + 0.5); }

// The box a filled and outlined shape strokes: its outline runs along the inside of the
// rectangle's right and bottom edges, which are excluded as on Windows.
QRectF StrokeBox(int left, int top, int right, int bottom) {
  return QRectF(Centre(left, top), Centre(right - 1, bottom - 1)).normalized();
}

}  // namespace

QtPainterSurface::QtPainterSurface(QPainter& painter) : m_painter(painter) {
  m_painter.save();
  QPaintDevice* device = m_painter.device();
  m_dpiX = device != nullptr ? device->logicalDpiX() : 96;
  m_dpiY = device != nullptr ? device->logicalDpiY() : 96;
  m_painter.setRenderHint(QPainter::Antialiasing, true);
  m_painter.setRenderHint(QPainter::TextAntialiasing, true);
  ApplyPen();
  ApplyBrush();
}

QtPainterSurface::~QtPainterSurface() { m_painter.restore(); }

void QtPainterSurface::ApplyPen() {
  if (m_pen.style == PenStyle::Null) {
    m_painter.setPen(Qt::NoPen);
    return;
  }
  QPen pen(ToQColor(m_pen.color));
  // Width 0 is the thinnest line the device can draw.
  pen.setWidth(std::max(0, m_pen.width));
  pen.setCosmetic(m_pen.width <= 1);
  switch (m_pen.style) {
    case PenStyle::Dash:
      pen.setStyle(Qt::CustomDashLine);
      pen.setDashPattern({18.0, 6.0});
      pen.setCapStyle(Qt::FlatCap);
      break;
    case PenStyle::Dot:
      pen.setStyle(Qt::CustomDashLine);
      pen.setDashPattern({3.0, 3.0});
      pen.setCapStyle(Qt::FlatCap);
      break;
    default:
      pen.setStyle(Qt::SolidLine);
      // Wide solid pens have round ends and joins.
      pen.setCapStyle(m_pen.width > 1 ? Qt::RoundCap : Qt::SquareCap);
      pen.setJoinStyle(m_pen.width > 1 ? Qt::RoundJoin : Qt::MiterJoin);
      break;
  }
  m_painter.setPen(pen);
}

void QtPainterSurface::ApplyBrush() {
  if (m_brush.null) {
    m_painter.setBrush(Qt::NoBrush);
  } else {
    m_painter.setBrush(QBrush(ToQColor(m_brush.color)));
  }
}

QFont QtPainterSurface::ToQFont(const Font& font) const {
  QFont qf(QString::fromStdString(font.face));
  qf.setStyleHint(QFont::SansSerif);
  // The character height (the em size) in device pixels; 0 asks for the default size.
  long long pixels = std::llabs(static_cast<long long>(font.height));
  if (pixels == 0) pixels = 100LL * m_dpiY / 720;
  qf.setPixelSize(static_cast<int>(std::clamp<long long>(pixels, 1, 100000)));
  qf.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
  return qf;
}

Pen QtPainterSurface::SelectPen(const Pen& pen) {
  const Pen old = m_pen;
  m_pen = pen;
  ApplyPen();
  return old;
}

Brush QtPainterSurface::SelectBrush(const Brush& brush) {
  const Brush old = m_brush;
  m_brush = brush;
  ApplyBrush();
  return old;
}

Font QtPainterSurface::SelectFont(const Font& font) {
  const Font old = m_font;
  m_font = font;
  return old;
}

BkMode QtPainterSurface::SetBkMode(BkMode mode) {
  const BkMode old = m_bkMode;
  m_bkMode = mode;
  return old;
}

void QtPainterSurface::FillRect(int left, int top, int right, int bottom, const Brush& brush) {
  if (brush.null) return;
  const QRect box = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).normalized();
  m_painter.fillRect(box, ToQColor(brush.color));
}

void QtPainterSurface::Ellipse(int left, int top, int right, int bottom) {
  m_painter.drawEllipse(StrokeBox(left, top, right, bottom));
}

void QtPainterSurface::Rectangle(int left, int top, int right, int bottom) {
  m_painter.drawRect(StrokeBox(left, top, right, bottom));
}

void QtPainterSurface::MoveTo(int x, int y) { m_position = QPoint(x, y); }

void QtPainterSurface::LineTo(int x, int y) {
  m_painter.drawLine(Centre(m_position.x(), m_position.y()), Centre(x, y));
  m_position = QPoint(x, y);
}

void QtPainterSurface::Polyline(const std::vector<DevicePoint>& points) {
  if (points.size() < 2) return;
  QPolygonF line;
  line.reserve(static_cast<qsizetype>(points.size()));
  for (const auto& p : points) line << Centre(p.x, p.y);
  m_painter.drawPolyline(line);
}

void QtPainterSurface::DrawTextAt(int x, int y, const QString& text, int escapement) {
  const QFont qf = ToQFont(m_font);
  const QFontMetrics metrics(qf, m_painter.device());
  m_painter.save();
  m_painter.setFont(qf);
  m_painter.translate(x, y);
  // Escapement is counter-clockwise in tenths of a degree; 900 reads bottom to top.
  if (escapement != 0) m_painter.rotate(-escapement / 10.0);
  if (m_bkMode == BkMode::Opaque) {
    m_painter.fillRect(QRect(0, 0, metrics.horizontalAdvance(text), metrics.height()), Qt::white);
  }
  m_painter.setPen(QColor(0, 0, 0));
  m_painter.drawText(QPointF(0, metrics.ascent()), text);
  m_painter.restore();
}

void QtPainterSurface::TextOut(int x, int y, const std::string& text) {
  DrawTextAt(x, y, ToQString(text), m_font.escapement);
}

void QtPainterSurface::DrawTextCentered(const std::string& text, int left, int top, int right,
                                        int bottom) {
  const QString s = ToQString(text);
  const QFontMetrics metrics(ToQFont(m_font), m_painter.device());
  const int x = left + (right - left - metrics.horizontalAdvance(s)) / 2;
  const int y = top + (bottom - top - metrics.height()) / 2;
  DrawTextAt(x, y, s, 0);
}

TextSize QtPainterSurface::TextExtent(const std::string& text) const {
  const QFontMetrics metrics(ToQFont(m_font), m_painter.device());
  const QString s = ToQString(text);
  return {metrics.horizontalAdvance(s), metrics.height(),
          s.isEmpty() ? 0 : metrics.tightBoundingRect(s).height()};
}

void QtPainterSurface::DrawBitmap(int x, int y, const MonoBitmap& bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0) return;
  const int stride = (bitmap.width + 7) / 8;
  if (bitmap.bits.size() <
      static_cast<std::size_t>(stride) * static_cast<std::size_t>(bitmap.height)) {
    return;
  }
  QImage image(bitmap.width, bitmap.height, QImage::Format_Mono);
  image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  for (int row = 0; row < bitmap.height; ++row) {
    std::copy_n(bitmap.bits.data() + static_cast<std::size_t>(row) * stride, stride,
                image.scanLine(row));
  }
  m_painter.drawImage(QPoint(x, y), image);
}

}  // namespace framework
