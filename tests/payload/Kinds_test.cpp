// The phone, SMS, place, event and payment records, checked by readers nobody here wrote: Python's
// urllib for tel: and geo:, icalendar for the VEVENT and the .ics file, python-stdnum for IBANs and
// creditor references, and segno's helpers for the place and payment records where the rules
// leave no choice. Each kind has a table of cases, its refusals included, and reads back.
#include "payload/PayloadFiles.h"
#include "payload/PayloadParse.h"
#include "platform/Unicode.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

// A JSON string as Python's json.dumps(..., ensure_ascii=False) writes it.
std::string Json(std::u16string_view Value) {
  std::string Out = "\"";
  for (const char C : Utf16ToUtf8(Value)) {
    const auto U = static_cast<unsigned char>(C);
    if (C == '"' || C == '\\') {
      (Out += '\\') += C;
    } else if (C == '\n') {
      Out += "\\n";
    } else if (C == '\r') {
      Out += "\\r";
    } else if (U < 0x20) {
      char Escape[8];
      std::snprintf(Escape, sizeof Escape, "\\u%04x", U);
      Out += Escape;
    } else {
      Out += C;
    }
  }
  return Out + "\"";
}

// Runs kinds_read.py over the requests (JSON objects), one answer a request.
std::vector<std::string> AskOutsideReaders(const std::vector<std::string>& Requests) {
  const TTempFolder Folder;
  const std::filesystem::path In = Folder.Path() / "requests.jsonl";
  {
    std::ofstream File(In, std::ios::binary);
    for (const std::string& R : Requests)
      File << R << "\n";
  }
  const std::string Command = std::string("'") + MARBECK_PYTHON3 + "' '" + MARBECK_KINDS_READ +
                              "' '" + In.string() + "' 2>&1";
  std::string Output;
  FILE* Pipe = ::popen(Command.c_str(), "r");
  if (!Pipe) return {};
  char Buffer[4096];
  for (std::size_t N; (N = std::fread(Buffer, 1, sizeof Buffer, Pipe)) > 0;)
    Output.append(Buffer, N);
  const int Wait = ::pclose(Pipe);
  EXPECT_TRUE(WIFEXITED(Wait) && WEXITSTATUS(Wait) == 0) << Output;
  std::vector<std::string> Lines;
  for (std::size_t Start = 0; Start < Output.size();) {
    const std::size_t End = Output.find('\n', Start);
    Lines.push_back(Output.substr(Start, End - Start));
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  EXPECT_EQ(Lines.size(), Requests.size()) << Output;
  Lines.resize(Requests.size());
  return Lines;
}

std::u16string U(const char* Utf8) {
  return Utf8ToUtf16(Utf8);
}

// The local time zone for the length of a test.
class TTimeZone {
public:
  explicit TTimeZone(const char* Zone) : FEnv("TZ", Zone) { ::tzset(); }
  ~TTimeZone() { ::tzset(); }

private:
  TScopedEnv FEnv;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Phone and text message

TEST(PhoneRecord, NumbersAsTypedWithoutBlanksAndLettersRefused) {
  struct TCase {
    const char* Typed;
    const char* Record; // nullptr: refused
  };
  const TCase Cases[] = {
      {"+49 30 1234-567", "tel:+49301234-567"},
      {"(030) 123 45 67", "tel:(030)1234567"},
      {"+1.212.555.0100", "tel:+1.212.555.0100"},
      {"*100#", "tel:*100%23"},
      {"\xC2\xA0"
       "110\t",
       "tel:110"},
      {"", nullptr},
      {"   ", nullptr},
      {"0800-FLOWERS", nullptr},
      {"+49+30", nullptr},
      {"--", nullptr},
      {"12;ext=3", nullptr},
  };
  std::vector<std::string> Requests;
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Typed);
    const TRecord Record = PhoneRecord(TPhonePage{U(Case.Typed)});
    EXPECT_EQ(Record.Made, Case.Record != nullptr) << Record.Refusal.Utf8();
    if (!Case.Record) {
      EXPECT_FALSE(Record.Refusal.Empty());
      EXPECT_EQ(Record.Refusal.Text().find(u'\n'), std::u16string::npos) << "one line";
      continue;
    }
    EXPECT_EQ(Utf16ToUtf8(Record.Payload), Case.Record);
    const TParsedPayload Back = ParsePayload(Record.Payload);
    EXPECT_EQ(Back.Kind, TKind::Phone);
    EXPECT_EQ(PhoneRecord(Back.Phone).Payload, Record.Payload) << "reads back";
    Requests.push_back("{\"op\":\"uri\",\"text\":" + Json(Record.Payload) + "}");
  }
  // urllib takes each as a tel: URI whose path is the number.
  const std::vector<std::string> Seen = AskOutsideReaders(Requests);
  std::size_t I = 0;
  for (const TCase& Case : Cases) {
    if (!Case.Record) continue;
    EXPECT_EQ(Seen[I++],
              "{\"path\": " + Json(U(Case.Record + 4)) + ", \"q\": \"\", \"scheme\": \"tel\"}");
  }
  EXPECT_NE(PhoneRecord({u"0800-FLOWERS"}).Refusal.Text().find(u"letter"), std::u16string::npos);
}

