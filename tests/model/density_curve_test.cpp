#include "model/density_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/densora_doc.h"
#include "support/records.h"

using testdata::SetPoint;

namespace {

void ExpectAllFinite(const CDensityCurve& c) {
  for (double v : c.m_dSampleMoisture) EXPECT_TRUE(std::isfinite(v));
  for (double v : c.m_dSampleUnitWeight) EXPECT_TRUE(std::isfinite(v));
  for (double v : c.m_dSortedMoisture) EXPECT_TRUE(std::isfinite(v));
  for (double v : c.m_dSortedUnitWeight) EXPECT_TRUE(std::isfinite(v));
  EXPECT_TRUE(std::isfinite(c.Document().m_record.m_dMaxDryDensity));
  EXPECT_TRUE(std::isfinite(c.Document().m_record.m_dOptimumMoisture));
}

}  // namespace

TEST(CurveFit, ThreePointExample) {
  CDensoraDoc doc;
  testdata::FillThreePointExample(doc);
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusOk);
  EXPECT_EQ(curve.m_nPointCount, 3);
  EXPECT_NEAR(doc.m_record.m_dMaxDryDensity, 104.042, 5e-4);
  EXPECT_NEAR(doc.m_record.m_dOptimumMoisture, 12.2, 1e-9);
  EXPECT_EQ(curve.m_nXAxisMin, 9);
  EXPECT_EQ(curve.m_nXAxisMax, 15);
  EXPECT_EQ(curve.m_nYAxisMin, 99);
  EXPECT_EQ(curve.m_nYAxisMax, 106);
  // 20 samples per interval plus the first point and the repeated last one.
  ASSERT_EQ(curve.m_dSampleMoisture.size(), 42u);
  EXPECT_DOUBLE_EQ(curve.m_dSampleMoisture[0], curve.m_dSortedMoisture[0]);
  EXPECT_DOUBLE_EQ(curve.m_dSampleMoisture[41], curve.m_dSortedMoisture[2]);
  EXPECT_DOUBLE_EQ(curve.m_dSampleUnitWeight[41], curve.m_dSortedUnitWeight[2]);
  // The spline passes through every point.
  EXPECT_NEAR(curve.m_dSampleUnitWeight[20], 104.0, 1e-9);
  double lowest = 1e9;
  for (std::size_t i = 1; i < 41; ++i) lowest = std::min(lowest, curve.m_dSampleUnitWeight[i]);
  EXPECT_NEAR(lowest, 100.207, 5e-4);
}

