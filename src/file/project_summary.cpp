#include "file/project_summary.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <set>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "file/project_tree.h"
#include "framework/codepage.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "framework/text_format.h"
#include "model/density_curve.h"
#include "model/lab_results.h"
#include "model/long_test.h"
#include "model/messages.h"
#include "model/page_rules.h"
#include "model/relative_compaction.h"

namespace {

using framework::Cp1252ToUtf8;
using nlohmann::json;

// The columns after the record's texts: the units of its unit weights, the fit's results
// (each also as the report prints it) and status, then the long test and how the fit agrees
// with it.
constexpr const char* kResultColumns[] = {
    "units",
    "pointCount",
    "maxDryDensity",
    "maxDryDensityReported",
    "optimumMoisture",
    "optimumMoistureReported",
    "fitStatus",
    "fitMessage",
    "longTestDensity",
    "longTestMoisture",
    "densityRating",
    "moistureRating",
    "densityDifference",
    "densityRatingWord",
    "moistureDifference",
    "moistureRatingWord",
};
// The columns after the laboratory's entries: what the entries make of the fit.
constexpr const char* kCorrectedColumns[] = {
    "correctedMaxDryDensity",
    "correctedMaxDryDensityReported",
    "correctedOptimumMoisture",
    "correctedOptimumMoistureReported",
};

std::vector<std::string> MakeColumns(const std::vector<double>& relativeCompaction) {
  std::vector<std::string> columns = {"path"};
  for (const RecordText& t : kRecordTexts) {
    columns.emplace_back(t.key);
    if (t.member == &CompactionRecord::m_strDate) columns.emplace_back("dateIso");
  }
  columns.insert(columns.end(), std::begin(kResultColumns), std::end(kResultColumns));
  for (const LabField& f : LabFields()) {
    if (!f.PerPoint()) columns.push_back(f.key);
  }
  columns.insert(columns.end(), std::begin(kCorrectedColumns), std::end(kCorrectedColumns));
  for (const double p : relativeCompaction) {
    columns.push_back("moistureFrom" + PercentText(p));
    columns.push_back("moistureTo" + PercentText(p));
  }
  columns.emplace_back("error");
  return columns;
}

// A row's cells in the columns' order: a text, a number, or null for nothing.
using Row = std::vector<json>;

// A number; nothing for a NaN or an infinity.
json Number(double v) { return std::isfinite(v) ? json(v) : json(); }

// A number of the record's plain layout, where 0 is "not entered" (the long test) or "no
// result" (the fit's maximum and optimum): nothing then.
json Entered(double v) { return v != 0.0 ? Number(v) : json(); }

// A result as the report prints it, to one decimal ("Maximum Dry Density = 111.5 pcf"), so
// that an import holds the very figure on the signed page.
json Reported(double v) {
  if (v == 0.0 || !std::isfinite(v)) return {};
  const std::string printed = framework::StrFormat("%.1f", v);
  double rounded = 0.0;
  std::from_chars(printed.data(), printed.data() + printed.size(), rounded);
  return rounded;
}

// JSON text as the library writes it; a byte that is not UTF-8 shows as U+FFFD.
std::string Dumped(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

void AppendCsvRow(const Row& row, std::string& line) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) line += ',';
    if (row[i].is_string()) {
      line += CsvField(row[i].get_ref<const std::string&>());
    } else if (!row[i].is_null()) {
      line += Dumped(row[i]);
    }
  }
  line += "\r\n";
}

// The row as one JSON object, its keys the columns: what the library writes for an object
// of these keys in this order.
void AppendJsonRow(const Row& row, const std::vector<std::string>& keys, std::string& line) {
  line += '{';
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) line += ',';
    line += keys[i];
    line += Dumped(row[i]);
  }
  line += '}';
}

// The long test's values, its ratings and the grades of its agreement with the fit.
void AppendLongTest(Row& row, CDensoraDoc& doc, double longTestDensity) {
  const CompactionRecord& r = doc.m_record;
  row.push_back(Entered(longTestDensity));
  row.push_back(Entered(r.m_dLongTestMoisture));
  row.emplace_back(Cp1252ToUtf8(RateLongTest(doc, r.m_dMaxDryDensity, longTestDensity, true)));
  row.emplace_back(
      Cp1252ToUtf8(RateLongTest(doc, r.m_dOptimumMoisture, r.m_dLongTestMoisture, false)));
  for (const auto& agreement :
       {CompareLongTest(doc, r.m_dMaxDryDensity, longTestDensity, true),
        CompareLongTest(doc, r.m_dOptimumMoisture, r.m_dLongTestMoisture, false)}) {
    row.push_back(agreement ? Number(agreement->difference) : json());
    row.push_back(agreement ? json(agreement->grade) : json());
  }
}

