#include "chart/density_chart.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "framework/drawing_surface.h"
#include "framework/text_format.h"
#include "framework/tone.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/lab_results.h"
#include "model/long_test.h"
#include "model/relative_compaction.h"

namespace {

using framework::BkMode;
using framework::Brush;
using framework::Color;
using framework::DevicePoint;
using framework::Font;
using framework::Pen;
using framework::PenStyle;

constexpr Color kWhite{255, 255, 255};
constexpr Color kBlue{0, 0, 255};
constexpr Color kRed{255, 0, 0};
constexpr Color kGridBlue{117, 168, 190};
constexpr Color kBlack{0, 0, 0};
constexpr Color kDarkGreen{0, 128, 0};
constexpr Color kDarkGray{64, 64, 64};

// The zero-air-voids curve is sampled every tenth of a percent of moisture.
constexpr double kZeroAirVoidsStep = 0.1;

// A guard on the grid lines of one axis, far above what any plot shows.
constexpr long long kMaxGridLines = 10000;

constexpr int kToneHz = 1500;
constexpr int kToneMs = 1000;

// trunc(value) for the device offsets, safe for any double.
int Trunc(double value) { return SaturatingTrunc(value); }

// The tick label of a value: the integer followed by ".0".
std::string TickLabel(long long v) { return framework::StrFormat("%lld.0", v); }

// The values an axis labels, and draws its grid lines at: from `lo` every `step` units up to
// `hi`, or, where neighbouring labels would run into each other, every k-th of them with k
// the smallest of 2, 5, 10, 20, 50, … at which `apart(a, b)` holds for every pair of
// neighbours a < b. Empty when nothing can be placed.
template <class Apart>
std::vector<long long> AxisLabels(long long lo, long long hi, long long step, const Apart& apart) {
  if (step <= 0 || lo > hi) return {};
  for (long long decade = 1; decade <= 1000000000000LL; decade *= 10) {
    for (long long m : {1LL, 2LL, 5LL}) {
      const long long unit = m * decade * step;
      if ((hi - lo) / unit >= kMaxGridLines) continue;
      std::vector<long long> values{lo};
      bool clear = true;
      for (long long v = lo + unit; v <= hi && clear; v += unit) {
        clear = apart(values.back(), v);
        values.push_back(v);
      }
      if (clear) return values;
    }
  }
  return {};
}

std::string WithoutBlanks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ') out += c;
  }
  return out;
}

std::string WithoutBlanksAndParentheses(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '(' && c != ')') out += c;
  }
  return out;
}

struct Ticks {
  std::vector<long long> x, y;
};

// The labelled values of both axes, measured in the tick labels' font: a moisture label
// ends a blank before the next begins, and the digits of one unit-weight label end above
// those of the next.
Ticks AxisTicks(framework::DrawingSurface& dc, const CDensityChart& chart, const Font& labelFont,
                int step) {
  const CDensityCurve& c = chart.Curve();
  Font previous = dc.SelectFont(labelFont);
  Ticks t;
  t.x = AxisLabels(c.m_nXAxisMin, c.m_nXAxisMax, 1, [&](long long a, long long b) {
    return chart.MapX(static_cast<double>(b)) - chart.MapX(static_cast<double>(a)) >=
           dc.TextExtent(TickLabel(a) + " ").cx;
  });
  t.y = AxisLabels(c.m_nYAxisMin, c.m_nYAxisMax, step, [&](long long a, long long b) {
    return chart.MapY(static_cast<double>(a)) - chart.MapY(static_cast<double>(b)) >
           dc.TextExtent(TickLabel(b)).inkHeight;
  });
  dc.SelectFont(previous);
  return t;
}

// The plot area's edges in device units.
struct PlotEdges {
  int xLeft, xRight, yBottom, yTop;
};

