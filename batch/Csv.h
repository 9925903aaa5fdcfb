// A streaming reader of comma-separated values as RFC 4180 describes them: fields separated by
// commas (or tabs, see SetSeparator), records by line breaks (CR LF, LF or a lone CR), fields in
// double quotes may hold commas, line breaks and doubled quotes. A UTF-8 byte-order mark at the
// very start is skipped and lines holding nothing at all are passed over. Bytes are passed through
// as they are; checking them as UTF-8 is the caller's business.
//
// One missing closing quote must not swallow the rest of a file. A record whose quoted field runs
// over a line break is kept only when it closes well: the quote closed, nothing malformed after
// it, the expected number of fields (when one is set), within the size cap. Otherwise it is an
// error reported at the line where it began, and reading starts again on the line after that
// one, so every later line is read as the rows it holds. The reader holds one record in memory,
// and for a record running over lines the bytes read since its first line, at most the size cap.
// A line that runs on past the cap is skipped to its line break, but no further than kMaxSkip
// bytes: input with no line break in sight (/dev/zero) ends the reading with an error rather
// than being read for ever.
//
// The bytes come from a source that hands over what it has (a pipe's rows as they arrive), and
// that may be stopped: a record the stop cut short is not returned, and reading ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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

// Fills Into with up to Size bytes and answers how many: at least one while there are more,
// 0 at the end of the input, kCsvStopped when reading was stopped (a signal) or failed.
using TCsvSource = std::function<long long(char* Into, std::size_t Size)>;
inline constexpr long long kCsvStopped = -1;

class TCsvReader {
public:
  // A record longer than MaxRecordBytes (every byte from its first to its line break) is an
  // error, so that a missing closing quote cannot make the reader hold the rest of a large file.
  explicit TCsvReader(std::istream& Input, std::size_t MaxRecordBytes = 1 << 20);
  explicit TCsvReader(TCsvSource Source, std::size_t MaxRecordBytes = 1 << 20);

  // How far past the cap a line is skipped in search of its line break.
  static constexpr std::uint64_t kMaxSkip = std::uint64_t{64} << 20;

  // The byte between fields: ',' (the default) or '\t' (cells a spreadsheet copies as text:
  // tab-separated, quoted as above when a cell holds a line break, a tab or a quote).
  void SetSeparator(char Separator) { FSeparator = Separator; }

  // From now on, a record with another number of fields is an error ("3 fields where the header
  // has 7"). 0, the start, accepts any number.
  void SetExpectedFields(std::size_t Count) { FExpectedFields = Count; }

  TCsvStatus Next(TCsvRecord& Record, std::string& Error);

  // The offset in the input where reading stands: every byte before it belongs to a record
  // already returned (or to the lines passed over).
  std::uint64_t BytesRead() const { return FConsumed; }
  // True once the source was stopped: Next answers End from then on.
  bool Stopped() const { return FStopped; }

private:
  int Peek();
  int Get();
  bool Fill();
  // Puts the bytes read since the record's first line break back in front of the input.
  void ReadAgainFrom(long long Line);

  TCsvSource FSource;
  std::size_t FMaxRecordBytes;
  std::size_t FExpectedFields = 0;
  char FSeparator = ',';
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
  bool FStopped = false;
  bool FGivenUp = false; // a line ran on past kMaxSkip: nothing more is read
};

// One record as RFC 4180 writes it, ended by CR LF: a field holding a comma, a double quote, a CR
// or an LF is put in double quotes with its quotes doubled, and so is a record's only field when
// it is empty (an empty line would be passed over). TCsvReader reads the line back as Fields.
std::string CsvRecord(const std::vector<std::string>& Fields);
