// Where a batch's codes go: files in a folder, entries of one ZIP archive, or cells of label
// sheets in one PDF. The batch makes each row's picture on a worker thread, hands it to
// TakeOnWorker there (work that may run in parallel: writing a file, compressing), and then, on
// one thread and in row order, to TakeInRowOrder (work that must keep the rows' order: the archive,
// the sheets). The manifest goes where the codes go.
#pragma once

#include "cli/Manifest.h"
#include "cli/Picture.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

// What a sink's TakeOnWorker keeps of a row for its TakeInRowOrder (each sink its own kind).
struct TSinkData {
  virtual ~TSinkData() = default;
};

// One row on its way from a worker to the output.
struct TRowOutput {
  TRowResult Result;
  TPicture Picture;    // the file's bytes, or with a sheet the grid
  std::string Caption; // the caption column's cell, for a sheet
  std::unique_ptr<TSinkData> Kept;
};

enum class TPaper { A4, Letter };

// Label sheets: Columns x Rows cells a page, inside page margins, with gaps between the cells;
// the defaults fit the common 3 x 8 A4 label stock (63.5 x 33.9 mm labels).
struct TSheetLayout {
  TPaper Paper = TPaper::A4;
  int Columns = 3;
  int Rows = 8;
  double MarginXMm = 7.2;  // left and right
  double MarginYMm = 12.9; // top and bottom
  double GapXMm = 2.5;     // between columns
  double GapYMm = 0.0;     // between rows
};

struct TSinkOptions {
  std::filesystem::path Out; // the folder, NAME.zip, or NAME.pdf with Sheet
  std::optional<TSheetLayout> Sheet;
  bool Captions = false; // a caption under each code (sheets only)
  TCodeStyle Style;      // the colours, quiet zone and marks a sheet paints the codes in
  bool Force = false;
  bool Durable = false;
};

class TBatchSink {
public:
  virtual ~TBatchSink() = default;
  // Before the first row: makes or checks the output and starts the manifest; false (after one
  // line on Err) when the batch cannot start.
  virtual bool Open(TManifest& Manifest, std::ostream& Err) = 0;
  // Whether the rows are wanted as module grids (sheets) rather than files' bytes.
  virtual bool WantsGrid() const { return false; }
  // A worker thread, any row order. Sets Row.Result.Error when the row cannot be kept.
  virtual void TakeOnWorker(TRowOutput& Row) = 0;
  // One thread, in row order, for the rows TakeOnWorker kept. Sets Row.Result.Error likewise.
  virtual void TakeInRowOrder(TRowOutput& Row) { (void)Row; }
  // After the last row: completes the output with the manifest; Error says why not.
  virtual bool Finish(TManifest& Manifest, std::string& Error) = 0;
  // Where the manifest is, for messages.
  virtual std::string ManifestPlace() const = 0;
};

// Opens the output of a sink that writes one file, Options.Out (the archive, the sheet): checks
// that none of Taken exists (without Force) and that Options.Out is no folder, opens its folder
// for atomic writes into Files, begins the file as File and starts the manifest. False, after
// one line on Err, when the batch cannot start.
bool OpenSingleFile(const TSinkOptions& Options, std::initializer_list<std::filesystem::path> Taken,
                    std::unique_ptr<TFolderFiles>& Files, TPendingFile& File, TManifest& Manifest,
                    std::ostream& Err);

// The sink Options.Out and Options.Sheet ask for: a sheet PDF, a ZIP archive for a name ending
// in .zip (any letter case), a folder otherwise.
std::unique_ptr<TBatchSink> MakeSink(const TSinkOptions& Options);

// The three sinks (their files: SinkFolder.cpp, SinkZip.cpp, SinkSheet.cpp).
std::unique_ptr<TBatchSink> MakeFolderSink(const TSinkOptions& Options);
std::unique_ptr<TBatchSink> MakeZipSink(const TSinkOptions& Options);
std::unique_ptr<TBatchSink> MakeSheetSink(const TSinkOptions& Options);
