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

// Rough extents of a tick label in the 8 pt face, as multiples of its character height:
// the height of a line, and the advance of a digit (Arial's digits are all 0.556 em wide)
// with a little space to the next label.
constexpr double kLineHeightEm = 1.15;
constexpr double kDigitEm = 0.556;
constexpr double kLabelGapEm = 0.3;

constexpr int kToneHz = 1500;
constexpr int kToneMs = 1000;

// trunc(value) for the device offsets, safe for any double.
int Trunc(double value) { return SaturatingTrunc(value); }

// How many grid steps lie between two labelled grid lines: one step normally; when one step
// spans less than `minSpacing` device units (a long test far from the points stretches an
// axis over hundreds of steps) the smallest of 2, 5, 10, 20, 50, … steps that keeps the
// labels apart. 0 when nothing can be placed at all.
long long GridStride(double stepSpan, double minSpacing) {
  if (!std::isfinite(stepSpan) || !(stepSpan > 0.0)) return 0;
  if (stepSpan >= minSpacing) return 1;
  const double need = minSpacing / stepSpan;
  for (long long decade = 1; decade <= 1000000000000LL; decade *= 10) {
    for (long long m : {1LL, 2LL, 5LL}) {
      if (static_cast<double>(m * decade) >= need) return m * decade;
    }
  }
  return 0;
}

// The labelled values from `lo` up to `hi`, `unit` apart: from `lo` itself with a stride of
// one step, otherwise at the multiples of `unit`.
std::vector<long long> TickValues(long long lo, long long hi, long long stride, long long unit) {
  std::vector<long long> out;
  if (stride <= 0 || unit <= 0 || lo > hi) return out;
  long long v = lo;
  if (stride > 1) {
    v = lo / unit * unit;
    if (v < lo) v += unit;
  }
  for (; v <= hi && static_cast<long long>(out.size()) <= kMaxGridLines; v += unit) out.push_back(v);
  if (static_cast<long long>(out.size()) > kMaxGridLines) out.clear();
  return out;
}

int DigitsOf(long long v) { return static_cast<int>(std::to_string(v).size()); }

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
  const Pen gridPen{PenStyle::Dot, 0, kGridBlue};
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

  // The grid lines carry the tick labels; both are spread out only where neighbouring
  // labels would run into each other.
  const double em = std::abs(static_cast<double>(smallFont.height));
  const double plotW = W - (m_dRightMargin + m_dLeftMargin);
  const double plotH = H - (m_dBottomMargin + m_dTopMargin);
  const double xSpan = static_cast<double>(m_nXAxisMax) - m_nXAxisMin;
  const double ySpan = static_cast<double>(m_nYAxisMax) - m_nYAxisMin;
  const int widestX = std::max(DigitsOf(m_nXAxisMin), DigitsOf(m_nXAxisMax)) + 2;
  const long long xStride =
      GridStride(plotW / xSpan, em * (widestX * kDigitEm + kLabelGapEm));
  const long long yStride = GridStride(plotH / ySpan * step, em * kLineHeightEm);
  const std::vector<long long> xTicks = TickValues(m_nXAxisMin, m_nXAxisMax, xStride, xStride);
  const std::vector<long long> yTicks =
      TickValues(m_nYAxisMin, m_nYAxisMax, yStride, yStride * step);

  // 4. Frame and grid, over the markers.
  if (n > 0 && mappable) {
    const int x0 = MapX(m_nXAxisMin), x1 = MapX(m_nXAxisMax);
    const int y0 = MapY(m_nYAxisMin), y1 = MapY(m_nYAxisMax);
    dc.SelectPen(framePen);
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y0);
    dc.LineTo(x1, y1);
    dc.LineTo(x0, y1);
    dc.LineTo(x0, y0);
    dc.SelectPen(gridPen);
    for (long long v : xTicks) {
      if (v <= m_nXAxisMin || v >= m_nXAxisMax) continue;
      const int x = MapX(static_cast<double>(v));
      dc.MoveTo(x, y0);
      dc.LineTo(x, y1);
    }
    for (long long v : yTicks) {
      if (v <= m_nYAxisMin || v >= m_nYAxisMax) continue;
      const int y = MapY(static_cast<double>(v));
      dc.MoveTo(x0, y);
      dc.LineTo(x1, y);
    }
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

      // 7. Dashed drop lines from the peak to both axes; on paper they are thickened by
      // repeating them one device unit apart.
      dc.SelectPen(dropPen);
      const int xo = MapX(rec.m_dOptimumMoisture);
      const int yo = MapY(rec.m_dMaxDryDensity);
      const int xStart = MapX(m_nXAxisMin);
      const int yStart = MapY(m_nYAxisMin);
      const int repeats = dropLineThickness <= 1 ? 1 : dropLineThickness - 1;
      for (int j = 0; j < repeats; ++j) {
        dc.MoveTo(xStart, yo + j);
        dc.LineTo(xo, yo + j);
        dc.MoveTo(xo + j, yStart);
        dc.LineTo(xo + j, yo);
      }

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
      for (long long v : xTicks) {
        dc.TextOut(MapX(static_cast<double>(v)) - Trunc(W * (5.0 / 237.0)), yBottom + H / 87,
                   framework::StrFormat("%lld.0", v));
      }
      const int labelX = xLeft - (metric ? Trunc(W / 12.5) : Trunc(W / 15.8));
      for (long long v : yTicks) {
        dc.TextOut(labelX, MapY(static_cast<double>(v)) - Trunc(H * (2.0 / 87.0)),
                   framework::StrFormat("%lld.0", v));
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
