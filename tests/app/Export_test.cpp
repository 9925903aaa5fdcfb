// Pictures that leave the window: Save QR-Code As in each format, read back by readers nobody
// here wrote (zbar on the PNG, rsvg-convert on the SVG, poppler on the PDF), the file-name rule,
// the overwrite question, a failed write, a text too long; the clipboard's bitmap and SVG; the
// printout through a PDF printer; the drag out of the preview.
#include "support/OutsideReaders.h"
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

const QString kPng = QStringLiteral("PNG picture, at the zoom size (*.png)");
const QString kSvg = QStringLiteral("SVG vector picture, 1 mm per module (*.svg)");
const QString kPdf = QStringLiteral("PDF document, 1 mm per module (*.pdf)");

void ShowURL(TForm1& F, const QString& Url) {
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(Url);
}

QByteArray FileBytes(const QString& Path) {
  QFile File(Path);
  if (!File.open(QIODevice::ReadOnly)) return QByteArray();
  return File.readAll();
}

std::filesystem::path FsPath(const QString& Path) {
  return std::filesystem::path(Path.toStdString());
}

// The smallest rectangle holding every pixel that is not white.
QRect InkBox(const QImage& Page) {
  int Left = Page.width(), Top = Page.height(), Right = -1, Bottom = -1;
  for (int Y = 0; Y < Page.height(); ++Y)
    for (int X = 0; X < Page.width(); ++X)
      if ((Page.pixel(X, Y) & 0xffffffu) != 0xffffffu) {
        Left = std::min(Left, X);
        Right = std::max(Right, X);
        Top = std::min(Top, Y);
        Bottom = std::max(Bottom, Y);
      }
  return Right < 0 ? QRect() : QRect(QPoint(Left, Top), QPoint(Right, Bottom));
}

} // namespace

TEST_F(TWindowTest, SaveAsWritesEachFormatAndOutsideReadersReadItBack) {
  TForm1& F = Form();
  const QString Url = QStringLiteral("https://example.org/save-as");
  ShowURL(F, QStringLiteral("typed, not generated"));
  F.Frame->setChecked(true);
  F.TrackBar1->setValue(3);
  F.ScrollBar1->setValue(333);
  F.EditURL->setText(Url); // edited after the last pass: the save makes the code afresh

  SaveAnswers = {Folder() + QStringLiteral("/code"), Folder() + QStringLiteral("/code"),
                 Folder() + QStringLiteral("/code.pdf")};
  FilterAnswers = {kPng, kSvg, kPdf};
  for (int I = 0; I < 3; ++I)
    F.SaveQRCodeAs1->trigger();
  EXPECT_TRUE(Errors.empty()) << Errors.front().toStdString();
  ASSERT_EQ(Filters.size(), 3u);
  EXPECT_EQ(Filters[0], kPng + QStringLiteral(";;") + kSvg + QStringLiteral(";;") + kPdf);
  EXPECT_EQ(PreselectedFilters, (std::vector<QString>{kPng, kPng, kSvg}))
      << "the dialog starts at the filter chosen last";
  const int Side = Picture().width(); // the code of the last save
  ASSERT_GT(Side, 0);

  // PNG: the preview at the zoom size, as zbar reads it.
  const QImage Png(Folder() + QStringLiteral("/code.png"), "PNG");
  ASSERT_FALSE(Png.isNull());
  EXPECT_EQ(Png.size(), QSize(333, 333));
  EXPECT_EQ(PictureDifference(Png, F.Image1->grab().toImage()), "");
  EXPECT_EQ(DecodePicture(Png, 1), Url.toStdString());

  // SVG: 1 mm per module; rsvg-convert at one pixel per module gives the preview's own pixels.
  const QString SvgPath = Folder() + QStringLiteral("/code.svg");
  const QByteArray Svg = FileBytes(SvgPath);
  EXPECT_TRUE(Svg.contains(QStringLiteral("width=\"%1mm\"").arg(Side).toUtf8()))
      << Svg.left(300).toStdString();
  EXPECT_EQ(PictureDifference(RasteriseSvgWithRsvg(FsPath(SvgPath), Side, Side), Picture()), "");
  EXPECT_EQ(DecodePicture(RasteriseSvgWithRsvg(FsPath(SvgPath), 4 * Side, 4 * Side), 1),
            Url.toStdString());

  // PDF: one page Side mm square, read by poppler and zbar.
  const QString PdfPath = Folder() + QStringLiteral("/code.pdf");
  EXPECT_FALSE(QFile::exists(Folder() + QStringLiteral("/code.pdf.pdf")));
  const TToolRun Info = RunTool(QStringLiteral("pdfinfo"), {PdfPath});
  ASSERT_EQ(Info.ExitCode, 0) << Info.Err.toStdString();
  const double Points = Side * 72 / 25.4;
  EXPECT_TRUE(Info.Out.contains(
      QStringLiteral("%1 x %1 pts").arg(QString::number(Points, 'g', 6)).toUtf8()))
      << Info.Out.toStdString();
  EXPECT_EQ(DecodePicture(RasterisePdfWithPoppler(FsPath(PdfPath), 4 * Side, 4 * Side), 1),
            Url.toStdString());
}

