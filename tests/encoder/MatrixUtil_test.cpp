// The symbol matrix: function patterns, format and version information, data
// placement and masks, checked against ISO/IEC 18004 and read back by zbar.
#include "encoder/GaloisField.h"
#include "encoder/MaskUtil.h"
#include "encoder/MatrixUtil.h"
#include "encoder/ReedSolomon.h"
#include "encoder/Version.h"
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

int SizeOf(int version) {
  return 17 + 4 * version;
}

TBitArray Repeated(bool bit, int count) {
  TBitArray bits;
  for (int i = 0; i < count; ++i)
    bits.AppendBit(bit);
  return bits;
}

TByteMatrix Build(const TBitArray& bits, const TErrorCorrectionLevel& level, int version, int mask,
                  bool* error = nullptr) {
  TByteMatrix matrix(SizeOf(version), SizeOf(version));
  TMatrixUtil util;
  util.BuildMatrix(bits, level, version, mask, matrix);
  if (error != nullptr) *error = util.MatrixUtilError();
  return matrix;
}

// ISO/IEC 18004 Annex I: "01234567" at version 1-M, data and EC codewords.
const std::vector<int> AnnexICodewords = {16,  32,  12,  86,  97,  128, 236, 17,  236,
                                          17,  236, 17,  236, 17,  236, 17,  165, 36,
                                          212, 193, 237, 54,  199, 135, 44,  85};

// Decodes a matrix with zbar (binary mode), with a 4-module quiet zone at 4
// pixels per module. Answers the decoded bytes, or "<none>".
std::string Decode(const TByteMatrix& matrix) {
  const int scale = 4, quiet = 4;
  const int side = (matrix.Width() + 2 * quiet) * scale;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(side) * static_cast<std::size_t>(side),
                                    255);
  for (int y = 0; y < matrix.Height(); ++y)
    for (int x = 0; x < matrix.Width(); ++x)
      if (matrix.Get(x, y) == 1)
        for (int dy = 0; dy < scale; ++dy)
          for (int dx = 0; dx < scale; ++dx)
            pixels[static_cast<std::size_t>(((y + quiet) * scale + dy) * side +
                                            (x + quiet) * scale + dx)] = 0;
  return DecodeGreyImage(pixels, side, side).value_or("<none>");
}

// A byte-mode symbol at level L built by hand, independently of the encoder's
// own codeword assembly: segment, terminator, pad codewords, RS blocks
// (Table 9 layout) and interleaving (clause 7.6).
TBitArray ByteModeCodewords(const std::string& text, int version) {
  auto info = TVersion::GetVersionForNumber(version);
  const TECBlocks& layout = info->GetECBlocksForLevel(LevelL);
  const int total = info->GetTotalCodewords();
  const int dataTotal = total - layout.GetTotalECCodewords();
  TBitArray bits;
  bits.AppendBits(4, 4);
  bits.AppendBits(static_cast<std::uint32_t>(text.size()), version < 10 ? 8 : 16);
  for (unsigned char c : text)
    bits.AppendBits(c, 8);
  for (int i = 0; i < 4 && bits.GetSize() < dataTotal * 8; ++i)
    bits.AppendBit(false);
  while (bits.GetSize() % 8 != 0)
    bits.AppendBit(false);
  for (int pad = 0; bits.GetSize() < dataTotal * 8; ++pad)
    bits.AppendBits(pad % 2 == 0 ? 0xEC : 0x11, 8);
  std::vector<int> data;
  for (int i = 0; i < dataTotal; ++i) {
    int v = 0;
    for (int b = 0; b < 8; ++b)
      v = v * 2 + (bits.Get(i * 8 + b) ? 1 : 0);
    data.push_back(v);
  }
  const int ec = layout.GetECCodewordsPerBlock();
  std::vector<TIntegerArray> dataBlocks, ecBlocks;
  std::size_t offset = 0;
  for (const TECB& group : layout.GetECBlocks())
    for (int b = 0; b < group.Count; ++b) {
      TIntegerArray block(data.begin() + static_cast<std::ptrdiff_t>(offset),
                          data.begin() + static_cast<std::ptrdiff_t>(offset) + group.DataCodewords);
      offset += static_cast<std::size_t>(group.DataCodewords);
      TIntegerArray full = block;
      full.resize(block.size() + static_cast<std::size_t>(ec), 0);
      auto field = TGenericGF::CreateQRCodeField256();
      TReedSolomonEncoder rs(field.get());
      rs.Encode(full, ec);
      dataBlocks.push_back(block);
      ecBlocks.emplace_back(full.end() - ec, full.end());
    }
  std::vector<int> out;
  for (const auto* blocks : {&dataBlocks, &ecBlocks})
    for (std::size_t i = 0;; ++i) {
      bool any = false;
      for (const TIntegerArray& block : *blocks)
        if (i < block.size()) {
          out.push_back(block[i]);
          any = true;
        }
      if (!any) break;
    }
  EXPECT_EQ(static_cast<int>(out.size()), total);
  return BitsOf(out);
}

