// The CSV reader against RFC 4180's rules and the malformed inputs a batch must survive.
#include "batch/Csv.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using TRecords = std::vector<std::vector<std::string>>;

struct TRead {
  TRecords Records;
  std::vector<long long> Lines;
  std::vector<std::string> Errors; // "" for a good record
};

TRead ReadAll(const std::string& Text, std::size_t MaxRecord = 1 << 20) {
  std::istringstream In(Text);
  TCsvReader Reader(In, MaxRecord);
  TRead Out;
  TCsvRecord Record;
  std::string Error;
  for (;;) {
    const TCsvStatus S = Reader.Next(Record, Error);
    if (S == TCsvStatus::End) break;
    Out.Records.push_back(S == TCsvStatus::Record ? Record.Fields : std::vector<std::string>{});
    Out.Lines.push_back(Record.Line);
    Out.Errors.push_back(S == TCsvStatus::Error ? Error : "");
  }
  EXPECT_EQ(Reader.BytesRead(), Text.size());
  return Out;
}

TEST(Csv, WellFormedInputs) {
  struct TCase {
    const char* Name;
    std::string Text;
    TRecords Expected;
  };
  const TCase Cases[] = {
      {"plain CR LF", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
      {"LF and no final break", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
      {"lone CR", "a\rb\r", {{"a"}, {"b"}}},
      {"quoted comma", "\"x,y\",z\n", {{"x,y", "z"}}},
      {"doubled quote", "\"say \"\"hi\"\"\",\"\"\"\"\n", {{"say \"hi\"", "\""}}},
      {"line breaks in a field", "\"one\r\ntwo\nthree\",4\n", {{"one\r\ntwo\nthree", "4"}}},
      {"empty fields", ",,\n\"\",x,\n", {{"", "", ""}, {"", "x", ""}}},
      {"mark at the start", "\xEF\xBB\xBFkind,url\n", {{"kind", "url"}}},
      {"mark later is data", "a,\xEF\xBB\xBF\n", {{"a", "\xEF\xBB\xBF"}}},
      {"a lone EF is data", "\xEF,b\n", {{"\xEF", "b"}}},
      {"EF BB without BF is data", "\xEF\xBBx\n", {{"\xEF\xBBx"}}},
      {"empty lines are passed over", "\n\r\na\n\n\r\nb\n\n", {{"a"}, {"b"}}},
      {"short and long rows are records",
       "a,b,c\n1\n1,2,3,4\n",
       {{"a", "b", "c"}, {"1"}, {"1", "2", "3", "4"}}},
      {"NUL and UTF-8 pass through",
       std::string("a\0b,\xC3\xA9\n", 7),
       {{std::string("a\0b", 3), "\xC3\xA9"}}},
      {"nothing", "", {}},
  };
  for (const TCase& C : Cases) {
    const TRead R = ReadAll(C.Text);
    EXPECT_EQ(R.Records, C.Expected) << C.Name;
    for (const std::string& E : R.Errors)
      EXPECT_EQ(E, "") << C.Name;
  }
}

TEST(Csv, LineNumbersCountBreaksInsideQuotes) {
  const TRead R = ReadAll("h\n\n\"a\nb\r\nc\"\nnext\r\n\r\nlast");
  ASSERT_EQ(R.Records.size(), 4u);
  EXPECT_EQ(R.Lines, (std::vector<long long>{1, 3, 6, 8}));
}

TEST(Csv, MalformedRecordsAreErrorsAndReadingGoesOn) {
  struct TCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> ErrorsContain; // per record, "" for good
  };
  const TCase Cases[] = {
      {"quote inside unquoted field", "ok\nab\"c,d\nok\n", {"", "quote inside", ""}},
      {"text after closing quote", "\"ab\"c,d\nok\n", {"after the closing quote", ""}},
      {"unterminated quote on the last line", "ok\n\"abc,d", {"", "ends inside a quoted field"}},
  };
  for (const TCase& C : Cases) {
    const TRead R = ReadAll(C.Text);
    ASSERT_EQ(R.Errors.size(), C.ErrorsContain.size()) << C.Name;
    for (std::size_t I = 0; I < R.Errors.size(); ++I) {
      if (C.ErrorsContain[I].empty())
        EXPECT_EQ(R.Errors[I], "") << C.Name << " record " << I;
      else
        EXPECT_NE(R.Errors[I].find(C.ErrorsContain[I]), std::string::npos)
            << C.Name << " record " << I << ": " << R.Errors[I];
    }
  }
}

TEST(Csv, OverlongRecordIsRefusedWithoutHoldingIt) {
  const std::string Big(5000, 'x');
  const TRead R = ReadAll("a\n" + Big + ",y\n\"" + Big + "\nstill quoted\"\nb\n", 1000);
  ASSERT_EQ(R.Records.size(), 5u);
  EXPECT_EQ(R.Errors[0], "");
  EXPECT_NE(R.Errors[1].find("longer than 1000"), std::string::npos);
  // Over the cap inside quotes that run over a line: the next line is read again.
  EXPECT_NE(R.Errors[2].find("longer than 1000"), std::string::npos);
  EXPECT_EQ(R.Lines[3], 4);
  EXPECT_NE(R.Errors[3].find("quote inside"), std::string::npos);
  EXPECT_EQ(R.Records[4], (std::vector<std::string>{"b"}));
  EXPECT_EQ(R.Lines[4], 5);
}

// A line with no break in sight (a stream of zero bytes) is given up after the skip bound, and
// reading ends there instead of running for ever.
TEST(Csv, ALineThatNeverEndsEndsTheReading) {
  std::uint64_t Given = 0;
  const std::string First = "a,b\n";
  TCsvReader Reader(
      [&](char* Into, std::size_t Size) -> long long {
        for (std::size_t I = 0; I < Size; ++I)
          Into[I] = Given + I < First.size() ? First[Given + I] : '\0';
        Given += Size;
        return static_cast<long long>(Size);
      },
      1000);
  TCsvRecord Record;
  std::string Error;
  ASSERT_EQ(Reader.Next(Record, Error), TCsvStatus::Record);
  EXPECT_EQ(Record.Fields, (std::vector<std::string>{"a", "b"}));
  ASSERT_EQ(Reader.Next(Record, Error), TCsvStatus::Error);
  EXPECT_NE(Error.find("no line break"), std::string::npos) << Error;
  EXPECT_EQ(Record.Line, 2);
  EXPECT_LT(Given, TCsvReader::kMaxSkip + (1 << 20));
  EXPECT_EQ(Reader.Next(Record, Error), TCsvStatus::End);
}

// A stopped source: the records read before are kept, the one it cut short is no record.
TEST(Csv, AStopLosesNoWholeRecordAndMakesNoHalfOne) {
  for (const std::string Before : {"h\nx,y\n", "h\nx,y\r", "h\nx,y\nhalf,", "h\nx,y\n\"open"}) {
    bool Told = false;
    TCsvReader Reader([&](char* Into, std::size_t Size) -> long long {
      if (Told) return kCsvStopped;
      Told = true;
      const std::size_t N = std::min(Size, Before.size());
      std::copy_n(Before.data(), N, Into);
      return static_cast<long long>(N);
    });
    TCsvRecord Record;
    std::string Error;
    ASSERT_EQ(Reader.Next(Record, Error), TCsvStatus::Record) << Before;
    ASSERT_EQ(Reader.Next(Record, Error), TCsvStatus::Record) << Before;
    EXPECT_EQ(Record.Fields, (std::vector<std::string>{"x", "y"})) << Before;
    EXPECT_EQ(Reader.Next(Record, Error), TCsvStatus::End) << Before;
    EXPECT_TRUE(Reader.Stopped());
  }
}

// A missing closing quote costs its own line only: the record is an error at the line where it
// began, and the lines after it are read again as the records they hold. A quoted field that
// legitimately runs over lines is kept.
TEST(Csv, AMissingClosingQuoteCostsOnlyItsLine) {
  struct TCase {
    const char* Name;
    std::string Text;
    std::size_t Expected; // fields per record, 0 for any
    std::size_t Max;
    std::vector<std::string> Records; // fields joined with "|", or "! reason part" for an error
    std::vector<long long> Lines;
  };
  const TCase Cases[] = {
      {"to the end of the input",
       "a,1\nb,\"open\nc,3\nd,4\n",
       2,
       1 << 20,
       {"a|1", "! quote opened on line 2 is never closed", "c|3", "d|4"},
       {1, 2, 3, 4}},
      {"closed by a later quote, then malformed",
       "a,\"open\nb,2\nc,\"x\"\n",
       2,
       1 << 20,
       {"! text after the closing quote of field 2 (is a closing quote missing on line 1?)", "b|2",
        "c|x"},
       {1, 2, 3}},
      {"closed cleanly but too many fields",
       "a,\"open\nb,c\",d\ne,f\n",
       2,
       1 << 20,
       {"! 3 fields where the header has 2 (is a closing quote", "! quote inside", "e|f"},
       {1, 2, 3}},
      {"past the size cap",
       "a,\"open\n" + std::string(3000, 'x') + "\nb,2\n",
       2,
       100,
       {"! record longer than 100 bytes", "! longer than 100", "b|2"},
       {1, 2, 3}},
      {"a kept field over lines",
       "a,\"one\ntwo\"\nb,2\n",
       2,
       1 << 20,
       {"a|one\ntwo", "b|2"},
       {1, 3}},
      {"a field over lines with the wrong count, no count asked",
       "a,\"one\ntwo\",x\nb,2\n",
       0,
       1 << 20,
       {"a|one\ntwo|x", "b|2"},
       {1, 3}},
      {"single-line faults do not read again",
       "a,b,c\nd\"e,f\n",
       2,
       1 << 20,
       {"! 3 fields where the header has 2", "! quote inside"},
       {1, 2}},
      {"over the cap while read again",
       "\"a\n\"b\n" + std::string(300, 'y') + "\nc\n",
       0,
       100,
       {"! text after the closing quote", "! longer than 100", "! longer than 100", "c"},
       {1, 2, 3, 4}},
  };
  for (const TCase& C : Cases) {
    std::istringstream In(C.Text);
    TCsvReader Reader(In, C.Max);
    Reader.SetExpectedFields(C.Expected);
    std::vector<std::string> Got;
    std::vector<long long> Lines;
    TCsvRecord Record;
    std::string Error;
    for (TCsvStatus S; (S = Reader.Next(Record, Error)) != TCsvStatus::End;) {
      std::string Joined;
      for (std::size_t I = 0; I < Record.Fields.size(); ++I)
        Joined += (I ? "|" : "") + Record.Fields[I];
      Got.push_back(S == TCsvStatus::Error ? "! " + Error : Joined);
      Lines.push_back(Record.Line);
    }
    EXPECT_EQ(Reader.BytesRead(), C.Text.size()) << C.Name;
    EXPECT_EQ(Lines, C.Lines) << C.Name;
    ASSERT_EQ(Got.size(), C.Records.size()) << C.Name << ": " << ::testing::PrintToString(Got);
    for (std::size_t I = 0; I < Got.size(); ++I) {
      if (C.Records[I][0] == '!')
        EXPECT_NE(Got[I].find(C.Records[I].substr(2)), std::string::npos)
            << C.Name << " record " << I << ": " << Got[I];
      else
        EXPECT_EQ(Got[I], C.Records[I]) << C.Name << " record " << I;
    }
  }
}

TEST(Csv, ChunkBoundariesChangeNothing) {
  // Records far longer than the reader's 64 KiB buffer, quotes and breaks across its edges.
  std::string Text, Field;
  for (int I = 0; I < 30000; ++I)
    Field += (I % 7 == 0) ? "\"\"" : (I % 11 == 0 ? "\r\n" : "ab,");
  std::string Unquoted;
  for (const char C : Field)
    if (C != '"') Unquoted += C;
  std::string Decoded;
  for (std::size_t I = 0; I < Field.size(); ++I) {
    Decoded += Field[I];
    if (Field[I] == '"') ++I;
  }
  for (int I = 0; I < 3; ++I)
    Text += "\"" + Field + "\",x\n";
  const TRead R = ReadAll(Text);
  ASSERT_EQ(R.Records.size(), 3u);
  for (const auto& Rec : R.Records)
    EXPECT_EQ(Rec, (std::vector<std::string>{Decoded, "x"}));
}

} // namespace
