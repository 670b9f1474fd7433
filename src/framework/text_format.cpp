#include "framework/text_format.h"

#include <locale.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace framework {

namespace {

// Numbers are written with a decimal point whatever language the user's environment sets
// (a windowing toolkit takes the locale from it): the formatting runs in the "C" numeric
// locale, for this thread only and only while it formats.
class CNumericLocale {
 public:
  CNumericLocale() : m_previous(Locale() ? uselocale(Locale()) : nullptr) {}
  ~CNumericLocale() {
    if (m_previous) uselocale(m_previous);
  }
  CNumericLocale(const CNumericLocale&) = delete;
  CNumericLocale& operator=(const CNumericLocale&) = delete;

 private:
  static locale_t Locale() {
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
  }
  locale_t m_previous;
};

std::string VFormat(const char* format, std::va_list args) {
  const CNumericLocale numeric;
  std::va_list copy;
  va_copy(copy, args);
  char small[256];
  const int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return {};
  if (static_cast<std::size_t>(needed) < sizeof small)
    return std::string(small, static_cast<std::size_t>(needed));
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
