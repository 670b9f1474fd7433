// The tab pages' rules without a window: number fields, the digit check, the record's
// date, the wet-sample offer, the weight order and the County list.
#include "model/page_rules.h"

#include <gtest/gtest.h>

#include <limits>

#include "model/compaction_record.h"
#include "model/lab_results.h"

using namespace pages;

namespace {

bool Reads(const std::string& text, double expected) {
  double v = -12345.0;
  return ParseNumber(text, v) && v == expected;
}

bool Refused(const std::string& text) {
  double v = -12345.0;
  return !ParseNumber(text, v) && v == -12345.0;
}

}  // namespace

TEST(NumberField, WritesTheShortestFormWithFifteenDigits) {
  EXPECT_EQ(FormatNumber(0.0), "0");
  EXPECT_EQ(FormatNumber(300.0), "300");
  EXPECT_EQ(FormatNumber(1.0 / 30.0), "0.0333333333333333");
  EXPECT_EQ(FormatNumber(6020.4), "6020.4");
  EXPECT_EQ(FormatNumber(-12.5), "-12.5");
  EXPECT_EQ(FormatNumber(1e20), "1e+20");
  EXPECT_EQ(FormatNumber(1.5e-7), "1.5e-07");
  EXPECT_EQ(FormatNumber(123456789012345678.0), "1.23456789012346e+17");
}

TEST(NumberField, ReadsWhatStrtodReadsWithBlanksAround) {
  EXPECT_TRUE(Reads("212.6", 212.6));
  EXPECT_TRUE(Reads("  \t212.6", 212.6));
  EXPECT_TRUE(Reads("212.6 \t ", 212.6));
  EXPECT_TRUE(Reads("-5", -5.0));
  EXPECT_TRUE(Reads("+5", 5.0));
  EXPECT_TRUE(Reads(".5", 0.5));
  EXPECT_TRUE(Reads("5.", 5.0));
  EXPECT_TRUE(Reads("1e3", 1000.0));
  EXPECT_TRUE(Reads("2.5E-1", 0.25));
  EXPECT_TRUE(Reads("0", 0.0));
  EXPECT_TRUE(Reads("0.0", 0.0));
  EXPECT_TRUE(Reads("000", 0.0));
}

TEST(NumberField, RefusesWhatIsNotANumber) {
  EXPECT_TRUE(Refused(""));
  EXPECT_TRUE(Refused("   "));
  EXPECT_TRUE(Refused("."));
  EXPECT_TRUE(Refused("-"));
  EXPECT_TRUE(Refused("12a"));
  EXPECT_TRUE(Refused("1 2"));
  EXPECT_TRUE(Refused("1,5"));
  EXPECT_TRUE(Refused("1e"));
  EXPECT_TRUE(Refused("0x10"));
  EXPECT_TRUE(Refused("inf"));
  EXPECT_TRUE(Refused("nan"));
  EXPECT_TRUE(Refused("1e999"));
}

TEST(NumberField, AZeroMustBeWrittenWithALeadingZero) {
  // A zero from a text that does not start with "0" counts as unreadable.
  EXPECT_TRUE(Refused("-0"));
  EXPECT_TRUE(Refused(".0"));
  EXPECT_TRUE(Refused("+0"));
  EXPECT_TRUE(Refused("1e-400"));
}

TEST(NumberField, ALongNumberIsRefusedNotCutShort) {
  const std::string thirtyOne(31, '1');
  double v = 0.0;
  ASSERT_TRUE(ParseNumber(thirtyOne, v));
  EXPECT_DOUBLE_EQ(v, 1.1111111111111111e30);
  // Forty digits: the first 31 alone would be a number 10^9 times smaller than typed.
  EXPECT_TRUE(Refused("1234567890123456789012345678901234567890"));
  EXPECT_TRUE(Refused(std::string(32, '1')));
  // Blanks around do not count against the limit.
  EXPECT_TRUE(ParseNumber("    " + thirtyOne + "    ", v));
}

TEST(NumberField, WhatIsWrittenReadsBackToTheShownValue) {
  for (double d : {0.0, 1.0 / 30.0, 300.0, -4.25, 6020.4, 1e-5, 98765.4321}) {
    double back = 0.0;
    ASSERT_TRUE(ParseNumber(FormatNumber(d), back)) << d;
    EXPECT_EQ(FormatNumber(back), FormatNumber(d));
  }
}

TEST(NumericText, AllowsDigitsAndOnePoint) {
  EXPECT_TRUE(IsNumericText(""));
  EXPECT_TRUE(IsNumericText("110.5"));
  EXPECT_TRUE(IsNumericText("."));
  EXPECT_TRUE(IsNumericText("12."));
  EXPECT_FALSE(IsNumericText("1.2.3"));
  EXPECT_FALSE(IsNumericText("-1"));
  EXPECT_FALSE(IsNumericText("1 "));
  EXPECT_FALSE(IsNumericText("1e5"));
  EXPECT_FALSE(IsNumericText("+2"));
}

