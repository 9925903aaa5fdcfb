// The preview: placement at the zoom, the growing window, scrolling, the line under the picture,
// nearest-neighbour scaling, frame marks, colour swatches, and the clipboard copy.
#include "support/window/Expect.h"
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <set>
#include <utility>

namespace {

void ShowURL(TForm1& F, const QString& Url) {
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(Url);
}

} // namespace

namespace {

// The rectangle of W in the window's coordinates; with Visible, only the part that shows.
QRect InWindow(TForm1& F, const QWidget* W, bool Visible = false) {
  const QRect Own = Visible ? W->visibleRegion().boundingRect() : W->rect();
  return Own.translated(W->mapTo(&F, QPoint(0, 0)));
}

// The scroll area the preview picture lies in (none: the picture cannot be scrolled).
QAbstractScrollArea* PictureScroller(TForm1& F) {
  for (QWidget* Up = F.Image1->parentWidget(); Up; Up = Up->parentWidget())
    if (auto* Area = qobject_cast<QAbstractScrollArea*>(Up)) return Area;
  return nullptr;
}

} // namespace

TEST_F(TWindowTest, ZoomCentresThePictureInThePreview) {
  struct TCase {
    int W, Left, Top;
  };
  // The panel's inside is 439 x 301 pixels behind a one-pixel edge. Halves round to the even
  // neighbour: 23 and 25 land on the same place.
  for (const TCase Case : {TCase{23, 209, 139}, TCase{25, 209, 139}, TCase{27, 207, 137},
                           TCase{50, 196, 126}, TCase{250, 96, 26}, TCase{301, 71, 1}}) {
    SCOPED_TRACE(Case.W);
    Form().ScrollBar1->setValue(Case.W);
    EXPECT_EQ(QRect(Form().Image1->mapTo(Form().Panel1, QPoint(0, 0)), Form().Image1->size()),
              QRect(Case.Left, Case.Top, Case.W, Case.W));
  }
}

TEST_F(TWindowTest, VerdictLineNeverCoversThePictureAtAnyZoomOrWindowSize) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("https://example.org/"));
  F.CreateCodeBtn->click();
  ASSERT_TRUE(F.WaitForReadBack());
  ASSERT_TRUE(F.ReadBackLabel->isVisible());
  const QSize Smallest = F.size();
  for (const QSize Size : {Smallest, QSize(1280, 900)}) {
    F.resize(Size);
    QCoreApplication::processEvents();
    for (int Zoom = F.ScrollBar1->minimum(); Zoom <= 800; ++Zoom) {
      F.ScrollBar1->setValue(Zoom);
      const QRect Picture = InWindow(F, F.Image1, true);
      const QRect Line = InWindow(F, F.ReadBackLabel);
      ASSERT_FALSE(Picture.isEmpty()) << Zoom;
      ASSERT_FALSE(Picture.intersects(Line))
          << "zoom " << Zoom << " at " << Size.width() << " x " << Size.height();
      ASSERT_FALSE(Picture.intersects(InWindow(F, F.NoteLabel))) << Zoom;
    }
  }
}

TEST_F(TWindowTest, WindowGrowsAndThePreviewTakesTheRoom) {
  TForm1& F = Form();
  const QSize Smallest = F.size();
  EXPECT_EQ(F.minimumSize(), Smallest) << "the size at start is the smallest";
  EXPECT_TRUE(F.windowFlags() & Qt::WindowMaximizeButtonHint);
  const QRect Panel = InWindow(F, F.Panel1);
  const QRect Copy = InWindow(F, F.CopyToClipboardBtn);
  const QRect Pages = InWindow(F, F.PageControl1);

  F.resize(Smallest + QSize(300, 200));
  QCoreApplication::processEvents();
  ASSERT_EQ(F.size(), Smallest + QSize(300, 200));
  EXPECT_EQ(InWindow(F, F.Panel1), Panel.adjusted(0, 0, 300, 200));
  EXPECT_EQ(InWindow(F, F.CopyToClipboardBtn), Copy.translated(300, 200))
      << "the copy button keeps to the bottom right corner";
  EXPECT_EQ(InWindow(F, F.PageControl1).width(), Pages.width()) << "the pages keep their width";
  EXPECT_LT(InWindow(F, F.Panel1).bottom(), InWindow(F, F.ReadBackLabel).top());
  // Every visible control still lies inside the window.
  for (QWidget* Control : F.ClientArea->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!Control->isVisible()) continue;
    EXPECT_TRUE(F.ClientArea->rect().contains(Control->geometry()))
        << Control->metaObject()->className();
  }

  F.resize(Smallest - QSize(100, 100)); // not below the smallest size
  QCoreApplication::processEvents();
  EXPECT_EQ(F.size(), Smallest);
  EXPECT_EQ(InWindow(F, F.Panel1), Panel);
}

