// The picture formats a code is written in, one table for the window's save dialog and the command
// line's --format and file names: each format's name, file extension and the save dialog's line.
// Standard library and platform/ only.
#pragma once

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
const TPictureFormat& PictureFormat(TOutputFormat Format);
// "png", "svg", "pdf", "utf8" (any letter case).
std::optional<TOutputFormat> FormatFromName(std::string_view Name);
std::string_view FormatExtension(TOutputFormat Format); // ".png" ...
// The picture format named by the extension of Path (.png, .svg, .pdf in any letter case), if any.
std::optional<TOutputFormat> FormatOfPath(std::string_view Path);