// A laboratory entry left empty is 0, "not entered", and 0 shows empty again.
TEST(OptionalNumberField, EmptyIsZeroBothWays) {
  struct Case {
    const char* text;
    bool reads;
    double value;
  };
  for (const Case& c : {Case{"", true, 0.0}, Case{" \t", true, 0.0}, Case{"2.70", true, 2.7},
                        Case{"0", true, 0.0}, Case{".", false, -1.0}, Case{"2x", false, -1.0}}) {
    double v = -1.0;
    EXPECT_EQ(ParseOptionalNumber(c.text, v), c.reads) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  EXPECT_EQ(FormatOptionalNumber(0.0), "");
  EXPECT_EQ(FormatOptionalNumber(2.7), "2.7");
  EXPECT_EQ(FormatOptionalNumber(std::numeric_limits<double>::quiet_NaN()), "");
}

// Which warning each Soil and Method field gives as the user leaves it, by the entry's key
// (none: the mold volume): its range, after the field's name.
TEST(SoilFieldWarning, EachFieldWithItsRange) {
  struct Case {
    const char* key;
    const char* text;
    std::string warning;
  };
  const std::string gs = "Specific gravity: enter a value between 2.0 and 3.5.";
  const std::string retained = "Oversize percent retained: enter a value between 0 and 100.";
  const std::string pct = "Oversize moisture: enter a value between 0 and 100.";
  const std::string pos = "Mold volume: enter a value greater than 0.";
  for (const Case& c : {
           Case{"specificGravity", "3.6", gs},
           Case{"specificGravity", "1.99", gs},
           Case{"specificGravity", "3.5", ""},
           Case{"specificGravity", "2.0", ""},
           Case{"specificGravity", "", ""},  // not entered
           Case{"specificGravity", "0", ""},
           Case{"specificGravity", ".", ""},  // no number: answered while typing
           Case{"oversizePercent", "100.5", retained},
           Case{"oversizePercent", "100", ""},
           Case{"oversizeMoisture", "101", pct},
           Case{"oversizeMoisture", "12", ""},
           Case{"oversizeSpecificGravity", "9", ""},
           Case{"oversizeSpecificGravity", "0", ""},
           Case{"oversizeSpecificGravity", "-1",
                "Oversize bulk specific gravity: enter a value "
                "greater than 0."},
           Case{nullptr, "0", pos},
           Case{nullptr, "0.0", pos},
           Case{nullptr, "0.075", ""},
           Case{nullptr, "", ""},
       }) {
    EXPECT_EQ(c.key ? LeavingEntryWarning(c.key, c.text) : LeavingMoldVolumeWarning(c.text),
              c.warning)
        << (c.key ? c.key : "mold volume") << " " << c.text;
  }
}

TEST(FixedTwo, RoundsToTwoPlaces) {
  EXPECT_EQ(FormatFixed2(110.5), "110.50");
  EXPECT_EQ(FormatFixed2(0.0), "0.00");
  EXPECT_EQ(FormatFixed2(1770.0 / 16.01761145378001 * 16.01761145378001), "1770.00");
  EXPECT_EQ(FormatFixed2(std::numeric_limits<double>::infinity()), "");
}

TEST(RecordDate, IsMonthDayYearWithLeadingZeros) {
  EXPECT_EQ(FormatRecordDate(2003, 5, 9), "05/09/2003");
  EXPECT_EQ(FormatRecordDate(2026, 12, 31), "12/31/2026");
}

TEST(RecordDate, ReadsTheThreePieces) {
  int y = 0, m = 0, d = 0;
  ASSERT_TRUE(ParseRecordDate("05/09/2003", y, m, d));
  EXPECT_EQ(y, 2003);
  EXPECT_EQ(m, 5);
  EXPECT_EQ(d, 9);
  EXPECT_FALSE(ParseRecordDate("", y, m, d));
}

TEST(RecordDate, NormalisesAsMktimeDoes) {
  int y = 0, m = 0, d = 0;
  ASSERT_TRUE(ParseRecordDate("13/01/2003", y, m, d));  // month 13: January next year
  EXPECT_EQ(FormatRecordDate(y, m, d), "01/01/2004");
  ASSERT_TRUE(ParseRecordDate("03/00/2004", y, m, d));  // day 0: the last of February
  EXPECT_EQ(FormatRecordDate(y, m, d), "02/29/2004");
  ASSERT_TRUE(ParseRecordDate("02/30/2003", y, m, d));
  EXPECT_EQ(FormatRecordDate(y, m, d), "03/02/2003");
  ASSERT_TRUE(ParseRecordDate("00/15/2003", y, m, d));  // month 0: December before
  EXPECT_EQ(FormatRecordDate(y, m, d), "12/15/2002");
  // A piece without leading digits counts as 0: "5/9/2003" has "/2" where the day goes.
  ASSERT_TRUE(ParseRecordDate("5/9/2003", y, m, d));
  EXPECT_EQ(FormatRecordDate(y, m, d), "04/30/2003");
}

TEST(RecordDate, RefusesAYearOutOfRange) {
  int y = 0, m = 0, d = 0;
  EXPECT_FALSE(ParseRecordDate("01/01/0000", y, m, d));
  EXPECT_FALSE(ParseRecordDate("garbage", y, m, d));
  EXPECT_FALSE(ParseRecordDate("12/40/9999", y, m, d));
  EXPECT_TRUE(ParseRecordDate("12/31/9999", y, m, d));
}

// Only a date the calendar has, spelled as the program spells dates, becomes an ISO date.
TEST(RecordDate, IsAnIsoDateOnlyWhenItNamesARealDay) {
  struct Row {
    const char* text;
    const char* iso;
  };
  const Row rows[] = {
      {"06/01/2003", "2003-06-01"},
      {"02/29/2004", "2004-02-29"},
      {"12/31/9999", "9999-12-31"},
      {"02/29/2003", ""},
      {"13/01/2003", ""},
      {"00/15/2003", ""},
      {"6/1/2003", ""},
      {"06-01-2003", ""},
      {" 06/01/2003", ""},
      {"06/01/0000", ""},
      {"ab/cd/efgh", ""},
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(IsoRecordDate(row.text), row.iso) << row.text;
}

TEST(WetSampleOffer, OnlyForZeroOrThreeHundred) {
  EXPECT_TRUE(OffersDefaultWetSample(0.0));
  EXPECT_TRUE(OffersDefaultWetSample(300.0));
  EXPECT_FALSE(OffersDefaultWetSample(300.0001));
  EXPECT_FALSE(OffersDefaultWetSample(212.6));
  EXPECT_FALSE(OffersDefaultWetSample(-300.0));
}

TEST(WeightOrder, WarnsOnlyWhenStrictlyOutOfOrder) {
  CompactionRecord r;
  TestPoint& p = r.Point(3);
  p.m_dMoldSoil = 6000;
  p.m_dWetSample = 250;
  p.m_dDrySample = 260;
  EXPECT_TRUE(DryExceedsWet(p));
  EXPECT_FALSE(WetExceedsMoldSoil(p));
  p.m_dDrySample = 250;
  EXPECT_FALSE(DryExceedsWet(p));
  p.m_dMoldSoil = 249;
  EXPECT_TRUE(WetExceedsMoldSoil(p));
  p.m_dMoldSoil = 250;
  EXPECT_FALSE(WetExceedsMoldSoil(p));
  TestPoint& empty = r.Point(0);
  EXPECT_FALSE(DryExceedsWet(empty));
  EXPECT_FALSE(WetExceedsMoldSoil(empty));
}

TEST(CountyList, OneNameALineTrimmed) {
  const auto names = ParseCountyList("Alder\r\n  Birch  \n\n\tCedar\nDale");
  EXPECT_EQ(names, (std::vector<std::string>{"Alder", "Birch", "Cedar", "Dale"}));
  EXPECT_TRUE(ParseCountyList("").empty());
  EXPECT_TRUE(ParseCountyList("\n \n").empty());
}

TEST(CountyList, ConvertsUtf8ToTheCodePage) {
  const auto names = ParseCountyList(
      "Do\xC3\xB1"
      "a Ana\nZ\xC3\xBCrich\n\xE2\x82\xAC"
      "uro\n");
  EXPECT_EQ(names, (std::vector<std::string>{"Do\xF1"
                                             "a Ana",
                                             "Z\xFCrich", "\x80uro"}));
}

TEST(CountyList, DropsANameTheCodePageCannotHold) {
  // U+0100 (A with macron) has no Windows-1252 byte.
  const auto names = ParseCountyList(
      "Alder\n\xC4\x80"
      "bc\nBirch\n");
  EXPECT_EQ(names, (std::vector<std::string>{"Alder", "Birch"}));
}

TEST(CountyList, AFileThatIsNotUtf8IsTakenAsWindows1252) {
  const auto names = ParseCountyList(
      "Do\xF1"
      "a Ana\nBirch");
  EXPECT_EQ(names, (std::vector<std::string>{"Do\xF1"
                                             "a Ana",
                                             "Birch"}));
}
