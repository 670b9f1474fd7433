#pragma once
// The comparison of a fitted result with the laboratory's long test, graded Excellent,
// Good, Fair or Poor.
#include <string>

class CDensoraDoc;

// `fitted` and `longTest` are in the same unit (for density: the current display unit).
// Returns the empty text when either is exactly 0. The text is Windows-1252.
std::string RateLongTest(const CDensoraDoc& doc, double fitted, double longTest, bool isDensity);

// A long-test value (density in pcf, or moisture) as the fit and the chart take it: a NaN or
// an infinity, which only a damaged file holds, counts as not entered, 0.
double LongTestValue(double value);
