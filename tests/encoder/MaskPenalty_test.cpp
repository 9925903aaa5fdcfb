// Mask penalty rules and the mask choice.
#include "encoder/ByteMatrix.h"
#include "encoder/Encoder.h"
#include "encoder/MatrixUtil.h"
#include "support/Bits.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// A matrix from rows of '0'/'1' characters.
TByteMatrix FromRows(const std::vector<std::string>& rows) {
  TByteMatrix m(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < rows[y].size(); ++x)
      m.SetBoolean(static_cast<int>(x), static_cast<int>(y), rows[y][x] == '1');
  return m;
}

TByteMatrix Transposed(const TByteMatrix& m) {
  TByteMatrix t(m.Height(), m.Width());
  for (int y = 0; y < m.Height(); ++y)
    for (int x = 0; x < m.Width(); ++x)
      t.SetInteger(y, x, m.Get(x, y));
  return t;
}

TEST(MaskPenalty, RunsOfOneColour) {
  const struct {
    const char* row;
    int score;
  } cases[] = {
      {"0000101", 0},     {"1111101", 3},     {"0111111", 4}, {"1111111", 5},
      {"11111000001", 6}, {"00000100000", 6}, {"0101010", 0},
  };
  for (const auto& c : cases) {
    const TByteMatrix row = FromRows({c.row});
    EXPECT_EQ(TEncoder::ScoreRunsInDirection(row, true), c.score) << c.row;
    EXPECT_EQ(TEncoder::ScoreRunsInDirection(Transposed(row), false), c.score)
        << c.row << " as a column";
  }
  // A run never continues from the end of one line into the next.
  EXPECT_EQ(TEncoder::ScoreRunsInDirection(FromRows({"0100111", "1110010"}), true), 0);
  EXPECT_EQ(TEncoder::ScoreRunsInDirection(Transposed(FromRows({"0100111", "1110010"})), false), 0);
}

TEST(MaskPenalty, UniformAndCheckerboardMatrices) {
  for (std::uint8_t colour : {0, 1}) {
    TByteMatrix m(21, 21);
    m.Clear(colour);
    EXPECT_EQ(TEncoder::ScoreRuns(m), 798);
    EXPECT_EQ(TEncoder::ScoreBlocks(m), 1200);
    EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(m), 0);
    EXPECT_EQ(TEncoder::ScoreDarkBalance(m), 1);
    EXPECT_EQ(TEncoder::MaskPenalty(m), 1999);
  }
  TByteMatrix board(21, 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x)
      board.SetBoolean(x, y, (x + y) % 2 == 0);
  EXPECT_EQ(TEncoder::MaskPenalty(board), 0);
  // A 3 x 3 area of one colour in a checkerboard holds four overlapping blocks.
  board.SetBoolean(5, 4, true);
  board.SetBoolean(4, 5, true);
  board.SetBoolean(6, 5, true);
  board.SetBoolean(5, 6, true);
  EXPECT_EQ(TEncoder::ScoreBlocks(board), 12);
}

TEST(MaskPenalty, FinderLikePatterns) {
  const struct {
    const char* row;
    int score;
  } cases[] = {
      {"000010111010000", 40}, // light on both sides: counted once
      {"1011101000", 0},       // only three light cells after, border before
      {"10111010000", 40},     // four light cells after
      {"00001011101", 40},     // four light cells before, border after
      {"0001011101000", 0},    // three light cells on each side
      {"10111011000", 0},      // a dark cell among the four
      {"000010111011", 40},    // the cell beyond the pattern's other end may be dark
      {"0000101111010000", 0}, // 1:1:4:1:1 is no finder pattern
  };
  for (const auto& c : cases) {
    const TByteMatrix row = FromRows({c.row});
    EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(row), c.score) << c.row;
    EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(Transposed(row)), c.score)
        << c.row << " as a column";
  }
}

TEST(MaskPenalty, DarkProportionScoresZeroOrOne) {
  // 100 cells, the first Dark of them dark; exactly 25 % and 75 % are ties that round to even (0).
  const struct {
    int dark, score;
  } cases[] = {{0, 1}, {24, 1}, {25, 0}, {26, 0}, {50, 0}, {74, 0}, {75, 0}, {76, 1}, {100, 1}};
  for (const auto& c : cases) {
    TByteMatrix m(10, 10);
    for (int i = 0; i < c.dark; ++i)
      m.SetBoolean(i % 10, i / 10, true);
    EXPECT_EQ(TEncoder::ScoreDarkBalance(m), c.score) << c.dark << " % dark";
  }
}

// ISO/IEC 18004 Annex I: "01234567" at version 1-M.
TEST(MaskPenalty, AnnexISymbolScoresAndChoosesMask0) {
  const TBitArray bits = BitsOf({16, 32,  12, 86,  97, 128, 236, 17,  236, 17,  236, 17, 236,
                                 17, 236, 17, 165, 36, 212, 193, 237, 54,  199, 135, 44, 85});
  const TErrorCorrectionLevel levelM(TErrorCorrectionLevel::BitsM);
  const int totals[8] = {297, 533, 397, 452, 570, 637, 419, 406};
  TByteMatrix m(21, 21);
  for (int mask = 0; mask < 8; ++mask) {
    TMatrixUtil util;
    util.BuildMatrix(bits, levelM, 1, mask, m);
    EXPECT_EQ(TEncoder::MaskPenalty(m), totals[mask]) << "mask " << mask;
    if (mask == 0) {
      EXPECT_EQ(TEncoder::ScoreRuns(m), 155);
      EXPECT_EQ(TEncoder::ScoreBlocks(m), 102);
      EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(m), 40);
      EXPECT_EQ(TEncoder::ScoreDarkBalance(m), 0);
    }
  }
  TByteMatrix scratch(21, 21);
  EXPECT_EQ(TEncoder::SelectMaskPattern(bits, levelM, 1, scratch), 0);
  EXPECT_EQ(scratch.GetArray(), m.GetArray()); // left holding the mask-7 build
}

// For random codeword streams the choice is the first mask with the lowest
// total; the streams include ties for the lowest total.
TEST(MaskPenalty, ChoiceIsTheLowestMaskWithTheLowestTotal) {
  const unsigned seed = 4113u;
  std::printf("random stream seed: %u\n", seed);
  std::mt19937 rng(seed);
  const TErrorCorrectionLevel levelL(TErrorCorrectionLevel::BitsL);
  int ties = 0;
  for (int trial = 0; trial < 400 && !(trial >= 60 && ties >= 3); ++trial) {
    const int version = 1 + trial % 3;
    const int size = 17 + 4 * version;
    TBitArray bits;
    for (int i = 0; i < 26 * 8 * version; ++i)
      bits.AppendBit(rng() % 2 == 1);
    int totals[8];
    TByteMatrix m(size, size);
    for (int mask = 0; mask < 8; ++mask) {
      TMatrixUtil util;
      util.BuildMatrix(bits, levelL, version, mask, m);
      totals[mask] = TEncoder::MaskPenalty(m);
    }
    int expected = 0, atMinimum = 0;
    for (int mask = 1; mask < 8; ++mask)
      if (totals[mask] < totals[expected]) expected = mask;
    for (int mask = 0; mask < 8; ++mask)
      atMinimum += totals[mask] == totals[expected];
    if (atMinimum > 1) ++ties;
    ASSERT_EQ(TEncoder::SelectMaskPattern(bits, levelL, version, m), expected) << "trial " << trial;
  }
  EXPECT_GE(ties, 1) << "no stream had a tie for the lowest total";
}

} // namespace
