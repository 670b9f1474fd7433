#pragma once
// What a laboratory records beyond the test itself: the specific gravity of the soil, the
// oversize fraction left out of the mold, and the standard and method of the test. A file
// keeps them in an extension block after the comments, which older readers never reach.
// A number of 0 and an empty text mean "not entered", except for the oversize moisture:
// oven-dried oversize holds 0 % of water, so that entry is empty when not entered.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An entry of the block that this version does not know: kept, and written back unchanged.
struct ExtensionEntry {
  std::string key;
  char type = 'D';  // 'D' a double, 'S' a text, 'I' a 32-bit integer
  double number = 0.0;
  std::int32_t integer = 0;
  std::string text;
  bool operator==(const ExtensionEntry&) const = default;
};

struct LabExtension {
  double specificGravity = 0.0;            // Gs of the soil solids
  std::string specificGravitySource;       // "measured" or "assumed"
  double oversizePercent = 0.0;            // P_c, percent of the sample retained on the sieve
  double oversizeSpecificGravity = 0.0;    // G_m, bulk specific gravity of the oversize
  std::optional<double> oversizeMoisture;  // MC_c, percent; 0 is oven-dry oversize
  std::string standard;  // "AASHTO T 99", "AASHTO T 180", "ASTM D698", "ASTM D1557"
  std::string method;    // "A" to "D"
  std::vector<ExtensionEntry> unknown;

  // True when nothing is entered and nothing unknown was read: the file keeps the plain layout.
  bool Empty() const;
  bool operator==(const LabExtension&) const = default;
};

// The known entries by key, in the order the file writes them and densora-cli lists them:
// the specific gravity and its source, the oversize fraction, then the standard and method.
// Each is one of LabExtension's members: a number where 0 is "not entered", a number that
// may be 0 and is empty when not entered, or a text. The label and unit are how listings
// and warnings name the entry.
struct LabEntryKey {
  const char* key;
  const char* label;
  const char* unit;  // after a number: "" or " %"
  double LabExtension::*number;
  std::optional<double> LabExtension::*optionalNumber;
  std::string LabExtension::*text;
};
inline constexpr std::array<LabEntryKey, 7> kLabEntryKeys = {{
    {"specificGravity", "Gs", "", &LabExtension::specificGravity, nullptr, nullptr},
    {"specificGravitySource", "Gs source", "", nullptr, nullptr,
     &LabExtension::specificGravitySource},
    {"oversizePercent", "Oversize", " %", &LabExtension::oversizePercent, nullptr, nullptr},
    {"oversizeSpecificGravity", "Oversize Gm", "", &LabExtension::oversizeSpecificGravity, nullptr,
     nullptr},
    {"oversizeMoisture", "Oversize MC", " %", nullptr, &LabExtension::oversizeMoisture, nullptr},
    {"standard", "Standard", "", nullptr, nullptr, &LabExtension::standard},
    {"method", "Method", "", nullptr, nullptr, &LabExtension::method},
}};

// The number entry `k` holds; none when it is not entered or `k` is a text.
std::optional<double> EnteredNumber(const LabExtension& x, const LabEntryKey& k);

// The unit weight of water, pcf: the constant of the zero-air-voids curve and of the
// oversize correction's k = 62.4 · G.
inline constexpr double kWaterUnitWeightPcf = 62.4;

// The dry unit weight (pcf) at which soil of specific gravity `gs` is saturated at
// `moisturePercent`: the zero-air-voids curve, Gs·γw / (1 + w·Gs/100).
double ZeroAirVoidsUnitWeight(double gs, double moisturePercent);

// The degree of saturation (percent) of a point of moisture `moisturePercent` and dry unit
// weight `dryPcf`: w·Gs / (Gs·γw/γd − 1). None where that is not a positive finite number.
std::optional<double> DegreeOfSaturation(double gs, double moisturePercent, double dryPcf);

// The oversize correction of a maximum dry density `fitPcf` for `oversizePercent` retained
// of bulk specific gravity `gm`: 100·Df·k / (Df·Pc + k·Pf), k = γw·Gm, Pf = 100 − Pc. None
// without an oversize fraction, with Gm not above 0, or with no fine fraction (Pc = 100).
std::optional<double> OversizeCorrectedDensity(double fitPcf, double oversizePercent, double gm);

// The corrected optimum moisture (MCf·Pf + MCc·Pc) / 100, in percent.
double OversizeCorrectedMoisture(double fitMoisture, double oversizePercent,
                                 double oversizeMoisture);
