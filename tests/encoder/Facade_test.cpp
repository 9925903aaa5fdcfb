#include "encoder/QRCodeSymbol.h"
#include "encoder/reference/Encoder.h"
#include "encoder/reference/QRCode.h"
#include "support/ZbarDecode.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::u16string Repeat(char16_t C, std::size_t N) {
  return std::u16string(N, C);
}

// The facade's grid without its quiet zone, as 0/1 rows top to bottom.
std::string Rows01(const TQRCodeSymbol& S) {
  std::string Out;
  for (int R = S.QuietZone(); R < S.Rows() - S.QuietZone(); ++R) {
    for (int C = S.QuietZone(); C < S.Columns() - S.QuietZone(); ++C) {
      Out += S.IsDark(R, C) ? '1' : '0';
    }
    Out += '\n';
  }
  return Out;
}

std::string ReadGolden(const char* Name) {
  const auto Path = std::filesystem::path(MARBECK_ENCODER_GOLDEN) / Name;
  std::ifstream In(Path);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

TEST(Facade, FreshFacadeIsEmptyAndEveryModuleLight) {
  TQRCodeSymbol S;
  EXPECT_EQ(S.Rows(), 0);
  EXPECT_EQ(S.Columns(), 0);
  EXPECT_EQ(S.QuietZone(), 4);
  EXPECT_EQ(S.Encoding(), qrAuto);
  EXPECT_EQ(S.Version(), 0);
  EXPECT_FALSE(S.DataTooLong());
  for (int R = -5; R < 30; ++R) {
    for (int C = -5; C < 30; ++C) {
      ASSERT_FALSE(S.IsDark(R, C));
    }
  }
  S.SetData(u""); // unchanged: no encode
  EXPECT_EQ(S.Rows(), 0);
  EXPECT_EQ(S.EncodeCount(), 0);
}

TEST(Facade, HelloWorldMatchesTheDecoderVerifiedGoldenGrid) {
  TQRCodeSymbol S;
  S.SetData(u"HELLO WORLD");
  ASSERT_EQ(S.Rows(), 29);
  EXPECT_EQ(S.Columns(), 29);
  EXPECT_EQ(S.Version(), 1);
  EXPECT_EQ(Rows01(S), ReadGolden("hello_world_v1.txt"));

  TQRCodeSymbol D;
  D.SetData(u"01234567");
  D.SetEncoding(qrNumeric);
  EXPECT_EQ(Rows01(D), ReadGolden("digits_01234567_v1.txt"));
}

// The encoder runs again only when a write changes the segment the text makes. A new quiet
// zone, or an encoding that leaves the segment as it was, keeps the symbol and still updates
// the sizes.
TEST(Facade, OnlyWritesThatChangeTheSegmentEncodeAgain) {
  TQRCodeSymbol S;
  S.SetData(u"abc");
  EXPECT_EQ(S.EncodeCount(), 1);
  const std::string Grid = Rows01(S);
  S.SetData(u"abc");
  S.SetEncoding(qrAuto);
  S.SetQuietZone(4);
  S.SetEncoding(qrISO88591); // what qrAuto chose for this text: the same segment
  EXPECT_EQ(S.EncodeCount(), 1);
  EXPECT_EQ(Rows01(S), Grid);
  S.SetQuietZone(0);
  EXPECT_EQ(S.EncodeCount(), 1);
  EXPECT_EQ(S.Rows(), 21); // no quiet zone: the symbol's side
  EXPECT_EQ(Rows01(S), Grid);
  S.SetEncoding(qrUTF8BOM); // three more bytes: a new symbol
  EXPECT_EQ(S.EncodeCount(), 2);
  EXPECT_NE(Rows01(S), Grid);
  for (int Bad : {-1, 101, 1000}) {
    S.SetQuietZone(Bad);
    EXPECT_EQ(S.QuietZone(), 0);
  }
  S.SetQuietZone(100);
  EXPECT_EQ(S.Rows(), 221);
  EXPECT_TRUE(S.IsDark(100, 100));
  EXPECT_EQ(S.EncodeCount(), 2);
  S.SetEncoding(qrISO88591); // back to the first segment
  EXPECT_EQ(S.EncodeCount(), 3);
  S.SetQuietZone(0);
  EXPECT_EQ(Rows01(S), Grid);

  // On a fresh facade a new quiet zone alone makes the first symbol: the empty text.
  TQRCodeSymbol Q;
  Q.SetQuietZone(2);
  EXPECT_EQ(Q.EncodeCount(), 1);
  EXPECT_EQ(Q.Rows(), 21 + 4);
  EXPECT_EQ(DecodeSymbolWithZbar(Q), std::optional<std::string>(""));
}

TEST(Facade, EmptyTextForcedNumericGivesAFullVersionOneSymbol) {
  TQRCodeSymbol S;
  S.SetData(u"");
  S.SetEncoding(qrNumeric);
  ASSERT_EQ(S.Rows(), 29);
  EXPECT_EQ(S.Version(), 1);
  // The three finder patterns: dark 7 x 7 border, light ring, dark 3 x 3 core.
  for (auto [Top, Left] : {std::pair{0, 0}, std::pair{0, 14}, std::pair{14, 0}}) {
    for (int R = 0; R < 7; ++R) {
      for (int C = 0; C < 7; ++C) {
        const bool Ring = R == 1 || R == 5 || C == 1 || C == 5;
        const bool Border = R == 0 || R == 6 || C == 0 || C == 6;
        EXPECT_EQ(S.IsDark(4 + Top + R, 4 + Left + C), Border || !Ring)
            << Top << "," << Left << " " << R << "," << C;
      }
    }
  }
  for (int I = 8; I < 13; ++I) { // timing patterns
    EXPECT_EQ(S.IsDark(4 + 6, 4 + I), I % 2 == 0);
    EXPECT_EQ(S.IsDark(4 + I, 4 + 6), I % 2 == 0);
  }
  EXPECT_TRUE(S.IsDark(4 + 13, 4 + 8)); // the dark module at (8, 4V + 9)
  EXPECT_EQ(DecodeSymbolWithZbar(S), std::optional<std::string>(""));
}

TEST(Facade, QuietZoneIsLightAndTheSymbolStartsRightAfterIt) {
  TQRCodeSymbol S;
  S.SetData(u"https://example.org");
  S.SetQuietZone(3);
  const int Rows = S.Rows();
  ASSERT_EQ(Rows, 25 + 6);
  for (int C = -2; C < Rows + 2; ++C) {
    EXPECT_FALSE(S.IsDark(2, C));
    EXPECT_FALSE(S.IsDark(Rows - 3, C));
    EXPECT_FALSE(S.IsDark(C, 2));
    EXPECT_FALSE(S.IsDark(C, Rows - 3));
  }
  EXPECT_TRUE(S.IsDark(3, 3));
  EXPECT_TRUE(S.IsDark(Rows - 4, 3));
  EXPECT_TRUE(S.IsDark(3, Rows - 4));
  EXPECT_FALSE(S.IsDark(-1000000, 3));
  EXPECT_FALSE(S.IsDark(3, 2147483647));
  EXPECT_FALSE(S.IsDark(-2147483647 - 1, -2147483647 - 1));
}

// The largest texts that fit version 40 at level L, and one more unit.
TEST(Facade, TooLongTextGivesAnEmptyLightGridAndSaysWhy) {
  struct Case {
    std::u16string Fits;
    TQRCodeEncoding Option;
    int Max;
    TCapacityUnit Units;
  };
  const Case Cases[] = {
      {Repeat(u'7', 7089), qrAuto, 7089, cuDigits},
      {Repeat(u'Z', 4296), qrAuto, 4296, cuCharacters},
      {Repeat(u'z', 2953), qrAuto, 2953, cuBytes},
      {Repeat(u'\u00E9', 2953), qrISO88591, 2953, cuBytes},
      {Repeat(u'z', 2953), qrUTF8NoBOM, 2953, cuBytes},
      {Repeat(u'z', 2950), qrUTF8BOM, 2953, cuBytes}, // the mark counts: 3 + 2,950 bytes
      {Repeat(u'\u00E9', 1476) + u"z", qrUTF8NoBOM, 2953, cuBytes},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Option));
    TQRCodeSymbol S;
    S.SetEncoding(C.Option);
    S.SetData(C.Fits);
    EXPECT_FALSE(S.DataTooLong());
    EXPECT_EQ(S.Version(), 40);
    EXPECT_EQ(S.Rows(), 177 + 8);
    EXPECT_EQ(S.NeededUnits(), C.Max);
    EXPECT_EQ(S.MaxUnits(), C.Max);
    EXPECT_EQ(S.Units(), C.Units);

    S.SetData(C.Fits + C.Fits.back());
    EXPECT_TRUE(S.DataTooLong());
    EXPECT_EQ(S.Version(), 0);
    EXPECT_EQ(S.NeededUnits(),
              C.Max + (C.Fits.back() == u'\u00E9' && C.Option != qrISO88591 ? 2 : 1));
    EXPECT_EQ(S.MaxUnits(), C.Max);
    EXPECT_EQ(S.Rows(), 8);
    EXPECT_EQ(S.Columns(), 8);
    for (int R = 0; R < 8; ++R) {
      for (int Col = 0; Col < 8; ++Col) {
        EXPECT_FALSE(S.IsDark(R, Col));
      }
    }
    S.SetQuietZone(1);
    EXPECT_EQ(S.Rows(), 2);

    S.SetData(u"back to short"); // a later run replaces the state as a whole
    EXPECT_FALSE(S.DataTooLong());
    EXPECT_EQ(S.Rows(), 21 + 2);
  }
}

