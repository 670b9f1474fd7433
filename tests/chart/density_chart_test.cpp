// The moisture-density chart painted on a recording surface: where every item of the sample
// tests' charts lands, which items a thin record leaves out, and that bad data never puts an
// absurd coordinate or an endless grid on the surface.
#include "chart/density_chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "framework/tone.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "support/compaction_points.h"
#include "support/counting_tone.h"
#include "support/recording_surface.h"
#include "support/records.h"

namespace framework {
inline void PrintTo(const DevicePoint& p, std::ostream* os) {
  *os << "(" << p.x << ", " << p.y << ")";
}
}  // namespace framework

namespace {

using framework::BkMode;
using framework::PenStyle;
using framework::RecordedCall;
using framework::RecordingSurface;
using Kind = framework::RecordedCall::Kind;

// The rectangle most tests draw in: W = 600, H = 400.
constexpr int kLeft = 10, kTop = 20, kRight = 610, kBottom = 420;

struct ChartFixture : ::testing::Test {
  CDensoraDoc doc;
  CDensityCurve curve{doc};
  CDensityChart chart{curve};
  RecordingSurface dc{96, 96};
  CountingTone tone;

  void SetUp() override { chart.SetTone(&tone); }

  void FitAndDraw(int frame = 1, int curvePen = 1, int drop = 1) {
    curve.FitRecord();
    chart.Draw(dc, kLeft, kTop, kRight, kBottom, frame, curvePen, drop);
  }

  const RecordedCall& Text(const std::string& text) {
    const RecordedCall* c = dc.FindText(text);
    if (c == nullptr) {
      ADD_FAILURE() << "no text \"" << text << "\"";
      static RecordedCall none;
      return none;
    }
    return *c;
  }

