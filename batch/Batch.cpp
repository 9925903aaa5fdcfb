#include "batch/Batch.h"

#include "batch/Csv.h"
#include "batch/Sink.h"
#include "platform/TextFile.h"
#include "platform/Unicode.h"
#include "render/Code.h"
#include "render/Logo.h"

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
#include <poll.h>
#include <set>
#include <sstream>
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

// The CSV input as a file descriptor, its bytes handed over as they arrive (rows piped in slowly
// are made at once), and a set Stop ending the reading within a tenth of a second however long
// a pipe stays silent or an input runs on.
class TInput {
public:
  TInput(int Fd, bool Owned, const std::atomic<int>* Stop) : FFd(Fd), FOwned(Owned), FStop(Stop) {}
  TInput(const TInput&) = delete;
  TInput& operator=(const TInput&) = delete;
  ~TInput() {
    if (FOwned && FFd >= 0) ::close(FFd);
  }
  TCsvSource Source() {
    return [this](char* Into, std::size_t Size) { return Read(Into, Size); };
  }
  bool Failed() const { return FFailed; }
  // Called whenever the input has nothing to hand over at once (a pipe waiting for its writer),
  // and then about ten times a second while it stays silent: the rows read so far can go on.
  void SetIdle(std::function<void()> Idle) { FIdle = std::move(Idle); }

private:
  long long Read(char* Into, std::size_t Size) {
    for (;;) {
      if (FStop && FStop->load() != 0) return kCsvStopped;
      pollfd Wait{FFd, POLLIN, 0};
      int Ready = ::poll(&Wait, 1, 0);
      if (Ready == 0) {
        if (FIdle) FIdle();
        Ready = ::poll(&Wait, 1, 100);
      }
      if (Ready < 0 && errno != EINTR) break;
      if (Ready <= 0) continue;
      const ssize_t Got = ::read(FFd, Into, Size);
      if (Got >= 0) return Got;
      if (errno != EINTR && errno != EAGAIN) break;
    }
    FFailed = true;
    return kCsvStopped;
  }

  int FFd;
  bool FOwned;
  const std::atomic<int>* FStop;
  bool FFailed = false;
  std::function<void()> FIdle;
};

// Rows held as text, handed over as a file's bytes would be, a set Stop ending the reading.
TCsvSource TextSource(const std::string& Text, const std::atomic<int>* Stop) {
  return [&Text, Stop, At = std::size_t{0}](char* Into, std::size_t Size) mutable -> long long {
    if (Stop && Stop->load() != 0) return kCsvStopped;
    const std::size_t Count = std::min(Size, Text.size() - At);
    std::memcpy(Into, Text.data() + At, Count);
    At += Count;
    return static_cast<long long>(Count);
  };
}

struct TJob {
  long long Row = 0;
  long long Line = 0;
  std::vector<std::string> Fields;
  std::string Error; // the reader's: the row is malformed and is not made
};

// Rows travel between the reader, the workers and the writer in chunks of consecutive rows, so
// that waking a thread is paid once for many rows rather than for each one.
using TChunk = std::vector<TJob>;
using TMadeChunk = std::vector<TRowOutput>;
inline constexpr std::size_t kMaxChunkRows = 64;
// The work a chunk holds, by the workers' time a row so far: enough that a thread's wake-up is
// small beside it, little enough that two workers end together and a slow row does not hold up
// the report.
inline constexpr double kChunkNanoseconds = 4e6;

// Which rows are begun once Stop is set: the rows begun must be the first ones, with no gap, for
// the manifest to say where the batch stopped. One word holds the highest row begun and whether
// the batch is stopped; once stopped, that row is frozen: every row before it is still made
// (workers are finishing their chunks), every row after it is not begun.
class TBeginGate {
public:
  explicit TBeginGate(const std::atomic<int>* Stop) : FStop(Stop) {}
  bool Begin(long long Row) {
    long long Word = FWord.load();
    for (;;) {
      if (Word & 1) return Row < (Word >> 1);
      const long long Next = FStop && FStop->load() != 0 ? Word | 1 : std::max(Word >> 1, Row) << 1;
      if (FWord.compare_exchange_weak(Word, Next)) {
        if (!(Next & 1)) return true;
        Word = Next;
      }
    }
  }

private:
  const std::atomic<int>* FStop;
  std::atomic<long long> FWord{0};
};

// The columns of the header, by role.
struct TColumns {
  int Kind = -1;
  int File = -1;
  int ECLevel = -1;  // the ec column: L, M, Q or H for the row, empty for --ec
  int Boost = -1;    // the boost column: yes or no for the row, empty for --boost
  int Encoding = -1; // the encoding column: an --encoding name for the row, empty for --encoding
  int Caption = -1;  // the column --caption names (any column, known or not)
  // The design columns (logo, logo-size, shape, finder-shape, finder-color) in the order of
  // kDesignColumns; empty cells keep the options' design.
  int Design[5] = {-1, -1, -1, -1, -1};
  std::vector<std::pair<int, std::string>> Fields; // index, field name
  std::vector<std::string> Names;                  // every column's name as the header gives it
  std::size_t Count = 0;
};