// Format word read from one of the two copies; bit 0 is the least significant.
int ReadFormat(const TByteMatrix& m, bool second) {
  static const int first[15][2] = {{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
                                   {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8}};
  const int size = m.Width();
  int word = 0;
  for (int i = 0; i < 15; ++i) {
    const int x = second ? (i <= 7 ? size - 1 - i : 8) : first[i][0];
    const int y = second ? (i <= 7 ? 8 : size - 15 + i) : first[i][1];
    if (m.Get(x, y) == 1) word |= 1 << i;
  }
  return word;
}

// Version word from the block above the lower-left finder (lower) or left of
// the upper-right finder (upper).
int ReadVersion(const TByteMatrix& m, bool upper) {
  const int size = m.Width();
  int word = 0;
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 3; ++j) {
      const int x = upper ? size - 11 + j : i;
      const int y = upper ? i : size - 11 + j;
      if (m.Get(x, y) == 1) word |= 1 << (3 * i + j);
    }
  return word;
}

// Remainder of a GF(2) polynomial division, written out independently.
int PolyMod(int value, int generator) {
  const int g = std::bit_width(static_cast<unsigned>(generator));
  for (int b = std::bit_width(static_cast<unsigned>(value)); b >= g;
       b = std::bit_width(static_cast<unsigned>(value)))
    value ^= generator << (b - g);
  return value;
}

TEST(MatrixUtil, AnnexISymbolDecodesWithEveryMask) {
  for (int mask = 0; mask < 8; ++mask) {
    bool error = true;
    const TByteMatrix m = Build(BitsOf(AnnexICodewords), LevelM, 1, mask, &error);
    EXPECT_FALSE(error);
    EXPECT_EQ(Decode(m), "01234567") << "mask " << mask;
  }
}

// Versions with one and several blocks, with and without version information
// and remainder bits; every mask on the smaller ones.
TEST(MatrixUtil, ByteModeSymbolsDecodeAcrossVersions) {
  for (int version : {1, 2, 5, 6, 7, 10, 14, 21, 27, 28, 35, 40}) {
    std::string text = "Marbeck v" + std::to_string(version) + ":";
    for (int i = 0; static_cast<int>(text.size()) < version * 9; ++i)
      text += static_cast<char>('a' + i % 26);
    const TBitArray bits = ByteModeCodewords(text, version);
    for (int mask = 0; mask < 8; mask += (version <= 7 ? 1 : 3)) {
      bool error = true;
      const TByteMatrix m = Build(bits, LevelL, version, mask, &error);
      EXPECT_FALSE(error) << "version " << version;
      EXPECT_EQ(Decode(m), text) << "version " << version << ", mask " << mask;
    }
  }
}

