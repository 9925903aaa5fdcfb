// UTF-16 code units and their UTF-8 form: the surrogate ranges of RFC 2781 section 2 and the
// UTF-8 bytes of RFC 3629 section 3, shared by every layer that walks UTF-16 text. Header only,
// standard library only, so that the lowest floors can include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

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

// Appends the one to four UTF-8 bytes of CodePoint (at most U+10FFFF, not a surrogate) to Out, a
// container of bytes (std::string, std::vector<std::uint8_t>, ...).
template <typename TBytes> void AppendUtf8(TBytes& Out, char32_t CodePoint) {
  using TByte = typename TBytes::value_type;
  const auto Byte = [&Out](std::uint32_t Value) { Out.push_back(static_cast<TByte>(Value)); };
  const std::uint32_t C = CodePoint;
  if (C < 0x80) {
    Byte(C);
  } else if (C < 0x800) {
    Byte(0xC0 | (C >> 6));
    Byte(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Byte(0xE0 | (C >> 12));
    Byte(0x80 | ((C >> 6) & 0x3F));
    Byte(0x80 | (C & 0x3F));
  } else {
    Byte(0xF0 | (C >> 18));
    Byte(0x80 | ((C >> 12) & 0x3F));
    Byte(0x80 | ((C >> 6) & 0x3F));
    Byte(0x80 | (C & 0x3F));
  }
}

// Appends Text as UTF-8 to Out; a surrogate without its partner is written as U+FFFD, since
// UTF-8 cannot carry it.
template <typename TBytes> void AppendUtf8(TBytes& Out, std::u16string_view Text) {
  const std::size_t N = Text.size();
  for (std::size_t I = 0; I < N; ++I) {
    const char16_t C = Text[I];
    if (IsHighSurrogate(C) && I + 1 < N && IsLowSurrogate(Text[I + 1])) {
      AppendUtf8(Out, CombineSurrogates(C, Text[I + 1]));
      ++I;
    } else if (IsSurrogate(C)) {
      AppendUtf8(Out, U'\uFFFD');
    } else {
      AppendUtf8(Out, static_cast<char32_t>(C));
    }
  }
}
