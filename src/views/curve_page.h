#pragma once
// The Moisture-density Curve page: the chart of the current record and the program's only
// switch between English and Metric units. Below the chart, when the points do not bracket
// the fit's optimum well, the checks that say so; the chart gives up the rows they take.
#include <QRect>

#include "views/control_ids.h"
#include "views/tab_page.h"

class CCurveGraph;
class CDensoraDoc;

namespace framework {
class Tone;
}

class CCurvePage : public CTabPage {
  Q_OBJECT
 public:
  using enum ctl::curve::Id;

  CCurvePage(const QRect& tabRect, QWidget* parent, CDensoraDoc& doc, framework::Tone* tone);

  bool OnInitDialog() override;
  // Recounts the points, refits the screen's curve and repaints the chart.
  void RefreshPage() override;

  // A unit button: 0 English, 1 Metric.
  void OnUnits(int units);
  CCurveGraph& Graph() { return *m_pGraph; }

 private:
  void Refit();
  // The bracketing checks of the current fit below the chart, or the chart alone.
  void ShowChecks();

  CDensoraDoc& m_doc;
  QRect m_rcGraph;  // the chart's place when there are no checks to show
  framework::Tone* m_pTone;
  CCurveGraph* m_pGraph = nullptr;
};
