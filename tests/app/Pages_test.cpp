// The pages: hint lines, URL test, contact name, Ctrl+C, Load and Save, the About dialog.
#include "About.h"
#include "FormHelpers.h"
#include "support/window/Expect.h"
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

void Focus(QWidget* Widget, QEvent::Type Type, Qt::FocusReason Reason) {
  QFocusEvent Event(Type, Reason);
  QApplication::sendEvent(Widget, &Event);
}

QByteArray FileBytes(const QString& Path) {
  QFile File(Path);
  return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

} // namespace

TEST_F(TWindowTest, HintLinesGiveWayToTypingAndComeBackWhenTheMemoIsLeftEmpty) {
  QPlainTextEdit* Memo = Form().MemoText;
  const QColor Grey(128, 128, 128);
  const auto Text = [&] { return TForm1::MemoLines(Memo).toStdU16String(); };

  Focus(Memo, QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  EXPECT_EQ(Text(), kHintLines) << "the window's own activation is no entering";
  Focus(Memo, QEvent::FocusIn, Qt::MouseFocusReason);
  EXPECT_EQ(Text(), u"");
  EXPECT_NE(Memo->palette().color(QPalette::Text), Grey);

  Focus(Memo, QEvent::FocusOut, Qt::TabFocusReason);
  EXPECT_EQ(Text(), kHintLines);
  EXPECT_EQ(Memo->palette().color(QPalette::Text), Grey);

  Focus(Memo, QEvent::FocusIn, Qt::MouseFocusReason);
  Memo->setPlainText(QStringLiteral("mine"));
  Focus(Memo, QEvent::FocusOut, Qt::TabFocusReason);
  Focus(Memo, QEvent::FocusIn, Qt::MouseFocusReason);
  EXPECT_EQ(Text(), u"mine") << "user text is kept when leaving and entering";
  Form().FormActivate();
  EXPECT_EQ(Text(), u"mine") << "the hint comes with the first activation only";
}

TEST_F(TWindowTest, UrlTestOpensWebAddressesOnly) {
  struct TCase {
    const char* Text;
    const char* Opens; // nullptr: refused with a message
  };
  const TCase Cases[] = {
      {"https://example.org/a?b=c", "https://example.org/a?b=c"},
      {"http://example.org", "http://example.org"},
      {"FTP://files.example.org/x", "ftp://files.example.org/x"},
      {"www.example.org/page", "http://www.example.org/page"},
      {"file:///etc/passwd", nullptr},
      {"/usr/bin/xterm", nullptr},
      {"javascript:alert(1)", nullptr},
      {"mailto:ann@example.org", nullptr},
      {"https://", nullptr},
      {" ", nullptr},
  };
  Form().PageControl1->setCurrentIndex(1);
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    Opened.clear();
    Messages.clear();
    Form().EditURL->setText(QString::fromUtf8(Case.Text));
    Form().URLTestBtn->click();
    if (Case.Opens) {
      ASSERT_EQ(Opened.size(), 1u);
      EXPECT_EQ(Opened[0], QUrl(QString::fromUtf8(Case.Opens)));
      EXPECT_TRUE(Messages.empty());
    } else {
      EXPECT_TRUE(Opened.empty());
      EXPECT_EQ(Messages, std::vector<QString>{
                              QStringLiteral("\"%1\" is not a web address.").arg(Case.Text)});
    }
  }
  Messages.clear();
  Form().EditURL->clear();
  Form().URLTestBtn->click();
  EXPECT_TRUE(Opened.empty() && Messages.empty()) << "an empty field does nothing";
}

TEST_F(TWindowTest, ContactNameFollowsTheNameFieldsAsTheyAreTyped) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(3);
  QTest::keyClicks(F.FirstName, QStringLiteral("F"));
  EXPECT_EQ(F.ContactName->text(), QStringLiteral("F "));
  QTest::keyClicks(F.LastName, QStringLiteral("L"));
  EXPECT_EQ(F.ContactName->text(), QStringLiteral("F L"));
  QTest::keyClicks(F.MiddleName, QStringLiteral("M"));
  EXPECT_EQ(F.ContactName->text(), QStringLiteral("F M L"));
  QTest::keyClicks(F.ContactName, QStringLiteral("x"));
  EXPECT_EQ(F.FirstName->text(), QStringLiteral("F"))
      << "typing the contact name changes no other field";
}