// A point the technician left out is not given to the fit: the results, the axes, the fitted
// points and the samples are those of the five other points, sample for sample, while the
// record still counts six present points and the curve keeps the one left out for the chart.
// It is as far below the others as a specimen from a mold that was not seated is, and would
// lower the unit-weight axis were it fitted. A reason kept for an empty slot leaves nothing out.
TEST(CurveFit, APointLeftOutIsFittedAsIfItWereNotThere) {
  CDensoraDoc five;
  testdata::FillTypicalRecord(five);
  CDensityCurve fiveCurve(five);
  fiveCurve.FitRecord();

  CDensoraDoc six;
  testdata::FillTypicalRecord(six);
  six.m_record.Point(4).m_dMoldSoil = 0.0;  // the fifth point moves to the last slot
  six.m_record.Point(4).m_dWetSample = 0.0;
  six.m_record.Point(4).m_dDrySample = 0.0;
  six.m_record.Point(5).m_dMoldSoil = 6079.3;
  six.m_record.Point(5).m_dWetSample = 247.5;
  six.m_record.Point(5).m_dDrySample = 209.6;
  SetPoint(six.m_record, 4, 12.0, 98.0);
  six.m_record.m_ext.excluded[4] = "mold not seated";
  CDensityCurve sixCurve(six);
  sixCurve.FitRecord();

  EXPECT_EQ(six.m_record.m_nPointCount, 6);
  EXPECT_EQ(sixCurve.m_nPointCount, 5);
  EXPECT_EQ(six.m_record.m_dMaxDryDensity, five.m_record.m_dMaxDryDensity);
  EXPECT_EQ(six.m_record.m_dOptimumMoisture, five.m_record.m_dOptimumMoisture);
  EXPECT_EQ(sixCurve.m_nStatus, fiveCurve.m_nStatus);
  EXPECT_EQ(sixCurve.m_nYAxisMin, fiveCurve.m_nYAxisMin);
  EXPECT_EQ(sixCurve.m_nYAxisMax, fiveCurve.m_nYAxisMax);
  EXPECT_EQ(sixCurve.m_nXAxisMin, fiveCurve.m_nXAxisMin);
  EXPECT_EQ(sixCurve.m_nXAxisMax, fiveCurve.m_nXAxisMax);
  EXPECT_EQ(sixCurve.m_dSortedMoisture, fiveCurve.m_dSortedMoisture);
  EXPECT_EQ(sixCurve.m_dSortedUnitWeight, fiveCurve.m_dSortedUnitWeight);
  EXPECT_EQ(sixCurve.m_dSampleMoisture, fiveCurve.m_dSampleMoisture);
  EXPECT_EQ(sixCurve.m_dSampleUnitWeight, fiveCurve.m_dSampleUnitWeight);
  ASSERT_EQ(sixCurve.m_dExcludedMoisture.size(), 1u);
  EXPECT_NEAR(sixCurve.m_dExcludedMoisture[0], 12.0, 1e-9);
  EXPECT_NEAR(sixCurve.m_dExcludedUnitWeight[0], 98.0, 1e-9);
  EXPECT_TRUE(fiveCurve.m_dExcludedMoisture.empty());

  // Taken back, it is fitted; a reason for an empty slot changes nothing.
  six.m_record.m_ext.excluded[4].clear();
  sixCurve.FitRecord();
  EXPECT_EQ(sixCurve.m_nPointCount, 6);
  EXPECT_LT(sixCurve.m_nYAxisMin, fiveCurve.m_nYAxisMin);
  five.m_record.m_ext.excluded[5] = "no specimen";
  fiveCurve.FitRecord();
  EXPECT_EQ(fiveCurve.m_nPointCount, 5);
  EXPECT_TRUE(fiveCurve.m_dExcludedMoisture.empty());
}

TEST(CurveFit, MetricWorksInKilogramsPerCubicMetre) {
  CDensoraDoc doc;
  doc.m_nUnits = kMetric;
  testdata::FillThreePointExample(doc);
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusOk);
  EXPECT_NEAR(doc.m_record.m_dMaxDryDensity, 1666.504, 5e-4);
  EXPECT_NEAR(doc.m_record.m_dOptimumMoisture, 12.2, 1e-9);
  EXPECT_EQ(curve.m_nYAxisMin, 1580);
  EXPECT_EQ(curve.m_nYAxisMax, 1700);
}

TEST(CurveFit, LongTestWidensTheAxes) {
  CDensoraDoc doc;
  testdata::FillThreePointExample(doc);
  doc.m_record.m_dLongTestDensity = 107;
  doc.m_record.m_dLongTestMoisture = 13;
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nYAxisMax, 109);
  EXPECT_EQ(curve.m_nYAxisMin, 99);

  // A long-test moisture below every point widens the moisture axis to the left and puts
  // the label on the right of the marker; one above widens it to the right.
  doc.m_record.m_dLongTestMoisture = 7.5;
  curve.FitRecord();
  EXPECT_EQ(curve.m_nXAxisMin, 6);
  EXPECT_EQ(curve.m_nLongTestSide, CDensityCurve::kLabelRight);
  doc.m_record.m_dLongTestMoisture = 16.2;
  curve.FitRecord();
  EXPECT_EQ(curve.m_nXAxisMax, 18);
  EXPECT_EQ(curve.m_nLongTestSide, CDensityCurve::kLabelLeft);
  // Within the points the side stays as it was.
  doc.m_record.m_dLongTestMoisture = 12;
  curve.FitRecord();
  EXPECT_EQ(curve.m_nLongTestSide, CDensityCurve::kLabelLeft);

  // A long-test density below the curve lowers the unit-weight axis to it.
  doc.m_record.m_dLongTestDensity = 96.4;
  curve.FitRecord();
  EXPECT_EQ(curve.m_nYAxisMin, 96);  // trunc(96.4), more than half a step below the curve

  // A NaN or an infinity, which only a damaged file holds, is no long test: the axes frame
  // the points alone.
  auto axes = [&] {
    curve.FitRecord();
    return std::vector<int>{curve.m_nXAxisMin, curve.m_nXAxisMax, curve.m_nYAxisMin,
                            curve.m_nYAxisMax};
  };
  CompactionRecord& r = doc.m_record;
  r.m_dLongTestDensity = r.m_dLongTestMoisture = 0.0;
  const std::vector<int> points = axes();
  for (double CompactionRecord::*value :
       {&CompactionRecord::m_dLongTestDensity, &CompactionRecord::m_dLongTestMoisture}) {
    for (double bad : {HUGE_VAL, -HUGE_VAL, std::nan("")}) {
      r.m_dLongTestDensity = r.m_dLongTestMoisture = 0.0;
      r.*value = bad;
      EXPECT_EQ(axes(), points) << bad;
    }
  }
}

