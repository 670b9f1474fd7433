#include "framework/codepage.h"

#include <array>

namespace framework {
namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
  return byte;
}

int UnicodeToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (unsigned char c : cp1252) AppendUtf8(out, Cp1252ToUnicode(c));
  return out;
}

namespace {

// The length of the valid UTF-8 sequence at `i` with its code point in `cp`; 0 where the
// bytes there are not valid UTF-8 (cut short, overlong, a surrogate, beyond Unicode).
std::size_t DecodeUtf8At(std::string_view utf8, std::size_t i, char32_t& cp) {
  const auto c = static_cast<unsigned char>(utf8[i]);
  std::size_t len = 0;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    cp = c & 0x1F;
    len = 2;
  } else if ((c & 0xF0) == 0xE0) {
    cp = c & 0x0F;
    len = 3;
  } else if ((c & 0xF8) == 0xF0) {
    cp = c & 0x07;
    len = 4;
  } else {
    return 0;
  }
  if (i + len > utf8.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto cc = static_cast<unsigned char>(utf8[i + k]);
    if ((cc & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cc & 0x3F);
  }
  if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
      (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
    return 0;
  }
  return len;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  char32_t cp = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t len = DecodeUtf8At(bytes, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

namespace {

// The base letters of the Latin letters U+00C0 to U+017F, thirty-two to a line. A digit
// stands for two letters: 1 ae, 2 oe, 3 ij, 4 ss, 5 th; "." is not a letter (the
// multiplication and division signs).
constexpr std::string_view kLatinBase =
    "aaaaaa1ceeeeiiiidnooooo.ouuuuy54"   // U+00C0
    "aaaaaa1ceeeeiiiidnooooo.ouuuuy5y"   // U+00E0
    "aaaaaaccccccccddddeeeeeeeeeegggg"   // U+0100
    "gggghhhhiiiiiiiiii33jjkkklllllll"   // U+0120
    "lllnnnnnnnnnoooooo22rrrrrrssssss"   // U+0140
    "ssttttttuuuuuuuuuuuuwwyyyzzzzzzs";  // U+0160
constexpr char32_t kLatinFirst = 0xC0;
static_assert(kLatinBase.size() == 0x180 - kLatinFirst);

// Where a character is filed: the group in the high bits, its place within it below.
constexpr char32_t kPunctuation = 1U << 21;
constexpr char32_t kDigit = 2U << 21;
constexpr char32_t kLetter = 3U << 21;
constexpr char32_t kOtherScript = 4U << 21;

void AppendLetters(std::u32string& key, std::string_view letters) {
  for (const char c : letters) key += kLetter + static_cast<char32_t>(c);
}

// The base letters of a Latin letter with a diacritic or a ligature; empty for anything else.
std::string_view LatinBase(char32_t cp) {
  if (cp >= kLatinFirst && cp < kLatinFirst + kLatinBase.size()) {
    static constexpr std::string_view kPairs[] = {"ae", "oe", "ij", "ss", "th"};
    const std::string_view base = kLatinBase.substr(cp - kLatinFirst, 1);
    if (base[0] == '.') return {};
    if (base[0] >= '1' && base[0] <= '5') return kPairs[base[0] - '1'];
    return base;
  }
  switch (cp) {
    case 0x0192:  // f with hook, the florin sign of Windows-1252
      return "f";
    case 0x0218:  // S and T with comma below (Romanian)
    case 0x0219:
      return "s";
    case 0x021A:
    case 0x021B:
      return "t";
    case 0x1E9E:  // capital sharp s
      return "ss";
    default:
      return {};
  }
}

}  // namespace

std::u32string AlphabeticalKey(std::string_view text) {
  std::u32string key;
  key.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    std::size_t len = DecodeUtf8At(text, i, cp);
    if (len == 0) {
      cp = Cp1252ToUnicode(static_cast<unsigned char>(text[i]));
      len = 1;
    }
    i += len;
    if (cp >= '0' && cp <= '9') {
      key += kDigit + cp;
    } else if (cp >= 'a' && cp <= 'z') {
      key += kLetter + cp;
    } else if (cp >= 'A' && cp <= 'Z') {
      key += static_cast<char32_t>(kLetter + cp - 'A' + 'a');
    } else if (const std::string_view base = LatinBase(cp); !base.empty()) {
      AppendLetters(key, base);
    } else if (cp < kLatinFirst || (cp >= 0x2000 && cp < 0x20D0)) {
      // Spaces, punctuation and symbols, the general punctuation and currency signs among them.
      key += kPunctuation + cp;
    } else {
      key += kOtherScript + cp;
    }
  }
  return key;
}

bool Utf8ToCp1252(std::string_view utf8, std::string& out) {
  out.clear();
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8At(utf8, i, cp);
    if (len == 0) return false;
    const int b = UnicodeToCp1252(cp);
    if (b < 0) return false;
    out += static_cast<char>(b);
    i += len;
  }
  return true;
}

std::string Utf8ForDisplay(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8At(bytes, i, cp);
    if (len == 0) {
      AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(bytes[i])));
      ++i;
    } else {
      out.append(bytes.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::string Utf16ToCp1252(const std::u16string& utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t u = utf16[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      ++i;  // a pair stands for one character beyond the code page
      out += '?';
      continue;
    }
    const int b = UnicodeToCp1252(u);
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

}  // namespace framework
