#include "render/ReadBack.h"

#include "render/Scan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

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

TReadBack ReadBack(const QImage& Picture, const std::string& Expected) {
  TReadBack Answer;
  if (Picture.isNull() || Picture.width() <= 0 || Picture.height() <= 0) return Answer;
  const std::vector<unsigned char> Grey = GreyPicture(Picture);
  // Every second line first: on a large picture of a large symbol it is four times as fast as
  // every line (zbar gathers fewer finder candidates), and in the tests it reads every symbol
  // drawn at three pixels a module or more. Below that it can miss what every line finds, so a
  // picture in which it finds nothing is scanned again line by line.
  std::vector<TFoundCode> Found;
  for (const int Density : {2, 1}) {
    Found = ScanGrey(Grey, Picture.width(), Picture.height(), Density);
    if (!Found.empty()) break;
  }
  if (!Found.empty()) {
    Answer.Bytes = Found.front().Bytes;
    Answer.Result = Found.size() == 1 && Answer.Bytes == Expected ? TReadBackResult::Exact
                                                                  : TReadBackResult::OtherBytes;
  }
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

std::string FinderColourReason(const TCodeStyle& Style) {
  if (!Style.FinderColor) return "";
  const TContrast Finder = ContrastOf(*Style.FinderColor, Style.Light);
  if (Finder.Ratio < MinimumContrast) return "finder " + ContrastReason(Finder.Ratio);
  if (Finder.Inverted) return "inverted finder colour";
  return "";
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
  Verdict.Reason = FinderColourReason(Style);
  if (!Verdict.Reason.empty()) return Verdict;
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
