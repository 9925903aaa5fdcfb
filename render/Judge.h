// Whether a code scans as people will see it: at more than one size. A picture that reads back at
// four pixels a module may be lost at the size a screen or a printer gives it, and the other way
// round (a logo's edge falling between pixels, dots shrinking to grey), so the verdict of the
// outputs is taken at several sizes: the one verdict (render/ReadBack.h) at each, and together
// Exact only when every size reads back exactly, Borderline when some do and others do not.
// Thread-safe; needs no display.
#pragma once

#include "render/Code.h"
#include "render/CodeStyle.h"
#include "render/ReadBack.h"

#include <QImage>
#include <string>
#include <vector>

struct TJudgedSize {
  double PixelsPerModule = 4;
  TMessage Name; // for the reason: "96 dpi", "8 pixels a module"
  // The picture to read at this size, when there is one already (a PNG file's own pixels);
  // otherwise the code is drawn at PixelsPerModule.
  QImage Picture;
};

// The name of a size of Value pixels a module ("8 pixels a module", "1.5 pixels a module").
TMessage PixelsAModule(double Value);

// Below this a module has too few pixels for any reader: such sizes are not judged.
inline constexpr double kMinJudgedPixelsPerModule = 2.0;
// The largest side drawn for a size, in pixels; a larger size is drawn at this side.
inline constexpr int kMaxJudgedSide = 4000;

// The printed size at the common screen and printer resolutions (96, 150, 200, 254 and 300
// dots an inch) of a code of MmPerModule, and a coarser (three quarters of the smallest) and a
// finer one (one and a half times the largest); sizes below kMinJudgedPixelsPerModule are left
// out, all but the largest when every one is below.
std::vector<TJudgedSize> PrintSizes(double MmPerModule);
// A picture of Scale pixels a module: its own pixels (Own), and a coarser (three quarters) and a
// finer (one and a half times) drawing, as above.
std::vector<TJudgedSize> PixelSizes(int Scale, const QImage& Own = QImage());

// The verdict on Grid drawn in Style at every size in Sizes. The colour checks come first, as in
// Verify; then Exact when every size reads back exactly, Borderline when at least one does and
// another does not ("borderline: nothing found at 96 dpi, nothing found at 150 dpi"), and otherwise
// the first size's own verdict. No sizes: the verdict at four pixels a module.
TVerdict VerifyAtSizes(const TModuleGrid& Grid, const TCodeStyle& Style,
                       const std::string& Expected, const std::vector<TJudgedSize>& Sizes);