TEST(CurveFit, DuplicatePointIsNudgedAndFlagged) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000;
  SetPoint(r, 0, 10, 100);
  SetPoint(r, 1, 10, 100);
  SetPoint(r, 2, 14, 101);
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusDuplicate);
  EXPECT_NEAR(curve.m_dSortedMoisture[1], 10.05, 1e-9);
  EXPECT_NEAR(curve.m_dSortedUnitWeight[1], 99.9, 1e-9);
  // The record's weights are not touched.
  EXPECT_EQ(r.Point(1).m_dDrySample, 200.0);
  ExpectAllFinite(curve);

  // Away from the end, the second copy moves toward the point after the pair.
  SetPoint(r, 0, 8, 98);
  SetPoint(r, 1, 10, 100);
  SetPoint(r, 2, 10, 100);
  SetPoint(r, 3, 12, 103);
  SetPoint(r, 4, 14, 101);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusDuplicate);
  EXPECT_NEAR(curve.m_dSortedUnitWeight[2], 100.1, 1e-9);
}

TEST(CurveFit, PointsAreSortedByMoisture) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000;
  SetPoint(r, 0, 14, 101);
  SetPoint(r, 3, 10, 100);
  SetPoint(r, 5, 12, 104);
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(r.m_nPointCount, 3);
  EXPECT_NEAR(curve.m_dSortedMoisture[0], 10, 1e-9);
  EXPECT_NEAR(curve.m_dSortedMoisture[2], 14, 1e-9);
  EXPECT_NEAR(doc.m_record.m_dMaxDryDensity, 104.042, 5e-4);
}

TEST(CurveFit, ImplausibleValuesGiveStatusTwo) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000;
  SetPoint(r, 0, 10, 100);
  SetPoint(r, 1, 20, 104);
  SetPoint(r, 2, 31, 101);
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);
  EXPECT_EQ(curve.m_strMessages[2],
            "WARNING: Graph values unusually high/low.  Check test point values.");

  // The long-test moisture counts, though no point is above 30 %.
  testdata::FillThreePointExample(doc);
  r.m_dLongTestMoisture = 31;
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);

  r.m_dLongTestMoisture = 0;
  SetPoint(r, 1, 12, 151);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);
  SetPoint(r, 1, 12, 49);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);

  // In Metric the limits scale with the factor: 104 pcf is plausible in both.
  testdata::FillThreePointExample(doc);
  doc.m_nUnits = kMetric;
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusOk);
}

TEST(CurveFit, OneAndTwoPoints) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000;
  SetPoint(r, 2, 12, 104);
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);
  EXPECT_EQ(r.m_dMaxDryDensity, 0.0);
  EXPECT_EQ(r.m_dOptimumMoisture, 0.0);
  ASSERT_EQ(curve.m_dSampleMoisture.size(), 2u);
  EXPECT_NEAR(curve.m_dSampleUnitWeight[0], 104, 1e-9);
  EXPECT_NEAR(curve.m_dSampleUnitWeight[1], 104, 1e-9);
  EXPECT_GT(curve.m_nYAxisMin, curve.m_nYAxisMax);  // no sample below the start value

  // Two points: a straight line, highest at its upper end.
  SetPoint(r, 0, 10, 100);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusOk);
  EXPECT_NEAR(r.m_dMaxDryDensity, 104, 1e-9);
  EXPECT_NEAR(r.m_dOptimumMoisture, 12, 1e-9);
  EXPECT_NEAR(curve.m_dSampleUnitWeight[10], 102, 1e-9);
}

