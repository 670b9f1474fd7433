#pragma once
// Conversion between the Windows-1252 code page, in which every record text is held and
// stored, and UTF-8, which the rest of the platform speaks.
#include <string>
#include <string_view>

namespace framework {

// Every Windows-1252 byte has a Unicode character; the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value,
// as Windows itself maps them.
std::string Cp1252ToUtf8(std::string_view cp1252);

// The code point a Windows-1252 byte stands for.
char32_t Cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte for a code point, or -1 when the code page cannot hold it.
int UnicodeToCp1252(char32_t codePoint);

// Converts UTF-8 to Windows-1252. Returns false, leaving `out` unspecified, when the text
// is not valid UTF-8 or holds a character that Windows-1252 cannot hold.
bool Utf8ToCp1252(std::string_view utf8, std::string& out);

// Text for the screen from bytes that ought to be UTF-8, such as a file name: valid UTF-8
// stays as it is, and each byte that is not is taken as the Windows-1252 character it is in
// the names older programs wrote (a Latin-1 "\xDF" shows as "\xC3\x9F", not as "?").
std::string Utf8ForDisplay(std::string_view bytes);

// The key that files names in alphabetical order without regard to case or accents, the
// same on every machine: a Latin letter is filed under its base letter (é under e, ß as ss,
// Æ as ae), so that "Ärzte" stands beside "arzt", not after "Zeta". Spaces, punctuation and
// symbols come first, then digits (one by one: "10" before "7"), then the letters, then
// other scripts. A byte that is not UTF-8 counts as the Windows-1252 character that
// Utf8ForDisplay shows for it.
std::u32string AlphabeticalKey(std::string_view text);

// True when `bytes` are valid UTF-8 throughout: no sequence cut short, overlong, a
// surrogate or beyond Unicode.
bool IsValidUtf8(std::string_view bytes);

// Converts UTF-16 code units to Windows-1252, as the archive's wide text form is read:
// a character the code page cannot hold becomes "?".
std::string Utf16ToCp1252(const std::u16string& utf16);

}  // namespace framework
