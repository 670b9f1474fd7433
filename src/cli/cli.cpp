#include "cli/cli.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>

#include "file/document_commands.h"
#include "file/lng_format.h"
#include "framework/file_io.h"
#include "framework/codepage.h"
#include "framework/prompt.h"
#include "model/densora_doc.h"
#include "model/density_curve.h"
#include "model/long_test.h"

namespace cli {
namespace {

using nlohmann::json;
using framework::Cp1252ToUtf8;

struct Entry {
  std::string usage;
  Command command;
};

std::map<std::string, Entry>& Commands() {
  static std::map<std::string, Entry> commands;
  return commands;
}

// Writes the prompt's messages to the tool's error stream.
class StreamPrompt : public framework::Prompt {
 public:
  explicit StreamPrompt(std::ostream& err) : m_err(err) {}
  framework::MsgAnswer Show(const std::string& text, framework::MsgButtons buttons,
                            framework::MsgIcon) override {
    m_err << m_prefix << text << '\n';
    return buttons == framework::MsgButtons::Ok ? framework::MsgAnswer::Ok
                                                : framework::MsgAnswer::Cancel;
  }
  std::string m_prefix;

 private:
  std::ostream& m_err;
};

class PromptScope {
 public:
  explicit PromptScope(framework::Prompt* p) { framework::SetPrompt(p); }
  ~PromptScope() { framework::SetPrompt(nullptr); }
};

json Number(double v) { return std::isfinite(v) ? json(v) : json(nullptr); }

struct Fitted {
  int status = 0;
  std::string message;
  int xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// What the curve decided when it fitted the document's record.
Fitted Fit(CDensoraDoc& doc) {
  CDensityCurve curve(doc);
  curve.FitRecord();
  Fitted fitted;
  fitted.status = curve.m_nStatus;
  fitted.message = curve.m_strMessages[static_cast<std::size_t>(curve.m_nStatus)];
  fitted.xMin = curve.m_nXAxisMin;
  fitted.xMax = curve.m_nXAxisMax;
  fitted.yMin = curve.m_nYAxisMin;
  fitted.yMax = curve.m_nYAxisMax;
  return fitted;
}

// The open and refit, keeping what the curve decided. The reader's messages go to `err`
// after the file's name.
bool OpenFit(CDensoraDoc& doc, const std::string& path, Fitted& fitted, std::ostream& err) {
  StreamPrompt prompt(err);
  prompt.m_prefix = path + ": ";
  PromptScope scope(&prompt);
  if (!doc.OpenFile(path)) return false;
  fitted = Fit(doc);
  return true;
}

json BuildJson(CDensoraDoc& doc, const std::string& file, const Fitted& fit) {
  const CompactionRecord& r = doc.m_record;
  const double f = doc.DensityFactor();
  json j;
  j["file"] = file;
  j["version"] = r.m_nVersion;
  j["project"] = Cp1252ToUtf8(r.m_strProject);
  j["tipNo"] = Cp1252ToUtf8(r.m_strTipNo);
  j["county"] = Cp1252ToUtf8(r.m_strCounty);
  j["station"] = Cp1252ToUtf8(r.m_strStation);
  j["testNo"] = Cp1252ToUtf8(r.m_strTestNo);
  j["date"] = Cp1252ToUtf8(r.m_strDate);
  j["testType"] = Cp1252ToUtf8(r.m_strTestType);
  j["testedBy"] = Cp1252ToUtf8(r.m_strTestedBy);
  j["comments"] = Cp1252ToUtf8(r.m_strComments);
  j["moldWeight"] = Number(r.m_dMoldWeight);
  j["moldVolume"] = Number(r.m_dMoldVolume);
  j["pointCount"] = r.m_nPointCount;
  json points = json::array();
  for (const auto& p : r.m_pPoints) {
    json jp;
    jp["moldSoil"] = Number(p->m_dMoldSoil);
    jp["wetSample"] = Number(p->m_dWetSample);
    jp["drySample"] = Number(p->m_dDrySample);
    jp["present"] = !p->IsEmpty();
    if (!p->IsEmpty()) {
      jp["moisture"] = Number(100.0 * p->MoistureContent());
      jp["wetUnitWeight"] = Number(r.m_dMoldVolume == 0.0 ? 0.0 : p->WetUnitWeight() * f);
      jp["dryUnitWeight"] = Number(p->DryUnitWeight() * f);
    }
    points.push_back(jp);
  }
  j["points"] = points;
  j["longTestDensity"] = Number(r.m_dLongTestDensity);
  j["longTestMoisture"] = Number(r.m_dLongTestMoisture);
  j["units"] = doc.m_nUnits == kMetric ? "Metric" : "English";
  j["fit"] = {{"maxDryDensity", Number(r.m_dMaxDryDensity)},
              {"optimumMoisture", Number(r.m_dOptimumMoisture)},
              {"status", fit.status},
              {"message", fit.message},
              {"xAxisMin", fit.xMin},
              {"xAxisMax", fit.xMax},
              {"yAxisMin", fit.yMin},
              {"yAxisMax", fit.yMax}};
  j["rating"] = {
      {"density", Cp1252ToUtf8(RateLongTest(doc, r.m_dMaxDryDensity, r.m_dLongTestDensity * f, true))},
      {"moisture", Cp1252ToUtf8(RateLongTest(doc, r.m_dOptimumMoisture, r.m_dLongTestMoisture, false))}};
  return j;
}

// The JSON text, with each byte of a text that is not UTF-8 (a file name is whatever bytes the
// file system holds) shown as U+FFFD, so that one odd name cannot cost the other files' output.
std::string Dump(const json& j) { return j.dump(2, ' ', false, json::error_handler_t::replace); }

std::string Fmt(const char* format, double v) {
  char buf[400];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

void PrintText(std::ostream& out, const json& j) {
  auto s = [&](const char* k) { return j[k].get<std::string>(); };
  auto d = [&](const json& v, const char* format) {
    return v.is_number() ? Fmt(format, v.get<double>()) : std::string("-");
  };
  const bool metric = j["units"] == "Metric";
  const char* unit = metric ? "kg/m\xC2\xB3" : "pcf";
  out << "File:        " << s("file") << '\n'
      << "Version:     " << j["version"].get<int>() << '\n'
      << "Project:     " << s("project") << '\n'
      << "T.I.P. No.:  " << s("tipNo") << '\n'
      << "County:      " << s("county") << '\n'
      << "Station:     " << s("station") << '\n'
      << "Test No.:    " << s("testNo") << '\n'
      << "Date:        " << s("date") << '\n'
      << "Test Type:   " << s("testType") << '\n'
      << "Tested by:   " << s("testedBy") << '\n'
      << "Comments:    " << s("comments") << '\n'
      << "Mold weight: " << d(j["moldWeight"], "%.15g") << " g\n"
      << "Mold volume: " << d(j["moldVolume"], "%.15g") << " ft\xC2\xB3\n"
      << "Points:      " << j["pointCount"].get<int>() << " present\n";
  out << "  Slot   Mold+Soil (g)   Wet sample (g)   Dry sample (g)   Moisture (%)   Wet unit wt ("
      << unit << ")   Dry unit wt (" << unit << ")\n";
  int slot = 1;
  for (const auto& p : j["points"]) {
    char line[600];
    if (p["present"].get<bool>()) {
      std::snprintf(line, sizeof line, "  %-4d %15s %16s %16s %14s %17s %17s", slot,
                    d(p["moldSoil"], "%.1f").c_str(), d(p["wetSample"], "%.1f").c_str(),
                    d(p["drySample"], "%.1f").c_str(), d(p["moisture"], "%.2f").c_str(),
                    d(p["wetUnitWeight"], "%.1f").c_str(), d(p["dryUnitWeight"], "%.1f").c_str());
    } else {
      std::snprintf(line, sizeof line, "  %-4d (empty)", slot);
    }
    out << line << '\n';
    ++slot;
  }
  const json& fit = j["fit"];
  out << "Long test:   maximum dry density " << d(j["longTestDensity"], "%.2f")
      << " pcf, optimum moisture " << d(j["longTestMoisture"], "%.2f") << " %\n"
      << "Fit:         maximum dry density " << d(fit["maxDryDensity"], "%.3f") << ' ' << unit
      << ", optimum moisture " << d(fit["optimumMoisture"], "%.1f") << " %\n"
      << "Status:      " << fit["status"].get<int>();
  if (!fit["message"].get<std::string>().empty()) out << "  " << fit["message"].get<std::string>();
  out << '\n'
      << "Axes:        moisture " << fit["xAxisMin"].get<int>() << " to " << fit["xAxisMax"].get<int>()
      << " %, dry unit weight " << fit["yAxisMin"].get<int>() << " to " << fit["yAxisMax"].get<int>()
      << ' ' << unit << '\n'
      << "Rating:      density:  " << j["rating"]["density"].get<std::string>() << '\n'
      << "             moisture: " << j["rating"]["moisture"].get<std::string>() << '\n';
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool metric = false, asJson = false;
  std::vector<std::string> files;
  for (const auto& a : args) {
    if (a == "--metric") {
      metric = true;
    } else if (a == "--json") {
      asJson = true;
    } else if (a.size() > 1 && a[0] == '-') {
      err << "densora-cli show: unknown option " << a << '\n';
      return kExitUsage;
    } else {
      files.push_back(a);
    }
  }
  if (files.empty()) {
    err << "densora-cli show: no file given\nusage: densora-cli show FILE.lng... [--metric] [--json]\n";
    return kExitUsage;
  }
  int rc = kExitOk;
  json all = json::array();
  bool first = true;
  for (const auto& file : files) {
    CDensoraDoc doc;
    doc.m_nUnits = metric ? kMetric : kEnglish;
    Fitted fit;
    if (!OpenFit(doc, file, fit, err)) {
      rc = kExitFileFailed;
      continue;
    }
    json j = BuildJson(doc, file, fit);
    if (asJson) {
      all.push_back(j);
    } else {
      if (!first) out << '\n';
      PrintText(out, j);
      first = false;
    }
  }
  if (asJson) {
    if (files.size() == 1) {
      if (!all.empty()) out << Dump(all[0]) << '\n';
    } else {
      out << Dump(all) << '\n';
    }
  }
  return rc;
}

// A record file is a few kilobytes; more than this is not a record, and is refused before
// it is read and parsed whole.
constexpr std::size_t kMaxRecordBytes = 1 << 20;
// A record nests four levels at most (a list of records, a record, its points, a point).
// The parsed value is copied recursively, so deeper nesting is refused before parsing,
// long before it could exhaust the stack.
constexpr int kMaxJsonDepth = 64;

std::string ReadAtMost(std::istream& in, std::size_t limit) {
  std::string text;
  char buf[65536];
  while (text.size() < limit && in.read(buf, sizeof buf).gcount() > 0) {
    text.append(buf, static_cast<std::size_t>(in.gcount()));
  }
  return text;
}

// How messages name the record's input ("-" is standard input).
std::string InputName(const std::string& input) {
  return input == "-" ? "standard input" : input;
}

// The text of `input`, or false with the message written.
bool ReadRecordText(const std::string& input, std::string& text, std::ostream& err) {
  using framework::CFileException;
  if (input == "-") {
    text = ReadAtMost(std::cin, kMaxRecordBytes + 1);
    if (text.size() <= kMaxRecordBytes) return true;
    err << CFileException(CFileException::tooLarge, InputName(input)).ErrorText() << '\n';
    return false;
  }
  try {
    const auto bytes = framework::ReadWholeFile(input, kMaxRecordBytes);
    text.assign(bytes.begin(), bytes.end());
    return true;
  } catch (const CFileException& e) {
    err << e.ErrorText() << '\n';
    return false;
  }
}

// Whether arrays and objects in `text` nest deeper than `limit`, counting brackets outside
// strings as the parser reads them. The parser stops at the first bracket that closes
// nothing, so nothing after it is counted.
bool NestsDeeperThan(const std::string& text, int limit) {
  int depth = 0;
  bool inString = false, escaped = false;
  for (const char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return true;
    } else if ((c == ']' || c == '}') && --depth < 0) {
      return false;
    }
  }
  return false;
}

bool ReadRecordJson(const std::string& input, json& j, std::ostream& err) {
  std::string text;
  if (!ReadRecordText(input, text, err)) return false;
  if (NestsDeeperThan(text, kMaxJsonDepth)) {
    err << InputName(input) << ": JSON nested deeper than " << kMaxJsonDepth << " levels\n";
    return false;
  }
  try {
    j = json::parse(text);
  } catch (const json::exception& e) {
    err << InputName(input) << ": not a JSON record: " << e.what() << '\n';
    return false;
  }
  return true;
}

int Write(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool metric = false;
  std::string input, output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--metric") {
      metric = true;
    } else if (a == "-o" || a == "--output") {
      if (i + 1 >= args.size()) {
        err << "densora-cli write: -o needs a file name\n";
        return kExitUsage;
      }
      output = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      err << "densora-cli write: unknown option " << a << '\n';
      return kExitUsage;
    } else if (input.empty()) {
      input = a;
    } else {
      err << "densora-cli write: only one record file is read\n";
      return kExitUsage;
    }
  }
  if (input.empty() || output.empty()) {
    err << "usage: densora-cli write RECORD.json -o FILE.lng [--metric]\n";
    return kExitUsage;
  }
  json j;
  if (!ReadRecordJson(input, j, err)) return kExitFileFailed;
  if (j.is_array() && j.size() == 1) j = j[0];
  CDensoraDoc doc;
  doc.m_nUnits = metric ? kMetric : kEnglish;
  std::string error;
  if (!RecordFromJson(j, doc, error)) {
    err << InputName(input) << ": " << error << '\n';
    return kExitFileFailed;
  }
  // The program's own store step; a failure's message names the output already.
  CDensityCurve curve(doc);
  StreamPrompt prompt(err);
  PromptScope scope(&prompt);
  (void)out;
  return StoreRecord(doc, curve, output) ? kExitOk : kExitFileFailed;
}

void PrintHelp(std::ostream& out) {
  out << "densora-cli: reads, writes and draws moisture-density (compaction) test files.\n\n"
         "usage:\n";
  for (const auto& [name, entry] : Commands()) out << "  densora-cli " << entry.usage << '\n';
  out << "  densora-cli --help | --version\n\n"
         "Units are English (pcf) unless --metric (kg/m\xC2\xB3) is given; files always hold pcf.\n"
         "Exit codes: 0 success, 1 a file could not be read or written, 2 bad usage.\n";
}

void RegisterBuiltins() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterCommand("show", "show FILE.lng... [--metric] [--json]", Show);
  RegisterCommand("write", "write RECORD.json -o FILE.lng [--metric]", Write);
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

}  // namespace

