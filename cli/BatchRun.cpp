#include "cli/BatchRun.h"

#include "cli/ExitStatus.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <streambuf>
#include <string>

namespace {

using TClock = std::chrono::steady_clock;

// Standard error shared by the engine's messages and the bar: whole lines are passed on, each
// after the bar's line is cleared, so that a message never lands inside a frame. (The lock keeps
// this true for a caller drawing from another thread.)
class TBarLines final : public std::streambuf {
public:
  explicit TBarLines(std::ostream& Out) : FOut(Out) {}
  // Draws Frame on the bar's line (under the lock the messages take).
  void Draw(const std::string& Frame) {
    const std::lock_guard Guard(FLock);
    FOut << Frame << std::flush;
    FShown = true;
  }
  // Ends the bar's line, when one is shown.
  void Finish() {
    const std::lock_guard Guard(FLock);
    if (FShown) FOut << "\n" << std::flush;
    FShown = false;
  }

protected:
  int_type overflow(int_type C) override {
    if (C == traits_type::eof()) return traits_type::not_eof(C);
    FLine += traits_type::to_char_type(C);
    if (C == '\n') PassLine();
    return C;
  }
  std::streamsize xsputn(const char* Text, std::streamsize Count) override {
    for (std::streamsize I = 0; I < Count; ++I)
      overflow(traits_type::to_int_type(Text[I]));
    return Count;
  }
  int sync() override {
    if (!FLine.empty()) PassLine();
    return 0;
  }

private:
  void PassLine() {
    const std::lock_guard Guard(FLock);
    if (FShown) FOut << "\r\033[K";
    FShown = false;
    FOut << FLine << std::flush;
    FLine.clear();
  }

  std::ostream& FOut;
  std::mutex FLock;
  std::string FLine;
  bool FShown = false;
};

// One frame of the bar: "\r\033[K12 rows  840 rows/s  [####      ]  20%  0:03 left".
std::string Frame(const TBatchProgress& Progress, TClock::time_point Start) {
  const TBatchProgress::TDone Done = Progress.Done();
  const long long Rows = Done.Made + Done.Failed;
  const double Seconds = std::chrono::duration<double>(TClock::now() - Start).count();
  const double Rate = Seconds > 0 ? static_cast<double>(Rows) / Seconds : 0;
  char Line[160];
  int N = std::snprintf(Line, sizeof Line, "\r\033[K%lld rows  %.0f rows/s", Rows, Rate);
  if (const std::uint64_t All = Progress.InputBytesAll.load(); All > 0) {
    const double Part =
        std::min(1.0, static_cast<double>(Done.InputBytes) / static_cast<double>(All));
    const int Filled = static_cast<int>(Part * 20);
    const double Left = Part > 0 ? Seconds * (1 - Part) / Part : 0;
    N += std::snprintf(Line + N, sizeof Line - static_cast<std::size_t>(N),
                       "  [%.*s%.*s] %3.0f%%  %d:%02d left", Filled, "####################",
                       20 - Filled, "                    ", Part * 100, static_cast<int>(Left) / 60,
                       static_cast<int>(Left) % 60);
  }
  return Line;
}

} // namespace

int ExitStatusOf(TBatchOutcome Outcome) {
  switch (Outcome) {
  case TBatchOutcome::Done:
    return kExitOk;
  case TBatchOutcome::RowsFailed:
    return kExitFailed;
  case TBatchOutcome::CannotStart:
    return kExitUsage;
  case TBatchOutcome::Interrupted:
    return kExitInterrupted;
  }
  return kExitFailed;
}

int RunBatchWithBar(TBatchOptions Options, bool Bar, std::ostream& Err) {
  Options.Program = "marbeck-cli: ";
  Options.ColumnHelp = " (see marbeck-cli batch --help for the column names)";
  if (!Bar) return ExitStatusOf(RunBatch(Options, Err).Outcome);

  TBatchProgress Progress;
  Options.Progress = &Progress;
  TBarLines Lines(Err);
  std::ostream Shared(&Lines);
  const TClock::time_point Start = TClock::now();
  TClock::time_point Last{};
  // A frame as rows are reported, at most ten a second; the engine reports on this thread.
  const std::function<void(const TRowResult&)> Caller = Options.OnRow;
  Options.OnRow = [&](const TRowResult& Row) {
    if (Caller) Caller(Row);
    if (const TClock::time_point Now = TClock::now();
        Now - Last >= std::chrono::milliseconds(100)) {
      Last = Now;
      Lines.Draw(Frame(Progress, Start));
    }
  };
  const TBatchResult Result = RunBatch(Options, Shared);
  Shared.flush();
  if (Result.Outcome != TBatchOutcome::CannotStart) {
    Lines.Draw(Frame(Progress, Start));
    Lines.Finish();
    if (Result.Outcome != TBatchOutcome::Interrupted)
      Err << Options.Program << Result.Made << " made, " << Result.Failed << " failed, manifest in "
          << Result.Manifest.string() << "\n";
  }
  Err.flush();
  return ExitStatusOf(Result.Outcome);
}
