// marbeck-cli as a user runs it: the real executable, with no display (DISPLAY and
// QT_QPA_PLATFORM unset), its files read back by outside readers (zbar, rsvg-convert, pdftoppm)
// and compared with what the payload/ functions of the window's pages make from the same fields.
#include "CliRun.h"
#include "payload/Payload.h"
#include "platform/TextFile.h"
#include "platform/Unicode.h"
#include "render/Code.h"
#include "support/TempFolder.h"
#include "support/ZbarDecode.h"

#include <QImage>
#include <algorithm>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string Utf8(const std::u16string& Text) {
  return Utf16ToUtf8(Text);
}

// ---- single codes ----

TEST(CliSingle, EveryKindReadsBackAsThePagesPayload) {
  TTempFolder Folder;
  TVCardPage Card;
  Card.FirstName = u"Zoë";
  Card.LastName = u"O'Brien; Jr";
  Card.ContactName = ContactNameFor(Card.FirstName, Card.MiddleName, Card.LastName);
  Card.PhonePrivate = u"+353 1 234";
  Card.EmailWork = u"zoe@example.ie";
  Card.StreetHome = u"1, Main St";
  Card.CityHome = u"Cork";
  Card.Birthday = u"1990.02.28";
  Card.Company = u"ACME";
  Card.JobTitle = u"Engineer\\Lead";
  TWifiPage Wifi;
  Wifi.SSID = u"Café;Net";
  Wifi.NetworkKey = u"p\"w:,"; // five characters: a key phones take
  Wifi.WPA = 1;

  struct TCase {
    std::vector<std::string> Args;
    std::string Stdin;
    std::u16string Payload;
  };
  const TCase Cases[] = {
      {{"text", "-"}, "Grüße, Welt\nzweite Zeile", TextPayload(u"Grüße, Welt\r\nzweite Zeile")},
      {{"url", "https://example.org/a?b=c&d=é"},
       "",
       URLPayload(TURLPage{u"https://example.org/a?b=c&d=é"})},
      {{"email", "--to", "ann@example.org", "--subject", "Hi & bye", "--body", "one\ntwo?"},
       "",
       EMailPayload(TEMailPage{u"ann@example.org", u"Hi & bye", u"one\r\ntwo?"})},
      {{"vcard", "--first-name", "Zoë", "--last-name", "O'Brien; Jr", "--phone-home", "+353 1 234",
        "--email-work", "zoe@example.ie", "--street-home", "1, Main St", "--city-home", "Cork",
        "--birthday", "1990.02.28", "--company", "ACME", "--job-title", "Engineer\\Lead"},
       "",
       VCardPayload(Card)},
      {{"wifi", "--ssid", "Café;Net", "--key", "p\"w:,", "--type", "WEP"}, "", WifiPayload(Wifi)},
      {{"wifi", "--ssid", "Guest", "--type", "nopass", "--hidden"},
       "",
       u"WIFI:T:nopass;S:Guest;H:true;;\r\n"},
      {{"wifi", "--ssid", "Home", "--key", "12345678", "--type", "sae"},
       "",
       u"WIFI:T:SAE;S:Home;P:12345678;;\r\n"},
  };
  for (const TCase& C : Cases) {
    for (const char* Ext : {".png", ".svg", ".pdf"}) {
      const fs::path File = Folder.Path() / (C.Args[0] + Ext);
      std::vector<std::string> Args = C.Args;
      Args.insert(Args.end(), {"--encoding", "utf-8", "-o", File.string()});
      const TRun R = RunCli(Folder.Path(), Args, C.Stdin);
      ASSERT_EQ(R.Status, 0) << C.Args[0] << Ext << ": " << R.Err;
      EXPECT_EQ(R.Err, "") << C.Args[0] << Ext;
      EXPECT_EQ(DecodeFile(File), Utf8(C.Payload)) << C.Args[0] << Ext;
    }
  }
}

// A vCard 4.0 is UTF-8 only: in Auto a contact beyond ASCII goes out as UTF-8, as the window
// makes it; a chosen encoding is kept. The same rule in a batch.
TEST(CliSingle, VCardInAutoGoesOutAsUtf8) {
  TTempFolder Folder;
  const std::string Utf8Card = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xC3\xBCrgen Lee\r\n"
                               "N:Lee;J\xC3\xBCrgen;;;\r\nEND:VCARD\r\n";
  const std::string LatinCard = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xFCrgen Lee\r\n"
                                "N:Lee;J\xFCrgen;;;\r\nEND:VCARD\r\n";
  struct TCase {
    std::vector<std::string> Extra;
    std::string Bytes;
  };
  const TCase Cases[] = {{{}, Utf8Card}, {{"--encoding", "iso-8859-1"}, LatinCard}};
  for (const TCase& C : Cases) {
    std::vector<std::string> Args = {"vcard", "--first-name", "J\xC3\xBCrgen", "--last-name",
                                     "Lee",   "-o",           "c.png"};
    Args.insert(Args.end(), C.Extra.begin(), C.Extra.end());
    const TRun R = RunCli(Folder.Path(), Args);
    ASSERT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(DecodeFile(Folder.Path() / "c.png"), C.Bytes);
  }
  WriteFile(Folder.Path() / "in.csv", "kind,file,first-name,last-name,url\n"
                                      "vcard,card,J\xC3\xBCrgen,Lee,\n"
                                      "url,link,,,https://example.org/\xC3\xBC\n");
  const TRun R = RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out", "--format", "png"});
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(DecodeFile(Folder.Path() / "out" / "card.png"), Utf8Card);
  EXPECT_EQ(DecodeFile(Folder.Path() / "out" / "link.png"), "https://example.org/\xFC")
      << "other kinds keep Auto's one byte per character up to U+00FF";
}

// A byte-order mark goes before plain text only: a reader knows a record by its first bytes.
TEST(CliSingle, NoByteOrderMarkBeforeARecord) {
  TTempFolder Folder;
  const struct {
    std::vector<std::string> Args;
    std::string Bytes;
  } Cases[] = {
      {{"text", "Gr\xC3\xBC\xC3\x9F"
                "e"},
       "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
       "e"},
      {{"url", "https://example.org/\xC3\xBC"}, "https://example.org/\xC3\xBC"},
      {{"wifi", "--ssid", "Caf\xC3\xA9", "--key", "s3cret pass"},
       "WIFI:T:WPA;S:Caf\xC3\xA9;P:s3cret pass;;\r\n"},
      {{"vcard", "--first-name", "Ann"},
       "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann \r\nN:;Ann;;;\r\nEND:VCARD\r\n"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Args.front());
    std::vector<std::string> Args = C.Args;
    Args.insert(Args.end(), {"--encoding", "utf-8-bom", "-o", "c.png"});
    const TRun R = RunCli(Folder.Path(), Args);
    ASSERT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(DecodeFile(Folder.Path() / "c.png"), C.Bytes);
  }
}

TEST(CliSingle, StyleOptionsReachThePicture) {
  TTempFolder Folder;
  const TRun R =
      RunCli(Folder.Path(), {"url", "HTTPS://EXAMPLE.ORG", "--scale", "3", "--quiet-zone", "2",
                             "--dark", "clNavy", "--light", "#fffbf0", "--frame", "1",
                             "--frame-color", "$0000FF", "--verify", "-o", "a.png"});
  ASSERT_EQ(R.Status, 0) << R.Err;
  QImage Image;
  ASSERT_TRUE(Image.load(QString::fromStdString((Folder.Path() / "a.png").string())));
  // Auto encoding picks alphanumeric: version 1, 21 modules, quiet zone 2 + 1 for the marks.
  EXPECT_EQ(Image.width(), (21 + 2 * 3) * 3);
  EXPECT_EQ(Image.pixel(0, 0), qRgb(255, 0, 0));                     // corner mark, $BBGGRR red
  EXPECT_EQ(Image.pixel(Image.width() / 2, 1), qRgb(255, 251, 240)); // quiet zone, light colour
  EXPECT_EQ(Image.pixel(3 * 3, 3 * 3), qRgb(0, 0, 128));             // finder corner, clNavy
  EXPECT_EQ(DecodeImage(Image), "HTTPS://EXAMPLE.ORG");
}

