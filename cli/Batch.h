// marbeck-cli batch: one code per row of a CSV file, made on worker threads while the file is
// read as a stream, written atomically into the output folder, with manifest.csv at the end.
//
// Memory stays flat however long the input is: the reader hands rows to a bounded queue, and
// it reads no further ahead than a fixed window of rows past the oldest row not yet reported,
// so results wait in order for at most that window.
#pragma once

#include "cli/Fields.h"
#include "cli/Picture.h"

#include <filesystem>
#include <optional>
#include <ostream>

struct TBatchOptions {
  std::string Input; // the CSV file; "-" reads standard input
  std::filesystem::path OutFolder;
  std::optional<TKind> Kind; // for rows without a kind column (or with an empty one)
  TPictureRequest Picture;   // format, encoding, style, verify
  int Jobs = 1;
  bool Force = false;    // replace existing files
  bool Progress = false; // draw the progress bar on Err (a terminal)
  bool Durable = false;  // fsync every file before its rename (slow; see the README)
};

// Exit statuses, as --help and the man page list them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRowsFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNotVerified = 3;

// Runs the batch, reporting each failed row on Err in one line ("row 3 (line 4): reason").
// Answers kExitOk when every row was made, kExitRowsFailed when any row failed or the manifest
// could not be written, kExitUsage when the batch could not start (unreadable input, no header,
// unknown columns, no kind, an existing manifest without Force, an output folder that cannot be
// made).
int RunBatch(const TBatchOptions& Options, std::ostream& Err);
