// The SVG text: its shape as an XML document, and what two outside renderers (rsvg-convert and
// Qt's QSvgRenderer) make of it: the raster picture pixel for pixel, and zbar reads the payload.
#include "RenderTable.h"
#include "render/Raster.h"
#include "render/Svg.h"
#include "support/OutsideReaders.h"
#include "support/TempFolder.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <map>

namespace {

QImage RenderWithQt(const std::string& Svg, int Side) {
  QSvgRenderer Renderer(QByteArray::fromStdString(Svg));
  if (!Renderer.isValid()) return QImage();
  QImage Picture(Side, Side, QImage::Format_ARGB32);
  Picture.fill(Qt::transparent);
  QPainter Painter(&Picture);
  Renderer.render(&Painter, QRectF(0, 0, Side, Side));
  Painter.end();
  return Picture;
}

QImage RenderWithRsvg(const std::string& Svg, int Side) {
  TTempFolder Folder;
  const std::filesystem::path File = Folder.Path() / "code.svg";
  if (!WriteFileBytes(File, QByteArray::fromStdString(Svg))) return QImage();
  return RasteriseSvgWithRsvg(File, Side, Side);
}

// The elements of the document with their attributes, in order; fails on text that is not
// well-formed XML.
struct TElement {
  std::string Name;
  std::map<std::string, std::string> Attributes;
  std::string Text;
};

std::vector<TElement> ParseSvg(const std::string& Svg) {
  std::vector<TElement> Elements;
  QXmlStreamReader Reader(QByteArray::fromStdString(Svg));
  bool InLast = false; // between the start and the end tag of the last element read
  while (!Reader.atEnd()) {
    Reader.readNext();
    if (Reader.isEndElement()) InLast = false;
    if (Reader.isStartElement()) {
      InLast = true;
      TElement Element;
      Element.Name = Reader.name().toString().toStdString();
      for (const QXmlStreamAttribute& A : Reader.attributes())
        Element.Attributes[A.name().toString().toStdString()] = A.value().toString().toStdString();
      Elements.push_back(Element);
    } else if (Reader.isCharacters() && InLast) {
      Elements.back().Text += Reader.text().toString().toStdString();
    }
  }
  EXPECT_FALSE(Reader.hasError()) << Reader.errorString().toStdString();
  return Elements;
}

// Rasterised at one pixel per module, both renderers give the raster picture exactly: colours,
// quiet zone, marks. Qt's renderer on every style and version, rsvg-convert (a process per case)
// on every style once.
TEST(SvgTable, QtDrawsTheRasterPicturePixelForPixel) {
  for (const TTableCase& Case : AllCases()) {
    SCOPED_TRACE(CaseLabel(Case));
    const TCodeStyle& Style = StyleTable()[Case.StyleIndex].Style;
    const TCode Code = TableCode(Case.Version, Style);
    const std::string Svg = RenderSvg(Code.Grid, Style, 1.0, "Text");
    EXPECT_EQ(PictureDifference(RenderWithQt(Svg, Code.Grid.Side), RenderModules(Code.Grid, Style)),
              "");
  }
}

class SvgRsvg : public testing::TestWithParam<TTableCase> {};

TEST_P(SvgRsvg, RsvgDrawsTheRasterPicturePixelForPixel) {
  const TCodeStyle& Style = StyleTable()[GetParam().StyleIndex].Style;
  const TCode Code = TableCode(GetParam().Version, Style);
  const std::string Svg = RenderSvg(Code.Grid, Style, 1.0, "Text");
  EXPECT_EQ(PictureDifference(RenderWithRsvg(Svg, Code.Grid.Side), RenderModules(Code.Grid, Style)),
            "");
}

INSTANTIATE_TEST_SUITE_P(Styles, SvgRsvg, testing::ValuesIn(RotatingCases()), CaseName);

class SvgReadBack : public testing::TestWithParam<TTableCase> {};

// At two pixels per module, zbar reads the payload's exact bytes from either renderer's picture.
TEST_P(SvgReadBack, ZbarReadsThePayloadFromBothRenderers) {
  const TCodeStyle& Style = StyleTable()[GetParam().StyleIndex].Style;
  const TCode Code = TableCode(GetParam().Version, Style);
  const std::string Svg = RenderSvg(Code.Grid, Style, 0.5, "Text");
  const int Side = Code.Grid.Side * 2;
  const std::string Payload = PayloadOfVersion(GetParam().Version);
  EXPECT_EQ(DecodePicture(RenderWithQt(Svg, Side)).value_or("<nothing>"), Payload);
  EXPECT_EQ(DecodePicture(RenderWithRsvg(Svg, Side)).value_or("<nothing>"), Payload);
}

INSTANTIATE_TEST_SUITE_P(Styles, SvgReadBack, testing::ValuesIn(RotatingCases(1)), CaseName);

TEST(RenderSvg, OneRectangleOneDarkPathOneMarkPathAndTheAttributes) {
  const TCodeStyle Style = StyleTable()[6].Style; // frame5: dark green, light ivory, marks navy
  const TCode Code = TableCode(10, Style);
  const std::string Svg = RenderSvg(Code.Grid, Style, 0.5, "URL <a&b> \"x\"\x01");
  const std::vector<TElement> Elements = ParseSvg(Svg);
  ASSERT_EQ(Elements.size(), 5u);
  const std::string Side = std::to_string(Code.Grid.Side); // 57 + 8 = 65 modules
  ASSERT_EQ(Side, "65");

  const TElement& Root = Elements[0];
  EXPECT_EQ(Root.Name, "svg");
  EXPECT_EQ(Root.Attributes.at("version"), "1.1");
  EXPECT_EQ(Root.Attributes.at("viewBox"), "0 0 65 65");
  EXPECT_EQ(Root.Attributes.at("width"), "32.5mm");
  EXPECT_EQ(Root.Attributes.at("height"), "32.5mm");
  EXPECT_EQ(Root.Attributes.at("shape-rendering"), "crispEdges");

  EXPECT_EQ(Elements[1].Name, "title");
  EXPECT_EQ(Elements[1].Text, "URL <a&b> \"x\""); // escaped in the file, the control dropped

  const TElement& Light = Elements[2];
  EXPECT_EQ(Light.Name, "rect");
  EXPECT_EQ(Light.Attributes.at("width"), "65");
  EXPECT_EQ(Light.Attributes.at("height"), "65");
  EXPECT_EQ(Light.Attributes.at("fill"), "#fffff0");

  const TElement& Dark = Elements[3];
  EXPECT_EQ(Dark.Name, "path");
  EXPECT_EQ(Dark.Attributes.at("stroke"), "#104010");
  // Merged runs: one "h" per run of dark modules, far fewer than the dark modules.
  const std::string& D = Dark.Attributes.at("d");
  const long Runs = std::count(D.begin(), D.end(), 'h');
  long DarkModules = std::count(Code.Grid.Cells.begin(), Code.Grid.Cells.end(), 1);
  long ExpectedRuns = 0;
  for (int Row = 0; Row < Code.Grid.Side; ++Row)
    for (int Column = 0; Column < Code.Grid.Side; ++Column)
      ExpectedRuns += Code.Grid.IsDark(Row, Column) && !Code.Grid.IsDark(Row, Column - 1);
  EXPECT_EQ(Runs, ExpectedRuns);
  EXPECT_LT(Runs * 3, DarkModules * 2);

  const TElement& Marks = Elements[4];
  EXPECT_EQ(Marks.Name, "path");
  EXPECT_EQ(Marks.Attributes.at("fill"), "#123456");
}

TEST(RenderSvg, WidthFollowsTheMillimetresPerModule) {
  const TCode Code = TableCode(1, TCodeStyle{}); // 23 modules
  for (const auto& [Mm, Text] : std::vector<std::pair<double, std::string>>{
           {1.0, "23mm"}, {0.25, "5.75mm"}, {1.0 / 3.0, "7.6667mm"}, {12.5, "287.5mm"}}) {
    const std::vector<TElement> Elements = ParseSvg(RenderSvg(Code.Grid, TCodeStyle{}, Mm, "T"));
    ASSERT_FALSE(Elements.empty());
    EXPECT_EQ(Elements[0].Attributes.at("width"), Text);
  }
}

TEST(RenderSvg, NothingForAnEmptyGridOrAnImpossibleSize) {
  EXPECT_EQ(RenderSvg(TModuleGrid{}, TCodeStyle{}, 1.0, "T"), "");
  const TCode Code = TableCode(1, TCodeStyle{});
  for (const double Mm : {0.0, -1.0, std::nan(""), HUGE_VAL})
    EXPECT_EQ(RenderSvg(Code.Grid, TCodeStyle{}, Mm, "T"), "") << Mm;
}

TEST(RenderSvg, AllLightGridHasNoDarkPathAndStillRenders) {
  TCodeStyle Style;
  Style.QuietZone = 3;
  const TCode Code = MakeCode(std::u16string(3000, u'x'), qrAuto, Style); // too long
  ASSERT_TRUE(Code.DataTooLong);
  const std::string Svg = RenderSvg(Code.Grid, Style, 1.0, "T");
  const std::vector<TElement> Elements = ParseSvg(Svg);
  ASSERT_EQ(Elements.size(), 3u);
  EXPECT_EQ(Elements[2].Name, "rect");
  EXPECT_EQ(PictureDifference(RenderWithRsvg(Svg, 6), RenderModules(Code.Grid, Style)), "");
}

} // namespace
