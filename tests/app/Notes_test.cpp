// The notes under the preview: shown whole at the smallest size, gone or marked as outdated as
// soon as the page changes, and the pass's own notes (an empty page, a byte-order mark left out,
// a logo that cannot have its level).
#include "support/OutsideReaders.h"
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <functional>

namespace {

QRect InWindow(TForm1& F, const QWidget* W) {
  return W->rect().translated(W->mapTo(&F, QPoint(0, 0)));
}

// The label shows its whole text: as tall as its text needs at its width, and within the window
// clear of the picture area and the colours' row.
void ExpectWhole(TForm1& F, const QLabel* Label) {
  SCOPED_TRACE(Label->text().toStdString());
  ASSERT_TRUE(Label->isVisible());
  EXPECT_GE(Label->height(), Label->heightForWidth(Label->width()));
  EXPECT_EQ(Label->accessibleDescription(), Label->text());
  const QRect Place = InWindow(F, Label);
  EXPECT_FALSE(Place.intersects(InWindow(F, F.Panel1)));
  EXPECT_LE(Place.bottom(), InWindow(F, F.TrackBar1).top() - 1);
  EXPECT_TRUE(F.ClientArea->rect().contains(Label->geometry()));
}

} // namespace

TEST_F(TWindowTest, LongNotesAndTheVerdictShowWholeAtTheSmallestSize) {
  TForm1& F = Form();
  ASSERT_EQ(F.ClientArea->size(), kSmallestClientSize);
  // A vCard of another writer with much the page has no field for, and a network whose WEP key
  // phones refuse: notes of two and more lines.
  const struct {
    const char* Name;
    std::string Bytes;
  } Codes[] = {
      {"contact",
       "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann Example\r\nN:Example;Ann;;Dr.;PhD\r\n"
       "NICKNAME:Annie\r\nNOTE:met at the fair\r\nTEL;TYPE=fax:+49 1\r\nTEL;TYPE=pager:+49 2\r\n"
       "ADR;TYPE=home:PO 1;Flat 2;Main St;Town;Region;12345;Country\r\nX-SOCIAL:@ann\r\n"
       "GENDER:F\r\nLANG:de\r\nCATEGORIES:friends\r\nEND:VCARD\r\n"},
      {"bad-wep", "WIFI:T:WEP;S:Office on the second floor;P:abcdefg;;"},
  };
  for (const auto& Code : Codes) {
    SCOPED_TRACE(Code.Name);
    const QImage Picture = OutsideCodePicture(TOutsideEncoder::Segno, Code.Bytes);
    ASSERT_FALSE(Picture.isNull());
    F.ReadCodesIn(Picture, QString::fromLatin1(Code.Name) + QStringLiteral(".png"));
    ASSERT_TRUE(F.WaitForReadBack());
    ASSERT_GT(F.NoteLabel->heightForWidth(F.NoteLabel->width()), 20) << "more than one line";
    for (const QSize Size : {F.minimumSize(), QSize(1280, 900)}) {
      F.resize(Size);
      QCoreApplication::processEvents();
      ExpectWhole(F, F.NoteLabel);
      ExpectWhole(F, F.ReadBackLabel);
      EXPECT_FALSE(InWindow(F, F.NoteLabel).intersects(InWindow(F, F.ReadBackLabel)));
    }
    F.resize(F.minimumSize());
    QCoreApplication::processEvents();
  }
  // A pass without a note gives the picture area its rows back.
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(QStringLiteral("https://example.org/"));
  F.CreateCodeBtn->click();
  EXPECT_FALSE(F.NoteLabel->isVisible());
  EXPECT_EQ(F.Panel1->geometry(), QRect(528, 16, 441, 303));
}

