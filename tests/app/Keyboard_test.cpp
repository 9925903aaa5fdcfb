// The window without a mouse: Tab through the memos, the zoom bar and the swatches, the keys of
// the swatches and the zoom bar, the wheel over the preview, and Alt+F.
#include "support/window/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>
#include <set>
#include <vector>

namespace {

QWidget* Focused() {
  return QApplication::focusWidget();
}

// Tab pressed Count times from the focused control; the controls that take the focus in turn.
std::vector<QWidget*> TabWalk(int Count) {
  std::vector<QWidget*> Walk;
  for (int I = 0; I < Count; ++I) {
    QTest::keyClick(Focused(), Qt::Key_Tab);
    Walk.push_back(Focused());
  }
  return Walk;
}

void Wheel(QWidget* Target, int Angle) {
  const QPointF Centre(Target->width() / 2.0, Target->height() / 2.0);
  QWheelEvent Event(Centre, Target->mapToGlobal(Centre), QPoint(), QPoint(0, Angle), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(Target, &Event);
}

} // namespace

TEST_F(TWindowTest, TabAndShiftTabLeaveBothMemosWithoutTypingATab) {
  TForm1& F = Form();
  ASSERT_TRUE(F.isActiveWindow());
  struct TCase {
    int Page;
    QPlainTextEdit* Memo;
    QWidget* Next;
    QWidget* Previous;
  };
  for (const TCase& Case :
       {TCase{0, F.MemoText, F.tWordWrap, F.PageControl1->findChild<QTabBar*>()},
        TCase{2, F.MemoMessage, F.eWordWrap, F.EditSubject}}) {
    SCOPED_TRACE(Case.Page);
    F.PageControl1->setCurrentIndex(Case.Page);
    Case.Memo->setFocus(Qt::MouseFocusReason);
    TForm1::SetMemoLines(Case.Memo, QStringLiteral("one\r\ntwo"));
    Case.Memo->moveCursor(QTextCursor::End);

    QTest::keyClick(Case.Memo, Qt::Key_Tab);
    EXPECT_EQ(Focused(), Case.Next);
    Case.Memo->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(Case.Memo, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), Case.Previous);
    Case.Memo->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(Case.Memo, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), Case.Previous);
    EXPECT_EQ(TForm1::MemoLines(Case.Memo), QStringLiteral("one\r\ntwo")) << "no tab typed";
  }
}

TEST_F(TWindowTest, TabReachesTheSwatchesAndTheZoomBarLeftToRight) {
  TForm1& F = Form();
  ASSERT_TRUE(F.isActiveWindow());
  F.EncryptionType->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(TabWalk(11),
            (std::vector<QWidget*>{F.FrameSize, F.ErrorCorrection, F.Boost, F.AboutBtn, F.CloseBtn,
                                   F.CreateCodeBtn, F.BackColor, F.MatrixColor, F.Frame,
                                   F.ScrollBar1, F.CopyToClipboardBtn}))
      << "the slider and the covered frame colour are left out while Frame is not ticked";

  F.Frame->setChecked(true);
  F.Frame->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(TabWalk(4),
            (std::vector<QWidget*>{F.TrackBar1, F.FrameColor, F.ScrollBar1, F.CopyToClipboardBtn}));
  F.Frame->setChecked(false);
  EXPECT_FALSE(F.FrameColor->isEnabled());
}

TEST_F(TWindowTest, SwatchesAndTheZoomBarShowTheFocus) {
  TForm1& F = Form();
  ASSERT_TRUE(F.isActiveWindow());
  for (QWidget* Control :
       {static_cast<QWidget*>(F.BackColor), static_cast<QWidget*>(F.ScrollBar1)}) {
    SCOPED_TRACE(Control->metaObject()->className());
    F.CreateCodeBtn->setFocus(Qt::TabFocusReason);
    const QImage Without = Control->grab().toImage();
    while (Focused() != Control && Focused() != F.CopyToClipboardBtn)
      QTest::keyClick(Focused(), Qt::Key_Tab);
    ASSERT_EQ(Focused(), Control);
    EXPECT_NE(Control->grab().toImage(), Without);
  }
}

TEST_F(TWindowTest, SpaceOrEnterOnASwatchOpensTheColourDialog) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(QStringLiteral("HELLO"));
  F.Frame->setChecked(true);
  struct TCase {
    TColorSwatch* Swatch;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    QColor Chosen;
  };
  for (const TCase& Case :
       {TCase{F.BackColor, Qt::Key_Space, Qt::NoModifier, QColor(1, 2, 3)},
        TCase{F.MatrixColor, Qt::Key_Return, Qt::NoModifier, QColor(4, 5, 6)},
        TCase{F.FrameColor, Qt::Key_Enter, Qt::KeypadModifier, QColor(7, 8, 9)}}) {
    SCOPED_TRACE(Case.Key);
    const QPoint Place = Case.Swatch->pos();
    Case.Swatch->setFocus(Qt::TabFocusReason);
    F.QRText->clear();
    ColorAnswers.push_back(Case.Chosen);
    QTest::keyClick(Case.Swatch, Case.Key, Case.Modifiers);
    EXPECT_TRUE(ColorAnswers.empty()) << "the dialog was opened";
    EXPECT_EQ(Case.Swatch->Color(), PlainColor(Case.Chosen));
    EXPECT_EQ(QRText(), u"HELLO") << "a pass ran with the new colour";
    EXPECT_EQ(Case.Swatch->pos(), Place);
  }
  const std::size_t DialogsSoFar = ColorDialogStarts.size();
  QTest::keyClick(F.BackColor, Qt::Key_A);
  QTest::keyClick(F.BackColor, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(ColorDialogStarts.size(), DialogsSoFar) << "other keys open nothing";
}

