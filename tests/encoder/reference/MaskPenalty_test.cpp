// Mask penalty rules and the mask choice.
#include "encoder/ByteMatrix.h"
#include "encoder/reference/Encoder.h"
#include "encoder/reference/MatrixUtil.h"
#include "support/Bits.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// A matrix from rows of '0'/'1' characters.
TByteMatrix FromRows(const std::vector<std::string>& Rows) {
  TByteMatrix M(static_cast<int>(Rows[0].size()), static_cast<int>(Rows.size()));
  for (std::size_t Y = 0; Y < Rows.size(); ++Y)
    for (std::size_t X = 0; X < Rows[Y].size(); ++X)
      M.SetBoolean(static_cast<int>(X), static_cast<int>(Y), Rows[Y][X] == '1');
  return M;
}

TByteMatrix Transposed(const TByteMatrix& M) {
  TByteMatrix T(M.Height(), M.Width());
  for (int Y = 0; Y < M.Height(); ++Y)
    for (int X = 0; X < M.Width(); ++X)
      T.SetInteger(Y, X, M.Get(X, Y));
  return T;
}

TEST(MaskPenalty, RunsOfOneColour) {
  const struct {
    const char* row;
    int score;
  } Cases[] = {
      {"0000101", 0},     {"1111101", 3},     {"0111111", 4}, {"1111111", 5},
      {"11111000001", 6}, {"00000100000", 6}, {"0101010", 0},
  };
  for (const auto& C : Cases) {
    const TByteMatrix Row = FromRows({C.row});
    EXPECT_EQ(TEncoder::ScoreRunsInDirection(Row, true), C.score) << C.row;
    EXPECT_EQ(TEncoder::ScoreRunsInDirection(Transposed(Row), false), C.score)
        << C.row << " as a column";
  }
  // A run never continues from the end of one line into the next.
  EXPECT_EQ(TEncoder::ScoreRunsInDirection(FromRows({"0100111", "1110010"}), true), 0);
  EXPECT_EQ(TEncoder::ScoreRunsInDirection(Transposed(FromRows({"0100111", "1110010"})), false), 0);
}

TEST(MaskPenalty, UniformAndCheckerboardMatrices) {
  for (std::uint8_t Colour : {0, 1}) {
    TByteMatrix M(21, 21);
    M.Clear(Colour);
    EXPECT_EQ(TEncoder::ScoreRuns(M), 798);
    EXPECT_EQ(TEncoder::ScoreBlocks(M), 1200);
    EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(M), 0);
    EXPECT_EQ(TEncoder::ScoreDarkBalance(M), 1);
    EXPECT_EQ(TEncoder::MaskPenalty(M), 1999);
  }
  TByteMatrix Board(21, 21);
  for (int Y = 0; Y < 21; ++Y)
    for (int X = 0; X < 21; ++X)
      Board.SetBoolean(X, Y, (X + Y) % 2 == 0);
  EXPECT_EQ(TEncoder::MaskPenalty(Board), 0);
  // A 3 x 3 area of one colour in a checkerboard holds four overlapping blocks.
  Board.SetBoolean(5, 4, true);
  Board.SetBoolean(4, 5, true);
  Board.SetBoolean(6, 5, true);
  Board.SetBoolean(5, 6, true);
  EXPECT_EQ(TEncoder::ScoreBlocks(Board), 12);
}

TEST(MaskPenalty, FinderLikePatterns) {
  const struct {
    const char* row;
    int score;
  } Cases[] = {
      {"000010111010000", 40}, // light on both sides: counted once
      {"1011101000", 0},       // only three light cells after, border before
      {"10111010000", 40},     // four light cells after
      {"00001011101", 40},     // four light cells before, border after
      {"0001011101000", 0},    // three light cells on each side
      {"10111011000", 0},      // a dark cell among the four
      {"000010111011", 40},    // the cell beyond the pattern's other end may be dark
      {"0000101111010000", 0}, // 1:1:4:1:1 is no finder pattern
  };
  for (const auto& C : Cases) {
    const TByteMatrix Row = FromRows({C.row});
    EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(Row), C.score) << C.row;
    EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(Transposed(Row)), C.score)
        << C.row << " as a column";
  }
}

