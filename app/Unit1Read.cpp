// Reading a code back into its page: File > Open Picture, Paste Picture and Read from Screen, and
// pictures dropped onto the preview. The codes are found by render/ (zbar), their text is told
// apart and cut into fields by payload/; this file only fills the controls, runs a pass and
// writes the note.
#include "FormHelpers.h"
#include "ScreenPortal.h"
#include "Unit1.h"
#include "payload/PayloadParse.h"
#include "render/PictureFile.h"
#include "render/Scan.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

namespace {

bool OnWayland() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QString PictureFilter() {
  return TForm1::tr("Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.svg *.svgz);;All files (*)");
}

// "a Wi-Fi code", "an e-mail code".
QString CodeOfKind(TKind Kind) {
  const QString Caption = Translated(KindCaption(Kind));
  return Kind == TKind::Email || Kind == TKind::Event ? TForm1::tr("an %1 code").arg(Caption)
                                                      : TForm1::tr("a %1 code").arg(Caption);
}

// One line of the list to choose from: the kind and the start of the text.
QString CodeSummary(const TFoundCode& Code) {
  const TParsedPayload Parsed = ParsePayload(DecodePayloadBytes(Code.Bytes, Code.Eci).Text);
  QString Text = ToQString(Parsed.Text).simplified();
  if (Text.size() > 60) Text = Text.left(59) + QChar(0x2026);
  return Translated(KindCaption(Parsed.Kind)) + QStringLiteral(": ") + Text;
}

// The full-screen rectangle picker of Read from Screen: shows the grabbed screen, the user drags a
// rectangle over it; Escape cancels, Enter takes the whole screen.
class TRegionPicker : public QWidget {
public:
  TRegionPicker(const QImage& Screen, const QRect& Geometry) : FScreen(Screen) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setCursor(Qt::CrossCursor);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setGeometry(Geometry); // also without a window manager that honours full screen
  }
  std::optional<QRect> Run() {
    showFullScreen();
    activateWindow();
    QEventLoop Loop;
    FLoop = &Loop;
    Loop.exec();
    hide();
    return FChosen;
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter P(this);
    P.drawImage(rect(), FScreen);
    P.fillRect(rect(), QColor(0, 0, 0, 90));
    if (FDragging) {
      const QRect Area = QRect(FFrom, FTo).normalized();
      P.drawImage(Area, FScreen, ToScreen(Area));
      P.setPen(QPen(Qt::yellow, 2));
      P.drawRect(Area);
    }
    P.setPen(Qt::white);
    P.drawText(rect().adjusted(0, 20, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
               TForm1::tr("Drag a rectangle around the code (Enter: the whole screen, "
                          "Escape: cancel)"));
  }
  void mousePressEvent(QMouseEvent* E) override {
    FDragging = true;
    FFrom = FTo = E->position().toPoint();
    update();
  }
  void mouseMoveEvent(QMouseEvent* E) override {
    FTo = E->position().toPoint();
    update();
  }
  void mouseReleaseEvent(QMouseEvent* E) override {
    FTo = E->position().toPoint();
    const QRect Area = QRect(FFrom, FTo).normalized();
    Finish(Area.width() < 8 || Area.height() < 8 ? std::optional<QRect>()
                                                 : std::optional<QRect>(ToScreen(Area)));
  }
  void keyPressEvent(QKeyEvent* E) override {
    if (E->key() == Qt::Key_Escape) Finish(std::nullopt);
    if (E->key() == Qt::Key_Return || E->key() == Qt::Key_Enter) Finish(FScreen.rect());
  }
  void closeEvent(QCloseEvent*) override { Finish(std::nullopt); }

private:
  // The rectangle of the widget in the grabbed picture's pixels (a high-DPI screen has more).
  QRect ToScreen(const QRect& Area) const {
    const double Sx = static_cast<double>(FScreen.width()) / std::max(1, width());
    const double Sy = static_cast<double>(FScreen.height()) / std::max(1, height());
    return QRectF(Area.x() * Sx, Area.y() * Sy, Area.width() * Sx, Area.height() * Sy)
        .toAlignedRect()
        .intersected(FScreen.rect());
  }
  void Finish(std::optional<QRect> Chosen) {
    FChosen = Chosen;
    if (FLoop) FLoop->quit();
    FLoop = nullptr;
  }

  QImage FScreen;
  QEventLoop* FLoop = nullptr;
  std::optional<QRect> FChosen;
  bool FDragging = false;
  QPoint FFrom, FTo;
};

} // namespace

QString TForm1::ScreenReadUnavailable() {
  if (OnWayland() && !ScreenshotPortalAvailable())
    return tr("On Wayland the screen is taken through the desktop portal, and this "
              "desktop has none (xdg-desktop-portal): take a screenshot and use "
              "Paste Picture or Open Picture.");
  if (!QGuiApplication::primaryScreen()) return tr("There is no screen to read from.");
  return QString();
}