TEST_F(TWindowTest, AChangedPageOutdatesThePassNoteAndTheVerdictAtOnce) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(4);
  F.SSID->setText(QStringLiteral("Office"));
  F.WPA->setCurrentIndex(kWifiWEP);
  F.NetworkKey->setText(QStringLiteral("abcdefg"));
  const QString Outdated =
      QStringLiteral("The page has changed: Generate QR-Code makes its code and checks it.");
  const std::function<void()> Changes[] = {
      [&] { F.WPA->setCurrentIndex(kWifiOpen); },
      [&] { F.Hidden->setChecked(!F.Hidden->isChecked()); },
      [&] { F.NetworkKey->setText(F.NetworkKey->text() + QLatin1Char('x')); },
  };
  for (std::size_t I = 0; I < std::size(Changes); ++I) {
    SCOPED_TRACE(I);
    F.WPA->setCurrentIndex(kWifiWEP);
    F.CreateCodeBtn->click();
    ASSERT_TRUE(F.WaitForReadBack());
    ASSERT_TRUE(F.NoteLabel->isVisible()) << "the key note";
    ASSERT_TRUE(F.ReadBackLabel->text().startsWith(QStringLiteral("Scans")));
    Changes[I]();
    EXPECT_FALSE(F.NoteLabel->isVisible()) << F.NoteLabel->text().toStdString();
    EXPECT_EQ(F.ReadBackLabel->text(), Outdated);
  }

  // A read-back answer that comes after the change does not bring the old verdict back.
  F.CreateCodeBtn->click();
  F.SSID->setText(QStringLiteral("Office 2"));
  F.WaitForReadBackWorker();
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_EQ(F.ReadBackLabel->text(), Outdated);

  // What a read found stays; only the pass's part of its note goes.
  const QImage Picture =
      OutsideCodePicture(TOutsideEncoder::Qrencode, "WIFI:T:WPA;S:Lab;P:short;;");
  ASSERT_FALSE(Picture.isNull());
  F.ReadCodesIn(Picture, QStringLiteral("lab.png"));
  const QString Read = QStringLiteral("Read a Wi-Fi code from lab.png: version 2, 26 bytes");
  EXPECT_EQ(F.NoteLabel->text(),
            Read + QStringLiteral(". Phones refuse WPA keys shorter than 8 characters"));
  F.NetworkKey->setText(QStringLiteral("long enough now"));
  EXPECT_EQ(F.NoteLabel->text(), Read);

  // Enter in a one-line field generates the code anew.
  QTest::keyClick(F.NetworkKey, Qt::Key_Return);
  EXPECT_EQ(QRText(), u"WIFI:T:WPA;S:Lab;P:long enough now;;\r\n");
  EXPECT_FALSE(F.NoteLabel->isVisible());
  ASSERT_TRUE(F.WaitForReadBack());
  EXPECT_TRUE(F.ReadBackLabel->text().startsWith(QStringLiteral("Scans")));
}

TEST_F(TWindowTest, AnEmptyPageOrNetworkNameIsSaid) {
  TForm1& F = Form();
  const QString Empty = QStringLiteral("The page is empty: the code holds nothing.");
  const struct {
    int Page;
    std::function<void()> Fill;
    QString Note;
  } Cases[] = {
      {1, [&] { F.EditURL->clear(); }, Empty},
      {1, [&] { F.EditURL->setText(QStringLiteral("   ")); }, Empty},
      {2, [&] { F.EditAddress->clear(); }, Empty},
      {3, [&] { F.FirstName->clear(); }, Empty}, // the contact name is a blank
      {4, [&] { F.SSID->clear(); },
       QStringLiteral(
           "The network name is empty: a phone finds no network by it. Phones refuse WPA "
           "keys shorter than 8 characters")},
      {2, [&] { F.EditSubject->setText(QStringLiteral("Hello")); }, QString()},
      {3, [&] { F.FirstName->setText(QStringLiteral("Ann")); }, QString()},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Page);
    F.PageControl1->setCurrentIndex(C.Page);
    C.Fill();
    F.CreateCodeBtn->click();
    EXPECT_FALSE(Picture().isNull()) << "the code is made all the same";
    EXPECT_EQ(F.NoteLabel->text(), C.Note);
  }
}

