// The generation pass: first-run state, the payload of each page, the picture, the triggers.
#include "support/window/Expect.h"
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTest>
#include <functional>

TEST_F(TWindowTest, FirstRunStartsFromTheDefaults) {
  TForm1& F = Form();
  EXPECT_EQ(F.ClientArea->size(), QSize(980, 439));
  EXPECT_EQ(F.PageControl1->currentIndex(), 0);
  EXPECT_EQ(F.EncryptionType->currentText(), QStringLiteral("Auto"));
  EXPECT_EQ(F.FrameSize->currentText(), QStringLiteral("1"));
  EXPECT_EQ(F.ErrorCorrection->currentText(), QStringLiteral("L (7 %)"));
  EXPECT_FALSE(F.Boost->isChecked());
  EXPECT_FALSE(F.Frame->isChecked());
  EXPECT_FALSE(F.TrackBar1->isEnabled());
  EXPECT_TRUE(F.Shape1->isVisible());
  EXPECT_EQ(F.BackColor->Color(), 0xFFFFFFu);
  EXPECT_EQ(F.MatrixColor->Color(), 0x000000u);
  EXPECT_EQ(F.FrameColor->Color(), 0x000000u);
  EXPECT_EQ(F.ScrollBar1->value(), 250);
  EXPECT_TRUE(F.tWordWrap->isChecked());
  EXPECT_TRUE(F.eWordWrap->isChecked());
  EXPECT_EQ(F.MemoText->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(F.MemoMessage->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(TForm1::MemoLines(F.MemoText).toStdU16String(), kHintLines);
  EXPECT_EQ(F.MemoText->palette().color(QPalette::Text), QColor(128, 128, 128));
  EXPECT_FALSE(F.Image1->HasPicture()) << "no picture before the first trigger";
  EXPECT_EQ(QRText(), u"QRText");
}

struct TPageCase {
  const char* Name;
  int Page;
  std::function<void(TForm1&)> Fill;
  std::u16string Payload;
};

TEST_F(TWindowTest, EachPagePassesItsPayloadAndPaintsItsSymbol) {
  const TPageCase Cases[] = {
      {"Text with its hint lines", 0, [](TForm1&) {}, kHintLines},
      {"URL", 1, [](TForm1& F) { F.EditURL->setText(QStringLiteral("https://example.org/page")); },
       u"https://example.org/page"},
      {"eMail", 2,
       [](TForm1& F) {
         F.EditAddress->setText(QStringLiteral("ann@example.org"));
         F.EditSubject->setText(QStringLiteral("Hello"));
         TForm1::SetMemoLines(F.MemoMessage, QStringLiteral("Thanks"));
       },
       u"mailto:ann@example.org?subject=Hello&body=Thanks"},
      {"VCard", 3,
       [](TForm1& F) {
         F.FirstName->setText(QStringLiteral("Ann"));
         F.LastName->setText(QStringLiteral("Lee"));
         F.Company->setText(QStringLiteral("ACME"));
       },
       u"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann Lee\r\nN:Lee;Ann;;;\r\nORG:ACME;\r\nEND:VCARD\r\n"},
      {"Wifi", 4,
       [](TForm1& F) {
         F.SSID->setText(QStringLiteral("home"));
         F.NetworkKey->setText(QStringLiteral("secret"));
         F.WPA->setCurrentIndex(1);
       },
       u"WIFI:T:WEP;S:home;P:secret;;\r\n"},
  };
  // Colours from the swatches, so the painting is seen to use them.
  const QColor Light(255, 255, 200), Dark(0, 0, 128);
  ChooseColor(Form().BackColor, Light);
  ChooseColor(Form().MatrixColor, Dark);
  for (const TPageCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Form().PageControl1->setCurrentIndex(Case.Page);
    Case.Fill(Form());
    Form().CreateCodeBtn->click();
    EXPECT_EQ(QRText(), Case.Payload);
    EXPECT_EQ(PixelsOffSymbol(Picture(), {Case.Payload, qrAuto, 1}, Dark.rgb(), Light.rgb()), 0);
    EXPECT_EQ(DecodePicture(Picture(), 4), Utf8(Case.Payload))
        << "a decoder reads the payload back";
  }
}

TEST_F(TWindowTest, SpacingFrameAndEncodingReachTheFacade) {
  Form().PageControl1->setCurrentIndex(1);
  Form().EditURL->setText(QStringLiteral("12345"));
  Form().EncryptionType->setCurrentIndex(3); // ISO-8859-1: byte mode even for digits
  Form().FrameSize->setCurrentIndex(8);      // spacing "9"
  Form().Frame->setChecked(true);            // ... plus one: ten modules
  EXPECT_EQ(
      PixelsOffSymbol(Picture(), {u"12345", qrISO88591, 10}, qRgb(0, 0, 0), qRgb(255, 255, 255)),
      4 * 5)
      << "everything but the four corner marks (five pixels each) in black on the white ring";
  EXPECT_EQ(Form().ScrollBar1->minimum(), Picture().width())
      << "the zoom never goes below the side";
}

TEST_F(TWindowTest, ErrorCorrectionAndBoostChooseTheSymbolsLevel) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(QStringLiteral("https://example.org/")); // 20 bytes
  struct TCase {
    int Level;
    bool Boost;
    const char* Line; // byte capacities: 2-L 32, 2-Q 20, 2-H 14, 3-H 24
  };
  const TCase Cases[] = {
      {0, false, "Scans: reads back exactly (version 2-L, 20 bytes)"},
      {3, false, "Scans: reads back exactly (version 3-H, 20 bytes)"},
      {0, true, "Scans: reads back exactly (version 2-Q, 20 bytes)"},
      {3, true, "Scans: reads back exactly (version 3-H, 20 bytes)"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Line);
    F.ErrorCorrection->setCurrentIndex(Case.Level);
    F.Boost->setChecked(Case.Boost);
    F.CreateCodeBtn->click();
    ASSERT_TRUE(F.WaitForReadBack());
    EXPECT_EQ(F.ReadBackLabel->text().toStdString(), Case.Line);
    EXPECT_EQ(DecodePicture(Picture(), 4), "https://example.org/");
  }
}

TEST_F(TWindowTest, ListsSliderAndFrameRunAPassButTypingAndPageSwitchingDoNot) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(1);
  QTest::keyClicks(F.EditURL, QStringLiteral("HELLO"));
  EXPECT_EQ(QRText(), u"QRText") << "typing and switching pages run no pass";
  EXPECT_FALSE(F.Image1->HasPicture());

  QTest::keyClick(F.EncryptionType, Qt::Key_Down); // a choice made by the user
  EXPECT_EQ(F.EncryptionType->currentIndex(), 1);
  EXPECT_EQ(QRText(), u"HELLO");
  EXPECT_TRUE(F.Image1->HasPicture());

  const auto PassesFor = [&](const QString& Text, const std::function<void()>& Action) {
    F.EditURL->setText(Text);
    Action();
    return QRText() == Text.toStdU16String();
  };
  EXPECT_TRUE(PassesFor(QStringLiteral("A1"), [&] { QTest::keyClick(F.FrameSize, Qt::Key_Down); }));
  EXPECT_TRUE(
      PassesFor(QStringLiteral("A7"), [&] { QTest::keyClick(F.ErrorCorrection, Qt::Key_Down); }));
  EXPECT_TRUE(PassesFor(QStringLiteral("A8"), [&] { QTest::mouseClick(F.Boost, Qt::LeftButton); }));
  EXPECT_TRUE(PassesFor(QStringLiteral("A2"), [&] { F.Frame->setChecked(true); }));
  EXPECT_TRUE(PassesFor(QStringLiteral("A3"), [&] { F.TrackBar1->setValue(4); }));
  EXPECT_FALSE(PassesFor(QStringLiteral("A4"), [&] { F.EncryptionType->setCurrentIndex(2); }))
      << "an index set in code raises no change";
  EXPECT_FALSE(PassesFor(QStringLiteral("A5"), [&] { F.ScrollBar1->setValue(300); }))
      << "zoom only rescales";
  EXPECT_FALSE(PassesFor(QStringLiteral("A6"), [&] { F.PageControl1->setCurrentIndex(2); }));
}