TEST(SmsRecord, MessageExactColonsAndAllAndRefusedNumbers) {
  struct TCase {
    const char* Number;
    const char* Message;
    const char* Record; // nullptr: refused
  };
  const TCase Cases[] = {
      {"+49 170 1234567", "Hello", "SMSTO:+491701234567:Hello"},
      {"110", "Time: 10:30, room 4", "SMSTO:110:Time: 10:30, room 4"},
      {"555",
       "Gr\xC3\xBC\xC3\x9F"
       "e \xF0\x9F\x98\x80",
       "SMSTO:555:Gr\xC3\xBC\xC3\x9F"
       "e \xF0\x9F\x98\x80"},
      {"555", "two\r\nlines", "SMSTO:555:two\nlines"},
      {"555", "", "SMSTO:555:"},
      {"", "Hello", nullptr},
      {"call me", "Hello", nullptr},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Message);
    const TSmsPage Page{U(Case.Number), U(Case.Message)};
    const TRecord Record = SmsRecord(Page);
    ASSERT_EQ(Record.Made, Case.Record != nullptr);
    if (!Case.Record) continue;
    EXPECT_EQ(Utf16ToUtf8(Record.Payload), Case.Record);
    const TParsedPayload Back = ParsePayload(Record.Payload);
    ASSERT_EQ(Back.Kind, TKind::Sms);
    EXPECT_EQ(Back.Sms.Message, ReplaceLineBreaks(Page.Message, u"\r\n"));
    EXPECT_EQ(SmsRecord(Back.Sms).Payload, Record.Payload);
  }
  // The URI form other generators write reads too.
  const TParsedPayload Uri = ParsePayload(u"sms:+4930123?body=See%20you%3A%20at%208");
  EXPECT_EQ(Uri.Kind, TKind::Sms);
  EXPECT_EQ(Uri.Sms, (TSmsPage{u"+4930123", u"See you: at 8"}));
}

// ---------------------------------------------------------------------------------------------
// Place

