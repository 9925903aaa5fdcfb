#include "Unit1.h"

#include "About.h"
#include "ApplicationFont.h"
#include "Controls.h"
#include "Rendering.h"
#include "encoder/QRCodeSymbol.h"
#include "payload/PayloadFiles.h"
#include "platform/Messages.h"
#include "util/MyFunctions.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QTextDocument>
#include <exception>
#include <new>

namespace {

QString Q(const std::u16string& Text) {
  return QString::fromStdU16String(Text);
}
std::u16string U(const QString& Text) {
  return Text.toStdU16String();
}

const QColor kHintColor(0x80, 0x80, 0x80);
const QColor kSilver(192, 192, 192);

// ---- small pictures of the buttons, drawn here so the program carries no image files ----

QIcon GenerateIcon() {
  QImage Image(16, 16, QImage::Format_ARGB32);
  Image.fill(Qt::transparent);
  QPainter Painter(&Image);
  Painter.setPen(Qt::NoPen);
  Painter.setBrush(Qt::black);
  for (const QPoint Corner : {QPoint(0, 0), QPoint(9, 0), QPoint(0, 9)}) {
    Painter.fillRect(QRect(Corner, QSize(7, 7)), Qt::black);
    Painter.fillRect(QRect(Corner + QPoint(1, 1), QSize(5, 5)), Qt::white);
    Painter.fillRect(QRect(Corner + QPoint(2, 2), QSize(3, 3)), Qt::black);
  }
  for (const QPoint Module :
       {QPoint(10, 10), QPoint(12, 12), QPoint(14, 10), QPoint(10, 14), QPoint(14, 14)})
    Painter.fillRect(QRect(Module, QSize(2, 2)), Qt::black);
  return QIcon(QPixmap::fromImage(Image));
}

QIcon ClipboardIcon() {
  QImage Image(15, 16, QImage::Format_ARGB32);
  Image.fill(Qt::transparent);
  QPainter Painter(&Image);
  Painter.setPen(QColor(90, 60, 20));
  Painter.setBrush(QColor(200, 160, 90));
  Painter.drawRect(1, 2, 12, 13);
  Painter.setBrush(Qt::white);
  Painter.drawRect(3, 4, 8, 9);
  Painter.setBrush(QColor(120, 120, 120));
  Painter.drawRect(4, 0, 6, 3);
  Painter.setPen(QColor(60, 60, 60));
  for (int Y = 6; Y <= 11; Y += 2)
    Painter.drawLine(5, Y, 9, Y);
  return QIcon(QPixmap::fromImage(Image));
}

QLabel* MakeLabel(QWidget* Parent, const QString& Caption, int Left, int Top) {
  auto* Label = new QLabel(Caption, Parent);
  Label->adjustSize();
  Label->move(Left, Top);
  return Label;
}

QPushButton* MakeButton(QWidget* Parent, const QString& Caption, const QRect& Place) {
  auto* Button = new QPushButton(Caption, Parent);
  Button->setGeometry(Place);
  return Button;
}

// The "  Load" and "  Save" buttons of the pages, with the style's open and save pictures.
QPushButton* MakeFileButton(QWidget* Parent, bool Save, int Left) {
  QPushButton* Button = MakeButton(
      Parent, Save ? QStringLiteral("  Save") : QStringLiteral("  Load"), QRect(Left, 286, 75, 25));
  Button->setIcon(Parent->style()->standardIcon(Save ? QStyle::SP_DialogSaveButton
                                                     : QStyle::SP_DialogOpenButton));
  Button->setIconSize(QSize(16, 16));
  return Button;
}

QLineEdit* MakeEdit(QWidget* Parent, const QRect& Place) {
  auto* Edit = new QLineEdit(Parent);
  Edit->setGeometry(Place);
  return Edit;
}

void SetTextColor(QWidget* Widget, QPalette::ColorRole Role, const QColor& Color) {
  QPalette Palette = Widget->palette();
  Palette.setColor(Role, Color);
  Widget->setPalette(Palette);
}

int IndexOrDefault(int Index, int Count) {
  return Index >= 0 && Index < Count ? Index : 0;
}

TColor ReadColor(const std::u16string& Name, const std::u16string& Default) {
  const std::optional<TColor> Stored = TextToColor(ReadSettingString(kProductKey, Name, Default));
  if (Stored) return *Stored;
  // Text that names no colour and is no number: the setting takes its default.
  return TextToColor(Default).value_or(0);
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
// Construction and layout

TForm1::TForm1(QWidget* Parent) : QMainWindow(Parent) {
  setWindowTitle(QStringLiteral("Marbeck"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  setWindowIcon(GenerateIcon());
  BuildWindow();
  BuildMenu();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  InstallDefaultHooks();
  FFormAbout = new TFormAbout(this);
  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildWindow() {
  ClientArea = new QWidget(this);
  ClientArea->setFixedSize(980, 409);
  setCentralWidget(ClientArea);

  PageControl1 = new QTabWidget(ClientArea);
  PageControl1->setGeometry(8, 8, 505, 353);
  BuildTextPage();
  BuildURLPage();
  BuildEMailPage();
  BuildVCardPage();
  BuildWifiPage();

  BuildGenerationControls();
  BuildPreview();

  AboutBtn = MakeButton(ClientArea, QStringLiteral("About..."), QRect(232, 376, 73, 25));
  CloseBtn = MakeButton(ClientArea, QStringLiteral("Close"), QRect(312, 376, 73, 25));
  CopyToClipboardBtn =
      MakeButton(ClientArea, QStringLiteral("Copy to Clipboard"), QRect(840, 376, 129, 25));
  CopyToClipboardBtn->setIcon(ClipboardIcon());
  CopyToClipboardBtn->setIconSize(QSize(15, 16));

  // The hidden memo that holds the payload of the last pass, below the visible area.
  QRText = new QPlainTextEdit(ClientArea);
  QRText->setGeometry(8, 440, 505, 217);
  QRText->setLineWrapMode(QPlainTextEdit::NoWrap);
  QRText->setPlainText(QStringLiteral("QRText"));
  QRText->hide();

  connect(AboutBtn, &QPushButton::clicked, this, [this] { Guarded([this] { AboutBtnClick(); }); });
  connect(CloseBtn, &QPushButton::clicked, this, [this] { Guarded([this] { CloseBtnClick(); }); });
  connect(CopyToClipboardBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { CopyToClipboardBtnClick(); }); });
  // Initial page as laid out; the settings load chooses the page shown.
  PageControl1->setCurrentIndex(4);
}

void TForm1::BuildMenu() {
  QMenu* File1 = menuBar()->addMenu(QStringLiteral("File"));
  CopyQRCodetoClipboard1 = File1->addAction(QStringLiteral("Copy QR-Code to Clipboard"));
  CopyQRCodetoClipboard1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  CopyQRCodetoClipboard1->setShortcutContext(Qt::WindowShortcut);
  Close1 = File1->addAction(QStringLiteral("Close"));
  About1 = menuBar()->addAction(QStringLiteral("About..."));
  connect(CopyQRCodetoClipboard1, &QAction::triggered, this,
          [this] { Guarded([this] { CopyQRCodetoClipboard1Click(); }); });
  connect(Close1, &QAction::triggered, this, [this] { Guarded([this] { CloseBtnClick(); }); });
  connect(About1, &QAction::triggered, this, [this] { Guarded([this] { AboutBtnClick(); }); });
}

void TForm1::BuildTextPage() {
  Tab1 = new QWidget;
  PageControl1->addTab(Tab1, QStringLiteral("Text"));
  MemoText = new QPlainTextEdit(Tab1);
  MemoText->setGeometry(8, 8, 481, 268);
  MemoText->installEventFilter(this);
  WatchCopyKey(MemoText);
  tWordWrap = new QCheckBox(QStringLiteral("Word Wrap"), Tab1);
  tWordWrap->setGeometry(8, 290, 100, 17);
  LoadTextBtn = MakeFileButton(Tab1, false, 332);
  SaveTextBtn = MakeFileButton(Tab1, true, 414);
  DoInfoText = MakeButton(Tab1, QStringLiteral("DoInfoText"), QRect(96, 48, 305, 17));
  DoInfoText->hide();

  connect(tWordWrap, &QCheckBox::toggled, this, [this] { Guarded([this] { tWordWrapClick(); }); });
  connect(LoadTextBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { LoadTextBtnClick(); }); });
  connect(SaveTextBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { SaveTextBtnClick(); }); });
  connect(DoInfoText, &QPushButton::clicked, this,
          [this] { Guarded([this] { DoInfoTextClick(); }); });
}

