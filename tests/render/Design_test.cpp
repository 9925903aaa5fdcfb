// Designed codes against readers nobody here wrote: zbar reads every module shape and finder
// shape back at small, middle and large versions; a logo at level H still scans and a large one
// at level L does not; rsvg-convert and poppler's pdftoppm draw the SVG and the PDF of each shape
// with a logo so that zbar reads them; logo files that are broken, missing or huge are refused.
#include "RenderTable.h"
#include "encoder/QRCodeSymbol.h"
#include "render/Design.h"
#include "render/Logo.h"
#include "render/Pdf.h"
#include "render/Raster.h"
#include "render/ReadBack.h"
#include "render/Svg.h"
#include "support/OutsideReaders.h"
#include "support/TempFolder.h"

#include <QBuffer>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const std::pair<TModuleShape, const char*> kShapes[] = {
    {msSquare, "square"}, {msDots, "dots"}, {msRounded, "rounded"}};
const std::pair<TFinderShape, const char*> kFinderShapes[] = {{fsSquare, "square"},
                                                              {fsRounded, "rounded"}};

// A payload of about Bytes bytes of lower-case text (byte mode).
std::u16string TextOf(std::size_t Bytes) {
  static const std::u16string Words = u"the quick brown fox jumps over the lazy dog; marbeck. ";
  std::u16string Text;
  while (Text.size() < Bytes)
    Text += Words;
  Text.resize(Bytes);
  return Text;
}

// The payload length that puts byte mode at Level into Version: the most the version holds.
std::u16string TextOfVersion(int Version, TQRCodeECLevel Level) {
  std::size_t Low = 1, High = 3000;
  while (Low < High) { // the longest text that still fits Version
    const std::size_t Mid = (Low + High + 1) / 2;
    TCodeStyle Style;
    const int Made = MakeCode(TextOf(Mid), qrAuto, Style, Level).Version;
    if (Made != 0 && Made <= Version)
      Low = Mid;
    else
      High = Mid - 1;
  }
  return TextOf(Low);
}

// A colourful bitmap logo: a dark disc on an orange square with a transparent corner, W x H.
std::shared_ptr<const TLogo> BitmapLogo(int W = 120, int H = 80) {
  QImage Picture(W, H, QImage::Format_ARGB32);
  Picture.fill(Qt::transparent);
  {
    QPainter Painter(&Picture);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.fillRect(QRect(0, 0, W * 3 / 4, H), QColor(0xf0, 0x80, 0x20));
    Painter.setBrush(QColor(0x20, 0x20, 0x60));
    Painter.setPen(Qt::NoPen);
    Painter.drawEllipse(QRectF(W * 0.2, H * 0.1, H * 0.8, H * 0.8));
  }
  QByteArray Png;
  QBuffer Buffer(&Png);
  Buffer.open(QIODevice::WriteOnly);
  Picture.save(&Buffer, "PNG");
  const TLogoLoad Load = LogoFromBytes(Png, QStringLiteral("logo.png"));
  EXPECT_EQ(Load.Error.Utf8(), "");
  return Load.Logo;
}

const char kSvgLogo[] = R"(<?xml version="1.0"?>
<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 100 60" width="100" height="60">
  <rect width="60" height="60" rx="10" fill="#f08020"/>
  <circle cx="30" cy="30" r="20" fill="#1060c0"/>
  <path d="M60 10 L90 50 L60 50 Z" fill="#202020"/>
</svg>
)";

std::shared_ptr<const TLogo> SvgLogo() {
  const TLogoLoad Load = LogoFromBytes(QByteArray(kSvgLogo), QStringLiteral("logo.svg"));
  EXPECT_EQ(Load.Error.Utf8(), "");
  return Load.Logo;
}