TEST(GeoRecord, DecimalDegreesWithAPointSignsKeptAndRangesChecked) {
  struct TCase {
    const char* Lat;
    const char* Lon;
    const char* Label;
    const char* Record; // nullptr: refused
  };
  const TCase Cases[] = {
      {"48.8584", "2.2945", "", "geo:48.8584,2.2945"},
      {"-33,8567844", "151,2151", "", "geo:-33.856784,151.2151"},
      {"  52.520008 ", "13.404954", "", "geo:52.520008,13.404954"},
      {"0.00000049", "-0.0000005", "", "geo:0,-0.000001"},
      {"-0.0000001", "+7.50", "", "geo:0,7.5"},
      {"90", "-180", "", "geo:90,-180"},
      {"51.5", "-0.1", "Caf\xC3\xA9 (Ann's) & more",
       "geo:51.5,-0.1?q=51.5,-0.1(Caf%C3%A9%20%28Ann%27s%29%20%26%20more)"},
      {"90.0000001", "0", "", nullptr},
      {"-91", "0", "", nullptr},
      {"0", "180.5", "", nullptr},
      {"1e2", "0", "", nullptr},
      {"1.2.3", "0", "", nullptr},
      {"", "10", "", nullptr},
      {"north", "10", "", nullptr},
  };
  std::vector<std::string> Requests;
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(std::string(Case.Lat) + "," + Case.Lon);
    const TGeoPage Page{U(Case.Lat), U(Case.Lon), U(Case.Label)};
    const TRecord Record = GeoRecord(Page);
    ASSERT_EQ(Record.Made, Case.Record != nullptr) << Record.Refusal.Utf8();
    if (!Case.Record) continue;
    EXPECT_EQ(Utf16ToUtf8(Record.Payload), Case.Record);
    const TParsedPayload Back = ParsePayload(Record.Payload);
    ASSERT_EQ(Back.Kind, TKind::Geo);
    EXPECT_EQ(Back.Geo.Label, Page.Label);
    EXPECT_EQ(GeoRecord(Back.Geo).Payload, Record.Payload) << "reads back";
    Requests.push_back("{\"op\":\"uri\",\"text\":" + Json(Record.Payload) + "}");
  }
  const std::vector<std::string> Seen = AskOutsideReaders(Requests);
  std::size_t I = 0;
  for (const TCase& Case : Cases) {
    if (!Case.Record) continue;
    const std::string Record = Case.Record;
    const std::string Point = Record.substr(4, Record.find('?') - 4);
    const std::string Q = *Case.Label ? Point + "(" + Case.Label + ")" : "";
    EXPECT_EQ(Seen[I++], "{\"path\": \"" + Point + "\", \"q\": " + Json(U(Q.c_str())) +
                             ", \"scheme\": \"geo\"}");
  }
  EXPECT_NE(GeoRecord({u"91", u"0", u""}).Refusal.Text().find(u"-90 to 90"), std::u16string::npos);
}

TEST(GeoRecord, ByteEqualToSegnoWhereTheDigitsLeaveNoChoice) {
  // segno writes Python's shortest form of a float: equal to ours for values with a fraction that
  // fits six decimals.
  const std::pair<const char*, const char*> Points[] = {{"48.858", "2.294"},
                                                        {"-33.856784", "151.215"},
                                                        {"0.5", "-179.999999"},
                                                        {"-89.1", "0.000123"}};
  std::vector<std::string> Requests;
  for (const auto& [Lat, Lon] : Points)
    Requests.push_back(std::string("{\"op\":\"geo\",\"lat\":") + Lat + ",\"lon\":" + Lon + "}");
  const std::vector<std::string> Seen = AskOutsideReaders(Requests);
  for (std::size_t I = 0; I < std::size(Points); ++I)
    EXPECT_EQ(Seen[I], Json(GeoRecord({U(Points[I].first), U(Points[I].second), u""}).Payload));
}

// ---------------------------------------------------------------------------------------------
// Event