TEST_F(TWindowTest, CtrlCCopiesSelectedTextInAFieldAndThePictureElsewhere) {
  TForm1& F = Form();
  ASSERT_TRUE(F.isActiveWindow()) << "shortcuts need the active window";
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(QStringLiteral("https://example.org/"));
  F.EditURL->setFocus();

  F.EditURL->setSelection(8, 7);
  QTest::keyClick(F.EditURL, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("example"));
  EXPECT_TRUE(Clipboard.empty()) << "selected text is copied as text";

  F.EditURL->deselect();
  QTest::keyClick(F.EditURL, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard.size(), 1u) << "with nothing selected the picture is copied";

  F.FrameSize->setFocus();
  QTest::keyClick(F.FrameSize, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard.size(), 2u) << "from a control without text";

  F.CopyQRCodetoClipboard1->trigger();
  EXPECT_EQ(Clipboard.size(), 3u) << "from the menu";

  F.PageControl1->setCurrentIndex(2);
  TForm1::SetMemoLines(F.MemoMessage, QStringLiteral("line one"));
  F.MemoMessage->setFocus();
  QTest::keyClick(F.MemoMessage, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard.size(), 4u) << "a memo without a selection";
  F.MemoMessage->selectAll();
  QTest::keyClick(F.MemoMessage, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("line one"));
  EXPECT_EQ(Clipboard.size(), 4u);
}

// ---- Load and Save ----

struct TFileCase {
  const char* Name;
  int Page;
  const char* Filter;
  const char* Extension;
  QPushButton* TForm1::*SaveButton;
  QPushButton* TForm1::*LoadButton;
  std::function<void(TForm1&)> Fill;  // the content saved
  std::function<void(TForm1&)> Clear; // what the page holds before the load
  std::function<void(TForm1&)> Check; // the content loaded back
};

TEST_F(TWindowTest, EveryPageSavesAndLoadsItsFileThroughTheDialogs) {
  const TFileCase Cases[] = {
      {"Text", 0, "Textdatei (*.txt)", ".txt", &TForm1::SaveTextBtn, &TForm1::LoadTextBtn,
       [](TForm1& F) { TForm1::SetMemoLines(F.MemoText, QStringLiteral("one\r\ntwo")); },
       [](TForm1& F) { F.MemoText->clear(); },
       [](TForm1& F) { EXPECT_EQ(TForm1::MemoLines(F.MemoText), QStringLiteral("one\r\ntwo")); }},
      {"eMail", 2, "eMail (*.eml)", ".eml", &TForm1::SaveEMailBtn, &TForm1::LoadEMailBtn,
       [](TForm1& F) {
         F.EditAddress->setText(QStringLiteral("ann@example.org"));
         F.EditSubject->setText(QStringLiteral("Hi"));
         TForm1::SetMemoLines(F.MemoMessage, QStringLiteral("m1\r\nm2"));
       },
       [](TForm1& F) {
         F.EditAddress->clear();
         F.EditSubject->clear();
         F.MemoMessage->clear();
       },
       [](TForm1& F) {
         EXPECT_EQ(F.EditAddress->text(), QStringLiteral("ann@example.org"));
         EXPECT_EQ(F.EditSubject->text(), QStringLiteral("Hi"));
         EXPECT_EQ(TForm1::MemoLines(F.MemoMessage), QStringLiteral("m1\r\nm2"));
       }},
      {"VCard", 3, "VCard (*.vcf)", ".vcf", &TForm1::SaveVCard3Btn, &TForm1::LoadVcard3Btn,
       [](TForm1& F) {
         F.FirstName->setText(QStringLiteral("Ann"));
         F.LastName->setText(QStringLiteral("Lee"));
         F.ContactName->setText(QStringLiteral("Dr Ann Lee"));
         F.CityHome->setText(QStringLiteral("Town"));
         F.Birthday->setText(QStringLiteral("1970.01.31"));
       },
       [](TForm1& F) {
         F.SetVCardPage(TVCardPage{});
         F.JobTitle->setText(QStringLiteral("kept"));
       },
       [](TForm1& F) {
         EXPECT_EQ(F.ContactName->text(), QStringLiteral("Dr Ann Lee"))
             << "the name rule stays idle while reading";
         EXPECT_EQ(F.FirstName->text(), QStringLiteral("Ann"));
         EXPECT_EQ(F.LastName->text(), QStringLiteral("Lee"));
         EXPECT_EQ(F.CityHome->text(), QStringLiteral("Town"));
         EXPECT_EQ(F.Birthday->text(), QStringLiteral("1970.01.31"));
         EXPECT_EQ(F.JobTitle->text(), QStringLiteral("kept"))
             << "a field without a line keeps its text";
         EXPECT_FALSE(F.ReadData);
       }},
      {"Wifi", 4, "Network Key (*.nwk)", ".nwk", &TForm1::SaveWifiBtn, &TForm1::LoadWifiBtn,
       [](TForm1& F) {
         F.SSID->setText(QStringLiteral("home"));
         F.NetworkKey->setText(QStringLiteral("k3y"));
         F.WPA->setCurrentIndex(1);
       },
       [](TForm1& F) {
         F.SSID->clear();
         F.NetworkKey->clear();
         F.WPA->setCurrentIndex(0);
       },
       [](TForm1& F) {
         EXPECT_EQ(F.SSID->text(), QStringLiteral("home"));
         EXPECT_EQ(F.NetworkKey->text(), QStringLiteral("k3y"));
         EXPECT_EQ(F.WPA->currentIndex(), 1);
       }},
  };
  for (const TFileCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TForm1& F = Form();
    F.PageControl1->setCurrentIndex(Case.Page);
    Case.Fill(F);
    const QString Chosen = Folder() + QString::fromUtf8("/pägé"); // a name beyond ASCII
    const QString Final = Chosen + QString::fromLatin1(Case.Extension);
    Filters.clear();
    SaveAnswers.push_back(Chosen);
    (F.*Case.SaveButton)->click();
    EXPECT_TRUE(QFile::exists(Final)) << "the extension is appended";
    Case.Clear(F);
    OpenAnswers.push_back(Final);
    (F.*Case.LoadButton)->click();
    Case.Check(F);
    EXPECT_EQ(Filters, (std::vector<QString>{QString::fromLatin1(Case.Filter),
                                             QString::fromLatin1(Case.Filter)}));
    EXPECT_TRUE(Errors.empty());
    EXPECT_TRUE(OverwriteQuestions.empty());
  }
}

