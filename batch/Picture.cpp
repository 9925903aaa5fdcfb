#include "batch/Picture.h"

#include "render/Code.h"
#include "render/Contrast.h"
#include "render/Judge.h"
#include "render/Pdf.h"
#include "render/Raster.h"
#include "render/ReadBack.h"
#include "render/Svg.h"
#include "render/Terminal.h"

#include <QString>
#include <cmath>
#include <cstdio>

namespace {

// Pixels per module of the picture read back for the terminal drawing.
constexpr int kReadBackScale = 4;
// The largest PNG side in pixels (a picture of 400 MB at 4 bytes a pixel).
constexpr int kMaxPngSide = 10000;

} // namespace

std::string ColourWarning(const TCodeStyle& Style) {
  const TContrast Contrast = ContrastOf(Style.Dark, Style.Light);
  if (Contrast.Ratio < MinimumContrast)
    return ContrastReason(Contrast.Ratio).Utf8() +
           ", at least 3 : 1 is needed; phones may not read it";
  if (Contrast.Inverted)
    return "inverted colours: many phone readers do not read light modules on a dark background";
  if (const std::string Finder = FinderColourReason(Style).Utf8(); !Finder.empty())
    return Finder + " (at least 3 : 1 against the light colour is needed); phones may not read it";
  return "";
}

bool FailedVerify(const TPicture& Picture) {
  if (!Picture.Verdict) return false;
  // Every kind is named, so that a new kind of verdict is decided here rather than by default.
  switch (Picture.Verdict->Kind) {
  case TVerdictKind::Exact:
    return false;
  case TVerdictKind::WeakContrast:
  case TVerdictKind::Inverted:
  case TVerdictKind::WeakFinderContrast:
  case TVerdictKind::InvertedFinder:
  case TVerdictKind::OtherBytes:
  case TVerdictKind::NothingFound:
  case TVerdictKind::OutOfMemory:
  case TVerdictKind::Borderline: // good only when every size reads back
    return true;
  }
  return true;
}

std::string NotVerifiedMessage(const TPicture& Picture) {
  return "not verified: " + (Picture.Verdict ? Picture.Verdict->Reason.Utf8() : std::string());
}

TPicture MakePicture(const std::u16string& Payload, const TPictureRequest& Request) {
  TPicture Picture;
  const TCode Code =
      MakeCode(Payload, Request.Encoding, Request.Style, Request.ECLevel, Request.Boost);
  Picture.Level = Code.Level;
  if (Code.DataTooLong) {
    Picture.Error = TooLongMessage(Code, TMessageForm::Error).Utf8();
    return Picture;
  }
  if (Code.Grid.Side == 0 || Code.Version == 0) {
    Picture.Error = "nothing to encode";
    return Picture;
  }
  const std::string& Carried = Code.Bytes; // what a reader gives back
  Picture.Version = Code.Version;
  Picture.PayloadBytes = Carried.size();

  QImage Raster; // the picture to read back
  if (Request.GridOnly) {
    Picture.Grid = Code.Grid;
    Picture.Style = Request.Style;
  } else {
    switch (Request.Format) {
    case TOutputFormat::Png: {
      if (static_cast<long long>(Code.Grid.Side) * Request.Scale > kMaxPngSide) {
        Picture.Error = "a PNG of " + std::to_string(Code.Grid.Side * Request.Scale) +
                        " pixels a side is too large (at most " + std::to_string(kMaxPngSide) +
                        "); give a smaller --scale";
        return Picture;
      }
      Raster = RenderRaster(Code.Grid, Request.Style, Code.Grid.Side * Request.Scale);
      const QByteArray Png = EncodePng(Raster);
      Picture.Bytes.assign(Png.constData(), static_cast<std::size_t>(Png.size()));
      // What is read back is the file itself, decoded again.
      if (Request.Verify) Raster = QImage::fromData(Png, "PNG");
      break;
    }
    case TOutputFormat::Svg:
      Picture.Bytes = RenderSvg(Code.Grid, Request.Style, Request.MmPerModule, Request.Title);
      break;
    case TOutputFormat::Pdf: {
      const double SideMm = Code.Grid.Side * Request.MmPerModule;
      const double MaxMm = kMaxPdfPagePoints * 25.4 / 72.0;
      if (SideMm > MaxMm) {
        char Why[200];
        std::snprintf(Why, sizeof Why,
                      "a PDF page of %.0f mm a side is too large (at most %.0f mm, PDF's largest "
                      "page); give a --mm-per-module of at most %.2f for these %d modules",
                      SideMm, MaxMm, std::floor(MaxMm / Code.Grid.Side * 100) / 100,
                      Code.Grid.Side);
        Picture.Error = Why;
        return Picture;
      }
      const QByteArray Pdf = RenderPdf(Code.Grid, Request.Style, Request.MmPerModule,
                                       QString::fromStdString(Request.Title));
      Picture.Bytes.assign(Pdf.constData(), static_cast<std::size_t>(Pdf.size()));
      break;
    }
    case TOutputFormat::Utf8:
      if (Request.Style.HasDesign()) {
        Picture.Error = kTerminalRefusesDesign;
        return Picture;
      }
      Picture.Bytes =
          RenderHalfBlocks(Code.Grid, Request.InkDarkModules ? THalfBlockInk::DarkModules
                                                             : THalfBlockInk::LightModules);
      break;
    }
    if (Picture.Bytes.empty()) {
      Picture.Error = "the picture could not be drawn";
      return Picture;
    }
  }

  if (Request.Verify) {
    // As people will see it: a PNG at its own pixels and a coarser and a finer size, a vector
    // picture at its printed size at the common resolutions, and each good only when all read.
    std::vector<TJudgedSize> Sizes;
    if (!Request.GridOnly && Request.Format == TOutputFormat::Png)
      Sizes = PixelSizes(Request.Scale, Raster);
    else if (Request.GridOnly || Request.Format == TOutputFormat::Svg ||
             Request.Format == TOutputFormat::Pdf)
      Sizes = PrintSizes(Request.MmPerModule);
    else
      Sizes = {{kReadBackScale, PixelsAModule(kReadBackScale), QImage()}};
    Picture.Verdict = VerifyAtSizes(Code.Grid, Request.Style, Carried, Sizes);

  } else {
    Picture.Warning = ColourWarning(Request.Style);
  }
  return Picture;
}
