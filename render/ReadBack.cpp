#include "render/ReadBack.h"

#include "render/Grey.h"
#include "render/Scan.h"

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

TReadBack ReadBack(const QImage& Picture, const std::string& Expected) {
  TReadBack Answer;
  if (Picture.isNull() || Picture.width() <= 0 || Picture.height() <= 0) return Answer;
  const std::vector<unsigned char> Grey = GreyPicture(Picture);
  const std::vector<TFoundCode> Found = FindCodes(Grey, Picture.width(), Picture.height());
  if (!Found.empty()) {
    Answer.Bytes = Found.front().Bytes;
    Answer.Result = Found.size() == 1 && Answer.Bytes == Expected ? TReadBackResult::Exact
                                                                  : TReadBackResult::OtherBytes;
  }
  return Answer;
}

TMessage ContrastReason(double Ratio) {
  // Cut, not rounded: a ratio just below 3 must not read "3.00 : 1". The small allowance keeps a
  // ratio that is 1.07 in decimal from showing as 1.06 after binary rounding.
  const long long Hundredths = static_cast<long long>(std::floor(Ratio * 100 + 1e-9));
  const long long Cents = Hundredths % 100;
  return Say(QT_TRANSLATE_NOOP("Messages", "contrast %1 : 1"),
             {PlainUtf8(std::to_string(Hundredths / 100) + "." + (Cents < 10 ? "0" : "") +
                        std::to_string(Cents))});
}

namespace {

// The finder colour's failure as a verdict, or nothing when it passes or is not set.
std::optional<TVerdict> FinderColourVerdict(const TCodeStyle& Style) {
  if (!Style.FinderColor) return std::nullopt;
  const TContrast Finder = ContrastOf(*Style.FinderColor, Style.Light);
  if (Finder.Ratio < MinimumContrast)
    return TVerdict{
        TVerdictKind::WeakFinderContrast,
        Say(QT_TRANSLATE_NOOP("Messages", "finder %1"), {ContrastReason(Finder.Ratio)})};
  if (Finder.Inverted)
    return TVerdict{TVerdictKind::InvertedFinder,
                    Say(QT_TRANSLATE_NOOP("Messages", "inverted finder colour"))};
  return std::nullopt;
}

} // namespace

TMessage FinderColourReason(const TCodeStyle& Style) {
  const std::optional<TVerdict> Finder = FinderColourVerdict(Style);
  return Finder ? Finder->Reason : TMessage();
}

TVerdict OutOfMemoryVerdict() {
  return TVerdict{TVerdictKind::OutOfMemory,
                  Say(QT_TRANSLATE_NOOP("Messages", "the check ran out of memory"))};
}

TVerdict Verify(const QImage& Picture, const std::string& Expected, const TCodeStyle& Style) {
  const TContrast Colours = ContrastOf(Style.Dark, Style.Light);
  if (Colours.Ratio < MinimumContrast)
    return TVerdict{TVerdictKind::WeakContrast, ContrastReason(Colours.Ratio)};
  if (Colours.Inverted)
    return TVerdict{TVerdictKind::Inverted, Say(QT_TRANSLATE_NOOP("Messages", "inverted colours"))};
  if (std::optional<TVerdict> Finder = FinderColourVerdict(Style)) return std::move(*Finder);
  switch (ReadBack(Picture, Expected).Result) {
  case TReadBackResult::Exact:
    return TVerdict{TVerdictKind::Exact, {}};
  case TReadBackResult::OtherBytes:
    return TVerdict{TVerdictKind::OtherBytes,
                    Say(QT_TRANSLATE_NOOP("Messages", "read back other bytes"))};
  case TReadBackResult::NothingFound:
    break;
  }
  return TVerdict{TVerdictKind::NothingFound, Say(QT_TRANSLATE_NOOP("Messages", "nothing found"))};
}
