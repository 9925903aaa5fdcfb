// Reading a code's text back into a page: the bytes' encoding, the kind, and the fields, checked
// against hand-written links and records (RFC 6068, RFC 6350, the Wi-Fi record phones read) and
// against what the pages' own writers make.
#include "payload/PayloadParse.h"

#include <gtest/gtest.h>

namespace {

TEST(PayloadParse, BytesAreUtf8WhenValidElseLatin1AndTheMarkIsRemembered) {
  const struct {
    std::string Bytes;
    std::u16string Text;
    bool Utf8, Mark;
  } Cases[] = {
      {"plain", u"plain", false, false},
      {"Gr\xC3\xBC\xC3\x9F"
       "e",
       u"Gr\u00FC\u00DFe", true, false},
      {"Gr\xFC\xDF"
       "e",
       u"Gr\u00FC\u00DFe", false, false},
      {"\xEF\xBB\xBF"
       "a\xE2\x82\xAC",
       u"a\u20AC", true, true},
      {"\xEF\xBB\xBF\xFC", u"\u00FC", false, true}, // a mark, then no valid UTF-8
      {"\xC0\xAF", u"\u00C0\u00AF", false, false},  // an overlong form is not UTF-8
      {"a\r\nb\n", u"a\r\nb\n", false, false},      // line breaks untouched
      {"", u"", false, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Bytes);
    const TPayloadText T = DecodePayloadBytes(C.Bytes);
    EXPECT_EQ(T.Text, C.Text);
    EXPECT_EQ(T.Utf8, C.Utf8);
    EXPECT_EQ(T.ByteOrderMark, C.Mark);
  }
}

TEST(PayloadParse, KindsAreToldApartByTheirStart) {
  const struct {
    std::u16string Text;
    TKind Kind;
  } Cases[] = {
      {u"WIFI:T:WPA;S:x;;", TKind::Wifi},
      {u"wifi:T:WPA;S:x;;", TKind::Text}, // phones want the capitals too
      {u"BEGIN:VCARD\r\nEND:VCARD", TKind::VCard},
      {u"begin:vcard\nEND:VCARD", TKind::VCard},
      {u"MAILTO:a@b.c", TKind::Email},
      {u"https://example.org/a?b=c#d", TKind::Url},
      {u"HTTP://EXAMPLE.ORG", TKind::Url},
      {u"www.example.org", TKind::Url},
      {u"https://example.org/\r\nsecond line", TKind::Text},
      {u"https://example.org/ with words", TKind::Text},
      {u"https://", TKind::Text},
      {u"see https://example.org", TKind::Text},
      {u"", TKind::Text},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string(C.Text.begin(), C.Text.end()));
    EXPECT_EQ(DetectKind(C.Text), C.Kind);
  }
}

TEST(PayloadParse, MailtoLinksArePercentDecoded) {
  const struct {
    std::u16string Link;
    TEMailPage Page;
    std::vector<std::u16string> NotKept;
  } Cases[] = {
      {u"mailto:a@b.c?subject=Tom%20%26%20Jerry%20%231&body=Line%201%0D%0ALine%202",
       {u"a@b.c", u"Tom & Jerry #1", u"Line 1\r\nLine 2"},
       {}},
      {u"mailto:a@b.c?body=%0Aone%0Atwo%0D", {u"a@b.c", u"", u"\r\none\r\ntwo\r\n"}, {}},
      {u"mailto:J%C3%BCrgen@b.c?subject=Gr%C3%BC%C3%9Fe",
       {u"J\u00FCrgen@b.c", u"Gr\u00FC\u00DFe", u""},
       {}},
      {u"mailto:a@b.c?subject=Gr%FC%DFe", {u"a@b.c", u"Gr\u00FC\u00DFe", u""}, {}}, // ISO-8859-1
      {u"mailto:a@b.c?subject=1+1%3D2&body=100%", {u"a@b.c", u"1+1=2", u"100%"}, {}},
      {u"MailTo:a@b.c?Subject=x&BODY=y", {u"a@b.c", u"x", u"y"}, {}},
      {u"mailto:a@b.c?to=d@e.f&cc=g@h.i&bcc=j@k.l&cc=m@n.o",
       {u"a@b.c,d@e.f", u"", u""},
       {u"cc", u"bcc"}},
      {u"mailto:?to=d@e.f&subject=s", {u"d@e.f", u"s", u""}, {}},
      // Written without escapes: "&" and "#" stay in the value, line breaks too.
      {u"mailto:x?subject=S&body=Fish & chips #2\r\nBye",
       {u"x", u"S", u"Fish & chips #2\r\nBye"},
       {}},
      {u"mailto:a%40b.c", {u"a@b.c", u"", u""}, {}},
      {u"mailto:", {u"", u"", u""}, {}},
      {u"notmailto:a@b.c", {u"", u"", u""}, {}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string(C.Link.begin(), C.Link.end()));
    const TMailto M = ParseMailto(C.Link);
    EXPECT_EQ(M.Page.EditAddress, C.Page.EditAddress);
    EXPECT_EQ(M.Page.EditSubject, C.Page.EditSubject);
    EXPECT_EQ(M.Page.MemoMessage, C.Page.MemoMessage);
    EXPECT_EQ(M.NotKept, C.NotKept);
  }
}

