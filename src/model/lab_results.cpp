#include "model/lab_results.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/file_io.h"
#include "framework/text_format.h"
#include "model/compaction_record.h"
#include "model/densora_doc.h"

namespace {

bool IsAashto(std::string_view standard) {
  return standard.empty() || standard.starts_with("AASHTO");
}

bool Entered(double v) { return v != 0.0; }

// The oversize line's opening: "Oversize Correction", and the sieve when the method names one.
std::string OversizeHeading(const LabExtension& x) {
  std::string heading = "Oversize Correction";
  if (const std::string_view sieve = OversizeSieve(x.standard, x.method); !sieve.empty()) {
    heading += ", " + std::string(sieve) + " sieve";
  }
  return heading + ": ";
}

std::string OversizeLine(const LabExtension& x, const LabResults& results, double factor,
                         std::string_view unit) {
  std::string line = OversizeHeading(x);
  if (x.oversizePercent < kMinOversizePercent) {
    return line +
           framework::StrFormat("%.1f %% retained: below 5 %%, no correction", x.oversizePercent);
  }
  line += framework::StrFormat("%.1f %% retained", x.oversizePercent);
  if (Entered(x.oversizeSpecificGravity)) {
    line += ", Gm = " + framework::FormatFinite("%.2f", x.oversizeSpecificGravity);
  }
  if (x.oversizeMoisture) {
    line += ", MC = " + framework::FormatFinite("%.1f", *x.oversizeMoisture) + " %";
  }
  if (results.corrected) {
    // The unit text carries its own leading blank where it has one (" pcf").
    const std::string space = unit.starts_with(' ') ? "" : " ";
    line += ": Corrected Maximum Dry Density = " +
            framework::FormatFinite("%.1f", results.corrected->maxDryDensityPcf * factor) + space +
            std::string(unit);
    if (results.corrected->optimumMoisture) {
      line += ", Corrected Optimum Moisture = " +
              framework::FormatFinite("%.1f", *results.corrected->optimumMoisture) + " %";
    }
  }
  return line;
}

// An entry no technician could have entered, as the checks name it: its label and value,
// then the message the page gives as the field is left ("WARNING: Gs = -5: Enter a value
// between 2.0 and 3.5", "WARNING: Standard \"BOGUS\": Enter one of ...").
std::string ProblemCheck(const LabExtension& x, const ExtensionProblem& problem) {
  const LabField* f = FindLabField(problem.key);
  if (!f) return "WARNING: " + problem.message;
  std::string shown;
  const EntryValue v = f->Get(x);
  if (const auto* text = std::get_if<std::string>(&v)) {
    shown = " \"" + *text + "\"";
  } else if (const auto* number = std::get_if<double>(&v)) {
    const std::string digits = framework::FormatFinite("%.15g", *number);
    if (!digits.empty()) shown = " = " + digits + f->entry->unit;
  }
  return "WARNING: " + f->label + shown + ": " + problem.message;
}

// The mold the method is run in: the 4-inch mold for AASHTO A and C and ASTM A and B, the
// 6-inch mold for AASHTO B and D and ASTM C; none without a method of the standard.
struct Mold {
  double volume;
  const char* name;
};
std::optional<Mold> MoldOfMethod(std::string_view standard, std::string_view method) {
  if (!OversizeLimit(standard, method)) return std::nullopt;
  const bool sixInch = IsAashto(standard) ? (method == "B" || method == "D") : method == "C";
  if (sixInch) return Mold{kSixInchMoldVolume, "6-inch (0.075 cu. ft.)"};
  return Mold{kFourInchMoldVolume, "4-inch (1/30 cu. ft.)"};
}

// The point's degree of saturation: none without a positive specific gravity or a dry unit
// weight; kAboveZeroAirVoids at or above Gs·γw, where no voids are left to fill.
std::optional<double> PointSaturation(double gs, const TestPoint& p) {
  const double dry = p.DryUnitWeight();
  if (!(gs > 0.0) || !std::isfinite(gs) || !(dry > 0.0) || !std::isfinite(dry)) {
    return std::nullopt;
  }
  if (dry >= gs * kWaterUnitWeightPcf) return kAboveZeroAirVoids;
  return DegreeOfSaturation(gs, 100.0 * p.MoistureContent(), dry);
}

// Each present point's row and degree of saturation, with a warning for each point above
// the zero-air-voids curve.
void EvaluatePoints(const CompactionRecord& r, LabResults& out) {
  for (int slot = 0; slot < kPointSlots; ++slot) {
    const TestPoint& p = r.Point(slot);
    if (p.IsEmpty()) continue;
    out.rows.push_back(slot + 1);
    const std::optional<double> s = PointSaturation(r.m_ext.specificGravity, p);
    out.saturation.push_back(s);
    if (s && *s > 100.0) {
      out.checks.push_back(framework::StrFormat(
          "WARNING: Point %d lies above the zero-air-voids curve (S %s %%)", slot + 1,
          *s == kAboveZeroAirVoids ? "> 100" : framework::StrFormat("= %.0f", *s).c_str()));
    }
  }
}

// The fit's maximum and optimum with the oversize put back, from 5 % retained; the optimum
// only with the oversize moisture.
std::optional<CorrectedResults> Corrected(const LabExtension& x, double fitMaxDryPcf,
                                          double fitOptimum) {
  if (!(x.oversizePercent >= kMinOversizePercent) || !std::isfinite(fitMaxDryPcf) ||
      !(fitMaxDryPcf > 0.0)) {
    return std::nullopt;
  }
  const auto d =
      OversizeCorrectedDensity(fitMaxDryPcf, x.oversizePercent, x.oversizeSpecificGravity);
  if (!d) return std::nullopt;
  CorrectedResults c{*d, std::nullopt};
  if (x.oversizeMoisture) {
    const double mc = OversizeCorrectedMoisture(fitOptimum, x.oversizePercent, *x.oversizeMoisture);
    if (std::isfinite(mc)) c.optimumMoisture = mc;
  }
  return c;
}

// A point given to the fit, as the bracketing checks compare it.
struct FittedPoint {
  double moisture, dry;
};

std::vector<FittedPoint> FittedPoints(const CompactionRecord& r) {
  std::vector<FittedPoint> out;
  for (int slot = 0; slot < kPointSlots; ++slot) {
    const TestPoint& p = r.Point(slot);
    if (p.IsEmpty() || r.IsExcluded(slot)) continue;
    out.push_back({100.0 * p.MoistureContent(), p.DryUnitWeight()});
  }
  return out;
}

// Whether the points surround the fitted optimum. The highest point is the one denser than
// every other; when it is also drier (wetter) than every other, the curve only falls away
// from it and the true peak lies beyond the driest (wettest) point.
std::vector<std::string> BracketingChecks(const CompactionRecord& r, double fitMaxDryPcf,
                                          double fitOptimum) {
  const std::vector<FittedPoint> points = FittedPoints(r);
  if (points.size() < 3 || !(fitMaxDryPcf > 0.0) || !std::isfinite(fitMaxDryPcf) ||
      !std::isfinite(fitOptimum)) {
    return {};
  }
  for (const FittedPoint& p : points) {
    if (!std::isfinite(p.moisture) || !std::isfinite(p.dry)) return {};
  }
  const auto beats = [&](const FittedPoint& a, auto better) {
    return std::all_of(points.begin(), points.end(),
                       [&](const FittedPoint& b) { return &a == &b || better(a, b); });
  };
  std::string unbracketed;
  for (const FittedPoint& p : points) {
    if (!beats(p, [](const FittedPoint& a, const FittedPoint& b) { return a.dry > b.dry; })) {
      continue;
    }
    if (beats(p,
              [](const FittedPoint& a, const FittedPoint& b) { return a.moisture < b.moisture; })) {
      unbracketed = "dry";
    }
    if (beats(p,
              [](const FittedPoint& a, const FittedPoint& b) { return a.moisture > b.moisture; })) {
      unbracketed = "wet";
    }
  }
  std::vector<std::string> checks;
  if (!unbracketed.empty()) {
    checks.push_back("WARNING: The points do not bracket the optimum: add a point on the " +
                     unbracketed + " side");
  }
  const auto drier = std::count_if(points.begin(), points.end(),
                                   [&](const FittedPoint& p) { return p.moisture < fitOptimum; });
  const auto wetter = std::count_if(points.begin(), points.end(),
                                    [&](const FittedPoint& p) { return p.moisture > fitOptimum; });
  if (drier < 2 && unbracketed != "dry") {
    checks.emplace_back("NOTE: Fewer than two points on the dry side of the optimum");
  }
  if (wetter < 2 && unbracketed != "wet") {
    checks.emplace_back("NOTE: Fewer than two points on the wet side of the optimum");
  }
  return checks;
}

}  // namespace

