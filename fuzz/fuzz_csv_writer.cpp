// The CSV writer of marbeck-cli decode --as-csv against the batch's reader: any records of any
// bytes (commas, quotes, line breaks, empty fields) written one per line after a header are read
// back as the same records, and nothing else.
#include "FuzzInput.h"
#include "batch/Csv.h"

#include <sstream>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  std::vector<std::vector<std::string>> Records = {{"kind", "file"}};
  const std::size_t Count = In.Pick(8);
  for (std::size_t R = 0; R < Count && !In.Empty(); ++R) {
    std::vector<std::string> Fields(1 + In.Pick(5));
    for (std::string& F : Fields) {
      const std::size_t Length = In.Pick(12);
      for (std::size_t I = 0; I < Length && !In.Empty(); ++I) {
        const std::uint8_t Kind = In.Byte();
        F += Kind % 4 == 0 ? ",\"\r\n"[In.Pick(4)] : static_cast<char>(In.Byte());
      }
    }
    Records.push_back(Fields);
  }
  std::string Text;
  for (const auto& Fields : Records)
    Text += CsvRecord(Fields);

  std::istringstream Stream(Text);
  TCsvReader Reader(Stream);
  TCsvRecord Record;
  std::string Error;
  std::vector<std::vector<std::string>> Read;
  for (TCsvStatus S; (S = Reader.Next(Record, Error)) != TCsvStatus::End;) {
    FUZZ_CHECK(S == TCsvStatus::Record);
    Read.push_back(Record.Fields);
  }
  FUZZ_CHECK(Read == Records);
  return 0;
}
