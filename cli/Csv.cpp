#include "cli/Csv.h"

namespace {
constexpr std::size_t kChunk = 64 * 1024;
constexpr int kEnd = -1;
} // namespace

TCsvReader::TCsvReader(std::istream& Input, std::size_t MaxRecordBytes)
    : FInput(Input), FMaxRecordBytes(MaxRecordBytes), FBuffer(kChunk) {}

bool TCsvReader::Fill() {
  if (FPos < FEnd) return true;
  if (!FInput) return false;
  FInput.read(FBuffer.data(), static_cast<std::streamsize>(FBuffer.size()));
  FEnd = static_cast<std::size_t>(FInput.gcount());
  FPos = 0;
  return FEnd > 0;
}

int TCsvReader::Peek() {
  return Fill() ? static_cast<unsigned char>(FBuffer[FPos]) : kEnd;
}

int TCsvReader::Get() {
  if (!Fill()) return kEnd;
  ++FConsumed;
  return static_cast<unsigned char>(FBuffer[FPos++]);
}

TCsvStatus TCsvReader::Next(TCsvRecord& Record, std::string& Error) {
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
      if (!Head.empty()) {
        // Not a mark: the bytes belong to the first field. Put them back in front of the buffer.
        FBuffer.insert(FBuffer.begin() + static_cast<std::ptrdiff_t>(FPos), Head.begin(),
                       Head.end());
        FEnd += Head.size();
        FConsumed -= Head.size();
      }
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
  std::size_t Stored = 0;
  bool TooLong = false;
  auto Keep = [&](int C) {
    if (TooLong) return;
    if (++Stored > FMaxRecordBytes) {
      TooLong = true;
      return;
    }
    Record.Fields.back() += static_cast<char>(C);
  };
  auto Flag = [&](std::string Why) {
    if (Error.empty()) Error = std::move(Why);
  };

  // A field starts here. Quoted: read to the closing quote; then expect a separator.
  for (;;) {
    bool Quoted = false;
    if (Peek() == '"') {
      Get();
      Quoted = true;
      const long long Opened = FLine;
      for (;;) {
        const int C = Get();
        if (C == kEnd) {
          Flag("the input ends inside a quoted field opened on line " + std::to_string(Opened));
          if (TooLong) Error = "record longer than " + std::to_string(FMaxRecordBytes) + " bytes";
          return TCsvStatus::Error;
        }
        if (C == '"') {
          if (Peek() == '"') {
            Get();
            Keep('"');
            continue;
          }
          break;
        }
        if (C == '\n' || (C == '\r' && Peek() != '\n')) ++FLine;
        Keep(C);
      }
    }
    // Unquoted text, or what follows a closing quote, up to a comma or the end of the record.
    for (;;) {
      const int C = Peek();
      if (C == kEnd || C == '\r' || C == '\n' || C == ',') break;
      Get();
      if (Quoted)
        Flag("text after the closing quote of field " + std::to_string(Record.Fields.size()));
      else if (C == '"')
        Flag("a quote inside unquoted field " + std::to_string(Record.Fields.size()));
      Keep(C);
    }
    const int C = Get();
    if (C == ',') {
      if (!TooLong) Record.Fields.emplace_back();
      continue;
    }
    if (C == '\r' && Peek() == '\n') Get();
    if (C != kEnd) ++FLine;
    break;
  }
  if (TooLong) {
    Error = "record longer than " + std::to_string(FMaxRecordBytes) + " bytes";
    Record.Fields.clear();
  }
  return Error.empty() ? TCsvStatus::Record : TCsvStatus::Error;
}