// https://example.org is 19 bytes: version 2 at L (ISO/IEC 18004 Table 7: 32 bytes), version 3 at
// H (version 2 holds 14), and version 2 at Q with boost from L (20 bytes).
TEST(CliSingle, ErrorCorrectionLevelAndBoost) {
  TTempFolder Folder;
  struct TCase {
    std::vector<std::string> Options;
    int Version;
  };
  const TCase Cases[] = {{{}, 2}, {{"--ec", "H"}, 3}, {{"--ec", "q"}, 2}, {{"--boost"}, 2}};
  std::vector<std::string> Pictures;
  for (const TCase& C : Cases) {
    std::vector<std::string> Args = {
        "url", "https://example.org", "--scale", "3", "--verify", "-o", "a.png"};
    Args.insert(Args.end(), C.Options.begin(), C.Options.end());
    const TRun R = RunCli(Folder.Path(), Args);
    ASSERT_EQ(R.Status, 0) << R.Err;
    QImage Image;
    ASSERT_TRUE(Image.load(QString::fromStdString((Folder.Path() / "a.png").string())));
    EXPECT_EQ(Image.width(), 3 * (17 + 4 * C.Version + 2 * 4)); // the default quiet zone of 4
    Pictures.push_back(ReadFile(Folder.Path() / "a.png"));
  }
  // Boost from L lands on Q: the same symbol as --ec q, and unlike the L one.
  EXPECT_EQ(Pictures[3], Pictures[2]);
  EXPECT_NE(Pictures[2], Pictures[0]);
}

TEST(CliSingle, ErrorsAndExitStatuses) {
  TTempFolder Folder;
  const std::string TooLong(3000, 'x');
  struct TCase {
    std::vector<std::string> Args;
    int Status;
    const char* Says;
  };
  const TCase Cases[] = {
      {{"url", "x", "--dark", "clBtnFace", "-o", "a.png"}, 2, "system colour"},
      {{"url", "x", "--dark", "#12345", "-o", "a.png"}, 2, "not a colour"},
      {{"url", "x", "--encoding", "latin1", "-o", "a.png"}, 2, "unknown encoding"},
      {{"url", "x", "-o", "a.gif"}, 2, "cannot tell the format"},
      {{"url", "x", "-o", "a.png", "--format", "svg"}, 2, "does not match"},
      {{"url", "x"}, 2, "not a terminal"},
      {{"wifi", "--key", "k", "-o", "a.png"}, 2, "missing field ssid"},
      {{"wifi", "--ssid", "s", "--type", "WPA3", "-o", "a.png"}, 2, "WPA, SAE, WEP or nopass"},
      {{"wifi", "--ssid", "s", "--type", "NOPASS", "--key", "k", "-o", "a.png"}, 2, "no key"},
      {{"wifi", "--ssid", "s", "--hidden=maybe", "-o", "a.png"}, 2, ""},
      {{"vcard", "--nickname", "x"}, 2, "nickname"},
      {{"url", "\xC0\xAF", "-o", "a.png"}, 2, "invalid UTF-8"},
      {{"frobnicate"},
       2,
       "unknown command \"frobnicate\": text, url, email, vcard, wifi, phone, sms, geo, event, "
       "pay, batch or decode"},
      {{}, 2, "a command is needed"},
      {{"url", "x", "--quiet-zone", "abc", "-o", "a.png"}, 2, "\"abc\" is not a number"},
      {{"url", "x", "--quiet-zone", "100", "-o", "a.png"}, 2, "100 is not in the range 0 to 99"},
      {{"url", "x", "--mm-per-module", "nan", "-o", "a.pdf"}, 2, "\"nan\" is not a number"},
      {{"url", "x", "--mm-per-module", "-inf", "-o", "a.pdf"}, 2, "\"-inf\" is not a number"},
      {{"url", "x", "--mm-per-module", "200", "-o", "a.pdf"},
       1,
       "a PDF page of 5800 mm a side is too large (at most 5080 mm, PDF's largest page); give a "
       "--mm-per-module of at most 175.17 for these 29 modules"},
      {{"url", TooLong, "-o", "a.png"}, 1, "too long for a QR code: 3000 bytes"},
      {{"url", std::string(2000, 'x'), "--ec", "h", "-o", "a.png"},
       1,
       "too long for a QR code at level H: 2000 bytes; at most 1273 fit (a lower level holds "
       "more)"},
      {{"url", "x", "--ec", "X", "-o", "a.png"}, 2, "unknown error-correction level \"X\""},
      {{"url", "x", "-o", "no/such/folder/a.png"}, 1, "cannot write"},
      {{"url", "x", "--scale", "100", "--quiet-zone", "99", "-o", "a.png"}, 1, "too large"},
      {{"url", "x", "--dark", "#ffff00", "--verify", "-o", "a.png"}, 3, "contrast 1.07 : 1"},
      {{"url", "x", "--dark", "#ffffff", "--light", "#000000", "--verify", "-o", "a.png"},
       3,
       "inverted"},
  };
  for (const TCase& C : Cases) {
    const TRun R = RunCli(Folder.Path(), C.Args);
    EXPECT_EQ(R.Status, C.Status) << C.Says << ": " << R.Err;
    EXPECT_NE(R.Err.find(C.Says), std::string::npos) << R.Err;
    EXPECT_EQ(std::count(R.Err.begin(), R.Err.end(), '\n'), 1) << R.Err; // one line
    EXPECT_FALSE(fs::exists(Folder.Path() / "a.png")) << C.Says;         // nothing written
    EXPECT_FALSE(fs::exists(Folder.Path() / "a.pdf")) << C.Says;
  }
  // The largest module the message names makes the largest page: 29 modules of 175 mm.
  const TRun Large = RunCli(Folder.Path(), {"url", "x", "--mm-per-module", "175", "-o", "a.pdf"});
  EXPECT_EQ(Large.Status, 0) << Large.Err;
  EXPECT_NE(ReadFile(Folder.Path() / "a.pdf").find("/MediaBox [0 0 14385.826772 14385.826772]"),
            std::string::npos);
  // Without --verify, weak colours are only a warning.
  const TRun Weak = RunCli(Folder.Path(), {"url", "x", "--dark", "#ffff00", "-o", "a.png"});
  EXPECT_EQ(Weak.Status, 0);
  EXPECT_NE(Weak.Err.find("warning: contrast 1.07 : 1"), std::string::npos) << Weak.Err;
}

TEST(CliSingle, HelpVersionAndNoWidgets) {
  TTempFolder Folder;
  const TRun Version = RunCli(Folder.Path(), {"--version"});
  EXPECT_EQ(Version.Status, 0);
  EXPECT_EQ(Version.Out.rfind("marbeck-cli ", 0), 0u) << Version.Out;
  for (const char* Command : {"text", "url", "email", "vcard", "wifi", "batch"}) {
    const TRun Help = RunCli(Folder.Path(), {Command, "--help"});
    EXPECT_EQ(Help.Status, 0) << Command;
    EXPECT_NE(Help.Out.find("Exit status"), std::string::npos) << Command;
  }
  const TRun VCardHelp = RunCli(Folder.Path(), {"vcard", "--help"});
  for (const char* Option : {"--contact-name", "--first-name", "--middle-name", "--phone-home",
                             "--cell-phone-work", "--zip-code-work", "--birthday"})
    EXPECT_NE(VCardHelp.Out.find(Option), std::string::npos) << Option;
  const std::string Ldd = "ldd " + ShellQuote(MARBECK_CLI) + " | grep -q Qt6Widgets";
  EXPECT_NE(std::system(Ldd.c_str()), 0) << "marbeck-cli links QtWidgets";
}

// The terminal drawing, read back into modules, is the encoder's grid.
TEST(CliSingle, HalfBlocksAreTheEncodersGrid) {
  TTempFolder Folder;
  for (const char* Ink : {"light", "dark"})
    for (const char* Text : {"1234567890", "Hello, terminal!",
                             "a much longer text to reach a "
                             "symbol of a higher version, with "
                             "more modules and an odd side"}) {
      const TRun R = RunCli(Folder.Path(),
                            {"text", Text, "--format", "utf8", "--ink", Ink, "--quiet-zone", "2"});
      ASSERT_EQ(R.Status, 0) << R.Err;
      TCodeStyle Style;
      Style.QuietZone = 2;
      const TCode Code = MakeCode(TextPayload(Utf8ToUtf16(Text)), qrAuto, Style);
      const std::u16string Drawing = Utf8ToUtf16(R.Out);
      std::vector<std::u16string> Lines;
      std::u16string Line;
      for (const char16_t C : Drawing) {
        if (C == u'\n') {
          Lines.push_back(Line);
          Line.clear();
        } else {
          Line += C;
        }
      }
      ASSERT_EQ(Line, u"");
      ASSERT_EQ(static_cast<int>(Lines.size()), (Code.Grid.Side + 1) / 2);
      const bool InkIsDark = std::string(Ink) == "dark";
      for (int Row = 0; Row < Code.Grid.Side; ++Row) {
        const std::u16string& L = Lines[static_cast<std::size_t>(Row / 2)];
        ASSERT_EQ(static_cast<int>(L.size()), Code.Grid.Side);
        for (int Column = 0; Column < Code.Grid.Side; ++Column) {
          const char16_t C = L[static_cast<std::size_t>(Column)];
          ASSERT_TRUE(C == u' ' || C == u'\u2580' || C == u'\u2584' || C == u'\u2588');
          const bool Inked = C == u'\u2588' || C == (Row % 2 == 0 ? u'\u2580' : u'\u2584');
          EXPECT_EQ(Inked == InkIsDark, Code.Grid.IsDark(Row, Column))
              << Text << " " << Ink << " row " << Row << " column " << Column;
        }
      }
    }
}

