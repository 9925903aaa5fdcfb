// The design row: shapes, finder colour and a logo reach the preview, the read-back line judges
// the designed picture, every output carries the design, a logo sets the level to H, and the
// design survives a restart (a logo file that has gone is dropped with a note).
#include "render/Logo.h"
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace {

const QString kUrl = QStringLiteral("https://example.org/marbeck/designed-codes?id=12345");

QString WriteLogo(const QString& Folder, const QString& Name = QStringLiteral("logo.png")) {
  QImage Picture(160, 100, QImage::Format_ARGB32);
  Picture.fill(Qt::transparent);
  {
    QPainter Painter(&Picture);
    Painter.fillRect(QRect(0, 0, 110, 100), QColor(0xf0, 0x80, 0x20));
    Painter.setBrush(QColor(0x14, 0x14, 0x60));
    Painter.setPen(Qt::NoPen);
    Painter.drawEllipse(QRect(50, 10, 80, 80));
  }
  const QString Path = Folder + QLatin1Char('/') + Name;
  EXPECT_TRUE(Picture.save(Path, "PNG"));
  return Path;
}

void ShowURL(TForm1& F, const QString& Url) {
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(Url);
}

} // namespace

TEST_F(TWindowTest, DesignedCodeScansInThePreviewAndEveryOutput) {
  TForm1& F = Form();
  ShowURL(F, kUrl);
  F.ModuleShape->setCurrentIndex(msDots);
  F.FinderShape->setCurrentIndex(fsRounded);
  ChooseColor(F.FinderColor, QColor(0xb0, 0x10, 0x30)); // runs a pass
  EXPECT_FALSE(F.FinderFollowsMatrix());
  OpenAnswers.push_back(WriteLogo(Folder()));
  F.ErrorCorrection->setCurrentIndex(ecL);
  F.LogoBtn->click();
  ASSERT_NE(F.Logo(), nullptr);
  EXPECT_EQ(F.ErrorCorrection->currentIndex(), ecH) << "a logo sets the level to H";
  EXPECT_TRUE(F.NoLogoBtn->isEnabled());
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_TRUE(F.ReadBackLabel->text().startsWith(QStringLiteral("Scans: reads back exactly")))
      << F.ReadBackLabel->text().toStdString();

  // The preview is painted at the zoom, finder patterns in their colour, the logo in the middle.
  const int Zoom = F.ScrollBar1->value();
  ASSERT_EQ(Picture().size(), QSize(Zoom, Zoom));
  EXPECT_EQ(DecodePicture(Picture()), kUrl.toStdString());
  const QRgb Middle = Picture().pixel(Zoom / 2, Zoom / 2);
  EXPECT_NE(Middle, qRgb(0, 0, 0));
  EXPECT_NE(Middle, qRgb(255, 255, 255));
  // Zooming paints it again at the new size.
  F.ScrollBar1->setValue(Zoom + 101);
  EXPECT_EQ(Picture().size(), QSize(Zoom + 101, Zoom + 101));
  EXPECT_EQ(DecodePicture(Picture()), kUrl.toStdString());

  // The clipboard's bitmap and SVG carry the design.
  F.CopyToClipboardBtn->click();
  ASSERT_EQ(Clipboard.size(), 1u);
  EXPECT_EQ(DecodePicture(Clipboard.back()), kUrl.toStdString());
  EXPECT_NE(Clipboard.back().pixel(Zoom / 2 + 50, Zoom / 2 + 50), qRgb(255, 255, 255));
  ASSERT_EQ(ClipboardSvg.size(), 1u);
  EXPECT_TRUE(ClipboardSvg.back().contains("data:image/png;base64,"));
  EXPECT_TRUE(ClipboardSvg.back().contains("fill=\"#b01030\""));

  // A 30 % logo at level L: the line says it does not scan; back at H it scans.
  F.LogoSize->setValue(30); // runs a pass
  F.ErrorCorrection->setCurrentIndex(ecL);
  F.CreateCodeBtn->click();
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_TRUE(F.ReadBackLabel->text().startsWith(QStringLiteral("Does not scan")))
      << F.ReadBackLabel->text().toStdString();
  F.ErrorCorrection->setCurrentIndex(ecH);
  F.CreateCodeBtn->click();
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_TRUE(F.ReadBackLabel->text().startsWith(QStringLiteral("Scans")))
      << F.ReadBackLabel->text().toStdString();

  // "No logo" takes it away; the level stays as the user left it.
  F.NoLogoBtn->click();
  EXPECT_EQ(F.Logo(), nullptr);
  EXPECT_FALSE(F.LogoSize->isEnabled());
  EXPECT_EQ(F.ErrorCorrection->currentIndex(), ecH);
  F.CopyToClipboardBtn->click();
  ASSERT_EQ(ClipboardSvg.size(), 2u);
  EXPECT_FALSE(ClipboardSvg.back().contains("data:image"));
  EXPECT_EQ(DecodePicture(Clipboard.back()), kUrl.toStdString());
}

