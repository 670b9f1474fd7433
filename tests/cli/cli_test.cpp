#include "cli/cli.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <variant>

#include "file/lng_format.h"
#include "file/project_summary.h"
#include "model/densora_doc.h"
#include "model/lab_extension.h"
#include "support/platform.h"
#include "support/records.h"

using nlohmann::json;
using testdata::TempDir;

namespace {

struct Result {
  int code;
  std::string out, err;
};

Result RunCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = cli::Run(args, out, err);
  return {code, out.str(), err.str()};
}

std::string Sample(const char* rel) { return std::string(DENSORA_SAMPLES_DIR) + "/" + rel; }

// Runs the real binary; returns the exit code (-1 when it did not end by itself), stdout
// and stderr.
Result RunBinary(const std::vector<std::string>& args, const std::string& input = "") {
  const testdata::ProgramRun r = testdata::RunCliProgram(args, {input});
  return {r.code, r.out, r.err};
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST(CliShow, JsonOfASampleFileCarriesTheRecordAndTheFit) {
  const Result r = RunCli({"show", "--json", Sample("MAIN ST/A-100/Subgrade/7Sub.lng")});
  ASSERT_EQ(r.code, 0) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["project"], "MAIN ST");
  EXPECT_EQ(j["units"], "English");
  EXPECT_EQ(j["pointCount"], 5);
  ASSERT_EQ(j["points"].size(), 6u);
  EXPECT_EQ(j["points"][0]["present"], true);
  EXPECT_EQ(j["points"][5]["present"], false);
  EXPECT_FALSE(j["points"][5].contains("moisture"));
  EXPECT_NEAR(j["points"][0]["moisture"].get<double>(), 100 * (212.6 - 195.0) / 195.0, 1e-12);
  EXPECT_NEAR(j["fit"]["maxDryDensity"].get<double>(), 111.529, 1e-3);
  EXPECT_NEAR(j["fit"]["optimumMoisture"].get<double>(), 11.9, 0.05);
  EXPECT_EQ(j["fit"]["status"], 0);
  EXPECT_EQ(j["rating"]["density"], "difference = 2.0  pcf - Fair");
  EXPECT_EQ(j["longTestDensity"], 109.5);
}

TEST(CliShow, MetricAndTextOutput) {
  const Result m =
      RunCli({"show", "--json", "--metric", Sample("MAIN ST/A-100/Subgrade/7Sub.lng")});
  ASSERT_EQ(m.code, 0);
  const json j = json::parse(m.out);
  EXPECT_EQ(j["units"], "Metric");
  EXPECT_NEAR(j["fit"]["maxDryDensity"].get<double>(), 111.529 * kMetricDensityFactor, 0.02);
  EXPECT_EQ(j["fit"]["yAxisMin"].get<int>() % 20, 0);
  EXPECT_NE(j["rating"]["density"].get<std::string>().find("kg/m\xC2\xB3"), std::string::npos);
  EXPECT_EQ(j["longTestDensity"], 109.5);  // stored in pcf whatever the units

  const Result t = RunCli({"show", Sample("COUNTY RD 9/Lime/12Lim.lng")});
  ASSERT_EQ(t.code, 0);
  EXPECT_NE(t.out.find("Project:     COUNTY RD 9"), std::string::npos);
  EXPECT_NE(t.out.find("Status:      0"), std::string::npos);
}

TEST(CliShow, ARefusedFileIsReportedAndTheOthersStillShown) {
  TempDir dir;
  WriteText(dir / "bad.lng", std::string("\x2D\x77\0\0\x03LNG", 8));
  const Result r = RunCli({"show", "--json", dir / "bad.lng", Sample("COUNTY RD 9/Lime/12Lim.lng"),
                           dir / "missing.lng"});
  EXPECT_EQ(r.code, 1);
  const json j = json::parse(r.out);
  ASSERT_TRUE(j.is_array());
  ASSERT_EQ(j.size(), 1u);
  EXPECT_EQ(j[0]["project"], "COUNTY RD 9");
  EXPECT_NE(r.err.find("The file is not a valid compaction file or it may be corrupted."),
            std::string::npos);
  EXPECT_NE(r.err.find("missing.lng was not found."), std::string::npos);
}

TEST(CliShow, NonFiniteLongTestValuesShowAsBlanksWithoutARating) {
  struct Row {
    double density, moisture;
  };
  const Row rows[] = {{NAN, 11.8}, {109.5, INFINITY}, {-INFINITY, NAN}};
  TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.density) + " " + std::to_string(row.moisture));
    CDensoraDoc doc;
    testdata::FillTypicalRecord(doc);
    doc.m_record.m_dLongTestDensity = row.density;
    doc.m_record.m_dLongTestMoisture = row.moisture;
    testdata::WriteBytes(dir / "t.lng", LngBytes(doc.m_record));

    const Result text = RunCli({"show", dir / "t.lng"});
    ASSERT_EQ(text.code, 0) << text.err;
    std::string shown = text.out.substr(text.out.find("\nVersion:"));  // past the file's name
    for (char& c : shown) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(shown.find("nan"), std::string::npos) << text.out;
    EXPECT_EQ(shown.find("inf"), std::string::npos) << text.out;
    const bool densityShown = std::isfinite(row.density),
               moistureShown = std::isfinite(row.moisture);
    EXPECT_EQ(text.out.find("Rating:      density:  \n") == std::string::npos, densityShown);
    EXPECT_EQ(text.out.find("             moisture: \n") == std::string::npos, moistureShown);

    const json j = json::parse(RunCli({"show", "--json", dir / "t.lng"}).out);
    EXPECT_EQ(j["longTestDensity"].is_null(), !densityShown);
    EXPECT_EQ(j["longTestMoisture"].is_null(), !moistureShown);
    EXPECT_EQ(j["rating"]["density"].get<std::string>().empty(), !densityShown);
    EXPECT_EQ(j["rating"]["moisture"].get<std::string>().empty(), !moistureShown);
  }
}

