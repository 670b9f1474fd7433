#include "support/recording_surface.h"

#include <cstdio>
#include <sstream>

namespace framework {

using Kind = RecordedCall::Kind;

RecordingSurface::RecordingSurface(int dpiX, int dpiY) : m_dpiX(dpiX), m_dpiY(dpiY) {}

RecordedCall& RecordingSurface::Record(Kind kind) {
  RecordedCall call;
  call.kind = kind;
  call.pen = m_pen;
  call.brush = m_brush;
  call.font = m_font;
  call.bkMode = m_bkMode;
  m_calls.push_back(std::move(call));
  return m_calls.back();
}

Pen RecordingSurface::SelectPen(const Pen& pen) {
  const Pen old = m_pen;
  m_pen = pen;
  Record(Kind::SelectPen);
  return old;
}

Brush RecordingSurface::SelectBrush(const Brush& brush) {
  const Brush old = m_brush;
  m_brush = brush;
  Record(Kind::SelectBrush);
  return old;
}

Font RecordingSurface::SelectFont(const Font& font) {
  const Font old = m_font;
  m_font = font;
  Record(Kind::SelectFont);
  return old;
}

BkMode RecordingSurface::SetBkMode(BkMode mode) {
  const BkMode old = m_bkMode;
  m_bkMode = mode;
  Record(Kind::SetBkMode);
  return old;
}

void RecordingSurface::FillRect(int left, int top, int right, int bottom, const Brush& brush) {
  RecordedCall& c = Record(Kind::FillRect);
  c.x = left;
  c.y = top;
  c.right = right;
  c.bottom = bottom;
  c.fill = brush;
}

void RecordingSurface::Ellipse(int left, int top, int right, int bottom) {
  RecordedCall& c = Record(Kind::Ellipse);
  c.x = left;
  c.y = top;
  c.right = right;
  c.bottom = bottom;
}

void RecordingSurface::Rectangle(int left, int top, int right, int bottom) {
  RecordedCall& c = Record(Kind::Rectangle);
  c.x = left;
  c.y = top;
  c.right = right;
  c.bottom = bottom;
}

void RecordingSurface::MoveTo(int x, int y) {
  RecordedCall& c = Record(Kind::MoveTo);
  c.x = x;
  c.y = y;
  m_position = {x, y};
}

void RecordingSurface::LineTo(int x, int y) {
  RecordedCall& c = Record(Kind::LineTo);
  c.from = m_position;
  c.x = x;
  c.y = y;
  m_position = {x, y};
}

void RecordingSurface::Polyline(const std::vector<DevicePoint>& points) {
  RecordedCall& c = Record(Kind::Polyline);
  c.points = points;
}

void RecordingSurface::TextOut(int x, int y, const std::string& text) {
  RecordedCall& c = Record(Kind::TextOut);
  c.x = x;
  c.y = y;
  c.text = text;
}

void RecordingSurface::DrawTextCentered(const std::string& text, int left, int top, int right,
                                        int bottom) {
  RecordedCall& c = Record(Kind::DrawTextCentered);
  c.x = left;
  c.y = top;
  c.right = right;
  c.bottom = bottom;
  c.text = text;
}

void RecordingSurface::DrawBitmap(int x, int y, const MonoBitmap& bitmap) {
  RecordedCall& c = Record(Kind::DrawBitmap);
  c.x = x;
  c.y = y;
  c.bitmapWidth = bitmap.width;
  c.bitmapHeight = bitmap.height;
  int black = 0;
  for (int row = 0; row < bitmap.height; ++row) {
    for (int col = 0; col < bitmap.width; ++col) black += bitmap.Pixel(col, row) ? 1 : 0;
  }
  c.bitmapBlack = black;
}

TextSize RecordingSurface::TextExtent(const std::string& text) const {
  long long em = m_font.height < 0 ? -static_cast<long long>(m_font.height) : m_font.height;
  if (em == 0) em = 100LL * m_dpiY / 720;
  long long eighteenths = 0;
  for (char c : text)
    eighteenths += (c == ' ' || c == '.' || c == ',' || c == ':' || c == ';') ? 5 : 10;
  const int ink = text.empty() ? 0 : static_cast<int>((em * 18 + 12) / 25);
  return {static_cast<int>((eighteenths * em + 9) / 18), static_cast<int>((em * 23 + 10) / 20),
          ink};
}

std::vector<RecordedCall> RecordingSurface::CallsOf(Kind kind) const {
  std::vector<RecordedCall> out;
  for (const auto& c : m_calls) {
    if (c.kind == kind) out.push_back(c);
  }
  return out;
}

const RecordedCall* RecordingSurface::FindText(const std::string& text) const {
  for (const auto& c : m_calls) {
    if ((c.kind == Kind::TextOut || c.kind == Kind::DrawTextCentered) && c.text == text) return &c;
  }
  return nullptr;
}

namespace {

std::ostream& operator<<(std::ostream& o, const Color& c) {
  return o << int{c.r} << ',' << int{c.g} << ',' << int{c.b};
}

std::ostream& operator<<(std::ostream& o, const Pen& p) {
  const char* styles[] = {"solid", "dash", "dot", "null"};
  return o << " pen " << styles[static_cast<int>(p.style)] << '/' << p.width << '/' << p.color;
}

std::ostream& operator<<(std::ostream& o, const Brush& b) {
  return b.null ? o << " brush null" : o << " brush " << b.color;
}

// A text in quotes and its font and background, in ASCII.
std::string Text(const RecordedCall& c) {
  std::string out = " \"";
  for (const char ch : c.text) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(ch));
    out += ch >= 0x20 && ch < 0x7F ? std::string(1, ch) : hex;
  }
  return out + "\" font " + c.font.face + '/' + std::to_string(c.font.height) + '/' +
         std::to_string(c.font.weight) + '/' + std::to_string(c.font.escapement) +
         (c.bkMode == BkMode::Opaque ? " opaque" : " transparent");
}

void Describe(std::ostream& o, const RecordedCall& c) {
  const std::string rect = std::to_string(c.x) + ' ' + std::to_string(c.y) + ' ' +
                           std::to_string(c.right) + ' ' + std::to_string(c.bottom);
  switch (c.kind) {
    case Kind::FillRect:
      o << "FillRect " << rect << " fill" << c.fill;
      break;
    case Kind::Ellipse:
      o << "Ellipse " << rect << c.pen << c.brush;
      break;
    case Kind::Rectangle:
      o << "Rectangle " << rect << c.pen << c.brush;
      break;
    case Kind::LineTo:
      o << "Line " << c.from.x << ' ' << c.from.y << ' ' << c.x << ' ' << c.y << c.pen;
      break;
    case Kind::Polyline:
      o << "Polyline" << c.pen << ':';
      for (const DevicePoint& p : c.points) o << ' ' << p.x << ',' << p.y;
      break;
    case Kind::TextOut:
      o << "TextOut " << c.x << ' ' << c.y << Text(c);
      break;
    case Kind::DrawTextCentered:
      o << "DrawTextCentered " << rect << Text(c);
      break;
    case Kind::DrawBitmap:
      o << "DrawBitmap " << c.x << ' ' << c.y << ' ' << c.bitmapWidth << 'x' << c.bitmapHeight
        << " black " << c.bitmapBlack;
      break;
    default:
      return;  // a selection or a move
  }
  o << '\n';
}

}  // namespace

std::string RecordingSurface::Dump() const {
  std::ostringstream o;
  for (const RecordedCall& c : m_calls) Describe(o, c);
  return o.str();
}

}  // namespace framework
