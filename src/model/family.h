#pragma once
// A family of curves: the moisture-density curves of the laboratory's own past tests of one
// standard and method, found under one folder of the projects tree, with the spine through
// their peaks; and the one-point determination, which reads the maximum dry density and
// optimum moisture of a field sample off the family from a single compacted specimen.
//
// The family is decided here, without files: file/family_folder.h reads a folder's tests
// into FittedTests (cached by file stamp) and evaluates a one-point test's record against its
// family. Every density here is in pcf and every moisture in percent; a view multiplies by
// the document's density factor to show kg/m³.
#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/compaction_record.h"
#include "model/lab_results.h"

class CDensoraDoc;

// What a family needs of one stored test, read and fitted once: the fitted curve and its
// peak, the fit's verdict, the standard and method, and what a table of the family shows.
struct FittedTest {
  // Why the file could not be read (the message the program shows on opening it); empty
  // when it was read. A test that could not be read has nothing else.
  std::string error;
  int fitStatus = 0;      // CDensityCurve::Status
  int fitPoints = 0;      // the points the fit was given
  bool onePoint = false;  // a one-point test: it names a family of its own
  // As entered (UTF-8); empty when not entered.
  std::string standard;
  std::string method;
  // The record's texts a table of the family shows (UTF-8).
  std::string project;
  std::string county;
  std::string testType;
  std::string testNo;
  std::string date;
  // The fitted curve: the cubic spline through the points the fit was given, sorted by
  // moisture (percent), with their dry densities (pcf) and the spline's second derivatives.
  int knots = 0;
  std::array<double, kPointSlots> knotMoisture{};
  std::array<double, kPointSlots> knotDensity{};
  std::array<double, kPointSlots> knotCurvature{};
  // The curve's peak.
  double maxDryDensity = 0.0;    // pcf
  double optimumMoisture = 0.0;  // percent

  // True when the curve reaches `moisture`: it lies between the driest and the wettest point
  // fitted, both included.
  bool Spans(double moisture) const;
  // The curve's dry density at `moisture`. Only meaningful where the curve Spans `moisture`.
  double DensityAt(double moisture) const;
  // The curve as the chart draws it: twenty samples to each interval between points.
  std::vector<CurveSample> Curve() const;
  // True when the test may join a family: it was read, is no one-point test, and its fit
  // of at least three points has status 0.
  bool UsableFit() const;
};

// Reads what a family needs of the record in `doc`, fitting it as the curve page does, in
// pcf whatever units the document had (they are set to English). Only a test that may join a
// family keeps its curve.
FittedTest FitForFamily(CDensoraDoc& doc);

// One test of a folder: its path below the folder, as the tree shows it ("Lime/12Lim.lng"),
// and what it gives a family. Copies share the fitted test.
struct FolderTest {
  std::string file;
  std::shared_ptr<const FittedTest> fitted;
};

// The standard and method a family shares. A test without them counts as AASHTO T 99 with
// its method unknown, and joins only tests alike.
struct FamilyKey {
  std::string standard;  // one of kStandards
  std::string method;    // "A" to "D", or empty: unknown
  bool operator==(const FamilyKey&) const = default;
  // "AASHTO T 99, method unknown", "AASHTO T 180, Method D".
  std::string Title() const;
};
// The key of a test entered with `standard` and `method` (either may be empty).
FamilyKey KeyOf(const std::string& standard, const std::string& method);

// Why a test of the folder is not a member, in the order the line under a family's table
// counts them.
enum class LeftOutReason {
  kUnchecked,        // the user left it out of this folder's family
  kAnotherStandard,  // another standard
  kAnotherMethod,    // the family's standard, another method
  kNoUsableFit,      // a fit whose status is not 0, or of fewer than three points
  kOnePointTest,     // a one-point test
  kUnreadable,       // the file could not be read
};
inline constexpr int kLeftOutReasons = 6;
// How a list names the reason: "unchecked", "another standard", "another method", "without a
// usable fit", "one-point test", "could not be read".
const char* LeftOutText(LeftOutReason reason);

struct LeftOutTest {
  std::string file;
  LeftOutReason reason;
};

// The spine: the least-squares parabola through the members' peaks (through them exactly
// for three), dry density = c0 + c1·w + c2·w², drawn over the peaks' moisture range. Peaks
// at fewer than three moistures give a straight line (c2 = 0), peaks at one a constant.
struct Spine {
  double c0 = 0.0, c1 = 0.0, c2 = 0.0;
  double moistureFrom = 0.0, moistureTo = 0.0;
  double At(double moisture) const { return c0 + (c1 + c2 * moisture) * moisture; }
};

// The Test Type a new one-point test is given (its folder and file name follow from it).
inline constexpr const char* kOnePointTestType = "One-Point";