TEST_F(TWindowTest, TextTooLongPaintsTheLightSquareAndSaysWhyUnderThePreview) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(QString(3000, QLatin1Char('a')));
  F.CreateCodeBtn->click();
  EXPECT_TRUE(Errors.empty() && Messages.empty()) << "no modal box";
  EXPECT_TRUE(F.NoteLabel->isVisible());
  EXPECT_EQ(F.NoteLabel->text(),
            QStringLiteral("Too long for a QR code: 3,000 bytes; at most 2,953 fit."));
  ASSERT_EQ(Picture().width(), 2) << "the empty grid with its one-module quiet zone";
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 2; ++X)
      EXPECT_EQ(Picture().pixel(X, Y), qRgb(255, 255, 255));

  F.EditURL->setText(QStringLiteral("short"));
  F.CreateCodeBtn->click();
  EXPECT_FALSE(F.NoteLabel->isVisible());
  EXPECT_TRUE(F.NoteLabel->text().isEmpty());
}

// With Frame ticked, a text too long for a code shows the same light square and note as
// without: no frame marks round a code that is not there.
TEST_F(TWindowTest, TextTooLongWithFrameShowsTheSameEmptyPreview) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(1);
  F.EditURL->setText(QString(3000, QLatin1Char('a')));
  F.CreateCodeBtn->click();
  const QImage Without = Picture();
  const QString Note = F.NoteLabel->text();
  ASSERT_FALSE(Without.isNull());
  F.Frame->setChecked(true);
  F.TrackBar1->setValue(5);
  const QImage With = Picture();
  ASSERT_FALSE(With.isNull());
  for (int Y = 0; Y < With.height(); ++Y)
    for (int X = 0; X < With.width(); ++X)
      ASSERT_EQ(With.pixel(X, Y), qRgb(255, 255, 255)) << X << ", " << Y;
  EXPECT_EQ(F.NoteLabel->text(), Note);
}

