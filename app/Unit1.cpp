// The main window's behaviour: start and end, the settings, the generation pass, the preview,
// the clipboard copy and the pages' handlers. The controls are built in Unit1Layout.cpp.
#include "Unit1.h"

#include "About.h"
#include "Controls.h"
#include "FormHelpers.h"
#include "ReadBackWorker.h"
#include "VCardEdits.h"
#include "batch/KindEncoding.h"
#include "encoder/QRCodeSymbol.h"
#include "payload/PayloadFiles.h"
#include "platform/Messages.h"
#include "render/Raster.h"
#include "util/MyFunctions.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTextDocument>
#include <QWheelEvent>
#include <algorithm>
#include <exception>
#include <new>

namespace {

// The names of the settings values, shared by the load (FormShow) and the save (FormClose).
constexpr char16_t kFrameMarkSizeName[] = u"FrameMarkSize";
constexpr char16_t kZoomName[] = u"Zoom";
constexpr char16_t kFrameName[] = u"Frame";
constexpr char16_t kBackColorName[] = u"BackColor";
constexpr char16_t kFrameColorName[] = u"FrameColor";
constexpr char16_t kMatrixColorName[] = u"MatrixColor";
constexpr char16_t kEncryptionTypeName[] = u"EncryptionType";
constexpr char16_t kFrameSizeName[] = u"FrameSize";
constexpr char16_t kErrorCorrectionName[] = u"ErrorCorrection";
constexpr char16_t kBoostName[] = u"Boost";
constexpr char16_t kWidthName[] = u"Width";
constexpr char16_t kHeightName[] = u"Height";
constexpr char16_t kMaximizedName[] = u"Maximized";
constexpr char16_t kTextWordWrapName[] = u"tWordWrap";
constexpr char16_t kEMailWordWrapName[] = u"eWordWrap";
constexpr char16_t kTabIndexName[] = u"TabIndex";
constexpr char16_t kPrintSizeName[] = u"PrintSize"; // side of a printed code in millimetres

int IndexOrDefault(int Index, int Count) {
  return Index >= 0 && Index < Count ? Index : 0;
}

TColor ReadColor(const std::u16string& Name, const std::u16string& Default) {
  const std::optional<TColor> Stored = TextToColor(ReadSettingString(kProductKey, Name, Default));
  if (Stored) return *Stored;
  // Text that names no colour and is no number: the setting takes its default.
  return TextToColor(Default).value_or(0);
}

// n / 2 rounded to the nearest integer, a half going to the even neighbour (n >= 0).
int HalfRoundedToEven(int N) {
  const int Quotient = N / 2;
  if (N % 2 == 0) return Quotient;
  return Quotient % 2 == 0 ? Quotient : Quotient + 1;
}

// Top-left corner of a W x W picture centred in a panel of PanelWidth x PanelHeight.
QPoint CentredPlace(int PanelWidth, int PanelHeight, int W) {
  const int Half = HalfRoundedToEven(W);
  return QPoint(HalfRoundedToEven(PanelWidth) - Half, HalfRoundedToEven(PanelHeight) - Half);
}

// The address the URL test may open: http, https or ftp with a host; "www." is taken as http.
std::optional<QUrl> WebAddress(const QString& Text) {
  QString Candidate = Text;
  if (Candidate.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
    Candidate.prepend(QLatin1String("http://"));
  const QUrl Url(Candidate, QUrl::StrictMode);
  if (!Url.isValid() || Url.host().isEmpty()) return std::nullopt;
  const QString Scheme = Url.scheme().toLower();
  if (Scheme != QLatin1String("http") && Scheme != QLatin1String("https") &&
      Scheme != QLatin1String("ftp"))
    return std::nullopt;
  return Url;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Window events

void TForm1::Guarded(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::bad_alloc&) {
    FHooks.ErrorBox(tr("Out of memory."));
  } catch (const std::exception& Error) {
    FHooks.ErrorBox(QString::fromUtf8(Error.what()));
  } catch (...) {
    FHooks.ErrorBox(tr("An unexpected error ended the action."));
  }
}

void TForm1::showEvent(QShowEvent* Event) {
  if (!FShown) {
    FShown = true;
    Guarded([this] { FormShow(); });
    PageControl1->setFocus(Qt::OtherFocusReason);
  }
  QMainWindow::showEvent(Event);
}

void TForm1::changeEvent(QEvent* Event) {
  if (Event->type() == QEvent::ActivationChange && isActiveWindow())
    Guarded([this] { FormActivate(); });
  QMainWindow::changeEvent(Event);
}

void TForm1::closeEvent(QCloseEvent* Event) {
  Guarded([this] { FormClose(); });
  Event->accept();
}

bool TForm1::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::Wheel && (Watched == Panel1 || Watched == Panel1->viewport() ||
                                         Watched == FPreviewCanvas || Watched == Image1)) {
    ScrollBar1->TurnWheel(static_cast<QWheelEvent*>(Event));
    Event->accept();
    return true;
  }
  if ((Event->type() == QEvent::DragEnter || Event->type() == QEvent::DragMove ||
       Event->type() == QEvent::Drop) &&
      (Watched == Panel1->viewport() || Watched == FPreviewCanvas || Watched == Image1))
    return PreviewDropEvent(Event) || QMainWindow::eventFilter(Watched, Event);
  if (Event->type() == QEvent::Resize) {
    if (Watched == ClientArea) FollowWindowSize();
    if (Watched == FPreviewCanvas) PlacePicture();
  }
  if (Watched == MemoText &&
      (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut)) {
    // Focus that comes and goes with the window's activation is no entering or leaving.
    const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
    if (Reason != Qt::ActiveWindowFocusReason && Reason != Qt::PopupFocusReason) {
      if (Event->type() == QEvent::FocusIn)
        Guarded([this] { MemoTextEnter(); });
      else
        Guarded([this] { MemoTextExit(); });
    }
  }
  if (Event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(Event)->matches(QKeySequence::Copy)) {
    // Ctrl+C copies the selected text of a text field; with nothing selected it copies the picture.
    bool HasSelection = false;
    if (auto* Edit = qobject_cast<QLineEdit*>(Watched))
      HasSelection = Edit->hasSelectedText();
    else if (auto* Memo = qobject_cast<QPlainTextEdit*>(Watched))
      HasSelection = Memo->textCursor().hasSelection();
    else
      return QMainWindow::eventFilter(Watched, Event);
    if (!HasSelection) {
      Guarded([this] { CopyQRCodetoClipboard1Click(); });
      return true;
    }
  }
  return QMainWindow::eventFilter(Watched, Event);
}

