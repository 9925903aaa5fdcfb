#include "platform/Unicode.h"

#include "text/Utf16.h"

#include <algorithm>
#include <cstdint>
#include <iconv.h>
#include <iterator>

std::string Utf16ToUtf8(std::u16string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  AppendUtf8(Out, Text);
  return Out;
}

std::u16string Utf8ToUtf16(std::string_view Bytes) {
  std::u16string Out;
  Out.reserve(Bytes.size());
  AppendUtf16(Out, Bytes);
  return Out;
}

bool IsValidUtf8(std::string_view Bytes) {
  std::size_t Pos = 0;
  while (Pos < Bytes.size()) {
    char32_t C = 0;
    const std::size_t Len = DecodeUtf8(Bytes, Pos, C);
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