// Entries a file holds beyond their ranges are listed as read and warned of as typed ones
// are; a point above Gs·γw shows its saturation as "> 100" in the listing, null in JSON,
// with its warning among the checks.
TEST(CliShow, WarnsOfWhatTheFileHoldsAsOfWhatIsTyped) {
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  testdata::SetPoint(doc.m_record, 5, 10.0, 145.0);
  doc.m_record.m_ext.specificGravity = 2.30;
  doc.m_record.m_ext.oversizePercent = 150.0;
  TempDir dir;
  testdata::WriteBytes(dir / "t.lng", LngBytes(doc.m_record));
  const std::string above = "WARNING: Point 6 lies above the zero-air-voids curve (S > 100 %)";
  const std::string range = "WARNING: Oversize = 150 %: Enter a value between 0 and 100";

  const Result text = RunCli({"show", dir / "t.lng"});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_NE(text.out.find("\nOversize:    150 %\n"), std::string::npos) << text.out;
  const std::size_t row = text.out.find("\n  6 ");
  ASSERT_NE(row, std::string::npos) << text.out;
  EXPECT_EQ(text.out.substr(text.out.find('\n', row + 1) - 6, 6), " > 100") << text.out;
  EXPECT_NE(text.out.find(range), std::string::npos) << text.out;
  EXPECT_NE(text.out.find(above), std::string::npos) << text.out;

  const json j = json::parse(RunCli({"show", "--json", dir / "t.lng"}).out);
  EXPECT_TRUE(j["points"][5]["saturation"].is_null());
  EXPECT_EQ(j["oversizePercent"], 150.0);
  const auto& checks = j["checks"];
  EXPECT_NE(std::find(checks.begin(), checks.end(), range), checks.end()) << checks;
  EXPECT_NE(std::find(checks.begin(), checks.end(), above), checks.end()) << checks;
}

TEST(CliShow, AFileNameThatIsNotUtf8StillGivesValidJsonForEveryFile) {
  if (const char* why = testdata::Lacks(testdata::Need::kByteNames)) GTEST_SKIP() << why;
  TempDir dir;
  const std::string odd = dir / "odd\xFF.lng";
  testdata::WriteBytes(odd, testdata::ReadBytes(Sample("COUNTY RD 9/Lime/12Lim.lng")));
  const Result two = RunCli({"show", "--json", odd, Sample("MAIN ST/A-100/Subgrade/7Sub.lng")});
  ASSERT_EQ(two.code, 0) << two.err;
  const json j = json::parse(two.out);  // the parser accepts valid UTF-8 only
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0]["file"], dir / "odd\xEF\xBF\xBD.lng");  // U+FFFD for the byte
  EXPECT_EQ(j[0]["project"], "COUNTY RD 9");
  EXPECT_EQ(j[1]["project"], "MAIN ST");

  const Result one = RunCli({"show", "--json", odd});
  ASSERT_EQ(one.code, 0) << one.err;
  EXPECT_EQ(json::parse(one.out)["project"], "COUNTY RD 9");
}

TEST(CliWrite, ShowThenWriteRoundTripsByteForByte) {
  TempDir dir;
  const std::string original = Sample("MAIN ST/A-100/Embankment/3Emb.lng");
  const Result shown = RunCli({"show", "--json", original});
  ASSERT_EQ(shown.code, 0);
  WriteText(dir / "r.json", shown.out);
  const Result w = RunCli({"write", dir / "r.json", "-o", dir / "copy.lng"});
  ASSERT_EQ(w.code, 0) << w.err;
  EXPECT_EQ(testdata::ReadBytes(dir / "copy.lng"), testdata::ReadBytes(original));

  // Through Metric the file still holds pcf.
  const Result metric = RunCli({"show", "--json", "--metric", original});
  WriteText(dir / "m.json", metric.out);
  ASSERT_EQ(RunCli({"write", dir / "m.json", "-o", dir / "m.lng", "--metric"}).code, 0);
  CDensoraDoc fromMetric, fromEnglish;
  ASSERT_TRUE(fromMetric.OnOpenDocument(dir / "m.lng"));
  ASSERT_TRUE(fromEnglish.OnOpenDocument(original));
  // The maximum was fitted in kg/m3 and divided back: pcf again, up to the last bits.
  EXPECT_NEAR(fromMetric.m_record.m_dMaxDryDensity, fromEnglish.m_record.m_dMaxDryDensity, 1e-9);
  fromMetric.m_record.m_dMaxDryDensity = fromEnglish.m_record.m_dMaxDryDensity;
  EXPECT_EQ(LngBytes(fromMetric.m_record), LngBytes(fromEnglish.m_record));
}

