#include "render/Judge.h"

#include "render/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

TMessage Number(double Value) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%g", std::round(Value * 10) / 10);
  return PlainUtf8(Text);
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

TMessage PixelsAModule(double Value) {
  return Say(QT_TRANSLATE_NOOP("Messages", "%1 pixels a module"), {Number(Value)});
}

std::vector<TJudgedSize> PrintSizes(double MmPerModule) {
  std::vector<TJudgedSize> Sizes;
  for (const int Dpi : {96, 150, 200, 254, 300})
    Sizes.push_back({MmPerModule / 25.4 * Dpi,
                     Say(QT_TRANSLATE_NOOP("Messages", "%1 dpi"), {PlainUtf8(std::to_string(Dpi))}),
                     QImage()});
  const double Coarse = Sizes.front().PixelsPerModule * 0.75;
  const double Fine = Sizes.back().PixelsPerModule * 1.5;
  Sizes.push_back({Coarse, PixelsAModule(Coarse), QImage()});
  Sizes.push_back({Fine, PixelsAModule(Fine), QImage()});
  return Readable(std::move(Sizes));
}

std::vector<TJudgedSize> PixelSizes(int Scale, const QImage& Own) {
  std::vector<TJudgedSize> Sizes;
  Sizes.push_back({static_cast<double>(Scale),
                   Say(QT_TRANSLATE_NOOP("Messages", "the file's own pixels")), Own});
  for (const double Factor : {0.75, 1.5})
    Sizes.push_back({Scale * Factor, PixelsAModule(Scale * Factor), QImage()});
  return Readable(std::move(Sizes));
}

TVerdict VerifyAtSizes(const TModuleGrid& Grid, const TCodeStyle& Style,
                       const std::string& Expected, const std::vector<TJudgedSize>& Sizes) {
  if (Sizes.empty()) return Verify(RenderRaster(Grid, Style, Grid.Side * 4), Expected, Style);
  TMessage Failed;
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
    case TVerdictKind::Borderline: {
      TMessage Here = Say(QT_TRANSLATE_NOOP("Messages", "%1 at %2"), {Verdict.Reason, Size.Name});
      Failed = Failed ? Say(QT_TRANSLATE_NOOP("Messages", "%1, %2"), {Failed, Here}) : Here;
    } break;
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
    First.Reason =
        Say(Sizes.size() == 1 ? QT_TRANSLATE_NOOP("Messages", "%1 (at the size judged)")
                              : QT_TRANSLATE_NOOP("Messages", "%1 (at every size judged)"),
            {First.Reason});
    return First;
  }
  return TVerdict{TVerdictKind::Borderline,
                  Say(QT_TRANSLATE_NOOP("Messages", "borderline: %1"), {Failed})};
}
