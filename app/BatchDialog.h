// TBatchDialog: File > Make Many Codes…, one code per row of a CSV file or of cells pasted from a
// spreadsheet, made by the batch engine (batch/) on a thread of its own into a folder of files,
// one ZIP archive or label sheets, with the main window's settings as the defaults a row's own
// cells override.
//
// The rows: a CSV file (chosen, or dropped onto the dialog) or the clipboard's text (Paste,
// Ctrl+V), read as a spreadsheet copies cells: tab-separated, unless its first line holds a comma
// and no tab (a CSV text). The table shows the header and the first rows; every column the batch
// does not know by name gets a list that assigns it to a batch column or ignores it, and without
// a kind column the kind is chosen here. A failed load keeps the rows there were.
//
// The run: Make Codes hands the rows to the engine on a worker thread and polls its progress
// counters with a timer, so the window stays responsive; Cancel stops it as Ctrl-C stops
// marbeck-cli (whole files only, the manifest says where it stopped). The summary names every
// failed row with its reason (the first thousand; the manifest has them all), and Open Result
// opens the folder, archive or PDF.
//
// The dialog's choices live in the settings store with the window's (values "Batch...").
#pragma once

#include "encoder/Mode.h"
#include "render/CodeStyle.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;
struct TBatchOptions;
struct TRowResult;
struct TSheetLayout;

// What the main window's settings make of every code: a row's cells override them.
struct TBatchDefaults {
  TCodeStyle Style; // colours, spacing, frame marks, design and logo
  TQRCodeEncoding Encoding = qrAuto;
  TQRCodeECLevel Level = ecL;
  bool Boost = false;
};

// The dialog's ways out to file dialogs and the shell; the main window hands over its own, and
// tests replace them.
struct TBatchHooks {
  // The open dialog for a CSV file: the filter and the name last chosen in, the name out.
  std::function<std::optional<QString>(const QString& Filter, const QString& LastName)> OpenFile;
  // Where the codes go: a folder (Filter empty) or a file of Filter; empty: cancelled.
  std::function<std::optional<QString>(const QString& Filter, const QString& LastName)> ChooseOut;
  // Asked when the output already holds an earlier run's files (a folder that is not empty, an
  // archive or PDF that exists): true replaces them.
  std::function<bool(const QString& Place)> ConfirmReplace;
  std::function<void(const QUrl& Url)> OpenUrl;
};

class TBatchDialog : public QDialog {
  Q_OBJECT
public:
  TBatchDialog(QWidget* Parent, TBatchHooks Hooks);
  ~TBatchDialog() override;

  TBatchHooks& Hooks() { return FHooks; }
  // The window's settings at the moment the dialog is opened.
  void SetDefaults(const TBatchDefaults& Defaults) { FDefaults = Defaults; }

  enum TOutput { otFolder, otZip, otSheets };

  // ---- controls (names for the tests, as the main window's) ----
  QLabel* SourceLabel = nullptr; // where the rows come from, or why they could not be read
  QPushButton* ChooseFileBtn = nullptr;
  QPushButton* PasteBtn = nullptr;
  QTableWidget* PreviewTable = nullptr; // the header and the first rows
  QGroupBox* MappingBox = nullptr;      // a list for each column the batch does not know
  std::vector<QComboBox*> MappingLists; // in the order of those columns
  QComboBox* KindList = nullptr;        // the kind of rows without a kind column
  QComboBox* OutputList = nullptr;      // item indices TOutput
  QComboBox* FormatList = nullptr;      // PNG, SVG, PDF (folder and archive)
  QLineEdit* OutEdit = nullptr;         // the folder, archive or PDF
  QPushButton* OutBtn = nullptr;
  QGroupBox* SheetBox = nullptr;
  QComboBox* PaperList = nullptr; // A4, Letter
  QSpinBox* ColumnsSpin = nullptr;
  QSpinBox* RowsSpin = nullptr;
  QDoubleSpinBox* MarginXSpin = nullptr; // left and right, mm
  QDoubleSpinBox* MarginYSpin = nullptr; // top and bottom, mm
  QComboBox* CaptionList = nullptr;      // "(none)" and the columns
  QLabel* SheetPreview = nullptr;        // the first page as it will print
  QProgressBar* ProgressBar = nullptr;
  QLabel* ProgressLabel = nullptr; // rows done of all, time left
  QPlainTextEdit* SummaryText = nullptr;
  QPushButton* StartBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* OpenResultBtn = nullptr;
  QPushButton* CloseBtn = nullptr;

  // ---- handlers ----
  void ChooseFileBtnClick();
  void PasteBtnClick();
  // Reads the rows of the CSV file Path (a choice or a drop); false, with the reason in
  // SourceLabel and the rows there were kept, when it cannot.
  bool LoadFile(const QString& Path);
  // The same for text: tab-separated cells, or a CSV text (see above).
  bool LoadText(const QString& Text);
  void OutBtnClick();
  void StartBtnClick();
  void CancelBtnClick();
  void OpenResultBtnClick();

  // ---- the run ----
  bool Running() const { return FWorker.joinable(); }
  // Waits, handling events, until the run has ended and its summary is shown; false on timeout.
  bool WaitForRun(int TimeoutMs = 60000);
  // Test hook: called on the engine's writer thread for every row reported, in row order.
  std::function<void(const TRowResult& Row)> RowReported;
  // The first page of the label sheets as the preview shows it (null without rows).
  const QImage& SheetPicture() const { return FSheetPicture; }
  // Where the last run's output and manifest are (empty before a run).
  const QString& ResultPlace() const { return FResultPlace; }

protected:
  void closeEvent(QCloseEvent* Event) override;
  void dragEnterEvent(QDragEnterEvent* Event) override;
  void dropEvent(QDropEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void showEvent(QShowEvent* Event) override;

private:
  struct TRun;
  void BuildControls();
  void LoadSettings();
  void SaveSettings();
  // The rows read: the table, the lists for unknown columns, the kind and caption lists.
  struct TSource {
    QString Path; // the file, or empty for text
    std::string Text;
    char Separator = ',';
    std::vector<std::string> Header;
    std::vector<std::vector<std::string>> Rows; // the first rows
    long long RowCount = 0;                     // every row of the input
  };
  // The batch's options that read Source.
  static TBatchOptions InputOptions(const TSource& Source);
  bool TakeSource(TSource Source, const QString& Name);
  void ShowSource();
  void ShowOutputChoices();
  // The header name -> batch column ("" ignores it) for every column the batch does not know.
  std::map<std::string, std::string> ColumnMapping() const;
  bool HasKindColumn() const;
  // The batch's options for the rows as the dialog reads them: the input, the columns' mapping,
  // the kind, the caption column and the window's settings as the defaults (no output yet).
  TBatchOptions RowOptions() const;
  // The label sheets' grid as the sheet controls set it.
  TSheetLayout ChosenLayout() const;
  void DrawSheetPreview();
  // The choices and the buttons that start something, off while a run goes on.
  void SetChoicesEnabled(bool Enabled);
  void PollProgress();
  void RunEnded();
  // The output path as the run takes it: the archive's and the PDF's extension added.
  QString OutPath() const;

  TBatchHooks FHooks;
  TBatchDefaults FDefaults;
  std::optional<TSource> FSource;
  QString FOpenDialogName;
  QString FResultPlace;
  QImage FSheetPicture;
  QTimer* FPoll = nullptr;
  std::unique_ptr<TRun> FRun;
  std::thread FWorker;
  QFormLayout* FMappingForm = nullptr;
};
