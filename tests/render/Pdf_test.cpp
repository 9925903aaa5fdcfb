// The PDF page and the painting behind it: poppler's tools (pdfinfo, pdfimages, pdftoppm) read
// the file, and the page rasterised at one pixel per module is the raster picture.
#include "RenderTable.h"
#include "render/Pdf.h"
#include "render/Raster.h"
#include "support/OutsideReaders.h"
#include "support/TempFolder.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The PDF of Code written to a file in Folder.
std::filesystem::path WritePdf(const TTempFolder& Folder, const TCode& Code,
                               const TCodeStyle& Style, double MmPerModule,
                               const QString& Title = QStringLiteral("Text")) {
  const QByteArray Pdf = RenderPdf(Code.Grid, Style, MmPerModule, Title);
  EXPECT_TRUE(Pdf.startsWith("%PDF-"));
  const std::filesystem::path File = Folder.Path() / "code.pdf";
  EXPECT_TRUE(WriteFileBytes(File, Pdf));
  return File;
}

// The same shapes painted into a picture by Qt's raster engine: at one pixel per module the
// raster picture, at three pixels the stretched one.
TEST(PdfTable, PaintCodeOnAPictureIsTheRasterPicture) {
  for (const TTableCase& Case : AllCases()) {
    SCOPED_TRACE(CaseLabel(Case));
    const TCodeStyle& Style = StyleTable()[Case.StyleIndex].Style;
    const TCode Code = TableCode(Case.Version, Style);
    for (const int Scale : {1, 3}) {
      const int Side = Code.Grid.Side * Scale;
      QImage Picture(Side + 4, Side + 4, QImage::Format_RGB32);
      Picture.fill(qRgb(1, 2, 3));
      QPainter Painter(&Picture);
      Painter.setBrush(Qt::red); // the painter's own state must neither matter nor change
      PaintCode(Painter, QRectF(2, 2, Side, Side), Code.Grid, Style);
      EXPECT_EQ(Painter.brush().color(), QColor(Qt::red));
      Painter.end();
      EXPECT_EQ(
          PictureDifference(Picture.copy(2, 2, Side, Side), RenderRaster(Code.Grid, Style, Side)),
          "")
          << Scale;
      EXPECT_EQ(Picture.pixel(1, 1), qRgb(1, 2, 3)); // nothing outside the target
      EXPECT_EQ(Picture.pixel(Side + 2, Side + 2), qRgb(1, 2, 3));
    }
  }
}

// Poppler's two rasterisers, a process each per case: every style once.
class PdfPoppler : public testing::TestWithParam<TTableCase> {};

// pdftocairo at one pixel per module gives the raster picture exactly; pdftoppm at four pixels per
// module has every module's centre in the module's colour (its edges may blur, see
// RasterisePdfWithPoppler).
TEST_P(PdfPoppler, PopplerDrawsTheRasterPicture) {
  const TCodeStyle& Style = StyleTable()[GetParam().StyleIndex].Style;
  const TCode Code = TableCode(GetParam().Version, Style);
  const int Side = Code.Grid.Side;
  TTempFolder Folder;
  const std::filesystem::path File = WritePdf(Folder, Code, Style, 1.0);
  const QImage Expected = RenderModules(Code.Grid, Style);
  EXPECT_EQ(PictureDifference(RasterisePdfWithPoppler(File, Side, Side, TPdfRasteriser::Pdftocairo),
                              Expected),
            "");
  const QImage Splash = RasterisePdfWithPoppler(File, Side * 4, Side * 4);
  ASSERT_EQ(Splash.size(), QSize(Side * 4, Side * 4));
  QImage Centres(Side, Side, QImage::Format_RGB32);
  for (int Y = 0; Y < Side; ++Y)
    for (int X = 0; X < Side; ++X)
      Centres.setPixel(X, Y, Splash.pixel(X * 4 + 2, Y * 4 + 2));
  EXPECT_EQ(PictureDifference(Centres, Expected), "") << "pdftoppm, module centres";
}

INSTANTIATE_TEST_SUITE_P(Styles, PdfPoppler, testing::ValuesIn(RotatingCases()), CaseName);

class PdfReadBack : public testing::TestWithParam<TTableCase> {};