// ---------------------------------------------------------------------------------------------
// Start, settings, end

void TForm1::FormCreate() {
  ReadData = false;
}

void TForm1::FormShow() {
  doUpdate = false;
  // The frame-mark size first; the slider keeps it within 0 to 10.
  TrackBar1->setValue(ReadSettingInteger(kProductKey, kFrameMarkSizeName, 0));
  ScrollBar1->setValue(ReadSettingInteger(kProductKey, kZoomName, 250));
  Frame->setChecked(ReadSettingBool(kProductKey, kFrameName, false));
  BackColor->SetColor(ReadColor(kBackColorName, u"clWhite"));
  FrameColor->SetColor(ReadColor(kFrameColorName, u"clBlack"));
  MatrixColor->SetColor(ReadColor(kMatrixColorName, u"clBlack"));
  EncryptionType->setCurrentIndex(IndexOrDefault(
      ReadSettingInteger(kProductKey, kEncryptionTypeName, 0), EncryptionType->count()));
  FrameSize->setCurrentIndex(
      IndexOrDefault(ReadSettingInteger(kProductKey, kFrameSizeName, 0), FrameSize->count()));
  ErrorCorrection->setCurrentIndex(IndexOrDefault(
      ReadSettingInteger(kProductKey, kErrorCorrectionName, ecL), ErrorCorrection->count()));
  Boost->setChecked(ReadSettingBool(kProductKey, kBoostName, false));
  {
    const QSignalBlocker Quiet(tWordWrap);
    tWordWrap->setChecked(ReadSettingBool(kProductKey, kTextWordWrapName, true));
  }
  tWordWrapClick();
  {
    const QSignalBlocker Quiet(eWordWrap);
    eWordWrap->setChecked(ReadSettingBool(kProductKey, kEMailWordWrapName, true));
  }
  eWordWrapClick();
  PageControl1->setCurrentIndex(
      IndexOrDefault(ReadSettingInteger(kProductKey, kTabIndexName, 0), PageControl1->count()));
  FPrintSideMm = std::clamp(ReadSettingInteger(kProductKey, kPrintSizeName, 50), kMinPrintSideMm,
                            kMaxPrintSideMm);
  LoadDesignSettings();
  RestoreWindowSize();
  doUpdate = true;
}

