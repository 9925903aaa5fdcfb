// Logo files: any bytes, read as a PNG, JPEG or SVG logo, are either refused with a reason or
// give a picture of a sane size that every output draws without a fault. What a bitmap claims to
// hold is checked before it is decoded, so the fuzzer's memory limit is never reached.
#include "FuzzInput.h"
#include "render/Code.h"
#include "render/Logo.h"
#include "render/Raster.h"
#include "render/Svg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
  const TLogoLoad Load = LogoFromBytes(Bytes, QStringLiteral("fuzz"));
  FUZZ_CHECK((Load.Logo == nullptr) != Load.Error.Empty());
  if (!Load.Logo) return 0;
  FUZZ_CHECK(Load.Logo->Size.width() > 0 && Load.Logo->Size.height() > 0);
  FUZZ_CHECK(Load.Logo->Bitmap.width() <= kMaxLogoStoredSide &&
             Load.Logo->Bitmap.height() <= kMaxLogoStoredSide);
  TCodeStyle Style;
  Style.Logo = Load.Logo;
  Style.LogoPercent = kMaxLogoPercent;
  const TCode Code = MakeCode(u"fuzz", qrAuto, Style, ecH);
  FUZZ_CHECK(!RenderRaster(Code.Grid, Style, Code.Grid.Side * 2).isNull());
  FUZZ_CHECK(!RenderSvg(Code.Grid, Style, 1.0, "fuzz").empty());
  return 0;
}