TEST_F(TWindowTest, PictureLargerThanThePreviewScrollsToEveryCorner) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("HELLO"));
  F.CreateCodeBtn->click();
  F.ScrollBar1->setValue(800);
  QCoreApplication::processEvents();
  QAbstractScrollArea* Area = PictureScroller(F);
  ASSERT_NE(Area, nullptr);
  const QSize View = Area->viewport()->size();
  EXPECT_EQ(Area->horizontalScrollBar()->maximum(), 800 - View.width());
  EXPECT_EQ(Area->verticalScrollBar()->maximum(), 800 - View.height());
  EXPECT_EQ(F.Image1->visibleRegion().boundingRect(), QRect(QPoint(0, 0), View));
  Area->horizontalScrollBar()->setValue(Area->horizontalScrollBar()->maximum());
  Area->verticalScrollBar()->setValue(Area->verticalScrollBar()->maximum());
  EXPECT_EQ(F.Image1->visibleRegion().boundingRect(),
            QRect(QPoint(800 - View.width(), 800 - View.height()), View))
      << "the far corner of the picture shows";

  F.ScrollBar1->setValue(250); // small again: centred, nothing to scroll
  QCoreApplication::processEvents();
  EXPECT_EQ(Area->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(Area->verticalScrollBar()->maximum(), 0);
  EXPECT_EQ(F.Image1->visibleRegion().boundingRect(), QRect(0, 0, 250, 250));
}