// A family needs at least this many curves.
inline constexpr std::size_t kMinFamilyCurves = 3;

struct Family {
  FamilyKey key;
  std::vector<FolderTest> members;   // in the tree's order
  std::vector<LeftOutTest> leftOut;  // in the tree's order
  std::optional<Spine> spine;        // once the family is complete

  // At least kMinFamilyCurves members: a family that determines one-point tests.
  bool Complete() const { return members.size() >= kMinFamilyCurves; }
  // "A family needs at least three curves of the same standard and method: 2 found." for a
  // family that is not complete; empty for one that is.
  std::string Shortage() const;
  // The line under the family's table: "12 tests left out: 9 another method, 3 could not be
  // read", each reason with its count in LeftOutReason's order; empty when none was.
  std::string LeftOutLine() const;
  // The number of tests left out for `reason`.
  std::size_t LeftOutCount(LeftOutReason reason) const;
};

// The key that most of `tests` able to join a family share (read, no one-point test, a
// usable fit), among those of `standard` and of `method` where given; of keys shared by as
// many, the one met first in the tree's order. AASHTO T 99 with its method unknown when no
// test qualifies, or the given standard and method.
FamilyKey MostSharedKey(const std::vector<FolderTest>& tests,
                        const std::optional<std::string>& standard = std::nullopt,
                        const std::optional<std::string>& method = std::nullopt);

// The family of `key` among the tests of a folder: every test with a usable fit and that key
// whose file is not in `unchecked`; every other test is left out with its reason (the first
// that holds, in the order: could not be read, one-point test, another standard, another
// method, no usable fit, unchecked). The spine is fitted once the family is complete.
Family SelectFamily(const std::vector<FolderTest>& tests, const FamilyKey& key,
                    const std::set<std::string>& unchecked = {});

// The spine through the peaks of `members`; none without members.
std::optional<Spine> FitSpine(const std::vector<FolderTest>& members);

// ---------------------------------------------------------------------------------------
// The one-point determination.

// A point within this many pcf of a member's curve lies on that curve.
inline constexpr double kOnCurveTolerance = 0.5;

struct OnePointResult {
  enum Kind {
    kNoPoint,  // no point to determine (none, several, or one that gives no moisture)
    kOnTest,   // on a member's curve: that member's peak is the result
    kBetween,  // between the curves of two neighbouring members: their peaks interpolated
    kOutside,  // below the lowest curve or above the highest at the point's moisture
  };
  Kind kind = kNoPoint;
  // The result: 0 and 0 when there is none.
  double maxDryDensity = 0.0;    // pcf
  double optimumMoisture = 0.0;  // percent
  // The members the result comes from, as indices into the family's members: the one it
  // lies on, or the neighbour below and the one above.
  std::vector<std::size_t> tests;
  // Between neighbours: how far the point lies from the lower curve toward the upper, 0 to 1.
  double t = 0.0;
  // The messages, in the order they are shown: the refusal outside the family, or the
  // warning when the point's moisture is not within 80 to 100 % of the optimum.
  std::vector<std::string> checks;

  bool HasResult() const { return kind == kOnTest || kind == kBetween; }
};

// Determines the maximum dry density and optimum moisture of a sample whose one compacted
// specimen has `moisture` (percent) and `dryDensity` (pcf), from the curves of the
// complete `family` that reach that moisture. On a curve (within kOnCurveTolerance of it,
// the nearest when several are): that member's peak. Between the curves c_i < d < c_j of
// neighbouring members: with t = (d − c_i)/(c_j − c_i), MDD_i + t·(MDD_j − MDD_i) and
// OMC_i + t·(OMC_j − OMC_i). Below the lowest or above the highest (or with no curve at
// that moisture): no result, and the refusal among the checks. With a result, the warning
// when the moisture is not within 80 to 100 % of the optimum (judged on the whole percent
// the warning prints). A moisture or density that is not a positive finite number gives
// kNoPoint; every number of the result is finite.
OnePointResult DetermineOnePoint(const Family& family, double moisture, double dryDensity);

// Where the result comes from, as the record and its report say it: "from the family MAIN
// ST/A-100, between tests Subgrade/7Sub.lng and Embankment/3Emb.lng" or "from the family
// MAIN ST/A-100, on test Subgrade/7Sub.lng"; empty without a result. `familyName` is the
// family's folder as the record names it.
std::string OnePointSource(const std::string& familyName, const Family& family,
                           const OnePointResult& result);

// The curve in character with the point: on a member, its curve; between two, the curve
// that lies the fraction t of the way from the lower to the upper at each moisture both
// reach (sampled at 100 steps). Dry density in pcf. Empty without a result.
std::vector<CurveSample> CurveThroughPoint(const Family& family, const OnePointResult& result);
