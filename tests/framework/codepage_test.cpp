#include "framework/codepage.h"

#include <gtest/gtest.h>

using namespace framework;

TEST(CodePage, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  std::string back;
  ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), back));
  EXPECT_EQ(back, all);
}

TEST(CodePage, HighBytesMapToTheirCharacters) {
  EXPECT_EQ(Cp1252ToUtf8("kg/m\xB3"), "kg/m\xC2\xB3");
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");                    // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x93q\x94"), "\xE2\x80\x9Cq\xE2\x80\x9D");  // curly quotes
  EXPECT_EQ(UnicodeToCp1252(0x2122), 0x99);                           // trade mark
  EXPECT_EQ(UnicodeToCp1252(0x0100), -1);
}

TEST(CodePage, Utf8OutsideTheCodePageIsRefused) {
  std::string out;
  EXPECT_FALSE(Utf8ToCp1252("\xE4\xB8\xAD", out));      // a CJK character
  EXPECT_FALSE(Utf8ToCp1252("\xF0\x9F\x98\x80", out));  // an emoji
  EXPECT_FALSE(Utf8ToCp1252("\xC3", out));              // cut short
  EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF", out));          // overlong
  EXPECT_FALSE(Utf8ToCp1252("\xED\xA0\x80", out));      // a surrogate
  EXPECT_TRUE(Utf8ToCp1252("Caf\xC3\xA9 \xE2\x82\xAC", out));
  EXPECT_EQ(out, "Caf\xE9 \x80");
}

TEST(CodePage, Utf16PairsBecomeOneQuestionMark) {
  EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b");
  EXPECT_EQ(Utf16ToCp1252(u"\u00E9\u20AC"), "\xE9\x80");
}

TEST(CodePage, NamesThatAreNotUtf8AreShownInTheCodePage) {
  EXPECT_EQ(Utf8ForDisplay("Stra\xDF"
                           "e L1"),
            "Stra\xC3\x9F"
            "e L1");
  EXPECT_EQ(Utf8ForDisplay("Stra\xC3\x9F"
                           "e"),
            "Stra\xC3\x9F"
            "e");  // valid UTF-8 stays
  // A lone lead byte, an overlong form and a surrogate are each taken byte by byte.
  EXPECT_EQ(Utf8ForDisplay("\xC3"), "\xC3\x83");
  EXPECT_EQ(Utf8ForDisplay("\xC0\xAF"), "\xC3\x80\xC2\xAF");
  EXPECT_EQ(Utf8ForDisplay("bad\xFF"), "bad\xC3\xBF");
}
