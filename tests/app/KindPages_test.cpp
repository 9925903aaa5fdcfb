// The Phone, SMS, Place, Event and Payment pages: each makes its record and a code zbar reads,
// the code read back fills the same page, a refusal is one line under the preview and no code,
// the payment page holds the level at M, the ten tabs fit one row, and the IBAN is not stored.
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "support/TempFolder.h"
#include "support/window/WindowFixture.h"
#include "support/window/Zbar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <ctime>
#include <functional>

namespace {

// The local time zone for the length of a test.
class TTimeZone {
public:
  explicit TTimeZone(const char* Zone) : FEnv("TZ", Zone) { ::tzset(); }
  ~TTimeZone() { ::tzset(); }

private:
  TScopedEnv FEnv;
};

struct TKindCase {
  const char* Name;
  int Page;
  std::function<void(TForm1&)> Fill;
  std::u16string Payload;
  std::function<std::vector<QString>(TForm1&)> Fields; // what the page shows
};

void ClearPages(TForm1& F) {
  for (QLineEdit* Edit :
       {F.PhoneNumber, F.SmsNumber, F.GeoLatitude, F.GeoLongitude, F.GeoLabel, F.EventSummary,
        F.EventStart, F.EventEnd, F.EventLocation, F.PayName, F.PayIBAN, F.PayBIC, F.PayAmount,
        F.PayReference, F.PayRemittance, F.PayPurpose, F.PayInfo})
    Edit->clear();
  F.SmsMessage->clear();
  F.EventDescription->clear();
  F.EventAllDay->setChecked(false);
}

} // namespace

TEST_F(TWindowTest, EachNewPageMakesItsRecordAndReadsBackIntoItsFields) {
  const TTimeZone Berlin("Europe/Berlin");
  TForm1& F = Form();
  const TKindCase Cases[] = {
      {"phone", 5, [](TForm1& W) { W.PhoneNumber->setText(QStringLiteral("+49 30 1234-567")); },
       u"tel:+49301234-567", [](TForm1& W) { return std::vector{W.PhoneNumber->text()}; }},
      {"sms", 6,
       [](TForm1& W) {
         W.SmsNumber->setText(QStringLiteral("555 01"));
         W.SmsMessage->setPlainText(QStringLiteral("Gr\u00FC\u00DFe: bis 8\nBye"));
       },
       u"SMSTO:55501:Gr\u00FC\u00DFe: bis 8\nBye",
       [](TForm1& W) {
         return std::vector{W.SmsNumber->text(), W.SmsMessage->toPlainText()};
       }},
      {"geo", 7,
       [](TForm1& W) {
         W.GeoLatitude->setText(QStringLiteral("48,8584"));
         W.GeoLongitude->setText(QStringLiteral("2.2945"));
         W.GeoLabel->setText(QStringLiteral("Tour Eiffel"));
       },
       u"geo:48.8584,2.2945?q=48.8584,2.2945(Tour%20Eiffel)",
       [](TForm1& W) {
         return std::vector{W.GeoLatitude->text(), W.GeoLongitude->text(), W.GeoLabel->text()};
       }},
      {"event", 8,
       [](TForm1& W) {
         W.EventSummary->setText(QStringLiteral("Carols"));
         W.EventStart->setText(QStringLiteral("2026-12-24T18:00"));
         W.EventEnd->setText(QStringLiteral("2026-12-24T19:30"));
         W.EventLocation->setText(QStringLiteral("St. Mary's, Market Sq."));
       },
       u"BEGIN:VEVENT\r\nSUMMARY:Carols\r\nDTSTART:20261224T170000Z\r\nDTEND:20261224T183000Z\r\n"
       u"LOCATION:St. Mary's\\, Market Sq.\r\nEND:VEVENT\r\n",
       [](TForm1& W) {
         return std::vector{W.EventSummary->text(), W.EventStart->text(), W.EventEnd->text(),
                            W.EventLocation->text()};
       }},
      {"pay", 9,
       [](TForm1& W) {
         W.PayName->setText(QStringLiteral("Red Cross"));
         W.PayIBAN->setText(QStringLiteral("DE89370400440532013000"));
         W.PayAmount->setText(QStringLiteral("25.5"));
         W.PayRemittance->setText(QStringLiteral("Donation"));
       },
       u"BCD\n002\n1\nSCT\n\nRed Cross\nDE89370400440532013000\nEUR25.5\n\n\nDonation",
       [](TForm1& W) {
         return std::vector{W.PayName->text(), W.PayIBAN->text(), W.PayAmount->text(),
                            W.PayRemittance->text()};
       }},
  };
  for (const TKindCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ClearPages(F);
    F.PageControl1->setCurrentIndex(Case.Page);
    Case.Fill(F);
    F.CreateCodeBtn->click();
    EXPECT_EQ(QRText(), ReplaceLineBreaks(Case.Payload, u"\r\n")); // the memo shows CR LF
    EXPECT_FALSE(F.NoteLabel->isVisible()) << F.NoteLabel->text().toStdString();
    const QString Encoded = QString::fromStdU16String(Case.Payload);
    EXPECT_EQ(DecodePicture(Picture(), 4), Encoded.toUtf8().toStdString()) << "zbar reads it";
    const std::vector<QString> Shown = Case.Fields(F);

    // Read back from the picture, with the fields cleared and another page shown.
    const QImage Code = Picture().scaled(Picture().size() * 4);
    ClearPages(F);
    F.PageControl1->setCurrentIndex(0);
    F.ReadCodesIn(Code, QStringLiteral("the test"));
    EXPECT_EQ(F.PageControl1->currentIndex(), Case.Page);
    EXPECT_EQ(DecodePicture(Picture(), 4), Encoded.toUtf8().toStdString())
        << "the page makes the same record again";
    const std::vector<QString> Back = Case.Fields(F);
    if (Case.Page == 5 || Case.Page == 6) { // the number as written, blanks dropped
      EXPECT_EQ(Back.front(), QString(Shown.front()).remove(QLatin1Char(' ')));
    } else if (Case.Page != 7) { // the place reads back its canonical degrees
      EXPECT_EQ(Back, Shown);
    }
  }
}

