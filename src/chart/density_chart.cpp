// The moisture-density chart: the test points, the fitted curve, dashed drop lines to the
// peak, the grid with its labels, the results with the fit's warning, and the long-test
// marker, painted from the state that the last fit left in the curve. One painter serves
// the curve page (line widths 1, 1, 1) and the printed report (10, 7, 4).
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "framework/drawing_surface.h"
#include "framework/text_format.h"
#include "framework/tone.h"
#include "model/densora_doc.h"
#include "model/density_curve.h"

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
Ticks AxisTicks(framework::DrawingSurface& dc, const CDensityCurve& c, const Font& labelFont,
                int step) {
  const Font previous = dc.SelectFont(labelFont);
  Ticks t;
  t.x = AxisLabels(c.m_nXAxisMin, c.m_nXAxisMax, 1, [&](long long a, long long b) {
    return c.MapX(static_cast<double>(b)) - c.MapX(static_cast<double>(a)) >=
           dc.TextExtent(TickLabel(a) + " ").cx;
  });
  t.y = AxisLabels(c.m_nYAxisMin, c.m_nYAxisMax, step, [&](long long a, long long b) {
    return c.MapY(static_cast<double>(a)) - c.MapY(static_cast<double>(b)) >
           dc.TextExtent(TickLabel(b)).inkHeight;
  });
  dc.SelectFont(previous);
  return t;
}

// The frame, then the dotted grid at the labelled values inside it.
void DrawFrameAndGrid(framework::DrawingSurface& dc, const CDensityCurve& c, const Ticks& ticks,
                      const Pen& framePen, const Pen& gridPen) {
  const int x0 = c.MapX(c.m_nXAxisMin), x1 = c.MapX(c.m_nXAxisMax);
  const int y0 = c.MapY(c.m_nYAxisMin), y1 = c.MapY(c.m_nYAxisMax);
  dc.SelectPen(framePen);
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y0);
  dc.LineTo(x1, y1);
  dc.LineTo(x0, y1);
  dc.LineTo(x0, y0);
  dc.SelectPen(gridPen);
  for (long long v : ticks.x) {
    if (v <= c.m_nXAxisMin || v >= c.m_nXAxisMax) continue;
    const int x = c.MapX(static_cast<double>(v));
    dc.MoveTo(x, y0);
    dc.LineTo(x, y1);
  }
  for (long long v : ticks.y) {
    if (v <= c.m_nYAxisMin || v >= c.m_nYAxisMax) continue;
    const int y = c.MapY(static_cast<double>(v));
    dc.MoveTo(x0, y);
    dc.LineTo(x1, y);
  }
}

// Dashed drop lines from the peak to both axes, in the drop-line pen that is selected; on
// paper they are thickened by repeating them one device unit apart. They stay inside the
// plot area: a fit without a maximum (its results 0) would otherwise run them out across
// the labels to the edge of the window or page.
void DrawDropLines(framework::DrawingSurface& dc, const CDensityCurve& c, double moisture,
                   double density, int thickness) {
  const int xLeft = c.MapX(c.m_nXAxisMin), xRight = c.MapX(c.m_nXAxisMax);
  const int yBottom = c.MapY(c.m_nYAxisMin), yTop = c.MapY(c.m_nYAxisMax);
  const int xo = std::clamp(c.MapX(moisture), xLeft, xRight);
  const int yo = std::clamp(c.MapY(density), yTop, yBottom);
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

}  // namespace

// Both mappings work in doubles and truncate toward zero only at the end. When the pair of
// bounds is equal there is no scale; the value then maps onto the plot area's edge (the
// painter draws nothing mapped in that case).
int CDensityCurve::MapX(double moisture) const {
  const double span = static_cast<double>(m_nXAxisMax) - m_nXAxisMin;
  double offset = m_dLeftMargin;
  if (span != 0.0) {
    offset += (m_nWidth - (m_dRightMargin + m_dLeftMargin)) / span * (moisture - m_nXAxisMin);
  }
  return SaturatingTrunc(m_nLeft + std::trunc(offset));
}

