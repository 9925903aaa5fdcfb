// The encoder's symbol grids and per-version layouts (ISO/IEC 18004 clauses 6.3, 7.7.3, 7.9
// and 7.10). A symbol is held as bit-packed lines, as rows and as the same cells in
// columns; a version's layout holds what all its symbols share: the dark function cells, the
// format cells of each mask, which cells take data, and the data placement as runs of rows, so
// that a codeword stream is placed a column stretch at a time. Gives exactly the cells of
// TMatrixUtil::BuildMatrix (the step-by-step encoder in encoder/reference/).
//
// Thread safety: a version's layout is built on first use under std::call_once and never changes
// afterwards.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qr {

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
  void Set(int Line, int Pos) {
    Lines[static_cast<std::size_t>(Line)][static_cast<std::size_t>(Pos) >> 6] |= std::uint64_t{1}
                                                                                 << (Pos & 63);
  }
};

// Out's lines are In's columns: rows become columns and columns rows.
void Transpose(const TBitGrid& In, TBitGrid& Out);

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
  // The 15-bit format word of each level (L, M, Q, H) with each data mask, bit 0 the least
  // significant, and its dark cells by level and mask: lines 0 to 8, then lines Side - 9 to
  // Side - 1, as rows and as columns.
  std::array<std::array<std::uint16_t, 8>, 4> FormatWords{};
  std::array<std::array<std::array<TLine, 18>, 8>, 4> FormatRows{};
  std::array<std::array<std::array<TLine, 18>, 8>, 4> FormatCols{};
};

// The layout of a version 1..40, built once and then shared.
const TVersionLayout& LayoutFor(int Version);

// Where a line's format cells are kept in TVersionLayout::FormatRows/FormatCols: lines 0..8
// and Side - 9 .. Side - 1; -1 for the lines between, which hold none.
int FormatSlot(int Line, int Side);

// Ors the version's total codewords (interleaved, EC included) into the layout's data cells of
// Cols, a grid of columns; the remainder cells stay as they are.
void PlaceCodewords(const TVersionLayout& Layout, const std::uint8_t* Codewords, TBitGrid& Cols);

} // namespace qr
