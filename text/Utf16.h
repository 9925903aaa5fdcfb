// UTF-16 code units and their UTF-8 form: the surrogate ranges of RFC 2781 section 2 and the
// UTF-8 bytes of RFC 3629 section 3, shared by every layer that walks UTF-16 text. Header only,
// standard library only, so that the lowest floors can include it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
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

// RFC 3629 section 4: the lead bytes of the well-formed multi-byte sequences, the sequence's
// length, and the range its second byte may take; every later byte is 80-BF.
struct TUtf8LeadByte {
  unsigned char First, Last;
  std::size_t Length;
  unsigned char SecondLow, SecondHigh;
};
inline constexpr TUtf8LeadByte kUtf8LeadBytes[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, // no overlong forms
    {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F}, // no surrogates
    {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF}, // no overlong forms
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F}, // nothing above U+10FFFF
};

// Length of the well-formed UTF-8 sequence at Bytes[Pos] (Pos < size) and its scalar value in
// Value; 0 when ill-formed.
inline std::size_t DecodeUtf8(std::string_view Bytes, std::size_t Pos, char32_t& Value) {
  const auto At = [&](std::size_t I) { return static_cast<unsigned char>(Bytes[I]); };
  const unsigned char B0 = At(Pos);
  if (B0 < 0x80) {
    Value = B0;
    return 1;
  }
  const auto Lead =
      std::find_if(std::begin(kUtf8LeadBytes), std::end(kUtf8LeadBytes),
                   [B0](const TUtf8LeadByte& L) { return B0 >= L.First && B0 <= L.Last; });
  if (Lead == std::end(kUtf8LeadBytes) || Bytes.size() - Pos < Lead->Length) return 0;
  Value = B0 & (0x7Fu >> Lead->Length);
  for (std::size_t I = 1; I < Lead->Length; ++I) {
    const unsigned char B = At(Pos + I);
    const unsigned char Low = I == 1 ? Lead->SecondLow : 0x80;
    const unsigned char High = I == 1 ? Lead->SecondHigh : 0xBF;
    if (B < Low || B > High) return 0;
    Value = (Value << 6) | (B & 0x3F);
  }
  return Lead->Length;
}

// Appends UTF-8 Bytes to Out as UTF-16; an ill-formed byte becomes U+FFFD.
inline void AppendUtf16(std::u16string& Out, std::string_view Bytes) {
  std::size_t Pos = 0;
  while (Pos < Bytes.size()) {
    char32_t C = 0;
    const std::size_t Len = DecodeUtf8(Bytes, Pos, C);
    if (Len == 0) {
      Out += u'\uFFFD';
      ++Pos;
      continue;
    }
    Pos += Len;
    if (C >= 0x10000) {
      C -= 0x10000;
      Out += static_cast<char16_t>(0xD800 + (C >> 10));
      Out += static_cast<char16_t>(0xDC00 + (C & 0x3FF));
    } else {
      Out += static_cast<char16_t>(C);
    }
  }
}