TEST_F(TWindowTest, AnUnreadableLogoLeavesTheDesignAsItWasWithANote) {
  TForm1& F = Form();
  ShowURL(F, kUrl);
  F.CreateCodeBtn->click();
  QFile Broken(Folder() + QStringLiteral("/broken.png"));
  ASSERT_TRUE(Broken.open(QIODevice::WriteOnly));
  Broken.write("\x89PNG\r\n\x1a\n not a picture");
  Broken.close();
  OpenAnswers.push_back(Broken.fileName());
  F.LogoBtn->click();
  EXPECT_EQ(F.Logo(), nullptr);
  EXPECT_EQ(F.ErrorCorrection->currentIndex(), ecL) << "nothing changed";
  EXPECT_TRUE(F.NoteLabel->isVisible());
  EXPECT_TRUE(F.NoteLabel->text().startsWith(QStringLiteral("The logo broken.png cannot be used")))
      << F.NoteLabel->text().toStdString();
  EXPECT_TRUE(Errors.empty());
  // Cancelling the dialog changes nothing either.
  OpenAnswers.push_back(std::nullopt);
  F.LogoBtn->click();
  EXPECT_EQ(F.Logo(), nullptr);
  EXPECT_EQ(Filters.back(), QStringLiteral("Pictures (*.png *.jpg *.jpeg *.svg)"));
}

TEST_F(TWindowTest, DesignSurvivesARestartAndAGoneLogoIsDropped) {
  TForm1& F = Form();
  const QString Logo = WriteLogo(Folder());
  F.ModuleShape->setCurrentIndex(msRounded);
  F.FinderShape->setCurrentIndex(fsRounded);
  ChooseColor(F.FinderColor, QColor(0, 0x60, 0xa0));
  OpenAnswers.push_back(Logo);
  F.LogoBtn->click();
  F.LogoSize->setValue(25);
  Reopen();
  {
    TForm1& G = Form();
    EXPECT_EQ(G.ModuleShape->currentIndex(), msRounded);
    EXPECT_EQ(G.FinderShape->currentIndex(), fsRounded);
    EXPECT_FALSE(G.FinderFollowsMatrix());
    EXPECT_EQ(G.FinderColor->ShownColor(), QColor(0, 0x60, 0xa0));
    ASSERT_NE(G.Logo(), nullptr);
    EXPECT_EQ(G.Logo()->Path, Logo);
    EXPECT_EQ(G.LogoSize->value(), 25);
    EXPECT_FALSE(G.NoteLabel->isVisible());
    // Choosing the Matrix Color for the finders lets them follow it again.
    ChooseColor(G.FinderColor, G.MatrixColor->ShownColor());
    EXPECT_TRUE(G.FinderFollowsMatrix());
  }
  ASSERT_TRUE(QFile::remove(Logo));
  Reopen();
  TForm1& H = Form();
  EXPECT_EQ(H.Logo(), nullptr);
  EXPECT_TRUE(H.FinderFollowsMatrix());
  EXPECT_TRUE(H.NoteLabel->isVisible());
  EXPECT_TRUE(H.NoteLabel->text().contains(QStringLiteral("was dropped: no such file")))
      << H.NoteLabel->text().toStdString();
  // The gone logo is forgotten: the next start says nothing of it.
  Reopen();
  EXPECT_EQ(Form().Logo(), nullptr);
  EXPECT_FALSE(Form().NoteLabel->isVisible()) << Form().NoteLabel->text().toStdString();
}

// The design row follows the copy button in the tab order; the logo's size and "No logo" take
// the focus only with a logo. Every control of the row has a tool tip.
TEST_F(TWindowTest, TabWalksTheDesignRowAndEveryControlHasATip) {
  TForm1& F = Form();
  ASSERT_TRUE(F.isActiveWindow());
  const auto Walk = [](int Count) {
    std::vector<QWidget*> Focus;
    for (int I = 0; I < Count; ++I) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      Focus.push_back(QApplication::focusWidget());
    }
    return Focus;
  };
  F.CopyToClipboardBtn->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Walk(4),
            (std::vector<QWidget*>{F.ModuleShape, F.FinderShape, F.FinderColor, F.LogoBtn}));
  OpenAnswers.push_back(WriteLogo(Folder()));
  F.LogoBtn->click();
  F.CopyToClipboardBtn->setFocus(Qt::TabFocusReason);
  const std::vector<QWidget*> WithLogo = Walk(6);
  EXPECT_EQ(WithLogo[4], F.LogoSize);
  EXPECT_EQ(WithLogo[5], F.NoLogoBtn);
  for (QWidget* Control : std::initializer_list<QWidget*>{
           F.ModuleShape, F.FinderShape, F.FinderColor, F.LogoBtn, F.LogoSize, F.NoLogoBtn})
    EXPECT_FALSE(Control->toolTip().isEmpty()) << Control->metaObject()->className();
}
