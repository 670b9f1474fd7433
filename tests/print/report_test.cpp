// The printed report on a recording surface at 600 dpi on a US Letter page: where each item
// of the sample tests' pages lands, how the laboratory's lines and long texts fit the page,
// and that impossible values print blank.
#include "print/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "chart/density_chart.h"
#include "cli/cli.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/lab_extension.h"
#include "support/compaction_points.h"
#include "support/recording_surface.h"
#include "support/records.h"

namespace {

using framework::PenStyle;
using framework::RecordedCall;
using framework::RecordingSurface;
using Kind = framework::RecordedCall::Kind;

constexpr int kPageW = 5100;  // 8.5 in at 600 dpi
constexpr int kPageH = 6600;  // 11 in

constexpr int kTextHeight = -83;  // 10 pt

struct ReportFixture : ::testing::Test {
  CDensoraDoc doc;
  CDensityCurve viewCurve{doc};
  CDensityChart chart{viewCurve};
  RecordingSurface dc{600, 600};

  void SetUp() override {
    CompactionRecord& r = doc.m_record;
    r.m_strProject = "MAIN ST";
    r.m_strTipNo = "A-100";
    r.m_strCounty = "Adams";
    r.m_strStation = "12+50 RT";
    r.m_strComments = "Brown silty clay";
    r.m_strDate = "05/09/2003";
    r.m_strTestType = "Subgrade";
    r.m_strTestNo = "7";
    r.m_strTestedBy = "J. Ortiz";
  }

  // The record as the program holds it before printing: points entered and fitted.
  void Fit() { viewCurve.FitRecord(); }

  void Print() { print::DrawReport(dc, kPageW, kPageH, doc, chart); }

  const RecordedCall& Text(const std::string& text) {
    const RecordedCall* c = dc.FindText(text);
    if (c == nullptr) {
      ADD_FAILURE() << "no text \"" << text << "\"";
      static RecordedCall none;
      return none;
    }
    return *c;
  }

  void ExpectText(const std::string& text, int x, int y, int weight) {
    const RecordedCall& c = Text(text);
    EXPECT_EQ(c.x, x) << text;
    EXPECT_EQ(c.y, y) << text;
    EXPECT_EQ(c.font.face, "Arial") << text;
    EXPECT_EQ(c.font.weight, weight) << text;
  }