TEST_F(TWindowTest, RefusalsAreOneLineUnderThePreviewAndMakeNoCode) {
  const TTimeZone Berlin("Europe/Berlin");
  TForm1& F = Form();
  struct TRefusal {
    int Page;
    std::function<void(TForm1&)> Fill;
    const char* Says;
  };
  const TRefusal Cases[] = {
      {5, [](TForm1& W) { W.PhoneNumber->setText(QStringLiteral("0800-FLOWERS")); }, "letter"},
      {6, [](TForm1& W) { W.SmsMessage->setPlainText(QStringLiteral("no number")); }, "empty"},
      {7,
       [](TForm1& W) {
         W.GeoLatitude->setText(QStringLiteral("91"));
         W.GeoLongitude->setText(QStringLiteral("0"));
       },
       "-90 to 90"},
      {8,
       [](TForm1& W) {
         W.EventSummary->setText(QStringLiteral("X"));
         W.EventStart->setText(QStringLiteral("2026-12-24T18:00"));
         W.EventEnd->setText(QStringLiteral("2026-12-24T17:00"));
       },
       "ends before it starts"},
      {9,
       [](TForm1& W) {
         W.PayName->setText(QStringLiteral("Ann"));
         W.PayIBAN->setText(QStringLiteral("DE89370400440532013001"));
       },
       "check digits"},
  };
  for (const TRefusal& Case : Cases) {
    SCOPED_TRACE(Case.Says);
    ClearPages(F);
    F.PageControl1->setCurrentIndex(Case.Page);
    Case.Fill(F);
    F.CreateCodeBtn->click();
    EXPECT_TRUE(F.NoteLabel->isVisible());
    EXPECT_TRUE(F.NoteLabel->text().contains(QLatin1String(Case.Says)))
        << F.NoteLabel->text().toStdString();
    EXPECT_FALSE(F.NoteLabel->text().contains(QLatin1Char('\n')));
    EXPECT_EQ(QRText(), u"");
    EXPECT_FALSE(DecodePicture(Picture(), 4).has_value()) << "no code is painted";
    const std::size_t Copies = Clipboard.size();
    F.CopyToClipboardBtn->click();
    EXPECT_EQ(Clipboard.size(), Copies) << "nothing is copied";
    EXPECT_TRUE(F.NoteLabel->text().contains(QLatin1String(Case.Says))) << "the reason stays";
  }
}

