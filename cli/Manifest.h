// manifest.csv, the batch's account of every row: row, file, kind, version, payload bytes,
// verified (yes, no, not asked), error, and the error-correction level the code was made at (ec,
// last so that readers of the earlier columns by position keep working). It is streamed into a
// temporary file in the output folder as rows are reported, and takes its name only at the end,
// after every file of the batch has been flushed to the disk: a manifest that exists speaks of
// files that all survived.
#pragma once

#include "encoder/Mode.h"

#include <cstddef>
#include <cstdio>
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
  // Removes the temporary file unless Finish gave it its name.
  ~TManifest();

  // Makes the temporary file in Folder and writes the header line; Error says why not.
  bool Open(const std::filesystem::path& Folder, std::string& Error);
  void Add(const TRowResult& Result);
  // A closing line that is no row: the row column empty, Note in the error column.
  void AddNote(std::string_view Note);
  // Flushes every file of the batch to the disk, then the manifest, and renames it to
  // manifest.csv (replacing one only when Replace), then makes the rename durable.
  bool Finish(bool Replace, std::string& Error);

private:
  bool Synced(std::string& Error);
  void Write(const std::string& Text);

  std::filesystem::path FFolder;
  std::string FTemp;
  std::FILE* FFile = nullptr;
  bool FOk = true;
};
