#include "cli/Batch.h"

#include "cli/Csv.h"
#include "cli/Manifest.h"
#include "platform/TextFile.h"
#include "platform/Unicode.h"
#include "render/Code.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

using TClock = std::chrono::steady_clock;

// A value quoted for a message: printable characters as they are, others as \xNN.
std::string Quoted(std::string_view Value) {
  std::string Out = "\"";
  for (const char C : Value.substr(0, 80)) {
    const unsigned char U = static_cast<unsigned char>(C);
    if (U < 0x20 || U == 0x7F) {
      char Hex[8];
      std::snprintf(Hex, sizeof Hex, "\\x%02X", U);
      Out += Hex;
    } else {
      Out += C;
    }
  }
  if (Value.size() > 80) Out += "...";
  return Out + "\"";
}

struct TJob {
  long long Row = 0;
  long long Line = 0;
  std::vector<std::string> Fields;
};

// The columns of the header, by role.
struct TColumns {
  int Kind = -1;
  int File = -1;
  int ECLevel = -1; // the ec column: L, M, Q or H for the row, empty for --ec
  int Boost = -1;   // the boost column: yes or no for the row, empty for --boost
  std::vector<std::pair<int, std::string>> Fields; // index, field name
  std::size_t Count = 0;
};

// The bounded queue between the reader and the workers.
class TJobQueue {
public:
  // Stop, when set, marks every job taken from then on as one not to begin.
  TJobQueue(std::size_t Capacity, const std::atomic<int>* Stop)
      : FCapacity(Capacity), FStop(Stop) {}
  void Push(TJob Job) {
    std::unique_lock Lock(FMutex);
    FNotFull.wait(Lock, [&] { return FJobs.size() < FCapacity; });
    FJobs.push_back(std::move(Job));
    FNotEmpty.notify_one();
  }
  // False when the queue is closed and empty. Stopped tells whether the batch was interrupted
  // before this job was taken: decided under the lock, so that the jobs begun are the first ones.
  bool Pop(TJob& Job, bool& Stopped) {
    std::unique_lock Lock(FMutex);
    FNotEmpty.wait(Lock, [&] { return !FJobs.empty() || FClosed; });
    if (FJobs.empty()) return false;
    Stopped = FStop && FStop->load() != 0;
    Job = std::move(FJobs.front());
    FJobs.pop_front();
    FNotFull.notify_one();
    return true;
  }
  void Close() {
    std::lock_guard Lock(FMutex);
    FClosed = true;
    FNotEmpty.notify_all();
  }

private:
  std::size_t FCapacity;
  const std::atomic<int>* FStop;
  std::mutex FMutex;
  std::condition_variable FNotFull, FNotEmpty;
  std::deque<TJob> FJobs;
  bool FClosed = false;
};

// Finished rows, waiting to be reported in row order.
class TResults {
public:
  void Put(TRowResult Result) {
    std::lock_guard Lock(FMutex);
    FDone.emplace(Result.Row, std::move(Result));
    FChanged.notify_all();
  }
  // Takes the finished rows that come next in order (Next upward), waiting up to Wait for one.
  std::vector<TRowResult> TakeInOrder(long long& Next, std::chrono::milliseconds Wait) {
    std::unique_lock Lock(FMutex);
    FChanged.wait_for(Lock, Wait, [&] { return FDone.count(Next) != 0; });
    std::vector<TRowResult> Out;
    for (auto It = FDone.find(Next); It != FDone.end(); It = FDone.find(Next)) {
      Out.push_back(std::move(It->second));
      FDone.erase(It);
      ++Next;
    }
    return Out;
  }

private:
  std::mutex FMutex;
  std::condition_variable FChanged;
  std::map<long long, TRowResult> FDone;
};

