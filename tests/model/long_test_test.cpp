#include "model/long_test.h"

#include <gtest/gtest.h>

#include "model/densora_doc.h"

TEST(LongTestRating, Examples) {
  CDensoraDoc doc;
  EXPECT_EQ(RateLongTest(doc, 112.3, 110.0, true), "difference = 2.3  pcf - Fair");
  EXPECT_EQ(RateLongTest(doc, 12.4, 13.0, false), "difference = 0.6% - Excellent");
  doc.m_nUnits = kMetric;
  EXPECT_EQ(RateLongTest(doc, 1720.0, 1700.0, true), "difference = 20.0 kg/m\xB3 - Excellent");
}

TEST(LongTestRating, ThresholdsAreStrictThenInclusive) {
  CDensoraDoc doc;
  EXPECT_EQ(RateLongTest(doc, 11.5, 10.0, false), "difference = 1.5% - Good");
  EXPECT_EQ(RateLongTest(doc, 12.0, 10.0, false), "difference = 2.0% - Good");
  EXPECT_EQ(RateLongTest(doc, 12.5, 10.0, false), "difference = 2.5% - Fair");
  EXPECT_EQ(RateLongTest(doc, 12.75, 10.0, false), "difference = 2.8% - Poor");
  EXPECT_EQ(RateLongTest(doc, 101.5, 100.0, true), "difference = 1.5  pcf - Good");
  EXPECT_EQ(RateLongTest(doc, 102.5, 100.0, true), "difference = 2.5  pcf - Fair");
  // Rated on the unrounded difference.
  EXPECT_EQ(RateLongTest(doc, 11.46, 10.0, false), "difference = 1.5% - Excellent");
  EXPECT_EQ(RateLongTest(doc, 12.04, 10.0, false), "difference = 2.0% - Fair");
}

TEST(LongTestRating, ZeroMeansNothingToCompare) {
  CDensoraDoc doc;
  EXPECT_EQ(RateLongTest(doc, 104.0, 0.0, true), "");
  EXPECT_EQ(RateLongTest(doc, 0.0, 104.0, true), "");
  EXPECT_EQ(RateLongTest(doc, 0.0, 12.0, false), "");
}

TEST(LongTestRating, MetricThresholdsFollowTheFactor) {
  CDensoraDoc doc;
  doc.m_nUnits = kMetric;
  const double f = doc.DensityFactor();
  // 2.2 pcf apart is Fair in both systems.
  EXPECT_EQ(RateLongTest(doc, 102.2 * f, 100.0 * f, true), "difference = 35.2 kg/m\xB3 - Fair");
  EXPECT_EQ(RateLongTest(doc, 1700.0 + 24.0, 1700.0, true),
            "difference = 24.0 kg/m\xB3 - Excellent");
  EXPECT_EQ(RateLongTest(doc, 1700.0 + 24.1, 1700.0, true), "difference = 24.1 kg/m\xB3 - Good");
  // The moisture text does not change with the units.
  EXPECT_EQ(RateLongTest(doc, 12.4, 13.0, false), "difference = 0.6% - Excellent");
}
