#include "cli/Manifest.h"

#include "platform/TextFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Read by setting it: harmless here, since Open runs before any worker thread starts.
mode_t CurrentUmask() {
  const mode_t Mask = ::umask(0);
  ::umask(Mask);
  return Mask;
}

} // namespace

std::string CsvField(std::string_view Value) {
  if (Value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(Value);
  std::string Out = "\"";
  for (const char C : Value) {
    if (C == '"') Out += '"';
    Out += C;
  }
  return Out + "\"";
}

TManifest::~TManifest() {
  if (FFile) {
    std::fclose(FFile);
    ::unlink(FTemp.c_str());
  }
}

bool TManifest::Open(const std::filesystem::path& Folder, std::string& Error) {
  FFolder = Folder;
  FTemp = (Folder / ".manifest.csv.XXXXXX").string();
  const int Fd = ::mkstemp(FTemp.data());
  if (Fd < 0 || ::fchmod(Fd, 0666 & ~CurrentUmask()) != 0 || !(FFile = ::fdopen(Fd, "wb"))) {
    Error = std::strerror(errno);
    if (Fd >= 0) {
      ::close(Fd);
      ::unlink(FTemp.c_str());
    }
    return false;
  }
  Write("row,file,kind,version,payload bytes,verified,error,ec\r\n");
  return true;
}

void TManifest::Add(const TRowResult& R) {
  Write(std::to_string(R.Row) + "," + CsvField(R.File) + "," + CsvField(R.Kind) + "," +
        (R.Version ? std::to_string(R.Version) : "") + "," +
        (R.Version ? std::to_string(R.PayloadBytes) : "") + "," + CsvField(R.Verified) + "," +
        CsvField(R.Error) + "," + (R.Version ? std::string(1, ECLevelLetter(R.Level)) : "") +
        "\r\n");
}

void TManifest::AddNote(std::string_view Note) {
  Write(",,,,,," + CsvField(Note) + ",\r\n"); // in the error column, every column present
}

bool TManifest::Finish(bool Replace, std::string& Error) {
  bool Ok = FOk && std::fflush(FFile) == 0 && ::fsync(::fileno(FFile)) == 0;
  if (!Ok) Error = std::strerror(errno);
  if (std::fclose(FFile) != 0 && Ok) {
    Ok = false;
    Error = std::strerror(errno);
  }
  FFile = nullptr;
  if (Ok) Ok = Synced(Error);
  const std::string Target = (FFolder / "manifest.csv").string();
  if (Ok) {
    const int R =
        Replace ? ::rename(FTemp.c_str(), Target.c_str())
                : ::renameat2(AT_FDCWD, FTemp.c_str(), AT_FDCWD, Target.c_str(), RENAME_NOREPLACE);
    if (R != 0) {
      Ok = false;
      Error = errno == EEXIST ? "manifest.csv appeared during the batch" : std::strerror(errno);
    }
  }
  if (Ok) Ok = Synced(Error); // the rename itself
  if (!Ok) ::unlink(FTemp.c_str());
  return Ok;
}

bool TManifest::Synced(std::string& Error) {
  const TWriteResult R = SyncFileSystem(FFolder);
  if (!R.Ok) Error = R.Error;
  return R.Ok;
}

void TManifest::Write(const std::string& Text) {
  if (std::fwrite(Text.data(), 1, Text.size(), FFile) != Text.size()) FOk = false;
}