TEST(EventRecord, LocalTimesReachIcalendarAsTheSameMomentInUtc) {
  const TTimeZone Berlin("Europe/Berlin");
  struct TCase {
    TEventPage Page;
    const char* Start; // as icalendar reads it: UTC, or a date
    const char* End;   // "null": none
  };
  const TCase Cases[] = {
      {{u"Carols", u"2026-12-24T18:00", u"2026-12-24 19:30", false, u"", u""},
       "\"2026-12-24T17:00:00Z\"",
       "\"2026-12-24T18:30:00Z\""},
      {{u"Summer", u"2026-07-01T12:00:15", u"", false, u"", u""},
       "\"2026-07-01T10:00:15Z\"",
       "null"},
      // New Year's Eve: midnight local is the day before in UTC.
      {{u"Midnight", u"2027-01-01T00:30", u"", false, u"", u""},
       "\"2026-12-31T23:30:00Z\"",
       "null"},
      // All-day: dates, DTEND the day after the last day.
      {{u"Holiday", u"2026-12-31", u"", true, u"", u""}, "\"2026-12-31\"", "\"2027-01-01\""},
      {{u"Fair", u"2026-02-27", u"2026-03-01", true, u"", u""}, "\"2026-02-27\"", "\"2026-03-02\""},
  };
  std::vector<std::string> Requests;
  for (const TCase& Case : Cases) {
    const TRecord Record = EventRecord(Case.Page);
    ASSERT_TRUE(Record.Made) << Record.Refusal.Utf8();
    EXPECT_TRUE(Record.Payload.starts_with(u"BEGIN:VEVENT\r\n"));
    EXPECT_TRUE(Record.Payload.ends_with(u"END:VEVENT\r\n"));
    Requests.push_back("{\"op\":\"ical\",\"text\":" + Json(Record.Payload) + "}");
  }
  const std::vector<std::string> Seen = AskOutsideReaders(Requests);
  for (std::size_t I = 0; I < std::size(Cases); ++I)
    EXPECT_EQ(Seen[I], "{\"description\": \"\", \"end\": " + std::string(Cases[I].End) +
                           ", \"location\": \"\", \"start\": " + Cases[I].Start +
                           ", \"summary\": " + Json(Cases[I].Page.Summary) + "}");
}

TEST(EventRecord, TextEscapedAndLongLinesFoldedWithoutSplittingCharacters) {
  const TTimeZone Utc("UTC");
  TEventPage Page{u"Meeting; agenda, notes \\ more",
                  u"2026-05-04T09:00",
                  u"",
                  false,
                  u"Caf\u00E9 \u201CZur Post\u201D, Hauptstra\u00DFe 1",
                  u"Line one\r\nLine two: \U0001F600 " + std::u16string(60, u'\u00FC') + u" end"};
  const TRecord Record = EventRecord(Page);
  ASSERT_TRUE(Record.Made);
  const std::string Bytes = Utf16ToUtf8(Record.Payload);
  EXPECT_NE(Bytes.find("SUMMARY:Meeting\\; agenda\\, notes \\\\ more\r\n"), std::string::npos);
  EXPECT_NE(Bytes.find("DESCRIPTION:Line one\\nLine two: "), std::string::npos);
  bool Folded = false;
  for (std::size_t Start = 0; Start < Bytes.size();) {
    const std::size_t End = Bytes.find("\r\n", Start);
    ASSERT_NE(End, std::string::npos) << "every line ends with CR LF";
    const std::string Line = Bytes.substr(Start, End - Start);
    EXPECT_LE(Line.size(), 75u) << Line;
    EXPECT_TRUE(IsValidUtf8(Line)) << "a fold split a character: " << Line;
    Folded = Folded || Line.starts_with(" ");
    Start = End + 2;
  }
  EXPECT_TRUE(Folded);
  const std::vector<std::string> Seen =
      AskOutsideReaders({"{\"op\":\"ical\",\"text\":" + Json(Record.Payload) + "}"});
  EXPECT_EQ(Seen[0],
            "{\"description\": " + Json(ReplaceLineBreaks(Page.Description, u"\n")) +
                ", \"end\": null, \"location\": " + Json(Page.Location) +
                ", \"start\": \"2026-05-04T09:00:00Z\", \"summary\": " + Json(Page.Summary) + "}");
  const TParsedPayload Back = ParsePayload(Record.Payload);
  ASSERT_EQ(Back.Kind, TKind::Event);
  EXPECT_EQ(Back.Event, Page);
}

