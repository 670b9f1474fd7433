// A family's chart painted on a recording surface: everything it draws lies inside the axes
// it fitted to the curves, each peak is marked where it is, the spine is the bold line over
// the peaks' range, and a family without curves puts no mapped item on the surface.
#include "chart/family_chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "model/densora_doc.h"
#include "support/recording_surface.h"
#include "support/records.h"

namespace {

using framework::RecordingSurface;
using Kind = framework::RecordedCall::Kind;

// Three real curves: the typical test, and the same moved 2 % wetter and 5 pcf lower and
// 2 % drier and 5 pcf higher.
Family ThreeTests() {
  std::vector<FolderTest> tests;
  for (const double shift : {0.0, 2.0, -2.0}) {
    CDensoraDoc doc;
    testdata::FillTypicalRecord(doc);
    CompactionRecord& r = doc.m_record;
    for (int slot = 0; slot < 5; ++slot) {
      const TestPoint& p = r.Point(slot);
      testdata::SetPoint(r, slot, 100.0 * p.MoistureContent() + shift,
                         p.DryUnitWeight() - 2.5 * shift);
    }
    tests.push_back(
        {std::to_string(tests.size()), std::make_shared<FittedTest>(FitForFamily(doc))});
  }
  return SelectFamily(tests, KeyOf("", ""));
}

}  // namespace

TEST(FamilyChart, DrawsEveryCurveInsideTheAxesFittedToThem) {
  const Family family = ThreeTests();
  ASSERT_TRUE(family.Complete());
  for (const int units : {kEnglish, kMetric}) {
    SCOPED_TRACE(units);
    CDensoraDoc doc;
    doc.m_nUnits = units;
    CFamilyChart chart(family, doc.DensityFactor(), "pcf", doc.AxisStep());
    RecordingSurface dc(96, 96);
    chart.Draw(dc, 0, 0, 800, 600);
    const int left = chart.MapX(chart.XMin()), right = chart.MapX(chart.XMax());
    const int top = chart.MapY(chart.YMax() / doc.DensityFactor());
    const int bottom = chart.MapY(chart.YMin() / doc.DensityFactor());
    ASSERT_LT(left, right);
    ASSERT_LT(top, bottom);
    // Fitted: within two labelled steps of the lowest and highest curve.
    double lowest = 1e9, highest = 0;
    for (const FolderTest& m : family.members) {
      for (const CurveSample& c : m.fitted->Curve()) {
        lowest = std::min(lowest, c.unitWeight * doc.DensityFactor());
        highest = std::max(highest, c.unitWeight * doc.DensityFactor());
      }
    }
    EXPECT_LE(lowest - chart.YMin(), 2 * doc.AxisStep());
    EXPECT_LE(chart.YMax() - highest, 2 * doc.AxisStep());
    const auto polylines = dc.CallsOf(Kind::Polyline);
    ASSERT_EQ(polylines.size(), 4u);  // three curves and the spine
    for (const auto& line : polylines) {
      for (const auto& p : line.points) {
        EXPECT_TRUE(p.x >= left && p.x <= right && p.y >= top && p.y <= bottom)
            << p.x << ", " << p.y;
      }
    }
    // The spine: the boldest line, from the driest peak to the wettest.
    const auto& spine = polylines.back();
    EXPECT_EQ(spine.pen.width, 3 * polylines.front().pen.width);
    EXPECT_EQ(spine.points.front().x, chart.MapX(family.spine->moistureFrom));
    EXPECT_EQ(spine.points.back().x, chart.MapX(family.spine->moistureTo));
    // Each peak's marker is centred on it.
    const auto markers = dc.CallsOf(Kind::Ellipse);
    ASSERT_EQ(markers.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      const FittedTest& f = *family.members[i].fitted;
      EXPECT_EQ((markers[i].x + markers[i].right - 1) / 2, chart.MapX(f.optimumMoisture));
      EXPECT_EQ((markers[i].y + markers[i].bottom - 1) / 2, chart.MapY(f.maxDryDensity));
    }
  }

  // Nothing to map: the family's shortage, and no item placed on the plot.
  const Family none = SelectFamily({}, KeyOf("", ""));
  CFamilyChart empty(none, 1.0, "pcf", 1);
  RecordingSurface dc(96, 96);
  empty.Draw(dc, 0, 0, 800, 600);
  EXPECT_TRUE(dc.CallsOf(Kind::Polyline).empty());
  EXPECT_TRUE(dc.CallsOf(Kind::LineTo).empty());
  EXPECT_NE(
      dc.FindText("A family needs at least three curves of the same standard and method: 0 found."),
      nullptr);
}
