// marbeck-cli phone, sms, geo, event and pay: each command's code read back by zbar holds the
// record, a refusal is one line on standard error and exit 2 with nothing written, a payment is
// made at level M at least, a batch fails a bad row alone with its reason, and decode --as-csv
// gives rows the batch makes again.
#include "CliRun.h"
#include "support/TempFolder.h"
#include "support/ZbarDecode.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::optional<std::string> ReadCode(const fs::path& Png) {
  const QImage Picture =
      QImage(QString::fromStdString(Png.string())).convertToFormat(QImage::Format_Grayscale8);
  if (Picture.isNull()) return std::nullopt;
  std::vector<unsigned char> Pixels;
  for (int Y = 0; Y < Picture.height(); ++Y)
    Pixels.insert(Pixels.end(), Picture.constScanLine(Y),
                  Picture.constScanLine(Y) + Picture.width());
  return DecodeGreyImage(Pixels, Picture.width(), Picture.height());
}

} // namespace

TEST(CliKinds, EachCommandMakesItsRecordOrRefusesInOneLine) {
  TTempFolder Folder;
  struct TCase {
    std::vector<std::string> Args;
    int Status;
    std::string Says; // the record zbar reads, or a part of the refusal
  };
  const TCase Cases[] = {
      {{"phone", "+49 30 1234-567"}, 0, "tel:+49301234-567"},
      {{"sms", "--number", "555", "--message", "Time: 10:30"}, 0, "SMSTO:555:Time: 10:30"},
      {{"geo", "--lat", "-33.8568", "--lon", "151.2153", "--label", "Opera House"},
       0,
       "geo:-33.8568,151.2153?q=-33.8568,151.2153(Opera%20House)"},
      {{"event", "--summary", "Carols", "--start", "2026-12-24T18:00", "--end", "2026-12-24 20:00"},
       0,
       "BEGIN:VEVENT\r\nSUMMARY:Carols\r\nDTSTART:20261224T170000Z\r\nDTEND:20261224T190000Z\r\n"
       "END:VEVENT\r\n"},
      {{"event", "--summary", "New Year", "--start", "2027-01-01", "--all-day"},
       0,
       "BEGIN:VEVENT\r\nSUMMARY:New Year\r\nDTSTART;VALUE=DATE:20270101\r\n"
       "DTEND;VALUE=DATE:20270102\r\nEND:VEVENT\r\n"},
      {{"pay", "--name", "Red Cross", "--iban", "de89 3704 0044 0532 0130 00", "--amount", "12.30",
        "--reference", "RF18 5390 0754 7034", "--purpose", "char"},
       0,
       "BCD\n002\n1\nSCT\n\nRed Cross\nDE89370400440532013000\nEUR12.3\nCHAR\nRF18539007547034"},
      // UTF-8 bytes: the payment declares them, and Auto would give ISO-8859-1.
      {{"pay", "--name", "F\xC3\xB6rderverein", "--iban", "DE89370400440532013000", "--remittance",
        "x"},
       0,
       "BCD\n002\n1\nSCT\n\nF\xC3\xB6rderverein\nDE89370400440532013000\n\n\n\nx"},
      {{"sms", "--number", "555", "--message",
        "Gr\xC3\xBC\xC3\x9F"
        "e"},
       0,
       "SMSTO:555:Gr\xC3\xBC\xC3\x9F"
       "e"},
      {{"phone", "0800-FLOWERS"}, 2, "holds a letter"},
      {{"sms", "--message", "hi"}, 2, "missing field number"},
      {{"geo", "--lat", "91", "--lon", "0"}, 2, "-90 to 90"},
      {{"geo", "--lat", "0", "--lon", "-180.5"}, 2, "-180 to 180"},
      {{"event", "--summary", "X", "--start", "2026-12-24T18:00", "--end", "2026-12-24T17:00"},
       2,
       "ends before it starts"},
      {{"event", "--summary", "X", "--start", "2026-02-30T10:00"}, 2, "not a valid date"},
      {{"pay", "--name", "Ann", "--iban", "DE89370400440532013001"}, 2, "check digits"},
      {{"pay", "--name", "Ann", "--iban", "DE89370400440532013000", "--amount", "0"}, 2, "0.01"},
      {{"pay", "--name", "Ann", "--iban", "DE89370400440532013000", "--reference",
        "RF18539007547034", "--remittance", "x"},
       2,
       "not both"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Args.front() + " " + C.Says);
    std::vector<std::string> Args = C.Args;
    Args.insert(Args.end(), {"-o", "code.png"});
    fs::remove(Folder.Path() / "code.png");
    const TRun R = RunCli(Folder.Path(), Args, {}, {"TZ=Europe/Berlin"});
    EXPECT_EQ(R.Status, C.Status) << R.Err;
    if (C.Status != 0) {
      EXPECT_NE(R.Err.find(C.Says), std::string::npos) << R.Err;
      EXPECT_EQ(std::count(R.Err.begin(), R.Err.end(), '\n'), 1) << R.Err;
      EXPECT_FALSE(fs::exists(Folder.Path() / "code.png"));
      continue;
    }
    EXPECT_EQ(ReadCode(Folder.Path() / "code.png"), C.Says);
  }
}

