#include "framework/drawing_surface.h"

#include <algorithm>

namespace framework {

Font PointFont(const DrawingSurface& surface, int tenthsOfPoint, const std::string& face,
               int weight, int escapement) {
  Font f;
  f.face = face;
  f.height = -(tenthsOfPoint * surface.DpiY() / 720);
  f.weight = weight;
  f.escapement = escapement;
  return f;
}

int ThinnestVisiblePenWidth(const DrawingSurface& surface) {
  // A quarter point is 1/288 inch; rounded to whole device units, never below one.
  const int dpi = std::max(surface.DpiX(), surface.DpiY());
  return std::max(1, (dpi + 144) / 288);
}

std::size_t FittingLength(const DrawingSurface& surface, const std::string& text, int width) {
  // The advance grows with every character: the longest prefix that fits is found by halving.
  std::size_t lo = 0, hi = text.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo + 1) / 2;
    if (surface.TextExtent(text.substr(0, mid)).cx <= width) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  return lo;
}

}  // namespace framework