TEST_P(PdfReadBack, ZbarReadsThePayloadFromThePage) {
  const TCodeStyle& Style = StyleTable()[GetParam().StyleIndex].Style;
  const TCode Code = TableCode(GetParam().Version, Style);
  TTempFolder Folder;
  const std::filesystem::path File = WritePdf(Folder, Code, Style, 0.7);
  const int Side = Code.Grid.Side * 2;
  EXPECT_EQ(DecodePicture(RasterisePdfWithPoppler(File, Side, Side)).value_or("<nothing>"),
            PayloadOfVersion(GetParam().Version));
}

INSTANTIATE_TEST_SUITE_P(Styles, PdfReadBack, testing::ValuesIn(RotatingCases(2)), CaseName);

// pdfinfo: one page of exactly Side * MmPerModule millimetres, the title kept; pdfimages: no
// image in the file. Sides and sizes where whole points would round up and where down.
TEST(RenderPdf, OnePageOfTheExactSizeAndNoImage) {
  struct TCase {
    int QuietZone;
    double MmPerModule;
  };
  for (const TCase Case : {TCase{1, 1.0}, TCase{4, 1.0}, TCase{2, 0.5}, TCase{10, 2.5}}) {
    TCodeStyle Style;
    Style.QuietZone = Case.QuietZone;
    const TCode Code = TableCode(1, Style);
    TTempFolder Folder;
    const std::filesystem::path File =
        WritePdf(Folder, Code, Style, Case.MmPerModule, QStringLiteral("vCard 4.0 – Ünïcode"));
    const QString Path = QString::fromStdString(File.string());

    const TToolRun Info = RunTool(QStringLiteral("pdfinfo"), {Path});
    ASSERT_EQ(Info.ExitCode, 0) << Info.Err.toStdString();
    const QString Text = QString::fromUtf8(Info.Out);
    const QRegularExpressionMatch Size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts")).match(Text);
    ASSERT_TRUE(Size.hasMatch()) << Text.toStdString();
    const double Points = Code.Grid.Side * Case.MmPerModule * 72.0 / 25.4;
    EXPECT_NEAR(Size.captured(1).toDouble(), Points, 0.001) << Text.toStdString();
    EXPECT_NEAR(Size.captured(2).toDouble(), Points, 0.001);
    EXPECT_TRUE(Text.contains(QStringLiteral("Pages:           1"))) << Text.toStdString();
    EXPECT_TRUE(Text.contains(QStringLiteral("Title:           vCard 4.0 – Ünïcode")))
        << Text.toStdString();

    const TToolRun Images = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), Path});
    ASSERT_EQ(Images.ExitCode, 0) << Images.Err.toStdString();
    // Only the two header lines of the list.
    EXPECT_EQ(Images.Out.count('\n'), 2) << Images.Out.toStdString();
    EXPECT_TRUE(Images.Out.startsWith("page   num  type")) << Images.Out.toStdString();
  }
}

TEST(RenderPdf, NothingForAnEmptyGridOrAnImpossibleSize) {
  EXPECT_TRUE(RenderPdf(TModuleGrid{}, TCodeStyle{}, 1.0, QString()).isEmpty());
  const TCode Code = TableCode(1, TCodeStyle{});
  for (const double Mm : {0.0, -2.0, std::nan(""), HUGE_VAL, 1000.0}) // 23 m is beyond PDF's page
    EXPECT_TRUE(RenderPdf(Code.Grid, TCodeStyle{}, Mm, QString()).isEmpty()) << Mm;
  EXPECT_FALSE(RenderPdf(Code.Grid, TCodeStyle{}, 200.0, QString()).isEmpty()); // 4.6 m fits
}

TEST(PaintCode, EmptyGridPaintsNothing) {
  QImage Picture(5, 5, QImage::Format_RGB32);
  Picture.fill(qRgb(9, 9, 9));
  QPainter Painter(&Picture);
  PaintCode(Painter, QRectF(0, 0, 5, 5), TModuleGrid{}, TCodeStyle{});
  Painter.end();
  EXPECT_EQ(Picture.pixel(2, 2), qRgb(9, 9, 9));
}

} // namespace
