#include "framework/text_format.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace framework {

namespace {

std::string VFormat(const char* format, std::va_list args) {
  std::va_list copy;
  va_copy(copy, args);
  char small[256];
  const int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return {};
  if (static_cast<std::size_t>(needed) < sizeof small) return std::string(small, static_cast<std::size_t>(needed));
  std::string out(static_cast<std::size_t>(needed) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<std::size_t>(needed));
  return out;
}

}  // namespace

std::string StrFormat(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::string out = VFormat(format, args);
  va_end(args);
  return out;
}

std::string FormatFinite(const char* format, double value) {
  if (!std::isfinite(value)) return {};
  return StrFormat(format, value);
}

}  // namespace framework
