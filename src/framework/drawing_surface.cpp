#include "framework/drawing_surface.h"

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

}  // namespace framework
