#include "batch/Csv.h"

namespace {
constexpr std::size_t kChunk = 64 * 1024;
constexpr int kEnd = -1;
} // namespace

TCsvReader::TCsvReader(std::istream& Input, std::size_t MaxRecordBytes)
    : TCsvReader(
          [&Input](char* Into, std::size_t Size) -> long long {
            if (!Input) return 0;
            Input.read(Into, static_cast<std::streamsize>(Size));
            return Input.gcount();
          },
          MaxRecordBytes) {}

TCsvReader::TCsvReader(TCsvSource Source, std::size_t MaxRecordBytes)
    : FSource(std::move(Source)), FMaxRecordBytes(MaxRecordBytes), FBuffer(kChunk) {}

bool TCsvReader::Fill() {
  if (FPos < FEnd) return true;
  if (FStopped || FGivenUp) return false;
  const long long Got = FSource(FBuffer.data(), FBuffer.size());
  if (Got == kCsvStopped) FStopped = true;
  FEnd = Got > 0 ? static_cast<std::size_t>(Got) : 0;
  FPos = 0;
  return FEnd > 0;
}

int TCsvReader::Peek() {
  if (FAgainPos < FAgain.size()) return static_cast<unsigned char>(FAgain[FAgainPos]);
  return Fill() ? static_cast<unsigned char>(FBuffer[FPos]) : kEnd;
}

int TCsvReader::Get() {
  int C;
  if (FAgainPos < FAgain.size()) {
    C = static_cast<unsigned char>(FAgain[FAgainPos++]);
    if (FAgainPos == FAgain.size()) {
      FAgain.clear();
      FAgainPos = 0;
    }
  } else {
    if (!Fill()) return kEnd;
    C = static_cast<unsigned char>(FBuffer[FPos++]);
  }
  ++FConsumed;
  if (FRecording) FRecorded += static_cast<char>(C);
  return C;
}

void TCsvReader::ReadAgainFrom(long long Line) {
  FConsumed -= FRecorded.size();
  FAgain = FRecorded + FAgain.substr(FAgainPos);
  FAgainPos = 0;
  FRecorded.clear();
  FRecording = false;
  FLine = Line;
}