// ---- batches ----

TEST(CliBatch, WifiTypeAndHiddenColumns) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "in.csv", "kind,file,ssid,key,type,hidden\n"
                                      "wifi,open,Guest,,nopass,yes\n"
                                      "wifi,sae,Home,12345678,SAE,0\n"
                                      "WiFi,plain,Lab,abcde,wep,\n" // kinds in any case
                                      "wifi,badhidden,Lab,abcde,WEP,perhaps\n"
                                      "wifi,badkey,Lab,abcde,nopass,false\n");
  const TRun R = RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out", "--format", "png"});
  EXPECT_EQ(R.Status, 1) << R.Err;
  const fs::path Out = Folder.Path() / "out";
  EXPECT_EQ(DecodeFile(Out / "open.png"), "WIFI:T:nopass;S:Guest;H:true;;\r\n");
  EXPECT_EQ(DecodeFile(Out / "sae.png"), "WIFI:T:SAE;S:Home;P:12345678;;\r\n");
  EXPECT_EQ(DecodeFile(Out / "plain.png"), "WIFI:T:WEP;S:Lab;P:abcde;;\r\n");
  EXPECT_EQ(ReadManifest(Out).at(2).Kind, "wifi") << "the manifest names the kind as written here";
  EXPECT_FALSE(fs::exists(Out / "badhidden.png"));
  EXPECT_FALSE(fs::exists(Out / "badkey.png"));
  EXPECT_NE(R.Err.find("hidden must be true or false"), std::string::npos) << R.Err;
  EXPECT_NE(R.Err.find("takes no key"), std::string::npos) << R.Err;
}

// A key phones refuse is made all the same, with a warning: the user may know better (an old
// router), and the window does the same.
TEST(CliBatch, RefusedWifiKeysWarnButMakeTheCode) {
  TTempFolder Folder;
  const TRun Single =
      RunCli(Folder.Path(), {"wifi", "--ssid", "Lab", "--key", "short", "-o", "lab.png"});
  ASSERT_EQ(Single.Status, 0) << Single.Err;
  EXPECT_EQ(Single.Err, "marbeck-cli: warning: phones refuse WPA keys shorter than 8 characters\n");
  EXPECT_EQ(DecodeFile(Folder.Path() / "lab.png"), "WIFI:T:WPA;S:Lab;P:short;;\r\n");

  WriteFile(Folder.Path() / "in.csv", "kind,file,ssid,key,type\n"
                                      "wifi,good,Home,12345678,WPA\n"
                                      "wifi,wep,Lab,abcdef,WEP\n");
  const TRun R = RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out", "--format", "png"});
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(R.Err, "marbeck-cli: row 2 (line 3): warning: phones refuse WEP keys other than 5 "
                   "or 13 characters or 10 or 26 hexadecimal digits\n");
  EXPECT_EQ(DecodeFile(Folder.Path() / "out" / "wep.png"), "WIFI:T:WEP;S:Lab;P:abcdef;;\r\n");
}

TEST(CliBatch, CsvCasesBadRowsAndTheManifest) {
  TTempFolder Folder;
  const std::string Csv = "\xEF\xBB\xBF"
                          "kind,file,url,text,ssid,key,type\r\n"
                          "url,plain,https://example.org,,,,\r\n"
                          "text,quoted,,\"comma, \"\"quotes\"\"\r\nand a break\",,,\r\n"
                          "\r\n"
                          "wifi,net.png,,,\"my,net\",\"k\"\"1\",WEP\r\n"
                          "fax,badkind,x,,,,\r\n"
                          "url,short,https://a.example\r\n"
                          "url,long,https://b.example,,,,,extra\r\n"
                          "url,/etc/evil,https://c.example,,,,\r\n"
                          "url,..,https://c.example,,,,\r\n"
                          "url,../up,https://c.example,,,,\r\n"
                          "url,,https://c.example,,,,\r\n"
                          "url,nourl,,,,,\r\n"
                          "text,toolong,," +
                          std::string(3000, 'x') +
                          ",,,\r\n"
                          "text,badutf8,,\xC3\x28,,,\r\n"
                          "url,a\\..\\..\\evil,https://c.example,,,,\r\n"
                          "url,nul," +
                          std::string("https://example.org/2\0nul", 25) +
                          ",,,,\r\n"
                          "url,last.pdf,https://last.example,,,,";
  WriteFile(Folder.Path() / "in.csv", Csv);
  const TRun R =
      RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out", "--jobs", "2", "--verify"});
  EXPECT_EQ(R.Status, 1) << R.Err;
  const fs::path Out = Folder.Path() / "out";

  // The good rows are made and read back as their payloads.
  EXPECT_EQ(DecodeFile(Out / "plain.svg"), "https://example.org");
  EXPECT_EQ(DecodeFile(Out / "quoted.svg"), "comma, \"quotes\"\r\nand a break");
  TWifiPage Wifi{u"my,net", u"k\"1", 1};
  EXPECT_EQ(DecodeFile(Out / "net.png"), Utf8(WifiPayload(Wifi)));
  EXPECT_EQ(DecodeFile(Out / "last.pdf"), "https://last.example");
  EXPECT_EQ(DecodeFile(Out / "10.svg"), "https://c.example"); // an empty file cell: the row
  // Nothing else is in the folder, and nothing left it.
  std::set<std::string> Names;
  for (const auto& E : fs::directory_iterator(Out))
    Names.insert(E.path().filename().string());
  EXPECT_EQ(Names, (std::set<std::string>{"plain.svg", "quoted.svg", "net.png", "10.svg",
                                          "last.pdf", "manifest.csv"}));
  EXPECT_FALSE(fs::exists(Folder.Path() / "up.svg"));
  EXPECT_FALSE(fs::exists("/etc/evil.svg"));

  const std::vector<TManifestRow> M = ReadManifest(Out);
  ASSERT_EQ(M.size(), 16u);
  struct TExpect {
    const char* File;
    const char* Verified;
    const char* Error; // a part of the reason, "" for a made row
  };
  const TExpect Expected[] = {
      {"plain.svg", "yes", ""},
      {"quoted.svg", "yes", ""},
      {"net.png", "yes", ""},
      {"badkind", "no", "unknown kind \"fax\""},
      {"", "no", "3 fields where the header has 7"},
      {"", "no", "8 fields where the header has 7"},
      {"/etc/evil", "no", "\"/\""},
      {"..", "no", "is a folder"},
      {"../up", "no", "\"/\""},
      {"10.svg", "yes", ""},
      {"nourl.svg", "no", "missing field url"},
      {"toolong.svg", "no", "too long for a QR code"},
      {"badutf8.svg", "no", "invalid UTF-8 in text"},
      {"", "no", "holds a \"\\\""},
      {"", "no", "column \"url\" holds a NUL byte at byte 22"},
      {"last.pdf", "yes", ""},
  };
  for (std::size_t I = 0; I < std::size(Expected); ++I) {
    const TManifestRow& Row = M[I];
    EXPECT_EQ(Row.Row, std::to_string(I + 1));
    if (*Expected[I].Error == 0) {
      EXPECT_EQ(Row.Error, "") << I;
      EXPECT_EQ(Row.File, Expected[I].File);
      EXPECT_NE(Row.Version, "") << I;
    } else {
      EXPECT_NE(Row.Error.find(Expected[I].Error), std::string::npos) << I << ": " << Row.Error;
      // Every failed row is also on standard error, with its row number.
      EXPECT_NE(R.Err.find("row " + std::to_string(I + 1) + " (line "), std::string::npos) << I;
    }
    EXPECT_EQ(Row.Verified, Expected[I].Verified) << I;
  }
  EXPECT_EQ(M[0].Level, "L");
  EXPECT_EQ(M[3].Level, ""); // no code, no level
  EXPECT_EQ(M[2].Kind, "wifi");
  EXPECT_EQ(M[2].Bytes, std::to_string(Utf8(WifiPayload(Wifi)).size()));
}

