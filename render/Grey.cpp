#include "render/Grey.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The two tables of the grey conversion, built once (thread-safe static initialisation).
struct TGreyTables {
  std::array<double, 256> Linear{}; // an 8-bit level made linear, as in RelativeLuminance
  std::array<double, 255> Bound{};  // Bound[k]: the linear value of level k + 0.5
  TGreyTables() {
    auto ToLinear = [](double C) {
      return C <= 0.04045 ? C / 12.92 : std::pow((C + 0.055) / 1.055, 2.4);
    };
    for (int Level = 0; Level < 256; ++Level)
      Linear[static_cast<std::size_t>(Level)] = ToLinear(Level / 255.0);
    for (int Level = 0; Level < 255; ++Level)
      Bound[static_cast<std::size_t>(Level)] = ToLinear((Level + 0.5) / 255.0);
  }
};

const TGreyTables& Tables() {
  static const TGreyTables Instance;
  return Instance;
}

unsigned char GreyFrom(const TGreyTables& T, QRgb Colour) {
  const double L = 0.2126 * T.Linear[static_cast<std::size_t>(qRed(Colour))] +
                   0.7152 * T.Linear[static_cast<std::size_t>(qGreen(Colour))] +
                   0.0722 * T.Linear[static_cast<std::size_t>(qBlue(Colour))];
  // round(255 * E(L)) is the number of half-levels k + 0.5 whose linear value L reaches.
  return static_cast<unsigned char>(std::upper_bound(T.Bound.begin(), T.Bound.end(), L) -
                                    T.Bound.begin());
}

} // namespace

// A picture of a code is long runs of a few colours, so the last colour's grey is kept.
std::vector<unsigned char> GreyPicture(const QImage& Picture) {
  const QImage Source =
      Picture.format() == QImage::Format_RGB32 || Picture.format() == QImage::Format_ARGB32
          ? Picture
          : Picture.convertToFormat(QImage::Format_ARGB32);
  const TGreyTables& T = Tables();
  const int Width = Source.width();
  const int Height = Source.height();
  std::vector<unsigned char> Grey(static_cast<std::size_t>(Width) *
                                  static_cast<std::size_t>(Height));
  QRgb Last = qRgb(0, 0, 0);
  unsigned char LastGrey = 0;
  for (int Y = 0; Y < Height; ++Y) {
    const auto* Line = reinterpret_cast<const QRgb*>(Source.constScanLine(Y));
    unsigned char* To = Grey.data() + static_cast<std::size_t>(Y) * static_cast<std::size_t>(Width);
    for (int X = 0; X < Width; ++X) {
      const QRgb Colour = Line[X] & RGB_MASK;
      if (Colour != Last) {
        Last = Colour;
        LastGrey = GreyFrom(T, Colour);
      }
      To[X] = LastGrey;
    }
  }
  return Grey;
}

unsigned char GreyOf(QRgb Colour) {
  return GreyFrom(Tables(), Colour & RGB_MASK);
}

QImage OnWhite(const QImage& Picture) {
  if (!Picture.hasAlphaChannel()) return Picture;
  QImage Flat(Picture.size(), QImage::Format_RGB32);
  Flat.fill(Qt::white);
  QPainter Painter(&Flat);
  Painter.drawImage(0, 0, Picture);
  return Flat;
}
