#pragma once
// A drawing surface that draws nothing and remembers every call, together with the pen,
// brush, font and background mode selected when it was made. Tests read the calls back to
// check what a painter put where.
#include <string>
#include <vector>

#include "framework/drawing_surface.h"

namespace framework {

struct RecordedCall {
  enum class Kind {
    SelectPen,
    SelectBrush,
    SelectFont,
    SetBkMode,
    FillRect,
    Ellipse,
    Rectangle,
    MoveTo,
    LineTo,
    Polyline,
    TextOut,
    DrawTextCentered,
    DrawBitmap,
  };
  Kind kind = Kind::MoveTo;
  // A point call's x and y, or a rectangle's left and top.
  int x = 0, y = 0;
  // A rectangle's right and bottom.
  int right = 0, bottom = 0;
  // LineTo: where the line starts (the current position before the call).
  DevicePoint from{};
  std::string text;                 // TextOut, DrawTextCentered
  std::vector<DevicePoint> points;  // Polyline
  Brush fill{};                     // FillRect's own brush
  int bitmapWidth = 0, bitmapHeight = 0;
  int bitmapBlack = 0;  // DrawBitmap: the number of set pixels
  // The state in effect for this call (for a Select or SetBkMode: the new state).
  Pen pen{};
  Brush brush{};
  Font font{};
  BkMode bkMode = BkMode::Opaque;
};

class RecordingSurface : public DrawingSurface {
 public:
  // A fresh surface holds a thin black pen, a white brush, the default font and an opaque
  // background, as a new device context does.
  explicit RecordingSurface(int dpiX = 96, int dpiY = 96);

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
  // A fixed measure, so that tests know what fits, close to Arial's: a character is five
  // ninths of the character height wide (a digit), a blank or one of . , : ; half that; a
  // line is 1.15 character heights high and ink 0.72 of one (a digit); each rounded to the
  // nearest unit. A font of height 0 is 10 points high.
  TextSize TextExtent(const std::string& text) const override;

  const std::vector<RecordedCall>& Calls() const { return m_calls; }
  // The calls of one kind, in order.
  std::vector<RecordedCall> CallsOf(RecordedCall::Kind kind) const;
  // The texts written with TextOut, in order.
  std::vector<RecordedCall> Texts() const { return CallsOf(RecordedCall::Kind::TextOut); }
  // The first TextOut or DrawTextCentered of exactly `text`, or nullptr.
  const RecordedCall* FindText(const std::string& text) const;
  // The drawing calls, a line each with the pen, brush, font and background each was drawn
  // with: the picture in text, for golden files. Selections and moves show only through the
  // calls after them and are left out; a byte outside ASCII is written as \xHH.
  std::string Dump() const;
  // Forgets the calls; the selected objects stay.
  void Clear() { m_calls.clear(); }

  const Pen& CurrentPen() const { return m_pen; }
  const Brush& CurrentBrush() const { return m_brush; }
  const Font& CurrentFont() const { return m_font; }
  BkMode CurrentBkMode() const { return m_bkMode; }

 private:
  RecordedCall& Record(RecordedCall::Kind kind);

  int m_dpiX;
  int m_dpiY;
  Pen m_pen{};
  Brush m_brush{};
  Font m_font{};
  BkMode m_bkMode = BkMode::Opaque;
  DevicePoint m_position{};
  std::vector<RecordedCall> m_calls;
};

}  // namespace framework