PlotEdges Edges(const CDensityChart& chart) {
  const CDensityCurve& c = chart.Curve();
  return {chart.MapX(c.m_nXAxisMin), chart.MapX(c.m_nXAxisMax), chart.MapY(c.m_nYAxisMin),
          chart.MapY(c.m_nYAxisMax)};
}

// A text written on the plot: where it goes, and the rectangle it covers.
struct PlotText {
  int x = 0, y = 0;
  std::string text;
  int right = 0, bottom = 0;
  bool Meets(const PlotText& o) const {
    return x < o.right && o.x < right && y < o.bottom && o.y < bottom;
  }
};

PlotText MeasuredText(const framework::DrawingSurface& dc, int x, int y, std::string text) {
  const framework::TextSize size = dc.TextExtent(text);
  return PlotText{x, y, std::move(text), x + size.cx, y + size.cy};
}

// Draws the grid line from `from` to `to` along x (at height `at`) or along y (at `at`
// across), leaving out the stretches that pass under `texts`: the texts on the plot stand on
// the plot's white, and whatever else lies under them (the curve, a point) shows through.
void GridLineClearOf(framework::DrawingSurface& dc, bool alongX, int at, int from, int to,
                     const std::vector<PlotText>& texts) {
  if (from > to) std::swap(from, to);
  std::vector<std::pair<int, int>> under;  // the stretches under a text, along the line
  for (const PlotText& t : texts) {
    const auto [lo, hi] = alongX ? std::pair{t.x, t.right} : std::pair{t.y, t.bottom};
    const auto [across0, across1] = alongX ? std::pair{t.y, t.bottom} : std::pair{t.x, t.right};
    if (at >= across0 && at < across1 && lo < to && hi > from) under.emplace_back(lo, hi);
  }
  std::sort(under.begin(), under.end());
  int start = from;
  auto line = [&](int a, int b) {
    if (a >= b) return;
    if (alongX) {
      dc.MoveTo(a, at);
      dc.LineTo(b, at);
    } else {
      dc.MoveTo(at, b);
      dc.LineTo(at, a);
    }
  };
  for (const auto& [lo, hi] : under) {
    line(start, lo);
    start = std::max(start, hi);
  }
  line(start, to);
}

// The frame, then the dotted grid at the labelled values inside it, clear of `texts`.
void DrawFrameAndGrid(framework::DrawingSurface& dc, const CDensityChart& chart, const Ticks& ticks,
                      const Pen& framePen, const Pen& gridPen, const std::vector<PlotText>& texts) {
  const CDensityCurve& c = chart.Curve();
  const PlotEdges e = Edges(chart);
  const int x0 = e.xLeft, x1 = e.xRight, y0 = e.yBottom, y1 = e.yTop;
  dc.SelectPen(framePen);
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y0);
  dc.LineTo(x1, y1);
  dc.LineTo(x0, y1);
  dc.LineTo(x0, y0);
  dc.SelectPen(gridPen);
  for (long long v : ticks.x) {
    if (v <= c.m_nXAxisMin || v >= c.m_nXAxisMax) continue;
    GridLineClearOf(dc, false, chart.MapX(static_cast<double>(v)), y1, y0, texts);
  }
  for (long long v : ticks.y) {
    if (v <= c.m_nYAxisMin || v >= c.m_nYAxisMax) continue;
    GridLineClearOf(dc, true, chart.MapY(static_cast<double>(v)), x0, x1, texts);
  }
}

// Dashed drop lines from the peak to both axes, in the drop-line pen that is selected; on
// paper they are thickened by repeating them one device unit apart. They stay inside the
// plot area: a fit without a maximum (its results 0) would otherwise run them out across
// the labels to the edge of the window or page.
void DrawDropLines(framework::DrawingSurface& dc, const CDensityChart& chart, double moisture,
                   double density, int thickness) {
  const auto [xLeft, xRight, yBottom, yTop] = Edges(chart);
  const int xo = std::clamp(chart.MapX(moisture), xLeft, xRight);
  const int yo = std::clamp(chart.MapY(density), yTop, yBottom);
  const int repeats = thickness <= 1 ? 1 : thickness - 1;
  for (int j = 0; j < repeats; ++j) {
    const int y = std::min(yo + j, yBottom);
    const int x = std::min(xo + j, xRight);
    if (xo != xLeft) {
      dc.MoveTo(xLeft, y);
      dc.LineTo(xo, y);
    }
    if (yo != yBottom) {
      dc.MoveTo(x, yBottom);
      dc.LineTo(x, yo);
    }
  }
}