TEST(CliKinds, BatchRowsFailAloneAndDecodeGivesRowsTheBatchMakesAgain) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "in.csv",
            "kind,file,number,message,lat,lon,label,summary,start,end,all-day,name,iban,amount,"
            "remittance,ec\n"
            "phone,p,+1 212 555 0100,,,,,,,,,,,,,\n"
            "sms,s,555,\"two\nlines, and: colons\",,,,,,,,,,,,\n"
            "geo,g,,,51.5007,-0.1246,Big Ben,,,,,,,,,\n"
            "event,e,,,,,,Fair,2026-05-01,2026-05-03,yes,,,,,\n"
            "pay,y,,,,,,,,,,Ann,DE89370400440532013000,5,Rent,L\n"
            "pay,bad,,,,,,,,,,Ann,DE89370400440532013001,5,Rent,\n"
            "geo,far,,,95,0,,,,,,,,,,\n");
  const TRun Made = RunCli(Folder.Path(), {"batch", "in.csv", "--out", "one", "--format", "png"},
                           {}, {"TZ=Europe/Berlin"});
  EXPECT_EQ(Made.Status, 1) << Made.Err;
  const std::string Manifest = ReadFile(Folder.Path() / "one" / "manifest.csv");
  EXPECT_NE(Manifest.find("6,bad.png,pay,,,not asked,The IBAN's check digits do not match"),
            std::string::npos)
      << Manifest;
  EXPECT_NE(Manifest.find("7,far.png,geo,,,not asked,The latitude must be"), std::string::npos)
      << Manifest;
  const std::size_t Pay = Manifest.find("5,y.png,pay,");
  ASSERT_NE(Pay, std::string::npos) << Manifest;
  EXPECT_EQ(Manifest.substr(Manifest.find("\r\n", Pay) - 2, 2), ",M")
      << "the payment at M, though its row asks L: " << Manifest;
  for (const char* Made5 : {"p.png", "s.png", "g.png", "e.png", "y.png"})
    EXPECT_TRUE(fs::exists(Folder.Path() / "one" / Made5)) << Made5;

  // decode --as-csv, the batch again, decode --as-csv again: the same rows.
  const std::vector<std::string> Pictures = {"one/p.png", "one/s.png", "one/g.png", "one/e.png",
                                             "one/y.png"};
  std::vector<std::string> Args = {"decode", "--as-csv"};
  Args.insert(Args.end(), Pictures.begin(), Pictures.end());
  const TRun First = RunCli(Folder.Path(), Args, {}, {"TZ=America/New_York"});
  ASSERT_EQ(First.Status, 0) << First.Err;
  WriteFile(Folder.Path() / "back.csv", First.Out);
  const TRun Again = RunCli(Folder.Path(), {"batch", "back.csv", "--out", "two", "--format", "png"},
                            {}, {"TZ=America/New_York"});
  ASSERT_EQ(Again.Status, 0) << Again.Err;
  for (const char* Name : {"p", "s", "g", "e", "y"})
    EXPECT_EQ(ReadCode(Folder.Path() / "two" / (std::string(Name) + ".png")),
              ReadCode(Folder.Path() / "one" / (std::string(Name) + ".png")))
        << Name << ": the same record in another time zone";
  const TRun Json = RunCli(Folder.Path(), {"decode", "--json", "one/e.png", "one/y.png"}, {},
                           {"TZ=Europe/Berlin"});
  EXPECT_NE(Json.Out.find("\"kind\":\"event\",\"fields\":{\"summary\":\"Fair\",\"start\":"
                          "\"2026-05-01\",\"end\":\"2026-05-03\",\"all-day\":\"true\""),
            std::string::npos)
      << Json.Out;
  EXPECT_NE(Json.Out.find("\"kind\":\"pay\",\"fields\":{\"name\":\"Ann\",\"iban\":"
                          "\"DE89370400440532013000\",\"bic\":\"\",\"amount\":\"5\""),
            std::string::npos)
      << Json.Out;
}
