// The encoder's fast route. It makes exactly the symbols of TEncoder::EncodeSymbol (same
// segment, version, codewords, mask choice and modules) with less work:
//   - GF(256) tables and Reed-Solomon generators are computed once; each block's EC codewords
//     come from a shift register with a product table per generator;
//   - the function patterns, the data-cell order and the mask patterns of a version are laid
//     out once and reused;
//   - the symbol is held as bit-packed lines (rows, and the same cells as columns), so a mask
//     is applied with a few word operations per line and the four penalty rules of the mask
//     choice are scored 64 cells at a time.
// Everything here is level L, the only level the encoder uses.
//
// Thread safety: the shared tables are built on first use under std::call_once and never
// change afterwards; everything else lives in the caller's objects.
#pragma once

#include "encoder/Mode.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qrfast {

constexpr int MaxSide = 177;       // version 40
constexpr int LineWords = 3;       // 64-bit words per bit-packed line: 192 >= 177 cells
constexpr int GridLines = 192;     // lines held per grid: whole 64-line blocks, the last ones 0
constexpr int MaxCodewords = 3706; // total codewords of version 40

// One line of cells, bit j of word j / 64 at weight 2^(j % 64) for cell j of the line.
using TLine = std::array<std::uint64_t, LineWords>;

// A square symbol as bit-packed lines. As rows, Lines[y] bit x is cell (x, y); as columns,
// Lines[x] bit y is cell (x, y). Bits at and beyond Side are always 0.
struct TBitGrid {
  int Side = 0;
  std::array<TLine, GridLines> Lines{};

  bool Get(int Line, int Pos) const {
    return ((Lines[static_cast<std::size_t>(Line)][static_cast<std::size_t>(Pos) >> 6] >>
             (Pos & 63)) &
            1u) != 0;
  }
};

// ---- Reed-Solomon (ISO/IEC 18004 clause 7.5.2) ----

// Writes the NumEC error-correction codewords (1..30) of the NumData data codewords to EC.
void ComputeBlockEC(const std::uint8_t* Data, int NumData, int NumEC, std::uint8_t* EC);

// Splits NumDataBytes data codewords into NumRSBlocks blocks (short blocks first), adds each
// block's EC codewords and writes the interleaved sequence of NumTotalBytes codewords to Out.
// False when the totals do not split into blocks of one EC length (nothing is written then).
bool InterleaveWithEC(const std::uint8_t* Data, int NumTotalBytes, int NumDataBytes,
                      int NumRSBlocks, std::uint8_t* Out);

// ---- symbol matrix and mask choice (clauses 7.7 to 7.9) ----

// A stretch of one column pair that the data placement walks without a break: Count rows
// (at most 32) from Row upwards in the column(s), in both columns of the pair (the right one
// first on each row) or in one column only, taking the stream bits from StreamBit on.
struct TPlacementRun {
  std::uint16_t StreamBit = 0;
  std::uint8_t Column = 0; // the pair's right column, or the one column of a single run
  std::uint8_t Row = 0;    // the lowest row of the run
  std::uint8_t Count = 0;
  std::uint8_t Kind = 0; // RunUpward | RunBothColumns
};
constexpr std::uint8_t RunUpward = 1;
constexpr std::uint8_t RunBothColumns = 2;

// What a version's symbols share: the function patterns, version information and the
// dark module (format cells left light), which cells take data and in which order.
struct TVersionLayout {
  int Version = 0;
  int Side = 0;
  int DataCells = 0;     // codeword bits plus remainder cells
  TBitGrid FunctionCols; // columns: dark function cells
  TBitGrid Data;         // rows: the data cells (remainder cells included)
  TBitGrid DataCols;     // the same as columns
  // The data placement (ISO/IEC 18004 clause 7.7.3) as runs, in placement order.
  std::vector<TPlacementRun> Runs;
  // The 15-bit format word of level L with each data mask, bit 0 the least significant, and
  // its dark cells by mask: lines 0 to 8, then lines Side - 9 to Side - 1, as rows and as
  // columns.
  std::array<std::uint16_t, 8> FormatWords{};
  std::array<std::array<TLine, 18>, 8> FormatRows{};
  std::array<std::array<TLine, 18>, 8> FormatCols{};
};

// The layout of a version 1..40, built once and then shared.
const TVersionLayout& LayoutFor(int Version);

// The four penalty rules on a symbol given as rows and as columns.
int ScoreRuns(const TBitGrid& Rows, const TBitGrid& Cols);
int ScoreBlocks(const TBitGrid& Rows);
int ScoreFinderLikePatterns(const TBitGrid& Rows, const TBitGrid& Cols);
int ScoreDarkBalance(const TBitGrid& Rows);
int MaskPenalty(const TBitGrid& Rows, const TBitGrid& Cols);

// A version's symbol with its codewords placed, before masking.
class TMaskTrials {
public:
  // Codewords holds the version's total codewords (interleaved, EC included).
  TMaskTrials(int Version, const std::uint8_t* Codewords);

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
  TBitGrid FRows; // function patterns and unmasked data; format cells light
  TBitGrid FCols;
};

// ---- the whole route ----

// The one segment a text makes under an encoding option: its mode, its character count
// field value and its data bits (MSB first, the last byte padded with 0 bits). Two equal
// segments give the same symbol.
struct TSegment {
  TMode Mode = qmTerminator;
  int NumLetters = 0;
  int NumBits = 0;
  std::vector<std::uint8_t> Bits;

  bool operator==(const TSegment&) const = default;
};

TSegment MakeSegment(const std::u16string& Text, int EncodingOrdinal);

// Whether a numeric or alphanumeric segment carries the character C (digits; the
// 45-character set); the others are dropped. False for every other mode.
bool CarriesCharacter(TMode Mode, char16_t C);

// The symbol of a segment, bit-packed by rows: module (X, Y) is bit X % 64 of
// Rows[Y * LineWords + X / 64], 1 dark. When the segment needs more than version 40 holds,
// Side is 0, Rows empty and DataTooLong true.
struct TSymbol {
  int Version = 0;
  int MaskPattern = -1;
  int Side = 0;
  std::vector<std::uint64_t> Rows;
  bool DataTooLong = false;
  int NeededUnits = 0;
  int MaxUnits = 0;
  TCapacityUnit Units = cuBytes;

  bool IsDark(int X, int Y) const {
    return ((Rows[static_cast<std::size_t>(Y) * LineWords + (static_cast<std::size_t>(X) >> 6)] >>
             (X & 63)) &
            1u) != 0;
  }
};

void BuildSymbol(const TSegment& Segment, TSymbol& Out);

} // namespace qrfast