// The design columns and the part of the design each one sets.
const std::pair<std::string_view, std::string TDesignText::*> kDesignColumns[5] = {
    {"logo", &TDesignText::Logo},
    {"logo-size", &TDesignText::LogoSize},
    {"shape", &TDesignText::Shape},
    {"finder-shape", &TDesignText::FinderShape},
    {"finder-color", &TDesignText::FinderColor},
};

// The logos the rows name, each file read once however many rows use it. A logo column's path is
// taken relative to the CSV file's folder (the current folder for standard input), or to
// --logo-dir, and must name a readable file inside that folder, symbolic links resolved: a CSV
// from elsewhere cannot draw other files into its codes. Every path refused for where it leads
// gets one message, whether the file is missing, unreadable or outside, so that the messages tell
// nothing of files outside. At most kKept files are kept (a few megabytes each at most); a batch
// naming more reads them again.
class TLogoCache {
public:
  TLogoCache(const std::string& Input, const std::filesystem::path& LogoFolder)
      : FFolder(!LogoFolder.empty() ? LogoFolder
                : Input == "-"      ? std::filesystem::path(".")
                                    : std::filesystem::path(Input).parent_path()),
        FRefusal(LogoFolder.empty() ? "no readable file of that name in the CSV file's folder"
                                    : "no readable file of that name in --logo-dir") {
    if (FFolder.empty()) FFolder = ".";
    std::error_code Ec;
    FRoot = std::filesystem::canonical(FFolder, Ec);
  }
  TLogoLoad Load(const std::string& Name) {
    const std::optional<std::filesystem::path> Path = Inside(Name);
    if (!Path) return TLogoLoad{nullptr, PlainUtf8(FRefusal)};
    const std::string Key = Path->string();
    {
      const std::lock_guard Guard(FLock);
      if (const auto It = FLogos.find(Key); It != FLogos.end()) return It->second;
    }
    TLogoLoad Load = LoadLogo(QString::fromStdString(Key));
    const std::lock_guard Guard(FLock);
    if (FLogos.size() >= kKept) FLogos.clear();
    FLogos.emplace(Key, Load);
    return Load;
  }

private:
  // The file Name leads to, when it is a readable file inside the folder.
  std::optional<std::filesystem::path> Inside(const std::string& Name) const {
    const std::filesystem::path Relative(Name);
    if (FRoot.empty() || Relative.empty() || Relative.is_absolute() ||
        Name.find('\\') != std::string::npos)
      return std::nullopt;
    std::error_code Ec;
    const std::filesystem::path Real = std::filesystem::canonical(FFolder / Relative, Ec);
    if (Ec) return std::nullopt;
    const auto Mismatch = std::mismatch(FRoot.begin(), FRoot.end(), Real.begin(), Real.end());
    if (Mismatch.first != FRoot.end() || !std::filesystem::is_regular_file(Real, Ec) ||
        ::access(Real.c_str(), R_OK) != 0)
      return std::nullopt;
    return Real;
  }

  static constexpr std::size_t kKept = 16;
  std::filesystem::path FFolder;
  std::filesystem::path FRoot; // the folder, its links resolved (empty: it does not exist)
  std::string FRefusal;
  std::mutex FLock;
  std::map<std::string, TLogoLoad> FLogos;
};

