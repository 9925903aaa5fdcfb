#include "support/Zbar.h"

#include <zbar.h>

#include <vector>

using namespace zbar;

std::optional<std::string> DecodePicture(const QImage& Picture, int Scale) {
  if (Picture.isNull()) return std::nullopt;
  const int Border = 40;
  const int Width = Picture.width() * Scale + 2 * Border;
  const int Height = Picture.height() * Scale + 2 * Border;
  std::vector<unsigned char> Grey(static_cast<std::size_t>(Width) * Height, 255);
  for (int Y = 0; Y < Picture.height() * Scale; ++Y)
    for (int X = 0; X < Picture.width() * Scale; ++X)
      Grey[static_cast<std::size_t>(Y + Border) * Width + X + Border] =
          static_cast<unsigned char>(qGray(Picture.pixel(X / Scale, Y / Scale)));

  zbar_image_scanner_t* Scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(Scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(Scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_scanner_set_config(Scanner, ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
  zbar_image_t* Image = zbar_image_create();
  zbar_image_set_format(Image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(Image, static_cast<unsigned>(Width), static_cast<unsigned>(Height));
  zbar_image_set_data(Image, Grey.data(), Grey.size(), nullptr);
  std::optional<std::string> Result;
  if (zbar_scan_image(Scanner, Image) == 1) {
    const zbar_symbol_t* Symbol = zbar_image_first_symbol(Image);
    Result = std::string(zbar_symbol_get_data(Symbol), zbar_symbol_get_data_length(Symbol));
  }
  zbar_image_destroy(Image);
  zbar_image_scanner_destroy(Scanner);
  return Result;
}
