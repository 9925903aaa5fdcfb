#include "render/Judge.h"

#include "render/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::string Number(double Value) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%g", std::round(Value * 10) / 10);
  return Text;
}

// Sizes below the minimum left out, the largest kept when every one is below.
std::vector<TJudgedSize> Readable(std::vector<TJudgedSize> Sizes) {
  std::sort(Sizes.begin(), Sizes.end(), [](const TJudgedSize& A, const TJudgedSize& B) {
    return A.PixelsPerModule < B.PixelsPerModule;
  });
  std::vector<TJudgedSize> Kept;
  for (TJudgedSize& Size : Sizes)
    if (Size.PixelsPerModule >= kMinJudgedPixelsPerModule) Kept.push_back(std::move(Size));
  if (Kept.empty() && !Sizes.empty()) Kept.push_back(std::move(Sizes.back()));
  return Kept;
}

} // namespace

std::vector<TJudgedSize> PrintSizes(double MmPerModule) {
  std::vector<TJudgedSize> Sizes;
  for (const int Dpi : {96, 150, 200, 254, 300})
    Sizes.push_back({MmPerModule / 25.4 * Dpi, std::to_string(Dpi) + " dpi", QImage()});
  const double Coarse = Sizes.front().PixelsPerModule * 0.75;
  const double Fine = Sizes.back().PixelsPerModule * 1.5;
  Sizes.push_back({Coarse, Number(Coarse) + " pixels a module", QImage()});
  Sizes.push_back({Fine, Number(Fine) + " pixels a module", QImage()});
  return Readable(std::move(Sizes));
}

std::vector<TJudgedSize> PixelSizes(int Scale, const QImage& Own) {
  std::vector<TJudgedSize> Sizes;
  Sizes.push_back({static_cast<double>(Scale), "the file's own pixels", Own});
  for (const double Factor : {0.75, 1.5})
    Sizes.push_back({Scale * Factor, Number(Scale * Factor) + " pixels a module", QImage()});
  return Readable(std::move(Sizes));
}

TVerdict VerifyAtSizes(const TModuleGrid& Grid, const TCodeStyle& Style,
                       const std::string& Expected, const std::vector<TJudgedSize>& Sizes) {
  if (Sizes.empty()) return Verify(RenderRaster(Grid, Style, Grid.Side * 4), Expected, Style);
  std::string Failed;
  TVerdict First;
  int Exact = 0;
  for (const TJudgedSize& Size : Sizes) {
    QImage Picture = Size.Picture;
    if (Picture.isNull()) {
      const double Side = std::min<double>(kMaxJudgedSide, Grid.Side * Size.PixelsPerModule);
      Picture = RenderRaster(Grid, Style, static_cast<int>(std::lround(Side)));
    }
    const TVerdict Verdict = Verify(Picture, Expected, Style);
    switch (Verdict.Kind) {
    case TVerdictKind::Exact:
      ++Exact;
      break;
    case TVerdictKind::OtherBytes:
    case TVerdictKind::NothingFound:
    case TVerdictKind::OutOfMemory:
    case TVerdictKind::Borderline:
      Failed += (Failed.empty() ? "" : ", ") + Verdict.Reason + " at " + Size.Name;
      break;
    case TVerdictKind::WeakContrast: // the colours: the same at every size
    case TVerdictKind::Inverted:
    case TVerdictKind::WeakFinderContrast:
    case TVerdictKind::InvertedFinder:
      return Verdict;
    }
    if (&Size == &Sizes.front()) First = Verdict;
  }
  if (Exact == static_cast<int>(Sizes.size())) return First;
  if (Exact == 0) {
    First.Reason +=
        " (at " + std::string(Sizes.size() == 1 ? "the size" : "every size") + " judged)";
    return First;
  }
  return TVerdict{TVerdictKind::Borderline, "borderline: " + Failed};
}
