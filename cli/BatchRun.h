// marbeck-cli batch on a terminal: runs the batch engine with the command line's message prefix,
// draws its progress bar on standard error from the engine's counters, and maps the engine's
// outcome to the exit statuses.
#pragma once

#include "batch/Batch.h"

#include <ostream>

// The exit status of an outcome (cli/ExitStatus.h).
int ExitStatusOf(TBatchOutcome Outcome);

// Runs the batch with Options (their Program and ColumnHelp set to marbeck-cli's), its messages on
// Err. With Bar, a line on Err redrawn as rows are done (at most ten times a second) shows the rows
// done, the rate and, for an input of known size, the share done and the time left; a message takes
// the bar's line and the bar comes back under it; at the end the last frame, a line break and "N
// made, M failed, manifest in PLACE". Answers the exit status.
int RunBatchWithBar(TBatchOptions Options, bool Bar, std::ostream& Err);
