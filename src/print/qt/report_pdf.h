#pragma once
// The printed report as a PDF: a US Letter page for each record, without margins, at the
// printer's 600 dots per inch, drawn by print::DrawReport. densora-cli report writes it, and
// so does the program's File Export Report as PDF: both give the page the printer prints.
#include <vector>

class CDensoraDoc;
class CDensityChart;
struct OnePointEvaluation;
class QIODevice;

namespace print {

// The resolution the report's device units are made for: at 600 dpi its 600-pixel emblem is an
// inch wide and its 10-unit pens a sixtieth of an inch.
inline constexpr int kReportDpi = 600;

// A record to print and the chart of the curve that fits it (working on that record's
// document).
struct ReportPage {
  CDensoraDoc& doc;
  CDensityChart& chart;
  const OnePointEvaluation* onePoint = nullptr;  // a one-point test's evaluation
};

// Writes a PDF with a page for each entry of `pages`, in order, to `device`. Each record is
// refitted as printing refits it; nothing else in it changes. False when the PDF could not be
// started or finished.
bool WriteReportPdf(QIODevice& device, const std::vector<ReportPage>& pages);

// The same PDF as bytes in memory; empty when it could not be drawn.
std::vector<unsigned char> ReportPdfBytes(const std::vector<ReportPage>& pages);

}  // namespace print