TCodeStyle DesignStyle(TModuleShape Shape, TFinderShape Finder,
                       std::shared_ptr<const TLogo> Logo = nullptr, int Percent = 20) {
  TCodeStyle Style;
  Style.QuietZone = 4;
  Style.Dark = qRgb(0x10, 0x20, 0x50);
  Style.Light = qRgb(0xff, 0xfc, 0xf0);
  Style.Shape = Shape;
  Style.FinderShape = Finder;
  Style.FinderColor = qRgb(0xb0, 0x10, 0x30);
  Style.Logo = std::move(Logo);
  Style.LogoPercent = Percent;
  return Style;
}

// What the read-back of the picture at 4 pixels a module says.
TReadBackResult ReadAt4(const TCode& Code, const TCodeStyle& Style) {
  return ReadBack(RenderRaster(Code.Grid, Style, Code.Grid.Side * 4), Code.Bytes).Result;
}

} // namespace

// Every module shape with every finder shape, in colours, at versions 1, 10 and 40 at level M.
TEST(DesignReadBack, EveryShapeAndFinderShapeReadsBackAtLevelM) {
  for (const int Version : {1, 10, 40}) {
    const std::u16string Text = TextOfVersion(Version, ecM);
    for (const auto& [Shape, ShapeName] : kShapes)
      for (const auto& [Finder, FinderName] : kFinderShapes) {
        SCOPED_TRACE(std::string(ShapeName) + " modules, " + FinderName + " finders, version " +
                     std::to_string(Version));
        const TCodeStyle Style = DesignStyle(Shape, Finder);
        const TCode Code = MakeCode(Text, qrAuto, Style, ecM);
        ASSERT_EQ(Code.Version, Version);
        EXPECT_EQ(ReadAt4(Code, Style), TReadBackResult::Exact);
      }
  }
}

// A logo of 20 % at level H, bitmap or SVG, on every shape, reads back at versions 2, 10, 25.
TEST(DesignReadBack, TwentyPercentLogoAtLevelHReadsBack) {
  const std::shared_ptr<const TLogo> Logos[] = {BitmapLogo(), SvgLogo()};
  for (const int Version : {2, 10, 25}) {
    const std::u16string Text = TextOfVersion(Version, ecH);
    for (std::size_t I = 0; I < std::size(kShapes); ++I) {
      const auto& [Shape, ShapeName] = kShapes[I];
      SCOPED_TRACE(std::string(ShapeName) + ", version " + std::to_string(Version));
      const TCodeStyle Style = DesignStyle(Shape, fsRounded, Logos[I % 2], 20);
      const TCode Code = MakeCode(Text, qrAuto, Style, ecH);
      ASSERT_EQ(Code.Version, Version);
      EXPECT_EQ(ReadAt4(Code, Style), TReadBackResult::Exact);
      EXPECT_TRUE(
          Verify(RenderRaster(Code.Grid, Style, Code.Grid.Side * 4), Code.Bytes, Style).Verified());
    }
  }
}

// The logo hides the modules under it: at 30 % a level-L code loses more than it can restore,
// and the verdict says so; the same payload and logo at level H scans.
TEST(DesignReadBack, ThirtyPercentLogoFailsAtLevelLAndScansAtLevelH) {
  const std::u16string Text = u"https://example.org/marbeck/designed-codes?id=12345";
  const TCodeStyle Style = DesignStyle(msSquare, fsSquare, BitmapLogo(100, 100), 30);
  const TCode Low = MakeCode(Text, qrAuto, Style, ecL);
  const TVerdict LowVerdict =
      Verify(RenderRaster(Low.Grid, Style, Low.Grid.Side * 4), Low.Bytes, Style);
  EXPECT_FALSE(LowVerdict.Verified());
  EXPECT_NE(LowVerdict.Reason.Utf8(), "");
  const TCode High = MakeCode(Text, qrAuto, Style, ecH);
  EXPECT_TRUE(
      Verify(RenderRaster(High.Grid, Style, High.Grid.Side * 4), High.Bytes, Style).Verified());
}