void RegisterCommand(const std::string& name, const std::string& usage, Command command) {
  Commands()[name] = Entry{usage, std::move(command)};
}

bool OpenAndFit(CDensoraDoc& doc, const std::string& path, std::ostream& err) {
  Fitted fit;
  return OpenFit(doc, path, fit, err);
}

int WriteOutput(const std::string& path, const std::vector<unsigned char>& bytes,
                std::ostream& err) {
  try {
    framework::WriteFileAtomically(path, bytes);
  } catch (const framework::CFileException& e) {
    err << e.ErrorText() << '\n';
    return kExitFileFailed;
  }
  return kExitOk;
}

nlohmann::json RecordToJson(CDensoraDoc& doc, const std::string& file) {
  return BuildJson(doc, file, Fit(doc));
}

bool RecordFromJson(const nlohmann::json& j, CDensoraDoc& doc, std::string& error) {
  if (!j.is_object()) {
    error = "the record must be a JSON object";
    return false;
  }
  CompactionRecord& r = doc.m_record;
  if (!(GetText(j, "project", r.m_strProject, error) && GetText(j, "tipNo", r.m_strTipNo, error) &&
        GetText(j, "county", r.m_strCounty, error) && GetText(j, "station", r.m_strStation, error) &&
        GetText(j, "testNo", r.m_strTestNo, error) && GetText(j, "date", r.m_strDate, error) &&
        GetText(j, "testType", r.m_strTestType, error) &&
        GetText(j, "testedBy", r.m_strTestedBy, error) &&
        GetText(j, "comments", r.m_strComments, error) &&
        GetNumber(j, "moldWeight", r.m_dMoldWeight, error) &&
        GetNumber(j, "moldVolume", r.m_dMoldVolume, error) &&
        GetNumber(j, "longTestDensity", r.m_dLongTestDensity, error) &&
        GetNumber(j, "longTestMoisture", r.m_dLongTestMoisture, error))) {
    return false;
  }
  if (j.contains("points")) {
    const json& pts = j["points"];
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
      if (!(GetNumber(pts[i], "moldSoil", p.m_dMoldSoil, error) &&
            GetNumber(pts[i], "wetSample", p.m_dWetSample, error) &&
            GetNumber(pts[i], "drySample", p.m_dDrySample, error))) {
        return false;
      }
    }
  }
  return true;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  RegisterBuiltins();
  if (args.empty()) {
    PrintHelp(err);
    return kExitUsage;
  }
  const std::string& cmd = args[0];
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    PrintHelp(out);
    return kExitOk;
  }
  if (cmd == "--version") {
    out << "densora-cli " << DENSORA_VERSION << '\n';
    return kExitOk;
  }
  const auto it = Commands().find(cmd);
  if (it == Commands().end()) {
    err << "densora-cli: unknown command \"" << cmd << "\"; see densora-cli --help\n";
    return kExitUsage;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  for (const auto& a : rest) {
    if (a == "--help" || a == "-h") {
      out << "usage: densora-cli " << it->second.usage << '\n';
      return kExitOk;
    }
  }
  return it->second.command(rest, out, err);
}

}  // namespace cli
