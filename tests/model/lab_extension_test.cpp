#include "model/lab_extension.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "model/density_curve.h"
#include "model/lab_results.h"
#include "support/records.h"

// The worked figures of the zero-air-voids curve and of the oversize correction.
TEST(LabFormulas, WorkedFigures) {
  struct Zav {
    double moisture, pcf;
  };
  for (const Zav& z :
       {Zav{5, 150.9}, Zav{8, 140.7}, Zav{10, 134.6}, Zav{12, 129.0}, Zav{15, 121.5}}) {
    EXPECT_NEAR(ZeroAirVoidsUnitWeight(2.75, z.moisture), z.pcf, 0.05) << z.moisture;
  }
  ASSERT_TRUE(OversizeCorrectedDensity(115.0, 30.0, 2.65));
  EXPECT_NEAR(*OversizeCorrectedDensity(115.0, 30.0, 2.65), 126.563, 5e-4);
  EXPECT_NEAR(OversizeCorrectedMoisture(12.0, 15.0, 2.0), 10.5, 1e-12);

  // A point on the zero-air-voids curve is saturated; one above it has no voids to fill.
  EXPECT_NEAR(*DegreeOfSaturation(2.70, 12.0, ZeroAirVoidsUnitWeight(2.70, 12.0)), 100.0, 1e-9);
  EXPECT_NEAR(*DegreeOfSaturation(2.70, 12.0, 115.0), 69.67, 0.01);
  EXPECT_FALSE(DegreeOfSaturation(2.70, 12.0, 2.70 * kWaterUnitWeightPcf));
  EXPECT_FALSE(DegreeOfSaturation(2.70, 12.0, 0.0));
}

TEST(LabFormulas, NoCorrectionWithoutAnOversizeOrAFineFraction) {
  struct Case {
    double pc, gm;
  };
  for (const Case& c :
       {Case{0, 2.65}, Case{100, 2.65}, Case{30, 0}, Case{30, -1}, Case{NAN, 2.65}}) {
    EXPECT_FALSE(OversizeCorrectedDensity(115.0, c.pc, c.gm)) << c.pc << " " << c.gm;
  }
}

// The standard's methods, their oversize limits and sieves, and the report's title of each
// pairing.
TEST(LabStandards, MethodsLimitsSievesAndTitles) {
  struct Case {
    const char* standard;
    const char* method;
    std::optional<int> limit;
    const char* sieve;
    const char* title;
  };
  for (const Case& c : {
           Case{"", "", std::nullopt, "", "AASHTO T-99"},
           Case{"", "A", 40, "4.75 mm (No. 4)", "AASHTO T-99, Method A"},
           Case{"AASHTO T 99", "B", 40, "4.75 mm (No. 4)", "AASHTO T-99, Method B"},
           Case{"AASHTO T 99", "C", 30, "19.0 mm (3/4 in)", "AASHTO T-99, Method C"},
           Case{"AASHTO T 180", "D", 30, "19.0 mm (3/4 in)", "AASHTO T-180, Method D"},
           Case{"AASHTO T 180", "", std::nullopt, "", "AASHTO T-180"},
           Case{"ASTM D698", "A", 25, "4.75 mm (No. 4)", "ASTM D698, Method A"},
           Case{"ASTM D698", "B", 25, "9.5 mm (3/8 in)", "ASTM D698, Method B"},
           Case{"ASTM D1557", "C", 30, "19.0 mm (3/4 in)", "ASTM D1557, Method C"},
           Case{"ASTM D1557", "D", std::nullopt, "", "ASTM D1557, Method D"},  // ASTM has no D
           Case{"BS 1377", "A", std::nullopt, "", "BS 1377, Method A"},
       }) {
    LabExtension x;
    x.standard = c.standard;
    x.method = c.method;
    EXPECT_EQ(OversizeLimit(c.standard, c.method), c.limit) << c.standard << c.method;
    EXPECT_EQ(OversizeSieve(c.standard, c.method), c.sieve) << c.standard << c.method;
    EXPECT_EQ(StandardTitle(x), c.title);
  }
}

