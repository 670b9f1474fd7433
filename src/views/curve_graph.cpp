#include "views/curve_graph.h"

#include <QPainter>

#include "framework/qt/qt_surface.h"

CCurveGraph::CCurveGraph(CDensoraDoc& doc, QWidget* parent) : QWidget(parent), m_curve(doc) {}

CCurveGraph::~CCurveGraph() = default;

void CCurveGraph::Paint(QPainter& painter) {
  framework::QtPainterSurface surface(painter);
  m_chart.Draw(surface, 0, 0, width(), height(), 1, 1, 1);
}

void CCurveGraph::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter);
}