// Each laboratory entry as it was made; one not made is nothing, whatever its kind. Entries
// kept for each point are not columns. A unit weight is kept in pcf, and given times
// `densityFactor`, in the row's units like every other one.
void AppendLabEntries(Row& row, const LabExtension& ext, double densityFactor) {
  for (const LabField& field : LabFields()) {
    if (field.PerPoint()) continue;
    const EntryValue v = field.Get(ext);
    const double scale = std::string_view(field.entry->unit) == " pcf" ? densityFactor : 1.0;
    if (const auto* number = std::get_if<double>(&v)) row.push_back(Number(*number * scale));
    if (const auto* text = std::get_if<std::string>(&v)) row.emplace_back(Cp1252ToUtf8(*text));
    if (std::holds_alternative<std::monostate>(v)) row.emplace_back();
  }
}

// The oversize-corrected results, and the moisture window of each relative-compaction
// percentage.
void AppendCorrectedAndWindows(Row& row, CDensoraDoc& doc, const CDensityCurve& curve) {
  const LabResults lab = EvaluateLab(doc);
  const std::optional<CorrectedResults>& c = lab.corrected;
  const double correctedDensity = c ? c->maxDryDensityPcf * doc.DensityFactor() : 0.0;
  row.push_back(c ? Number(correctedDensity) : json());
  row.push_back(c ? Reported(correctedDensity) : json());
  const std::optional<double> correctedMoisture = c ? c->optimumMoisture : std::nullopt;
  row.push_back(correctedMoisture ? Number(*correctedMoisture) : json());
  row.push_back(correctedMoisture ? Reported(*correctedMoisture) : json());
  const std::vector<CompactionWindow> windows = RelativeCompaction(curve);
  for (std::size_t i = 0; i < doc.m_dRelativeCompaction.size(); ++i) {
    const CompactionWindow* w = i < windows.size() ? &windows[i] : nullptr;
    row.push_back(w && w->moistureFrom ? Number(*w->moistureFrom) : json());
    row.push_back(w && w->moistureTo ? Number(*w->moistureTo) : json());
  }
}

// The row of the record in `doc`, fitted in the document's units, with the windows of its
// relative-compaction percentages.
Row RecordRow(const std::string& shown, CDensoraDoc& doc, std::size_t columns) {
  CompactionRecord& r = doc.m_record;
  CDensityCurve curve(doc);
  curve.FitRecord();
  const double f = doc.DensityFactor();
  Row row;
  row.reserve(columns);
  row.emplace_back(shown);
  for (const RecordText& t : kRecordTexts) {
    row.emplace_back(Cp1252ToUtf8(r.*t.member));
    if (t.member == &CompactionRecord::m_strDate) {
      const std::string iso = pages::IsoRecordDate(r.m_strDate);
      row.push_back(iso.empty() ? json() : json(iso));
    }
  }
  row.emplace_back(doc.m_nUnits == kMetric ? "kg/m3" : "pcf");
  row.emplace_back(r.m_nPointCount);
  row.push_back(Entered(r.m_dMaxDryDensity));
  row.push_back(Reported(r.m_dMaxDryDensity));
  row.push_back(Entered(r.m_dOptimumMoisture));
  row.push_back(Reported(r.m_dOptimumMoisture));
  row.emplace_back(curve.m_nStatus);
  row.emplace_back(curve.m_strMessages[static_cast<std::size_t>(curve.m_nStatus)]);
  AppendLongTest(row, doc, r.m_dLongTestDensity * f);
  AppendLabEntries(row, r.m_ext, f);
  AppendCorrectedAndWindows(row, doc, curve);
  row.emplace_back();  // no error
  return row;
}

// Walks the folders and writes a row for each file as soon as it is read.
class SummaryWriter {
 public:
  SummaryWriter(SummaryFormat format, Units units, std::ostream& out,
                std::function<bool(std::size_t)> progress,
                const std::vector<double>& relativeCompaction)
      : m_format(format),
        m_out(out),
        m_progress(std::move(progress)),
        m_columns(SummaryColumns(relativeCompaction)) {
    // Each JSON key as the library writes it, with its colon, once for every row.
    for (const std::string& column : m_columns) m_keys.push_back(Dumped(column) + ':');
    m_doc.m_nUnits = units;
    m_doc.m_dRelativeCompaction = relativeCompaction;
  }