TEST_F(TWindowTest, PreviewScalesByNearestNeighbourWithoutBlur) {
  ShowURL(Form(), QStringLiteral("HELLO"));
  Form().CreateCodeBtn->click();
  const int Side = Picture().width();
  Form().ScrollBar1->setValue(Side);
  EXPECT_EQ(Form().Image1->grab().toImage().convertToFormat(QImage::Format_RGB32), Picture())
      << "one screen pixel per module";

  Form().ScrollBar1->setValue(2 * Side + 5); // modules of unequal width
  const QImage Shown = Form().Image1->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(Shown.size(), QSize(2 * Side + 5, 2 * Side + 5));
  std::set<QRgb> Colours;
  for (int Y = 0; Y < Shown.height(); ++Y)
    for (int X = 0; X < Shown.width(); ++X)
      Colours.insert(Shown.pixel(X, Y));
  EXPECT_EQ(Colours, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
  EXPECT_EQ(DecodePicture(Shown), "HELLO");
}

class TFrameMarkTest : public TWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(TFrameMarkTest, MarksTakeTheOuterRingOnly) {
  const int P = GetParam();
  TForm1& F = Form();
  const QString Url =
      QStringLiteral("https://example.org/a-longer-address"); // version 3: 33 pixels with the zone
  ShowURL(F, Url);
  F.Frame->setChecked(true);
  const QColor Red(255, 0, 0);
  ChooseColor(F.FrameColor, Red);
  F.TrackBar1->setValue(P);
  F.CreateCodeBtn->click();

  TQRCodeSymbol Symbol;
  Symbol.SetData(Url.toStdU16String());
  Symbol.SetQuietZone(2); // spacing "1" plus one for the frame
  const int S = Symbol.Rows();
  ASSERT_EQ(Picture().size(), QSize(S, S));
  ASSERT_GE(S, 2 * (P + 3)) << "the two marks along an edge stay apart";
  const int Arm = P + 3;
  const auto InMark = [&](int X, int Y) {
    const bool NearLeft = X < Arm, NearRight = X >= S - Arm, NearTop = Y < Arm,
               NearBottom = Y >= S - Arm;
    const bool OnEdgeRow = Y == 0 || Y == S - 1, OnEdgeColumn = X == 0 || X == S - 1;
    return (OnEdgeRow && (NearLeft || NearRight)) || (OnEdgeColumn && (NearTop || NearBottom));
  };
  int Marked = 0, Wrong = 0;
  for (int Y = 0; Y < S; ++Y)
    for (int X = 0; X < S; ++X) {
      const QRgb Expected =
          InMark(X, Y) ? Red.rgb() : (Symbol.IsDark(Y, X) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
      Marked += InMark(X, Y);
      Wrong += Picture().pixel(X, Y) != Expected;
    }
  EXPECT_EQ(Wrong, 0);
  EXPECT_EQ(Marked, 4 * (2 * Arm - 1));
  EXPECT_EQ(Picture().pixel(P + 2, 0), Red.rgb());
  EXPECT_EQ(Picture().pixel(P + 3, 0), qRgb(255, 255, 255)) << "an arm is p + 3 pixels long";

  F.Frame->setChecked(false); // the next pass paints a new picture without marks
  EXPECT_EQ(PixelsOffSymbol(Picture(), {Url.toStdU16String(), qrAuto, 1}, qRgb(0, 0, 0),
                            qRgb(255, 255, 255)),
            0);
}

INSTANTIATE_TEST_SUITE_P(ShortestAndLongest, TFrameMarkTest, ::testing::Values(0, 10));

TEST_F(TWindowTest, ColourDialogStartsAtTheLastConfirmedColourAndAnyButtonOpensIt) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("HELLO"));
  const QPoint BackColorPlace = F.BackColor->pos();
  ChooseColor(F.BackColor, QColor(200, 255, 200));
  ColorAnswers.push_back(QColor(0, 0, 255));
  QTest::mouseClick(F.MatrixColor, Qt::RightButton);
  ColorAnswers.push_back(std::nullopt); // cancelled: nothing changes, a pass runs all the same
  QTest::mouseClick(F.BackColor, Qt::LeftButton);

  ASSERT_EQ(ColorDialogStarts.size(), 3u);
  EXPECT_EQ(ColorDialogStarts[0], QColor(Qt::black));
  EXPECT_EQ(ColorDialogStarts[1], QColor(200, 255, 200)) << "not the matrix swatch's own black";
  EXPECT_EQ(ColorDialogStarts[2], QColor(0, 0, 255));
  EXPECT_EQ(F.BackColor->Color(), 0xC8FFC8u);
  EXPECT_EQ(F.MatrixColor->Color(), 0xFF0000u) << "blue in the third byte";
  EXPECT_EQ(F.BackColor->pos(), BackColorPlace) << "the pressed look is undone";
  EXPECT_EQ(QRText(), u"HELLO");
  EXPECT_EQ(PixelsOffSymbol(Picture(), {u"HELLO", qrAuto, 1}, qRgb(0, 0, 255), qRgb(200, 255, 200)),
            0);
}

TEST_F(TWindowTest, FrameColourSpotAnswersOnlyWhileFrameIsTicked) {
  TForm1& F = Form();
  const QPoint Spot(956, 360);
  EXPECT_EQ(F.ClientArea->childAt(Spot), F.Shape1);
  F.Frame->setChecked(true);
  EXPECT_EQ(F.ClientArea->childAt(Spot), F.FrameColor);
  EXPECT_TRUE(F.TrackBar1->isEnabled());
  F.Frame->setChecked(false);
  EXPECT_EQ(F.ClientArea->childAt(Spot), F.Shape1);
  EXPECT_FALSE(F.TrackBar1->isEnabled());
}