bool IsKnownStandard(std::string_view standard) {
  return std::any_of(kStandards.begin(), kStandards.end(),
                     [standard](const char* s) { return standard == s; });
}

std::string_view MethodsOf(std::string_view standard) {
  if (standard.empty() || standard == kStandards[0] || standard == kStandards[1]) return "ABCD";
  if (standard == kStandards[2] || standard == kStandards[3]) return "ABC";
  return "";
}

std::optional<int> OversizeLimit(std::string_view standard, std::string_view method) {
  if (method.size() != 1 || MethodsOf(standard).find(method[0]) == std::string_view::npos) {
    return std::nullopt;
  }
  const bool fine = method == "A" || method == "B";  // the methods of the finer sieves
  if (IsAashto(standard)) return fine ? 40 : 30;
  return fine ? 25 : 30;
}

std::string_view OversizeSieve(std::string_view standard, std::string_view method) {
  if (!OversizeLimit(standard, method)) return "";
  if (method == "A" || (method == "B" && IsAashto(standard))) return "4.75 mm (No. 4)";
  if (method == "B") return "9.5 mm (3/8 in)";
  return "19.0 mm (3/4 in)";
}

std::string StandardTitle(const LabExtension& x) {
  std::string title = "AASHTO T-99";
  if (!x.standard.empty()) {
    title = x.standard;
    // "AASHTO T 180" prints as "AASHTO T-180", the way the laboratory writes its tests.
    if (IsAashto(title) && title.size() > 8 && title[8] == ' ') title[8] = '-';
  }
  if (!x.method.empty()) title += ", Method " + x.method;
  return title;
}