TEST_F(TWindowTest, PaymentPageOffersNoLevelBelowMAndGivesTheLevelBack) {
  TForm1& F = Form();
  auto* Levels = qobject_cast<QStandardItemModel*>(F.ErrorCorrection->model());
  ASSERT_NE(Levels, nullptr);
  F.PageControl1->setCurrentIndex(0);
  F.ErrorCorrection->setCurrentIndex(ecL);
  F.PageControl1->setCurrentIndex(9);
  EXPECT_EQ(F.ErrorCorrection->currentIndex(), ecM);
  EXPECT_FALSE(Levels->item(ecL)->isEnabled());
  EXPECT_TRUE(Levels->item(ecQ)->isEnabled());
  F.PayName->setText(QStringLiteral("Ann"));
  F.PayIBAN->setText(QStringLiteral("DE89370400440532013000"));
  F.CreateCodeBtn->click();
  EXPECT_GE(F.ErrorCorrection->currentIndex(), ecM);
  EXPECT_TRUE(DecodePicture(Picture(), 4).has_value());
  F.PageControl1->setCurrentIndex(1);
  EXPECT_EQ(F.ErrorCorrection->currentIndex(), ecL) << "the user's level comes back";
  EXPECT_TRUE(Levels->item(ecL)->isEnabled());
  // A level chosen on the payment page stays.
  F.PageControl1->setCurrentIndex(9);
  F.ErrorCorrection->setCurrentIndex(ecH);
  F.PageControl1->setCurrentIndex(1);
  EXPECT_EQ(F.ErrorCorrection->currentIndex(), ecH);
}

