// TForm1: the main window. It gathers the pages' fields, hands them to payload/, encodes the
// payload with the symbol facade, paints the picture, and keeps the display settings. Its
// controls are built in Unit1Layout.cpp, its handlers and the generation pass live in Unit1.cpp,
// the pictures that leave it (files, print, clipboard, drag) in Unit1Export.cpp and the line
// that says whether the picture scans in Unit1ReadBack.cpp.
#pragma once

#include "payload/Event.h"
#include "payload/Payload.h"
#include "payload/Payment.h"
#include "payload/Phone.h"
#include "payload/Place.h"
#include "platform/TextFile.h"
#include "render/Code.h"
#include "render/CodeStyle.h"
#include "util/ColorText.h"

#include <QColor>
#include <QImage>
#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMimeData;
class QPlainTextEdit;
class QPrinter;
class QTemporaryDir;
class QPushButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;
class TColorSwatch;
class TCover;
class TPictureBox;
class TZoomBar;
class TFormAbout;
class TBatchDialog;
class TReadBackWorker;
struct TReadBackAnswer;
struct TLogo;

// The window's ways out to dialogs, the shell and the clipboard. Each has a working default;
// tests replace them to answer dialogs and to watch what would be opened or copied.
struct TFormHooks {
  // Open and save dialogs: the filter ("Textdatei (*.txt)") and the name last chosen in that
  // dialog in, the chosen name out (empty: cancelled). A save dialog may offer several filters
  // separated by ";;"; SelectedFilter comes in as the one to preselect and goes out as the one
  // chosen.
  std::function<std::optional<QString>(const QString& Filter, const QString& LastName)> OpenFile;
  std::function<std::optional<QString>(const QString& Filter, const QString& LastName,
                                       QString& SelectedFilter)>
      SaveFile;
  // Asked when the final file name (after the extension rule) names an existing file.
  std::function<bool(const QString& FileName)> ConfirmOverwrite;
  // The colour dialog, starting at Initial; empty: cancelled.
  std::function<std::optional<QColor>(QColor Initial)> PickColor;
  // The error box for errors that end a handler.
  std::function<void(const QString& Message)> ErrorBox;
  // Opens a web address; the result is not examined.
  std::function<void(const QUrl& Url)> OpenUrl;
  // Puts the picture on the clipboard as a bitmap and, when Svg is not empty, the same picture
  // as SVG (image/svg+xml); false and Error set when the platform refuses it.
  std::function<bool(const QImage& Picture, const QByteArray& Svg, QString& Error)>
      SetClipboardPictures;
  // The print dialog for Printer; SideMm comes in as the side length of the printed code in
  // millimetres and goes out as the one the user set. False: cancelled.
  std::function<bool(QPrinter& Printer, int& SideMm)> Print;
  // Drags Data (the preview picture) out of the window; the hook owns Data.
  std::function<void(QMimeData* Data)> StartDrag;
  // Read from Screen: the whole screen as a picture (null, and Error set, when it cannot be
  // taken), then the rectangle of it the user drags (empty: cancelled).
  std::function<QImage(QString& Error)> GrabScreen;
  std::function<std::optional<QRect>(const QImage& Screen)> PickRegion;
  // Several codes in one picture: the one to read, by its line in Items (empty: cancelled).
  std::function<std::optional<int>(const QStringList& Items)> ChooseCode;
};

class TForm1 : public QMainWindow {
  Q_OBJECT
public:
  explicit TForm1(QWidget* Parent = nullptr);
  ~TForm1() override;

  TFormHooks& Hooks() { return FHooks; }
  TFormAbout* FormAbout() const { return FFormAbout; }

  // ---- lasting state ----
  bool doUpdate = false; // a generation pass runs only while this is true
  bool ReadData = false; // true while a .vcf file is being read into the VCard page