class TProgress {
public:
  // The rows lie between the bytes First and Total of the input (Total 0: not known).
  TProgress(std::ostream& Err, bool On, std::uint64_t First, std::uint64_t Total)
      : FErr(Err), FOn(On), FFirst(First), FTotal(Total), FStart(TClock::now()) {}
  // Rows are done, and they end at the byte Done of the input.
  void Update(long long Rows, std::uint64_t Done, bool Force = false) {
    if (!FOn) return;
    const auto Now = TClock::now();
    if (!Force && Now - FLast < std::chrono::milliseconds(100)) return;
    FLast = Now;
    const double Seconds = std::chrono::duration<double>(Now - FStart).count();
    const double Rate = Seconds > 0 ? static_cast<double>(Rows) / Seconds : 0;
    char Line[160];
    int N = std::snprintf(Line, sizeof Line, "\r\033[K%lld rows  %.0f rows/s", Rows, Rate);
    if (FTotal > FFirst && Done >= FFirst) {
      const double Part =
          std::min(1.0, static_cast<double>(Done - FFirst) / static_cast<double>(FTotal - FFirst));
      const int Filled = static_cast<int>(Part * 20);
      const double Left = Part > 0 ? Seconds * (1 - Part) / Part : 0;
      N += std::snprintf(Line + N, sizeof Line - static_cast<std::size_t>(N),
                         "  [%.*s%.*s] %3.0f%%  %d:%02d left", Filled, "####################",
                         20 - Filled, "                    ", Part * 100,
                         static_cast<int>(Left) / 60, static_cast<int>(Left) % 60);
    }
    FErr << Line << std::flush;
    FShown = true;
  }
  // Clears the bar so that a message can take the line.
  void Clear() {
    if (FOn && FShown) FErr << "\r\033[K" << std::flush;
    FShown = false;
  }
  void Finish() {
    if (FOn && FShown) FErr << "\n" << std::flush;
  }

private:
  std::ostream& FErr;
  bool FOn;
  std::uint64_t FFirst;
  std::uint64_t FTotal;
  TClock::time_point FStart;
  TClock::time_point FLast{};
  bool FShown = false;
};

// A row's result before it is made: no file yet, and with --verify not verified.
TRowResult RowResult(long long Row, long long Line, const TBatchOptions& Options,
                     std::string Error = {}) {
  TRowResult R;
  R.Row = Row;
  R.Line = Line;
  if (Options.Picture.Verify) R.Verified = "no";
  R.Error = std::move(Error);
  return R;
}

// The header row: kind, file and field names, every unknown name named at once. Empty, after
// saying why on Err, when the batch cannot start.
std::optional<TColumns> ReadColumns(TCsvReader& Reader, const TBatchOptions& Options,
                                    std::ostream& Err) {
  const char* Me = "marbeck-cli: ";
  TCsvRecord Record;
  std::string CsvError;
  const TCsvStatus HeaderStatus = Reader.Next(Record, CsvError);
  if (HeaderStatus == TCsvStatus::End) {
    Err << Me << Options.Input << ": no header row\n";
    return std::nullopt;
  }
  if (HeaderStatus == TCsvStatus::Error) {
    Err << Me << Options.Input << ": header (line " << Record.Line << "): " << CsvError << "\n";
    return std::nullopt;
  }

  TColumns Columns;
  Columns.Count = Record.Fields.size();
  std::vector<std::string> Unknown;
  std::set<std::string> Seen;
  for (std::size_t I = 0; I < Record.Fields.size(); ++I) {
    // Names are matched without regard to ASCII letter case, as file names' extensions are.
    const std::string& Name = Record.Fields[I];
    std::string_view Known;
    for (const std::string_view Special : {"kind", "file", "ec", "boost"})
      if (EqualIgnoringAsciiCase(Name, Special)) Known = Special;
    for (const TFieldInfo& Field : AllFields())
      if (EqualIgnoringAsciiCase(Name, Field.Name)) Known = Field.Name;
    if (!Seen.insert(Known.empty() ? Name : std::string(Known)).second) {
      Err << Me << Options.Input << ": column " << Quoted(Name) << " appears twice\n";
      return std::nullopt;
    }
    if (Known == "kind")
      Columns.Kind = static_cast<int>(I);
    else if (Known == "file")
      Columns.File = static_cast<int>(I);
    else if (Known == "ec")
      Columns.ECLevel = static_cast<int>(I);
    else if (Known == "boost")
      Columns.Boost = static_cast<int>(I);
    else if (!Known.empty())
      Columns.Fields.emplace_back(static_cast<int>(I), std::string(Known));
    else
      Unknown.push_back(Quoted(Name));
  }
  if (!Unknown.empty()) {
    Err << Me << Options.Input << ": unknown column" << (Unknown.size() > 1 ? "s " : " ");
    for (std::size_t I = 0; I < Unknown.size(); ++I)
      Err << (I ? ", " : "") << Unknown[I];
    Err << " (see marbeck-cli batch --help for the column names)\n";
    return std::nullopt;
  }
  if (Columns.Kind < 0 && !Options.Kind) {
    Err << Me << Options.Input << ": no kind column and no --kind\n";
    return std::nullopt;
  }
  Reader.SetExpectedFields(Columns.Count);
  return Columns;
}

