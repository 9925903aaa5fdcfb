// The one way this program publishes a file: it appears under its name only when complete.
//
// A file is made nameless (open(folder, O_TMPFILE)), written, flushed, and then linked to its
// name: the link refuses a name that exists, so the no-replace rule costs nothing more, and a
// crash or a kill before the link leaves nothing behind in the folder. Replacing links to a
// temporary name ".NAME.XXXXXX" and renames that over the old file. Where the file system refuses
// nameless files (or /proc, through which an unprivileged process links one, is missing), the
// file is made as ".NAME.XXXXXX" beside the target and renamed into place: with
// renameat2(RENAME_NOREPLACE) when it must not replace, and where the file system refuses that
// flag (EINVAL, ENOSYS, EOPNOTSUPP: some network and FUSE file systems) with a hard link, which
// refuses an existing name just as well, and the removal of the temporary name. A kill can then
// leave such a temporary file, which a batch removes before its first row.
//
// Single files (WriteFileAtomic), a batch's files and manifest, the ZIP archive and the label
// sheet all publish here; no other code renames a file into place. Standard library and POSIX.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

struct TWriteResult {
  bool Ok = false;
  std::string Error;   // the system's error text when !Ok
  bool Exists = false; // a writer told not to replace found the target there
};

// The writer's choices.
struct TAtomicWrite {
  bool OwnerOnly = false; // mode 0600, also when replacing a file of another mode
  // Durable: the data reaches the disk (fsync) before the file gets its name. Without it a crash
  // soon after may leave the target missing, empty or zero-filled (never another file's data);
  // SyncFileSystem later makes a whole series of such writes durable at once.
  bool Durable = true;
  // Replace: an existing target is replaced (keeping its permissions, as an editor's save does).
  // Without it an existing target is refused, checked and done in one step so that two writers
  // cannot both win; Exists is then set.
  bool Replace = true;
};

// Writes Bytes as the file Path, published as above, so that a failed write leaves the previous
// file as it was and no temporary file behind. OwnerOnly gives the file mode 0600.
TWriteResult WriteFileAtomic(const std::filesystem::path& Path, std::string_view Bytes,
                             bool OwnerOnly = false);
TWriteResult WriteFileAtomic(const std::filesystem::path& Path, std::string_view Bytes,
                             const TAtomicWrite& How);
// Flushes every written file of the file system that holds Folder to the disk (syncfs), then
// Folder's own entries (fsync).
TWriteResult SyncFileSystem(const std::filesystem::path& Folder);

// ".NAME.XXXXXX": a temporary name for the file Name, six random letters and digits at its end,
// Name shortened so that the whole stays within the 255 bytes a file name may have.
std::string TemporaryName(std::string_view Name);

// Switches nameless files off for the whole process (the fallback above is then always taken).
// Also off when the environment holds MARBECK_NO_TMPFILE=1. For tests of the fallback.
void AllowNamelessFiles(bool Allow);

// A file being written, not yet under its name. Closed, and removed when it has a temporary
// name, unless Publish gave it its name.
class TPendingFile {
public:
  TPendingFile() = default;
  TPendingFile(const TPendingFile&) = delete;
  TPendingFile& operator=(const TPendingFile&) = delete;
  TPendingFile(TPendingFile&& Other) noexcept;
  TPendingFile& operator=(TPendingFile&& Other) noexcept;
  ~TPendingFile();

  bool Valid() const { return FFd >= 0; }
  int Fd() const { return FFd; }
  // Writes all of Bytes; false with errno set on failure.
  bool WriteAll(std::string_view Bytes);

private:
  friend class TFolderFiles;
  void Discard();
  int FDirFd = -1;
  int FFd = -1;
  std::string FTempName; // empty for a nameless file
  bool FOwnerOnly = false;
};

class TFolderFiles {
public:
  // Opens Folder (which must exist); Ok() tells whether it could.
  explicit TFolderFiles(const std::filesystem::path& Folder);
  TFolderFiles(const TFolderFiles&) = delete;
  TFolderFiles& operator=(const TFolderFiles&) = delete;
  ~TFolderFiles();

  bool Ok() const { return FDirFd >= 0; }
  const std::string& Error() const { return FError; }
  // Whether files are made nameless here (false: the temporary-name fallback).
  bool Nameless() const { return FNameless; }

  // Name's bytes as the file Name in the folder (OwnerOnly, Durable, Replace as TAtomicWrite
  // says). Thread-safe.
  TWriteResult Write(std::string_view Name, std::string_view Bytes, const TAtomicWrite& How) const;

  // A file to be written bit by bit, then published. Hint is the name it will take (for the
  // fallback's temporary name). Invalid, with Error set, on failure.
  TPendingFile Create(std::string_view Hint, bool OwnerOnly, TWriteResult& Error) const;
  // The complete file that another library wrote under the temporary name TempName in the folder
  // (one from TemporaryName), to be published; removed when it cannot be opened, with Error set.
  TPendingFile Adopt(std::string_view TempName, TWriteResult& Error) const;
  // Gives File the name Name (replacing an existing file only when Replace, which keeps its
  // permissions unless File is OwnerOnly; the result says Exists otherwise), after an fsync of its
  // data when Durable. The file is closed either way.
  TWriteResult Publish(TPendingFile& File, std::string_view Name, bool Replace, bool Durable) const;
  // Makes the folder's entries (the names given so far) durable: fsync of the folder.
  TWriteResult SyncNames() const;

private:
  int FDirFd = -1;
  bool FNameless = false;
  std::string FError;
};
