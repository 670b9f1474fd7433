#include "chart/family_chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "file/family_folder.h"
#include "framework/drawing_surface.h"
#include "framework/text_format.h"
#include "model/density_curve.h"

namespace {

using framework::Brush;
using framework::Color;
using framework::DevicePoint;
using framework::Font;
using framework::Pen;
using framework::PenStyle;

// Muted colours that tell neighbouring curves apart without any of them shouting; the
// members take them in turn.
constexpr std::array<Color, 8> kMuted = {{{112, 138, 176},
                                          {176, 120, 112},
                                          {116, 160, 116},
                                          {168, 148, 100},
                                          {144, 120, 168},
                                          {100, 156, 156},
                                          {180, 132, 92},
                                          {136, 136, 136}}};
constexpr Color kFaint{200, 200, 200};
constexpr Color kBlack{0, 0, 0};
constexpr Color kWhite{255, 255, 255};
constexpr Color kGrid{210, 220, 228};
constexpr Color kSpine{40, 40, 40};
constexpr Color kNeighbour{0, 0, 255};
constexpr Color kPoint{220, 0, 0};

// The whole multiples of `step` at or below and at or above the range, with room: a unit
// weight axis from a step below the lowest curve to a step above the highest peak.
int FloorTo(double v, int step) { return SaturatingTrunc(std::floor(v / step)) * step; }
int CeilTo(double v, int step) { return SaturatingTrunc(std::ceil(v / step)) * step; }

// The labelled values from `lo` to `hi`: every `step`, or every 2, 5, 10, 20, ... steps where
// `fits(gap)` says labels `gap` units apart run into each other.
template <class Fits>
std::vector<int> Labels(int lo, int hi, int step, const Fits& fits) {
  std::vector<int> values;
  if (step <= 0 || lo > hi) return values;
  for (long long decade = 1; decade <= 100000000; decade *= 10) {
    for (long long m : {1LL, 2LL, 5LL}) {
      const long long unit = m * decade * step;
      if ((static_cast<long long>(hi) - lo) / unit > 1000 || !fits(static_cast<double>(unit))) {
        continue;
      }
      // The multiples of the unit inside the range.
      const long long first = lo >= 0 ? (lo + unit - 1) / unit * unit : -(-lo / unit * unit);
      for (long long v = first; v <= hi; v += unit) values.push_back(static_cast<int>(v));
      return values;
    }
  }
  return values;
}

struct Tools {
  int thin;
  Font title, axis, axisUp, small;
};

// A curve's samples where they lie on the chart.
std::vector<DevicePoint> CurveLine(const CFamilyChart& chart,
                                   const std::vector<CurveSample>& samples) {
  std::vector<DevicePoint> line;
  line.reserve(samples.size());
  for (const CurveSample& s : samples) {
    line.push_back({chart.MapX(s.moisture), chart.MapY(s.unitWeight)});
  }
  return line;
}

// The grid and its labels in the plot area from (x0, y1) to (x1, y0), as far apart as the
// labels need, in the small font selected.
struct PlotFrame {
  int x0, x1, y0, y1;
};
void DrawGrid(framework::DrawingSurface& dc, const CFamilyChart& chart, const Tools& tools,
              const PlotFrame& frame, double factor, int axisStep) {
  const int x0 = frame.x0, x1 = frame.x1, y0 = frame.y0, y1 = frame.y1;
  const framework::TextSize digit = dc.TextExtent("000.0");
  const std::vector<int> xs = Labels(chart.XMin(), chart.XMax(), 1, [&](double gap) {
    return (x1 - x0) * gap / (chart.XMax() - chart.XMin()) >= 1.5 * dc.TextExtent("00").cx;
  });
  const std::vector<int> ys = Labels(chart.YMin(), chart.YMax(), axisStep, [&](double gap) {
    return (y0 - y1) * gap / (chart.YMax() - chart.YMin()) >= 2.0 * digit.inkHeight;
  });
  const auto yOf = [&](int v) { return chart.MapY(v / factor); };
  dc.SelectPen(Pen{PenStyle::Solid, tools.thin, kGrid});
  for (int v : xs) {
    dc.MoveTo(chart.MapX(v), y0);
    dc.LineTo(chart.MapX(v), y1);
  }
  for (int v : ys) {
    dc.MoveTo(x0, yOf(v));
    dc.LineTo(x1, yOf(v));
  }
  for (int v : xs) {
    const std::string label = framework::StrFormat("%d", v);
    dc.TextOut(chart.MapX(v) - dc.TextExtent(label).cx / 2, y0 + digit.cy / 4, label);
  }
  for (int v : ys) {
    const std::string label = framework::StrFormat("%d", v);
    dc.TextOut(x0 - dc.TextExtent(label).cx - digit.cy / 3, yOf(v) - digit.cy / 2, label);
  }
}

// The members, faint under a one-point test's items, then their peaks, then the spine, bold,
// over the peaks' moisture range.
void DrawMembers(framework::DrawingSurface& dc, const CFamilyChart& chart, const Family& family,
                 const Tools& tools, bool faint, int marker) {
  for (std::size_t i = 0; i < family.members.size(); ++i) {
    const Color c = faint ? kFaint : FamilyMemberColor(i);
    dc.SelectPen(Pen{PenStyle::Solid, tools.thin, c});
    dc.Polyline(CurveLine(chart, family.members[i].fitted->Curve()));
  }
  for (std::size_t i = 0; i < family.members.size(); ++i) {
    const FittedTest& f = *family.members[i].fitted;
    const Color c = faint ? kFaint : FamilyMemberColor(i);
    dc.SelectPen(Pen{PenStyle::Solid, tools.thin, c});
    dc.SelectBrush(Brush{false, c});
    const int px = chart.MapX(f.optimumMoisture), py = chart.MapY(f.maxDryDensity);
    dc.Ellipse(px - marker, py - marker, px + marker + 1, py + marker + 1);
  }
  if (!family.spine) return;
  const Spine& s = *family.spine;
  std::vector<DevicePoint> line;
  constexpr int kSteps = 100;
  for (int k = 0; k <= kSteps; ++k) {
    const double w = s.moistureFrom + (s.moistureTo - s.moistureFrom) * k / kSteps;
    line.push_back({chart.MapX(w), chart.MapY(s.At(w))});
  }
  // Bold on every surface: three thin lines on a screen, a point and a half on paper.
  const int bold = std::max(3 * tools.thin, std::max(dc.DpiX(), dc.DpiY()) / 48);
  dc.SelectPen(Pen{PenStyle::Solid, bold, faint ? kFaint : kSpine});
  dc.Polyline(line);
}

// A one-point test's items: the neighbours in full colour, the curve in character through
// the point, dashed, and the point.
void DrawOverlay(framework::DrawingSurface& dc, const CFamilyChart& chart, const Family& family,
                 const Tools& tools, const FamilyChartOverlay& overlay, int marker) {
  dc.SelectPen(Pen{PenStyle::Solid, 2 * tools.thin, kNeighbour});
  for (std::size_t i : overlay.highlighted) {
    if (i < family.members.size()) dc.Polyline(CurveLine(chart, family.members[i].fitted->Curve()));
  }
  dc.SelectPen(Pen{PenStyle::Dash, tools.thin, kPoint});
  if (overlay.through.size() >= 2) dc.Polyline(CurveLine(chart, overlay.through));
  if (overlay.point) {
    dc.SelectPen(Pen{PenStyle::Solid, tools.thin, kPoint});
    dc.SelectBrush(Brush{false, kPoint});
    const int px = chart.MapX(overlay.point->moisture), py = chart.MapY(overlay.point->unitWeight);
    dc.Ellipse(px - 2 * marker, py - 2 * marker, px + 2 * marker + 1, py + 2 * marker + 1);
  }
}

}  // namespace