TEST(CliWrite, MissingKeysKeepDefaultsAndTextsBecomeTheCodePage) {
  TempDir dir;
  WriteText(dir / "r.json", R"({"project": "Caf\u00e9 \u20ac", "moldWeight": 4000,
     "points": [{"moldSoil": 5800, "wetSample": 100, "drySample": 88}]})");
  ASSERT_EQ(RunCli({"write", dir / "r.json", "-o", dir / "a.lng"}).code, 0);
  CDensoraDoc doc;
  ASSERT_TRUE(doc.OnOpenDocument(dir / "a.lng"));
  EXPECT_EQ(doc.m_record.m_strProject, "Caf\xE9 \x80");
  EXPECT_EQ(doc.m_record.m_dMoldVolume, 1.0 / 30.0);
  EXPECT_EQ(doc.m_record.m_nPointCount, 1);
  EXPECT_EQ(doc.m_record.m_dMaxDryDensity, 0.0);  // one point: no maximum

  WriteText(dir / "bad.json", R"({"project": "\u4e2d"})");
  const Result bad = RunCli({"write", dir / "bad.json", "-o", dir / "b.lng"});
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.err.find("project"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "b.lng"));

  WriteText(dir / "type.json", R"({"moldWeight": "heavy"})");
  EXPECT_EQ(RunCli({"write", dir / "type.json", "-o", dir / "c.lng"}).code, 1);
  WriteText(dir / "broken.json", "{");
  EXPECT_EQ(RunCli({"write", dir / "broken.json", "-o", dir / "c.lng"}).code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "c.lng"));
}

// Every laboratory entry goes into the file and comes back out of show, text and JSON, and
// of the summary as it went in; a 0, an empty text or a null is "not entered" and leaves the
// file in the plain layout, and the summary gives it as null. An entry kept for each point
// travels in the points' objects and is no column of the summary. The first row enters every
// entry there is.
TEST(CliLab, EveryEntryTravelsThroughTheFileAndEveryListing) {
  struct Row {
    json entries;
    LabExtension expected;
  };
  json sixLeftOut = json::array();
  for (int i = 0; i < 6; ++i) {
    sixLeftOut.push_back({{"moldSoil", 5800 + 10 * i},
                          {"wetSample", 110 + i},
                          {"drySample", 100},
                          {"excluded", "reason " + std::to_string(i + 1)}});
  }
  const Row rows[] = {
      {{{"specificGravity", 2.7},
        {"specificGravitySource", "measured"},
        {"oversizePercent", 12},
        {"oversizeSpecificGravity", 2.65},
        {"oversizeMoisture", 2},
        {"standard", "AASHTO T 180"},
        {"method", "D"},
        {"points", sixLeftOut},
        {"onePoint.family", "MAIN ST/A-100"},
        {"onePoint.maxDryDensity", 112.5},
        {"onePoint.optimumMoisture", 11.5}},
       {2.7,
        "measured",
        12,
        2.65,
        2,
        "AASHTO T 180",
        "D",
        {"reason 1", "reason 2", "reason 3", "reason 4", "reason 5", "reason 6"},
        "MAIN ST/A-100",
        112.5,
        11.5}},
      // Oven-dry oversize: a moisture of 0 is entered, and travels as 0.
      {{{"oversizePercent", 20}, {"oversizeSpecificGravity", 2.6}, {"oversizeMoisture", 0}},
       {0, "", 20, 2.6, 0.0, "", ""}},
      {{{"specificGravity", 0},
        {"standard", ""},
        {"oversizePercent", nullptr},
        {"oversizeMoisture", nullptr}},
       {}},
  };
  // A value as JSON gives it.
  const auto asJson = [](const EntryValue& v) {
    if (const auto* number = std::get_if<double>(&v)) return json(*number);
    if (const auto* text = std::get_if<std::string>(&v)) return json(*text);
    return json();
  };
  // Where an entry is in a record's JSON: at its key, or at the point's for a point's own.
  const auto at = [](const LabField& f) {
    return f.PerPoint() ? json::json_pointer("/points/" + std::to_string(f.slot) + "/" +
                                             std::string(f.PointKey()))
                        : json::json_pointer("/" + f.key);
  };
  for (const LabField& f : LabFields()) {
    EXPECT_TRUE(rows[0].entries.contains(at(f))) << f.key << ": enter it in the first row";
  }
  TempDir dir;
  const json base = json::parse(R"({"project": "LAB", "moldWeight": 4000,
     "points": [{"moldSoil": 5800, "wetSample": 110, "drySample": 100},
                {"moldSoil": 5900, "wetSample": 112, "drySample": 100},
                {"moldSoil": 5850, "wetSample": 114, "drySample": 100}]})");
  WriteText(dir / "plain.json", base.dump());
  ASSERT_EQ(RunCli({"write", dir / "plain.json", "-o", dir / "plain.lng"}).code, 0);
  std::filesystem::create_directory(dir / "one");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entries.dump());
    json record = base;
    record.update(row.entries);
    WriteText(dir / "r.json", record.dump());
    const std::string file = dir / "one/r.lng";
    const Result w = RunCli({"write", dir / "r.json", "-o", file});
    ASSERT_EQ(w.code, 0) << w.err;
    CDensoraDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(file));
    EXPECT_EQ(doc.m_record.m_ext, row.expected);
    if (row.expected.Empty()) {
      EXPECT_EQ(testdata::ReadBytes(file), testdata::ReadBytes(dir / "plain.lng"));
    }

    const Result shown = RunCli({"show", "--json", file});
    ASSERT_EQ(shown.code, 0) << shown.err;
    const json j = json::parse(shown.out);
    const std::string text = RunCli({"show", file}).out;
    const json summary = json::parse(RunCli({"summary", "--json", dir / "one"}).out);
    ASSERT_EQ(summary.size(), 1u);
    for (const LabField& f : LabFields()) {
      const bool entered = !std::holds_alternative<std::monostate>(f.Get(row.expected));
      if (f.PerPoint()) {
        EXPECT_EQ(j[at(f)], entered ? asJson(ListedValue(f, row.expected)) : json()) << f.key;
        EXPECT_FALSE(summary[0].contains(f.key)) << f.key;
        EXPECT_FALSE(j.contains(f.key)) << f.key;
      } else {
        EXPECT_EQ(j[f.key], asJson(ListedValue(f, row.expected))) << f.key;
        EXPECT_EQ(summary[0][f.key], asJson(f.Get(row.expected))) << f.key;
      }
      EXPECT_EQ(text.find('\n' + f.label + ": ") != std::string::npos, entered) << text;
    }
    // What show printed writes the same file again.
    WriteText(dir / "again.json", shown.out);
    ASSERT_EQ(RunCli({"write", dir / "again.json", "-o", dir / "again.lng"}).code, 0);
    EXPECT_EQ(testdata::ReadBytes(dir / "again.lng"), testdata::ReadBytes(file));
  }
}