  // The texts written at one height, left to right, as (x, text).
  std::vector<std::pair<int, std::string>> Row(int y) {
    std::vector<std::pair<int, std::string>> out;
    for (const auto& t : dc.Texts()) {
      if (t.y == y) out.emplace_back(t.x, t.text);
    }
    std::sort(out.begin(), out.end());
    return out;
  }
};

// The printed page of each sample test, call by call as the golden files hold it: the
// emblem, the headings and the project block, the mold, the test table, the long-test lines
// (bare without a long test), the laboratory's lines, and the chart in its rectangle with
// the paper's heavy lines, in English and Metric, and a point left out of the fit with two
// relative-compaction windows.
TEST(ReportGolden, TheSampleTestsPagesAreTheGoldenFiles) {
  const std::string data = std::string(DENSORA_SAMPLES_DIR) + "/../";
  struct Row {
    const char* golden;
    const char* file;
    bool metric;
    int excluded = -1;  // the slot of a point left out of the fit
    std::vector<double> percents = {};
  };
  for (const Row& row :
       {Row{"report-7Sub.txt", "sample-projects/MAIN ST/A-100/Subgrade/7Sub.lng", false},
        Row{"report-3Emb-metric.txt", "sample-projects/MAIN ST/A-100/Embankment/3Emb.lng", true},
        Row{"report-12Lim.txt", "sample-projects/COUNTY RD 9/Lime/12Lim.lng", false},
        Row{"report-9Bas-metric.txt", "lab-extension/9Bas.lng", true},
        // Its fourth point left out, with the 90 and 95 % windows.
        Row{"report-7Sub-excluded-90-95.txt",
            "sample-projects/MAIN ST/A-100/Subgrade/7Sub.lng",
            false,
            3,
            {90, 95}}}) {
    SCOPED_TRACE(row.golden);
    CDensoraDoc doc;
    doc.m_nUnits = row.metric ? kMetric : kEnglish;
    doc.m_dRelativeCompaction = row.percents;
    std::ostringstream err;
    ASSERT_TRUE(cli::OpenAndFit(doc, data + row.file, err)) << err.str();
    if (row.excluded >= 0) doc.m_record.m_ext.excluded[row.excluded] = "mold not seated";
    CDensityCurve curve(doc);
    CDensityChart chart(curve);
    RecordingSurface dc(600, 600);
    print::DrawReport(dc, kPageW, kPageH, doc, chart);
    testdata::ExpectGolden(row.golden, dc.Dump());
  }
}

TEST_F(ReportFixture, RatesTheFitAsItStoodThenRefitsForTheChart) {
  densora_test::SetThreePoints(doc);
  doc.m_record.m_dLongTestDensity = 110.0;
  Fit();
  // A result left over from before, and a stale point count.
  doc.m_record.m_dMaxDryDensity = 108.0;
  doc.m_record.m_nPointCount = 0;
  Print();
  EXPECT_NE(dc.FindText("Maximum Density = 110.00 pcf, difference = 2.0  pcf - Good"), nullptr);
  EXPECT_NEAR(doc.m_record.m_dMaxDryDensity, 104.042, 0.0005);
  EXPECT_EQ(doc.m_record.m_nPointCount, 3);
  EXPECT_NE(dc.FindText("Maximum Dry Density = 104.0 pcf"), nullptr);
}

TEST_F(ReportFixture, FewPointsShowInsufficientDataInTheValueFont) {
  densora_test::SetPoint(doc, 0, 10.0, 100.0);
  densora_test::SetPoint(doc, 1, 12.0, 104.0);
  Fit();
  Print();
  const auto centred = dc.CallsOf(Kind::DrawTextCentered);
  ASSERT_EQ(centred.size(), 1u);
  EXPECT_EQ(centred[0].text, "Insufficient Data");
  EXPECT_EQ(centred[0].x, 637);
  EXPECT_EQ(centred[0].y, 3894);
  EXPECT_EQ(centred[0].right, 4549);
  EXPECT_EQ(centred[0].bottom, 6270);
  EXPECT_EQ(centred[0].font, (framework::Font{"Arial", kTextHeight, 400, 0}));
}

TEST_F(ReportFixture, PutsThePenAndFontBack) {
  densora_test::SetThreePoints(doc);
  Fit();
  const framework::Pen pen{PenStyle::Dot, 2, {9, 9, 9}};
  const framework::Font font{"Arial", -7, 400, 0};
  dc.SelectPen(pen);
  dc.SelectFont(font);
  Print();
  EXPECT_EQ(dc.CurrentPen(), pen);
  EXPECT_EQ(dc.CurrentFont(), font);
}

// A text longer than its column is cut where the next column begins, so that it never
// covers the right column's labels or runs off the page; a long comment takes a second line.
TEST_F(ReportFixture, LongTextsEndAtTheirColumnAndALongCommentTakesASecondLine) {
  CompactionRecord& r = doc.m_record;
  r.m_strProject = std::string(300, 'P');
  r.m_strTipNo = std::string(300, '1');
  r.m_strCounty = std::string(300, '\xC4');
  r.m_strStation = std::string(300, 'S');
  r.m_strDate = std::string(300, '0');
  r.m_strTestNo = std::string(300, 'N');
  r.m_strTestedBy = std::string(300, 'T');
  r.m_strComments.clear();
  for (int i = 0; i < 20; ++i)
    r.m_strComments += "Brown silty clay, stockpile " + std::to_string(i) + " ";
  densora_test::SetThreePoints(doc);
  Fit();
  Print();

  dc.SelectFont(framework::Font{"Arial", kTextHeight, 400, 0});  // the value font, to measure
  const int rightLabels = 2687, rightMargin = 4549;
  const int blank = dc.TextExtent(" ").cx;
  struct Value {
    int x, y, end;
    std::string whole;
  };
  const Value values[] = {
      {1596, 1315, rightLabels - blank, r.m_strProject},
      {1596, 1473, rightLabels - blank, r.m_strTipNo},
      {1596, 1631, rightLabels - blank, r.m_strCounty},
      {1596, 1790, rightLabels - blank, r.m_strStation},
      {3570, 1315, rightMargin, r.m_strDate},
      {3570, 1631, rightMargin, r.m_strTestNo},
      {3570, 1790, rightMargin, r.m_strTestedBy},
  };
  for (const Value& v : values) {
    const auto row = Row(v.y);
    const auto at =
        std::find_if(row.begin(), row.end(), [&](const auto& t) { return t.first == v.x; });
    ASSERT_NE(at, row.end()) << v.whole.substr(0, 5);
    // Cut short, a value ends with "…" (Windows-1252 0x85), as much of it as fits before.
    const std::string& shown = at->second;
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), '\x85') << shown;
    const std::string kept = shown.substr(0, shown.size() - 1);
    EXPECT_EQ(v.whole.compare(0, kept.size(), kept), 0) << shown;
    EXPECT_LE(v.x + dc.TextExtent(shown).cx, v.end) << shown;
    EXPECT_GT(v.x + dc.TextExtent(v.whole.substr(0, kept.size() + 1) + "\x85").cx, v.end) << shown;
  }
  for (const char* label : {"Date", "Test Type", "Test No.", "Tested By"})
    ExpectText(label, 2687, Text(label).y, 700);

  // The comment: a first line that ends with a whole word, and the rest below it, cut at the
  // right margin with "…".
  const auto first = Row(1955);
  const auto second = Row(1955 + dc.TextExtent(" ").cy);
  ASSERT_EQ(first.size(), 2u);  // the label and the value
  ASSERT_EQ(second.size(), 1u);
  const std::string& line1 = first[1].second;
  const std::string& line2 = second[0].second;
  EXPECT_EQ(r.m_strComments.compare(0, line1.size() + 1, line1 + " "), 0) << line1;
  ASSERT_FALSE(line2.empty());
  EXPECT_EQ(line2.back(), '\x85') << line2;
  EXPECT_EQ(r.m_strComments.compare(line1.size() + 1, line2.size() - 1, line2, 0, line2.size() - 1),
            0)
      << line2;
  EXPECT_LE(1596 + dc.TextExtent(line1).cx, rightMargin);
  EXPECT_LE(1596 + dc.TextExtent(line2).cx, rightMargin);
  EXPECT_GT(1596 + dc.TextExtent(line1 + " Brown").cx, rightMargin);

  // A comment that fits keeps to one line.
  r.m_strComments = "Brown silty clay";
  dc.Clear();
  Print();
  EXPECT_TRUE(Row(1955 + dc.TextExtent(" ").cy).empty());
}

