#include "encoder/FastEncoder.h"

#include "encoder/ByteMatrix.h"
#include "encoder/Encoder.h"
#include "encoder/MaskUtil.h"
#include "encoder/MatrixUtil.h"
#include "encoder/Version.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

namespace qrfast {

namespace {

// ---- GF(256) with x^8 + x^4 + x^3 + x^2 + 1, computed at compile time ----

struct TFieldTables {
  std::array<std::uint8_t, 512> Exp{}; // alpha^i, twice over so that Log[a] + Log[b] needs no modulo
  std::array<std::uint8_t, 256> Log{};
};

constexpr TFieldTables MakeFieldTables() {
  TFieldTables T;
  int X = 1;
  for (int I = 0; I < 255; ++I) {
    T.Exp[static_cast<std::size_t>(I)] = static_cast<std::uint8_t>(X);
    T.Log[static_cast<std::size_t>(X)] = static_cast<std::uint8_t>(I);
    X <<= 1;
    if (X >= 256) X ^= 0x11D;
  }
  for (int I = 255; I < 512; ++I) T.Exp[static_cast<std::size_t>(I)] = T.Exp[static_cast<std::size_t>(I - 255)];
  return T;
}

constexpr TFieldTables Field = MakeFieldTables();

constexpr std::uint8_t Mul(std::uint8_t A, std::uint8_t B) {
  return A == 0 || B == 0 ? 0 : Field.Exp[static_cast<std::size_t>(Field.Log[A] + Field.Log[B])];
}

constexpr int MaxECPerBlock = 30;

// Generator polynomials of degree 0..30: the product of (x + alpha^i), i < degree, highest
// power first (ISO/IEC 18004 Annex A).
using TGenerators = std::array<std::array<std::uint8_t, MaxECPerBlock + 1>, MaxECPerBlock + 1>;

constexpr TGenerators MakeGenerators() {
  TGenerators G{};
  G[0][0] = 1;
  for (int D = 1; D <= MaxECPerBlock; ++D) {
    const std::uint8_t Root = Field.Exp[static_cast<std::size_t>(D - 1)];
    const auto& Prev = G[static_cast<std::size_t>(D - 1)];
    auto& Next = G[static_cast<std::size_t>(D)];
    Next[0] = 1;
    for (int K = 1; K <= D; ++K)
      Next[static_cast<std::size_t>(K)] = static_cast<std::uint8_t>(
          (K < D ? Prev[static_cast<std::size_t>(K)] : 0) ^ Mul(Prev[static_cast<std::size_t>(K - 1)], Root));
  }
  return G;
}

constexpr TGenerators Generators = MakeGenerators();

// For one generator degree D: row F holds F times the generator's coefficients 1..D, byte K of
// the row (K < D) at bits 8 (K mod 8) of word K / 8. One shift-register step is then a shift
// of the 32-byte register by one byte and an exclusive or with one row.
struct TProductTable {
  std::array<std::array<std::uint64_t, 4>, 256> Rows;
};

const TProductTable& ProductTable(int Degree) {
  static std::array<TProductTable, MaxECPerBlock + 1> Tables{};
  static std::array<std::once_flag, MaxECPerBlock + 1> Built;
  const auto D = static_cast<std::size_t>(Degree);
  std::call_once(Built[D], [D] {
    for (std::size_t F = 0; F < 256; ++F)
      for (std::size_t K = 0; K < D; ++K)
        Tables[D].Rows[F][K / 8] |= std::uint64_t{Mul(static_cast<std::uint8_t>(F), Generators[D][K + 1])}
                                    << (8 * (K % 8));
  });
  return Tables[D];
}

// ---- masks and format information ----

// The data masks repeat every 12 rows and every 12 columns. Row pattern [M][Y mod 12] has bit X
// set when mask M inverts cell (X, Y); column pattern [M][X mod 12] has bit Y set.
struct TMaskPatterns {
  std::array<std::array<TLine, 12>, 8> Rows{};
  std::array<std::array<TLine, 12>, 8> Cols{};
};

const TMaskPatterns& MaskPatterns() {
  static const TMaskPatterns Patterns = [] {
    TMaskPatterns P;
    for (int M = 0; M < 8; ++M)
      for (int I = 0; I < 12; ++I)
        for (int J = 0; J < 64 * LineWords; ++J) {
          const auto Bit = std::uint64_t{1} << (J & 63);
          const auto W = static_cast<std::size_t>(J >> 6);
          if (TMaskUtil::GetDataMaskBit(M, J, I)) P.Rows[static_cast<std::size_t>(M)][static_cast<std::size_t>(I)][W] |= Bit;
          if (TMaskUtil::GetDataMaskBit(M, I, J)) P.Cols[static_cast<std::size_t>(M)][static_cast<std::size_t>(I)][W] |= Bit;
        }
    return P;
  }();
  return Patterns;
}

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

void SetCell(TBitGrid& Grid, int Line, int Pos) {
  Grid.Lines[static_cast<std::size_t>(Line)][static_cast<std::size_t>(Pos) >> 6] |= std::uint64_t{1} << (Pos & 63);
}

// ---- bit-matrix transposition ----

// Transposes an 8 x 8 bit block held as 8 bytes, byte R bit C being row R, column C.
std::uint64_t Transpose8(std::uint64_t X) {
  std::uint64_t T = (X ^ (X >> 7)) & 0x00AA00AA00AA00AAull;
  X ^= T ^ (T << 7);
  T = (X ^ (X >> 14)) & 0x0000CCCC0000CCCCull;
  X ^= T ^ (T << 14);
  T = (X ^ (X >> 28)) & 0x00000000F0F0F0F0ull;
  X ^= T ^ (T << 28);
  return X;
}

// Out's lines are In's columns. Side is rounded up to whole 8 x 8 blocks; the cells beyond
// Side are 0 in In, so they are 0 in Out as well.
void Transpose(const TBitGrid& In, TBitGrid& Out) {
  Out.Side = In.Side;
  const int Blocks = (In.Side + 7) / 8;
  for (int BR = 0; BR < Blocks; ++BR)
    for (int BC = 0; BC < Blocks; ++BC) {
      const auto Word = static_cast<std::size_t>(BC >> 3);
      const int Shift = 8 * (BC & 7);
      std::uint64_t X = 0;
      for (int K = 0; K < 8; ++K)
        X |= ((In.Lines[static_cast<std::size_t>(8 * BR + K)][Word] >> Shift) & 0xFF) << (8 * K);
      X = Transpose8(X);
      const auto OutWord = static_cast<std::size_t>(BR >> 3);
      const int OutShift = 8 * (BR & 7);
      for (int K = 0; K < 8; ++K) {
        auto& W = Out.Lines[static_cast<std::size_t>(8 * BC + K)][OutWord];
        W = (W & ~(std::uint64_t{0xFF} << OutShift)) | (((X >> (8 * K)) & 0xFF) << OutShift);
      }
    }
}

// ---- the penalty rules on bit-packed lines ----

// NW words of one line. Down(K): bit X takes bit X + K; Up(K): bit X takes bit X - K (zeros
// come in at the ends).
template <int NW>
struct TBits {
  std::uint64_t W[NW];