// The output folder, locked (flock) for as long as the batch runs.
struct TFolderLock {
  bool Ok = false;
  int Fd = -1;
  TFolderLock() = default;
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;
  TFolderLock(TFolderLock&& Other) noexcept : Ok(Other.Ok), Fd(std::exchange(Other.Fd, -1)) {}
  ~TFolderLock() {
    if (Fd >= 0) ::close(Fd);
  }
};

// What a batch killed in Folder may have left: the temporary files of its codes
// (".NAME.png.XXXXXX", ".svg", ".pdf") and of its manifest (".manifest.csv.XXXXXX"). No name a
// batch writes, and no name the file column accepts, looks like these.
bool IsLeftOver(const std::string& Name) {
  if (Name.size() < 9 || Name[0] != '.' || Name[Name.size() - 7] != '.') return false;
  for (std::size_t I = Name.size() - 6; I < Name.size(); ++I)
    if (!std::isalnum(static_cast<unsigned char>(Name[I]))) return false;
  const std::string Target = Name.substr(1, Name.size() - 8);
  return Target == "manifest.csv" || FormatOfPath(Target).has_value();
}

// Makes the output folder, refuses an existing manifest without --force and a second batch
// running into the same folder, and removes the left-overs of a killed batch.
TFolderLock PrepareFolder(const TBatchOptions& Options, std::ostream& Err) {
  const char* Me = "marbeck-cli: ";
  const std::filesystem::path& Folder = Options.OutFolder;
  TFolderLock Lock;
  std::error_code Ec;
  std::filesystem::create_directories(Folder, Ec);
  if (!std::filesystem::is_directory(Folder)) {
    Err << Me << "cannot make the folder " << Folder.string() << ": "
        << (Ec ? Ec.message() : "not a folder") << "\n";
    return Lock;
  }
  if (!Options.Force && std::filesystem::exists(Folder / "manifest.csv", Ec)) {
    Err << Me << (Folder / "manifest.csv").string()
        << " exists (--force replaces it and the codes)\n";
    return Lock;
  }
  Lock.Fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Lock.Fd >= 0 && ::flock(Lock.Fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) {
      Err << Me << "another batch is writing into " << Folder.string() << "\n";
      return Lock;
    }
    ::close(std::exchange(Lock.Fd, -1)); // no locks here: nothing is known to be stale
  }
  Lock.Ok = true;
  if (Lock.Fd < 0) return Lock;
  for (const auto& Entry : std::filesystem::directory_iterator(Folder, Ec)) {
    if (IsLeftOver(Entry.path().filename().string()) && Entry.is_regular_file(Ec) &&
        !Entry.is_symlink(Ec))
      std::filesystem::remove(Entry.path(), Ec);
  }
  return Lock;
}

