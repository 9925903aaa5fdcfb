#include "encoder/MaskChoice.h"

#include "encoder/MaskUtil.h"

#include <cmath>
#include <type_traits>

namespace qr {

namespace {

// ---- the data masks (Table 10) as periodic bit patterns ----

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

// NW words of one line, cell X at bit X. Ahead(K) is the line seen K cells further on: its bit X
// holds cell X + K. Behind(K) is the line seen K cells back: its bit X holds cell X - K. Cells
// past either end read as 0.
template <int NW> struct TBits {
  std::uint64_t W[std::size_t{NW}];

  MARBECK_INLINE static TBits Load(const TLine& L) {
    TBits B;
    for (int I = 0; I < NW; ++I)
      B.W[I] = L[static_cast<std::size_t>(I)];
    return B;
  }
  MARBECK_INLINE TBits Ahead(int K) const {
    TBits B;
    for (int I = 0; I + 1 < NW; ++I)
      B.W[I] = (W[I] >> K) | (W[I + 1] << (64 - K));
    B.W[NW - 1] = W[NW - 1] >> K;
    return B;
  }
  MARBECK_INLINE TBits Behind(int K) const {
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
  const TBits<NW> Same2 = Same & Same.Ahead(1);
  const TBits<NW> Five = Same2 & Same2.Ahead(2);   // cells X .. X + 4 equal
  const TBits<NW> Starts = Five & ~Same.Behind(1); // ... and cell X - 1 differs, or X = 0
  return PopCount<HwPop>(Five) + 2 * PopCount<HwPop>(Starts);
}

// Rule 3 on one line D (D1 = D.Ahead(1)): 40 for each 1 0 1 1 1 0 1 with four light cells
// inside the line after it (seven cells ahead) or before it (four cells behind). Cells beyond the
// line read as 0; a pattern needs its last cell dark, so it never reaches past the line, but its
// four light cells must lie inside the line: CellMask holds the line's cells.
template <bool HwPop, int NW>
MARBECK_INLINE int FinderLikeInLine(const TBits<NW>& D, const TBits<NW>& D1,
                                    const TBits<NW>& CellMask) {
  const TBits<NW> Dark3 = D & D1 & D.Ahead(2);
  const TBits<NW> Pattern = D & ~D1 & Dark3.Ahead(2) & ~D.Ahead(5) & D.Ahead(6);
  if (!Pattern.Any()) return 0;
  const TBits<NW> L = ~D & CellMask;
  const TBits<NW> Light2 = L & L.Ahead(1);
  const TBits<NW> Light4 = Light2 & Light2.Ahead(2); // cells X .. X + 3 light
  return 40 * PopCount<HwPop>(Pattern & (Light4.Ahead(7) | Light4.Behind(4)));
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

// The total penalty of one mask, each row and column made and scored on the fly.
template <bool HwPop, int NW>
MARBECK_INLINE int ScoreMask(const TVersionLayout& L, const TBitGrid& Rows, const TBitGrid& Cols,
                             std::size_t Level, int Mask) {
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
    const auto& Format = AsRows ? L.FormatRows[Level][M] : L.FormatCols[Level][M];
    TBits<NW> Prev{}, PrevSame{};
    for (int I = 0, Phase = 0; I < N; ++I, Phase = Phase == 11 ? 0 : Phase + 1) {
      const auto Line = static_cast<std::size_t>(I);
      TBits<NW> D = TBits<NW>::Load(Base.Lines[Line]) ^
                    (TBits<NW>::Load(Period[static_cast<std::size_t>(Phase)]) &
                     TBits<NW>::Load(Data.Lines[Line]));
      if (const int Slot = FormatSlot(I, N); Slot >= 0)
        D = D | TBits<NW>::Load(Format[static_cast<std::size_t>(Slot)]);
      const TBits<NW> D1 = D.Ahead(1);
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
                      std::size_t Level, int Mask) {
  return ScoreMask<false, NW>(L, Rows, Cols, Level, Mask);
}

#if MARBECK_POPCNT_DISPATCH
template <int NW>
__attribute__((target("popcnt"))) int ScoreMaskPopcnt(const TVersionLayout& L, const TBitGrid& Rows,
                                                      const TBitGrid& Cols, std::size_t Level,
                                                      int Mask) {
  return ScoreMask<true, NW>(L, Rows, Cols, Level, Mask);
}

bool HasPopcnt() {
  static const bool Has = __builtin_cpu_supports("popcnt");
  return Has;
}
#endif

} // namespace

// ---- penalty rules on whole grids ----

int ScoreRuns(const TBitGrid& Rows, const TBitGrid& Cols) {
  return ByWords(Rows.Side, [&](auto NWC) {
    constexpr int NW = decltype(NWC)::value;
    const TBits<NW> PairMask = LowBits<NW>(Rows.Side - 1);
    int Penalty = 0;
    for (const TBitGrid* G : {&Rows, &Cols})
      for (int I = 0; I < Rows.Side; ++I) {
        const auto D = TBits<NW>::Load(G->Lines[static_cast<std::size_t>(I)]);
        Penalty += RunsFromSame<false>(~(D ^ D.Ahead(1)) & PairMask);
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
      Count += PopCount<false>(~(Above ^ Above.Ahead(1)) & ~(Row ^ Row.Ahead(1)) & ~(Row ^ Above) &
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
        Penalty += FinderLikeInLine<false>(D, D.Ahead(1), CellMask);
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

TMaskTrials::TMaskTrials(int Version, const std::uint8_t* Codewords, int LevelOrdinal)
    : FLayout(LayoutFor(Version)), FLevel(static_cast<std::size_t>(LevelOrdinal & 3)) {
  FCols = FLayout.FunctionCols;
  PlaceCodewords(FLayout, Codewords, FCols);
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
        Rows.Lines[Line][W] |= FLayout.FormatRows[FLevel][M][static_cast<std::size_t>(Slot)][W];
        Cols.Lines[Line][W] |= FLayout.FormatCols[FLevel][M][static_cast<std::size_t>(Slot)][W];
      }
    }
  }
}

int TMaskTrials::Penalty(int Mask) const {
  return ByWords(FLayout.Side, [&](auto NWC) {
    constexpr int NW = decltype(NWC)::value;
#if MARBECK_POPCNT_DISPATCH
    if (HasPopcnt()) return ScoreMaskPopcnt<NW>(FLayout, FRows, FCols, FLevel, Mask);
#endif
    return ScoreMaskPortable<NW>(FLayout, FRows, FCols, FLevel, Mask);
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

} // namespace qr