// The rectangle the chart was given, with the plot area's margins as fractions of it.
ChartLayout LayoutFor(int left, int top, int right, int bottom) {
  ChartLayout l;
  l.left = left;
  l.top = top;
  l.width = right - left;
  l.height = bottom - top;
  l.leftMargin = 0.12 * l.width;
  l.rightMargin = 0.03 * l.width;
  l.topMargin = 0.09 * l.height;
  l.bottomMargin = 0.11 * l.height;
  return l;
}

// The pens and fonts of one paint: screen and paper differ in the line widths.
struct ChartTools {
  Pen curvePen;
  Pen dropPen;
  Pen gridPen;
  Pen framePen;
  Pen zeroAirVoidsPen;
  Pen compactionPen;
  Font titleFont;
  Font axisFont;
  Font axisFontUp;
  Font smallFont;
};

// The zero-air-voids curve is a reference, not a result: it takes the thinnest of the line
// widths the chart was given (1 on screen, the drop lines' 4 on paper), never thinner than
// a line that shows on the surface.
ChartTools MakeTools(framework::DrawingSurface& dc, int framePenWidth, int curvePenWidth,
                     int dropLineThickness) {
  const int thinnest = framework::ThinnestVisiblePenWidth(dc);
  const int referenceWidth =
      std::max(thinnest, std::min({framePenWidth, curvePenWidth, dropLineThickness}));
  return ChartTools{Pen{PenStyle::Solid, curvePenWidth, kBlue},
                    Pen{PenStyle::Dash, 1, kRed},
                    Pen{PenStyle::Dot, thinnest, kGridBlue},
                    Pen{PenStyle::Solid, framePenWidth, kBlack},
                    Pen{PenStyle::Solid, referenceWidth, kDarkGreen},
                    Pen{PenStyle::Dash, thinnest, kDarkGray},
                    framework::PointFont(dc, 120),
                    framework::PointFont(dc, 100),
                    framework::PointFont(dc, 100, "Arial", 400, 900),
                    framework::PointFont(dc, 80)};
}

// The plot area's white background (the previous fit's area when this one had no points).
void FillPlotArea(framework::DrawingSurface& dc, const CDensityChart& chart) {
  const PlotEdges e = Edges(chart);
  dc.FillRect(e.xLeft, e.yTop, e.xRight, e.yBottom, Brush{false, kWhite});
}

// The test points as fitted, as circles of radius `r` in the selected brush.
void DrawPoints(framework::DrawingSurface& dc, const CDensityChart& chart, int n, int r) {
  const CDensityCurve& c = chart.Curve();
  const int markers = std::min<int>(
      n, static_cast<int>(std::min(c.m_dSortedMoisture.size(), c.m_dSortedUnitWeight.size())));
  for (int i = 0; i < markers; ++i) {
    const int cx = chart.MapX(c.m_dSortedMoisture[static_cast<std::size_t>(i)]);
    const int cy = chart.MapY(c.m_dSortedUnitWeight[static_cast<std::size_t>(i)]);
    dc.Ellipse(cx - r, cy - r, cx + r, cy + r);
  }
}

