// Pixel work of the preview: the centring of the picture in the panel, the corner marks drawn
// into the picture, and the nearest-neighbour stretch shared by the preview and the clipboard.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

// n / 2 rounded to the nearest integer, a half going to the even neighbour (n >= 0).
int HalfRoundedToEven(int N);

// Top-left corner of a W x W picture centred in a panel of PanelWidth x PanelHeight.
QPoint CentredPlace(int PanelWidth, int PanelHeight, int W);

// The four L-shaped corner marks, one pixel thick, each arm MarkLength + 3 pixels long, drawn
// on the outermost ring of Picture. Pixels that fall outside the picture are not drawn.
void DrawFrameMarks(QImage& Picture, int MarkLength, QColor Color);

// Picture stretched to Width x Height, every target pixel copied from one source pixel (no
// smoothing). An empty picture gives an empty result.
QImage StretchNearest(const QImage& Picture, int Width, int Height);