void TForm1::BuildURLPage() {
  Tab2 = new QWidget;
  PageControl1->addTab(Tab2, QStringLiteral("URL"));
  MakeLabel(Tab2, QStringLiteral("Copy and paste the URL from your Browser to this field"), 8, 12);
  EditURL = MakeEdit(Tab2, QRect(8, 30, 481, 21));
  WatchCopyKey(EditURL);
  QLabel* Example = MakeLabel(
      Tab2, QStringLiteral("e.g.  https://www.example.org/   or   http://example.com/index.html"),
      8, 56);
  SetTextColor(Example, QPalette::WindowText, kHintColor);
  URLTestBtn = MakeButton(Tab2, QStringLiteral("Test the URL"), QRect(8, 82, 97, 25));
  connect(URLTestBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { URLTestBtnClick(); }); });
}

void TForm1::BuildEMailPage() {
  TabSheet1 = new QWidget;
  PageControl1->addTab(TabSheet1, QStringLiteral("eMail"));
  MakeLabel(TabSheet1, QStringLiteral("eMail Address"), 8, 8);
  EditAddress = MakeEdit(TabSheet1, QRect(8, 24, 481, 21));
  MakeLabel(TabSheet1, QStringLiteral("Subject"), 8, 52);
  EditSubject = MakeEdit(TabSheet1, QRect(8, 68, 481, 21));
  MakeLabel(TabSheet1, QStringLiteral("Message"), 8, 96);
  MemoMessage = new QPlainTextEdit(TabSheet1);
  MemoMessage->setGeometry(8, 112, 481, 164);
  for (QWidget* Field : {static_cast<QWidget*>(EditAddress), static_cast<QWidget*>(EditSubject),
                         static_cast<QWidget*>(MemoMessage)})
    WatchCopyKey(Field);
  eWordWrap = new QCheckBox(QStringLiteral("Word Wrap"), TabSheet1);
  eWordWrap->setGeometry(8, 290, 100, 17);
  LoadEMailBtn = MakeFileButton(TabSheet1, false, 332);
  SaveEMailBtn = MakeFileButton(TabSheet1, true, 414);

  connect(eWordWrap, &QCheckBox::toggled, this, [this] { Guarded([this] { eWordWrapClick(); }); });
  connect(LoadEMailBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { LoadEMailBtnClick(); }); });
  connect(SaveEMailBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { SaveEMailBtnClick(); }); });
}