// Makes one row: its kind, its fields, its file name, the picture and the file.
TRowResult MakeRow(const TJob& Job, const TColumns& Columns, const TBatchOptions& Options) {
  TRowResult R = RowResult(Job.Row, Job.Line, Options);

  std::optional<TKind> Kind = Options.Kind;
  if (Columns.Kind >= 0 && !Job.Fields[static_cast<std::size_t>(Columns.Kind)].empty()) {
    const std::string& Name = Job.Fields[static_cast<std::size_t>(Columns.Kind)];
    R.Kind = Name;
    Kind = KindFromName(Name);
    if (!Kind) {
      R.Error = "unknown kind " + Quoted(Name) + " (text, url, email, vcard or wifi)";
      return R;
    }
  }
  if (!Kind) {
    R.Error = "no kind (the kind column is empty and --kind was not given)";
    return R;
  }
  R.Kind = std::string(KindName(*Kind));

  TOutputFormat Format = Options.Picture.Format;
  if (Columns.File >= 0) {
    const std::string& Name = Job.Fields[static_cast<std::size_t>(Columns.File)];
    R.File = Name;
    if (const std::string Why = CheckFileName(Name); !Why.empty()) {
      R.Error = Why;
      return R;
    }
    if (const std::optional<TOutputFormat> Named = FormatOfPath(Name))
      Format = *Named;
    else
      R.File += FormatExtension(Format);
    if (R.File.size() > 255) {
      R.Error = "file name longer than 255 bytes";
      return R;
    }
  } else {
    R.File = std::to_string(Job.Row) + std::string(FormatExtension(Format));
  }

  TFieldValues Values;
  for (const auto& [Index, Name] : Columns.Fields)
    Values.emplace(Name, Job.Fields[static_cast<std::size_t>(Index)]);
  const TPayloadResult Payload = MakePayload(*Kind, Values);
  if (!Payload.Error.empty()) {
    R.Error = Payload.Error;
    return R;
  }
  R.Warning = Payload.Warning;

  TPictureRequest Request = Options.Picture;
  Request.Format = Format;
  if (*Kind == TKind::VCard) Request.Encoding = VCardEncoding(Request.Encoding, Payload.Payload);
  if (Columns.ECLevel >= 0) {
    if (const std::string& Cell = Job.Fields[static_cast<std::size_t>(Columns.ECLevel)];
        !Cell.empty()) {
      const std::optional<TQRCodeECLevel> Level = ParseECLevel(Cell);
      if (!Level) {
        R.Error = "unknown error-correction level " + Quoted(Cell) + " (L, M, Q or H)";
        return R;
      }
      Request.ECLevel = *Level;
    }
  }
  if (Columns.Boost >= 0) {
    if (const std::string& Cell = Job.Fields[static_cast<std::size_t>(Columns.Boost)];
        !Cell.empty()) {
      const std::optional<bool> Boost = ParseSwitch(Cell);
      if (!Boost) {
        R.Error = "boost " + Quoted(Cell) + " is neither yes nor no";
        return R;
      }
      Request.Boost = *Boost;
    }
  }
  if (Request.Title.empty()) Request.Title = R.File;
  const TPicture Picture = MakePicture(Payload.Payload, Request);
  R.Version = Picture.Version;
  R.Level = Picture.Level;
  R.PayloadBytes = Picture.PayloadBytes;
  if (!Picture.Error.empty()) {
    R.Error = Picture.Error;
    return R;
  }
  if (Picture.Verified == TVerifyState::Failed) {
    R.Error = "not verified: " + Picture.VerifyReason;
    return R;
  }
  if (Picture.Verified == TVerifyState::Verified) R.Verified = "yes";

  TAtomicWrite How;
  How.HiddenTemp = true; // told apart from anyone else's files after a crash
  How.Durable = Options.Durable;
  How.Replace = Options.Force;
  const TWriteResult Written = WriteFileAtomic(Options.OutFolder / R.File, Picture.Bytes, How);
  if (!Written.Ok)
    R.Error = Written.Exists ? R.File + " exists (--force replaces it)"
                             : "cannot write " + R.File + ": " + Written.Error;
  return R;
}

} // namespace