// An entry no technician could make is refused with the page's message after its key, and
// an entry of the wrong JSON type as any other key is; no file is written.
TEST(CliLab, WriteRefusesImpossibleEntries) {
  struct Row {
    json entries;
    std::string message;
  };
  const Row rows[] = {
      {{{"specificGravity", 1.5}}, R"("specificGravity": Enter a value between 2.0 and 3.5)"},
      {{{"specificGravitySource", "guessed"}},
       R"("specificGravitySource": Enter "measured" or "assumed")"},
      {{{"oversizePercent", 120}}, R"("oversizePercent": Enter a value between 0 and 100)"},
      {{{"oversizeSpecificGravity", -2.65}},
       R"("oversizeSpecificGravity": Enter a value greater than 0)"},
      {{{"oversizeMoisture", -1}}, R"("oversizeMoisture": Enter a value between 0 and 100)"},
      {{{"standard", "AASHTO T 98"}},
       R"("standard": Enter one of AASHTO T 99, AASHTO T 180, ASTM D698, ASTM D1557)"},
      {{{"standard", "ASTM D698"}, {"method", "D"}},
       R"("method": Enter a method of the standard (ABC))"},
      {{{"onePoint.family", "MAIN ST/../../etc"}},
       R"("onePoint.family": Enter a folder of the projects directory)"},
      {{{"onePoint.family", "/srv/tests"}},
       R"("onePoint.family": Enter a folder of the projects directory)"},
      {{{"onePoint.family", "C:\\Densora\\curves"}},
       R"("onePoint.family": Enter a folder of the projects directory)"},
      {{{"specificGravity", "2.70"}}, R"("specificGravity" must be a number)"},
      {{{"method", 1}}, R"("method" must be a text)"},
  };
  TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entries.dump());
    json record = {{"project", "LAB"}, {"moldWeight", 4000}};
    record.update(row.entries);
    WriteText(dir / "r.json", record.dump());
    const Result w = RunCli({"write", dir / "r.json", "-o", dir / "r.lng"});
    EXPECT_EQ(w.code, 1);
    EXPECT_EQ(w.err, (dir / "r.json") + ": " + row.message + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "r.lng"));
  }
}

