#include "views/curve_graph.h"

#include <QPainter>

#include "chart/family_chart.h"
#include "framework/qt/qt_surface.h"
#include "framework/qt/qt_text.h"
#include "model/densora_doc.h"

CCurveGraph::CCurveGraph(CDensoraDoc& doc, QWidget* parent)
    : QWidget(parent), m_curve(doc), m_doc(doc) {}

CCurveGraph::~CCurveGraph() = default;

void CCurveGraph::Paint(QPainter& painter) {
  if (!m_onePoint) {
    framework::QtPainterSurface surface(painter);
    m_chart.Draw(surface, 0, 0, width(), height(), 1, 1, 1);
    return;
  }
  // The result's lines over the family's chart.
  painter.fillRect(rect(), Qt::white);
  const std::string unit = m_doc.m_nUnits == kMetric ? "kg/m\xB3" : "pcf";
  // The result, then where it comes from (or, without a result, the family), then the first
  // check; the chart's title names the standard and method.
  std::vector<std::string> lines = OnePointReportLines(*m_onePoint, m_doc.DensityFactor(), unit);
  if (m_onePoint->source.empty() && m_onePoint->family && lines.size() > 1) {
    lines.insert(lines.begin() + 1, lines.back());
  }
  const int lineHeight = painter.fontMetrics().height();
  int y = 2;
  for (std::size_t i = 0; i < lines.size() && i < 3; ++i) {
    const QString text = framework::FromCp1252(lines[i]);
    painter.setPen(i == 0 ? Qt::black
                          : (text.startsWith(QStringLiteral("WARNING")) ||
                                     text.startsWith(QStringLiteral("The "))
                                 ? QColor(176, 0, 0)
                                 : QColor(64, 64, 64)));
    painter.drawText(QRect(4, y, width() - 8, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, width() - 8));
    y += lineHeight;
  }
  if (m_onePoint->family) {
    framework::QtPainterSurface surface(painter);
    CFamilyChart chart(*m_onePoint->family, m_doc.DensityFactor(), unit, m_doc.AxisStep());
    const FamilyChartOverlay overlay = OnePointOverlay(*m_onePoint, m_doc.m_record);
    chart.Draw(surface, 0, y, width(), height(), &overlay);
  }
}

void CCurveGraph::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter);
}