TEST_F(TWindowTest, SaveAsAppliesTheFilterExtensionAndAsksBeforeOverwritingTheFinalName) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("HELLO"));
  struct TCase {
    QString Typed, Filter, Final;
  };
  const TCase Cases[] = {
      {QStringLiteral("a.svg"), kPng, QStringLiteral("a.svg.png")},
      {QStringLiteral("b.PDF"), kPdf, QStringLiteral("b.pdf")},
      {QStringLiteral("c.png"), kSvg, QStringLiteral("c.png.svg")},
  };
  for (const TCase& Case : Cases) {
    SaveAnswers.push_back(Folder() + QLatin1Char('/') + Case.Typed);
    FilterAnswers.push_back(Case.Filter);
    F.SaveQRCodeAs1->trigger();
    EXPECT_TRUE(QFile::exists(Folder() + QLatin1Char('/') + Case.Final))
        << Case.Final.toStdString();
  }
  EXPECT_TRUE(OverwriteQuestions.empty());

  // "c.png" with the SVG filter again: the question names the final file, and a refusal opens
  // the dialog again.
  const QString Final = Folder() + QStringLiteral("/c.png.svg");
  const QByteArray Old = FileBytes(Final);
  F.EditURL->setText(QStringLiteral("OTHER"));
  SaveAnswers = {Folder() + QStringLiteral("/c.png"), std::nullopt};
  FilterAnswers = {kSvg};
  OverwriteAnswers = {false};
  F.SaveQRCodeAs1->trigger();
  EXPECT_EQ(OverwriteQuestions, std::vector<QString>{Final});
  EXPECT_EQ(FileBytes(Final), Old) << "refused: the older file stays as it was";
  EXPECT_TRUE(SaveAnswers.empty()) << "the dialog came back after the refusal";

  SaveAnswers = {Folder() + QStringLiteral("/c.png")};
  OverwriteAnswers = {true};
  F.SaveQRCodeAs1->trigger();
  EXPECT_NE(FileBytes(Final), Old);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(TWindowTest, SaveAsIntoAFolderThatCannotExistReportsItAndWritesNothing) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("HELLO"));
  const QString Plain = Folder() + QStringLiteral("/plain");
  {
    QFile File(Plain);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
  }
  // A regular file stands where the folder should be: even root cannot create the file.
  SaveAnswers = {Plain + QStringLiteral("/code")};
  FilterAnswers = {kSvg};
  F.SaveQRCodeAs1->trigger();
  EXPECT_EQ(Errors, std::vector<QString>{QStringLiteral("Cannot create file \"%1\". %2")
                                             .arg(Plain + QStringLiteral("/code.svg"),
                                                  QString::fromLocal8Bit(std::strerror(ENOTDIR)))});
  EXPECT_EQ(FileBytes(Plain), QByteArray());
}

TEST_F(TWindowTest, TextTooLongSavesAndPrintsNothingAndTheNoteSaysWhy) {
  TForm1& F = Form();
  ShowURL(F, QString(3000, QLatin1Char('a')));
  // No dialog may open: the fixture fails on an unexpected save or print dialog.
  F.SaveQRCodeAs1->trigger();
  F.Print1->trigger();
  EXPECT_TRUE(Filters.empty());
  EXPECT_TRUE(PrintDialogSides.empty());
  EXPECT_TRUE(F.NoteLabel->isVisible());
  EXPECT_EQ(F.NoteLabel->text(),
            QStringLiteral("Too long for a QR code: 3,000 bytes; at most 2,953 fit."));
  EXPECT_TRUE(Errors.empty());
}