// The bounded queue of chunks between the reader and the workers.
class TJobQueue {
public:
  explicit TJobQueue(std::size_t Capacity) : FCapacity(Capacity) {}
  void Push(TChunk Chunk) {
    std::unique_lock Lock(FMutex);
    FNotFull.wait(Lock, [&] { return FChunks.size() < FCapacity; });
    FChunks.push_back(std::move(Chunk));
    FNotEmpty.notify_one();
  }
  // False when the queue is closed and empty.
  bool Pop(TChunk& Chunk) {
    std::unique_lock Lock(FMutex);
    FNotEmpty.wait(Lock, [&] { return !FChunks.empty() || FClosed; });
    if (FChunks.empty()) return false;
    Chunk = std::move(FChunks.front());
    FChunks.pop_front();
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
  std::mutex FMutex;
  std::condition_variable FNotFull, FNotEmpty;
  std::deque<TChunk> FChunks;
  bool FClosed = false;
};

// Finished chunks, waiting to be reported in row order.
class TResults {
public:
  void Put(TMadeChunk Chunk) {
    if (Chunk.empty()) return;
    std::lock_guard Lock(FMutex);
    const long long First = Chunk.front().Result.Row;
    FDone.emplace(First, std::move(Chunk));
    FChanged.notify_all();
  }
  // Takes the finished rows that come next in order (Next upward), waiting up to Wait for them.
  std::vector<TMadeChunk> TakeInOrder(long long& Next, std::chrono::milliseconds Wait) {
    std::unique_lock Lock(FMutex);
    // No wait at all when none is asked for: even a wait already timed out enters the kernel.
    if (Wait.count() > 0) FChanged.wait_for(Lock, Wait, [&] { return FDone.count(Next) != 0; });
    std::vector<TMadeChunk> Out;
    for (auto It = FDone.find(Next); It != FDone.end(); It = FDone.find(Next)) {
      Next += static_cast<long long>(It->second.size());
      Out.push_back(std::move(It->second));
      FDone.erase(It);
    }
    return Out;
  }

private:
  std::mutex FMutex;
  std::condition_variable FChanged;
  std::map<long long, TMadeChunk> FDone;
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
  const std::string& Me = Options.Program;
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
  Columns.Names = Record.Fields;
  std::vector<std::string> Unknown;
  std::set<std::string> Seen;
  for (std::size_t I = 0; I < Record.Fields.size(); ++I) {
    // Names are matched without regard to ASCII letter case, as file names' extensions are; a
    // mapped header stands for the column it is mapped to, or for none.
    const std::string& Name = Record.Fields[I];
    const auto Mapped = Options.Columns.find(Name);
    const bool Ignored = Mapped != Options.Columns.end() && Mapped->second.empty();
    const std::string_view Known =
        Ignored ? std::string_view()
                : BatchColumnName(Mapped != Options.Columns.end() ? Mapped->second : Name)
                      .value_or(std::string_view());
    if (Mapped != Options.Columns.end() && !Ignored && Known.empty()) {
      Err << Me << Options.Input << ": column " << Quoted(Name) << " is mapped to "
          << Quoted(Mapped->second) << ", which is no column of a batch\n";
      return std::nullopt;
    }
    const bool Captions = !Options.Caption.empty() && EqualIgnoringAsciiCase(Name, Options.Caption);
    if (Captions) Columns.Caption = static_cast<int>(I);
    if (Ignored) continue;
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
    else if (Known == "encoding")
      Columns.Encoding = static_cast<int>(I);
    else if (const auto* Design = std::find_if(
                 std::begin(kDesignColumns), std::end(kDesignColumns),
                 [Known](const auto& Column) { return !Known.empty() && Column.first == Known; });
             Design != std::end(kDesignColumns))
      Columns.Design[Design - std::begin(kDesignColumns)] = static_cast<int>(I);
    else if (!Known.empty())
      Columns.Fields.emplace_back(static_cast<int>(I), std::string(Known));
    else if (!Captions)
      Unknown.push_back(Quoted(Name));
  }
  if (!Unknown.empty()) {
    Err << Me << Options.Input << ": unknown column" << (Unknown.size() > 1 ? "s " : " ");
    for (std::size_t I = 0; I < Unknown.size(); ++I)
      Err << (I ? ", " : "") << Unknown[I];
    Err << Options.ColumnHelp << "\n";
    return std::nullopt;
  }
  if (!Options.Caption.empty() && Columns.Caption < 0) {
    Err << Me << Options.Input << ": no column " << Quoted(Options.Caption) << " for --caption\n";
    return std::nullopt;
  }
  if (Columns.Kind < 0 && !Options.Kind) {
    Err << Me << Options.Input << ": no kind column and no --kind\n";
    return std::nullopt;
  }
  Reader.SetExpectedFields(Columns.Count);
  return Columns;
}

// The row's kind: its kind column, else --kind; nothing after setting R.Error.
std::optional<TKind> RowKind(const TJob& Job, const TColumns& Columns, const TBatchOptions& Options,
                             TRowResult& R) {
  std::optional<TKind> Kind = Options.Kind;
  if (Columns.Kind >= 0 && !Job.Fields[static_cast<std::size_t>(Columns.Kind)].empty()) {
    const std::string& Name = Job.Fields[static_cast<std::size_t>(Columns.Kind)];
    R.Kind = Name;
    Kind = KindFromName(Name);
    if (!Kind) {
      R.Error = "unknown kind " + Quoted(Name) +
                " (text, url, email, vcard, wifi, phone, sms, geo, event or pay)";
      return std::nullopt;
    }
  }
  if (!Kind) {
    R.Error = "no kind (the kind column is empty and --kind was not given)";
    return std::nullopt;
  }
  R.Kind = std::string(KindName(*Kind));
  return Kind;
}

// The row's file name in R.File and its format: the file column (whose extension may choose the
// format), else, or when its cell is empty, the row number; nothing after setting R.Error. A sheet
// writes no file of a row: its cells are not file names there.
std::optional<TOutputFormat> RowFile(const TJob& Job, const TColumns& Columns,
                                     const TBatchOptions& Options, TRowResult& R) {
  TOutputFormat Format = Options.Picture.Format;
  if (Columns.File < 0 || Options.Sheet ||
      Job.Fields[static_cast<std::size_t>(Columns.File)].empty()) {
    R.File = std::to_string(Job.Row) + std::string(FormatExtension(Format));
    return Format;
  }
  const std::string& Name = Job.Fields[static_cast<std::size_t>(Columns.File)];
  R.File = Name;
  if (const std::string Why = CheckFileName(Name); !Why.empty()) {
    R.Error = Why;
    return std::nullopt;
  }
  if (const std::optional<TOutputFormat> Named = FormatOfPath(Name))
    Format = *Named;
  else
    R.File += FormatExtension(Format);
  if (R.File.size() > 255) {
    R.Error = "file name longer than 255 bytes";
    return std::nullopt;
  }
  return Format;
}

// The row's own encoding column applied to Request (before the vCard rule, which reads the
// choice); false after setting R.Error.
bool ApplyRowEncoding(const TJob& Job, const TColumns& Columns, TPictureRequest& Request,
                      TRowResult& R) {
  if (Columns.Encoding < 0) return true;
  const std::string& Cell = Job.Fields[static_cast<std::size_t>(Columns.Encoding)];
  if (Cell.empty()) return true;
  const std::optional<TQRCodeEncoding> Encoding = ParseEncoding(Cell);
  if (!Encoding) {
    R.Error = "unknown encoding " + Quoted(Cell) + " (see --encoding)";
    return false;
  }
  Request.Encoding = *Encoding;
  return true;
}

// The row's own level, boost and design columns applied to Request; false after setting R.Error.
bool ApplyRowColumns(const TJob& Job, const TColumns& Columns, TLogoCache& Logos,
                     TPictureRequest& Request, TRowResult& R) {
  if (Columns.ECLevel >= 0) {
    if (const std::string& Cell = Job.Fields[static_cast<std::size_t>(Columns.ECLevel)];
        !Cell.empty()) {
      const std::optional<TQRCodeECLevel> Level = ParseECLevel(Cell);
      if (!Level) {
        R.Error = "unknown error-correction level " + Quoted(Cell) + " (L, M, Q or H)";
        return false;
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
        return false;
      }
      Request.Boost = *Boost;
    }
  }
  TDesignText Design;
  for (std::size_t I = 0; I < std::size(kDesignColumns); ++I)
    if (Columns.Design[I] >= 0)
      Design.*kDesignColumns[I].second = Job.Fields[static_cast<std::size_t>(Columns.Design[I])];
  R.Error = ApplyDesign(
      Design, "", [&Logos](const std::string& Name) { return Logos.Load(Name); }, Request.Style);
  return R.Error.empty();
}

// Makes one row: its kind, its fields, its file name, the picture, and hands it to the sink.
TRowOutput MakeRow(const TJob& Job, const TColumns& Columns, const TBatchOptions& Options,
                   TBatchSink& Sink, TLogoCache& Logos) {
  TRowOutput Out;
  Out.Result = RowResult(Job.Row, Job.Line, Options);
  TRowResult& R = Out.Result;
  if (Columns.Caption >= 0) Out.Caption = Job.Fields[static_cast<std::size_t>(Columns.Caption)];
  // A NUL byte ends the text for many phones and shows as nothing for others: no cell holds one.
  for (std::size_t I = 0; I < Job.Fields.size(); ++I)
    if (const std::size_t At = Job.Fields[I].find('\0'); At != std::string::npos) {
      R.Error = "column " + Quoted(Columns.Names[I]) + " holds a NUL byte at byte " +
                std::to_string(At + 1) + " (phones cut the text there)";
      return Out;
    }

  const std::optional<TKind> Kind = RowKind(Job, Columns, Options, R);
  if (!Kind) return Out;
  const std::optional<TOutputFormat> Format = RowFile(Job, Columns, Options, R);
  if (!Format) return Out;

  TFieldValues Values;
  for (const auto& [Index, Name] : Columns.Fields) {
    // The captions' column may bear a field's name (label, name): in a row of a kind without
    // that field it holds the caption only.
    if (Index == Columns.Caption && !FindField(Name)->Of(*Kind)) continue;
    Values.emplace(Name, Job.Fields[static_cast<std::size_t>(Index)]);
  }
  const TPayloadResult Payload = MakePayload(*Kind, Values);
  if (!Payload.Error.empty()) {
    R.Error = Payload.Error;
    return Out;
  }
  R.Warning = Payload.Warning;

  TPictureRequest Request = Options.Picture;
  Request.Format = *Format;
  if (!ApplyRowEncoding(Job, Columns, Request, R)) return Out;
  Request.Encoding = KindEncoding(*Kind, Request.Encoding, Payload.Payload);
  if (!ApplyRowColumns(Job, Columns, Logos, Request, R)) return Out;
  // A payment is made at level M at least, whatever the row or --ec asks.
  Request.ECLevel = std::max(Request.ECLevel, static_cast<TQRCodeECLevel>(Payload.LowestLevel));
  if (Request.Title.empty()) Request.Title = R.File;
  Request.GridOnly = Sink.WantsGrid();
  Out.Picture = MakePicture(Payload.Payload, Request);
  const TPicture& Picture = Out.Picture;
  R.Version = Picture.Version;
  R.Level = Picture.Level;
  R.PayloadBytes = Picture.PayloadBytes;
  if (!Picture.Error.empty()) {
    R.Error = Picture.Error;
    return Out;
  }
  if (FailedVerify(Picture)) {
    R.Error = NotVerifiedMessage(Picture);
    return Out;
  }
  if (Picture.Verdict) R.Verified = "yes";
  // Colours of the row's own design phones may not read (a finder-color cell); the options'
  // colours were warned of once, before the first row.
  if (!Picture.Warning.empty() && Picture.Warning != ColourWarning(Options.Picture.Style))
    R.Warning += (R.Warning.empty() ? "" : "; ") + Picture.Warning;

  Out.Bytes = Picture.Bytes.size();
  Sink.TakeOnWorker(Out);
  return Out;
}

// The input: the CSV file, or standard input for "-", as a file descriptor (-1, after saying why
// on Err, when it cannot be read); its size in TotalBytes when it has one.
int OpenInput(const TBatchOptions& Options, std::uint64_t& TotalBytes, std::ostream& Err) {
  TotalBytes = 0;
  if (Options.Input == "-") return STDIN_FILENO;
  std::error_code Ec;
  if (std::filesystem::is_directory(Options.Input, Ec)) {
    Err << Options.Program << Options.Input << ": is a folder\n";
    return -1;
  }
  const int Fd = ::open(Options.Input.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0) {
    Err << Options.Program << "cannot open " << Options.Input << ": " << std::strerror(errno)
        << "\n";
    return -1;
  }
  if (std::filesystem::is_regular_file(Options.Input, Ec))
    TotalBytes = std::filesystem::file_size(Options.Input, Ec);
  return Fd;
}

// The input the options name, opened for the reader: the text held in memory, or the file (or
// standard input) read as it arrives. Not Ok, after saying why on Err, when it cannot be read.
class TBatchInput {
public:
  TBatchInput(const TBatchOptions& Options, std::ostream& Err) {
    if (Options.InputText) {
      FReader.emplace(TextSource(*Options.InputText, Options.Stop));
      FTotal = Options.InputText->size();
    } else {
      const int Fd = OpenInput(Options, FTotal, Err);
      if (Fd < 0) return;
      FFile.emplace(Fd, Fd != STDIN_FILENO, Options.Stop);
      FReader.emplace(FFile->Source());
    }
    FReader->SetSeparator(Options.Separator);
  }
  bool Ok() const { return FReader.has_value(); }
  TCsvReader& Reader() { return *FReader; }
  bool Failed() const { return FFile && FFile->Failed(); }
  void SetIdle(std::function<void()> Idle) {
    if (FFile) FFile->SetIdle(std::move(Idle));
  }
  std::uint64_t TotalBytes() const { return FTotal; }

private:
  std::optional<TInput> FFile;
  std::optional<TCsvReader> FReader;
  std::uint64_t FTotal = 0;
};

// The output the options ask for.
std::unique_ptr<TBatchSink> SinkFor(const TBatchOptions& Options, const TColumns& Columns) {
  TSinkOptions Where;
  Where.Out = Options.OutFolder;
  Where.Sheet = Options.Sheet;
  Where.Captions = Columns.Caption >= 0;
  Where.Style = Options.Picture.Style;
  Where.Force = Options.Force;
  Where.Durable = Options.Durable;
  Where.Program = Options.Program;
  return MakeSink(Where);
}

// What the workers have spent making rows, for the reader to size its chunks by.
struct TWorkDone {
  std::atomic<long long> Nanoseconds{0};
  std::atomic<long long> Rows{0};
};

// Jobs worker threads making the chunks the queue hands out, their results put in Results; once
// interrupted, the rows the gate does not let begin come back marked as skipped.
std::vector<std::thread> StartWorkers(int Jobs, TJobQueue& Queue, TResults& Results,
                                      TBeginGate& Gate, TWorkDone& Work, const TColumns& Columns,
                                      const TBatchOptions& Options, TBatchSink& Sink,
                                      TLogoCache& Logos) {
  std::vector<std::thread> Workers;
  for (int I = 0; I < Jobs; ++I)
    Workers.emplace_back([&] {
      TChunk Chunk;
      while (Queue.Pop(Chunk)) {
        const auto Start = std::chrono::steady_clock::now();
        TMadeChunk Made(Chunk.size());
        for (std::size_t J = 0; J < Chunk.size(); ++J) {
          const TJob& Job = Chunk[J];
          TRowOutput& R = Made[J];
          if (!Gate.Begin(Job.Row)) { // interrupted: the rows not yet begun are not made
            R.Result = RowResult(Job.Row, Job.Line, Options);
            R.Result.Skipped = true;
          } else if (!Job.Error.empty()) {
            R.Result = RowResult(Job.Row, Job.Line, Options, Job.Error);
          } else {
            try {
              R = MakeRow(Job, Columns, Options, Sink, Logos);
            } catch (const std::exception& E) {
              R = TRowOutput();
              R.Result =
                  RowResult(Job.Row, Job.Line, Options, std::string("internal error: ") + E.what());
            }
          }
        }
        Work.Nanoseconds.fetch_add(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                       std::chrono::steady_clock::now() - Start)
                                       .count());
        Work.Rows.fetch_add(static_cast<long long>(Chunk.size()));
        Results.Put(std::move(Made));
      }
    });
  return Workers;
}

