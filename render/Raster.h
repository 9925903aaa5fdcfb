// The code as pixels: the one drawing the preview, the clipboard picture and PNG files share.
// QtGui only (QImage), no display needed.
#pragma once

#include "render/Code.h"
#include "render/CodeStyle.h"

#include <QByteArray>
#include <QColor>
#include <QImage>

// One pixel per module, dark modules in Style.Dark, light modules and the quiet zone in
// Style.Light, the dark modules of the finder patterns in Style.FinderColor when it is set; with
// Style.Frame the corner marks of DrawFrameMarks in Style.FrameColor on the outermost ring.
// Format_RGB32, Grid.Side x Grid.Side; an empty grid gives a null image. The module shape and the
// logo are not drawn here: a shaped style (TCodeStyle::PaintedAtFinalSize) needs RenderRaster.
QImage RenderModules(const TModuleGrid& Grid, const TCodeStyle& Style);

// The picture at Side x Side pixels. A style that is not shaped: RenderModules' picture stretched
// nearest-neighbour (see StretchNearest). A shaped one: painted at this size by PaintDesign,
// antialiased. Side <= 0 or an empty grid gives a null image.
QImage RenderRaster(const TModuleGrid& Grid, const TCodeStyle& Style, int Side);

// PNG bytes of Picture, every pixel as it is. An opaque picture of at most 256 colours (every
// code) is written with a palette at the smallest bit depth, one bit per pixel for two colours;
// any other through Qt's PNG writer. Empty for a null picture or when writing fails.
QByteArray EncodePng(const QImage& Picture);

// The four L-shaped corner marks, one pixel thick, each arm MarkLength + 3 pixels long (the
// corner pixel counted in both arms), drawn on the outermost ring of Picture. Pixels that fall
// outside the picture are not drawn; when the marks along an edge meet, they overlap.
void DrawFrameMarks(QImage& Picture, int MarkLength, QColor Color);

// Picture stretched to Width x Height, every target pixel copied from one source pixel (no
// smoothing): target x takes source x * SourceWidth / Width, rounded down. An empty picture or
// a size <= 0 gives a null image. Format_RGB32.
QImage StretchNearest(const QImage& Picture, int Width, int Height);