TEST_F(TWindowTest, CopyRegeneratesAndPutsThePreviewOnTheClipboard) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("https://example.org/one"));
  F.Frame->setChecked(true);
  F.TrackBar1->setValue(2);
  F.EditURL->setText(QStringLiteral("https://example.org/two")); // edited, not generated
  F.CopyToClipboardBtn->click();
  ASSERT_EQ(Clipboard.size(), 1u);
  const QImage& Copy = Clipboard[0];
  EXPECT_EQ(Copy.size(), QSize(250, 250));
  EXPECT_EQ(Copy.depth(), 24);
  EXPECT_EQ(Copy, F.Image1->grab().toImage().convertToFormat(QImage::Format_RGB888))
      << "identical to the preview, frame marks included";
  EXPECT_EQ(DecodePicture(Copy), "https://example.org/two");

  F.ScrollBar1->setValue(800);
  F.CopyToClipboardBtn->click();
  ASSERT_EQ(Clipboard.size(), 2u);
  EXPECT_EQ(Clipboard[1].size(), QSize(800, 800))
      << "whole, although the panel cuts the preview off";
  EXPECT_EQ(DecodePicture(Clipboard[1]), "https://example.org/two");
}

TEST_F(TWindowTest, CopyWithoutACodeLeavesTheClipboardAsItWasAndSaysWhy) {
  TForm1& F = Form();
  ASSERT_TRUE(F.isActiveWindow()) << "shortcuts need the active window";
  const std::pair<const char*, std::function<void()>> Routes[] = {
      {"button", [&] { F.CopyToClipboardBtn->click(); }},
      {"menu", [&] { F.CopyQRCodetoClipboard1->trigger(); }},
      {"Ctrl+C in a field without a selection",
       [&] {
         F.EditURL->setFocus();
         F.EditURL->deselect();
         QTest::keyClick(F.EditURL, Qt::Key_C, Qt::ControlModifier);
       }},
  };

  ShowURL(F, QString(3000, QLatin1Char('a')));
  for (const auto& [Name, Copy] : Routes) {
    SCOPED_TRACE(Name);
    Copy();
    EXPECT_TRUE(Clipboard.empty()) << "no light square stands in for the code";
    EXPECT_TRUE(Errors.empty());
    EXPECT_TRUE(F.NoteLabel->isVisible());
    EXPECT_EQ(F.NoteLabel->text(),
              QStringLiteral("Too long for a QR code: 3,000 bytes; at most 2,953 fit."));
  }

  // A pass that makes no symbol at all: an empty text with the facade's own quiet zone.
  F.EditURL->clear();
  F.FrameSize->setCurrentIndex(3);
  F.CopyToClipboardBtn->click();
  EXPECT_TRUE(Clipboard.empty());
  EXPECT_TRUE(F.NoteLabel->isVisible());
  EXPECT_EQ(F.NoteLabel->text(),
            QStringLiteral("Nothing copied: this page's text made no QR code."));

  F.EditURL->setText(QStringLiteral("HELLO"));
  F.CopyToClipboardBtn->click();
  ASSERT_EQ(Clipboard.size(), 1u);
  EXPECT_EQ(DecodePicture(Clipboard[0]), "HELLO");
  EXPECT_FALSE(F.NoteLabel->isVisible()) << "the next pass clears the note";
}

TEST_F(TWindowTest, ClipboardRefusalIsReportedAndTheProgramGoesOn) {
  ShowURL(Form(), QStringLiteral("HELLO"));
  ClipboardTakes = false;
  Form().CopyToClipboardBtn->click();
  EXPECT_EQ(Errors,
            std::vector<QString>{QStringLiteral("Cannot open clipboard: held by another program")});
  EXPECT_EQ(QRText(), u"HELLO") << "the pass ran all the same";
  ClipboardTakes = true;
  Form().CopyToClipboardBtn->click();
  EXPECT_EQ(Clipboard.size(), 1u);
}
