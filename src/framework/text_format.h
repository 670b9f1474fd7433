#pragma once
// printf-style formatting into a std::string of whatever length the result needs, the one way
// the program writes numbers: always with a decimal point, whatever the locale.
#include <string>

namespace framework {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
StrFormat(const char* format, ...);

// One number with a printf conversion ("%.1f", "  %.2f", ...); a value that is not finite
// gives the empty text, so an impossible result prints as a blank and never as "inf".
std::string FormatFinite(const char* format, double value);

}  // namespace framework
