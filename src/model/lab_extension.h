#pragma once
// What a laboratory records beyond the test itself: the specific gravity of the soil, the
// oversize fraction left out of the mold, and the standard and method of the test. A file
// keeps them in an extension block after the comments, which older readers never reach.
// Each entry is one row of kLabEntries below: the file's block, densora-cli's JSON and
// listing, the summary's columns, the checks, the report's lines and the page's fields all
// follow the rows.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
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

// A number of 0 and an empty text mean "not entered", except for the oversize moisture:
// oven-dried oversize holds 0 % of water, so that entry is empty when not entered.
struct LabExtension {
  double specificGravity = 0.0;            // Gs of the soil solids
  std::string specificGravitySource;       // "measured" or "assumed"
  double oversizePercent = 0.0;            // P_c, percent of the sample retained on the sieve
  double oversizeSpecificGravity = 0.0;    // G_m, bulk specific gravity of the oversize
  std::optional<double> oversizeMoisture;  // MC_c, percent; 0 is oven-dry oversize
  std::string standard;  // "AASHTO T 99", "AASHTO T 180", "ASTM D698", "ASTM D1557"
  std::string method;    // "A" to "D"
  // For each point slot, why the technician left that point out of the fit ("mold not
  // seated"); empty for a point the fit takes. The point's weights stay in the record.
  std::array<std::string, 6> excluded = {};
  // A new entry's member goes here, with its value "not entered" as its initial value.
  std::vector<ExtensionEntry> unknown = {};

  // True when nothing is entered and nothing unknown was read: the file keeps the plain layout.
  bool Empty() const;
  bool operator==(const LabExtension&) const = default;
};

// ---------------------------------------------------------------------------------------
// The entries, one row each.

// An entry's value as it travels between the record and a file, JSON, a listing or a page
// field: a number, a text, or nothing when it is not entered.
using EntryValue = std::variant<std::monostate, double, std::string>;

// What an entry holds, and so what "not entered" is and how the block stores it.
enum class EntryType {
  kNumber,          // a number ('D') where 0 is "not entered"
  kOptionalNumber,  // a number ('D') that may be 0, and is nothing when not entered
  kText,            // a Windows-1252 text ('S') where the empty text is "not entered"
};

// How a row reaches its member of LabExtension; kStoredIn makes it from the member itself.
// A member that is an array holds one value for each test point.
struct EntryStorage {
  EntryType type;
  int count;  // of values: 1, or the number of points
  EntryValue (*get)(const LabExtension& x, int slot);
  void (*set)(LabExtension& x, int slot, const EntryValue& value);
};

namespace lab_storage {

// A member's value as an entry gives it, and an entry's value into the member.
inline EntryValue Held(double v) { return v != 0.0 ? EntryValue(v) : EntryValue(); }
inline EntryValue Held(const std::optional<double>& v) { return v ? EntryValue(*v) : EntryValue(); }
inline EntryValue Held(const std::string& v) { return v.empty() ? EntryValue() : EntryValue(v); }
inline void Hold(double& v, const EntryValue& value) {
  const double* number = std::get_if<double>(&value);
  v = number ? *number : 0.0;
}
inline void Hold(std::optional<double>& v, const EntryValue& value) {
  const double* number = std::get_if<double>(&value);
  v = number ? std::optional<double>(*number) : std::nullopt;
}
inline void Hold(std::string& v, const EntryValue& value) {
  const std::string* text = std::get_if<std::string>(&value);
  v = text ? *text : std::string();
}
constexpr EntryType TypeOf(const double*) { return EntryType::kNumber; }
constexpr EntryType TypeOf(const std::optional<double>*) { return EntryType::kOptionalNumber; }
constexpr EntryType TypeOf(const std::string*) { return EntryType::kText; }

// A member holds one value, or an array of one value per point.
template <class M>
M& At(M& m, int) {
  return m;
}
template <class T, std::size_t N>
T& At(std::array<T, N>& values, int slot) {
  return values[static_cast<std::size_t>(slot)];
}
template <class T, std::size_t N>
const T& At(const std::array<T, N>& values, int slot) {
  return values[static_cast<std::size_t>(slot)];
}
template <class M>
constexpr int CountOf(const M*) {
  return 1;
}
template <class T, std::size_t N>
constexpr int CountOf(const std::array<T, N>*) {
  return static_cast<int>(N);
}

template <auto member>
EntryValue Get(const LabExtension& x, int slot) {
  return Held(At(x.*member, slot));
}
template <auto member>
void Set(LabExtension& x, int slot, const EntryValue& value) {
  Hold(At(x.*member, slot), value);
}
template <auto member>
using Member = std::remove_reference_t<decltype(std::declval<LabExtension&>().*member)>;
template <auto member>
using Element = std::remove_cvref_t<decltype(At(std::declval<Member<member>&>(), 0))>;

}  // namespace lab_storage

