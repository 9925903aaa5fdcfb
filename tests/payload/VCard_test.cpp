#include "payload/Payload.h"
#include "payload/PayloadFiles.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const std::u16string kEmptyHead = u"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\r\nN:;;;;\r\n";
const std::u16string kEnd = u"END:VCARD\r\n";

TVCardPage FullPage() {
  TVCardPage P;
  P.ContactName = u"Dr. Anna Maria Schmidt";
  P.FirstName = u"Anna";
  P.LastName = u"Schmidt";
  P.MiddleName = u"Maria";
  P.PhonePrivate = u"+49 30 111";
  P.PhoneCellPrivate = u"+49 170 222";
  P.EmailPrivate = u"anna@home.example";
  P.WebsitePrivate = u"https://home.example/";
  P.StreetHome = u"Gartenweg 3";
  P.CityHome = u"Berlin";
  P.ZIPCodeHome = u"10115";
  P.Birthday = u"1970.01.31";
  P.Company = u"ACME";
  P.Department = u"Research";
  P.JobTitle = u"Engineer";
  P.PhoneWork = u"+49 30 333";
  P.CellPhoneWork = u"+49 171 444";
  P.EmailWork = u"anna@acme.example";
  P.WebsiteWork = u"https://acme.example/";
  P.Streetwork = u"Werkstr. 9";
  P.CityWork = u"Potsdam";
  P.ZIPCodeWork = u"14467";
  return P;
}

TEST(VCardComposer, EmptyPageGivesTheFiveFixedLines) {
  EXPECT_EQ(ComposeVCard({}), kEmptyHead + kEnd);
}

TEST(VCardComposer, FullPageGivesAllLinesInOrder) {
  EXPECT_EQ(ComposeVCard(FullPage()), u"BEGIN:VCARD\r\n"
                                      u"VERSION:4.0\r\n"
                                      u"FN:Dr. Anna Maria Schmidt\r\n"
                                      u"N:Schmidt;Anna;Maria;;\r\n"
                                      u"TEL;TYPE=home:+49 30 111\r\n"
                                      u"TEL;TYPE=cell,home:+49 170 222\r\n"
                                      u"EMAIL;TYPE=home:anna@home.example\r\n"
                                      u"URL;TYPE=home:https://home.example/\r\n"
                                      u"ADR;TYPE=home:;;Gartenweg 3;Berlin;;10115;\r\n"
                                      u"BDAY:19700131\r\n"
                                      u"ORG:ACME;Research\r\n"
                                      u"TITLE:Engineer\r\n"
                                      u"TEL;TYPE=work:+49 30 333\r\n"
                                      u"TEL;TYPE=cell,work:+49 171 444\r\n"
                                      u"EMAIL;TYPE=work:anna@acme.example\r\n"
                                      u"URL;TYPE=work:https://acme.example/\r\n"
                                      u"ADR;TYPE=work:;;Werkstr. 9;Potsdam;;14467;\r\n"
                                      u"END:VCARD\r\n");
}

struct TOneFieldCase {
  std::u16string TVCardPage::*Field;
  std::u16string Value;
  std::u16string Line; // the one line added between N and END
};

// One optional field filled: exactly its line appears, in its place; a lone blank is not empty.
TEST(VCardComposer, OptionalLinesAppearOnlyForFilledFields) {
  using P = TVCardPage;
  const TOneFieldCase Cases[] = {
      {&P::PhonePrivate, u" ", u"TEL;TYPE=home: "},
      {&P::CityHome, u"Town", u"ADR;TYPE=home:;;;Town;;;"},
      {&P::ZIPCodeWork, u"123", u"ADR;TYPE=work:;;;;;123;"},
      {&P::Department, u"IT", u"ORG:;IT"},
      {&P::Company, u"Co", u"ORG:Co;"},
      {&P::Birthday, u"31.01.1970", u"BDAY:31011970"},
      {&P::Birthday, u"1970-01-31", u"BDAY:1970-01-31"},
      {&P::Birthday, u".", u"BDAY:"},
      {&P::JobTitle, u"Boss", u"TITLE:Boss"},
  };
  for (const TOneFieldCase& C : Cases) {
    TVCardPage Page;
    Page.*(C.Field) = C.Value;
    EXPECT_EQ(ComposeVCard(Page), kEmptyHead + C.Line + u"\r\n" + kEnd);
  }
}

// RFC 6350 section 3.4: backslash, comma, semicolon and line breaks are escaped inside values; the
// separators between components and in TYPE=cell,home are not.
TEST(VCardComposer, ValuesAreEscaped) {
  TVCardPage Page;
  Page.ContactName = u"Doe, John";
  Page.LastName = u"O;Neil";
  Page.PhoneCellPrivate = u"1,2";
  Page.StreetHome = u"A;B";
  Page.CityHome = u"C:\\D";
  Page.Company = u"Line1\r\nLine2\nLine3\rLine4";
  EXPECT_EQ(ComposeVCard(Page), u"BEGIN:VCARD\r\nVERSION:4.0\r\n"
                                u"FN:Doe\\, John\r\n"
                                u"N:O\\;Neil;;;;\r\n"
                                u"TEL;TYPE=cell,home:1\\,2\r\n"
                                u"ADR;TYPE=home:;;A\\;B;C:\\\\D;;;\r\n"
                                u"ORG:Line1\\nLine2\\nLine3\\nLine4;\r\n"
                                u"END:VCARD\r\n");
}

