#include "file/project_summary.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <set>
#include <utility>
#include <variant>
#include <vector>

#include "file/lng_format.h"
#include "file/project_tree.h"
#include "framework/archive.h"
#include "framework/codepage.h"
#include "framework/document.h"
#include "framework/file_io.h"
#include "framework/prompt.h"
#include "model/density_curve.h"
#include "model/lab_results.h"
#include "model/long_test.h"
#include "model/messages.h"
#include "model/relative_compaction.h"

namespace {

using framework::Cp1252ToUtf8;

// The columns after the record's texts: the fit's five and the long test's four.
constexpr const char* kResultColumns[] = {
    "pointCount",      "maxDryDensity",    "optimumMoisture", "fitStatus",      "fitMessage",
    "longTestDensity", "longTestMoisture", "densityRating",   "moistureRating",
};
// The columns after the laboratory's entries: what the entries make of the fit.
constexpr const char* kCorrectedColumns[] = {"correctedMaxDryDensity", "correctedOptimumMoisture"};

std::vector<std::string> MakeColumns(const std::vector<double>& relativeCompaction) {
  std::vector<std::string> columns = {"path"};
  for (const RecordText& t : kRecordTexts) columns.emplace_back(t.key);
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

// One field of a row: a text, a number already written out, or nothing.
struct Cell {
  enum Kind { kNone, kText, kNumber } kind = kNone;
  std::string text;
};
using Row = std::vector<Cell>;

Cell Text(std::string text) { return {Cell::kText, std::move(text)}; }

// A number in the fewest digits that read back as the same double; nothing for a NaN or
// an infinity.
Cell Number(double v) {
  if (!std::isfinite(v)) return {};
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
  return {Cell::kNumber, std::string(buf, end)};
}

Cell Integer(long v) { return {Cell::kNumber, std::to_string(v)}; }

void AppendJsonString(const std::string& s, std::string& out) {
  out += '"';
  for (const char c : s) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(byte));
      out += buf;
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendCsvRow(const Row& row, std::string& line) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) line += ',';
    line += row[i].kind == Cell::kText ? CsvField(row[i].text) : row[i].text;
  }
  line += "\r\n";
}

void AppendJsonRow(const Row& row, const std::vector<std::string>& columns, std::string& line) {
  line += '{';
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) line += ", ";
    AppendJsonString(columns[i], line);
    line += ": ";
    if (row[i].kind == Cell::kText) {
      AppendJsonString(row[i].text, line);
    } else {
      line += row[i].kind == Cell::kNumber ? row[i].text : "null";
    }
  }
  line += '}';
}

// Reads the compaction file at `path` into `r` as the program opens one. Returns the
// message the program would show when it cannot, or the empty text.
std::string ReadRecordFile(const std::string& path, CompactionRecord& r) {
  using framework::CFileException;
  std::vector<unsigned char> bytes;
  try {
    bytes = framework::ReadWholeFile(path, framework::CDocument::kMaxFileBytes);
  } catch (const CFileException& e) {
    return e.m_cause == CFileException::tooLarge ? framework::stock::kUnexpectedFormat
                                                 : e.ErrorText();
  }
  if (bytes.empty()) return framework::stock::kUnexpectedFormat;
  try {
    framework::CArchive ar(bytes.data(), bytes.size());
    std::int32_t version = 0;
    switch (ReadLngRecord(ar, r, version)) {
      case LngReadResult::kOk:
        return {};
      case LngReadResult::kNewerVersion:
        return msg::kNeedsUpdate;
      case LngReadResult::kBadMagic:
        return msg::kNotCompactionFile;
    }
  } catch (const framework::CArchiveException&) {
  }
  return framework::stock::kUnexpectedFormat;
}

