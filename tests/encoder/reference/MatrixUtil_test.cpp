// The symbol matrix: function patterns, format and version information, data
// placement and masks, checked against ISO/IEC 18004 and read back by zbar.
#include "encoder/MaskUtil.h"
#include "encoder/Version.h"
#include "encoder/reference/GaloisField.h"
#include "encoder/reference/MatrixUtil.h"
#include "encoder/reference/ReedSolomon.h"
#include "support/Bits.h"
#include "support/ZbarDecode.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const TErrorCorrectionLevel LevelL(TErrorCorrectionLevel::BitsL);
const TErrorCorrectionLevel LevelM(TErrorCorrectionLevel::BitsM);

int SizeOf(int Version) {
  return 17 + 4 * Version;
}

TBitArray Repeated(bool Bit, int Count) {
  TBitArray Bits;
  for (int I = 0; I < Count; ++I)
    Bits.AppendBit(Bit);
  return Bits;
}

TByteMatrix Build(const TBitArray& Bits, const TErrorCorrectionLevel& Level, int Version, int Mask,
                  bool* Error = nullptr) {
  TByteMatrix Matrix(SizeOf(Version), SizeOf(Version));
  TMatrixUtil Util;
  Util.BuildMatrix(Bits, Level, Version, Mask, Matrix);
  if (Error != nullptr) *Error = Util.MatrixUtilError();
  return Matrix;
}

// ISO/IEC 18004 Annex I: "01234567" at version 1-M, data and EC codewords.
const std::vector<int> AnnexICodewords = {16,  32,  12,  86,  97,  128, 236, 17,  236,
                                          17,  236, 17,  236, 17,  236, 17,  165, 36,
                                          212, 193, 237, 54,  199, 135, 44,  85};

// Decodes a matrix with zbar (binary mode), with a 4-module quiet zone at 4
// pixels per module. Answers the decoded bytes, or "<none>".
std::string Decode(const TByteMatrix& Matrix) {
  const int Scale = 4, Quiet = 4;
  const int Side = (Matrix.Width() + 2 * Quiet) * Scale;
  std::vector<unsigned char> Pixels(static_cast<std::size_t>(Side) * static_cast<std::size_t>(Side),
                                    255);
  for (int Y = 0; Y < Matrix.Height(); ++Y)
    for (int X = 0; X < Matrix.Width(); ++X)
      if (Matrix.Get(X, Y) == 1)
        for (int Dy = 0; Dy < Scale; ++Dy)
          for (int Dx = 0; Dx < Scale; ++Dx)
            Pixels[static_cast<std::size_t>(((Y + Quiet) * Scale + Dy) * Side +
                                            (X + Quiet) * Scale + Dx)] = 0;
  return DecodeGreyImage(Pixels, Side, Side).value_or("<none>");
}

// A byte-mode symbol at level L built by hand, independently of the encoder's
// own codeword assembly: segment, terminator, pad codewords, RS blocks
// (Table 9 layout) and interleaving (clause 7.6).
TBitArray ByteModeCodewords(const std::string& Text, int Version) {
  auto Info = TVersion::GetVersionForNumber(Version);
  const TECBlocks& Layout = Info->GetECBlocksForLevel(LevelL);
  const int Total = Info->GetTotalCodewords();
  const int DataTotal = Total - Layout.GetTotalECCodewords();
  TBitArray Bits;
  Bits.AppendBits(4, 4);
  Bits.AppendBits(static_cast<std::uint32_t>(Text.size()), Version < 10 ? 8 : 16);
  for (unsigned char C : Text)
    Bits.AppendBits(C, 8);
  for (int I = 0; I < 4 && Bits.GetSize() < DataTotal * 8; ++I)
    Bits.AppendBit(false);
  while (Bits.GetSize() % 8 != 0)
    Bits.AppendBit(false);
  for (int Pad = 0; Bits.GetSize() < DataTotal * 8; ++Pad)
    Bits.AppendBits(Pad % 2 == 0 ? 0xEC : 0x11, 8);
  std::vector<int> Data;
  for (int I = 0; I < DataTotal; ++I) {
    int V = 0;
    for (int B = 0; B < 8; ++B)
      V = V * 2 + (Bits.Get(I * 8 + B) ? 1 : 0);
    Data.push_back(V);
  }
  const int EC = Layout.GetECCodewordsPerBlock();
  std::vector<TIntegerArray> DataBlocks, EcBlocks;
  std::size_t Offset = 0;
  for (const TECB& Group : Layout.GetECBlocks())
    for (int B = 0; B < Group.Count; ++B) {
      TIntegerArray Block(Data.begin() + static_cast<std::ptrdiff_t>(Offset),
                          Data.begin() + static_cast<std::ptrdiff_t>(Offset) + Group.DataCodewords);
      Offset += static_cast<std::size_t>(Group.DataCodewords);
      TIntegerArray Full = Block;
      Full.resize(Block.size() + static_cast<std::size_t>(EC), 0);
      auto Field = TGenericGF::CreateQRCodeField256();
      TReedSolomonEncoder RS(Field.get());
      RS.Encode(Full, EC);
      DataBlocks.push_back(Block);
      EcBlocks.emplace_back(Full.end() - EC, Full.end());
    }
  std::vector<int> Out;
  for (const auto* Blocks : {&DataBlocks, &EcBlocks})
    for (std::size_t I = 0;; ++I) {
      bool Any = false;
      for (const TIntegerArray& Block : *Blocks)
        if (I < Block.size()) {
          Out.push_back(Block[I]);
          Any = true;
        }
      if (!Any) break;
    }
  EXPECT_EQ(static_cast<int>(Out.size()), Total);
  return BitsOf(Out);
}