// The contact name the window fills in from the name fields: the middle name only when given, the
// blank between first and last name always.
TEST(VCardComposer, ContactNameRule) {
  const struct {
    std::u16string First, Middle, Last, Contact;
  } Cases[] = {
      {u"F", u"", u"", u"F "},  {u"F", u"", u"L", u"F L"}, {u"F", u"M", u"L", u"F M L"},
      {u"", u"M", u"", u" M "}, {u"", u"", u"", u" "},     {u"Ann", u" ", u"Lee", u"Ann   Lee"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(ContactNameFor(C.First, C.Middle, C.Last), C.Contact);
}

// ---- reading the fields back from a record ----

TEST(VCardReader, ComposedRecordReadsBackIntoEveryField) {
  TVCardPage Page = FullPage();
  EXPECT_EQ(ReadVCardFields(ComposeVCard(Page), {}), Page);

  // Awkward values: separators, backslashes, line breaks, blanks, non-Latin text.
  Page.ContactName = u" \u5F20\u4F1F, \u0416\u0443\u043A ";
  Page.LastName = u"a;b";
  Page.FirstName = u"\\";
  Page.MiddleName = u"x\r\ny";
  Page.StreetHome = u"A;B;C";
  Page.ZIPCodeHome = u"1,2\\3";
  Page.Company = u"\\;";
  Page.Department = u"";
  Page.WebsiteWork = u"https://x.example/?a=1,2;b=\\n";
  EXPECT_EQ(ReadVCardFields(ComposeVCard(Page), {}), Page);
}

TEST(VCardReader, LastWinsUnknownLinesIgnoredOtherFieldsKept) {
  TVCardPage Current;
  Current.ContactName = u"old";
  Current.PhoneWork = u"keep me";
  Current.FirstName = u"old first";
  const TVCardPage Read = ReadVCardFields(
      u"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:First\r\nX-UNKNOWN:zzz\r\nfn:lower case\r\nNOTE:N:x\r\n"
      u"FN:Second\r\nN:Last;;Middle\r\nEND:VCARD\r\n",
      Current);
  TVCardPage Expected = Current;
  Expected.ContactName = u"Second";
  Expected.LastName = u"Last";
  Expected.FirstName = u"";
  Expected.MiddleName = u"Middle";
  EXPECT_EQ(Read, Expected);
}

TEST(VCardReader, LastLineIsReadWithOrWithoutFinalBreakOrEnd) {
  for (const std::u16string Text : {u"FN:A\r\nN:L;F", u"FN:A\r\nN:L;F\r\n", u"FN:A\nN:L;F\n"}) {
    const TVCardPage Read = ReadVCardFields(Text, {});
    EXPECT_EQ(Read.ContactName, u"A");
    EXPECT_EQ(Read.LastName, u"L");
    EXPECT_EQ(Read.FirstName, u"F");
  }
}

TEST(VCardReader, AddressSkipsRegionAndCountry) {
  const TVCardPage Read = ReadVCardFields(u"ADR;TYPE=home:;;Main St;Town;Region;12345;Country\r\n"
                                          u"ADR;TYPE=work:;;W St\r\n",
                                          {});
  EXPECT_EQ(Read.StreetHome, u"Main St");
  EXPECT_EQ(Read.CityHome, u"Town");
  EXPECT_EQ(Read.ZIPCodeHome, u"12345");
  EXPECT_EQ(Read.Streetwork, u"W St");
  EXPECT_EQ(Read.CityWork, u"");
  EXPECT_EQ(Read.ZIPCodeWork, u"");
}

// The basic form is cut into the page's yyyy.mm.dd; RFC 6350's dashed date forms are kept
// whole; anything else is cut as this program's own files need (a birthday typed as 19a0.01.31
// is written 19a00131 and must come back as typed).
TEST(VCardReader, BirthdayIsCutIntoYearMonthDay) {
  const std::pair<std::u16string, std::u16string> Cases[] = {
      {u"19700131", u"1970.01.31"}, {u"1970", u"1970.."},           {u"", u".."},
      {u"197001", u"1970.01."},     {u"1970013112", u"1970.01.31"}, {u"1970-01-31", u"1970-01-31"},
      {u"--0131", u"--0131"},       {u"1970-01", u"1970-01"},       {u"---31", u"---31"},
      {u"--01", u"--01"},           {u"19a00131", u"19a0.01.31"},   {u"1970-01-", u"1970.-0.1-"},
  };
  for (const auto& [Value, Birthday] : Cases) {
    EXPECT_EQ(ReadVCardFields(u"BDAY:" + Value + u"\r\n", {}).Birthday, Birthday);
  }
}

TEST(VCardReader, ValuesAreCutTo999Characters) {
  const TVCardPage Read = ReadVCardFields(u"TITLE:" + std::u16string(1500, u'x') + u"\r\n", {});
  EXPECT_EQ(Read.JobTitle, std::u16string(999, u'x'));
}

// Files written before values were escaped: a backslash that starts no known escape stays.
TEST(VCardReader, UnknownEscapesAreKept) {
  const TVCardPage Read = ReadVCardFields(u"URL;TYPE=home:C:\\path\\file\r\nTITLE:a\\Nb\\\r\n", {});
  EXPECT_EQ(Read.WebsitePrivate, u"C:\\path\\file");
  EXPECT_EQ(Read.JobTitle, u"a\r\nb\\");
}

} // namespace
