#pragma once
// The comparison of a fitted result with the laboratory's long test, graded Excellent,
// Good, Fair or Poor.
#include <string>

class CDensoraDoc;

// `fitted` and `longTest` are in the same unit (for density: the current display unit).
// Returns the empty text when either is exactly 0. The text is Windows-1252.
std::string RateLongTest(const CDensoraDoc& doc, double fitted, double longTest, bool isDensity);