TEST_F(TWindowTest, ClipboardCarriesTheBitmapAndTheSamePictureAsSvg) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("https://example.org/clip"));
  F.Frame->setChecked(true);
  ChooseColor(F.FrameColor, QColor(200, 0, 0));
  ChooseColor(F.BackColor, QColor(255, 250, 230));
  F.ScrollBar1->setValue(192);
  F.CopyToClipboardBtn->click();
  ASSERT_EQ(Clipboard.size(), 1u);
  ASSERT_EQ(ClipboardSvg.size(), 1u);
  const QByteArray& Svg = ClipboardSvg[0];
  ASSERT_FALSE(Svg.isEmpty());
  // As large as the bitmap on a 96 dpi screen: 192 px = 50.8 mm.
  EXPECT_TRUE(Svg.contains("width=\"50.8mm\"")) << Svg.left(300).toStdString();

  const std::filesystem::path Path = FsPath(Folder() + QStringLiteral("/clip.svg"));
  ASSERT_TRUE(WriteFileBytes(Path, Svg));
  const int Side = Picture().width();
  EXPECT_EQ(PictureDifference(RasteriseSvgWithRsvg(Path, Side, Side), Picture()), "")
      << "the SVG is the preview's picture, colours and frame marks included";
  EXPECT_EQ(DecodePicture(Clipboard[0], 1), "https://example.org/clip");

  // Without a symbol nothing is copied: neither a bitmap nor an SVG.
  F.EditURL->setText(QString(3000, QLatin1Char('a')));
  F.CopyToClipboardBtn->click();
  EXPECT_EQ(Clipboard.size(), 1u);
  EXPECT_EQ(ClipboardSvg.size(), 1u);
}

TEST_F(TWindowTest, PrintPutsTheCodeCentredAtTheSetSizeAndKeepsTheSize) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("https://example.org/print"));
  ChooseColor(F.BackColor, QColor(255, 255, 170)); // the quiet zone shows on white paper
  const QString Path = Folder() + QStringLiteral("/printed.pdf");
  PrintAnswer = [&](QPrinter& Printer, int& SideMm) {
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(Path);
    Printer.setPageSize(QPageSize(QPageSize::A4));
    Printer.setPageOrientation(QPageLayout::Portrait);
    SideMm = 40;
    return true;
  };
  F.Print1->trigger();
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(PrintDialogSides, std::vector<int>{50}) << "50 mm at first";

  // A4 at 10 pixels a millimetre: the code is 400 pixels, centred.
  const QImage Page = RasterisePdfWithPoppler(FsPath(Path), 2100, 2970);
  ASSERT_FALSE(Page.isNull());
  const QRect Ink = InkBox(Page);
  EXPECT_NEAR(Ink.width(), 400, 2);
  EXPECT_NEAR(Ink.height(), 400, 2);
  EXPECT_NEAR(Ink.center().x(), 1050, 2);
  EXPECT_NEAR(Ink.center().y(), 1485, 2);
  EXPECT_EQ(DecodePicture(Page.copy(Ink.adjusted(-20, -20, 20, 20)), 1),
            "https://example.org/print");
  const TToolRun Images = RunTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), Path});
  EXPECT_EQ(Images.Out.count('\n'), 2)
      << "a header of two lines and no image: " << Images.Out.toStdString();

  // The size is kept between runs; a size larger than the page is refused, nothing printed.
  Reopen();
  ShowURL(Form(), QStringLiteral("https://example.org/print"));
  QFile::remove(Path);
  PrintAnswer = [&](QPrinter& Printer, int& SideMm) {
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(Path);
    Printer.setPageSize(QPageSize(QPageSize::A4));
    SideMm = 300;
    return true;
  };
  Form().Print1->trigger();
  EXPECT_EQ(PrintDialogSides, (std::vector<int>{50, 40}));
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_TRUE(Errors[0].startsWith(QStringLiteral("A code of 300 mm does not fit on the page")))
      << Errors[0].toStdString();
  EXPECT_FALSE(QFile::exists(Path));

  PrintAnswer = [](QPrinter&, int&) { return false; }; // cancelled
  Form().Print1->trigger();
  EXPECT_EQ(Errors.size(), 1u);
}

TEST_F(TWindowTest, DraggingThePreviewOffersAPngFileTheSvgAndTheImage) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("https://example.org/drag"));
  F.CreateCodeBtn->click();
  F.ScrollBar1->setValue(120);
  QMouseEvent Press(QEvent::MouseButtonPress, QPointF(10, 10),
                    F.Image1->mapToGlobal(QPointF(10, 10)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(F.Image1, &Press);
  QMouseEvent Move(QEvent::MouseMove, QPointF(60, 60), F.Image1->mapToGlobal(QPointF(60, 60)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(F.Image1, &Move);
  ASSERT_EQ(Drags.size(), 1u);
  const QMimeData& Data = *Drags[0];
  ASSERT_EQ(Data.urls().size(), 1);
  const QString File = Data.urls()[0].toLocalFile();
  EXPECT_TRUE(File.endsWith(QStringLiteral(".png")));
  const QImage Png(File, "PNG");
  EXPECT_EQ(PictureDifference(Png, F.Image1->grab().toImage()), "") << "what the preview shows";
  EXPECT_EQ(DecodePicture(Png, 1), "https://example.org/drag");
  EXPECT_TRUE(Data.hasFormat(QStringLiteral("image/svg+xml")));
  EXPECT_TRUE(Data.data(QStringLiteral("image/svg+xml")).contains("<svg"));
  EXPECT_TRUE(Data.hasImage());
}