TEST_F(TWindowTest, ArrowAndPageKeysMoveTheZoomAndItsTipTellsIt) {
  TForm1& F = Form();
  ASSERT_EQ(F.ScrollBar1->value(), 250);
  F.ScrollBar1->setFocus(Qt::TabFocusReason);
  struct TStep {
    Qt::Key Key;
    int Zoom;
  };
  for (const TStep Step :
       {TStep{Qt::Key_Right, 251}, TStep{Qt::Key_Up, 252}, TStep{Qt::Key_Left, 251},
        TStep{Qt::Key_Down, 250}, TStep{Qt::Key_PageUp, 260}, TStep{Qt::Key_PageUp, 270},
        TStep{Qt::Key_PageDown, 260}}) {
    SCOPED_TRACE(Step.Key);
    QTest::keyClick(F.ScrollBar1, Step.Key);
    EXPECT_EQ(F.ScrollBar1->value(), Step.Zoom);
    EXPECT_EQ(F.Image1->width(), Step.Zoom) << "the preview follows";
    EXPECT_EQ(F.ScrollBar1->toolTip(), QStringLiteral("Zoom: %1 pixels").arg(Step.Zoom));
  }
  F.ScrollBar1->setValue(805);
  EXPECT_EQ(F.ScrollBar1->toolTip(), QStringLiteral("Zoom: 800 pixels"));
}

TEST_F(TWindowTest, WheelOverThePreviewMovesTheZoomTenPixelsANotch) {
  TForm1& F = Form();
  F.ScrollBar1->setValue(300);
  Wheel(F.Image1, 120);
  EXPECT_EQ(F.ScrollBar1->value(), 310) << "away from the user: larger";
  Wheel(F.Panel1, -240);
  EXPECT_EQ(F.ScrollBar1->value(), 290);
  Wheel(F.Image1, 60); // a fine-grained wheel: half a notch, then the other half
  EXPECT_EQ(F.ScrollBar1->value(), 295);
  Wheel(F.Image1, 60);
  EXPECT_EQ(F.ScrollBar1->value(), 300);
  Wheel(F.ScrollBar1, -120);
  EXPECT_EQ(F.ScrollBar1->value(), 290) << "over the bar itself alike";
  EXPECT_EQ(F.Image1->width(), 290);
  EXPECT_EQ(F.ScrollBar1->toolTip(), QStringLiteral("Zoom: 290 pixels"));
}

TEST_F(TWindowTest, AltFOpensTheFileMenu) {
  TForm1& F = Form();
  ASSERT_TRUE(F.isActiveWindow()) << "shortcuts need the active window";
  QMenu* FileMenu = F.menuBar()->actions().value(0)->menu();
  ASSERT_NE(FileMenu, nullptr);
  ASSERT_FALSE(FileMenu->isVisible());
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setFocus();
  QTest::keyClick(F.EditURL, Qt::Key_F, Qt::AltModifier);
  EXPECT_TRUE(FileMenu->isVisible());
  EXPECT_TRUE(F.EditURL->text().isEmpty()) << "nothing typed into the field";
  FileMenu->close();
}

TEST_F(TWindowTest, FileMenuItemsHaveAccessLettersOfTheirOwn) {
  TForm1& F = Form();
  QMenu* FileMenu = F.menuBar()->actions().value(0)->menu();
  ASSERT_NE(FileMenu, nullptr);
  std::set<QChar> Letters;
  for (const QAction* Item : FileMenu->actions()) {
    if (Item->isSeparator()) continue;
    SCOPED_TRACE(Item->text().toStdString());
    const qsizetype Mark = Item->text().indexOf(QLatin1Char('&'));
    ASSERT_TRUE(Mark >= 0 && Mark + 1 < Item->text().size());
    EXPECT_TRUE(Letters.insert(Item->text()[Mark + 1].toLower()).second) << "used twice";
  }

  // Alt+F, then S: the save dialog of Save QR-Code As (cancelled here).
  ASSERT_TRUE(F.isActiveWindow()) << "shortcuts need the active window";
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(QStringLiteral("HELLO"));
  F.EditURL->setFocus();
  QTest::keyClick(F.EditURL, Qt::Key_F, Qt::AltModifier);
  ASSERT_TRUE(FileMenu->isVisible());
  SaveAnswers.push_back(std::nullopt);
  QTest::keyClick(FileMenu, Qt::Key_S);
  EXPECT_EQ(Filters.size(), 1u) << "one save dialog";
  EXPECT_FALSE(FileMenu->isVisible());
}
