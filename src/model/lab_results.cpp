#include "model/lab_results.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "framework/text_format.h"
#include "model/compaction_record.h"
#include "model/densora_doc.h"

namespace {

bool IsAashto(std::string_view standard) {
  return standard.empty() || standard.starts_with("AASHTO");
}

bool Entered(double v) { return v != 0.0; }

std::optional<ExtensionProblem> NumberProblem(const char* key, double v, double lo, double hi,
                                              const char* message) {
  if (!std::isfinite(v) || (Entered(v) && (v < lo || v > hi))) {
    return ExtensionProblem{key, message};
  }
  return std::nullopt;
}

std::string OversizeLine(const LabExtension& x, const LabResults& results, double factor,
                         std::string_view unit) {
  std::string line =
      framework::StrFormat("Oversize Correction: %.1f %% retained", x.oversizePercent);
  if (Entered(x.oversizeSpecificGravity)) {
    line += ", Gm = " + framework::FormatFinite("%.2f", x.oversizeSpecificGravity);
  }
  if (Entered(x.oversizeMoisture)) {
    line += ", MC = " + framework::FormatFinite("%.1f", x.oversizeMoisture) + " %";
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
  const bool fine = method == "A" || method == "B";  // the methods on the No. 4 sieve
  if (IsAashto(standard)) return fine ? 40 : 30;
  return fine ? 25 : 30;
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

std::optional<ExtensionProblem> FindExtensionProblem(const LabExtension& x) {
  if (auto p = NumberProblem("specificGravity", x.specificGravity, kMinSpecificGravity,
                             kMaxSpecificGravity, kSpecificGravityRange)) {
    return p;
  }
  if (!x.specificGravitySource.empty() && x.specificGravitySource != "measured" &&
      x.specificGravitySource != "assumed") {
    return ExtensionProblem{"specificGravitySource", "Enter \"measured\" or \"assumed\""};
  }
  if (auto p = NumberProblem("oversizePercent", x.oversizePercent, 0.0, 100.0, kPercentRange)) {
    return p;
  }
  if (auto p = NumberProblem("oversizeSpecificGravity", x.oversizeSpecificGravity, 1e-9, 1e9,
                             kPositiveValue)) {
    return p;
  }
  if (auto p = NumberProblem("oversizeMoisture", x.oversizeMoisture, 0.0, 100.0, kPercentRange)) {
    return p;
  }
  if (!x.standard.empty() && !IsKnownStandard(x.standard)) {
    return ExtensionProblem{"standard",
                            "Enter one of AASHTO T 99, AASHTO T 180, ASTM D698, "
                            "ASTM D1557"};
  }
  if (!x.method.empty() && !OversizeLimit(x.standard, x.method)) {
    return ExtensionProblem{
        "method", "Enter a method of the standard (" + std::string(MethodsOf(x.standard)) + ")"};
  }
  return std::nullopt;
}

LabResults EvaluateLab(const CompactionRecord& r, double fitMaxDryPcf, double fitOptimum) {
  LabResults out;
  const LabExtension& x = r.m_ext;
  for (int slot = 0; slot < kPointSlots; ++slot) {
    const TestPoint& p = r.Point(slot);
    if (p.IsEmpty()) continue;
    out.rows.push_back(slot + 1);
    std::optional<double> s;
    if (Entered(x.specificGravity) && std::isfinite(x.specificGravity)) {
      s = DegreeOfSaturation(x.specificGravity, 100.0 * p.MoistureContent(), p.DryUnitWeight());
    }
    out.saturation.push_back(s);
    if (s && *s > 100.0) {
      out.checks.push_back(framework::StrFormat(
          "WARNING: Point %d lies above the zero-air-voids curve (S = %.0f %%)", slot + 1, *s));
    }
  }
  if (std::isfinite(fitMaxDryPcf) && fitMaxDryPcf > 0.0) {
    if (const auto d =
            OversizeCorrectedDensity(fitMaxDryPcf, x.oversizePercent, x.oversizeSpecificGravity)) {
      out.corrected = CorrectedResults{*d, std::nullopt};
      const double mc =
          OversizeCorrectedMoisture(fitOptimum, x.oversizePercent, x.oversizeMoisture);
      if (Entered(x.oversizeMoisture) && std::isfinite(mc)) out.corrected->optimumMoisture = mc;
    }
  }
  if (const auto limit = OversizeLimit(x.standard, x.method);
      limit && std::isfinite(x.oversizePercent) && x.oversizePercent > *limit) {
    out.checks.push_back(
        framework::StrFormat("WARNING: %.1f %% oversize exceeds the %d %% limit "
                             "of Method %s",
                             x.oversizePercent, *limit, x.method.c_str()));
  }
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

std::vector<std::string> ReportLabLines(const LabExtension& x, const LabResults& results,
                                        double densityFactor, std::string_view densityUnit) {
  std::vector<std::string> lines;
  if (Entered(x.specificGravity) && std::isfinite(x.specificGravity)) {
    std::string line = framework::StrFormat("Specific Gravity (Gs) = %.2f", x.specificGravity);
    if (!x.specificGravitySource.empty()) line += " (" + x.specificGravitySource + ")";
    lines.push_back(line);
  }
  if (Entered(x.oversizePercent) && std::isfinite(x.oversizePercent)) {
    lines.push_back(OversizeLine(x, results, densityFactor, densityUnit));
  }
  return lines;
}