// How a batch's reading ended.
struct TBatchEnd {
  long long Made = 0, Failed = 0, Read = 0;
  bool Interrupted = false, ReadFailed = false;
};

// Completes the output with the manifest and says how the batch went.
TBatchOutcome FinishBatch(const TBatchEnd& End, const TBatchOptions& Options, TBatchSink& Sink,
                          TManifest& Manifest, std::ostream& Err) {
  const std::string& Me = Options.Program;
  const long long Done = End.Made + End.Failed;
  if (End.Interrupted)
    Manifest.AddNote("interrupted after " + std::to_string(Done) + " of " +
                     std::to_string(End.Read) + " rows read");
  TBatchOutcome Outcome = End.Interrupted ? TBatchOutcome::Interrupted
                          : End.Failed    ? TBatchOutcome::RowsFailed
                                          : TBatchOutcome::Done;
  if (End.ReadFailed) {
    Err << Me << Options.Input << ": read error after row " << End.Read << "\n";
    if (!End.Interrupted) Outcome = TBatchOutcome::RowsFailed;
  }
  std::string Error;
  if (!Sink.Finish(Manifest, Error)) {
    Err << Me << "cannot write " << Sink.ManifestPlace() << ": " << Error << "\n";
    if (!End.Interrupted) Outcome = TBatchOutcome::RowsFailed;
  }
  if (End.Interrupted) Err << Me << "interrupted after " << Done << " of " << End.Read << " rows\n";
  Err.flush();
  return Outcome;
}

