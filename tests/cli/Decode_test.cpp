// marbeck-cli decode as a user runs it: codes made by other encoders (qrencode, segno) read back
// into their fields, and the round trip decode --as-csv -> batch -> decode giving the same
// content again. The CSV is read with the batch's own reader.
#include "batch/Csv.h"
#include "cli/Decode.h"
#include "support/OutsideReaders.h"
#include "support/TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

TToolRun Cli(const QStringList& Args) {
  return RunTool(QStringLiteral(MARBECK_CLI), Args);
}

QString Q(const fs::path& P) {
  return QString::fromStdString(P.string());
}

// The rows of a CSV text as column -> value maps.
std::vector<std::map<std::string, std::string>> CsvRows(const QByteArray& Text) {
  std::istringstream In(Text.toStdString());
  TCsvReader Reader(In);
  TCsvRecord Header, Record;
  std::string Error;
  std::vector<std::map<std::string, std::string>> Rows;
  if (Reader.Next(Header, Error) != TCsvStatus::Record) return Rows;
  while (Reader.Next(Record, Error) == TCsvStatus::Record) {
    std::map<std::string, std::string> Row;
    for (std::size_t I = 0; I < Header.Fields.size() && I < Record.Fields.size(); ++I)
      if (!Record.Fields[I].empty()) Row[Header.Fields[I]] = Record.Fields[I];
    Rows.push_back(Row);
  }
  return Rows;
}

struct TCodeCase {
  const char* Name;
  std::string Bytes;
  std::map<std::string, std::string> Fields; // what decode must find, besides kind and file
};

// One code of every kind, with the characters that need care.
const TCodeCase kCases[] = {
    {"text",
     "Zwei Zeilen\r\nmit \xC3\xBC, \"Quotes\", Kommas",
     {{"kind", "text"}, {"text", "Zwei Zeilen\r\nmit \xC3\xBC, \"Quotes\", Kommas"}}},
    {"latin1",
     "Gr\xFC\xDF"
     "e",
     {{"kind", "text"},
      {"text", "Gr\xC3\xBC\xC3\x9F"
               "e"}}},
    {"url",
     "https://example.org/a?b=c&d=e#f",
     {{"kind", "url"}, {"url", "https://example.org/a?b=c&d=e#f"}}},
    {"wifi",
     "WIFI:T:WPA;S:Caf\xC3\xA9 \\;1;P:s3cr\\;t\\:\\,\\\\;;",
     {{"kind", "wifi"},
      {"ssid", "Caf\xC3\xA9 ;1"},
      {"key", "s3cr;t:,\\"},
      {"type", "WPA"},
      {"hidden", "false"}}},
    {"hidden",
     "WIFI:T:SAE;S:backstage;P:password1;H:true;;",
     {{"kind", "wifi"},
      {"ssid", "backstage"},
      {"key", "password1"},
      {"type", "SAE"},
      {"hidden", "true"}}},
    {"open",
     "WIFI:T:nopass;S:Guests;;",
     {{"kind", "wifi"}, {"ssid", "Guests"}, {"type", "nopass"}, {"hidden", "false"}}},
    {"card",
     "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xC3\xBCrgen M\xC3\xBCller\\, "
     "Jr.\r\nN:M\xC3\xBCller;J\xC3\xBCrgen;;;\r\n"
     "ORG:Gr\xC3\xBCn\\, Blau & Co;Einkauf\r\nTEL;TYPE=cell,home:+49 170 1\r\nBDAY:19700131\r\n"
     "NOTE:not kept\r\nEND:VCARD\r\n",
     {{"kind", "vcard"},
      {"contact-name", "J\xC3\xBCrgen M\xC3\xBCller, Jr."},
      {"last-name", "M\xC3\xBCller"},
      {"first-name", "J\xC3\xBCrgen"},
      {"company", "Gr\xC3\xBCn, Blau & Co"},
      {"department", "Einkauf"},
      {"cell-phone-private", "+49 170 1"},
      {"birthday", "1970.01.31"}}},
    // Untyped entries as segno's make_vcard_data writes them, and RFC 6350's typed forms.
    {"segno-card",
     "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;John\r\nFN:John Doe\r\nEMAIL:john@example.org\r\n"
     "TEL:+1 555 0100\r\nURL:https://example.org/john\r\nADR:;;Main St 1;Springfield;;12345;\r\n"
     "END:VCARD\r\n",
     {{"kind", "vcard"},
      {"contact-name", "John Doe"},
      {"last-name", "Doe"},
      {"first-name", "John"},
      {"email-private", "john@example.org"},
      {"phone-home", "+1 555 0100"},
      {"website-private", "https://example.org/john"},
      {"street-home", "Main St 1"},
      {"city-home", "Springfield"},
      {"zip-code-home", "12345"}}},
    {"typed-card",
     "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann\r\nTEL;TYPE=home,voice;VALUE=uri:tel:+49-221-1\r\n"
     "TEL;TYPE=cell:+49-170-2\r\nEMAIL;TYPE=WORK:ann@work.example\r\nEND:VCARD\r\n",
     {{"kind", "vcard"},
      {"contact-name", "Ann"},
      {"phone-home", "+49-221-1"},
      {"cell-phone-private", "+49-170-2"},
      {"email-work", "ann@work.example"}}},
    {"mail",
     "mailto:office@example.org?subject=Tom%20%26%20Jerry%20%231&body=Hallo%0D%0A%C3%BCber%20%23%"
     "26",
     {{"kind", "email"},
      {"to", "office@example.org"},
      {"subject", "Tom & Jerry #1"},
      {"body", "Hallo\r\n\xC3\xBC"
               "ber #&"}}},
};

