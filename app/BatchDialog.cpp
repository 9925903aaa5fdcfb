#include "BatchDialog.h"

#include "FormHelpers.h"
#include "Unit1.h" // kProductKey
#include "batch/Batch.h"
#include "batch/Csv.h"
#include "util/MyFunctions.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <fstream>
#include <mutex>
#include <sstream>

namespace {

// How many rows the table shows.
constexpr int kPreviewRows = 8;
// How many failed rows the summary lists (the manifest has them all).
constexpr std::size_t kListedFailures = 1000;

constexpr char16_t kOutputName[] = u"BatchOutput";
constexpr char16_t kFormatName[] = u"BatchFormat";
constexpr char16_t kOutName[] = u"BatchOut";
constexpr char16_t kKindName[] = u"BatchKind";
constexpr char16_t kPaperName[] = u"BatchPaper";
constexpr char16_t kColumnsName[] = u"BatchColumns";
constexpr char16_t kRowsName[] = u"BatchRows";
constexpr char16_t kMarginXName[] = u"BatchMarginX"; // tenths of a millimetre
constexpr char16_t kMarginYName[] = u"BatchMarginY";
constexpr char16_t kCaptionName[] = u"BatchCaption"; // the caption column's name; empty: none
constexpr char16_t kCsvDialogName[] = u"BatchCsvFile";

QString Q(const std::string& Utf8) {
  return QString::fromStdString(Utf8);
}

// A control's caption that a screen reader speaks as its name.
QLabel* Buddy(const QString& Caption, QWidget* Control) {
  auto* Label = new QLabel(Caption);
  Label->setBuddy(Control);
  return Label;
}

bool BatchKnowsColumn(const std::string& Header) {
  return BatchColumnName(Header).has_value();
}

bool BatchColumnIs(const std::string& Header, std::string_view Column) {
  const std::optional<std::string_view> Name = BatchColumnName(Header);
  return Name && *Name == Column;
}

// The input's rows counted with the engine's reader (the header not counted).
long long CountRows(std::istream& Input, char Separator) {
  TCsvReader Reader(Input);
  Reader.SetSeparator(Separator);
  TCsvRecord Record;
  std::string Error;
  long long Count = -1;
  for (TCsvStatus Status; (Status = Reader.Next(Record, Error)) != TCsvStatus::End;)
    ++Count; // a malformed row is a row the batch reports as failed
  return std::max(0LL, Count);
}

QString MinutesSeconds(double Seconds) {
  const int S = static_cast<int>(std::max(0.0, Seconds) + 0.5);
  return QStringLiteral("%1:%2").arg(S / 60).arg(S % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TBatchDialog::TBatchDialog(QWidget* Parent, TBatchHooks Hooks)
    : QDialog(Parent), FHooks(std::move(Hooks)) {
  setWindowTitle(tr("Make Many Codes"));
  setAcceptDrops(true);
  BuildControls();
  FPoll = new QTimer(this);
  FPoll->setInterval(100);
  connect(FPoll, &QTimer::timeout, this, [this] { PollProgress(); });
  LoadSettings();
  ShowSource();
  ShowOutputChoices();
  CancelBtn->setEnabled(false);     // no run yet
  OpenResultBtn->setEnabled(false); // nothing written yet
}

// The window closed with the dialog open (the program ends): a run stops as Cancel stops it, and
// the choices are kept as at the dialog's own close.
TBatchDialog::~TBatchDialog() {
  CancelBtnClick();
  if (FWorker.joinable()) FWorker.join();
  SaveSettings();
}

void TBatchDialog::BuildControls() {
  // ---- the rows ----
  auto* RowsBox = new QGroupBox(tr("Rows"));
  SourceLabel = new QLabel;
  SourceLabel->setWordWrap(true);
  ChooseFileBtn = new QPushButton(tr("Choose CSV File\u2026"));
  ChooseFileBtn->setToolTip(tr("Read the rows of a CSV file (you can also drop one here)"));
  PasteBtn = new QPushButton(tr("Paste"));
  PasteBtn->setToolTip(
      tr("Take the cells copied from a spreadsheet, the column names in the first row (Ctrl+V)"));
  PreviewTable = new QTableWidget;
  PreviewTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  PreviewTable->setAccessibleName(tr("First rows"));
  PreviewTable->setToolTip(tr("The first rows as the batch reads them; a column name in bold is "
                              "one the batch knows"));
  PreviewTable->setTabKeyNavigation(false);
  PreviewTable->setMinimumHeight(170);
  MappingBox = new QGroupBox(tr("Columns the batch does not know"));
  FMappingForm = new QFormLayout(MappingBox);
  KindList = new QComboBox;
  KindList->addItems({tr("Text"), tr("URL"), tr("eMail"), tr("vCard"), tr("Wi-Fi"), tr("Phone"),
                      tr("SMS"), tr("Place"), tr("Event"), tr("Payment")});
  KindList->setToolTip(tr("The kind of code every row makes: the rows have no kind column"));
  auto* SourceRow = new QHBoxLayout;
  SourceRow->addWidget(ChooseFileBtn);
  SourceRow->addWidget(PasteBtn);
  SourceRow->addStretch();
  auto* KindRow = new QHBoxLayout;
  KindRow->addWidget(Buddy(tr("&Kind:"), KindList));
  KindRow->addWidget(KindList);
  KindRow->addStretch();
  auto* RowsLayout = new QVBoxLayout(RowsBox);
  RowsLayout->addLayout(SourceRow);
  RowsLayout->addWidget(SourceLabel);
  RowsLayout->addWidget(PreviewTable, 1);
  RowsLayout->addWidget(MappingBox);
  RowsLayout->addLayout(KindRow);

  // ---- where the codes go ----
  auto* OutBox = new QGroupBox(tr("Output"));
  OutputList = new QComboBox;
  OutputList->addItems({tr("Files in a folder"), tr("One ZIP archive"), tr("Label sheets (PDF)")});
  OutputList->setToolTip(tr("Write one file a code into a folder, all of them into one ZIP "
                            "archive, or label sheets to print"));
  FormatList = new QComboBox;
  FormatList->addItems({QStringLiteral("PNG"), QStringLiteral("SVG"), QStringLiteral("PDF")});
  FormatList->setToolTip(tr("The picture format of the codes' files"));
  OutEdit = new QLineEdit;
  OutEdit->setToolTip(tr("The folder, ZIP archive or PDF file the codes go into"));
  OutBtn = new QPushButton(tr("Choose\u2026"));
  OutBtn->setToolTip(tr("Choose where the codes go"));
  OutBtn->setAccessibleName(tr("Choose where the codes go"));
  auto* OutRow = new QHBoxLayout;
  OutRow->addWidget(OutEdit, 1);
  OutRow->addWidget(OutBtn);
  auto* OutForm = new QFormLayout(OutBox);
  OutForm->addRow(Buddy(tr("&Write:"), OutputList), OutputList);
  OutForm->addRow(Buddy(tr("&Format:"), FormatList), FormatList);
  OutForm->addRow(Buddy(tr("&Save to:"), OutEdit), OutRow);

  // ---- label sheets ----
  SheetBox = new QGroupBox(tr("Label sheets"));
  PaperList = new QComboBox;
  PaperList->addItems({QStringLiteral("A4"), tr("Letter")});
  PaperList->setToolTip(tr("The paper size of the sheets"));
  ColumnsSpin = new QSpinBox;
  ColumnsSpin->setRange(1, 20);
  ColumnsSpin->setToolTip(tr("Labels across a page"));
  RowsSpin = new QSpinBox;
  RowsSpin->setRange(1, 40);
  RowsSpin->setToolTip(tr("Labels down a page"));
  MarginXSpin = new QDoubleSpinBox;
  MarginYSpin = new QDoubleSpinBox;
  for (QDoubleSpinBox* Margin : {MarginXSpin, MarginYSpin}) {
    Margin->setRange(0, 50);
    Margin->setDecimals(1);
    Margin->setSingleStep(0.5);
    Margin->setSuffix(QStringLiteral(" mm"));
  }
  MarginXSpin->setToolTip(tr("The page's margin at the left and at the right"));
  MarginYSpin->setToolTip(tr("The page's margin at the top and at the bottom"));
  CaptionList = new QComboBox;
  CaptionList->setToolTip(tr("The column whose cells are printed under the codes"));
  SheetPreview = new QLabel;
  SheetPreview->setFixedSize(150, 212);
  SheetPreview->setAlignment(Qt::AlignCenter);
  SheetPreview->setFrameShape(QFrame::Box);
  SheetPreview->setAccessibleName(tr("First page"));
  SheetPreview->setToolTip(tr("The first page of the label sheets as it will print"));
  auto* SheetForm = new QFormLayout;
  SheetForm->addRow(Buddy(tr("&Paper:"), PaperList), PaperList);
  SheetForm->addRow(Buddy(tr("&Columns:"), ColumnsSpin), ColumnsSpin);
  SheetForm->addRow(Buddy(tr("&Rows:"), RowsSpin), RowsSpin);
  SheetForm->addRow(Buddy(tr("Side &margins:"), MarginXSpin), MarginXSpin);
  SheetForm->addRow(Buddy(tr("&Top and bottom margins:"), MarginYSpin), MarginYSpin);
  SheetForm->addRow(Buddy(tr("Capt&ion:"), CaptionList), CaptionList);
  auto* SheetLayout = new QHBoxLayout(SheetBox);
  SheetLayout->addLayout(SheetForm);
  SheetLayout->addWidget(SheetPreview);

  // ---- the run ----
  ProgressBar = new QProgressBar;
  ProgressBar->setAccessibleName(tr("Progress"));
  ProgressBar->setToolTip(tr("The rows made of all"));
  ProgressLabel = new QLabel;
  SummaryText = new QPlainTextEdit;
  SummaryText->setReadOnly(true);
  SummaryText->setTabChangesFocus(true);
  SummaryText->setAccessibleName(tr("Summary"));
  SummaryText->setToolTip(tr("What the last run made, and every row that failed with the reason"));
  SummaryText->setMaximumHeight(110);
  StartBtn = new QPushButton(tr("Make Codes"));
  StartBtn->setToolTip(tr("Make a code of every row"));
  StartBtn->setDefault(true);
  CancelBtn = new QPushButton(tr("Cancel"));
  CancelBtn->setToolTip(tr("Stop after the codes begun: whole files only, and the manifest says "
                           "where the run stopped"));
  OpenResultBtn = new QPushButton(tr("Open Result"));
  OpenResultBtn->setToolTip(tr("Open the folder, archive or PDF the last run wrote"));
  CloseBtn = new QPushButton(tr("Close"));
  CloseBtn->setToolTip(tr("Close this dialog"));
  auto* Buttons = new QHBoxLayout;
  Buttons->addWidget(StartBtn);
  Buttons->addWidget(CancelBtn);
  Buttons->addWidget(OpenResultBtn);
  Buttons->addStretch();
  Buttons->addWidget(CloseBtn);

  auto* Right = new QVBoxLayout;
  Right->addWidget(OutBox);
  Right->addWidget(SheetBox);
  Right->addStretch();
  auto* Top = new QHBoxLayout;
  Top->addWidget(RowsBox, 3);
  Top->addLayout(Right, 2);
  auto* Main = new QVBoxLayout(this);
  Main->addLayout(Top, 1);
  Main->addWidget(ProgressBar);
  Main->addWidget(ProgressLabel);
  Main->addWidget(SummaryText);
  Main->addLayout(Buttons);
  resize(980, 680);

  // A handler's error (no memory, no thread) ends the handler and is shown in the summary.
  const auto Guard = [this](void (TBatchDialog::*Handler)()) {
    return [this, Handler] {
      try {
        (this->*Handler)();
      } catch (const std::exception& Error) {
        SummaryText->setPlainText(QString::fromLocal8Bit(Error.what()));
      }
    };
  };
  connect(ChooseFileBtn, &QPushButton::clicked, this, Guard(&TBatchDialog::ChooseFileBtnClick));
  connect(PasteBtn, &QPushButton::clicked, this, Guard(&TBatchDialog::PasteBtnClick));
  connect(OutBtn, &QPushButton::clicked, this, Guard(&TBatchDialog::OutBtnClick));
  connect(StartBtn, &QPushButton::clicked, this, Guard(&TBatchDialog::StartBtnClick));
  connect(CancelBtn, &QPushButton::clicked, this, Guard(&TBatchDialog::CancelBtnClick));
  connect(OpenResultBtn, &QPushButton::clicked, this, Guard(&TBatchDialog::OpenResultBtnClick));
  connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
  connect(OutputList, &QComboBox::currentIndexChanged, this, [this] { ShowOutputChoices(); });
  for (QComboBox* List : {PaperList, CaptionList})
    connect(List, &QComboBox::currentIndexChanged, this, [this] { DrawSheetPreview(); });
  for (QSpinBox* Spin : {ColumnsSpin, RowsSpin})
    connect(Spin, &QSpinBox::valueChanged, this, [this] { DrawSheetPreview(); });
  for (QDoubleSpinBox* Spin : {MarginXSpin, MarginYSpin})
    connect(Spin, &QDoubleSpinBox::valueChanged, this, [this] { DrawSheetPreview(); });
  connect(KindList, &QComboBox::currentIndexChanged, this, [this] { DrawSheetPreview(); });

  // Tab goes down the rows' side, then down the output's side, then along the buttons.
  QWidget* const Order[] = {ChooseFileBtn, PasteBtn,    PreviewTable,  KindList,    OutputList,
                            FormatList,    OutEdit,     OutBtn,        PaperList,   ColumnsSpin,
                            RowsSpin,      MarginXSpin, MarginYSpin,   CaptionList, SummaryText,
                            StartBtn,      CancelBtn,   OpenResultBtn, CloseBtn};
  for (std::size_t I = 1; I < std::size(Order); ++I)
    setTabOrder(Order[I - 1], Order[I]);
  ChooseFileBtn->setFocus();
}

// ---------------------------------------------------------------------------------------------
// Settings

void TBatchDialog::LoadSettings() {
  const auto Index = [](const char16_t* Name, int Default, int Count) {
    const int Value = ReadSettingInteger(kProductKey, Name, Default);
    return Value >= 0 && Value < Count ? Value : Default;
  };
  OutputList->setCurrentIndex(Index(kOutputName, otFolder, OutputList->count()));
  FormatList->setCurrentIndex(Index(kFormatName, 0, FormatList->count()));
  KindList->setCurrentIndex(Index(kKindName, 0, KindList->count()));
  PaperList->setCurrentIndex(Index(kPaperName, 0, PaperList->count()));
  OutEdit->setText(ToQString(ReadSettingString(kProductKey, kOutName, u"")));
  // The defaults fit the common 3 x 8 A4 label stock (63.5 x 33.9 mm labels).
  ColumnsSpin->setValue(ReadSettingInteger(kProductKey, kColumnsName, 3));
  RowsSpin->setValue(ReadSettingInteger(kProductKey, kRowsName, 8));
  MarginXSpin->setValue(ReadSettingInteger(kProductKey, kMarginXName, 72) / 10.0);
  MarginYSpin->setValue(ReadSettingInteger(kProductKey, kMarginYName, 129) / 10.0);
  FOpenDialogName = ToQString(ReadSettingString(kProductKey, kCsvDialogName, u""));
}

void TBatchDialog::SaveSettings() {
  WriteSettingInteger(kProductKey, kOutputName, OutputList->currentIndex());
  WriteSettingInteger(kProductKey, kFormatName, FormatList->currentIndex());
  WriteSettingInteger(kProductKey, kKindName, KindList->currentIndex());
  WriteSettingInteger(kProductKey, kPaperName, PaperList->currentIndex());
  WriteSettingString(kProductKey, kOutName, ToUtf16(OutEdit->text()));
  WriteSettingInteger(kProductKey, kColumnsName, ColumnsSpin->value());
  WriteSettingInteger(kProductKey, kRowsName, RowsSpin->value());
  WriteSettingInteger(kProductKey, kMarginXName,
                      static_cast<std::int32_t>(MarginXSpin->value() * 10 + 0.5));
  WriteSettingInteger(kProductKey, kMarginYName,
                      static_cast<std::int32_t>(MarginYSpin->value() * 10 + 0.5));
  WriteSettingString(kProductKey, kCaptionName,
                     CaptionList->currentIndex() > 0 ? ToUtf16(CaptionList->currentText())
                                                     : std::u16string());
  WriteSettingString(kProductKey, kCsvDialogName, ToUtf16(FOpenDialogName));
}

// ---------------------------------------------------------------------------------------------
// The rows

void TBatchDialog::ChooseFileBtnClick() {
  const std::optional<QString> Chosen =
      FHooks.OpenFile(tr("CSV files (*.csv);;All files (*)"), FOpenDialogName);
  if (!Chosen || Chosen->isEmpty()) return;
  FOpenDialogName = *Chosen;
  LoadFile(*Chosen);
}

void TBatchDialog::PasteBtnClick() {
  if (Running()) return;
  const QString Text = QGuiApplication::clipboard()->text();
  if (Text.trimmed().isEmpty()) {
    SourceLabel->setText(tr("The clipboard holds no text: copy the cells in the spreadsheet, "
                            "the column names in the first row, then paste them here."));
    return;
  }
  LoadText(Text);
}

void TBatchDialog::dragEnterEvent(QDragEnterEvent* Event) {
  const QList<QUrl> Urls = Event->mimeData()->urls();
  if (!Running() && Urls.size() == 1 && Urls.first().isLocalFile()) Event->acceptProposedAction();
}

void TBatchDialog::dropEvent(QDropEvent* Event) {
  const QList<QUrl> Urls = Event->mimeData()->urls();
  if (Running() || Urls.size() != 1 || !Urls.first().isLocalFile()) return;
  Event->acceptProposedAction();
  LoadFile(Urls.first().toLocalFile());
}

// Ctrl+V pastes rows wherever the focus is in the dialog; a text field keeps its own paste (the
// key reaches the dialog only when the control with the focus has no use for it).
void TBatchDialog::keyPressEvent(QKeyEvent* Event) {
  if (Event->matches(QKeySequence::Paste)) {
    PasteBtnClick();
    return;
  }
  QDialog::keyPressEvent(Event);
}

void TBatchDialog::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  DrawSheetPreview();
}

void TBatchDialog::ShowSource() {
  PreviewTable->clear();
  for (QComboBox* List : MappingLists)
    FMappingForm->removeRow(List);
  MappingLists.clear();
  const QString Caption = ToQString(ReadSettingString(kProductKey, kCaptionName, u""));
  const QString KeptCaption =
      CaptionList->currentIndex() > 0 ? CaptionList->currentText() : Caption;
  CaptionList->clear();
  CaptionList->addItem(tr("(none)"));
  if (!FSource) {
    SourceLabel->setText(tr("No rows yet: choose a CSV file, drop one here, or paste cells "
                            "copied from a spreadsheet (the column names in the first row)."));
    PreviewTable->setRowCount(0);
    PreviewTable->setColumnCount(0);
    MappingBox->hide();
    KindList->setEnabled(true);
    StartBtn->setEnabled(false);
    return;
  }
  const TSource& S = *FSource;
  const QString From = S.Path.isEmpty() ? tr("the pasted cells") : QFileInfo(S.Path).fileName();
  SourceLabel->setText(S.RowCount == 1 ? tr("1 row from %1").arg(From)
                                       : tr("%1 rows from %2").arg(S.RowCount).arg(From));
  PreviewTable->setColumnCount(static_cast<int>(S.Header.size()));
  PreviewTable->setRowCount(static_cast<int>(S.Rows.size()));
  for (std::size_t C = 0; C < S.Header.size(); ++C) {
    const QString Name = Q(S.Header[C]);
    auto* Head = new QTableWidgetItem(Name);
    const bool Known = BatchKnowsColumn(S.Header[C]);
    QFont Font = Head->font();
    Font.setBold(Known);
    Head->setFont(Font);
    Head->setToolTip(Known ? tr("A column the batch knows") : tr("Assign it below"));
    PreviewTable->setHorizontalHeaderItem(static_cast<int>(C), Head);
    CaptionList->addItem(Name);
    if (Known) continue;
    auto* List = new QComboBox;
    List->addItem(tr("Ignore"), QString());
    for (const std::string_view Column : BatchColumnNames())
      List->addItem(Q(std::string(Column)), Q(std::string(Column)));
    List->setToolTip(tr("The batch column the cells of \u201c%1\u201d are, or Ignore").arg(Name));
    connect(List, &QComboBox::currentIndexChanged, this, [this] {
      KindList->setEnabled(!HasKindColumn());
      DrawSheetPreview();
    });
    FMappingForm->addRow(Buddy(tr("\u201c%1\u201d:").arg(Name), List), List);
    MappingLists.push_back(List);
  }
  for (std::size_t R = 0; R < S.Rows.size(); ++R)
    for (std::size_t C = 0; C < S.Rows[R].size() && C < S.Header.size(); ++C)
      PreviewTable->setItem(static_cast<int>(R), static_cast<int>(C),
                            new QTableWidgetItem(Q(S.Rows[R][C])));
  PreviewTable->resizeColumnsToContents();
  MappingBox->setVisible(!MappingLists.empty());
  KindList->setEnabled(!HasKindColumn());
  const int Kept = CaptionList->findText(KeptCaption, Qt::MatchFixedString);
  CaptionList->setCurrentIndex(std::max(0, Kept));
  StartBtn->setEnabled(!Running());
  // Tab reaches the new lists after the table.
  QWidget* Previous = PreviewTable;
  for (QComboBox* List : MappingLists) {
    setTabOrder(Previous, List);
    Previous = List;
  }
  setTabOrder(Previous, KindList);
  DrawSheetPreview();
}

std::map<std::string, std::string> TBatchDialog::ColumnMapping() const {
  std::map<std::string, std::string> Mapping;
  if (!FSource) return Mapping;
  std::size_t List = 0;
  for (const std::string& Name : FSource->Header) {
    if (BatchKnowsColumn(Name)) continue;
    Mapping[Name] = List < MappingLists.size()
                        ? MappingLists[List]->currentData().toString().toStdString()
                        : std::string();
    ++List;
  }
  return Mapping;
}

bool TBatchDialog::HasKindColumn() const {
  if (!FSource) return false;
  for (const std::string& Name : FSource->Header)
    if (BatchColumnIs(Name, "kind")) return true;
  for (const auto& [Name, Column] : ColumnMapping())
    if (Column == "kind") return true;
  return false;
}

// ---------------------------------------------------------------------------------------------
// Where the codes go

void TBatchDialog::ShowOutputChoices() {
  const int Output = OutputList->currentIndex();
  FormatList->setEnabled(Output != otSheets);
  SheetBox->setEnabled(Output == otSheets);
  DrawSheetPreview();
}

QString TBatchDialog::OutPath() const {
  QString Path = OutEdit->text().trimmed();
  if (Path.isEmpty()) return Path;
  const int Output = OutputList->currentIndex();
  const QString Extension = Output == otZip      ? QStringLiteral(".zip")
                            : Output == otSheets ? QStringLiteral(".pdf")
                                                 : QString();
  if (!Extension.isEmpty() && !Path.endsWith(Extension, Qt::CaseInsensitive)) Path += Extension;
  return Path;
}

void TBatchDialog::OutBtnClick() {
  const int Output = OutputList->currentIndex();
  const QString Filter = Output == otZip      ? tr("ZIP archives (*.zip)")
                         : Output == otSheets ? tr("PDF files (*.pdf)")
                                              : QString();
  const std::optional<QString> Chosen = FHooks.ChooseOut(Filter, OutEdit->text());
  if (Chosen && !Chosen->isEmpty()) OutEdit->setText(*Chosen);
}

void TBatchDialog::closeEvent(QCloseEvent* Event) {
  if (Running()) { // a run ends first: its files are whole and its manifest written
    CancelBtnClick();
    WaitForRun();
  }
  SaveSettings();
  QDialog::closeEvent(Event);
}

// ---------------------------------------------------------------------------------------------
// The engine's side: reading the rows, the first page, the run

// What one run owns: the options, the counters the timer reads, the cancel, and what the engine's
// thread hands back when it ends.
struct TBatchDialog::TRun {
  TBatchOptions Options;
  TBatchProgress Progress;
  std::atomic<int> Stop{0};
  std::atomic<bool> Ended{false};
  long long Rows = 0; // every row of the input
  QElapsedTimer Clock;
  // Written by the engine's thread, read after it has ended.
  TBatchResult Result;
  std::ostringstream Err;
  std::mutex FailedLock;
  std::vector<TRowResult> Failed;
};

bool TBatchDialog::LoadFile(const QString& Path) {
  if (Running()) return false;
  TSource Source;
  Source.Path = Path;
  Source.Separator =
      QFileInfo(Path).suffix().compare(QStringLiteral("tsv"), Qt::CaseInsensitive) ? ',' : '\t';
  std::ifstream Input(QFile::encodeName(Path).toStdString(), std::ios::binary);
  if (!Input) {
    SourceLabel->setText(tr("%1 cannot be read.").arg(QFileInfo(Path).fileName()));
    return false;
  }
  Source.RowCount = CountRows(Input, Source.Separator);
  return TakeSource(std::move(Source), QFileInfo(Path).fileName());
}

bool TBatchDialog::LoadText(const QString& Text) {
  if (Running()) return false;
  TSource Source;
  Source.Text = Text.toStdString();
  // Cells copied from a spreadsheet are tab-separated; a first line with commas and no tab is
  // a CSV text (a column name never holds a comma).
  const std::string_view First =
      std::string_view(Source.Text).substr(0, Source.Text.find_first_of("\r\n"));
  Source.Separator =
      First.find('\t') == std::string_view::npos && First.find(',') != std::string_view::npos
          ? ','
          : '\t';
  std::istringstream Input(Source.Text);
  Source.RowCount = CountRows(Input, Source.Separator);
  return TakeSource(std::move(Source), tr("The pasted cells"));
}

TBatchOptions TBatchDialog::InputOptions(const TSource& Source) {
  TBatchOptions Options;
  // The name messages give the input.
  Options.Input = Source.Path.isEmpty() ? tr("the pasted cells").toStdString()
                                        : QFile::encodeName(Source.Path).toStdString();
  if (Source.Path.isEmpty()) Options.InputText = Source.Text;
  Options.Separator = Source.Separator;
  // A logo column's paths: from the CSV file's folder, or for pasted cells from the home folder.
  if (Source.Path.isEmpty())
    Options.LogoFolder = std::filesystem::path(QFile::encodeName(QDir::homePath()).toStdString());
  return Options;
}

bool TBatchDialog::TakeSource(TSource Source, const QString& Name) {
  const TBatchOptions Options = InputOptions(Source);
  const TBatchPreview Preview = PreviewBatch(Options, kPreviewRows);
  if (Preview.Header.empty()) { // what there was stays
    SourceLabel->setText(
        tr("%1: no rows can be read (%2).")
            .arg(Name, Q(Preview.Error.empty() ? "no header row" : Preview.Error)));
    return false;
  }
  Source.Header = Preview.Header;
  Source.Rows = Preview.Rows;
  FSource = std::move(Source);
  ShowSource();
  if (!Preview.Error.empty())
    SourceLabel->setText(SourceLabel->text() + QStringLiteral(" \u2014 ") + Q(Preview.Error));
  return true;
}

TBatchOptions TBatchDialog::RowOptions() const {
  TBatchOptions O = InputOptions(*FSource);
  for (const auto& [Head, Column] : ColumnMapping())
    O.Columns[Head] = Column;
  if (CaptionList->currentIndex() > 0) O.Caption = CaptionList->currentText().toStdString();
  if (!HasKindColumn()) O.Kind = static_cast<TKind>(KindList->currentIndex());
  const TOutputFormat Formats[] = {TOutputFormat::Png, TOutputFormat::Svg, TOutputFormat::Pdf};
  O.Picture.Format = Formats[std::clamp(FormatList->currentIndex(), 0, 2)];
  O.Picture.Encoding = FDefaults.Encoding;
  O.Picture.ECLevel = FDefaults.Level;
  O.Picture.Boost = FDefaults.Boost;
  O.Picture.Style = FDefaults.Style;
  return O;
}

TSheetLayout TBatchDialog::ChosenLayout() const {
  TSheetLayout Layout;
  Layout.Paper = PaperList->currentIndex() == 1 ? TPaper::Letter : TPaper::A4;
  Layout.Columns = ColumnsSpin->value();
  Layout.Rows = RowsSpin->value();
  Layout.MarginXMm = MarginXSpin->value();
  Layout.MarginYMm = MarginYSpin->value();
  return Layout;
}

void TBatchDialog::DrawSheetPreview() {
  if (!isVisible() && FSheetPicture.isNull() && !FSource) return;
  const TSheetLayout Layout = ChosenLayout();
  const QSizeF Page = Layout.PageMm();
  // Six pixels a millimetre (150 dots an inch): the page as it prints, shown scaled down.
  constexpr double UnitsPerMm = 6.0;
  FSheetPicture =
      QImage(QSize(qRound(Page.width() * UnitsPerMm), qRound(Page.height() * UnitsPerMm)),
             QImage::Format_RGB32);
  FSheetPicture.fill(Qt::white);
  const QSizeF Cell = Layout.CellMm();
  std::vector<TSheetCode> Codes;
  if (FSource && Cell.width() >= kMinSheetCellMm && Cell.height() >= kMinSheetCellMm) {
    TBatchOptions Options = RowOptions();
    Options.Sheet = Layout;
    Codes = SheetCodesOf(Options, static_cast<std::size_t>(Layout.CellsPerPage())).Codes;
  }
  {
    QPainter Painter(&FSheetPicture);
    Painter.setRenderHint(QPainter::Antialiasing);
    PaintSheetPage(Painter, UnitsPerMm, Layout, Codes, CaptionList->currentIndex() > 0,
                   FDefaults.Style.Dark);
  }
  QImage Shown = FSheetPicture.scaled(SheetPreview->size() * devicePixelRatio(),
                                      Qt::KeepAspectRatio, Qt::SmoothTransformation);
  Shown.setDevicePixelRatio(devicePixelRatio());
  SheetPreview->setPixmap(QPixmap::fromImage(Shown));
}

void TBatchDialog::StartBtnClick() {
  if (Running() || !FSource) return;
  const QString Out = OutPath();
  if (Out.isEmpty()) {
    SummaryText->setPlainText(tr("Choose where the codes go first."));
    OutEdit->setFocus();
    return;
  }
  // An earlier run's output is replaced only when the user says so.
  const std::filesystem::path Target(QFile::encodeName(Out).toStdString());
  std::error_code Ec;
  const bool Taken = std::filesystem::is_directory(Target, Ec)
                         ? !std::filesystem::is_empty(Target, Ec)
                         : std::filesystem::exists(Target, Ec);
  if (Taken && !FHooks.ConfirmReplace(Out)) return;
  SaveSettings();
  FRun = std::make_unique<TRun>();
  TBatchOptions& O = FRun->Options;
  O = RowOptions();
  O.OutFolder = Target;
  O.Force = Taken;
  if (OutputList->currentIndex() == otSheets)
    O.Sheet = ChosenLayout();
  else
    O.Caption.clear(); // captions are the sheets'
  O.Jobs = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  O.Stop = &FRun->Stop;
  O.Progress = &FRun->Progress;
  TRun* Run = FRun.get();
  O.OnRow = [this, Run](const TRowResult& Row) {
    if (!Row.Error.empty()) {
      const std::lock_guard Guard(Run->FailedLock);
      if (Run->Failed.size() < kListedFailures) Run->Failed.push_back(Row);
    }
    if (RowReported) RowReported(Row);
  };
  FRun->Rows = FSource->RowCount;
  FRun->Clock.start();
  FResultPlace.clear();
  SummaryText->clear();
  ProgressBar->setRange(0, static_cast<int>(std::min<long long>(FRun->Rows, INT_MAX)));
  ProgressBar->setValue(0);
  ProgressLabel->setText(tr("Starting\u2026"));
  SetChoicesEnabled(false);
  CancelBtn->setEnabled(true);
  CancelBtn->setFocus();
  FWorker = std::thread([Run] {
    Run->Result = RunBatch(Run->Options, Run->Err);
    Run->Ended = true;
  });
  FPoll->start();
}

void TBatchDialog::SetChoicesEnabled(bool Enabled) {
  const std::initializer_list<QWidget*> Choices = {
      StartBtn, ChooseFileBtn, PasteBtn,   OutputList, FormatList,   OutEdit,
      OutBtn,   SheetBox,      MappingBox, KindList,   OpenResultBtn};
  for (QWidget* Control : Choices)
    Control->setEnabled(Enabled);
  if (Enabled) { // as the choices made allow
    ShowOutputChoices();
    KindList->setEnabled(!HasKindColumn());
    StartBtn->setEnabled(FSource.has_value());
    OpenResultBtn->setEnabled(!FResultPlace.isEmpty());
  }
}

void TBatchDialog::CancelBtnClick() {
  if (!FRun || !Running()) return;
  FRun->Stop = 1;
  CancelBtn->setEnabled(false);
  ProgressLabel->setText(tr("Cancelling: the codes begun are finished\u2026"));
}

void TBatchDialog::PollProgress() {
  if (!FRun) return;
  if (FRun->Ended) {
    RunEnded();
    return;
  }
  const TBatchProgress::TDone Done = FRun->Progress.Done();
  const long long Rows = Done.Made + Done.Failed;
  ProgressBar->setValue(static_cast<int>(std::min<long long>(Rows, ProgressBar->maximum())));
  if (FRun->Stop) return; // the line says it is cancelling
  const double Seconds = FRun->Clock.elapsed() / 1000.0;
  ProgressLabel->setText(
      Rows > 0 && FRun->Rows > Rows
          ? tr("%1 of %2 rows, about %3 left")
                .arg(Rows)
                .arg(FRun->Rows)
                .arg(MinutesSeconds(Seconds * static_cast<double>(FRun->Rows - Rows) /
                                    static_cast<double>(Rows)))
          : tr("%1 of %2 rows").arg(Rows).arg(FRun->Rows));
}

void TBatchDialog::RunEnded() {
  if (!FWorker.joinable()) return;
  FPoll->stop();
  FWorker.join();
  TRun& Run = *FRun;
  const TBatchResult& R = Run.Result;
  ProgressBar->setValue(
      static_cast<int>(std::min<long long>(R.Made + R.Failed, ProgressBar->maximum())));
  FResultPlace = Q(R.Output.string());
  QStringList Lines;
  switch (R.Outcome) {
  case TBatchOutcome::CannotStart:
    Lines << tr("Nothing was made:") << Q(Run.Err.str()).trimmed();
    break;
  case TBatchOutcome::Interrupted:
    Lines << tr("Cancelled after %1 of %2 rows: the files written are whole, and the manifest "
                "%3 says where the run stopped.")
                 .arg(R.Made + R.Failed)
                 .arg(Run.Rows)
                 .arg(Q(R.Manifest.filename().string()));
    break;
  case TBatchOutcome::Done:
  case TBatchOutcome::RowsFailed:
    break;
  }
  if (R.Outcome != TBatchOutcome::CannotStart) {
    Lines << tr("Made: %1").arg(R.Made) << tr("Failed: %1").arg(R.Failed);
    for (const TRowResult& Row : Run.Failed)
      Lines << tr("Row %1 (line %2): %3").arg(Row.Row).arg(Row.Line).arg(Q(Row.Error));
    if (R.Failed > static_cast<long long>(Run.Failed.size()))
      Lines << tr("\u2026 and %1 more rows: the manifest names each with its reason.")
                   .arg(R.Failed - static_cast<long long>(Run.Failed.size()));
    if (R.Outcome == TBatchOutcome::RowsFailed && Run.Failed.empty())
      Lines << Q(Run.Err.str()).trimmed(); // the manifest could not be written
    if (!R.Output.empty())
      Lines << tr("Written to: %1").arg(QDir::toNativeSeparators(Q(R.Output.string())));
    if (!R.Manifest.empty())
      Lines << tr("Manifest: %1").arg(QDir::toNativeSeparators(Q(R.Manifest.string())));
  }
  SummaryText->setPlainText(Lines.join(QLatin1Char('\n')));
  ProgressLabel->setText(R.Outcome == TBatchOutcome::Interrupted   ? tr("Cancelled.")
                         : R.Outcome == TBatchOutcome::CannotStart ? tr("Not started.")
                                                                   : tr("Done."));
  SetChoicesEnabled(true);
  CancelBtn->setEnabled(false);
  (OpenResultBtn->isEnabled() ? OpenResultBtn : StartBtn)->setFocus();
}

bool TBatchDialog::WaitForRun(int TimeoutMs) {
  QElapsedTimer Clock;
  Clock.start();
  while (Running()) {
    if (Clock.elapsed() > TimeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (FRun && FRun->Ended) RunEnded();
  }
  return true;
}

void TBatchDialog::OpenResultBtnClick() {
  if (!FResultPlace.isEmpty()) FHooks.OpenUrl(QUrl::fromLocalFile(FResultPlace));
}