// The batch's column names that are no field, and the design columns among them.
constexpr std::string_view kSpecialColumns[] = {"kind", "file", "ec", "boost", "encoding"};

} // namespace

void TBatchProgress::SetDone(long long Made, long long Failed, std::uint64_t InputBytes) {
  FSequence.fetch_add(1); // odd: being written
  RowsMade.store(Made);
  RowsFailed.store(Failed);
  InputBytesDone.store(InputBytes);
  FSequence.fetch_add(1);
}

TBatchProgress::TDone TBatchProgress::Done() const {
  for (;;) {
    const unsigned Before = FSequence.load();
    TDone D{RowsMade.load(), RowsFailed.load(), InputBytesDone.load()};
    if (Before % 2 == 0 && FSequence.load() == Before) return D;
    std::this_thread::yield();
  }
}

std::optional<std::string_view> BatchColumnName(std::string_view Header) {
  for (const std::string_view Name : BatchColumnNames())
    if (EqualIgnoringAsciiCase(Header, Name)) return Name;
  return std::nullopt;
}

std::vector<std::string_view> BatchColumnNames() {
  std::vector<std::string_view> Names(std::begin(kSpecialColumns), std::end(kSpecialColumns));
  for (const auto& Column : kDesignColumns)
    Names.push_back(Column.first);
  for (const TFieldInfo& Field : AllFields())
    Names.push_back(Field.Name);
  return Names;
}

