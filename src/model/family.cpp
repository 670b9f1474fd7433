#include "model/family.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "framework/codepage.h"
#include "framework/text_format.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/messages.h"

namespace {

// The chart's own rule: fewer points than this make no curve ("Insufficient Data").
constexpr int kMinCurvePoints = 3;

// The standard a test without one was run to.
constexpr const char* kDefaultStandard = "AASHTO T 99";

// The fit samples each interval between points twenty times; so does a family's chart.
constexpr int kSamplesPerInterval = 20;

// Samples of the curve through a point between two members.
constexpr int kThroughSteps = 100;

}  // namespace

bool FittedTest::Spans(double w) const {
  return knots >= 2 && w >= knotMoisture[0] && w <= knotMoisture[knots - 1];
}

double FittedTest::DensityAt(double w) const {
  double d = knots > 0 ? knotDensity[0] : 0.0;
  if (knots >= 2) {
    CDensityCurve::SplineValue(knotMoisture.data(), knotDensity.data(), knotCurvature.data(), knots,
                               w, d);
  }
  return std::isfinite(d) ? d : 0.0;
}

std::vector<CurveSample> FittedTest::Curve() const {
  std::vector<CurveSample> curve;
  if (knots < 2) return curve;
  curve.reserve(static_cast<std::size_t>(20 * knots - 19));
  curve.push_back({knotMoisture[0], DensityAt(knotMoisture[0])});
  for (int i = 0; i + 1 < knots; ++i) {
    const double h = (knotMoisture[i + 1] - knotMoisture[i]) / kSamplesPerInterval;
    for (int k = 1; k <= kSamplesPerInterval; ++k) {
      const double w = knotMoisture[i] + k * h;
      curve.push_back({w, DensityAt(w)});
    }
  }
  return curve;
}

bool FittedTest::UsableFit() const {
  return error.empty() && !onePoint && fitStatus == CDensityCurve::kStatusOk &&
         fitPoints >= kMinCurvePoints;
}

FittedTest FitForFamily(CDensoraDoc& doc) {
  using framework::Cp1252ToUtf8;
  doc.m_nUnits = kEnglish;
  CompactionRecord& r = doc.m_record;
  FittedTest t;
  t.onePoint = !r.m_ext.onePointFamily.empty();
  t.standard = Cp1252ToUtf8(r.m_ext.standard);
  t.method = Cp1252ToUtf8(r.m_ext.method);
  t.project = Cp1252ToUtf8(r.m_strProject);
  t.county = Cp1252ToUtf8(r.m_strCounty);
  t.testType = Cp1252ToUtf8(r.m_strTestType);
  t.testNo = Cp1252ToUtf8(r.m_strTestNo);
  t.date = Cp1252ToUtf8(r.m_strDate);
  CDensityCurve curve(doc);
  curve.FitRecord();
  t.fitStatus = curve.m_nStatus;
  t.fitPoints = curve.m_nPointCount;
  t.maxDryDensity = r.m_dMaxDryDensity;
  t.optimumMoisture = r.m_dOptimumMoisture;
  // Only a curve that may join a family is kept.
  if (t.UsableFit() && curve.m_dSortedMoisture.size() == static_cast<std::size_t>(t.fitPoints) &&
      curve.m_dSortedUnitWeight.size() == curve.m_dSortedMoisture.size() &&
      curve.m_dSecondDerivatives.size() == curve.m_dSortedMoisture.size()) {
    t.knots = t.fitPoints;
    std::copy_n(curve.m_dSortedMoisture.begin(), t.knots, t.knotMoisture.begin());
    std::copy_n(curve.m_dSortedUnitWeight.begin(), t.knots, t.knotDensity.begin());
    std::copy_n(curve.m_dSecondDerivatives.begin(), t.knots, t.knotCurvature.begin());
  }
  return t;
}

std::string FamilyKey::Title() const {
  return standard + (method.empty() ? ", method unknown" : ", Method " + method);
}

