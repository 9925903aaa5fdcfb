// manifest.csv, the batch's account of every row: row, file, kind, version, payload bytes,
// verified (yes, no, not asked), error, and the error-correction level the code was made at (ec,
// last so that readers of the earlier columns by position keep working). It is streamed into a
// file not yet named beside the output as rows are reported, and takes its name only at the end,
// after every file of the batch has been flushed to the disk: a manifest that exists speaks of
// files that all survived. (In a ZIP archive it is the last entry instead.)
#pragma once

#include "encoder/Mode.h"
#include "platform/AtomicFile.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// What became of one row.
struct TRowResult {
  long long Row = 0;
  long long Line = 0;
  std::string File;
  std::string Kind;
  int Version = 0;
  TQRCodeECLevel Level = ecL; // written only with a version
  std::size_t PayloadBytes = 0;
  std::string Verified = "not asked";
  std::string Error;
  std::string Warning;  // reported on standard error, not in the manifest
  bool Skipped = false; // the batch was interrupted before the row was begun: not in the manifest
};

// A field as RFC 4180 writes it: quoted when it holds a comma, a quote or a line break.
std::string CsvField(std::string_view Value);

class TManifest {
public:
  TManifest() = default;
  TManifest(const TManifest&) = delete;
  TManifest& operator=(const TManifest&) = delete;

  // Starts the manifest as a file of Files not yet named, with its header line; Error says why
  // not. Files must outlive the manifest.
  bool Open(const TFolderFiles& Files, std::string& Error);
  void Add(const TRowResult& Result);
  // A closing line that is no row: the row column empty, Note in the error column.
  void AddNote(std::string_view Note);
  // Writes out what is buffered and answers the file's descriptor, open for reading too (for a
  // caller that copies the manifest elsewhere), or -1 after a write error (Error says which).
  int Flush(std::string& Error);
  // Flushes the manifest to the disk, gives it the name Name (replacing one only when Replace),
  // and makes that durable. With SyncAll every file of the file system that holds Folder (Files'
  // folder) is flushed first (syncfs): a batch of many files flushes them all at once.
  bool Finish(const std::filesystem::path& Folder, const std::string& Name, bool Replace,
              bool SyncAll, std::string& Error);

private:
  const TFolderFiles* FFiles = nullptr;
  TPendingFile FFile;
  std::string FBuffer;
  int FErrno = 0;
};