void TForm1::InstallReadHooks() {
  FHooks.GrabScreen = [this](QString& Error) -> QImage {
    QScreen* Screen = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!Screen && !OnWayland()) {
      Error = tr("there is no screen");
      return QImage();
    }
    // The window steps aside while the screen is taken, so that what it covered can be read.
    hide();
    QEventLoop Wait;
    QTimer::singleShot(300, &Wait, &QEventLoop::quit);
    Wait.exec();
    // On Wayland the desktop portal takes it, asking the user as the desktop sees fit.
    const QImage Picture =
        OnWayland() ? TakePortalScreenshot(Error) : Screen->grabWindow(0).toImage();
    show();
    if (Picture.isNull() && Error.isEmpty()) Error = tr("the screen could not be taken");
    return Picture;
  };
  FHooks.PickRegion = [this](const QImage& Screen) -> std::optional<QRect> {
    const QScreen* Shown = screen() ? screen() : QGuiApplication::primaryScreen();
    TRegionPicker Picker(Screen, Shown ? Shown->geometry() : QRect(QPoint(0, 0), Screen.size()));
    return Picker.Run();
  };
  FHooks.ChooseCode = [this](const QStringList& Items) -> std::optional<int> {
    bool Ok = false;
    const QString Chosen = QInputDialog::getItem(
        this, tr("Read a Code"),
        tr("The picture holds %1 codes. Read which one?").arg(Items.size()), Items, 0, false, &Ok);
    if (!Ok) return std::nullopt;
    const int Index = static_cast<int>(Items.indexOf(Chosen));
    return Index < 0 ? std::nullopt : std::optional<int>(Index);
  };
}

void TForm1::OpenPicture1Click() {
  const auto Path = AskOpenName(PictureFilter());
  if (!Path) return;
  const QString Name = QFileInfo(ToQString(Path->u16string())).fileName();
  const TPictureRead Read = ReadPictureFile(*Path);
  if (Read.Picture.isNull())
    return SetNote(tr("Cannot read %1: %2").arg(Name, Translated(Read.Error)));
  ReadCodesIn(Read.Picture, Name);
}

void TForm1::PastePicture1Click() {
  const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
  if (!Data || !ReadPictureData(Data, tr("the clipboard")))
    SetNote(tr("Nothing read: the clipboard holds no picture."));
}

void TForm1::ReadFromScreen1Click() {
  if (const QString Why = ScreenReadUnavailable(); !Why.isEmpty()) return SetNote(Why);
  QString Error;
  const QImage Screen = FHooks.GrabScreen(Error);
  if (Screen.isNull()) return SetNote(tr("Cannot read the screen: %1.").arg(Error));
  const std::optional<QRect> Area = FHooks.PickRegion(Screen);
  if (!Area || Area->isEmpty()) return; // cancelled
  ReadCodesIn(Screen.copy(*Area), tr("the screen"));
}

bool TForm1::ReadPictureData(const QMimeData* Data, const QString& Source) {
  for (const QUrl& Url : Data->urls()) {
    if (!Url.isLocalFile()) continue;
    const QString Path = Url.toLocalFile();
    const QString Name = QFileInfo(Path).fileName();
    const TPictureRead Read = ReadPictureFile(std::filesystem::path(ToUtf16(Path)));
    if (Read.Picture.isNull())
      SetNote(tr("Cannot read %1: %2").arg(Name, Translated(Read.Error)));
    else
      ReadCodesIn(Read.Picture, Name);
    return true;
  }
  if (Data->hasImage()) {
    ReadCodesIn(qvariant_cast<QImage>(Data->imageData()), Source);
    return true;
  }
  if (Data->hasFormat(QStringLiteral("image/svg+xml"))) {
    const TPictureRead Read = ReadPictureBytes(Data->data(QStringLiteral("image/svg+xml")));
    if (Read.Picture.isNull())
      SetNote(tr("Cannot read %1: %2").arg(Source, Translated(Read.Error)));
    else
      ReadCodesIn(Read.Picture, Source);
    return true;
  }
  return false;
}

bool TForm1::PreviewDropEvent(QEvent* Event) {
  auto* Drop = static_cast<QDropEvent*>(Event);
  // The preview's own picture dragged back onto it is not read again.
  const QMimeData* Data = Drop->mimeData();
  const QList<QUrl> Urls = Data ? Data->urls() : QList<QUrl>();
  const bool Readable =
      Drop->source() == nullptr && Data &&
      (Data->hasImage() || Data->hasFormat(QStringLiteral("image/svg+xml")) ||
       std::any_of(Urls.begin(), Urls.end(), [](const QUrl& Url) { return Url.isLocalFile(); }));
  if (!Readable) return false;
  Drop->acceptProposedAction();
  if (Event->type() == QEvent::Drop)
    Guarded([&] { ReadPictureData(Data, tr("the dropped picture")); });
  return true;
}

