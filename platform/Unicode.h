// Conversions between UTF-16 text and UTF-8 bytes, and the ASCII helpers the text forms share
// (letter case, hexadecimal digits).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// An unpaired surrogate is written as U+FFFD, since UTF-8 cannot carry it.
std::string Utf16ToUtf8(std::u16string_view Text);
// Ill-formed bytes (RFC 3629 section 4) each become one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view Bytes);
// ---- ECI character sets (ISO/IEC 18004 clause 7.4.2, the AIM ECI assignments) ----
// The name iconv knows the character set of an ECI assignment number by (3 "ISO-8859-1",
// 4 "ISO-8859-2", 20 "SHIFT_JIS", 26 "UTF-8" ...), or nullptr for a number that names none.
const char* EciCharset(int Eci);
// Bytes read in the character set of Eci; empty when Eci names no character set, when this
// system's iconv does not know it, or when Bytes are not well-formed in it.
std::optional<std::u16string> DecodeEciBytes(std::string_view Bytes, int Eci);

// True when Bytes is well-formed UTF-8 (RFC 3629: no overlong forms, no surrogates, at most
// U+10FFFF).
bool IsValidUtf8(std::string_view Bytes);

// ---- ASCII letter case: A-Z are taken as a-z, every other code unit as itself ----
// True when A and B hold the same code units but for ASCII letter case (the way the registry
// compares names, and file extensions are compared).
bool EqualIgnoringAsciiCase(std::u16string_view A, std::u16string_view B);
bool EqualIgnoringAsciiCase(std::string_view A, std::string_view B);
bool StartsWithIgnoringAsciiCase(std::u16string_view Text, std::u16string_view Prefix);
bool StartsWithIgnoringAsciiCase(std::string_view Text, std::string_view Prefix);

// ---- hexadecimal digits ----
// The value of the digit 0-9, a-f or A-F; -1 for any other code unit.
constexpr int HexDigitValue(char32_t C) {
  if (C >= U'0' && C <= U'9') return static_cast<int>(C - U'0');
  if (C >= U'a' && C <= U'f') return static_cast<int>(C - U'a') + 10;
  if (C >= U'A' && C <= U'F') return static_cast<int>(C - U'A') + 10;
  return -1;
}
// The digit 0-9 or A-F of Value's lowest four bits.
constexpr char UpperHexDigit(unsigned Value) {
  return "0123456789ABCDEF"[Value & 0xF];
}
