#include "cli/cli_json.h"

#include <array>
#include <cmath>

#include "cli/cli.h"
#include "framework/codepage.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"
#include "model/lab_results.h"
#include "model/long_test.h"

namespace cli {
namespace {

using framework::Cp1252ToUtf8;
using nlohmann::json;

// A number of `T` and its JSON key.
template <class T>
struct NumberKey {
  const char* key;
  double T::*member;
};

// The record's numbers that JSON carries both ways: the mold's, then the long test's.
constexpr std::array<NumberKey<CompactionRecord>, 4> kRecordNumbers = {{
    {"moldWeight", &CompactionRecord::m_dMoldWeight},
    {"moldVolume", &CompactionRecord::m_dMoldVolume},
    {"longTestDensity", &CompactionRecord::m_dLongTestDensity},
    {"longTestMoisture", &CompactionRecord::m_dLongTestMoisture},
}};

// A test point's three weights in grams.
constexpr std::array<NumberKey<TestPoint>, 3> kPointWeights = {{
    {"moldSoil", &TestPoint::m_dMoldSoil},
    {"wetSample", &TestPoint::m_dWetSample},
    {"drySample", &TestPoint::m_dDrySample},
}};

// A number JSON can hold; null for a NaN or an infinity.
json Number(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }

// An entry's value as the listings give it (ListedValue), or null.
json ListedJson(const LabField& f, const LabExtension& x) {
  const EntryValue v = ListedValue(f, x);
  if (const auto* number = std::get_if<double>(&v)) return Number(*number);
  if (const auto* text = std::get_if<std::string>(&v)) return Cp1252ToUtf8(*text);
  return nullptr;
}

// A point's weights, the entries kept for it under their names within the point (its
// "excluded": the reason it was left out of the fit, or null), and, when it is present, its
// moisture (%) and unit weights in the document's units.
json PointJson(int slot, const CompactionRecord& r, double factor) {
  const TestPoint& p = r.Point(slot);
  json jp;
  for (const auto& w : kPointWeights) jp[w.key] = Number(p.*w.member);
  for (const LabField& f : LabFields()) {
    if (!f.PerPoint() || f.slot != slot) continue;
    json value = ListedJson(f, r.m_ext);
    // Not entered is null here, whatever its type: the point is simply fitted.
    jp[std::string(f.PointKey())] = value == json("") ? json(nullptr) : value;
  }
  jp["present"] = !p.IsEmpty();
  if (!p.IsEmpty()) {
    jp["moisture"] = Number(100.0 * p.MoistureContent());
    jp["wetUnitWeight"] = Number(r.m_dMoldVolume == 0.0 ? 0.0 : p.WetUnitWeight() * factor);
    jp["dryUnitWeight"] = Number(p.DryUnitWeight() * factor);
  }
  return jp;
}

json FitJson(const CompactionRecord& r, const Fitted& fit) {
  return {{"maxDryDensity", Number(r.m_dMaxDryDensity)},
          {"optimumMoisture", Number(r.m_dOptimumMoisture)},
          {"status", fit.status},
          {"message", fit.message},
          {"xAxisMin", fit.xMin},
          {"xAxisMax", fit.xMax},
          {"yAxisMin", fit.yMin},
          {"yAxisMax", fit.yMax}};
}

// How well the fit agrees with the laboratory's long test; the long-test density is
// stored in pcf and rated in the document's units.
json RatingJson(const CDensoraDoc& doc) {
  const CompactionRecord& r = doc.m_record;
  const double longTestDensity = r.m_dLongTestDensity * doc.DensityFactor();
  return {{"density", Cp1252ToUtf8(RateLongTest(doc, r.m_dMaxDryDensity, longTestDensity, true))},
          {"moisture",
           Cp1252ToUtf8(RateLongTest(doc, r.m_dOptimumMoisture, r.m_dLongTestMoisture, false))}};
}

// The laboratory's entries under their file keys, each always there, as ListedValue gives
// them: 0 or "" when not entered, null for an entry that may be 0 (the oversize moisture).
// An entry kept for each point is in the points' objects instead.
void AddLabEntries(json& j, const LabExtension& x) {
  for (const LabField& f : LabFields()) {
    if (!f.PerPoint()) j[f.key] = ListedJson(f, x);
  }
}

// Each relative-compaction percentage with its density in the document's units and its
// moisture window, null for an end beyond the points; empty when the fit gave no maximum.
json RelativeCompactionJson(const Fitted& fit) {
  json windows = json::array();
  for (const CompactionWindow& w : fit.relativeCompaction) {
    windows.push_back({{"percent", Number(w.percent)},
                       {"density", Number(w.density)},
                       {"moistureFrom", w.moistureFrom ? Number(*w.moistureFrom) : json(nullptr)},
                       {"moistureTo", w.moistureTo ? Number(*w.moistureTo) : json(nullptr)}});
  }
  return windows;
}

// What the entries make of the test: each present point's degree of saturation (percent;
// null without Gs, and null above Gs·γw, where the checks say the point lies above the
// zero-air-voids curve), the zero-air-voids curve at each whole percent of the chart's moisture
// axis, the oversize-corrected results and the warnings. Unit weights are in the document's
// units; the fit's maximum is in them too and is rated in pcf.
void AddLabResults(json& j, const CDensoraDoc& doc, const Fitted& fit) {
  const CompactionRecord& r = doc.m_record;
  const double factor = doc.DensityFactor();
  const LabResults lab = EvaluateLab(doc);
  for (std::size_t i = 0; i < lab.rows.size(); ++i) {
    const auto& s = lab.saturation[i];
    j["points"][static_cast<std::size_t>(lab.rows[i] - 1)]["saturation"] =
        s ? Number(*s) : json(nullptr);
  }
  json zav = json::array();
  if (!lab.rows.empty()) {
    for (const CurveSample& c :
         ZeroAirVoidsCurve(r.m_ext.specificGravity, fit.xMin, fit.xMax, 1.0, factor)) {
      zav.push_back({{"moisture", Number(c.moisture)}, {"dryUnitWeight", Number(c.unitWeight)}});
    }
  }
  j["zeroAirVoids"] = zav;
  json corrected = nullptr;
  if (lab.corrected) {
    const auto& mc = lab.corrected->optimumMoisture;
    corrected = {{"maxDryDensity", Number(lab.corrected->maxDryDensityPcf * factor)},
                 {"optimumMoisture", mc ? Number(*mc) : json(nullptr)}};
  }
  j["corrected"] = corrected;
  json checks = json::array();
  for (const std::string& c : lab.checks) checks.push_back(Cp1252ToUtf8(c));
  j["checks"] = checks;
}

bool GetText(const json& j, const char* key, std::string& target, std::string& error) {
  if (!j.contains(key)) return true;
  const json& v = j[key];
  if (!v.is_string()) {
    error = std::string("\"") + key + "\" must be a text";
    return false;
  }
  std::string converted;
  if (!framework::Utf8ToCp1252(v.get<std::string>(), converted)) {
    error = std::string("\"") + key + "\" holds a character that a compaction file cannot store";
    return false;
  }
  target = converted;
  return true;
}

bool GetNumber(const json& j, const char* key, double& target, std::string& error) {
  if (!j.contains(key) || j[key].is_null()) return true;
  if (!j[key].is_number()) {
    error = std::string("\"") + key + "\" must be a number";
    return false;
  }
  target = j[key].get<double>();
  return true;
}

// The record's texts and numbers from `j`, in the table's order: the first bad key is the
// one reported.
bool RecordValuesFromJson(const json& j, CompactionRecord& r, std::string& error) {
  for (const RecordText& text : kRecordTexts) {
    if (!GetText(j, text.key, r.*text.member, error)) return false;
  }
  for (const auto& number : kRecordNumbers) {
    if (!GetNumber(j, number.key, r.*number.member, error)) return false;
  }
  return true;
}

// The entry `f` from `j` under `key`, when `j` has it; null is "not entered".
bool LabEntryFromJson(const json& j, const LabField& f, const char* key, LabExtension& x,
                      std::string& error) {
  if (!j.contains(key)) return true;
  EntryValue v;  // null: not entered
  if (f.Type() == EntryType::kText && !j[key].is_null()) {
    std::string text;
    if (!GetText(j, key, text, error)) return false;
    v = std::move(text);
  } else if (!j[key].is_null()) {
    double number = 0.0;
    if (!GetNumber(j, key, number, error)) return false;
    v = number;
  }
  f.Set(x, v);
  return true;
}

// The laboratory's entries from `j`; those kept for each point come with the points.
bool LabEntriesFromJson(const json& j, LabExtension& x, std::string& error) {
  for (const LabField& f : LabFields()) {
    if (!f.PerPoint() && !LabEntryFromJson(j, f, f.key.c_str(), x, error)) return false;
  }
  return true;
}

// Whether a technician could have entered the record's entries: an impossible one is refused
// with the message the page gives, after its key.
bool LabEntriesPossible(const LabExtension& x, std::string& error) {
  if (const auto problem = FindExtensionProblem(x)) {
    error = "\"" + problem->key + "\": " + problem->message;
    return false;
  }
  return true;
}

bool PointsFromJson(const json& pts, CompactionRecord& r, std::string& error) {
  if (!pts.is_array() || pts.size() > static_cast<std::size_t>(kPointSlots)) {
    error = "\"points\" must be a list of at most six points";
    return false;
  }
  for (std::size_t i = 0; i < pts.size(); ++i) {
    if (!pts[i].is_object()) {
      error = "each point must be a JSON object";
      return false;
    }
    TestPoint& p = r.Point(static_cast<int>(i));
    for (const auto& w : kPointWeights) {
      if (!GetNumber(pts[i], w.key, p.*w.member, error)) return false;
    }
    for (const LabField& f : LabFields()) {
      if (!f.PerPoint() || f.slot != static_cast<int>(i)) continue;
      const std::string key(f.PointKey());
      if (!LabEntryFromJson(pts[i], f, key.c_str(), r.m_ext, error)) return false;
    }
  }
  return true;
}

}  // namespace

Fitted FitRecord(CDensoraDoc& doc) {
  CDensityCurve curve(doc);
  curve.FitRecord();
  Fitted fitted;
  fitted.status = curve.m_nStatus;
  fitted.message = curve.m_strMessages[static_cast<std::size_t>(curve.m_nStatus)];
  fitted.xMin = curve.m_nXAxisMin;
  fitted.xMax = curve.m_nXAxisMax;
  fitted.yMin = curve.m_nYAxisMin;
  fitted.yMax = curve.m_nYAxisMax;
  fitted.relativeCompaction = RelativeCompaction(curve);
  return fitted;
}

json BuildJson(CDensoraDoc& doc, const std::string& file, const Fitted& fit) {
  const CompactionRecord& r = doc.m_record;
  json j;
  j["file"] = file;
  j["version"] = r.m_nVersion;
  for (const RecordText& text : kRecordTexts) j[text.key] = Cp1252ToUtf8(r.*text.member);
  for (const auto& number : kRecordNumbers) j[number.key] = Number(r.*number.member);
  j["pointCount"] = r.m_nPointCount;
  json points = json::array();
  for (int slot = 0; slot < kPointSlots; ++slot) {
    points.push_back(PointJson(slot, r, doc.DensityFactor()));
  }
  j["points"] = points;
  j["units"] = doc.m_nUnits == kMetric ? "Metric" : "English";
  j["fit"] = FitJson(r, fit);
  j["relativeCompaction"] = RelativeCompactionJson(fit);
  j["rating"] = RatingJson(doc);
  AddLabEntries(j, r.m_ext);
  AddLabResults(j, doc, fit);
  return j;
}

std::string Dump(const json& j) { return j.dump(2, ' ', false, json::error_handler_t::replace); }

json RecordToJson(CDensoraDoc& doc, const std::string& file) {
  return BuildJson(doc, file, FitRecord(doc));
}

bool RecordFromJson(const json& j, CDensoraDoc& doc, std::string& error) {
  if (!j.is_object()) {
    error = "the record must be a JSON object";
    return false;
  }
  if (!RecordValuesFromJson(j, doc.m_record, error)) return false;
  if (!LabEntriesFromJson(j, doc.m_record.m_ext, error)) return false;
  if (j.contains("points") && !PointsFromJson(j["points"], doc.m_record, error)) return false;
  return LabEntriesPossible(doc.m_record.m_ext, error);
}

}  // namespace cli
