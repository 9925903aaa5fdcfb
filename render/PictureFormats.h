// The picture formats a code is written in, one table for the window's save dialog and the command
// line's --format and file names: each format's name, file extension and the save dialog's line.
// Header only (the command line's input library uses it without render/): standard library and
// platform/ only.
#pragma once

#include "platform/Unicode.h"

#include <optional>
#include <string_view>

enum class TOutputFormat { Png, Svg, Pdf, Utf8 };

struct TPictureFormat {
  TOutputFormat Format;
  std::string_view Name;      // as --format takes it: "png"
  std::string_view Extension; // ".png"; Utf8's ".txt" is for the batch's files only
  // The save dialog's filter line (the window offers the formats that have one).
  std::string_view DialogFilter;
};

inline constexpr TPictureFormat kPictureFormats[] = {
    {TOutputFormat::Png, "png", ".png", "PNG picture, at the zoom size (*.png)"},
    {TOutputFormat::Svg, "svg", ".svg", "SVG vector picture, 1 mm per module (*.svg)"},
    {TOutputFormat::Pdf, "pdf", ".pdf", "PDF document, 1 mm per module (*.pdf)"},
    {TOutputFormat::Utf8, "utf8", ".txt", ""}, // the terminal drawing: no picture file
};

// The table's line of Format.
inline const TPictureFormat& PictureFormat(TOutputFormat Format) {
  for (const TPictureFormat& Line : kPictureFormats)
    if (Line.Format == Format) return Line;
  return kPictureFormats[0];
}

// "png", "svg", "pdf", "utf8" (any letter case).
inline std::optional<TOutputFormat> FormatFromName(std::string_view Name) {
  for (const TPictureFormat& Line : kPictureFormats)
    if (EqualIgnoringAsciiCase(Name, Line.Name)) return Line.Format;
  return std::nullopt;
}

// ".png" ...
inline std::string_view FormatExtension(TOutputFormat Format) {
  return PictureFormat(Format).Extension;
}

// The picture format named by the extension of Path (.png, .svg, .pdf in any letter case), if
// any.
inline std::optional<TOutputFormat> FormatOfPath(std::string_view Path) {
  for (const TPictureFormat& Line : kPictureFormats) {
    if (Line.Format == TOutputFormat::Utf8 || Path.size() < Line.Extension.size()) continue;
    if (EqualIgnoringAsciiCase(Path.substr(Path.size() - Line.Extension.size()), Line.Extension))
      return Line.Format;
  }
  return std::nullopt;
}