// Text loaded into the memo is text, not the hint: it shows in the text colour.
TEST_F(TWindowTest, LoadedTextShowsInTheTextColourNotTheHintsGrey) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(0);
  ASSERT_EQ(F.MemoText->palette().color(QPalette::Text), kHintColor) << "the hint shows";
  const QString File = Folder() + QStringLiteral("/notes.txt");
  QFile Out(File);
  ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
  Out.write("loaded text\r\n");
  Out.close();
  OpenAnswers.push_back(File);
  F.LoadTextBtn->click();
  EXPECT_EQ(TForm1::MemoLines(F.MemoText), QStringLiteral("loaded text\r\n"));
  EXPECT_EQ(F.MemoText->palette().color(QPalette::Text),
            QApplication::palette().color(QPalette::Text));
}

TEST_F(TWindowTest, SaveAsksBeforeReplacingTheFinalFile) {
  const QString Final = Folder() + QStringLiteral("/x.txt");
  {
    QFile Old(Final);
    ASSERT_TRUE(Old.open(QIODevice::WriteOnly));
    Old.write("old");
  }
  TForm1::SetMemoLines(Form().MemoText, QStringLiteral("new"));
  // "x" becomes "x.txt", which exists: the answer "no" goes back to the dialog, which is cancelled.
  SaveAnswers = {Folder() + QStringLiteral("/x"), std::nullopt};
  OverwriteAnswers = {false};
  Form().SaveTextBtn->click();
  EXPECT_EQ(OverwriteQuestions, std::vector<QString>{Final});
  EXPECT_EQ(FileBytes(Final), QByteArray("old"));

  SaveAnswers = {Folder() + QStringLiteral("/x.TXT")};
  OverwriteAnswers = {true};
  Form().SaveTextBtn->click();
  EXPECT_EQ(FileBytes(Final), QByteArray("new"));
  EXPECT_EQ(OverwriteQuestions.size(), 2u);
}

