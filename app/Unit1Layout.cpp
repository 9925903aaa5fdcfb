// The building of the main window: its controls at their places, the menu, the wiring of the
// controls to the handlers, and the default hooks to the real dialogs, shell and clipboard.
// What the handlers do is in Unit1.cpp.
#include "About.h"
#include "ApplicationFont.h"
#include "Controls.h"
#include "FormHelpers.h"
#include "Icons.h"
#include "ReadBackWorker.h"
#include "Unit1.h"
#include "VCardEdits.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QDrag>
#include <QFileDialog>
#include <QFormLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <type_traits>

namespace {

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

// The Load and Save buttons of the pages, with the style's open and save pictures.
QPushButton* MakeFileButton(QWidget* Parent, bool Save, int Left) {
  QPushButton* Button =
      MakeButton(Parent, Save ? TForm1::tr("Save") : TForm1::tr("Load"), QRect(Left, 286, 75, 25));
  Button->setIcon(Parent->style()->standardIcon(Save ? QStyle::SP_DialogSaveButton
                                                     : QStyle::SP_DialogOpenButton));
  Button->setIconSize(QSize(16, 16));
  return Button;
}

// The tab bar's style: the window's own, with less room beside each caption, so that the ten
// pages' tabs share one row at the smallest window size.
class TTightTabsStyle : public QProxyStyle {
public:
  TTightTabsStyle() : QProxyStyle(QApplication::style()->name()) {}
  int pixelMetric(PixelMetric Metric, const QStyleOption* Option,
                  const QWidget* Widget) const override {
    if (Metric == PM_TabBarTabHSpace)
      return std::min(QProxyStyle::pixelMetric(Metric, Option, Widget), kTabHSpace);
    return QProxyStyle::pixelMetric(Metric, Option, Widget);
  }
  static constexpr int kTabHSpace = 16;
};

QLineEdit* MakeEdit(QWidget* Parent, const QRect& Place) {
  auto* Edit = new QLineEdit(Parent);
  Edit->setGeometry(Place);
  return Edit;
}

} // namespace