void TForm1::FormActivate() {
  if (FActivated) return; // only the first activation after start
  FActivated = true;
  DoInfoText->click();
}

void TForm1::FormClose() {
  WriteSettingInteger(kProductKey, kFrameMarkSizeName, TrackBar1->value());
  WriteSettingInteger(kProductKey, kZoomName, ScrollBar1->value());
  WriteSettingBool(kProductKey, kFrameName, Frame->isChecked());
  WriteSettingString(kProductKey, kBackColorName, ColorToText(BackColor->Color()));
  WriteSettingString(kProductKey, kFrameColorName, ColorToText(FrameColor->Color()));
  WriteSettingString(kProductKey, kMatrixColorName, ColorToText(MatrixColor->Color()));
  WriteSettingInteger(kProductKey, kEncryptionTypeName, EncryptionType->currentIndex());
  WriteSettingInteger(kProductKey, kFrameSizeName, FrameSize->currentIndex());
  WriteSettingInteger(kProductKey, kErrorCorrectionName, ErrorCorrection->currentIndex());
  WriteSettingBool(kProductKey, kBoostName, Boost->isChecked());
  WriteSettingBool(kProductKey, kTextWordWrapName, tWordWrap->isChecked());
  WriteSettingBool(kProductKey, kEMailWordWrapName, eWordWrap->isChecked());
  WriteSettingInteger(kProductKey, kTabIndexName, PageControl1->currentIndex());
  WriteSettingInteger(kProductKey, kPrintSizeName, FPrintSideMm);
  SaveDesignSettings();
  // The size the window has when not maximised, so a maximised window comes back maximised and
  // goes back to that size when the user restores it.
  const QSize Normal = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
  if (Normal.isValid()) {
    WriteSettingInteger(kProductKey, kWidthName, Normal.width());
    WriteSettingInteger(kProductKey, kHeightName, Normal.height());
  }
  WriteSettingBool(kProductKey, kMaximizedName, isMaximized());
}

void TForm1::RestoreWindowSize() {
  // Never below the smallest size, never beyond the screen the window opens on (a size kept from a
  // larger monitor, or a hand-edited value).
  QSize Size(ReadSettingInteger(kProductKey, kWidthName, 0),
             ReadSettingInteger(kProductKey, kHeightName, 0));
  if (Size.width() > 0 && Size.height() > 0) {
    if (const QScreen* Screen = screen()) Size = Size.boundedTo(Screen->availableSize());
    resize(Size.expandedTo(minimumSizeHint()));
  }
  if (ReadSettingBool(kProductKey, kMaximizedName, false))
    setWindowState(windowState() | Qt::WindowMaximized);
}

// ---------------------------------------------------------------------------------------------
// The generation pass and the preview

TCodeStyle TForm1::CurrentStyle() const {
  TCodeStyle Style;
  Style.Dark = MatrixColor->ShownColor().rgb();
  Style.Light = BackColor->ShownColor().rgb();
  Style.QuietZone = FrameSize->currentIndex() + 1;
  Style.Frame = Frame->isChecked();
  Style.MarkLength = TrackBar1->value();
  Style.FrameColor = FrameColor->ShownColor().rgb();
  DesignStyle(Style);
  return Style;
}