void TForm1::BuildVCardPage() {
  TabSheet2 = new QWidget;
  PageControl1->addTab(TabSheet2, QStringLiteral("VCard v4.0"));

  struct TRow {
    QLineEdit** Field;
    const char* Caption;
  };
  const TRow Left[] = {
      {&ContactName, "Contact Name"},   {&FirstName, "First Name"},
      {&LastName, "Last Name"},         {&MiddleName, "Middle Name"},
      {&PhonePrivate, "Phone home"},    {&PhoneCellPrivate, "Cell Phone private"},
      {&EmailPrivate, "eMail private"}, {&WebsitePrivate, "Website private"},
      {&StreetHome, "Street home"},     {&CityHome, "City home"},
      {&ZIPCodeHome, "ZIP Code home"},
  };
  const TRow Right[] = {
      {&Birthday, "Birthday [yyyy.mm.dd]"}, {&Company, "Company"},
      {&Department, "Department"},          {&JobTitle, "Job Title"},
      {&PhoneWork, "Phone Work"},           {&CellPhoneWork, "Cell Phone work"},
      {&EmailWork, "eMail work"},           {&WebsiteWork, "Website work"},
      {&Streetwork, "Street work"},         {&CityWork, "City work"},
      {&ZIPCodeWork, "ZIP Code work"},
  };
  const auto Column = [this](const auto& Rows, int LabelLeft, int FieldLeft, int FieldWidth) {
    int Top = 6;
    for (const TRow& Row : Rows) {
      QLabel* Label = MakeLabel(TabSheet2, QString::fromLatin1(Row.Caption), LabelLeft, Top + 4);
      *Row.Field = MakeEdit(TabSheet2, QRect(FieldLeft, Top, FieldWidth, 21));
      Label->setBuddy(*Row.Field);
      WatchCopyKey(*Row.Field);
      Top += 25;
    }
  };
  Column(Left, 8, 106, 134);
  Column(Right, 250, 366, 123);
  QFont Bold = ContactName->font();
  Bold.setBold(true);
  for (QLabel* Label : TabSheet2->findChildren<QLabel*>())
    if (Label->buddy() == ContactName) {
      Label->setFont(Bold);
      Label->adjustSize();
    }

  DoVCard = MakeButton(TabSheet2, QStringLiteral("DoVCard"), QRect(8, 290, 61, 21));
  LoadVcard3Btn = MakeFileButton(TabSheet2, false, 332);
  SaveVCard3Btn = MakeFileButton(TabSheet2, true, 414);
  MemoVCard = new QPlainTextEdit(TabSheet2);
  MemoVCard->hide();

  for (QLineEdit* Name : {FirstName, LastName, MiddleName})
    connect(Name, &QLineEdit::textChanged, this,
            [this] { Guarded([this] { FirstNameChange(); }); });
  connect(DoVCard, &QPushButton::clicked, this, [this] { Guarded([this] { DoVCardClick(); }); });
  connect(LoadVcard3Btn, &QPushButton::clicked, this,
          [this] { Guarded([this] { LoadVcard3BtnClick(); }); });
  connect(SaveVCard3Btn, &QPushButton::clicked, this,
          [this] { Guarded([this] { SaveVCard3BtnClick(); }); });
}