TEST_F(TWindowTest, EmptyPayloadWithTheFacadeDefaultsGivesAnEmptyPicture) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(1); // empty URL field
  F.FrameSize->setCurrentIndex(3);    // spacing "4", the facade's own starting value
  F.CreateCodeBtn->click();
  EXPECT_TRUE(F.Image1->HasPicture());
  EXPECT_TRUE(Picture().isNull());
  EXPECT_EQ(F.ScrollBar1->minimum(), 0);
  EXPECT_EQ(F.NoteLabel->text(), QStringLiteral("The page is empty: the code holds nothing."));
}

TEST_F(TWindowTest, VCardInAutoGoesOutAsUtf8WhileOtherPagesKeepAuto) {
  // A vCard 4.0 is UTF-8 only (RFC 6350, section 3.1); elsewhere Auto keeps one byte per
  // character up to U+00FF.
  TForm1& F = Form();
  F.FirstName->setText(QStringLiteral("J\u00FCrgen"));
  F.LastName->setText(QStringLiteral("Gro\u00DF"));
  F.EditURL->setText(QStringLiteral("https://example.org/Gr\u00FC\u00DFe"));
  const std::string Record = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xC3\xBCrgen Gro\xC3\x9F\r\n"
                             "N:Gro\xC3\x9F;J\xC3\xBCrgen;;;\r\nEND:VCARD\r\n";
  struct TCase {
    const char* Name;
    int Page, Encoding;
    std::string Bytes;
  };
  const TCase Cases[] = {
      {"VCard in Auto: UTF-8 without a mark", 3, 0, Record},
      {"VCard in ISO-8859-1 as chosen", 3, 3,
       "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xFCrgen "
       "Gro\xDF\r\nN:Gro\xDF;J\xFCrgen;;;\r\nEND:VCARD\r\n"},
      {"VCard in UTF-8 with BOM: no mark before a record", 3, 5, Record},
      {"URL in Auto: ISO-8859-1", 1, 0,
       "https://example.org/Gr\xFC\xDF"
       "e"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    F.PageControl1->setCurrentIndex(Case.Page);
    F.EncryptionType->setCurrentIndex(Case.Encoding);
    F.CreateCodeBtn->click();
    EXPECT_EQ(DecodePicture(Picture(), 4), Case.Bytes);
    EXPECT_EQ(F.EncryptionType->currentIndex(), Case.Encoding) << "the list keeps the choice";
  }
}

TEST_F(TWindowTest, ListsUnderThePagesShowEveryItemWholeAndOverlapNothing) {
  TForm1& F = Form();
  for (QComboBox* List : {F.EncryptionType, F.FrameSize, F.ErrorCorrection}) {
    for (int I = 0; I < List->count(); ++I) {
      SCOPED_TRACE(List->itemText(I).toStdString());
      List->setCurrentIndex(I);
      QStyleOptionComboBox Option;
      Option.initFrom(List);
      Option.editable = false;
      Option.frame = true;
      Option.currentText = List->currentText();
      // The style draws the closed list's text one pixel inside the field and clips it there.
      const QRect Field =
          List->style()
              ->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxEditField, List)
              .adjusted(1, 0, -1, 0);
      EXPECT_GE(Field.width(), List->fontMetrics().horizontalAdvance(List->itemText(I)));
    }
  }
  // The widened lists push nothing under their neighbours, and the row ends before the preview's
  // column; the buttons have a row of their own.
  QWidget* const Row[] = {F.EncryptionType, F.FrameSize, F.ErrorCorrection, F.Boost};
  for (std::size_t I = 1; I < std::size(Row); ++I)
    EXPECT_LT(Row[I - 1]->geometry().right(), Row[I]->geometry().left()) << I;
  EXPECT_LT(F.EncryptionType->geometry().right(), F.Label31->geometry().left());
  EXPECT_LT(F.FrameSize->geometry().right(), F.Label36->geometry().left());
  EXPECT_GE(F.Boost->width(), F.Boost->sizeHint().width()) << "the box's caption is not cut";
  EXPECT_LT(F.Boost->geometry().right(), F.Panel1->geometry().left());
  for (QWidget* Button : {F.AboutBtn, F.CloseBtn, F.CreateCodeBtn})
    EXPECT_GT(Button->geometry().top(), F.Boost->geometry().bottom());
  EXPECT_LE(F.CreateCodeBtn->geometry().bottom(), F.ClientArea->height());
}

