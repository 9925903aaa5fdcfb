#include "batch/Manifest.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// Written out in pieces of about this size.
constexpr std::size_t kFlushBytes = 64 * 1024;

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

bool TManifest::Open(const TFolderFiles& Files, std::string& Error) {
  FFiles = &Files;
  TWriteResult Made;
  FFile = Files.Create("manifest.csv", false, Made);
  if (!FFile.Valid()) {
    Error = Made.Error;
    return false;
  }
  FBuffer = "row,file,kind,version,payload bytes,verified,error,ec\r\n";
  return true;
}

void TManifest::Add(const TRowResult& R) {
  FBuffer += std::to_string(R.Row) + "," + CsvField(R.File) + "," + CsvField(R.Kind) + "," +
             (R.Version ? std::to_string(R.Version) : "") + "," +
             (R.Version ? std::to_string(R.PayloadBytes) : "") + "," + CsvField(R.Verified) + "," +
             CsvField(R.Error) + "," + (R.Version ? std::string(1, ECLevelLetter(R.Level)) : "") +
             "\r\n";
  if (FBuffer.size() >= kFlushBytes) {
    std::string Ignored;
    Flush(Ignored);
  }
}

void TManifest::AddNote(std::string_view Note) {
  FBuffer += ",,,,,," + CsvField(Note) + ",\r\n"; // in the error column, every column present
}

int TManifest::Flush(std::string& Error) {
  if (FErrno == 0 && !FBuffer.empty() && !FFile.WriteAll(FBuffer)) FErrno = errno;
  FBuffer.clear();
  if (FErrno != 0) {
    Error = std::strerror(FErrno);
    return -1;
  }
  return FFile.Fd();
}

bool TManifest::Finish(const std::filesystem::path& Folder, const std::string& Name, bool Replace,
                       bool SyncAll, std::string& Error) {
  if (Flush(Error) < 0) return false;
  TWriteResult R = SyncAll ? SyncFileSystem(Folder) : TWriteResult{true, {}};
  if (R.Ok) R = FFiles->Publish(FFile, Name, Replace, /*Durable=*/true);
  if (R.Ok) R = FFiles->SyncNames(); // the new name itself
  if (!R.Ok) Error = R.Exists ? Name + " appeared during the batch" : R.Error;
  return R.Ok;
}
