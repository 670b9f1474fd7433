#include "views/curve_page.h"

#include <QLabel>
#include <QRadioButton>

#include "framework/qt/qt_text.h"
#include "model/densora_doc.h"
#include "model/lab_results.h"
#include "views/curve_graph.h"

CCurvePage::CCurvePage(const QRect& tabRect, QWidget* parent, CDensoraDoc& doc,
                       framework::Tone* tone)
    : CTabPage(tabRect, dlg::kCurvePage, parent), m_doc(doc), m_pTone(tone) {}

bool CCurvePage::OnInitDialog() {
  CTabPage::OnInitDialog();
  // The chart window takes the place of the graph's frame control, keeping its identifier.
  QWidget* frame = Control(IDC_GRAPH);
  m_pGraph = new CCurveGraph(m_doc, this);
  m_rcGraph = frame->geometry();
  m_pGraph->setGeometry(m_rcGraph);
  m_pGraph->setObjectName(frame->objectName());
  m_pGraph->setProperty("controlId", IDC_GRAPH);
  m_pGraph->SetTone(m_pTone);
  m_controls[IDC_GRAPH] = m_pGraph;
  delete frame;
  m_pGraph->show();

  auto* english = ControlAs<QRadioButton>(IDC_ENGLISH);
  auto* metric = ControlAs<QRadioButton>(IDC_METRIC);
  connect(english, &QRadioButton::clicked, this, [this] { OnUnits(kEnglish); });
  connect(metric, &QRadioButton::clicked, this, [this] { OnUnits(kMetric); });

  Refit();
  english->setChecked(m_doc.m_nUnits == kEnglish);
  metric->setChecked(m_doc.m_nUnits == kMetric);
  return true;
}

void CCurvePage::Refit() {
  m_pGraph->Curve().FitRecord();
  ShowChecks();
  m_pGraph->update();
}

void CCurvePage::ShowChecks() {
  auto* label = ControlAs<QLabel>(IDC_CHECKS);
  const std::vector<std::string> checks = EvaluateLab(m_doc).bracketing;
  if (checks.empty()) {
    label->hide();
    m_pGraph->setGeometry(m_rcGraph);
    return;
  }
  std::string text;
  for (const std::string& c : checks) text += (text.empty() ? "" : "\n") + c;
  label->setText(framework::FromCp1252(text));
  // The checks take the page's foot below the chart and as many rows more of the chart as
  // they need; never a part of the chart itself.
  const int rows = label->fontMetrics().lineSpacing() * static_cast<int>(checks.size());
  const int bottom = height();
  const int top = std::min(m_rcGraph.bottom() + 1, bottom - rows);
  label->setGeometry(m_rcGraph.left(), top, m_rcGraph.width(), bottom - top);
  m_pGraph->setGeometry(m_rcGraph.left(), m_rcGraph.top(), m_rcGraph.width(),
                        top - m_rcGraph.top());
  label->show();
}

void CCurvePage::RefreshPage() {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  m_pGraph->Curve().FitRecord();
  ShowChecks();
  // The buttons show the document's unit system.
  ControlAs<QRadioButton>(IDC_ENGLISH)->setChecked(doc->m_nUnits == kEnglish);
  ControlAs<QRadioButton>(IDC_METRIC)->setChecked(doc->m_nUnits == kMetric);
  m_pGraph->update();
}

void CCurvePage::OnUnits(int units) {
  CDensoraDoc* doc = GetActiveDocument();
  if (!doc) return;
  doc->m_nUnits = units;
  RefreshPage();
}
