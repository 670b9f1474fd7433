#pragma once
// The moisture-density chart, painted from the state that the last fit left in a curve. One
// painter serves the curve page (line widths 1, 1, 1) and the printed report (10, 7, 4).
class CDensityCurve;

namespace framework {
class DrawingSurface;
class Tone;
}  // namespace framework

// Where the chart places itself: the rectangle it was given and the plot area's margins
// inside it, set at the start of every paint.
struct ChartLayout {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  double leftMargin = 0.0;
  double rightMargin = 0.0;
  double topMargin = 0.0;
  double bottomMargin = 0.0;
};

class CDensityChart {
 public:
  // The chart of `curve`'s fit; the curve outlives the chart.
  explicit CDensityChart(CDensityCurve& curve) : m_curve(curve) {}

  CDensityCurve& Curve() const { return m_curve; }
  // The tone sounded when a chart with a warning is drawn (none: silent).
  void SetTone(framework::Tone* tone) { m_pTone = tone; }

  // Paints the chart in the rectangle: the test points (those left out of the fit open),
  // the zero-air-voids curve when the soil's specific gravity is known, the fitted curve, the
  // document's relative-compaction lines, dashed drop lines to the peak, the grid with its
  // labels, the results with the fit's warning, and the long-test marker.
  void Draw(framework::DrawingSurface& dc, int left, int top, int right, int bottom,
            int framePenWidth, int curvePenWidth, int dropLineThickness);
  // Where a moisture and a unit weight lie in the rectangle of the last paint.
  int MapX(double moisture) const;
  int MapY(double unitWeight) const;
  const ChartLayout& Layout() const { return m_layout; }

 private:
  CDensityCurve& m_curve;
  ChartLayout m_layout;
  framework::Tone* m_pTone = nullptr;
};
