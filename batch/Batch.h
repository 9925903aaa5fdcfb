// The batch engine: one code per row of CSV (or tab-separated) text, made on worker threads while
// the input is read as a stream, written atomically into a folder, one ZIP archive or label
// sheets, with a manifest at the end. marbeck-cli runs it from its options, the window from its
// dialog; both read the same counters and get the same outcome.
//
// Memory stays flat however long the input is: the reader hands rows to a bounded queue, and
// it reads no further ahead than a fixed window of rows past the oldest row not yet reported,
// so results wait in order for at most that window.
#pragma once

#include "batch/Fields.h"
#include "batch/Manifest.h"
#include "batch/Picture.h"
#include "batch/SheetPage.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// How a batch ended.
enum class TBatchOutcome {
  Done,        // every row was made
  RowsFailed,  // at least one row failed, or the manifest could not be written; the others made
  CannotStart, // nothing was made: unreadable input, no header, unknown columns, no kind, an
               // existing manifest without Force, an output that cannot be made or that another
               // batch is writing into
  Interrupted, // Stop was set: the rows begun were finished and the manifest says where it stopped
};

// Counters the caller owns and may read at any time from any thread while the batch runs. The
// input's bytes count the rows only (the header is not counted): InputBytesDone / InputBytesAll
// is the share of the input done.
struct TBatchProgress {
  std::atomic<long long> RowsRead{0};
  std::atomic<long long> RowsMade{0};
  std::atomic<long long> RowsFailed{0};
  std::atomic<std::uint64_t> BytesWritten{0};   // the codes' pictures (before a ZIP compresses)
  std::atomic<std::uint64_t> InputBytesRead{0}; // of the rows read
  std::atomic<std::uint64_t> InputBytesDone{0}; // of the rows made or failed
  std::atomic<std::uint64_t> InputBytesAll{0};  // 0 when not known (a pipe)
  std::atomic<bool> Finished{false};            // set when RunBatch is about to return

  // Rows made, failed and the input's bytes done, read together: never a count of one moment
  // beside a count of another.
  struct TDone {
    long long Made = 0, Failed = 0;
    std::uint64_t InputBytes = 0;
  };
  TDone Done() const;
  // For the engine: sets the three together.
  void SetDone(long long Made, long long Failed, std::uint64_t InputBytes);

private:
  std::atomic<unsigned> FSequence{0};
};

struct TBatchOptions {
  // The input: the CSV file at Input ("-": standard input), or, when InputText is set, the rows
  // held as text (Input then only names them in messages).
  std::string Input;
  std::optional<std::string> InputText;
  char Separator = ','; // ',' or '\t' (cells a spreadsheet copies: tab-separated)
  // Column mapping: a header as it stands in the input (exactly) to a batch column name (any
  // case; see BatchColumnName), or to "" to ignore the column. Headers without an entry are
  // matched by name; an unknown one refuses the batch.
  std::map<std::string, std::string, std::less<>> Columns;

  std::filesystem::path OutFolder;   // a folder, NAME.zip, or with Sheet NAME.pdf
  std::optional<TSheetLayout> Sheet; // label sheets
  std::string Caption;               // the column whose cells caption the codes on a sheet
  // The folder the logo column's paths are taken from and must stay inside (--logo-dir); empty:
  // the CSV file's folder (the current folder for standard input and for text).
  std::filesystem::path LogoFolder;
  std::optional<TKind> Kind; // for rows without a kind column (or with an empty one)
  // The defaults of every row (format, encoding, level, style with its design and a loaded logo,
  // verify); a row's own cells override them.
  TPictureRequest Picture;
  int Jobs = 1;
  bool Force = false;   // replace existing files
  bool Durable = false; // fsync every file before its rename (slow; see the README)
  // Set, by a signal handler or a Cancel button, to interrupt the batch: no further row is begun.
  const std::atomic<int>* Stop = nullptr;
  TBatchProgress* Progress = nullptr; // counters to keep up to date, or none

  // Called for every row reported (made or failed, not those left undone by Stop), in row order,
  // on the thread that called RunBatch, before the row's line on Err. Must not block for long.
  std::function<void(const TRowResult&)> OnRow;

  // The start of every line on Err ("marbeck-cli: "), and what follows the list of unknown
  // columns (" (see marbeck-cli batch --help for the column names)").
  std::string Program;
  std::string ColumnHelp;
};

struct TBatchResult {
  TBatchOutcome Outcome = TBatchOutcome::CannotStart;
  long long Made = 0, Failed = 0, Read = 0; // rows
  // Where the codes went (the folder, the archive, the PDF) and the manifest; empty when the
  // batch could not start.
  std::filesystem::path Output;
  std::filesystem::path Manifest;
};

// Runs the batch, reporting each failed row on Err in one line ("row 3 (line 4): reason") and
// each warning ("row 3 (line 4): warning: ..."). When Stop is set, the rows begun are finished,
// the manifest lists the rows made up to the first one not begun and ends with "interrupted
// after N of M rows read", and Err says "interrupted after N of M rows". The codes go where
// OutFolder says (see MakeSink): files in a folder, entries of one ZIP archive, or label sheets.
// Before the first row, temporary files a killed batch left in the folder are removed, and
// colours phones may not read are warned of (unless verifying, which fails such rows).
TBatchResult RunBatch(const TBatchOptions& Options, std::ostream& Err);

// The batch's own column name of Header (any letter case): a field name, kind, file, ec, boost,
// encoding or a design column (logo, logo-size, shape, finder-shape, finder-color); nothing for
// a name the batch does not know.
std::optional<std::string_view> BatchColumnName(std::string_view Header);
// Every column name the batch knows, the special ones first, then the fields in page order.
std::vector<std::string_view> BatchColumnNames();

// The header and the first rows of the input, read as RunBatch reads them (same reader, same
// separator); Error says why not (and Rows holds what was read before a malformed row).
struct TBatchPreview {
  std::vector<std::string> Header;
  std::vector<std::vector<std::string>> Rows;
  std::string Error;
};
TBatchPreview PreviewBatch(const TBatchOptions& Options, std::size_t MaxRows);

// The codes of a label sheet's first cells as the batch makes them (the kind column or Kind, the
// mapped columns, a row's own ec, boost, encoding and design cells over the defaults, the caption
// column), for a preview painted with PaintSheetPage: up to MaxCodes rows that make a code, in row
// order; failed rows take no cell, as on the sheet. Error says why the batch could not start.
struct TSheetCodes {
  std::vector<TSheetCode> Codes;
  std::string Error;
};
TSheetCodes SheetCodesOf(const TBatchOptions& Options, std::size_t MaxCodes);