FamilyKey KeyOf(const std::string& standard, const std::string& method) {
  return {standard.empty() ? kDefaultStandard : standard, method};
}

const char* LeftOutText(LeftOutReason reason) {
  switch (reason) {
    case LeftOutReason::kUnchecked:
      return "unchecked";
    case LeftOutReason::kAnotherStandard:
      return "another standard";
    case LeftOutReason::kAnotherMethod:
      return "another method";
    case LeftOutReason::kNoUsableFit:
      return "without a usable fit";
    case LeftOutReason::kOnePointTest:
      return "one-point test";
    case LeftOutReason::kUnreadable:
      break;
  }
  return "could not be read";
}

std::string Family::Shortage() const {
  if (Complete()) return {};
  return framework::StrFormat(msg::kFamilyShortage, static_cast<int>(members.size()));
}

std::size_t Family::LeftOutCount(LeftOutReason reason) const {
  return static_cast<std::size_t>(std::count_if(
      leftOut.begin(), leftOut.end(), [&](const LeftOutTest& t) { return t.reason == reason; }));
}

std::string Family::LeftOutLine() const {
  if (leftOut.empty()) return {};
  std::string line =
      framework::StrFormat("%zu test%s left out: ", leftOut.size(), leftOut.size() == 1 ? "" : "s");
  const char* separator = "";
  for (int i = 0; i < kLeftOutReasons; ++i) {
    const auto reason = static_cast<LeftOutReason>(i);
    const std::size_t n = LeftOutCount(reason);
    if (n == 0) continue;
    const bool plural = n > 1 && reason == LeftOutReason::kOnePointTest;
    line +=
        framework::StrFormat("%s%zu %s%s", separator, n, LeftOutText(reason), plural ? "s" : "");
    separator = ", ";
  }
  return line;
}

FamilyKey MostSharedKey(const std::vector<FolderTest>& tests,
                        const std::optional<std::string>& standard,
                        const std::optional<std::string>& method) {
  std::vector<std::pair<FamilyKey, std::size_t>> counts;  // in the order first met
  for (const FolderTest& t : tests) {
    if (!t.fitted->UsableFit()) continue;
    FamilyKey key = KeyOf(t.fitted->standard, t.fitted->method);
    if ((standard && key.standard != KeyOf(*standard, "").standard) ||
        (method && key.method != *method)) {
      continue;
    }
    const auto it =
        std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == key; });
    if (it == counts.end()) {
      counts.emplace_back(std::move(key), 1);
    } else {
      ++it->second;
    }
  }
  if (counts.empty()) return KeyOf(standard.value_or(""), method.value_or(""));
  // max_element keeps the first of equal counts.
  return std::max_element(counts.begin(), counts.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

namespace {

// Why `t` is not a member of the family of `key`, or none when it is.
std::optional<LeftOutReason> ReasonLeftOut(const FolderTest& t, const FamilyKey& key,
                                           const std::set<std::string>& unchecked) {
  const FittedTest& f = *t.fitted;
  if (!f.error.empty()) return LeftOutReason::kUnreadable;
  if (f.onePoint) return LeftOutReason::kOnePointTest;
  const FamilyKey own = KeyOf(f.standard, f.method);
  if (own.standard != key.standard) return LeftOutReason::kAnotherStandard;
  if (own.method != key.method) return LeftOutReason::kAnotherMethod;
  if (!f.UsableFit()) return LeftOutReason::kNoUsableFit;
  if (unchecked.count(t.file) != 0) return LeftOutReason::kUnchecked;
  return std::nullopt;
}

// Solves the n×n system `a`·x = `b` (n up to 3) by elimination with partial pivoting. False
// when it is singular or the solution is not finite.
bool Solve(std::array<std::array<double, 3>, 3> a, std::array<double, 3> b, int n,
           std::array<double, 3>& x) {
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int row = col + 1; row < n; ++row) {
      if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
    }
    if (!(std::fabs(a[pivot][col]) > 1e-12)) return false;
    std::swap(a[col], a[pivot]);
    std::swap(b[col], b[pivot]);
    for (int row = col + 1; row < n; ++row) {
      const double f = a[row][col] / a[col][col];
      for (int k = col; k < n; ++k) a[row][k] -= f * a[col][k];
      b[row] -= f * b[col];
    }
  }
  for (int row = n - 1; row >= 0; --row) {
    double s = b[row];
    for (int k = row + 1; k < n; ++k) s -= a[row][k] * x[k];
    x[row] = s / a[row][row];
    if (!std::isfinite(x[row])) return false;
  }
  return true;
}

