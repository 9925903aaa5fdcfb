// The exit statuses of marbeck-cli, as --help and the man page list them.
#pragma once

inline constexpr int kExitOk = 0;
// A code could not be made or written (a batch: at least one row failed).
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNotVerified = 3;
inline constexpr int kExitInterrupted = 130; // as a shell reports a command ended by SIGINT

inline constexpr char kExitStatuses[] = R"(Exit status:
  0  every code was made
  1  a code could not be made or written (a batch: at least one row failed; the others
     were made and manifest.csv says which)
  2  usage error: unknown option or column, missing field, bad value, unreadable input
  3  --verify: the picture did not read back as exactly the payload's bytes, or its
     colours fail the contrast check (nothing is written)
130  a batch interrupted by SIGINT or SIGTERM (manifest.csv lists the rows made))";
