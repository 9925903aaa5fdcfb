// The codes as files in a folder, with manifest.csv beside them.
#include "batch/Options.h"
#include "batch/Sink.h"
#include "platform/Unicode.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace {

class TFolderSink final : public TBatchSink {
public:
  explicit TFolderSink(const TSinkOptions& Options) : FOptions(Options) {}
  ~TFolderSink() override {
    if (FLockFd >= 0) ::close(FLockFd);
  }

  // Makes the folder, refuses an existing manifest without --force and a second batch running
  // into the same folder (flock, held while the batch runs), and removes the left-overs of a
  // killed batch.
  bool Open(TManifest& Manifest, std::ostream& Err) override {
    const std::filesystem::path& Folder = FOptions.Out;
    std::error_code Ec;
    std::filesystem::create_directories(Folder, Ec);
    if (!std::filesystem::is_directory(Folder)) {
      Err << FOptions.Program << "cannot make the folder " << Folder.string() << ": "
          << (Ec ? Ec.message() : "not a folder") << "\n";
      return false;
    }
    if (!FOptions.Force && std::filesystem::exists(Folder / "manifest.csv", Ec)) {
      Err << FOptions.Program << (Folder / "manifest.csv").string()
          << " exists (--force replaces it and the codes)\n";
      return false;
    }
    FLockFd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FLockFd >= 0 && ::flock(FLockFd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) {
        Err << FOptions.Program << "another batch is writing into " << Folder.string() << "\n";
        return false;
      }
      ::close(std::exchange(FLockFd, -1)); // no locks here: nothing is known to be stale
    }
    if (FLockFd >= 0)
      RemoveLeftOvers(Folder, [](std::string_view Target) {
        return Target == "manifest.csv" || FormatOfPath(Target).has_value();
      });
    FFiles = std::make_unique<TFolderFiles>(Folder);
    std::string Error = FFiles->Error();
    if (!FFiles->Ok() || !Manifest.Open(*FFiles, Error)) {
      Err << FOptions.Program << "cannot write in " << Folder.string() << ": " << Error << "\n";
      return false;
    }
    return true;
  }

  void TakeOnWorker(TRowOutput& Row) override {
    TAtomicWrite How;
    How.Durable = FOptions.Durable;
    How.Replace = FOptions.Force;
    TRowResult& R = Row.Result;
    const TWriteResult Written = FFiles->Write(R.File, Row.Picture.Bytes, How);
    if (!Written.Ok)
      R.Error = Written.Exists ? R.File + " exists (--force replaces it)"
                               : "cannot write " + R.File + ": " + Written.Error;
    Row.Picture.Bytes = std::string(); // kept no longer than needed
  }

  bool Finish(TManifest& Manifest, std::string& Error) override {
    return Manifest.Finish(FOptions.Out, "manifest.csv", FOptions.Force, /*SyncAll=*/true, Error);
  }

  std::string ManifestPlace() const override { return (FOptions.Out / "manifest.csv").string(); }

private:
  TSinkOptions FOptions;
  int FLockFd = -1;
  std::unique_ptr<TFolderFiles> FFiles;
};

} // namespace

void RemoveLeftOvers(const std::filesystem::path& Folder,
                     const std::function<bool(std::string_view Target)>& Ours) {
  // ".TARGET.XXXXXX", and libzip's own temporary of such a file, ".TARGET.XXXXXX.XXXXXX".
  auto Suffix = [](std::string_view Name) {
    if (Name.size() < 8 || Name[Name.size() - 7] != '.') return false;
    for (std::size_t I = Name.size() - 6; I < Name.size(); ++I)
      if (!std::isalnum(static_cast<unsigned char>(Name[I]))) return false;
    return true;
  };
  std::error_code Ec;
  for (const auto& Entry : std::filesystem::directory_iterator(Folder, Ec)) {
    const std::string Name = Entry.path().filename().string();
    if (Name.size() < 2 || Name[0] != '.' || !Suffix(Name)) continue;
    std::string_view Target = std::string_view(Name).substr(1, Name.size() - 8);
    if (!Ours(Target) && Suffix(Target)) Target.remove_suffix(7);
    if (Target.empty() || !Ours(Target)) continue;
    if (Entry.is_regular_file(Ec) && !Entry.is_symlink(Ec))
      std::filesystem::remove(Entry.path(), Ec);
  }
}

std::unique_ptr<TBatchSink> MakeFolderSink(const TSinkOptions& Options) {
  return std::make_unique<TFolderSink>(Options);
}

bool OpenSingleFile(const TSinkOptions& Options, std::initializer_list<std::filesystem::path> Taken,
                    std::unique_ptr<TFolderFiles>& Files, TPendingFile& File, TManifest& Manifest,
                    std::ostream& Err) {
  const std::string Out = Options.Out.string();
  std::error_code Ec;
  for (const std::filesystem::path& Path : Taken)
    if (!Options.Force && std::filesystem::exists(Path, Ec)) {
      Err << Options.Program << Path.string() << " exists (--force replaces it)\n";
      return false;
    }
  if (std::filesystem::is_directory(Options.Out, Ec)) {
    Err << Options.Program << Out << " is a folder\n";
    return false;
  }
  Files = std::make_unique<TFolderFiles>(
      Options.Out.has_parent_path() ? Options.Out.parent_path() : std::filesystem::path("."));
  std::string Error = Files->Error();
  TWriteResult Made;
  if (Files->Ok()) File = Files->Create(Options.Out.filename().string(), false, Made);
  if (Files->Ok() && !File.Valid()) Error = Made.Error;
  if (!Files->Ok() || !File.Valid() || !Manifest.Open(*Files, Error)) {
    Err << Options.Program << "cannot write " << Out << ": " << Error << "\n";
    return false;
  }
  return true;
}

std::unique_ptr<TBatchSink> MakeSink(const TSinkOptions& Options) {
  if (Options.Sheet) return MakeSheetSink(Options);
  const std::string Name = Options.Out.filename().string();
  if (Name.size() > 4 && EqualIgnoringAsciiCase(Name.substr(Name.size() - 4), ".zip"))
    return MakeZipSink(Options);
  return MakeFolderSink(Options);
}
