#include "render/PngCheck.h"

#include <png.h>
#include <vector>

bool IsPng(const QByteArray& Bytes) {
  return Bytes.startsWith("\x89PNG\r\n\x1a\n");
}

std::string PngDamage(const QByteArray& Bytes) {
  // libpng's simplified reading interface reports into Image.message and prints nothing.
  png_image Image{};
  Image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&Image, Bytes.constData(),
                                        static_cast<png_size_t>(Bytes.size())))
    return Image.message;
  Image.format = PNG_FORMAT_GRAY;
  std::vector<unsigned char> Rows(PNG_IMAGE_SIZE(Image));
  if (!png_image_finish_read(&Image, nullptr, Rows.data(), 0, nullptr)) {
    std::string Why = Image.message;
    png_image_free(&Image);
    return Why.empty() ? "damaged" : Why;
  }
  return "";
}