// Every kind lands in its fields, and decode --as-csv fed to batch makes codes of the same content:
// the same text for Text and URL, the same fields for the others.
TEST(Decode, OutsideCodesComeBackAsFieldsAndTheBatchMakesThemAgain) {
  TTempFolder Folder;
  fs::create_directory(Folder.Path() / "old");
  QStringList Old;
  int N = 0;
  for (const TCodeCase& Case : kCases) {
    const TOutsideEncoder Encoder = N++ % 2 ? TOutsideEncoder::Segno : TOutsideEncoder::Qrencode;
    const fs::path Png = Folder.Path() / "old" / (std::string(Case.Name) + ".png");
    ASSERT_TRUE(MakeOutsideCode(Encoder, Case.Bytes, Png)) << Case.Name;
    Old << Q(Png);
  }
  const TToolRun Csv = Cli(QStringList{QStringLiteral("decode"), QStringLiteral("--as-csv")} + Old);
  ASSERT_EQ(Csv.ExitCode, 0) << Csv.Err.toStdString();
  const auto Rows = CsvRows(Csv.Out);
  ASSERT_EQ(Rows.size(), std::size(kCases));
  for (std::size_t I = 0; I < Rows.size(); ++I) {
    auto Expected = kCases[I].Fields;
    Expected["file"] = kCases[I].Name;
    EXPECT_EQ(Rows[I], Expected) << kCases[I].Name;
  }

  ASSERT_TRUE(WriteFileBytes(Folder.Path() / "codes.csv", Csv.Out));
  const TToolRun Batch =
      Cli({QStringLiteral("batch"), Q(Folder.Path() / "codes.csv"), QStringLiteral("--out"),
           Q(Folder.Path() / "new"), QStringLiteral("--format"), QStringLiteral("png"),
           QStringLiteral("--ec"), QStringLiteral("H")});
  ASSERT_EQ(Batch.ExitCode, 0) << Batch.Err.toStdString();
  QStringList New;
  for (const TCodeCase& Case : kCases)
    New << Q(Folder.Path() / "new" / (std::string(Case.Name) + ".png"));
  const TToolRun Again =
      Cli(QStringList{QStringLiteral("decode"), QStringLiteral("--as-csv")} + New);
  ASSERT_EQ(Again.ExitCode, 0) << Again.Err.toStdString();
  EXPECT_EQ(CsvRows(Again.Out), Rows);

  // Text and URL: the very text, as the plain output prints it.
  for (const char* Name : {"text", "url"}) {
    const TToolRun Plain =
        Cli({QStringLiteral("decode"), Q(Folder.Path() / "new" / (std::string(Name) + ".png"))});
    const auto& Case = *std::find_if(std::begin(kCases), std::end(kCases), [&](const TCodeCase& C) {
      return std::string(C.Name) == Name;
    });
    EXPECT_EQ(Plain.Out.toStdString(), Case.Bytes + "\n");
  }
}