// Table C.1: both copies agree; the level-L words of Table C.1; every word is
// the 5 data bits with their BCH(15,5) check bits, masked with 101010000010010.
TEST(MatrixUtil, FormatInformationForAllLevelsAndMasks) {
  const int levelL[8] = {0x77C4, 0x72F3, 0x7DAA, 0x789D, 0x662F, 0x6318, 0x6C41, 0x6976};
  std::vector<int> words;
  for (int levelBits = 0; levelBits < 4; ++levelBits)
    for (int mask = 0; mask < 8; ++mask) {
      const TByteMatrix m = Build(TBitArray(), TErrorCorrectionLevel(levelBits), 1, mask);
      const int word = ReadFormat(m, false);
      EXPECT_EQ(ReadFormat(m, true), word) << levelBits << "/" << mask;
      const int unmasked = word ^ 0x5412;
      EXPECT_EQ(unmasked >> 10, levelBits * 8 + mask);
      EXPECT_EQ(PolyMod(unmasked, 0x537), 0);
      if (levelBits == TErrorCorrectionLevel::BitsL) {
        EXPECT_EQ(word, levelL[mask]) << "mask " << mask;
      }
      words.push_back(word);
    }
  EXPECT_EQ(words[0], 0b101010000010010); // level M, mask 0
  for (std::size_t a = 0; a < words.size(); ++a)
    for (std::size_t b = a + 1; b < words.size(); ++b)
      EXPECT_GE(std::popcount(static_cast<unsigned>(words[a] ^ words[b])), 7);
  // Bit 14 of L/0 (a 1) sits at (0, 8) and (8, size - 1); bit 0 (a 0) at (8, 0) and (size - 1, 8).
  const TByteMatrix m = Build(TBitArray(), LevelL, 2, 0);
  EXPECT_EQ(m.Get(0, 8), 1);
  EXPECT_EQ(m.Get(8, 24), 1);
  EXPECT_EQ(m.Get(8, 0), 0);
  EXPECT_EQ(m.Get(24, 8), 0);
}

// Table D.1: versions 7 to 40 carry 6 version bits and 12 BCH(18,6) check bits
// in two agreeing copies; version 6 has data where they would be.
TEST(MatrixUtil, VersionInformation) {
  std::vector<int> words;
  for (int version = 7; version <= 40; ++version) {
    const TByteMatrix m = Build(TBitArray(), LevelL, version, 0);
    const int word = ReadVersion(m, false);
    EXPECT_EQ(ReadVersion(m, true), word) << "version " << version;
    EXPECT_EQ(word >> 12, version);
    EXPECT_EQ(PolyMod(word, 0x1F25), 0) << "version " << version;
    words.push_back(word);
  }
  EXPECT_EQ(words[0], 0b000111110010010100);
  for (std::size_t a = 0; a < words.size(); ++a)
    for (std::size_t b = a + 1; b < words.size(); ++b)
      EXPECT_GE(std::popcount(static_cast<unsigned>(words[a] ^ words[b])), 8);

  const int cells = 6 * 3;
  const int n =
      TVersion::GetVersionForNumber(6)->GetTotalCodewords() * 8 + 7; // with the remainder cells
  const TByteMatrix zeros = Build(Repeated(false, n), LevelL, 6, 0);
  const TByteMatrix ones = Build(Repeated(true, n), LevelL, 6, 0);
  int differing = 0;
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 3; ++j)
      differing += (zeros.Get(i, SizeOf(6) - 11 + j) != ones.Get(i, SizeOf(6) - 11 + j));
  EXPECT_EQ(differing, cells);
}

// The free cells hold exactly TotalCodewords x 8 data bits plus the remainder
// bits of the version; the remainder cells show the bare mask.
TEST(MatrixUtil, DataCellsPerVersion) {
  for (int version = 1; version <= 40; ++version) {
    const int remainder = version == 1    ? 0
                          : version <= 6  ? 7
                          : version <= 13 ? 0
                          : version <= 20 ? 3
                          : version <= 27 ? 4
                          : version <= 34 ? 3
                                          : 0;
    const int n = TVersion::GetVersionForNumber(version)->GetTotalCodewords() * 8;
    if (version == 1) {
      EXPECT_EQ(n, 208);
    }
    bool error = true;
    const TByteMatrix zeros = Build(Repeated(false, n), LevelL, version, 3, &error);
    EXPECT_FALSE(error);
    const TByteMatrix ones = Build(Repeated(true, n + remainder), LevelL, version, 3, &error);
    EXPECT_FALSE(error) << "version " << version;
    Build(Repeated(true, n + remainder + 1), LevelL, version, 3, &error);
    EXPECT_TRUE(error) << "version " << version;
    int differing = 0;
    for (int y = 0; y < zeros.Height(); ++y)
      for (int x = 0; x < zeros.Width(); ++x) {
        ASSERT_NE(zeros.Get(x, y), -1);
        differing += zeros.Get(x, y) != ones.Get(x, y);
      }
    EXPECT_EQ(differing, n + remainder) << "version " << version;
  }
}