// The least-squares polynomial of `degree` (0 to 2) through the peaks, in z = (w − mean) /
// scale, where the normal equations are well conditioned.
bool FitPeaks(const std::vector<double>& z, const std::vector<double>& d, int degree,
              std::array<double, 3>& b) {
  const int n = degree + 1;
  std::array<std::array<double, 3>, 3> a{};
  std::array<double, 3> rhs{};
  for (std::size_t i = 0; i < z.size(); ++i) {
    const std::array<double, 3> powers = {1.0, z[i], z[i] * z[i]};
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) a[r][c] += powers[r] * powers[c];
      rhs[r] += powers[r] * d[i];
    }
  }
  b = {};
  return Solve(a, rhs, n, b);
}

}  // namespace

std::optional<Spine> FitSpine(const std::vector<FolderTest>& members) {
  if (members.empty()) return std::nullopt;
  std::vector<double> w, d;
  for (const FolderTest& m : members) {
    w.push_back(m.fitted->optimumMoisture);
    d.push_back(m.fitted->maxDryDensity);
  }
  Spine s;
  s.moistureFrom = *std::min_element(w.begin(), w.end());
  s.moistureTo = *std::max_element(w.begin(), w.end());
  double mean = 0.0;
  for (double v : w) mean += v / static_cast<double>(w.size());
  const double scale = std::max(s.moistureTo - mean, mean - s.moistureFrom);
  std::vector<double> sorted = w;
  std::sort(sorted.begin(), sorted.end());
  const auto distinct = std::unique(sorted.begin(), sorted.end()) - sorted.begin();
  std::vector<double> z;
  z.reserve(w.size());
  for (double v : w) z.push_back(scale > 0.0 ? (v - mean) / scale : 0.0);
  std::array<double, 3> b{};
  // Peaks at fewer moistures than a parabola needs, or so close together that it cannot be
  // set up, give a line, or the mean density.
  int degree = static_cast<int>(std::min<std::ptrdiff_t>(2, distinct - 1));
  while (degree > 0 && !FitPeaks(z, d, degree, b)) --degree;
  if (degree == 0 && !FitPeaks(z, d, 0, b)) b = {};
  if (scale > 0.0) {
    // Back from z to the moisture itself.
    const double m = mean / scale;
    s.c0 = b[0] - b[1] * m + b[2] * m * m;
    s.c1 = (b[1] - 2.0 * b[2] * m) / scale;
    s.c2 = b[2] / (scale * scale);
  } else {
    s.c0 = b[0];
  }
  if (!std::isfinite(s.c0) || !std::isfinite(s.c1) || !std::isfinite(s.c2)) s = Spine{};
  return s;
}

Family SelectFamily(const std::vector<FolderTest>& tests, const FamilyKey& key,
                    const std::set<std::string>& unchecked) {
  Family family;
  family.key = key;
  for (const FolderTest& t : tests) {
    if (const auto reason = ReasonLeftOut(t, key, unchecked)) {
      family.leftOut.push_back({t.file, *reason});
    } else {
      family.members.push_back(t);
    }
  }
  if (family.Complete()) family.spine = FitSpine(family.members);
  return family;
}

