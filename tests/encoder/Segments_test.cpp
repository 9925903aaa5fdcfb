#include "encoder/Encoder.h"
#include "support/Bits.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Bin(unsigned Value, int Width) {
  std::string S;
  for (int I = Width - 1; I >= 0; --I) {
    S += ((Value >> I) & 1u) != 0 ? '1' : '0';
  }
  return S;
}

TByteArray Bytes(const TBitArray& A) {
  TByteArray Out(static_cast<std::size_t>(A.GetSizeInBytes()));
  A.ToBytes(0, Out, 0, A.GetSizeInBytes());
  return Out;
}

TEST(Segments, ModeTablesFollowTheStandard) {
  struct Row {
    TMode Mode;
    int Indicator;
    int W1, W10, W27;
  };
  const Row Rows[] = {
      {qmTerminator, 0b0000, 0, 0, 0},
      {qmNumeric, 0b0001, 10, 12, 14},
      {qmAlphanumeric, 0b0010, 9, 11, 13},
      {qmStructuredAppend, 0b0011, 0, 0, 0},
      {qmByte, 0b0100, 8, 16, 16},
      {qmECI, 0b0111, 0, 0, 0},
      {qmKanji, 0b1000, 8, 10, 12},
      {qmFNC1FirstPosition, 0b0101, 0, 0, 0},
      {qmFNC1SecondPosition, 0b1001, 0, 0, 0},
      {qmHanzi, 0b1101, 8, 10, 12},
  };
  for (const Row& R : Rows) {
    SCOPED_TRACE(static_cast<int>(R.Mode));
    EXPECT_EQ(TEncoder::ModeIndicatorBits(R.Mode), R.Indicator);
    // Column boundaries: 1-9, 10-26, 27-40.
    EXPECT_EQ(TEncoder::CharCountWidth(R.Mode, *TVersion::GetVersionForNumber(9)), R.W1);
    EXPECT_EQ(TEncoder::CharCountWidth(R.Mode, *TVersion::GetVersionForNumber(10)), R.W10);
    EXPECT_EQ(TEncoder::CharCountWidth(R.Mode, *TVersion::GetVersionForNumber(26)), R.W10);
    EXPECT_EQ(TEncoder::CharCountWidth(R.Mode, *TVersion::GetVersionForNumber(27)), R.W27);
  }
}

TEST(Segments, AlphanumericSetHasExactlyTheFortyFiveCharacters) {
  const std::string Set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
  for (int Code = -1; Code < 0x200; ++Code) {
    const auto Pos =
        Code >= 0 && Code < 128 ? Set.find(static_cast<char>(Code)) : std::string::npos;
    const int Expected = Pos == std::string::npos ? -1 : static_cast<int>(Pos);
    EXPECT_EQ(TEncoder::AlphanumericValue(Code), Expected) << Code;
  }
}

TEST(Segments, AutoSelectsTheFirstModeThatCarriesTheWholeText) {
  struct Case {
    std::u16string Text;
    TMode Mode;
    int Option; // the option after selection
  };
  const Case Cases[] = {
      {u"0123", qmNumeric, qrAuto},
      {u"A0", qmAlphanumeric, qrAuto},
      {u"HELLO WORLD", qmAlphanumeric, qrAuto},
      {u"a0", qmByte, qrISO88591},
      {u"\u00E9", qmByte, qrISO88591},
      {u"\u00FF", qmByte, qrISO88591},
      {u"5\u20AC", qmByte, qrUTF8NoBOM},
      {u"\U0001F600", qmByte, qrUTF8NoBOM},
      {u"", qmByte, qrUTF8NoBOM},
  };
  for (const Case& C : Cases) {
    TEncoder E;
    int Option = qrAuto;
    EXPECT_EQ(E.SelectMode(C.Text, Option), C.Mode);
    EXPECT_EQ(Option, C.Option);
  }
  // Forced options never rewrite the option.
  for (int Forced : {1, 2, 3, 4, 5, 9}) {
    TEncoder E;
    int Option = Forced;
    const TMode M = E.SelectMode(u"abc", Option);
    EXPECT_EQ(M, Forced == 1 ? qmNumeric : Forced == 2 ? qmAlphanumeric : qmByte);
    EXPECT_EQ(Option, Forced);
  }
}

TEST(Segments, ForcedModesDropWhatTheyCannotCarry) {
  struct Case {
    std::u16string Text;
    TMode Mode;
    int Option;
    std::u16string Kept;
  };
  const Case Cases[] = {
      {u"12a3", qmNumeric, qrNumeric, u"123"},
      {u"abc", qmNumeric, qrNumeric, u""},
      {u"Ab-1", qmAlphanumeric, qrAlphanumeric, u"A-1"},
      {u"hello", qmAlphanumeric, qrAlphanumeric, u""},
      {u"\u20AC5\u00E9", qmByte, qrISO88591, u"5\u00E9"},
      {u"\u20AC5\U0001F600", qmByte, qrUTF8NoBOM, u"\u20AC5\U0001F600"},
      {u"\u20AC5", qmByte, qrUTF8BOM, u"\u20AC5"},
      {u"abc", qmByte, qrAuto, u""},
      {u"abc", qmKanji, qrUTF8NoBOM, u""},
  };
  for (const Case& C : Cases) {
    TEncoder E;
    EXPECT_EQ(E.StripUnencodable(C.Text, C.Mode, C.Option), C.Kept);
  }
}

