#pragma once
// A 2-D drawing surface in device units: what the chart and the report paint on. The Qt
// implementation paints on screens, images, printers and PDF writers; tests record calls.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace framework {

struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

enum class PenStyle { Solid, Dash, Dot, Null };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;  // device units; 0 is the thinnest line the device draws
  Color color{};
  friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
  bool null = false;  // a hollow brush fills nothing
  Color color{255, 255, 255};
  friend bool operator==(const Brush&, const Brush&) = default;
};

struct Font {
  std::string face = "Arial";
  // Character height in device units, negative as the Windows rule gives it:
  // -(tenths of a point × vertical dpi / 720). 0 is the surface's default size.
  int height = 0;
  int weight = 400;    // 400 regular, 700 bold
  int escapement = 0;  // tenths of a degree, counter-clockwise; 900 reads bottom to top
  friend bool operator==(const Font&, const Font&) = default;
};

enum class BkMode { Transparent, Opaque };

// The room a one-line text takes, in device units: its advance, the font's line height, and
// the height of the text's own ink (for digits, their height above the baseline).
struct TextSize {
  int cx = 0, cy = 0;
  int inkHeight = 0;
  friend bool operator==(const TextSize&, const TextSize&) = default;
};

struct DevicePoint {
  int x = 0, y = 0;
  friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

// A one-bit picture: rows top to bottom, each row padded to a whole byte, most significant
// bit leftmost; a set bit is black.
struct MonoBitmap {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bits;
  bool Pixel(int x, int y) const {
    const std::size_t stride = (static_cast<std::size_t>(width) + 7) / 8;
    const std::size_t at = static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x / 8);
    return (bits[at] >> (7 - x % 8)) & 1;
  }
};

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;

  // Each Select returns what was selected before, so a painter can put it back.
  virtual Pen SelectPen(const Pen& pen) = 0;
  virtual Brush SelectBrush(const Brush& brush) = 0;
  virtual Font SelectFont(const Font& font) = 0;
  virtual BkMode SetBkMode(BkMode mode) = 0;

  // Fills (left, top)–(right, bottom), right and bottom excluded, with `brush`; no outline.
  virtual void FillRect(int left, int top, int right, int bottom, const Brush& brush) = 0;
  // Outlined with the current pen, filled with the current brush.
  virtual void Ellipse(int left, int top, int right, int bottom) = 0;
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Polyline(const std::vector<DevicePoint>& points) = 0;
  // Text (Windows-1252) with its top-left corner at (x, y), in the current font; with an
  // opaque background mode the text's box is filled white first.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  // One line of text centred horizontally and vertically in the rectangle.
  virtual void DrawTextCentered(const std::string& text, int left, int top, int right,
                                int bottom) = 0;
  // Copies the picture pixel for pixel with its top-left corner at (x, y).
  virtual void DrawBitmap(int x, int y, const MonoBitmap& bitmap) = 0;
  // The room `text` (Windows-1252) takes in the current font, unrotated.
  virtual TextSize TextExtent(const std::string& text) const = 0;
};

// A font of `tenthsOfPoint` for this surface: height −(tenths × dpiY / 720), integer division.
Font PointFont(const DrawingSurface& surface, int tenthsOfPoint, const std::string& face = "Arial",
               int weight = 400, int escapement = 0);

// The width of the thinnest line that shows on this surface: one pixel on a screen, a
// quarter of a point on paper (2 device units at 600 dpi, 4 at 1200 dpi). A pen of width 0
// would be one device pixel wide, which a fine printer draws too thin to see.
int ThinnestVisiblePenWidth(const DrawingSurface& surface);

// How many bytes of `text`, from its start, fit in `width` device units in the surface's
// current font (0 when not even the first does).
std::size_t FittingLength(const DrawingSurface& surface, const std::string& text, int width);

}  // namespace framework