TEST(EventRecord, Refusals) {
  const TTimeZone Berlin("Europe/Berlin");
  struct TCase {
    TEventPage Page;
    const char16_t* Says;
  };
  const TCase Cases[] = {
      {{u"", u"2026-12-24T18:00", u"", false, u"", u""}, u"title"},
      {{u"X", u"", u"", false, u"", u""}, u"needs a start"},
      {{u"X", u"2026-02-30T10:00", u"", false, u"", u""}, u"start is not a valid"},
      {{u"X", u"2026-12-24T25:00", u"", false, u"", u""}, u"start is not a valid"},
      {{u"X", u"2026-12-24", u"", false, u"", u""}, u"start is not a valid date and time"},
      {{u"X", u"24.12.2026 18:00", u"", false, u"", u""}, u"start is not a valid"},
      {{u"X", u"2026-12-24T18:00", u"2026-12-24T17:59", false, u"", u""}, u"ends before"},
      {{u"X", u"2026-12-24T18:00", u"tomorrow", false, u"", u""}, u"end is not a valid"},
      {{u"X", u"2026-12-31", u"2026-12-30", true, u"", u""}, u"ends before"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Utf16ToUtf8(Case.Page.Start + u" " + Case.Page.End));
    const TRecord Record = EventRecord(Case.Page);
    EXPECT_FALSE(Record.Made);
    EXPECT_TRUE(Record.Payload.empty());
    EXPECT_NE(Record.Refusal.Text().find(Case.Says), std::u16string::npos) << Record.Refusal.Utf8();
  }
  // The end at the start is no refusal.
  EXPECT_TRUE(EventRecord({u"X", u"2026-12-24T18:00", u"2026-12-24T18:00", false, u"", u""}).Made);
}

TEST(EventRecord, ReadInAnotherTimeZoneShowsTheSameMomentInItsLocalTime) {
  std::u16string Record;
  {
    const TTimeZone Berlin("Europe/Berlin");
    Record =
        EventRecord({u"Call", u"2026-12-24T18:00", u"2026-12-24T19:00", false, u"", u""}).Payload;
  }
  const TTimeZone NewYork("America/New_York");
  const TParsedPayload Back = ParsePayload(Record);
  EXPECT_EQ(Back.Event.Start, u"2026-12-24T12:00");
  EXPECT_EQ(Back.Event.End, u"2026-12-24T13:00");
  EXPECT_EQ(EventRecord(Back.Event).Payload, Record) << "and writes the same instant again";
}

TEST(CalendarFile, AWholeVCalendarThatIcalendarImportsAndWeLoadBack) {
  const TTimeZone Berlin("Europe/Berlin");
  const TTempFolder Folder;
  const std::filesystem::path Path = Folder.Path() / "party.ics";
  const TEventPage Page{u"Party", u"2026-06-20T20:00", u"2026-06-21T02:00",
                        false,    u"Garden",           u"Bring, a; chair"};
  const TSaveResult Saved = SaveEventFile(Path, Page);
  ASSERT_TRUE(Saved.Ok) << Saved.Error.Utf8();
  std::ifstream File(Path, std::ios::binary);
  const std::string Bytes((std::istreambuf_iterator<char>(File)), {});
  for (const char* Line : {"BEGIN:VCALENDAR\r\n", "VERSION:2.0\r\n",
                           "PRODID:", "UID:", "DTSTAMP:", "END:VEVENT\r\nEND:VCALENDAR\r\n"})
    EXPECT_NE(Bytes.find(Line), std::string::npos) << Line;
  const std::vector<std::string> Seen =
      AskOutsideReaders({"{\"op\":\"ical\",\"text\":" + Json(Utf8ToUtf16(Bytes)) + "}"});
  EXPECT_EQ(Seen[0], "{\"description\": \"Bring, a; chair\", \"end\": \"2026-06-21T00:00:00Z\", "
                     "\"location\": \"Garden\", \"start\": \"2026-06-20T18:00:00Z\", "
                     "\"summary\": \"Party\"}");
  const TLoadResult<TEventRead> Loaded = LoadEventFile(Path);
  ASSERT_TRUE(Loaded.Ok()) << Loaded.Error.Utf8();
  EXPECT_EQ(Loaded.Data->Page, Page);
  EXPECT_TRUE(Loaded.Data->NotKept.empty());
}

