// Conversions between UTF-16 text and UTF-8 bytes.
#pragma once

#include <string>
#include <string_view>

// An unpaired surrogate is written as U+FFFD, since UTF-8 cannot carry it.
std::string Utf16ToUtf8(std::u16string_view Text);
// Ill-formed bytes (RFC 3629 section 4) each become one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view Bytes);
// True when Bytes is well-formed UTF-8 (RFC 3629: no overlong forms, no surrogates, at most
// U+10FFFF).
bool IsValidUtf8(std::string_view Bytes);
// True when A and B hold the same code units once A-Z are taken as a-z (the way the registry
// compares names, and file extensions are compared).
bool EqualIgnoringAsciiCase(std::u16string_view A, std::u16string_view B);
