#include "model/lab_extension.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

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

// The standard's methods, their oversize limits and the report's title of each pairing.
TEST(LabStandards, MethodsLimitsAndTitles) {
  struct Case {
    const char* standard;
    const char* method;
    std::optional<int> limit;
    const char* title;
  };
  for (const Case& c : {
           Case{"", "", std::nullopt, "AASHTO T-99"},
           Case{"", "A", 40, "AASHTO T-99, Method A"},
           Case{"AASHTO T 99", "C", 30, "AASHTO T-99, Method C"},
           Case{"AASHTO T 180", "D", 30, "AASHTO T-180, Method D"},
           Case{"AASHTO T 180", "", std::nullopt, "AASHTO T-180"},
           Case{"ASTM D698", "B", 25, "ASTM D698, Method B"},
           Case{"ASTM D1557", "C", 30, "ASTM D1557, Method C"},
           Case{"ASTM D1557", "D", std::nullopt, "ASTM D1557, Method D"},  // ASTM has no D
           Case{"BS 1377", "A", std::nullopt, "BS 1377, Method A"},
       }) {
    LabExtension x;
    x.standard = c.standard;
    x.method = c.method;
    EXPECT_EQ(OversizeLimit(c.standard, c.method), c.limit) << c.standard << c.method;
    EXPECT_EQ(StandardTitle(x), c.title);
  }
}

// Entries no technician could type are named by their key, so densora-cli can refuse them.
TEST(LabStandards, ImpossibleEntriesAreNamed) {
  struct Case {
    void (*set)(LabExtension&);
    const char* key;  // nullptr: acceptable
  };
  for (const Case& c : {
           Case{[](LabExtension& x) { x.specificGravity = 2.0; }, nullptr},
           Case{[](LabExtension& x) { x.specificGravity = 3.6; }, "specificGravity"},
           Case{[](LabExtension& x) { x.specificGravity = NAN; }, "specificGravity"},
           Case{[](LabExtension& x) { x.specificGravitySource = "guessed"; },
                "specificGravitySource"},
           Case{[](LabExtension& x) { x.oversizePercent = 100; }, nullptr},
           Case{[](LabExtension& x) { x.oversizePercent = 100.5; }, "oversizePercent"},
           Case{[](LabExtension& x) { x.oversizeSpecificGravity = -2.65; },
                "oversizeSpecificGravity"},
           Case{[](LabExtension& x) { x.oversizeMoisture = INFINITY; }, "oversizeMoisture"},
           Case{[](LabExtension& x) { x.standard = "AASHTO T99"; }, "standard"},
           Case{[](LabExtension& x) { x.standard = "ASTM D698", x.method = "D"; }, "method"},
       }) {
    LabExtension x;
    c.set(x);
    const auto problem = FindExtensionProblem(x);
    if (c.key) {
      ASSERT_TRUE(problem) << c.key;
      EXPECT_EQ(problem->key, c.key);
    } else {
      EXPECT_FALSE(problem) << problem->key;
    }
  }
}

// Saturation per present point, the warnings in order, and the corrected results.
TEST(LabResultsTest, EvaluatesPointsChecksAndCorrection) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000;
  r.m_dMoldVolume = 1.0 / 30.0;
  testdata::SetPoint(r, 0, 12.0, 115.0);
  testdata::SetPoint(r, 2, 15.0, 125.0);  // wetter than the soil can hold at Gs 2.70
  r.m_ext.specificGravity = 2.70;
  r.m_ext.standard = "AASHTO T 180";
  r.m_ext.method = "D";
  r.m_ext.oversizePercent = 31.0;
  r.m_ext.oversizeSpecificGravity = 2.65;

  LabResults lab = EvaluateLab(r, 115.0, 12.0);
  EXPECT_EQ(lab.rows, (std::vector<int>{1, 3}));
  ASSERT_EQ(lab.saturation.size(), 2u);
  EXPECT_NEAR(lab.saturation[0].value_or(0), 69.67, 0.01);
  EXPECT_NEAR(lab.saturation[1].value_or(0), 116.43, 0.01);
  EXPECT_EQ(lab.checks, (std::vector<std::string>{
                            "WARNING: Point 3 lies above the zero-air-voids curve (S = 116 %)",
                            "WARNING: 31.0 % oversize exceeds the 30 % limit of Method D"}));
  ASSERT_TRUE(lab.corrected);
  EXPECT_NEAR(lab.corrected->maxDryDensityPcf, *OversizeCorrectedDensity(115.0, 31.0, 2.65), 1e-9);
  EXPECT_FALSE(lab.corrected->optimumMoisture);  // no oversize moisture entered

  r.m_ext.oversizeMoisture = 2.0;
  lab = EvaluateLab(r, 115.0, 12.0);
  EXPECT_NEAR(lab.corrected.value().optimumMoisture.value_or(0), 8.9, 1e-9);
  EXPECT_FALSE(EvaluateLab(r, 0.0, 0.0).corrected);  // a fit without a maximum

  r.m_ext.specificGravity = 0;  // without Gs no saturation and no saturation warning
  lab = EvaluateLab(r, 115.0, 12.0);
  EXPECT_EQ(lab.saturation, (std::vector<std::optional<double>>{std::nullopt, std::nullopt}));
  EXPECT_EQ(lab.checks.size(), 1u);
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

// The report's lines appear only for what was entered.
TEST(LabResultsTest, ReportLinesOnlyWhenEntered) {
  LabExtension x;
  LabResults lab;
  EXPECT_TRUE(ReportLabLines(x, lab, 1.0, " pcf").empty());

  x.specificGravity = 2.70;
  x.specificGravitySource = "assumed";
  x.oversizePercent = 12.0;
  x.oversizeSpecificGravity = 2.65;
  x.oversizeMoisture = 2.0;
  lab.corrected = CorrectedResults{118.4, 10.9};
  EXPECT_EQ(ReportLabLines(x, lab, 1.0, " pcf"),
            (std::vector<std::string>{
                "Specific Gravity (Gs) = 2.70 (assumed)",
                "Oversize Correction: 12.0 % retained, Gm = 2.65, MC = 2.0 %: Corrected Maximum "
                "Dry Density = 118.4 pcf, Corrected Optimum Moisture = 10.9 %"}));
  EXPECT_NE(ReportLabLines(x, lab, 10.0, "kg/m\xB3")[1].find("Density = 1184.0 kg/m\xB3, "),
            std::string::npos);

  x.specificGravity = 0;
  lab.corrected.reset();
  EXPECT_EQ(ReportLabLines(x, lab, 1.0, " pcf"),
            (std::vector<std::string>{"Oversize Correction: 12.0 % retained, Gm = 2.65, MC = "
                                      "2.0 %"}));
}