TEST(CliWrite, InputsNoRecordCanBeAreRefusedBeforeParsing) {
  struct Row {
    std::string name;  // "-": the text comes on standard input
    std::string json;
    int code;
    std::string message;
  };
  TempDir dir;
  const std::string padding((1 << 20) + 1, ' ');
  const Row rows[] = {
      {"deep.json", std::string(100000, '[') + std::string(100000, ']'), 1,
       (dir / "deep.json") + ": JSON nested deeper than 64 levels"},
      {"big.json", R"({"project": "X"})" + padding, 1,
       (dir / "big.json") + " is too large to be read."},
      {"-", R"({"project": "X"})" + padding, 1, "standard input is too large to be read."},
      // Brackets inside texts are no nesting.
      {"texts.json", R"({"project": "[\"[", "comments": ")" + std::string(100, '[') + "\"}", 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string file = dir / (row.name == "-" ? "stdin.json" : row.name);
    WriteText(file, row.json);
    const std::string out = dir / "out.lng";
    const bool piped = row.name == "-";
    const Result r = RunBinary({"write", piped ? "-" : file, "-o", out}, piped ? file : "");
    EXPECT_EQ(r.code, row.code) << r.err;
    EXPECT_EQ(std::filesystem::exists(out), row.code == 0);
    EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    std::filesystem::remove(out);
  }
}

// A one-point test written from its record stores the result its family gives the point
// (its own fit keeps no maximum), shows it again from the family as it opens, round-trips
// through show and write, is found through the program's setting when --projects is not
// given, and keeps its stored result, saying so, once the family has fewer than three curves.
TEST(CliOnePoint, ARecordWrittenAndShownTakesItsResultFromTheFamily) {
  namespace fs = std::filesystem;
  TempDir dir;
  const fs::path data = fs::path(DENSORA_SAMPLES_DIR).parent_path() / "family";
  fs::copy(data / "projects", dir.path() / "projects", fs::copy_options::recursive);
  const std::string projects = dir / "projects";
  const std::string file = dir / "21One.lng";
  const Result w =
      RunCli({"write", (data / "records/21One.json").string(), "-o", file, "--projects", projects});
  ASSERT_EQ(w.code, 0) << w.err;
  CDensoraDoc doc;
  ASSERT_TRUE(doc.OnOpenDocument(file));
  EXPECT_EQ(doc.m_record.m_ext.onePointFamily, "curves");
  EXPECT_EQ(doc.m_record.m_dMaxDryDensity, 0.0);
  const double stored = doc.m_record.m_ext.onePointMaxDryDensity;
  EXPECT_GT(stored, 108.0);  // between the peaks of 5Sub and 7Sub
  EXPECT_LT(stored, 111.6);

  const Result shown = RunCli({"show", "--json", "--projects", projects, file});
  ASSERT_EQ(shown.code, 0) << shown.err;
  const json onePoint = json::parse(shown.out)["onePoint"];
  EXPECT_EQ(onePoint["family"], "curves");
  EXPECT_EQ(onePoint["maxDryDensity"], stored);
  EXPECT_EQ(onePoint["optimumMoisture"], doc.m_record.m_ext.onePointOptimumMoisture);
  EXPECT_EQ(onePoint["between"], json::array({"5Sub.lng", "7Sub.lng"}));
  EXPECT_EQ(onePoint["checks"], json::array());
  WriteText(dir / "again.json", shown.out);
  ASSERT_EQ(
      RunCli({"write", dir / "again.json", "-o", dir / "again.lng", "--projects", projects}).code,
      0);
  EXPECT_EQ(testdata::ReadBytes(dir / "again.lng"), testdata::ReadBytes(file));

  {
    // The program's own setting names the projects directory.
    const testdata::ProgramSetting setting("Project Directory", projects);
    const Result set = RunCli({"show", "--json", file});
    EXPECT_EQ(json::parse(set.out)["onePoint"], onePoint);
  }

  fs::remove(dir.path() / "projects/curves/5Sub.lng");
  fs::remove(dir.path() / "projects/curves/7Sub.lng");
  const json gone = json::parse(RunCli({"show", "--json", "--projects", projects, file}).out);
  EXPECT_EQ(gone["onePoint"]["maxDryDensity"], stored);
  EXPECT_EQ(gone["onePoint"]["between"], json::array());
  EXPECT_EQ(gone["onePoint"]["checks"],
            json::array({"The family curves is no longer available: the stored result is shown."}));
}

// The relative-compaction percentages: --percent's, else the desktop program's setting where
// it keeps it (a settings file under $XDG_CONFIG_HOME, else ~/.config; under Windows the
// registry), else 95; a setting that is no list counts as none set. show gives each
// percentage's window, summary its two columns.
TEST(CliCompaction, PercentagesComeFromTheOptionTheSettingOr95) {
  struct Row {
    const char* name;
    const char* settings;  // the file's text; nullptr: no file
    const char* value;     // the setting, where the system keeps texts; nullptr: none
    bool underHome;        // in ~/.config, without XDG_CONFIG_HOME
    std::vector<std::string> option;
    std::vector<double> percents;
  };
  const Row rows[] = {
      {"no settings", nullptr, nullptr, false, {}, {95}},
      {"settings without it", "[General]\nProject%20Directory=/tmp/p\n", nullptr, false, {}, {95}},
      {"two percentages",
       "[General]\nRelative%20Compaction=\"90,95\"\n",
       "90,95",
       false,
       {},
       {90, 95}},
      {"two percentages in ~/.config",
       "[General]\nRelative%20Compaction=\"90,95\"\n",
       nullptr,
       true,
       {},
       {90, 95}},
      {"none", "[General]\nRelative%20Compaction=\n", "", false, {}, {}},
      {"in another group only",
       "[Recent%20File%20List]\nRelative%20Compaction=90\n",
       nullptr,
       false,
       {},
       {95}},
      {"no list", "Relative%20Compaction=lots\n", "lots", false, {}, {95}},
      {"the option over the setting",
       "[General]\nRelative%20Compaction=90\n",
       "90",
       false,
       {"--percent", "98,92.5"},
       {92.5, 98}},
  };
  // Where the program keeps its settings as texts, only the rows of a setting's value.
  const bool inRegistry = testdata::Lacks(testdata::Need::kXdgSettings) != nullptr;
  const std::string file = Sample("MAIN ST/A-100/Subgrade/7Sub.lng");
  const std::string before = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (inRegistry && row.settings != nullptr && row.value == nullptr) continue;
    std::optional<testdata::ProgramSetting> kept;
    if (inRegistry && row.value != nullptr) kept.emplace("Relative Compaction", row.value);
    TempDir dir;
    const std::filesystem::path config = row.underHome ? dir.path() / ".config" : dir.path();
    if (!inRegistry && row.settings != nullptr) {
      std::filesystem::create_directories(config / "Vollin");
      WriteText((config / "Vollin/Densora.conf").string(), row.settings);
    }
    if (row.underHome) {
      testdata::UnsetEnvironment("XDG_CONFIG_HOME");
      testdata::SetEnvironment("HOME", dir.path().string());
    } else {
      testdata::SetEnvironment("XDG_CONFIG_HOME", dir.path().string());
    }
    std::vector<std::string> show = {"show", "--json", file};
    show.insert(show.end(), row.option.begin(), row.option.end());
    const Result shown = RunCli(show);
    std::vector<std::string> summary = {"summary", std::string(DENSORA_SAMPLES_DIR)};
    summary.insert(summary.end(), row.option.begin(), row.option.end());
    const Result listed = RunCli(summary);
    testdata::SetEnvironment("XDG_CONFIG_HOME", before);
    testdata::SetEnvironment("HOME", home);

    ASSERT_EQ(shown.code, 0) << shown.err;
    std::vector<double> percents;
    const json j = json::parse(shown.out);
    for (const json& w : j["relativeCompaction"]) {
      percents.push_back(w["percent"].get<double>());
    }
    EXPECT_EQ(percents, row.percents);
    ASSERT_EQ(listed.code, 0) << listed.err;
    std::string header;
    for (const std::string& c : SummaryColumns(row.percents))
      header += (header.empty() ? "" : ",") + c;
    EXPECT_EQ(listed.out.substr(0, listed.out.find('\r')), header);
  }
  // A list the option cannot take is a usage error.
  const Result bad = RunCli({"show", file, "--percent", "95,110"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_EQ(bad.err.substr(0, bad.err.find('\n')),
            "densora-cli show: --percent needs percentages from 50 to 100 with at most one "
            "decimal, at most five, separated by commas (90,95)");
}

// A file that cannot be read has its row with the message under "error" and nothing else;
// the other files' rows are all there, and the exit code tells that one was not read.
TEST(CliSummary, AFileThatCannotBeReadGetsAnErrorRow) {
  TempDir dir;
  std::filesystem::copy(DENSORA_SAMPLES_DIR, dir.path(), std::filesystem::copy_options::recursive);
  WriteText(dir / "COUNTY RD 9/Lime/broken.lng", std::string("\x2D\x77\0\0\x03LNG", 8));
  WriteText(dir / "MAIN ST/empty.lng", "");
  const Result r = RunCli({"summary", dir.path().string()});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "");
  // The path, then the error; the columns of the 95 % window that densora-cli gives without a
  // setting among them.
  const std::string empties(SummaryColumns({95}).size() - 1, ',');
  const std::vector<std::string> expected = {
      "COUNTY RD 9/Lime/12Lim.lng,COUNTY RD 9,",
      "COUNTY RD 9/Lime/broken.lng" + empties +
          "The file is not a valid compaction file or it may be corrupted.",
      "MAIN ST/A-100/Embankment/3Emb.lng,MAIN ST,",
      "MAIN ST/A-100/Subgrade/7Sub.lng,MAIN ST,",
      "MAIN ST/empty.lng" + empties + "Unexpected file format.",
  };
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);  // the header
  for (const std::string& start : expected) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind(start, 0), 0u) << line;
    EXPECT_EQ(line.back(), '\r');
  }
  EXPECT_FALSE(std::getline(lines, line)) << line;
}