// Placement order (clause 7.7.3): bottom-right first, the right cell of a pair
// first, upwards, then the next pair downwards; column 6 is skipped.
TEST(MatrixUtil, DataPlacementOrderInVersion1) {
  const TByteMatrix blank = Build(Repeated(false, 208), LevelL, 1, 0);
  const struct {
    int index, x, y;
  } cases[] = {{0, 20, 20}, {1, 19, 20},  {2, 20, 19},  {23, 19, 9}, {24, 18, 9},
               {25, 17, 9}, {48, 16, 20}, {206, 1, 12}, {207, 0, 12}};
  for (const auto& c : cases) {
    TBitArray bits = Repeated(false, 208);
    bits.SetBit(c.index);
    const TByteMatrix m = Build(bits, LevelL, 1, 0);
    int differing = 0;
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 21; ++x)
        differing += m.Get(x, y) != blank.Get(x, y);
    EXPECT_EQ(differing, 1) << "bit " << c.index;
    EXPECT_NE(m.Get(c.x, c.y), blank.Get(c.x, c.y)) << "bit " << c.index;
    // A zero data bit shows the mask: dark where the mask inverts.
    EXPECT_EQ(blank.Get(c.x, c.y), TMaskUtil::GetDataMaskBit(0, c.x, c.y) ? 1 : 0);
  }
}

TEST(MatrixUtil, FunctionPatterns) {
  for (int version : {1, 2, 7, 40}) {
    const int size = SizeOf(version);
    const TByteMatrix m = Build(TBitArray(), LevelL, version, 5);
    // Finder patterns with their light separators.
    for (const auto& [left, top] : {std::pair{0, 0}, {size - 7, 0}, {0, size - 7}})
      for (int y = -1; y <= 7; ++y)
        for (int x = -1; x <= 7; ++x) {
          const int cx = left + x, cy = top + y;
          if (cx < 0 || cy < 0 || cx >= size || cy >= size) continue;
          const bool ring = x == 0 || x == 6 || y == 0 || y == 6;
          const bool inner = x >= 2 && x <= 4 && y >= 2 && y <= 4;
          const bool outside = x < 0 || x > 6 || y < 0 || y > 6;
          EXPECT_EQ(m.Get(cx, cy), outside ? 0 : (ring || inner ? 1 : 0))
              << version << ": " << cx << "," << cy;
        }
    EXPECT_EQ(m.Get(8, size - 8), 1) << "dark module";
    for (int i = 8; i < size - 8; ++i) {
      EXPECT_EQ(m.Get(i, 6), i % 2 == 0 ? 1 : 0) << "timing row, " << i;
      EXPECT_EQ(m.Get(6, i), i % 2 == 0 ? 1 : 0) << "timing column, " << i;
    }
    // Alignment patterns at the centres of the version table, except the three
    // that would overlap finder patterns.
    const std::vector<int> centres =
        TVersion::GetVersionForNumber(version)->GetAlignmentPatternCenters();
    for (int cy : centres)
      for (int cx : centres) {
        const int last = centres.back();
        if ((cx == 6 && cy == 6) || (cx == 6 && cy == last) || (cx == last && cy == 6)) continue;
        for (int dy = -2; dy <= 2; ++dy)
          for (int dx = -2; dx <= 2; ++dx) {
            const bool dark = std::max(std::abs(dx), std::abs(dy)) != 1;
            EXPECT_EQ(m.Get(cx + dx, cy + dy), dark ? 1 : 0) << "alignment " << cx << "," << cy;
          }
      }
  }
}

TEST(MatrixUtil, RebuildingGivesTheSameCellsAsAFreshMatrix) {
  const TBitArray bits = BitsOf(AnnexICodewords);
  TByteMatrix reused(21, 21);
  for (int mask : {6, 2, 0}) {
    TMatrixUtil util;
    util.BuildMatrix(bits, LevelM, 1, mask, reused);
    EXPECT_EQ(reused.GetArray(), Build(bits, LevelM, 1, mask).GetArray()) << "mask " << mask;
  }
}

} // namespace