// The laboratory's entries on the report: the standard and method name the procedure, and
// under the long test come the specific gravity, the oversize correction in the report's
// unit with the method's sieve and the warnings, a row each, a long line broken after a clause, the
// chart giving up the rows they take. Entries with nothing to print leave the page as it always
// was, and nothing above their rows moves.
TEST_F(ReportFixture, LabEntriesNameTheStandardAndFollowTheLongTest) {
  struct Case {
    const char* name;
    void (*enter)(LabExtension&);
    bool metric;
    std::string title;
    std::vector<std::string> rows;
  };
  // The three points leave one on the wet side of their optimum: every page notes it last.
  const std::string note = "NOTE: Fewer than two points on the wet side of the optimum";
  const Case cases[] = {
      {"nothing entered", [](LabExtension&) {}, false, "AASHTO T-99", {note}},
      {"only an entry of a later version",
       [](LabExtension& x) {
         x.unknown.push_back({"sieveSize", 'D', 4.75, 0, ""});
       },
       false,
       "AASHTO T-99",
       {note}},
      {"standard and method",
       [](LabExtension& x) {
         x.standard = "AASHTO T 180";
         x.method = "D";
       },
       false,
       "AASHTO T-180, Method D",
       {"WARNING: Method D calls for the 6-inch (0.075 cu. ft.) mold", note}},
      {"specific gravity",
       [](LabExtension& x) {
         x.specificGravity = 2.70;
         x.specificGravitySource = "measured";
       },
       false,
       "AASHTO T-99",
       {"Specific Gravity (Gs) = 2.70 (measured)", note}},
      // Gs 2.00 puts the 12 % and 14 % points above the zero-air-voids curve; 35 % is
      // beyond the 25 % Method A allows.
      {"everything, Metric",
       [](LabExtension& x) {
         x.specificGravity = 2.0;
         x.specificGravitySource = "assumed";
         x.oversizePercent = 35.0;
         x.oversizeSpecificGravity = 2.60;
         x.oversizeMoisture = 2.0;
         x.standard = "ASTM D698";
         x.method = "A";
       },
       true,
       "ASTM D698, Method A",
       {"Specific Gravity (Gs) = 2.00 (assumed)",
        "Oversize Correction, 4.75 mm (No. 4) sieve: 35.0 % retained, Gm = 2.60, MC = 2.0 %:",
        "Corrected Maximum Dry Density = 1905.8 kg/m\xB3, Corrected Optimum Moisture = 8.6 %",
        "WARNING: Point 2 lies above the zero-air-voids curve (S = 120 %)",
        "WARNING: Point 3 lies above the zero-air-voids curve (S = 119 %)",
        "WARNING: 35.0 % oversize exceeds the 25 % limit of Method A", note}},
  };
  const int longTestY = 3691, left = 688, right = 4549;
  std::string plain[2];  // the page without entries, English and Metric
  for (const bool metric : {false, true}) {
    doc.m_nUnits = metric ? kMetric : kEnglish;
    densora_test::SetThreePoints(doc);
    dc = RecordingSurface(600, 600);  // each page from a fresh surface's state
    Fit();
    Print();
    plain[metric] = dc.Dump();
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc.m_nUnits = c.metric ? kMetric : kEnglish;
    doc.m_record.m_ext = LabExtension{};
    c.enter(doc.m_record.m_ext);
    dc = RecordingSurface(600, 600);
    Fit();
    Print();
    ExpectText(c.title, 3570, 1473, 400);

    std::vector<RecordedCall> rows;
    for (const auto& t : dc.Texts()) {
      if (t.x == left && t.y > longTestY) rows.push_back(t);
    }
    std::vector<std::string> texts;
    for (const auto& r : rows) texts.push_back(r.text);
    EXPECT_EQ(texts, c.rows);

    // The plain page, call for call but for the title: all of it when nothing is printed
    // under the long test, else everything up to the long test's last line.
    std::string page = dc.Dump();
    const std::string quoted = '"' + c.title + '"';
    page.replace(page.find(quoted), quoted.size(), "\"AASHTO T-99\"");
    const std::string& before = plain[c.metric];
    if (rows.empty()) {
      EXPECT_EQ(page, before);
      continue;
    }
    const std::size_t lastLine = page.find("TextOut 1555 3691 \"Optimum Moisture = ");
    ASSERT_NE(lastLine, std::string::npos);
    const std::size_t end = page.find('\n', lastLine);
    EXPECT_EQ(page.substr(0, end), before.substr(0, end));
    // Rows in the value font, a row apart as the long-test lines are, each within the
    // margins, all above the chart, which keeps its bottom.
    const int step = longTestY - 3559;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].font, (framework::Font{"Arial", kTextHeight, 400, 0})) << i;
      EXPECT_NEAR(rows[i].y, longTestY + step * static_cast<int>(i + 1), 1) << i;
      dc.SelectFont(rows[i].font);
      EXPECT_LE(left + dc.TextExtent(rows[i].text).cx, right) << rows[i].text;
    }
    const RecordedCall& title = Text("Moisture-Density Curve");
    EXPECT_GT(title.y, rows.back().y + dc.TextExtent(rows.back().text).cy);
    EXPECT_EQ(chart.Layout().top + chart.Layout().height, 6270);
  }
}

