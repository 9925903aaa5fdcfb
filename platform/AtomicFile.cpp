#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::atomic<bool> GNamelessAllowed{true};

TWriteResult Failure(int Code) {
  return {false, std::strerror(Code)};
}

// The /proc name of an open descriptor, through which linkat gives a nameless file a name
// without the privilege AT_EMPTY_PATH needs.
std::string ProcName(int Fd) {
  char Name[40];
  std::snprintf(Name, sizeof Name, "/proc/self/fd/%d", Fd);
  return Name;
}

} // namespace

std::string TemporaryName(std::string_view Name) {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 Random{std::random_device{}()};
  std::string Out = ".";
  Out += Name.substr(0, 255 - 8);
  Out += '.';
  for (int I = 0; I < 6; ++I)
    Out += kChars[Random() % (sizeof kChars - 1)];
  return Out;
}

void AllowNamelessFiles(bool Allow) {
  GNamelessAllowed = Allow;
}

// ---- TPendingFile ----

TPendingFile::TPendingFile(TPendingFile&& Other) noexcept
    : FDirFd(Other.FDirFd), FFd(std::exchange(Other.FFd, -1)),
      FTempName(std::move(Other.FTempName)), FOwnerOnly(Other.FOwnerOnly) {
  Other.FTempName.clear();
}

TPendingFile& TPendingFile::operator=(TPendingFile&& Other) noexcept {
  if (this != &Other) {
    Discard();
    FDirFd = Other.FDirFd;
    FFd = std::exchange(Other.FFd, -1);
    FTempName = std::move(Other.FTempName);
    FOwnerOnly = Other.FOwnerOnly;
    Other.FTempName.clear();
  }
  return *this;
}

TPendingFile::~TPendingFile() {
  Discard();
}

void TPendingFile::Discard() {
  if (FFd >= 0) ::close(std::exchange(FFd, -1));
  if (!FTempName.empty()) ::unlinkat(FDirFd, FTempName.c_str(), 0);
  FTempName.clear();
}