std::string SourceProblem(const LabExtension&, const std::string& source) {
  for (const char* s : kSpecificGravitySources) {
    if (source == s) return "";
  }
  return "Enter \"measured\" or \"assumed\"";
}

std::string StandardProblem(const LabExtension&, const std::string& standard) {
  return IsKnownStandard(standard) ? ""
                                   : "Enter one of AASHTO T 99, AASHTO T 180, ASTM D698, "
                                     "ASTM D1557";
}

std::string MethodProblem(const LabExtension& x, const std::string& method) {
  if (OversizeLimit(x.standard, method)) return "";
  return "Enter a method of the standard (" + std::string(MethodsOf(x.standard)) + ")";
}

std::string ExclusionProblem(const LabExtension&, const std::string& reason) {
  if (reason.find_first_not_of(" \t") != std::string::npos) return "";
  return "Enter the reason the point is left out of the fit";
}

std::string FamilyProblem(const LabExtension&, const std::string& family) {
  // The family is a folder of the projects directory: a path from elsewhere, or one that
  // climbs out of it, names no family of this laboratory.
  bool inside = !framework::IsRootedPath(family);
  for (std::size_t from = 0; inside && from <= family.size();) {
    std::size_t to = family.find_first_of("/\\", from);
    if (to == std::string::npos) to = family.size();
    if (family.compare(from, to - from, "..") == 0) inside = false;
    from = to + 1;
  }
  return inside ? "" : "Enter a folder of the projects directory";
}

std::string EntryProblem(const LabField& f, const LabExtension& x) {
  const EntryValue v = f.Get(x);
  if (const auto* number = std::get_if<double>(&v); number && !f.entry->range.Holds(*number)) {
    return f.entry->range.message;
  }
  if (const auto* text = std::get_if<std::string>(&v); text && f.entry->check) {
    return f.entry->check(x, *text);
  }
  return "";
}

std::vector<ExtensionProblem> FindExtensionProblems(const LabExtension& x) {
  std::vector<ExtensionProblem> out;
  for (const LabField& f : LabFields()) {
    if (std::string message = EntryProblem(f, x); !message.empty()) {
      out.push_back({f.key, std::move(message)});
    }
  }
  return out;
}

std::optional<ExtensionProblem> FindExtensionProblem(const LabExtension& x) {
  std::vector<ExtensionProblem> all = FindExtensionProblems(x);
  if (all.empty()) return std::nullopt;
  return std::move(all.front());
}

std::string SaturationText(double saturation) {
  return saturation == kAboveZeroAirVoids ? "> 100" : framework::FormatFinite("%.1f", saturation);
}

std::string SaturationLine(int row, double saturation) {
  const std::string s = SaturationText(saturation);
  return framework::StrFormat("Point %d  S %s%s %%", row,
                              saturation == kAboveZeroAirVoids ? "" : "= ", s.c_str());
}

