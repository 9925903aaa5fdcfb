// The encoder's data masks and mask choice (ISO/IEC 18004 clause 7.8): the eight masks as
// periodic bit patterns, the four penalty rules scored 64 cells at a time on bit-packed lines,
// and the trial of every mask on a placed symbol. Gives exactly the penalties and the choice of
// TEncoder::SelectMaskPattern.
#pragma once

#include "encoder/Layout.h"

#include <cstdint>

namespace qr {

// The four penalty rules on a symbol given as rows and as columns.
int ScoreRuns(const TBitGrid& Rows, const TBitGrid& Cols);
int ScoreBlocks(const TBitGrid& Rows);
int ScoreFinderLikePatterns(const TBitGrid& Rows, const TBitGrid& Cols);
int ScoreDarkBalance(const TBitGrid& Rows);
int MaskPenalty(const TBitGrid& Rows, const TBitGrid& Cols);

// A version's symbol with its codewords placed, before masking.
class TMaskTrials {
public:
  // Codewords holds the version's total codewords (interleaved, EC included); the format
  // information is that of level LevelOrdinal (0..3 for L, M, Q, H).
  TMaskTrials(int Version, const std::uint8_t* Codewords, int LevelOrdinal = 0);

  const TVersionLayout& Layout() const { return FLayout; }
  // The finished symbol with data mask Mask, as rows and as columns.
  void Build(int Mask, TBitGrid& Rows, TBitGrid& Cols) const;
  // The total penalty of the symbol with data mask Mask, scored line by line without
  // building it.
  int Penalty(int Mask) const;
  // The mask with the lowest penalty, the lowest number on a tie. Penalties, when given,
  // receives the eight totals.
  int ChooseMask(int* Penalties = nullptr) const;

private:
  const TVersionLayout& FLayout;
  std::size_t FLevel;
  TBitGrid FRows; // function patterns and unmasked data; format cells light
  TBitGrid FCols;
};

} // namespace qr
