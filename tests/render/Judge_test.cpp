// The verdict at several sizes: a code that reads at every size is Exact, one lost at some sizes
// is Borderline and names them, one lost at all keeps its own kind; the colours decide first.
// The sizes of print and of a PNG file.
#include "render/Code.h"
#include "render/Judge.h"
#include "render/Raster.h"

#include <gtest/gtest.h>

namespace {

TCode Sample(const TCodeStyle& Style) {
  return MakeCode(u"https://example.org/judged", qrAuto, Style, ecM);
}

QImage Blank(int Side) {
  QImage Picture(Side, Side, QImage::Format_RGB32);
  Picture.fill(Qt::white);
  return Picture;
}

} // namespace

TEST(VerifyAtSizes, AllSomeOrNoneReadBack) {
  const TCodeStyle Style;
  const TCode Code = Sample(Style);
  const QImage Good = RenderRaster(Code.Grid, Style, Code.Grid.Side * 4);
  EXPECT_EQ(VerifyAtSizes(Code.Grid, Style, Code.Bytes, PrintSizes(1.0)).Kind, TVerdictKind::Exact);

  const TVerdict Some = VerifyAtSizes(Code.Grid, Style, Code.Bytes,
                                      {{4, PixelsAModule(4), Good},
                                       {3, PlainUtf8("96 dpi"), Blank(100)},
                                       {8, PlainUtf8("300 dpi"), Blank(300)}});
  EXPECT_EQ(Some.Kind, TVerdictKind::Borderline);
  EXPECT_EQ(Some.Reason.Utf8(), "borderline: nothing found at 96 dpi, nothing found at 300 dpi");

  const TVerdict None =
      VerifyAtSizes(Code.Grid, Style, Code.Bytes,
                    {{3, PlainUtf8("a"), Blank(90)}, {4, PlainUtf8("b"), Blank(120)}});
  EXPECT_EQ(None.Kind, TVerdictKind::NothingFound);
  EXPECT_EQ(None.Reason.Utf8(), "nothing found (at every size judged)");

  TCodeStyle Pale;
  Pale.Dark = qRgb(0xdd, 0xdd, 0xdd);
  const TVerdict Colours = VerifyAtSizes(Code.Grid, Pale, Code.Bytes, PrintSizes(1.0));
  EXPECT_EQ(Colours.Kind, TVerdictKind::WeakContrast);
}

TEST(VerifyAtSizes, PrintAndPixelSizes) {
  const std::vector<TJudgedSize> Print = PrintSizes(1.0);
  std::vector<std::string> Names;
  for (const TJudgedSize& Size : Print)
    Names.push_back(Size.Name.Utf8());
  EXPECT_EQ(Names, (std::vector<std::string>{"2.8 pixels a module", "96 dpi", "150 dpi", "200 dpi",
                                             "254 dpi", "300 dpi", "17.7 pixels a module"}));
  EXPECT_NEAR(Print[1].PixelsPerModule, 96 / 25.4, 1e-9);
  // 0.3 mm a module: what falls below two pixels a module is not judged.
  for (const TJudgedSize& Size : PrintSizes(0.3))
    EXPECT_GE(Size.PixelsPerModule, kMinJudgedPixelsPerModule) << Size.Name.Utf8();
  EXPECT_EQ(PrintSizes(0.3).front().Name.Utf8(), "200 dpi");
  EXPECT_EQ(PrintSizes(0.05).size(), 1u); // the largest, when none reaches two pixels

  const QImage Own = Blank(10);
  const std::vector<TJudgedSize> Png = PixelSizes(8, Own);
  ASSERT_EQ(Png.size(), 3u);
  EXPECT_EQ(Png[0].PixelsPerModule, 6);
  EXPECT_EQ(Png[1].Name.Utf8(), "the file's own pixels");
  EXPECT_EQ(Png[1].Picture.size(), Own.size());
  EXPECT_EQ(Png[2].PixelsPerModule, 12);
}