// A folder that is not there or is a file gives its message and no table at all.
TEST(CliSummary, AFolderThatCannotBeSummarisedGivesNoOutput) {
  TempDir dir;
  WriteText(dir / "file.lng", "");
  struct Row {
    std::vector<std::string> args;
    int code;
    std::string err;
  };
  const Row rows[] = {
      {{"summary", dir / "missing"}, 1, (dir / "missing") + " was not found.\n"},
      {{"summary", dir / "file.lng"}, 1, (dir / "file.lng") + " is not a folder.\n"},
      {{"summary", "--csv", "--json", dir.path().string()},
       2,
       "densora-cli summary: --csv and --json cannot be given together\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.back());
    const Result r = RunCli(row.args);
    EXPECT_EQ(r.code, row.code);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, row.err);
  }
}

// With -o the table goes into the file instead, whole or not at all: a folder that cannot
// be summarised leaves the file as it was, and no temporary file beside it.
TEST(CliSummary, AnOutputFileGetsTheTableWholeOrNotAtAll) {
  TempDir dir;
  const std::string out = dir / "table.json";
  const Result shown = RunCli({"summary", "--json", DENSORA_SAMPLES_DIR});
  const Result r = RunCli({"summary", "--json", DENSORA_SAMPLES_DIR, "-o", out});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "");
  const auto written = testdata::ReadBytes(out);
  EXPECT_EQ(std::string(written.begin(), written.end()), shown.out);

  const Result missing = RunCli({"summary", dir / "missing", "--output", out});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, (dir / "missing") + " was not found.\n");
  EXPECT_EQ(testdata::ReadBytes(out), written);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(CliUsage, ExitCodes) {
  EXPECT_EQ(RunCli({}).code, 2);
  EXPECT_EQ(RunCli({"frobnicate"}).code, 2);
  EXPECT_EQ(RunCli({"show"}).code, 2);
  EXPECT_EQ(RunCli({"show", "--bogus", "x.lng"}).code, 2);
  EXPECT_EQ(RunCli({"write", "r.json"}).code, 2);
  EXPECT_EQ(RunCli({"write", "r.json", "-o"}).code, 2);
  const Result help = RunCli({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("show FILE.lng"), std::string::npos);
  EXPECT_NE(help.out.find("write RECORD.json"), std::string::npos);
  const Result version = RunCli({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out.rfind("densora-cli ", 0), 0u);
}

// An option's value after "=" or joined to its letter, and "--" before inputs that look like
// options; a switch given a value, an empty value and an option the command does not take
// are refused. Run in a folder that holds a test named "-dash.lng".
TEST(CliUsage, OptionFormsAndTheEndOfTheOptions) {
  struct Row {
    std::vector<std::string> args;
    int code;
    std::string err;      // what the tool says, or its start for a message naming a path
    std::string written;  // the file it writes, if any
  };
  const Row rows[] = {
      {{"show", "--json", "--", "-dash.lng"}, 0, "", ""},
      {{"summary", ".", "--output=out.csv"}, 0, "", "out.csv"},
      {{"summary", ".", "-oout.csv"}, 0, "", "out.csv"},
      {{"summary", "--", ".", "-o", "out.csv"}, 2, "densora-cli summary: only one folder", ""},
      {{"show", "-dash.lng"}, 2, "densora-cli show: unknown option -dash.lng\n", ""},
      {{"show", "--", "--help"}, 1, "--help: --help was not found.", ""},
      {{"summary", ".", "--output="}, 2, "densora-cli summary: -o needs a file name\n", ""},
      {{"show", "--json=yes", "-dash.lng"}, 2, "densora-cli show: --json takes no value\n", ""},
      {{"show", "-oout.csv", "--", "-dash.lng"},
       2,
       "densora-cli show: unknown option -oout.csv\n",
       ""},
  };
  TempDir dir;
  testdata::WriteBytes(dir / "-dash.lng",
                       testdata::ReadBytes(Sample("MAIN ST/A-100/Subgrade/7Sub.lng")));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  for (const Row& row : rows) {
    std::string line;
    for (const std::string& arg : row.args) line += ' ' + arg;
    SCOPED_TRACE(line);
    const Result r = RunCli(row.args);
    EXPECT_EQ(r.code, row.code);
    EXPECT_EQ(r.err.substr(0, row.err.size()), row.err);
    if (row.err.empty()) {
      EXPECT_EQ(r.err, "");
    }
    if (row.code == 0 && row.written.empty()) {
      EXPECT_EQ(json::parse(r.out)["file"], "-dash.lng");
    }
    if (!row.written.empty()) {
      EXPECT_EQ(r.out, "");
      EXPECT_TRUE(std::filesystem::remove(row.written));
    }
  }
  std::filesystem::current_path(before);
}

TEST(CliBinary, EndToEndOnFilesTheTestsWrite) {
  TempDir dir;
  CDensoraDoc doc;
  testdata::FillThreePointExample(doc);
  doc.m_record.m_strProject = "E2E";
  ASSERT_TRUE(doc.OnSaveDocument(dir / "e.lng"));
  const Result r = RunBinary({"show", "--json", dir / "e.lng"});
  ASSERT_EQ(r.code, 0);
  const json j = json::parse(r.out);
  EXPECT_NEAR(j["fit"]["maxDryDensity"].get<double>(), 104.042, 5e-4);
  EXPECT_EQ(j["fit"]["xAxisMin"], 9);
  EXPECT_EQ(j["fit"]["yAxisMax"], 106);

  WriteText(dir / "r.json", r.out);
  EXPECT_EQ(RunBinary({"write", dir / "r.json", "-o", dir / "f.lng"}).code, 0);
  EXPECT_EQ(RunBinary({"show", dir / "nothing.lng"}).code, 1);
  EXPECT_EQ(RunBinary({"show"}).code, 2);
  EXPECT_EQ(RunBinary({"--help"}).code, 0);
}

// An interrupt (Ctrl+C) ends the tool at once with 130 and takes the unfinished output's
// temporary file with it: neither half a table nor a stray file stays beside the output.
TEST(CliBinary, AnInterruptLeavesNoPartOfTheOutput) {
  namespace fs = std::filesystem;
  if (const char* why = testdata::Lacks(testdata::Need::kSignal)) GTEST_SKIP() << why;
  TempDir dir;
  // Enough tests that the table is still being written when the interrupt comes.
  const fs::path tests = dir.path() / "projects/MAIN ST";
  fs::create_directories(tests);
  fs::copy_file(Sample("MAIN ST/A-100/Subgrade/7Sub.lng"), tests / "0.lng");
  for (int i = 1; i < 20000; ++i) {
    fs::create_hard_link(tests / "0.lng", tests / (std::to_string(i) + ".lng"));
  }
  const fs::path outDir = dir.path() / "out";
  fs::create_directory(outDir);
  // The interrupt comes as soon as the table's temporary file is there.
  std::string seen;
  const int code = testdata::InterruptCliProgram(
      {"summary", dir / "projects", "-o", (outDir / "table.csv").string()}, [&] {
        for (const auto& e : fs::directory_iterator(outDir)) seen = e.path().filename().string();
        return !seen.empty();
      });
  ASSERT_EQ(seen.rfind(".densora-", 0), 0u) << "seen in the output's folder: " << seen;
  EXPECT_EQ(code, 130);
  EXPECT_TRUE(fs::is_empty(outDir));
}

// What the tool prints for the sample projects and for --help, and the file it writes from
// 9Bas.json, byte for byte as the files under tests/data hold them. The tool runs in its data
// folder on relative names, so the listings do not depend on where the sources are.
// DENSORA_UPDATE_GOLDEN=1 rewrites the files from the output instead; review their
// difference before committing it.
TEST(CliOutput, ListingsAndHelpAreExactlyTheGoldenFiles) {
  const std::string sub = "MAIN ST/A-100/Subgrade/7Sub.lng";
  const std::string emb = "MAIN ST/A-100/Embankment/3Emb.lng";
  const std::string lime = "COUNTY RD 9/Lime/12Lim.lng";
  TempDir out;
  struct Row {
    std::string golden;  // under tests/data/golden
    std::vector<std::string> args;
    std::string folder = "sample-projects";  // where it runs, under tests/data
    std::string written = "";                // the file it writes instead of printing
  };
  const Row rows[] = {
      {"7Sub.txt", {"show", sub}},
      {"7Sub.json", {"show", "--json", sub}},
      {"3Emb.txt", {"show", emb}},
      {"3Emb.json", {"show", "--json", emb}},
      {"12Lim.txt", {"show", lime}},
      {"12Lim.json", {"show", "--json", lime}},
      // Several files, in the other units: the separators and the array.
      {"all-metric.txt", {"show", "--metric", sub, emb, lime}},
      {"all-metric.json", {"show", "--json", "--metric", sub, emb, lime}},
      // A record with the laboratory's entries, written from 9Bas.json beside it.
      {"9Bas.txt", {"show", "9Bas.lng"}, "lab-extension"},
      {"9Bas.json", {"show", "--json", "9Bas.lng"}, "lab-extension"},
      // The projects directory as a table.
      {"summary.csv", {"summary", "."}},
      {"summary-metric.json", {"summary", "--json", "--metric", "."}},
      {"summary-lab-metric.csv", {"summary", "--metric", "."}, "lab-extension"},
      // The record beside it, written as the program stores a test.
      {"../lab-extension/9Bas.lng",
       {"write", "9Bas.json", "-o", out / "9Bas.lng"},
       "lab-extension",
       out / "9Bas.lng"},
      // A family of the samples and more, and one-point tests of it, between two curves
      // and outside them.
      {"family.txt", {"family", "--projects", ".", "curves"}, "family/projects"},
      {"family.json", {"family", "--json", "--projects", ".", "curves"}, "family/projects"},
      {"one-point.txt", {"show", "--projects", ".", "one-point/21One.lng"}, "family/projects"},
      {"one-point.json",
       {"show", "--json", "--projects", ".", "one-point/21One.lng", "one-point/22One.lng"},
       "family/projects"},
      {"summary-one-point-metric.csv", {"summary", "--metric", "one-point"}, "family/projects"},
      // The usage lines and option help, made from the option table.
      {"help.txt", {"--help"}},
      {"chart-help.txt", {"chart", "--help"}},
      {"summary-help.txt", {"summary", "--help"}},
  };
  const std::filesystem::path dataDir = std::filesystem::path(DENSORA_SAMPLES_DIR).parent_path();
  const std::filesystem::path goldenDir = dataDir / "golden";
  const char* update = std::getenv("DENSORA_UPDATE_GOLDEN");
  const bool rewrite = update != nullptr && std::string(update) == "1";
  const std::filesystem::path before = std::filesystem::current_path();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.golden);
    std::filesystem::current_path(dataDir / row.folder);
    const Result r = RunBinary(row.args);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    std::string output = r.out;
    if (!row.written.empty()) {
      const auto bytes = testdata::ReadBytes(row.written);
      output.assign(bytes.begin(), bytes.end());
    }
    const std::string golden = (goldenDir / row.golden).string();
    if (rewrite) {
      testdata::WriteBytes(golden, std::vector<unsigned char>(output.begin(), output.end()));
      continue;
    }
    EXPECT_TRUE(std::filesystem::exists(golden)) << "run with DENSORA_UPDATE_GOLDEN=1 to write it";
    const auto expected = testdata::ReadBytes(golden);
    EXPECT_EQ(output, std::string(expected.begin(), expected.end()));
  }
  std::filesystem::current_path(before);
}
