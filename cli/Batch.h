// marbeck-cli batch: one code per row of a CSV file, made on worker threads while the file is
// read as a stream, written atomically into the output folder, with manifest.csv at the end.
//
// Memory stays flat however long the input is: the reader hands rows to a bounded queue, and
// it reads no further ahead than a fixed window of rows past the oldest row not yet reported,
// so results wait in order for at most that window.
#pragma once

#include "cli/ExitStatus.h"
#include "cli/Fields.h"
#include "cli/Picture.h"
#include "cli/Sink.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <ostream>

struct TBatchOptions {
  std::string Input;                 // the CSV file; "-" reads standard input
  std::filesystem::path OutFolder;   // a folder, NAME.zip, or with Sheet NAME.pdf
  std::optional<TSheetLayout> Sheet; // label sheets
  std::string Caption;               // the column whose cells caption the codes on a sheet
  std::optional<TKind> Kind;         // for rows without a kind column (or with an empty one)
  TPictureRequest Picture;           // format, encoding, style, verify
  int Jobs = 1;
  bool Force = false;    // replace existing files
  bool Progress = false; // draw the progress bar on Err (a terminal)
  bool Durable = false;  // fsync every file before its rename (slow; see the README)
  // Set, by a signal handler for instance, to interrupt the batch: no further row is begun.
  const std::atomic<int>* Stop = nullptr;
};

// Runs the batch, reporting each failed row on Err in one line ("row 3 (line 4): reason").
// Answers kExitOk when every row was made, kExitFailed when any row failed or the manifest
// could not be written, kExitUsage when the batch could not start (unreadable input, no header,
// unknown columns, no kind, an existing manifest without Force, an output folder that cannot be
// made or that another batch is writing into), kExitInterrupted when Stop was set: the rows
// begun are finished, the manifest lists the rows made up to the first one not begun and ends
// with "interrupted after N of M rows read", and Err says "interrupted after N of M rows".
// The codes go where OutFolder says (see MakeSink): files in a folder, entries of one ZIP
// archive, or label sheets. Before the first row, temporary files a killed batch left in the
// folder are removed, and
// colours phones may not read are warned of (unless verifying, which fails such rows).
int RunBatch(const TBatchOptions& Options, std::ostream& Err);
