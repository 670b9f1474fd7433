#include "framework/archive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using framework::CArchive;
using framework::CArchiveException;
using Bytes = std::vector<unsigned char>;

namespace {

Bytes Stored(const std::string& text) {
  Bytes out;
  CArchive ar(&out);
  ar.WriteString(text);
  return out;
}

std::string Loaded(const Bytes& bytes) {
  CArchive ar(bytes.data(), bytes.size());
  return ar.ReadString();
}

}  // namespace

TEST(Archive, IntegersAndDoublesAreLittleEndian) {
  Bytes out;
  CArchive ar(&out);
  ar.WriteInt32(30509);
  ar.WriteInt32(-2);
  ar.WriteDouble(1.0 / 30.0);
  const Bytes expected = {0x2D, 0x77, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,
                          0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0xA1, 0x3F};
  EXPECT_EQ(out, expected);

  CArchive in(out.data(), out.size());
  EXPECT_EQ(in.ReadInt32(), 30509);
  EXPECT_EQ(in.ReadInt32(), -2);
  EXPECT_EQ(in.ReadDouble(), 1.0 / 30.0);
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, SpecialDoublesKeepTheirBits) {
  Bytes out;
  CArchive ar(&out);
  ar.WriteDouble(-0.0);
  ar.WriteDouble(std::numeric_limits<double>::infinity());
  ar.WriteDouble(std::numeric_limits<double>::denorm_min());
  CArchive in(out.data(), out.size());
  const double z = in.ReadDouble();
  EXPECT_TRUE(z == 0.0 && std::signbit(z));
  EXPECT_TRUE(std::isinf(in.ReadDouble()));
  EXPECT_EQ(in.ReadDouble(), std::numeric_limits<double>::denorm_min());
}

TEST(ArchiveStrings, PrefixLengthGrowsAt255And65534) {
  EXPECT_EQ(Stored(""), Bytes{0x00});
  EXPECT_EQ(Stored("lng"), (Bytes{0x03, 'l', 'n', 'g'}));

  const Bytes b254 = Stored(std::string(254, 'a'));
  ASSERT_EQ(b254.size(), 255u);
  EXPECT_EQ(b254[0], 0xFE);

  const Bytes b255 = Stored(std::string(255, 'a'));
  ASSERT_EQ(b255.size(), 258u);
  EXPECT_EQ((Bytes{b255[0], b255[1], b255[2]}), (Bytes{0xFF, 0xFF, 0x00}));

  const Bytes b65533 = Stored(std::string(65533, 'a'));
  EXPECT_EQ((Bytes{b65533[0], b65533[1], b65533[2]}), (Bytes{0xFF, 0xFD, 0xFF}));
  EXPECT_EQ(b65533.size(), 65536u);

  const Bytes b65534 = Stored(std::string(65534, 'a'));
  ASSERT_EQ(b65534.size(), 65534u + 7u);
  EXPECT_EQ((Bytes(b65534.begin(), b65534.begin() + 7)),
            (Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
}

TEST(ArchiveStrings, EveryPrefixFormReadsBack) {
  for (std::size_t n : {0u, 1u, 254u, 255u, 256u, 65533u, 65534u, 65535u, 70000u}) {
    std::string text(n, 'x');
    for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>(0x20 + i % 200);
    EXPECT_EQ(Loaded(Stored(text)), text) << "length " << n;
  }
}

TEST(ArchiveStrings, WideTextIsConvertedToTheCodePage) {
  // FF FE FF, then the character count, then UTF-16LE: "Ä€x" and a character the code
  // page cannot hold (U+4E2D).
  const Bytes wide = {0xFF, 0xFE, 0xFF, 0x04, 0xC4, 0x00, 0xAC, 0x20, 'x', 0x00, 0x2D, 0x4E};
  EXPECT_EQ(Loaded(wide), std::string("\xC4\x80x?"));

  // A wide text of 300 characters uses the 16-bit form of the second prefix.
  Bytes longWide = {0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01};
  for (int i = 0; i < 300; ++i) {
    longWide.push_back('a');
    longWide.push_back(0);
  }
  EXPECT_EQ(Loaded(longWide), std::string(300, 'a'));
}

TEST(ArchiveErrors, EndOfDataRaisesEndOfFile) {
  const Bytes three = {1, 2, 3};
  CArchive a(three.data(), three.size());
  EXPECT_THROW(a.ReadInt32(), CArchiveException);

  const Bytes seven(7, 0);
  CArchive b(seven.data(), seven.size());
  EXPECT_THROW(b.ReadDouble(), CArchiveException);

  for (const Bytes& broken : {Bytes{}, Bytes{0xFF}, Bytes{0xFF, 0x10}, Bytes{0x05, 'a', 'b'},
                              Bytes{0xFF, 0xFF, 0xFF, 0x01}, Bytes{0xFF, 0xFE, 0xFF},
                              Bytes{0xFF, 0xFE, 0xFF, 0x02, 'a', 0}}) {
    CArchive ar(broken.data(), broken.size());
    EXPECT_THROW(ar.ReadString(), CArchiveException) << broken.size() << " bytes";
  }
}

TEST(ArchiveErrors, AHugeAnnouncedLengthFailsWithoutAllocating) {
  // 0xFFFFFFFE bytes announced by a 7-byte prefix, wide or not, in a file of a few bytes:
  // the check against what is left comes before any allocation.
  const Bytes narrow = {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'a'};
  CArchive a(narrow.data(), narrow.size());
  EXPECT_THROW(a.ReadString(), CArchiveException);

  const Bytes wide = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0};
  CArchive b(wide.data(), wide.size());
  EXPECT_THROW(b.ReadString(), CArchiveException);
}