void TForm1::BuildWifiPage() {
  TabSheet3 = new QWidget;
  PageControl1->addTab(TabSheet3, QStringLiteral("Wifi"));
  MakeLabel(TabSheet3, QStringLiteral("Network Name (SSID)"), 8, 8);
  SSID = MakeEdit(TabSheet3, QRect(8, 24, 241, 21));
  MakeLabel(TabSheet3, QStringLiteral("Network Key"), 8, 52);
  NetworkKey = MakeEdit(TabSheet3, QRect(8, 68, 241, 21));
  MakeLabel(TabSheet3, QStringLiteral("Network Encryption Type"), 8, 96);
  WPA = new QComboBox(TabSheet3);
  WPA->setGeometry(8, 112, 97, 21);
  WPA->addItems({QStringLiteral("WPA"), QStringLiteral("WEP")});
  WPA->setCurrentIndex(0);
  WatchCopyKey(SSID);
  WatchCopyKey(NetworkKey);
  LoadWifiBtn = MakeFileButton(TabSheet3, false, 332);
  SaveWifiBtn = MakeFileButton(TabSheet3, true, 414);
  connect(LoadWifiBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { LoadWifiBtnClick(); }); });
  connect(SaveWifiBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { SaveWifiBtnClick(); }); });
}

void TForm1::BuildGenerationControls() {
  const QColor GreyText(0x6D, 0x6D, 0x6D); // the grey-text colour of the classic desktop
  Label30 = MakeLabel(ClientArea, QStringLiteral("Encoding Mode"), 12, 364);
  Label31 = MakeLabel(ClientArea, QStringLiteral("Spacing"), 138, 364);
  for (QLabel* Label : {Label30, Label31}) {
    Label->setFont(SmallFont());
    Label->adjustSize();
    SetTextColor(Label, QPalette::WindowText, GreyText);
  }
  EncryptionType = new QComboBox(ClientArea);
  EncryptionType->setGeometry(10, 378, 119, 21);
  EncryptionType->addItems({QStringLiteral("Auto"), QStringLiteral("Numeric"),
                            QStringLiteral("Alphanumeric"), QStringLiteral("ISO-8859-1"),
                            QStringLiteral("UTF-8 without BOM"), QStringLiteral("UTF-8 with BOM")});
  EncryptionType->setCurrentIndex(0);
  FrameSize = new QComboBox(ClientArea);
  FrameSize->setGeometry(136, 378, 57, 21);
  for (int Spacing = 1; Spacing <= 9; ++Spacing)
    FrameSize->addItem(QString::number(Spacing));
  FrameSize->setCurrentIndex(1);

  CreateCodeBtn =
      MakeButton(ClientArea, QStringLiteral(" Generate QR-Code"), QRect(392, 376, 123, 25));
  CreateCodeBtn->setIcon(GenerateIcon());
  CreateCodeBtn->setIconSize(QSize(16, 16));

  // A choice made by the user runs a pass; an index set in code does not ("activated").
  connect(EncryptionType, &QComboBox::activated, this,
          [this] { Guarded([this] { CreateCodeBtnClick(); }); });
  connect(FrameSize, &QComboBox::activated, this,
          [this] { Guarded([this] { CreateCodeBtnClick(); }); });
  connect(CreateCodeBtn, &QPushButton::clicked, this,
          [this] { Guarded([this] { CreateCodeBtnClick(); }); });
}

void TForm1::BuildPreview() {
  Panel1 = new QFrame(ClientArea);
  Panel1->setGeometry(528, 16, 441, 329);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(1);
  Panel1->setAutoFillBackground(true);
  Image1 = new TPictureBox(Panel1);
  Image1->setGeometry(199, 136, 50, 50);
  NoteLabel = new QLabel(Panel1);
  NoteLabel->setGeometry(8, 298, 425, 24);
  NoteLabel->setAlignment(Qt::AlignCenter);
  NoteLabel->setWordWrap(true);
  SetTextColor(NoteLabel, QPalette::WindowText, QColor(160, 0, 0));
  NoteLabel->hide();

  ScrollBar1 = new QScrollBar(Qt::Horizontal, ClientArea);
  ScrollBar1->setGeometry(528, 378, 305, 21);
  ScrollBar1->setRange(0, 800);
  ScrollBar1->setSingleStep(1);
  ScrollBar1->setPageStep(1);
  ScrollBar1->setValue(250);

  Label34 = MakeLabel(ClientArea, QStringLiteral("Back Color:"), 526, 354);
  BackColor = new TColorSwatch(ClientArea);
  BackColor->setGeometry(584, 352, 25, 17);
  BackColor->SetColor(0xFFFFFF);
  Label35 = MakeLabel(ClientArea, QStringLiteral("Matrix Color:"), 624, 354);
  MatrixColor = new TColorSwatch(ClientArea);
  MatrixColor->setGeometry(688, 352, 25, 17);
  MatrixColor->SetColor(0x000000);
  Frame = new QCheckBox(QStringLiteral("Frame"), ClientArea);
  Frame->setGeometry(744, 352, 57, 17);
  Label33 = MakeLabel(ClientArea, QStringLiteral("Size:"), 800, 354);
  TrackBar1 = new QSlider(Qt::Horizontal, ClientArea);
  TrackBar1->setGeometry(824, 350, 86, 25); // ends short of "Color:", which starts at 912
  TrackBar1->setRange(0, 10);
  TrackBar1->setValue(0);
  TrackBar1->setPageStep(1);
  TrackBar1->setEnabled(false);
  Label32 = MakeLabel(ClientArea, QStringLiteral("Color:"), 912, 354);
  SetTextColor(Label32, QPalette::WindowText, kSilver);
  SetTextColor(Label33, QPalette::WindowText, kSilver);
  FrameColor = new TColorSwatch(ClientArea);
  FrameColor->setGeometry(944, 352, 25, 17);
  FrameColor->SetColor(0x000000);
  Shape1 = new TCover(ClientArea);
  Shape1->setGeometry(944, 352, 25, 17);
  Shape1->raise();

  connect(ScrollBar1, &QScrollBar::valueChanged, this,
          [this] { Guarded([this] { ScrollBar1Change(); }); });
  connect(Frame, &QCheckBox::toggled, this, [this] { Guarded([this] { FrameClick(); }); });
  connect(TrackBar1, &QSlider::valueChanged, this,
          [this] { Guarded([this] { CreateCodeBtnClick(); }); });
  for (TColorSwatch* Swatch : {BackColor, MatrixColor, FrameColor}) {
    connect(Swatch, &TColorSwatch::MouseDown, this,
            [this, Swatch] { Guarded([this, Swatch] { FrameColorMouseDown(Swatch); }); });
    connect(Swatch, &TColorSwatch::MouseUp, this,
            [this, Swatch] { Guarded([this, Swatch] { FrameColorMouseUp(Swatch); }); });
  }
}

