#include "support/ZbarDecode.h"

#include <algorithm>
#include <vector>
#include <zbar.h>

namespace {

using namespace zbar; // the C API lives in this namespace when compiled as C++

// A white square of Modules x Modules modules at Scale pixels each, with the modules for which
// Dark(X, Y) holds painted black at an offset of Border modules.
template <typename TDark>
std::optional<std::string> PaintAndDecode(int Modules, int Border, int Scale, TDark Dark,
                                          TZbarMode Mode = TZbarMode::Binary) {
  const int Side = (Modules + 2 * Border) * Scale;
  std::vector<unsigned char> Pixels(static_cast<std::size_t>(Side) * static_cast<std::size_t>(Side),
                                    255);
  for (int X = 0; X < Modules; ++X) {
    for (int Y = 0; Y < Modules; ++Y) {
      if (!Dark(X, Y)) {
        continue;
      }
      for (int Dy = 0; Dy < Scale; ++Dy) {
        const std::size_t Row = static_cast<std::size_t>((Y + Border) * Scale + Dy);
        const std::size_t Col = static_cast<std::size_t>((X + Border) * Scale);
        std::fill_n(Pixels.begin() + static_cast<long>(Row * static_cast<std::size_t>(Side) + Col),
                    Scale, 0);
      }
    }
  }
  return DecodeGreyImage(Pixels, Side, Side, Mode);
}

} // namespace

std::optional<std::string> DecodeGreyImage(const std::vector<unsigned char>& Pixels, int Width,
                                           int Height, TZbarMode Mode) {
  zbar_image_scanner_t* Scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(Scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(Scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_scanner_set_config(Scanner, ZBAR_QRCODE, ZBAR_CFG_BINARY,
                                Mode == TZbarMode::Binary ? 1 : 0);
  zbar_image_t* Image = zbar_image_create();
  zbar_image_set_format(Image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(Image, static_cast<unsigned>(Width), static_cast<unsigned>(Height));
  zbar_image_set_data(Image, Pixels.data(), Pixels.size(), nullptr);
  std::optional<std::string> Result;
  if (zbar_scan_image(Scanner, Image) == 1) {
    const zbar_symbol_t* Symbol = zbar_image_first_symbol(Image);
    if (Symbol && zbar_symbol_get_type(Symbol) == ZBAR_QRCODE) {
      Result = std::string(zbar_symbol_get_data(Symbol), zbar_symbol_get_data_length(Symbol));
    }
  }
  zbar_image_destroy(Image);
  zbar_image_scanner_destroy(Scanner);
  return Result;
}

std::optional<std::string> DecodeWithZbar(const T2DBooleanArray& Grid, int QuietZone, int Scale,
                                          TZbarMode Mode) {
  const int Modules = static_cast<int>(Grid.size());
  if (Modules == 0) {
    return std::nullopt;
  }
  return PaintAndDecode(
      Modules, QuietZone, Scale,
      [&](int X, int Y) {
        return static_cast<bool>(Grid[static_cast<std::size_t>(X)][static_cast<std::size_t>(Y)]);
      },
      Mode);
}

std::optional<std::string> DecodeSymbolWithZbar(const TQRCodeSymbol& Symbol, int Scale) {
  if (Symbol.Rows() == 0) {
    return std::nullopt;
  }
  const int Border = std::max(0, 4 - Symbol.QuietZone()); // extra light modules around
  return PaintAndDecode(Symbol.Rows(), Border, Scale,
                        [&](int X, int Y) { return Symbol.IsDark(Y, X); });
}
