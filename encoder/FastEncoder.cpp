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
  std::array<std::uint8_t, 512>
      Exp{}; // alpha^i, twice over so that Log[a] + Log[b] needs no modulo
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
  for (int I = 255; I < 512; ++I)
    T.Exp[static_cast<std::size_t>(I)] = T.Exp[static_cast<std::size_t>(I - 255)];
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
      Next[static_cast<std::size_t>(K)] =
          static_cast<std::uint8_t>((K < D ? Prev[static_cast<std::size_t>(K)] : 0) ^
                                    Mul(Prev[static_cast<std::size_t>(K - 1)], Root));
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
        Tables[D].Rows[F][K / 8] |=
            std::uint64_t{Mul(static_cast<std::uint8_t>(F), Generators[D][K + 1])} << (8 * (K % 8));
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
          if (TMaskUtil::GetDataMaskBit(M, J, I))
            P.Rows[static_cast<std::size_t>(M)][static_cast<std::size_t>(I)][W] |= Bit;
          if (TMaskUtil::GetDataMaskBit(M, I, J))
            P.Cols[static_cast<std::size_t>(M)][static_cast<std::size_t>(I)][W] |= Bit;
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
  Grid.Lines[static_cast<std::size_t>(Line)][static_cast<std::size_t>(Pos) >> 6] |= std::uint64_t{1}
                                                                                    << (Pos & 63);
}

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

// Out's lines are In's columns, block by 64 x 64 block. The cells beyond Side are 0 in In,
// so they are 0 in Out as well.
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

// ---- the penalty rules on bit-packed lines ----

// Compilers may only use the processor's population count instruction where it is known to
// exist; the mask scoring is therefore compiled twice on x86, once for processors with it,
// and the right one is chosen at run time.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define MARBECK_POPCNT_DISPATCH 1
#define MARBECK_INLINE [[gnu::always_inline]] inline
#else
#define MARBECK_POPCNT_DISPATCH 0
#define MARBECK_INLINE inline
#endif

// NW words of one line. Down(K): bit X takes bit X + K; Up(K): bit X takes bit X - K (zeros
// come in at the ends).
template <int NW> struct TBits {
  std::uint64_t W[NW];

  MARBECK_INLINE static TBits Load(const TLine& L) {
    TBits B;
    for (int I = 0; I < NW; ++I)
      B.W[I] = L[static_cast<std::size_t>(I)];
    return B;
  }
  MARBECK_INLINE TBits Down(int K) const {
    TBits B;
    for (int I = 0; I + 1 < NW; ++I)
      B.W[I] = (W[I] >> K) | (W[I + 1] << (64 - K));
    B.W[NW - 1] = W[NW - 1] >> K;
    return B;
  }
  MARBECK_INLINE TBits Up(int K) const {
    TBits B;
    B.W[0] = W[0] << K;
    for (int I = 1; I < NW; ++I)
      B.W[I] = (W[I] << K) | (W[I - 1] >> (64 - K));
    return B;
  }
  MARBECK_INLINE friend TBits operator&(TBits A, const TBits& B) {
    for (int I = 0; I < NW; ++I)
      A.W[I] &= B.W[I];
    return A;
  }
  MARBECK_INLINE friend TBits operator|(TBits A, const TBits& B) {
    for (int I = 0; I < NW; ++I)
      A.W[I] |= B.W[I];
    return A;
  }
  MARBECK_INLINE friend TBits operator^(TBits A, const TBits& B) {
    for (int I = 0; I < NW; ++I)
      A.W[I] ^= B.W[I];
    return A;
  }
  MARBECK_INLINE TBits operator~() const {
    TBits B;
    for (int I = 0; I < NW; ++I)
      B.W[I] = ~W[I];
    return B;
  }
  MARBECK_INLINE bool Any() const {
    std::uint64_t A = 0;
    for (int I = 0; I < NW; ++I)
      A |= W[I];
    return A != 0;
  }
};

