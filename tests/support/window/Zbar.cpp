#include "support/window/Zbar.h"

#include "support/ZbarDecode.h"

#include <vector>

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

  return DecodeGreyImage(Grey, Width, Height);
}
