// Numbers are written digit for digit alike on every system: the exact decimal of the binary
// value, rounded half to even, whatever the C library or the locale would do.
#include "framework/text_format.h"

#include <gtest/gtest.h>

using framework::StrFormat;

TEST(TextFormat, NumbersAreTheExactDecimalOfTheirValueOnEverySystem) {
  struct Row {
    std::string got;
    const char* expected;
  };
  const Row rows[] = {
      // Ties that are exact in binary round to even; 0.15 lies below its decimal.
      {StrFormat("%.2f", 0.125), "0.12"},
      {StrFormat("%.1f", 0.25), "0.2"},
      {StrFormat("%.0f", 2.5), "2"},
      {StrFormat("%.1f", 0.15), "0.1"},
      // Every digit of a large value, not 17 and then zeros.
      {StrFormat("%.2f", 1180591620717411303424.0), "1180591620717411303424.00"},
      {StrFormat("%.15g", 0.1), "0.1"},
      {StrFormat("%.15g", 1e21), "1e+21"},
      {StrFormat("%.1f", -0.04), "-0.0"},
      {StrFormat("%.6f", 1e-7), "0.000000"},
      // The program's other conversions.
      {StrFormat("%02d/%02d/%04d", 7, 4, 2024), "07/04/2024"},
      {StrFormat("  %-4d (empty)", 3), "  3    (empty)"},
      {StrFormat(" %16s|%s", "Subgrade", "x"), "         Subgrade|x"},
      {StrFormat("%lld.0", -9007199254740993LL), "-9007199254740993.0"},
      {StrFormat("%.1f %% retained", 12.25), "12.2 % retained"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.got, row.expected);
}