  // ---- controls of the window frame ----
  QWidget* ClientArea = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QPushButton* AboutBtn = nullptr;
  QPushButton* CloseBtn = nullptr;
  QPushButton* CopyToClipboardBtn = nullptr;
  QPushButton* CreateCodeBtn = nullptr;
  QAction* CopyQRCodetoClipboard1 = nullptr;
  QAction* SaveQRCodeAs1 = nullptr;
  QAction* Print1 = nullptr;
  QAction* Close1 = nullptr;
  QAction* About1 = nullptr;
  // Reading a code back into its page (Unit1Read.cpp).
  QAction* OpenPicture1 = nullptr;
  QAction* PastePicture1 = nullptr;
  QAction* ReadFromScreen1 = nullptr;
  // Many codes from a CSV file or pasted cells (Unit1Batch.cpp, BatchDialog.h).
  QAction* MakeManyCodes1 = nullptr;

  // ---- generation ----
  QLabel* Label30 = nullptr;
  QComboBox* EncryptionType = nullptr;
  QLabel* Label31 = nullptr;
  QComboBox* FrameSize = nullptr;
  QLabel* Label36 = nullptr;
  QComboBox* ErrorCorrection = nullptr; // item indices ecL ... ecH (encoder/QRCodeSymbol.h)
  QCheckBox* Boost = nullptr;           // a higher level where the data still fits the version
  QPlainTextEdit* QRText = nullptr;     // hidden: the payload of the last pass

  // ---- preview ----
  // The picture area: takes the room the window gains, and scrolls a picture larger than itself.
  QScrollArea* Panel1 = nullptr;
  TPictureBox* Image1 = nullptr;
  // In the row under the picture area, one at a time:
  QLabel* NoteLabel = nullptr;     // why the last pass painted no symbol or a copy copied nothing
  QLabel* ReadBackLabel = nullptr; // whether the last pass's picture scans; hidden without one
  TZoomBar* ScrollBar1 = nullptr;  // the zoom
  QLabel* Label34 = nullptr;
  TColorSwatch* BackColor = nullptr;
  QLabel* Label35 = nullptr;
  TColorSwatch* MatrixColor = nullptr;
  QCheckBox* Frame = nullptr;
  QLabel* Label33 = nullptr;
  QSlider* TrackBar1 = nullptr;
  QLabel* Label32 = nullptr;
  TColorSwatch* FrameColor = nullptr;
  TCover* Shape1 = nullptr;

  // ---- design: the row under the colours ----
  QLabel* Label37 = nullptr;           // "Design:"
  QComboBox* ModuleShape = nullptr;    // item indices msSquare ... msRounded
  QComboBox* FinderShape = nullptr;    // item indices fsSquare, fsRounded
  TColorSwatch* FinderColor = nullptr; // shows the Matrix Color while the finders follow it
  QPushButton* LogoBtn = nullptr;      // "Logo…": a picture for the middle; sets the level to H
  QSpinBox* LogoSize = nullptr;        // the logo's share of the code's side, 5 to 30 %
  QPushButton* NoLogoBtn = nullptr;    // "No logo"

  // ---- Text page ----
  QWidget* Tab1 = nullptr;
  QPlainTextEdit* MemoText = nullptr;
  QCheckBox* tWordWrap = nullptr;
  QPushButton* LoadTextBtn = nullptr;
  QPushButton* SaveTextBtn = nullptr;
  QPushButton* DoInfoText = nullptr; // hidden

  // ---- URL page ----
  QWidget* Tab2 = nullptr;
  QLineEdit* EditURL = nullptr;
  QPushButton* URLTestBtn = nullptr;

  // ---- eMail page ----
  QWidget* TabSheet1 = nullptr;
  QLineEdit* EditAddress = nullptr;
  QLineEdit* EditSubject = nullptr;
  QPlainTextEdit* MemoMessage = nullptr;
  QCheckBox* eWordWrap = nullptr;
  QPushButton* LoadEMailBtn = nullptr;
  QPushButton* SaveEMailBtn = nullptr;

