#include "print/qt/report_pdf.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "framework/qt/qt_surface.h"
#include "print/report.h"

namespace print {

bool WriteReportPdf(QIODevice& device, const std::vector<ReportPage>& pages) {
  QPdfWriter writer(&device);
  writer.setResolution(kReportDpi);
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  writer.setCreator(QStringLiteral("Densora"));
  writer.setTitle(QStringLiteral("MOISTURE DENSITY DETERMINATION"));
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  bool first = true;
  for (const ReportPage& page : pages) {
    if (!first) writer.newPage();
    first = false;
    // The surface keeps the painter's state for its lifetime: it ends before the painter.
    framework::QtPainterSurface surface(painter);
    DrawReport(surface, writer.width(), writer.height(), page.doc, page.chart, page.onePoint);
  }
  return painter.end();
}

std::vector<unsigned char> ReportPdfBytes(const std::vector<ReportPage>& pages) {
  QBuffer buffer;
  if (!buffer.open(QIODevice::WriteOnly) || !WriteReportPdf(buffer, pages)) return {};
  const QByteArray& data = buffer.data();
  return {data.cbegin(), data.cend()};
}

}  // namespace print
