// The .vcf file as other programs meet it: UTF-8 without a mark whatever encoding the memo
// remembers (RFC 6350 section 3.1), N with its five components (section 6.2.2), read by Python's
// vobject; and files written by earlier versions still load.
#include "payload/PayloadFiles.h"
#include "platform/Unicode.h"
#include "support/TempFolder.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

constexpr std::array kAllEncodings = {TTextEncoding::teAnsi, TTextEncoding::teUTF8,
                                      TTextEncoding::teUTF8NoBOM, TTextEncoding::teUTF16LE,
                                      TTextEncoding::teUTF16BE};

// Umlauts, Cyrillic, an emoji (a surrogate pair), and the characters vCard escapes.
TVCardPage InternationalContact() {
  TVCardPage P;
  P.ContactName = u"J\u00F6rg M\u00FCller, Jr. \U0001F600";
  P.FirstName = u"J\u00F6rg";
  P.LastName = u"M\u00FCller";
  P.MiddleName = u"\u041A\u0438\u0440\u0438\u043B\u043B"; // Kirill
  P.PhoneCellPrivate = u"+49 170 1234567";
  P.EmailPrivate = u"joerg@example.org";
  P.StreetHome = u"Hauptstr. 1;Hinterhaus";
  P.CityHome = u"K\u00F6ln";
  P.ZIPCodeHome = u"50667";
  P.Birthday = u"1970.01.31";
  P.Company = u"ACME\\Labs";
  P.Department = u"R&D, \u041E\u0442\u0434\u0435\u043B";
  P.JobTitle = u"\u0418\u043D\u0436\u0435\u043D\u0435\u0440 \U0001F527\r\n2nd line";
  return P;
}

// The value as Python's json.dumps(..., ensure_ascii=False) prints it; a line break in a vCard
// value reads back as LF.
std::string Json(std::u16string Value) {
  for (std::size_t At; (At = Value.find(u"\r\n")) != std::u16string::npos;)
    Value.replace(At, 2, u"\n");
  std::string Out = "\"";
  for (const char C : Utf16ToUtf8(Value)) {
    if (C == '"' || C == '\\')
      Out += std::string("\\") + C;
    else if (C == '\n')
      Out += "\\n";
    else
      Out += C;
  }
  return Out + "\"";
}

std::string JsonList(std::initializer_list<std::u16string> Values) {
  std::string Out = "[";
  for (const std::u16string& V : Values)
    Out += (Out.size() > 1 ? ", " : "") + Json(V);
  return Out + "]";
}

// Only characters that Windows-1252 holds: the memo's first encoding would keep them 8-bit.
TVCardPage WesternContact() {
  TVCardPage P;
  P.ContactName = u"J\u00F6rg M\u00FCller";
  P.FirstName = u"J\u00F6rg";
  P.LastName = u"M\u00FCller";
  return P;
}

// What vobject reads from each record, one property a line.
std::string WesternView() {
  const TVCardPage P = WesternContact();
  return "version \"4.0\"\nfn " + Json(P.ContactName) + "\nn " +
         JsonList({P.LastName, P.FirstName, u"", u"", u""}) + "\n";
}

std::string InternationalView() {
  const TVCardPage P = InternationalContact();
  return "version \"4.0\"\nfn " + Json(P.ContactName) + "\nn " +
         JsonList({P.LastName, P.FirstName, P.MiddleName, u"", u""}) + "\ntel;cell,home " +
         Json(P.PhoneCellPrivate) + "\nemail;home " + Json(P.EmailPrivate) + "\nadr;home " +
         JsonList({u"", u"", P.StreetHome, P.CityHome, u"", P.ZIPCodeHome, u""}) +
         "\nbday \"19700131\"\norg " + JsonList({P.Company, P.Department}) + "\ntitle " +
         Json(P.JobTitle) + "\n";
}

struct TRun {
  int Status = -1;
  std::string Output; // stdout and stderr
};

TRun RunVObject(const std::filesystem::path& File) {
  const std::string Command = std::string("'") + MARBECK_PYTHON3 + "' '" + MARBECK_VOBJECT_READ +
                              "' '" + File.string() + "' 2>&1";
  TRun Run;
  FILE* Pipe = ::popen(Command.c_str(), "r");
  if (!Pipe) return Run;
  char Buffer[4096];
  for (std::size_t N; (N = std::fread(Buffer, 1, sizeof Buffer, Pipe)) > 0;)
    Run.Output.append(Buffer, N);
  const int Wait = ::pclose(Pipe);
  Run.Status = WIFEXITED(Wait) ? WEXITSTATUS(Wait) : -1;
  return Run;
}

