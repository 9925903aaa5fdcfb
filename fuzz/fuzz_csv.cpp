// CSV reader: any bytes are read to the end without a fault, every byte is consumed once, and
// the records read without error come back unchanged when written out again (every field
// quoted, quotes doubled) and read a second time. One stray quote in lines that hold none costs
// its own line only: every other line comes back as the record it holds. Read with tabs between
// the fields (a spreadsheet's copied cells), any bytes give the records and errors that the same
// bytes with every tab and comma swapped give when read with commas, swapped back.
#include "FuzzInput.h"
#include "batch/Csv.h"

#include <sstream>
#include <vector>

namespace {

using TRecords = std::vector<std::vector<std::string>>;

// The records read without error; Faults gets, for each record in error, its line.
TRecords ReadGood(const std::string& Text, std::size_t Max, std::size_t Expected,
                  std::vector<long long>* Faults, char Separator = ',') {
  std::istringstream In(Text);
  TCsvReader Reader(In, Max);
  Reader.SetExpectedFields(Expected);
  Reader.SetSeparator(Separator);
  TRecords Records;
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
      Faults->push_back(Record.Line);
      continue;
    }
    std::size_t Bytes = 0;
    for (const std::string& F : Record.Fields)
      Bytes += F.size();
    FUZZ_CHECK(Bytes <= Max);
    FUZZ_CHECK(Expected == 0 || Record.Fields.size() == Expected);
    Records.push_back(Record.Fields);
  }
  FUZZ_CHECK(Reader.BytesRead() == Text.size());
  return Records;
}

// Lines without quotes or CRs, with one quote put into line Stray (if there is such a line):
// every other line is read as its fields split at the commas (or is an error when it is too long
// or has the wrong count), and the stray line is an error.
void CheckStrayQuote(std::string Text, std::size_t Max, std::size_t Expected, unsigned Stray,
                     unsigned At) {
  std::string Clean;
  for (const char C : Text)
    if (C != '"' && C != '\r') Clean += C;
  if (Clean.rfind("\xEF\xBB\xBF", 0) == 0) Clean.erase(0, 3);
  std::vector<std::string> Lines(1);
  for (const char C : Clean) {
    if (C == '\n')
      Lines.emplace_back();
    else
      Lines.back() += C;
  }
  std::vector<std::size_t> NonEmpty;
  for (std::size_t I = 0; I < Lines.size(); ++I)
    if (!Lines[I].empty()) NonEmpty.push_back(I);
  if (NonEmpty.empty()) return;
  const std::size_t Bad = NonEmpty[Stray % NonEmpty.size()];
  Lines[Bad].insert(At % (Lines[Bad].size() + 1), 1, '"');

  std::string Input;
  TRecords Expect;
  std::vector<long long> ExpectFaults;
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    Input += Lines[I] + (I + 1 < Lines.size() ? "\n" : "");
    if (Lines[I].empty()) continue;
    std::vector<std::string> Fields(1);
    for (const char C : Lines[I]) {
      if (C == ',')
        Fields.emplace_back();
      else
        Fields.back() += C;
    }
    if (I == Bad || Lines[I].size() > Max || (Expected != 0 && Fields.size() != Expected))
      ExpectFaults.push_back(static_cast<long long>(I) + 1);
    else
      Expect.push_back(Fields);
  }
  // A stray quote before "\xEF\xBB\xBF" could leave a mark at the very start: not these lines.
  if (Input.rfind("\xEF\xBB\xBF", 0) == 0) return;
  std::vector<long long> Faults;
  FUZZ_CHECK(ReadGood(Input, Max, Expected, &Faults) == Expect);
  FUZZ_CHECK(Faults == ExpectFaults);
}

// Every tab a comma and every comma a tab.
std::string Swapped(std::string Text) {
  for (char& C : Text)
    C = C == '\t' ? ',' : C == ',' ? '\t' : C;
  return Text;
}

void CheckTabs(const std::string& Text, std::size_t Max, std::size_t Expected) {
  std::vector<long long> TabFaults, CommaFaults;
  const TRecords ByTabs = ReadGood(Text, Max, Expected, &TabFaults, '\t');
  TRecords ByCommas = ReadGood(Swapped(Text), Max, Expected, &CommaFaults);
  for (auto& Fields : ByCommas)
    for (std::string& F : Fields)
      F = Swapped(F);
  FUZZ_CHECK(ByTabs == ByCommas);
  FUZZ_CHECK(TabFaults == CommaFaults);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const std::size_t Max = 16 + In.Byte() * 4;
  const std::size_t Expected = In.Pick(4); // 0: any number of fields
  const unsigned Stray = In.Byte();
  const unsigned At = In.Byte();
  const std::string Text = In.Rest();
  std::vector<long long> Faults;
  const auto Records = ReadGood(Text, Max, Expected, &Faults);

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
  std::vector<long long> Again;
  // Quotes and separators add bytes: the second reading has a cap that the written records fit.
  FUZZ_CHECK(ReadGood(Written, Written.size() + 1, Expected, &Again) == Records);
  FUZZ_CHECK(Again.empty());

  CheckStrayQuote(Text, Max, Expected, Stray, At);
  CheckTabs(Text, Max, Expected);
  return 0;
}
