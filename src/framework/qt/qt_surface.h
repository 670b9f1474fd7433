#pragma once
// The drawing surface on a QPainter: screens, images, printers and PDF writers. Texts
// arrive in Windows-1252 and are converted here; fonts are sized by their character height
// in device pixels, as the painters compute it from the device's vertical resolution.
#include <QPainter>
#include <QPoint>

#include "framework/drawing_surface.h"

class QFont;
class QString;

namespace framework {

class QtPainterSurface : public DrawingSurface {
 public:
  // Paints with `painter`, which must be active; its state is saved here and restored when
  // the surface goes. The resolution is the painter's device's logical dpi. The surface
  // starts, like a fresh device context, with a thin black pen, a white brush, the default
  // font (Arial at 10 points) and an opaque background.
  explicit QtPainterSurface(QPainter& painter);
  ~QtPainterSurface() override;
  QtPainterSurface(const QtPainterSurface&) = delete;
  QtPainterSurface& operator=(const QtPainterSurface&) = delete;

  int DpiX() const override { return m_dpiX; }
  int DpiY() const override { return m_dpiY; }
  Pen SelectPen(const Pen& pen) override;
  Brush SelectBrush(const Brush& brush) override;
  Font SelectFont(const Font& font) override;
  BkMode SetBkMode(BkMode mode) override;
  void FillRect(int left, int top, int right, int bottom, const Brush& brush) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Polyline(const std::vector<DevicePoint>& points) override;
  void TextOut(int x, int y, const std::string& text) override;
  void DrawTextCentered(const std::string& text, int left, int top, int right, int bottom) override;
  void DrawBitmap(int x, int y, const MonoBitmap& bitmap) override;
  // The text's advance and the font's line height as the device measures them.
  TextSize TextExtent(const std::string& text) const override;

  // The Qt font a surface font stands for on this device.
  QFont ToQFont(const Font& font) const;

 private:
  void ApplyPen();
  void ApplyBrush();
  void DrawTextAt(int x, int y, const QString& text, int escapement);

  QPainter& m_painter;
  int m_dpiX;
  int m_dpiY;
  Pen m_pen{};
  Brush m_brush{};
  Font m_font{};
  BkMode m_bkMode = BkMode::Opaque;
  QPoint m_position{};
};

}  // namespace framework