TEST(CurveFit, NoPointsKeepThePreviousCurve) {
  CDensoraDoc doc;
  testdata::FillThreePointExample(doc);
  CDensityCurve curve(doc);
  curve.FitRecord();
  doc.ResetRecord();
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusOk);
  EXPECT_EQ(curve.m_nPointCount, 0);
  EXPECT_EQ(doc.m_record.m_nPointCount, 0);
  EXPECT_EQ(doc.m_record.m_dMaxDryDensity, 0.0);
  EXPECT_EQ(doc.m_record.m_dOptimumMoisture, 0.0);
  EXPECT_EQ(curve.m_nYAxisMax, 106);
  EXPECT_EQ(curve.m_dSampleMoisture.size(), 42u);
}

TEST(CurveFit, EqualMoisturesWithDifferentWeightsStayFinite) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  r.m_dMoldWeight = 4000;
  SetPoint(r, 0, 10, 100);
  SetPoint(r, 1, 10, 102);
  SetPoint(r, 2, 14, 101);
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);
  EXPECT_EQ(r.m_dMaxDryDensity, 0.0);
  EXPECT_EQ(r.m_dOptimumMoisture, 0.0);
  ExpectAllFinite(curve);
  // The axes still frame the points.
  EXPECT_LT(curve.m_nYAxisMin, 100);
  EXPECT_GE(curve.m_nYAxisMax, 102);
}

TEST(CurveFit, ZeroDryWeightAndBrokenNumbersStayFinite) {
  CDensoraDoc doc;
  CompactionRecord& r = doc.m_record;
  testdata::FillThreePointExample(doc);
  r.Point(1).m_dDrySample = 0;  // no moisture content
  CDensityCurve curve(doc);
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);
  EXPECT_EQ(r.m_dMaxDryDensity, 0.0);
  ExpectAllFinite(curve);

  r.Point(1).m_dWetSample = 0;  // 0 / 0
  r.Point(1).m_dMoldSoil = 0;
  r.Point(1).m_dMoldSoil = std::numeric_limits<double>::quiet_NaN();
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);
  ExpectAllFinite(curve);

  // Weights beyond any soil overflow to infinity, and finite but absurd ones would not
  // fit an int: the bounds stay within range either way.
  testdata::FillThreePointExample(doc);
  r.Point(0).m_dMoldSoil = 1e308;
  r.Point(2).m_dWetSample = 1e300;
  curve.FitRecord();
  EXPECT_EQ(curve.m_nStatus, CDensityCurve::kStatusImplausible);
  ExpectAllFinite(curve);
  EXPECT_LE(curve.m_nXAxisMax, 1000000001);
  EXPECT_GE(curve.m_nXAxisMin, -1000000001);
}

TEST(Spline, TwoPointsWithTheChordSlopeAreStraight) {
  const double x[] = {10, 14};
  const double y[] = {100, 104};
  double y2[2] = {9, 9};
  CDensityCurve::BuildSpline(x, y, 2, 1.0, y2);
  EXPECT_EQ(y2[0], 0.0);
  EXPECT_EQ(y2[1], 0.0);
  double v = 0;
  CDensityCurve::SplineValue(x, y, y2, 2, 11, v);
  EXPECT_DOUBLE_EQ(v, 101);
}

TEST(Spline, NaturalStartAndZeroWidthInterval) {
  const double x[] = {0, 1, 2};
  const double y[] = {0, 1, 0};
  double y2[3];
  CDensityCurve::BuildSpline(x, y, 3, 1e30, y2);
  EXPECT_EQ(y2[0], 0.0);
  EXPECT_EQ(y2[2], 0.0);
  EXPECT_NEAR(y2[1], -3.0, 1e-12);  // natural cubic through a symmetric peak

  const double xd[] = {1, 1};
  const double yd[] = {5, 6};
  const double zero[] = {0, 0};
  double result = 42;
  CDensityCurve::SplineValue(xd, yd, zero, 2, 1, result);
  EXPECT_EQ(result, 42);
}
