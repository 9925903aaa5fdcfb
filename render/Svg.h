// The code as SVG 1.1 text: a vector picture that stays sharp at any size, small enough for a
// version-40 symbol to travel on the clipboard. No Qt, no display.
#pragma once

#include "render/Code.h"
#include "render/CodeStyle.h"

#include <string>

// SVG 1.1 text (UTF-8) of Grid in Style:
// - viewBox in modules ("0 0 Side Side"), width and height in millimetres: Side * MmPerModule;
// - shape-rendering="crispEdges" on the root;
// - the light area (quiet zone included) as one <rect> in Style.Light;
// - every dark module in ONE <path>: merged horizontal runs, each a stroke one module wide
//   along the middle of its row (the path moved down half a module), in Style.Dark; no path
//   when no module is dark;
// - with Style.Frame, the corner marks as one filled <path> in Style.FrameColor, the same
//   modules as DrawFrameMarks colours at one pixel per module;
// - colours as #rrggbb, and <title> holding TitleUtf8 (XML-escaped; characters XML 1.0 does not
//   allow are dropped).
// A designed style (TCodeStyle::Designed) instead gives the shapes of render/Design.h: the dark
// modules as one filled path in Style.Dark, the finder patterns as one filled path in
// Style.FinderDark(), the logo as an <image> whose data address holds the SVG file (kept vector)
// or a PNG of the bitmap; a shaped style has no crispEdges, so curves stay smooth.
// At one pixel per module a plain picture is RenderModules' picture. Answers an empty string for an
// empty grid or a MmPerModule that is not a positive finite number.
std::string RenderSvg(const TModuleGrid& Grid, const TCodeStyle& Style, double MmPerModule,
                      const std::string& TitleUtf8);
