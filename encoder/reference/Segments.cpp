// Segment encoding, one field at a time (ISO/IEC 18004 clause 7.4); the tables and the mode
// choice are the shared ones of encoder/SegmentRules.h.
#include "encoder/reference/Encoder.h"

std::u16string TEncoder::StripUnencodable(const std::u16string& Content, TMode Mode,
                                          int EncodeOptions) {
  std::u16string Result;
  Result.reserve(Content.size());
  for (char16_t C : Content) {
    bool Keep = false;
    switch (Mode) {
    case qmNumeric:
      Keep = C >= u'0' && C <= u'9';
      break;
    case qmAlphanumeric:
      Keep = AlphanumericValue(C) >= 0;
      break;
    case qmByte:
      Keep = (EncodeOptions == qrISO88591 && C <= 0xFF) || EncodeOptions == qrUTF8NoBOM ||
             EncodeOptions == qrUTF8BOM || EncodeOptions == qrUTF8ECI;
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