// The colours' row: each label stands 4 px before its control, as in the design row, its caption
// whole; nothing overlaps, and the row ends with the picture area.
TEST_F(TWindowTest, ColourLabelsStandApartFromTheirControls) {
  TForm1& F = Form();
  const std::pair<QLabel*, QWidget*> Pairs[] = {{F.Label34, F.BackColor},
                                                {F.Label35, F.MatrixColor},
                                                {F.Label33, F.TrackBar1},
                                                {F.Label32, F.FrameColor},
                                                {F.Label37, F.ModuleShape}};
  for (const auto& [Label, Control] : Pairs) {
    SCOPED_TRACE(Label->text().toStdString());
    EXPECT_GE(Label->width(), Label->sizeHint().width());
    EXPECT_EQ(Control->geometry().left() - Label->geometry().right() - 1, 4);
  }
  QWidget* const Row[] = {F.Label34, F.BackColor, F.Label35, F.MatrixColor, F.Frame,
                          F.Label33, F.TrackBar1, F.Label32, F.FrameColor};
  for (std::size_t I = 1; I < std::size(Row); ++I)
    EXPECT_LT(Row[I - 1]->geometry().right(), Row[I]->geometry().left()) << I;
  EXPECT_GE(F.Frame->width(), F.Frame->sizeHint().width());
  EXPECT_EQ(F.FrameColor->geometry().right(), F.Panel1->geometry().right());
  EXPECT_EQ(F.Shape1->geometry(), F.FrameColor->geometry());
}
