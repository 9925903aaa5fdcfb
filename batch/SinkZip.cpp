// The codes as entries of one ZIP archive, manifest.csv the last of them. The workers deflate
// the SVG and PDF entries (zlib, raw deflate; PNG is compressed already and stored as it is);
// in row order their data goes to a nameless spool file beside the archive, and libzip copies it
// from there as it is when it writes the archive at the end. So memory stays flat whatever the
// number of rows, and the one serial step is a copy. The archive is written under a temporary
// name and takes its own only when complete.
#include "batch/Options.h"
#include "batch/Sink.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

namespace {

// Raw deflate (RFC 1951) of Bytes at zlib's fastest level, which takes half the time of its
// default for about a fifth more bytes on codes' SVG; empty when zlib fails.
std::string Deflate(std::string_view Bytes) {
  thread_local struct TStream {
    z_stream Z{};
    bool Ok = deflateInit2(&Z, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    ~TStream() {
      if (Ok) deflateEnd(&Z);
    }
  } Stream;
  if (!Stream.Ok || deflateReset(&Stream.Z) != Z_OK) return {};
  std::string Out(deflateBound(&Stream.Z, static_cast<uLong>(Bytes.size())), '\0');
  Stream.Z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Bytes.data()));
  Stream.Z.avail_in = static_cast<uInt>(Bytes.size());
  Stream.Z.next_out = reinterpret_cast<Bytef*>(Out.data());
  Stream.Z.avail_out = static_cast<uInt>(Out.size());
  if (deflate(&Stream.Z, Z_FINISH) != Z_STREAM_END) return {};
  Out.resize(Stream.Z.total_out);
  return Out;
}

// One entry's data in a file, as libzip reads it: Length bytes at Offset of Fd, which are the
// entry's Size bytes deflated (Deflated, with their Crc) or the bytes themselves.
struct TSpooled {
  int Fd = -1;
  std::uint64_t Offset = 0, Length = 0, Size = 0, Position = 0;
  std::uint32_t Crc = 0;
  bool Deflated = false;
  bool CrcKnown = false;
  std::time_t Time = 0;
  zip_error_t Error{};
};

zip_int64_t ReadSpooled(void* State, void* Data, zip_uint64_t Length, zip_source_cmd_t Command) {
  TSpooled& E = *static_cast<TSpooled*>(State);
  switch (Command) {
  case ZIP_SOURCE_OPEN:
    E.Position = 0;
    return 0;
  case ZIP_SOURCE_READ: {
    const std::uint64_t Want = std::min<std::uint64_t>(Length, E.Length - E.Position);
    std::uint64_t Got = 0;
    while (Got < Want) {
      const ssize_t N = ::pread(E.Fd, static_cast<char*>(Data) + Got, Want - Got,
                                static_cast<off_t>(E.Offset + E.Position + Got));
      if (N < 0 && errno == EINTR) continue;
      if (N <= 0) {
        zip_error_set(&E.Error, ZIP_ER_READ, N < 0 ? errno : EIO);
        return -1;
      }
      Got += static_cast<std::uint64_t>(N);
    }
    E.Position += Got;
    return static_cast<zip_int64_t>(Got);
  }
  case ZIP_SOURCE_CLOSE:
  case ZIP_SOURCE_FREE:
    return 0;
  case ZIP_SOURCE_STAT: {
    zip_stat_t* St = static_cast<zip_stat_t*>(Data);
    zip_stat_init(St);
    St->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_MTIME |
                ZIP_STAT_ENCRYPTION_METHOD | (E.CrcKnown ? ZIP_STAT_CRC : 0);
    St->size = E.Size;
    St->comp_size = E.Length;
    St->comp_method = E.Deflated ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
    St->encryption_method = ZIP_EM_NONE;
    St->crc = E.Crc;
    St->mtime = E.Time;
    return sizeof(zip_stat_t);
  }
  case ZIP_SOURCE_ERROR:
    return zip_error_to_data(&E.Error, Data, Length);
  case ZIP_SOURCE_SUPPORTS:
    return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                          ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
  default:
    zip_error_set(&E.Error, ZIP_ER_OPNOTSUPP, 0);
    return -1;
  }
}

