// Mode selection and segment encoding (ISO/IEC 18004 clause 7.4).
#include "encoder/Encoder.h"
#include "encoder/Utf16.h"

#include <algorithm>
#include <array>

namespace {

// Mode indicators (Table 2) and character-count widths (Table 3) by TMode ordinal.
// clang-format off
constexpr std::array<int, 10> ModeIndicators = {0x0, 0x1, 0x2, 0x3, 0x4, 0x7, 0x8, 0x5, 0x9, 0xD};
constexpr std::array<std::array<int, 3>, 10> CountWidths = {{
    {0, 0, 0},     // terminator
    {10, 12, 14},  // numeric
    {9, 11, 13},   // alphanumeric
    {0, 0, 0},     // structured append
    {8, 16, 16},   // byte
    {0, 0, 0},     // ECI
    {8, 10, 12},   // Kanji
    {0, 0, 0},     // FNC1 first position
    {0, 0, 0},     // FNC1 second position
    {8, 10, 12},   // Hanzi
}};
// clang-format on

// Table 5: alphanumeric values by character code 0..95, -1 for none.
// clang-format off
constexpr std::array<std::int8_t, 96> AlphanumericTable = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x00
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x10
    36, -1, -1, -1, 37, 38, -1, -1, -1, -1, 39, 40, -1, 41, 42, 43,  // 0x20  space $ % * + - . /
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  44, -1, -1, -1, -1, -1,  // 0x30  0-9 :
    -1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,  // 0x40  A-O
    25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, -1, -1, -1, -1, -1,  // 0x50  P-Z
};
// clang-format on

bool IsDigit(char16_t C) {
  return C >= u'0' && C <= u'9';
}

void AppendUtf8(std::uint32_t CodePoint, TByteArray& Out) {
  if (CodePoint < 0x80) {
    Out.push_back(static_cast<std::uint8_t>(CodePoint));
  } else if (CodePoint < 0x800) {
    Out.push_back(static_cast<std::uint8_t>(0xC0 | (CodePoint >> 6)));
    Out.push_back(static_cast<std::uint8_t>(0x80 | (CodePoint & 0x3F)));
  } else if (CodePoint < 0x10000) {
    Out.push_back(static_cast<std::uint8_t>(0xE0 | (CodePoint >> 12)));
    Out.push_back(static_cast<std::uint8_t>(0x80 | ((CodePoint >> 6) & 0x3F)));
    Out.push_back(static_cast<std::uint8_t>(0x80 | (CodePoint & 0x3F)));
  } else {
    Out.push_back(static_cast<std::uint8_t>(0xF0 | (CodePoint >> 18)));
    Out.push_back(static_cast<std::uint8_t>(0x80 | ((CodePoint >> 12) & 0x3F)));
    Out.push_back(static_cast<std::uint8_t>(0x80 | ((CodePoint >> 6) & 0x3F)));
    Out.push_back(static_cast<std::uint8_t>(0x80 | (CodePoint & 0x3F)));
  }
}

void AppendUtf8(const std::u16string& Text, TByteArray& Out) {
  const std::size_t N = Text.size();
  for (std::size_t I = 0; I < N; ++I) {
    const char16_t C = Text[I];
    if (IsHighSurrogate(C) && I + 1 < N && IsLowSurrogate(Text[I + 1])) {
      AppendUtf8(CombineSurrogates(C, Text[I + 1]), Out);
      ++I;
    } else if (IsSurrogate(C)) {
      AppendUtf8(0xFFFD, Out); // a surrogate without its partner
    } else {
      AppendUtf8(C, Out);
    }
  }
}

} // namespace

int TEncoder::ModeIndicatorBits(TMode Mode) {
  return Mode < ModeIndicators.size() ? ModeIndicators[Mode] : 0;
}

int TEncoder::CharCountWidth(TMode Mode, int VersionNum) {
  if (Mode >= CountWidths.size()) {
    return 0;
  }
  const std::size_t Column = VersionNum <= 9 ? 0 : VersionNum <= 26 ? 1 : 2;
  return CountWidths[Mode][Column];
}

int TEncoder::CharCountWidth(TMode Mode, const TVersion& Version) {
  return CharCountWidth(Mode, Version.GetVersionNumber());
}

int TEncoder::AlphanumericValue(int Code) {
  return Code >= 0 && Code < static_cast<int>(AlphanumericTable.size())
             ? AlphanumericTable[static_cast<std::size_t>(Code)]
             : -1;
}

