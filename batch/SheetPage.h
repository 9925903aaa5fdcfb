// Label sheets: the grid of cells on an A4 or Letter page, and the one routine that paints a code
// (and its caption) into a cell on any painter. The sheet sink paints its PDF with it, row by row;
// a preview paints a page into an image with PaintSheetPage, which calls the same routine, so the
// preview is the page as it will print. Needs no display.
#pragma once

#include "render/Code.h" // TModuleGrid
#include "render/CodeStyle.h"

#include <QPainter>
#include <QRgb>
#include <QSizeF>
#include <string>
#include <vector>

enum class TPaper { A4, Letter };

// Label sheets: Columns x Rows cells a page, inside page margins, with gaps between the cells;
// the defaults fit the common 3 x 8 A4 label stock (63.5 x 33.9 mm labels).
struct TSheetLayout {
  TPaper Paper = TPaper::A4;
  int Columns = 3;
  int Rows = 8;
  double MarginXMm = 7.2;  // left and right
  double MarginYMm = 12.9; // top and bottom
  double GapXMm = 2.5;     // between columns
  double GapYMm = 0.0;     // between rows

  int CellsPerPage() const { return Columns * Rows; }
  // The page's width and height in millimetres (portrait).
  QSizeF PageMm() const;
  // A cell's width and height in millimetres; either is below kMinSheetCellMm when the grid,
  // margins and gaps do not fit the page.
  QSizeF CellMm() const;
};

// Cells smaller than this are refused: no code would be readable in them.
inline constexpr double kMinSheetCellMm = 5.0;

// One code on a sheet: its modules (quiet zone included), the style to paint them in, and the
// caption under it (UTF-8; empty: none).
struct TSheetCode {
  TModuleGrid Grid;
  TCodeStyle Style;
  std::string Caption;
};

// Paints Code into cell Cell (0 .. CellsPerPage() - 1, in rows from the top left) of a page on
// Painter, whose device has UnitsPerMm device units to the millimetre and the page's top left at
// its origin. The code is centred in the cell, 1.5 mm clear of its sides; with Captions a band of
// a fifth of the cell (at most 5 mm) under it carries the caption in the window's faces, in
// CaptionColour, shrunk to fit and then cut short with "…".
void PaintSheetCell(QPainter& Painter, double UnitsPerMm, const TSheetLayout& Layout, int Cell,
                    const TSheetCode& Code, bool Captions, QRgb CaptionColour);

// Paints a whole page: white paper, then Codes (at most CellsPerPage() of them) cell by cell with
// PaintSheetCell. For a preview into an image: UnitsPerMm = the image's width / PageMm().width().
void PaintSheetPage(QPainter& Painter, double UnitsPerMm, const TSheetLayout& Layout,
                    const std::vector<TSheetCode>& Codes, bool Captions, QRgb CaptionColour);
