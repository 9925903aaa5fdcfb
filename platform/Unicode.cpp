#include "platform/Unicode.h"

#include "text/Utf16.h"

#include <algorithm>
#include <cstdint>
#include <iconv.h>
#include <iterator>

namespace {

// RFC 3629 section 4: the lead bytes of the well-formed multi-byte sequences, the sequence's
// length, and the range its second byte may take; every later byte is 80-BF.
struct TLeadByte {
  unsigned char First, Last;
  std::size_t Length;
  unsigned char SecondLow, SecondHigh;
};
constexpr TLeadByte kLeadBytes[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, // no overlong forms
    {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F}, // no surrogates
    {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF}, // no overlong forms
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F}, // nothing above U+10FFFF
};

// Length of the well-formed sequence at Bytes[Pos] and its scalar value; 0 when ill-formed.
std::size_t DecodeOne(std::string_view Bytes, std::size_t Pos, char32_t& Value) {
  const auto At = [&](std::size_t I) { return static_cast<unsigned char>(Bytes[I]); };
  const unsigned char B0 = At(Pos);
  if (B0 < 0x80) {
    Value = B0;
    return 1;
  }
  const auto Lead =
      std::find_if(std::begin(kLeadBytes), std::end(kLeadBytes),
                   [B0](const TLeadByte& L) { return B0 >= L.First && B0 <= L.Last; });
  if (Lead == std::end(kLeadBytes) || Bytes.size() - Pos < Lead->Length) return 0;
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

} // namespace

std::string Utf16ToUtf8(std::u16string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  AppendUtf8(Out, Text);
  return Out;
}

std::u16string Utf8ToUtf16(std::string_view Bytes) {
  std::u16string Out;
  Out.reserve(Bytes.size());
  std::size_t Pos = 0;
  while (Pos < Bytes.size()) {
    char32_t C = 0;
    const std::size_t Len = DecodeOne(Bytes, Pos, C);
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
  return Out;
}

bool IsValidUtf8(std::string_view Bytes) {
  std::size_t Pos = 0;
  while (Pos < Bytes.size()) {
    char32_t C = 0;
    const std::size_t Len = DecodeOne(Bytes, Pos, C);
    if (Len == 0) return false;
    Pos += Len;
  }
  return true;
}

namespace {

template <class Char>
bool SameIgnoringAsciiCase(std::basic_string_view<Char> A, std::basic_string_view<Char> B) {
  const auto Fold = [](Char C) {
    return C >= Char('A') && C <= Char('Z') ? static_cast<Char>(C - Char('A') + Char('a')) : C;
  };
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(),
                                            [&](Char X, Char Y) { return Fold(X) == Fold(Y); });
}

} // namespace

bool EqualIgnoringAsciiCase(std::u16string_view A, std::u16string_view B) {
  return SameIgnoringAsciiCase(A, B);
}

bool EqualIgnoringAsciiCase(std::string_view A, std::string_view B) {
  return SameIgnoringAsciiCase(A, B);
}

bool StartsWithIgnoringAsciiCase(std::u16string_view Text, std::u16string_view Prefix) {
  return SameIgnoringAsciiCase(Text.substr(0, Prefix.size()), Prefix);
}

bool StartsWithIgnoringAsciiCase(std::string_view Text, std::string_view Prefix) {
  return SameIgnoringAsciiCase(Text.substr(0, Prefix.size()), Prefix);
}

const char* EciCharset(int Eci) {
  switch (Eci) {
  case 0:
  case 2:
    return "CP437";
  case 1:
  case 3:
    return "ISO-8859-1";
  case 20:
    return "SHIFT_JIS";
  case 21:
    return "CP1250";
  case 22:
    return "CP1251";
  case 23:
    return "CP1252";
  case 24:
    return "CP1256";
  case 25:
    return "UTF-16BE";
  case 26:
    return "UTF-8";
  case 27:
  case 170:
    return "US-ASCII";
  case 28:
    return "BIG5";
  case 29:
  case 32:
    return "GB18030";
  case 30:
    return "EUC-KR";
  case 33:
    return "UTF-16LE";
  case 34:
    return "UTF-32BE";
  case 35:
    return "UTF-32LE";
  default:
    break;
  }
  // 4 to 18 but 14: ISO-8859-2 to ISO-8859-16 (ISO-8859-12 was never published).
  static const char* const kIso8859[] = {"ISO-8859-2",  "ISO-8859-3",  "ISO-8859-4", "ISO-8859-5",
                                         "ISO-8859-6",  "ISO-8859-7",  "ISO-8859-8", "ISO-8859-9",
                                         "ISO-8859-10", "ISO-8859-11", nullptr,      "ISO-8859-13",
                                         "ISO-8859-14", "ISO-8859-15", "ISO-8859-16"};
  return Eci >= 4 && Eci <= 18 ? kIso8859[Eci - 4] : nullptr;
}

std::optional<std::u16string> DecodeEciBytes(std::string_view Bytes, int Eci) {
  const char* Charset = EciCharset(Eci);
  if (Charset == nullptr) return std::nullopt;
  if (Eci == 26) { // our own reader: the same answer whatever iconv is installed
    if (!IsValidUtf8(Bytes)) return std::nullopt;
    return Utf8ToUtf16(Bytes);
  }
  const iconv_t Converter = iconv_open("UTF-16LE", Charset);
  if (Converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string In(Bytes);
  std::string Out(In.size() * 4 + 8, '\0'); // at most two code units a byte, and a mark
  char* InPos = In.data();
  std::size_t InLeft = In.size();
  char* OutPos = Out.data();
  std::size_t OutLeft = Out.size();
  const std::size_t Done = iconv(Converter, &InPos, &InLeft, &OutPos, &OutLeft);
  iconv_close(Converter);
  if (Done == static_cast<std::size_t>(-1) || InLeft != 0) return std::nullopt;
  const std::size_t Written = Out.size() - OutLeft;
  std::u16string Text;
  for (std::size_t I = 0; I + 1 < Written; I += 2)
    Text += static_cast<char16_t>(static_cast<unsigned char>(Out[I]) |
                                  (static_cast<unsigned char>(Out[I + 1]) << 8));
  return Text;
}