// --json gives the version and the byte count of each code, and the encoding of its bytes; a
// picture that is no picture and one without a code are reported, exit 1, and the codes of the
// other files are still written.
TEST(Decode, JsonNamesVersionBytesAndEncodingAndFailuresExitOne) {
  TTempFolder Folder;
  const fs::path Code = Folder.Path() / "door.png";
  ASSERT_TRUE(MakeOutsideCode(TOutsideEncoder::Qrencode, "\xEF\xBB\xBFWIFI:S:a\"b;;", Code, 4));
  const fs::path Broken = Folder.Path() / "broken.png";
  QFile::copy(Q(Code), Q(Broken));
  QFile::resize(Q(Broken), 60); // a PNG cut short
  const fs::path Huge = Folder.Path() / "huge.bmp";
  ASSERT_TRUE(WriteFileBytes(Huge, BmpHeader(15000, 15000)));
  const fs::path Blank = Folder.Path() / "blank.bmp";
  QImage White(120, 120, QImage::Format_RGB32);
  White.fill(Qt::white);
  ASSERT_TRUE(White.save(Q(Blank)));

  const TToolRun Run = Cli(
      {QStringLiteral("decode"), QStringLiteral("--json"), Q(Broken), Q(Code), Q(Blank), Q(Huge)});
  EXPECT_EQ(Run.ExitCode, 1);
  EXPECT_EQ(Run.Out.toStdString(),
            "{\"file\":\"" + Code.string() +
                "\",\"kind\":\"wifi\",\"fields\":{\"ssid\":\"a\\\"b\",\"key\":\"\",\"type\":"
                "\"nopass\",\"hidden\":\"false\"},\"not_kept\":[],\"version\":4,\"inverted\":false,"
                "\"bytes\":15,"
                "\"encoding\":\"utf-8-bom\",\"eci\":null,\"payload\":\"WIFI:S:a\\\"b;;\"}\n");
  const std::string Err = Run.Err.toStdString();
  EXPECT_NE(Err.find(Broken.string() + ": not a picture that can be read"), std::string::npos)
      << Err;
  EXPECT_NE(Err.find(Blank.string() + ": no QR code found"), std::string::npos) << Err;
  EXPECT_NE(Err.find(Huge.string() + ": the picture is larger than 200 megapixels (15000 x 15000)"),
            std::string::npos)
      << Err;

  // Plain ASCII bytes are named so; ISO-8859-1 only for bytes above 0x7F that are no UTF-8.
  const std::pair<const char*, const char*> Encodings[] = {
      {"plain", "\"encoding\":\"ascii\""}, {"caf\xE9", "\"encoding\":\"iso-8859-1\""}};
  for (const auto& [Bytes, Named] : Encodings) {
    const fs::path Path = Folder.Path() / "enc.png";
    ASSERT_TRUE(MakeOutsideCode(TOutsideEncoder::Qrencode, Bytes, Path, 2));
    const TToolRun One = Cli({QStringLiteral("decode"), QStringLiteral("--json"), Q(Path)});
    EXPECT_NE(One.Out.toStdString().find(Named), std::string::npos) << One.Out.toStdString();
  }

  // Marbeck's own light-on-dark code is read, and said to be inverted.
  const fs::path Light = Folder.Path() / "light.png";
  ASSERT_EQ(Cli({QStringLiteral("url"), QStringLiteral("https://example.org/"),
                 QStringLiteral("--dark"), QStringLiteral("#ffffff"), QStringLiteral("--light"),
                 QStringLiteral("#000000"), QStringLiteral("-o"), Q(Light)})
                .ExitCode,
            0);
  const TToolRun Negative = Cli({QStringLiteral("decode"), QStringLiteral("--json"), Q(Light)});
  EXPECT_EQ(Negative.ExitCode, 0);
  EXPECT_NE(Negative.Out.toStdString().find("\"inverted\":true,"), std::string::npos)
      << Negative.Out.toStdString();
  EXPECT_NE(Negative.Out.toStdString().find("\"payload\":\"https://example.org/\""),
            std::string::npos);
  EXPECT_EQ(Negative.Err.toStdString(), "marbeck-cli: " + Light.string() +
                                            ": the code is inverted (light modules on a dark "
                                            "ground); many phone readers do not read it\n");

  EXPECT_EQ(Cli({QStringLiteral("decode"), Q(Folder.Path() / "missing.png")}).ExitCode, 1);
  EXPECT_EQ(Cli({QStringLiteral("decode")}).ExitCode, 2);
  EXPECT_EQ(
      Cli({QStringLiteral("decode"), QStringLiteral("--json"), QStringLiteral("--as-csv"), Q(Code)})
          .ExitCode,
      2);
}

// The file column: a name the batch takes, one per code.
TEST(Decode, FileColumnNamesAreAcceptedByTheBatchAndUnique) {
  std::vector<std::string> Taken;
  EXPECT_EQ(CsvFileName("old/office-door.jpg", 0, Taken), "office-door");
  EXPECT_EQ(CsvFileName("old/office-door.jpg", 1, Taken), "office-door-2");
  EXPECT_EQ(CsvFileName("other/office-door.png", 0, Taken), "office-door_2");
  EXPECT_EQ(CsvFileName("a/codes.svg.png", 0, Taken), "codes-svg");
  EXPECT_EQ(CsvFileName("a/.hidden.png", 0, Taken), "code_.hidden");
  EXPECT_EQ(CsvFileName("a/-rf.png", 0, Taken), "code_-rf");
  EXPECT_EQ(CsvFileName("a/tab\there.png", 0, Taken), "tab_here");
  EXPECT_EQ(CsvFileName(std::string(300, 'x') + ".png", 0, Taken), std::string(200, 'x'));
}

} // namespace