// The ec and boost columns per row over --ec for the file; the manifest names the level each code
// was made at. https://example.org (19 bytes): version 2 at L, Q with boost, 3 at H.
TEST(CliBatch, LevelAndBoostColumns) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "in.csv", "url,ec,boost\n"
                                      "https://example.org,,\n"
                                      "https://example.org,h,\n"
                                      "https://example.org,L,yes\n"
                                      "https://example.org,,no\n"
                                      "https://example.org,X,\n"
                                      "https://example.org,,maybe\n");
  const TRun R = RunCli(
      Folder.Path(), {"batch", "in.csv", "--out", "out", "--kind", "url", "--ec", "M", "--verify"});
  EXPECT_EQ(R.Status, 1) << R.Err;
  const std::vector<TManifestRow> M = ReadManifest(Folder.Path() / "out");
  ASSERT_EQ(M.size(), 6u);
  const std::pair<const char*, const char*> Expected[] = {{"M", "2"}, {"H", "3"}, {"Q", "2"},
                                                          {"M", "2"}, {"", ""},   {"", ""}};
  for (std::size_t I = 0; I < M.size(); ++I) {
    EXPECT_EQ(M[I].Level, Expected[I].first) << I;
    EXPECT_EQ(M[I].Version, Expected[I].second) << I;
  }
  EXPECT_EQ(M[0].Verified, "yes");
  EXPECT_NE(M[4].Error.find("unknown error-correction level \"X\""), std::string::npos);
  EXPECT_NE(M[5].Error.find("\"maybe\""), std::string::npos);
  EXPECT_EQ(DecodeFile(Folder.Path() / "out" / "2.svg"), "https://example.org");
  // A bad --ec for the whole file is a usage error naming the value.
  const TRun Bad =
      RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out2", "--kind", "url", "--ec", "Z"});
  EXPECT_EQ(Bad.Status, 2);
  EXPECT_NE(Bad.Err.find("\"Z\""), std::string::npos) << Bad.Err;
}

TEST(CliBatch, ExistingFilesAreKeptWithoutForce) {
  TTempFolder Folder;
  const fs::path Out = Folder.Path() / "out";
  fs::create_directories(Out);
  WriteFile(Out / "keep.svg", "mine");
  WriteFile(Folder.Path() / "in.csv",
            "file,url\nkeep,https://new.example\nfresh,https://f.example\n");
  const TRun First = RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out", "--kind", "url"});
  EXPECT_EQ(First.Status, 1);
  EXPECT_NE(First.Err.find("row 1 (line 2): keep.svg exists"), std::string::npos) << First.Err;
  EXPECT_EQ(ReadFile(Out / "keep.svg"), "mine");
  EXPECT_EQ(DecodeFile(Out / "fresh.svg"), "https://f.example");

  // A second run without --force does not even start: the manifest is there.
  const TRun Again = RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out", "--kind", "url"});
  EXPECT_EQ(Again.Status, 2);
  EXPECT_NE(Again.Err.find("manifest.csv exists"), std::string::npos);

  const TRun Forced =
      RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out", "--kind", "url", "--force"});
  EXPECT_EQ(Forced.Status, 0) << Forced.Err;
  EXPECT_EQ(DecodeFile(Out / "keep.svg"), "https://new.example");
  // No temporary file is left behind.
  for (const auto& E : fs::directory_iterator(Out))
    EXPECT_NE(E.path().filename().string().find(".svg."), 0u) << E.path();
  EXPECT_EQ(std::distance(fs::directory_iterator(Out), fs::directory_iterator()), 3);
}

TEST(CliBatch, UsageErrors) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "cols.csv", "kind,url,colour,Size\nurl,x,red,2\n");
  WriteFile(Folder.Path() / "nokind.csv", "url\nx\n");
  WriteFile(Folder.Path() / "empty.csv", "");
  WriteFile(Folder.Path() / "twice.csv", "url,url\nx,y\n");
  struct TCase {
    std::vector<std::string> Args;
    const char* Says;
  };
  const TCase Cases[] = {
      {{"batch", "cols.csv", "--out", "o1"}, "unknown columns \"colour\", \"Size\""},
      {{"batch", "nokind.csv", "--out", "o2"}, "no kind column and no --kind"},
      {{"batch", "empty.csv", "--out", "o3"}, "no header row"},
      {{"batch", "twice.csv", "--out", "o4", "--kind", "url"}, "appears twice"},
      {{"batch", "missing.csv", "--out", "o5"}, "cannot open missing.csv"},
      {{"batch", "nokind.csv", "--out", "o6", "--kind", "fax"}, "unknown kind"},
      {{"batch", "nokind.csv", "--out", "o7", "--kind", "url", "--format", "gif"}, "--format"},
      {{"batch", "nokind.csv", "--kind", "url"}, "--out"},
  };
  for (const TCase& C : Cases) {
    const TRun R = RunCli(Folder.Path(), C.Args);
    EXPECT_EQ(R.Status, 2) << C.Says << ": " << R.Err;
    EXPECT_NE(R.Err.find(C.Says), std::string::npos) << R.Err;
  }
}

// Column names are matched without regard to letter case, like the file column's extensions.
TEST(CliBatch, ColumnNamesIgnoreLetterCase) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "in.csv", "Kind,FILE,Url,SSID\nurl,a.PNG,https://a.example,\n");
  const TRun R = RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out"});
  EXPECT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(DecodeFile(Folder.Path() / "out" / "a.PNG"), "https://a.example");
  WriteFile(Folder.Path() / "twice.csv", "url,URL\nx,y\n");
  const TRun Twice = RunCli(Folder.Path(), {"batch", "twice.csv", "--out", "o2", "--kind", "url"});
  EXPECT_EQ(Twice.Status, 2);
  EXPECT_NE(Twice.Err.find("column \"URL\" appears twice"), std::string::npos) << Twice.Err;
}

// Thousands of rows on two workers give the same files, byte for byte, as on one.
TEST(CliBatch, TwoJobsMakeTheSameFilesAsOne) {
  TTempFolder Folder;
  std::string Csv = "kind,url,text,ssid,key\n";
  for (int I = 0; I < 2000; ++I) {
    switch (I % 3) {
    case 0:
      Csv += "url,https://example.org/item/" + std::to_string(I * 7919) + ",,,\n";
      break;
    case 1:
      Csv += "text,,\"Row " + std::to_string(I) +
             std::string(static_cast<std::size_t>(I % 200), 'z') + "\",,\n";
      break;
    default:
      Csv += "wifi,,,Net" + std::to_string(I) + ",key" + std::to_string(I) + "\n";
    }
  }
  WriteFile(Folder.Path() / "in.csv", Csv);
  for (const char* Format : {"svg", "png"}) {
    const std::string One = std::string("one-") + Format, Two = std::string("two-") + Format;
    const TRun A = RunCli(Folder.Path(), {"batch", "in.csv", "--out", One, "--jobs", "1",
                                          "--format", Format, "--scale", "2"});
    const TRun B = RunCli(Folder.Path(), {"batch", "in.csv", "--out", Two, "--jobs", "2",
                                          "--format", Format, "--scale", "2"});
    ASSERT_EQ(A.Status, 0) << A.Err;
    ASSERT_EQ(B.Status, 0) << B.Err;
    int Compared = 0;
    for (const auto& E : fs::directory_iterator(Folder.Path() / One)) {
      const std::string Name = E.path().filename().string();
      EXPECT_EQ(ReadFile(E.path()), ReadFile(Folder.Path() / Two / Name)) << Name;
      ++Compared;
    }
    EXPECT_EQ(Compared, 2001); // the codes and the manifest
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder.Path() / Two), fs::directory_iterator()),
              2001);
  }
  // A sample read back by zbar.
  EXPECT_EQ(DecodeFile(Folder.Path() / "two-png" / "1998.png"),
            "WIFI:T:WPA;S:Net1997;P:key1997;;\r\n");
}

} // namespace