TCsvStatus TCsvReader::Next(TCsvRecord& Record, std::string& Error) {
  if (FStopped || FGivenUp) return TCsvStatus::End;
  if (!FStarted) {
    FStarted = true;
    // The byte-order mark EF BB BF, only as the first three bytes of the input.
    if (Peek() == 0xEF) {
      std::string Head;
      Head += static_cast<char>(Get());
      if (Peek() == 0xBB) {
        Head += static_cast<char>(Get());
        if (Peek() == 0xBF) {
          Get();
          Head.clear();
        }
      }
      // Not a mark: the bytes belong to the first field and are read again.
      FAgain = Head;
      FConsumed -= Head.size();
    }
  }

  // Pass over lines that hold nothing.
  for (;;) {
    const int C = Peek();
    if (C == kEnd) return TCsvStatus::End;
    if (C != '\r' && C != '\n') break;
    Get();
    if (C == '\r' && Peek() == '\n') Get();
    ++FLine;
  }

  Record.Fields.assign(1, std::string());
  Record.Line = FLine;
  Error.clear();
  FRecorded.clear();
  FRecording = false;
  std::uint64_t Bytes = 0;
  bool TooLong = false;
  bool Ended = false;     // the record's line break was read
  bool Spans = false;     // a quoted field ran over a line break
  long long Unclosed = 0; // the line of a quote the input ended inside
  std::string Reason;     // the first fault found
  auto Take = [&] {
    const int C = Get();
    if (C != kEnd && ++Bytes > FMaxRecordBytes) TooLong = true;
    if (Bytes > FMaxRecordBytes + kMaxSkip) FGivenUp = true;
    return C;
  };
  auto Keep = [&](int C) {
    if (!TooLong) Record.Fields.back() += static_cast<char>(C);
  };
  auto Flag = [&](std::string Why) {
    if (Reason.empty()) Reason = std::move(Why);
  };
  // Over the cap inside a record that runs over lines: stop at once, its lines are read again.
  auto GiveUp = [&] { return (TooLong && Spans) || FGivenUp; };

  // Field after field; each starts here. Quoted: read to the closing quote; then expect a
  // separator.
  [&] {
    for (;;) {
      bool Quoted = false;
      if (Peek() == '"') {
        Take();
        Quoted = true;
        const long long Opened = FLine;
        for (;;) {
          const int C = Take();
          if (C == kEnd) {
            Unclosed = Opened;
            Flag("the input ends inside a quoted field opened on line " + std::to_string(Opened));
            return;
          }
          if (C == '"') {
            if (Peek() == '"') {
              Take();
              Keep('"');
              continue;
            }
            break;
          }
          Keep(C);
          if (C == '\n' || (C == '\r' && Peek() != '\n')) {
            ++FLine;
            if (!Spans) Spans = FRecording = true; // the record may have to be read again from here
          }
          if (GiveUp()) return;
        }
      }
      // Unquoted text, or what follows a closing quote, up to a separator or the end of the record.
      for (;;) {
        const int C = Peek();
        if (C == kEnd || C == '\r' || C == '\n' || C == FSeparator) break;
        Take();
        if (Quoted)
          Flag("text after the closing quote of field " + std::to_string(Record.Fields.size()));
        else if (C == '"')
          Flag("a quote inside unquoted field " + std::to_string(Record.Fields.size()));
        Keep(C);
        if (GiveUp()) return;
      }
      if (Peek() == FSeparator) {
        Take();
        if (!TooLong) Record.Fields.emplace_back();
        if (GiveUp()) return;
        continue;
      }
      const int C = Get(); // the line break, or the end
      Ended = C != kEnd;
      if (C == '\r' && Peek() == '\n') Get();
      if (C != kEnd) ++FLine;
      return;
    }
  }();

  if (FStopped && !Ended) return TCsvStatus::End; // cut short: not a record
  if (FGivenUp) {
    Record.Fields.clear();
    Error = "record longer than " + std::to_string(FMaxRecordBytes) +
            " bytes, with no line break " + "in the " + std::to_string(kMaxSkip >> 20) +
            " MiB after it: the rest of the input " + "is not read";
    return TCsvStatus::Error;
  }
  if (TooLong) {
    Reason = "record longer than " + std::to_string(FMaxRecordBytes) + " bytes";
    Record.Fields.clear();
  } else if (Reason.empty() && FExpectedFields != 0 && Record.Fields.size() != FExpectedFields) {
    Reason = std::to_string(Record.Fields.size()) + " fields where the header has " +
             std::to_string(FExpectedFields);
  }
  if (Reason.empty()) {
    FRecording = false;
    FRecorded.clear();
    return TCsvStatus::Record;
  }
  if (Spans) {
    // Most likely a closing quote is missing on the record's first line: what followed it is read
    // again as the records it holds.
    const std::string Start = std::to_string(Record.Line);
    Error = Unclosed ? "the quote opened on line " + std::to_string(Unclosed) + " is never closed"
                     : Reason + " (is a closing quote missing on line " + Start + "?)";
    ReadAgainFrom(Record.Line + 1);
  } else {
    Error = std::move(Reason);
  }
  return TCsvStatus::Error;
}

std::string CsvRecord(const std::vector<std::string>& Fields) {
  std::string Line;
  for (std::size_t I = 0; I < Fields.size(); ++I) {
    const std::string& F = Fields[I];
    if (I > 0) Line += ',';
    if (F.find_first_of(",\"\r\n") == std::string::npos && !(F.empty() && Fields.size() == 1)) {
      Line += F;
      continue;
    }
    Line += '"';
    for (const char C : F)
      Line += C == '"' ? std::string("\"\"") : std::string(1, C);
    Line += '"';
  }
  return Line + "\r\n";
}
