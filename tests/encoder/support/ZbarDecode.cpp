#include "support/ZbarDecode.h"

#include <algorithm>
#include <vector>
#include <zbar.h>

namespace {

using namespace zbar; // the C API lives in this namespace when compiled as C++

std::optional<std::string> DecodeImage(std::vector<unsigned char>& Pixels, int Side) {
  zbar_image_scanner_t* Scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(Scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(Scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_scanner_set_config(Scanner, ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
  zbar_image_t* Image = zbar_image_create();
  zbar_image_set_format(Image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(Image, static_cast<unsigned>(Side), static_cast<unsigned>(Side));
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

} // namespace

std::optional<std::string> DecodeWithZbar(const T2DBooleanArray& Grid, int QuietZone, int Scale) {
  const int Modules = static_cast<int>(Grid.size());
  if (Modules == 0) {
    return std::nullopt;
  }
  const int Side = (Modules + 2 * QuietZone) * Scale;
  std::vector<unsigned char> Pixels(static_cast<std::size_t>(Side) * static_cast<std::size_t>(Side),
                                    255);
  for (int X = 0; X < Modules; ++X) {
    for (int Y = 0; Y < Modules; ++Y) {
      if (!Grid[static_cast<std::size_t>(X)][static_cast<std::size_t>(Y)]) {
        continue;
      }
      for (int Dy = 0; Dy < Scale; ++Dy) {
        const std::size_t Row = static_cast<std::size_t>((Y + QuietZone) * Scale + Dy);
        const std::size_t Col = static_cast<std::size_t>((X + QuietZone) * Scale);
        std::fill_n(Pixels.begin() + static_cast<long>(Row * static_cast<std::size_t>(Side) + Col),
                    Scale, 0);
      }
    }
  }
  return DecodeImage(Pixels, Side);
}

std::optional<std::string> DecodeSymbolWithZbar(const TQRCodeSymbol& Symbol, int Scale) {
  const int Border = std::max(0, 4 - Symbol.QuietZone()); // extra light modules around
  const int Modules = Symbol.Rows() + 2 * Border;
  if (Symbol.Rows() == 0) {
    return std::nullopt;
  }
  const int Side = Modules * Scale;
  std::vector<unsigned char> Pixels(static_cast<std::size_t>(Side) * static_cast<std::size_t>(Side),
                                    255);
  for (int Row = 0; Row < Symbol.Rows(); ++Row) {
    for (int Column = 0; Column < Symbol.Columns(); ++Column) {
      if (!Symbol.IsDark(Row, Column)) {
        continue;
      }
      for (int Dy = 0; Dy < Scale; ++Dy) {
        const std::size_t Y = static_cast<std::size_t>((Row + Border) * Scale + Dy);
        const std::size_t X = static_cast<std::size_t>((Column + Border) * Scale);
        std::fill_n(Pixels.begin() + static_cast<long>(Y * static_cast<std::size_t>(Side) + X),
                    Scale, 0);
      }
    }
  }
  return DecodeImage(Pixels, Side);
}
