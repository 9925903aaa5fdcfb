#include "render/Contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double Linear(int Channel) {
  const double C = Channel / 255.0;
  return C <= 0.04045 ? C / 12.92 : std::pow((C + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(QRgb Colour) {
  return 0.2126 * Linear(qRed(Colour)) + 0.7152 * Linear(qGreen(Colour)) +
         0.0722 * Linear(qBlue(Colour));
}

TContrast ContrastOf(QRgb Dark, QRgb Light) {
  const double D = RelativeLuminance(Dark);
  const double L = RelativeLuminance(Light);
  TContrast Result;
  Result.Ratio = (std::max(D, L) + 0.05) / (std::min(D, L) + 0.05);
  Result.Inverted = D > L;
  return Result;
}