void TForm1::ReadCodesIn(const QImage& Picture, const QString& Source) {
  const std::vector<TFoundCode> Codes = ScanPicture(Picture);
  if (Codes.empty()) return SetNote(tr("No QR code found in %1.").arg(Source));
  std::size_t Index = 0;
  if (Codes.size() > 1) {
    QStringList Items;
    for (const TFoundCode& Code : Codes)
      Items << CodeSummary(Code);
    const std::optional<int> Chosen = FHooks.ChooseCode(Items);
    if (!Chosen || *Chosen < 0 || static_cast<std::size_t>(*Chosen) >= Codes.size()) return;
    Index = static_cast<std::size_t>(*Chosen);
  }
  const TFoundCode& Code = Codes[Index];
  const TPayloadText Text = DecodePayloadBytes(Code.Bytes, Code.Eci);
  const TParsedPayload Parsed = ParsePayload(Text.Text);

  {
    // One pass at the end, not one for each control filled.
    const QScopedValueRollback Quiet(doUpdate, false);
    switch (Parsed.Kind) {
    case TKind::Text:
      ShowMemoText(ToQString(Parsed.Text));
      break;
    case TKind::Url:
      EditURL->setText(ToQString(Parsed.Text));
      break;
    case TKind::Email:
      EditAddress->setText(ToQString(Parsed.EMail.EditAddress));
      EditSubject->setText(ToQString(Parsed.EMail.EditSubject));
      SetMemoLines(MemoMessage, ToQString(Parsed.EMail.MemoMessage));
      break;
    case TKind::VCard: {
      SetMemoLines(MemoVCard, ToQString(Parsed.Text));
      const QScopedValueRollback Reading(ReadData, true); // the contact name stays as read
      SetVCardPage(Parsed.VCard);
      break;
    }
    case TKind::Wifi:
      SetWifiPage(Parsed.Wifi);
      break;
    case TKind::Phone:
      PhoneNumber->setText(ToQString(Parsed.Phone.Number));
      break;
    case TKind::Sms:
      SmsNumber->setText(ToQString(Parsed.Sms.Number));
      SetMemoLines(SmsMessage, ToQString(Parsed.Sms.Message));
      break;
    case TKind::Geo:
      GeoLatitude->setText(ToQString(Parsed.Geo.Latitude));
      GeoLongitude->setText(ToQString(Parsed.Geo.Longitude));
      GeoLabel->setText(ToQString(Parsed.Geo.Label));
      break;
    case TKind::Event:
      SetEventPage(Parsed.Event);
      break;
    case TKind::Pay:
      SetPaymentPage(Parsed.Payment);
      break;
    }
    // The encoding: UTF-8 declared by ECI 26 stays declared; the mark of a plain text is kept
    // (before a record it does not belong, and is left out); a choice that would drop or change
    // characters of the text read (numeric, alphanumeric, ISO-8859-1 beyond U+00FF, a mark the code
    // did not have) gives way to Auto.
    const auto Chosen = static_cast<TQRCodeEncoding>(EncryptionType->currentIndex());
    const bool BeyondLatin1 =
        std::any_of(Text.Text.begin(), Text.Text.end(), [](char16_t Unit) { return Unit > 0xFF; });
    if (Text.Eci == kEciUtf8)
      EncryptionType->setCurrentIndex(qrUTF8ECI); // the maker marked its UTF-8: so does this one
    else if (Text.ByteOrderMark && Parsed.Kind == TKind::Text)
      EncryptionType->setCurrentIndex(qrUTF8BOM);
    else if (Chosen == qrNumeric || Chosen == qrAlphanumeric || Chosen == qrUTF8BOM ||
             (Chosen == qrISO88591 && BeyondLatin1))
      EncryptionType->setCurrentIndex(qrAuto);
    PageControl1->setCurrentIndex(static_cast<int>(Parsed.Kind));
  }
  CreateCodeBtnClick();

  QString Note = tr("Read %1 from %2: ").arg(CodeOfKind(Parsed.Kind), Source);
  if (Code.Version > 0) Note += tr("version %1, ").arg(Code.Version);
  Note += tr("%1 bytes").arg(Code.Bytes.size());
  if (Code.Inverted)
    Note += tr("; inverted (light modules on a dark ground), which many phone readers do not "
               "read");
  if (!Parsed.NotKept.empty()) {
    QStringList Names;
    for (const std::u16string& Name : Parsed.NotKept)
      Names << ToQString(Name);
    Note += tr("; not kept: ") + Names.join(QStringLiteral(", "));
  }
  // The pass's own note (a key phones refuse) stays, and keeps the note a warning; it goes when
  // the page changes, the account of what was read stays.
  const QString Read = Note;
  const QString OfPass = NoteLabel->text();
  AppendNote(Note, OfPass);
  SetNote(Note, !OfPass.isEmpty(), Read);
}