// All of Bytes at Offset of Fd; false with errno set.
bool WriteAt(int Fd, std::string_view Bytes, std::uint64_t Offset) {
  std::size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t N =
        ::pwrite(Fd, Bytes.data() + Done, Bytes.size() - Done, static_cast<off_t>(Offset + Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) return false;
    Done += static_cast<std::size_t>(N);
  }
  return true;
}

// What a worker made of a row for the archive: the entry's data, deflated or as it is.
struct TPackedEntry final : TSinkData {
  std::string Stored;
  std::uint64_t Size = 0; // the entry's bytes before deflating
  std::uint32_t Crc = 0;
  bool Deflated = false;
};

class TZipSink final : public TBatchSink {
public:
  explicit TZipSink(const TSinkOptions& Options)
      : FOptions(Options), FFolder(Options.Out.has_parent_path() ? Options.Out.parent_path()
                                                                 : std::filesystem::path(".")) {}
  ~TZipSink() override {
    if (FArchive) zip_discard(FArchive);
    if (FLockFd >= 0) ::close(FLockFd);
  }

  bool Open(TManifest& Manifest, std::ostream& Err) override {
    const std::string Out = FOptions.Out.string();
    HoldFolder();
    if (!OpenSingleFile(FOptions, {FOptions.Out}, FFiles, FSpool, Manifest, Err)) return false;
    FTempName = TemporaryName(FOptions.Out.filename().string());
    int Code = 0;
    FArchive = zip_open((FFolder / FTempName).c_str(), ZIP_CREATE | ZIP_EXCL, &Code);
    if (!FArchive) {
      zip_error_t E;
      zip_error_init_with_code(&E, Code);
      Err << FOptions.Program << "cannot write " << Out << ": " << zip_error_strerror(&E) << "\n";
      zip_error_fini(&E);
      return false;
    }
    FTime = std::time(nullptr);
    return true;
  }

  void TakeOnWorker(TRowOutput& Row) override {
    auto Entry = std::make_unique<TPackedEntry>();
    std::string& Bytes = Row.Picture.Bytes;
    Entry->Size = Bytes.size();
    Entry->Crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(Bytes.data()), static_cast<uInt>(Bytes.size())));
    // PNG is deflated already: stored, as anything that deflate would not make smaller.
    if (Row.Result.File.size() < 4 || !FormatOfPath(Row.Result.File) ||
        *FormatOfPath(Row.Result.File) != TOutputFormat::Png) {
      std::string Packed = Deflate(Bytes);
      if (!Packed.empty() && Packed.size() < Bytes.size()) {
        Entry->Stored = std::move(Packed);
        Entry->Deflated = true;
      }
    }
    if (!Entry->Deflated) Entry->Stored = std::move(Bytes);
    Row.Kept = std::move(Entry);
  }

  void TakeInRowOrder(TRowOutput& Row) override {
    TRowResult& R = Row.Result;
    if (!Row.Kept) {
      R.Error = "internal error: " + R.File + " was not packed";
      return;
    }
    TPackedEntry& Packed = static_cast<TPackedEntry&>(*Row.Kept);
    if (zip_name_locate(FArchive, R.File.c_str(), ZIP_FL_ENC_UTF_8) >= 0) {
      R.Error = R.File + " is in the archive already";
      return;
    }
    if (!WriteAt(FSpool.Fd(), Packed.Stored, FSpoolSize)) {
      R.Error = "cannot write " + R.File + ": " + std::strerror(errno);
      return;
    }
    TSpooled& E = FEntries.emplace_back();
    E.Fd = FSpool.Fd();
    E.Offset = FSpoolSize;
    E.Length = Packed.Stored.size();
    E.Size = Packed.Size;
    E.Crc = Packed.Crc;
    E.CrcKnown = true;
    E.Deflated = Packed.Deflated;
    E.Time = FTime;
    FSpoolSize += Packed.Stored.size();
    Packed.Stored = std::string();
    if (!Add(R.File, E, E.Deflated ? ZIP_CM_DEFAULT : ZIP_CM_STORE))
      R.Error = "cannot add " + R.File + " to the archive: " + zip_strerror(FArchive);
  }

  bool Finish(TManifest& Manifest, std::string& Error) override {
    const int Fd = Manifest.Flush(Error);
    if (Fd < 0) return false;
    struct stat St {};
    if (::fstat(Fd, &St) != 0) {
      Error = std::strerror(errno);
      return false;
    }
    TSpooled& E = FEntries.emplace_back();
    E.Fd = Fd;
    E.Length = E.Size = static_cast<std::uint64_t>(St.st_size);
    E.Time = std::time(nullptr);
    if (!Add("manifest.csv", E, ZIP_CM_DEFLATE)) {
      Error = zip_strerror(FArchive);
      return false;
    }
    if (zip_close(FArchive) != 0) {
      Error = zip_strerror(FArchive);
      return false;
    }
    FArchive = nullptr;
    // The archive reaches the disk, then takes its name (replacing one only with --force).
    TWriteResult Made;
    TPendingFile Archive = FFiles->Adopt(FTempName, Made);
    const TWriteResult Published =
        Archive.Valid() ? FFiles->Publish(Archive, FOptions.Out.filename().string(), FOptions.Force,
                                          /*Durable=*/true)
                        : Made;
    if (!Published.Ok) {
      Error =
          Published.Exists ? FOptions.Out.string() + " appeared during the batch" : Published.Error;
      return false;
    }
    const TWriteResult Synced = FFiles->SyncNames();
    if (!Synced.Ok) Error = Synced.Error;
    return Synced.Ok;
  }

  std::string ManifestPlace() const override { return FOptions.Out.string() + " (manifest.csv)"; }

