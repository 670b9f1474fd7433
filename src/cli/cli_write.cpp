// densora-cli write: a record in JSON, stored as the program stores a test.
#include <iostream>
#include <string>

#include "cli/cli.h"
#include "cli/cli_commands.h"
#include "file/document_commands.h"
#include "file/family_folder.h"
#include "framework/file_io.h"
#include "model/density_curve.h"
#include "model/densora_doc.h"

namespace cli {
namespace {

using nlohmann::json;

constexpr CommandInfo kWrite{.name = "write",
                             .bit = kWriteCommand,
                             .input = "RECORD.json",
                             .output = "FILE.lng",
                             .extraInput = "only one record file is read"};

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
  return input == "-" ? "standard input" : framework::ShownPath(input);
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

int Write(const std::vector<std::string>& argv, std::ostream&, std::ostream& err) {
  Arguments args;
  if (ParseArguments(kWrite, argv, args, err) != kExitOk) return kExitUsage;
  const std::string& input = args.inputs[0];
  std::string text;
  if (!ReadRecordText(input, text, err)) return kExitFileFailed;
  CDensoraDoc doc;
  doc.m_nUnits = args.Units();
  std::string error;
  if (!RecordFromJsonText(text, doc, error)) {
    err << InputName(input) << ": " << error << '\n';
    return kExitFileFailed;
  }
  // A one-point test stores the result its family gives its point, as the program does.
  if (!doc.m_record.m_ext.onePointFamily.empty()) {
    FamilyCache families;
    EvaluateOnePointTest(doc.m_record, ProjectsDirectory(args), families);
  }
  // The program's own store step; a failure's message names the output already.
  CDensityCurve curve(doc);
  StreamPrompt prompt(err, "");
  return StoreRecord(doc, curve, args.output) ? kExitOk : kExitFileFailed;
}

}  // namespace

bool RecordFromJsonText(const std::string& text, CDensoraDoc& doc, std::string& error) {
  if (NestsDeeperThan(text, kMaxJsonDepth)) {
    error = "JSON nested deeper than " + std::to_string(kMaxJsonDepth) + " levels";
    return false;
  }
  json j;
  try {
    j = json::parse(text);
  } catch (const json::exception& e) {
    error = std::string("not a JSON record: ") + e.what();
    return false;
  }
  // `show --json` of several files prints a list; a list of one record is that record.
  if (j.is_array() && j.size() == 1) j = j[0];
  return RecordFromJson(j, doc, error);
}

void RegisterWrite() { RegisterCommand(kWrite, Write); }

}  // namespace cli