// A point left out of the fit keeps its row, numbered with an asterisk, and is named with
// its reason under the long test; then comes the window of each relative-compaction
// percentage, then the checks. The worked three points peak at 104.042 pcf: 95 % of it,
// 98.8 pcf, lies below all three, so the curve is above it wherever there are points.
TEST_F(ReportFixture, APointLeftOutIsMarkedAndNamedAndTheWindowsFollow) {
  densora_test::SetThreePoints(doc);
  densora_test::SetPoint(doc, 3, 16.0, 90.0);
  doc.m_record.m_ext.excluded[3] = "mold not seated";
  doc.m_dRelativeCompaction = {95};
  Fit();
  Print();
  EXPECT_NEAR(doc.m_record.m_dMaxDryDensity, 104.042, 5e-4);
  std::vector<std::string> lines;
  for (const auto& t : dc.Texts()) {
    if (t.x == 688 && t.y > 3691) lines.push_back(t.text);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Point 4 excluded from the fit: mold not seated",
                       "95 % of maximum dry density: 98.8 pcf, moisture beyond the points to "
                       "beyond the points",
                       "NOTE: Fewer than two points on the wet side of the optimum"}));
  // The table's row numbers, the fourth marked; its weights are still printed.
  std::vector<std::string> numbers;
  for (const auto& t : dc.Texts()) {
    if (t.text.size() <= 2 && std::isdigit(static_cast<unsigned char>(t.text[0])) && t.y > 2400 &&
        t.y < 3432) {
      numbers.push_back(t.text);
    }
  }
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3", "4*", "5", "6"}));
  EXPECT_NE(dc.FindText("16.00"), nullptr);
}

