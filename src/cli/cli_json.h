#pragma once
// The record as densora-cli shows it: the JSON object of `show --json`, from which the text
// listing is printed too.
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/relative_compaction.h"

class CDensoraDoc;

namespace cli {

// What the curve decided when it fitted the document's record.
struct Fitted {
  int status = 0;
  std::string message;
  int xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  // The window of each of the document's relative-compaction percentages.
  std::vector<CompactionWindow> relativeCompaction;
};

// Fits the document's record as the curve page does and keeps what the curve decided.
Fitted FitRecord(CDensoraDoc& doc);

// The record of `doc`, opened from `file` and fitted as `fit` says, as a JSON object.
nlohmann::json BuildJson(CDensoraDoc& doc, const std::string& file, const Fitted& fit);

// The JSON text, with each byte of a text that is not UTF-8 (a file name is whatever bytes the
// file system holds) shown as U+FFFD, so that one odd name cannot cost the other files' output.
std::string Dump(const nlohmann::json& j);

}  // namespace cli