// The points the technician left out of the fit, as open circles of the fitted points' size:
// shown for what they are, where they lie inside the plot area (the axes frame only the
// points fitted). The brush is put back.
void DrawExcludedPoints(framework::DrawingSurface& dc, const CDensityChart& chart, int r) {
  const CDensityCurve& c = chart.Curve();
  const std::size_t count = std::min(c.m_dExcludedMoisture.size(), c.m_dExcludedUnitWeight.size());
  if (count == 0) return;
  const Brush previous = dc.SelectBrush(Brush{true, kWhite});
  for (std::size_t i = 0; i < count; ++i) {
    const double x = c.m_dExcludedMoisture[i];
    const double y = c.m_dExcludedUnitWeight[i];
    if (!(x >= c.m_nXAxisMin && x <= c.m_nXAxisMax && y >= c.m_nYAxisMin && y <= c.m_nYAxisMax)) {
      continue;
    }
    const int cx = chart.MapX(x);
    const int cy = chart.MapY(y);
    dc.Ellipse(cx - r, cy - r, cx + r, cy + r);
  }
  dc.SelectBrush(previous);
}

// The curve through the samples of `n` points; the closing repeat of the last point is
// left out.
void DrawCurve(framework::DrawingSurface& dc, const CDensityChart& chart, int n) {
  const CDensityCurve& c = chart.Curve();
  const std::size_t available = std::min(c.m_dSampleMoisture.size(), c.m_dSampleUnitWeight.size());
  const std::size_t drawn = std::min(available, static_cast<std::size_t>(20 * n - 19));
  std::vector<DevicePoint> line;
  line.reserve(drawn);
  for (std::size_t i = 0; i < drawn; ++i) {
    line.push_back({chart.MapX(c.m_dSampleMoisture[i]), chart.MapY(c.m_dSampleUnitWeight[i])});
  }
  dc.Polyline(line);
}

// A point of the plot in the axes' own units: moisture in percent, unit weight in the
// chart's unit.
struct PlotPoint {
  double moisture, unitWeight;
};