TEST(Driver, SegmentLayoutAndVersionOfTheWorkedExamples) {
  // HELLO WORLD: alphanumeric, 4 + 9 + 61 = 74 bits, version 1.
  TEncoder E;
  TQRCode Code;
  E.EncodeSymbol(u"HELLO WORLD", qrAuto, TErrorCorrectionLevel(TErrorCorrectionLevel::BitsL), Code);
  EXPECT_EQ(Code.Mode(), qmAlphanumeric);
  EXPECT_EQ(Code.Version(), 1);
  EXPECT_TRUE(TQRCode::IsValidMaskPattern(Code.MaskPattern()));
  ASSERT_NE(Code.ECLevel(), nullptr);
  EXPECT_EQ(Code.ECLevel()->Bits(), 1);
  ASSERT_NE(Code.Matrix(), nullptr);
  EXPECT_EQ(Code.Matrix()->Width(), 21);
  EXPECT_FALSE(E.EncoderError());
  EXPECT_FALSE(E.DataTooLong());
  EXPECT_EQ(E.NeededUnits(), 11);
  // The driver sets no totals, so the record does not pass as complete.
  EXPECT_EQ(Code.NumTotalBytes(), -1);
  EXPECT_EQ(Code.NumDataBytes(), -1);
  EXPECT_EQ(Code.NumRSBlocks(), -1);
  EXPECT_EQ(Code.MatrixWidth(), -1);
  EXPECT_FALSE(Code.IsValid());

  struct Case {
    std::u16string Text;
    int Option;
    TMode Mode;
    int Needed;
  };
  const Case Cases[] = {
      {u"0123", qrAuto, qmNumeric, 4},    {u"hello", qrAuto, qmByte, 5},
      {u"\u20AC", qrAuto, qmByte, 3},    // plain UTF-8
      {u"", qrAuto, qmByte, 0},          // empty byte segment
      {u"\u00E9", qrUTF8BOM, qmByte, 5}, // mark + C3 A9
      {u"12a3", qrNumeric, qmNumeric, 3}, {u"hello", qrAlphanumeric, qmAlphanumeric, 0},
  };
  for (const Case& C : Cases) {
    TEncoder Enc;
    TQRCode Rec;
    Enc.EncodeSymbol(C.Text, C.Option, TErrorCorrectionLevel(), Rec);
    EXPECT_EQ(Rec.Mode(), C.Mode);
    EXPECT_EQ(Enc.NeededUnits(), C.Needed);
    EXPECT_EQ(Rec.Version(), 1);
    EXPECT_FALSE(Enc.EncoderError());
  }
}