TEST_F(TWindowTest, TenTabsInOneRowAndControlPageKeysMoveBetweenThem) {
  TForm1& F = Form();
  ASSERT_EQ(F.PageControl1->count(), 10);
  const QStringList Captions = {QStringLiteral("Phone"), QStringLiteral("SMS"),
                                QStringLiteral("Place"), QStringLiteral("Event"),
                                QStringLiteral("Payment")};
  for (int I = 0; I < 5; ++I)
    EXPECT_EQ(F.PageControl1->tabText(5 + I), Captions[I]);
  EXPECT_FALSE(F.PageControl1->usesScrollButtons());
  QTabBar* Bar = F.PageControl1->tabBar();
  EXPECT_LE(Bar->sizeHint().width(), F.PageControl1->width()) << "no tab is squeezed or hidden";
  for (int I = 0; I < Bar->count(); ++I) // every caption whole, none elided
    EXPECT_GT(Bar->tabRect(I).width(), Bar->fontMetrics().horizontalAdvance(Bar->tabText(I))) << I;
  F.PageControl1->setCurrentIndex(4);
  QTest::keyClick(F.PageControl1, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(F.PageControl1->currentIndex(), 5);
  QTest::keyClick(F.PageControl1, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(F.PageControl1->currentIndex(), 4);
}

TEST_F(TWindowTest, NewControlsHaveToolTipsAndLabelsAScreenReaderSpeaks) {
  TForm1& F = Form();
  for (QWidget* Control : std::initializer_list<QWidget*>{
           F.PhoneNumber,   F.SmsNumber,        F.SmsMessage,   F.GeoLatitude,  F.GeoLongitude,
           F.GeoLabel,      F.EventSummary,     F.EventStart,   F.EventEnd,     F.EventAllDay,
           F.EventLocation, F.EventDescription, F.LoadEventBtn, F.SaveEventBtn, F.PayName,
           F.PayIBAN,       F.PayBIC,           F.PayAmount,    F.PayReference, F.PayRemittance,
           F.PayPurpose,    F.PayInfo}) {
    EXPECT_FALSE(Control->toolTip().isEmpty()) << Control->metaObject()->className();
    EXPECT_NE(Control->focusPolicy() & Qt::TabFocus, 0) << "reachable with Tab";
    if (qobject_cast<QAbstractButton*>(Control)) continue;
    bool Labelled = false;
    for (const QLabel* Label : Control->parentWidget()->findChildren<QLabel*>())
      Labelled = Labelled || Label->buddy() == Control;
    EXPECT_TRUE(Labelled) << Control->toolTip().toStdString();
  }
}

TEST_F(TWindowTest, EventPageSavesAnIcsFileAndLoadsItBack) {
  const TTimeZone Berlin("Europe/Berlin");
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(8);
  F.EventSummary->setText(QStringLiteral("Holiday"));
  F.EventStart->setText(QStringLiteral("2026-12-31"));
  F.EventEnd->setText(QStringLiteral("2027-01-02"));
  F.EventAllDay->setChecked(true);
  F.EventDescription->setPlainText(QStringLiteral("Two\nlines"));
  SaveAnswers.push_back(Folder() + QStringLiteral("/holiday"));
  F.SaveEventBtn->click();
  ASSERT_TRUE(Errors.empty()) << Errors.front().toStdString();
  EXPECT_EQ(Filters.back(), QStringLiteral("Calendar (*.ics)"));
  QFile Saved(Folder() + QStringLiteral("/holiday.ics"));
  ASSERT_TRUE(Saved.open(QIODevice::ReadOnly));
  const QByteArray Bytes = Saved.readAll();
  EXPECT_TRUE(Bytes.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"));
  EXPECT_TRUE(Bytes.contains("DTEND;VALUE=DATE:20270103\r\n")) << "the day after the last day";

  ClearPages(F);
  OpenAnswers.push_back(Folder() + QStringLiteral("/holiday.ics"));
  F.LoadEventBtn->click();
  EXPECT_EQ(F.EventSummary->text(), QStringLiteral("Holiday"));
  EXPECT_EQ(F.EventStart->text(), QStringLiteral("2026-12-31"));
  EXPECT_EQ(F.EventEnd->text(), QStringLiteral("2027-01-02"));
  EXPECT_TRUE(F.EventAllDay->isChecked());
  EXPECT_EQ(F.EventDescription->toPlainText(), QStringLiteral("Two\nlines"));

  // A refused event is not saved, and the error box says why.
  F.EventEnd->setText(QStringLiteral("2026-12-01"));
  SaveAnswers.push_back(Folder() + QStringLiteral("/wrong.ics"));
  F.SaveEventBtn->click();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_TRUE(Errors.front().contains(QLatin1String("ends before")));
  EXPECT_FALSE(QFile::exists(Folder() + QStringLiteral("/wrong.ics")));
}

TEST_F(TWindowTest, TheIbanIsNotKeptInTheSettingsStore) {
  TForm1& F = Form();
  F.PageControl1->setCurrentIndex(9);
  F.PayName->setText(QStringLiteral("Ann"));
  F.PayIBAN->setText(QStringLiteral("DE89370400440532013000"));
  Reopen();
  EXPECT_EQ(Form().PageControl1->currentIndex(), 9) << "the page shown is kept";
  EXPECT_TRUE(Form().PayIBAN->text().isEmpty());
  QFile Stored(QString::fromStdU16String(TSettingsStore::DefaultFile().u16string()));
  ASSERT_TRUE(Stored.open(QIODevice::ReadOnly));
  EXPECT_FALSE(Stored.readAll().contains("0532013000"));
}