QString TForm1::FillQRText() {
  QString Payload;
  FRefusal.clear();
  switch (PageControl1->currentIndex()) {
  case 0:
    Payload = ToQString(TextPayload(ToUtf16(MemoLines(MemoText))));
    break;
  case 1:
    Payload = ToQString(URLPayload(TURLPage{ToUtf16(EditURL->text())}));
    break;
  case 2:
    Payload = ToQString(EMailPayload(EMailPage()));
    break;
  case 3:
    DoVCard->click();
    Payload = ToQString(ComposeVCard(VCardPage()));
    break;
  case 4:
    Payload = ToQString(WifiPayload(WifiPage()));
    break;
  default: {
    const std::optional<TRecord> Record = KindRecord();
    if (!Record) return MemoLines(QRText);
    // A refused record makes no code at all: the note under the preview says why.
    FRefusal = Translated(Record->Refusal);
    Payload = ToQString(Record->Payload);
    break;
  }
  }
  // QRText shows the payload; the symbol is made from the payload itself, so that no character
  // a text field cannot show as such (a line separator in a network name) changes on the way.
  SetMemoLines(QRText, Payload);
  return Payload;
}

TQRCodeEncoding TForm1::EncodingForPayload(const std::u16string& Payload) const {
  // The pages stand in the order of the kinds; the rule is the batch's and the command line's.
  return KindEncoding(static_cast<TKind>(PageControl1->currentIndex()),
                      static_cast<TQRCodeEncoding>(EncryptionType->currentIndex()), Payload);
}

void TForm1::CreateCodeBtnClick() {
  if (!doUpdate) return;
  FCodeMade = false;
  const std::u16string Payload = ToUtf16(FillQRText());
  const TCodeStyle Style = CurrentStyle();
  int Level = ErrorCorrection->currentIndex();
  if (PageControl1->currentIndex() == 9) Level = std::max(Level, kPaymentLowestLevel);
  // A refused record gives no symbol at all, not one of empty text.
  TCode Code = FRefusal.isEmpty() ? MakeCode(Payload, EncodingForPayload(Payload), Style,
                                             static_cast<TQRCodeECLevel>(Level), Boost->isChecked())
                                  : TCode{};

  const int Side = Code.Grid.Side;
  ScrollBar1->setMinimum(Side); // a zoom below the side moves up, which refreshes at once
  Image1->resize(Side, Side);
  // A shaped code is painted at the zoom (its dots and curves need the pixels); a plain one at
  // one pixel a module, stretched by the picture box. Without a symbol there is nothing to frame.
  TCodeStyle Painted = Style;
  Painted.Frame = Painted.Frame && Code.Version > 0;
  Image1->SetPicture(Style.PaintedAtFinalSize()
                         ? RenderRaster(Code.Grid, Painted, std::max(Side, ScrollBar1->value()))
                         : RenderModules(Code.Grid, Painted));
  FLastCode = std::move(Code);
  FLastStyle = Painted;
  FHasCode = true;
  FCodeMade = FLastCode.Version > 0;
  ++FPassNumber;

  const TCode& Symbol = FLastCode;
  // What a screen reader says of the preview: the code's version and level and its text (its
  // first 200 characters, on one line).
  QString Shown = ToQString(Payload).simplified();
  if (Shown.size() > 200) Shown = Shown.left(200) + QChar(0x2026);
  FPreviewSummary = Symbol.Version > 0 ? tr("QR code, version %1-%2: %3")
                                             .arg(Symbol.Version)
                                             .arg(QChar::fromLatin1(ECLevelLetter(Symbol.Level)))
                                             .arg(Shown)
                                       : tr("No QR code");
  FOutdated = false;
  bool Warning = true;
  const QString Note = PassNote(Warning);
  SetNote(Note, Warning, QString());
  StartReadBack(Symbol, Style);
  ScrollBar1Change();
}