// A missing closing quote costs one row: every later row is made and every row is in the manifest.
TEST(CliBatch, AMissingQuoteLosesNoLaterRow) {
  TTempFolder Folder;
  std::string Small = "kind,file,text\ntext,t1,a\ntext,t2,b\ntext,t3,\"open\n";
  for (int I = 4; I <= 10; ++I)
    Small += "text,t" + std::to_string(I) + ",x\n";
  // Two missing quotes far apart: the first is closed by the second, which runs to the end.
  // (A record past the size cap is read again just the same; Csv_test shows it.)
  std::string Big = "kind,file,text\n";
  for (int I = 1; I <= 3000; ++I)
    Big += "text,b" + std::to_string(I) + (I == 7 || I == 2990 ? ",\"open\n" : ",x\n");
  struct TCase {
    const char* Name;
    std::string Csv;
    int Rows;
    std::string Said; // standard error
  };
  const TCase Cases[] = {
      {"q.csv", Small, 10,
       "marbeck-cli: row 3 (line 4): the quote opened on line 4 is never closed\n"},
      {"big.csv", Big, 3000,
       "marbeck-cli: row 7 (line 8): text after the closing quote of field 3 (is a closing quote "
       "missing on line 8?)\n"
       "marbeck-cli: row 2990 (line 2991): the quote opened on line 2991 is never closed\n"}};
  for (const TCase& C : Cases) {
    WriteFile(Folder.Path() / C.Name, C.Csv);
    const std::string Out = std::string("out-") + C.Name;
    const TRun R = RunCli(Folder.Path(), {"batch", C.Name, "--out", Out, "--jobs", "2"});
    EXPECT_EQ(R.Status, 1) << R.Err;
    EXPECT_EQ(R.Err, C.Said) << C.Name;
    const std::vector<TManifestRow> M = ReadManifest(Folder.Path() / Out);
    ASSERT_EQ(static_cast<int>(M.size()), C.Rows) << C.Name;
    int Made = 0;
    for (int I = 0; I < C.Rows; ++I) {
      EXPECT_EQ(M[static_cast<std::size_t>(I)].Row, std::to_string(I + 1));
      const bool Fails = C.Said.find("row " + std::to_string(I + 1) + " (") != std::string::npos;
      EXPECT_EQ(M[static_cast<std::size_t>(I)].Error.empty(), !Fails) << C.Name << " row " << I + 1;
      Made += !Fails && fs::exists(Folder.Path() / Out / M[static_cast<std::size_t>(I)].File);
    }
    EXPECT_EQ(Made, C.Rows - static_cast<int>(std::count(C.Said.begin(), C.Said.end(), '\n')))
        << C.Name;
  }
}

// SIGINT or SIGTERM: the rows begun are finished, no temporary file is left, the manifest lists
// what was made and says it was interrupted, exit 130. A new run removes what a killed batch
// left, and nothing else.
TEST(CliBatch, InterruptedBatchLeavesItsManifestAndNoTemporaryFiles) {
  TTempFolder Folder;
  std::string Csv = "kind,url\n";
  for (int I = 0; I < 60000; ++I)
    Csv += "url,https://example.org/item/" + std::to_string(I) + "\n";
  WriteFile(Folder.Path() / "in.csv", Csv);
  for (const int Signal : {SIGINT, SIGTERM}) {
    const std::string Out = "out" + std::to_string(Signal);
    const std::string ErrFile = (Folder.Path() / ("err" + std::to_string(Signal))).string();
    TCliProcess Cli(
        Folder.Path(),
        {"batch", "in.csv", "--out", Out, "--jobs", "2", "--format", "png", "--scale", "2"},
        ErrFile);
    ASSERT_GE(Cli.Pid(), 0);
    // Mid-batch: some codes are there.
    const fs::path OutPath = Folder.Path() / Out;
    TCliProcess::WaitFor(OutPath / "50.png");
    if (Signal == SIGINT) {
      // A second batch into the same folder meanwhile is refused.
      const TRun Second = RunCli(Folder.Path(), {"batch", "in.csv", "--out", Out, "--force"});
      EXPECT_EQ(Second.Status, 2) << Second.Err;
      EXPECT_NE(Second.Err.find("another batch is writing into"), std::string::npos) << Second.Err;
    }
    const std::optional<int> Raw = Cli.Stop(Signal);
    ASSERT_TRUE(Raw);
    ASSERT_TRUE(WIFEXITED(*Raw)) << "ended by signal " << WTERMSIG(*Raw);
    EXPECT_EQ(WEXITSTATUS(*Raw), 130);
    const std::string Err = ReadFile(ErrFile);
    long long Done = 0, Read = 0;
    ASSERT_EQ(std::sscanf(Err.c_str(), "marbeck-cli: interrupted after %lld of %lld rows\n", &Done,
                          &Read),
              2)
        << Err;
    EXPECT_EQ(Err, "marbeck-cli: interrupted after " + std::to_string(Done) + " of " +
                       std::to_string(Read) + " rows\n");
    EXPECT_GE(Done, 50);
    EXPECT_LT(Read, 60000);

    std::vector<TManifestRow> M = ReadManifest(OutPath);
    ASSERT_EQ(static_cast<long long>(M.size()), Done + 1);
    EXPECT_EQ(M.back().Row, "");
    EXPECT_EQ(M.back().Error, "interrupted after " + std::to_string(Done) + " of " +
                                  std::to_string(Read) + " rows read");
    M.pop_back();
    std::set<std::string> Listed{"manifest.csv"};
    for (std::size_t I = 0; I < M.size(); ++I) {
      EXPECT_EQ(M[I].Row, std::to_string(I + 1));
      EXPECT_EQ(M[I].Error, "");
      Listed.insert(M[I].File);
    }
    std::set<std::string> Names; // every file is listed; no temporary file
    for (const auto& E : fs::directory_iterator(OutPath))
      Names.insert(E.path().filename().string());
    EXPECT_EQ(Names, Listed);
    EXPECT_EQ(DecodeFile(OutPath / "50.png"), "https://example.org/item/49");
  }

  // What a killed batch leaves is removed by the next run; files of other names stay.
  const fs::path Out = Folder.Path() / ("out" + std::to_string(SIGINT));
  const char* const Stale[] = {".a.png.Ab12Cd", ".B.SVG.000000", ".manifest.csv.zZ9yY8"};
  const char* const Kept[] = {"keep.png.backup", ".hidden", ".c.png.Ab12C", ".d.txt.Ab12Cd",
                              ".manifest.csv.Ab12Cd.x"};
  for (const char* Name : Stale)
    WriteFile(Out / Name, "half");
  for (const char* Name : Kept)
    WriteFile(Out / Name, "mine");
  WriteFile(Folder.Path() / "small.csv", "kind,url\nurl,https://example.org/again\n");
  const TRun Again =
      RunCli(Folder.Path(), {"batch", "small.csv", "--out", Out.string(), "--force"});
  EXPECT_EQ(Again.Status, 0) << Again.Err;
  for (const char* Name : Stale)
    EXPECT_FALSE(fs::exists(Out / Name)) << Name;
  for (const char* Name : Kept)
    EXPECT_EQ(ReadFile(Out / Name), "mine") << Name;
}

