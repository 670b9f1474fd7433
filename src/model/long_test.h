#pragma once
// The comparison of a fitted result with the laboratory's long test, graded Excellent,
// Good, Fair or Poor.
#include <optional>
#include <string>

class CDensoraDoc;

// How a fitted result agrees with the long test: the difference without its sign, in the
// unit of the two values, and its grade, "Excellent", "Good", "Fair" or "Poor".
struct LongTestAgreement {
  double difference = 0.0;
  const char* grade = "";
};

// `fitted` and `longTest` are in the same unit (for density: the current display unit).
// Nothing when either is exactly 0 (no long test, no fit) or not finite.
std::optional<LongTestAgreement> CompareLongTest(const CDensoraDoc& doc, double fitted,
                                                 double longTest, bool isDensity);

// The agreement as the long-test page and the report print it ("difference = 2.0  pcf -
// Fair"): the empty text when there is none. The text is Windows-1252.
std::string RateLongTest(const CDensoraDoc& doc, double fitted, double longTest, bool isDensity);

// A long-test value (density in pcf, or moisture) as the fit and the chart take it: a NaN or
// an infinity, which only a damaged file holds, counts as not entered, 0.
double LongTestValue(double value);
