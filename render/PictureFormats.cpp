#include "render/PictureFormats.h"

#include "platform/Unicode.h"

const TPictureFormat& PictureFormat(TOutputFormat Format) {
  for (const TPictureFormat& Line : kPictureFormats)
    if (Line.Format == Format) return Line;
  return kPictureFormats[0];
}

std::optional<TOutputFormat> FormatFromName(std::string_view Name) {
  for (const TPictureFormat& Line : kPictureFormats)
    if (EqualIgnoringAsciiCase(Name, Line.Name)) return Line.Format;
  return std::nullopt;
}

std::string_view FormatExtension(TOutputFormat Format) {
  return PictureFormat(Format).Extension;
}

std::optional<TOutputFormat> FormatOfPath(std::string_view Path) {
  for (const TPictureFormat& Line : kPictureFormats) {
    if (Line.Format == TOutputFormat::Utf8 || Path.size() < Line.Extension.size()) continue;
    if (EqualIgnoringAsciiCase(Path.substr(Path.size() - Line.Extension.size()), Line.Extension))
      return Line.Format;
  }
  return std::nullopt;
}
