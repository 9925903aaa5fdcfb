// A picture of a code in grey, the way a reader sees it: one byte a pixel, each the sRGB grey with
// the pixel's WCAG 2 relative luminance (see render/Contrast.h). The scanner (render/Scan.h) and
// the read-back (render/ReadBack.h) both look at pictures through this conversion. QtGui only;
// pure functions, safe from any thread.
#pragma once

#include <QImage>
#include <vector>

// The grey each pixel becomes: the sRGB grey with the pixel's WCAG 2 relative luminance (see
// render/Contrast.h), i.e. round(255 * E(L)) where E is the sRGB transfer function (IEC
// 61966-2-1) that turns a linear value back into an 8-bit level. A grey pixel keeps its level, and
// a colour of lower relative luminance never turns into a lighter grey, so a code that ContrastOf
// does not call inverted is never inverted in grey. Alpha is ignored (every pixel counts as
// opaque).
unsigned char GreyOf(QRgb Colour);
// The picture in grey (GreyOf of every pixel), row by row, one byte a pixel.
std::vector<unsigned char> GreyPicture(const QImage& Picture);

// Picture laid on white, as it would be shown: a picture with transparent parts is painted over a
// white one of its size; a picture without an alpha channel comes back as it is.
QImage OnWhite(const QImage& Picture);