TBatchPreview PreviewBatch(const TBatchOptions& Options, std::size_t MaxRows) {
  TBatchPreview Preview;
  std::ostringstream Why;
  TBatchOptions Quiet = Options;
  Quiet.Program.clear();
  TBatchInput Input(Quiet, Why);
  if (!Input.Ok()) {
    Preview.Error = Why.str();
    if (!Preview.Error.empty() && Preview.Error.back() == '\n') Preview.Error.pop_back();
    return Preview;
  }
  TCsvRecord Record;
  std::string Error;
  for (bool First = true; First || Preview.Rows.size() < MaxRows; First = false) {
    const TCsvStatus Status = Input.Reader().Next(Record, Error);
    if (Status == TCsvStatus::End) break;
    if (Status == TCsvStatus::Error) {
      Preview.Error = (First ? "header" : "row " + std::to_string(Preview.Rows.size() + 1)) +
                      " (line " + std::to_string(Record.Line) + "): " + Error;
      break;
    }
    if (First) {
      Preview.Header = std::move(Record.Fields);
      Input.Reader().SetExpectedFields(Preview.Header.size());
    } else {
      Preview.Rows.push_back(std::move(Record.Fields));
    }
  }
  if (Preview.Header.empty() && Preview.Error.empty()) Preview.Error = "no header row";
  return Preview;
}

