#include "model/relative_compaction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "support/records.h"

namespace {

// Six points on the dry unit weight 110 − (w − 13)² between 10 and 16 %, with the two ends
// chosen so that the spline is that parabola there. The spline's second derivatives y2 obey,
// for equal steps h = 2, (y2[i-1] + 4·y2[i] + y2[i+1])·h²/6 = y[i+1] − 2·y[i] + y[i-1]; its
// start, clamped to the first chord, gives y2[0] = −y2[1]/2, and its end is natural. Asking
// y2 = (1, −2, −2, −2, −2, 0), a constant −2 on 10 … 16 %, gives the second differences −6, −8,
// −8, −20/3: the parabola's 101, 109, 109, 101 at 10 … 16 % with 87 at 8 % and 86⅓ at 18 %.
void FillParabola(CDensoraDoc& doc) {
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000.0;
  const double moisture[] = {8, 10, 12, 14, 16, 18};
  const double dry[] = {87, 101, 109, 109, 101, 110 - 17 - 20.0 / 3.0};
  for (int i = 0; i < 6; ++i) testdata::SetPoint(r, i, moisture[i], dry[i]);
}

}  // namespace

// The window of a curve known in closed form. The peak sample is the vertex, 110 pcf at 13 %.
// 95 % of it, 104.5 pcf, is reached where (w − 13)² = 5.5: from 13 − √5.5 = 10.655 % to
// 13 + √5.5 = 15.345 %. Between samples 0.1 % apart the chord of the parabola lies within
// 0.1²/8 · 2 = 0.0025 pcf of it, a moisture error of 0.0025 / 4.7 (the slope there): under
// 0.001 %. 75 %, 82.5 pcf, lies below both end points: the curve is still above it where
// the points end. The same in Metric, the density in kg/m³.
TEST(RelativeCompaction, TheWindowOfAParabolaIsWhereItsSquareReachesTheLine) {
  const double half = std::sqrt(5.5);
  struct Case {
    int units;
    double percent, density;
    std::optional<double> from, to;
    const char* line;
  };
  const Case cases[] = {
      {kEnglish, 95, 104.5, 13 - half, 13 + half,
       "95 % of maximum dry density: 104.5 pcf, moisture 10.7 % to 15.3 %"},
      {kEnglish, 75, 82.5, std::nullopt, std::nullopt,
       "75 % of maximum dry density: 82.5 pcf, moisture beyond the points to beyond the points"},
      {kMetric, 95, 104.5 * kMetricDensityFactor, 13 - half, 13 + half,
       "95 % of maximum dry density: 1673.8 kg/m\xB3, moisture 10.7 % to 15.3 %"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    CDensoraDoc doc;
    doc.m_nUnits = c.units;
    doc.m_dRelativeCompaction = {c.percent};
    FillParabola(doc);
    CDensityCurve curve(doc);
    curve.FitRecord();
    ASSERT_EQ(curve.m_nStatus, CDensityCurve::kStatusOk);
    const std::vector<CompactionWindow> windows = RelativeCompaction(curve);
    ASSERT_EQ(windows.size(), 1u);
    const CompactionWindow& w = windows[0];
    EXPECT_EQ(w.percent, c.percent);
    EXPECT_NEAR(w.density, c.density, 1e-9 * c.density);
    ASSERT_EQ(w.moistureFrom.has_value(), c.from.has_value());
    ASSERT_EQ(w.moistureTo.has_value(), c.to.has_value());
    if (c.from) {
      EXPECT_NEAR(*w.moistureFrom, *c.from, 1e-3);
      EXPECT_NEAR(*w.moistureTo, *c.to, 1e-3);
    }
    EXPECT_EQ(RelativeCompactionLine(w, doc.DensityUnit()), c.line);
  }

  // No maximum, no window: two points, or none at all.
  CDensoraDoc doc;
  doc.m_dRelativeCompaction = {95};
  testdata::FillThreePointExample(doc);
  TestPoint& third = doc.m_record.Point(2);
  third.m_dMoldSoil = third.m_dWetSample = third.m_dDrySample = 0.0;
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_TRUE(RelativeCompaction(curve).empty());
}

// The lab's list as the settings and --percent give it: percentages from 50 to 100 with one
// decimal at most, five at most, sorted and each once; a blank list is no lines at all.
TEST(RelativeCompaction, ThePercentagesOfAList) {
  struct Case {
    const char* text;
    std::optional<std::vector<double>> percents;
  };
  const Case cases[] = {
      {"95", std::vector<double>{95}},
      {" 95 , 90,92.5", std::vector<double>{90, 92.5, 95}},
      {"95,95,100", std::vector<double>{95, 100}},
      {"", std::vector<double>{}},
      {"  ", std::vector<double>{}},
      {"50,60,70,80,90", std::vector<double>{50, 60, 70, 80, 90}},
      {"50,60,70,80,90,100", std::nullopt},
      {"49.9", std::nullopt},
      {"100.1", std::nullopt},
      {"92.25", std::nullopt},
      {"95,", std::nullopt},
      {"95;90", std::nullopt},
      {"-95", std::nullopt},
      {"9e1", std::nullopt},
      {".5", std::nullopt},
      {"nan", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseCompactionPercents(c.text), c.percents);
    if (c.percents) {
      EXPECT_EQ(ParseCompactionPercents(FormatCompactionPercents(*c.percents)), c.percents);
    }
  }
  EXPECT_EQ(FormatCompactionPercents({90, 92.5, 95}), "90,92.5,95");
}
