// A streaming reader of comma-separated values as RFC 4180 describes them: fields separated by
// commas, records by line breaks (CR LF, LF or a lone CR), fields in double quotes may hold
// commas, line breaks and doubled quotes. A UTF-8 byte-order mark at the very start is skipped and
// lines holding nothing at all are passed over. Bytes are passed through as they are; checking
// them as UTF-8 is the caller's business.
//
// One missing closing quote must not swallow the rest of a file. A record whose quoted field runs
// over a line break is kept only when it closes well: the quote closed, nothing malformed after
// it, the expected number of fields (when one is set), within the size cap. Otherwise it is an
// error reported at the line where it began, and reading starts again on the line after that
// one, so every later line is read as the rows it holds. The reader holds one record in memory,
// and for a record running over lines the bytes read since its first line, at most the size cap.
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
          // has moved past it (or back to the line after Record.Line, see above) and the next
          // call reads on from there
  End,    // no more records
};

class TCsvReader {
public:
  // A record longer than MaxRecordBytes (every byte from its first to its line break) is an
  // error, so that a missing closing quote cannot make the reader hold the rest of a large file.
  explicit TCsvReader(std::istream& Input, std::size_t MaxRecordBytes = 1 << 20);

  // From now on, a record with another number of fields is an error ("3 fields where the header
  // has 7"). 0, the start, accepts any number.
  void SetExpectedFields(std::size_t Count) { FExpectedFields = Count; }

  TCsvStatus Next(TCsvRecord& Record, std::string& Error);

  // The offset in the input where reading stands: every byte before it belongs to a record
  // already returned (or to the lines passed over).
  std::uint64_t BytesRead() const { return FConsumed; }

private:
  int Peek();
  int Get();
  bool Fill();
  // Puts the bytes read since the record's first line break back in front of the input.
  void ReadAgainFrom(long long Line);

  std::istream& FInput;
  std::size_t FMaxRecordBytes;
  std::size_t FExpectedFields = 0;
  std::vector<char> FBuffer;
  std::size_t FPos = 0;
  std::size_t FEnd = 0;
  std::string FAgain; // bytes to read again before the buffer
  std::size_t FAgainPos = 0;
  bool FRecording = false;
  std::string FRecorded; // bytes read since the current record's first line break
  std::uint64_t FConsumed = 0;
  long long FLine = 1;
  bool FStarted = false;
};

// One record as RFC 4180 writes it, ended by CR LF: a field holding a comma, a double quote, a CR
// or an LF is put in double quotes with its quotes doubled, and so is a record's only field when
// it is empty (an empty line would be passed over). TCsvReader reads the line back as Fields.
std::string CsvRecord(const std::vector<std::string>& Fields);
