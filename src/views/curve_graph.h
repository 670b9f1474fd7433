#pragma once
// The window on the curve page that shows the moisture-density chart. It owns the screen's
// curve and draws that curve's last fit; painting never refits.
#include <QWidget>

#include "chart/density_chart.h"
#include "model/density_curve.h"

class CDensoraDoc;

namespace framework {
class Tone;
}

class CCurveGraph : public QWidget {
  Q_OBJECT
 public:
  CCurveGraph(CDensoraDoc& doc, QWidget* parent);
  ~CCurveGraph() override;

  CDensityCurve& Curve() { return m_curve; }
  const CDensityChart& Chart() const { return m_chart; }
  // The tone a chart with a warning sounds as it is drawn (nullptr: silent).
  void SetTone(framework::Tone* tone) { m_chart.SetTone(tone); }
  // Draws the chart on `painter` in the rectangle (0, 0)–(width, height).
  void Paint(QPainter& painter);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CDensityCurve m_curve;
  CDensityChart m_chart{m_curve};
};
