#pragma once
// The chart of a family of curves: every member's curve thin, each in a muted colour of its
// own with its peak marked, the spine bold over the peaks' moisture range, and the axes fitted
// to all of them. A one-point test's chart is the same family drawn faint, with its
// neighbours in full colour, the point, and the curve in character through it. One painter
// serves the screen, the printed page and densora-cli's image.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "framework/drawing_surface.h"
#include "model/family.h"

namespace framework {
class DrawingSurface;
}  // namespace framework

// The muted colour the chart draws the family's member `member` (its index) in, so that a
// table can show which curve is which.
framework::Color FamilyMemberColor(std::size_t member);

// What a one-point test adds to its family's chart (densities in pcf).
struct FamilyChartOverlay {
  std::vector<std::size_t> highlighted;  // members drawn in full colour: the neighbours
  std::optional<CurveSample> point;      // the one-point test's point
  std::vector<CurveSample> through;      // the curve in character through it
};

struct OnePointEvaluation;
class CompactionRecord;

// What a one-point test in `record`, evaluated as `e`, draws over its family: the
// neighbours, its point, and the curve in character through it. Nothing without a family.
FamilyChartOverlay OnePointOverlay(const OnePointEvaluation& e, const CompactionRecord& record);

class CFamilyChart {
 public:
  // The chart of `family`, which outlives it; unit weights are shown times `densityFactor`
  // (1 for pcf) with the axis title's unit `axisUnit` (Windows-1252: "pcf", "kg/m\xB3") and
  // labelled every `axisStep` units at most (the document's AxisStep).
  CFamilyChart(const Family& family, double densityFactor, std::string axisUnit, int axisStep);

  // Paints the chart in the rectangle. With `overlay`, the members are faint and the
  // overlay's items drawn over them. Line widths suit the surface: the thin lines are the
  // thinnest that show on it. Bounds come from the members' curves (and the overlay's
  // items); with nothing to draw, the family's shortage is written in the middle.
  void Draw(framework::DrawingSurface& dc, int left, int top, int right, int bottom,
            const FamilyChartOverlay* overlay = nullptr);

  // The axes' bounds of the last paint: whole percent and whole units.
  int XMin() const { return m_xMin; }
  int XMax() const { return m_xMax; }
  int YMin() const { return m_yMin; }
  int YMax() const { return m_yMax; }
  // Where a moisture (percent) and a unit weight in pcf lie in the last paint's rectangle.
  int MapX(double moisture) const;
  int MapY(double densityPcf) const;

 private:
  void FitBounds(const FamilyChartOverlay* overlay);

  const Family& m_family;
  double m_factor;
  std::string m_axisUnit;
  int m_axisStep;
  int m_xMin = 0, m_xMax = 0, m_yMin = 0, m_yMax = 0;
  // The plot area in device units.
  double m_plotLeft = 0, m_plotRight = 0, m_plotTop = 0, m_plotBottom = 0;
};