QString TForm1::PassNote(bool& Warning) const {
  QString Note;
  Warning = true;
  QWidget* const Page = PageControl1->currentWidget();
  if (!FRefusal.isEmpty()) {
    AppendNote(Note, FRefusal); // the record is refused: no code, and this is why
  } else if (FLastCode.DataTooLong) {
    AppendNote(Note, Translated(TooLongMessage(FLastCode, TMessageForm::Note)));
  } else if (Page == TabSheet3 && SSID->text().isEmpty()) {
    AppendNote(Note, tr("The network name is empty: a phone finds no network by it."));
  } else {
    bool Empty = true;
    for (const QLineEdit* Edit : Page->findChildren<QLineEdit*>())
      Empty = Empty && Edit->text().trimmed().isEmpty();
    for (const QPlainTextEdit* Memo : Page->findChildren<QPlainTextEdit*>())
      Empty = Empty && (Memo == MemoVCard || MemoLines(Memo).trimmed().isEmpty());
    if (Empty) AppendNote(Note, tr("The page is empty: the code holds nothing."));
  }
  if (!FLastCode.DataTooLong && Page == TabSheet3)
    AppendNote(Note, Translated(WifiKeyNote(WifiPage()))); // the code is made all the same
  if (Page != Tab1 && EncryptionType->currentIndex() == qrUTF8BOM) {
    Warning = !Note.isEmpty();
    AppendNote(Note, tr("A byte-order mark goes before plain text only: this code is UTF-8 "
                        "without one, so that readers know what it holds."));
  }
  return Note;
}

void TForm1::SetNote(const QString& Note, bool Warning, std::optional<QString> Lasting) {
  SetTextColor(NoteLabel, QPalette::WindowText,
               Warning ? QColor(160, 0, 0) : QApplication::palette().color(QPalette::WindowText));
  NoteLabel->setText(Note);
  NoteLabel->setToolTip(Note);
  NoteLabel->setAccessibleDescription(Note);
  NoteLabel->setVisible(!Note.isEmpty());
  NoteLabel->raise();
  FNoteLasting = Lasting.value_or(Note);
  LayOutNotes();
}

void TForm1::PageChanged() {
  if (!FHasCode || FOutdated) return;
  FOutdated = true;
  if (NoteLabel->text() != FNoteLasting) SetNote(FNoteLasting, false);
  if (ReadBackLabel->isVisible())
    SetReadBackLine(tr("The page has changed: Generate QR-Code makes its code and checks it."),
                    QColor(0x6D, 0x6D, 0x6D));
}

void TForm1::ScrollBar1Change() {
  const int Zoom = ScrollBar1->value();
  if (FHasCode && FLastStyle.PaintedAtFinalSize()) {
    // Painted again at the new zoom, frame marks included.
    if (Image1->Picture().width() != Zoom)
      Image1->SetPicture(RenderRaster(FLastCode.Grid, FLastStyle, Zoom));
  } else if (Frame->isChecked() && (!FHasCode || FCodeMade)) {
    // A pass without a symbol shows the empty preview, as without Frame.
    if (!Image1->HasPicture()) {
      QImage White(Image1->width(), Image1->height(), QImage::Format_RGB32);
      White.fill(Qt::white);
      Image1->SetPicture(std::move(White));
    }
    DrawFrameMarks(Image1->Picture(), TrackBar1->value(), FrameColor->ShownColor());
    Image1->update();
  }
  const int W = ScrollBar1->value();
  Image1->resize(W, W);
  FPreviewCanvas->setMinimumSize(W, W);
  // The scroll area fits the canvas to the new minimum (and to its scroll bars) at once.
  Panel1->setWidgetResizable(true);
  PlacePicture();
}

void TForm1::PlacePicture() {
  Image1->move(CentredPlace(FPreviewCanvas->width(), FPreviewCanvas->height(), Image1->width()));
}

void TForm1::FrameClick() {
  const bool On = Frame->isChecked();
  TrackBar1->setEnabled(On);
  FrameColor->setEnabled(On);
  const QColor LabelColor = On ? QApplication::palette().color(QPalette::WindowText) : kSilver;
  SetTextColor(Label32, QPalette::WindowText, LabelColor);
  SetTextColor(Label33, QPalette::WindowText, LabelColor);
  Shape1->setVisible(!On);
  CreateCodeBtn->click();
}

