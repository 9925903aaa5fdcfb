// The values the batch and marbeck-cli read from cells and options: colours, the encoding, the
// output format, and the names of output files.
#pragma once

#include "encoder/Mode.h"
#include "render/CodeStyle.h"
#include "render/Logo.h"
#include "render/PictureFormats.h"

#include <QRgb>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A colour as the settings store writes it (a name such as clNavy in any letter case, or "$"
// and hexadecimal digits BBGGRR), or "#rrggbb". System colours (clWindow, clBtnFace ...) and
// clNone / clDefault have no fixed value outside the window and are refused, as is anything
// else; Error then says why.
std::optional<QRgb> ParseColor(std::string_view Text, std::string& Error);

// auto, numeric, alphanumeric, iso-8859-1, utf-8 (no mark), utf-8-bom (the mark EF BB BF first),
// utf-8-eci (the ECI designator 26 first).
std::optional<TQRCodeEncoding> ParseEncoding(std::string_view Text);

// L, M, Q or H in either case.
std::optional<TQRCodeECLevel> ParseECLevel(std::string_view Text);
// A batch cell that switches boost: yes/no, true/false, 1/0 in any case; empty when none of them.
std::optional<bool> ParseSwitch(std::string_view Text);

// square, dots or rounded; square or rounded (finder patterns); in any letter case.
std::optional<TModuleShape> ParseShape(std::string_view Text);
std::optional<TFinderShape> ParseFinderShape(std::string_view Text);

// The design of a code as text, from the options (--shape ...) or a batch row's cells (shape
// ...); an empty text leaves the style's setting as it is.
struct TDesignText {
  std::string Logo;        // a file name; the loader finds it
  std::string LogoSize;    // 5 to 30 (% of the symbol's side)
  std::string Shape;       // square, dots, rounded
  std::string FinderShape; // square, rounded
  std::string FinderColor; // as ParseColor reads it
};

// Sets Style's design from Text. ReadLogo reads a logo file (the batch keeps each file it read).
// Answers "" or why a value is refused, naming it with Prefix ("--" for options, "" for columns):
// "--shape: \"stars\" (square, dots or rounded)", "logo: cannot use a.png: no such file".
std::string ApplyDesign(const TDesignText& Text, std::string_view Prefix,
                        const std::function<TLogoLoad(const std::string&)>& ReadLogo,
                        TCodeStyle& Style);

// Checks a name from the batch's file column: one plain file name inside the output folder.
// Refused: empty, "." or "..", any "/" or "\\" (so no absolute path and no sub-folder, on Windows
// and in its ZIP extractors too), a drive ("C:..."), a NUL or other
// control character, invalid UTF-8, longer than 255 bytes, a leading "." or "-" (hidden files,
// names read as options), and the manifest's own name. Answers the reason, or "".
std::string CheckFileName(std::string_view Name);
