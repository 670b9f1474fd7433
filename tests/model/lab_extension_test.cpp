#include "model/lab_extension.h"

#include <gtest/gtest.h>

#include <cmath>

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