TEST(MaskPenalty, DarkProportionScoresZeroOrOne) {
  // 100 cells, the first Dark of them dark; exactly 25 % and 75 % are ties that round to even (0).
  const struct {
    int dark, score;
  } Cases[] = {{0, 1}, {24, 1}, {25, 0}, {26, 0}, {50, 0}, {74, 0}, {75, 0}, {76, 1}, {100, 1}};
  for (const auto& C : Cases) {
    TByteMatrix M(10, 10);
    for (int I = 0; I < C.dark; ++I)
      M.SetBoolean(I % 10, I / 10, true);
    EXPECT_EQ(TEncoder::ScoreDarkBalance(M), C.score) << C.dark << " % dark";
  }
}

// ISO/IEC 18004 Annex I: "01234567" at version 1-M.
TEST(MaskPenalty, AnnexISymbolScoresAndChoosesMask0) {
  const TBitArray Bits = BitsOf({16, 32,  12, 86,  97, 128, 236, 17,  236, 17,  236, 17, 236,
                                 17, 236, 17, 165, 36, 212, 193, 237, 54,  199, 135, 44, 85});
  const TErrorCorrectionLevel LevelM(TErrorCorrectionLevel::BitsM);
  const int Totals[8] = {297, 533, 397, 452, 570, 637, 419, 406};
  TByteMatrix M(21, 21);
  for (int Mask = 0; Mask < 8; ++Mask) {
    TMatrixUtil Util;
    Util.BuildMatrix(Bits, LevelM, 1, Mask, M);
    EXPECT_EQ(TEncoder::MaskPenalty(M), Totals[Mask]) << "mask " << Mask;
    if (Mask == 0) {
      EXPECT_EQ(TEncoder::ScoreRuns(M), 155);
      EXPECT_EQ(TEncoder::ScoreBlocks(M), 102);
      EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(M), 40);
      EXPECT_EQ(TEncoder::ScoreDarkBalance(M), 0);
    }
  }
  TByteMatrix Scratch(21, 21);
  EXPECT_EQ(TEncoder::SelectMaskPattern(Bits, LevelM, 1, Scratch), 0);
  EXPECT_EQ(Scratch.GetArray(), M.GetArray()); // left holding the mask-7 build
}

// For random codeword streams the choice is the first mask with the lowest
// total; the streams include ties for the lowest total.
TEST(MaskPenalty, ChoiceIsTheLowestMaskWithTheLowestTotal) {
  const unsigned Seed = 4113u;
  std::printf("random stream seed: %u\n", Seed);
  std::mt19937 Rng(Seed);
  const TErrorCorrectionLevel LevelL(TErrorCorrectionLevel::BitsL);
  int Ties = 0;
  for (int Trial = 0; Trial < 400 && !(Trial >= 60 && Ties >= 3); ++Trial) {
    const int Version = 1 + Trial % 3;
    const int Size = 17 + 4 * Version;
    TBitArray Bits;
    for (int I = 0; I < 26 * 8 * Version; ++I)
      Bits.AppendBit(Rng() % 2 == 1);
    int Totals[8];
    TByteMatrix M(Size, Size);
    for (int Mask = 0; Mask < 8; ++Mask) {
      TMatrixUtil Util;
      Util.BuildMatrix(Bits, LevelL, Version, Mask, M);
      Totals[Mask] = TEncoder::MaskPenalty(M);
    }
    int Expected = 0, AtMinimum = 0;
    for (int Mask = 1; Mask < 8; ++Mask)
      if (Totals[Mask] < Totals[Expected]) Expected = Mask;
    for (int Mask = 0; Mask < 8; ++Mask)
      AtMinimum += Totals[Mask] == Totals[Expected];
    if (AtMinimum > 1) ++Ties;
    ASSERT_EQ(TEncoder::SelectMaskPattern(Bits, LevelL, Version, M), Expected) << "trial " << Trial;
  }
  EXPECT_GE(Ties, 1) << "no stream had a tie for the lowest total";
}

} // namespace