// Input that never ends a line (/dev/zero) ends the batch with a reason rather than running for
// ever, after the rows before it; rows piped in slowly are made as they arrive, and the first
// SIGINT stops a batch waiting on the pipe, with a manifest of the rows read.
TEST(CliBatch, EndlessLinesAndSlowPipes) {
  TTempFolder Folder;
  const std::string Cli = ShellQuote(MARBECK_CLI);
  const std::string In = "cd " + ShellQuote(Folder.Path().string()) + " && ";
  auto Run = [&](const std::string& Command) {
    const int Raw = std::system((In + Command + " 2>err").c_str());
    return WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
  };
  EXPECT_EQ(Run("timeout 60 " + Cli + " batch /dev/zero --out zero"), 2); // the header
  EXPECT_NE(ReadFile(Folder.Path() / "err").find("no line break"), std::string::npos)
      << ReadFile(Folder.Path() / "err");
  EXPECT_EQ(Run("(printf 'kind,url\\nurl,https://a.example\\n'; cat /dev/zero) | timeout 60 " +
                Cli + " batch - --out piped"),
            1);
  const std::vector<TManifestRow> Endless = ReadManifest(Folder.Path() / "piped");
  ASSERT_EQ(Endless.size(), 2u);
  EXPECT_EQ(Endless[0].Error, "");
  EXPECT_EQ(DecodeFile(Folder.Path() / "piped" / Endless[0].File), "https://a.example");
  EXPECT_NE(Endless[1].Error.find("the rest of the input is not read"), std::string::npos);

  int Pipe[2];
  ASSERT_EQ(::pipe(Pipe), 0);
  const std::string Dir = Folder.Path().string();
  const pid_t Pid = ::fork();
  ASSERT_GE(Pid, 0);
  if (Pid == 0) {
    if (::chdir(Dir.c_str()) != 0 || ::dup2(Pipe[0], 0) < 0) ::_exit(126);
    ::close(Pipe[1]);
    const int Null = ::open("/dev/null", O_WRONLY);
    ::dup2(Null, 2);
    ::execl(MARBECK_CLI, MARBECK_CLI, "batch", "-", "--out", "slow", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(Pipe[0]);
  const std::string Rows = "kind,url\nurl,https://one.example\nurl,https://two.example\n";
  ASSERT_EQ(::write(Pipe[1], Rows.data(), Rows.size()), static_cast<ssize_t>(Rows.size()));
  const fs::path Slow = Folder.Path() / "slow";
  bool Made = false; // with the pipe still open
  for (int Wait = 0; Wait < 3000 && !Made; ++Wait) {
    std::error_code Ec;
    Made = fs::exists(Slow / "1.svg", Ec) && fs::exists(Slow / "2.svg", Ec);
    if (!Made) ::usleep(10000);
  }
  EXPECT_TRUE(Made);
  ASSERT_EQ(::kill(Pid, SIGINT), 0);
  int Raw = 0;
  for (int Wait = 0; Wait < 500 && ::waitpid(Pid, &Raw, WNOHANG) == 0; ++Wait)
    ::usleep(10000);
  if (::waitpid(Pid, &Raw, WNOHANG) == 0) { // still waiting for input after 5 s
    ADD_FAILURE() << "the first SIGINT did not stop the batch";
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, &Raw, 0);
  }
  ::close(Pipe[1]);
  ASSERT_TRUE(WIFEXITED(Raw));
  EXPECT_EQ(WEXITSTATUS(Raw), 130);
  const std::vector<TManifestRow> M = ReadManifest(Slow);
  ASSERT_EQ(M.size(), 3u);
  EXPECT_EQ(M[0].File, "1.svg");
  EXPECT_EQ(M[1].File, "2.svg");
  EXPECT_EQ(M[2].Error, "interrupted after 2 of 2 rows read");
}

// A NUL byte on standard input is refused with its offset, not put into a code.
TEST(CliSingle, ANulByteIsRefused) {
  TTempFolder Folder;
  const TRun R = RunCli(Folder.Path(), {"text", "-", "-o", "t.svg"}, std::string("a\0b", 3));
  EXPECT_EQ(R.Status, 2);
  EXPECT_EQ(R.Err, "marbeck-cli: standard input holds a NUL byte at offset 1 (phones cut the text "
                   "there)\n");
  EXPECT_FALSE(fs::exists(Folder.Path() / "t.svg"));
}

// Colours phones may not read: a batch warns once, before its first row, in the single code's
// words.
TEST(CliBatch, WeakColoursAreWarnedOfOnce) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "in.csv",
            "kind,url\nfax,x\nurl,https://a.example\nurl,https://b.example\n");
  const std::pair<const char*, const char*> Colours[] = {{"#ffffff", "#000000"},
                                                         {"#ffff00", "#ffffff"}};
  int Run = 0;
  for (const auto& [Dark, Light] : Colours) {
    const TRun Single =
        RunCli(Folder.Path(), {"url", "x", "--dark", Dark, "--light", Light, "-o", "a.png"});
    ASSERT_NE(Single.Err.find("warning: "), std::string::npos) << Single.Err;
    std::string Out = "o"; // appended: GCC 12 at -O3 misreads "o" + std::string (-Wrestrict)
    Out += std::to_string(++Run);
    const TRun Batch =
        RunCli(Folder.Path(), {"batch", "in.csv", "--out", Out, "--dark", Dark, "--light", Light});
    EXPECT_EQ(Batch.Status, 1) << Batch.Err;
    EXPECT_EQ(Batch.Err, Single.Err + "marbeck-cli: row 1 (line 2): unknown kind \"fax\" (text, "
                                      "url, email, vcard, wifi, phone, sms, geo, event or pay)\n");
  }
  // A row's own finder colour is warned of on its row.
  WriteFile(Folder.Path() / "finder.csv",
            "kind,url,finder-color\nurl,https://a.example,\nurl,https://b.example,#eeeeee\n");
  const TRun Finder = RunCli(Folder.Path(), {"batch", "finder.csv", "--out", "f"});
  EXPECT_EQ(Finder.Status, 0) << Finder.Err;
  EXPECT_EQ(Finder.Err, "marbeck-cli: row 2 (line 3): warning: finder contrast 1.16 : 1 (at least "
                        "3 : 1 against the light colour is needed); phones may not read it\n");
}

// ---- designed codes ----

namespace {

// A logo for the command line to read: an orange block with a navy disc, transparent around.
void WriteLogo(const fs::path& Path, int W = 160, int H = 100) {
  QImage Picture(W, H, QImage::Format_ARGB32);
  Picture.fill(Qt::transparent);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const int Dx = X - W / 2, Dy = Y - H / 2;
      if (Dx * Dx + Dy * Dy < H * H / 5)
        Picture.setPixel(X, Y, qRgb(0x14, 0x14, 0x60));
      else if (X < W * 2 / 3)
        Picture.setPixel(X, Y, qRgb(0xf0, 0x80, 0x20));
    }
  ASSERT_TRUE(Picture.save(QString::fromStdString(Path.string()), "PNG"));
}

} // namespace

// Every file format carries the design and reads back through the outside readers; --verify
// judges the designed picture: a large logo at level L fails with exit 3, the same at H passes.
TEST(CliDesign, DesignedFilesReadBackAndVerifyJudgesTheDesign) {
  TTempFolder Folder;
  WriteLogo(Folder.Path() / "logo.png");
  const std::string Url = "https://example.org/marbeck/designed-codes?id=12345";
  for (const char* Ext : {".png", ".svg", ".pdf"}) {
    SCOPED_TRACE(Ext);
    const std::string Name = std::string("code") + Ext;
    const TRun R = RunCli(Folder.Path(), {"url", Url, "--logo", "logo.png", "--ec", "H", "--shape",
                                          "dots", "--finder-shape", "rounded", "--finder-color",
                                          "#b01030", "--verify", "-o", Name});
    EXPECT_EQ(R.Status, 0) << R.Err;
    EXPECT_EQ(DecodeFile(Folder.Path() / Name), Url);
    const TRun Low =
        RunCli(Folder.Path(), {"url", Url, "--logo", "logo.png", "--logo-size", "30", "--ec", "L",
                               "--verify", "-o", std::string("low").append(Ext)});
    EXPECT_EQ(Low.Status, 3) << Low.Err;
    EXPECT_NE(Low.Err.find("not verified"), std::string::npos) << Low.Err;
    EXPECT_FALSE(fs::exists(Folder.Path() / (std::string("low").append(Ext)))); // nothing written
    const TRun High =
        RunCli(Folder.Path(), {"url", Url, "--logo", "logo.png", "--logo-size", "30", "--ec", "H",
                               "--verify", "-o", std::string("high").append(Ext)});
    EXPECT_EQ(High.Status, 0) << High.Err;
  }
  // The SVG keeps a bitmap logo as PNG data; the square shape without a design stays plain.
  EXPECT_NE(ReadFile(Folder.Path() / "code.svg").find("xlink:href=\"data:image/png;base64,"),
            std::string::npos);
}

