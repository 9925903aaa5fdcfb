// Data-mask evaluation and choice (ISO/IEC 18004 clause 7.8.3). Rules 1 to 3
// follow the standard's features; rule 4 scores the dark proportion as 0 or 1,
// not in steps of 10 per 5 % deviation.
#include "encoder/ByteMatrix.h"
#include "encoder/reference/Encoder.h"
#include "encoder/reference/MatrixUtil.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

int TEncoder::SelectMaskPattern(const TBitArray& Bits, const TErrorCorrectionLevel& ECLevel,
                                int Version, TByteMatrix& Matrix) {
  int MinPenalty = INT_MAX;
  int Best = -1;
  for (int Mask = 0; Mask < 8; ++Mask) {
    TMatrixUtil MatrixUtil;
    MatrixUtil.BuildMatrix(Bits, ECLevel, Version, Mask, Matrix);
    const int Penalty = MaskPenalty(Matrix);
    if (Penalty < MinPenalty) {
      MinPenalty = Penalty;
      Best = Mask;
    }
  }
  return Best;
}

int TEncoder::MaskPenalty(const TByteMatrix& Matrix) {
  return ScoreRuns(Matrix) + ScoreBlocks(Matrix) + ScoreFinderLikePatterns(Matrix) +
         ScoreDarkBalance(Matrix);
}

int TEncoder::ScoreRuns(const TByteMatrix& Matrix) {
  return ScoreRunsInDirection(Matrix, true) + ScoreRunsInDirection(Matrix, false);
}

int TEncoder::ScoreRunsInDirection(const TByteMatrix& Matrix, bool Horizontal) {
  const T2DByteArray& Cells = Matrix.GetArray();
  const int Lines = Horizontal ? Matrix.Height() : Matrix.Width();
  const int Length = Horizontal ? Matrix.Width() : Matrix.Height();
  int Penalty = 0;
  int Count = 0;
  int Previous = -1;
  for (int I = 0; I < Lines; ++I) {
    for (int J = 0; J < Length; ++J) {
      const int V = Horizontal ? Cells[static_cast<std::size_t>(I)][static_cast<std::size_t>(J)]
                               : Cells[static_cast<std::size_t>(J)][static_cast<std::size_t>(I)];
      if (V == Previous) {
        ++Count;
        if (Count == 5)
          Penalty += 3;
        else if (Count > 5)
          Penalty += 1;
      } else {
        Count = 1;
        Previous = V;
      }
    }
    Count = 0;
  }
  return Penalty;
}

int TEncoder::ScoreBlocks(const TByteMatrix& Matrix) {
  const T2DByteArray& Cells = Matrix.GetArray();
  int Penalty = 0;
  for (std::size_t Y = 0; Y + 1 < static_cast<std::size_t>(Matrix.Height()); ++Y) {
    const TByteArray& Row = Cells[Y];
    const TByteArray& Next = Cells[Y + 1];
    for (std::size_t X = 0; X + 1 < static_cast<std::size_t>(Matrix.Width()); ++X) {
      const std::uint8_t V = Row[X];
      if (V == Row[X + 1] && V == Next[X] && V == Next[X + 1]) Penalty += 3;
    }
  }
  return Penalty;
}

namespace {

constexpr std::uint8_t FinderLike[7] = {1, 0, 1, 1, 1, 0, 1};

// Reads cell number k of the line through (X, Y) in the given direction.
struct TLine {
  const T2DByteArray& Cells;
  int X, Y;
  bool Horizontal;
  std::uint8_t operator[](int K) const {
    return Horizontal ? Cells[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X + K)]
                      : Cells[static_cast<std::size_t>(Y + K)][static_cast<std::size_t>(X)];
  }
};

// Whether a finder-like pattern starts at offset 0 of Line, and has four light
// cells inside the matrix after it (offsets 7..10) or before it (-1..-4).
// Start is the pattern's position along the line, Length the line's length.
bool FinderLikeAt(const TLine& Line, int Start, int Length) {
  if (Start + 6 >= Length) return false;
  for (int K = 0; K < 7; ++K)
    if (Line[K] != FinderLike[K]) return false;
  auto LightFrom = [&](int First, int Step) {
    for (int K = 0; K < 4; ++K)
      if (Line[First + Step * K] != 0) return false;
    return true;
  };
  return (Start + 10 < Length && LightFrom(7, 1)) || (Start - 4 >= 0 && LightFrom(-1, -1));
}

} // namespace

int TEncoder::ScoreFinderLikePatterns(const TByteMatrix& Matrix) {
  const T2DByteArray& Cells = Matrix.GetArray();
  const int Width = Matrix.Width();
  const int Height = Matrix.Height();
  int Penalty = 0;
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      if (FinderLikeAt(TLine{Cells, X, Y, true}, X, Width)) Penalty += 40;
      if (FinderLikeAt(TLine{Cells, X, Y, false}, Y, Height)) Penalty += 40;
    }
  return Penalty;
}

int TEncoder::ScoreDarkBalance(const TByteMatrix& Matrix) {
  long Dark = 0;
  for (const TByteArray& Row : Matrix.GetArray())
    for (std::uint8_t V : Row)
      if (V == 1) ++Dark;
  const double Total = static_cast<double>(Matrix.Height()) * Matrix.Width();
  const double Ratio = static_cast<double>(Dark) / Total;
  return static_cast<int>(std::nearbyint(std::fabs(Ratio * 100.0 - 50.0) / 50.0));
}
