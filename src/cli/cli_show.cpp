// densora-cli show: each file's record, points and fit, as text or as JSON.
#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_commands.h"
#include "framework/codepage.h"
#include "framework/text_format.h"
#include "model/compaction_record.h"
#include "model/densora_doc.h"
#include "model/lab_results.h"
#include "model/relative_compaction.h"

namespace cli {
namespace {

using nlohmann::json;

constexpr CommandInfo kShow{.name = "show",
                            .bit = kShowCommand,
                            .input = "FILE.lng",
                            .manyInputs = true,
                            .noInput = "no file given"};

// The listing's labels end in a colon, and their values start in one column.
constexpr std::size_t kValueColumn = 13;

std::string Label(const std::string& label) {
  std::string text = label + ':';
  text.resize(std::max(text.size() + 1, kValueColumn), ' ');
  return text;
}

// A number in `format`, or "-" when the record holds none that can be shown.
std::string Num(const json& v, const char* format) {
  return v.is_number() ? framework::StrFormat(format, v.get<double>()) : std::string("-");
}

// Whether the record holds a specific gravity: its points then have a degree of saturation.
bool HasSpecificGravity(const json& j) {
  return !j["specificGravity"].is_number() || j["specificGravity"].get<double>() != 0.0;
}

// A line for each entry the technician made, labelled as the checks name it, a number
// followed by its unit; a file without them lists as it always did.
void PrintEntries(std::ostream& out, const LabExtension& x) {
  for (const LabField& f : LabFields()) {
    const EntryValue v = f.Get(x);
    if (const auto* text = std::get_if<std::string>(&v)) {
      out << Label(f.label) << framework::Cp1252ToUtf8(*text) << '\n';
    } else if (const auto* number = std::get_if<double>(&v)) {
      out << Label(f.label) << Num(std::isfinite(*number) ? json(*number) : json(), "%.15g")
          << f.entry->unit << '\n';
    }
  }
}

void PrintRecord(std::ostream& out, const json& j, const LabExtension& x) {
  out << Label("File") << j["file"].get<std::string>() << '\n'
      << Label("Version") << j["version"].get<int>() << '\n';
  for (const RecordText& text : kRecordTexts) {
    out << Label(text.label) << j[text.key].get<std::string>() << '\n';
  }
  out << Label("Mold weight") << Num(j["moldWeight"], "%.15g") << " g\n"
      << Label("Mold volume") << Num(j["moldVolume"], "%.15g") << " ft\xC2\xB3\n";
  PrintEntries(out, x);
  out << Label("Points") << j["pointCount"].get<int>() << " present\n";
}

// Each slot's degree of saturation as the listing shows it ("93.4", "> 100"); "-" for a
// present point without one.
std::vector<std::string> SaturationColumn(const LabResults& lab) {
  std::vector<std::string> column(kPointSlots, "-");
  for (std::size_t i = 0; i < lab.rows.size(); ++i) {
    if (const auto& s = lab.saturation[i]) {
      column[static_cast<std::size_t>(lab.rows[i] - 1)] = SaturationText(*s);
    }
  }
  return column;
}

// The points' table; with a specific gravity, each present point's degree of saturation too,
// from `saturation` (one per slot; empty without a specific gravity).
void PrintPoints(std::ostream& out, const json& points, const char* unit,
                 const std::vector<std::string>& saturation) {
  out << "  Slot   Mold+Soil (g)   Wet sample (g)   Dry sample (g)   Moisture (%)   Wet unit wt ("
      << unit << ")   Dry unit wt (" << unit << ')'
      << (saturation.empty() ? "" : "   Saturation (%)") << '\n';
  int slot = 1;
  for (const auto& p : points) {
    std::string line;
    if (p["present"].get<bool>()) {
      line = framework::StrFormat(
          "  %-4d %15s %16s %16s %14s %17s %17s", slot, Num(p["moldSoil"], "%.1f").c_str(),
          Num(p["wetSample"], "%.1f").c_str(), Num(p["drySample"], "%.1f").c_str(),
          Num(p["moisture"], "%.2f").c_str(), Num(p["wetUnitWeight"], "%.1f").c_str(),
          Num(p["dryUnitWeight"], "%.1f").c_str());
      if (!saturation.empty()) {
        line +=
            framework::StrFormat(" %16s", saturation[static_cast<std::size_t>(slot - 1)].c_str());
      }
    } else {
      line = framework::StrFormat("  %-4d (empty)", slot);
    }
    out << line << '\n';
    ++slot;
  }
}

void PrintResults(std::ostream& out, const json& j, const char* unit) {
  const json& fit = j["fit"];
  out << Label("Long test") << "maximum dry density " << Num(j["longTestDensity"], "%.2f")
      << " pcf, optimum moisture " << Num(j["longTestMoisture"], "%.2f") << " %\n"
      << Label("Fit") << "maximum dry density " << Num(fit["maxDryDensity"], "%.3f") << ' ' << unit
      << ", optimum moisture " << Num(fit["optimumMoisture"], "%.1f") << " %\n"
      << Label("Status") << fit["status"].get<int>();
  if (!fit["message"].get<std::string>().empty()) out << "  " << fit["message"].get<std::string>();
  out << '\n'
      << Label("Axes") << "moisture " << fit["xAxisMin"].get<int>() << " to "
      << fit["xAxisMax"].get<int>() << " %, dry unit weight " << fit["yAxisMin"].get<int>()
      << " to " << fit["yAxisMax"].get<int>() << ' ' << unit << '\n'
      << Label("Rating") << "density:  " << j["rating"]["density"].get<std::string>() << '\n'
      << std::string(kValueColumn, ' ')
      << "moisture: " << j["rating"]["moisture"].get<std::string>() << '\n';
}

// The oversize-corrected results and the warnings, each only when there are any.
void PrintLabResults(std::ostream& out, const json& j, const char* unit) {
  const json& corrected = j["corrected"];
  if (corrected.is_object()) {
    out << Label("Corrected") << "maximum dry density " << Num(corrected["maxDryDensity"], "%.3f")
        << ' ' << unit << ", optimum moisture " << Num(corrected["optimumMoisture"], "%.1f")
        << " %\n";
  }
  const char* label = "Checks";
  for (const json& check : j["checks"]) {
    out << (label != nullptr ? Label(label) : std::string(kValueColumn, ' '))
        << check.get<std::string>() << '\n';
    label = nullptr;
  }
}

// The relative-compaction windows, one line each, as the report prints them.
void PrintCompaction(std::ostream& out, const CDensoraDoc& doc, const Fitted& fit) {
  const char* label = "Compaction";
  for (const CompactionWindow& w : fit.relativeCompaction) {
    out << (label != nullptr ? Label(label) : std::string(kValueColumn, ' '))
        << framework::Cp1252ToUtf8(RelativeCompactionLine(w, doc.DensityUnit())) << '\n';
    label = nullptr;
  }
}

// The text listing of one file's JSON object, its laboratory entries and their results.
void PrintText(std::ostream& out, const json& j, const CDensoraDoc& doc, const Fitted& fit) {
  const char* unit = j["units"] == "Metric" ? "kg/m\xC2\xB3" : "pcf";
  const LabResults lab = EvaluateLab(doc);
  PrintRecord(out, j, doc.m_record.m_ext);
  PrintPoints(out, j["points"], unit,
              HasSpecificGravity(j) ? SaturationColumn(lab) : std::vector<std::string>());
  PrintResults(out, j, unit);
  PrintCompaction(out, doc, fit);
  PrintLabResults(out, j, unit);
}

// `text` with every line indented by two blanks, as an element of an array is. A JSON text
// holds a line break only between its values, never inside a string.
void AppendIndented(const std::string& text, std::string& out) {
  out += "  ";
  for (const char c : text) {
    out += c;
    if (c == '\n') out += "  ";
  }
}

int Show(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
  Arguments args;
  if (ParseArguments(kShow, argv, args, err) != kExitOk) return kExitUsage;
  // One file gives its object; several give an array, even when some of them were refused.
  // The array is written an element at a time, as the library would indent it whole.
  const bool array = args.json && args.inputs.size() > 1;
  int rc = kExitOk;
  const std::vector<double> percents = CompactionPercents(args);
  std::size_t shown = 0;
  std::string text;
  for (const auto& file : args.inputs) {
    // Each file is printed as soon as it is read, between the messages of others, and let go
    // of: any number of files is shown in the memory of one.
    CDensoraDoc doc;
    doc.m_nUnits = args.Units();
    doc.m_dRelativeCompaction = percents;
    Fitted fit;
    if (!OpenFit(doc, file, fit, err)) {
      rc = kExitFileFailed;
      continue;
    }
    const json j = BuildJson(doc, file, fit);
    if (args.json) {
      text.clear();
      if (array) {
        text += shown == 0 ? "[\n" : ",\n";
        AppendIndented(Dump(j), text);
      } else {
        text += Dump(j);
        text += '\n';
      }
      out << text;
    } else {
      if (shown > 0) out << '\n';
      PrintText(out, j, doc, fit);
    }
    ++shown;
  }
  if (array) out << (shown == 0 ? "[]\n" : "\n]\n");
  return rc;
}

}  // namespace

void RegisterShow() { RegisterCommand(kShow, Show); }

}  // namespace cli
