// How far apart a code's two colours are, as WCAG 2 measures it (relative luminance and the
// contrast ratio, WCAG 2.2 success criterion 1.4.3 and its definitions), and whether the code is
// inverted. The caller hands in plain red-green-blue values: a system colour (the window's text
// or base colour) is resolved to its current value before it comes here. Alpha is ignored.
#pragma once

#include <QRgb>

// Relative luminance of an sRGB colour: 0 for black, 1 for white. Each channel c / 255 is made
// linear (c / 12.92 up to 0.04045, else ((c + 0.055) / 1.055) ^ 2.4), then
// L = 0.2126 R + 0.7152 G + 0.0722 B. (WCAG 2.0 wrote 0.03928 for the knee; no 8-bit value lies
// between the two, so the answers are the same.)
double RelativeLuminance(QRgb Colour);

struct TContrast {
  double Ratio = 1;      // (L lighter + 0.05) / (L darker + 0.05): 1 (equal) to 21 (black on white)
  bool Inverted = false; // the dark modules are lighter than the light ones
};

TContrast ContrastOf(QRgb Dark, QRgb Light);