private:
  // What a killed batch of this archive left beside it (its spool, its unfinished archive, a
  // manifest's temporary) is removed when no other batch works in the folder; then the folder is
  // held, shared with other archives' batches, against a folder batch's clearing.
  void HoldFolder() {
    FLockFd = ::open(FFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FLockFd < 0) return;
    if (::flock(FLockFd, LOCK_EX | LOCK_NB) == 0) {
      const std::string Name = FOptions.Out.filename().string();
      RemoveLeftOvers(FFolder, [&Name](std::string_view Target) {
        return Target == Name || Target == "manifest.csv";
      });
    }
    ::flock(FLockFd, LOCK_SH | LOCK_NB);
  }

  bool Add(const std::string& Name, TSpooled& E, zip_int32_t Method) {
    zip_source_t* Source = zip_source_function(FArchive, ReadSpooled, &E);
    if (!Source) return false;
    const zip_int64_t Index = zip_file_add(FArchive, Name.c_str(), Source, ZIP_FL_ENC_UTF_8);
    if (Index < 0) {
      zip_source_free(Source);
      return false;
    }
    // A plain file readable by all, as a file made in a folder would be (umask 022).
    const auto At = static_cast<zip_uint64_t>(Index);
    return zip_set_file_compression(FArchive, At, Method, 0) == 0 &&
           zip_file_set_external_attributes(FArchive, At, 0, ZIP_OPSYS_UNIX,
                                            static_cast<zip_uint32_t>(0100644) << 16) == 0;
  }

  TSinkOptions FOptions;
  std::filesystem::path FFolder;
  int FLockFd = -1;
  std::unique_ptr<TFolderFiles> FFiles;
  TPendingFile FSpool;
  std::uint64_t FSpoolSize = 0;
  std::deque<TSpooled> FEntries; // where each entry's data is, until the archive is written
  zip_t* FArchive = nullptr;
  std::string FTempName; // the archive's name in FFolder until it is complete
  std::time_t FTime = 0;
};

} // namespace

std::unique_ptr<TBatchSink> MakeZipSink(const TSinkOptions& Options) {
  return std::make_unique<TZipSink>(Options);
}