void TForm1::FrameColorMouseDown(TColorSwatch* Swatch) {
  Swatch->move(Swatch->pos() + QPoint(1, 1));
}

void TForm1::FrameColorMouseUp(TColorSwatch* Swatch) {
  Swatch->move(Swatch->pos() - QPoint(1, 1));
  FrameColorKeyPress(Swatch);
}

void TForm1::FrameColorKeyPress(TColorSwatch* Swatch) {
  if (const std::optional<QColor> Chosen = FHooks.PickColor(FDialogColor)) {
    FDialogColor = *Chosen;
    Swatch->SetColor(PlainColor(*Chosen));
    // The finder patterns follow the Matrix Color again when it is the colour chosen for them.
    if (Swatch == FinderColor)
      FFinderFollows = FinderColor->ShownColor() == MatrixColor->ShownColor();
  }
  CreateCodeBtn->click();
}

// ---------------------------------------------------------------------------------------------
// Clipboard, About, Close

void TForm1::CopyToClipboardBtnClick() {
  CreateCodeBtn->click();
  if (!FCodeMade) {
    // Nothing to copy: the clipboard keeps what it holds, and the note says why. A text too
    // long for a code, or a refused record, already has the pass's note.
    if (!FLastCode.DataTooLong && FRefusal.isEmpty())
      SetNote(tr("Nothing copied: this page's text made no QR code."));
    return;
  }
  const int W = ScrollBar1->value();
  QImage Copy(W, W, QImage::Format_RGB888);
  Copy.fill(Qt::white);
  if (FHasCode && W > 0) {
    QPainter Painter(&Copy);
    Painter.drawImage(0, 0, RenderRaster(FLastCode.Grid, FLastStyle, W));
  }
  QString Error;
  if (!FHooks.SetClipboardPictures(Copy, ClipboardSvg(W), Error))
    FHooks.ErrorBox(tr("Cannot open clipboard: %1").arg(Error));
}

void TForm1::CopyQRCodetoClipboard1Click() {
  CopyToClipboardBtnClick();
}

void TForm1::AboutBtnClick() {
  FFormAbout->exec();
}

void TForm1::CloseBtnClick() {
  close();
}

// ---------------------------------------------------------------------------------------------
// Pages

QString TForm1::MemoLines(const QPlainTextEdit* Memo) {
  // The raw text keeps non-breaking spaces (toPlainText() would make them spaces). Paragraph
  // breaks and the soft breaks that Shift+Enter types both show as line breaks: CR LF.
  QString Text = Memo->document()->toRawText();
  Text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
  Text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
  return Text;
}

void TForm1::SetMemoLines(QPlainTextEdit* Memo, const QString& Text) {
  QString Plain = Text;
  Plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  Memo->setPlainText(Plain);
}

TEMailPage TForm1::EMailPage() const {
  return TEMailPage{ToUtf16(EditAddress->text()), ToUtf16(EditSubject->text()),
                    ToUtf16(MemoLines(MemoMessage))};
}

TVCardPage TForm1::VCardPage() const {
  TVCardPage Page;
  for (const TVCardEdit& Field : kVCardEdits)
    Page.*Field.Member = ToUtf16((this->*Field.Edit)->text());
  return Page;
}

void TForm1::SetVCardPage(const TVCardPage& Page) {
  for (const TVCardEdit& Field : kVCardEdits)
    (this->*Field.Edit)->setText(ToQString(Page.*Field.Member));
}

void TForm1::SetWifiPage(const TWifiPage& Page) {
  SSID->setText(ToQString(Page.SSID));
  WPA->setCurrentIndex(Page.WPA);
  WPAChange(); // also when the index stays
  if (NetworkKey->isEnabled()) {
    NetworkKey->setText(ToQString(Page.NetworkKey));
  } else {
    FHeldKey = ToQString(Page.NetworkKey);
    NetworkKey->clear();
  }
  Hidden->setChecked(Page.Hidden);
}

TWifiPage TForm1::WifiPage() const {
  return TWifiPage{ToUtf16(SSID->text()), ToUtf16(NetworkKey->text()), WPA->currentIndex(),
                   Hidden->isChecked()};
}