TEST(CalendarFile, LoadTakesTheFirstEventOfAnotherProgramsFile) {
  const TTimeZone Berlin("Europe/Berlin");
  const TTempFolder Folder;
  const std::filesystem::path Path = Folder.Path() / "other.ics";
  // Folded lines, LF line breaks, a time zone block, an alarm inside the event, a second event.
  const std::string Other =
      "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Other//EN\nBEGIN:VTIMEZONE\nTZID:Europe/Berlin\n"
      "BEGIN:STANDARD\nDTSTART:19701025T030000\nEND:STANDARD\nEND:VTIMEZONE\n"
      "BEGIN:VEVENT\nUID:1@other\nDTSTAMP:20260101T000000Z\nSUMMARY:Long title that goes o\n"
      " n and on\nDTSTART;VALUE=DATE:20260501\nDTEND;VALUE=DATE:20260504\n"
      "LOCATION:Hall \\\"A\\\"\\, floor 2\nRRULE:FREQ=YEARLY\nBEGIN:VALARM\nACTION:DISPLAY\n"
      "SUMMARY:not this\nEND:VALARM\nEND:VEVENT\nBEGIN:VEVENT\nSUMMARY:Second\n"
      "DTSTART:20260601T100000Z\nEND:VEVENT\nEND:VCALENDAR\n";
  { std::ofstream(Path, std::ios::binary) << Other; }
  const TLoadResult<TEventRead> Loaded = LoadEventFile(Path);
  ASSERT_TRUE(Loaded.Ok());
  EXPECT_EQ(Loaded.Data->Page, (TEventPage{u"Long title that goes on and on", u"2026-05-01",
                                           u"2026-05-03", true, u"Hall \"A\", floor 2", u""}));
  EXPECT_EQ(Loaded.Data->NotKept, (std::vector<std::u16string>{u"RRULE", u"VALARM"}));

  // A time in a named zone is taken as local time, and the note says so.
  const std::optional<TEventRead> Zoned = ReadEvent(
      u"BEGIN:VEVENT\r\nSUMMARY:Z\r\nDTSTART;TZID=\"America/New_York\":20260301T090000\r\n"
      u"END:VEVENT\r\n");
  ASSERT_TRUE(Zoned);
  EXPECT_EQ(Zoned->Page.Start, u"2026-03-01T09:00");
  EXPECT_EQ(Zoned->NotKept, (std::vector<std::u16string>{u"TZID=America/New_York"}));

  // A file without an event is refused, and says so.
  const std::filesystem::path Empty = Folder.Path() / "empty.ics";
  { std::ofstream(Empty, std::ios::binary) << "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"; }
  const TLoadResult<TEventRead> Refused = LoadEventFile(Empty);
  EXPECT_FALSE(Refused.Ok());
  EXPECT_NE(Refused.Error.Text().find(u"no event"), std::u16string::npos) << Refused.Error.Utf8();
}

// ---------------------------------------------------------------------------------------------
// Payment