TEST(PayloadParse, NetworkRecordsFillTheWifiPage) {
  const struct {
    std::u16string Record;
    TWifiPage Page;
  } Cases[] = {
      {u"WIFI:T:WPA;S:office;P:s3cr\\;t\\:\\,\\\\\\\";;\r\n",
       {u"office", u"s3cr;t:,\\\"", kWifiWPA, false}},
      {u"WIFI:S:hidden net;T:SAE;P:password1;H:true;;",
       {u"hidden net", u"password1", kWifiSAE, true}},
      {u"WIFI:T:nopass;S:Caf\u00E9;;", {u"Caf\u00E9", u"", kWifiOpen, false}},
      {u"WIFI:T:WEP;S:old;P:12345;H:false;;", {u"old", u"12345", kWifiWEP, false}},
      {u"WIFI:S:guest;;", {u"guest", u"", kWifiOpen, false}}, // no type, no key: open
      {u"WIFI:S:home;P:password1;;", {u"home", u"password1", kWifiWPA, false}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string(C.Record.begin(), C.Record.end()));
    const TParsedPayload P = ParsePayload(C.Record);
    ASSERT_EQ(P.Kind, TKind::Wifi);
    EXPECT_EQ(P.Wifi, C.Page);
  }
}

TEST(PayloadParse, VCardsAreReadByTheFileReaderAndNameWhatIsNotKept) {
  const std::u16string Card = u"BEGIN:VCARD\r\n"
                              u"VERSION:4.0\r\n"
                              u"FN:J\u00FCrgen M\u00FCller\\, Jr.\r\n"
                              u"N:M\u00FCller;J\u00FCrgen;;;\r\n"
                              u"ORG:Gr\u00FCn\\, Blau & Co;Einkauf\r\n"
                              u"ADR;TYPE=work:;;Hauptstra\u00DFe 1;K\u00F6ln;;50667;\r\n"
                              u"NOTE:a long note that was fo\r\n"
                              u" lded\r\n"
                              u"TEL;TYPE=fax:123\r\n"
                              u"TEL;TYPE=work:+49 221 \r\n"
                              u" 555\r\n"
                              u"NOTE:again\r\n"
                              u"END:VCARD\r\n";
  const TParsedPayload P = ParsePayload(Card);
  ASSERT_EQ(P.Kind, TKind::VCard);
  TVCardPage Expected;
  Expected.ContactName = u"J\u00FCrgen M\u00FCller, Jr.";
  Expected.LastName = u"M\u00FCller";
  Expected.FirstName = u"J\u00FCrgen";
  Expected.Company = u"Gr\u00FCn, Blau & Co";
  Expected.Department = u"Einkauf";
  Expected.Streetwork = u"Hauptstra\u00DFe 1";
  Expected.CityWork = u"K\u00F6ln";
  Expected.ZIPCodeWork = u"50667";
  Expected.PhoneWork = u"+49 221 555";
  EXPECT_EQ(P.VCard, Expected);
  EXPECT_EQ(P.NotKept, (std::vector<std::u16string>{u"NOTE", u"TEL;TYPE=fax"}));
}