  // ---- VCard v4.0 page ----
  QWidget* TabSheet2 = nullptr;
  QLineEdit* ContactName = nullptr;
  QLineEdit* FirstName = nullptr;
  QLineEdit* LastName = nullptr;
  QLineEdit* MiddleName = nullptr;
  QLineEdit* PhonePrivate = nullptr;
  QLineEdit* PhoneCellPrivate = nullptr;
  QLineEdit* EmailPrivate = nullptr;
  QLineEdit* WebsitePrivate = nullptr;
  QLineEdit* StreetHome = nullptr;
  QLineEdit* CityHome = nullptr;
  QLineEdit* ZIPCodeHome = nullptr;
  QLineEdit* Birthday = nullptr;
  QLineEdit* Company = nullptr;
  QLineEdit* Department = nullptr;
  QLineEdit* JobTitle = nullptr;
  QLineEdit* PhoneWork = nullptr;
  QLineEdit* CellPhoneWork = nullptr;
  QLineEdit* EmailWork = nullptr;
  QLineEdit* WebsiteWork = nullptr;
  QLineEdit* Streetwork = nullptr;
  QLineEdit* CityWork = nullptr;
  QLineEdit* ZIPCodeWork = nullptr;
  QPushButton* LoadVcard3Btn = nullptr;
  QPushButton* SaveVCard3Btn = nullptr;
  QPushButton* DoVCard = nullptr;
  QPlainTextEdit* MemoVCard = nullptr; // hidden: the composed record or the lines of a .vcf file

  // ---- Wifi page ----
  QWidget* TabSheet3 = nullptr;
  QLineEdit* SSID = nullptr;
  QLineEdit* NetworkKey = nullptr;
  QComboBox* WPA = nullptr; // item indices kWifiWPA ... kWifiOpen (payload/Payload.h)
  QCheckBox* Hidden = nullptr;
  QPushButton* LoadWifiBtn = nullptr;
  QPushButton* SaveWifiBtn = nullptr;

  // ---- Phone, SMS, Place, Event and Payment pages (Unit1Kinds.cpp) ----
  QWidget* TabPhone = nullptr;
  QLineEdit* PhoneNumber = nullptr;
  QWidget* TabSms = nullptr;
  QLineEdit* SmsNumber = nullptr;
  QPlainTextEdit* SmsMessage = nullptr;
  QWidget* TabPlace = nullptr;
  QLineEdit* GeoLatitude = nullptr;
  QLineEdit* GeoLongitude = nullptr;
  QLineEdit* GeoLabel = nullptr;
  QWidget* TabEvent = nullptr;
  QLineEdit* EventSummary = nullptr;
  QLineEdit* EventStart = nullptr;
  QLineEdit* EventEnd = nullptr;
  QCheckBox* EventAllDay = nullptr;
  QLineEdit* EventLocation = nullptr;
  QPlainTextEdit* EventDescription = nullptr;
  QPushButton* LoadEventBtn = nullptr;
  QPushButton* SaveEventBtn = nullptr;
  QWidget* TabPayment = nullptr;
  QLineEdit* PayName = nullptr;
  QLineEdit* PayIBAN = nullptr; // never kept in the settings store: a bank detail
  QLineEdit* PayBIC = nullptr;
  QLineEdit* PayAmount = nullptr;
  QLineEdit* PayReference = nullptr;
  QLineEdit* PayRemittance = nullptr;
  QLineEdit* PayPurpose = nullptr;
  QLineEdit* PayInfo = nullptr;