// The row of the record in `doc`, fitted in the document's units, with the windows of its
// relative-compaction percentages.
Row RecordRow(const std::string& shown, CDensoraDoc& doc, std::size_t columns) {
  CompactionRecord& r = doc.m_record;
  CDensityCurve curve(doc);
  curve.FitRecord();
  const double f = doc.DensityFactor();
  const double longTestDensity = r.m_dLongTestDensity * f;
  Row row;
  row.reserve(columns);
  row.push_back(Text(shown));
  for (const RecordText& t : kRecordTexts) row.push_back(Text(Cp1252ToUtf8(r.*t.member)));
  row.push_back(Integer(r.m_nPointCount));
  row.push_back(Number(r.m_dMaxDryDensity));
  row.push_back(Number(r.m_dOptimumMoisture));
  row.push_back(Integer(curve.m_nStatus));
  row.push_back(Text(curve.m_strMessages[static_cast<std::size_t>(curve.m_nStatus)]));
  row.push_back(Number(longTestDensity));
  row.push_back(Number(r.m_dLongTestMoisture));
  row.push_back(Text(Cp1252ToUtf8(RateLongTest(doc, r.m_dMaxDryDensity, longTestDensity, true))));
  row.push_back(
      Text(Cp1252ToUtf8(RateLongTest(doc, r.m_dOptimumMoisture, r.m_dLongTestMoisture, false))));
  for (const LabField& f : LabFields()) {
    if (f.PerPoint()) continue;
    const EntryValue v = ListedValue(f, r.m_ext);
    if (const auto* number = std::get_if<double>(&v)) row.push_back(Number(*number));
    if (const auto* text = std::get_if<std::string>(&v)) row.push_back(Text(Cp1252ToUtf8(*text)));
    if (std::holds_alternative<std::monostate>(v)) row.emplace_back();
  }
  const LabResults lab = EvaluateLab(doc);
  const std::optional<CorrectedResults>& c = lab.corrected;
  row.push_back(c ? Number(c->maxDryDensityPcf * f) : Cell{});
  row.push_back(c && c->optimumMoisture ? Number(*c->optimumMoisture) : Cell{});
  const std::vector<CompactionWindow> windows = RelativeCompaction(curve);
  for (std::size_t i = 0; i < doc.m_dRelativeCompaction.size(); ++i) {
    const CompactionWindow* w = i < windows.size() ? &windows[i] : nullptr;
    row.push_back(w && w->moistureFrom ? Number(*w->moistureFrom) : Cell{});
    row.push_back(w && w->moistureTo ? Number(*w->moistureTo) : Cell{});
  }
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
    m_doc.m_nUnits = units;
    m_doc.m_dRelativeCompaction = relativeCompaction;
  }

  void Begin();
  void Walk(const std::string& folder, const std::string& shown);
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
  CDensoraDoc m_doc;
  // The folders entered so far, by device and inode.
  std::set<std::pair<std::uint64_t, std::uint64_t>> m_entered;
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
  Row header;
  for (const std::string& column : m_columns) header.push_back(Text(column));
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
    AppendJsonRow(row, m_columns, m_line);
  }
  m_out.write(m_line.data(), static_cast<std::streamsize>(m_line.size()));
  ++m_rows;
}

void SummaryWriter::ErrorRow(const std::string& shown, const std::string& message) {
  Row row(m_columns.size());
  row.front() = Text(shown);
  // The message names the path as the file system has it, which may not be UTF-8.
  row.back() = Text(framework::Utf8ForDisplay(message));
  Emit(row);
  ++m_errorRows;
}

void SummaryWriter::File(const std::string& path, const std::string& shown) {
  const std::string message = ReadRecordFile(path, m_doc.m_record);
  if (message.empty()) {
    Emit(RecordRow(shown, m_doc, m_columns.size()));
  } else {
    ErrorRow(shown, message);
  }
  ++m_files;
  if (m_progress && !m_progress(m_files)) m_stopped = true;
}

void SummaryWriter::Walk(const std::string& folder, const std::string& shown) {
  const std::optional<framework::FileIdentity> id = framework::IdentityOf(folder);
  if (!id || !m_entered.insert({id->device, id->inode}).second) return;
  if (!shown.empty()) {
    try {
      framework::CheckFolder(folder);
    } catch (const framework::CFileException& e) {
      ErrorRow(shown, e.ErrorText());
      return;
    }
  }
  // Heard from at each folder too: a walk through folders that hold no tests (a link to the
  // root of the disk) can still be watched and stopped.
  if (m_progress && !m_progress(m_files)) {
    m_stopped = true;
    return;
  }
  for (const ProjectNode& node : ListFolder(folder)) {
    // The output failed (a full disk), and what is left would be lost too; or the caller
    // asked to stop.
    if (!m_out || m_stopped) return;
    std::string path = folder;
    path += '/';
    path += node.name;
    std::string below = shown;
    if (!below.empty()) below += '/';
    below += framework::Utf8ForDisplay(node.name);
    if (node.isFolder) {
      Walk(path, below);
    } else {
      File(path, below);
    }
  }
}

}  // namespace

std::vector<std::string> SummaryColumns(const std::vector<double>& relativeCompaction) {
  return MakeColumns(relativeCompaction);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
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
  writer.Walk(root, "");
  writer.End();
  return writer.ErrorRows();
}
