#include "render/Scan.h"

#include "render/Grey.h"
#include "render/SymbolRead.h"

#include <algorithm>
#include <cmath>
#include <zbar.h>

namespace {

using namespace zbar; // the C API lives in this namespace when compiled as C++

// The share of the timing modules (row 6 and column 6 between the finder patterns, ISO/IEC
// 18004 clause 6.3.5) that show the expected dark-light alternation for a grid of N modules,
// the threshold being the mean of the samples.
double TimingScore(const std::vector<unsigned char>& Grey, int Width, int Height,
                   const QPointF* Corners, int N) {
  std::vector<int> Samples;
  for (int I = 8; I <= N - 9; ++I) {
    for (const int Level : {GreyAtModule(Grey, Width, Height, Corners, N, 6, I),
                            GreyAtModule(Grey, Width, Height, Corners, N, I, 6)}) {
      if (Level < 0) return 0;
      Samples.push_back(Level);
    }
  }
  double Mean = 0;
  for (const int S : Samples)
    Mean += S;
  Mean /= static_cast<double>(Samples.size());
  int Right = 0;
  for (std::size_t K = 0; K < Samples.size(); ++K) {
    const int I = 8 + static_cast<int>(K / 2);
    const bool Dark = Samples[K] < Mean;
    Right += Dark == (I % 2 == 0) ? 1 : 0;
  }
  return static_cast<double>(Right) / static_cast<double>(Samples.size());
}

} // namespace

std::vector<TFoundCode> ScanGrey(const std::vector<unsigned char>& Grey, int Width, int Height,
                                 int Density) {
  std::vector<TFoundCode> Codes;
  if (Width <= 0 || Height <= 0) return Codes;
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
  if (zbar_scan_image(Scanner, Image) > 0) {
    for (const zbar_symbol_t* Symbol = zbar_image_first_symbol(Image); Symbol;
         Symbol = zbar_symbol_next(Symbol)) {
      if (zbar_symbol_get_type(Symbol) != ZBAR_QRCODE) continue;
      TFoundCode Code;
      Code.Bytes.assign(zbar_symbol_get_data(Symbol), zbar_symbol_get_data_length(Symbol));
      for (unsigned I = 0; I < zbar_symbol_get_loc_size(Symbol); ++I)
        Code.Where << QPointF(zbar_symbol_get_loc_x(Symbol, I), zbar_symbol_get_loc_y(Symbol, I));
      Codes.push_back(std::move(Code));
    }
  }
  zbar_image_destroy(Image);
  zbar_image_scanner_destroy(Scanner);
  return Codes;
}

int VersionAt(const std::vector<unsigned char>& Grey, int Width, int Height,
              const QPolygonF& Where) {
  if (Where.size() != 4) return 0;
  // Which corner is the top-left one is not known: each of the four is tried, going round in
  // both directions (a mirrored grid swaps row 6 and column 6, which are both sampled).
  int Best = 0;
  double BestScore = 0.9; // below this share no version is claimed
  for (int First = 0; First < 4; ++First) {
    for (const int Step : {1, 3}) {
      QPointF Corners[4];
      for (int K = 0; K < 4; ++K)
        Corners[K] = Where[(First + Step * K) % 4];
      for (int Version = 1; Version <= 40; ++Version) {
        const double Score = TimingScore(Grey, Width, Height, Corners, 17 + 4 * Version);
        if (Score > BestScore) {
          BestScore = Score;
          Best = Version;
        }
      }
    }
  }
  return Best;
}

std::vector<TFoundCode> FindCodes(const std::vector<unsigned char>& Grey, int Width, int Height) {
  // Every second line first: on a large picture of a large symbol it is four times as fast as
  // every line (zbar gathers fewer finder candidates), and in the tests it reads every symbol
  // drawn at three pixels a module or more. Below that it can miss what every line finds, so a
  // picture in which it finds nothing is scanned again line by line.
  std::vector<TFoundCode> Codes;
  for (const int Density : {2, 1}) {
    Codes = ScanGrey(Grey, Width, Height, Density);
    if (!Codes.empty()) break;
  }
  return Codes;
}

std::vector<TFoundCode> ScanPicture(const QImage& Picture) {
  if (Picture.isNull() || Picture.width() <= 0 || Picture.height() <= 0) return {};
  // zbar misses symbols of very large modules (from about 60 pixels on, not always): a picture
  // in which nothing is found is searched again at half its size, smoothly scaled, and again,
  // while the half's longer side is kHalvedScanSide pixels or more. At each size the negative is
  // searched too when the picture itself shows nothing (light modules on a dark ground).
  constexpr int kHalvedScanSide = 500;
  QImage Shown = OnWhite(Picture);
  for (double Scale = 1;; Scale /= 2) {
    std::vector<unsigned char> Grey = GreyPicture(Shown);
    std::vector<TFoundCode> Codes = FindCodes(Grey, Shown.width(), Shown.height());
    const bool Inverted = Codes.empty();
    if (Inverted) { // the negative shows dark modules on a light ground
      for (unsigned char& Level : Grey)
        Level = static_cast<unsigned char>(255 - Level);
      Codes = FindCodes(Grey, Shown.width(), Shown.height());
    }
    for (TFoundCode& Code : Codes) {
      Code.Version = VersionAt(Grey, Shown.width(), Shown.height(), Code.Where);
      if (Code.Version > 0)
        if (const std::optional<TSegmentsRead> Read = ReadSymbolSegments(
                Grey, Shown.width(), Shown.height(), Code.Where, Code.Version, Code.Bytes)) {
          if (Read->Eci >= 0) { // without a designator zbar's bytes stay (its kanji as UTF-8)
            Code.Eci = Read->Eci;
            Code.Bytes = Read->Bytes;
          }
        }
      Code.Inverted = Inverted;
      for (QPointF& Corner : Code.Where) // in the pixels of the picture given
        Corner /= Scale;
    }
    if (!Codes.empty() || std::max(Shown.width(), Shown.height()) / 2 < kHalvedScanSide)
      return Codes;
    Shown = Shown
                .convertToFormat(QImage::Format_RGB32) // a one-bit picture scales smoothly too
                .scaled(Shown.width() / 2, Shown.height() / 2, Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
  }
}