// The checks in the order they are shown: the entries out of their ranges, a Gs source
// without a Gs, the points above the zero-air-voids curve, a mold the method does not use,
// an oversize fraction beyond the method's limit, and the bracketing of the optimum.
LabResults EvaluateLab(const CompactionRecord& r, double fitMaxDryPcf, double fitOptimum) {
  LabResults out;
  const LabExtension& x = r.m_ext;
  for (const ExtensionProblem& p : FindExtensionProblems(x)) {
    out.checks.push_back(ProblemCheck(x, p));
  }
  if (!x.specificGravitySource.empty() && !Entered(x.specificGravity)) {
    out.checks.push_back("WARNING: The Gs source \"" + x.specificGravitySource +
                         "\" is given without a Gs value");
  }
  EvaluatePoints(r, out);
  if (const auto mold = MoldOfMethod(x.standard, x.method);
      mold && !(std::fabs(r.m_dMoldVolume - mold->volume) <= 0.02 * mold->volume)) {
    out.checks.push_back(framework::StrFormat("WARNING: Method %s calls for the %s mold",
                                              x.method.c_str(), mold->name));
  }
  out.corrected = Corrected(x, fitMaxDryPcf, fitOptimum);
  if (const auto limit = OversizeLimit(x.standard, x.method);
      limit && std::isfinite(x.oversizePercent) && x.oversizePercent > *limit) {
    out.checks.push_back(
        framework::StrFormat("WARNING: %.1f %% oversize exceeds the %d %% limit "
                             "of Method %s",
                             x.oversizePercent, *limit, x.method.c_str()));
  }
  out.bracketing = BracketingChecks(r, fitMaxDryPcf, fitOptimum);
  out.checks.insert(out.checks.end(), out.bracketing.begin(), out.bracketing.end());
  return out;
}

LabResults EvaluateLab(const CDensoraDoc& doc) {
  const CompactionRecord& r = doc.m_record;
  return EvaluateLab(r, r.m_dMaxDryDensity / doc.DensityFactor(), r.m_dOptimumMoisture);
}

std::vector<CurveSample> ZeroAirVoidsCurve(double gs, double fromPercent, double toPercent,
                                           double step, double densityFactor) {
  std::vector<CurveSample> out;
  if (!(gs > 0.0) || !std::isfinite(gs) || !(step > 0.0) || !(toPercent >= fromPercent) ||
      !std::isfinite(toPercent - fromPercent)) {
    return out;
  }
  // Each sample from its index, so that a long run of steps does not drift. The count is
  // bounded whatever the range, and held to its bound while still a double: a cast of a
  // larger double to an integer is undefined.
  constexpr std::int64_t kMaxSteps = 100000;
  const double span = std::floor((toPercent - fromPercent) / step + 1e-9);
  const std::int64_t count =
      span < static_cast<double>(kMaxSteps) ? static_cast<std::int64_t>(span) : kMaxSteps;
  out.reserve(static_cast<std::size_t>(count) + 2);
  for (std::int64_t i = 0; i <= count; ++i) {
    const double w = fromPercent + static_cast<double>(i) * step;
    out.push_back({w, ZeroAirVoidsUnitWeight(gs, w) * densityFactor});
  }
  if (out.back().moisture < toPercent - 1e-9 && count < kMaxSteps) {
    out.push_back({toPercent, ZeroAirVoidsUnitWeight(gs, toPercent) * densityFactor});
  }
  return out;
}

std::string ZeroAirVoidsLabel(double gs) { return framework::StrFormat("ZAV (Gs = %.2f)", gs); }

std::string SpecificGravityReportLine(const LabExtension& x, int, const LabResults&, double,
                                      std::string_view) {
  std::string line = framework::StrFormat("Specific Gravity (Gs) = %.2f", x.specificGravity);
  if (!x.specificGravitySource.empty()) line += " (" + x.specificGravitySource + ")";
  return line;
}

std::string OversizeReportLine(const LabExtension& x, int, const LabResults& results,
                               double densityFactor, std::string_view densityUnit) {
  return OversizeLine(x, results, densityFactor, densityUnit);
}

std::string ExclusionReportLine(const LabExtension& x, int slot, const LabResults& results, double,
                                std::string_view) {
  // A reason kept for an empty slot leaves nothing out.
  if (std::find(results.rows.begin(), results.rows.end(), slot + 1) == results.rows.end()) {
    return "";
  }
  return framework::StrFormat("Point %d excluded from the fit: %s", slot + 1,
                              x.excluded[static_cast<std::size_t>(slot)].c_str());
}

std::vector<std::string> ReportLabLines(const LabExtension& x, const LabResults& results,
                                        double densityFactor, std::string_view densityUnit) {
  std::vector<std::string> lines;
  for (const LabField& f : LabFields()) {
    const EntryValue v = f.Get(x);
    const auto* number = std::get_if<double>(&v);
    if (!f.entry->report || std::holds_alternative<std::monostate>(v) ||
        (number && !std::isfinite(*number))) {
      continue;
    }
    std::string line = f.entry->report(x, f.slot, results, densityFactor, densityUnit);
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}
