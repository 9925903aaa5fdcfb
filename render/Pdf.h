// The code as vector shapes for any QPainter (a PDF page, a printer), and as a one-page PDF.
// QtGui only; works with no display and without a QGuiApplication (only shapes are painted,
// never text).
#pragma once

#include "render/Code.h"
#include "render/CodeStyle.h"

#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QString>

// Paints Grid into Target as filled shapes: the light square (quiet zone included) in
// Style.Light, every dark module in one path of merged horizontal runs in Style.Dark, and with
// Style.Frame the corner marks (the modules DrawFrameMarks colours) in Style.FrameColor. A module
// is Target.width() / Side wide and Target.height() / Side high. No pen, no antialiasing; the
// painter's state is restored afterwards. An empty grid paints nothing. A designed style
// (TCodeStyle::Designed) is painted by PaintDesign, without antialiasing: module shapes and
// finder patterns as vector paths, an SVG logo as vector shapes, a bitmap logo as an image.
void PaintCode(QPainter& Painter, const QRectF& Target, const TModuleGrid& Grid,
               const TCodeStyle& Style);

// The largest page side PDF readers take, in points (200 inches, 5080 mm; ISO 32000-1, annex C).
inline constexpr double kMaxPdfPagePoints = 14400.0;

// One PDF page exactly Side * MmPerModule millimetres square (the MediaBox to a millionth of a
// point), carrying the PaintCode picture as vector shapes only (no image but a bitmap logo), the
// colours exact;
// Title goes into the document information. Empty for an empty grid, a MmPerModule that is not a
// positive finite number, a page beyond kMaxPdfPagePoints or a failed write.
QByteArray RenderPdf(const TModuleGrid& Grid, const TCodeStyle& Style, double MmPerModule,
                     const QString& Title);
