#include "print/family_report.h"

#include <array>
#include <cmath>

#include "chart/family_chart.h"
#include "file/family_folder.h"
#include "framework/text_format.h"

namespace print {

namespace {

// The table's columns: their left edges as fractions of the page's width, and headings.
constexpr std::array<double, 8> kColumnX = {0.08, 0.33, 0.43, 0.55, 0.64, 0.72, 0.79, 0.89};
constexpr double kTableRight = 0.96;
constexpr std::array<const char*, 8> kHeadings = {"Test", "County",  "Test Type", "Date",
                                                  "MDD",  "OMC (%)", "Standard",  "Method"};

}  // namespace

void DrawFamilyPage(framework::DrawingSurface& dc, int pageWidth, int pageHeight,
                    const Family& family, const std::string& folderName, double densityFactor,
                    const std::string& unit, int axisStep) {
  const auto x = [&](double f) { return static_cast<int>(std::lround(f * pageWidth)); };
  const auto y = [&](double f) { return static_cast<int>(std::lround(f * pageHeight)); };
  const framework::Font titleFont = framework::PointFont(dc, 140, "Arial", 700);
  const framework::Font labelFont = framework::PointFont(dc, 90, "Arial", 700);
  const framework::Font valueFont = framework::PointFont(dc, 90, "Arial", 400);
  const framework::Font oldFont = dc.SelectFont(titleFont);
  const framework::Pen oldPen = dc.SelectPen(framework::Pen{framework::PenStyle::Solid,
                                                            framework::ThinnestVisiblePenWidth(dc),
                                                            framework::Color{0, 0, 0}});
  const framework::BkMode oldMode = dc.SetBkMode(framework::BkMode::Transparent);

  dc.DrawTextCentered("FAMILY OF CURVES", 0, y(0.04), pageWidth, y(0.07));
  dc.SelectFont(valueFont);
  // The chart's own title names the standard, the method and the number of curves.
  dc.DrawTextCentered(PrintableText("Folder: " + folderName), 0, y(0.075), pageWidth, y(0.095));

  CFamilyChart chart(family, densityFactor, unit, axisStep);
  chart.Draw(dc, x(0.08), y(0.10), x(0.92), y(0.50));

  const int rowHeight = y(0.0165);
  int row = y(0.52);
  if (!family.Complete()) {
    dc.TextOut(x(0.08), row, PrintableText(family.Shortage()));
    row += rowHeight;
  }
  dc.SelectFont(labelFont);
  const std::string densityHeading = "MDD (" + unit + ")";
  for (std::size_t c = 0; c < kHeadings.size(); ++c) {
    dc.TextOut(x(kColumnX[c]), row, c == 4 ? densityHeading : kHeadings[c]);
  }
  row += rowHeight;
  dc.MoveTo(x(0.08), row - rowHeight / 6);
  dc.LineTo(x(kTableRight), row - rowHeight / 6);
  dc.SelectFont(valueFont);

  // The rows the page holds above the last line, and one for "and N more" when needed.
  const int last = y(0.94);
  std::size_t fits = static_cast<std::size_t>(std::max(0, (last - row) / rowHeight));
  if (family.members.size() > fits && fits > 0) --fits;
  std::size_t shown = 0;
  for (const FolderTest& m : family.members) {
    if (shown == fits) break;
    const FittedTest& t = *m.fitted;
    const std::array<std::string, 8> cells = {
        m.file,
        t.county,
        t.testType,
        t.date,
        framework::FormatFinite("%.1f", t.maxDryDensity * densityFactor),
        framework::FormatFinite("%.1f", t.optimumMoisture),
        t.standard.empty() ? family.key.standard : t.standard,
        t.method.empty() ? "unknown" : t.method};
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const int width =
          (c + 1 < kColumnX.size() ? x(kColumnX[c + 1]) : x(kTableRight)) - x(kColumnX[c]);
      const std::string text = PrintableText(cells[c]);
      dc.TextOut(x(kColumnX[c]), row,
                 text.substr(0, framework::FittingLength(dc, text, width - x(0.006))));
    }
    row += rowHeight;
    ++shown;
  }
  if (shown < family.members.size()) {
    dc.TextOut(x(0.08), row,
               "and " + std::to_string(family.members.size() - shown) + " more tests");
  }
  if (const std::string line = family.LeftOutLine(); !line.empty()) {
    dc.TextOut(x(0.08), y(0.955), PrintableText(line));
  }

  dc.SetBkMode(oldMode);
  dc.SelectPen(oldPen);
  dc.SelectFont(oldFont);
}

}  // namespace print
