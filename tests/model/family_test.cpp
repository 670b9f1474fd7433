#include "model/family.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "model/densora_doc.h"
#include "support/records.h"

namespace {

// A member whose curve is the straight line from (w0, d0) to (w1, d1), so that its density at
// any moisture between is worked by hand, with its peak at (omc, mdd).
FolderTest LineMember(const std::string& file, double w0, double d0, double w1, double d1,
                      double omc, double mdd) {
  auto t = std::make_shared<FittedTest>();
  t->fitPoints = 3;
  t->knots = 2;
  t->knotMoisture = {w0, w1};
  t->knotDensity = {d0, d1};
  t->maxDryDensity = mdd;
  t->optimumMoisture = omc;
  return {file, t};
}

// Three parallel curves falling 0.5 pcf per percent of moisture, each through its own peak:
// L peaks at 104 pcf and 16 %, M at 112 pcf and 13 %, H at 118 pcf and 10 %. At 12 % they
// give L 106, M 112.5 and H 117 pcf.
Family ThreeCurves() {
  Family f;
  f.members = {LineMember("L", 8, 108, 20, 102, 16, 104),
               LineMember("M", 6, 115.5, 18, 109.5, 13, 112),
               LineMember("H", 4, 121, 16, 115, 10, 118)};
  f.spine = FitSpine(f.members);
  return f;
}

std::string Warning(int percent) {
  return "WARNING: The point's moisture is " + std::to_string(percent) +
         " % of the optimum: compact another specimen between 80 and 100 %";
}

const char* const kOutside =
    "The point lies outside the family of curves: run a full moisture-density test.";

}  // namespace

// The one-point determination worked by hand on the three curves: on a curve (within half a
// pcf of it, both ends included), between neighbours (t = (d − c_i)/(c_j − c_i) carries the
// peaks along), outside above and below, and at a moisture no curve reaches; the moisture
// check on the result's optimum.
TEST(OnePoint, DeterminesTheResultFromTheFamilyAsWorkedByHand) {
  struct Row {
    double w, d;
    OnePointResult::Kind kind;
    double mdd, omc;
    std::vector<std::string> tests;
    std::vector<std::string> checks;
  };
  const Row rows[] = {
      // 0.3 above M: on M; 12 % is 92 % of 13 %.
      {12, 112.8, OnePointResult::kOnTest, 112, 13, {"M"}, {}},
      // t = (108.6 − 106) / (112.5 − 106) = 0.4: 104 + 0.4·8, 16 − 0.4·3; 81 % of 14.8 %.
      {12, 108.6, OnePointResult::kBetween, 107.2, 14.8, {"L", "M"}, {}},
      // t = 0.2: 105.6 pcf at 15.4 %, of which 12 % is 77.9 %.
      {12, 107.3, OnePointResult::kBetween, 105.6, 15.4, {"L", "M"}, {Warning(78)}},
      // t = (115.2 − 112.5) / 4.5 = 0.6 between M and H: 115.6 pcf at 11.2 %, 107 %.
      {12, 115.2, OnePointResult::kBetween, 115.6, 11.2, {"M", "H"}, {Warning(107)}},
      // Half a pcf above the highest curve is still on it; 12 % is 120 % of 10 %.
      {12, 117.5, OnePointResult::kOnTest, 118, 10, {"H"}, {Warning(120)}},
      // At 13 % the optimum itself: 100 %, no warning. M gives 112 there.
      {13, 112, OnePointResult::kOnTest, 112, 13, {"M"}, {}},
      {12, 117.6, OnePointResult::kOutside, 0, 0, {}, {kOutside}},
      {12, 105.4, OnePointResult::kOutside, 0, 0, {}, {kOutside}},
      // Wetter than any curve reaches.
      {21, 100, OnePointResult::kOutside, 0, 0, {}, {kOutside}},
      // No point to determine: no message of its own, and nothing that is not finite.
      {12, NAN, OnePointResult::kNoPoint, 0, 0, {}, {}},
      {INFINITY, 110, OnePointResult::kNoPoint, 0, 0, {}, {}},
  };
  const Family family = ThreeCurves();
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.w) + " % " + std::to_string(row.d) + " pcf");
    const OnePointResult r = DetermineOnePoint(family, row.w, row.d);
    EXPECT_EQ(r.kind, row.kind);
    EXPECT_NEAR(r.maxDryDensity, row.mdd, 1e-9);
    EXPECT_NEAR(r.optimumMoisture, row.omc, 1e-9);
    std::vector<std::string> tests;
    for (std::size_t i : r.tests) tests.push_back(family.members.at(i).file);
    EXPECT_EQ(tests, row.tests);
    EXPECT_EQ(r.checks, row.checks);
  }

  // Where the result comes from, and the curve in character through the point: at the
  // point's moisture it passes through the point.
  const OnePointResult between = DetermineOnePoint(family, 12, 108.6);
  EXPECT_EQ(OnePointSource("MAIN ST/A-100", family, between),
            "from the family MAIN ST/A-100, between tests L and M");
  EXPECT_EQ(OnePointSource("F", family, DetermineOnePoint(family, 12, 117.5)),
            "from the family F, on test H");
  const std::vector<CurveSample> through = CurveThroughPoint(family, between);
  ASSERT_FALSE(through.empty());
  EXPECT_EQ(through.front().moisture, 8.0);  // where both curves begin
  EXPECT_EQ(through.back().moisture, 18.0);  // and where the first of them ends
  for (const CurveSample& s : through) {
    if (std::fabs(s.moisture - 12.0) < 1e-9) {
      EXPECT_NEAR(s.unitWeight, 108.6, 1e-9);
    }
  }

  // A family of two curves determines nothing.
  Family two = family;
  two.members.pop_back();
  EXPECT_EQ(DetermineOnePoint(two, 12, 108.6).kind, OnePointResult::kNoPoint);
}

