#include "render/ReadBack.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>
#include <zbar.h>

namespace {

using namespace zbar; // the C API lives in this namespace when compiled as C++

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

// The picture in grey, row by row. A picture of a code is long runs of a few colours, so the
// last colour's grey is kept.
std::vector<unsigned char> GreyPixels(const QImage& Picture) {
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

// Lets zbar look for QR symbols in the grey picture, scanning every Density-th row and column.
// Answers the number of symbols found and the bytes of the first.
int Scan(const std::vector<unsigned char>& Grey, int Width, int Height, int Density,
         std::string& Bytes) {
  zbar_image_scanner_t* Scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(Scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(Scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_scanner_set_config(Scanner, ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
  zbar_image_scanner_set_config(Scanner, ZBAR_NONE, ZBAR_CFG_X_DENSITY, Density);
  zbar_image_scanner_set_config(Scanner, ZBAR_NONE, ZBAR_CFG_Y_DENSITY, Density);
  zbar_image_t* Image = zbar_image_create();
  zbar_image_set_format(Image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(Image, static_cast<unsigned>(Width), static_cast<unsigned>(Height));
  zbar_image_set_data(Image, Grey.data(), Grey.size(), nullptr);
  int Found = zbar_scan_image(Scanner, Image);
  const zbar_symbol_t* Symbol = Found > 0 ? zbar_image_first_symbol(Image) : nullptr;
  if (Symbol)
    Bytes.assign(zbar_symbol_get_data(Symbol), zbar_symbol_get_data_length(Symbol));
  else
    Found = 0;
  zbar_image_destroy(Image);
  zbar_image_scanner_destroy(Scanner);
  return Found;
}

} // namespace

unsigned char GreyOf(QRgb Colour) {
  return GreyFrom(Tables(), Colour & RGB_MASK);
}

TReadBack ReadBack(const QImage& Picture, const std::string& Expected) {
  TReadBack Answer;
  if (Picture.isNull() || Picture.width() <= 0 || Picture.height() <= 0) return Answer;
  const std::vector<unsigned char> Grey = GreyPixels(Picture);
  // Every second line first: on a large picture of a large symbol it is four times as fast as
  // every line (zbar gathers fewer finder candidates), and in the tests it reads every symbol
  // drawn at three pixels a module or more. Below that it can miss what every line finds, so a
  // picture in which it finds nothing is scanned again line by line.
  int Found = 0;
  for (const int Density : {2, 1}) {
    Found = Scan(Grey, Picture.width(), Picture.height(), Density, Answer.Bytes);
    if (Found > 0) break;
  }
  if (Found > 0)
    Answer.Result = Found == 1 && Answer.Bytes == Expected ? TReadBackResult::Exact
                                                           : TReadBackResult::OtherBytes;
  return Answer;
}

std::string ContrastReason(double Ratio) {
  // Cut, not rounded: a ratio just below 3 must not read "3.00 : 1". The small allowance keeps a
  // ratio that is 1.07 in decimal from showing as 1.06 after binary rounding.
  const long long Hundredths = static_cast<long long>(std::floor(Ratio * 100 + 1e-9));
  const long long Cents = Hundredths % 100;
  return "contrast " + std::to_string(Hundredths / 100) + "." + (Cents < 10 ? "0" : "") +
         std::to_string(Cents) + " : 1";
}

TVerdict Verify(const QImage& Picture, const std::string& Expected, const TCodeStyle& Style) {
  TVerdict Verdict;
  const TContrast Colours = ContrastOf(Style.Dark, Style.Light);
  if (Colours.Ratio < MinimumContrast) {
    Verdict.Reason = ContrastReason(Colours.Ratio);
    return Verdict;
  }
  if (Colours.Inverted) {
    Verdict.Reason = "inverted colours";
    return Verdict;
  }
  switch (ReadBack(Picture, Expected).Result) {
  case TReadBackResult::Exact:
    Verdict.Verified = true;
    break;
  case TReadBackResult::OtherBytes:
    Verdict.Reason = "read back other bytes";
    break;
  case TReadBackResult::NothingFound:
    Verdict.Reason = "nothing found";
    break;
  }
  return Verdict;
}
