#include "payload/Utf.h"

#include <cstdint>

namespace {

void AppendUtf8(std::string& Out, char32_t C) {
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

void AppendUtf16(std::u16string& Out, char32_t C) {
  if (C < 0x10000) {
    Out += static_cast<char16_t>(C);
  } else {
    C -= 0x10000;
    Out += static_cast<char16_t>(0xD800 + (C >> 10));
    Out += static_cast<char16_t>(0xDC00 + (C & 0x3FF));
  }
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size(); ++I) {
    char32_t C = Text[I];
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 && Text[I + 1] <= 0xDFFF) {
      C = 0x10000 + ((C - 0xD800) << 10) + (Text[I + 1] - 0xDC00);
      ++I;
    } else if (C >= 0xD800 && C <= 0xDFFF) {
      C = 0xFFFD;
    }
    AppendUtf8(Out, C);
  }
  return Out;
}

std::u16string Utf8ToUtf16(std::string_view Bytes) {
  std::u16string Out;
  Out.reserve(Bytes.size());
  std::size_t I = 0;
  while (I < Bytes.size()) {
    const auto B = static_cast<std::uint8_t>(Bytes[I]);
    int Extra = 0;
    char32_t C = 0;
    char32_t Min = 0;
    if (B < 0x80) {
      C = B;
    } else if ((B & 0xE0) == 0xC0) {
      Extra = 1, C = B & 0x1F, Min = 0x80;
    } else if ((B & 0xF0) == 0xE0) {
      Extra = 2, C = B & 0x0F, Min = 0x800;
    } else if ((B & 0xF8) == 0xF0) {
      Extra = 3, C = B & 0x07, Min = 0x10000;
    } else {
      AppendUtf16(Out, 0xFFFD);
      ++I;
      continue;
    }
    bool Good = I + static_cast<std::size_t>(Extra) < Bytes.size();
    for (int K = 1; Good && K <= Extra; ++K) {
      const auto Next = static_cast<std::uint8_t>(Bytes[I + K]);
      if ((Next & 0xC0) != 0x80) {
        Good = false;
      } else {
        C = (C << 6) | (Next & 0x3F);
      }
    }
    if (!Good || C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
      AppendUtf16(Out, 0xFFFD);
      ++I;
      continue;
    }
    AppendUtf16(Out, C);
    I += static_cast<std::size_t>(Extra) + 1;
  }
  return Out;
}