std::string LineStarting(const std::string& Bytes, const std::string& Prefix) {
  const std::size_t At = Bytes.find("\r\n" + Prefix);
  if (At == std::string::npos) return {};
  return Bytes.substr(At + 2, Bytes.find("\r\n", At + 2) - At - 2);
}

TEST(VCardFileForOthers, WrittenAsUTF8WithoutMarkWhateverTheMemoRemembers) {
  const TVCardPage Page = InternationalContact();
  const std::string Expected = Utf16ToUtf8(ComposeVCard(Page));
  for (const TTextEncoding Remembered : kAllEncodings) {
    const TEncodedText Written = SaveVCardBytes(Page, Remembered);
    EXPECT_EQ(Written.Bytes, Expected) << static_cast<int>(Remembered);
    EXPECT_TRUE(Written.Bytes.starts_with("BEGIN:VCARD\r\n"));
    EXPECT_TRUE(IsValidUtf8(Written.Bytes));
    EXPECT_EQ(Written.Encoding, TTextEncoding::teUTF8NoBOM);
  }
}

TEST(VCardFileForOthers, NameHasItsFiveComponents) {
  EXPECT_EQ(LineStarting(SaveVCardBytes({}, TTextEncoding::teAnsi).Bytes, "N:"), "N:;;;;");
  EXPECT_EQ(LineStarting(SaveVCardBytes(InternationalContact(), TTextEncoding::teAnsi).Bytes, "N:"),
            "N:M\xC3\xBCller;J\xC3\xB6rg;\xD0\x9A\xD0\xB8\xD1\x80\xD0\xB8\xD0\xBB\xD0\xBB;;");
}

// The file as the window saves it, whatever the memo remembers (Windows-1252 before the first
// load), read by vobject and by our own reader.
TEST(VCardFileForOthers, VObjectAndOurReaderReadTheSavedFile) {
  const TTempFolder Dir;
  const struct {
    TVCardPage Page;
    std::string View;
  } Cases[] = {{WesternContact(), WesternView()}, {InternationalContact(), InternationalView()}};
  for (const auto& [Page, View] : Cases)
    for (const TTextEncoding Remembered : kAllEncodings) {
      const std::filesystem::path Path = Dir.Path() / "contact.vcf";
      const TSaveResult Saved = SaveVCardFile(Path, Page, Remembered);
      ASSERT_TRUE(Saved.Ok);
      EXPECT_EQ(Saved.Encoding, TTextEncoding::teUTF8NoBOM);

      const TRun VObject = RunVObject(Path);
      EXPECT_EQ(VObject.Status, 0) << VObject.Output;
      EXPECT_EQ(VObject.Output, View)
          << Utf16ToUtf8(Page.ContactName) << ", remembered " << static_cast<int>(Remembered);

      const TLoadResult<TVCardFile> Read = LoadVCardFile(Path, {});
      ASSERT_TRUE(Read.Ok());
      EXPECT_EQ(Read.Data->Page, Page);
      EXPECT_EQ(Read.Data->MemoVCard, ComposeVCard(Page));
      EXPECT_EQ(Read.Data->Encoding, TTextEncoding::teUTF8NoBOM);
    }
}

// Earlier versions wrote N with three components, in the memo's encoding; RFC 6350 allows the
// prefix and suffix as well, which the page has no fields for.
TEST(VCardFileForOthers, OlderAndFullerNameLinesStillLoad) {
  const struct {
    const char* Bytes;
    TTextEncoding Encoding;
  } Cases[] = {
      {"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xF6rg M\xFCller\r\nN:M\xFCller;J\xF6rg;Maria\r\n"
       "END:VCARD\r\n",
       TTextEncoding::teAnsi},
      {"\xEF\xBB\xBF"
       "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xC3\xB6rg M\xC3\xBCller\r\n"
       "N:M\xC3\xBCller;J\xC3\xB6rg;Maria\r\nEND:VCARD\r\n",
       TTextEncoding::teUTF8},
      {"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:J\xC3\xB6rg M\xC3\xBCller\r\n"
       "N:M\xC3\xBCller;J\xC3\xB6rg;Maria;Dr.;Jr.\r\nEND:VCARD\r\n",
       TTextEncoding::teUTF8NoBOM},
  };
  for (const auto& C : Cases) {
    TVCardPage Before;
    Before.PhoneWork = u"+49 30 333";
    const TVCardFile Read = LoadVCardBytes(C.Bytes, Before);
    TVCardPage Expected = Before;
    Expected.ContactName = u"J\u00F6rg M\u00FCller";
    Expected.LastName = u"M\u00FCller";
    Expected.FirstName = u"J\u00F6rg";
    Expected.MiddleName = u"Maria";
    EXPECT_EQ(Read.Page, Expected) << C.Bytes;
    EXPECT_EQ(Read.Encoding, C.Encoding) << C.Bytes;
  }
}

} // namespace
