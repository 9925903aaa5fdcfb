#include "encoder/Layout.h"

#include "encoder/ByteMatrix.h"
#include "encoder/FunctionLayer.h"
#include "encoder/Version.h"

#include <memory>
#include <mutex>

namespace qr {

namespace {

// ---- bit-matrix transposition ----

// Transposes a 64 x 64 bit block in place: afterwards bit C of A[R] is what bit R of A[C]
// was. Six rounds swap ever smaller off-diagonal sub-blocks (32 x 32 first).
void Transpose64(std::uint64_t* A) {
  std::uint64_t M = 0x00000000FFFFFFFFull;
  for (int J = 32; J != 0; J >>= 1, M ^= M << J)
    for (int K = 0; K < 64; K = ((K | J) + 1) & ~J) {
      const std::uint64_t T = ((A[K] >> J) ^ A[K | J]) & M;
      A[K] ^= T << J;
      A[K | J] ^= T;
    }
}

// ---- data placement ----

// The placement takes the codeword stream in 64-bit windows: MSB first (bit 63 is stream
// bit S) for the runs that go up a column, LSB first (bit 0 is stream bit S) for the runs
// that go down, so that a run's bits come out in row order with no reversal. Both read from
// buffers padded with zero bytes: Stream holds the codewords, Reversed each codeword with its
// bits in reverse order.
std::uint64_t WindowMsbFirst(const std::uint8_t* Stream, unsigned S) {
  const std::uint8_t* P = Stream + (S >> 3);
  std::uint64_t W = 0;
  for (int K = 0; K < 8; ++K)
    W = (W << 8) | P[K];
  const unsigned Shift = S & 7;
  return Shift == 0 ? W : (W << Shift) | (P[8] >> (8 - Shift));
}

std::uint64_t WindowLsbFirst(const std::uint8_t* Reversed, unsigned S) {
  const std::uint8_t* P = Reversed + (S >> 3);
  std::uint64_t W = 0;
  for (int K = 7; K >= 0; --K)
    W = (W << 8) | P[K];
  const unsigned Shift = S & 7;
  return Shift == 0 ? W : (W >> Shift) | (std::uint64_t{P[8]} << (64 - Shift));
}

// The even-numbered bits of X (0, 2, .., 62) packed into the low 32 bits.
std::uint64_t EvenBits(std::uint64_t X) {
  X &= 0x5555555555555555ull;
  X = (X | (X >> 1)) & 0x3333333333333333ull;
  X = (X | (X >> 2)) & 0x0F0F0F0F0F0F0F0Full;
  X = (X | (X >> 4)) & 0x00FF00FF00FF00FFull;
  X = (X | (X >> 8)) & 0x0000FFFF0000FFFFull;
  return (X | (X >> 16)) & 0x00000000FFFFFFFFull;
}

constexpr std::array<std::uint8_t, 256> MakeReversedBytes() {
  std::array<std::uint8_t, 256> T{};
  for (unsigned B = 0; B < 256; ++B) {
    unsigned R = 0;
    for (int K = 0; K < 8; ++K)
      R |= ((B >> K) & 1u) << (7 - K);
    T[B] = static_cast<std::uint8_t>(R);
  }
  return T;
}

constexpr std::array<std::uint8_t, 256> ReversedBytes = MakeReversedBytes();

// Ors Count (<= 32) bits of Value into column Column from row Row on.
void OrIntoLine(TBitGrid& Cols, int Column, int Row, int Count, std::uint64_t Value) {
  Value &= (std::uint64_t{1} << Count) - 1;
  TLine& Line = Cols.Lines[static_cast<std::size_t>(Column)];
  const auto Word = static_cast<std::size_t>(Row >> 6);
  const int Offset = Row & 63;
  Line[Word] |= Value << Offset;
  if (Offset + Count > 64) Line[Word + 1] |= Value >> (64 - Offset);
}

void PlaceRuns(const TVersionLayout& L, const std::uint8_t* Stream, const std::uint8_t* Reversed,
               TBitGrid& Cols) {
  for (const TPlacementRun& R : L.Runs) {
    const int N = R.Count;
    if (R.Kind & RunUpward) {
      // Row R.Row + N - 1 - K takes run bit K: window bit 63 - K.
      const std::uint64_t W = WindowMsbFirst(Stream, R.StreamBit);
      if (R.Kind & RunBothColumns) {
        OrIntoLine(Cols, R.Column, R.Row, N, (EvenBits(W >> 1)) >> (32 - N));
        OrIntoLine(Cols, R.Column - 1, R.Row, N, EvenBits(W) >> (32 - N));
      } else {
        OrIntoLine(Cols, R.Column, R.Row, N, W >> (64 - N));
      }
    } else {
      // Row R.Row + K takes run bit K: window bit K.
      const std::uint64_t W = WindowLsbFirst(Reversed, R.StreamBit);
      if (R.Kind & RunBothColumns) {
        OrIntoLine(Cols, R.Column, R.Row, N, EvenBits(W));
        OrIntoLine(Cols, R.Column - 1, R.Row, N, EvenBits(W >> 1));
      } else {
        OrIntoLine(Cols, R.Column, R.Row, N, W);
      }
    }
  }
}

// ---- the layout of a version, in the standard's order ----

// Cell (X, Y) of format bit I in the copy around the top-left finder pattern.
constexpr int FormatBitPositions[15][2] = {
    {8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
    {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8},
};

// Both cells of format bit I in a symbol of side Side.
void FormatCells(int I, int Side, int Cells[2][2]) {
  Cells[0][0] = FormatBitPositions[I][0];
  Cells[0][1] = FormatBitPositions[I][1];
  if (I <= 7) {
    Cells[1][0] = Side - 1 - I;
    Cells[1][1] = 8;
  } else {
    Cells[1][0] = 8;
    Cells[1][1] = Side - 15 + I;
  }
}

// The matrix builder's function layer: finder patterns with separators, timing and alignment
// patterns, the dark module, the format information (of mask 0, replaced per mask below) and
// the version information; every data cell still empty (-1).
TByteMatrix FunctionLayer(int Version, int Side) {
  TByteMatrix M(Side, Side);
  TFunctionLayer().BuildFunctionLayer(TErrorCorrectionLevel(TErrorCorrectionLevel::BitsL), Version,
                                      0, M);
  return M;
}

// Function patterns (clause 6.3.2 to 6.3.6) and version information (clause 7.10): their dark
// cells go to FunctionCols. The format cells stay light there; each mask has its own.
void TakeFunctionPatterns(const TByteMatrix& M, TVersionLayout& L) {
  const int N = L.Side;
  std::vector<bool> Format(static_cast<std::size_t>(N * N), false);
  for (int I = 0; I < 15; ++I) {
    int Cells[2][2];
    FormatCells(I, N, Cells);
    for (const auto& C : Cells)
      Format[static_cast<std::size_t>(C[1] * N + C[0])] = true;
  }
  for (int Y = 0; Y < N; ++Y)
    for (int X = 0; X < N; ++X)
      if (M.Get(X, Y) == 1 && !Format[static_cast<std::size_t>(Y * N + X)])
        L.FunctionCols.Set(X, Y);
}

// Format information (clause 7.9.1): the word of each level with each mask, and its dark cells
// in both copies, as rows and as columns.
void TakeFormatInformation(TVersionLayout& L) {
  const int N = L.Side;
  for (std::size_t Level = 0; Level < 4; ++Level)
    for (int Mask = 0; Mask < 8; ++Mask) {
      const auto Bits = static_cast<std::uint16_t>(TFunctionLayer::FormatWord(
          TErrorCorrectionLevel::ForOrdinal(static_cast<int>(Level)), Mask));
      const auto Ms = static_cast<std::size_t>(Mask);
      L.FormatWords[Level][Ms] = Bits;
      for (int I = 0; I < 15; ++I)
        if (((Bits >> I) & 1) != 0) {
          int Cells[2][2];
          FormatCells(I, N, Cells);
          for (const auto& C : Cells) {
            const int X = C[0], Y = C[1];
            L.FormatRows[Level][Ms][static_cast<std::size_t>(FormatSlot(Y, N))]
                        [static_cast<std::size_t>(X >> 6)] |= std::uint64_t{1} << (X & 63);
            L.FormatCols[Level][Ms][static_cast<std::size_t>(FormatSlot(X, N))]
                        [static_cast<std::size_t>(Y >> 6)] |= std::uint64_t{1} << (Y & 63);
          }
        }
    }
}

// The data region (clause 7.7.3): every cell the function layer left empty, remainder cells
// included.
void TakeDataCells(const TByteMatrix& M, TVersionLayout& L) {
  const int N = L.Side;
  for (int Y = 0; Y < N; ++Y)
    for (int X = 0; X < N; ++X)
      if (M.Get(X, Y) == -1) {
        L.Data.Set(Y, X);
        L.DataCols.Set(X, Y);
        ++L.DataCells;
      }
}

// The placement order (clause 7.7.3): the zig-zag through column pairs from the right, up and
// down in turn, the right-hand cell of a pair first, the vertical timing column skipped. Rows
// with the same data cells in the pair form one run, up to 32 rows.
void TracePlacementOrder(const TByteMatrix& M, TVersionLayout& L) {
  const int N = L.Side;
  int Direction = -1;
  int Y = N - 1;
  int StreamBit = 0;
  for (int X = N - 1; X > 0; X -= 2) {
    if (X == 6) X = 5;
    TPlacementRun Run;
    auto Close = [&] {
      if (Run.Count == 0) return;
      L.Runs.push_back(Run);
      StreamBit += Run.Count * ((Run.Kind & RunBothColumns) ? 2 : 1);
      Run.Count = 0;
    };
    for (; Y >= 0 && Y < N; Y += Direction) {
      const bool Right = M.Get(X, Y) == -1;
      const bool Left = M.Get(X - 1, Y) == -1;
      if (!Right && !Left) {
        Close();
        continue;
      }
      const int Column = Right ? X : X - 1;
      const auto Kind = static_cast<std::uint8_t>((Direction < 0 ? RunUpward : 0) |
                                                  (Right && Left ? RunBothColumns : 0));
      if (Run.Count > 0 && (Run.Kind != Kind || Run.Column != Column || Run.Count == 32)) Close();
      if (Run.Count == 0) {
        Run.StreamBit = static_cast<std::uint16_t>(StreamBit);
        Run.Column = static_cast<std::uint8_t>(Column);
        Run.Kind = Kind;
        Run.Row = static_cast<std::uint8_t>(Y);
      }
      if (Direction < 0) Run.Row = static_cast<std::uint8_t>(Y);
      ++Run.Count;
    }
    Close();
    Direction = -Direction;
    Y += Direction;
  }
}

std::unique_ptr<TVersionLayout> MakeLayout(int Version) {
  auto L = std::make_unique<TVersionLayout>();
  const int N = 17 + 4 * Version;
  L->Version = Version;
  L->Side = N;
  L->FunctionCols.Side = N;
  L->Data.Side = N;
  L->DataCols.Side = N;
  const TByteMatrix Function = FunctionLayer(Version, N);
  TakeFunctionPatterns(Function, *L);
  TakeFormatInformation(*L);
  TakeDataCells(Function, *L);
  TracePlacementOrder(Function, *L);
  return L;
}

} // namespace

// Block by 64 x 64 block. The cells beyond Side are 0 in In, so they are 0 in Out as well.
void Transpose(const TBitGrid& In, TBitGrid& Out) {
  Out.Side = In.Side;
  const int Blocks = (In.Side + 63) / 64;
  std::uint64_t A[64];
  for (int BR = 0; BR < Blocks; ++BR)
    for (int BC = 0; BC < Blocks; ++BC) {
      for (int K = 0; K < 64; ++K)
        A[K] = In.Lines[static_cast<std::size_t>(64 * BR + K)][static_cast<std::size_t>(BC)];
      Transpose64(A);
      for (int K = 0; K < 64; ++K)
        Out.Lines[static_cast<std::size_t>(64 * BC + K)][static_cast<std::size_t>(BR)] = A[K];
    }
}

int FormatSlot(int Line, int Side) {
  return Line < 9 ? Line : Line >= Side - 9 ? Line - (Side - 18) : -1;
}

void PlaceCodewords(const TVersionLayout& Layout, const std::uint8_t* Codewords, TBitGrid& Cols) {
  // The stream and its bit-reversed twin, padded with zero bytes: the remainder cells after
  // the last codeword read 0, and the 64-bit windows may reach past the end.
  const int Total = Layout.DataCells / 8;
  std::array<std::uint8_t, MaxCodewords + 16> Stream{};
  std::array<std::uint8_t, MaxCodewords + 16> Reversed{};
  for (int K = 0; K < Total; ++K) {
    Stream[static_cast<std::size_t>(K)] = Codewords[K];
    Reversed[static_cast<std::size_t>(K)] = ReversedBytes[Codewords[K]];
  }
  PlaceRuns(Layout, Stream.data(), Reversed.data(), Cols);
}

const TVersionLayout& LayoutFor(int Version) {
  static std::array<std::unique_ptr<TVersionLayout>, 40> Layouts;
  static std::array<std::once_flag, 40> Built;
  const auto I = static_cast<std::size_t>(Version - 1);
  std::call_once(Built[I], [I, Version] { Layouts[I] = MakeLayout(Version); });
  return *Layouts[I];
}

} // namespace qr