// The pad: centred on whole modules, one module wider than the logo on every side, the modules
// under it light in every output, the logo's aspect kept.
TEST(DesignLayout, PadIsCentredWholeModulesOneWiderThanTheLogo) {
  for (const int Percent : {5, 20, 30}) {
    SCOPED_TRACE(Percent);
    const TCodeStyle Style = DesignStyle(msSquare, fsSquare, BitmapLogo(120, 80), Percent);
    const TCode Code = MakeCode(TextOfVersion(10, ecH), qrAuto, Style, ecH);
    const TDesignLayout Layout = DesignLayoutOf(Code.Grid, Style);
    const int N = 57; // version 10
    ASSERT_EQ(Layout.SymbolSide, N);
    EXPECT_NEAR(Layout.LogoRect.width(), N * Percent / 100.0, 1e-9);
    EXPECT_NEAR(Layout.LogoRect.height() / Layout.LogoRect.width(), 80.0 / 120.0, 1e-9);
    EXPECT_NEAR(Layout.LogoRect.center().x(), Code.Grid.Side / 2.0, 1e-9);
    EXPECT_EQ(Layout.Pad.left() - 4, N - 1 - (Layout.Pad.right() - 4)); // centred
    EXPECT_GE(Layout.LogoRect.left() - Layout.Pad.left(), 1 - 1e-9);
    EXPECT_LT(Layout.LogoRect.left() - Layout.Pad.left(), 2.0);
    EXPECT_GE(Layout.LogoRect.top() - Layout.Pad.top(), 1 - 1e-9);
    // Every module under the pad is drawn light: a dark module's middle there would show the
    // dark colour in the picture (outside the logo).
    const QImage Picture = RenderRaster(Code.Grid, Style, Code.Grid.Side * 8);
    for (int Row = Layout.Pad.top(); Row <= Layout.Pad.bottom(); ++Row)
      for (int Column = Layout.Pad.left(); Column <= Layout.Pad.right(); ++Column) {
        if (Layout.LogoRect.adjusted(-0.5, -0.5, 0.5, 0.5).contains(Column + 0.5, Row + 0.5))
          continue;
        EXPECT_EQ(Picture.pixel(Column * 8 + 4, Row * 8 + 4), Style.Light | 0xff000000u)
            << Row << "," << Column;
      }
  }
}

// Finder colour: the finder patterns' dark modules take it in the module picture and in the
// shaped one; the verdict checks its contrast too.
TEST(DesignColours, FinderColourIsDrawnAndChecked) {
  TCodeStyle Style;
  Style.FinderColor = qRgb(0xc0, 0x00, 0x00);
  const TCode Code = MakeCode(u"finder", qrAuto, Style);
  const int Q = Style.QuietZoneWithFrame();
  const QImage Modules = RenderModules(Code.Grid, Style);
  EXPECT_EQ(Modules.pixel(Q, Q), 0xffc00000u);         // finder corner
  EXPECT_EQ(Modules.pixel(Q + 3, Q + 3), 0xffc00000u); // finder centre
  EXPECT_EQ(Modules.pixel(Q + 1, Q + 1), 0xffffffffu); // finder ring's inside
  Style.Shape = msDots;
  const QImage Dots = RenderRaster(Code.Grid, Style, Code.Grid.Side * 10);
  EXPECT_EQ(Dots.pixel((Q + 3) * 10 + 5, (Q + 3) * 10 + 5), 0xffc00000u);
  EXPECT_TRUE(Verify(Dots, Code.Bytes, Style).Verified());

  Style.FinderColor = qRgb(0xe0, 0xe0, 0x80); // pale yellow on white
  EXPECT_EQ(Verify(Dots, Code.Bytes, Style).Reason.Utf8(), "finder contrast 1.38 : 1");
  EXPECT_EQ(Verify(Dots, Code.Bytes, Style).Kind, TVerdictKind::WeakFinderContrast);
  // White finders on mid grey (#808080, 3.95 : 1): enough contrast, but lighter than the light.
  Style.Light = qRgb(0x80, 0x80, 0x80);
  Style.Dark = qRgb(0x00, 0x00, 0x00);
  Style.FinderColor = qRgb(0xff, 0xff, 0xff);
  EXPECT_EQ(Verify(Dots, Code.Bytes, Style).Reason.Utf8(), "inverted finder colour");
  EXPECT_EQ(Verify(Dots, Code.Bytes, Style).Kind, TVerdictKind::InvertedFinder);
  Style.Light = qRgb(0x00, 0x00, 0x00);
  Style.Dark = qRgb(0x00, 0x00, 0x00);
  Style.FinderColor.reset();
  EXPECT_EQ(FinderColourReason(Style).Utf8(), "");
}

