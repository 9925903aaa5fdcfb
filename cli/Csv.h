// A streaming reader of comma-separated values as RFC 4180 describes them: fields separated by
// commas, records by line breaks (CR LF, LF or a lone CR), fields in double quotes may hold
// commas, line breaks and doubled quotes. A UTF-8 byte-order mark at the very start is skipped and
// lines holding nothing at all are passed over. The reader keeps one record in memory at a time.
// Bytes are passed through as they are; checking them as UTF-8 is the caller's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct TCsvRecord {
  std::vector<std::string> Fields;
  long long Line = 0; // the line on which the record starts, counting from 1
};

enum class TCsvStatus {
  Record, // Record holds the next record
  Error,  // the next record is malformed: Record.Line and Error say where and why; the reader
          // has moved past it and the next call reads the record after it
  End,    // no more records
};

class TCsvReader {
public:
  // A record longer than MaxRecordBytes (all its fields together) is an error, so that a
  // missing closing quote cannot make the reader hold the rest of a large file.
  explicit TCsvReader(std::istream& Input, std::size_t MaxRecordBytes = 1 << 20);

  TCsvStatus Next(TCsvRecord& Record, std::string& Error);

  // Bytes consumed from the input so far.
  std::uint64_t BytesRead() const { return FConsumed; }

private:
  int Peek();
  int Get();
  bool Fill();

  std::istream& FInput;
  std::size_t FMaxRecordBytes;
  std::vector<char> FBuffer;
  std::size_t FPos = 0;
  std::size_t FEnd = 0;
  std::uint64_t FConsumed = 0;
  long long FLine = 1;
  bool FStarted = false;
};