// A byte-order mark read with a plain text is kept for it; a record never gets one, whether the
// mode comes from a read or from the list, and the note says why.
TEST_F(TWindowTest, AByteOrderMarkNeverGoesBeforeARecord) {
  TForm1& F = Form();
  const QImage Marked =
      OutsideCodePicture(TOutsideEncoder::Qrencode, "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
                                                    "e");
  ASSERT_FALSE(Marked.isNull());
  F.ReadCodesIn(Marked, QStringLiteral("greeting.png"));
  ASSERT_EQ(F.PageControl1->currentIndex(), 0);
  EXPECT_EQ(F.EncryptionType->currentIndex(), qrUTF8BOM);
  EXPECT_EQ(DecodePicture(Picture(), 4), "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
                                         "e");

  const struct {
    int Page;
    std::function<void()> Fill;
    std::string Starts;
  } Records[] = {
      {1, [&] { F.EditURL->setText(QStringLiteral("https://example.org/")); }, "https:"},
      {2, [&] { F.EditAddress->setText(QStringLiteral("a@b.c")); }, "mailto:"},
      {3, [&] { F.FirstName->setText(QStringLiteral("J\u00FCrgen")); }, "BEGIN:VCARD"},
      {4,
       [&] {
         F.SSID->setText(QStringLiteral("Office"));
         F.NetworkKey->setText(QStringLiteral("s3cret pass"));
       },
       "WIFI:"},
  };
  for (const auto& R : Records) {
    SCOPED_TRACE(R.Starts);
    F.PageControl1->setCurrentIndex(R.Page);
    R.Fill();
    F.CreateCodeBtn->click();
    const std::optional<std::string> Bytes = DecodePicture(Picture(), 4);
    ASSERT_TRUE(Bytes.has_value());
    EXPECT_TRUE(Bytes->starts_with(R.Starts)) << *Bytes;
    EXPECT_TRUE(F.NoteLabel->text().contains(QStringLiteral("byte-order mark goes before plain "
                                                            "text only")));
    ASSERT_TRUE(F.WaitForReadBack());
    EXPECT_TRUE(F.ReadBackLabel->text().startsWith(QStringLiteral("Scans")));
  }

  // A record read with a mark does not set the mode: the list is as it was, or Auto.
  const QImage MarkedRecord =
      OutsideCodePicture(TOutsideEncoder::Qrencode, "\xEF\xBB\xBFWIFI:T:WPA;S:Lab;P:12345678;;");
  ASSERT_FALSE(MarkedRecord.isNull());
  F.ReadCodesIn(MarkedRecord, QStringLiteral("lab.png"));
  EXPECT_EQ(F.PageControl1->currentIndex(), 4);
  EXPECT_EQ(F.EncryptionType->currentIndex(), qrAuto);
  EXPECT_EQ(DecodePicture(Picture(), 4), "WIFI:T:WPA;S:Lab;P:12345678;;\r\n");
}

// A logo needs level H; a text too long for H keeps its level and its code.
TEST_F(TWindowTest, ALogoKeepsTheLevelOfATextTooLongForH) {
  TForm1& F = Form();
  const QString Logo = Folder() + QStringLiteral("/logo.png");
  QImage Square(40, 40, QImage::Format_RGB32);
  Square.fill(QColor(0, 0, 128));
  ASSERT_TRUE(Square.save(Logo));

  F.PageControl1->setCurrentIndex(0);
  F.MemoText->setPlainText(QString(2950, QLatin1Char('x')));
  F.ErrorCorrection->setCurrentIndex(ecL);
  F.CreateCodeBtn->click();
  ASSERT_FALSE(F.NoteLabel->isVisible()) << F.NoteLabel->text().toStdString();
  OpenAnswers.push_back(Logo);
  F.LogoBtn->click();
  EXPECT_NE(F.Logo(), nullptr);
  EXPECT_EQ(F.ErrorCorrection->currentIndex(), ecL);
  EXPECT_FALSE(Picture().isNull()) << "the code is kept";
  EXPECT_EQ(F.NoteLabel->text(),
            QStringLiteral("A logo needs level H, and this text is too long for it: the level "
                           "stays L (7 %), which may not restore the modules under the logo."));

  // A text that fits at H gets it.
  F.NoLogoBtn->click();
  F.MemoText->setPlainText(QStringLiteral("short"));
  OpenAnswers.push_back(Logo);
  F.LogoBtn->click();
  EXPECT_EQ(F.ErrorCorrection->currentIndex(), ecH);
  EXPECT_FALSE(F.NoteLabel->isVisible()) << F.NoteLabel->text().toStdString();
}