TEST(Segments, NumericGroupsOfThreeThenSevenOrFourBits) {
  struct Case {
    std::u16string Digits;
    std::string Bits;
  };
  const Case Cases[] = {
      {u"", ""},
      {u"7", Bin(7, 4)},
      {u"07", Bin(7, 7)},
      {u"123", Bin(123, 10)},
      {u"1234", Bin(123, 10) + Bin(4, 4)},
      {u"12345", Bin(123, 10) + Bin(45, 7)},
      {u"01234567", Bin(12, 10) + Bin(345, 10) + Bin(67, 7)}, // ISO/IEC 18004 7.4.3 example
  };
  for (const Case& C : Cases) {
    TEncoder E;
    TBitArray Bits;
    E.WriteSegmentData(C.Digits, qmNumeric, Bits, qrNumeric);
    EXPECT_EQ(BitString(Bits), C.Bits);
    EXPECT_FALSE(E.EncoderError());
  }
}

TEST(Segments, AlphanumericPairsOfElevenBitsAndAnOddSixBitTail) {
  TEncoder E;
  TBitArray Bits;
  E.WriteSegmentData(u"AC-42", qmAlphanumeric, Bits, qrAlphanumeric); // ISO/IEC 18004 7.4.4 example
  EXPECT_EQ(BitString(Bits), "00111001110"
                             "11100111001"
                             "000010");
  TBitArray Pair;
  E.WriteSegmentData(u"A0", qmAlphanumeric, Pair, qrAuto);
  EXPECT_EQ(BitString(Pair), Bin(450, 11));
  EXPECT_FALSE(E.EncoderError());

  // A character outside the set stops the writer and flags the error; earlier bits stay.
  TEncoder Bad;
  TBitArray Partial;
  Bad.WriteAlphanumericData(u"ABc", Partial);
  EXPECT_TRUE(Bad.EncoderError());
  EXPECT_EQ(BitString(Partial), Bin(10 * 45 + 11, 11));
}

TEST(Segments, ByteOptionsWriteLatin1OrUtf8WithTheMarkOnlyForOptionFive) {
  struct Case {
    std::u16string Text;
    int Option;
    TByteArray Bytes;
  };
  const Case Cases[] = {
      {u"\u00E9a", qrISO88591, {0xE9, 0x61}},
      {u"\u00E9", qrUTF8NoBOM, {0xC3, 0xA9}},
      {u"\u00E9", qrUTF8BOM, {0xEF, 0xBB, 0xBF, 0xC3, 0xA9}},
      {u"", qrUTF8NoBOM, {}},
      {u"", qrUTF8BOM, {0xEF, 0xBB, 0xBF}},
      {u"\u20AC", qrUTF8NoBOM, {0xE2, 0x82, 0xAC}},
      {u"\u07FF\u0800", qrUTF8NoBOM, {0xDF, 0xBF, 0xE0, 0xA0, 0x80}},
      {u"\U0001F600", qrUTF8NoBOM, {0xF0, 0x9F, 0x98, 0x80}}, // a surrogate pair is one code point
      {u"\U0010FFFF", qrUTF8NoBOM, {0xF4, 0x8F, 0xBF, 0xBF}},
      {std::u16string(1, char16_t(0xD83D)) + u"A",
       qrUTF8NoBOM,
       {0xEF, 0xBF, 0xBD, 0x41}}, // lone high
      {u"A" + std::u16string(1, char16_t(0xDE00)),
       qrUTF8NoBOM,
       {0x41, 0xEF, 0xBF, 0xBD}}, // lone low
      {std::u16string{char16_t(0xDE00), char16_t(0xD83D)},
       qrUTF8NoBOM,
       {0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBD}},
      {u"abc", qrAuto, {}},
  };
  for (const Case& C : Cases) {
    TEncoder E;
    TBitArray Bits;
    E.WriteSegmentData(C.Text, qmByte, Bits, C.Option);
    EXPECT_EQ(Bits.GetSize() % 8, 0);
    EXPECT_EQ(Bytes(Bits), C.Bytes);
    EXPECT_EQ(TEncoder::ByteSegmentBytes(C.Text, C.Option), C.Bytes);
  }
}

TEST(Segments, ModesWithoutAWriterFlagAnError) {
  for (TMode M : {qmTerminator, qmECI, qmKanji, qmHanzi}) {
    TEncoder E;
    TBitArray Bits;
    E.WriteSegmentData(u"123", M, Bits, qrUTF8NoBOM);
    EXPECT_TRUE(E.EncoderError());
    EXPECT_EQ(Bits.GetSize(), 0);
  }
}

TEST(Segments, CharCountUsesTheVersionsWidthAndRefusesOverflow) {
  TEncoder E;
  TBitArray Bits;
  E.WriteModeIndicator(qmNumeric, Bits);
  E.WriteCharCount(8, 1, qmNumeric, Bits);
  EXPECT_EQ(BitString(Bits), "0001" + Bin(8, 10));
  TBitArray Wide;
  E.WriteCharCount(300, 10, qmByte, Wide);
  EXPECT_EQ(BitString(Wide), Bin(300, 16));
  EXPECT_FALSE(E.EncoderError());

  TEncoder Over;
  TBitArray None;
  Over.WriteCharCount(255, 9, qmByte, None); // the largest 8-bit count fits
  EXPECT_FALSE(Over.EncoderError());
  Over.WriteCharCount(256, 9, qmByte, None);
  EXPECT_TRUE(Over.EncoderError());
  EXPECT_EQ(None.GetSize(), 8);
}

} // namespace