// Around each change of the count width (versions 9/10 and 26/27) the two-pass version
// choice must give the smallest version that holds the segment with that version's own
// count width, and leave no inconsistency behind.
TEST(Driver, VersionChoiceAcrossCountWidthBoundaries) {
  struct Case {
    char16_t Unit;
    TMode Mode;
    int Count;
  };
  std::vector<Case> Cases;
  for (int N : {229, 230, 231, 232, 1365, 1366, 1367, 1368}) {
    Cases.push_back({u'q', qmByte, N});
  }
  for (int N : {551, 552, 553, 554, 555, 3280, 3281, 3282, 3283, 3284, 3285}) {
    Cases.push_back({u'5', qmNumeric, N});
  }
  for (int N : {334, 335, 336, 337, 1989, 1990, 1991, 1992}) {
    Cases.push_back({u'Q', qmAlphanumeric, N});
  }
  const auto DataBits = [](TMode Mode, int N) {
    switch (Mode) {
    case qmNumeric:
      return 10 * (N / 3) + (N % 3 == 2 ? 7 : N % 3 == 1 ? 4 : 0);
    case qmAlphanumeric:
      return 11 * (N / 2) + 6 * (N % 2);
    default:
      return 8 * N;
    }
  };
  const auto Fits = [&](const Case& C, int V) {
    const auto Version = TVersion::GetVersionForNumber(V);
    const int Capacity =
        Version->GetTotalCodewords() -
        Version->GetECBlocksForLevel(TErrorCorrectionLevel()).GetTotalECCodewords();
    return 4 + TEncoder::CharCountWidth(C.Mode, V) + DataBits(C.Mode, C.Count) <= 8 * Capacity;
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Mode) + ":" + std::to_string(C.Count));
    TEncoder E;
    TQRCode Code;
    E.EncodeSymbol(Repeat(C.Unit, static_cast<std::size_t>(C.Count)), qrAuto,
                   TErrorCorrectionLevel(), Code);
    ASSERT_EQ(Code.Mode(), C.Mode);
    EXPECT_FALSE(E.EncoderError());
    EXPECT_TRUE(Fits(C, Code.Version()));
    EXPECT_FALSE(Fits(C, Code.Version() - 1));
  }
}