void TForm1::ShowMemoText(const QString& Text) {
  SetMemoLines(MemoText, Text);
  SetTextColor(MemoText, QPalette::Text, QApplication::palette().color(QPalette::Text));
}

void TForm1::DoInfoTextClick() {
  SetTextColor(MemoText, QPalette::Text, kHintColor);
  SetMemoLines(MemoText, Translated(HintText()));
}

void TForm1::MemoTextEnter() {
  const QString Text = MemoLines(MemoText);
  const QString FirstLine = Text.left(Text.indexOf(QLatin1String("\r\n")));
  if (FirstLine != Translated(HintFirstLine())) return;
  SetMemoLines(MemoText, QString());
  SetTextColor(MemoText, QPalette::Text, QApplication::palette().color(QPalette::Text));
}

void TForm1::MemoTextExit() {
  if (MemoLines(MemoText).isEmpty()) DoInfoText->click();
}

void TForm1::tWordWrapClick() {
  MemoText->setLineWrapMode(tWordWrap->isChecked() ? QPlainTextEdit::WidgetWidth
                                                   : QPlainTextEdit::NoWrap);
}

void TForm1::eWordWrapClick() {
  MemoMessage->setLineWrapMode(eWordWrap->isChecked() ? QPlainTextEdit::WidgetWidth
                                                      : QPlainTextEdit::NoWrap);
}

void TForm1::URLTestBtnClick() {
  const QString Text = EditURL->text();
  if (Text.isEmpty()) return;
  const std::optional<QUrl> Url = WebAddress(Text);
  if (!Url) {
    ShowMessage(ToUtf16(tr("\"%1\" is not a web address.").arg(Text)));
    return;
  }
  FHooks.OpenUrl(*Url);
}

void TForm1::DoVCardClick() {
  SetMemoLines(MemoVCard, ToQString(ComposeVCard(VCardPage())));
}

void TForm1::FirstNameChange() {
  if (ReadData) return;
  ContactName->setText(ToQString(ContactNameFor(
      ToUtf16(FirstName->text()), ToUtf16(MiddleName->text()), ToUtf16(LastName->text()))));
}

// ---------------------------------------------------------------------------------------------
// Load and Save

std::optional<std::filesystem::path> TForm1::AskOpenName(const QString& Filter) {
  const std::optional<QString> Chosen = FHooks.OpenFile(Filter, FOpenDialogName);
  if (!Chosen || Chosen->isEmpty()) return std::nullopt;
  FOpenDialogName = *Chosen;
  return std::filesystem::path(ToUtf16(*Chosen));
}

std::optional<std::filesystem::path> TForm1::AskSaveName(const QString& Filter,
                                                         const std::u16string& Extension) {
  QString Selected = Filter;
  return AskSaveName({Filter}, {Extension}, FSaveDialogName, Selected);
}

std::optional<std::filesystem::path>
TForm1::AskSaveName(const QStringList& Filters, const std::vector<std::u16string>& Extensions,
                    QString& DialogName, QString& Selected) {
  for (;;) {
    const std::optional<QString> Chosen =
        FHooks.SaveFile(Filters.join(QLatin1String(";;")), DialogName, Selected);
    if (!Chosen || Chosen->isEmpty()) return std::nullopt;
    DialogName = *Chosen;
    const int Index = std::max(0, static_cast<int>(Filters.indexOf(Selected)));
    Selected = Filters[Index];
    // The chosen filter decides the extension; the question covers the name really written.
    const QString Final =
        ToQString(SaveFileName(ToUtf16(*Chosen), Extensions[static_cast<std::size_t>(Index)]));
    if (QFileInfo::exists(Final) && !FHooks.ConfirmOverwrite(Final)) continue;
    return std::filesystem::path(ToUtf16(Final));
  }
}

