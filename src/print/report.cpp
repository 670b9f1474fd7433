#include "print/report.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "chart/density_chart.h"
#include "framework/text_format.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/lab_results.h"
#include "model/long_test.h"
#include "model/relative_compaction.h"
#include "print/emblem.h"

namespace print {

namespace {

using framework::FormatFinite;

// trunc(fraction × extent).
int Part(double fraction, int extent) { return SaturatingTrunc(fraction * extent); }

// The page's fractions in device units: across its width, down its height, and down its
// height for the blocks below the title, which sit 325 device units lower than their
// fractions say.
struct Page {
  int W, H;
  int X(double f) const { return Part(f, W); }
  int Y(double f) const { return Part(f, H); }
  int Yk(double f) const { return 325 + Part(f, H); }
};

// The standard mold of 1/30 ft³ in cubic metres. The metric table divides by the record's
// own volume in cubic metres, V × 0.02832, taken as V × 30 standard molds: the same number,
// and for the standard mold exactly this one.
constexpr double kMetricMoldM3 = 0.000944;
constexpr double kStandardMoldsPerCubicFoot = 30.0;
constexpr double kGramsPerPound = 453.6;

// Writes `text` at (x, y), cut where it would run past `right`. A text cut short ends with
// "…" (byte 0x85 of Windows-1252, the report's code page), so that the reader sees that the
// record holds more than the page shows.
void TextUpTo(framework::DrawingSurface& dc, int x, int y, int right, const std::string& text) {
  if (framework::FittingLength(dc, text, right - x) == text.size()) {
    dc.TextOut(x, y, text);
    return;
  }
  const std::string ellipsis = "\x85";
  std::string kept =
      text.substr(0, framework::FittingLength(dc, text, right - x - dc.TextExtent(ellipsis).cx));
  while (!kept.empty() && kept.back() == ' ') kept.pop_back();
  dc.TextOut(x, y, kept + ellipsis);
}

// Writes `text` at (x, y), and what does not fit before `right` on a second line below it,
// cut at `right` in its turn. The first line breaks after the last blank that fits, or
// where the room ends when no blank does.
void TextOnTwoLines(framework::DrawingSurface& dc, int x, int y, int right,
                    const std::string& text) {
  std::size_t first = framework::FittingLength(dc, text, right - x);
  if (first < text.size()) {
    const std::size_t blank = text.rfind(' ', first);
    if (blank != std::string::npos && blank > 0) first = blank + 1;
  }
  std::string line = text.substr(0, first);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  dc.TextOut(x, y, line);
  std::size_t rest = first;
  while (rest < text.size() && text[rest] == ' ') ++rest;
  if (rest < text.size()) TextUpTo(dc, x, y + dc.TextExtent(line).cy, right, text.substr(rest));
}

// The project block's labels and values. Each value ends before the next column: the left
// ones a blank before the right labels, the right ones and the comment at the page's
// right margin, where the rule ends; a long comment goes on on a second line.
void DrawProjectBlock(framework::DrawingSurface& dc, const Page& page, const CompactionRecord& rec,
                      const framework::Font& labelFont, const framework::Font& valueFont) {
  dc.SelectFont(labelFont);
  dc.TextOut(page.X(0.135), page.Yk(0.15), "Project");
  dc.TextOut(page.X(0.135), page.Yk(0.174), "TIP No.");
  dc.TextOut(page.X(0.135), page.Yk(0.198), "County");
  dc.TextOut(page.X(0.135), page.Yk(0.222), "Station");
  dc.TextOut(page.X(0.135), page.Yk(0.247), "Comments");
  dc.TextOut(page.X(0.527), page.Yk(0.15), "Date");
  dc.TextOut(page.X(0.527), page.Yk(0.174), "Test Type");
  dc.TextOut(page.X(0.527), page.Yk(0.198), "Test No.");
  dc.TextOut(page.X(0.527), page.Yk(0.222), "Tested By");
  dc.SelectFont(valueFont);
  const int leftEnd = page.X(0.527) - dc.TextExtent(" ").cx;
  const int rightEnd = page.X(0.892);
  TextUpTo(dc, page.X(0.313), page.Yk(0.15), leftEnd, rec.m_strProject);
  TextUpTo(dc, page.X(0.313), page.Yk(0.174), leftEnd, rec.m_strTipNo);
  TextUpTo(dc, page.X(0.313), page.Yk(0.198), leftEnd, rec.m_strCounty);
  TextUpTo(dc, page.X(0.313), page.Yk(0.222), leftEnd, rec.m_strStation);
  TextOnTwoLines(dc, page.X(0.313), page.Yk(0.247), rightEnd, rec.m_strComments);
  TextUpTo(dc, page.X(0.7), page.Yk(0.15), rightEnd, rec.m_strDate);
  // The report names the procedure: the standard and method the laboratory entered, or the
  // one the program runs when it entered neither, whatever the test type field holds.
  dc.TextOut(page.X(0.7), page.Yk(0.174), StandardTitle(rec.m_ext));
  TextUpTo(dc, page.X(0.7), page.Yk(0.198), rightEnd, rec.m_strTestNo);
  TextUpTo(dc, page.X(0.7), page.Yk(0.222), rightEnd, rec.m_strTestedBy);
}

// A rectangle on the page, measured by fractions of its width and height from its top-left.
struct Box {
  int left, top, right, bottom;
  int X(double f) const { return left + Part(f, right - left); }
  int Y(double f) const { return top + Part(f, bottom - top); }
};

// The test table's three heading lines: two of names, one of units.
void DrawTableHeadings(framework::DrawingSurface& dc, const Box& b, const std::string& unit) {
  struct Cell {
    const char* text;
    double x;
  };
  const Cell row1[] = {{"Test", 0.041},     {"Weight of", 0.139}, {"Weight of", 0.267},
                       {"Wet Unit", 0.394}, {"Wt. Wet", 0.526},   {"Wt. Dry", 0.652},
                       {"Water", 0.785},    {"Dry Unit", 0.895}};
  const Cell row2[] = {{"No.", 0.049},     {"Mold+Soil", 0.139}, {"Wet Soil", 0.271},
                       {"Weight", 0.399},  {"Sample", 0.526},    {"Sample", 0.652},
                       {"Content", 0.776}, {"Weight", 0.902}};
  for (const Cell& c : row1) dc.TextOut(b.X(c.x), b.Y(0.04), c.text);
  for (const Cell& c : row2) dc.TextOut(b.X(c.x), b.Y(0.135), c.text);
  dc.TextOut(b.X(0.175), b.Y(0.23), "(g)");
  dc.TextOut(b.X(0.3), b.Y(0.23), "(g)");
  dc.TextOut(b.X(0.395), b.Y(0.23), unit);
  dc.TextOut(b.X(0.55), b.Y(0.23), "(g)");
  dc.TextOut(b.X(0.675), b.Y(0.23), "(g)");
  dc.TextOut(b.X(0.81), b.Y(0.23), "%");
  dc.TextOut(b.X(0.898), b.Y(0.23), unit);
}

// One point's row at height `y`: its weights as entered and what follows from them.
void DrawPointRow(framework::DrawingSurface& dc, const Box& b, int y, const CDensoraDoc& doc,
                  const TestPoint& p) {
  const CompactionRecord& rec = doc.m_record;
  const bool metric = doc.m_nUnits == kMetric;
  const double factor = doc.DensityFactor();
  const double soil = p.m_dMoldSoil - rec.m_dMoldWeight;
  const double w = p.MoistureContent();
  const double moldM3 = rec.m_dMoldVolume * kStandardMoldsPerCubicFoot * kMetricMoldM3;
  const double wet =
      metric ? soil * 0.001 / moldM3 : soil / (rec.m_dMoldVolume * kGramsPerPound) * factor;
  // Without a moisture content (no dry weight) there is no water content and no dry unit
  // weight, and without a mold volume no unit weight at all: those cells stay blank rather
  // than showing a number that means nothing.
  const bool hasMoisture = std::isfinite(w);
  const double dry =
      metric ? wet / (w + 1.0) : (std::isfinite(wet) ? p.DryUnitWeight() * factor : NAN);
  dc.TextOut(b.X(0.154), y, FormatFinite("%.1f", p.m_dMoldSoil));
  dc.TextOut(b.X(0.282), y, FormatFinite("%.1f", soil));
  dc.TextOut(b.X(0.41), y, FormatFinite("%.1f", wet));
  dc.TextOut(b.X(0.532), y, FormatFinite("%.1f", p.m_dWetSample));
  dc.TextOut(b.X(0.67), y, FormatFinite("%.1f", p.m_dDrySample));
  dc.TextOut(b.X(0.783), y,
             hasMoisture ? FormatFinite(w >= 0.1 ? "%.2f" : "  %.2f", 100.0 * w) : std::string());
  dc.TextOut(b.X(0.91), y, hasMoisture ? FormatFinite("%.1f", dry) : std::string());
}

// Every slot's number, and the present points' rows from the top slot down. The number of a
// point left out of the fit carries an asterisk; the lines below the table say why.
void DrawPointRows(framework::DrawingSurface& dc, const Box& b, const CDensoraDoc& doc) {
  std::vector<int> present;
  for (int slot = 0; slot < kPointSlots; ++slot) {
    if (!doc.m_record.Point(slot).IsEmpty()) present.push_back(slot);
  }
  const int h = b.bottom - b.top;
  for (int i = 1; i <= kPointSlots; ++i) {
    const int y = b.top + SaturatingTrunc(0.3 * h + 0.097 * i * h);
    const bool shown = i <= static_cast<int>(present.size());
    const int slot = shown ? present[static_cast<std::size_t>(i - 1)] : -1;
    const bool excluded = shown && doc.m_record.IsExcluded(slot);
    dc.TextOut(b.X(0.06), y, std::to_string(i) + (excluded ? "*" : ""));
    if (!shown) continue;
    DrawPointRow(dc, b, y, doc, doc.m_record.Point(slot));
  }
}

// The table's frame, the double rule under the headings and the seven column rules.
void DrawTableRules(framework::DrawingSurface& dc, const Box& b) {
  dc.MoveTo(b.left, b.top);
  dc.LineTo(b.right, b.top);
  dc.LineTo(b.right, b.bottom);
  dc.LineTo(b.left, b.bottom);
  dc.LineTo(b.left, b.top);
  dc.MoveTo(b.left, b.Y(0.34));
  dc.LineTo(b.right, b.Y(0.34));
  dc.MoveTo(b.left, b.Y(0.359));
  dc.LineTo(b.right, b.Y(0.359));
  for (int k = 1; k <= 7; ++k) {
    const int x = b.left + Part(0.125 * k, b.right - b.left);
    dc.MoveTo(x, b.top);
    dc.LineTo(x, b.bottom);
  }
}

// The laboratory's name and the report's title, in the heading font.
void DrawHeadings(framework::DrawingSurface& dc, const Page& page) {
  dc.TextOut(page.X(0.30), page.Y(0.08), "VOLLINDOR");
  dc.TextOut(page.X(0.42), page.Y(0.10), "KARROWAY");
  dc.TextOut(page.X(0.33), page.Y(0.16), "MOISTURE DENSITY DETERMINATION");
}

// The mold's weight and volume, under the rule.
void DrawMold(framework::DrawingSurface& dc, const Page& page, const CDensoraDoc& doc,
              const framework::Font& labelFont, const framework::Font& valueFont) {
  dc.SelectFont(labelFont);
  dc.TextOut(page.X(0.135), page.Yk(0.291), "Mold Weight (g)");
  dc.TextOut(page.X(0.527), page.Yk(0.291), "Mold Volume" + doc.VolumeUnit());
  dc.SelectFont(valueFont);
  dc.TextOut(page.X(0.313), page.Yk(0.291), FormatFinite("%.0f", doc.m_record.m_dMoldWeight));
  dc.TextOut(page.X(0.7), page.Yk(0.291),
             FormatFinite("%.6f", doc.m_record.m_dMoldVolume * doc.VolumeFactor()));
}

// The long test rated against the fit as it stands.
void DrawLongTestResults(framework::DrawingSurface& dc, const Page& page, const CDensoraDoc& doc,
                         const framework::Font& labelFont, const framework::Font& valueFont) {
  const CompactionRecord& rec = doc.m_record;
  const double longDensity = rec.m_dLongTestDensity * doc.DensityFactor();
  const std::string densityRating = RateLongTest(doc, rec.m_dMaxDryDensity, longDensity, true);
  const std::string moistureRating =
      RateLongTest(doc, rec.m_dOptimumMoisture, rec.m_dLongTestMoisture, false);
  dc.SelectFont(labelFont);
  dc.TextOut(page.X(0.135), page.Yk(0.49), "Long Test Results: ");
  dc.SelectFont(valueFont);
  dc.TextOut(page.X(0.305), page.Yk(0.49),
             "Maximum Density = " + FormatFinite("%.2f", longDensity) + doc.DensityUnit() + ", " +
                 densityRating);
  dc.TextOut(page.X(0.305), page.Yk(0.51),
             "Optimum Moisture = " + FormatFinite("%.2f", rec.m_dLongTestMoisture) + "%, " +
                 moistureRating);
}

// Where a row of `text` that may take its first `fits` bytes ends: after the last ", " or
// ": " that fits, so that a clause stays whole, when that leaves the row half full or more;
// else after the last blank that fits, else where the room ends.
std::size_t RowBreak(const std::string& text, std::size_t fits) {
  if (fits >= text.size()) return text.size();
  for (std::size_t p = text.find_last_of(",:", fits);
       p != std::string::npos && p > 0 && p + 2 >= fits / 2; p = text.find_last_of(",:", p - 1)) {
    if (p + 1 < fits && text[p + 1] == ' ') return p + 2;
  }
  const std::size_t blank = text.rfind(' ', fits);
  return blank != std::string::npos && blank > 0 ? blank + 1 : fits;
}

// `text` in rows that fit in `width`, broken as RowBreak says, without their blanks at the
// ends.
std::vector<std::string> Rows(const framework::DrawingSurface& dc, const std::string& text,
                              int width) {
  std::vector<std::string> rows;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::string rest = text.substr(at);
    const std::size_t take =
        std::max<std::size_t>(1, RowBreak(rest, framework::FittingLength(dc, rest, width)));
    std::string row = rest.substr(0, take);
    while (!row.empty() && row.back() == ' ') row.pop_back();
    rows.push_back(row);
    at += take;
    while (at < text.size() && text[at] == ' ') ++at;
  }
  return rows;
}

// Under the long test, what the laboratory's own entries make of the fit: the specific
// gravity, the oversize correction, the points left out of the fit, the relative-compaction
// windows of `curve` (fitted) and the warnings, one row each as the long-test lines are
// spaced, a line too long for the page going on in the next row. Nothing without such entries
// or percentages. Returns the number of rows written.
int DrawLabLines(framework::DrawingSurface& dc, const Page& page, const CDensoraDoc& doc,
                 const CDensityCurve& curve, const framework::Font& valueFont) {
  const CompactionRecord& rec = doc.m_record;
  const double factor = doc.DensityFactor();
  const LabResults results = EvaluateLab(doc);
  std::vector<std::string> lines = ReportLabLines(rec.m_ext, results, factor, doc.DensityUnit());
  for (const CompactionWindow& w : RelativeCompaction(curve)) {
    lines.push_back(RelativeCompactionLine(w, doc.DensityUnit()));
  }
  lines.insert(lines.end(), results.checks.begin(), results.checks.end());
  if (lines.empty()) return 0;
  dc.SelectFont(valueFont);
  const int left = page.X(0.135);
  int rows = 0;
  for (const std::string& line : lines) {
    for (const std::string& row : Rows(dc, line, page.X(0.892) - left)) {
      dc.TextOut(left, page.Yk(0.53 + 0.02 * rows), row);
      ++rows;
    }
  }
  return rows;
}

}  // namespace

