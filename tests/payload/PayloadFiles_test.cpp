#include "payload/PayloadFiles.h"
#include "platform/Unicode.h"
#include "util/MyFunctions.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out << Bytes;
}

std::string Golden(const char* Name) {
  return ReadAll(fs::path(MARBECK_PAYLOAD_GOLDEN) / Name);
}

std::u16string U16(const fs::path& Path) {
  const std::u8string U8 = Path.u8string();
  return Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(U8.data()), U8.size()));
}

class PayloadFiles : public ::testing::Test {
protected:
  void SetUp() override {
    std::string Pattern = (fs::temp_directory_path() / "marbeck-payload-XXXXXX").string();
    ASSERT_NE(::mkdtemp(Pattern.data()), nullptr);
    Dir = Pattern;
  }
  void TearDown() override {
    std::error_code Ec;
    fs::permissions(Dir, fs::perms::owner_all, fs::perm_options::add, Ec);
    fs::remove_all(Dir, Ec);
  }
  fs::path Dir;
};

TVCardPage SampleContact() {
  TVCardPage P;
  P.ContactName = u"J\u00F6rg M\u00FCller, Jr.";
  P.LastName = u"M\u00FCller";
  P.FirstName = u"J\u00F6rg";
  P.PhoneCellPrivate = u"+49 170 1234567";
  P.EmailPrivate = u"joerg@example.org";
  P.StreetHome = u"Hauptstr. 1;Hinterhaus";
  P.CityHome = u"K\u00F6ln";
  P.ZIPCodeHome = u"50667";
  P.Birthday = u"1970.01.31";
  P.Company = u"ACME\\Labs";
  P.Department = u"R&D";
  return P;
}

// ---- file-name rule ----