TSheetCodes SheetCodesOf(const TBatchOptions& Options, std::size_t MaxCodes) {
  // The rows made as the sheet sink's workers make them, by a sink that keeps nothing.
  struct TGrids final : TBatchSink {
    bool Open(TManifest&, std::ostream&) override { return true; }
    bool WantsGrid() const override { return true; }
    void TakeOnWorker(TRowOutput&) override {}
    bool Finish(TManifest&, std::string&) override { return true; }
    std::string ManifestPlace() const override { return {}; }
  } Grids;
  TSheetCodes Out;
  TBatchOptions Sheet = Options;
  Sheet.Program.clear();
  if (!Sheet.Sheet) Sheet.Sheet = TSheetLayout{};
  std::ostringstream Why;
  auto Refused = [&] {
    Out.Error = Why.str();
    while (!Out.Error.empty() && Out.Error.back() == '\n')
      Out.Error.pop_back();
    return Out;
  };
  TBatchInput Input(Sheet, Why);
  if (!Input.Ok()) return Refused();
  const std::optional<TColumns> Columns = ReadColumns(Input.Reader(), Sheet, Why);
  if (!Columns) return Refused();
  TLogoCache Logos(Sheet.InputText ? std::string("-") : Sheet.Input, Sheet.LogoFolder);
  TCsvRecord Record;
  std::string CsvError;
  // Failed rows take no cell, as on the sheet; a few hundred of them end the search.
  for (long long Row = 1;
       Out.Codes.size() < MaxCodes && Row <= static_cast<long long>(MaxCodes) + 200; ++Row) {
    const TCsvStatus Status = Input.Reader().Next(Record, CsvError);
    if (Status == TCsvStatus::End) break;
    if (Status == TCsvStatus::Error) continue;
    TRowOutput Made = MakeRow(TJob{Row, Record.Line, std::move(Record.Fields), {}}, *Columns, Sheet,
                              Grids, Logos);
    if (Made.Result.Error.empty())
      Out.Codes.push_back(
          TSheetCode{std::move(Made.Picture.Grid), Made.Picture.Style, std::move(Made.Caption)});
  }
  return Out;
}

