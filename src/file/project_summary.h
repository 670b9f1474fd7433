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
  // LF in quotes with inner quotes doubled; CRLF after every row; UTF-8 without a BOM.
  kCsv,
  // One JSON array, each file's object on a line of its own, its keys the CSV's header.
  kJson,
};

// The columns, in order; a JSON object's keys: "path", the record's texts by their keys,
// "pointCount", the fit's "maxDryDensity", "optimumMoisture", "fitStatus" and "fitMessage",
// the long test's "longTestDensity", "longTestMoisture", "densityRating" and
// "moistureRating", the laboratory's entries by their keys (LabFields), then
// "correctedMaxDryDensity", "correctedOptimumMoisture", for each relative-compaction
// percentage in `relativeCompaction` its moisture window "moistureFrom95", "moistureTo95"
// (empty, null, for an end beyond the points and without a fit), and "error". Entries kept for
// each point (a point left out of the fit) are not columns. Unit weights are in the
// chosen units (the long test's too); moisture and the oversize entries in percent. A
// laboratory entry not made is as densora-cli show gives it (ListedValue): 0, empty, or
// empty (null) for a number that may be 0. The corrected results are empty (null) without an
// oversize correction. A number the record cannot give (not finite) is empty (null). `error`
// is empty (null) unless the file could not be read: its row then has the path and the
// message ("The file is not a valid compaction file or it may be corrupted.") and nothing
// else.
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

// A CSV field as RFC 4180 writes it: in quotes, inner quotes doubled, when it holds a
// comma, a quote, a CR or an LF; else as it is.
std::string CsvField(const std::string& text);
