// The Phone, SMS, Place, Event and Payment pages of the main window: their controls (laid out by
// layouts that grow with their captions), the page records they fill, the event's .ics Load and
// Save, and the payment page's hold on the error-correction level. The records themselves are
// made and refused in payload/.
#include "FormHelpers.h"
#include "Unit1.h"
#include "encoder/Mode.h"
#include "payload/PayloadFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A label above its field, tied to it for the keyboard and for screen readers.
void AddLabelled(QVBoxLayout* Column, const QString& Caption, QWidget* Field) {
  auto* Label = new QLabel(Caption);
  Label->setBuddy(Field);
  Column->addWidget(Label);
  Column->addWidget(Field);
}

QLabel* HintLabel(const QString& Text) {
  auto* Hint = new QLabel(Text);
  Hint->setWordWrap(true);
  SetTextColor(Hint, QPalette::WindowText, kHintColor);
  return Hint;
}

QVBoxLayout* PageColumn(QWidget* Page) {
  auto* Column = new QVBoxLayout(Page);
  Column->setContentsMargins(8, 8, 8, 8);
  Column->setSpacing(3);
  return Column;
}

} // namespace

void TForm1::BuildPhonePage() {
  TabPhone = new QWidget;
  PageControl1->addTab(TabPhone, tr("Phone"));
  QVBoxLayout* Column = PageColumn(TabPhone);
  PhoneNumber = new QLineEdit;
  PhoneNumber->setToolTip(tr("The number to call, as you would dial it; blanks are left out"));
  AddLabelled(Column, tr("&Phone Number"), PhoneNumber);
  Column->addWidget(HintLabel(tr("e.g.  +49 30 1234-567   or   (030) 123 45 67")));
  Column->addStretch();
  WatchCopyKey(PhoneNumber);
}

void TForm1::BuildSmsPage() {
  TabSms = new QWidget;
  PageControl1->addTab(TabSms, tr("SMS"));
  QVBoxLayout* Column = PageColumn(TabSms);
  SmsNumber = new QLineEdit;
  SmsNumber->setToolTip(tr("The number the message goes to"));
  AddLabelled(Column, tr("&Phone Number"), SmsNumber);
  SmsMessage = new QPlainTextEdit;
  SmsMessage->setTabChangesFocus(true);
  SmsMessage->setToolTip(tr("The text of the message; the phone lets the user change it before "
                            "sending"));
  AddLabelled(Column, tr("&Message"), SmsMessage);
  WatchCopyKey(SmsNumber);
  WatchCopyKey(SmsMessage);
}

void TForm1::BuildPlacePage() {
  TabPlace = new QWidget;
  PageControl1->addTab(TabPlace, tr("Place"));
  QVBoxLayout* Column = PageColumn(TabPlace);
  GeoLatitude = new QLineEdit;
  GeoLatitude->setToolTip(tr("Degrees north of the equator, -90 to 90; south is negative"));
  AddLabelled(Column, tr("&Latitude"), GeoLatitude);
  GeoLongitude = new QLineEdit;
  GeoLongitude->setToolTip(tr("Degrees east of Greenwich, -180 to 180; west is negative"));
  AddLabelled(Column, tr("L&ongitude"), GeoLongitude);
  GeoLabel = new QLineEdit;
  GeoLabel->setToolTip(tr("A name the map apps show at the point (optional)"));
  AddLabelled(Column, tr("La&bel (optional)"), GeoLabel);
  Column->addWidget(HintLabel(tr("Decimal degrees, e.g.  48.8584  and  2.2945  (at most 6 "
                                 "decimals are written)")));
  Column->addStretch();
  for (QLineEdit* Edit : {GeoLatitude, GeoLongitude, GeoLabel})
    WatchCopyKey(Edit);
}