// The checks of the laboratory's entries, record by record: every warning a record gives,
// in the order the page, the report and densora-cli show them. The base record is a
// standard test in the 4-inch mold whose points lie below the zero-air-voids curve of
// Gs 2.70.
TEST(LabChecks, EachRecordWarnsOfWhatIsWrongWithIt) {
  struct Case {
    const char* name;
    void (*enter)(CompactionRecord&);
    std::vector<std::string> checks;
  };
  const Case cases[] = {
      {"nothing entered", [](CompactionRecord&) {}, {}},
      {"every entry within its range and suiting the method",
       [](CompactionRecord& r) { r.m_ext = {2.70, "measured", 20, 2.65, 0.0, "AASHTO T 99", "C"}; },
       {}},
      {"a point above the curve by its saturation",
       [](CompactionRecord& r) {
         r.m_ext.specificGravity = 2.70;
         testdata::SetPoint(r, 2, 15.0, 125.0);
       },
       // With the fit's optimum at 12 %, no point lies on its dry side.
       {"WARNING: Point 3 lies above the zero-air-voids curve (S = 116 %)",
        "NOTE: Fewer than two points on the dry side of the optimum"}},
      {"a point above Gs times the unit weight of water, where no voids are left",
       [](CompactionRecord& r) {
         r.m_ext.specificGravity = 2.30;  // Gs·γw = 143.5 pcf
         testdata::SetPoint(r, 0, 12.0, 100.0);
         testdata::SetPoint(r, 1, 10.0, 145.0);
         testdata::SetPoint(r, 3, 16.0, 95.0);
       },
       // The point denser than the solids is also the driest, and one lies wet of 12 %.
       {"WARNING: Point 2 lies above the zero-air-voids curve (S > 100 %)",
        "WARNING: The points do not bracket the optimum: add a point on the dry side",
        "NOTE: Fewer than two points on the wet side of the optimum"}},
      {"a 6-inch method in the 4-inch mold",
       [](CompactionRecord& r) {
         r.m_ext.standard = "AASHTO T 180";
         r.m_ext.method = "D";
       },
       {"WARNING: Method D calls for the 6-inch (0.075 cu. ft.) mold"}},
      {"a 4-inch method in the 6-inch mold",
       [](CompactionRecord& r) {
         r.m_ext.standard = "ASTM D698";
         r.m_ext.method = "B";
         r.m_dMoldVolume = 0.075;
       },
       {"WARNING: Method B calls for the 4-inch (1/30 cu. ft.) mold"}},
      {"a calibrated 6-inch mold within 2 % of its volume",
       [](CompactionRecord& r) {
         r.m_ext.standard = "ASTM D1557";
         r.m_ext.method = "C";
         r.m_dMoldVolume = 0.0764;
       },
       {}},
      {"a Gs source without a Gs",
       [](CompactionRecord& r) { r.m_ext.specificGravitySource = "assumed"; },
       {"WARNING: The Gs source \"assumed\" is given without a Gs value"}},
      {"oversize beyond the method's limit",
       [](CompactionRecord& r) {
         r.m_ext.standard = "AASHTO T 180";
         r.m_ext.method = "D";
         r.m_dMoldVolume = 0.075;
         r.m_ext.oversizePercent = 31.0;
       },
       {"WARNING: 31.0 % oversize exceeds the 30 % limit of Method D"}},
      // What a file can hold and no technician can type: kept, shown and warned of.
      {"every entry out of its range",
       [](CompactionRecord& r) { r.m_ext = {-5, "guessed", 150, -2.65, 101, "BOGUS", "E"}; },
       {"WARNING: Gs = -5: Enter a value between 2.0 and 3.5",
        "WARNING: Gs source \"guessed\": Enter \"measured\" or \"assumed\"",
        "WARNING: Oversize = 150 %: Enter a value between 0 and 100",
        "WARNING: Oversize Gm = -2.65: Enter a value greater than 0",
        "WARNING: Oversize MC = 101 %: Enter a value between 0 and 100",
        "WARNING: Standard \"BOGUS\": Enter one of AASHTO T 99, AASHTO T 180, ASTM D698, "
        "ASTM D1557",
        "WARNING: Method \"E\": Enter a method of the standard ()"}},
      {"numbers that are not finite",
       [](CompactionRecord& r) {
         r.m_ext.specificGravity = NAN, r.m_ext.oversizeMoisture = INFINITY;
       },
       {"WARNING: Gs: Enter a value between 2.0 and 3.5",
        "WARNING: Oversize MC: Enter a value between 0 and 100"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDensoraDoc doc;
    CompactionRecord& r = doc.m_record;
    r.m_dMoldWeight = 4000;
    r.m_dMoldVolume = 1.0 / 30.0;
    testdata::SetPoint(r, 0, 12.0, 115.0);
    testdata::SetPoint(r, 3, 16.0, 108.0);
    c.enter(r);
    EXPECT_EQ(EvaluateLab(r, 115.0, 12.0).checks, c.checks);
  }
}

// Saturation per present point, and the corrected results from 5 % retained on.
TEST(LabResultsTest, EvaluatesSaturationAndCorrection) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000;
  r.m_dMoldVolume = 1.0 / 30.0;
  testdata::SetPoint(r, 0, 12.0, 115.0);
  testdata::SetPoint(r, 2, 15.0, 125.0);  // wetter than the soil can hold at Gs 2.70
  testdata::SetPoint(r, 3, 10.0, 170.0);  // denser than the solids themselves
  r.m_ext.specificGravity = 2.70;
  r.m_ext.oversizePercent = 31.0;
  r.m_ext.oversizeSpecificGravity = 2.65;

  LabResults lab = EvaluateLab(r, 115.0, 12.0);
  EXPECT_EQ(lab.rows, (std::vector<int>{1, 3, 4}));
  ASSERT_EQ(lab.saturation.size(), 3u);
  EXPECT_NEAR(lab.saturation[0].value_or(0), 69.67, 0.01);
  EXPECT_NEAR(lab.saturation[1].value_or(0), 116.43, 0.01);
  EXPECT_EQ(lab.saturation[2], kAboveZeroAirVoids);
  EXPECT_EQ(SaturationLine(1, *lab.saturation[0]), "Point 1  S = 69.7 %");
  EXPECT_EQ(SaturationLine(4, *lab.saturation[2]), "Point 4  S > 100 %");
  EXPECT_EQ(SaturationText(*lab.saturation[2]), "> 100");
  ASSERT_TRUE(lab.corrected);
  EXPECT_NEAR(lab.corrected->maxDryDensityPcf, *OversizeCorrectedDensity(115.0, 31.0, 2.65), 1e-9);
  EXPECT_FALSE(lab.corrected->optimumMoisture);  // no oversize moisture entered

  r.m_ext.oversizeMoisture = 2.0;
  lab = EvaluateLab(r, 115.0, 12.0);
  EXPECT_NEAR(lab.corrected.value().optimumMoisture.value_or(0), 8.9, 1e-9);
  r.m_ext.oversizeMoisture = 0.0;  // oven-dry oversize holds no water
  lab = EvaluateLab(r, 115.0, 12.0);
  EXPECT_NEAR(lab.corrected.value().optimumMoisture.value_or(0), 8.28, 1e-9);
  EXPECT_FALSE(EvaluateLab(r, 0.0, 0.0).corrected);  // a fit without a maximum

  // The standards correct from 5 % retained.
  r.m_ext.oversizePercent = 5.0;
  EXPECT_TRUE(EvaluateLab(r, 115.0, 12.0).corrected);
  r.m_ext.oversizePercent = 4.9;
  EXPECT_FALSE(EvaluateLab(r, 115.0, 12.0).corrected);

  r.m_ext.specificGravity = 0;  // without Gs no saturation and no saturation warning
  lab = EvaluateLab(r, 115.0, 12.0);
  EXPECT_EQ(lab.saturation, (std::vector<std::optional<double>>(3)));
  EXPECT_EQ(lab.checks, lab.bracketing);  // only whether the points bracket the optimum
}

// Whether the points given to the fit bracket its optimum, fitted as the program fits them:
// the warning when the highest point is the driest or the wettest, the note for a side of the
// fitted optimum with fewer than two points, and nothing below three points. A point left out
// of the fit counts for neither.
TEST(LabChecks, ThePointsGivenToTheFitBracketItsOptimum) {
  struct Point {
    double moisture, dry;
    bool excluded = false;
  };
  struct Case {
    const char* name;
    std::vector<Point> points;
    std::vector<std::string> checks;
  };
  const std::string dry =
      "WARNING: The points do not bracket the optimum: add a point on the dry side";
  const std::string wet =
      "WARNING: The points do not bracket the optimum: add a point on the wet side";
  const Case cases[] = {
      // The worked three points peak at 12.2 %: 10 and 12 lie dry of it, 14 alone wet.
      {"one point on the wet side",
       {{10, 100}, {12, 104}, {14, 101}},
       {"NOTE: Fewer than two points on the wet side of the optimum"}},
      // Falling from the first point: the peak lies drier than any point compacted. The note
      // for the dry side would only repeat the warning.
      {"the highest point is the driest", {{10, 106}, {12, 104}, {14, 101}, {16, 97}}, {dry}},
      {"the highest point is the wettest", {{10, 97}, {12, 101}, {14, 104}, {16, 106}}, {wet}},
      {"two points on either side", {{8, 98}, {10, 102}, {12, 104}, {14, 102}, {16, 98}}, {}},
      {"two points on either side but the dry one left out",
       {{10, 100, true}, {12, 104}, {14, 101}, {16, 97}},
       {dry}},
      {"two points given to the fit are no curve", {{10, 100}, {12, 104}, {14, 101, true}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDensoraDoc doc;
    CompactionRecord& r = doc.m_record;
    r.m_dMoldWeight = 4000;
    for (std::size_t i = 0; i < c.points.size(); ++i) {
      testdata::SetPoint(r, static_cast<int>(i), c.points[i].moisture, c.points[i].dry);
      if (c.points[i].excluded) r.m_ext.excluded[i] = "mold not seated";
    }
    CDensityCurve curve(doc);
    curve.FitRecord();
    const LabResults lab = EvaluateLab(doc);
    EXPECT_EQ(lab.bracketing, c.checks);
    EXPECT_EQ(lab.checks, c.checks);
  }
}

TEST(LabResultsTest, ZeroAirVoidsCurveSpansTheRangeExactly) {
  const auto curve = ZeroAirVoidsCurve(2.75, 5.0, 15.0, 0.1, 1.0);
  ASSERT_EQ(curve.size(), 101u);
  EXPECT_DOUBLE_EQ(curve.front().moisture, 5.0);
  EXPECT_NEAR(curve.back().moisture, 15.0, 1e-9);
  EXPECT_NEAR(curve[50].unitWeight, 134.6, 0.05);  // 10 %
  EXPECT_NEAR(ZeroAirVoidsCurve(2.75, 5.0, 15.0, 1.0, kMetricDensityFactor)[0].unitWeight,
              150.9 * kMetricDensityFactor, 1.0);
  for (double gs : {0.0, -1.0, double(NAN)})
    EXPECT_TRUE(ZeroAirVoidsCurve(gs, 5, 15, 0.1, 1).empty());
  EXPECT_TRUE(ZeroAirVoidsCurve(2.7, 15, 5, 0.1, 1).empty());
  // However wide the range, the samples stay bounded: their count is held before any cast.
  for (double to : {1e12, 1e18, 1e300})
    EXPECT_EQ(ZeroAirVoidsCurve(2.7, 0, to, 0.1, 1).size(), 100001u);
  EXPECT_EQ(ZeroAirVoidsLabel(2.7), "ZAV (Gs = 2.70)");
}

// The oversize line: the corrected results after the unit's own blank, none without a
// correction, the method's sieve, oven-dry oversize's 0, and no correction below 5 % retained.
TEST(LabResultsTest, TheOversizeLineSaysWhatWasCorrected) {
  LabExtension x;
  x.oversizePercent = 12.0;
  x.oversizeSpecificGravity = 2.65;
  x.oversizeMoisture = 2.0;
  LabResults lab;
  lab.corrected = CorrectedResults{118.4, 10.9};
  EXPECT_EQ(ReportLabLines(x, lab, 1.0, " pcf"),
            (std::vector<std::string>{
                "Oversize Correction: 12.0 % retained, Gm = 2.65, MC = 2.0 %: Corrected Maximum "
                "Dry Density = 118.4 pcf, Corrected Optimum Moisture = 10.9 %"}));

  lab.corrected.reset();
  x.standard = "ASTM D698";
  x.method = "B";
  x.oversizeMoisture = 0.0;
  EXPECT_EQ(ReportLabLines(x, lab, 1.0, " pcf"),
            (std::vector<std::string>{"Oversize Correction, 9.5 mm (3/8 in) sieve: 12.0 % "
                                      "retained, Gm = 2.65, MC = 0.0 %"}));
  x.oversizePercent = 3.0;
  EXPECT_EQ(ReportLabLines(x, lab, 1.0, " pcf"),
            (std::vector<std::string>{"Oversize Correction, 9.5 mm (3/8 in) sieve: 3.0 % "
                                      "retained: below 5 %, no correction"}));
}