framework::Color FamilyMemberColor(std::size_t member) { return kMuted[member % kMuted.size()]; }

CFamilyChart::CFamilyChart(const Family& family, double densityFactor, std::string axisUnit,
                           int axisStep)
    : m_family(family),
      m_factor(densityFactor),
      m_axisUnit(std::move(axisUnit)),
      m_axisStep(std::max(1, axisStep)) {}

void CFamilyChart::FitBounds(const FamilyChartOverlay* overlay) {
  double wLo = 1e9, wHi = -1e9, dLo = 1e9, dHi = -1e9;
  const auto take = [&](double w, double dPcf) {
    if (!std::isfinite(w) || !std::isfinite(dPcf)) return;
    wLo = std::min(wLo, w);
    wHi = std::max(wHi, w);
    dLo = std::min(dLo, dPcf * m_factor);
    dHi = std::max(dHi, dPcf * m_factor);
  };
  for (const FolderTest& m : m_family.members) {
    for (const CurveSample& s : m.fitted->Curve()) take(s.moisture, s.unitWeight);
  }
  if (overlay != nullptr) {
    if (overlay->point) take(overlay->point->moisture, overlay->point->unitWeight);
    for (const CurveSample& s : overlay->through) take(s.moisture, s.unitWeight);
  }
  if (wLo > wHi) {
    m_xMin = m_xMax = m_yMin = m_yMax = 0;
    return;
  }
  m_xMin = SaturatingTrunc(std::floor(wLo)) - 1;
  m_xMax = SaturatingTrunc(std::ceil(wHi)) + 1;
  m_yMin = FloorTo(dLo, m_axisStep) - m_axisStep;
  m_yMax = CeilTo(dHi, m_axisStep) + m_axisStep;
}

