#include "encoder/SymbolBuilder.h"
#include "encoder/reference/Encoder.h"
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

// The data bits of the encoder's segment, as '0'/'1' text.
std::string SegmentBits(const qr::TSegment& S) {
  std::string Out;
  for (int I = 0; I < S.NumBits; ++I)
    Out += ((S.Bits[static_cast<std::size_t>(I / 8)] >> (7 - I % 8)) & 1u) != 0 ? '1' : '0';
  return Out;
}

// Bytes given in hexadecimal as '0'/'1' text, 8 bits each.
std::string HexBits(const std::string& Hex) {
  std::string Out;
  for (std::size_t I = 0; I + 1 < Hex.size(); I += 3)
    Out += Bin(static_cast<unsigned>(std::stoul(Hex.substr(I, 2), nullptr, 16)), 8);
  return Out;
}

// Whole segments at version 1, mode indicator, character count and data, laid out as the
// standard's worked examples give them (ISO/IEC 18004:2015 7.4.3 and 7.4.4), and byte segments
// of the UTF-8 examples of RFC 3629 section 7. Both routes must give them: the step-by-step
// writers, and the encoder's segment (its mode, count and data bits).
TEST(Segments, WorkedExamplesOfTheStandardAndOfRfc3629) {
  struct Case {
    std::u16string Text;
    int Option;
    std::string Header; // mode indicator and character count
    std::string Data;
  };
  const Case Cases[] = {
      {u"01234567", qrAuto,
       "0001"
       "0000001000",
       "0000001100"
       "0101011001"
       "1000011"},
      {u"AC-42", qrAuto,
       "0010"
       "000000101",
       "00111001110"
       "11100111001"
       "000010"},
      {u"A\u2262\u0391.", qrAuto,
       "0100"
       "00000111",
       HexBits("41 E2 89 A2 CE 91 2E")},
      {u"\uD55C\uAD6D\uC5B4", qrUTF8NoBOM,
       "0100"
       "00001001",
       HexBits("ED 95 9C EA B5 AD EC 96 B4")},
      {u"\u65E5\u672C\u8A9E", qrAuto,
       "0100"
       "00001001",
       HexBits("E6 97 A5 E6 9C AC E8 AA 9E")},
      {u"\uFEFF\U000233B4", qrUTF8NoBOM,
       "0100"
       "00000111",
       HexBits("EF BB BF F0 A3 8E B4")},
      // The same bytes again: the option writes the mark in front of the character.
      {u"\U000233B4", qrUTF8BOM,
       "0100"
       "00000111",
       HexBits("EF BB BF F0 A3 8E B4")},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Header);
    int Option = C.Option;
    const TMode Mode = TEncoder::SelectMode(C.Text, Option);
    const std::u16string Kept = TEncoder::StripUnencodable(C.Text, Mode, Option);
    const int Count = Mode == qmByte
                          ? static_cast<int>(TEncoder::ByteSegmentBytes(Kept, Option).size())
                          : static_cast<int>(Kept.size());
    TEncoder E;
    TBitArray Bits;
    E.WriteModeIndicator(Mode, Bits);
    E.WriteCharCount(Count, 1, Mode, Bits);
    E.WriteSegmentData(Kept, Mode, Bits, Option);
    EXPECT_FALSE(E.EncoderError());
    EXPECT_EQ(BitString(Bits), C.Header + C.Data);

    const qr::TSegment Fast = qr::MakeSegment(C.Text, C.Option);
    EXPECT_EQ(Fast.Mode, Mode);
    EXPECT_EQ(Fast.NumLetters, Count);
    EXPECT_EQ(SegmentBits(Fast), C.Data);
  }
}

// The character-count widths of every mode and version range show in the capacities of
// ISO/IEC 18004:2015 Table 7 (numeric, alphanumeric and byte characters per version at level L,
// the encoder's one level): a wrong width moves several of them. (zbar reading a symbol of each
// mode in each width range, in Zbar_test, checks the widths from the reader's side.)
TEST(Segments, CountWidthsGiveTheCapacitiesOfTable7) {
  struct Row {
    int Version;
    int Numeric, Alphanumeric, Byte;
  };
  const Row Rows[] = {
      {1, 41, 25, 17},        {9, 552, 335, 230},     {10, 652, 395, 271},
      {26, 3283, 1990, 1367}, {27, 3517, 2132, 1465}, {40, 7089, 4296, 2953},
  };
  for (const Row& R : Rows) {
    SCOPED_TRACE("version " + std::to_string(R.Version));
    const TErrorCorrectionLevel Level(TErrorCorrectionLevel::BitsL);
    EXPECT_EQ(TEncoder::MaxUnitsFor(qmNumeric, R.Version, Level), R.Numeric);
    EXPECT_EQ(TEncoder::MaxUnitsFor(qmAlphanumeric, R.Version, Level), R.Alphanumeric);
    EXPECT_EQ(TEncoder::MaxUnitsFor(qmByte, R.Version, Level), R.Byte);
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
    int Option = qrAuto;
    EXPECT_EQ(TEncoder::SelectMode(C.Text, Option), C.Mode);
    EXPECT_EQ(Option, C.Option);
  }
  // Forced options never rewrite the option.
  for (int Forced : {1, 2, 3, 4, 5, 9}) {
    int Option = Forced;
    const TMode M = TEncoder::SelectMode(u"abc", Option);
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
  for (const Case& C : Cases)
    EXPECT_EQ(TEncoder::StripUnencodable(C.Text, C.Mode, C.Option), C.Kept);
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
      {std::u16string{char16_t(0xD83D), u'A'}, qrUTF8NoBOM, {0xEF, 0xBF, 0xBD, 0x41}}, // lone high
      {std::u16string{u'A', char16_t(0xDE00)}, qrUTF8NoBOM, {0x41, 0xEF, 0xBF, 0xBD}}, // lone low
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