int RunBatch(const TBatchOptions& Options, std::ostream& Err) {
  const char* Me = "marbeck-cli: ";
  // The input.
  std::ifstream File;
  std::istream* In = &std::cin;
  std::uint64_t TotalBytes = 0;
  if (Options.Input != "-") {
    std::error_code Ec;
    if (std::filesystem::is_directory(Options.Input, Ec)) {
      Err << Me << Options.Input << ": is a folder\n";
      return kExitUsage;
    }
    File.open(Options.Input, std::ios::binary);
    if (!File) {
      Err << Me << "cannot open " << Options.Input << ": " << std::strerror(errno) << "\n";
      return kExitUsage;
    }
    In = &File;
    if (std::filesystem::is_regular_file(Options.Input, Ec))
      TotalBytes = std::filesystem::file_size(Options.Input, Ec);
  }
  TCsvReader Reader(*In);
  const std::optional<TColumns> Header = ReadColumns(Reader, Options, Err);
  if (!Header) return kExitUsage;
  const TColumns& Columns = *Header;

  // The output folder, held against a second batch, cleared of what a killed one left.
  const TFolderLock Lock = PrepareFolder(Options, Err);
  if (!Lock.Ok) return kExitUsage;
  TManifest Manifest;
  std::string Error;
  if (!Manifest.Open(Options.OutFolder, Error)) {
    Err << Me << "cannot write in " << Options.OutFolder.string() << ": " << Error << "\n";
    return kExitUsage;
  }
  if (!Options.Picture.Verify) {
    if (const std::string Weak = ColourWarning(Options.Picture.Style); !Weak.empty())
      Err << Me << "warning: " << Weak << "\n";
  }
  auto Stopped = [&] { return Options.Stop && Options.Stop->load() != 0; };

  // The workers.
  const int Jobs = std::max(1, Options.Jobs);
  TJobQueue Queue(static_cast<std::size_t>(Jobs) * 4, Options.Stop);
  TResults Results;
  std::vector<std::thread> Workers;
  for (int I = 0; I < Jobs; ++I)
    Workers.emplace_back([&] {
      TJob Job;
      bool Skip = false;
      while (Queue.Pop(Job, Skip)) {
        if (Skip) { // interrupted: the rows not yet begun are not made
          TRowResult R = RowResult(Job.Row, Job.Line, Options);
          R.Skipped = true;
          Results.Put(std::move(R));
          continue;
        }
        TRowResult R;
        try {
          R = MakeRow(Job, Columns, Options);
        } catch (const std::exception& E) {
          R = RowResult(Job.Row, Job.Line, Options, std::string("internal error: ") + E.what());
        }
        Results.Put(std::move(R));
      }
    });

  // Reading, and reporting in row order. The reader stays at most Window rows ahead of the
  // oldest row not yet reported. Once interrupted, it reads no further, and the manifest ends
  // with the last row made before the first row left undone.
  const long long Window = static_cast<long long>(Jobs) * 64;
  TProgress Progress(Err, Options.Progress, Reader.BytesRead(), TotalBytes);
  std::deque<std::uint64_t> RowEnds; // where each row not yet reported ends in the input
  long long NextToReport = 1, Failed = 0, Made = 0;
  bool Undone = false;
  std::uint64_t DoneBytes = Reader.BytesRead();
  auto Report = [&](std::chrono::milliseconds Wait) {
    const long long First = NextToReport;
    for (TRowResult& R : Results.TakeInOrder(NextToReport, Wait)) {
      Undone = Undone || R.Skipped;
      if (Undone) continue;
      Manifest.Add(R);
      if (R.Error.empty()) {
        ++Made;
        if (!R.Warning.empty()) {
          Progress.Clear();
          Err << Me << "row " << R.Row << " (line " << R.Line << "): warning: " << R.Warning
              << "\n";
        }
      } else {
        ++Failed;
        Progress.Clear();
        Err << Me << "row " << R.Row << " (line " << R.Line << "): " << R.Error << "\n";
      }
    }
    if (NextToReport == First) return;
    const std::uint64_t Done = RowEnds[static_cast<std::size_t>(NextToReport - First - 1)];
    RowEnds.erase(RowEnds.begin(), RowEnds.begin() + (NextToReport - First));
    if (Undone) return;
    DoneBytes = Done;
    Progress.Update(NextToReport - 1, Done);
  };

  long long Row = 0;
  TCsvRecord Record;
  std::string CsvError;
  while (!Stopped()) {
    const TCsvStatus Status = Reader.Next(Record, CsvError);
    if (Status == TCsvStatus::End) break;
    ++Row;
    RowEnds.push_back(Reader.BytesRead());
    if (Status == TCsvStatus::Error)
      Results.Put(RowResult(Row, Record.Line, Options, CsvError));
    else
      Queue.Push(TJob{Row, Record.Line, std::move(Record.Fields)});
    Report(std::chrono::milliseconds(0));
    while (Row - NextToReport >= Window)
      Report(std::chrono::milliseconds(50));
  }
  const bool ReadFailed = In->bad();
  Queue.Close();
  while (NextToReport <= Row)
    Report(std::chrono::milliseconds(50));
  for (std::thread& W : Workers)
    W.join();
  Progress.Update(Made + Failed, DoneBytes, true);
  Progress.Finish();

  const bool Interrupted = Stopped();
  if (Interrupted)
    Manifest.AddNote("interrupted after " + std::to_string(Made + Failed) + " of " +
                     std::to_string(Row) + " rows read");
  int Status = Interrupted ? kExitInterrupted : Failed ? kExitRowsFailed : kExitOk;
  if (ReadFailed) {
    Err << Me << Options.Input << ": read error after row " << Row << "\n";
    if (!Interrupted) Status = kExitRowsFailed;
  }
  if (!Manifest.Finish(Options.Force, Error)) {
    Err << Me << "cannot write " << (Options.OutFolder / "manifest.csv").string() << ": " << Error
        << "\n";
    if (!Interrupted) Status = kExitRowsFailed;
  }
  if (Interrupted)
    Err << Me << "interrupted after " << Made + Failed << " of " << Row << " rows\n";
  else if (Options.Progress)
    Err << Me << Made << " made, " << Failed << " failed, manifest in "
        << (Options.OutFolder / "manifest.csv").string() << "\n";
  Err.flush();
  return Status;
}
