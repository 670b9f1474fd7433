#pragma once
// The window on the curve page that shows the moisture-density chart. It owns the screen's
// curve and draws that curve's last fit; painting never refits.
#include <QWidget>
#include <optional>

#include "chart/density_chart.h"
#include "file/family_folder.h"
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
  // A one-point test's evaluation, drawn in the curve's place: its result, where it comes
  // from, its checks, and its family's chart with the point. nullopt: the curve's chart.
  void SetOnePoint(std::optional<OnePointEvaluation> e) { m_onePoint = std::move(e); }
  const std::optional<OnePointEvaluation>& OnePoint() const { return m_onePoint; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CDensityCurve m_curve;
  CDensityChart m_chart{m_curve};
  std::optional<OnePointEvaluation> m_onePoint;
  CDensoraDoc& m_doc;
};
