// The shapes of a designed code, one geometry for every output: module shapes (squares, dots,
// rounded), the finder patterns with their own shape and colour, and the logo in the middle on
// a light pad. The raster and PDF outputs paint them with a QPainter (PaintDesign); the SVG
// output writes the same shapes as path data. QtGui only; no display needed.
#pragma once

#include "render/Code.h"
#include "render/CodeStyle.h"

#include <QPainter>
#include <QRect>
#include <QRectF>

// Where the parts of a designed code lie, in modules of the whole grid (quiet zone included).
struct TDesignLayout {
  int Side = 0;       // the grid's side
  int QuietZone = 0;  // Style.QuietZoneWithFrame()
  int SymbolSide = 0; // Side - 2 * QuietZone; 0 when the grid holds no symbol
  QRect Finders[3];   // the 7 x 7 finder patterns (empty without a symbol)
  QRect Pad;          // the light pad under the logo, whole modules, centred; empty: no logo
  QRectF LogoRect;    // the logo, aspect kept, centred on the pad
};

// The logo's longer side is Style.LogoPercent % of the symbol's side; the pad is the logo
// widened by one module on every side and rounded out to whole modules, keeping it centred.
TDesignLayout DesignLayoutOf(const TModuleGrid& Grid, const TCodeStyle& Style);

// Whether the module at Row, Column is drawn among the dark shapes: dark, outside the pad, and,
// with a symbol, outside the finder patterns (which are drawn on their own).
bool DrawnDark(const TModuleGrid& Grid, const TDesignLayout& Layout, int Row, int Column);

// One shape: the rectangle X, Y, W x H (in modules) with the corner radii top-left, top-right,
// bottom-right, bottom-left. Reverse: drawn the other way round, to cut a hole under the nonzero
// fill rule (the finder's ring).
struct TShape {
  double X, Y, W, H;
  double Radius[4];
  bool Reverse = false;
};

// Takes the shapes of one colour, one at a time, in drawing order: the painter fills them, the
// SVG output writes them as path data.
class TShapeVisitor {
public:
  virtual ~TShapeVisitor() = default;
  virtual void Visit(const TShape& Shape) = 0;
};
// The dark modules in Style.Shape: squares and rounded modules merged into runs along each row
// (a rounded run's corner is rounded where the modules above or below its end are light), dots
// 0.9 modules wide, one per module.
void DarkShapes(const TModuleGrid& Grid, const TCodeStyle& Style, const TDesignLayout& Layout,
                TShapeVisitor& To);
// The three finder patterns in Style.FinderShape (drawn in Style.FinderDark()).
void FinderShapes(const TCodeStyle& Style, const TDesignLayout& Layout, TShapeVisitor& To);

// The whole designed picture into Target (a module is Target.width() / Side wide): the light
// square, the dark shapes, the finder patterns, the frame marks, the logo. Smooth (a raster
// picture): curves antialiased, square edges sharp, dots stamped, each shape filled on its own;
// otherwise (PDF, print) one vector path a colour. The painter's state is restored afterwards. An
// empty grid paints nothing.
void PaintDesign(QPainter& Painter, const QRectF& Target, const TModuleGrid& Grid,
                 const TCodeStyle& Style, bool Smooth);

// The corner marks of Style (when Style.Frame) on a painter that draws in modules of a grid Side
// modules wide: one path in the frame colour. Used by PaintDesign and PaintCode.
void PaintFrameMarks(QPainter& Painter, int Side, const TCodeStyle& Style);

// The corner marks of DrawFrameMarks as rectangles in modules, for the vector outputs: calls
// Visit(X, Y, W, H) for each of the eight arms, clipped to the grid.
template <typename TVisit> void ForEachFrameArm(int Side, int MarkLength, TVisit&& Visit) {
  const int Arm = MarkLength + 2;
  const int Far = Side - MarkLength - 3;
  const int Last = Side - 1;
  const int Arms[8][4] = {{0, 0, Arm, 0},          {0, 0, 0, Arm},         {Far, 0, Last, 0},
                          {Last, 0, Last, Arm},    {0, Far, 0, Last},      {0, Last, Arm, Last},
                          {Far, Last, Last, Last}, {Last, Far, Last, Last}};
  for (const auto& A : Arms) {
    const int X0 = A[0] < 0 ? 0 : A[0], Y0 = A[1] < 0 ? 0 : A[1];
    const int X1 = A[2] > Last ? Last : A[2], Y1 = A[3] > Last ? Last : A[3];
    if (X0 <= X1 && Y0 <= Y1) Visit(X0, Y0, X1 - X0 + 1, Y1 - Y0 + 1);
  }
}
