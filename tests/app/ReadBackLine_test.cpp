// The read-back line under the preview: the answer of zbar for every pass, worked out on another
// thread; the colour warnings at once; answers of older passes dropped; the window closing while
// a read-back runs.
#include "support/window/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

namespace {

void ShowURL(TForm1& F, const QString& Url) {
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(Url);
}

QString Line(TForm1& F) {
  return F.ReadBackLabel->isVisible() ? F.ReadBackLabel->text() : QString();
}

const QString kChecking = QStringLiteral("Checking that it scans\u2026");

} // namespace

TEST_F(TWindowTest, ReadBackLineSaysTheCodeScansWithItsVersionAndBytes) {
  TForm1& F = Form();
  struct TCase {
    QString Text;
    int Encoding;
    QString Expected;
  };
  const TCase Cases[] = {
      {QStringLiteral("HELLO"), 0,
       QStringLiteral("Scans: reads back exactly (version 1-L, 5 bytes)")},
      // "UTF-8 with BOM" on the URL page: no mark before a record, the two bytes of the letter.
      {QStringLiteral("\u00E9"), 5,
       QStringLiteral("Scans: reads back exactly (version 1-L, 2 bytes)")},
      {QString(2900, QLatin1Char('x')), 0,
       QStringLiteral("Scans: reads back exactly (version 40-L, 2,900 bytes)")},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Text.left(10).toStdString());
    ShowURL(F, Case.Text);
    F.EncryptionType->setCurrentIndex(Case.Encoding);
    F.CreateCodeBtn->click();
    EXPECT_FALSE(F.ReadBackSettled()) << "the pass does not wait for the decoder";
    EXPECT_EQ(Line(F), kChecking);
    ASSERT_TRUE(F.WaitForReadBack());
    EXPECT_EQ(Line(F).toStdString(), Case.Expected.toStdString());
  }

  // Frame marks in their own colour, a thin border: still read back.
  F.EncryptionType->setCurrentIndex(0);
  ShowURL(F, QStringLiteral("https://example.org/frame"));
  F.Frame->setChecked(true);
  ChooseColor(F.FrameColor, QColor(0, 0, 200));
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_TRUE(Line(F).startsWith(QStringLiteral("Scans: reads back exactly (version 2-L,")))
      << Line(F).toStdString();
}

TEST_F(TWindowTest, ColourWarningsAppearAtOnce) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("HELLO"));
  ChooseColor(F.MatrixColor, QColor(255, 255, 0)); // yellow on white
  EXPECT_TRUE(F.ReadBackSettled()) << "no decoding needed";
  EXPECT_EQ(Line(F), QStringLiteral("Does not scan with these colours: contrast 1.07 : 1, at "
                                    "least 3 : 1 is needed"));

  ChooseColor(F.MatrixColor, QColor(255, 255, 255));
  ChooseColor(F.BackColor, QColor(0, 0, 0)); // white on black: contrast enough, but inverted
  EXPECT_TRUE(F.ReadBackSettled());
  EXPECT_EQ(Line(F), QStringLiteral("Inverted colours: many phone readers do not read light "
                                    "modules on a dark background"));
  EXPECT_TRUE(Errors.empty());
}

TEST_F(TWindowTest, AnAnswerForAnOlderPassIsDropped) {
  TForm1& F = Form();
  std::vector<quint64> Shown;
  QObject::connect(&F, &TForm1::ReadBackShown, [&](quint64 Pass) { Shown.push_back(Pass); });
  ShowURL(F, QStringLiteral("HELLO"));
  F.CreateCodeBtn->click();
  // The first answer is found and waits in the window's queue while the next pass starts.
  F.WaitForReadBackWorker();
  F.EditURL->setText(QStringLiteral("HELLO WORLD 123"));
  F.CreateCodeBtn->click();
  ASSERT_TRUE(F.WaitForReadBack());
  QCoreApplication::processEvents(); // nothing else is on its way
  EXPECT_EQ(Shown.size(), 1u) << "only the last pass's answer is shown";
  EXPECT_EQ(Line(F), QStringLiteral("Scans: reads back exactly (version 1-L, 15 bytes)"));

  // A zoom change starts no read-back and leaves the line alone.
  F.ScrollBar1->setValue(400);
  QCoreApplication::processEvents();
  EXPECT_EQ(Shown.size(), 1u);
  EXPECT_TRUE(F.ReadBackSettled());
}

TEST_F(TWindowTest, TheLineFollowsTheLastPass) {
  TForm1& F = Form();
  ShowURL(F, QStringLiteral("HELLO"));
  F.CreateCodeBtn->click();                        // its answer is still on the way ...
  ChooseColor(F.MatrixColor, QColor(255, 255, 0)); // ... when yellow on white is chosen
  ASSERT_TRUE(F.WaitForReadBack());
  F.WaitForReadBackWorker();
  QCoreApplication::processEvents(); // the first answer, had it come, would be here
  EXPECT_TRUE(Line(F).startsWith(QStringLiteral("Does not scan with these colours")))
      << Line(F).toStdString();

  ChooseColor(F.MatrixColor, QColor(0, 0, 120));
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_EQ(Line(F), QStringLiteral("Scans: reads back exactly (version 1-L, 5 bytes)"));

  // Too long: the note says why, and there is no code to check.
  F.EditURL->setText(QString(3000, QLatin1Char('a')));
  F.CreateCodeBtn->click();
  EXPECT_TRUE(F.ReadBackSettled());
  EXPECT_TRUE(F.NoteLabel->isVisible());
  EXPECT_EQ(Line(F), QString());
}

TEST_F(TWindowTest, ClosingTheWindowDuringAReadBackEndsTheWorkerCleanly) {
  for (int Round = 0; Round < 3; ++Round) {
    ShowURL(Form(), QString(2900, QLatin1Char(static_cast<char>('a' + Round)))); // version 40
    Form().CreateCodeBtn->click();
    EXPECT_FALSE(Form().ReadBackSettled());
    Reopen();                          // closes and destroys the window while its worker decodes
    QCoreApplication::processEvents(); // no answer reaches the closed window
  }
  ShowURL(Form(), QStringLiteral("HELLO"));
  Form().CreateCodeBtn->click();
  EXPECT_TRUE(Form().WaitForReadBack());
  EXPECT_TRUE(Errors.empty());
}
