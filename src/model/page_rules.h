#pragma once
// The rules the tab pages follow, kept apart from the widgets so that they can be checked
// without a window: how a number field is written and read, the long-test pages' digit
// check, the record's date text, the wet-sample offer and the weight-order warnings, the
// Soil and Method page's optional numbers and range warnings, and the County list.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TestPoint;

namespace pages {

// A number as a field shows it: the shortest form with up to 15 significant digits, as
// printf's "%.*g" with precision 15 writes it (0 → "0", 300 → "300",
// 1/30 → "0.0333333333333333"). Independent of the C locale.
std::string FormatNumber(double value);
// "%.2f", independent of the C locale.
std::string FormatFixed2(double value);

// Reads a number field's text. Blanks and tabs before and after the number are allowed; the
// number is an optional sign, digits with at most one decimal point, and an optional
// exponent, read as strtod reads it. Fails on anything else (an empty text, a lone "." or
// "-", a trailing letter), on a zero from a text that does not start with "0", on a number
// beyond the range of a double, and on a number longer than the 31 characters that the
// field reading takes: such a number is refused, never cut short.
bool ParseNumber(std::string_view text, double& value);

// An optional number field, where 0 means "not entered": it shows 0 (and a number that is
// not finite) as the empty text, and reads an empty or blank text as 0; any other text
// reads as ParseNumber reads it.
std::string FormatOptionalNumber(double value);
bool ParseOptionalNumber(std::string_view text, double& value);
// An optional number field where 0 is a value (the oversize moisture of oven-dried
// oversize): only the empty text is "not entered", both ways; "0" reads as 0.
std::string FormatOptionalNumber(const std::optional<double>& value);
bool ParseOptionalNumber(std::string_view text, std::optional<double>& value);

// What the Soil and Method page calls the field of the laboratory's entry `key` in its
// messages ("Specific gravity"); the mold volume's field ("Mold volume") for the empty key.
std::string FieldName(std::string_view key);
// A message about one field, which the user may not see beside the box: the field's name,
// then the message as its clause ("Specific gravity: enter a value between 2.0 and 3.5.").
std::string FieldMessage(std::string_view fieldName, std::string_view message);

// The warning for leaving the field of the laboratory's entry `key` with `text` in it, or
// the empty text. The entry is held to the range (or check) a file's entry is held to,
// where an empty text (or 0, but for a number that may be 0) means "not entered" and passes.
// A text that is no number passes here: it was answered as it was typed. The warning names
// the field (FieldMessage).
std::string LeavingEntryWarning(std::string_view key, std::string_view text);
// The same for the mold volume, which has to be above 0: the dry unit weights are 0 without
// a volume.
std::string LeavingMoldVolumeWarning(std::string_view text);

// True when every character is a digit or a ".", with at most one "."; the empty text is
// numeric.
bool IsNumericText(std::string_view text);

// The record's date text: month/day/year as "%02d/%02d/%04d".
std::string FormatRecordDate(int year, int month, int day);

// A day of the calendar: month 1 to 12, day 1 to 31.
struct CalendarDay {
  int year = 0;
  int month = 0;
  int day = 0;
};
// Today, in local time, from the clock in use: the computer's unless SetClock gave another.
CalendarDay Today();
// Makes Today read `clock` (tests fix the day); nullptr restores the computer's clock.
void SetClock(CalendarDay (*clock)());
// Today's date as the record's date text: the date a new test starts with.
std::string TodaysRecordDate();

// A calendar date as the record's date text gives it: the month from characters 1 and 2,
// the day from characters 4 and 5 and the year from the last four, each as its leading
// digits (0 when there are none), then normalised as mktime does (month 13 is January of
// the next year, day 0 the last day of the month before). False when the text is empty or
// the result lies before the year 1 or after the year 9999.
bool ParseRecordDate(std::string_view text, int& year, int& month, int& day);

// The record's date text as an ISO 8601 calendar date, "2003-06-01" for "06/01/2003", when
// it is a day of the calendar written as the program writes dates (two-digit month and day,
// four-digit year, slashes between); else the empty text. "02/30/2003", which the page would
// show as the 2nd of March, and "6/1/2003", which it would read otherwise, are no date here.
std::string IsoRecordDate(std::string_view text);

// The wet sample edit offers 300 g when it is entered with a stored wet weight of exactly
// 0 or exactly 300.
inline constexpr double kDefaultWetSample = 300.0;
bool OffersDefaultWetSample(double wetSample);
// The weight-order warnings: a dry weight above the wet weight, a wet weight above the
// weight of mold and soil. Equal weights pass.
bool DryExceedsWet(const TestPoint& point);
bool WetExceedsMoldSoil(const TestPoint& point);

// The County list from a text file, one name a line (UTF-8; a file that is not valid UTF-8
// is taken as Windows-1252). Blanks around a name and empty lines are dropped, and so is a
// name that Windows-1252 cannot hold. The names come back in Windows-1252.
std::vector<std::string> ParseCountyList(std::string_view fileText);

}  // namespace pages