template <int NW> TBits<NW> LowBits(int N) {
  TBits<NW> B;
  for (int I = 0; I < NW; ++I) {
    const int Bits = N - 64 * I;
    B.W[I] = Bits >= 64 ? ~std::uint64_t{0} : Bits <= 0 ? 0 : (std::uint64_t{1} << Bits) - 1;
  }
  return B;
}

// Number of 1 bits: the instruction when HwPop, else bit counts per byte summed by one
// multiplication.
template <bool HwPop, int NW> MARBECK_INLINE int PopCount(const TBits<NW>& B) {
#if MARBECK_POPCNT_DISPATCH
  if constexpr (HwPop) {
    int N = 0;
    for (int I = 0; I < NW; ++I)
      N += __builtin_popcountll(B.W[I]);
    return N;
  }
#endif
  std::uint64_t Counts = 0; // at most 8 x NW per byte
  for (int I = 0; I < NW; ++I) {
    std::uint64_t X = B.W[I];
    X = X - ((X >> 1) & 0x5555555555555555ull);
    X = (X & 0x3333333333333333ull) + ((X >> 2) & 0x3333333333333333ull);
    Counts += (X + (X >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  }
  return static_cast<int>((Counts * 0x0101010101010101ull) >> 56);
}

// Rule 1 on one line from Same, whose bit X tells that cells X and X + 1 are equal (X below
// Side - 1): each run of L >= 5 equal cells scores L - 2, that is one point for each of its
// L - 4 windows of five equal cells plus two for the window that starts the run.
template <bool HwPop, int NW> MARBECK_INLINE int RunsFromSame(const TBits<NW>& Same) {
  const TBits<NW> Same2 = Same & Same.Down(1);
  const TBits<NW> Five = Same2 & Same2.Down(2); // cells X .. X + 4 equal
  const TBits<NW> Starts = Five & ~Same.Up(1);  // ... and cell X - 1 differs, or X = 0
  return PopCount<HwPop>(Five) + 2 * PopCount<HwPop>(Starts);
}

// Rule 3 on one line D (D1 = D.Down(1)): 40 for each 1 0 1 1 1 0 1 with four light cells
// inside the line after it or before it. Cells beyond the line read as 0; a pattern needs
// its last cell dark, so it never reaches past the line, but its four light cells must lie
// inside the line: CellMask holds the line's cells.
template <bool HwPop, int NW>
MARBECK_INLINE int FinderLikeInLine(const TBits<NW>& D, const TBits<NW>& D1,
                                    const TBits<NW>& CellMask) {
  const TBits<NW> Dark3 = D & D1 & D.Down(2);
  const TBits<NW> Pattern = D & ~D1 & Dark3.Down(2) & ~D.Down(5) & D.Down(6);
  if (!Pattern.Any()) return 0;
  const TBits<NW> L = ~D & CellMask;
  const TBits<NW> Light2 = L & L.Down(1);
  const TBits<NW> Light4 = Light2 & Light2.Down(2); // cells X .. X + 3 light
  return 40 * PopCount<HwPop>(Pattern & (Light4.Down(7) | Light4.Up(4)));
}

template <class TCall> int ByWords(int Side, TCall&& Call) {
  if (Side <= 64) return Call(std::integral_constant<int, 1>{});
  if (Side <= 128) return Call(std::integral_constant<int, 2>{});
  return Call(std::integral_constant<int, 3>{});
}

// Rule 4 from the number of dark cells, with the same arithmetic as
// TEncoder::ScoreDarkBalance so that both round alike.
int DarkBalance(long Dark, int Side) {
  const double Total = static_cast<double>(Side) * Side;
  const double Ratio = static_cast<double>(Dark) / Total;
  return static_cast<int>(std::nearbyint(std::fabs(Ratio * 100.0 - 50.0) / 50.0));
}

// Where a line's format cells are kept in TVersionLayout::FormatRows/FormatCols: lines 0..8
// and Side - 9 .. Side - 1; -1 for the lines between, which hold none.
int FormatSlot(int Line, int Side) {
  return Line < 9 ? Line : Line >= Side - 9 ? Line - (Side - 18) : -1;
}

// The total penalty of one mask, each row and column made and scored on the fly.
template <bool HwPop, int NW>
MARBECK_INLINE int ScoreMask(const TVersionLayout& L, const TBitGrid& Rows, const TBitGrid& Cols,
                             int Mask) {
  const int N = L.Side;
  const auto M = static_cast<std::size_t>(Mask);
  const auto& Patterns = MaskPatterns();
  const TBits<NW> PairMask = LowBits<NW>(N - 1);
  const TBits<NW> CellMask = LowBits<NW>(N);
  int Runs = 0, Blocks = 0, Finder = 0;
  long Dark = 0;
  for (int Pass = 0; Pass < 2; ++Pass) {
    const bool AsRows = Pass == 0;
    const TBitGrid& Base = AsRows ? Rows : Cols;
    const TBitGrid& Data = AsRows ? L.Data : L.DataCols;
    const auto& Period = AsRows ? Patterns.Rows[M] : Patterns.Cols[M];
    const auto& Format = AsRows ? L.FormatRows[M] : L.FormatCols[M];
    TBits<NW> Prev{}, PrevSame{};
    for (int I = 0, Phase = 0; I < N; ++I, Phase = Phase == 11 ? 0 : Phase + 1) {
      const auto Line = static_cast<std::size_t>(I);
      TBits<NW> D = TBits<NW>::Load(Base.Lines[Line]) ^
                    (TBits<NW>::Load(Period[static_cast<std::size_t>(Phase)]) &
                     TBits<NW>::Load(Data.Lines[Line]));
      if (const int Slot = FormatSlot(I, N); Slot >= 0)
        D = D | TBits<NW>::Load(Format[static_cast<std::size_t>(Slot)]);
      const TBits<NW> D1 = D.Down(1);
      const TBits<NW> Same = ~(D ^ D1) & PairMask;
      Runs += RunsFromSame<HwPop>(Same);
      Finder += FinderLikeInLine<HwPop>(D, D1, CellMask);
      if (AsRows) {
        if (I > 0) Blocks += PopCount<HwPop>(Same & PrevSame & ~(D ^ Prev));
        Dark += PopCount<HwPop>(D);
        Prev = D;
        PrevSame = Same;
      }
    }
  }
  return Runs + 3 * Blocks + Finder + DarkBalance(Dark, N);
}

template <int NW>
int ScoreMaskPortable(const TVersionLayout& L, const TBitGrid& Rows, const TBitGrid& Cols,
                      int Mask) {
  return ScoreMask<false, NW>(L, Rows, Cols, Mask);
}

#if MARBECK_POPCNT_DISPATCH
template <int NW>
__attribute__((target("popcnt"))) int ScoreMaskPopcnt(const TVersionLayout& L, const TBitGrid& Rows,
                                                      const TBitGrid& Cols, int Mask) {
  return ScoreMask<true, NW>(L, Rows, Cols, Mask);
}

bool HasPopcnt() {
  static const bool Has = __builtin_cpu_supports("popcnt");
  return Has;
}
#endif

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

std::unique_ptr<TVersionLayout> MakeLayout(int Version) {
  auto L = std::make_unique<TVersionLayout>();
  const int N = 17 + 4 * Version;
  L->Version = Version;
  L->Side = N;
  L->FunctionCols.Side = N;
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
    for (const auto& C : Cells)
      Format[static_cast<std::size_t>(C[1] * N + C[0])] = true;
  }
  for (int Y = 0; Y < N; ++Y)
    for (int X = 0; X < N; ++X) {
      const int V = M.Get(X, Y);
      if (V == -1) {
        SetCell(L->Data, Y, X);
        SetCell(L->DataCols, X, Y);
        ++L->DataCells;
      } else if (V == 1 && !Format[static_cast<std::size_t>(Y * N + X)]) {
        SetCell(L->FunctionCols, X, Y);
      }
    }

  // The zig-zag of the data placement: column pairs from the right, up and down in turn,
  // the right-hand cell of a pair first, the vertical timing column skipped. Rows with the
  // same data cells in the pair form one run, up to 32 rows.
  int Direction = -1;
  int Y = N - 1;
  int StreamBit = 0;
  for (int X = N - 1; X > 0; X -= 2) {
    if (X == 6) X = 5;
    TPlacementRun Run;
    auto Close = [&] {
      if (Run.Count == 0) return;
      L->Runs.push_back(Run);
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
      const int Column = Right && Left ? X : Right ? X : X - 1;
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

  for (int Mask = 0; Mask < 8; ++Mask) {
    const TBitArray Word = Util.BuildFormatBits(Level, Mask);
    std::uint16_t Bits = 0;
    for (int I = 0; I < 15; ++I)
      if (Word.Get(14 - I)) Bits = static_cast<std::uint16_t>(Bits | (1u << I));
    const auto Ms = static_cast<std::size_t>(Mask);
    L->FormatWords[Ms] = Bits;
    for (int I = 0; I < 15; ++I)
      if ((Bits >> I) & 1u) {
        int Cells[2][2];
        FormatCells(I, N, Cells);
        for (const auto& C : Cells) {
          const int X = C[0], Yc = C[1];
          L->FormatRows[Ms][static_cast<std::size_t>(FormatSlot(Yc, N))]
                       [static_cast<std::size_t>(X >> 6)] |= std::uint64_t{1} << (X & 63);
          L->FormatCols[Ms][static_cast<std::size_t>(FormatSlot(X, N))]
                       [static_cast<std::size_t>(Yc >> 6)] |= std::uint64_t{1} << (Yc & 63);
        }
      }
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
  // Appends whole bytes.
  void PutBytes(const std::uint8_t* Bytes, int Count) {
    if (FPending == 0) {
      std::copy(Bytes, Bytes + Count, FOut + FBytes);
      FBytes += Count;
    } else {
      // Each output byte takes the pending bits and the top of the next input byte.
      const int Keep = FPending;
      std::uint64_t Acc = FAcc;
      for (int I = 0; I < Count; ++I) {
        Acc = (Acc << 8) | Bytes[I];
        FOut[FBytes++] = static_cast<std::uint8_t>(Acc >> Keep);
      }
      FAcc = Acc;
    }
    FSize += 8 * Count;
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

// Per version 1..40 at level L: total codewords, data codewords and blocks.
struct TVersionFigures {
  int Total = 0;
  int DataBytes = 0;
  int Blocks = 0;
};

const std::array<TVersionFigures, 41>& VersionFigures() {
  static const std::array<TVersionFigures, 41> Figures = [] {
    std::array<TVersionFigures, 41> F{};
    const TErrorCorrectionLevel Level(TErrorCorrectionLevel::BitsL);
    for (int V = TVersion::MinVersion; V <= TVersion::MaxVersion; ++V) {
      const auto Version = TVersion::GetVersionForNumber(V);
      const TECBlocks& B = Version->GetECBlocksForLevel(Level);
      F[static_cast<std::size_t>(V)] = {Version->GetTotalCodewords(),
                                        Version->GetTotalCodewords() - B.GetTotalECCodewords(),
                                        B.GetNumBlocks()};
    }
    return F;
  }();
  return Figures;
}

// TVersion::ChooseVersion on the table: the smallest version whose data codewords hold
// NumInputBits, 0 when none does.
int ChooseVersionNumber(int NumInputBits) {
  const int Needed = (NumInputBits + 7) / 8;
  const auto& F = VersionFigures();
  for (int V = TVersion::MinVersion; V <= TVersion::MaxVersion; ++V)
    if (F[static_cast<std::size_t>(V)].DataBytes >= Needed) return V;
  return 0;
}

int MaxUnits(TMode Mode) {
  static const std::array<int, 10> Max = [] {
    std::array<int, 10> M{};
    const TErrorCorrectionLevel Level(TErrorCorrectionLevel::BitsL);
    for (std::size_t I = 0; I < M.size(); ++I)
      M[I] = TEncoder::MaxUnitsFor(static_cast<TMode>(I), TVersion::MaxVersion, Level);
    return M;
  }();
  return Mode < Max.size() ? Max[Mode] : 0;
}

} // namespace

// ---- Reed-Solomon ----

namespace {

// The shift register after NumData steps: byte K (bits 8 (K mod 8) of R[K / 8]) is EC
// codeword K.
void ShiftRegister(const std::uint8_t* Data, int NumData, int NumEC, std::uint64_t R[4]) {
  const TProductTable& T = ProductTable(NumEC);
  std::uint64_t R0 = 0, R1 = 0, R2 = 0, R3 = 0;
  for (int I = 0; I < NumData; ++I) {
    const auto& Row = T.Rows[static_cast<std::size_t>(Data[I] ^ (R0 & 0xFF))];
    R0 = ((R0 >> 8) | (R1 << 56)) ^ Row[0];
    R1 = ((R1 >> 8) | (R2 << 56)) ^ Row[1];
    R2 = ((R2 >> 8) | (R3 << 56)) ^ Row[2];
    R3 = (R3 >> 8) ^ Row[3];
  }
  R[0] = R0;
  R[1] = R1;
  R[2] = R2;
  R[3] = R3;
}

} // namespace

void ComputeBlockEC(const std::uint8_t* Data, int NumData, int NumEC, std::uint8_t* EC) {
  std::uint64_t R[4];
  ShiftRegister(Data, NumData, NumEC, R);
  for (int K = 0; K < NumEC; ++K)
    EC[K] = static_cast<std::uint8_t>(R[K / 8] >> (8 * (K % 8)));
}

bool InterleaveWithEC(const std::uint8_t* Data, int NumTotalBytes, int NumDataBytes,
                      int NumRSBlocks, std::uint8_t* Out) {
  if (NumRSBlocks <= 0) return false;
  const int LongBlocks = NumTotalBytes % NumRSBlocks;
  const int ShortBlocks = NumRSBlocks - LongBlocks;
  const int ShortData = NumDataBytes / NumRSBlocks;
  const int ECBytes = NumTotalBytes / NumRSBlocks - ShortData;
  if (ShortData * ShortBlocks + (ShortData + 1) * LongBlocks != NumDataBytes || ECBytes < 1 ||
      ECBytes > MaxECPerBlock)
    return false;

  // Data codeword J of block B goes to J x NumRSBlocks + B, except the extra last codeword
  // of a long block, which follows all the others; EC codeword J of block B goes to
  // NumDataBytes + J x NumRSBlocks + B.
  const std::uint8_t* Block = Data;
  for (int B = 0; B < NumRSBlocks; ++B) {
    const int Size = ShortData + (B < ShortBlocks ? 0 : 1);
    std::uint8_t* To = Out + B;
    for (int J = 0; J < ShortData; ++J, To += NumRSBlocks)
      *To = Block[J];
    if (B >= ShortBlocks) Out[ShortData * NumRSBlocks + (B - ShortBlocks)] = Block[ShortData];
    std::uint64_t R[4];
    ShiftRegister(Block, Size, ECBytes, R);
    To = Out + NumDataBytes + B;
    for (int K = 0; K < ECBytes; ++K, To += NumRSBlocks)
      *To = static_cast<std::uint8_t>(R[K / 8] >> (8 * (K % 8)));
    Block += Size;
  }
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

// ---- penalty rules on whole grids ----

int ScoreRuns(const TBitGrid& Rows, const TBitGrid& Cols) {
  return ByWords(Rows.Side, [&](auto NWC) {
    constexpr int NW = decltype(NWC)::value;
    const TBits<NW> PairMask = LowBits<NW>(Rows.Side - 1);
    int Penalty = 0;
    for (const TBitGrid* G : {&Rows, &Cols})
      for (int I = 0; I < Rows.Side; ++I) {
        const auto D = TBits<NW>::Load(G->Lines[static_cast<std::size_t>(I)]);
        Penalty += RunsFromSame<false>(~(D ^ D.Down(1)) & PairMask);
      }
    return Penalty;
  });
}

int ScoreBlocks(const TBitGrid& Rows) {
  return ByWords(Rows.Side, [&](auto NWC) {
    constexpr int NW = decltype(NWC)::value;
    const TBits<NW> PairMask = LowBits<NW>(Rows.Side - 1);
    int Count = 0;
    for (int Y = 1; Y < Rows.Side; ++Y) {
      const auto Above = TBits<NW>::Load(Rows.Lines[static_cast<std::size_t>(Y - 1)]);
      const auto Row = TBits<NW>::Load(Rows.Lines[static_cast<std::size_t>(Y)]);
      Count += PopCount<false>(~(Above ^ Above.Down(1)) & ~(Row ^ Row.Down(1)) & ~(Row ^ Above) &
                               PairMask);
    }
    return 3 * Count;
  });
}

int ScoreFinderLikePatterns(const TBitGrid& Rows, const TBitGrid& Cols) {
  return ByWords(Rows.Side, [&](auto NWC) {
    constexpr int NW = decltype(NWC)::value;
    const TBits<NW> CellMask = LowBits<NW>(Rows.Side);
    int Penalty = 0;
    for (const TBitGrid* G : {&Rows, &Cols})
      for (int I = 0; I < Rows.Side; ++I) {
        const auto D = TBits<NW>::Load(G->Lines[static_cast<std::size_t>(I)]);
        Penalty += FinderLikeInLine<false>(D, D.Down(1), CellMask);
      }
    return Penalty;
  });
}

int ScoreDarkBalance(const TBitGrid& Rows) {
  long Dark = 0;
  for (int Y = 0; Y < Rows.Side; ++Y)
    Dark += PopCount<false>(TBits<LineWords>::Load(Rows.Lines[static_cast<std::size_t>(Y)]));
  return DarkBalance(Dark, Rows.Side);
}

int MaskPenalty(const TBitGrid& Rows, const TBitGrid& Cols) {
  return ScoreRuns(Rows, Cols) + ScoreBlocks(Rows) + ScoreFinderLikePatterns(Rows, Cols) +
         ScoreDarkBalance(Rows);
}

// ---- mask trials ----

TMaskTrials::TMaskTrials(int Version, const std::uint8_t* Codewords) : FLayout(LayoutFor(Version)) {
  // The stream and its bit-reversed twin, padded with zero bytes: the remainder cells after
  // the last codeword read 0, and the 64-bit windows may reach past the end.
  const int Total = FLayout.DataCells / 8;
  std::array<std::uint8_t, MaxCodewords + 16> Stream{};
  std::array<std::uint8_t, MaxCodewords + 16> Reversed{};
  for (int K = 0; K < Total; ++K) {
    Stream[static_cast<std::size_t>(K)] = Codewords[K];
    Reversed[static_cast<std::size_t>(K)] = ReversedBytes[Codewords[K]];
  }
  FCols = FLayout.FunctionCols;
  PlaceRuns(FLayout, Stream.data(), Reversed.data(), FCols);
  Transpose(FCols, FRows);
}

void TMaskTrials::Build(int Mask, TBitGrid& Rows, TBitGrid& Cols) const {
  const int N = FLayout.Side;
  const auto M = static_cast<std::size_t>(Mask);
  const auto& Patterns = MaskPatterns();
  Rows.Side = N;
  Cols.Side = N;
  for (int I = 0; I < N; ++I) {
    const auto Line = static_cast<std::size_t>(I);
    const TLine& RowMask = Patterns.Rows[M][Line % 12];
    const TLine& ColMask = Patterns.Cols[M][Line % 12];
    const int Slot = FormatSlot(I, N);
    for (std::size_t W = 0; W < LineWords; ++W) {
      Rows.Lines[Line][W] = FRows.Lines[Line][W] ^ (RowMask[W] & FLayout.Data.Lines[Line][W]);
      Cols.Lines[Line][W] = FCols.Lines[Line][W] ^ (ColMask[W] & FLayout.DataCols.Lines[Line][W]);
      if (Slot >= 0) {
        Rows.Lines[Line][W] |= FLayout.FormatRows[M][static_cast<std::size_t>(Slot)][W];
        Cols.Lines[Line][W] |= FLayout.FormatCols[M][static_cast<std::size_t>(Slot)][W];
      }
    }
  }
}

int TMaskTrials::Penalty(int Mask) const {
  return ByWords(FLayout.Side, [&](auto NWC) {
    constexpr int NW = decltype(NWC)::value;
#if MARBECK_POPCNT_DISPATCH
    if (HasPopcnt()) return ScoreMaskPopcnt<NW>(FLayout, FRows, FCols, Mask);
#endif
    return ScoreMaskPortable<NW>(FLayout, FRows, FCols, Mask);
  });
}

int TMaskTrials::ChooseMask(int* Penalties) const {
  int Best = -1;
  int MinPenalty = 0;
  for (int Mask = 0; Mask < 8; ++Mask) {
    const int P = Penalty(Mask);
    if (Penalties) Penalties[Mask] = P;
    if (Best < 0 || P < MinPenalty) {
      MinPenalty = P;
      Best = Mask;
    }
  }
  return Best;
}

// ---- the whole route ----

bool CarriesCharacter(TMode Mode, char16_t C) {
  switch (Mode) {
  case qmNumeric:
    return C >= u'0' && C <= u'9';
  case qmAlphanumeric:
    return TEncoder::AlphanumericValue(C) >= 0;
  default:
    return false;
  }
}

TSegment MakeSegment(const std::u16string& Text, int EncodingOrdinal) {
  TEncoder Encoder;
  int Options = EncodingOrdinal;
  TSegment S;
  S.Mode = Encoder.SelectMode(Text, Options);
  // The characters the mode and option cannot carry are dropped (TEncoder::StripUnencodable)
  // on the way.
  if (S.Mode == qmByte) {
    if (Options == qrISO88591) {
      S.Bits.resize(Text.size());
      std::size_t N = 0;
      for (const char16_t C : Text)
        if (C <= 0xFF) S.Bits[N++] = static_cast<std::uint8_t>(C);
      S.Bits.resize(N);
    } else if (Options == qrUTF8NoBOM || Options == qrUTF8BOM) {
      S.Bits = TEncoder::ByteSegmentBytes(Text, Options); // these options keep every character
    }
    S.NumLetters = static_cast<int>(S.Bits.size());
    S.NumBits = 8 * S.NumLetters;
    return S;
  }
  S.Bits.resize(Text.size() + 1);
  TBitWriter W(S.Bits.data());
  if (S.Mode == qmNumeric) {
    // Groups of three digits in 10 bits, a final pair in 7, a final digit in 4.
    std::uint32_t Group = 0;
    int InGroup = 0;
    for (const char16_t C : Text) {
      if (!CarriesCharacter(qmNumeric, C)) continue;
      ++S.NumLetters;
      Group = Group * 10 + (C - 48u);
      if (++InGroup == 3) {
        W.Put(Group, 10);
        Group = 0;
        InGroup = 0;
      }
    }
    if (InGroup > 0) W.Put(Group, InGroup == 2 ? 7 : 4);
  } else if (S.Mode == qmAlphanumeric) {
    // Pairs in 11 bits, a final character in 6.
    std::uint32_t Pair = 0;
    bool Half = false;
    for (const char16_t C : Text) {
      const int A = TEncoder::AlphanumericValue(C);
      if (A < 0) continue;
      ++S.NumLetters;
      if (Half)
        W.Put(Pair * 45 + static_cast<std::uint32_t>(A), 11);
      else
        Pair = static_cast<std::uint32_t>(A);
      Half = !Half;
    }
    if (Half) W.Put(Pair, 6);
  }
  W.Flush();
  S.NumBits = W.Size();
  S.Bits.resize(static_cast<std::size_t>((S.NumBits + 7) / 8));
  return S;
}

void BuildSymbol(const TSegment& Segment, TSymbol& Out) {
  Out = TSymbol{};
  Out.NeededUnits = Segment.NumLetters;
  Out.Units = Segment.Mode == qmNumeric        ? cuDigits
              : Segment.Mode == qmAlphanumeric ? cuCharacters
                                               : cuBytes;
  Out.MaxUnits = MaxUnits(Segment.Mode);

  // The version in two passes, as the driver chooses it: first with the narrowest count
  // field, then with the field of that first choice.
  constexpr int HeaderBits = 4;
  int VersionNum =
      ChooseVersionNumber(TEncoder::CharCountWidth(Segment.Mode, 1) + HeaderBits + Segment.NumBits);
  if (VersionNum > 0)
    VersionNum = ChooseVersionNumber(TEncoder::CharCountWidth(Segment.Mode, VersionNum) +
                                     HeaderBits + Segment.NumBits);
  if (VersionNum == 0) {
    Out.DataTooLong = true;
    return;
  }
  const TVersionFigures& Figures = VersionFigures()[static_cast<std::size_t>(VersionNum)];

  // Mode indicator, character count, data, terminator, byte alignment and pad codewords.
  std::array<std::uint8_t, MaxCodewords> Data{};
  std::array<std::uint8_t, MaxCodewords> Codewords{};
  const int Capacity = 8 * Figures.DataBytes;
  TBitWriter W(Data.data());
  W.Put(static_cast<std::uint32_t>(TEncoder::ModeIndicatorBits(Segment.Mode)), HeaderBits);
  const int Width = TEncoder::CharCountWidth(Segment.Mode, VersionNum);
  if (Segment.NumLetters <= (1 << Width) - 1)
    W.Put(static_cast<std::uint32_t>(Segment.NumLetters), Width);
  const int FullBytes = Segment.NumBits / 8;
  W.PutBytes(Segment.Bits.data(), FullBytes);
  if (const int Rest = Segment.NumBits % 8; Rest > 0)
    W.Put(
        static_cast<std::uint32_t>(Segment.Bits[static_cast<std::size_t>(FullBytes)] >> (8 - Rest)),
        Rest);
  bool Complete = W.Size() <= Capacity;
  if (Complete) {
    W.Put(0, std::min(4, Capacity - W.Size()));
    if (W.Size() % 8 != 0) W.Put(0, 8 - W.Size() % 8);
    for (int I = W.Size() / 8, Pad = 0; I < Figures.DataBytes; ++I, ++Pad)
      Data[static_cast<std::size_t>(I)] = (Pad & 1) == 0 ? 0xEC : 0x11;
    Complete = InterleaveWithEC(Data.data(), Figures.Total, Figures.DataBytes, Figures.Blocks,
                                Codewords.data());
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
  Out.Rows.resize(static_cast<std::size_t>(N) * LineWords);
  for (int Y = 0; Y < N; ++Y)
    std::copy(Rows.Lines[static_cast<std::size_t>(Y)].begin(),
              Rows.Lines[static_cast<std::size_t>(Y)].end(),
              Out.Rows.begin() + static_cast<std::ptrdiff_t>(Y) * LineWords);
}

} // namespace qrfast