// Cuts the segment a–b to the part inside the axis bounds (Liang–Barsky), moving a and b
// onto it; false when no part of it is inside.
bool ClipToAxes(const CDensityCurve& c, PlotPoint& a, PlotPoint& b) {
  const double dx = b.moisture - a.moisture;
  const double dy = b.unitWeight - a.unitWeight;
  const double toward[4] = {-dx, dx, -dy, dy};
  const double room[4] = {a.moisture - c.m_nXAxisMin, c.m_nXAxisMax - a.moisture,
                          a.unitWeight - c.m_nYAxisMin, c.m_nYAxisMax - a.unitWeight};
  double enter = 0.0, leave = 1.0;
  for (int i = 0; i < 4; ++i) {
    if (toward[i] == 0.0) {
      if (room[i] < 0.0) return false;  // parallel to this edge and outside it
      continue;
    }
    const double t = room[i] / toward[i];
    if (toward[i] < 0.0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
  }
  if (enter > leave) return false;
  const PlotPoint from = a;
  a = {from.moisture + enter * dx, from.unitWeight + enter * dy};
  b = {from.moisture + leave * dx, from.unitWeight + leave * dy};
  return true;
}

// The zero-air-voids curve across the moisture axis as the device polylines of its parts
// inside the plot area. The curve falls as the moisture rises, so the part inside is one
// run; a sample that is not a positive finite unit weight breaks the line.
std::vector<std::vector<DevicePoint>> ZeroAirVoidsRuns(const CDensityChart& chart, double gs) {
  const CDensityCurve& c = chart.Curve();
  const std::vector<CurveSample> samples = ZeroAirVoidsCurve(
      gs, c.m_nXAxisMin, c.m_nXAxisMax, kZeroAirVoidsStep, c.Document().DensityFactor());
  std::vector<std::vector<DevicePoint>> runs;
  std::vector<DevicePoint> run;
  auto endRun = [&] {
    if (run.size() >= 2) runs.push_back(std::move(run));
    run.clear();
  };
  auto usable = [](const CurveSample& s) {
    return std::isfinite(s.unitWeight) && s.unitWeight > 0.0;
  };
  for (std::size_t i = 1; i < samples.size(); ++i) {
    PlotPoint a{samples[i - 1].moisture, samples[i - 1].unitWeight};
    PlotPoint b{samples[i].moisture, samples[i].unitWeight};
    if (!usable(samples[i - 1]) || !usable(samples[i]) || !ClipToAxes(c, a, b)) {
      endRun();
      continue;
    }
    const DevicePoint from{chart.MapX(a.moisture), chart.MapY(a.unitWeight)};
    if (run.empty() || run.back() != from) {
      endRun();
      run.push_back(from);
    }
    run.push_back({chart.MapX(b.moisture), chart.MapY(b.unitWeight)});
  }
  endRun();
  return runs;
}

// Where a label of `size` goes by the curve's right end: its top-left corner, `gap` clear
// of the curve and inside the plot area. A falling curve leaves the room below and left of
// each of its points free, and the room above and right of it; the label hangs below and
// left of the rightmost point that leaves it room there, else above and right of the
// rightmost point that does. None when the plot area is too small for it.
std::optional<DevicePoint> LabelCorner(const std::vector<DevicePoint>& line, const PlotEdges& e,
                                       const framework::TextSize& size, int gap) {
  for (auto p = line.rbegin(); p != line.rend(); ++p) {
    const DevicePoint corner{p->x - gap - size.cx, p->y + gap};
    if (corner.x >= e.xLeft + gap && corner.y + size.cy <= e.yBottom - gap) return corner;
  }
  for (auto p = line.rbegin(); p != line.rend(); ++p) {
    const DevicePoint corner{p->x + gap, p->y - gap - size.cy};
    if (corner.x + size.cx <= e.xRight - gap && corner.y >= e.yTop + gap) return corner;
  }
  return std::nullopt;
}

// The zero-air-voids curve of the record's specific gravity, inside the plot area, and its
// label by its right end; nothing without a specific gravity. The pen and font are put back.
void DrawZeroAirVoids(framework::DrawingSurface& dc, const CDensityChart& chart,
                      const ChartTools& tools, int gap) {
  const CDensityCurve& c = chart.Curve();
  const double gs = c.Document().m_record.m_ext.specificGravity;
  if (!(gs > 0.0) || !std::isfinite(gs)) return;
  const std::vector<std::vector<DevicePoint>> runs = ZeroAirVoidsRuns(chart, gs);
  if (runs.empty()) return;  // the curve passes above or below the whole plot
  const Pen previousPen = dc.SelectPen(tools.zeroAirVoidsPen);
  for (const auto& run : runs) dc.Polyline(run);
  dc.SelectPen(previousPen);
  const Font previousFont = dc.SelectFont(tools.smallFont);
  const std::string label = ZeroAirVoidsLabel(gs);
  if (const auto corner = LabelCorner(runs.back(), Edges(chart), dc.TextExtent(label), gap)) {
    dc.TextOut(corner->x, corner->y, label);
  }
  dc.SelectFont(previousFont);
}

// A thin dashed line across the plot at each relative-compaction density that lies within
// the unit-weight axis, labelled "95 %" inside the plot at its right end, above the line (below
// it when there is no room above). The pen and font are put back.
void DrawRelativeCompaction(framework::DrawingSurface& dc, const CDensityChart& chart,
                            const ChartTools& tools, int gap) {
  const CDensityCurve& c = chart.Curve();
  const std::vector<CompactionWindow> windows = RelativeCompaction(c);
  if (windows.empty()) return;
  const PlotEdges e = Edges(chart);
  const Pen previousPen = dc.SelectPen(tools.compactionPen);
  const Font previousFont = dc.SelectFont(tools.smallFont);
  for (const CompactionWindow& w : windows) {
    if (!(w.density >= c.m_nYAxisMin && w.density <= c.m_nYAxisMax)) continue;
    const int y = chart.MapY(w.density);
    dc.MoveTo(e.xLeft, y);
    dc.LineTo(e.xRight, y);
    const std::string label = PercentText(w.percent) + " %";
    const framework::TextSize size = dc.TextExtent(label);
    int top = y - gap / 2 - size.cy;
    if (top < e.yTop + gap / 2) top = y + gap / 2;
    dc.TextOut(e.xRight - gap - size.cx, top, label);
  }
  dc.SelectFont(previousFont);
  dc.SelectPen(previousPen);
}

// The axis titles, the chart's title and the tick labels; every position is a text's
// top-left corner. Leaves the tick labels' font selected and returns the font that was
// selected before.
Font DrawTitlesAndTickLabels(framework::DrawingSurface& dc, const CDensityChart& chart,
                             const ChartTools& tools, const Ticks& ticks) {
  const CDensityCurve& c = chart.Curve();
  const int W = chart.Layout().width;
  const int H = chart.Layout().height;
  const CDensoraDoc& doc = c.Document();
  const bool metric = doc.m_nUnits == kMetric;
  const PlotEdges e = Edges(chart);
  Font previous = dc.SelectFont(tools.axisFont);
  dc.TextOut((e.xLeft + e.xRight) / 2 - W / 14, e.yBottom + Trunc(H * (2.0 / 41.0)),
             "Moisture (%)");
  dc.SelectFont(tools.axisFontUp);
  dc.TextOut(e.xLeft - Trunc(W * (5.0 / 43.0)),
             (e.yBottom + e.yTop) / 2 + (metric ? Trunc(H / 5.0) : Trunc(H / 6.0)),
             "Dry Unit Weight " + WithoutBlanks(doc.AxisUnit()));
  dc.SelectFont(tools.titleFont);
  // The title starts from the whole percent in the middle of the moisture axis.
  const int middle = (c.m_nXAxisMin + c.m_nXAxisMax) / 2;
  dc.TextOut(chart.MapX(middle) - Trunc(W * (5.0 / 43.0)), e.yTop - Trunc(H * (10.0 / 139.0)),
             "Moisture-Density Curve");
  dc.SelectFont(tools.smallFont);
  for (long long v : ticks.x) {
    dc.TextOut(chart.MapX(static_cast<double>(v)) - Trunc(W * (5.0 / 237.0)), e.yBottom + H / 87,
               TickLabel(v));
  }
  const int labelX = e.xLeft - (metric ? Trunc(W / 12.5) : Trunc(W / 15.8));
  for (long long v : ticks.y) {
    dc.TextOut(labelX, chart.MapY(static_cast<double>(v)) - Trunc(H * (2.0 / 87.0)), TickLabel(v));
  }
  return previous;
}

// The texts on the plot of a fit of three or more points, measured in the tick labels'
// font: the peak's density and moisture and the fit's warning at the plot's top left (an
// empty warning covers nothing), then the long test's label beside its square, on the side
// away from the points. A label that would run into the results, as it does when the long
// test lies near the optimum at the top of the plot, goes to the square's other side when
// the plot has room there, else down below the results.
std::vector<PlotText> PlotTexts(framework::DrawingSurface& dc, const CDensityChart& chart,
                                const Font& font, int r) {
  const CDensityCurve& c = chart.Curve();
  const int W = chart.Layout().width;
  const int H = chart.Layout().height;
  const CDensoraDoc& doc = c.Document();
  const CompactionRecord& rec = doc.m_record;
  const PlotEdges e = Edges(chart);
  const Font previous = dc.SelectFont(font);
  const int textX = e.xLeft + Trunc(W * (5.0 / 158.0));
  const std::size_t status = static_cast<std::size_t>(
      std::clamp(c.m_nStatus, 0, static_cast<int>(c.m_strMessages.size()) - 1));
  std::vector<PlotText> texts = {
      MeasuredText(
          dc, textX, e.yTop + H / 116,
          "Maximum Dry Density = " + framework::FormatFinite("%.1f", rec.m_dMaxDryDensity) + " " +
              WithoutBlanksAndParentheses(doc.AxisUnit())),
      MeasuredText(
          dc, textX, e.yTop + Trunc(H * (5.0 / 116.0)),
          "Optimum Moisture = " + framework::FormatFinite("%.1f", rec.m_dOptimumMoisture) + " %"),
      MeasuredText(dc, textX, e.yTop + H / 13, c.m_strMessages[status])};
  if (texts.back().text.empty()) texts.back().right = texts.back().x;

  const int lx = chart.MapX(LongTestValue(rec.m_dLongTestMoisture));
  const int ly = chart.MapY(LongTestValue(rec.m_dLongTestDensity) * doc.DensityFactor());
  const PlotText right = MeasuredText(dc, lx + 3 * r, ly - r, "<<<Long Test");
  const PlotText left = MeasuredText(dc, lx - 25 * r, ly - r, "Long Test>>>");
  const auto clear = [&](const PlotText& label) {
    return std::none_of(texts.begin(), texts.end(),
                        [&](const PlotText& result) { return label.Meets(result); });
  };
  const bool onRight = c.m_nLongTestSide == CDensityCurve::kLabelRight;
  PlotText label = onRight ? right : left;
  if (!clear(label)) {
    const PlotText& other = onRight ? left : right;
    if (clear(other) && other.x >= e.xLeft && other.right <= e.xRight) {
      label = other;
    } else {
      for (const PlotText& result : texts) {
        if (!label.Meets(result)) continue;
        const int down = result.bottom - label.y;
        label.y += down;
        label.bottom += down;
      }
    }
  }
  texts.push_back(std::move(label));
  dc.SelectFont(previous);
  return texts;
}

// The peak's density and moisture and the fit's warning (the texts but the last of
// PlotTexts), over the plot's white that the grid leaves clear for them: what else lies
// under them, the curve near a peak at the top of the plot, shows through.
void DrawResults(framework::DrawingSurface& dc, const std::vector<PlotText>& texts) {
  for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
    dc.TextOut(texts[i].x, texts[i].y, texts[i].text);
  }
}

