// One code from payload to picture bytes, the way every batch row and marbeck-cli command makes it:
// the payload is encoded by MakeCode, drawn by the render/ routine of the output format, and, when
// asked, read back by the shared verdict.
#pragma once

#include "batch/KindEncoding.h"
#include "batch/Options.h"
#include "payload/PayloadParse.h" // TKind
#include "render/Code.h"
#include "render/CodeStyle.h"
#include "render/ReadBack.h"

#include <optional>
#include <string>

struct TPictureRequest {
  TOutputFormat Format = TOutputFormat::Svg;
  TQRCodeEncoding Encoding = qrAuto;
  TQRCodeECLevel ECLevel = ecL;
  bool Boost = false; // raise the level as far as the same version holds
  TCodeStyle Style;
  int Scale = 8;            // PNG: pixels per module
  double MmPerModule = 1.0; // SVG, PDF
  std::string Title;        // SVG <title>, PDF title
  bool Verify = false;
  // Terminal drawing: the terminal's text colour draws the dark modules (for dark text on a
  // light background) instead of the light ones.
  bool InkDarkModules = false;
  // No file: the picture is the module grid itself, for a caller that paints it (label sheets).
  bool GridOnly = false;
};

struct TPicture {
  std::string Bytes;               // the file's content (or the terminal drawing); empty on failure
  TModuleGrid Grid;                // with GridOnly: the modules, quiet zone included
  TCodeStyle Style;                // with GridOnly: the style to paint them in (a row's design)
  std::string Error;               // why nothing was made: the text is too long, a writer failed
  int Version = 0;                 // 0 when no symbol
  TQRCodeECLevel Level = ecL;      // the level the symbol was made at (the asked one when none)
  std::size_t PayloadBytes = 0;    // the bytes the symbol carries
  std::optional<TVerdict> Verdict; // the read-back's, when asked to verify
  std::string Warning;             // colours that phones may not read, when not asked to verify
};

// Why the terminal drawing (one character cell per two modules) cannot show a design.
inline constexpr char kTerminalRefusesDesign[] =
    "the terminal drawing shows plain modules only: --shape, --finder-shape, --finder-color and "
    "--logo need a PNG, SVG or PDF file (-o FILE)";

// Why phones may not read a code in Style's colours (too little contrast, or inverted, of the
// dark or the finder colour against the light one), or "".
std::string ColourWarning(const TCodeStyle& Style);

// Whether Picture failed the read-back it was asked for; NotVerifiedMessage says why.
bool FailedVerify(const TPicture& Picture);
// "not verified: nothing found", "not verified: contrast 1.07 : 1" ...
std::string NotVerifiedMessage(const TPicture& Picture);

// Thread-safe: every call builds its own encoder, images and decoder.
TPicture MakePicture(const std::u16string& Payload, const TPictureRequest& Request);