void TForm1::BuildEventPage() {
  TabEvent = new QWidget;
  PageControl1->addTab(TabEvent, tr("Event"));
  QVBoxLayout* Column = PageColumn(TabEvent);
  EventSummary = new QLineEdit;
  EventSummary->setToolTip(tr("The event's title in the calendar"));
  AddLabelled(Column, tr("&Title"), EventSummary);

  auto* Times = new QHBoxLayout;
  auto* StartColumn = new QVBoxLayout;
  auto* EndColumn = new QVBoxLayout;
  EventStart = new QLineEdit;
  EventStart->setPlaceholderText(QStringLiteral("2026-12-24T18:00"));
  EventStart->setToolTip(tr("In the local time of this computer: 2026-12-24T18:00 (a blank for "
                            "the T will do); a date alone for an all-day event"));
  AddLabelled(StartColumn, tr("&Start"), EventStart);
  EventEnd = new QLineEdit;
  EventEnd->setPlaceholderText(QStringLiteral("2026-12-24T20:00"));
  EventEnd->setToolTip(tr("Optional; for an all-day event the last day"));
  AddLabelled(EndColumn, tr("&End"), EventEnd);
  Times->addLayout(StartColumn);
  Times->addLayout(EndColumn);
  Column->addLayout(Times);
  EventAllDay = new QCheckBox(tr("&All day"));
  EventAllDay->setToolTip(tr("Start and end are dates (2026-12-31); the end is the last day"));
  Column->addWidget(EventAllDay);
  EventLocation = new QLineEdit;
  EventLocation->setToolTip(tr("Where the event takes place"));
  AddLabelled(Column, tr("L&ocation"), EventLocation);
  EventDescription = new QPlainTextEdit;
  EventDescription->setTabChangesFocus(true);
  EventDescription->setToolTip(tr("A description of the event (optional)"));
  AddLabelled(Column, tr("&Description"), EventDescription);

  auto* Buttons = new QHBoxLayout;
  Buttons->addStretch();
  LoadEventBtn = new QPushButton(tr("Load"));
  LoadEventBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  LoadEventBtn->setToolTip(tr("Take the first event of a calendar file (.ics)"));
  SaveEventBtn = new QPushButton(tr("Save"));
  SaveEventBtn->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  SaveEventBtn->setToolTip(tr("Save the event as a calendar file (.ics) that calendar programs "
                              "import"));
  for (QPushButton* Button : {LoadEventBtn, SaveEventBtn}) {
    Button->setIconSize(QSize(16, 16));
    Buttons->addWidget(Button);
  }
  Column->addLayout(Buttons);
  for (QWidget* Field : std::initializer_list<QWidget*>{EventSummary, EventStart, EventEnd,
                                                        EventLocation, EventDescription})
    WatchCopyKey(Field);
  Wire(this, EventAllDay, &QCheckBox::clicked, &TForm1::CreateCodeBtnClick);
  Wire(this, LoadEventBtn, &QPushButton::clicked, &TForm1::LoadEventBtnClick);
  Wire(this, SaveEventBtn, &QPushButton::clicked, &TForm1::SaveEventBtnClick);
}

void TForm1::BuildPaymentPage() {
  TabPayment = new QWidget;
  PageControl1->addTab(TabPayment, tr("Payment"));
  auto* Column = PageColumn(TabPayment);
  auto* Form = new QFormLayout;
  Form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  Form->setVerticalSpacing(4);
  const auto Row = [&](QLineEdit*& Edit, const QString& Caption, const QString& Tip) {
    Edit = new QLineEdit;
    Edit->setToolTip(Tip);
    auto* Label = new QLabel(Caption);
    Label->setBuddy(Edit);
    Form->addRow(Label, Edit);
    WatchCopyKey(Edit);
  };
  Row(PayName, tr("&Beneficiary"),
      tr("The name of the one who receives the money (at most 70 "
         "characters)"));
  Row(PayIBAN, tr("&IBAN"),
      tr("The beneficiary's account; checked, and never kept when the "
         "program closes"));
  Row(PayBIC, tr("BI&C"), tr("The beneficiary bank's BIC (optional within the euro area)"));
  Row(PayAmount, tr("&Amount (EUR)"),
      tr("0.01 to 999999999.99 euro (optional: the payer types "
         "it)"));
  Row(PayReference, tr("&Reference"),
      tr("A creditor reference RF… (ISO 11649), checked; or a "
         "remittance text, not both"));
  Row(PayRemittance, tr("Re&mittance"), tr("What the payment is for (at most 140 characters)"));
  Row(PayPurpose, tr("&Purpose code"),
      tr("Four letters such as CHAR (charity) or GDDS (goods); "
         "optional"));
  Row(PayInfo, tr("I&nformation"), tr("A note shown to the payer (at most 70 characters)"));
  Column->addLayout(Form);
  Column->addWidget(HintLabel(tr("A SEPA credit transfer (EPC QR code) that banking apps fill in "
                                 "by scanning. It is made at error correction M or higher.")));
  Column->addStretch();
}

// ---------------------------------------------------------------------------------------------
// Page records

