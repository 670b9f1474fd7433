#include "framework/text_format.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace framework {

namespace {

// One conversion of a format: flags, width, precision and the conversion letter.
struct Directive {
  bool left = false;
  bool zero = false;
  bool plus = false;
  bool space = false;
  int width = 0;
  int precision = -1;
  char conversion = 0;
};

// Puts `body` (with its sign, if any, first) into `out` padded to the directive's width.
void Pad(std::string& out, const Directive& directive, std::string_view sign,
         std::string_view body) {
  const std::size_t length = sign.size() + body.size();
  const std::size_t fill = directive.width > 0 && static_cast<std::size_t>(directive.width) > length
                               ? static_cast<std::size_t>(directive.width) - length
                               : 0;
  if (directive.left) {
    out.append(sign).append(body).append(fill, ' ');
  } else if (directive.zero) {
    out.append(sign).append(fill, '0').append(body);
  } else {
    out.append(fill, ' ').append(sign).append(body);
  }
}

std::string_view SignOf(bool negative, const Directive& directive) {
  if (negative) return "-";
  if (directive.plus) return "+";
  return directive.space ? " " : "";
}

void Integer(std::string& out, Directive directive, std::int64_t value, bool isUnsigned,
             std::uint64_t unsignedValue) {
  char buf[32];
  const bool negative = !isUnsigned && value < 0;
  const std::uint64_t magnitude = isUnsigned ? unsignedValue
                                             : (negative ? 0 - static_cast<std::uint64_t>(value)
                                                         : static_cast<std::uint64_t>(value));
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude);
  std::string body(buf, end);
  if (directive.precision >= 0) {
    directive.zero = false;
    if (body.size() < static_cast<std::size_t>(directive.precision))
      body.insert(0, static_cast<std::size_t>(directive.precision) - body.size(), '0');
    if (directive.precision == 0 && magnitude == 0) body.clear();
  }
  Pad(out, directive, SignOf(negative, directive), body);
}

// A number as printf's %f, %e and %g write it in the "C" locale, digit for digit: the
// shortest correctly rounded decimal of the binary value, whatever the system's own
// formatting and language are.
void Floating(std::string& out, Directive directive, double value) {
  const bool negative = std::signbit(value);
  const double magnitude = std::fabs(value);
  if (!std::isfinite(value)) {
    directive.zero = false;
    Pad(out, directive, SignOf(negative, directive), std::isnan(value) ? "nan" : "inf");
    return;
  }
  const int precision = directive.precision < 0 ? 6 : directive.precision;
  std::chars_format format = std::chars_format::fixed;
  if (directive.conversion == 'e' || directive.conversion == 'E')
    format = std::chars_format::scientific;
  if (directive.conversion == 'g' || directive.conversion == 'G')
    format = std::chars_format::general;
  // The widest fixed text of a double: 309 digits before the point and the precision after.
  std::string buf(static_cast<std::size_t>(precision) + 400, '\0');
  const auto [end, ec] =
      std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, format, precision);
  if (ec != std::errc()) return;
  buf.resize(static_cast<std::size_t>(end - buf.data()));
  Pad(out, directive, SignOf(negative, directive), buf);
}

// The length modifiers of a conversion: "l", "ll" and "z" ("h" is taken and changes nothing).
struct Length {
  int longs = 0;
  bool size = false;
};

// Reads the flags, width, precision and length of the conversion whose '%' stands just
// before `p` into `directive` and `length`, and returns where its conversion letter stands.
const char* ReadDirective(const char* p, std::va_list* args, Directive& directive, Length& length) {
  for (;; ++p) {
    if (*p == '-') {
      directive.left = true;
    } else if (*p == '0') {
      directive.zero = true;
    } else if (*p == '+') {
      directive.plus = true;
    } else if (*p == ' ') {
      directive.space = true;
    } else if (*p != '#') {
      break;
    }
  }
  if (*p == '*') {
    directive.width = va_arg(*args, int);
    if (directive.width < 0) {
      directive.left = true;
      directive.width = -directive.width;
    }
    ++p;
  }
  while (*p >= '0' && *p <= '9') directive.width = directive.width * 10 + (*p++ - '0');
  if (*p == '.') {
    ++p;
    directive.precision = 0;
    if (*p == '*') {
      directive.precision = va_arg(*args, int);
      ++p;
    }
    while (*p >= '0' && *p <= '9') directive.precision = directive.precision * 10 + (*p++ - '0');
  }
  for (;; ++p) {
    if (*p == 'l') {
      ++length.longs;
    } else if (*p == 'z') {
      length.size = true;
    } else if (*p != 'h') {
      break;
    }
  }
  directive.conversion = *p;
  if (directive.left) directive.zero = false;
  return p;
}

std::int64_t SignedArgument(const Length& length, std::va_list* args) {
  if (length.size) return static_cast<std::int64_t>(va_arg(*args, std::ptrdiff_t));
  if (length.longs >= 2) return va_arg(*args, long long);
  if (length.longs == 1) return va_arg(*args, long);
  return va_arg(*args, int);
}

std::uint64_t UnsignedArgument(const Length& length, std::va_list* args) {
  if (length.size) return va_arg(*args, std::size_t);
  if (length.longs >= 2) return va_arg(*args, unsigned long long);
  if (length.longs == 1) return va_arg(*args, unsigned long);
  return va_arg(*args, unsigned);
}

// Writes the argument of one conversion; false when the conversion is none this program
// writes, and no argument is taken.
bool Convert(std::string& out, Directive directive, const Length& length, std::va_list* args) {
  switch (directive.conversion) {
    case 'd':
    case 'i':
      Integer(out, directive, SignedArgument(length, args), false, 0);
      return true;
    case 'u':
      Integer(out, directive, 0, true, UnsignedArgument(length, args));
      return true;
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
      Floating(out, directive, va_arg(*args, double));
      return true;
    case 'c': {
      directive.zero = false;
      const char c = static_cast<char>(va_arg(*args, int));
      Pad(out, directive, "", std::string_view(&c, 1));
      return true;
    }
    case 's': {
      directive.zero = false;
      const char* s = va_arg(*args, const char*);
      std::string_view text = s ? s : "(null)";
      if (directive.precision >= 0 && text.size() > static_cast<std::size_t>(directive.precision))
        text = text.substr(0, static_cast<std::size_t>(directive.precision));
      Pad(out, directive, "", text);
      return true;
    }
    default:
      return false;
  }
}

// The text of `format` with each conversion replaced by its argument from `args`.
std::string VFormat(const char* format, std::va_list* args) {
  std::string out;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    ++p;
    if (*p == '%') {
      out += '%';
      continue;
    }
    Directive directive;
    Length length;
    p = ReadDirective(p, args, directive, length);
    if (Convert(out, directive, length, args)) continue;
    // Not a conversion this program writes: the text stays as it stands.
    if (*p == '\0') return out;
    out += '%';
    out += *p;
  }
  return out;
}

}  // namespace

std::string StrFormat(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::string out = VFormat(format, &args);
  va_end(args);
  return out;
}

std::string FormatFinite(const char* format, double value) {
  if (!std::isfinite(value)) return {};
  return StrFormat(format, value);
}

}  // namespace framework