// Format word read from one of the two copies; bit 0 is the least significant.
int ReadFormat(const TByteMatrix& M, bool Second) {
  static const int First[15][2] = {{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
                                   {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8}};
  const int Size = M.Width();
  int Word = 0;
  for (int I = 0; I < 15; ++I) {
    const int X = Second ? (I <= 7 ? Size - 1 - I : 8) : First[I][0];
    const int Y = Second ? (I <= 7 ? 8 : Size - 15 + I) : First[I][1];
    if (M.Get(X, Y) == 1) Word |= 1 << I;
  }
  return Word;
}

// Version word from the block above the lower-left finder (lower) or left of
// the upper-right finder (upper).
int ReadVersion(const TByteMatrix& M, bool Upper) {
  const int Size = M.Width();
  int Word = 0;
  for (int I = 0; I < 6; ++I)
    for (int J = 0; J < 3; ++J) {
      const int X = Upper ? Size - 11 + J : I;
      const int Y = Upper ? I : Size - 11 + J;
      if (M.Get(X, Y) == 1) Word |= 1 << (3 * I + J);
    }
  return Word;
}

// Remainder of a GF(2) polynomial division, written out independently.
int PolyMod(int Value, int Generator) {
  const int G = std::bit_width(static_cast<unsigned>(Generator));
  for (int B = std::bit_width(static_cast<unsigned>(Value)); B >= G;
       B = std::bit_width(static_cast<unsigned>(Value)))
    Value ^= Generator << (B - G);
  return Value;
}

TEST(MatrixUtil, AnnexISymbolDecodesWithEveryMask) {
  for (int Mask = 0; Mask < 8; ++Mask) {
    bool Error = true;
    const TByteMatrix M = Build(BitsOf(AnnexICodewords), LevelM, 1, Mask, &Error);
    EXPECT_FALSE(Error);
    EXPECT_EQ(Decode(M), "01234567") << "mask " << Mask;
  }
}

// Versions with one and several blocks, with and without version information
// and remainder bits; every mask on the smaller ones.
TEST(MatrixUtil, ByteModeSymbolsDecodeAcrossVersions) {
  for (int Version : {1, 2, 5, 6, 7, 10, 14, 21, 27, 28, 35, 40}) {
    std::string Text = "Marbeck v" + std::to_string(Version) + ":";
    for (int I = 0; static_cast<int>(Text.size()) < Version * 9; ++I)
      Text += static_cast<char>('a' + I % 26);
    const TBitArray Bits = ByteModeCodewords(Text, Version);
    for (int Mask = 0; Mask < 8; Mask += (Version <= 7 ? 1 : 3)) {
      bool Error = true;
      const TByteMatrix M = Build(Bits, LevelL, Version, Mask, &Error);
      EXPECT_FALSE(Error) << "version " << Version;
      EXPECT_EQ(Decode(M), Text) << "version " << Version << ", mask " << Mask;
    }
  }
}

// Table C.1: both copies agree; the level-L words of Table C.1; every word is
// the 5 data bits with their BCH(15,5) check bits, masked with 101010000010010.
TEST(MatrixUtil, FormatInformationForAllLevelsAndMasks) {
  const int LevelLWords[8] = {0x77C4, 0x72F3, 0x7DAA, 0x789D, 0x662F, 0x6318, 0x6C41, 0x6976};
  std::vector<int> Words;
  for (int LevelBits = 0; LevelBits < 4; ++LevelBits)
    for (int Mask = 0; Mask < 8; ++Mask) {
      const TByteMatrix M = Build(TBitArray(), TErrorCorrectionLevel(LevelBits), 1, Mask);
      const int Word = ReadFormat(M, false);
      EXPECT_EQ(ReadFormat(M, true), Word) << LevelBits << "/" << Mask;
      const int Unmasked = Word ^ 0x5412;
      EXPECT_EQ(Unmasked >> 10, LevelBits * 8 + Mask);
      EXPECT_EQ(PolyMod(Unmasked, 0x537), 0);
      if (LevelBits == TErrorCorrectionLevel::BitsL) {
        EXPECT_EQ(Word, LevelLWords[Mask]) << "mask " << Mask;
      }
      Words.push_back(Word);
    }
  EXPECT_EQ(Words[0], 0b101010000010010); // level M, mask 0
  for (std::size_t A = 0; A < Words.size(); ++A)
    for (std::size_t B = A + 1; B < Words.size(); ++B)
      EXPECT_GE(std::popcount(static_cast<unsigned>(Words[A] ^ Words[B])), 7);
  // Bit 14 of L/0 (a 1) sits at (0, 8) and (8, size - 1); bit 0 (a 0) at (8, 0) and (size - 1, 8).
  const TByteMatrix M = Build(TBitArray(), LevelL, 2, 0);
  EXPECT_EQ(M.Get(0, 8), 1);
  EXPECT_EQ(M.Get(8, 24), 1);
  EXPECT_EQ(M.Get(8, 0), 0);
  EXPECT_EQ(M.Get(24, 8), 0);
}

// Table D.1: versions 7 to 40 carry 6 version bits and 12 BCH(18,6) check bits
// in two agreeing copies; version 6 has data where they would be.
TEST(MatrixUtil, VersionInformation) {
  std::vector<int> Words;
  for (int Version = 7; Version <= 40; ++Version) {
    const TByteMatrix M = Build(TBitArray(), LevelL, Version, 0);
    const int Word = ReadVersion(M, false);
    EXPECT_EQ(ReadVersion(M, true), Word) << "version " << Version;
    EXPECT_EQ(Word >> 12, Version);
    EXPECT_EQ(PolyMod(Word, 0x1F25), 0) << "version " << Version;
    Words.push_back(Word);
  }
  EXPECT_EQ(Words[0], 0b000111110010010100);
  for (std::size_t A = 0; A < Words.size(); ++A)
    for (std::size_t B = A + 1; B < Words.size(); ++B)
      EXPECT_GE(std::popcount(static_cast<unsigned>(Words[A] ^ Words[B])), 8);

  const int Cells = 6 * 3;
  const int N =
      TVersion::GetVersionForNumber(6)->GetTotalCodewords() * 8 + 7; // with the remainder cells
  const TByteMatrix Zeros = Build(Repeated(false, N), LevelL, 6, 0);
  const TByteMatrix Ones = Build(Repeated(true, N), LevelL, 6, 0);
  int Differing = 0;
  for (int I = 0; I < 6; ++I)
    for (int J = 0; J < 3; ++J)
      Differing += (Zeros.Get(I, SizeOf(6) - 11 + J) != Ones.Get(I, SizeOf(6) - 11 + J));
  EXPECT_EQ(Differing, Cells);
}

// The free cells hold exactly TotalCodewords x 8 data bits plus the remainder
// bits of the version; the remainder cells show the bare mask.
TEST(MatrixUtil, DataCellsPerVersion) {
  for (int Version = 1; Version <= 40; ++Version) {
    const int Remainder = Version == 1    ? 0
                          : Version <= 6  ? 7
                          : Version <= 13 ? 0
                          : Version <= 20 ? 3
                          : Version <= 27 ? 4
                          : Version <= 34 ? 3
                                          : 0;
    const int N = TVersion::GetVersionForNumber(Version)->GetTotalCodewords() * 8;
    if (Version == 1) {
      EXPECT_EQ(N, 208);
    }
    bool Error = true;
    const TByteMatrix Zeros = Build(Repeated(false, N), LevelL, Version, 3, &Error);
    EXPECT_FALSE(Error);
    const TByteMatrix Ones = Build(Repeated(true, N + Remainder), LevelL, Version, 3, &Error);
    EXPECT_FALSE(Error) << "version " << Version;
    Build(Repeated(true, N + Remainder + 1), LevelL, Version, 3, &Error);
    EXPECT_TRUE(Error) << "version " << Version;
    int Differing = 0;
    for (int Y = 0; Y < Zeros.Height(); ++Y)
      for (int X = 0; X < Zeros.Width(); ++X) {
        ASSERT_NE(Zeros.Get(X, Y), -1);
        Differing += Zeros.Get(X, Y) != Ones.Get(X, Y);
      }
    EXPECT_EQ(Differing, N + Remainder) << "version " << Version;
  }
}

// Placement order (clause 7.7.3): bottom-right first, the right cell of a pair
// first, upwards, then the next pair downwards; column 6 is skipped.
TEST(MatrixUtil, DataPlacementOrderInVersion1) {
  const TByteMatrix Blank = Build(Repeated(false, 208), LevelL, 1, 0);
  const struct {
    int index, x, y;
  } Cases[] = {{0, 20, 20}, {1, 19, 20},  {2, 20, 19},  {23, 19, 9}, {24, 18, 9},
               {25, 17, 9}, {48, 16, 20}, {206, 1, 12}, {207, 0, 12}};
  for (const auto& C : Cases) {
    TBitArray Bits = Repeated(false, 208);
    Bits.SetBit(C.index);
    const TByteMatrix M = Build(Bits, LevelL, 1, 0);
    int Differing = 0;
    for (int Y = 0; Y < 21; ++Y)
      for (int X = 0; X < 21; ++X)
        Differing += M.Get(X, Y) != Blank.Get(X, Y);
    EXPECT_EQ(Differing, 1) << "bit " << C.index;
    EXPECT_NE(M.Get(C.x, C.y), Blank.Get(C.x, C.y)) << "bit " << C.index;
    // A zero data bit shows the mask: dark where the mask inverts.
    EXPECT_EQ(Blank.Get(C.x, C.y), TMaskUtil::GetDataMaskBit(0, C.x, C.y) ? 1 : 0);
  }
}

TEST(MatrixUtil, FunctionPatterns) {
  for (int Version : {1, 2, 7, 40}) {
    const int Size = SizeOf(Version);
    const TByteMatrix M = Build(TBitArray(), LevelL, Version, 5);
    // Finder patterns with their light separators.
    for (const auto& [left, top] : {std::pair{0, 0}, {Size - 7, 0}, {0, Size - 7}})
      for (int Y = -1; Y <= 7; ++Y)
        for (int X = -1; X <= 7; ++X) {
          const int Cx = left + X, Cy = top + Y;
          if (Cx < 0 || Cy < 0 || Cx >= Size || Cy >= Size) continue;
          const bool Ring = X == 0 || X == 6 || Y == 0 || Y == 6;
          const bool Inner = X >= 2 && X <= 4 && Y >= 2 && Y <= 4;
          const bool Outside = X < 0 || X > 6 || Y < 0 || Y > 6;
          EXPECT_EQ(M.Get(Cx, Cy), Outside ? 0 : (Ring || Inner ? 1 : 0))
              << Version << ": " << Cx << "," << Cy;
        }
    EXPECT_EQ(M.Get(8, Size - 8), 1) << "dark module";
    for (int I = 8; I < Size - 8; ++I) {
      EXPECT_EQ(M.Get(I, 6), I % 2 == 0 ? 1 : 0) << "timing row, " << I;
      EXPECT_EQ(M.Get(6, I), I % 2 == 0 ? 1 : 0) << "timing column, " << I;
    }
    // Alignment patterns at the centres of the version table, except the three
    // that would overlap finder patterns.
    const std::vector<int> Centres =
        TVersion::GetVersionForNumber(Version)->GetAlignmentPatternCenters();
    for (int Cy : Centres)
      for (int Cx : Centres) {
        const int Last = Centres.back();
        if ((Cx == 6 && Cy == 6) || (Cx == 6 && Cy == Last) || (Cx == Last && Cy == 6)) continue;
        for (int Dy = -2; Dy <= 2; ++Dy)
          for (int Dx = -2; Dx <= 2; ++Dx) {
            const bool Dark = std::max(std::abs(Dx), std::abs(Dy)) != 1;
            EXPECT_EQ(M.Get(Cx + Dx, Cy + Dy), Dark ? 1 : 0) << "alignment " << Cx << "," << Cy;
          }
      }
  }
}

TEST(MatrixUtil, RebuildingGivesTheSameCellsAsAFreshMatrix) {
  const TBitArray Bits = BitsOf(AnnexICodewords);
  TByteMatrix Reused(21, 21);
  for (int Mask : {6, 2, 0}) {
    TMatrixUtil Util;
    Util.BuildMatrix(Bits, LevelM, 1, Mask, Reused);
    EXPECT_EQ(Reused.GetArray(), Build(Bits, LevelM, 1, Mask).GetArray()) << "mask " << Mask;
  }
}

} // namespace