TEST(CliDesign, BadDesignValuesAreUsageErrorsAndTheTerminalRefusesDesigns) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "broken.png", "\x89PNG\r\n\x1a\n not really");
  const struct {
    std::vector<std::string> Args;
    int Status;
    const char* Message;
  } Cases[] = {
      {{"--shape", "star", "-o", "a.svg"}, 2, "--shape: \"star\" (square, dots or rounded)"},
      {{"--finder-shape", "dots", "-o", "a.svg"}, 2, "--finder-shape: \"dots\""},
      {{"--logo-size", "31", "-o", "a.svg"}, 2, "--logo-size"},
      {{"--logo", "gone.png", "-o", "a.svg"}, 2, "--logo: cannot use gone.png: no such file"},
      {{"--logo", "broken.png", "-o", "a.svg"}, 2, "--logo: cannot use broken.png: a damaged"},
      {{"--finder-color", "clWindow", "-o", "a.svg"},
       2,
       "--finder-color: \"clWindow\" is a system"},
      {{"--shape", "dots", "--format", "utf8", "-o", "-"}, 2, "the terminal drawing shows plain"},
      {{"--finder-color", "#eeeeee", "--verify", "-o", "a.svg"}, 3, "finder contrast 1.16 : 1"},
  };
  for (const auto& Case : Cases) {
    std::vector<std::string> Args = {"text", "designed"};
    Args.insert(Args.end(), Case.Args.begin(), Case.Args.end());
    SCOPED_TRACE(Args[2]);
    const TRun R = RunCli(Folder.Path(), Args);
    EXPECT_EQ(R.Status, Case.Status) << R.Err;
    EXPECT_NE(R.Err.find(Case.Message), std::string::npos) << R.Err;
    EXPECT_FALSE(fs::exists(Folder.Path() / "a.svg"));
  }
  // Without --verify a weak finder colour is warned of, and the file is made.
  const TRun Weak =
      RunCli(Folder.Path(), {"text", "x", "--finder-color", "#eeeeee", "-o", "w.svg"});
  EXPECT_EQ(Weak.Status, 0);
  EXPECT_NE(Weak.Err.find("warning: finder contrast 1.16 : 1"), std::string::npos) << Weak.Err;
}

// Logos and pictures with text are common: marbeck-cli draws their text in the system's fonts as
// the window does, in every format, in a batch and in decode, and never aborts.
TEST(CliDesign, LogosWithTextAreDrawn) {
  TTempFolder Folder;
  WriteFile(Folder.Path() / "text.svg",
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"40\">"
            "<rect width=\"100\" height=\"40\" fill=\"#036\"/>"
            "<text x=\"10\" y=\"28\" font-size=\"20\" fill=\"#fff\">ACME</text></svg>");
  for (const char* Out : {"t.png", "t.pdf", "t.svg"}) {
    const TRun R = RunCli(Folder.Path(), {"url", "https://example.org", "--ec", "H", "--logo",
                                          "text.svg", "--verify", "-o", Out});
    EXPECT_EQ(R.Status, 0) << Out << ": " << R.Err;
    EXPECT_EQ(DecodeFile(Folder.Path() / Out), "https://example.org") << Out;
  }
  // The text is drawn: the pad holds the logo's light letters on its dark box.
  const QImage Png(QString::fromStdString((Folder.Path() / "t.png").string()));
  ASSERT_FALSE(Png.isNull());
  int Light = 0;
  for (int Y = Png.height() * 45 / 100; Y < Png.height() * 55 / 100; ++Y)
    for (int X = Png.width() * 40 / 100; X < Png.width() * 60 / 100; ++X)
      Light += qGray(Png.pixel(X, Y)) > 200;
  EXPECT_GT(Light, 20);

  WriteFile(Folder.Path() / "in.csv", "kind,url,logo\nurl,https://a.example,\n"
                                      "url,https://b.example,text.svg\nurl,https://c.example,\n");
  for (const char* Out : {"dir", "codes.zip"}) {
    const TRun R = RunCli(Folder.Path(), {"batch", "in.csv", "--out", Out, "--ec", "H", "--verify",
                                          "--format", "pdf"});
    EXPECT_EQ(R.Status, 0) << Out << ": " << R.Err;
  }
  const std::vector<TManifestRow> M = ReadManifest(Folder.Path() / "dir");
  ASSERT_EQ(M.size(), 3u);
  for (const TManifestRow& Row : M)
    EXPECT_EQ(Row.Verified, "yes") << Row.Row << ": " << Row.Error;

  const TRun Decoded = RunCli(Folder.Path(), {"decode", "t.svg", "text.svg"});
  EXPECT_EQ(Decoded.Status, 1);
  EXPECT_EQ(Decoded.Out, "https://example.org\n");
  EXPECT_EQ(Decoded.Err, "marbeck-cli: text.svg: no QR code found\n");
}

// SVG logos and pictures reach nothing outside themselves: a picture they name on the disk is
// neither drawn nor read, a document type refuses them, and what SVG output carries is the
// rewritten logo. Damaged logos are refused in one line of the program's own.
TEST(CliDesign, LogosAndPicturesReachNothingOutside) {
  TTempFolder Folder;
  ASSERT_EQ(RunCli(Folder.Path(), {"text", "secret", "-o", "secret.png"}).Status, 0);
  const std::string Secret = (Folder.Path() / "secret.png").string();
  const std::string Head = "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"300\" "
                           "height=\"300\"><rect width=\"300\" height=\"300\" fill=\"#fff\"/>";
  WriteFile(Folder.Path() / "picture.svg",
            Head + "<image width=\"300\" height=\"300\" xlink:href=\"" + Secret + "\"/></svg>");
  const TRun Read = RunCli(Folder.Path(), {"decode", "picture.svg"});
  EXPECT_EQ(Read.Out, "");
  EXPECT_EQ(Read.Err, "marbeck-cli: picture.svg: no QR code found\n");

  WriteFile(Folder.Path() / "logo.svg",
            Head +
                "<rect width=\"300\" height=\"300\" fill=\"#036\"/><image width=\"300\" "
                "height=\"300\" xlink:href=\"" +
                Secret + "\"/></svg>");
  const TRun Made = RunCli(Folder.Path(), {"url", "https://example.org", "--ec", "H", "--logo",
                                           "logo.svg", "-o", "out.svg"});
  EXPECT_EQ(Made.Status, 0) << Made.Err;
  const std::string Svg = ReadFile(Folder.Path() / "out.svg");
  const std::size_t Data = Svg.find("data:image/svg+xml;base64,");
  ASSERT_NE(Data, std::string::npos);
  const std::string Logo =
      QByteArray::fromBase64(
          QByteArray::fromStdString(Svg.substr(Data + 26, Svg.find('"', Data) - Data - 26)))
          .toStdString();
  EXPECT_EQ(Logo.find(Secret), std::string::npos) << Logo;
  EXPECT_NE(Logo.find("#036"), std::string::npos) << Logo;
  EXPECT_EQ(DecodeFile(Folder.Path() / "out.svg"), "https://example.org");

  // Refused in one line each.
  WriteFile(Folder.Path() / "dtd.svg",
            "<?xml version=\"1.0\"?><!DOCTYPE svg SYSTEM \"file:///etc/passwd\">" + Head +
                "</svg>");
  QImage Photo(200, 120, QImage::Format_RGB32);
  Photo.fill(QColor(0x20, 0x60, 0xc0));
  ASSERT_TRUE(Photo.save(QString::fromStdString((Folder.Path() / "photo.jpg").string()), "JPEG"));
  ASSERT_TRUE(Photo.save(QString::fromStdString((Folder.Path() / "photo.png").string()), "PNG"));
  for (const char* Name : {"photo.jpg", "photo.png"}) {
    const std::string Whole = ReadFile(Folder.Path() / Name);
    WriteFile(Folder.Path() / (std::string("cut-") + Name), Whole.substr(0, Whole.size() * 2 / 3));
  }
  const std::pair<const char*, const char*> Refused[] = {
      {"dtd.svg", "an SVG with a document type (DTD), which may name outside files"},
      {"cut-photo.jpg", "a damaged picture (cut short)"},
      {"cut-photo.png", "a damaged picture"},
  };
  for (const auto& [Name, Why] : Refused) {
    const TRun R = RunCli(Folder.Path(), {"url", "https://example.org", "--ec", "H", "--logo", Name,
                                          "-o", "refused.png"});
    EXPECT_EQ(R.Status, 2) << Name;
    EXPECT_EQ(R.Err.rfind(std::string("marbeck-cli: --logo: cannot use ") + Name + ": " + Why, 0),
              0u)
        << R.Err;
    EXPECT_EQ(std::count(R.Err.begin(), R.Err.end(), '\n'), 1) << R.Err;
  }
  EXPECT_FALSE(fs::exists(Folder.Path() / "refused.png"));
  EXPECT_EQ(RunCli(Folder.Path(), {"url", "https://example.org", "--ec", "H", "--logo", "photo.jpg",
                                   "-o", "photo-logo.png"})
                .Status,
            0);
}