TEST_F(TWindowTest, CancelledOrFailedFileActionsLeaveThePageAsItWas) {
  TForm1& F = Form();
  TForm1::SetMemoLines(F.MemoText, QStringLiteral("keep"));
  OpenAnswers = {std::nullopt};
  F.LoadTextBtn->click();
  SaveAnswers = {std::nullopt};
  F.SaveTextBtn->click();
  EXPECT_TRUE(Errors.empty());

  const QString Missing = Folder() + QStringLiteral("/missing.txt");
  OpenAnswers = {Missing};
  F.LoadTextBtn->click();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_TRUE(Errors[0].startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(Missing)))
      << Errors[0].toStdString();

  SaveAnswers = {Folder() + QStringLiteral("/no/such/folder/x")};
  F.SaveTextBtn->click();
  ASSERT_EQ(Errors.size(), 2u);
  EXPECT_TRUE(Errors[1].startsWith(QStringLiteral("Cannot create file \"")))
      << Errors[1].toStdString();
  EXPECT_EQ(TForm1::MemoLines(F.MemoText), QStringLiteral("keep"));
}

// ---- About ----

TEST_F(TWindowTest, AboutDialogClosesWithEnterAndLeavesTheTextPageAlone) {
  TForm1& F = Form();
  TForm1::SetMemoLines(F.MemoText, QStringLiteral("typed"));
  bool WasShown = false;
  QTimer::singleShot(0, [&] {
    TFormAbout* About = F.FormAbout();
    WasShown = About->isVisible();
    QTest::keyClick(About, Qt::Key_Return);
  });
  F.AboutBtn->click();
  EXPECT_TRUE(WasShown);
  EXPECT_FALSE(F.FormAbout()->isVisible());
  EXPECT_EQ(TForm1::MemoLines(F.MemoText), QStringLiteral("typed"));
  EXPECT_EQ(F.FormAbout()->ProductName->text(), QStringLiteral("Marbeck"));
  EXPECT_EQ(F.FormAbout()->Version->text(), QStringLiteral("v1.0"));
}

TEST(AboutDialog, TheHomePageIsOfferedOnlyWhenOneIsConfigured) {
  TFormAbout Without(nullptr, QUrl());
  EXPECT_EQ(Without.Label2, nullptr) << "no link label without a home page";
  std::vector<QUrl> Opened;
  Without.OpenUrl = [&](const QUrl& Url) { Opened.push_back(Url); };
  Without.Image1Click();
  EXPECT_TRUE(Opened.empty());

  TFormAbout With(nullptr, QUrl(QStringLiteral("https://example.org/marbeck")));
  With.OpenUrl = [&](const QUrl& Url) { Opened.push_back(Url); };
  ASSERT_NE(With.Label2, nullptr);
  QTest::mouseClick(With.Label2, Qt::LeftButton);
  QTest::mouseClick(With.Image1, Qt::LeftButton);
  EXPECT_EQ(Opened, (std::vector<QUrl>(2, QUrl(QStringLiteral("https://example.org/marbeck")))));
}

TEST_F(TWindowTest, CharactersAFieldShowsDifferentlyReachTheCodeAndTheFileUnchanged) {
  // A non-breaking space in the Text memo and in a network name, a line separator in a network
  // name: the code carries them as they are.
  Form().PageControl1->setCurrentIndex(0);
  TForm1::SetMemoLines(Form().MemoText, QString::fromUtf8("a\u00A0b"));
  Form().CreateCodeBtn->click();
  EXPECT_EQ(DecodePicture(Picture(), 4), std::string("a\xA0"
                                                     "b"))
      << "ISO-8859-1 byte A0";
  Form().PageControl1->setCurrentIndex(4);
  Form().SSID->setText(QString::fromUtf8("x\u00A0y\u2028z"));
  Form().CreateCodeBtn->click();
  EXPECT_EQ(DecodePicture(Picture(), 4),
            std::string("WIFI:T:WPA;S:x\xC2\xA0y\xE2\x80\xA8z;P:;;\r\n"));

  // A Windows-1252 file holding A0 loads and saves back byte for byte.
  const QString Path = Folder() + QStringLiteral("/nbsp.txt");
  const QByteArray Bytes("one\xA0two\r\nthree");
  {
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
  }
  Form().PageControl1->setCurrentIndex(0);
  OpenAnswers.push_back(Path);
  Form().LoadTextBtn->click();
  SaveAnswers.push_back(Path);
  OverwriteAnswers.push_back(true);
  Form().SaveTextBtn->click();
  EXPECT_EQ(FileBytes(Path), Bytes);
  EXPECT_TRUE(Errors.empty());
}