  // ---- handlers ----
  void FormCreate();
  void FormShow(); // settings load
  void FormActivate();
  void FormClose();          // settings save
  void CreateCodeBtnClick(); // the generation pass
  void ScrollBar1Change();   // the preview refresh
  void FrameClick();
  void FrameColorMouseDown(TColorSwatch* Swatch);
  void FrameColorMouseUp(TColorSwatch* Swatch);
  void FrameColorKeyPress(TColorSwatch* Swatch); // Space or Enter: the colour dialog
  void CopyToClipboardBtnClick();
  void CopyQRCodetoClipboard1Click();
  void SaveQRCodeAs1Click();
  void Print1Click();
  // Starts dragging the preview picture out of the window (a PNG file, the SVG, the image).
  void Image1StartDrag();
  void AboutBtnClick();
  void CloseBtnClick();
  void DoInfoTextClick();
  void MemoTextEnter();
  void MemoTextExit();
  void tWordWrapClick();
  void eWordWrapClick();
  void URLTestBtnClick();
  void DoVCardClick();
  void FirstNameChange();
  void SaveTextBtnClick();
  void LoadTextBtnClick();
  void SaveEMailBtnClick();
  void LoadEMailBtnClick();
  void SaveVCard3BtnClick();
  void LoadVcard3BtnClick();
  void SaveWifiBtnClick();
  void LoadWifiBtnClick();
  // An open network has no key: the key field is disabled and shows nothing; the key typed
  // before is held and comes back when another type is chosen.
  void WPAChange();
  void SaveEventBtnClick();
  void LoadEventBtnClick();
  // The page shown changed: the payment page offers no error-correction level below M.
  void PageControl1Change();
  void LogoBtnClick();
  void NoLogoBtnClick();
  // The logo in use (its file's path), or nothing.
  const TLogo* Logo() const { return FLogo.get(); }
  // Whether the finder patterns take the Matrix Color (no colour of their own chosen).
  bool FinderFollowsMatrix() const { return FFinderFollows; }

  // ---- reading a code back into its page (Unit1Read.cpp) ----
  void OpenPicture1Click();
  void PastePicture1Click();
  void ReadFromScreen1Click();
  // Reads a picture file, an image or an SVG out of Data (a paste or a drop); false when Data
  // holds none of them.
  bool ReadPictureData(const QMimeData* Data, const QString& Source);
  // Finds the codes in Picture; the one found (or chosen) fills its page and a pass runs. Source
  // names the picture in the note ("office-door.jpg", "the clipboard").
  void ReadCodesIn(const QImage& Picture, const QString& Source);
  // Why Read from Screen cannot work on this desktop, or "" when it can.
  static QString ScreenReadUnavailable();

  // ---- many codes (Unit1Batch.cpp) ----
  // Opens the batch dialog with the window's current settings as the rows' defaults.
  void MakeManyCodes1Click();
  TBatchDialog* BatchDialog() const { return FBatchDialog; }

  // ---- texts of the controls (multi-line memos join their lines with CR LF) ----
  static QString MemoLines(const QPlainTextEdit* Memo);
  static void SetMemoLines(QPlainTextEdit* Memo, const QString& Text);
  TEMailPage EMailPage() const;
  TVCardPage VCardPage() const;
  void SetVCardPage(const TVCardPage& Page);
  TWifiPage WifiPage() const;
  TPhonePage PhonePage() const;
  TSmsPage SmsPage() const;
  TGeoPage GeoPage() const;
  TEventPage EventPage() const;
  void SetEventPage(const TEventPage& Page);
  TPaymentPage PaymentPage() const;
  void SetPaymentPage(const TPaymentPage& Page);
  // Fills the Wifi page; the key of an open network is held, not shown (see WPAChange).
  void SetWifiPage(const TWifiPage& Page);

  // Runs Handler; an error escaping it is shown in the error box and the program goes on.
  void Guarded(const std::function<void()>& Handler);