TBatchResult RunBatch(const TBatchOptions& Options, std::ostream& Err) {
  const std::string& Me = Options.Program;
  TBatchResult Result;
  TBatchProgress Unwatched;
  TBatchProgress& Counters = Options.Progress ? *Options.Progress : Unwatched;
  struct TFinished {
    TBatchProgress& Counters;
    ~TFinished() { Counters.Finished.store(true); }
  } Finished{Counters};

  TBatchInput Input(Options, Err);
  if (!Input.Ok()) return Result;
  TCsvReader& Reader = Input.Reader();
  const std::optional<TColumns> Header = ReadColumns(Reader, Options, Err);
  if (!Header) return Result;
  const TColumns& Columns = *Header;
  const std::uint64_t RowsStart = Reader.BytesRead(); // where the first row begins
  const std::uint64_t TotalBytes = Input.TotalBytes();
  Counters.InputBytesAll.store(TotalBytes > RowsStart ? TotalBytes - RowsStart : 0);

  // The output (a folder is held against a second batch and cleared of what a killed one left).
  const std::unique_ptr<TBatchSink> Sink = SinkFor(Options, Columns);
  TManifest Manifest;
  if (!Sink->Open(Manifest, Err)) return Result;
  Result.Output = Options.OutFolder;
  Result.Manifest = Sink->ManifestPlace();
  if (!Options.Picture.Verify) {
    if (const std::string Weak = ColourWarning(Options.Picture.Style); !Weak.empty())
      Err << Me << "warning: " << Weak << "\n";
  }
  auto Stopped = [&] { return Options.Stop && Options.Stop->load() != 0; };

  // The workers.
  const int Jobs = std::max(1, Options.Jobs);
  TJobQueue Queue(static_cast<std::size_t>(Jobs) * 2);
  TLogoCache Logos(Options.InputText ? std::string("-") : Options.Input, Options.LogoFolder);
  TResults Results;
  TBeginGate Gate(Options.Stop);
  TWorkDone Work;
  std::vector<std::thread> Workers =
      StartWorkers(Jobs, Queue, Results, Gate, Work, Columns, Options, *Sink, Logos);

  // Reporting in row order, on this thread.
  std::deque<std::uint64_t> RowEnds; // where each row not yet reported ends in the input
  long long NextToReport = 1, Failed = 0, Made = 0;
  bool Undone = false;
  auto Report = [&](std::chrono::milliseconds Wait) {
    const long long First = NextToReport;
    for (TMadeChunk& Chunk : Results.TakeInOrder(NextToReport, Wait))
      for (TRowOutput& Output : Chunk) {
        TRowResult& R = Output.Result;
        Undone = Undone || R.Skipped;
        if (Undone) continue;
        if (R.Error.empty()) Sink->TakeInRowOrder(Output);
        Manifest.Add(R);
        if (R.Error.empty()) {
          ++Made;
          Counters.BytesWritten.fetch_add(Output.Bytes);
        } else {
          ++Failed;
        }
        const std::uint64_t Ends = RowEnds[static_cast<std::size_t>(R.Row - First)];
        Counters.SetDone(Made, Failed, Ends - RowsStart);
        if (Options.OnRow) Options.OnRow(R);
        if (!R.Error.empty())
          Err << Me << "row " << R.Row << " (line " << R.Line << "): " << R.Error << "\n";
        else if (!R.Warning.empty())
          Err << Me << "row " << R.Row << " (line " << R.Line << "): warning: " << R.Warning
              << "\n";
      }
    if (NextToReport == First) return;
    RowEnds.erase(RowEnds.begin(), RowEnds.begin() + (NextToReport - First));
  };

  // Reading. A chunk goes to the workers when it holds about four milliseconds of work (by the
  // workers' time a row so far; at most kMaxChunkRows rows), or as soon as the input has nothing
  // more at once (a slow pipe's rows are made as they come). The reader stays at most Window
  // rows ahead of the oldest row not yet reported. Once interrupted, it reads no further, and the
  // manifest ends with the last row made before the first row left undone.
  const long long Window = static_cast<long long>(Jobs * 3 + 2) * kMaxChunkRows;
  long long Row = 0;
  TChunk Chunk;
  auto ChunkRows = [&] {
    const long long Done = Work.Rows.load();
    if (Done < Jobs) return std::size_t{1}; // no measure yet: one row each to begin with
    const double PerRow = static_cast<double>(Work.Nanoseconds.load()) / static_cast<double>(Done);
    return std::clamp(static_cast<std::size_t>(kChunkNanoseconds / std::max(PerRow, 1.0)),
                      std::size_t{1}, kMaxChunkRows);
  };
  auto Send = [&] {
    if (Chunk.empty()) return;
    Queue.Push(std::move(Chunk));
    Chunk = TChunk();
    Chunk.reserve(kMaxChunkRows);
  };
  Input.SetIdle([&] {
    Send();
    Report(std::chrono::milliseconds(0));
  });
  TCsvRecord Record;
  std::string CsvError;
  while (!Stopped()) {
    const TCsvStatus Status = Reader.Next(Record, CsvError);
    if (Status == TCsvStatus::End) break;
    ++Row;
    RowEnds.push_back(Reader.BytesRead());
    Counters.InputBytesRead.store(Reader.BytesRead() - RowsStart);
    Counters.RowsRead.store(Row);
    if (Status == TCsvStatus::Error)
      Chunk.push_back(TJob{Row, Record.Line, {}, CsvError});
    else
      Chunk.push_back(TJob{Row, Record.Line, std::move(Record.Fields), {}});
    if (Chunk.size() >= ChunkRows()) Send();
    Report(std::chrono::milliseconds(0));
    while (Row - NextToReport >= Window) {
      Send();
      Report(std::chrono::milliseconds(50));
    }
  }
  Input.SetIdle({});
  Send();
  const bool ReadFailed = Input.Failed();
  Queue.Close();
  while (NextToReport <= Row)
    Report(std::chrono::milliseconds(50));
  for (std::thread& W : Workers)
    W.join();

  Result.Made = Made;
  Result.Failed = Failed;
  Result.Read = Row;
  Result.Outcome = FinishBatch(TBatchEnd{Made, Failed, Row, Stopped(), ReadFailed}, Options, *Sink,
                               Manifest, Err);
  return Result;
}