  void Begin();
  // Hears of one step of the walk; false ends it.
  bool Step(const ProjectStep& step);
  void End();
  std::size_t ErrorRows() const { return m_errorRows; }

 private:
  void File(const std::string& path, const std::string& shown);
  void ErrorRow(const std::string& shown, const std::string& message);
  void Emit(const Row& row);

  SummaryFormat m_format;
  std::ostream& m_out;
  std::function<bool(std::size_t)> m_progress;
  std::vector<std::string> m_columns;
  std::vector<std::string> m_keys;
  CDensoraDoc m_doc;
  std::string m_line;
  std::size_t m_rows = 0;
  std::size_t m_files = 0;
  std::size_t m_errorRows = 0;
  bool m_stopped = false;
};

void SummaryWriter::Begin() {
  if (m_format == SummaryFormat::kJson) {
    m_out << '[';
    return;
  }
  const Row header(m_columns.begin(), m_columns.end());
  m_line.clear();
  AppendCsvRow(header, m_line);
  m_out << m_line;
}

void SummaryWriter::End() {
  if (m_format == SummaryFormat::kJson) m_out << (m_rows > 0 ? "\n]\n" : "]\n");
  m_out.flush();
}

void SummaryWriter::Emit(const Row& row) {
  m_line.clear();
  if (m_format == SummaryFormat::kCsv) {
    AppendCsvRow(row, m_line);
  } else {
    m_line += m_rows > 0 ? ",\n" : "\n";
    AppendJsonRow(row, m_keys, m_line);
  }
  m_out.write(m_line.data(), static_cast<std::streamsize>(m_line.size()));
  ++m_rows;
}

void SummaryWriter::ErrorRow(const std::string& shown, const std::string& message) {
  Row row(m_columns.size());
  row.front() = shown;
  // The message names the path as the file system has it, which may not be UTF-8.
  row.back() = framework::Utf8ForDisplay(message);
  Emit(row);
  ++m_errorRows;
}

void SummaryWriter::File(const std::string& path, const std::string& shown) {
  const std::string message = ReadCompactionFile(path, m_doc.m_record);
  if (message.empty()) {
    Emit(RecordRow(shown, m_doc, m_columns.size()));
  } else {
    ErrorRow(shown, message);
  }
  ++m_files;
  if (m_progress && !m_progress(m_files)) m_stopped = true;
}

bool SummaryWriter::Step(const ProjectStep& step) {
  // The output failed (a full disk), and what is left would be lost too; or the caller asked
  // to stop.
  if (!m_out || m_stopped) return false;
  switch (step.kind) {
    case ProjectStep::kFolder:
      m_stopped = m_progress && !m_progress(m_files);
      break;
    case ProjectStep::kUnreadableFolder:
      ErrorRow(step.shown, step.error);
      break;
    case ProjectStep::kFile:
      File(step.path, step.shown);
      break;
  }
  return !m_stopped;
}

}  // namespace

std::vector<std::string> SummaryColumns(const std::vector<double>& relativeCompaction) {
  return MakeColumns(relativeCompaction);
}

std::string CsvField(const std::string& text) {
  // A spreadsheet takes a cell that begins with one of these for a formula and runs it (a
  // comment "=HYPERLINK(...)" becomes a link that sends data away); after an apostrophe it
  // is text.
  constexpr std::string_view kFormulaStarts = "=+-@\t\r";
  const bool formula = !text.empty() && kFormulaStarts.find(text[0]) != std::string_view::npos;
  std::string cell = formula ? "'" + text : text;
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (const char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::size_t WriteProjectSummary(const std::string& dir, SummaryFormat format, Units units,
                                std::ostream& out, std::function<bool(std::size_t done)> progress,
                                const std::vector<double>& relativeCompaction) {
  // "projects/" names the same folder as "projects"; the messages name it without the slash.
  std::string root = dir;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  framework::CheckFolder(root);
  SummaryWriter writer(format, units, out, std::move(progress), relativeCompaction);
  writer.Begin();
  WalkProjectTree(root, [&](const ProjectStep& step) { return writer.Step(step); });
  writer.End();
  return writer.ErrorRows();
}
