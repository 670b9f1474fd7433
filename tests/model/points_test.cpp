#include <gtest/gtest.h>

#include <cmath>

#include "model/densora_doc.h"

TEST(Points, WorkedExample) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000;
  TestPoint& p = r.Point(0);
  p.m_dMoldSoil = 5800;
  p.m_dWetSample = 100;
  p.m_dDrySample = 88;
  EXPECT_NEAR(100 * p.MoistureContent(), 13.636363636, 1e-8);
  EXPECT_NEAR(p.WetUnitWeight(), 119.047619, 1e-6);
  EXPECT_NEAR(p.DryUnitWeight(), 104.761904, 1e-6);
  EXPECT_NEAR(p.DryUnitWeight() * doc.m_dDensityFactor[kMetric], 1678.035, 1e-3);
}

TEST(Points, NoMoldVolumeGivesNoUnitWeight) {
  CDensoraDoc doc;
  doc.m_record.m_dMoldVolume = 0.0;
  TestPoint& p = doc.m_record.Point(0);
  p.m_dMoldSoil = 5800;
  p.m_dWetSample = 100;
  p.m_dDrySample = 88;
  EXPECT_EQ(p.DryUnitWeight(), 0.0);
}

TEST(Points, OneWeightMakesAPointPresentAndGatheringKeepsSlotOrder) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.Point(0).m_dMoldSoil = 6000;
  r.Point(2).m_dWetSample = 1e-300;  // any non-zero weight
  r.Point(3).m_dDrySample = -1;
  EXPECT_FALSE(r.Point(0).IsEmpty());
  EXPECT_TRUE(r.Point(1).IsEmpty());
  const auto present = r.GatherPresentPoints();
  EXPECT_EQ(r.m_nPointCount, 3);
  ASSERT_EQ(present.size(), 3u);
  EXPECT_EQ(present[0], &r.Point(0));
  EXPECT_EQ(present[1], &r.Point(2));
  EXPECT_EQ(present[2], &r.Point(3));
}

TEST(Points, AZeroDryWeightHasNoMoistureContent) {
  CDensoraDoc doc;
  TestPoint& p = doc.m_record.Point(0);
  p.m_dWetSample = 100;
  EXPECT_TRUE(std::isinf(p.MoistureContent()));
}