// Cards of other writers: segno's vCard 3.0 (untyped EMAIL, TEL, URL and ADR, as its
// make_vcard_data writes them), RFC 6350's own vCard 4.0 forms (TYPE lists in quotes and in any
// order, VALUE=uri with "tel:"), vCard 2.1's bare types and a grouped line. Each entry lands in
// the field of its kind; only what has no field is named.
TEST(PayloadParse, VCardsOfOtherWritersFillTheirFields) {
  const struct {
    const char* Writer;
    std::u16string Card;
    TVCardPage Page;
    std::vector<std::u16string> NotKept;
  } Cases[] = {
      {"segno 3.0",
       u"BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;John\r\nFN:John Doe\r\nORG:ACME\r\n"
       u"EMAIL:a@b.c\r\nEMAIL:w@x.y\r\nTEL:+1 555\r\nTEL:+1 666\r\nTEL;TYPE=FAX:+1 9\r\n"
       u"TEL;TYPE=VIDEO:+1 8\r\nURL:https://ex.org\r\nTITLE:Boss\r\nNICKNAME:JD\r\n"
       u"ADR:PO 5;;Main St 1;Town;R;12345;US\r\nBDAY:1970-01-31\r\nNOTE:m\r\nEND:VCARD\r\n",
       [] {
         TVCardPage P;
         P.ContactName = u"John Doe";
         P.LastName = u"Doe";
         P.FirstName = u"John";
         P.Company = u"ACME";
         P.EmailPrivate = u"a@b.c";
         P.PhonePrivate = u"+1 555";
         P.WebsitePrivate = u"https://ex.org";
         P.JobTitle = u"Boss";
         P.StreetHome = u"Main St 1";
         P.CityHome = u"Town";
         P.ZIPCodeHome = u"12345";
         P.Birthday = u"1970-01-31";
         return P;
       }(),
       {u"EMAIL", u"TEL", u"TEL;TYPE=FAX", u"TEL;TYPE=VIDEO", u"NICKNAME",
        u"ADR (post office box, region, country)", u"NOTE"}},
      {"RFC 6350 4.0",
       u"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann\r\n"
       u"TEL;TYPE=home,voice;VALUE=uri:tel:+49-221-1\r\n"
       u"TEL;VALUE=uri;PREF=1;TYPE=\"voice,work\":tel:+49-221-2;ext=5\r\n"
       u"TEL;TYPE=cell:+49 170 3\r\n"
       u"tel;type=WORK;type=CELL:+49 170 4\r\n"
       u"EMAIL;TYPE=work:ann@work.example\r\n"
       u"EMAIL:ann@home.example\r\n" // untyped, the private field is free
       u"URL;TYPE=home:https://ann.example\r\n"
       u"URL:https://other.example\r\n" // untyped, the private field is taken
       u"ADR;TYPE=work:;;Ring 1;Bonn;;53111;\r\nEND:VCARD\r\n",
       [] {
         TVCardPage P;
         P.ContactName = u"Ann";
         P.PhonePrivate = u"+49-221-1";
         P.PhoneWork = u"+49-221-2;ext=5";
         P.PhoneCellPrivate = u"+49 170 3";
         P.CellPhoneWork = u"+49 170 4";
         P.EmailWork = u"ann@work.example";
         P.EmailPrivate = u"ann@home.example";
         P.WebsitePrivate = u"https://ann.example";
         P.Streetwork = u"Ring 1";
         P.CityWork = u"Bonn";
         P.ZIPCodeWork = u"53111";
         return P;
       }(),
       {u"URL"}},
      {"2.1 and groups",
       u"BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8:Roe;Jane;;Dr.;\r\n"
       u"TEL;WORK;VOICE:1\r\nTEL;HOME;FAX:2\r\nitem1.EMAIL;type=INTERNET;type=pref:j@r.oe\r\n"
       u"TEL;TYPE=work:3\r\nEND:VCARD\r\n",
       [] {
         TVCardPage P;
         P.LastName = u"Roe";
         P.FirstName = u"Jane";
         P.EmailPrivate = u"j@r.oe";
         P.PhoneWork = u"3"; // the last line of a field wins
         return P;
       }(),
       {u"N;CHARSET=UTF-8 (prefix)", u"TEL;WORK;VOICE", u"TEL;HOME;FAX"}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Writer);
    const TParsedPayload P = ParsePayload(C.Card);
    ASSERT_EQ(P.Kind, TKind::VCard);
    EXPECT_EQ(P.VCard, C.Page);
    EXPECT_EQ(P.NotKept, C.NotKept);
  }
}

// What the pages write, read back, gives the same page (the hint-free round trip a re-made code
// relies on).
TEST(PayloadParse, ThePagesOwnPayloadsReadBackAsTheSamePage) {
  const TEMailPage Mail{u"a&b#c@d.e", u"Gr\u00FC\u00DFe & #1 100%",
                        u"Zeile 1\r\n\r\nZeile 3 \u20AC &subject=x"};
  const TParsedPayload M = ParsePayload(EMailPayload(Mail));
  ASSERT_EQ(M.Kind, TKind::Email);
  EXPECT_EQ(M.EMail.EditAddress, Mail.EditAddress);
  EXPECT_EQ(M.EMail.EditSubject, Mail.EditSubject);
  EXPECT_EQ(M.EMail.MemoMessage, Mail.MemoMessage);
  EXPECT_TRUE(M.NotKept.empty());

  for (const int Type : {kWifiWPA, kWifiWEP, kWifiSAE, kWifiOpen}) {
    const TWifiPage Wifi{u"a;b:c,d\"e\\f", Type == kWifiOpen ? u"" : u"k;e:y,\\\"", Type,
                         Type == kWifiSAE};
    EXPECT_EQ(ParsePayload(WifiPayload(Wifi)).Wifi, Wifi);
  }

  TVCardPage Card;
  Card.ContactName = u"Dr. A; B, C";
  Card.FirstName = u"\u00C4nne";
  Card.LastName = u"\u00D6ster;reich";
  Card.MiddleName = u"M";
  Card.StreetHome = u"Weg 1, Hinterhaus";
  Card.CityHome = u"D\u00FCsseldorf";
  Card.ZIPCodeHome = u"40210";
  Card.Birthday = u"1970.01.31";
  Card.Company = u"A\\B";
  Card.JobTitle = u"Line\r\nbreak";
  Card.EmailWork = u"x@y.z";
  const TParsedPayload V = ParsePayload(VCardPayload(Card));
  EXPECT_EQ(V.VCard, Card);
  EXPECT_TRUE(V.NotKept.empty());
}

} // namespace