TForm1::TForm1(QWidget* Parent) : QMainWindow(Parent) {
  setWindowTitle(QStringLiteral("Marbeck"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  BuildWindow();
  BuildMenu();
  resize(minimumSizeHint()); // it opens at its smallest size
  InstallDefaultHooks();
  InstallReadHooks();
  FFormAbout = new TFormAbout(this);
  FormCreate();
}

TForm1::~TForm1() {
  // The read-back worker first: it posts to this window until it has stopped.
  FReadBack.reset();
}

void TForm1::BuildWindow() {
  ClientArea = new QWidget(this);
  ClientArea->setMinimumSize(kSmallestClientSize);
  ClientArea->resize(kSmallestClientSize);
  setCentralWidget(ClientArea);
  ClientArea->installEventFilter(this); // its growth moves the controls (FollowWindowSize)

  PageControl1 = new QTabWidget(ClientArea);
  PageControl1->setGeometry(8, 8, 505, 353);
  BuildTextPage();
  BuildURLPage();
  BuildEMailPage();
  BuildVCardPage();
  BuildWifiPage();
  BuildPhonePage();
  BuildSmsPage();
  BuildPlacePage();
  BuildEventPage();
  BuildPaymentPage();

  BuildGenerationControls();
  BuildPreview();
  BuildDesignControls();
  WatchPages();

  AboutBtn = MakeButton(ClientArea, tr("About..."), QRect(232, 408, 73, 25));
  CloseBtn = MakeButton(ClientArea, tr("Close"), QRect(312, 408, 73, 25));
  CopyToClipboardBtn = MakeButton(ClientArea, tr("Copy to Clipboard"), QRect(840, 376, 129, 25));
  CopyToClipboardBtn->setIcon(ClipboardIcon());
  CopyToClipboardBtn->setIconSize(QSize(15, 16));

  // The hidden memo that holds the payload of the last pass, below the visible area.
  QRText = new QPlainTextEdit(ClientArea);
  QRText->setGeometry(8, 440, 505, 217);
  QRText->setLineWrapMode(QPlainTextEdit::NoWrap);
  QRText->setPlainText(QStringLiteral("QRText"));
  QRText->hide();

  Wire(this, AboutBtn, &QPushButton::clicked, &TForm1::AboutBtnClick);
  Wire(this, CloseBtn, &QPushButton::clicked, &TForm1::CloseBtnClick);
  Wire(this, CopyToClipboardBtn, &QPushButton::clicked, &TForm1::CopyToClipboardBtnClick);

  // Below the pages the tab key goes left to right: first the row under the pages, then the
  // preview's controls, then the zoom and the copy.
  QWidget* const Order[] = {
      EncryptionType, FrameSize,          ErrorCorrection, Boost,       AboutBtn,    CloseBtn,
      CreateCodeBtn,  BackColor,          MatrixColor,     Frame,       TrackBar1,   FrameColor,
      ScrollBar1,     CopyToClipboardBtn, ModuleShape,     FinderShape, FinderColor, LogoBtn,
      LogoSize,       NoLogoBtn};
  for (std::size_t I = 1; I < std::size(Order); ++I)
    setTabOrder(Order[I - 1], Order[I]);
  // Initial page as laid out; the settings load chooses the page shown.
  PageControl1->setCurrentIndex(4);
  // Every tab in one row, none hidden behind scroll arrows.
  PageControl1->setUsesScrollButtons(false);
  auto* TabStyle = new TTightTabsStyle;
  TabStyle->setParent(PageControl1->tabBar());
  PageControl1->tabBar()->setStyle(TabStyle);
  Wire(this, PageControl1, &QTabWidget::currentChanged, &TForm1::PageControl1Change);
  // Ctrl+PageDown and Ctrl+PageUp: the next and the previous page, from any control of the window,
  // round from the last page to the first.
  for (const auto& [Key, Step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
    auto* Shortcut = new QShortcut(QKeySequence(Qt::CTRL | Key), this);
    Shortcut->setContext(Qt::WindowShortcut);
    connect(Shortcut, &QShortcut::activated, this, [this, Step = Step] {
      const int Count = PageControl1->count();
      PageControl1->setCurrentIndex((PageControl1->currentIndex() + Step + Count) % Count);
    });
  }

  // A growing window: the picture area takes the room; the pages keep their width and grow
  // down, their memos with them and their buttons at their foot; the rows under the pages and
  // under the picture area keep to the bottom, the zoom bar widens, the copy button keeps to
  // the corner.
  Follow(PageControl1, fwHeighten);
  Follow(MemoText, fwHeighten);
  Follow(MemoMessage, fwHeighten);
  for (QWidget* Foot : std::initializer_list<QWidget*>{
           tWordWrap, LoadTextBtn, SaveTextBtn, eWordWrap, LoadEMailBtn, SaveEMailBtn, DoVCard,
           LoadVcard3Btn, SaveVCard3Btn, LoadWifiBtn, SaveWifiBtn})
    Follow(Foot, fwDown);
  Follow(Panel1, fwWiden | fwHeighten); // the notes under it take their rows from it
  for (QWidget* Row : std::initializer_list<QWidget*>{
           Label30,    Label31,     Label36,  EncryptionType, FrameSize,   ErrorCorrection,
           Boost,      AboutBtn,    CloseBtn, CreateCodeBtn,  Label34,     BackColor,
           Label35,    MatrixColor, Frame,    Label33,        TrackBar1,   Label32,
           FrameColor, Shape1,      Label37,  ModuleShape,    FinderShape, FinderColor,
           LogoBtn,    LogoSize,    NoLogoBtn})
    Follow(Row, fwDown);
  Follow(ScrollBar1, fwDown | fwWiden);
  Follow(CopyToClipboardBtn, fwDown | fwRight);
}

void TForm1::Follow(QWidget* Control, unsigned How) {
  FFollowers.push_back(TFollower{Control, Control->geometry(), How});
}

void TForm1::FollowWindowSize() {
  const QSize Gained = (ClientArea->size() - kSmallestClientSize).expandedTo(QSize(0, 0));
  for (const TFollower& Follower : FFollowers) {
    QRect Place = Follower.Smallest;
    if (Follower.How & fwRight) Place.translate(Gained.width(), 0);
    if (Follower.How & fwDown) Place.translate(0, Gained.height());
    if (Follower.How & fwWiden) Place.setWidth(Place.width() + Gained.width());
    if (Follower.How & fwHeighten) Place.setHeight(Place.height() + Gained.height());
    Follower.Control->setGeometry(Place);
  }
  FPreviewPlace = Panel1->geometry();
  LayOutNotes();
}

void TForm1::LayOutNotes() {
  if (FPreviewPlace.isNull()) FPreviewPlace = Panel1->geometry();
  // At the smallest size the notes have the rows from 2 px under the picture area to the colours'
  // row (320 to 349); a longer note takes more from the picture area, which keeps 96 px.
  const QRect Area = FPreviewPlace;
  const int First = Area.bottom() + 2;
  const int End = Area.bottom() + 32; // the first row of the colours
  const int Highest = Area.top() + 96;
  const auto Needed = [&Area](const QLabel* Label) {
    return Label->isHidden() ? 0 : std::max(15, Label->heightForWidth(Area.width()));
  };
  const int ReadBackHeight = Needed(ReadBackLabel);
  int NoteHeight = Needed(NoteLabel);
  const int Top = std::max(Highest, std::min(First, End - NoteHeight - ReadBackHeight));
  NoteHeight = std::min(NoteHeight, End - Top - ReadBackHeight);
  NoteLabel->setGeometry(Area.left(), Top, Area.width(), NoteHeight);
  ReadBackLabel->setGeometry(Area.left(), Top + NoteHeight, Area.width(), ReadBackHeight);
  QRect Preview = Area;
  Preview.setBottom(std::min(Area.bottom(), Top - 2));
  Panel1->setGeometry(Preview);
}

void TForm1::WatchPages() {
  // A change of a page's fields outdates the last pass's note and verdict; Enter in a one-line
  // field generates the code (a memo keeps Enter for its lines).
  for (int I = 0; I < PageControl1->count(); ++I) {
    const QWidget* Page = PageControl1->widget(I);
    for (QLineEdit* Edit : Page->findChildren<QLineEdit*>()) {
      Wire(this, Edit, &QLineEdit::textChanged, &TForm1::PageChanged);
      Wire(this, Edit, &QLineEdit::returnPressed, &TForm1::CreateCodeBtnClick);
    }
    for (QPlainTextEdit* Memo : Page->findChildren<QPlainTextEdit*>())
      if (Memo != MemoVCard) Wire(this, Memo, &QPlainTextEdit::textChanged, &TForm1::PageChanged);
    for (QComboBox* List : Page->findChildren<QComboBox*>())
      Wire(this, List, &QComboBox::currentIndexChanged, &TForm1::PageChanged);
    for (QCheckBox* Box : Page->findChildren<QCheckBox*>())
      if (Box != tWordWrap && Box != eWordWrap)
        Wire(this, Box, &QCheckBox::toggled, &TForm1::PageChanged);
  }
}

void TForm1::BuildMenu() {
  QMenu* File1 = menuBar()->addMenu(tr("&File"));
  File1->setToolTipsVisible(true);
  OpenPicture1 = File1->addAction(tr("&Open Picture\u2026"));
  OpenPicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  OpenPicture1->setShortcutContext(Qt::WindowShortcut);
  OpenPicture1->setToolTip(tr("Read a QR code from a picture file into its page"));
  PastePicture1 = File1->addAction(tr("P&aste Picture"));
  PastePicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
  PastePicture1->setShortcutContext(Qt::WindowShortcut);
  PastePicture1->setToolTip(tr("Read a QR code from the picture on the clipboard"));
  ReadFromScreen1 = File1->addAction(tr("&Read from Screen"));
  const QString ScreenUnavailable = ScreenReadUnavailable();
  ReadFromScreen1->setEnabled(ScreenUnavailable.isEmpty());
  ReadFromScreen1->setToolTip(ScreenUnavailable.isEmpty()
                                  ? tr("Take a picture of the screen and drag a "
                                       "rectangle around the code to read")
                                  : ScreenUnavailable);
  File1->addSeparator();
  CopyQRCodetoClipboard1 = File1->addAction(tr("&Copy QR-Code to Clipboard"));
  CopyQRCodetoClipboard1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  CopyQRCodetoClipboard1->setShortcutContext(Qt::WindowShortcut);
  SaveQRCodeAs1 = File1->addAction(tr("&Save QR-Code As\u2026"));
  SaveQRCodeAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveQRCodeAs1->setShortcutContext(Qt::WindowShortcut);
  Print1 = File1->addAction(tr("&Print\u2026"));
  Print1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  Print1->setShortcutContext(Qt::WindowShortcut);
  File1->addSeparator();
  MakeManyCodes1 = File1->addAction(tr("&Make Many Codes\u2026"));
  MakeManyCodes1->setToolTip(
      tr("Make a code of every row of a CSV file or of cells copied from a spreadsheet"));
  File1->addSeparator();
  Close1 = File1->addAction(tr("C&lose"));
  About1 = menuBar()->addAction(tr("&About..."));
  Wire(this, CopyQRCodetoClipboard1, &QAction::triggered, &TForm1::CopyQRCodetoClipboard1Click);
  Wire(this, SaveQRCodeAs1, &QAction::triggered, &TForm1::SaveQRCodeAs1Click);
  Wire(this, Print1, &QAction::triggered, &TForm1::Print1Click);
  Wire(this, Close1, &QAction::triggered, &TForm1::CloseBtnClick);
  Wire(this, About1, &QAction::triggered, &TForm1::AboutBtnClick);
  Wire(this, OpenPicture1, &QAction::triggered, &TForm1::OpenPicture1Click);
  Wire(this, PastePicture1, &QAction::triggered, &TForm1::PastePicture1Click);
  Wire(this, ReadFromScreen1, &QAction::triggered, &TForm1::ReadFromScreen1Click);
  Wire(this, MakeManyCodes1, &QAction::triggered, &TForm1::MakeManyCodes1Click);
}

void TForm1::BuildTextPage() {
  Tab1 = new QWidget;
  PageControl1->addTab(Tab1, tr("Text"));
  MemoText = new QPlainTextEdit(Tab1);
  MemoText->setGeometry(8, 8, 481, 268);
  MemoText->setTabChangesFocus(true);
  MemoText->setAccessibleName(tr("Text"));
  MemoText->installEventFilter(this);
  WatchCopyKey(MemoText);
  tWordWrap = new QCheckBox(tr("Word Wrap"), Tab1);
  tWordWrap->setGeometry(8, 290, 100, 17);
  LoadTextBtn = MakeFileButton(Tab1, false, 332);
  SaveTextBtn = MakeFileButton(Tab1, true, 414);
  DoInfoText = MakeButton(Tab1, QStringLiteral("DoInfoText"), QRect(96, 48, 305, 17));
  DoInfoText->hide();

  Wire(this, tWordWrap, &QCheckBox::toggled, &TForm1::tWordWrapClick);
  Wire(this, LoadTextBtn, &QPushButton::clicked, &TForm1::LoadTextBtnClick);
  Wire(this, SaveTextBtn, &QPushButton::clicked, &TForm1::SaveTextBtnClick);
  Wire(this, DoInfoText, &QPushButton::clicked, &TForm1::DoInfoTextClick);
}

void TForm1::BuildURLPage() {
  Tab2 = new QWidget;
  PageControl1->addTab(Tab2, tr("URL"));
  QLabel* URLLabel =
      MakeLabel(Tab2, tr("Copy and paste the URL from your Browser to this field"), 8, 12);
  EditURL = MakeEdit(Tab2, QRect(8, 30, 481, 21));
  URLLabel->setBuddy(EditURL);
  WatchCopyKey(EditURL);
  QLabel* Example = MakeLabel(
      Tab2, tr("e.g.  https://www.example.org/   or   http://example.com/index.html"), 8, 56);
  SetTextColor(Example, QPalette::WindowText, kHintColor);
  URLTestBtn = MakeButton(Tab2, tr("Test the URL"), QRect(8, 82, 97, 25));
  Wire(this, URLTestBtn, &QPushButton::clicked, &TForm1::URLTestBtnClick);
}

void TForm1::BuildEMailPage() {
  TabSheet1 = new QWidget;
  PageControl1->addTab(TabSheet1, tr("eMail"));
  QLabel* AddressLabel = MakeLabel(TabSheet1, tr("eMail Address"), 8, 8);
  EditAddress = MakeEdit(TabSheet1, QRect(8, 24, 481, 21));
  AddressLabel->setBuddy(EditAddress);
  QLabel* SubjectLabel = MakeLabel(TabSheet1, tr("Subject"), 8, 52);
  EditSubject = MakeEdit(TabSheet1, QRect(8, 68, 481, 21));
  SubjectLabel->setBuddy(EditSubject);
  QLabel* MessageLabel = MakeLabel(TabSheet1, tr("Message"), 8, 96);
  MemoMessage = new QPlainTextEdit(TabSheet1);
  MessageLabel->setBuddy(MemoMessage);
  MemoMessage->setGeometry(8, 112, 481, 164);
  MemoMessage->setTabChangesFocus(true);
  for (QWidget* Field : {static_cast<QWidget*>(EditAddress), static_cast<QWidget*>(EditSubject),
                         static_cast<QWidget*>(MemoMessage)})
    WatchCopyKey(Field);
  eWordWrap = new QCheckBox(tr("Word Wrap"), TabSheet1);
  eWordWrap->setGeometry(8, 290, 100, 17);
  LoadEMailBtn = MakeFileButton(TabSheet1, false, 332);
  SaveEMailBtn = MakeFileButton(TabSheet1, true, 414);

  Wire(this, eWordWrap, &QCheckBox::toggled, &TForm1::eWordWrapClick);
  Wire(this, LoadEMailBtn, &QPushButton::clicked, &TForm1::LoadEMailBtnClick);
  Wire(this, SaveEMailBtn, &QPushButton::clicked, &TForm1::SaveEMailBtnClick);
}

void TForm1::BuildVCardPage() {
  TabSheet2 = new QWidget;
  PageControl1->addTab(TabSheet2, tr("VCard v4.0"));

  struct TColumnPlace {
    int LabelLeft, EditLeft, EditWidth;
  };
  constexpr TColumnPlace Columns[] = {{8, 106, 134}, {250, 366, 123}};
  // The fields in the order of the tab key: the first half down the left column, one row every
  // 25 pixels, the rest down the right one.
  constexpr std::size_t Rows = (kVCardFields.size() + 1) / 2;
  for (std::size_t I = 0; I < kVCardFields.size(); ++I) {
    const TVCardField& Field = kVCardFields[I];
    const TColumnPlace& Place = Columns[I / Rows];
    const int Top = 6 + 25 * static_cast<int>(I % Rows);
    QLabel* Label = MakeLabel(TabSheet2, VCardCaption(Field), Place.LabelLeft, Top + 4);
    QLineEdit* Edit = MakeEdit(TabSheet2, QRect(Place.EditLeft, Top, Place.EditWidth, 21));
    this->*VCardEdit(Field.Member) = Edit;
    Label->setBuddy(Edit);
    WatchCopyKey(Edit);
    if (Field.Member == &TVCardPage::ContactName) {
      QFont Bold = Edit->font();
      Bold.setBold(true);
      Label->setFont(Bold);
      Label->adjustSize();
    }
  }

  DoVCard = MakeButton(TabSheet2, QStringLiteral("DoVCard"), QRect(8, 290, 61, 21));
  LoadVcard3Btn = MakeFileButton(TabSheet2, false, 332);
  SaveVCard3Btn = MakeFileButton(TabSheet2, true, 414);
  MemoVCard = new QPlainTextEdit(TabSheet2);
  MemoVCard->hide();

  for (QLineEdit* Name : {FirstName, LastName, MiddleName})
    Wire(this, Name, &QLineEdit::textChanged, &TForm1::FirstNameChange);
  Wire(this, DoVCard, &QPushButton::clicked, &TForm1::DoVCardClick);
  Wire(this, LoadVcard3Btn, &QPushButton::clicked, &TForm1::LoadVcard3BtnClick);
  Wire(this, SaveVCard3Btn, &QPushButton::clicked, &TForm1::SaveVCard3BtnClick);
}

void TForm1::BuildWifiPage() {
  TabSheet3 = new QWidget;
  PageControl1->addTab(TabSheet3, tr("Wifi"));
  QLabel* SSIDLabel = MakeLabel(TabSheet3, tr("Network Name (SSID)"), 8, 8);
  SSID = MakeEdit(TabSheet3, QRect(8, 24, 241, 21));
  SSIDLabel->setBuddy(SSID);
  QLabel* KeyLabel = MakeLabel(TabSheet3, tr("Network Key"), 8, 52);
  NetworkKey = MakeEdit(TabSheet3, QRect(8, 68, 241, 21));
  KeyLabel->setBuddy(NetworkKey);
  QLabel* WPALabel = MakeLabel(TabSheet3, tr("Network Encryption Type"), 8, 96);
  WPA = new QComboBox(TabSheet3);
  WPALabel->setBuddy(WPA);
  WPA->setGeometry(8, 112, 161, 21);
  // In the order of their indices: WPA and WEP keep the ones they always had.
  WPA->addItems({tr("WPA/WPA2"), tr("WEP"), tr("WPA3 only (SAE)"), tr("None (open network)")});
  WPA->setItemData(kWifiSAE,
                   tr("For networks that take WPA3 devices only. A WPA2/WPA3 network "
                      "that also takes WPA2 devices should use WPA/WPA2, which every "
                      "phone reads."),
                   Qt::ToolTipRole);
  WPA->setToolTip(tr("How the network is secured, as its router is set"));
  WPA->setCurrentIndex(kWifiWPA);
  Hidden = new QCheckBox(tr("Hidden network"), TabSheet3);
  Hidden->setGeometry(8, 144, 161, 21);
  Hidden->setToolTip(tr("The network does not announce its name: phones look for it by name"));
  Wire(this, WPA, &QComboBox::currentIndexChanged, &TForm1::WPAChange);
  WatchCopyKey(SSID);
  WatchCopyKey(NetworkKey);
  LoadWifiBtn = MakeFileButton(TabSheet3, false, 332);
  SaveWifiBtn = MakeFileButton(TabSheet3, true, 414);
  Wire(this, LoadWifiBtn, &QPushButton::clicked, &TForm1::LoadWifiBtnClick);
  Wire(this, SaveWifiBtn, &QPushButton::clicked, &TForm1::SaveWifiBtnClick);
}

void TForm1::BuildGenerationControls() {
  const QColor GreyText(0x6D, 0x6D, 0x6D); // the grey-text colour of the classic desktop
  Label30 = MakeLabel(ClientArea, tr("Encoding Mode"), 12, 364);
  Label31 = MakeLabel(ClientArea, tr("Spacing"), 138, 364);
  Label36 = MakeLabel(ClientArea, tr("Error Correction"), 204, 364);
  for (QLabel* Label : {Label30, Label31, Label36}) {
    Label->setFont(SmallFont());
    Label->adjustSize();
    SetTextColor(Label, QPalette::WindowText, GreyText);
  }
  EncryptionType = new QComboBox(ClientArea);
  EncryptionType->setGeometry(10, 378, 119, 21);
  EncryptionType->addItems({tr("Auto"), tr("Numeric"), tr("Alphanumeric"), tr("ISO-8859-1"),
                            tr("UTF-8 without BOM"), tr("UTF-8 with BOM"), tr("UTF-8 with ECI")});
  EncryptionType->setCurrentIndex(0);
  EncryptionType->setToolTip(
      tr("How the text is stored in the code. Auto takes the smallest mode that holds it and marks "
         "no character set, since older readers may not know the mark.\nUTF-8 with ECI names UTF-8 "
         "with the ECI designator 26, so that readers need not guess the character set."));
  FrameSize = new QComboBox(ClientArea);
  FrameSize->setGeometry(136, 378, 57, 21);
  for (int Spacing = 1; Spacing <= 9; ++Spacing)
    FrameSize->addItem(QString::number(Spacing));
  FrameSize->setCurrentIndex(1);
  Label30->setBuddy(EncryptionType);
  Label31->setBuddy(FrameSize);

  // The share of its codewords a code can lose and still be read (ISO/IEC 18004, 7.5.1).
  ErrorCorrection = new QComboBox(ClientArea);
  ErrorCorrection->setGeometry(202, 378, 81, 21);
  ErrorCorrection->addItems({tr("L (7 %)"), tr("M (15 %)"), tr("Q (25 %)"), tr("H (30 %)")});
  ErrorCorrection->setCurrentIndex(ecL);
  Label36->setBuddy(ErrorCorrection);
  ErrorCorrection->setToolTip(
      tr("Error correction: about this share of a code may be scratched, dirty or covered and a "
         "phone still reads it.\nA higher level makes the code larger for the same text."));
  Boost = new QCheckBox(tr("Boost"), ClientArea);
  Boost->setGeometry(292, 380, 60, 17);
  Boost->setToolTip(tr("Use the highest level that still fits the same size of code: more error "
                       "correction at no cost in size"));

  // Wide enough for their longest items in the window's font: what a list gains moves the
  // controls to its right along.
  int Shift = 0;
  for (QComboBox* List : {EncryptionType, FrameSize, ErrorCorrection}) {
    List->move(List->pos() + QPoint(Shift, 0));
    const int Wider = std::max(0, List->sizeHint().width() - List->width());
    List->resize(List->width() + Wider, List->height());
    Shift += Wider;
    if (List == EncryptionType) Label31->move(Label31->pos() + QPoint(Shift, 0));
    if (List == FrameSize) Label36->move(Label36->pos() + QPoint(Shift, 0));
  }
  Boost->move(Boost->pos() + QPoint(Shift, 0));
  Boost->resize(std::max(Boost->width(), Boost->sizeHint().width()), Boost->height());

  CreateCodeBtn = MakeButton(ClientArea, tr("Generate QR-Code"), QRect(392, 408, 123, 25));
  CreateCodeBtn->setIcon(GenerateIcon());
  CreateCodeBtn->setIconSize(QSize(16, 16));

  // A choice made by the user runs a pass; an index set in code does not ("activated").
  Wire(this, EncryptionType, &QComboBox::activated, &TForm1::CreateCodeBtnClick);
  Wire(this, FrameSize, &QComboBox::activated, &TForm1::CreateCodeBtnClick);
  Wire(this, ErrorCorrection, &QComboBox::activated, &TForm1::CreateCodeBtnClick);
  Wire(this, Boost, &QCheckBox::clicked, &TForm1::CreateCodeBtnClick);
  Wire(this, CreateCodeBtn, &QPushButton::clicked, &TForm1::CreateCodeBtnClick);
}

void TForm1::BuildPreview() {
  Panel1 = new QScrollArea(ClientArea);
  Panel1->setGeometry(528, 16, 441, 303);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(1);
  Panel1->setFocusPolicy(Qt::NoFocus); // the zoom bar has the keys
  Panel1->setBackgroundRole(QPalette::Window);
  Panel1->viewport()->setBackgroundRole(QPalette::Window);
  // The canvas is at least as large as the view (the scroll area stretches it) and at least as
  // large as the picture (its minimum size, set with the zoom).
  Panel1->setWidgetResizable(true);
  FPreviewCanvas = new QWidget;
  Panel1->setWidget(FPreviewCanvas);
  Image1 = new TPictureBox(FPreviewCanvas);
  Image1->setGeometry(199, 136, 50, 50);
  // Before the first pass the preview holds no code, and a screen reader says so.
  Image1->setAccessibleName(tr("No QR code"));
  // The row under the picture area: the note (a too-long text, a key phones refuse) on its upper
  // half, the read-back line on its lower half, so a key note shows with the verdict.
  NoteLabel = new QLabel(ClientArea);
  NoteLabel->setGeometry(528, 320, 441, 15);
  NoteLabel->setAlignment(Qt::AlignCenter);
  NoteLabel->setWordWrap(true);
  NoteLabel->hide();
  ReadBackLabel = new QLabel(ClientArea);
  ReadBackLabel->setGeometry(528, 334, 441, 15);
  ReadBackLabel->setAlignment(Qt::AlignCenter);
  ReadBackLabel->setWordWrap(true);
  ReadBackLabel->hide();

  ScrollBar1 = new TZoomBar(ClientArea);
  ScrollBar1->setGeometry(528, 378, 305, 21);
  ScrollBar1->setRange(0, 800);
  ScrollBar1->setSingleStep(1);
  ScrollBar1->setPageStep(1);
  ScrollBar1->setValue(250);
  ScrollBar1->setAccessibleName(tr("Zoom"));

  Label34 = MakeLabel(ClientArea, tr("Back Color:"), 526, 354);
  BackColor = new TColorSwatch(ClientArea);
  BackColor->SetColor(0xFFFFFF);
  BackColor->setAccessibleName(tr("Back Color"));
  Label35 = MakeLabel(ClientArea, tr("Matrix Color:"), 624, 354);
  MatrixColor = new TColorSwatch(ClientArea);
  MatrixColor->SetColor(0x000000);
  MatrixColor->setAccessibleName(tr("Matrix Color"));
  Frame = new QCheckBox(tr("Frame"), ClientArea);
  Label33 = MakeLabel(ClientArea, tr("Size:"), 800, 354);
  TrackBar1 = new QSlider(Qt::Horizontal, ClientArea);
  TrackBar1->setRange(0, 10);
  TrackBar1->setValue(0);
  TrackBar1->setPageStep(1);
  TrackBar1->setEnabled(false);
  Label33->setBuddy(TrackBar1);
  TrackBar1->setAccessibleName(tr("Frame mark size"));
  Label32 = MakeLabel(ClientArea, tr("Color:"), 912, 354);
  SetTextColor(Label32, QPalette::WindowText, kSilver);
  SetTextColor(Label33, QPalette::WindowText, kSilver);
  FrameColor = new TColorSwatch(ClientArea);
  FrameColor->SetColor(0x000000);
  FrameColor->setAccessibleName(tr("Frame mark color"));
  FrameColor->setEnabled(false); // out of the tab order while Frame is not ticked
  Shape1 = new TCover(ClientArea);
  // The colours' row from the picture area's left edge (526) to its right edge (969): each label
  // 4 px before its control, as in the design row, 12 px between the groups; the frame-mark
  // slider takes what is left between "Size:" and "Color:".
  constexpr int LabelGap = 4, GroupGap = 12;
  int Left = 526;
  const auto Place = [&Left](QWidget* Control, int Top, int Width, int Height, int Gap) {
    Control->setGeometry(Left, Top, Width, Height);
    Left += Width + Gap;
  };
  Place(Label34, 354, Label34->width(), Label34->height(), LabelGap);
  Place(BackColor, 352, 25, 17, GroupGap);
  Place(Label35, 354, Label35->width(), Label35->height(), LabelGap);
  Place(MatrixColor, 352, 25, 17, GroupGap);
  Place(Frame, 352, std::max(57, Frame->sizeHint().width()), 17, GroupGap);
  Place(Label33, 354, Label33->width(), Label33->height(), LabelGap);
  const int ColourLeft = 969 - 25;
  const int ColourLabelLeft = ColourLeft - LabelGap - Label32->width();
  TrackBar1->setGeometry(Left, 350, std::max(40, ColourLabelLeft - GroupGap / 2 - Left), 25);
  Label32->move(ColourLabelLeft, 354);
  FrameColor->setGeometry(ColourLeft, 352, 25, 17);
  Shape1->setGeometry(FrameColor->geometry());
  Shape1->raise();

  // A turn of the wheel over the preview moves the zoom (see eventFilter). The panel's parts
  // are watched themselves: a wheel event passes to the parent only when it comes from the
  // window system.
  for (QWidget* Part : {static_cast<QWidget*>(Panel1), Panel1->viewport(), FPreviewCanvas,
                        static_cast<QWidget*>(Image1)})
    Part->installEventFilter(this); // the canvas also for its size (PlacePicture)
  // A picture file or an image dropped onto the preview is read (PreviewDropEvent).
  for (QWidget* Part : {Panel1->viewport(), FPreviewCanvas, static_cast<QWidget*>(Image1)})
    Part->setAcceptDrops(true);

  Wire(this, Image1, &TPictureBox::DragStarted, &TForm1::Image1StartDrag);
  Wire(this, ScrollBar1, &QScrollBar::valueChanged, &TForm1::ScrollBar1Change);
  Wire(this, Frame, &QCheckBox::toggled, &TForm1::FrameClick);
  Wire(this, TrackBar1, &QSlider::valueChanged, &TForm1::CreateCodeBtnClick);
  for (TColorSwatch* Swatch : {BackColor, MatrixColor, FrameColor}) {
    Wire(this, Swatch, &TColorSwatch::MouseDown, &TForm1::FrameColorMouseDown, Swatch);
    Wire(this, Swatch, &TColorSwatch::MouseUp, &TForm1::FrameColorMouseUp, Swatch);
    Wire(this, Swatch, &TColorSwatch::KeyPress, &TForm1::FrameColorKeyPress, Swatch);
  }
}

void TForm1::InstallDefaultHooks() {
  FHooks.OpenFile = [this](const QString& Filter,
                           const QString& LastChosen) -> std::optional<QString> {
    const QString Name = QFileDialog::getOpenFileName(this, QString(), LastChosen, Filter);
    if (Name.isEmpty()) return std::nullopt;
    return Name;
  };
  FHooks.SaveFile = [this](const QString& Filter, const QString& LastChosen,
                           QString& SelectedFilter) -> std::optional<QString> {
    // The overwrite question is asked by the window for the final name (see AskSaveName).
    const QString Name = QFileDialog::getSaveFileName(
        this, QString(), LastChosen, Filter, &SelectedFilter, QFileDialog::DontConfirmOverwrite);
    if (Name.isEmpty()) return std::nullopt;
    return Name;
  };
  FHooks.ConfirmOverwrite = [this](const QString& FileName) {
    return QMessageBox::question(this, tr("Confirm Save As"),
                                 tr("%1 already exists.\nDo you want to replace it?")
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
  // On X11, while the program owns the clipboard, Qt hands the picture (in every image format it
  // offers) to a running clipboard manager when the program ends, and waits for it (at most 5 s),
  // so that the copied code outlives the program. Without a manager nothing waits.
  FHooks.SetClipboardPictures = [](const QImage& Picture, const QByteArray& Svg, QString& Error) {
    QClipboard* Clipboard = QGuiApplication::clipboard();
    if (!Clipboard) {
      Error = tr("there is no clipboard.");
      return false;
    }
    auto* Pictures = new QMimeData;
    Pictures->setImageData(Picture);
    if (!Svg.isEmpty()) Pictures->setData(QStringLiteral("image/svg+xml"), Svg);
    Clipboard->setMimeData(Pictures); // the clipboard owns it
    const QMimeData* Data = Clipboard->mimeData();
    if (!Data || !Data->hasImage()) {
      Error = tr("the clipboard did not take the picture.");
      return false;
    }
    return true;
  };
  FHooks.Print = [this](QPrinter& Printer, int& SideMm) {
    // First the size of the code, then the system's print dialog for printer and page.
    QDialog Size(this);
    Size.setWindowTitle(tr("Print QR-Code"));
    auto* Side = new QSpinBox(&Size);
    Side->setRange(kMinPrintSideMm, kMaxPrintSideMm);
    Side->setSuffix(tr(" mm"));
    Side->setValue(SideMm);
    auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &Size);
    Buttons->button(QDialogButtonBox::Ok)->setText(tr("Printer\u2026"));
    QObject::connect(Buttons, &QDialogButtonBox::accepted, &Size, &QDialog::accept);
    QObject::connect(Buttons, &QDialogButtonBox::rejected, &Size, &QDialog::reject);
    auto* Rows = new QFormLayout(&Size);
    Rows->addRow(tr("Side length of the code:"), Side);
    auto* Explained = new QLabel(tr("The whole picture, its light border included, "
                                    "is printed this large, centred on the page."),
                                 &Size);
    Explained->setWordWrap(true);
    Rows->addRow(Explained);
    Rows->addRow(Buttons);
    if (Size.exec() != QDialog::Accepted) return false;
    SideMm = Side->value();
    QPrintDialog Dialog(&Printer, this);
    Dialog.setWindowTitle(tr("Print QR-Code"));
    return Dialog.exec() == QDialog::Accepted;
  };
  FHooks.StartDrag = [this](QMimeData* Data) {
    auto* Drag = new QDrag(Image1);
    Drag->setMimeData(Data);
    const QImage Picture = qvariant_cast<QImage>(Data->imageData());
    if (!Picture.isNull())
      Drag->setPixmap(QPixmap::fromImage(Picture.scaled(96, 96, Qt::KeepAspectRatio)));
    Drag->exec(Qt::CopyAction);
    Drag->deleteLater();
  };
}

void TForm1::WatchCopyKey(QWidget* TextField) {
  TextField->installEventFilter(this);
}