  std::vector<RecordedCall> LinesWith(PenStyle style) {
    std::vector<RecordedCall> out;
    for (const auto& c : dc.CallsOf(Kind::LineTo)) {
      if (c.pen.style == style) out.push_back(c);
    }
    return out;
  }
};

// The chart of each sample test as the curve page draws it, call by call as the golden files
// hold it: the plot area, the markers, the frame and grid, the fitted curve and its drop
// lines, the titles and labels, the results and the long-test marker (off the plot when the
// test has none), in English and Metric, the zero-air-voids curve of a known specific
// gravity, and a point left out of the fit with a relative-compaction line.
TEST(ChartGolden, TheSampleTestsChartsAreTheGoldenFiles) {
  const std::string data = std::string(DENSORA_SAMPLES_DIR) + "/../";
  struct Row {
    const char* golden;
    const char* file;
    bool metric;
    int excluded = -1;  // the slot of a point left out of the fit
    std::vector<double> percents = {};
  };
  for (const Row& row :
       {Row{"chart-7Sub.txt", "sample-projects/MAIN ST/A-100/Subgrade/7Sub.lng", false},
        Row{"chart-3Emb-metric.txt", "sample-projects/MAIN ST/A-100/Embankment/3Emb.lng", true},
        Row{"chart-12Lim.txt", "sample-projects/COUNTY RD 9/Lime/12Lim.lng", false},
        Row{"chart-9Bas.txt", "lab-extension/9Bas.lng", false},
        // Its fourth point left out and the 95 % line, in Metric.
        Row{"chart-7Sub-excluded-95-metric.txt",
            "sample-projects/MAIN ST/A-100/Subgrade/7Sub.lng",
            true,
            3,
            {95}}}) {
    SCOPED_TRACE(row.golden);
    CDensoraDoc doc;
    doc.m_nUnits = row.metric ? kMetric : kEnglish;
    doc.m_dRelativeCompaction = row.percents;
    std::ostringstream err;
    ASSERT_TRUE(cli::OpenAndFit(doc, data + row.file, err)) << err.str();
    if (row.excluded >= 0) doc.m_record.m_ext.excluded[row.excluded] = "mold not seated";
    CDensityCurve curve(doc);
    curve.FitRecord();
    RecordingSurface dc;  // the curve page's graph window, 474 × 312, moved off the origin
    CDensityChart(curve).Draw(dc, kLeft, kTop, kLeft + 474, kTop + 312, 1, 1, 1);
    testdata::ExpectGolden(row.golden, dc.Dump());
  }
}

// A rectangle a text covers on the plot, measured in the text's own font.
struct TextBox {
  std::string text;
  int left, top, right, bottom;
  bool Contains(framework::DevicePoint p) const {
    return p.x > left && p.x < right && p.y > top && p.y < bottom;
  }
  // Whether the line from a to b passes through the box, walked a device unit at a time.
  bool Meets(framework::DevicePoint a, framework::DevicePoint b) const {
    const int steps = std::max({std::abs(b.x - a.x), std::abs(b.y - a.y), 1});
    for (int i = 0; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps;
      if (Contains({static_cast<int>(std::lround(a.x + t * (b.x - a.x))),
                    static_cast<int>(std::lround(a.y + t * (b.y - a.y)))}))
        return true;
    }
    return false;
  }
  bool Meets(const TextBox& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

// The texts written over the plot of each sample test, on screen and on the report's page,
// with the long test as the file holds it and at the fitted optimum a pcf above the peak
// (the plot's top then lies a pcf higher, and the long test's label at the height of the
// results): they stand on the plot's white, with no grid line through them; none hides a part
// of the curve or a point; and the long test's label keeps clear of the results.
TEST(ChartTexts, HideNeitherTheCurveNorEachOtherOnTheSampleTests) {
  const std::string data = std::string(DENSORA_SAMPLES_DIR) + "/../";
  struct Surface {
    const char* name;
    int dpi, left, top, right, bottom, frame, curvePen, drop;
  };
  const Surface surfaces[] = {{"screen", 96, 10, 20, 484, 332, 1, 1, 1},
                              {"report", 600, 637, 3894, 4549, 6270, 10, 7, 4}};
  for (const char* file :
       {"sample-projects/MAIN ST/A-100/Subgrade/7Sub.lng",
        "sample-projects/MAIN ST/A-100/Embankment/3Emb.lng",
        "sample-projects/COUNTY RD 9/Lime/12Lim.lng", "lab-extension/9Bas.lng"}) {
    for (bool abovePeak : {false, true}) {
      for (const Surface& on : surfaces) {
        SCOPED_TRACE(std::string(file) + (abovePeak ? ", long test above the peak, " : ", ") +
                     on.name);
        CDensoraDoc doc;
        std::ostringstream err;
        ASSERT_TRUE(cli::OpenAndFit(doc, data + file, err)) << err.str();
        CDensityCurve curve(doc);
        curve.FitRecord();
        if (abovePeak) {
          doc.m_record.m_dLongTestDensity = doc.m_record.m_dMaxDryDensity + 1.0;
          doc.m_record.m_dLongTestMoisture = doc.m_record.m_dOptimumMoisture;
          curve.FitRecord();
        }
        RecordingSurface dc(on.dpi, on.dpi);
        CDensityChart chart(curve);
        chart.Draw(dc, on.left, on.top, on.right, on.bottom, on.frame, on.curvePen, on.drop);

        RecordingSurface measure(on.dpi, on.dpi);
        std::vector<TextBox> results;
        std::optional<TextBox> label;
        for (const RecordedCall& t : dc.Texts()) {
          measure.SelectFont(t.font);
          const framework::TextSize size = measure.TextExtent(t.text);
          const TextBox box{t.text, t.x, t.y, t.x + size.cx, t.y + size.cy};
          const bool isLabel = t.text.find("Long Test") != std::string::npos;
          const bool isResult =
              t.text.starts_with("Maximum Dry Density") || t.text.starts_with("Optimum Moisture");
          if (isLabel) label = box;
          if (isResult) results.push_back(box);
          if (!(isLabel || isResult) || t.bkMode != BkMode::Opaque) continue;
          // A text that blanks what lies under it must lie where no curve runs.
          for (const RecordedCall& line : dc.CallsOf(Kind::Polyline)) {
            for (std::size_t i = 1; i < line.points.size(); ++i) {
              EXPECT_FALSE(box.Meets(line.points[i - 1], line.points[i]))
                  << "\"" << t.text << "\" hides the line at (" << line.points[i].x << ", "
                  << line.points[i].y << ")";
            }
          }
          for (const RecordedCall& point : dc.CallsOf(Kind::Ellipse)) {
            EXPECT_FALSE(box.Meets({t.text, point.x, point.y, point.right, point.bottom}))
                << "\"" << t.text << "\" hides a point";
          }
        }
        ASSERT_EQ(results.size(), 2u);
        ASSERT_TRUE(label.has_value());
        std::vector<TextBox> texts = results;
        texts.push_back(*label);
        for (const TextBox& box : texts) {
          for (const RecordedCall& line : dc.CallsOf(Kind::LineTo)) {
            if (line.pen.style != PenStyle::Dot) continue;
            EXPECT_FALSE(box.Meets(line.from, {line.x, line.y}))
                << "a grid line runs through \"" << box.text << "\"";
          }
        }
        for (const TextBox& result : results) {
          EXPECT_FALSE(label->Meets(result))
              << "\"" << label->text << "\" runs into \"" << result.text << "\"";
        }
      }
    }
  }
}

// Whatever the record's results, the drop lines stay inside the plot area: a fit without a
// maximum (results 0) must not run them out across the labels to the window's edge.
TEST_F(ChartFixture, DropLinesStayInsideThePlotArea) {
  struct Case {
    const char* name;
    double moisture, density;  // the results the drop lines point at
  };
  const Case cases[] = {{"no maximum: results 0", 0.0, 0.0},
                        {"above and right of the plot", 40.0, 250.0},
                        {"below and left of the plot", -5.0, 50.0}};
  for (const Case& c : cases) {
    for (int thickness : {1, 4}) {
      densora_test::SetThreePoints(doc);
      curve.FitRecord();
      doc.m_record.m_dOptimumMoisture = c.moisture;
      doc.m_record.m_dMaxDryDensity = c.density;
      dc.Clear();
      chart.Draw(dc, kLeft, kTop, kRight, kBottom, 10, 7, thickness);
      const int x0 = chart.MapX(curve.m_nXAxisMin), x1 = chart.MapX(curve.m_nXAxisMax);
      const int y0 = chart.MapY(curve.m_nYAxisMin), y1 = chart.MapY(curve.m_nYAxisMax);
      for (const auto& d : LinesWith(PenStyle::Dash)) {
        for (const framework::DevicePoint p : {d.from, framework::DevicePoint{d.x, d.y}}) {
          EXPECT_TRUE(p.x >= x0 && p.x <= x1 && p.y >= y1 && p.y <= y0)
              << c.name << ", thickness " << thickness << ": (" << p.x << ", " << p.y << ")";
        }
      }
    }
  }
  // A real fit without a maximum: a dry weight of 0 flags it and gives results of 0.
  densora_test::SetThreePoints(doc);
  doc.m_record.Point(1).m_dDrySample = 0.0;
  dc.Clear();
  FitAndDraw();
  ASSERT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);
  for (const auto& d : LinesWith(PenStyle::Dash)) {
    EXPECT_GE(std::min(d.from.x, d.x), chart.MapX(curve.m_nXAxisMin));
  }
}

TEST_F(ChartFixture, LongTestLabelFacesAwayFromThePoints) {
  densora_test::SetThreePoints(doc);
  doc.m_record.m_dLongTestDensity = 102.0;
  doc.m_record.m_dLongTestMoisture = 8.0;  // below every point: the axis widens to the left
  FitAndDraw();
  ASSERT_EQ(curve.m_nLongTestSide, CDensityCurve::kLabelRight);
  ASSERT_EQ(curve.m_nXAxisMin, 7);
  int lx = chart.MapX(8.0), ly = chart.MapY(102.0);
  const RecordedCall& below = Text("<<<Long Test");
  EXPECT_EQ(below.x, lx + 12);
  EXPECT_EQ(below.y, ly - 4);
  EXPECT_EQ(dc.FindText("Long Test>>>"), nullptr);
  const auto square = dc.CallsOf(Kind::Rectangle);
  ASSERT_EQ(square.size(), 1u);
  EXPECT_EQ(square[0].x, lx - 4);
  EXPECT_EQ(square[0].bottom, ly + 4);

  dc.Clear();
  doc.m_record.m_dLongTestMoisture = 16.0;  // above every point
  FitAndDraw();
  ASSERT_EQ(curve.m_nLongTestSide, CDensityCurve::kLabelLeft);
  lx = chart.MapX(16.0);
  ly = chart.MapY(102.0);
  const RecordedCall& above = Text("Long Test>>>");
  EXPECT_EQ(above.x, lx - 100);
  EXPECT_EQ(above.y, ly - 4);
  EXPECT_EQ(dc.FindText("<<<Long Test"), nullptr);
}

TEST_F(ChartFixture, FewerThanThreePointsShowInsufficientDataOverFrameAndMarkers) {
  densora_test::SetPoint(doc, 0, 10.0, 100.0);
  densora_test::SetPoint(doc, 3, 14.0, 101.0);
  const framework::Font current{"Arial", -21, 700, 0};
  dc.SelectFont(current);
  FitAndDraw();

  EXPECT_EQ(dc.CallsOf(Kind::Ellipse).size(), 2u);
  EXPECT_EQ(LinesWith(PenStyle::Solid).size(), 4u);
  EXPECT_FALSE(LinesWith(PenStyle::Dot).empty());
  const auto centred = dc.CallsOf(Kind::DrawTextCentered);
  ASSERT_EQ(centred.size(), 1u);
  EXPECT_EQ(centred[0].text, "Insufficient Data");
  EXPECT_EQ(centred[0].x, kLeft);
  EXPECT_EQ(centred[0].y, kTop);
  EXPECT_EQ(centred[0].right, kRight);
  EXPECT_EQ(centred[0].bottom, kBottom);
  EXPECT_EQ(centred[0].font, current);  // whatever font the surface holds
  EXPECT_TRUE(dc.CallsOf(Kind::Polyline).empty());
  EXPECT_TRUE(dc.Texts().empty());
  EXPECT_TRUE(dc.CallsOf(Kind::Rectangle).empty());
  EXPECT_TRUE(LinesWith(PenStyle::Dash).empty());

  // One point flags the fit as doubtful, yet the thin chart sounds no tone.
  doc.m_record.Point(3).m_dMoldSoil = 0.0;
  doc.m_record.Point(3).m_dWetSample = 0.0;
  doc.m_record.Point(3).m_dDrySample = 0.0;
  dc.Clear();
  FitAndDraw();
  ASSERT_NE(curve.m_nStatus, CDensityCurve::kStatusOk);
  EXPECT_EQ(dc.CallsOf(Kind::Ellipse).size(), 1u);
  EXPECT_NE(dc.FindText("Insufficient Data"), nullptr);
  EXPECT_EQ(tone.plays, 0);
}

TEST_F(ChartFixture, NoPointsLeaveOnlyThePreviousPlotAreaAndTheNotice) {
  densora_test::SetThreePoints(doc);
  FitAndDraw();
  doc.ResetRecord();
  dc.Clear();
  FitAndDraw();

  const auto fills = dc.CallsOf(Kind::FillRect);
  ASSERT_EQ(fills.size(), 1u);  // the earlier fit's bounds still frame the area
  EXPECT_EQ(fills[0].x, 82);
  EXPECT_EQ(fills[0].bottom, 376);
  EXPECT_TRUE(dc.CallsOf(Kind::Ellipse).empty());
  EXPECT_TRUE(dc.CallsOf(Kind::LineTo).empty());
  EXPECT_NE(dc.FindText("Insufficient Data"), nullptr);
}

TEST_F(ChartFixture, AFreshCurveWithEqualBoundsSkipsEveryMappedItem) {
  densora_test::SetThreePoints(doc);
  // Painted before any fit: all four bounds are 0.
  chart.Draw(dc, kLeft, kTop, kRight, kBottom, 1, 1, 1);
  EXPECT_TRUE(dc.CallsOf(Kind::FillRect).empty());
  EXPECT_TRUE(dc.CallsOf(Kind::Ellipse).empty());
  EXPECT_TRUE(dc.CallsOf(Kind::LineTo).empty());
  EXPECT_NE(dc.FindText("Insufficient Data"), nullptr);
  // Without a scale every value maps onto the plot area's edge.
  EXPECT_EQ(chart.MapX(12.0), kLeft + 72);
  EXPECT_EQ(chart.MapY(104.0), kTop + 356);

  // A fit whose unit-weight bounds coincide draws its points nowhere either.
  curve.m_nPointCount = 3;
  curve.m_nXAxisMin = 9;
  curve.m_nXAxisMax = 15;
  curve.m_nYAxisMin = curve.m_nYAxisMax = 100;
  curve.m_dSortedMoisture = {10, 12, 14};
  curve.m_dSortedUnitWeight = {100, 104, 101};
  curve.m_dSampleMoisture.assign(42, 12.0);
  curve.m_dSampleUnitWeight.assign(42, 100.0);
  dc.Clear();
  chart.Draw(dc, kLeft, kTop, kRight, kBottom, 1, 1, 1);
  EXPECT_TRUE(dc.CallsOf(Kind::FillRect).empty());
  EXPECT_TRUE(dc.CallsOf(Kind::Ellipse).empty());
  EXPECT_TRUE(dc.CallsOf(Kind::Polyline).empty());
  EXPECT_TRUE(dc.Texts().empty());
}

TEST_F(ChartFixture, AWarningSoundsTheToneOnEveryPaintAndShowsItsMessage) {
  densora_test::SetPoint(doc, 0, 10.0, 100.0);
  densora_test::SetPoint(doc, 1, 10.0, 100.0);  // entered twice
  densora_test::SetPoint(doc, 2, 14.0, 101.0);
  FitAndDraw();
  ASSERT_EQ(curve.m_nStatus, CDensityCurve::kStatusDuplicate);
  chart.Draw(dc, kLeft, kTop, kRight, kBottom, 1, 1, 1);
  EXPECT_EQ(tone.calls, (std::vector<std::pair<int, int>>{{1500, 1000}, {1500, 1000}}));
  const RecordedCall& message = Text("WARNING: A test point possibly entered twice");
  EXPECT_EQ(message.x, chart.MapX(curve.m_nXAxisMin) + 18);
  EXPECT_EQ(message.y, chart.MapY(curve.m_nYAxisMax) + 30);

  // Without a tone the painter stays silent.
  chart.SetTone(nullptr);
  chart.Draw(dc, kLeft, kTop, kRight, kBottom, 1, 1, 1);
  EXPECT_EQ(tone.plays, 2);
}

TEST_F(ChartFixture, PutsTheSurfaceBackAsItWas) {
  densora_test::SetThreePoints(doc);
  const framework::Pen pen{PenStyle::Solid, 3, {1, 2, 3}};
  const framework::Brush brush{false, {4, 5, 6}};
  const framework::Font font{"Arial", -40, 700, 0};
  dc.SelectPen(pen);
  dc.SelectBrush(brush);
  dc.SelectFont(font);
  for (int points : {3, 2}) {
    if (points == 2) {
      TestPoint& third = doc.m_record.Point(2);
      third.m_dMoldSoil = third.m_dWetSample = third.m_dDrySample = 0.0;
    }
    FitAndDraw();
    EXPECT_EQ(dc.CurrentPen(), pen) << points;
    EXPECT_EQ(dc.CurrentBrush(), brush) << points;
    EXPECT_EQ(dc.CurrentFont(), font) << points;
    EXPECT_EQ(dc.CurrentBkMode(), BkMode::Transparent) << points;
  }
}

TEST_F(ChartFixture, AStretchedAxisSpreadsItsLabelsSoTheyStayApart) {
  densora_test::SetThreePoints(doc);
  doc.m_record.m_dLongTestDensity = 400.0;  // far above the points
  doc.m_record.m_dLongTestMoisture = 45.0;
  FitAndDraw();
  ASSERT_GT(curve.m_nYAxisMax - curve.m_nYAxisMin, 290);
  ASSERT_GT(curve.m_nXAxisMax - curve.m_nXAxisMin, 35);

  std::vector<RecordedCall> yLabels, xLabels;
  for (const auto& t : dc.Texts()) {
    if (t.x == 45) yLabels.push_back(t);
    if (t.y == 380) xLabels.push_back(t);
  }
  ASSERT_GE(yLabels.size(), 5u);
  ASSERT_GE(xLabels.size(), 5u);
  // From the axis minimum, a whole stride apart, one text line or more apart, each inside
  // the frame on a grid line.
  std::vector<int> gridYs, gridXs;
  for (const auto& g : LinesWith(PenStyle::Dot)) {
    if (g.from.y == g.y) {
      gridYs.push_back(g.y);
    } else {
      gridXs.push_back(g.x);
    }
  }
  EXPECT_FALSE(gridXs.empty());
  EXPECT_EQ(std::atoi(yLabels[0].text.c_str()), curve.m_nYAxisMin);
  const int yStride = std::atoi(yLabels[1].text.c_str()) - curve.m_nYAxisMin;
  for (std::size_t i = 0; i < yLabels.size(); ++i) {
    const int v = std::atoi(yLabels[i].text.c_str());
    EXPECT_EQ(v, curve.m_nYAxisMin + static_cast<int>(i) * yStride) << yLabels[i].text;
    if (i > 0) {
      EXPECT_GT(yLabels[i - 1].y - yLabels[i].y, 7) << yLabels[i].text;  // digits 7 high
    }
    if (v > curve.m_nYAxisMin && v < curve.m_nYAxisMax) {
      EXPECT_NE(std::find(gridYs.begin(), gridYs.end(), chart.MapY(v)), gridYs.end()) << v;
    }
  }
  for (std::size_t i = 1; i < xLabels.size(); ++i) {
    EXPECT_GE(xLabels[i].x - xLabels[i - 1].x, 25) << xLabels[i].text;  // "45.0" is ~23 px wide
  }
  EXPECT_LE(gridYs.size(), 320u / 8);  // no closer than the digits of the labels
}

// The grid thins only where neighbouring labels would overlap, measured in the labels' own
// font, from the axis minimum; the painter follows one rule for the screen and for paper.
TEST(ChartGrid, LabelsEveryStepUnlessNeighbouringLabelsWouldOverlap) {
  struct Axis {
    int lo, hi, stride;  // the bounds, and the stride expected between labelled values
  };
  struct Case {
    const char* name;
    int dpi, width, height;
    bool metric;
    Axis x, y;
  };
  const Case cases[] = {
      // "10.0 " is 22 units wide at 96 dpi, the digits 7 high; 402.9 / 16 = 25.2 a percent.
      {"moisture 7 to 23 on screen", 96, 474, 312, false, {7, 23, 1}, {101, 112, 1}},
      {"unit weight 87 to 112, 10 units a step", 96, 474, 312, false, {9, 15, 1}, {87, 112, 1}},
      {"metric steps of 20", 96, 474, 312, true, {9, 15, 1}, {1580, 1700, 1}},
      {"a small chart: 14.2 a percent", 96, 200, 150, false, {8, 20, 2}, {101, 112, 1}},
      {"stretched by a far long test", 96, 300, 200, false, {9, 45, 5}, {99, 400, 20}},
      {"moisture 7 to 23 on paper", 600, 3900, 2300, false, {7, 23, 1}, {87, 112, 1}},
      {"stretched on paper", 600, 3900, 2300, false, {9, 45, 2}, {99, 400, 10}},
  };
  for (const Case& c : cases) {
    CDensoraDoc doc;
    doc.m_nUnits = c.metric ? kMetric : kEnglish;
    densora_test::SetThreePoints(doc);
    CDensityCurve curve(doc);
    CDensityChart chart(curve);
    curve.FitRecord();
    curve.m_nXAxisMin = c.x.lo;
    curve.m_nXAxisMax = c.x.hi;
    curve.m_nYAxisMin = c.y.lo;
    curve.m_nYAxisMax = c.y.hi;
    RecordingSurface dc(c.dpi, c.dpi);
    chart.Draw(dc, 0, 0, c.width, c.height, 1, 1, 1);

    const int step = c.metric ? 20 : 1;
    std::vector<std::string> wantX, wantY, gotX, gotY;
    for (int v = c.x.lo; v <= c.x.hi; v += c.x.stride) wantX.push_back(std::to_string(v) + ".0");
    for (int v = c.y.lo; v <= c.y.hi; v += c.y.stride * step)
      wantY.push_back(std::to_string(v) + ".0");
    const int labelRow = chart.MapY(c.y.lo) + c.height / 87;
    const int labelColumn = chart.MapX(c.x.lo) - (c.metric ? c.width * 2 / 25 : c.width * 10 / 158);
    for (const auto& t : dc.Texts()) {
      if (t.y == labelRow) gotX.push_back(t.text);
      if (t.x == labelColumn) gotY.push_back(t.text);
    }
    EXPECT_EQ(gotX, wantX) << c.name;
    EXPECT_EQ(gotY, wantY) << c.name;

    // A grid line at every labelled value inside the frame, and nowhere else.
    std::vector<int> wantLines, gotLines;
    for (int v = c.x.lo + c.x.stride; v < c.x.hi; v += c.x.stride)
      wantLines.push_back(chart.MapX(v));
    for (int v = c.y.lo + c.y.stride * step; v < c.y.hi; v += c.y.stride * step) {
      wantLines.push_back(chart.MapY(v));
    }
    // (A line that passes under the results is drawn in pieces, one after the other.)
    for (const auto& l : dc.CallsOf(Kind::LineTo)) {
      if (l.pen.style != PenStyle::Dot) continue;
      const int at = l.from.y == l.y ? l.y : l.x;
      if (gotLines.empty() || gotLines.back() != at) gotLines.push_back(at);
    }
    EXPECT_EQ(gotLines, wantLines) << c.name;
  }
}

// The grid is drawn with the thinnest pen that shows: a pixel on screen, a quarter point on
// paper, never the device's one-pixel hairline of width 0.
TEST(ChartGrid, TheGridPenIsAPixelOnScreenAndAQuarterPointOnPaper) {
  for (const auto& [dpi, width] :
       {std::pair{96, 1}, std::pair{300, 1}, std::pair{600, 2}, std::pair{1200, 4}}) {
    CDensoraDoc doc;
    densora_test::SetThreePoints(doc);
    CDensityCurve curve(doc);
    CDensityChart chart(curve);
    curve.FitRecord();
    RecordingSurface dc(dpi, dpi);
    chart.Draw(dc, 0, 0, 6 * dpi, 4 * dpi, 10, 7, 4);
    bool sawGrid = false;
    for (const auto& l : dc.CallsOf(Kind::LineTo)) {
      if (l.pen.style != PenStyle::Dot) continue;
      sawGrid = true;
      EXPECT_EQ(l.pen.width, width) << dpi << " dpi";
    }
    EXPECT_TRUE(sawGrid) << dpi << " dpi";
  }
}

// The zero-air-voids curve of the soil's specific gravity: drawn only when one is entered
// and the curve crosses the plot, dark green, in the thinnest line the chart was given, under
// the fitted curve, cut where it leaves the plot area and labelled inside it by its right
// end. The axis bounds stay those of the fit.
TEST(ChartZeroAirVoids, DrawnOnlyWithASpecificGravityAndCutToThePlotArea) {
  enum class Enters { Nowhere, LeftEdge, Top };
  struct Case {
    const char* name;
    double gs;
    bool metric;
    int dpi, frame, curvePen, drop;
    Enters enters;  // where the green line comes into the plot
    int penWidth;
    const char* label;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // The three points' plot: moisture 9 to 15 %, unit weight 99 to 106 pcf (1580 to 1700
  // kg/m³). Gs 2.00 runs from 105.8 pcf at 9 % out through the bottom at 13 %; Gs 2.10 comes
  // in through the top at 11.3 % and leaves at the right edge; Gs 2.70 passes above it all.
  const Case cases[] = {
      {"no specific gravity", 0.0, false, 96, 1, 1, 1, Enters::Nowhere, 0, nullptr},
      {"not a number", nan, false, 96, 1, 1, 1, Enters::Nowhere, 0, nullptr},
      {"above the whole plot", 2.70, false, 96, 1, 1, 1, Enters::Nowhere, 0, nullptr},
      {"screen, out through the bottom", 2.0, false, 96, 1, 1, 1, Enters::LeftEdge, 1,
       "ZAV (Gs = 2.00)"},
      {"screen, in through the top", 2.1, false, 96, 1, 1, 1, Enters::Top, 1, "ZAV (Gs = 2.10)"},
      {"screen, Metric", 2.1, true, 96, 1, 1, 1, Enters::Top, 1, "ZAV (Gs = 2.10)"},
      {"paper at 600 dpi", 2.0, false, 600, 10, 7, 4, Enters::LeftEdge, 4, "ZAV (Gs = 2.00)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDensoraDoc doc;
    doc.m_nUnits = c.metric ? kMetric : kEnglish;
    densora_test::SetThreePoints(doc);
    CDensityCurve plain(doc);
    plain.FitRecord();
    doc.m_record.m_ext.specificGravity = c.gs;
    CDensityCurve curve(doc);
    CDensityChart chart(curve);
    curve.FitRecord();
    EXPECT_EQ(curve.m_nXAxisMin, plain.m_nXAxisMin);
    EXPECT_EQ(curve.m_nXAxisMax, plain.m_nXAxisMax);
    EXPECT_EQ(curve.m_nYAxisMin, plain.m_nYAxisMin);
    EXPECT_EQ(curve.m_nYAxisMax, plain.m_nYAxisMax);

    RecordingSurface dc(c.dpi, c.dpi);
    chart.Draw(dc, 0, 0, 6 * c.dpi, 4 * c.dpi, c.frame, c.curvePen, c.drop);
    const int x0 = chart.MapX(curve.m_nXAxisMin), x1 = chart.MapX(curve.m_nXAxisMax);
    const int y0 = chart.MapY(curve.m_nYAxisMin), y1 = chart.MapY(curve.m_nYAxisMax);
    std::vector<framework::DevicePoint> green;
    std::size_t firstGreen = 0, fitted = 0;
    for (std::size_t i = 0; i < dc.Calls().size(); ++i) {
      const RecordedCall& call = dc.Calls()[i];
      if (call.kind != Kind::Polyline) continue;
      if (call.pen.color == framework::Color{0, 128, 0}) {
        EXPECT_EQ(call.pen, (framework::Pen{PenStyle::Solid, c.penWidth, {0, 128, 0}}));
        if (green.empty()) firstGreen = i;
        green.insert(green.end(), call.points.begin(), call.points.end());
      } else {
        EXPECT_EQ(call.pen, (framework::Pen{PenStyle::Solid, c.curvePen, {0, 0, 255}}));
        fitted = i;
      }
    }
    const RecordedCall* label = c.label != nullptr ? dc.FindText(c.label) : nullptr;
    if (c.enters == Enters::Nowhere) {
      EXPECT_TRUE(green.empty());
      for (const auto& t : dc.Texts()) EXPECT_EQ(t.text.find("ZAV"), std::string::npos);
      continue;
    }
    ASSERT_GE(green.size(), 2u);
    EXPECT_LT(firstGreen, fitted) << "the fitted curve is drawn over the reference";
    for (const auto& p : green) {
      EXPECT_TRUE(p.x >= x0 && p.x <= x1 && p.y >= y1 && p.y <= y0) << p.x << ", " << p.y;
    }
    // Cut where it crosses an edge, not where the last sample inside happens to fall.
    const double density = 62.4 * c.gs * doc.DensityFactor();
    const double atTop = (density / curve.m_nYAxisMax - 1.0) * 100.0 / c.gs;  // percent
    if (c.enters == Enters::Top) {
      EXPECT_EQ(green.front().y, y1);
      EXPECT_NEAR(green.front().x, chart.MapX(atTop), 1);
      EXPECT_EQ(green.back().x, x1);
    } else {
      const double at = curve.m_nXAxisMin;
      EXPECT_EQ(green.front(),
                (framework::DevicePoint{x0, chart.MapY(density / (1.0 + at * c.gs / 100.0))}));
      EXPECT_EQ(green.back().y, y0);
    }

    ASSERT_NE(label, nullptr);
    dc.SelectFont(label->font);
    const framework::TextSize size = dc.TextExtent(label->text);
    EXPECT_TRUE(label->x > x0 && label->x + size.cx < x1 && label->y > y1 &&
                label->y + size.cy < y0)
        << "label at " << label->x << ", " << label->y;
    for (const auto& p : green) {
      EXPECT_FALSE(p.x >= label->x && p.x <= label->x + size.cx && p.y >= label->y &&
                   p.y <= label->y + size.cy)
          << "the line runs through its label at " << p.x << ", " << p.y;
    }
    // By the right end of the line, not its left.
    const int midX = label->x + size.cx / 2, midY = label->y + size.cy / 2;
    auto distance = [&](framework::DevicePoint p) { return std::hypot(p.x - midX, p.y - midY); };
    EXPECT_LT(distance(green.back()), distance(green.front()));
  }
}

// Every coordinate the painter hands the surface.
std::vector<int> Coordinates(const RecordingSurface& dc) {
  std::vector<int> out;
  for (const auto& c : dc.Calls()) {
    out.insert(out.end(), {c.x, c.y, c.right, c.bottom, c.from.x, c.from.y});
    for (const auto& p : c.points) out.insert(out.end(), {p.x, p.y});
  }
  return out;
}

// A point left out of the fit is an open circle of the fitted markers' size where it lies,
// when it lies inside the plot; the axes frame the fitted points only. Each relative-compaction
// percentage whose density p·MDD lies on the unit-weight axis is a thin dashed line across the
// plot with its label inside the plot at the line's right end; one below the axis is left out.
TEST_F(ChartFixture, APointLeftOutIsOpenAndEachCompactionLineRunsAcrossThePlot) {
  testdata::FillTypicalRecord(doc);  // maximum 111.5 pcf; axes 8 to 20 %, 101 to 112 pcf
  doc.m_dRelativeCompaction = {75, 95};
  struct Case {
    double dry;  // of the point left out, at 12 %
    bool shown;
  };
  for (const Case& c : {Case{106.0, true}, Case{96.0, false}}) {
    SCOPED_TRACE(c.dry);
    testdata::SetPoint(doc.m_record, 5, 12.0, c.dry);
    doc.m_record.m_ext.excluded[5] = "mold not seated";
    dc.Clear();
    FitAndDraw();
    EXPECT_EQ(curve.m_nYAxisMin, 101);

    std::vector<RecordedCall> filled, open;
    for (const RecordedCall& e : dc.CallsOf(Kind::Ellipse))
      (e.brush.null ? open : filled).push_back(e);
    ASSERT_EQ(filled.size(), 5u);
    ASSERT_EQ(open.size(), c.shown ? 1u : 0u);
    if (c.shown) {
      const RecordedCall& o = open[0];
      EXPECT_EQ((o.x + o.right) / 2, chart.MapX(12.0));
      EXPECT_EQ((o.y + o.bottom) / 2, chart.MapY(106.0));
      EXPECT_EQ(o.right - o.x, filled[0].right - filled[0].x);
      EXPECT_EQ(o.bottom - o.y, filled[0].bottom - filled[0].y);
      EXPECT_EQ(o.pen, filled[0].pen);
    }

    const int y = chart.MapY(0.95 * doc.m_record.m_dMaxDryDensity);
    const int xLeft = chart.MapX(curve.m_nXAxisMin), xRight = chart.MapX(curve.m_nXAxisMax);
    std::vector<RecordedCall> lines;
    for (const RecordedCall& l : LinesWith(PenStyle::Dash)) {
      if (l.pen.color == framework::Color{64, 64, 64}) lines.push_back(l);
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, (framework::DevicePoint{xLeft, y}));
    EXPECT_EQ((framework::DevicePoint{lines[0].x, lines[0].y}),
              (framework::DevicePoint{xRight, y}));
    EXPECT_EQ(lines[0].pen.width, 1);
    const RecordedCall& label = Text("95 %");
    dc.SelectFont(label.font);
    const framework::TextSize size = dc.TextExtent("95 %");
    EXPECT_GT(label.x, (xLeft + xRight) / 2);
    EXPECT_LE(label.x + size.cx, xRight);
    EXPECT_LE(label.y + size.cy, y);
    EXPECT_GT(label.y, chart.MapY(curve.m_nYAxisMax));
    EXPECT_EQ(dc.FindText("75 %"), nullptr);
  }
}

TEST_F(ChartFixture, BadDataDrawsABoundedChart) {
  struct Case {
    const char* name;
    void (*fill)(CDensoraDoc&);
  };
  const Case cases[] = {
      {"long test far outside the points",
       [](CDensoraDoc& d) {
         densora_test::SetThreePoints(d);
         d.m_record.m_dLongTestDensity = 1e7;
         d.m_record.m_dLongTestMoisture = 5000.0;
       }},
      {"the same with a specific gravity: a long zero-air-voids curve",
       [](CDensoraDoc& d) {
         densora_test::SetThreePoints(d);
         d.m_record.m_dLongTestDensity = 1e7;
         d.m_record.m_dLongTestMoisture = 5000.0;
         d.m_record.m_ext.specificGravity = 2.65;
       }},
      {"dry weights of 0",
       [](CDensoraDoc& d) {
         densora_test::SetThreePoints(d);
         for (int i = 0; i < 3; ++i) d.m_record.Point(i).m_dDrySample = 0.0;
       }},
      {"equal moistures with different unit weights",
       [](CDensoraDoc& d) {
         densora_test::SetPoint(d, 0, 10.0, 100.0);
         densora_test::SetPoint(d, 1, 10.0, 103.0);
         densora_test::SetPoint(d, 2, 14.0, 101.0);
       }},
      {"mold volume of 0",
       [](CDensoraDoc& d) {
         densora_test::SetThreePoints(d);
         d.m_record.m_dMoldVolume = 0.0;
       }},
      {"weights beyond any soil",
       [](CDensoraDoc& d) {
         densora_test::SetThreePoints(d);
         d.m_record.Point(1).m_dMoldSoil = 1e300;
       }},
  };
  for (const Case& c : cases) {
    CDensoraDoc d;
    c.fill(d);
    CDensityCurve cv(d);
    CDensityChart ch(cv);
    CountingTone t;
    ch.SetTone(&t);
    RecordingSurface s;
    cv.FitRecord();
    ch.Draw(s, kLeft, kTop, kRight, kBottom, 1, 1, 1);
    EXPECT_LT(s.Calls().size(), 500u) << c.name;
    for (int v : Coordinates(s)) {
      ASSERT_LE(std::abs(static_cast<long long>(v)), 1100000000LL) << c.name;
    }
    for (const auto& text : s.Texts()) {
      EXPECT_EQ(text.text.find("inf"), std::string::npos) << c.name << ": " << text.text;
      EXPECT_EQ(text.text.find("nan"), std::string::npos) << c.name << ": " << text.text;
    }
    EXPECT_NE(cv.m_nStatus, CDensityCurve::kStatusOk) << c.name;
    EXPECT_EQ(t.plays, 1) << c.name;
  }
}

}  // namespace
