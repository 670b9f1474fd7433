#include "model/page_rules.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <utility>

#include "framework/codepage.h"
#include "framework/text_format.h"
#include "model/compaction_record.h"
#include "model/lab_results.h"

namespace pages {
namespace {

constexpr std::size_t kMaxNumberChars = 31;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, long long& y, long long& m, long long& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp + (mp < 10 ? 3 : -9);
  y = yoe + era * 400 + (m <= 2);
}

// The leading decimal digits of a piece of the date text; 0 when it has none.
long long LeadingNumber(std::string_view piece) {
  long long v = 0;
  for (char c : piece) {
    if (!IsDigit(c)) break;
    v = v * 10 + (c - '0');
  }
  return v;
}

std::string_view Piece(std::string_view text, std::size_t pos, std::size_t len) {
  if (pos >= text.size()) return {};
  return text.substr(pos, len);
}

// `text` without the blanks at either end.
std::string_view TrimBlanks(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  std::size_t e = text.size();
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

// Moves `i` past the digits from there on, and returns how many there were.
std::size_t SkipDigits(std::string_view s, std::size_t& i) {
  const std::size_t from = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i - from;
}

// The whole of `s` is a sign, digits with at most one point, and an optional exponent.
bool IsDecimalNumber(std::string_view s) {
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-') ++i;
  std::size_t digits = SkipDigits(s, i);
  if (i < s.size() && s[i] == '.') {
    ++i;
    digits += SkipDigits(s, i);
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (SkipDigits(s, i) == 0) return false;
  }
  return i == s.size();
}

// The county named on one line of the list file, in Windows-1252; empty when the line
// names none. A file that is not UTF-8 at all holds Windows-1252 already; in a UTF-8 file a
// name with a character the code page lacks is dropped.
std::string CountyName(std::string_view line, bool utf8) {
  while (!line.empty() && (line.back() == '\r' || IsBlank(line.back()))) line.remove_suffix(1);
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (!utf8) return std::string(line);
  std::string name;
  if (!framework::Utf8ToCp1252(line, name)) name.clear();
  return name;
}

}  // namespace

// A damaged file's NaN or infinity shows blank.
std::string FormatNumber(double value) { return framework::FormatFinite("%.15g", value); }

std::string FormatFixed2(double value) { return framework::FormatFinite("%.2f", value); }

bool ParseNumber(std::string_view text, double& value) {
  const std::string_view s = TrimBlanks(text);
  if (s.empty() || s.size() > kMaxNumberChars || !IsDecimalNumber(s)) return false;
  const bool negative = s[0] == '-';
  std::string_view body = s;
  if (s[0] == '+' || s[0] == '-') body.remove_prefix(1);
  double v = 0.0;
  const auto r =
      std::from_chars(body.data(), body.data() + body.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != body.data() + body.size() || !std::isfinite(v)) return false;
  if (negative) v = -v;
  if (v == 0.0 && s[0] != '0') return false;
  value = v;
  return true;
}

std::string FormatOptionalNumber(double value) {
  return value == 0.0 ? std::string() : FormatNumber(value);
}

bool ParseOptionalNumber(std::string_view text, double& value) {
  if (TrimBlanks(text).empty()) {
    value = 0.0;
    return true;
  }
  return ParseNumber(text, value);
}

std::string FormatOptionalNumber(const std::optional<double>& value) {
  return value ? FormatNumber(*value) : std::string();
}

bool ParseOptionalNumber(std::string_view text, std::optional<double>& value) {
  if (TrimBlanks(text).empty()) {
    value.reset();
    return true;
  }
  double v = 0.0;
  if (!ParseNumber(text, v)) return false;
  value = v;
  return true;
}

std::string FieldName(std::string_view key) {
  if (key.empty()) return "Mold volume";
  const LabField* field = FindLabField(key);
  if (!field) return std::string(key);
  return field->entry->name ? field->entry->name : field->label;
}

std::string FieldMessage(std::string_view fieldName, std::string_view message) {
  std::string clause(message);
  // The message becomes the clause after the colon: "Enter ..." reads "enter ...", and the
  // sentence ends with its full stop.
  if (!clause.empty() && clause[0] >= 'A' && clause[0] <= 'Z') clause[0] += 'a' - 'A';
  if (!clause.empty() && clause.back() != '.') clause += '.';
  return std::string(fieldName) + ": " + clause;
}

std::string LeavingEntryWarning(std::string_view key, std::string_view text) {
  const LabField* field = FindLabField(key);
  if (!field) return "";
  EntryValue value = std::string(text);
  if (field->Type() == EntryType::kOptionalNumber) {
    std::optional<double> v;
    if (!ParseOptionalNumber(text, v)) return "";
    value = v ? EntryValue(*v) : EntryValue();
  } else if (field->Type() == EntryType::kNumber) {
    double v = 0.0;
    if (!ParseOptionalNumber(text, v)) return "";
    value = v;
  }
  // The entry alone, checked as a file's block is checked.
  LabExtension x;
  field->Set(x, value);
  const std::string problem = EntryProblem(*field, x);
  return problem.empty() ? problem : FieldMessage(FieldName(key), problem);
}

std::string LeavingMoldVolumeWarning(std::string_view text) {
  double v = 0.0;
  return ParseNumber(text, v) && !(v > 0.0) ? FieldMessage(FieldName(""), kPositiveValue) : "";
}

bool IsNumericText(std::string_view text) {
  int points = 0;
  for (char c : text) {
    if (c == '.') {
      if (++points > 1) return false;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  return true;
}

std::string FormatRecordDate(int year, int month, int day) {
  return framework::StrFormat("%02d/%02d/%04d", month, day, year);
}

namespace {
CalendarDay ComputerToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}
CalendarDay (*g_clock)() = &ComputerToday;
}  // namespace

CalendarDay Today() { return g_clock(); }

void SetClock(CalendarDay (*clock)()) { g_clock = clock ? clock : &ComputerToday; }

std::string TodaysRecordDate() {
  const CalendarDay today = Today();
  return FormatRecordDate(today.year, today.month, today.day);
}

bool ParseRecordDate(std::string_view text, int& year, int& month, int& day) {
  if (text.empty()) return false;
  const long long m = LeadingNumber(Piece(text, 0, 2));
  const long long d = LeadingNumber(Piece(text, 3, 2));
  const long long y = LeadingNumber(text.size() >= 4 ? text.substr(text.size() - 4) : text);
  // mktime: the month folds into the year first, then the day is counted from the 1st.
  const long long months = y * 12 + (m - 1);
  const long long ny = months >= 0 ? months / 12 : (months - 11) / 12;
  const long long nm = months - ny * 12 + 1;
  long long ry, rm, rd;
  CivilFromDays(DaysFromCivil(ny, nm, 1) + (d - 1), ry, rm, rd);
  if (ry < 1 || ry > 9999) return false;
  year = static_cast<int>(ry);
  month = static_cast<int>(rm);
  day = static_cast<int>(rd);
  return true;
}

std::string IsoRecordDate(std::string_view text) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return {};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i != 2 && i != 5 && !IsDigit(text[i])) return {};
  }
  int year = 0, month = 0, day = 0;
  // Read as the page reads it, the text must name the very day it spells: no month 13, no
  // 30th of February.
  if (!ParseRecordDate(text, year, month, day) || FormatRecordDate(year, month, day) != text) {
    return {};
  }
  return framework::StrFormat("%04d-%02d-%02d", year, month, day);
}

bool OffersDefaultWetSample(double wetSample) {
  return wetSample == 0.0 || wetSample == kDefaultWetSample;
}

bool DryExceedsWet(const TestPoint& point) { return point.m_dWetSample < point.m_dDrySample; }

bool WetExceedsMoldSoil(const TestPoint& point) { return point.m_dMoldSoil < point.m_dWetSample; }

std::vector<std::string> ParseCountyList(std::string_view fileText) {
  const bool utf8 = framework::IsValidUtf8(fileText);
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= fileText.size()) {
    std::size_t end = fileText.find('\n', start);
    if (end == std::string_view::npos) end = fileText.size();
    std::string name = CountyName(fileText.substr(start, end - start), utf8);
    if (!name.empty()) names.push_back(std::move(name));
    if (end == fileText.size()) break;
    start = end + 1;
  }
  return names;
}

}  // namespace pages