// The test table alone, in a rectangle of 800 × 400 at (100, 200).
struct TestTableFixture : ReportFixture {
  void Draw() { print::DrawTestTable(dc, 100, 200, 900, 600, doc); }
};

constexpr int kRowY[] = {358, 397, 436, 475, 514, 552};

TEST_F(TestTableFixture, PresentPointsFillTheRowsInSlotOrder) {
  // Slots 1, 3 and 4 (slot 2 empty), with water contents of 10 %, 9.5 % and 12 %.
  densora_test::SetPoint(doc, 0, 10.0, 100.0);
  densora_test::SetPoint(doc, 2, 9.5, 102.0, 200.0);
  densora_test::SetPoint(doc, 3, 12.0, 104.0);
  Draw();
  // Every row numbered; the points' water contents in the first rows, the rest blank.
  std::vector<std::string> numbers, water;
  for (const int y : kRowY) {
    const auto row = Row(y);
    numbers.push_back(row.front().second);
    water.push_back(row.size() == 8 ? row[6].second : "");
  }
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(water, (std::vector<std::string>{"10.00", "  9.50", "12.00", "", "", ""}));
  // The table reads the slots; the count it stores is left to the fit.
  EXPECT_EQ(doc.m_record.m_nPointCount, 0);
}

// The metric rows divide by the record's own mold in cubic metres, V × 0.02832: a point of
// 110 pcf wet and 100 pcf dry prints the same unit weights in the standard 1/30 ft³ mold
// and in the 6-inch mold of 0.075 ft³, which holds 2.25 times the soil.
TEST_F(TestTableFixture, MetricRowsUseTheRecordsMold) {
  struct Case {
    double volume;
    const char* soil;
  };
  for (const Case& c : {Case{1.0 / 30.0, "1663.2"}, Case{0.075, "3742.2"}}) {
    SCOPED_TRACE(c.volume);
    doc.m_record.m_dMoldVolume = c.volume;
    densora_test::SetPoint(doc, 0, 10.0, 100.0);
    doc.m_nUnits = kMetric;
    dc.Clear();
    Draw();
    const auto row = Row(kRowY[0]);
    ASSERT_EQ(row.size(), 8u);
    EXPECT_EQ(row[2].second, c.soil);
    EXPECT_EQ(row[3].second, "1761.9");  // 1663.2 g / 0.944 l
    EXPECT_EQ(row[7].second, "1601.7");  // the same over 1.10
  }
}

TEST_F(TestTableFixture, ImpossibleValuesPrintBlank) {
  // A point without a dry weight has no water content and no dry unit weight.
  densora_test::SetPoint(doc, 0, 10.0, 100.0);
  doc.m_record.Point(0).m_dDrySample = 0.0;
  // A mold volume of 0 gives no unit weights at all in English.
  CDensoraDoc noVolume;
  densora_test::SetPoint(noVolume, 0, 10.0, 100.0);
  noVolume.m_record.m_dMoldVolume = 0.0;

  Draw();
  auto row = Row(kRowY[0]);
  ASSERT_EQ(row.size(), 8u);
  EXPECT_EQ(row[3].second, "110.0");
  EXPECT_EQ(row[6].second, "");
  EXPECT_EQ(row[7].second, "");

  dc.Clear();
  print::DrawTestTable(dc, 100, 200, 900, 600, noVolume);
  row = Row(kRowY[0]);
  ASSERT_EQ(row.size(), 8u);
  EXPECT_EQ(row[3].second, "");
  EXPECT_EQ(row[6].second, "10.00");
  EXPECT_EQ(row[7].second, "");

  // And the whole page of such a record says nothing of infinity.
  dc.Clear();
  CDensityCurve curve(noVolume);
  curve.FitRecord();
  CDensityChart noVolumeChart(curve);
  print::DrawReport(dc, kPageW, kPageH, noVolume, noVolumeChart);
  for (const auto& t : dc.Texts()) {
    EXPECT_EQ(t.text.find("inf"), std::string::npos) << t.text;
    EXPECT_EQ(t.text.find("nan"), std::string::npos) << t.text;
  }
  EXPECT_NE(dc.FindText("0.000000"), nullptr);  // the mold volume itself
}

}  // namespace