void TForm1::InstallDefaultHooks() {
  FHooks.OpenFile = [this](const QString& Filter,
                           const QString& LastChosen) -> std::optional<QString> {
    const QString Name = QFileDialog::getOpenFileName(this, QString(), LastChosen, Filter);
    if (Name.isEmpty()) return std::nullopt;
    return Name;
  };
  FHooks.SaveFile = [this](const QString& Filter,
                           const QString& LastChosen) -> std::optional<QString> {
    // The overwrite question is asked by the window for the final name (see AskSaveName).
    const QString Name = QFileDialog::getSaveFileName(this, QString(), LastChosen, Filter, nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (Name.isEmpty()) return std::nullopt;
    return Name;
  };
  FHooks.ConfirmOverwrite = [this](const QString& FileName) {
    return QMessageBox::question(this, QStringLiteral("Confirm Save As"),
                                 QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                     .arg(QDir::toNativeSeparators(FileName)),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  FHooks.PickColor = [this](QColor Initial) -> std::optional<QColor> {
    const QColor Chosen = QColorDialog::getColor(Initial, this);
    if (!Chosen.isValid()) return std::nullopt;
    return Chosen;
  };
  FHooks.ErrorBox = [this](const QString& Message) {
    QMessageBox::critical(this, QStringLiteral("Marbeck"), Message);
  };
  FHooks.OpenUrl = [](const QUrl& Url) { QDesktopServices::openUrl(Url); };
  FHooks.SetClipboardImage = [](const QImage& Picture, QString& Error) {
    QClipboard* Clipboard = QGuiApplication::clipboard();
    if (!Clipboard) {
      Error = QStringLiteral("there is no clipboard.");
      return false;
    }
    Clipboard->setImage(Picture);
    const QMimeData* Data = Clipboard->mimeData();
    if (!Data || !Data->hasImage()) {
      Error = QStringLiteral("the clipboard did not take the picture.");
      return false;
    }
    return true;
  };
}

void TForm1::WatchCopyKey(QWidget* TextField) {
  TextField->installEventFilter(this);
}

// ---------------------------------------------------------------------------------------------
// Window events

void TForm1::Guarded(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::bad_alloc&) {
    FHooks.ErrorBox(QStringLiteral("Out of memory."));
  } catch (const std::exception& Error) {
    FHooks.ErrorBox(QString::fromUtf8(Error.what()));
  } catch (...) {
    FHooks.ErrorBox(QStringLiteral("An unexpected error ended the action."));
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
  TrackBar1->setValue(ReadSettingInteger(kProductKey, u"FrameMarkSize", 0));
  ScrollBar1->setValue(ReadSettingInteger(kProductKey, u"Zoom", 250));
  Frame->setChecked(ReadSettingBool(kProductKey, u"Frame", false));
  BackColor->SetColor(ReadColor(u"BackColor", u"clWhite"));
  FrameColor->SetColor(ReadColor(u"FrameColor", u"clBlack"));
  MatrixColor->SetColor(ReadColor(u"MatrixColor", u"clBlack"));
  EncryptionType->setCurrentIndex(IndexOrDefault(
      ReadSettingInteger(kProductKey, u"EncryptionType", 0), EncryptionType->count()));
  FrameSize->setCurrentIndex(
      IndexOrDefault(ReadSettingInteger(kProductKey, u"FrameSize", 0), FrameSize->count()));
  {
    const QSignalBlocker Quiet(tWordWrap);
    tWordWrap->setChecked(ReadSettingBool(kProductKey, u"tWordWrap", true));
  }
  tWordWrapClick();
  {
    const QSignalBlocker Quiet(eWordWrap);
    eWordWrap->setChecked(ReadSettingBool(kProductKey, u"eWordWrap", true));
  }
  eWordWrapClick();
  PageControl1->setCurrentIndex(
      IndexOrDefault(ReadSettingInteger(kProductKey, u"TabIndex", 0), PageControl1->count()));
  doUpdate = true;
}

void TForm1::FormActivate() {
  if (FActivated) return; // only the first activation after start
  FActivated = true;
  DoInfoText->click();
}

void TForm1::FormClose() {
  WriteSettingInteger(kProductKey, u"FrameMarkSize", TrackBar1->value());
  WriteSettingInteger(kProductKey, u"Zoom", ScrollBar1->value());
  WriteSettingBool(kProductKey, u"Frame", Frame->isChecked());
  WriteSettingString(kProductKey, u"BackColor", ColorToText(BackColor->Color()));
  WriteSettingString(kProductKey, u"FrameColor", ColorToText(FrameColor->Color()));
  WriteSettingString(kProductKey, u"MatrixColor", ColorToText(MatrixColor->Color()));
  WriteSettingInteger(kProductKey, u"EncryptionType", EncryptionType->currentIndex());
  WriteSettingInteger(kProductKey, u"FrameSize", FrameSize->currentIndex());
  WriteSettingBool(kProductKey, u"tWordWrap", tWordWrap->isChecked());
  WriteSettingBool(kProductKey, u"eWordWrap", eWordWrap->isChecked());
  WriteSettingInteger(kProductKey, u"TabIndex", PageControl1->currentIndex());
}

// ---------------------------------------------------------------------------------------------
// The generation pass and the preview

QString TForm1::FillQRText() {
  QString Payload;
  switch (PageControl1->currentIndex()) {
  case 0:
    Payload = Q(TextPayload(U(MemoLines(MemoText))));
    break;
  case 1:
    Payload = Q(URLPayload(TURLPage{U(EditURL->text())}));
    break;
  case 2:
    Payload = Q(EMailPayload(EMailPage()));
    break;
  case 3:
    DoVCard->click();
    Payload = Q(ComposeVCard(VCardPage()));
    break;
  case 4:
    Payload = Q(WifiPayload(WifiPage()));
    break;
  default:
    return MemoLines(QRText);
  }
  // QRText shows the payload; the symbol is made from the payload itself, so that no character
  // a text field cannot show as such (a line separator in a network name) changes on the way.
  SetMemoLines(QRText, Payload);
  return Payload;
}

void TForm1::CreateCodeBtnClick() {
  if (!doUpdate) return;
  const QString Payload = FillQRText();

  TQRCodeSymbol Symbol;
  QImage Bitmap;
  try {
    Symbol.SetData(U(Payload));
    Symbol.SetEncoding(static_cast<TQRCodeEncoding>(EncryptionType->currentIndex()));
    int QuietZone = FrameSize->currentIndex() + 1;
    if (Frame->isChecked()) ++QuietZone;
    Symbol.SetQuietZone(QuietZone);

    const int Side = Symbol.Rows();
    Bitmap = QImage(Side, Side, QImage::Format_RGB32);
    Bitmap.fill(Qt::white);
    ScrollBar1->setMinimum(Side); // a zoom below the side moves up, which refreshes at once
    Image1->resize(Side, Side);
    const QRgb Dark = MatrixColor->ShownColor().rgb();
    const QRgb Light = BackColor->ShownColor().rgb();
    for (int Row = 0; Row < Symbol.Rows(); ++Row)
      for (int Column = 0; Column < Symbol.Columns(); ++Column)
        Bitmap.setPixel(Column, Row, Symbol.IsDark(Row, Column) ? Dark : Light);
  } catch (...) {
    Image1->SetPicture(std::move(Bitmap));
    throw;
  }
  Image1->SetPicture(std::move(Bitmap));

  if (Symbol.DataTooLong()) {
    const QLocale English(QLocale::English);
    const QString Units = Symbol.Units() == cuDigits       ? QStringLiteral("digits")
                          : Symbol.Units() == cuCharacters ? QStringLiteral("characters")
                                                           : QStringLiteral("bytes");
    SetNote(QStringLiteral("Too long for a QR code: %1 %2; at most %3 fit.")
                .arg(English.toString(Symbol.NeededUnits()), Units,
                     English.toString(Symbol.MaxUnits())));
  } else {
    SetNote(QString());
  }
  ScrollBar1Change();
}

void TForm1::SetNote(const QString& Note) {
  NoteLabel->setText(Note);
  NoteLabel->setVisible(!Note.isEmpty());
  NoteLabel->raise();
}

void TForm1::ScrollBar1Change() {
  if (Frame->isChecked()) {
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
  Image1->move(CentredPlace(Panel1->width(), Panel1->height(), W));
}

void TForm1::FrameClick() {
  const bool On = Frame->isChecked();
  TrackBar1->setEnabled(On);
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
  if (const std::optional<QColor> Chosen = FHooks.PickColor(FDialogColor)) {
    FDialogColor = *Chosen;
    Swatch->SetColor(PlainColor(*Chosen));
  }
  CreateCodeBtn->click();
}

// ---------------------------------------------------------------------------------------------
// Clipboard, About, Close

void TForm1::CopyToClipboardBtnClick() {
  CreateCodeBtn->click();
  const int W = ScrollBar1->value();
  QImage Copy(W, W, QImage::Format_RGB888);
  Copy.fill(Qt::white);
  if (Image1->HasPicture() && !Image1->Picture().isNull() && W > 0) {
    QPainter Painter(&Copy);
    Painter.drawImage(0, 0, StretchNearest(Image1->Picture(), W, W));
  }
  QString Error;
  if (!FHooks.SetClipboardImage(Copy, Error))
    FHooks.ErrorBox(QStringLiteral("Cannot open clipboard: %1").arg(Error));
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
  return TEMailPage{U(EditAddress->text()), U(EditSubject->text()), U(MemoLines(MemoMessage))};
}

TVCardPage TForm1::VCardPage() const {
  TVCardPage Page;
  Page.ContactName = U(ContactName->text());
  Page.FirstName = U(FirstName->text());
  Page.LastName = U(LastName->text());
  Page.MiddleName = U(MiddleName->text());
  Page.PhonePrivate = U(PhonePrivate->text());
  Page.PhoneCellPrivate = U(PhoneCellPrivate->text());
  Page.EmailPrivate = U(EmailPrivate->text());
  Page.WebsitePrivate = U(WebsitePrivate->text());
  Page.StreetHome = U(StreetHome->text());
  Page.CityHome = U(CityHome->text());
  Page.ZIPCodeHome = U(ZIPCodeHome->text());
  Page.Birthday = U(Birthday->text());
  Page.Company = U(Company->text());
  Page.Department = U(Department->text());
  Page.JobTitle = U(JobTitle->text());
  Page.PhoneWork = U(PhoneWork->text());
  Page.CellPhoneWork = U(CellPhoneWork->text());
  Page.EmailWork = U(EmailWork->text());
  Page.WebsiteWork = U(WebsiteWork->text());
  Page.Streetwork = U(Streetwork->text());
  Page.CityWork = U(CityWork->text());
  Page.ZIPCodeWork = U(ZIPCodeWork->text());
  return Page;
}

void TForm1::SetVCardPage(const TVCardPage& Page) {
  ContactName->setText(Q(Page.ContactName));
  FirstName->setText(Q(Page.FirstName));
  LastName->setText(Q(Page.LastName));
  MiddleName->setText(Q(Page.MiddleName));
  PhonePrivate->setText(Q(Page.PhonePrivate));
  PhoneCellPrivate->setText(Q(Page.PhoneCellPrivate));
  EmailPrivate->setText(Q(Page.EmailPrivate));
  WebsitePrivate->setText(Q(Page.WebsitePrivate));
  StreetHome->setText(Q(Page.StreetHome));
  CityHome->setText(Q(Page.CityHome));
  ZIPCodeHome->setText(Q(Page.ZIPCodeHome));
  Birthday->setText(Q(Page.Birthday));
  Company->setText(Q(Page.Company));
  Department->setText(Q(Page.Department));
  JobTitle->setText(Q(Page.JobTitle));
  PhoneWork->setText(Q(Page.PhoneWork));
  CellPhoneWork->setText(Q(Page.CellPhoneWork));
  EmailWork->setText(Q(Page.EmailWork));
  WebsiteWork->setText(Q(Page.WebsiteWork));
  Streetwork->setText(Q(Page.Streetwork));
  CityWork->setText(Q(Page.CityWork));
  ZIPCodeWork->setText(Q(Page.ZIPCodeWork));
}

TWifiPage TForm1::WifiPage() const {
  return TWifiPage{U(SSID->text()), U(NetworkKey->text()), WPA->currentIndex()};
}

void TForm1::DoInfoTextClick() {
  SetTextColor(MemoText, QPalette::Text, kHintColor);
  SetMemoLines(MemoText, Q(HintText()));
}

void TForm1::MemoTextEnter() {
  const QString Text = MemoLines(MemoText);
  const QString FirstLine = Text.left(Text.indexOf(QLatin1String("\r\n")));
  if (FirstLine != Q(kHintFirstLine)) return;
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
    ShowMessage(U(QStringLiteral("\"%1\" is not a web address.").arg(Text)));
    return;
  }
  FHooks.OpenUrl(*Url);
}

void TForm1::DoVCardClick() {
  SetMemoLines(MemoVCard, Q(ComposeVCard(VCardPage())));
}

void TForm1::FirstNameChange() {
  if (ReadData) return;
  ContactName->setText(
      Q(ContactNameFor(U(FirstName->text()), U(MiddleName->text()), U(LastName->text()))));
}

// ---------------------------------------------------------------------------------------------
// Load and Save

std::optional<std::filesystem::path> TForm1::AskOpenName(const QString& Filter) {
  const std::optional<QString> Chosen = FHooks.OpenFile(Filter, FOpenDialogName);
  if (!Chosen || Chosen->isEmpty()) return std::nullopt;
  FOpenDialogName = *Chosen;
  return std::filesystem::path(U(*Chosen));
}

std::optional<std::filesystem::path> TForm1::AskSaveName(const QString& Filter,
                                                         const std::u16string& Extension) {
  for (;;) {
    const std::optional<QString> Chosen = FHooks.SaveFile(Filter, FSaveDialogName);
    if (!Chosen || Chosen->isEmpty()) return std::nullopt;
    FSaveDialogName = *Chosen;
    const QString Final = Q(SaveFileName(U(*Chosen), Extension));
    // The question covers the name really written, after the extension rule.
    if (QFileInfo::exists(Final) && !FHooks.ConfirmOverwrite(Final)) continue;
    return std::filesystem::path(U(Final));
  }
}

void TForm1::SaveTextBtnClick() {
  const auto Path = AskSaveName(QStringLiteral("Textdatei (*.txt)"), kTextExtension);
  if (!Path) return;
  const TSaveResult Result = SaveTextFile(*Path, U(MemoLines(MemoText)), FMemoTextEncoding);
  if (!Result.Ok) return FHooks.ErrorBox(Q(Result.Error));
  FMemoTextEncoding = Result.Encoding;
}

void TForm1::LoadTextBtnClick() {
  const auto Path = AskOpenName(QStringLiteral("Textdatei (*.txt)"));
  if (!Path) return;
  const TLoadResult<TDecodedText> Result = LoadTextFile(*Path);
  if (!Result.Ok()) return FHooks.ErrorBox(Q(Result.Error));
  SetMemoLines(MemoText, Q(Result.Data->Text));
  FMemoTextEncoding = Result.Data->Encoding;
}

void TForm1::SaveEMailBtnClick() {
  const auto Path = AskSaveName(QStringLiteral("eMail (*.eml)"), kEMailExtension);
  if (!Path) return;
  const TSaveResult Result = SaveEMailFile(*Path, EMailPage(), FMemoMessageEncoding);
  if (!Result.Ok) return FHooks.ErrorBox(Q(Result.Error));
  FMemoMessageEncoding = Result.Encoding;
}

void TForm1::LoadEMailBtnClick() {
  const auto Path = AskOpenName(QStringLiteral("eMail (*.eml)"));
  if (!Path) return;
  const TLoadResult<TEMailFile> Result = LoadEMailFile(*Path);
  if (!Result.Ok()) return FHooks.ErrorBox(Q(Result.Error));
  const TEMailPage& Page = Result.Data->Page;
  SetMemoLines(MemoMessage, Q(Page.MemoMessage));
  EditAddress->setText(Q(Page.EditAddress));
  EditSubject->setText(Q(Page.EditSubject));
  FMemoMessageEncoding = Result.Data->Encoding;
}

void TForm1::SaveVCard3BtnClick() {
  const auto Path = AskSaveName(QStringLiteral("VCard (*.vcf)"), kVCardExtension);
  if (!Path) return;
  DoVCard->click();
  const TSaveResult Result = SaveVCardFile(*Path, VCardPage(), FMemoVCardEncoding);
  if (!Result.Ok) return FHooks.ErrorBox(Q(Result.Error));
  FMemoVCardEncoding = Result.Encoding;
}

void TForm1::LoadVcard3BtnClick() {
  const auto Path = AskOpenName(QStringLiteral("VCard (*.vcf)"));
  if (!Path) return;
  const TLoadResult<TVCardFile> Result = LoadVCardFile(*Path, VCardPage());
  if (!Result.Ok()) return FHooks.ErrorBox(Q(Result.Error));
  SetMemoLines(MemoVCard, Q(Result.Data->MemoVCard));
  ReadData = true; // the contact-name rule stays idle while the name fields are filled
  try {
    SetVCardPage(Result.Data->Page);
  } catch (...) {
    ReadData = false;
    throw;
  }
  ReadData = false;
  FMemoVCardEncoding = Result.Data->Encoding;
}

void TForm1::SaveWifiBtnClick() {
  const auto Path = AskSaveName(QStringLiteral("Network Key (*.nwk)"), kNetworkExtension);
  if (!Path) return;
  const TSaveResult Result = SaveNetworkFile(*Path, WifiPage());
  if (!Result.Ok) return FHooks.ErrorBox(Q(Result.Error));
}

void TForm1::LoadWifiBtnClick() {
  const auto Path = AskOpenName(QStringLiteral("Network Key (*.nwk)"));
  if (!Path) return;
  const TLoadResult<TWifiPage> Result = LoadNetworkFile(*Path);
  if (!Result.Ok()) return FHooks.ErrorBox(Q(Result.Error));
  SSID->setText(Q(Result.Data->SSID));
  NetworkKey->setText(Q(Result.Data->NetworkKey));
  WPA->setCurrentIndex(Result.Data->WPA == 0 ? 0 : 1);
}
