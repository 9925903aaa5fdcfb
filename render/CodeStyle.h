// How a code is drawn, whatever the output: the colours, the quiet zone, the frame marks, and the
// design (module shape, finder patterns, logo). The window builds it from its controls,
// marbeck-cli from its options; both hand the same value to the same routines, so equal settings
// give equal pictures.
#pragma once

#include <QRgb>
#include <memory>
#include <optional>

struct TLogo; // render/Logo.h

// How each dark module is drawn.
enum TModuleShape {
  msSquare,  // a square a module wide: the plain picture
  msDots,    // a circle in each dark module
  msRounded, // dark modules joined, the outer corners of each group rounded
};

// How the three finder patterns (the 7 x 7 corner squares) are drawn.
enum TFinderShape {
  fsSquare,  // as modules
  fsRounded, // rounded ring and rounded centre
};

inline constexpr int kMinLogoPercent = 5;
inline constexpr int kMaxLogoPercent = 30;
inline constexpr int kDefaultLogoPercent = 20;

struct TCodeStyle {
  QRgb Dark = qRgb(0, 0, 0);        // dark modules (system colours already resolved)
  QRgb Light = qRgb(255, 255, 255); // light modules and the quiet zone
  int QuietZone = 1;  // the quiet zone in modules, as chosen (the window's "Spacing": 1..9)
  bool Frame = false; // corner marks on the quiet zone's outermost ring
  int MarkLength = 0; // 0..10: each arm of a mark is MarkLength + 3 modules
  QRgb FrameColor = qRgb(0, 0, 0);

  TModuleShape Shape = msSquare;
  TFinderShape FinderShape = fsSquare;
  std::optional<QRgb> FinderColor; // the finder patterns' colour; nothing: Dark
  // The picture drawn in the middle (loaded by LoadLogo), or nothing. Shared: a style is copied
  // to every output and to the read-back worker, the picture never is.
  std::shared_ptr<const TLogo> Logo;
  int LogoPercent = kDefaultLogoPercent; // the logo's longer side, in % of the symbol's side

  // The quiet zone handed to the encoder: the chosen one, plus one module for the frame marks.
  int QuietZoneWithFrame() const { return QuietZone + (Frame ? 1 : 0); }
  QRgb FinderDark() const { return FinderColor.value_or(Dark); }
  // Whether the picture needs more than one colour per module (shapes or a logo): then it is
  // painted at its final size rather than stretched from one pixel per module.
  bool PaintedAtFinalSize() const {
    return Shape != msSquare || FinderShape != fsSquare || Logo != nullptr;
  }
  // Anything beyond the plain picture: the outputs that cannot draw it (the terminal) refuse it.
  bool HasDesign() const { return PaintedAtFinalSize() || FinderColor.has_value(); }

  bool operator==(const TCodeStyle&) const = default;
};