TEST(PaymentChecks, IbansAndCreditorReferencesAsPythonStdnumJudgesThem) {
  const char* const Ibans[] = {"DE89370400440532013000",
                               "de89 3704 0044 0532 0130 00",
                               "GB82WEST12345698765432",
                               "FR1420041010050500013M02606",
                               "NL91ABNA0417164300",
                               "DE89-3704-0044-0532-0130-00",
                               "CH9300762011623852957",
                               "AT611904300234573201",
                               "IT60X0542811101000000123456",
                               "ES9121000418450200051332",
                               "NO9386011117947",
                               "MT84MALT011000012345MTLCAST001S",
                               "DE89370400440532013001",  // a wrong digit
                               "DE8937040044053201300",   // one short
                               "DE893704004405320130000", // one long
                               "XX89370400440532013000",  // no such country
                               "DE89_3704_0044_0532_0130_00",
                               "",
                               "DE"};
  const char* const References[] = {"RF18539007547034",          "RF18 5390 0754 7034",
                                    "RF18000000000539007547034", "RF19539007547034",
                                    "RF1853900754703X",          "RF18",
                                    "XY18539007547034",          "rf18539007547034"};
  std::vector<std::string> Requests;
  for (const char* Iban : Ibans)
    Requests.push_back("{\"op\":\"iban\",\"value\":" + Json(U(Iban)) + "}");
  for (const char* Reference : References)
    Requests.push_back("{\"op\":\"rf\",\"value\":" + Json(U(Reference)) + "}");
  const std::vector<std::string> Seen = AskOutsideReaders(Requests);
  std::size_t I = 0, Valid = 0;
  for (const char* Iban : Ibans) {
    const bool Ours = IbanRefusal(U(Iban)).Empty();
    EXPECT_EQ(Ours ? "true" : "false", Seen[I++]) << Iban;
    Valid += Ours;
  }
  EXPECT_EQ(Valid, 12u) << "the registry's examples are valid";
  for (const char* Reference : References)
    EXPECT_EQ(CreditorReferenceRefusal(U(Reference)).Empty() ? "true" : "false", Seen[I++])
        << Reference;
  EXPECT_NE(IbanRefusal(u"DE8937040044053201300").Text().find(u"22"), std::u16string::npos);
  EXPECT_EQ(IbanLength(u"DE"), 22);
  EXPECT_EQ(IbanLength(u"NO"), 15);
  EXPECT_EQ(IbanLength(u"US"), 0);
}

TEST(PaymentRecord, ByteEqualToSegnosEpcRecord) {
  struct TCase {
    TPaymentPage Page;
    const char* Segno; // the same fields as segno's helper takes them (amount as a number)
  };
  const TCase Cases[] = {
      {{u"Wikimedia F\u00F6rdergesellschaft", u"DE33 1002 0500 0001 1947 00", u"", u"12.3", u"",
        u"Spende", u"", u""},
       R"("name":"Wikimedia Fördergesellschaft","iban":"DE33100205000001194700","amount":12.3,"text":"Spende")"},
      {{u"Red Cross", u"BE68539007547034", u"bbrubebb", u"1000,00", u"RF18 5390 0754 7034", u"",
        u"char", u""},
       R"("name":"Red Cross","iban":"BE68539007547034","amount":1000,"reference":"RF18539007547034","bic":"BBRUBEBB","purpose":"CHAR")"},
      {{u"A", u"DE89370400440532013000", u"", u"0.01", u"", u"x", u"", u""},
       R"("name":"A","iban":"DE89370400440532013000","amount":0.01,"text":"x")"},
      {{u"A", u"DE89370400440532013000", u"", u"999999999.99", u"", u"x", u"", u""},
       R"("name":"A","iban":"DE89370400440532013000","amount":999999999.99,"text":"x")"},
  };
  std::vector<std::string> Requests;
  for (const TCase& Case : Cases)
    Requests.push_back(std::string("{\"op\":\"epc\",") + Case.Segno + "}");
  const std::vector<std::string> Seen = AskOutsideReaders(Requests);
  for (std::size_t I = 0; I < std::size(Cases); ++I) {
    const TRecord Record = PaymentRecord(Cases[I].Page);
    ASSERT_TRUE(Record.Made) << Record.Refusal.Utf8();
    if (I != 3) { // segno refuses its own upper bound (a float comparison); the rules allow it
      EXPECT_EQ(Json(Record.Payload), Seen[I]);
    }
    const TParsedPayload Back = ParsePayload(Record.Payload);
    ASSERT_EQ(Back.Kind, TKind::Pay);
    EXPECT_EQ(PaymentRecord(Back.Payment).Payload, Record.Payload) << "reads back";
  }
}