// The storage of an entry kept in `member`.
template <auto member>
inline constexpr EntryStorage kStoredIn = {
    lab_storage::TypeOf(static_cast<const lab_storage::Element<member>*>(nullptr)),
    lab_storage::CountOf(static_cast<const lab_storage::Member<member>*>(nullptr)),
    &lab_storage::Get<member>, &lab_storage::Set<member>};

// The values a technician can enter in a number entry, both ends included, and the message
// for any other.
struct EntryRange {
  double min = 0.0;
  double max = 0.0;
  const char* message = nullptr;
  bool Holds(double v) const { return v >= min && v <= max; }  // never a NaN
};

// The ranges a technician can enter.
inline constexpr double kMinSpecificGravity = 2.0;
inline constexpr double kMaxSpecificGravity = 3.5;
inline constexpr const char* kSpecificGravityRange = "Enter a value between 2.0 and 3.5";
inline constexpr const char* kPercentRange = "Enter a value between 0 and 100";
inline constexpr const char* kPositiveValue = "Enter a value greater than 0";

// The page on which a technician edits the entry.
enum class EntryPage { kNone, kSoilMethod };

struct LabResults;

// The checks of the text entries: the message for a text no technician could choose, or
// the empty text.
std::string SourceProblem(const LabExtension& x, const std::string& source);
std::string StandardProblem(const LabExtension& x, const std::string& standard);
std::string MethodProblem(const LabExtension& x, const std::string& method);
std::string ExclusionProblem(const LabExtension& x, const std::string& reason);
// The report's lines that follow an entry (ReportLabLines prints them), with densities
// times `densityFactor` in `densityUnit`.
using ReportLine = std::string (*)(const LabExtension& x, int slot, const LabResults& results,
                                   double densityFactor, std::string_view densityUnit);
std::string SpecificGravityReportLine(const LabExtension& x, int slot, const LabResults& results,
                                      double densityFactor, std::string_view densityUnit);
std::string OversizeReportLine(const LabExtension& x, int slot, const LabResults& results,
                               double densityFactor, std::string_view densityUnit);
std::string ExclusionReportLine(const LabExtension& x, int slot, const LabResults& results,
                                double densityFactor, std::string_view densityUnit);

// One entry of the block.
struct LabEntry {
  // Its name in the file's block, in densora-cli's JSON and as the summary's column. An
  // entry kept for each point has "%d" where the point's number goes ("point%d.excluded").
  const char* key;
  // How listings and warnings name it ("Gs"), with "%d" as the key has it.
  const char* label;
  // How the page that edits it names its field in its messages ("Specific gravity"); the
  // label when none is given.
  const char* name = nullptr;
  const char* unit = "";  // after a number: "" or " %"
  EntryStorage storage;
  EntryRange range{};                                                       // a number's
  std::string (*check)(const LabExtension&, const std::string&) = nullptr;  // a text's
  EntryPage page = EntryPage::kNone;
  ReportLine report = nullptr;  // printed when the entry is entered
};