TEST(SaveFileNameRule, AppendsTheExtensionAndCollapsesADoubledOne) {
  const struct {
    std::u16string Chosen, Extension, Expected;
  } Cases[] = {
      {u"notes", u".txt", u"notes.txt"},
      {u"notes.txt", u".txt", u"notes.txt"},
      {u"notes.TXT", u".txt", u"notes.txt"},
      {u"notes.doc", u".txt", u"notes.doc.txt"},
      {u"/home/u/card.Vcf", u".vcf", u"/home/u/card.vcf"},
      {u"my.eml.draft", u".eml", u"my.eml.draft.eml"},
      {u"a.nwk.nwk", u".nwk",
       u"a.nwk.nwk"}, // one pass: the first pair collapses, the appended one stays
      {u"\u00DCbung", u".txt", u"\u00DCbung.txt"},
      {u"/tmp/x.txt.txt/notes", u".txt",
       u"/tmp/x.txt.txt/notes.txt"}, // a folder's name is no file name
      {u"/tmp/x.txt.txt/notes.txt", u".txt", u"/tmp/x.txt.txt/notes.txt"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(SaveFileName(C.Chosen, C.Extension), C.Expected);
}

// ---- golden files: bytes written once by hand ----

TEST(PayloadGolden, TextFileInWindows1252) {
  const std::u16string Memo = u"Caf\u00E9 \u20AC 5\r\nline 2";
  const TEncodedText Written = SaveTextBytes(Memo, TTextEncoding::teAnsi);
  EXPECT_EQ(Written.Bytes, Golden("text.txt"));
  EXPECT_EQ(Written.Encoding, TTextEncoding::teAnsi);
  const TDecodedText Read = LoadTextBytes(Golden("text.txt"));
  EXPECT_EQ(Read.Text, Memo);
  EXPECT_EQ(Read.Encoding, TTextEncoding::teAnsi);
}

TEST(PayloadGolden, EMailFileInUTF16LE) {
  const TEMailPage Page{u"a@b.example", u"\u00DCn\u00EFcode; test", u"Hello \u03A9mega\r\nbye"};
  EXPECT_EQ(SaveEMailBytes(Page, TTextEncoding::teUTF16LE).Bytes, Golden("email.eml"));
  const std::optional<TEMailFile> Read = LoadEMailBytes(Golden("email.eml"));
  ASSERT_TRUE(Read);
  EXPECT_EQ(Read->Page.EditAddress, Page.EditAddress);
  EXPECT_EQ(Read->Page.EditSubject, Page.EditSubject);
  EXPECT_EQ(Read->Page.MemoMessage, Page.MemoMessage);
  EXPECT_EQ(Read->Encoding, TTextEncoding::teUTF16LE);
}

TEST(PayloadGolden, VCardFileInUTF8WithoutMark) {
  EXPECT_EQ(SaveVCardBytes(SampleContact(), TTextEncoding::teUTF8).Bytes, Golden("contact.vcf"));
  const TVCardFile Read = LoadVCardBytes(Golden("contact.vcf"), {});
  EXPECT_EQ(Read.Page, SampleContact());
  EXPECT_EQ(Read.MemoVCard, ComposeVCard(SampleContact()));
  EXPECT_EQ(Read.Encoding, TTextEncoding::teUTF8NoBOM);
}

// ---- .txt ----

TEST(TextFile, LineBreaksBecomeCRLFAndNothingIsAdded) {
  EXPECT_EQ(LoadTextBytes("a\nb").Text, u"a\r\nb");
  EXPECT_EQ(LoadTextBytes("a\rb\r\n\n").Text, u"a\r\nb\r\n\r\n");
  EXPECT_EQ(SaveTextBytes(u"x", TTextEncoding::teAnsi).Bytes, "x");
  for (const TTextEncoding E :
       {TTextEncoding::teUTF8, TTextEncoding::teUTF16LE, TTextEncoding::teUTF16BE}) {
    const std::u16string Memo =
        u"\u041F\u0440\u0438\u0432\u0435\u0442\r\n\u4F60\u597D \U0001F600\r\n";
    const TDecodedText Read = LoadTextBytes(SaveTextBytes(Memo, E).Bytes);
    EXPECT_EQ(Read.Text, Memo);
    EXPECT_EQ(Read.Encoding, E);
  }
}

// ---- .eml ----

// Every line of a non-empty message ends with CR LF, its last line too: a memo ending with an empty
// line ("m" CR LF) writes that empty line.
TEST(EMailFile, WriterLayout) {
  EXPECT_EQ(SaveEMailBytes({u"x", u"y", u""}, TTextEncoding::teAnsi).Bytes, "x\r\ny\r\n");
  EXPECT_EQ(SaveEMailBytes({u"x", u"", u"m"}, TTextEncoding::teAnsi).Bytes, "m\r\nx\r\n\r\n");
  EXPECT_EQ(SaveEMailBytes({u"", u"", u"m\r\n"}, TTextEncoding::teAnsi).Bytes, "m\r\n\r\n\r\n\r\n");
}

// A load gives the memo exactly the lines that were saved, so the code made from the page is the
// one made before the save (no %0D%0A grows at the end of the body).
TEST(EMailFile, SaveAndLoadGiveBackTheSameMessageAndCode) {
  const TEMailPage Cases[] = {
      {u"a@b.example", u"Hello", u"Hi"},     // one line
      {u"a@b.example", u"Hello", u"Hi\r\n"}, // ending with an empty line
      {u"x", u"y", u""},                     // empty message
      {u"a@b", u"", u"\r\n"},                // two empty lines
      {u"a@b", u"S", u"m1\r\nm2"},
      {u"", u"", u" \r\n\r\n; \\ \u00E9\u20AC\u4F60\r\n\r\n"},
  };
  for (const TTextEncoding Encoding :
       {TTextEncoding::teAnsi, TTextEncoding::teUTF8, TTextEncoding::teUTF16BE}) {
    for (const TEMailPage& Page : Cases) {
      const std::optional<TEMailFile> Read = LoadEMailBytes(SaveEMailBytes(Page, Encoding).Bytes);
      ASSERT_TRUE(Read);
      EXPECT_EQ(Read->Page.MemoMessage, Page.MemoMessage);
      EXPECT_EQ(Read->Page.EditAddress, Page.EditAddress);
      EXPECT_EQ(Read->Page.EditSubject, Page.EditSubject);
      EXPECT_EQ(EMailPayload(Read->Page), EMailPayload(Page));
    }
  }
}

// Files of earlier versions: they hold the same bytes for a message that does not end with a line
// break, and lost the empty last line of one that did; either way the lines written come back.
TEST(EMailFile, FilesWrittenBeforeLoadTheLinesTheyHold) {
  const struct {
    const char* Bytes;
    std::u16string Message;
  } Cases[] = {
      {"Hi\r\na@b\r\nS\r\n", u"Hi"},
      {"m1\r\n\r\nm2\r\na@b\r\nS\r\n", u"m1\r\n\r\nm2"},
      {"a@b\r\nS\r\n", u""},
      {"m1\nm2\na@b\nS", u"m1\r\nm2"}, // Unix breaks, no final break
  };
  for (const auto& C : Cases) {
    const std::optional<TEMailFile> Read = LoadEMailBytes(C.Bytes);
    ASSERT_TRUE(Read) << C.Bytes;
    EXPECT_EQ(Read->Page.MemoMessage, C.Message) << C.Bytes;
    EXPECT_EQ(Read->Page.EditAddress, u"a@b");
    EXPECT_EQ(Read->Page.EditSubject, u"S");
  }
}

TEST(EMailFile, FewerThanTwoLinesIsRefused) {
  for (const char* Bytes : {"", "only", "only\r\n", "\xEF\xBB\xBF"})
    EXPECT_FALSE(LoadEMailBytes(Bytes)) << Bytes;
  const std::optional<TEMailFile> Two = LoadEMailBytes("\r\n\r\n");
  ASSERT_TRUE(Two);
  EXPECT_EQ(Two->Page.EditAddress, u"");
  EXPECT_EQ(Two->Page.EditSubject, u"");
}

// ---- .vcf ----

// Written as UTF-8 even when the memo remembers UTF-16; the same record in UTF-16, as earlier
// versions wrote it for such a memo, still loads.
TEST(VCardFile, RoundTripKeepsAwkwardValues) {
  TVCardPage Page = SampleContact();
  Page.JobTitle = u"\u0418\u043D\u0436\u0435\u043D\u0435\u0440\r\n2nd line";
  Page.Streetwork = u" ";
  Page.MiddleName = u"\\;,";
  const TVCardFile Read = LoadVCardBytes(SaveVCardBytes(Page, TTextEncoding::teUTF16LE).Bytes, {});
  EXPECT_EQ(Read.Page, Page);
  EXPECT_EQ(Read.Encoding, TTextEncoding::teUTF8NoBOM);
  const TVCardFile Older =
      LoadVCardBytes(EncodeText(ComposeVCard(Page), TTextEncoding::teUTF16LE).Bytes, {});
  EXPECT_EQ(Older.Page, Page);
  EXPECT_EQ(Older.Encoding, TTextEncoding::teUTF16LE);
}

TEST(VCardFile, FileWithoutPrefixesChangesNothing) {
  const TVCardPage Before = SampleContact();
  const TVCardFile Read = LoadVCardBytes("BEGIN:VCARD\r\nNOTE:hello\r\nEND:VCARD", Before);
  EXPECT_EQ(Read.Page, Before);
  EXPECT_EQ(Read.MemoVCard, u"BEGIN:VCARD\r\nNOTE:hello\r\nEND:VCARD");
}

// ---- .nwk ----

TEST(NetworkFile, LayoutIsMarkOneScrambledLineCRLF) {
  const std::optional<std::string> Bytes = SaveNetworkBytes({});
  ASSERT_TRUE(Bytes);
  ASSERT_TRUE(Bytes->starts_with("\xEF\xBB\xBF"));
  ASSERT_TRUE(Bytes->ends_with("\r\n"));
  const std::u16string Line = Utf8ToUtf16(Bytes->substr(3, Bytes->size() - 5));
  EXPECT_EQ(Line.find_first_of(u"\r\n"), std::u16string::npos);
  EXPECT_EQ(Line.size(), 50u); // "WIFI:T:WPA;S:;P:;;" filled up to the target length
  EXPECT_EQ(UnscrambleText(Line), u"WIFI:T:WPA;S:;P:;;");
}

TEST(NetworkFile, RoundTripKeepsSpecialCharacters) {
  const TWifiPage Cases[] = {
      {u"", u"", 0},    {u"home", u"secret", 1},           {u"my;net", u"k;e:y,\"\\", 0},
      {u"\\", u";", 1}, {u" caf\u00E9 \u01C7 ", u"  ", 0}, // code 455 is the highest that survives
                                                           // scrambling
  };
  for (const TWifiPage& Page : Cases) {
    const std::optional<std::string> Bytes = SaveNetworkBytes(Page);
    ASSERT_TRUE(Bytes);
    EXPECT_EQ(LoadNetworkBytes(*Bytes), Page);
  }
  TWifiPage Long{std::u16string(1200, u'n'), std::u16string(1000, u';'), 0};
  const std::optional<TWifiPage> Read = LoadNetworkBytes(SaveNetworkBytes(Long).value());
  ASSERT_TRUE(Read);
  EXPECT_EQ(Read->SSID, std::u16string(999, u'n'));
  EXPECT_EQ(Read->NetworkKey, std::u16string(999, u';'));
}

std::string ScrambledFile(const std::u16string& Record) {
  return "\xEF\xBB\xBF" + Utf16ToUtf8(ScrambleText(Record, 50).value()) + "\r\n";
}

// Records written before the escapes existed; the type read by its first three characters.
TEST(NetworkFile, RecordsWithoutEscapesReadAsBefore) {
  EXPECT_EQ(LoadNetworkBytes(ScrambledFile(u"WIFI:T:WEP;S:home;P:se cret;;")),
            (TWifiPage{u"home", u"se cret", 1}));
  EXPECT_EQ(LoadNetworkBytes(ScrambledFile(u"WIFI:T:WPA;S:x;P:y;;")), (TWifiPage{u"x", u"y", 0}));
  EXPECT_EQ(LoadNetworkBytes(ScrambledFile(u"WIFI:T:wpa;S:x;P:y;;"))->WPA, 1);
  EXPECT_EQ(LoadNetworkBytes(ScrambledFile(u"WIFI:T:WPA2;S:x;P:y;;"))->WPA, 0);
  EXPECT_EQ(LoadNetworkBytes(ScrambledFile(u"WIFI:T:nopass;S:x;P:y;;")),
            (TWifiPage{u"x", u"", kWifiOpen}));
}

// The fields are found by their labels, in any order; unknown labels are passed over.
TEST(NetworkFile, FieldsAreFoundByTheirLabels) {
  EXPECT_EQ(LoadNetworkBytes(ScrambledFile(u"WIFI:H:true;P:k\\;1;X:y;S:net;T:SAE;;")),
            (TWifiPage{u"net", u"k;1", kWifiSAE, true}));
  EXPECT_EQ(LoadNetworkBytes(ScrambledFile(u"WIFI:S:n;H:false;;")), (TWifiPage{u"n", u"", 1}));
}

struct TFixtureCase {
  const char* File;
  TWifiPage Page;
};

// Files saved by earlier versions (before the new types and the hidden switch) load as they did
// then. The first releases escaped nothing: a ";" in the name or key made the fields after it
// shift; those now come back whole.
TEST(NetworkFile, FilesOfEarlierVersionsLoad) {
  const TFixtureCase Cases[] = {
      {"network-wpa.nwk", {u"Home Net", u"s3cret pass", kWifiWPA}},
      {"network-wep.nwk", {u"Lab", u"abcde", kWifiWEP}},
      {"network-escaped.nwk", {u"my;net:1", u"k\\e,y\"", kWifiWPA}},
      {"network-empty.nwk", {}},
      {"network-unescaped.nwk", {u"Caf\u00E9;Bar", u"pass;word", kWifiWPA}},
  };
  for (const TFixtureCase& C : Cases)
    EXPECT_EQ(LoadNetworkBytes(Golden(C.File)), C.Page) << C.File;
}

TEST(NetworkFile, ForeignOrUnscramblableContentIsRefused) {
  EXPECT_FALSE(SaveNetworkBytes({u"caf\u20AC", u"", 0}));
  EXPECT_FALSE(SaveNetworkBytes({u"", u"\u01C8", 0})); // code 456
  for (const char* Bytes : {"", "\xEF\xBB\xBF", "hello\r\n", "\r\nsecond line only\r\n"})
    EXPECT_FALSE(LoadNetworkBytes(Bytes)) << Bytes;
}

// ---- path level ----

TEST_F(PayloadFiles, EachFormatSavesAndLoadsThroughItsPath) {
  const TSaveResult T = SaveTextFile(Dir / "a.txt", u"\u0416\r\n", TTextEncoding::teAnsi);
  ASSERT_TRUE(T.Ok) << T.Error.Utf8();
  EXPECT_EQ(T.Encoding, TTextEncoding::teUTF8); // Windows-1252 has no Zhe: written as UTF-8 instead
  const TLoadResult<TDecodedText> TextRead = LoadTextFile(Dir / "a.txt");
  ASSERT_TRUE(TextRead.Ok());
  EXPECT_EQ(TextRead.Data->Text, u"\u0416\r\n");

  const TEMailPage Mail{u"a@b", u"s", u"m"};
  ASSERT_TRUE(SaveEMailFile(Dir / "a.eml", Mail, TTextEncoding::teUTF16BE).Ok);
  const TLoadResult<TEMailFile> MailRead = LoadEMailFile(Dir / "a.eml");
  ASSERT_TRUE(MailRead.Ok());
  EXPECT_EQ(MailRead.Data->Page.MemoMessage, u"m");
  EXPECT_EQ(MailRead.Data->Encoding, TTextEncoding::teUTF16BE);

  ASSERT_TRUE(SaveVCardFile(Dir / "a.vcf", SampleContact(), TTextEncoding::teUTF8).Ok);
  const TLoadResult<TVCardFile> CardRead = LoadVCardFile(Dir / "a.vcf", {});
  ASSERT_TRUE(CardRead.Ok());
  EXPECT_EQ(CardRead.Data->Page, SampleContact());

  const TWifiPage Wifi{u"net;1", u"key\\2", 1};
  const TSaveResult W = SaveNetworkFile(Dir / "a.nwk", Wifi);
  ASSERT_TRUE(W.Ok);
  EXPECT_EQ(W.Encoding, TTextEncoding::teUTF8);
  EXPECT_EQ(LoadNetworkFile(Dir / "a.nwk").Data, Wifi);
}

TEST_F(PayloadFiles, EMailMessageKeepsItsLinesThroughTheFile) {
  for (const std::u16string& Message :
       {std::u16string(u"Hi"), std::u16string(u"Hi\r\n"), std::u16string()}) {
    const TEMailPage Page{u"a@b.example", u"Greetings", Message};
    ASSERT_TRUE(SaveEMailFile(Dir / "m.eml", Page, TTextEncoding::teAnsi).Ok);
    const TLoadResult<TEMailFile> Read = LoadEMailFile(Dir / "m.eml");
    ASSERT_TRUE(Read.Ok());
    EXPECT_EQ(Read.Data->Page.MemoMessage, Message);
    EXPECT_EQ(EMailPayload(Read.Data->Page), EMailPayload(Page));
    // A second round gives the same file.
    const std::string First = ReadAll(Dir / "m.eml");
    ASSERT_TRUE(SaveEMailFile(Dir / "m.eml", Read.Data->Page, Read.Data->Encoding).Ok);
    EXPECT_EQ(ReadAll(Dir / "m.eml"), First);
  }
}

TEST_F(PayloadFiles, NetworkFileIsReadableByItsOwnerOnly) {
  const fs::path Path = Dir / "home.nwk";
  WriteAll(Path, "old");
  ::chmod(Path.c_str(), 0644);
  ASSERT_TRUE(SaveNetworkFile(Path, {u"n", u"k", 0}).Ok);
  struct stat St {};
  ASSERT_EQ(::stat(Path.c_str(), &St), 0);
  EXPECT_EQ(St.st_mode & 0777, 0600u);
}

TEST_F(PayloadFiles, MissingFileReportsCannotOpenAndNoData) {
  const fs::path Path = Dir / "missing.x";
  const std::u16string Expected =
      u"Cannot open file \"" + U16(Path) + u"\". " + Utf8ToUtf16(std::strerror(ENOENT));
  const TLoadResult<TDecodedText> T = LoadTextFile(Path);
  const TLoadResult<TEMailFile> E = LoadEMailFile(Path);
  const TLoadResult<TVCardFile> V = LoadVCardFile(Path, SampleContact());
  const TLoadResult<TWifiPage> W = LoadNetworkFile(Path);
  EXPECT_FALSE(T.Data);
  EXPECT_FALSE(E.Data);
  EXPECT_FALSE(V.Data);
  EXPECT_FALSE(W.Data);
  for (const TMessage* Error : {&T.Error, &E.Error, &V.Error, &W.Error})
    EXPECT_EQ(Error->Text(), Expected);
}

TEST_F(PayloadFiles, RelativePathIsReportedInFull) {
  const fs::path Old = fs::current_path();
  fs::current_path(Dir);
  const TLoadResult<TDecodedText> T = LoadTextFile("nothere.txt");
  fs::current_path(Old);
  EXPECT_TRUE(
      T.Error.Text().starts_with(u"Cannot open file \"" + U16(Dir / "nothere.txt") + u"\". "));
}

TEST_F(PayloadFiles, ForeignFilesAreRefusedWithTheirMessage) {
  WriteAll(Dir / "one.eml", "just one line\r\n");
  WriteAll(Dir / "plain.nwk", "WIFI:T:WPA;S:x;P:y;;\r\n");
  const TLoadResult<TEMailFile> E = LoadEMailFile(Dir / "one.eml");
  EXPECT_FALSE(E.Data);
  EXPECT_EQ(E.Error.Text(),
            u"\"" + U16(Dir / "one.eml") + u"\" is not an e-mail file of this program.");
  const TLoadResult<TWifiPage> W = LoadNetworkFile(Dir / "plain.nwk");
  EXPECT_FALSE(W.Data);
  EXPECT_EQ(W.Error.Text(), u"\"" + U16(Dir / "plain.nwk") + u"\" is not a network-key file.");
}

TEST_F(PayloadFiles, UnscramblableNetworkKeyIsRefusedAndNothingWritten) {
  const fs::path Path = Dir / "euro.nwk";
  const TSaveResult R = SaveNetworkFile(Path, {u"net", u"100\u20AC", 0});
  EXPECT_FALSE(R.Ok);
  EXPECT_EQ(
      R.Error.Text(),
      u"The network name or key contains characters that cannot be saved in a network-key file.");
  EXPECT_FALSE(fs::exists(Path));
}

TEST_F(PayloadFiles, SaveIntoMissingFolderReportsCannotCreate) {
  const fs::path Path = Dir / "no-such-folder" / "x.txt";
  const TSaveResult R = SaveTextFile(Path, u"x", TTextEncoding::teAnsi);
  EXPECT_FALSE(R.Ok);
  EXPECT_EQ(R.Error.Text(),
            u"Cannot create file \"" + U16(Path) + u"\". " + Utf8ToUtf16(std::strerror(ENOENT)));
}

// A write that fails half-way (here: the file-size limit, which binds root too) leaves the old
// file.
TEST_F(PayloadFiles, FailedSaveLeavesThePreviousFileIntact) {
  const std::string Old(4, 'o');
  for (const char* Name : {"a.txt", "a.eml", "a.vcf", "a.nwk"})
    WriteAll(Dir / Name, Old);

  std::signal(SIGXFSZ, SIG_IGN);
  rlimit Saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Saved), 0);
  rlimit Small = Saved;
  Small.rlim_cur = 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);
  const TSaveResult Results[] = {
      SaveTextFile(Dir / "a.txt", u"longer than eight bytes", TTextEncoding::teAnsi),
      SaveEMailFile(Dir / "a.eml", {u"a@b.example", u"subject", u"message"}, TTextEncoding::teAnsi),
      SaveVCardFile(Dir / "a.vcf", SampleContact(), TTextEncoding::teUTF8),
      SaveNetworkFile(Dir / "a.nwk", {u"n", u"k", 0}),
  };
  ::setrlimit(RLIMIT_FSIZE, &Saved);

  for (const TSaveResult& R : Results) {
    EXPECT_FALSE(R.Ok);
    EXPECT_TRUE(R.Error.Text().starts_with(u"Cannot create file \"" + U16(Dir))) << R.Error.Utf8();
  }
  for (const char* Name : {"a.txt", "a.eml", "a.vcf", "a.nwk"})
    EXPECT_EQ(ReadAll(Dir / Name), Old) << Name;
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()),
            4); // no temporary left
}

TEST_F(PayloadFiles, UnwritableFolderReportsCannotCreateAndKeepsOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind root";
  const fs::path Path = Dir / "a.txt";
  WriteAll(Path, "old");
  fs::permissions(Dir, fs::perms::owner_read | fs::perms::owner_exec);
  const TSaveResult R = SaveTextFile(Path, u"new", TTextEncoding::teAnsi);
  EXPECT_FALSE(R.Ok);
  EXPECT_EQ(R.Error.Text(),
            u"Cannot create file \"" + U16(Path) + u"\". " + Utf8ToUtf16(std::strerror(EACCES)));
  EXPECT_EQ(ReadAll(Path), "old");
}

} // namespace