void TForm1::SaveTextBtnClick() {
  const auto Path = AskSaveName(tr("Textdatei (*.txt)"), kTextExtension);
  if (!Path) return;
  const TSaveResult Result = SaveTextFile(*Path, ToUtf16(MemoLines(MemoText)), FMemoTextEncoding);
  if (!Result.Ok) return FHooks.ErrorBox(Translated(Result.Error));
  FMemoTextEncoding = Result.Encoding;
}

void TForm1::LoadTextBtnClick() {
  const auto Path = AskOpenName(tr("Textdatei (*.txt)"));
  if (!Path) return;
  const TLoadResult<TDecodedText> Result = LoadTextFile(*Path);
  if (!Result.Ok()) return FHooks.ErrorBox(Translated(Result.Error));
  ShowMemoText(ToQString(Result.Data->Text));
  FMemoTextEncoding = Result.Data->Encoding;
}

void TForm1::SaveEMailBtnClick() {
  const auto Path = AskSaveName(tr("eMail (*.eml)"), kEMailExtension);
  if (!Path) return;
  const TSaveResult Result = SaveEMailFile(*Path, EMailPage(), FMemoMessageEncoding);
  if (!Result.Ok) return FHooks.ErrorBox(Translated(Result.Error));
  FMemoMessageEncoding = Result.Encoding;
}

void TForm1::LoadEMailBtnClick() {
  const auto Path = AskOpenName(tr("eMail (*.eml)"));
  if (!Path) return;
  const TLoadResult<TEMailFile> Result = LoadEMailFile(*Path);
  if (!Result.Ok()) return FHooks.ErrorBox(Translated(Result.Error));
  const TEMailPage& Page = Result.Data->Page;
  SetMemoLines(MemoMessage, ToQString(Page.MemoMessage));
  EditAddress->setText(ToQString(Page.EditAddress));
  EditSubject->setText(ToQString(Page.EditSubject));
  FMemoMessageEncoding = Result.Data->Encoding;
}

void TForm1::SaveVCard3BtnClick() {
  const auto Path = AskSaveName(tr("VCard (*.vcf)"), kVCardExtension);
  if (!Path) return;
  DoVCard->click();
  const TSaveResult Result = SaveVCardFile(*Path, VCardPage(), FMemoVCardEncoding);
  if (!Result.Ok) return FHooks.ErrorBox(Translated(Result.Error));
  FMemoVCardEncoding = Result.Encoding;
}

void TForm1::LoadVcard3BtnClick() {
  const auto Path = AskOpenName(tr("VCard (*.vcf)"));
  if (!Path) return;
  const TLoadResult<TVCardFile> Result = LoadVCardFile(*Path, VCardPage());
  if (!Result.Ok()) return FHooks.ErrorBox(Translated(Result.Error));
  SetMemoLines(MemoVCard, ToQString(Result.Data->MemoVCard));
  {
    // The contact-name rule stays idle while the name fields are filled.
    const QScopedValueRollback Reading(ReadData, true);
    SetVCardPage(Result.Data->Page);
  }
  FMemoVCardEncoding = Result.Data->Encoding;
}

void TForm1::SaveWifiBtnClick() {
  const auto Path = AskSaveName(tr("Network Key (*.nwk)"), kNetworkExtension);
  if (!Path) return;
  const TSaveResult Result = SaveNetworkFile(*Path, WifiPage());
  if (!Result.Ok) return FHooks.ErrorBox(Translated(Result.Error));
}

void TForm1::LoadWifiBtnClick() {
  const auto Path = AskOpenName(tr("Network Key (*.nwk)"));
  if (!Path) return;
  const TLoadResult<TWifiPage> Result = LoadNetworkFile(*Path);
  if (!Result.Ok()) return FHooks.ErrorBox(Translated(Result.Error));
  SetWifiPage(*Result.Data);
}

void TForm1::WPAChange() {
  const bool Open = WPA->currentIndex() == kWifiOpen;
  if (Open == !NetworkKey->isEnabled()) return;
  if (Open) {
    FHeldKey = NetworkKey->text();
    NetworkKey->clear();
  } else {
    NetworkKey->setText(FHeldKey);
    FHeldKey.clear();
  }
  NetworkKey->setEnabled(!Open);
}
