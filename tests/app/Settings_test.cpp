// Settings: what a close stores is what the next window shows; stored values out of range.
#include "platform/SettingsStore.h"
#include "support/window/WindowFixture.h"
#include "util/MyFunctions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <functional>

TEST_F(TWindowTest, SettingsSurviveACloseAndANewWindow) {
  TForm1& F = Form();
  F.Frame->setChecked(true);
  F.TrackBar1->setValue(7);
  F.ScrollBar1->setValue(333);
  ChooseColor(F.BackColor, QColor(10, 20, 30));
  ChooseColor(F.FrameColor, QColor(255, 0, 0));
  ChooseColor(F.MatrixColor, QColor(200, 0, 100));
  F.EncryptionType->setCurrentIndex(4);
  F.FrameSize->setCurrentIndex(5);
  F.ErrorCorrection->setCurrentIndex(2);
  F.Boost->setChecked(true);
  F.tWordWrap->setChecked(false);
  F.eWordWrap->setChecked(false);
  F.PageControl1->setCurrentIndex(3);
  Reopen();

  TForm1& G = Form();
  EXPECT_TRUE(G.Frame->isChecked());
  EXPECT_TRUE(G.TrackBar1->isEnabled());
  EXPECT_EQ(G.TrackBar1->value(), 7);
  EXPECT_EQ(G.ScrollBar1->value(), 333);
  EXPECT_EQ(G.BackColor->Color(), 0x1E140Au);
  EXPECT_EQ(G.FrameColor->Color(), 0x0000FFu);
  EXPECT_EQ(G.MatrixColor->Color(), 0x6400C8u);
  EXPECT_EQ(G.EncryptionType->currentIndex(), 4);
  EXPECT_EQ(G.FrameSize->currentIndex(), 5);
  EXPECT_EQ(G.ErrorCorrection->currentText(), QStringLiteral("Q (25 %)"));
  EXPECT_TRUE(G.Boost->isChecked());
  EXPECT_FALSE(G.tWordWrap->isChecked());
  EXPECT_FALSE(G.eWordWrap->isChecked());
  EXPECT_EQ(G.MemoText->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(G.MemoMessage->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(G.PageControl1->currentIndex(), 3);
  EXPECT_FALSE(G.Image1->HasPicture()) << "the load runs no pass";

  EXPECT_EQ(ReadSettingInteger(kProductKey, u"FrameMarkSize", -1), 7)
      << "the slider has a value of its own";
  EXPECT_EQ(ReadSettingString(kProductKey, u"FrameColor", u""), u"clRed");
  EXPECT_EQ(ReadSettingString(kProductKey, u"BackColor", u""), u"$001E140A");
}

TEST_F(TWindowTest, WindowSizeAndMaximisedStateSurviveARestart) {
  TForm1& F = Form();
  const QSize Smallest = F.size();
  const QSize Screen = F.screen()->availableSize();
  ASSERT_GT(Screen.height(), Smallest.height() + 20) << "the test needs room to grow";
  F.resize(Smallest + QSize(0, 20));
  Reopen();
  EXPECT_EQ(Form().size(), Smallest + QSize(0, 20));
  EXPECT_FALSE(Form().isMaximized());

  Form().showMaximized();
  Form().close();
  EXPECT_EQ(ReadSettingInteger(kProductKey, u"Height", 0), Smallest.height() + 20)
      << "a maximised window keeps the size it goes back to";
  Open();
  EXPECT_TRUE(Form().isMaximized());

  // Hand-edited or from a larger monitor: within the screen, never below the smallest size.
  Form().close();
  WriteSettingInteger(kProductKey, u"Width", 100);
  WriteSettingInteger(kProductKey, u"Height", 100000);
  WriteSettingBool(kProductKey, u"Maximized", false);
  Open();
  EXPECT_EQ(Form().width(), Smallest.width());
  EXPECT_LE(Form().height(), std::max(Screen.height(), Smallest.height()));
  EXPECT_GE(Form().height(), Smallest.height());
}

TEST_F(TWindowTest, StoredValuesOutOfRangeFallBackOrAreClamped) {
  struct TCase {
    const char* Name;
    std::function<void()> Store;
    std::function<void(TForm1&)> Check;
  };
  const TCase Cases[] = {
      {"zoom above the range", [] { WriteSettingInteger(kProductKey, u"Zoom", 1000); },
       [](TForm1& F) { EXPECT_EQ(F.ScrollBar1->value(), 800); }},
      {"zoom below the range", [] { WriteSettingInteger(kProductKey, u"Zoom", -5); },
       [](TForm1& F) { EXPECT_EQ(F.ScrollBar1->value(), 0); }},
      {"frame-mark size", [] { WriteSettingInteger(kProductKey, u"FrameMarkSize", 42); },
       [](TForm1& F) { EXPECT_EQ(F.TrackBar1->value(), 10); }},
      {"encoding past the list", [] { WriteSettingInteger(kProductKey, u"EncryptionType", 7); },
       [](TForm1& F) { EXPECT_EQ(F.EncryptionType->currentIndex(), 0); }},
      {"spacing below the list", [] { WriteSettingInteger(kProductKey, u"FrameSize", -1); },
       [](TForm1& F) { EXPECT_EQ(F.FrameSize->currentIndex(), 0); }},
      {"level past the list", [] { WriteSettingInteger(kProductKey, u"ErrorCorrection", 4); },
       [](TForm1& F) { EXPECT_EQ(F.ErrorCorrection->currentIndex(), 0); }},
      {"page past the tabs", [] { WriteSettingInteger(kProductKey, u"TabIndex", 10); },
       [](TForm1& F) { EXPECT_EQ(F.PageControl1->currentIndex(), 0); }},
      {"frame as any non-zero number", [] { WriteSettingInteger(kProductKey, u"Frame", 7); },
       [](TForm1& F) { EXPECT_TRUE(F.Frame->isChecked()); }},
      {"colour text that names no colour",
       [] { WriteSettingString(kProductKey, u"BackColor", u"banana"); },
       [](TForm1& F) {
         EXPECT_EQ(F.BackColor->Color(), 0xFFFFFFu) << "the default white, not the value 0";
       }},
      {"colour name in capitals",
       [] { WriteSettingString(kProductKey, u"BackColor", u"CLYELLOW"); },
       [](TForm1& F) { EXPECT_EQ(F.BackColor->Color(), 0x00FFFFu); }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Form().close(); // saves first, so the stored value below is what the next window reads
    Case.Store();
    Open();
    Case.Check(Form());
    // The window stays usable: a pass runs with what was loaded.
    Form().CreateCodeBtn->click();
    EXPECT_TRUE(Form().Image1->HasPicture());
  }
}

TEST_F(TWindowTest, ManualPageNamesEveryValueOfTheSettingsFile) {
  Form().close(); // writes every value it keeps
  QFile Stored(QString::fromStdU16String(TSettingsStore::DefaultFile().u16string()));
  ASSERT_TRUE(Stored.open(QIODevice::ReadOnly | QIODevice::Text));
  QStringList Names;
  const QRegularExpression Value(QStringLiteral("^\"([^\"]+)\"="));
  for (const QString& Line : QString::fromUtf8(Stored.readAll()).split(QLatin1Char('\n')))
    if (const QRegularExpressionMatch Match = Value.match(Line); Match.hasMatch())
      Names << Match.captured(1);
  ASSERT_TRUE(Names.contains(QStringLiteral("Zoom"))) << Names.join(u' ').toStdString();

  QFile Manual(QStringLiteral(MARBECK_MAN_PAGE));
  ASSERT_TRUE(Manual.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString Page = QString::fromUtf8(Manual.readAll());
  for (const QString& Name : Names)
    EXPECT_TRUE(Page.contains(QStringLiteral("*%1*").arg(Name))) << Name.toStdString();
}