// The known entries in the order the file writes them and densora-cli lists them: the
// specific gravity and its source, the oversize fraction, the standard and method, then the
// points left out of the fit.
inline constexpr LabEntry kLabEntries[] = {
    {.key = "specificGravity",
     .label = "Gs",
     .name = "Specific gravity",
     .storage = kStoredIn<&LabExtension::specificGravity>,
     .range = {kMinSpecificGravity, kMaxSpecificGravity, kSpecificGravityRange},
     .page = EntryPage::kSoilMethod,
     .report = SpecificGravityReportLine},
    {.key = "specificGravitySource",
     .label = "Gs source",
     .storage = kStoredIn<&LabExtension::specificGravitySource>,
     .check = SourceProblem,
     .page = EntryPage::kSoilMethod},
    {.key = "oversizePercent",
     .label = "Oversize",
     .name = "Oversize percent retained",
     .unit = " %",
     .storage = kStoredIn<&LabExtension::oversizePercent>,
     .range = {0.0, 100.0, kPercentRange},
     .page = EntryPage::kSoilMethod,
     .report = OversizeReportLine},
    {.key = "oversizeSpecificGravity",
     .label = "Oversize Gm",
     .name = "Oversize bulk specific gravity",
     .storage = kStoredIn<&LabExtension::oversizeSpecificGravity>,
     .range = {1e-9, 1e9, kPositiveValue},
     .page = EntryPage::kSoilMethod},
    {.key = "oversizeMoisture",
     .label = "Oversize MC",
     .name = "Oversize moisture",
     .unit = " %",
     .storage = kStoredIn<&LabExtension::oversizeMoisture>,
     .range = {0.0, 100.0, kPercentRange},
     .page = EntryPage::kSoilMethod},
    {.key = "standard",
     .label = "Standard",
     .storage = kStoredIn<&LabExtension::standard>,
     .check = StandardProblem,
     .page = EntryPage::kSoilMethod},
    {.key = "method",
     .label = "Method",
     .storage = kStoredIn<&LabExtension::method>,
     .check = MethodProblem,
     .page = EntryPage::kSoilMethod},
    // Edited on the Test Data page, by its row's menu.
    {.key = "point%d.excluded",
     .label = "Point %d excluded",
     .storage = kStoredIn<&LabExtension::excluded>,
     .check = ExclusionProblem,
     .report = ExclusionReportLine},
};

// A number is held to its range; a text may have a check.
static_assert([] {
  for (const LabEntry& e : kLabEntries) {
    if ((e.storage.type == EntryType::kText) != (e.range.message == nullptr)) return false;
  }
  return true;
}());

// One value of the block: an entry's, or one point's value of an entry kept for each point.
struct LabField {
  const LabEntry* entry;
  int slot;           // 0, or the point's slot (0 to 5)
  std::string key;    // "specificGravity", "point3.excluded"
  std::string label;  // "Gs", "Point 3 excluded"

  EntryType Type() const { return entry->storage.type; }
  // Kept for each point: densora-cli's JSON gives it in the point's object, under the key's
  // part after "point%d." ("excluded"), and the summary, a row per test, leaves it out.
  bool PerPoint() const { return entry->storage.count > 1; }
  std::string_view PointKey() const;
  EntryValue Get(const LabExtension& x) const { return entry->storage.get(x, slot); }
  void Set(LabExtension& x, const EntryValue& value) const { entry->storage.set(x, slot, value); }
};

// The fields of kLabEntries in its order, an entry kept for each point once for each point
// in turn: the order in which the file writes them, densora-cli lists them and the summary
// gives their columns.
const std::vector<LabField>& LabFields();
// The field named `key`, or nullptr.
const LabField* FindLabField(std::string_view key);
// A field's value as the listings give it (densora-cli's JSON, the summary), so that every
// record has one shape: a number not entered is 0 and a text not entered is empty, but a
// number that may be 0 is nothing (null) when not entered.
EntryValue ListedValue(const LabField& field, const LabExtension& x);

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