OnePointResult DetermineOnePoint(const Family& family, double moisture, double dryDensity) {
  OnePointResult r;
  if (!family.Complete() || !std::isfinite(moisture) || !(moisture >= 0.0) ||
      !std::isfinite(dryDensity) || !(dryDensity > 0.0)) {
    return r;
  }
  // The nearest curve within the tolerance, and the nearest below and above the point.
  struct Curve {
    std::size_t index;
    double density;
  };
  std::optional<Curve> on, below, above;
  for (std::size_t i = 0; i < family.members.size(); ++i) {
    const FittedTest& f = *family.members[i].fitted;
    if (!f.Spans(moisture)) continue;
    const Curve c{i, f.DensityAt(moisture)};
    const double off = std::fabs(c.density - dryDensity);
    // Densities are entered and read to a tenth of a pcf: half a pcf off, as the decimal
    // figures say it, is on the curve even where the binary arithmetic comes out a hair over.
    if (off <= kOnCurveTolerance + 1e-9 && (!on || off < std::fabs(on->density - dryDensity)))
      on = c;
    if (c.density < dryDensity && (!below || c.density > below->density)) below = c;
    if (c.density > dryDensity && (!above || c.density < above->density)) above = c;
  }
  if (on) {
    const FittedTest& f = *family.members[on->index].fitted;
    r.kind = OnePointResult::kOnTest;
    r.tests = {on->index};
    r.maxDryDensity = f.maxDryDensity;
    r.optimumMoisture = f.optimumMoisture;
  } else if (below && above) {
    const FittedTest& lo = *family.members[below->index].fitted;
    const FittedTest& hi = *family.members[above->index].fitted;
    r.kind = OnePointResult::kBetween;
    r.tests = {below->index, above->index};
    r.t = (dryDensity - below->density) / (above->density - below->density);
    r.maxDryDensity = lo.maxDryDensity + r.t * (hi.maxDryDensity - lo.maxDryDensity);
    r.optimumMoisture = lo.optimumMoisture + r.t * (hi.optimumMoisture - lo.optimumMoisture);
  } else {
    r.kind = OnePointResult::kOutside;
    r.checks.emplace_back(msg::kOutsideFamily);
    return r;
  }
  // A specimen far from the optimum says little about the curve it lies on.
  const double percent = 100.0 * moisture / r.optimumMoisture;
  const double shown = std::nearbyint(percent);  // as "%.0f" rounds it
  if (std::isfinite(percent) && (shown < 80.0 || shown > 100.0)) {
    r.checks.push_back(framework::StrFormat(msg::kMoistureOfOptimum, percent));
  }
  return r;
}

std::string OnePointSource(const std::string& familyName, const Family& family,
                           const OnePointResult& result) {
  const auto name = [&](std::size_t k) { return family.members.at(result.tests.at(k)).file; };
  if (result.kind == OnePointResult::kOnTest) {
    return "from the family " + familyName + ", on test " + name(0);
  }
  if (result.kind == OnePointResult::kBetween) {
    return "from the family " + familyName + ", between tests " + name(0) + " and " + name(1);
  }
  return {};
}

std::vector<CurveSample> CurveThroughPoint(const Family& family, const OnePointResult& result) {
  std::vector<CurveSample> curve;
  if (result.kind == OnePointResult::kOnTest) {
    curve = family.members.at(result.tests.at(0)).fitted->Curve();
  } else if (result.kind == OnePointResult::kBetween) {
    const FittedTest& lo = *family.members.at(result.tests.at(0)).fitted;
    const FittedTest& hi = *family.members.at(result.tests.at(1)).fitted;
    const double from = std::max(lo.knotMoisture[0], hi.knotMoisture[0]);
    const double to = std::min(lo.knotMoisture[lo.knots - 1], hi.knotMoisture[hi.knots - 1]);
    for (int k = 0; k <= kThroughSteps && from <= to; ++k) {
      const double w = from + (to - from) * k / kThroughSteps;
      const double c = lo.DensityAt(w);
      curve.push_back({w, c + result.t * (hi.DensityAt(w) - c)});
    }
  }
  return curve;
}