TEST(Record, OwnsCopiesAndChecksItsCells) {
  TQRCode Code;
  EXPECT_EQ(Code.Mode(), qmTerminator);
  EXPECT_EQ(Code.ECLevel(), nullptr);
  EXPECT_EQ(Code.Version(), -1);
  EXPECT_EQ(Code.MaskPattern(), -1);
  EXPECT_FALSE(Code.IsValid());

  TErrorCorrectionLevel Level(TErrorCorrectionLevel::BitsQ);
  Code.SetECLevel(Level);
  Level.SetBits(TErrorCorrectionLevel::BitsH);
  EXPECT_EQ(Code.ECLevel()->Bits(), TErrorCorrectionLevel::BitsQ); // a private copy

  auto Matrix = std::make_unique<TByteMatrix>(21, 21);
  Matrix->Clear(255);
  Matrix->SetBoolean(0, 0, true);
  Matrix->SetBoolean(1, 0, false);
  Code.SetMatrix(std::move(Matrix));
  Code.SetMaskPattern(3);
  Code.SetAll(1, 26, 19, 1, 7, 21);
  EXPECT_TRUE(Code.IsValid());
  EXPECT_EQ(Code.At(0, 0), 1);
  EXPECT_EQ(Code.At(1, 0), 0);
  EXPECT_FALSE(Code.QRCodeError());
  EXPECT_EQ(Code.At(2, 0), -1); // unset
  EXPECT_TRUE(Code.QRCodeError());

  Code.SetAll(1, 26, 19, 1, 6, 21); // data + EC != total
  EXPECT_FALSE(Code.IsValid());
  Code.SetAll(1, 26, 19, 1, 7, 25); // width differs from the matrix
  EXPECT_FALSE(Code.IsValid());
  Code.SetAll(1, 26, 19, 1, 7, 21);
  Code.SetMaskPattern(8);
  EXPECT_FALSE(Code.IsValid());
  for (int M = -1; M <= 8; ++M) {
    EXPECT_EQ(TQRCode::IsValidMaskPattern(M), M >= 0 && M <= 7);
  }
}

} // namespace

// ReadRow gives each row as IsDark does, quiet zone included, for symbols whose side is and is
// not a multiple of eight and of 64, and rows outside the grid all light.
TEST(Facade, ReadRowMatchesIsDarkModuleForModule) {
  const struct {
    std::u16string Text;
    int QuietZone;
  } Cases[] = {{u"HELLO", 0},
               {u"HELLO", 1},
               {std::u16string(400, u'7'), 3},
               {std::u16string(2953, u'x'), 4},
               {std::u16string(1200, u'a'), 10}};
  for (const auto& Case : Cases) {
    TQRCodeSymbol Symbol;
    Symbol.SetData(Case.Text);
    Symbol.SetQuietZone(Case.QuietZone);
    ASSERT_GT(Symbol.Version(), 0);
    const int Columns = Symbol.Columns();
    std::vector<std::uint8_t> Row(static_cast<std::size_t>(Columns), 7);
    for (int R = -1; R <= Symbol.Rows(); ++R) {
      Symbol.ReadRow(R, Row.data());
      for (int C = 0; C < Columns; ++C)
        ASSERT_EQ(Row[static_cast<std::size_t>(C)], Symbol.IsDark(R, C) ? 1 : 0)
            << "version " << Symbol.Version() << ", row " << R << ", column " << C;
    }
  }
}
