#pragma once
// The projects directory as one table: a row for each compaction file, with its record's
// texts, its fit, its long test and the laboratory's entries, written as CSV or JSON while
// the folders are walked, a row at a time, so that a directory of any size is summarised in
// the same small memory. densora-cli summary and the desktop program's export both write it.
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "model/densora_doc.h"

enum class SummaryFormat {
  // RFC 4180: a header row, then a row per file; fields holding a comma, a quote, a CR or an
  // LF in quotes with inner quotes doubled; CRLF after every row; UTF-8 without a BOM. A
  // text that a spreadsheet would run as a formula is written after an apostrophe (CsvField).
  kCsv,
  // One JSON array, each file's object on a line of its own, its keys the CSV's header; the
  // texts as the record holds them, without the CSV's apostrophes.
  kJson,
};

// The columns, in order, and a JSON object's keys:
//   path                     the file's path below the folder summarised
//   project ... comments     the record's texts by their keys (kRecordTexts), as stored;
//                            after "date", "dateIso": that date as YYYY-MM-DD (ISO 8601),
//                            empty when the text is no day of the calendar (pages::IsoRecordDate)
//   units                    "pcf" or "kg/m3": the unit of every unit weight in the row
//   pointCount               the points present
//   maxDryDensity            the fit's maximum dry density (units), then
//   maxDryDensityReported    the same to one decimal, as the report prints it
//   optimumMoisture          the fit's optimum moisture (percent), then
//   optimumMoistureReported  the same to one decimal, as the report prints it
//   fitStatus, fitMessage    the fit's status (0: a good fit) and its message
//   longTestDensity          the long test's maximum density (units)
//   longTestMoisture         the long test's optimum moisture (percent)
//   densityRating, moistureRating  how the fit agrees with the long test, as the report
//                            prints it ("difference = 2.0  pcf - Fair"; empty without one)
//   densityDifference, moistureDifference  the differences without their sign (units;
//                            percentage points)
//   densityRatingWord, moistureRatingWord  their grades: Excellent, Good, Fair or Poor
//   specificGravity ... method  the laboratory's entries by their keys (LabFields); the
//                            oversize fraction and moisture in percent
//   correctedMaxDryDensity, correctedMaxDryDensityReported, correctedOptimumMoisture,
//   correctedOptimumMoistureReported  the oversize-corrected results, in full and to one
//                            decimal as the report prints them
//   moistureFrom95, moistureTo95  for each relative-compaction percentage in
//                            `relativeCompaction` (95 here), the moisture window where the
//                            fitted curve reaches it (percent); empty for an end beyond the
//                            points and without a fit
//   error                    the message of a file that could not be read ("The file is not
//                            a valid compaction file or it may be corrupted."); its row has
//                            the path and the message and nothing else
// A value not entered (a long test, a laboratory entry), a result the record does not give
// (no maximum from the fit, no corrected results without an oversize correction, no rating
// without a long test) and a number that is not finite are an empty cell in CSV and null in
// JSON, never 0. The record's texts, the fit's message and the rating texts are always texts,
// empty when blank. Unit weights are in the row's units, the long test's too. Entries kept
// for each point (a point left out of the fit) are not columns.
std::vector<std::string> SummaryColumns(const std::vector<double>& relativeCompaction = {});

// Writes the summary of the projects directory `dir` to `out`: a row for each compaction
// file the projects tree lists under `dir`, in the tree's order (each folder's entries
// in ListFolder's order, alphabetical without regard to case or accents; a folder's rows
// before its next sibling's). `path` is the file's path below `dir`, each name as the tree shows
// it (a byte that is not UTF-8 read as Windows-1252). Links are followed; a folder reached a
// second time (the same device and inode) is not entered again, so a looping link ends.
// Each record is fitted in `units` as the curve page fits it, with the windows of
// `relativeCompaction`. A file that cannot be read,
// and a folder below `dir` whose entries cannot be read, gives a row with its message in
// `error`; the walk goes on. `progress`, when given, is called as each folder is entered and
// after each file, with the number of files done so far; when it returns false the walk ends
// there, leaving a part of the summary in `out` for the caller, who asked to stop, to discard.
// Returns the number of error rows: 0 when every file and folder was read. Throws
// framework::CFileException before anything is written when `dir` is missing, not a folder or
// cannot be read. The walk stops early once `out` fails; the caller tells a failed output by its
// state.
std::size_t WriteProjectSummary(const std::string& dir, SummaryFormat format, Units units,
                                std::ostream& out,
                                std::function<bool(std::size_t done)> progress = {},
                                const std::vector<double>& relativeCompaction = {});

// A text cell of the summary's CSV. A text that begins with "=", "+", "-", "@", a tab or a
// CR, which a spreadsheet would take for a formula, gets a leading apostrophe ("'=1+2");
// then, as RFC 4180 writes a field, it goes in quotes, inner quotes doubled, when it holds a
// comma, a quote, a CR or an LF.
std::string CsvField(const std::string& text);