  static TBits Load(const TLine& L) {
    TBits B;
    for (int I = 0; I < NW; ++I) B.W[I] = L[static_cast<std::size_t>(I)];
    return B;
  }
  TBits Down(int K) const {
    TBits B;
    for (int I = 0; I + 1 < NW; ++I) B.W[I] = (W[I] >> K) | (W[I + 1] << (64 - K));
    B.W[NW - 1] = W[NW - 1] >> K;
    return B;
  }
  TBits Up(int K) const {
    TBits B;
    B.W[0] = W[0] << K;
    for (int I = 1; I < NW; ++I) B.W[I] = (W[I] << K) | (W[I - 1] >> (64 - K));
    return B;
  }
  friend TBits operator&(TBits A, const TBits& B) {
    for (int I = 0; I < NW; ++I) A.W[I] &= B.W[I];
    return A;
  }
  friend TBits operator|(TBits A, const TBits& B) {
    for (int I = 0; I < NW; ++I) A.W[I] |= B.W[I];
    return A;
  }
  friend TBits operator^(TBits A, const TBits& B) {
    for (int I = 0; I < NW; ++I) A.W[I] ^= B.W[I];
    return A;
  }
  TBits operator~() const {
    TBits B;
    for (int I = 0; I < NW; ++I) B.W[I] = ~W[I];
    return B;
  }
  bool Any() const {
    std::uint64_t A = 0;
    for (int I = 0; I < NW; ++I) A |= W[I];
    return A != 0;
  }
};

// Bit counts per byte (each at most 8) of a word; adding such vectors and summing the bytes
// once counts several words with one multiplication.
constexpr std::uint64_t ByteCounts(std::uint64_t X) {
  X = X - ((X >> 1) & 0x5555555555555555ull);
  X = (X & 0x3333333333333333ull) + ((X >> 2) & 0x3333333333333333ull);
  return (X + (X >> 4)) & 0x0F0F0F0F0F0F0F0Full;
}

constexpr int SumBytes(std::uint64_t X) { return static_cast<int>((X * 0x0101010101010101ull) >> 56); }

template <int NW>
std::uint64_t ByteCounts(const TBits<NW>& B) {
  std::uint64_t S = 0;
  for (int I = 0; I < NW; ++I) S += ByteCounts(B.W[I]);
  return S;
}

template <int NW>
TBits<NW> LowBits(int N) {
  TBits<NW> B;
  for (int I = 0; I < NW; ++I) {
    const int Bits = N - 64 * I;
    B.W[I] = Bits >= 64 ? ~std::uint64_t{0} : Bits <= 0 ? 0 : (std::uint64_t{1} << Bits) - 1;
  }
  return B;
}

// Rule 1 on one line: each run of L >= 5 equal cells scores L - 2, that is one point for each
// of its L - 4 windows of five equal cells plus two for the window that starts the run.
// Same holds bit X when cells X and X + 1 are equal (X < Side - 1).
template <int NW>
int RunsInLine(const TBits<NW>& D, const TBits<NW>& PairMask) {
  const TBits<NW> Same = ~(D ^ D.Down(1)) & PairMask;
  const TBits<NW> Same2 = Same & Same.Down(1);
  const TBits<NW> Five = Same2 & Same2.Down(2); // cells X .. X + 4 equal
  const TBits<NW> Starts = Five & ~Same.Up(1);  // ... and cell X - 1 differs, or X = 0
  return SumBytes(ByteCounts(Five) + 2 * ByteCounts(Starts));
}

// Rule 3 on one line: 40 for each 1 0 1 1 1 0 1 with four light cells inside the line after
// it or before it.
template <int NW>
int FinderLikeInLine(const TBits<NW>& D, const TBits<NW>& CellMask) {
  const TBits<NW> L = ~D & CellMask;
  const TBits<NW> Dark3 = D & D.Down(1) & D.Down(2);
  const TBits<NW> Pattern = D & L.Down(1) & Dark3.Down(2) & L.Down(5) & D.Down(6);
  if (!Pattern.Any()) return 0;
  const TBits<NW> Light2 = L & L.Down(1);
  const TBits<NW> Light4 = Light2 & Light2.Down(2); // cells X .. X + 3 light
  const TBits<NW> Hits = Pattern & (Light4.Down(7) | Light4.Up(4));
  return 40 * SumBytes(ByteCounts(Hits));
}

template <int NW>
int RunsT(const TBitGrid& Rows, const TBitGrid& Cols) {
  const int N = Rows.Side;
  const TBits<NW> PairMask = LowBits<NW>(N - 1);
  int Penalty = 0;
  for (int I = 0; I < N; ++I) {
    Penalty += RunsInLine(TBits<NW>::Load(Rows.Lines[static_cast<std::size_t>(I)]), PairMask);
    Penalty += RunsInLine(TBits<NW>::Load(Cols.Lines[static_cast<std::size_t>(I)]), PairMask);
  }
  return Penalty;
}

template <int NW>
int BlocksT(const TBitGrid& Rows) {
  const int N = Rows.Side;
  const TBits<NW> PairMask = LowBits<NW>(N - 1);
  int Count = 0;
  TBits<NW> Above = TBits<NW>::Load(Rows.Lines[0]);
  TBits<NW> SameAbove = ~(Above ^ Above.Down(1)) & PairMask;
  for (int Y = 1; Y < N; ++Y) {
    const TBits<NW> Row = TBits<NW>::Load(Rows.Lines[static_cast<std::size_t>(Y)]);
    const TBits<NW> Same = ~(Row ^ Row.Down(1)) & PairMask;
    Count += SumBytes(ByteCounts(Same & SameAbove & ~(Row ^ Above)));
    Above = Row;
    SameAbove = Same;
  }
  return 3 * Count;
}

template <int NW>
int FinderLikeT(const TBitGrid& Rows, const TBitGrid& Cols) {
  const int N = Rows.Side;
  const TBits<NW> CellMask = LowBits<NW>(N);
  int Penalty = 0;
  for (int I = 0; I < N; ++I) {
    Penalty += FinderLikeInLine(TBits<NW>::Load(Rows.Lines[static_cast<std::size_t>(I)]), CellMask);
    Penalty += FinderLikeInLine(TBits<NW>::Load(Cols.Lines[static_cast<std::size_t>(I)]), CellMask);
  }
  return Penalty;
}

template <int NW>
int PenaltyT(const TBitGrid& Rows, const TBitGrid& Cols) {
  return RunsT<NW>(Rows, Cols) + BlocksT<NW>(Rows) + FinderLikeT<NW>(Rows, Cols) + ScoreDarkBalance(Rows);
}

template <class TCall>
int ByWords(int Side, TCall&& Call) {
  if (Side <= 64) return Call(std::integral_constant<int, 1>{});
  if (Side <= 128) return Call(std::integral_constant<int, 2>{});
  return Call(std::integral_constant<int, 3>{});
}

std::unique_ptr<TVersionLayout> MakeLayout(int Version) {
  auto L = std::make_unique<TVersionLayout>();
  const int N = 17 + 4 * Version;
  L->Version = Version;
  L->Side = N;
  L->Function.Side = N;
  L->Data.Side = N;
  L->DataCols.Side = N;

  const TErrorCorrectionLevel Level(TErrorCorrectionLevel::BitsL);
  TByteMatrix M(N, N);
  TMatrixUtil Util;
  Util.BuildFunctionLayer(Level, Version, 0, M);
  std::vector<bool> Format(static_cast<std::size_t>(N * N), false);
  for (int I = 0; I < 15; ++I) {
    int Cells[2][2];
    FormatCells(I, N, Cells);
    for (const auto& C : Cells) Format[static_cast<std::size_t>(C[1] * N + C[0])] = true;
  }
  for (int Y = 0; Y < N; ++Y)
    for (int X = 0; X < N; ++X) {
      const int V = M.Get(X, Y);
      if (V == -1) {
        SetCell(L->Data, Y, X);
        SetCell(L->DataCols, X, Y);
      } else if (V == 1 && !Format[static_cast<std::size_t>(Y * N + X)]) {
        SetCell(L->Function, Y, X);
      }
    }

  // The zig-zag of the data placement: column pairs from the right, up and down in turn,
  // the right-hand cell of a pair first, the vertical timing column skipped.
  L->Order.reserve(static_cast<std::size_t>(N * N));
  int Direction = -1;
  int Y = N - 1;
  for (int X = N - 1; X > 0; X -= 2) {
    if (X == 6) X = 5;
    for (; Y >= 0 && Y < N; Y += Direction)
      for (int Column = X; Column >= X - 1; --Column)
        if (M.Get(Column, Y) == -1) L->Order.push_back(static_cast<std::uint16_t>((Y << 8) | Column));
    Direction = -Direction;
    Y += Direction;
  }

  for (int Mask = 0; Mask < 8; ++Mask) {
    const TBitArray Word = Util.BuildFormatBits(Level, Mask);
    std::uint16_t Bits = 0;
    for (int I = 0; I < 15; ++I)
      if (Word.Get(14 - I)) Bits = static_cast<std::uint16_t>(Bits | (1u << I));
    L->FormatWords[static_cast<std::size_t>(Mask)] = Bits;
  }
  return L;
}

// Accumulates bits most significant first into bytes.
class TBitWriter {
public:
  explicit TBitWriter(std::uint8_t* Out) : FOut(Out) {}