TEST(PaymentRecord, InformationLineAndNothingAfterTheLastFieldUsed) {
  TPaymentPage Page{u"Ann", u"DE89370400440532013000", u"", u"5", u"", u"", u"", u"Thank you"};
  EXPECT_EQ(PaymentRecord(Page).Payload,
            u"BCD\n002\n1\nSCT\n\nAnn\nDE89370400440532013000\nEUR5\n\n\n\nThank you");
  Page.Info.clear();
  EXPECT_EQ(PaymentRecord(Page).Payload, u"BCD\n002\n1\nSCT\n\nAnn\nDE89370400440532013000\nEUR5");
  EXPECT_EQ(EpcAmount(1230), u"EUR12.3");
  EXPECT_EQ(EpcAmount(1205), u"EUR12.05");
  EXPECT_EQ(EpcAmount(99999999999), u"EUR999999999.99");
}

TEST(PaymentRecord, RefusalsNameTheFault) {
  const TPaymentPage Good{u"Ann", u"DE89370400440532013000", u"", u"", u"", u"", u"", u""};
  struct TCase {
    const char* What;
    std::u16string TPaymentPage::*Field;
    std::u16string Value;
    const char16_t* Says;
  };
  const TCase Cases[] = {
      {"no name", &TPaymentPage::Name, u"", u"name"},
      {"long name", &TPaymentPage::Name, std::u16string(71, u'n'), u"70"},
      {"wrong IBAN", &TPaymentPage::IBAN, u"DE89370400440532013001", u"check digits"},
      {"short IBAN", &TPaymentPage::IBAN, u"DE8937040044053201300", u"22 characters"},
      {"bad BIC", &TPaymentPage::BIC, u"DEUT", u"BIC"},
      {"zero", &TPaymentPage::Amount, u"0", u"0.01"},
      {"too much", &TPaymentPage::Amount, u"1000000000", u"999999999.99"},
      {"three decimals", &TPaymentPage::Amount, u"1.234", u"two decimals"},
      {"negative", &TPaymentPage::Amount, u"-5", u"amount"},
      {"bad purpose", &TPaymentPage::Purpose, u"CH4R", u"purpose"},
      {"bad reference", &TPaymentPage::Reference, u"RF19539007547034", u"creditor reference"},
      {"long remittance", &TPaymentPage::Remittance, std::u16string(141, u'r'), u"140"},
      {"line break", &TPaymentPage::Info, u"a\nb", u"line break"},
  };
  for (const TCase& Case : Cases) {
    TPaymentPage Page = Good;
    Page.*Case.Field = Case.Value;
    const TRecord Record = PaymentRecord(Page);
    EXPECT_FALSE(Record.Made) << Case.What;
    EXPECT_NE(Record.Refusal.Text().find(Case.Says), std::u16string::npos)
        << Case.What << ": " << Record.Refusal.Utf8();
  }
  TPaymentPage Both = Good;
  Both.Reference = u"RF18539007547034";
  Both.Remittance = u"Invoice 7";
  EXPECT_NE(PaymentRecord(Both).Refusal.Text().find(u"not both"), std::u16string::npos);
  // Every field at its longest, in characters of several bytes: beyond 331 bytes.
  TPaymentPage Long = Good;
  Long.Name = std::u16string(70, u'\u00E9');
  Long.Remittance = std::u16string(140, u'\u00E9');
  Long.Info = std::u16string(70, u'x');
  EXPECT_NE(PaymentRecord(Long).Refusal.Text().find(u"331"), std::u16string::npos);
  Long.Name = std::u16string(70, u'x');
  Long.Remittance = std::u16string(140, u'x');
  const TRecord Fits = PaymentRecord(Long);
  EXPECT_TRUE(Fits.Made) << Fits.Refusal.Utf8();
  EXPECT_LE(Utf16ToUtf8(Fits.Payload).size(), kMaxPaymentBytes);
}