// The long test as a square of half-side `r`, and its label where PlotTexts put it, like the
// results over the plot's white.
void DrawLongTestMarker(framework::DrawingSurface& dc, const CDensityChart& chart, const Pen& pen,
                        int r, const PlotText& label) {
  const CDensityCurve& c = chart.Curve();
  const CDensoraDoc& doc = c.Document();
  const CompactionRecord& rec = doc.m_record;
  dc.SelectPen(pen);
  const int lx = chart.MapX(LongTestValue(rec.m_dLongTestMoisture));
  const int ly = chart.MapY(LongTestValue(rec.m_dLongTestDensity) * doc.DensityFactor());
  dc.Rectangle(lx - r, ly - r, lx + r, ly + r);
  dc.TextOut(label.x, label.y, label.text);
}

// Everything drawn from a fit of three or more points: the zero-air-voids curve under the
// fitted one, the fitted curve, the drop lines from its peak, the titles and labels, the
// long test's square and label, and the results over them (a long test near the top of the
// plot puts its square by the results, which stay readable). Returns the font selected before.
Font DrawFittedCurve(framework::DrawingSurface& dc, const CDensityChart& chart,
                     const ChartTools& tools, const Ticks& ticks,
                     const std::vector<PlotText>& texts, int n, int r, int dropLineThickness) {
  const CDensityCurve& c = chart.Curve();
  const CompactionRecord& rec = c.Document().m_record;
  // The label keeps a marker's radius clear of the curve and the plot's edges.
  DrawZeroAirVoids(dc, chart, tools, std::max(2, chart.Layout().width / 150));
  DrawCurve(dc, chart, n);
  DrawRelativeCompaction(dc, chart, tools, std::max(2, chart.Layout().width / 150));
  dc.SelectPen(tools.dropPen);
  DrawDropLines(dc, chart, rec.m_dOptimumMoisture, rec.m_dMaxDryDensity, dropLineThickness);
  Font previous = DrawTitlesAndTickLabels(dc, chart, tools, ticks);
  DrawLongTestMarker(dc, chart, tools.dropPen, r, texts.back());
  DrawResults(dc, texts);
  return previous;
}

}  // namespace