void DrawTestTable(framework::DrawingSurface& dc, int left, int top, int right, int bottom,
                   const CDensoraDoc& doc) {
  const Box box{left, top, right, bottom};
  DrawTableHeadings(dc, box, doc.AxisUnit());
  DrawPointRows(dc, box, doc);
  DrawTableRules(dc, box);
}

void DrawReport(framework::DrawingSurface& dc, int pageWidth, int pageHeight, CDensoraDoc& doc,
                CDensityChart& chart) {
  const Page page{pageWidth, pageHeight};

  dc.DrawBitmap(page.X(0.15), page.Y(0.05), Emblem());  // unscaled
  const framework::Font headingFont = framework::PointFont(dc, 120, "Arial", 700);
  const framework::Font labelFont = framework::PointFont(dc, 100, "Arial", 700);
  const framework::Font valueFont = framework::PointFont(dc, 100, "Arial", 400);
  const framework::Pen rulePen{framework::PenStyle::Solid, 10, {0, 0, 0}};
  const framework::Font oldFont = dc.SelectFont(headingFont);
  DrawHeadings(dc, page);
  DrawProjectBlock(dc, page, doc.m_record, labelFont, valueFont);

  // The rule under the project block.
  const framework::Pen oldPen = dc.SelectPen(rulePen);
  dc.MoveTo(page.X(0.125), page.Yk(0.28));
  dc.LineTo(page.X(0.892), page.Yk(0.28));

  DrawMold(dc, page, doc, labelFont, valueFont);
  DrawTestTable(dc, page.X(0.125), page.Y(0.365), page.X(0.892), page.Y(0.52), doc);
  DrawLongTestResults(dc, page, doc, labelFont, valueFont);

  // Refit; the laboratory's lines take their corrected results from this fit, and push the
  // chart's top down by the rows they take. Then the chart with heavier lines, in the value
  // font.
  chart.Curve().FitRecord();
  const int labRows = DrawLabLines(dc, page, doc, chart.Curve(), valueFont);
  chart.Draw(dc, page.X(0.125), page.Y(0.59 + 0.02 * labRows), page.X(0.892), page.Y(0.95), 10, 7,
             4);

  // Put the surface back.
  dc.SelectPen(oldPen);
  dc.SelectFont(oldFont);
}

}  // namespace print
