// Where a batch's codes go: files in a folder, entries of one ZIP archive, or cells of label
// sheets in one PDF. The batch makes each row's picture on a worker thread, hands it to
// TakeOnWorker there (work that may run in parallel: writing a file, compressing), and then, on
// one thread and in row order, to TakeInRowOrder (work that must keep the rows' order: the archive,
// the sheets). The manifest goes where the codes go.
#pragma once

#include "batch/Manifest.h"
#include "batch/Picture.h"
#include "batch/SheetPage.h"

#include <cstdint>
#include <filesystem>
#include <functional>
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
  std::size_t Bytes = 0; // the picture's size as made (a sink may hand the bytes on)
};

struct TSinkOptions {
  std::filesystem::path Out; // the folder, NAME.zip, or NAME.pdf with Sheet
  std::optional<TSheetLayout> Sheet;
  bool Captions = false; // a caption under each code (sheets only)
  TCodeStyle Style;      // the colours, quiet zone and marks a sheet paints the codes in
  bool Force = false;
  bool Durable = false;
  std::string Program; // the start of every message ("marbeck-cli: "), or ""
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

// Removes what a batch killed in Folder may have left where nameless files are refused: the
// temporary files ".TARGET.XXXXXX" (and libzip's ".TARGET.XXXXXX.XXXXXX") of the targets Ours
// accepts, regular files only. No name a batch writes, and no name the file column accepts,
// looks like these. Only for a caller holding the folder against other batches.
void RemoveLeftOvers(const std::filesystem::path& Folder,
                     const std::function<bool(std::string_view Target)>& Ours);

// The three sinks (their files: SinkFolder.cpp, SinkZip.cpp, SinkSheet.cpp).
std::unique_ptr<TBatchSink> MakeFolderSink(const TSinkOptions& Options);
std::unique_ptr<TBatchSink> MakeZipSink(const TSinkOptions& Options);
std::unique_ptr<TBatchSink> MakeSheetSink(const TSinkOptions& Options);
