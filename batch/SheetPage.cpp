#include "batch/SheetPage.h"

#include "render/Fonts.h"
#include "render/Pdf.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <algorithm>

namespace {

// The caption's band under a code: a fifth of the cell's height, at most 5 mm.
constexpr double kCaptionShare = 0.2;
constexpr double kMaxCaptionMm = 5.0;
// Captions shrink to fit their cell's width down to this size, and are then cut short with "…".
constexpr double kMinCaptionPoints = 4.0;
// Nothing is painted nearer a cell's sides than this: label stock is cut with a tolerance.
constexpr double kCellPaddingMm = 1.5;

// Text in the window's faces, centred in Box, as large as the box's height allows and shrunk to
// fit its width.
void PaintCaption(QPainter& Painter, double UnitsPerMm, const QString& Text, const QRectF& Box,
                  QRgb Colour) {
  const double Points = Box.height() / UnitsPerMm * 72.0 / 25.4 * 0.7;
  QFont Font;
  Font.setFamilies(WindowFontFamilies());
  Font.setPointSizeF(Points);
  const double Wide = QFontMetricsF(Font, Painter.device()).horizontalAdvance(Text);
  QString Shown = Text;
  if (Wide > Box.width()) {
    Font.setPointSizeF(std::max(kMinCaptionPoints, Points * Box.width() / Wide * 0.98));
    Shown = QFontMetricsF(Font, Painter.device()).elidedText(Text, Qt::ElideRight, Box.width());
  }
  Painter.setFont(Font);
  Painter.setPen(QColor::fromRgb(Colour));
  Painter.drawText(Box, Qt::AlignCenter | Qt::TextSingleLine, Shown);
}

} // namespace

QSizeF TSheetLayout::PageMm() const {
  return QPageSize(Paper == TPaper::A4 ? QPageSize::A4 : QPageSize::Letter)
      .size(QPageSize::Millimeter);
}

QSizeF TSheetLayout::CellMm() const {
  const QSizeF Page = PageMm();
  return QSizeF((Page.width() - 2 * MarginXMm - (Columns - 1) * GapXMm) / Columns,
                (Page.height() - 2 * MarginYMm - (Rows - 1) * GapYMm) / Rows);
}

void PaintSheetCell(QPainter& Painter, double UnitsPerMm, const TSheetLayout& Layout, int Cell,
                    const TSheetCode& Code, bool Captions, QRgb CaptionColour) {
  const QSizeF CellMm = Layout.CellMm();
  const int Column = Cell % Layout.Columns, Line = Cell / Layout.Columns;
  const double X = Layout.MarginXMm + Column * (CellMm.width() + Layout.GapXMm) + kCellPaddingMm;
  const double Y = Layout.MarginYMm + Line * (CellMm.height() + Layout.GapYMm) + kCellPaddingMm;
  const double Width = CellMm.width() - 2 * kCellPaddingMm;
  const double Height = CellMm.height() - 2 * kCellPaddingMm;
  const double Band = Captions ? std::min(kMaxCaptionMm, Height * kCaptionShare) : 0.0;
  const double Side = std::min(Width, Height - Band);
  auto Units = [UnitsPerMm](double Mm) { return Mm * UnitsPerMm; };
  const QRectF Target(Units(X + (Width - Side) / 2), Units(Y + (Height - Band - Side) / 2),
                      Units(Side), Units(Side));
  PaintCode(Painter, Target, Code.Grid, Code.Style);
  if (Captions && !Code.Caption.empty())
    PaintCaption(
        Painter, UnitsPerMm,
        QString::fromUtf8(Code.Caption.data(), static_cast<qsizetype>(Code.Caption.size())),
        QRectF(Units(X), Units(Y + Height - Band), Units(Width), Units(Band)), CaptionColour);
}

void PaintSheetPage(QPainter& Painter, double UnitsPerMm, const TSheetLayout& Layout,
                    const std::vector<TSheetCode>& Codes, bool Captions, QRgb CaptionColour) {
  const QSizeF Page = Layout.PageMm();
  Painter.fillRect(QRectF(0, 0, Page.width() * UnitsPerMm, Page.height() * UnitsPerMm), Qt::white);
  const int Count = std::min(static_cast<int>(Codes.size()), Layout.CellsPerPage());
  for (int Cell = 0; Cell < Count; ++Cell)
    PaintSheetCell(Painter, UnitsPerMm, Layout, Cell, Codes[static_cast<std::size_t>(Cell)],
                   Captions, CaptionColour);
}
