// The codes as files in a folder, with manifest.csv beside them.
#include "cli/Options.h"
#include "cli/Sink.h"
#include "platform/Unicode.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace {

const char* const kMe = "marbeck-cli: ";

// What a batch killed in a folder may have left where nameless files are refused: the temporary
// files of its codes (".NAME.png.XXXXXX", ".svg", ".pdf") and of its manifest
// (".manifest.csv.XXXXXX"). No name a batch writes, and no name the file column accepts, looks
// like these.
bool IsLeftOver(const std::string& Name) {
  if (Name.size() < 9 || Name[0] != '.' || Name[Name.size() - 7] != '.') return false;
  for (std::size_t I = Name.size() - 6; I < Name.size(); ++I)
    if (!std::isalnum(static_cast<unsigned char>(Name[I]))) return false;
  const std::string Target = Name.substr(1, Name.size() - 8);
  return Target == "manifest.csv" || FormatOfPath(Target).has_value();
}

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
      Err << kMe << "cannot make the folder " << Folder.string() << ": "
          << (Ec ? Ec.message() : "not a folder") << "\n";
      return false;
    }
    if (!FOptions.Force && std::filesystem::exists(Folder / "manifest.csv", Ec)) {
      Err << kMe << (Folder / "manifest.csv").string()
          << " exists (--force replaces it and the codes)\n";
      return false;
    }
    FLockFd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FLockFd >= 0 && ::flock(FLockFd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) {
        Err << kMe << "another batch is writing into " << Folder.string() << "\n";
        return false;
      }
      ::close(std::exchange(FLockFd, -1)); // no locks here: nothing is known to be stale
    }
    if (FLockFd >= 0) {
      for (const auto& Entry : std::filesystem::directory_iterator(Folder, Ec)) {
        if (IsLeftOver(Entry.path().filename().string()) && Entry.is_regular_file(Ec) &&
            !Entry.is_symlink(Ec))
          std::filesystem::remove(Entry.path(), Ec);
      }
    }
    FFiles = std::make_unique<TFolderFiles>(Folder);
    std::string Error = FFiles->Error();
    if (!FFiles->Ok() || !Manifest.Open(*FFiles, Error)) {
      Err << kMe << "cannot write in " << Folder.string() << ": " << Error << "\n";
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
      Err << "marbeck-cli: " << Path.string() << " exists (--force replaces it)\n";
      return false;
    }
  if (std::filesystem::is_directory(Options.Out, Ec)) {
    Err << "marbeck-cli: " << Out << " is a folder\n";
    return false;
  }
  Files = std::make_unique<TFolderFiles>(
      Options.Out.has_parent_path() ? Options.Out.parent_path() : std::filesystem::path("."));
  std::string Error = Files->Error();
  TWriteResult Made;
  if (Files->Ok()) File = Files->Create(Options.Out.filename().string(), false, Made);
  if (Files->Ok() && !File.Valid()) Error = Made.Error;
  if (!Files->Ok() || !File.Valid() || !Manifest.Open(*Files, Error)) {
    Err << "marbeck-cli: cannot write " << Out << ": " << Error << "\n";
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
