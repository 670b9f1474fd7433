#pragma once
// The window on the curve page that shows the moisture-density chart. It owns the screen's
// curve and draws that curve's last fit; painting never refits.
#include <QWidget>

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
  // The tone a chart with a warning sounds as it is drawn (nullptr: silent).
  void SetTone(framework::Tone* tone) { m_curve.SetTone(tone); }
  // Draws the chart on `painter` in the rectangle (0, 0)–(width, height).
  void Paint(QPainter& painter);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CDensityCurve m_curve;
};