TMode TEncoder::SelectMode(const std::u16string& Content, int& EncodeOptions) {
  if (EncodeOptions == qrNumeric) {
    return qmNumeric;
  }
  if (EncodeOptions == qrAlphanumeric) {
    return qmAlphanumeric;
  }
  if (EncodeOptions != qrAuto) {
    return qmByte;
  }
  if (!Content.empty()) {
    if (std::all_of(Content.begin(), Content.end(), IsDigit)) {
      return qmNumeric;
    }
    if (std::all_of(Content.begin(), Content.end(),
                    [](char16_t C) { return AlphanumericValue(C) >= 0; })) {
      return qmAlphanumeric;
    }
    if (std::all_of(Content.begin(), Content.end(), [](char16_t C) { return C <= 0xFF; })) {
      EncodeOptions = qrISO88591;
      return qmByte;
    }
  }
  EncodeOptions = qrUTF8NoBOM;
  return qmByte;
}

std::u16string TEncoder::StripUnencodable(const std::u16string& Content, TMode Mode,
                                          int EncodeOptions) {
  std::u16string Result;
  Result.reserve(Content.size());
  for (char16_t C : Content) {
    bool Keep = false;
    switch (Mode) {
    case qmNumeric:
      Keep = IsDigit(C);
      break;
    case qmAlphanumeric:
      Keep = AlphanumericValue(C) >= 0;
      break;
    case qmByte:
      Keep = (EncodeOptions == qrISO88591 && C <= 0xFF) || EncodeOptions == qrUTF8NoBOM ||
             EncodeOptions == qrUTF8BOM;
      break;
    default:
      break;
    }
    if (Keep) {
      Result.push_back(C);
    }
  }
  return Result;
}

void TEncoder::WriteSegmentData(const std::u16string& Text, TMode Mode, TBitArray& Bits,
                                int EncodeOptions) {
  switch (Mode) {
  case qmNumeric:
    WriteNumericData(Text, Bits);
    break;
  case qmAlphanumeric:
    WriteAlphanumericData(Text, Bits);
    break;
  case qmByte:
    WriteByteData(Text, Bits, EncodeOptions);
    break;
  default:
    FEncoderError = true;
    break;
  }
}

void TEncoder::WriteNumericData(const std::u16string& Text, TBitArray& Bits) {
  const std::size_t N = Text.size();
  std::size_t I = 0;
  while (I < N) {
    const std::uint32_t D1 = Text[I] - 48u;
    if (I + 2 < N) {
      Bits.AppendBits(D1 * 100 + (Text[I + 1] - 48u) * 10 + (Text[I + 2] - 48u), 10);
      I += 3;
    } else if (I + 1 < N) {
      Bits.AppendBits(D1 * 10 + (Text[I + 1] - 48u), 7);
      I += 2;
    } else {
      Bits.AppendBits(D1, 4);
      I += 1;
    }
  }
}

void TEncoder::WriteAlphanumericData(const std::u16string& Text, TBitArray& Bits) {
  const std::size_t N = Text.size();
  std::size_t I = 0;
  while (I < N) {
    const int A = AlphanumericValue(Text[I]);
    if (A == -1) {
      FEncoderError = true;
      return;
    }
    if (I + 1 < N) {
      const int B = AlphanumericValue(Text[I + 1]);
      if (B == -1) {
        FEncoderError = true;
        return;
      }
      Bits.AppendBits(static_cast<std::uint32_t>(A * 45 + B), 11);
      I += 2;
    } else {
      Bits.AppendBits(static_cast<std::uint32_t>(A), 6);
      I += 1;
    }
  }
}

TByteArray TEncoder::ByteSegmentBytes(const std::u16string& Text, int EncodeOptions) {
  TByteArray Bytes;
  switch (EncodeOptions) {
  case qrISO88591:
    Bytes.reserve(Text.size());
    for (char16_t C : Text) {
      Bytes.push_back(static_cast<std::uint8_t>(C & 0xFF));
    }
    break;
  case qrUTF8BOM:
    Bytes = {0xEF, 0xBB, 0xBF};
    AppendUtf8(Text, Bytes);
    break;
  case qrUTF8NoBOM:
    AppendUtf8(Text, Bytes);
    break;
  default:
    break;
  }
  return Bytes;
}

void TEncoder::WriteByteData(const std::u16string& Text, TBitArray& Bits, int EncodeOptions) {
  for (std::uint8_t B : ByteSegmentBytes(Text, EncodeOptions)) {
    Bits.AppendBits(B, 8);
  }
}

void TEncoder::WriteModeIndicator(TMode Mode, TBitArray& Bits) {
  Bits.AppendBits(static_cast<std::uint32_t>(ModeIndicatorBits(Mode)), 4);
}

void TEncoder::WriteCharCount(int NumLetters, int VersionNum, TMode Mode, TBitArray& Bits) {
  if (VersionNum < TVersion::MinVersion || VersionNum > TVersion::MaxVersion) {
    FEncoderError = true;
    return;
  }
  const int Width = CharCountWidth(Mode, VersionNum);
  if (NumLetters < 0 || static_cast<long long>(NumLetters) > (1LL << Width) - 1) {
    FEncoderError = true;
    return;
  }
  Bits.AppendBits(static_cast<std::uint32_t>(NumLetters), Width);
}