// Both mappings work in doubles and truncate toward zero only at the end. When the pair of
// bounds is equal there is no scale; the value then maps onto the plot area's edge (the
// painter draws nothing mapped in that case).
int CDensityChart::MapX(double moisture) const {
  const ChartLayout& l = m_layout;
  const CDensityCurve& c = m_curve;
  const double span = static_cast<double>(c.m_nXAxisMax) - c.m_nXAxisMin;
  double offset = l.leftMargin;
  if (span != 0.0) {
    offset += (l.width - (l.rightMargin + l.leftMargin)) / span * (moisture - c.m_nXAxisMin);
  }
  return SaturatingTrunc(l.left + std::trunc(offset));
}

int CDensityChart::MapY(double unitWeight) const {
  const ChartLayout& l = m_layout;
  const CDensityCurve& c = m_curve;
  const double span = static_cast<double>(c.m_nYAxisMax) - c.m_nYAxisMin;
  const double plot = l.height - (l.bottomMargin + l.topMargin);
  double offset = l.topMargin + plot;
  if (span != 0.0) offset -= plot / span * (unitWeight - c.m_nYAxisMin);
  return SaturatingTrunc(l.top + std::trunc(offset));
}

void CDensityChart::Draw(framework::DrawingSurface& dc, int left, int top, int right, int bottom,
                         int framePenWidth, int curvePenWidth, int dropLineThickness) {
  const CDensityCurve& c = m_curve;
  m_layout = LayoutFor(left, top, right, bottom);
  const ChartTools tools = MakeTools(dc, framePenWidth, curvePenWidth, dropLineThickness);
  const Pen oldPen = dc.SelectPen(tools.curvePen);
  dc.SetBkMode(BkMode::Transparent);

  // With equal bounds nothing can be placed on the plot: the fill and every mapped item
  // are left out.
  const bool mappable = c.m_nXAxisMin != c.m_nXAxisMax && c.m_nYAxisMin != c.m_nYAxisMax;
  const int n = std::max(0, c.m_nPointCount);
  const int r = m_layout.width / 150;

  if (mappable) FillPlotArea(dc, *this);
  const Brush oldBrush = dc.SelectBrush(Brush{false, kBlue});
  if (mappable) DrawPoints(dc, *this, n, r);
  if (mappable) DrawExcludedPoints(dc, *this, r);

  // Frame and grid go over the markers; the grid lines carry the tick labels, and leave the
  // texts on the plot clear.
  Ticks ticks;
  std::vector<PlotText> texts;
  if (n >= 3 && mappable) texts = PlotTexts(dc, *this, tools.smallFont, r);
  if (n > 0 && mappable) {
    ticks = AxisTicks(dc, *this, tools.smallFont, std::max(1, c.Document().AxisStep()));
    DrawFrameAndGrid(dc, *this, ticks, tools.framePen, tools.gridPen, texts);
  }

  dc.SelectPen(tools.curvePen);
  std::optional<Font> oldFont;
  if (n < 3) {
    dc.DrawTextCentered("Insufficient Data", left, top, right, bottom);
  } else {
    if (mappable) {
      oldFont = DrawFittedCurve(dc, *this, tools, ticks, texts, n, r, dropLineThickness);
    }
    // Doubtful data sounds the warning tone.
    if (c.m_nStatus != CDensityCurve::kStatusOk && m_pTone != nullptr)
      m_pTone->Play(kToneHz, kToneMs);
  }

  // Put the surface back as it was.
  dc.SetBkMode(BkMode::Transparent);
  if (oldFont) dc.SelectFont(*oldFont);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}