// The spine passes through three peaks exactly; peaks that cannot carry a parabola give a
// line or their mean density, never a number that is not finite.
TEST(FamilySpine, FitsTheParabolaThroughThePeaks) {
  struct Row {
    std::vector<std::pair<double, double>> peaks;  // (OMC, MDD)
    double c0, c1, c2, from, to;
  };
  const Row rows[] = {
      // Through (10, 118), (13, 112) and (16, 104): second difference −2 over steps of 3.
      {{{16, 104}, {13, 112}, {10, 118}}, 118 + 50.0 / 9, 5.0 / 9, -1.0 / 9, 10, 16},
      // Least squares through four, off the parabola d = 100 − (w − 12)² by 1, −2, 2 and −1
      // pcf, a cubic's shape, which no parabola takes up: the fit is that parabola.
      {{{10, 97}, {11, 97}, {13, 101}, {14, 95}}, -44, 24, -1, 10, 14},
      {{{12, 110}, {12, 110}, {14, 106}}, 134, -2, 0, 12, 14},
      {{{12, 110}, {12, 108}, {12, 112}}, 110, 0, 0, 12, 12},
  };
  for (const Row& row : rows) {
    std::vector<FolderTest> members;
    for (const auto& [omc, mdd] : row.peaks)
      members.push_back(LineMember("", 0, 0, 1, 1, omc, mdd));
    const std::optional<Spine> s = FitSpine(members);
    ASSERT_TRUE(s);
    EXPECT_NEAR(s->c0, row.c0, 1e-9);
    EXPECT_NEAR(s->c1, row.c1, 1e-9);
    EXPECT_NEAR(s->c2, row.c2, 1e-9);
    EXPECT_EQ(s->moistureFrom, row.from);
    EXPECT_EQ(s->moistureTo, row.to);
  }
}