int CFamilyChart::MapX(double moisture) const {
  const double span = static_cast<double>(m_xMax) - m_xMin;
  if (span == 0.0) return SaturatingTrunc(m_plotLeft);
  return SaturatingTrunc(m_plotLeft + (m_plotRight - m_plotLeft) * (moisture - m_xMin) / span);
}

int CFamilyChart::MapY(double densityPcf) const {
  const double span = static_cast<double>(m_yMax) - m_yMin;
  if (span == 0.0) return SaturatingTrunc(m_plotBottom);
  return SaturatingTrunc(m_plotBottom -
                         (m_plotBottom - m_plotTop) * (densityPcf * m_factor - m_yMin) / span);
}

void CFamilyChart::Draw(framework::DrawingSurface& dc, int left, int top, int right, int bottom,
                        const FamilyChartOverlay* overlay) {
  const int width = right - left, height = bottom - top;
  FitBounds(overlay);
  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Solid, 1, kBlack});
  const Brush oldBrush = dc.SelectBrush(Brush{false, kWhite});
  const framework::BkMode oldMode = dc.SetBkMode(framework::BkMode::Transparent);
  const Tools tools{framework::ThinnestVisiblePenWidth(dc), framework::PointFont(dc, 120),
                    framework::PointFont(dc, 100), framework::PointFont(dc, 100, "Arial", 400, 900),
                    framework::PointFont(dc, 80)};
  const Font oldFont = dc.SelectFont(tools.axis);
  const bool mappable = m_xMin != m_xMax && m_yMin != m_yMax && width > 0 && height > 0;
  if (!mappable) {
    dc.DrawTextCentered(m_family.Shortage(), left, top, right, bottom);
  } else {
    // Room below the plot for a row of labels and the axis title under them, however low
    // the chart.
    dc.SelectFont(tools.small);
    const double labelRows = 3.2 * dc.TextExtent("0").cy;
    dc.SelectFont(tools.axis);
    m_plotLeft = left + 0.12 * width;
    m_plotRight = right - 0.04 * width;
    m_plotTop = top + 0.12 * height;
    m_plotBottom = bottom - std::max(0.12 * height, labelRows);
    const int x0 = MapX(m_xMin), x1 = MapX(m_xMax);
    const int y0 = SaturatingTrunc(m_plotBottom), y1 = SaturatingTrunc(m_plotTop);
    dc.FillRect(x0, y1, x1, y0, Brush{false, kWhite});

    dc.SelectFont(tools.small);
    const framework::TextSize digit = dc.TextExtent("000.0");
    DrawGrid(dc, *this, tools, PlotFrame{x0, x1, y0, y1}, m_factor, m_axisStep);
    const int marker = std::max(2, width / 200);
    DrawMembers(dc, *this, m_family, tools, overlay != nullptr, marker);
    if (overlay != nullptr) DrawOverlay(dc, *this, m_family, tools, *overlay, marker);

    // The frame over everything, the axis titles and the chart's title.
    dc.SelectPen(Pen{PenStyle::Solid, tools.thin, kBlack});
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y0);
    dc.LineTo(x1, y1);
    dc.LineTo(x0, y1);
    dc.LineTo(x0, y0);
    dc.SelectFont(tools.axis);
    const std::string moistureTitle = "Moisture (%)";
    dc.TextOut((x0 + x1 - dc.TextExtent(moistureTitle).cx) / 2, y0 + 2 * digit.cy, moistureTitle);
    dc.SelectFont(tools.axisUp);
    const std::string densityTitle = "Dry Unit Weight (" + m_axisUnit + ")";
    dc.TextOut(left + digit.cy / 2, (y0 + y1 + dc.TextExtent(densityTitle).cx) / 2, densityTitle);
    dc.SelectFont(tools.title);
    const std::string title = framework::StrFormat(
        "Family of Curves: %s, %zu curves", m_family.key.Title().c_str(), m_family.members.size());
    dc.TextOut((x0 + x1 - dc.TextExtent(title).cx) / 2, top + height / 30, title);
  }
  dc.SelectFont(oldFont);
  dc.SetBkMode(oldMode);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

FamilyChartOverlay OnePointOverlay(const OnePointEvaluation& e, const CompactionRecord& record) {
  FamilyChartOverlay overlay;
  if (!e.family) return overlay;
  overlay.highlighted = e.result.tests;
  overlay.through = CurveThroughPoint(*e.family, e.result);
  for (int slot = 0; slot < kPointSlots; ++slot) {
    const TestPoint& p = record.Point(slot);
    if (p.IsEmpty()) continue;
    const double moisture = 100.0 * p.MoistureContent(), density = p.DryUnitWeight();
    if (std::isfinite(moisture) && std::isfinite(density) && density > 0) {
      overlay.point = CurveSample{moisture, density};
    }
    break;
  }
  return overlay;
}