// UTF-8 with the ECI designator: what --encoding utf-8-eci and the batch column make, zbarimg
// (zbar's own command, in its text mode, as a phone app reads) gives back as the exact text and
// --verify accepts; a code segno makes with eci=True decodes to the exact text.
TEST(Decode, Utf8WithEciReadsBackAsTheExactText) {
  TTempFolder Folder;
  const std::string Text = "Gr\xC3\xBC\xC3\x9F"
                           "e \xE2\x82\xAC \xD0\x9C\xD0\xB8\xD1\x80";
  const TToolRun Single =
      Cli({QStringLiteral("text"), QString::fromStdString(Text), QStringLiteral("--encoding"),
           QStringLiteral("utf-8-eci"), QStringLiteral("--verify"), QStringLiteral("-o"),
           Q(Folder.Path() / "single.png")});
  ASSERT_EQ(Single.ExitCode, 0) << Single.Err.toStdString();
  ASSERT_TRUE(WriteFileBytes(Folder.Path() / "in.csv",
                             QByteArray::fromStdString("kind,file,text,encoding\ntext,row,\"" +
                                                       Text + "\",utf-8-eci\ntext,bad,x,utf-9\n")));
  const TToolRun Batch =
      Cli({QStringLiteral("batch"), Q(Folder.Path() / "in.csv"), QStringLiteral("--out"),
           Q(Folder.Path() / "out"), QStringLiteral("--format"), QStringLiteral("png")});
  EXPECT_EQ(Batch.ExitCode, 1) << Batch.Err.toStdString(); // the row with no such encoding
  EXPECT_NE(Batch.Err.indexOf("unknown encoding \"utf-9\""), -1) << Batch.Err.toStdString();
  for (const fs::path& Png : {Folder.Path() / "single.png", Folder.Path() / "out" / "row.png"}) {
    const TToolRun Zbar =
        RunTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), Q(Png)});
    EXPECT_EQ(Zbar.Out.toStdString(), Text + "\n") << Png;
  }

  const TSegnoCode Segno = SegnoEciCode(Text, 'M');
  ASSERT_FALSE(Segno.Picture.isNull());
  ASSERT_TRUE(Segno.Picture.scaled(Segno.Picture.size() * 4).save(Q(Folder.Path() / "segno.png")));
  const TToolRun Decoded = Cli({QStringLiteral("decode"), Q(Folder.Path() / "segno.png")});
  EXPECT_EQ(Decoded.ExitCode, 0);
  EXPECT_EQ(Decoded.Out.toStdString(), Text + "\n");
}

// Codes segno makes with an ECI designator for other character sets: decode reads each in the
// set its designator names and says which; a code without one reads as before, with no ECI.
TEST(Decode, EciDesignatorsOfOtherMakersAreHonoured) {
  TTempFolder Folder;
  struct TCase {
    const char* Encoding;
    const char* Text; // UTF-8
    const char* Eci;  // as --json gives it
  };
  const TCase Cases[] = {
      {"utf-8",
       "Gr\xC3\xBC\xC3\x9F"
       "e \xE2\x82\xAC",
       "26"},
      {"iso-8859-2",
       "\xC5\x81\xC3\xB3"
       "d\xC5\xBA \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87",
       "4"},
      {"iso-8859-5", "\xD0\x9C\xD0\xB8\xD1\x80", "7"},
      {"cp1251", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "22"},
      {"shift_jis", "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\xE6\x97\xA5\xE6\x9C\xAC", "20"},
      {"iso-8859-1", "Caf\xC3\xA9", "null"}, // segno's default: no designator written
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Encoding);
    const TSegnoCode Segno = SegnoEciCode(Case.Text, 'M', 0, -1, Case.Encoding);
    ASSERT_FALSE(Segno.Picture.isNull());
    const fs::path Png = Folder.Path() / (std::string(Case.Encoding) + ".png");
    ASSERT_TRUE(Segno.Picture.scaled(Segno.Picture.size() * 4).save(Q(Png)));
    const TToolRun Plain = Cli({QStringLiteral("decode"), Q(Png)});
    EXPECT_EQ(Plain.Out.toStdString(), std::string(Case.Text) + "\n");
    const TToolRun Json = Cli({QStringLiteral("decode"), QStringLiteral("--json"), Q(Png)});
    EXPECT_NE(Json.Out.indexOf(QByteArray(",\"eci\":") + Case.Eci + ","), -1)
        << Json.Out.toStdString();
  }
}
