// Data-mask evaluation and choice (ISO/IEC 18004 clause 7.8.3). Rules 1 to 3
// follow the standard's features; rule 4 scores the dark proportion as 0 or 1,
// not in steps of 10 per 5 % deviation.
#include "encoder/ByteMatrix.h"
#include "encoder/Encoder.h"
#include "encoder/MatrixUtil.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

int TEncoder::SelectMaskPattern(const TBitArray& Bits, const TErrorCorrectionLevel& ECLevel,
                                int Version, TByteMatrix& Matrix) {
  int minPenalty = INT_MAX;
  int best = -1;
  for (int mask = 0; mask < 8; ++mask) {
    TMatrixUtil matrixUtil;
    matrixUtil.BuildMatrix(Bits, ECLevel, Version, mask, Matrix);
    const int penalty = MaskPenalty(Matrix);
    if (penalty < minPenalty) {
      minPenalty = penalty;
      best = mask;
    }
  }
  return best;
}

int TEncoder::MaskPenalty(const TByteMatrix& Matrix) {
  return ScoreRuns(Matrix) + ScoreBlocks(Matrix) + ScoreFinderLikePatterns(Matrix) +
         ScoreDarkBalance(Matrix);
}

int TEncoder::ScoreRuns(const TByteMatrix& Matrix) {
  return ScoreRunsInDirection(Matrix, true) + ScoreRunsInDirection(Matrix, false);
}

int TEncoder::ScoreRunsInDirection(const TByteMatrix& Matrix, bool Horizontal) {
  const T2DByteArray& cells = Matrix.GetArray();
  const int lines = Horizontal ? Matrix.Height() : Matrix.Width();
  const int length = Horizontal ? Matrix.Width() : Matrix.Height();
  int penalty = 0;
  int count = 0;
  int previous = -1;
  for (int i = 0; i < lines; ++i) {
    for (int j = 0; j < length; ++j) {
      const int v = Horizontal ? cells[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]
                               : cells[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)];
      if (v == previous) {
        ++count;
        if (count == 5)
          penalty += 3;
        else if (count > 5)
          penalty += 1;
      } else {
        count = 1;
        previous = v;
      }
    }
    count = 0;
  }
  return penalty;
}

int TEncoder::ScoreBlocks(const TByteMatrix& Matrix) {
  const T2DByteArray& cells = Matrix.GetArray();
  int penalty = 0;
  for (std::size_t y = 0; y + 1 < static_cast<std::size_t>(Matrix.Height()); ++y) {
    const TByteArray& row = cells[y];
    const TByteArray& next = cells[y + 1];
    for (std::size_t x = 0; x + 1 < static_cast<std::size_t>(Matrix.Width()); ++x) {
      const std::uint8_t v = row[x];
      if (v == row[x + 1] && v == next[x] && v == next[x + 1]) penalty += 3;
    }
  }
  return penalty;
}

namespace {

constexpr std::uint8_t FinderLike[7] = {1, 0, 1, 1, 1, 0, 1};

// Reads cell number k of the line through (X, Y) in the given direction.
struct TLine {
  const T2DByteArray& Cells;
  int X, Y;
  bool Horizontal;
  std::uint8_t operator[](int k) const {
    return Horizontal ? Cells[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X + k)]
                      : Cells[static_cast<std::size_t>(Y + k)][static_cast<std::size_t>(X)];
  }
};

// Whether a finder-like pattern starts at offset 0 of Line, and has four light
// cells inside the matrix after it (offsets 7..10) or before it (-1..-4).
// Start is the pattern's position along the line, Length the line's length.
bool FinderLikeAt(const TLine& Line, int Start, int Length) {
  if (Start + 6 >= Length) return false;
  for (int k = 0; k < 7; ++k)
    if (Line[k] != FinderLike[k]) return false;
  auto lightFrom = [&](int first, int step) {
    for (int k = 0; k < 4; ++k)
      if (Line[first + step * k] != 0) return false;
    return true;
  };
  return (Start + 10 < Length && lightFrom(7, 1)) || (Start - 4 >= 0 && lightFrom(-1, -1));
}

} // namespace

int TEncoder::ScoreFinderLikePatterns(const TByteMatrix& Matrix) {
  const T2DByteArray& cells = Matrix.GetArray();
  const int width = Matrix.Width();
  const int height = Matrix.Height();
  int penalty = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (FinderLikeAt(TLine{cells, x, y, true}, x, width)) penalty += 40;
      if (FinderLikeAt(TLine{cells, x, y, false}, y, height)) penalty += 40;
    }
  return penalty;
}

int TEncoder::ScoreDarkBalance(const TByteMatrix& Matrix) {
  long dark = 0;
  for (const TByteArray& row : Matrix.GetArray())
    for (std::uint8_t v : row)
      if (v == 1) ++dark;
  const double total = static_cast<double>(Matrix.Height()) * Matrix.Width();
  const double ratio = static_cast<double>(dark) / total;
  return static_cast<int>(std::nearbyint(std::fabs(ratio * 100.0 - 50.0) / 50.0));
}
