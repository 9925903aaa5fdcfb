// The values marbeck-cli reads from its options: colours, the encoding, the output format, and
// the names of output files.
#pragma once

#include "encoder/Mode.h"

#include <QRgb>
#include <optional>
#include <string>
#include <string_view>

// A colour as the settings store writes it (a name such as clNavy in any letter case, or "$"
// and hexadecimal digits BBGGRR), or "#rrggbb". System colours (clWindow, clBtnFace ...) and
// clNone / clDefault have no fixed value outside the window and are refused, as is anything
// else; Error then says why.
std::optional<QRgb> ParseColor(std::string_view Text, std::string& Error);

// auto, numeric, alphanumeric, iso-8859-1, utf-8 (no mark), utf-8-bom (the mark EF BB BF first).
std::optional<TQRCodeEncoding> ParseEncoding(std::string_view Text);

// L, M, Q or H in either case.
std::optional<TQRCodeECLevel> ParseECLevel(std::string_view Text);
// A batch cell that switches boost: yes/no, true/false, 1/0 in any case; empty when none of them.
std::optional<bool> ParseSwitch(std::string_view Text);

enum class TOutputFormat { Png, Svg, Pdf, Utf8 };
// "png", "svg", "pdf", "utf8".
std::optional<TOutputFormat> FormatFromName(std::string_view Name);
std::string_view FormatExtension(TOutputFormat Format); // ".png" ...
// The format named by the extension of Path (.png, .svg, .pdf in any letter case), if any.
std::optional<TOutputFormat> FormatOfPath(std::string_view Path);

// Checks a name from the batch's file column: one plain file name inside the output folder.
// Refused: empty, "." or "..", any "/" (so no absolute path and no sub-folder), a NUL or other
// control character, invalid UTF-8, longer than 255 bytes, a leading "." or "-" (hidden files,
// names read as options), and the manifest's own name. Answers the reason, or "".
std::string CheckFileName(std::string_view Name);