// --verify calls a code good only when it scans as people will see it: every SVG it passes is
// read by zbar from rsvg-convert's drawing at 96, 150, 200, 254 and 300 dpi of its printed size,
// and every PNG from the file; the rows it fails say at which sizes.
TEST(CliDesign, VerifiedMeansReadAtPrintSizes) {
  TTempFolder Folder;
  WriteLogo(Folder.Path() / "logo.png");
  std::string Csv = "kind,text,logo-size,shape,file\n";
  int Rows = 0;
  for (const int Length : {40, 120, 180, 260, 400})
    for (const char* Size : {"10", "20", "30"}) {
      std::string Text;
      while (Text.size() < static_cast<std::size_t>(Length))
        Text += "ab";
      ++Rows;
      Csv += "text," + Text + "," + Size + "," + (Rows % 2 ? "dots" : "square") + "," +
             std::to_string(Rows) + (Rows % 3 ? ".svg" : ".png") + "\n";
    }
  WriteFile(Folder.Path() / "in.csv", Csv);
  RunCli(Folder.Path(), {"batch", "in.csv", "--out", "out", "--ec", "H", "--logo", "logo.png",
                         "--verify", "--jobs", "2"});
  const std::vector<TManifestRow> M = ReadManifest(Folder.Path() / "out");
  ASSERT_EQ(M.size(), static_cast<std::size_t>(Rows));
  int Passed = 0;
  for (const TManifestRow& Row : M) {
    SCOPED_TRACE(Row.File);
    if (Row.Verified != "yes") {
      EXPECT_NE(Row.Error.find(" at "), std::string::npos) << Row.Error;
      continue;
    }
    ++Passed;
    const fs::path File = Folder.Path() / "out" / Row.File;
    if (File.extension() == ".png") {
      EXPECT_TRUE(DecodeFile(File).has_value());
      continue;
    }
    for (const int Dpi : {96, 150, 200, 254, 300}) {
      const fs::path Png = Folder.Path() / "drawn.png";
      const std::string D = std::to_string(Dpi);
      ASSERT_EQ(std::system(("rsvg-convert -d " + D + " -p " + D + " -o " +
                             ShellQuote(Png.string()) + " " + ShellQuote(File.string()))
                                .c_str()),
                0);
      EXPECT_TRUE(DecodeFile(Png).has_value()) << Dpi << " dpi";
    }
  }
  EXPECT_GT(Passed, Rows / 2);
}

// The design columns: a logo named relative to the CSV file's folder, read once for many rows;
// each row's verdict judges its own design; bad cells fail their row only.
TEST(CliBatch, DesignColumnsAndTwoHundredVerifiedBadges) {
  TTempFolder Folder;
  fs::create_directory(Folder.Path() / "in");
  WriteLogo(Folder.Path() / "in" / "logo.png");
  WriteFile(Folder.Path() / "in" / "badges.csv",
            "first-name,logo,logo-size,shape,finder-shape,finder-color,ec\n"
            "Ada,logo.png,20,dots,rounded,#b01030,H\n"
            "Bea,logo.png,30,square,,,L\n"
            "Cy,gone.png,,,,,H\n"
            "Di,,,hexagon,,,\n"
            "Ed,,12,rounded,square,,Q\n"
            "Flo,logo.png,31,,,,H\n"
            "Gus,../outside.png,,,,,H\n"
            "Hal," +
                (Folder.Path() / "outside.png").string() +
                ",,,,,H\n"
                "Ivy,link.png,,,,,H\n"
                "Jo,sub/../logo.png,,,,,H\n");
  // Files outside the CSV file's folder, one of them through a link inside it.
  WriteLogo(Folder.Path() / "outside.png");
  fs::create_directory(Folder.Path() / "in" / "sub");
  fs::create_symlink("../outside.png", Folder.Path() / "in" / "link.png");
  const TRun Run = RunCli(Folder.Path(), {"batch", "in/badges.csv", "--out", "out", "--kind",
                                          "vcard", "--verify", "--format", "png"});
  EXPECT_EQ(Run.Status, 1) << Run.Err;
  const std::vector<TManifestRow> M = ReadManifest(Folder.Path() / "out");
  ASSERT_EQ(M.size(), 10u);
  EXPECT_EQ(M[0].Verified, "yes") << M[0].Error;
  EXPECT_EQ(M[0].Level, "H");
  EXPECT_NE(M[1].Error.find("not verified"), std::string::npos) << M[1].Error;
  // Missing, outside, or outside through a link: one message, which tells nothing of the file.
  const std::string Refused = ": no readable file of that name in the CSV file's folder";
  EXPECT_EQ(M[2].Error, "logo: cannot use gone.png" + Refused);
  EXPECT_EQ(M[6].Error, "logo: cannot use ../outside.png" + Refused);
  EXPECT_EQ(M[7].Error, "logo: cannot use " + (Folder.Path() / "outside.png").string() + Refused);
  EXPECT_EQ(M[8].Error, "logo: cannot use link.png" + Refused);
  EXPECT_EQ(M[9].Verified, "yes") << M[9].Error;
  // --logo-dir names the folder they are taken from instead.
  fs::create_directory(Folder.Path() / "other");
  WriteFile(Folder.Path() / "other" / "x.csv",
            "first-name,logo\nA,outside.png\nB,in/logo.png\nC,../outside.png\n");
  const TRun Wider = RunCli(Folder.Path(), {"batch", "other/x.csv", "--out", "wider", "--kind",
                                            "vcard", "--logo-dir", ".", "--format", "png"});
  const std::vector<TManifestRow> W = ReadManifest(Folder.Path() / "wider");
  ASSERT_EQ(W.size(), 3u) << Wider.Err;
  EXPECT_EQ(W[0].Error, "");
  EXPECT_EQ(W[1].Error, "");
  EXPECT_EQ(W[2].Error, "logo: cannot use ../outside.png: no readable file of that name in "
                        "--logo-dir");
  EXPECT_EQ(M[3].Error, "shape: \"hexagon\" (square, dots or rounded)");
  EXPECT_EQ(M[4].Verified, "yes") << M[4].Error;
  EXPECT_EQ(M[5].Error, "logo-size: \"31\" (a whole number from 5 to 30)");

  // A label sheet paints each row in its own design: Ada's corner squares in her colour.
  const TRun Sheet = RunCli(Folder.Path(), {"batch", "in/badges.csv", "--out", "sheet.pdf",
                                            "--kind", "vcard", "--sheet", "A4", "--grid", "2x3"});
  EXPECT_EQ(Sheet.Status, 1) << Sheet.Err; // the rows with a bad cell fail as before
  const std::string Page = (Folder.Path() / "page").string();
  ASSERT_EQ(std::system(("pdftoppm -png -r 72 -singlefile " +
                         ShellQuote((Folder.Path() / "sheet.pdf").string()) + " " +
                         ShellQuote(Page) + " 2>/dev/null")
                            .c_str()),
            0);
  QImage Sheets;
  ASSERT_TRUE(Sheets.load(QString::fromStdString(Page + ".png")));
  int Coloured = 0;
  for (int Y = 0; Y < Sheets.height(); ++Y)
    for (int X = 0; X < Sheets.width(); ++X) {
      const QColor C = Sheets.pixelColor(X, Y);
      Coloured += std::abs(C.red() - 0xb0) < 24 && C.green() < 48 && std::abs(C.blue() - 0x30) < 24;
    }
  EXPECT_GT(Coloured, 100);

  // 200 designed badges, all verified.
  std::string Badges = "first-name,last-name,company\n";
  for (int I = 0; I < 200; ++I)
    Badges.append("Guest")
        .append(std::to_string(I))
        .append(",Number ")
        .append(std::to_string(I))
        .append(",Marbeck Days\n");
  WriteFile(Folder.Path() / "in" / "many.csv", Badges);
  const TRun Many = RunCli(Folder.Path(), {"batch", "in/many.csv", "--out", "many", "--kind",
                                           "vcard", "--verify", "--logo", "in/logo.png", "--ec",
                                           "H", "--shape", "rounded", "--finder-shape", "rounded",
                                           "--finder-color", "#1060a0", "--jobs", "2"});
  EXPECT_EQ(Many.Status, 0) << Many.Err;
  const std::vector<TManifestRow> All = ReadManifest(Folder.Path() / "many");
  ASSERT_EQ(All.size(), 200u);
  for (const TManifestRow& Row : All)
    EXPECT_EQ(Row.Verified, "yes") << Row.Row << ": " << Row.Error;
  EXPECT_TRUE(DecodeFile(Folder.Path() / "many" / "200.svg").has_value());
}