  void Put(std::uint32_t Value, int NumBits) {
    FAcc = (FAcc << NumBits) | (Value & ((std::uint64_t{1} << NumBits) - 1));
    FPending += NumBits;
    FSize += NumBits;
    while (FPending >= 8) {
      FPending -= 8;
      FOut[FBytes++] = static_cast<std::uint8_t>(FAcc >> FPending);
    }
  }
  // Writes out a partial last byte, padded with 0 bits.
  void Flush() {
    if (FPending > 0) FOut[FBytes++] = static_cast<std::uint8_t>(FAcc << (8 - FPending));
    FPending = 0;
  }
  int Size() const { return FSize; }

private:
  std::uint8_t* FOut;
  std::uint64_t FAcc = 0;
  int FPending = 0;
  int FSize = 0;
  int FBytes = 0;
};

}  // namespace

// ---- Reed-Solomon ----

void ComputeBlockEC(const std::uint8_t* Data, int NumData, int NumEC, std::uint8_t* EC) {
  const TProductTable& T = ProductTable(NumEC);
  std::uint64_t R0 = 0, R1 = 0, R2 = 0, R3 = 0; // register byte K = coefficient of x^(NumEC-1-K)
  for (int I = 0; I < NumData; ++I) {
    const auto& Row = T.Rows[static_cast<std::size_t>(Data[I] ^ (R0 & 0xFF))];
    R0 = ((R0 >> 8) | (R1 << 56)) ^ Row[0];
    R1 = ((R1 >> 8) | (R2 << 56)) ^ Row[1];
    R2 = ((R2 >> 8) | (R3 << 56)) ^ Row[2];
    R3 = (R3 >> 8) ^ Row[3];
  }
  const std::uint64_t R[4] = {R0, R1, R2, R3};
  for (int K = 0; K < NumEC; ++K) EC[K] = static_cast<std::uint8_t>(R[K / 8] >> (8 * (K % 8)));
}

bool InterleaveWithEC(const std::uint8_t* Data, int NumTotalBytes, int NumDataBytes, int NumRSBlocks,
                      std::uint8_t* Out) {
  if (NumRSBlocks <= 0) return false;
  const int LongBlocks = NumTotalBytes % NumRSBlocks;
  const int ShortBlocks = NumRSBlocks - LongBlocks;
  const int ShortData = NumDataBytes / NumRSBlocks;
  const int ECBytes = NumTotalBytes / NumRSBlocks - ShortData;
  if (ShortData * ShortBlocks + (ShortData + 1) * LongBlocks != NumDataBytes || ECBytes < 1 ||
      ECBytes > MaxECPerBlock)
    return false;

  std::array<std::uint8_t, MaxCodewords> EC;
  for (int B = 0, Offset = 0; B < NumRSBlocks; ++B) {
    const int Size = ShortData + (B < ShortBlocks ? 0 : 1);
    ComputeBlockEC(Data + Offset, Size, ECBytes, EC.data() + B * ECBytes);
    Offset += Size;
  }
  int N = 0;
  for (int J = 0; J < ShortData; ++J)
    for (int B = 0; B < NumRSBlocks; ++B) Out[N++] = Data[B * ShortData + (B > ShortBlocks ? B - ShortBlocks : 0) + J];
  for (int B = ShortBlocks; B < NumRSBlocks; ++B) Out[N++] = Data[B * ShortData + (B - ShortBlocks) + ShortData];
  for (int J = 0; J < ECBytes; ++J)
    for (int B = 0; B < NumRSBlocks; ++B) Out[N++] = EC[static_cast<std::size_t>(B * ECBytes + J)];
  return true;
}

// ---- layouts ----

const TVersionLayout& LayoutFor(int Version) {
  static std::array<std::unique_ptr<TVersionLayout>, 40> Layouts;
  static std::array<std::once_flag, 40> Built;
  const auto I = static_cast<std::size_t>(Version - 1);
  std::call_once(Built[I], [I, Version] { Layouts[I] = MakeLayout(Version); });
  return *Layouts[I];
}

// ---- penalty rules ----

int ScoreRuns(const TBitGrid& Rows, const TBitGrid& Cols) {
  return ByWords(Rows.Side, [&](auto NW) { return RunsT<decltype(NW)::value>(Rows, Cols); });
}

int ScoreBlocks(const TBitGrid& Rows) {
  return ByWords(Rows.Side, [&](auto NW) { return BlocksT<decltype(NW)::value>(Rows); });
}

int ScoreFinderLikePatterns(const TBitGrid& Rows, const TBitGrid& Cols) {
  return ByWords(Rows.Side, [&](auto NW) { return FinderLikeT<decltype(NW)::value>(Rows, Cols); });
}

int ScoreDarkBalance(const TBitGrid& Rows) {
  long Dark = 0;
  for (int Y = 0; Y < Rows.Side; ++Y) {
    std::uint64_t Counts = 0;
    for (const std::uint64_t W : Rows.Lines[static_cast<std::size_t>(Y)]) Counts += ByteCounts(W);
    Dark += SumBytes(Counts);
  }
  // The same arithmetic as TEncoder::ScoreDarkBalance, so that both round alike.
  const double Total = static_cast<double>(Rows.Side) * Rows.Side;
  const double Ratio = static_cast<double>(Dark) / Total;
  return static_cast<int>(std::nearbyint(std::fabs(Ratio * 100.0 - 50.0) / 50.0));
}

int MaskPenalty(const TBitGrid& Rows, const TBitGrid& Cols) {
  return ByWords(Rows.Side, [&](auto NW) { return PenaltyT<decltype(NW)::value>(Rows, Cols); });
}

// ---- mask trials ----

TMaskTrials::TMaskTrials(int Version, const std::uint8_t* Codewords) : FLayout(LayoutFor(Version)) {
  FRows = FLayout.Function;
  const std::uint16_t* Order = FLayout.Order.data();
  const std::size_t NumCodewords = FLayout.Order.size() / 8; // the remainder cells stay light
  for (std::size_t K = 0; K < NumCodewords; ++K) {
    const unsigned Byte = Codewords[K];
    for (int J = 0; J < 8; ++J) {
      const unsigned Cell = Order[8 * K + static_cast<std::size_t>(J)];
      FRows.Lines[Cell >> 8][(Cell & 0xFF) >> 6] |= std::uint64_t{(Byte >> (7 - J)) & 1u} << (Cell & 63);
    }
  }
  Transpose(FRows, FCols);
}

void TMaskTrials::Build(int Mask, TBitGrid& Rows, TBitGrid& Cols) const {
  const int N = FLayout.Side;
  const auto& Patterns = MaskPatterns();
  const auto& RowPatterns = Patterns.Rows[static_cast<std::size_t>(Mask)];
  const auto& ColPatterns = Patterns.Cols[static_cast<std::size_t>(Mask)];
  Rows.Side = N;
  Cols.Side = N;
  for (std::size_t I = 0; I < static_cast<std::size_t>(N); ++I) {
    const TLine& RowMask = RowPatterns[I % 12];
    const TLine& ColMask = ColPatterns[I % 12];
    for (std::size_t W = 0; W < LineWords; ++W) {
      Rows.Lines[I][W] = FRows.Lines[I][W] ^ (RowMask[W] & FLayout.Data.Lines[I][W]);
      Cols.Lines[I][W] = FCols.Lines[I][W] ^ (ColMask[W] & FLayout.DataCols.Lines[I][W]);
    }
  }
  const unsigned Word = FLayout.FormatWords[static_cast<std::size_t>(Mask)];
  for (int I = 0; I < 15; ++I)
    if ((Word >> I) & 1u) {
      int Cells[2][2];
      FormatCells(I, N, Cells);
      for (const auto& C : Cells) {
        SetCell(Rows, C[1], C[0]);
        SetCell(Cols, C[0], C[1]);
      }
    }
}

int TMaskTrials::ChooseMask(int* Penalties) const {
  TBitGrid Rows;
  TBitGrid Cols;
  int Best = -1;
  int MinPenalty = 0;
  for (int Mask = 0; Mask < 8; ++Mask) {
    Build(Mask, Rows, Cols);
    const int Penalty = MaskPenalty(Rows, Cols);
    if (Penalties) Penalties[Mask] = Penalty;
    if (Best < 0 || Penalty < MinPenalty) {
      MinPenalty = Penalty;
      Best = Mask;
    }
  }
  return Best;
}

// ---- the whole route ----

TSegment MakeSegment(const std::u16string& Text, int EncodingOrdinal) {
  TEncoder Encoder;
  int Options = EncodingOrdinal;
  TSegment S;
  S.Mode = Encoder.SelectMode(Text, Options);
  const std::u16string Filtered = Encoder.StripUnencodable(Text, S.Mode, Options);
  if (S.Mode == qmByte) {
    S.Bits = TEncoder::ByteSegmentBytes(Filtered, Options);
    S.NumLetters = static_cast<int>(S.Bits.size());
    S.NumBits = 8 * S.NumLetters;
    return S;
  }
  S.NumLetters = static_cast<int>(Filtered.size());
  S.Bits.resize(Filtered.size() + 1);
  TBitWriter W(S.Bits.data());
  const std::size_t N = Filtered.size();
  if (S.Mode == qmNumeric) {
    // Groups of three digits in 10 bits, a final pair in 7, a final digit in 4.
    for (std::size_t I = 0; I < N;) {
      const std::uint32_t D1 = Filtered[I] - 48u;
      if (I + 2 < N) {
        W.Put(D1 * 100 + (Filtered[I + 1] - 48u) * 10 + (Filtered[I + 2] - 48u), 10);
        I += 3;
      } else if (I + 1 < N) {
        W.Put(D1 * 10 + (Filtered[I + 1] - 48u), 7);
        I += 2;
      } else {
        W.Put(D1, 4);
        I += 1;
      }
    }
  } else if (S.Mode == qmAlphanumeric) {
    // Pairs in 11 bits, a final character in 6.
    for (std::size_t I = 0; I < N;) {
      const int A = TEncoder::AlphanumericValue(Filtered[I]);
      if (A < 0) break;
      if (I + 1 < N) {
        const int B = TEncoder::AlphanumericValue(Filtered[I + 1]);
        if (B < 0) break;
        W.Put(static_cast<std::uint32_t>(A * 45 + B), 11);
        I += 2;
      } else {
        W.Put(static_cast<std::uint32_t>(A), 6);
        I += 1;
      }
    }
  }
  W.Flush();
  S.NumBits = W.Size();
  S.Bits.resize(static_cast<std::size_t>((S.NumBits + 7) / 8));
  return S;
}

void BuildSymbol(const TSegment& Segment, TSymbol& Out) {
  const TErrorCorrectionLevel Level(TErrorCorrectionLevel::BitsL);
  Out = TSymbol{};
  Out.NeededUnits = Segment.NumLetters;
  Out.Units = Segment.Mode == qmNumeric ? cuDigits : Segment.Mode == qmAlphanumeric ? cuCharacters : cuBytes;
  Out.MaxUnits = TEncoder::MaxUnitsFor(Segment.Mode, TVersion::MaxVersion, Level);

  // The version in two passes, as the driver chooses it: first with the narrowest count
  // field, then with the field of that first choice.
  constexpr int HeaderBits = 4;
  std::unique_ptr<TVersion> Version;
  if (const auto V = TVersion::ChooseVersion(TEncoder::CharCountWidth(Segment.Mode, 1) + HeaderBits + Segment.NumBits,
                                             Level))
    Version = TVersion::ChooseVersion(TEncoder::CharCountWidth(Segment.Mode, *V) + HeaderBits + Segment.NumBits, Level);
  if (!Version) {
    Out.DataTooLong = true;
    return;
  }
  const int VersionNum = Version->GetVersionNumber();
  const int NumTotalBytes = Version->GetTotalCodewords();
  const TECBlocks& Blocks = Version->GetECBlocksForLevel(Level);
  const int NumDataBytes = NumTotalBytes - Blocks.GetTotalECCodewords();

  // Mode indicator, character count, data, terminator, byte alignment and pad codewords.
  std::array<std::uint8_t, MaxCodewords> Data{};
  std::array<std::uint8_t, MaxCodewords> Codewords{};
  const int Capacity = 8 * NumDataBytes;
  TBitWriter W(Data.data());
  W.Put(static_cast<std::uint32_t>(TEncoder::ModeIndicatorBits(Segment.Mode)), HeaderBits);
  const int Width = TEncoder::CharCountWidth(Segment.Mode, VersionNum);
  if (Segment.NumLetters <= (1 << Width) - 1) W.Put(static_cast<std::uint32_t>(Segment.NumLetters), Width);
  const int FullBytes = Segment.NumBits / 8;
  for (int I = 0; I < FullBytes; ++I) W.Put(Segment.Bits[static_cast<std::size_t>(I)], 8);
  if (const int Rest = Segment.NumBits % 8; Rest > 0)
    W.Put(static_cast<std::uint32_t>(Segment.Bits[static_cast<std::size_t>(FullBytes)] >> (8 - Rest)), Rest);
  bool Complete = W.Size() <= Capacity;
  if (Complete) {
    W.Put(0, std::min(4, Capacity - W.Size()));
    if (W.Size() % 8 != 0) W.Put(0, 8 - W.Size() % 8);
    for (int I = W.Size() / 8, Pad = 0; I < NumDataBytes; ++I, ++Pad)
      Data[static_cast<std::size_t>(I)] = (Pad & 1) == 0 ? 0xEC : 0x11;
    Complete = InterleaveWithEC(Data.data(), NumTotalBytes, NumDataBytes, Blocks.GetNumBlocks(), Codewords.data());
  }
  if (!Complete) Codewords.fill(0); // as the driver: no codewords, every data cell shows its mask

  const TMaskTrials Trials(VersionNum, Codewords.data());
  const int Mask = Trials.ChooseMask();
  TBitGrid Rows;
  TBitGrid Cols;
  Trials.Build(Mask, Rows, Cols);

  const int N = Rows.Side;
  Out.Version = VersionNum;
  Out.MaskPattern = Mask;
  Out.Side = N;
  Out.Cells.resize(static_cast<std::size_t>(N * N));
  std::uint8_t* Cell = Out.Cells.data();
  for (int Y = 0; Y < N; ++Y) {
    const TLine& Line = Rows.Lines[static_cast<std::size_t>(Y)];
    for (int X = 0; X < N; ++X) *Cell++ = static_cast<std::uint8_t>((Line[static_cast<std::size_t>(X >> 6)] >> (X & 63)) & 1u);
  }
}

}  // namespace qrfast