TPhonePage TForm1::PhonePage() const {
  return TPhonePage{ToUtf16(PhoneNumber->text())};
}

TSmsPage TForm1::SmsPage() const {
  return TSmsPage{ToUtf16(SmsNumber->text()), ToUtf16(MemoLines(SmsMessage))};
}

TGeoPage TForm1::GeoPage() const {
  return TGeoPage{ToUtf16(GeoLatitude->text()), ToUtf16(GeoLongitude->text()),
                  ToUtf16(GeoLabel->text())};
}

TEventPage TForm1::EventPage() const {
  return TEventPage{ToUtf16(EventSummary->text()),  ToUtf16(EventStart->text()),
                    ToUtf16(EventEnd->text()),      EventAllDay->isChecked(),
                    ToUtf16(EventLocation->text()), ToUtf16(MemoLines(EventDescription))};
}

void TForm1::SetEventPage(const TEventPage& Page) {
  EventSummary->setText(ToQString(Page.Summary));
  EventStart->setText(ToQString(Page.Start));
  EventEnd->setText(ToQString(Page.End));
  EventAllDay->setChecked(Page.AllDay);
  EventLocation->setText(ToQString(Page.Location));
  SetMemoLines(EventDescription, ToQString(Page.Description));
}

TPaymentPage TForm1::PaymentPage() const {
  return TPaymentPage{ToUtf16(PayName->text()),      ToUtf16(PayIBAN->text()),
                      ToUtf16(PayBIC->text()),       ToUtf16(PayAmount->text()),
                      ToUtf16(PayReference->text()), ToUtf16(PayRemittance->text()),
                      ToUtf16(PayPurpose->text()),   ToUtf16(PayInfo->text())};
}

void TForm1::SetPaymentPage(const TPaymentPage& Page) {
  PayName->setText(ToQString(Page.Name));
  PayIBAN->setText(ToQString(Page.IBAN));
  PayBIC->setText(ToQString(Page.BIC));
  PayAmount->setText(ToQString(Page.Amount));
  PayReference->setText(ToQString(Page.Reference));
  PayRemittance->setText(ToQString(Page.Remittance));
  PayPurpose->setText(ToQString(Page.Purpose));
  PayInfo->setText(ToQString(Page.Info));
}

std::optional<TRecord> TForm1::KindRecord() const {
  switch (PageControl1->currentIndex()) {
  case 5:
    return PhoneRecord(PhonePage());
  case 6:
    return SmsRecord(SmsPage());
  case 7:
    return GeoRecord(GeoPage());
  case 8:
    return EventRecord(EventPage());
  case 9:
    return PaymentRecord(PaymentPage());
  default:
    return std::nullopt;
  }
}

// ---------------------------------------------------------------------------------------------
// The event's calendar file

void TForm1::SaveEventBtnClick() {
  const auto Path = AskSaveName(tr("Calendar (*.ics)"), kCalendarExtension);
  if (!Path) return;
  const TSaveResult Result = SaveEventFile(*Path, EventPage());
  if (!Result.Ok) return FHooks.ErrorBox(Translated(Result.Error));
}

void TForm1::LoadEventBtnClick() {
  const auto Path = AskOpenName(tr("Calendar (*.ics)"));
  if (!Path) return;
  const TLoadResult<TEventRead> Result = LoadEventFile(*Path);
  if (!Result.Ok()) return FHooks.ErrorBox(Translated(Result.Error));
  SetEventPage(Result.Data->Page);
  CreateCodeBtnClick();
}

// ---------------------------------------------------------------------------------------------
// The payment page's level

void TForm1::PageControl1Change() {
  auto* Levels = qobject_cast<QStandardItemModel*>(ErrorCorrection->model());
  const bool Payment = PageControl1->currentIndex() == 9;
  for (int Level = 0; Levels && Level < kPaymentLowestLevel; ++Level)
    if (QStandardItem* Item = Levels->item(Level)) Item->setEnabled(!Payment);
  if (Payment && ErrorCorrection->currentIndex() < kPaymentLowestLevel) {
    FLevelBeforePayment = ErrorCorrection->currentIndex();
    ErrorCorrection->setCurrentIndex(kPaymentLowestLevel);
  } else if (!Payment && FLevelBeforePayment >= 0) {
    // The level the user had, unless it was changed on the payment page.
    if (ErrorCorrection->currentIndex() == kPaymentLowestLevel)
      ErrorCorrection->setCurrentIndex(FLevelBeforePayment);
    FLevelBeforePayment = -1;
  }
}