bool TPendingFile::WriteAll(std::string_view Bytes) {
  const char* Data = Bytes.data();
  std::size_t Left = Bytes.size();
  while (Left > 0) {
    const ssize_t N = ::write(FFd, Data, Left);
    if (N < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    Data += N;
    Left -= static_cast<std::size_t>(N);
  }
  return true;
}

// ---- TFolderFiles ----

TFolderFiles::TFolderFiles(const std::filesystem::path& Folder)
    : FDirFd(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (FDirFd < 0) {
    FError = std::strerror(errno);
    return;
  }
  const char* Off = std::getenv("MARBECK_NO_TMPFILE");
  if (!GNamelessAllowed || (Off && std::string_view(Off) == "1")) return;
  if (::access("/proc/self/fd", X_OK) != 0) return;
  // Asked once: some file systems (and older kernels) refuse nameless files.
  const int Probe = ::openat(FDirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (Probe >= 0) {
    ::close(Probe);
    FNameless = true;
  }
}

TFolderFiles::~TFolderFiles() {
  if (FDirFd >= 0) ::close(FDirFd);
}

TPendingFile TFolderFiles::Create(std::string_view Hint, bool OwnerOnly,
                                  TWriteResult& Error) const {
  TPendingFile File;
  File.FDirFd = FDirFd;
  File.FOwnerOnly = OwnerOnly;
  // The mode a plain create gives (the umask applies), or the owner's alone.
  const mode_t Mode = OwnerOnly ? 0600 : 0666;
  if (FNameless) {
    File.FFd = ::openat(FDirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, Mode);
  } else {
    for (int Try = 0; Try < 100 && File.FFd < 0; ++Try) {
      std::string Name = TemporaryName(Hint);
      File.FFd = ::openat(FDirFd, Name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, Mode);
      if (File.FFd >= 0)
        File.FTempName = std::move(Name);
      else if (errno != EEXIST)
        break;
    }
  }
  if (!File.Valid()) Error = Failure(errno);
  return File;
}

TPendingFile TFolderFiles::Adopt(std::string_view TempName, TWriteResult& Error) const {
  TPendingFile File;
  File.FDirFd = FDirFd;
  File.FTempName = std::string(TempName);
  // Read-only is enough: the descriptor serves fsync and fchmod.
  File.FFd = ::openat(FDirFd, File.FTempName.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (!File.Valid()) {
    Error = Failure(errno);
    File.Discard();
  }
  return File;
}

namespace {

// Whether renameat2 failed because the file system does not know the flag it was given.
bool FlagRefused(int Code) {
  return Code == EINVAL || Code == ENOSYS || Code == EOPNOTSUPP;
}

} // namespace

TWriteResult TFolderFiles::Publish(TPendingFile& File, std::string_view NameView, bool Replace,
                                   bool Durable) const {
  const std::string Name(NameView);
  auto Fail = [&File](int Code) {
    File.Discard();
    TWriteResult R = Failure(Code);
    R.Exists = Code == EEXIST;
    return R;
  };
  if (!File.Valid()) return Fail(EBADF);
  if (Durable && ::fsync(File.FFd) != 0) return Fail(errno);
  if (Replace && !File.FOwnerOnly) {
    // The file replaced keeps its permissions, as an editor's save keeps them.
    struct stat Old {};
    if (::fstatat(FDirFd, Name.c_str(), &Old, 0) == 0 && S_ISREG(Old.st_mode) &&
        ::fchmod(File.FFd, Old.st_mode & 07777) != 0)
      return Fail(errno);
  }

  if (File.FTempName.empty()) { // nameless
    const std::string Source = ProcName(File.FFd);
    if (!Replace) {
      if (::linkat(AT_FDCWD, Source.c_str(), FDirFd, Name.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return Fail(errno);
      File.Discard();
      return {true, {}};
    }
    // A temporary name first, renamed over the old file in one step.
    for (int Try = 0; Try < 100; ++Try) {
      std::string Temp = TemporaryName(Name);
      if (::linkat(AT_FDCWD, Source.c_str(), FDirFd, Temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        File.FTempName = std::move(Temp);
        break;
      }
      if (errno != EEXIST) return Fail(errno);
    }
    if (File.FTempName.empty()) return Fail(EEXIST);
  }

  if (::close(std::exchange(File.FFd, -1)) != 0) return Fail(errno);
  if (Replace) {
    if (::renameat(FDirFd, File.FTempName.c_str(), FDirFd, Name.c_str()) != 0) return Fail(errno);
  } else if (::renameat2(FDirFd, File.FTempName.c_str(), FDirFd, Name.c_str(), RENAME_NOREPLACE) !=
             0) {
    // A file system without the flag: a hard link refuses an existing target just as well.
    if (!FlagRefused(errno) ||
        ::linkat(FDirFd, File.FTempName.c_str(), FDirFd, Name.c_str(), 0) != 0)
      return Fail(errno);
    File.Discard(); // the temporary name goes; the file keeps its new one
    return {true, {}};
  }
  File.FTempName.clear(); // it is the file now
  return {true, {}};
}

TWriteResult TFolderFiles::SyncNames() const {
  if (::fsync(FDirFd) != 0) return Failure(errno);
  return {true, {}};
}

TWriteResult TFolderFiles::Write(std::string_view Name, std::string_view Bytes,
                                 const TAtomicWrite& How) const {
  TWriteResult Error;
  TPendingFile File = Create(Name, How.OwnerOnly, Error);
  if (!File.Valid()) return Error;
  if (!File.WriteAll(Bytes)) {
    const int Code = errno;
    return {false, std::strerror(Code)};
  }
  return Publish(File, Name, How.Replace, How.Durable);
}

// ---- single files ----

TWriteResult WriteFileAtomic(const std::filesystem::path& Path, std::string_view Bytes,
                             bool OwnerOnly) {
  TAtomicWrite How;
  How.OwnerOnly = OwnerOnly;
  return WriteFileAtomic(Path, Bytes, How);
}

TWriteResult WriteFileAtomic(const std::filesystem::path& Path, std::string_view Bytes,
                             const TAtomicWrite& How) {
  const TFolderFiles Folder(Path.has_parent_path() ? Path.parent_path()
                                                   : std::filesystem::path("."));
  if (!Folder.Ok()) return {false, Folder.Error()};
  return Folder.Write(Path.filename().string(), Bytes, How);
}

TWriteResult SyncFileSystem(const std::filesystem::path& Folder) {
  const int Dir = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Dir < 0) return Failure(errno);
  const bool Ok = ::syncfs(Dir) == 0 && ::fsync(Dir) == 0;
  const int Code = errno;
  ::close(Dir);
  return Ok ? TWriteResult{true, {}} : Failure(Code);
}