// Which of a folder's tests make the family, read and fitted as the program does: a fit of
// status 0 and at least three points, the family's standard and method (none entered counts as
// AASHTO T 99 with the method unknown), no one-point test, not unchecked; each other test is
// counted under its reason.
TEST(FamilySelection, TakesTheTestsOfOneStandardAndMethodWithAUsableFit) {
  const auto fitted = [](const std::function<void(CompactionRecord&)>& change) {
    CDensoraDoc doc;
    testdata::FillTypicalRecord(doc);
    change(doc.m_record);
    return std::make_shared<const FittedTest>(FitForFamily(doc));
  };
  const auto plain = [](CompactionRecord&) {};
  const auto unreadable = std::make_shared<FittedTest>();
  unreadable->error = "Unexpected file format.";
  const std::vector<FolderTest> tests = {
      {"a.lng", fitted(plain)},
      {"b.lng", fitted([](CompactionRecord& r) { r.m_ext.standard = "AASHTO T 99"; })},
      {"c.lng", fitted([](CompactionRecord& r) {
         r.m_ext.standard = "AASHTO T 180";
         r.m_ext.method = "D";
       })},
      {"d.lng", fitted([](CompactionRecord& r) { r.m_ext.method = "A"; })},
      // A point entered twice: status 1.
      {"e.lng", fitted([](CompactionRecord& r) {
         r.Point(4).m_dMoldSoil = r.Point(3).m_dMoldSoil;
         r.Point(4).m_dWetSample = r.Point(3).m_dWetSample;
         r.Point(4).m_dDrySample = r.Point(3).m_dDrySample;
       })},
      // Two points: no curve.
      {"f.lng", fitted([](CompactionRecord& r) {
         for (int slot = 2; slot < kPointSlots; ++slot) {
           r.Point(slot).m_dMoldSoil = r.Point(slot).m_dWetSample = r.Point(slot).m_dDrySample = 0;
         }
       })},
      {"g.lng", fitted([](CompactionRecord& r) { r.m_ext.onePointFamily = "MAIN ST"; })},
      {"h.lng", {unreadable}},
      {"i.lng", fitted(plain)},
      {"j.lng", fitted(plain)},
  };
  ASSERT_EQ(tests[4].fitted->fitStatus, 1);

  const Family family = SelectFamily(tests, KeyOf("", ""), {"j.lng"});
  EXPECT_EQ(family.key.Title(), "AASHTO T 99, method unknown");
  std::vector<std::string> members;
  for (const FolderTest& m : family.members) members.push_back(m.file);
  EXPECT_EQ(members, (std::vector<std::string>{"a.lng", "b.lng", "i.lng"}));
  EXPECT_TRUE(family.Complete());
  EXPECT_EQ(family.Shortage(), "");
  ASSERT_TRUE(family.spine);
  EXPECT_EQ(family.LeftOutLine(),
            "7 tests left out: 1 unchecked, 1 another standard, 1 another method, 2 without a "
            "usable fit, 1 one-point test, 1 could not be read");
  // Each member's curve reaches its own peak.
  const FittedTest& a = *family.members[0].fitted;
  EXPECT_TRUE(a.Spans(a.optimumMoisture));
  EXPECT_NEAR(a.DensityAt(a.optimumMoisture), a.maxDryDensity, 1e-9);

  // Without the unchecked test's twin, and of another method, there are too few.
  const Family methodA = SelectFamily(tests, KeyOf("AASHTO T 99", "A"));
  EXPECT_FALSE(methodA.Complete());
  EXPECT_FALSE(methodA.spine);
  EXPECT_EQ(methodA.Shortage(),
            "A family needs at least three curves of the same standard and method: 1 found.");
  EXPECT_EQ(methodA.LeftOutCount(LeftOutReason::kAnotherMethod), 6u);

  // The key most usable tests share, of all, or of a standard given.
  EXPECT_EQ(MostSharedKey(tests), KeyOf("", ""));
  EXPECT_EQ(MostSharedKey(tests, std::string("AASHTO T 180")), KeyOf("AASHTO T 180", "D"));
  EXPECT_EQ(MostSharedKey(tests, std::nullopt, std::string("A")), KeyOf("", "A"));
}