  // ---- the read-back of the last pass's picture (see ReadBackWorker.h) ----
  // The side length of a printed code in millimetres (kept in the settings).
  int PrintSideMm() const { return FPrintSideMm; }
  // Whether the line under the preview already answers for the last pass.
  bool ReadBackSettled() const { return FReadBackShown == FPassNumber; }
  // Waits, handling events, until the last pass's read-back answer is shown; false on timeout.
  bool WaitForReadBack(int TimeoutMs = 5000);
  // Waits, without handling events, until the worker has no job left (its answers may still be
  // queued for the window).
  void WaitForReadBackWorker();

signals:
  // A read-back answer was shown for pass PassNumber.
  void ReadBackShown(quint64 PassNumber);
  // The window told a screen reader of a change (a QAccessible::Event of Source).
  void Announced(QObject* Source, int Event);

protected:
  void showEvent(QShowEvent* Event) override;
  void changeEvent(QEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void BuildWindow();
  void BuildMenu();
  void BuildTextPage();
  void BuildURLPage();
  void BuildEMailPage();
  void BuildVCardPage();
  void BuildWifiPage();
  void BuildPhonePage();
  void BuildSmsPage();
  void BuildPlacePage();
  void BuildEventPage();
  void BuildPaymentPage();
  // The record of a page that may refuse its fields (Phone ... Payment), or nothing for the
  // first five pages.
  std::optional<TRecord> KindRecord() const;
  void BuildGenerationControls();
  void BuildPreview();
  void BuildDesignControls();
  // The design's part of the settings store (Unit1Design.cpp), within FormShow and FormClose.
  void LoadDesignSettings();
  void SaveDesignSettings();
  // Sets the design of Style from the design row.
  void DesignStyle(TCodeStyle& Style) const;
  void ShowLogoControls();
  void InstallDefaultHooks();
  void WatchPages(); // the pages' fields: PageChanged, and Enter runs a pass
  // The window's size and maximised state from the settings (FormShow).
  void RestoreWindowSize();
  void InstallReadHooks(); // the defaults of GrabScreen, PickRegion and ChooseCode
  // A drag entering, moving over or dropped onto the preview: a picture to read.
  bool PreviewDropEvent(QEvent* Event);
  // How a control follows the window as it grows beyond its smallest size (flags of TFollow):
  // moved right or down by what the window gained in width or height, made wider or taller by
  // it. Follow records the control's place at the smallest size; a control not recorded keeps
  // its place.
  enum TFollow : unsigned { fwRight = 1, fwDown = 2, fwWiden = 4, fwHeighten = 8 };
  void Follow(QWidget* Control, unsigned How);
  void FollowWindowSize();
  // Centres the picture in the picture area, or puts it at the corner where it is larger.
  void PlacePicture();
  void WatchCopyKey(QWidget* TextField);
  // Writes the active page's payload into QRText and answers it.
  QString FillQRText();
  // The encoding of a pass for Payload: the Encoding Mode list's choice; on every page but Text
  // as RecordEncoding gives it (no byte-order mark before a record).
  TQRCodeEncoding EncodingForPayload(const std::u16string& Payload) const;
  // The note under the preview: dark red for a warning, the window's text colour for news.
  // Lasting is the part of it that stays true when the page changes (a read's account of what
  // it read); without one the whole note lasts. The note and the read-back line are shown whole,
  // the picture area giving them the rows they need (LayOutNotes).
  void SetNote(const QString& Note, bool Warning = true,
               std::optional<QString> Lasting = std::nullopt);
  // The pass's own notes: a text too long, a page or network name empty, a key phones refuse, a
  // byte-order mark left out; empty when there is nothing to say.
  QString PassNote(bool& Warning) const;
  // Places the note and the read-back line under the picture area, each as tall as its text
  // needs at the area's width, and ends the picture area above them.
  void LayOutNotes();
  // A field of a page changed: the pass's note goes, and a verdict shown is marked as outdated
  // until the next pass.
  void PageChanged();
  // The memo of the Text page shows Text in the text colour (not the hint's grey).
  void ShowMemoText(const QString& Text);
  std::optional<std::filesystem::path> AskOpenName(const QString& Filter);
  std::optional<std::filesystem::path> AskSaveName(const QString& Filter,
                                                   const std::u16string& Extension);
  // The save dialog over Filters, Extensions[i] the extension of Filters[i]: the name chosen
  // with the chosen filter's extension added, asked about before an existing file is replaced
  // (the dialog again after a "no"). DialogName and Selected keep the name and the filter last
  // chosen. Empty: cancelled.
  std::optional<std::filesystem::path> AskSaveName(const QStringList& Filters,
                                                   const std::vector<std::u16string>& Extensions,
                                                   QString& DialogName, QString& Selected);
  // The style of the code as the controls set it, system colours resolved.
  TCodeStyle CurrentStyle() const;
  // Runs a pass and answers the code of the current page with its style and payload, or nothing
  // (and a note under the preview) when there is no symbol to give out.
  struct TCurrentCode {
    TCode Code;
    TCodeStyle Style;
  };
  std::optional<TCurrentCode> FreshCode(const QString& Action);
  // Starts the read-back of the pass's picture, or answers at once when the colours fail.
  void StartReadBack(const TCode& Code, const TCodeStyle& Style);
  void ShowReadBack(const TReadBackAnswer& Answer);
  // The last pass's code as SVG, as large as its bitmap of W x W pixels; empty without a symbol.
  QByteArray ClipboardSvg(int W) const;
  // Shows Line under the preview; the preview's accessible name tells the code and Spoken (the
  // verdict in a few words; empty: Line), its description Line, and a screen reader hears of it.
  void SetReadBackLine(const QString& Line, const QColor& Colour, const QString& Spoken = {});

  TFormHooks FHooks;
  struct TFollower {
    QWidget* Control;
    QRect Smallest; // the place at the window's smallest size
    unsigned How;
  };
  std::vector<TFollower> FFollowers;
  QRect FPreviewPlace;               // the picture area's place before the notes take their rows
  QString FNoteLasting;              // the part of the note that outlives a change of the page
  bool FOutdated = false;            // the page changed since the last pass
  QString FHeldKey;                  // the key of the Wifi page while the network is open
  QWidget* FPreviewCanvas = nullptr; // what Panel1 scrolls: at least its view, at least the picture
  TFormAbout* FFormAbout = nullptr;
  TBatchDialog* FBatchDialog = nullptr; // made when first opened
  bool FShown = false;
  bool FCodeMade = false; // the last pass made a symbol
  bool FActivated = false;
  QColor FDialogColor = Qt::black; // the colour last confirmed in the colour dialog
  QString FOpenDialogName;         // the name last chosen in the open dialog
  QString FSaveDialogName;         // the name last chosen in the save dialog
  TTextEncoding FMemoTextEncoding = TTextEncoding::teAnsi;
  TTextEncoding FMemoMessageEncoding = TTextEncoding::teAnsi;
  TTextEncoding FMemoVCardEncoding = TTextEncoding::teAnsi;
  QString FPictureDialogName;   // the name last chosen in the Save QR-Code As dialog
  QString FPictureDialogFilter; // the filter last chosen there
  int FPrintSideMm = 50;
  // The last pass's code and style: what the clipboard, the files and the drag give out.
  TCode FLastCode;
  TCodeStyle FLastStyle;
  std::shared_ptr<const TLogo> FLogo;
  bool FFinderFollows = true; // the finder patterns take the Matrix Color
  QString FLogoDialogName;    // the name last chosen in the logo's open dialog
  bool FHasCode = false;
  QString FRefusal;             // why the last pass's page made no record, or ""
  int FLevelBeforePayment = -1; // the level the payment page raised to M, to give back
  quint64 FPassNumber = 0;      // counts the passes that made a picture
  quint64 FReadBackShown = 0;   // the pass whose answer the line under the preview shows
  QString FPreviewSummary;      // what the last pass's code holds, for a screen reader
  std::unique_ptr<TReadBackWorker> FReadBack;
  std::unique_ptr<QTemporaryDir> FDragFolder; // the PNG files dragged out
};

// The value names and product key of the settings.
inline constexpr char16_t kProductKey[] = u"Marbeck";
// The client area of the window at its smallest size, where every control has its first place.
inline constexpr QSize kSmallestClientSize(980, 439);
// The side lengths a printed code may take, in millimetres.
inline constexpr int kMinPrintSideMm = 10;
inline constexpr int kMaxPrintSideMm = 400;
