// UTF-16 code units: the surrogate ranges of RFC 2781 section 2, shared by every layer that walks
// UTF-16 text.
#pragma once

#include <cstdint>

constexpr bool IsHighSurrogate(std::uint32_t Unit) {
  return Unit >= 0xD800 && Unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(std::uint32_t Unit) {
  return Unit >= 0xDC00 && Unit <= 0xDFFF;
}
constexpr bool IsSurrogate(std::uint32_t Unit) {
  return Unit >= 0xD800 && Unit <= 0xDFFF;
}
// The code point of a high and a low surrogate (both checked by the caller).
constexpr char32_t CombineSurrogates(std::uint32_t High, std::uint32_t Low) {
  return static_cast<char32_t>(0x10000 + ((High - 0xD800) << 10) + (Low - 0xDC00));
}