// rsvg-convert draws the SVG, and poppler's pdftoppm the PDF, of every shape with a logo (an SVG
// logo kept as vector, a bitmap one as PNG data) so that zbar reads the exact bytes.
TEST(DesignFiles, RsvgAndPdftoppmDrawEveryShapeWithALogoReadably) {
  TTempFolder Folder;
  const std::u16string Text = TextOfVersion(10, ecH);
  const std::shared_ptr<const TLogo> Logos[] = {SvgLogo(), BitmapLogo()};
  for (const auto& [Shape, ShapeName] : kShapes)
    for (const auto& Logo : Logos) {
      SCOPED_TRACE(std::string(ShapeName) + (Logo->IsSvg() ? ", SVG logo" : ", PNG logo"));
      const TCodeStyle Style = DesignStyle(Shape, fsRounded, Logo, 20);
      const TCode Code = MakeCode(Text, qrAuto, Style, ecH);
      const int Side = Code.Grid.Side * 5;

      const std::string Svg = RenderSvg(Code.Grid, Style, 1.0, "Designed");
      EXPECT_NE(Svg.find(Logo->IsSvg() ? "data:image/svg+xml;base64," : "data:image/png;base64,"),
                std::string::npos);
      const std::filesystem::path SvgFile = Folder.Path() / "code.svg";
      ASSERT_TRUE(WriteFileBytes(SvgFile, QByteArray::fromStdString(Svg)));
      const QImage FromRsvg = RasteriseSvgWithRsvg(SvgFile, Side, Side);
      EXPECT_EQ(ReadBack(FromRsvg, Code.Bytes).Result, TReadBackResult::Exact);
      // The logo is drawn: its middle is not the light colour.
      const QPoint Middle(Side / 2, Side / 2);
      EXPECT_NE(FromRsvg.pixel(Middle) & 0xffffffu, Style.Light & 0xffffffu);

      const std::filesystem::path PdfFile = Folder.Path() / "code.pdf";
      ASSERT_TRUE(
          WriteFileBytes(PdfFile, RenderPdf(Code.Grid, Style, 1.0, QStringLiteral("Designed"))));
      const QImage FromPoppler = RasterisePdfWithPoppler(PdfFile, Side, Side);
      EXPECT_EQ(ReadBack(FromPoppler, Code.Bytes).Result, TReadBackResult::Exact);
      EXPECT_NE(FromPoppler.pixel(Middle) & 0xffffffu, Style.Light & 0xffffffu);
    }
}