int CDensityCurve::MapY(double unitWeight) const {
  const double span = static_cast<double>(m_nYAxisMax) - m_nYAxisMin;
  const double plot = m_nHeight - (m_dBottomMargin + m_dTopMargin);
  double offset = m_dTopMargin + plot;
  if (span != 0.0) offset -= plot / span * (unitWeight - m_nYAxisMin);
  return SaturatingTrunc(m_nTop + std::trunc(offset));
}

void CDensityCurve::DrawChart(framework::DrawingSurface& dc, int left, int top, int right,
                              int bottom, int framePenWidth, int curvePenWidth,
                              int dropLineThickness) {
  // 1. Layout and tools.
  m_nLeft = left;
  m_nTop = top;
  m_nWidth = right - left;
  m_nHeight = bottom - top;
  m_dLeftMargin = 0.12 * m_nWidth;
  m_dRightMargin = 0.03 * m_nWidth;
  m_dTopMargin = 0.09 * m_nHeight;
  m_dBottomMargin = 0.11 * m_nHeight;
  const int W = m_nWidth;
  const int H = m_nHeight;

  const CompactionRecord& rec = m_doc.m_record;
  const bool metric = m_doc.m_nUnits == kMetric;
  const int step = std::max(1, m_doc.AxisStep());
  const double factor = m_doc.DensityFactor();

  const Brush whiteBrush{false, kWhite};
  const Brush pointBrush{false, kBlue};
  const Pen curvePen{PenStyle::Solid, curvePenWidth, kBlue};
  const Pen dropPen{PenStyle::Dash, 1, kRed};
  const Pen gridPen{PenStyle::Dot, framework::ThinnestVisiblePenWidth(dc), kGridBlue};
  const Pen framePen{PenStyle::Solid, framePenWidth, kBlack};
  const Font titleFont = framework::PointFont(dc, 120);
  const Font axisFont = framework::PointFont(dc, 100);
  const Font axisFontUp = framework::PointFont(dc, 100, "Arial", 400, 900);
  const Font smallFont = framework::PointFont(dc, 80);

  const Pen oldPen = dc.SelectPen(curvePen);
  dc.SetBkMode(BkMode::Transparent);
  std::optional<Font> oldFont;
  auto selectFont = [&](const Font& f) {
    const Font previous = dc.SelectFont(f);
    if (!oldFont) oldFont = previous;
  };

  // With equal bounds nothing can be placed on the plot: the fill and every mapped item
  // are left out.
  const bool mappable = m_nXAxisMin != m_nXAxisMax && m_nYAxisMin != m_nYAxisMax;
  const int n = std::max(0, m_nPointCount);
  const int r = W / 150;

  // 2. The plot area's white background (the previous fit's area when this one had no points).
  if (mappable) {
    dc.FillRect(MapX(m_nXAxisMin), MapY(m_nYAxisMax), MapX(m_nXAxisMax), MapY(m_nYAxisMin),
                whiteBrush);
  }

  // 3. The test points as fitted.
  const Brush oldBrush = dc.SelectBrush(pointBrush);
  if (mappable) {
    const int markers = std::min<int>(
        n, static_cast<int>(std::min(m_dSortedMoisture.size(), m_dSortedUnitWeight.size())));
    for (int i = 0; i < markers; ++i) {
      const int cx = MapX(m_dSortedMoisture[static_cast<std::size_t>(i)]);
      const int cy = MapY(m_dSortedUnitWeight[static_cast<std::size_t>(i)]);
      dc.Ellipse(cx - r, cy - r, cx + r, cy + r);
    }
  }

  // 4. Frame and grid, over the markers. The grid lines carry the tick labels; both are
  // spread out only where neighbouring labels would run into each other.
  Ticks ticks;
  if (n > 0 && mappable) {
    ticks = AxisTicks(dc, *this, smallFont, step);
    DrawFrameAndGrid(dc, *this, ticks, framePen, gridPen);
  }

  // 5. Too few points for a curve.
  dc.SelectPen(curvePen);
  if (n < 3) {
    dc.DrawTextCentered("Insufficient Data", left, top, right, bottom);
  } else {
    if (mappable) {
      // 6. The curve through the samples; the closing repeat of the last point is left out.
      const std::size_t available =
          std::min(m_dSampleMoisture.size(), m_dSampleUnitWeight.size());
      const std::size_t drawn = std::min(available, static_cast<std::size_t>(20 * n - 19));
      std::vector<DevicePoint> line;
      line.reserve(drawn);
      for (std::size_t i = 0; i < drawn; ++i) {
        line.push_back({MapX(m_dSampleMoisture[i]), MapY(m_dSampleUnitWeight[i])});
      }
      dc.Polyline(line);

      // 7. Drop lines from the peak to both axes.
      dc.SelectPen(dropPen);
      DrawDropLines(dc, *this, rec.m_dOptimumMoisture, rec.m_dMaxDryDensity, dropLineThickness);

      // 8. Titles and tick labels; every position is a text's top-left corner.
      const int xLeft = MapX(m_nXAxisMin);
      const int xRight = MapX(m_nXAxisMax);
      const int yBottom = MapY(m_nYAxisMin);
      const int yTop = MapY(m_nYAxisMax);
      selectFont(axisFont);
      dc.TextOut((xLeft + xRight) / 2 - W / 14, yBottom + Trunc(H * (2.0 / 41.0)),
                 "Moisture (%)");
      selectFont(axisFontUp);
      dc.TextOut(xLeft - Trunc(W * (5.0 / 43.0)),
                 (yBottom + yTop) / 2 + (metric ? Trunc(H / 5.0) : Trunc(H / 6.0)),
                 "Dry Unit Weight " + WithoutBlanks(m_doc.AxisUnit()));
      selectFont(titleFont);
      dc.TextOut(MapX((m_nXAxisMin + m_nXAxisMax) / 2) - Trunc(W * (5.0 / 43.0)),
                 yTop - Trunc(H * (10.0 / 139.0)), "Moisture-Density Curve");
      selectFont(smallFont);
      for (long long v : ticks.x) {
        dc.TextOut(MapX(static_cast<double>(v)) - Trunc(W * (5.0 / 237.0)), yBottom + H / 87,
                   TickLabel(v));
      }
      const int labelX = xLeft - (metric ? Trunc(W / 12.5) : Trunc(W / 15.8));
      for (long long v : ticks.y) {
        dc.TextOut(labelX, MapY(static_cast<double>(v)) - Trunc(H * (2.0 / 87.0)),
                   TickLabel(v));
      }

      // 9. Results and the fit's warning, blanking what lies under them.
      dc.SetBkMode(BkMode::Opaque);
      const int textX = xLeft + Trunc(W * (5.0 / 158.0));
      dc.TextOut(textX, yTop + H / 116,
                 "Maximum Dry Density = " + framework::FormatFinite("%.1f", rec.m_dMaxDryDensity) +
                     " " + WithoutBlanksAndParentheses(m_doc.AxisUnit()));
      dc.TextOut(textX, yTop + Trunc(H * (5.0 / 116.0)),
                 "Optimum Moisture = " + framework::FormatFinite("%.1f", rec.m_dOptimumMoisture) +
                     " %");
      const std::size_t status = static_cast<std::size_t>(
          std::clamp(m_nStatus, 0, static_cast<int>(m_strMessages.size()) - 1));
      dc.TextOut(textX, yTop + H / 13, m_strMessages[status]);
    }

    // 10. Doubtful data sounds the warning tone.
    if (m_nStatus != kStatusOk && m_pTone != nullptr) m_pTone->Play(kToneHz, kToneMs);

    // 11. The long test as a square, labelled on the side away from the points.
    if (mappable) {
      dc.SelectPen(dropPen);
      const int lx = MapX(rec.m_dLongTestMoisture);
      const int ly = MapY(rec.m_dLongTestDensity * factor);
      dc.Rectangle(lx - r, ly - r, lx + r, ly + r);
      if (m_nLongTestSide == 1) {
        dc.TextOut(lx + 3 * r, ly - r, "<<<Long Test");
      } else {
        dc.TextOut(lx - 25 * r, ly - r, "Long Test>>>");
      }
    }
  }

  // 12. Put the surface back as it was.
  dc.SetBkMode(BkMode::Transparent);
  if (oldFont) dc.SelectFont(*oldFont);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}
