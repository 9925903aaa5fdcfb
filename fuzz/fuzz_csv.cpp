// CSV reader: any bytes are read to the end without a fault, every byte is consumed once, and
// the records read without error come back unchanged when written out again (every field
// quoted, quotes doubled) and read a second time.
#include "FuzzInput.h"
#include "cli/Csv.h"

#include <sstream>
#include <vector>

namespace {

std::vector<std::vector<std::string>> ReadGood(const std::string& Text, std::size_t Max,
                                               std::size_t* Errors) {
  std::istringstream In(Text);
  TCsvReader Reader(In, Max);
  std::vector<std::vector<std::string>> Records;
  TCsvRecord Record;
  std::string Error;
  long long LastLine = 0;
  for (;;) {
    const TCsvStatus S = Reader.Next(Record, Error);
    if (S == TCsvStatus::End) break;
    FUZZ_CHECK(Record.Line > LastLine); // lines only move forward
    LastLine = Record.Line;
    if (S == TCsvStatus::Error) {
      FUZZ_CHECK(!Error.empty());
      ++*Errors;
      continue;
    }
    std::size_t Bytes = 0;
    for (const std::string& F : Record.Fields)
      Bytes += F.size();
    FUZZ_CHECK(Bytes <= Max);
    Records.push_back(Record.Fields);
  }
  FUZZ_CHECK(Reader.BytesRead() == Text.size());
  return Records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const std::size_t Max = 16 + In.Byte() * 4;
  const std::string Text = In.Rest();
  std::size_t Errors = 0;
  const auto Records = ReadGood(Text, Max, &Errors);

  std::string Written;
  for (const auto& Fields : Records) {
    for (std::size_t I = 0; I < Fields.size(); ++I) {
      Written += I ? ",\"" : "\"";
      for (const char C : Fields[I])
        Written += C == '"' ? std::string("\"\"") : std::string(1, C);
      Written += '"';
    }
    Written += "\r\n";
  }
  std::size_t Again = 0;
  // Quotes and separators add bytes, but the limit counts field bytes only.
  FUZZ_CHECK(ReadGood(Written, Max, &Again) == Records);
  FUZZ_CHECK(Again == 0);
  return 0;
}
