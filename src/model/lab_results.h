#pragma once
// What the laboratory's extra entries make of a test: each point's degree of saturation,
// the zero-air-voids curve, the oversize-corrected results, the warnings, the standard's
// title and the report's lines. The page, the chart, the report and densora-cli all take
// them from here, so that they agree.
#include <array>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/lab_extension.h"

class CDensoraDoc;
class CompactionRecord;

// The standards a test can follow, in the order the list offers them. The empty text is
// the first, the standard test.
inline constexpr std::array<const char*, 4> kStandards = {"AASHTO T 99", "AASHTO T 180",
                                                          "ASTM D698", "ASTM D1557"};
bool IsKnownStandard(std::string_view standard);
// Where the specific gravity came from, in the order the list offers them.
inline constexpr std::array<const char*, 2> kSpecificGravitySources = {"measured", "assumed"};
// The methods `standard` has: "ABCD" for AASHTO, "ABC" for ASTM, "" for an unknown text.
std::string_view MethodsOf(std::string_view standard);
// The largest oversize percent the method allows (AASHTO A/B 40, C/D 30; ASTM A/B 25,
// C 30); none for a blank method or one the standard does not have.
std::optional<int> OversizeLimit(std::string_view standard, std::string_view method);
// The sieve that separates the oversize under the method: "4.75 mm (No. 4)" (AASHTO A/B,
// ASTM A), "9.5 mm (3/8 in)" (ASTM B), "19.0 mm (3/4 in)" (AASHTO C/D, ASTM C); the empty
// text where OversizeLimit has none.
std::string_view OversizeSieve(std::string_view standard, std::string_view method);

// The standard molds, cubic feet: 4 inches across (1/30 ft³) and 6 inches (0.075 ft³). A
// volume within 2 % of one counts as that mold.
inline constexpr double kFourInchMoldVolume = 1.0 / 30.0;
inline constexpr double kSixInchMoldVolume = 0.075;
// Below this percent retained the standards apply no oversize correction.
inline constexpr double kMinOversizePercent = 5.0;

// The test's title on the report: "AASHTO T-99" when neither standard nor method is set,
// else the standard as printed ("AASHTO T-180", "ASTM D698") and ", Method D" when a
// method is set.
std::string StandardTitle(const LabExtension& x);

// The first entry of `x` that no technician could have entered: its key and the message
// ("specificGravity", "Enter a value between 2.0 and 3.5"); none when every entry is
// acceptable. A number outside its entry's range (any number that is not finite among them)
// and a text its entry's check refuses count: a standard not in the list, a method the
// standard does not have, a source other than "measured" or "assumed".
struct ExtensionProblem {
  std::string key;
  std::string message;
};
std::optional<ExtensionProblem> FindExtensionProblem(const LabExtension& x);
// Every such entry, in the order of LabFields.
std::vector<ExtensionProblem> FindExtensionProblems(const LabExtension& x);
// The message for field `f` of `x`, or the empty text when it is acceptable or not entered.
std::string EntryProblem(const LabField& f, const LabExtension& x);

// The maximum dry density and optimum moisture with the oversize fraction put back.
struct CorrectedResults {
  double maxDryDensityPcf = 0.0;
  std::optional<double> optimumMoisture;  // none without the oversize moisture
};

// A point's saturation when its dry unit weight is at or above Gs·γw: no voids are left
// at any moisture, so the point lies above the zero-air-voids curve.
inline constexpr double kAboveZeroAirVoids = std::numeric_limits<double>::infinity();

struct LabResults {
  std::vector<int> rows;  // the present points' rows, 1 to 6
  // Percent, one per present point: none without a specific gravity or a dry unit weight,
  // kAboveZeroAirVoids for a point at or above Gs·γw.
  std::vector<std::optional<double>> saturation;
  std::optional<CorrectedResults> corrected;  // none below kMinOversizePercent
  std::vector<std::string> checks;            // the warnings, in the order they are shown
  // Of those, the last ones: whether the points given to the fit bracket its optimum. A
  // peak the points do not surround is one the spline guessed.
  std::vector<std::string> bracketing;
};

// A point's saturation as the listings show it: "93.4", or "> 100" above Gs·γw.
std::string SaturationText(double saturation);
// The same on the Soil and Method page: "Point 3  S = 93.4 %", "Point 3  S > 100 %".
std::string SaturationLine(int row, double saturation);

// Evaluates the record's entries against its points and the fit's results (maximum dry
// density in pcf, optimum moisture in percent; a maximum not above 0 means the fit gave none).
// With a maximum from three or more points given to the fit (the present points not left
// out), the checks end with the bracketing of its optimum: when the highest of those points
// is also the driest (wettest) of them, "WARNING: The points do not bracket the optimum: add a
// point on the dry side" ("wet side"); else, for each side with fewer than two of them
// strictly drier (wetter) than the optimum, "NOTE: Fewer than two points on the dry side of the
// optimum" ("wet side"). A note for the side the warning names would only repeat it.
LabResults EvaluateLab(const CompactionRecord& r, double fitMaxDryPcf, double fitOptimum);
// The same for the document's record against the results its last fit stored there (the
// maximum in the document's units).
LabResults EvaluateLab(const CDensoraDoc& doc);

// The zero-air-voids curve from `fromPercent` to `toPercent` in steps of `step` percent,
// the last sample at `toPercent` itself, unit weights times `densityFactor`. Empty without
// a specific gravity or with an empty range.
struct CurveSample {
  double moisture;
  double unitWeight;
};
std::vector<CurveSample> ZeroAirVoidsCurve(double gs, double fromPercent, double toPercent,
                                           double step, double densityFactor);
// The curve's label on the chart: "ZAV (Gs = 2.70)".
std::string ZeroAirVoidsLabel(double gs);

// The report's lines below the long test: the line of each entry that has one and is
// entered (a number finite), in the entries' order: "Specific Gravity (Gs) = 2.70 (assumed)"
// and "Oversize Correction: 12.0 % retained, ...", the oversize line naming the method's sieve
// when a method is set ("Oversize Correction, 19.0 mm (3/4 in) sieve: ...") and saying
// "3.0 % retained: below 5 %, no correction" below kMinOversizePercent, then "Point 3
// excluded from the fit: mold not seated" for each present point left out of the fit.
// Densities are printed times `densityFactor` with `densityUnit` (" pcf" or "kg/m³").
std::vector<std::string> ReportLabLines(const LabExtension& x, const LabResults& results,
                                        double densityFactor, std::string_view densityUnit);