// A bad logo file is refused with a reason; the check of a huge picture happens before a pixel
// is decoded (Qt itself would refuse to allocate 400 MB, but with no reason worth showing).
TEST(LoadLogo, BrokenMissingHugeAndForeignFilesAreRefusedWithAReason) {
  TTempFolder Folder;
  const auto Write = [&](const char* Name, const QByteArray& Bytes) {
    const std::filesystem::path Path = Folder.Path() / Name;
    EXPECT_TRUE(WriteFileBytes(Path, Bytes));
    return QString::fromStdString(Path.string());
  };
  QByteArray HugePng;
  {
    QImage Huge(10000, 10000, QImage::Format_Mono);
    Huge.fill(0);
    QBuffer Buffer(&HugePng);
    Buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Huge.save(&Buffer, "PNG"));
  }
  QByteArray Truncated;
  {
    QBuffer Buffer(&Truncated);
    Buffer.open(QIODevice::WriteOnly);
    BitmapLogo()->Bitmap.save(&Buffer, "PNG");
    Truncated.truncate(Truncated.size() / 2);
  }
  const struct {
    QString Path;
    std::string Reason;
  } Cases[] = {
      {QString::fromStdString((Folder.Path() / "gone.png").string()), "no such file"},
      {QString::fromStdString(Folder.Path().string()), "not a file"},
      {Write("huge.png", HugePng), "too large: 10000 x 10000 pixels (at most 4096 x 4096)"},
      {Write("text.png", "just some text"), "not a PNG, JPEG or SVG picture"},
      {Write("gif.gif", QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14)),
       "not a PNG, JPEG or SVG picture"},
      {Write("broken.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect"),
       "a damaged SVG picture"},
      {Write("sizeless.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>"),
       "an SVG picture without a size"},
      {Write("logo.svgz", QByteArray("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8)),
       "a compressed SVG (.svgz): save it as plain SVG"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Path.toStdString());
    const TLogoLoad Load = LoadLogo(Case.Path);
    EXPECT_EQ(Load.Logo, nullptr);
    EXPECT_EQ(Load.Error.Utf8(), Case.Reason);
  }
  // A truncated PNG gives a damaged picture (Qt's reader may still hand out the rows it got).
  const TLogoLoad Cut = LoadLogo(Write("cut.png", Truncated));
  if (!Cut.Logo) {
    EXPECT_EQ(Cut.Error.Utf8().rfind("a damaged picture", 0), 0u) << Cut.Error.Utf8();
  }
  // A good file loads, and a large bitmap is kept at most kMaxLogoStoredSide a side.
  QByteArray Big;
  {
    QImage Picture(3000, 1500, QImage::Format_RGB32);
    Picture.fill(Qt::darkBlue);
    QBuffer Buffer(&Big);
    Buffer.open(QIODevice::WriteOnly);
    Picture.save(&Buffer, "JPEG");
  }
  const TLogoLoad Good = LoadLogo(Write("big.jpg", Big));
  ASSERT_NE(Good.Logo, nullptr) << Good.Error.Utf8();
  EXPECT_EQ(Good.Logo->Bitmap.size(), QSize(1024, 512));
  EXPECT_EQ(Good.Logo->Size, QSizeF(1024, 512));
  // A JPEG cut short is refused, wherever the cut falls (Qt would draw it with a grey band).
  for (const qsizetype Keep : {Big.size() / 3, Big.size() * 2 / 3, Big.size() - 2}) {
    const TLogoLoad Short = LoadLogo(Write("cut.jpg", Big.left(Keep)));
    EXPECT_EQ(Short.Logo, nullptr) << Keep;
    EXPECT_EQ(Short.Error.Utf8(), "a damaged picture (cut short)") << Keep;
  }
}

// pdfimages finds a PNG logo stored without loss (Flate, listed as "image") in the PDF, not as
// JPEG, whose flat colours band.
TEST(DesignFiles, APngLogoIsLosslessInThePdf) {
  TTempFolder Folder;
  const QString Path = QString::fromStdString((Folder.Path() / "logo.pdf").string());
  const TCodeStyle Style = DesignStyle(msSquare, fsSquare, BitmapLogo(), 20);
  const TCode Code = MakeCode(TextOfVersion(5, ecH), qrAuto, Style, ecH);
  ASSERT_TRUE(WriteFileBytes(Folder.Path() / "logo.pdf",
                             RenderPdf(Code.Grid, Style, 1.0, QStringLiteral("Logo"))));
  const TToolRun Images = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), Path});
  ASSERT_EQ(Images.ExitCode, 0);
  const QStringList Lines = QString::fromUtf8(Images.Out).split(u'\n', Qt::SkipEmptyParts);
  ASSERT_GE(Lines.size(), 3) << Images.Out.toStdString();
  for (qsizetype I = 2; I < Lines.size(); ++I) { // page num type width height color comp bpc enc
    const QStringList Columns = Lines[I].simplified().split(u' ');
    ASSERT_GT(Columns.size(), 8);
    EXPECT_EQ(Columns[8], QStringLiteral("image")) << Lines[I].toStdString();
  }
}
