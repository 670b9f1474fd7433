#include "print/emblem.h"

#include <cstdint>

namespace print {

namespace {

bool InBox(int x, int y, int left, int top, int right, int bottom) {
  return x >= left && x < right && y >= top && y < bottom;
}

// Whether the pixel at (x, y) is black. The picture is made of plain shapes on a 600-pixel
// square whose centre is (300, 300).
bool EmblemPixel(int x, int y) {
  const int dx = x - 300;
  const int dy = y - 300;
  const int d2 = dx * dx + dy * dy;
  // The outer ring, and a thin ring inside it.
  if (d2 <= 296 * 296 && d2 >= 276 * 276) return true;
  if (d2 <= 266 * 266 && d2 >= 262 * 262) return true;
  if (d2 >= 262 * 262) return false;

  // The rammer: handle, shaft, drop weight and the foot resting on the soil.
  if (InBox(x, y, 262, 70, 338, 92)) return true;   // handle
  if (InBox(x, y, 290, 92, 310, 252)) return true;  // shaft
  if (InBox(x, y, 258, 146, 342, 214)) {            // drop weight, with a white band
    return !InBox(x, y, 266, 174, 334, 182);
  }
  if (InBox(x, y, 222, 252, 378, 288)) return true;  // foot

  // Motion marks either side of the drop weight.
  for (int k = 0; k < 3; ++k) {
    const int top = 150 + 24 * k;
    if (InBox(x, y, 212, top, 244, top + 6) || InBox(x, y, 356, top, 388, top + 6)) return true;
  }

  // The mold: two walls and a wider base plate.
  if (InBox(x, y, 168, 296, 184, 470) || InBox(x, y, 416, 296, 432, 470)) return true;
  if (InBox(x, y, 146, 470, 454, 490)) return true;

  // Three soil layers between the walls, a white seam between each.
  const int inner = x - 184;
  if (InBox(x, y, 184, 300, 416, 352)) {  // top layer: loose, a sparse stipple
    const int row = (y - 300) / 8;
    const int shift = (row % 2) * 6;
    return ((inner + shift) % 12) < 3 && ((y - 300) % 8) < 3;
  }
  if (InBox(x, y, 184, 358, 416, 410)) {  // middle layer: diagonal hatching
    return ((inner + y) % 12) < 5;
  }
  if (InBox(x, y, 184, 416, 416, 470)) {  // bottom layer: dense, solid with fine pores
    const int row = (y - 416) / 9;
    const int shift = (row % 2) * 9;
    return !(((inner + shift) % 18) < 2 && ((y - 416) % 9) < 2);
  }
  return false;
}

framework::MonoBitmap BuildEmblem() {
  framework::MonoBitmap bmp;
  bmp.width = kEmblemSize;
  bmp.height = kEmblemSize;
  const std::size_t stride = (kEmblemSize + 7) / 8;
  bmp.bits.assign(stride * kEmblemSize, 0);
  for (int y = 0; y < kEmblemSize; ++y) {
    for (int x = 0; x < kEmblemSize; ++x) {
      if (EmblemPixel(x, y)) {
        bmp.bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x / 8)] |=
            static_cast<std::uint8_t>(0x80u >> (x % 8));
      }
    }
  }
  return bmp;
}

}  // namespace

const framework::MonoBitmap& Emblem() {
  static const framework::MonoBitmap emblem = BuildEmblem();
  return emblem;
}

}  // namespace print
