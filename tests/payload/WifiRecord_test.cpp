// The Wi-Fi network record: every type, hidden or not, with and without characters to escape,
// against records written by hand; each read back by zbar and by a reader of the record's grammar
// written here (not the program's own reader), and kept in a .nwk file.
#include "encoder/QRCodeSymbol.h"
#include "payload/PayloadFiles.h"
#include "platform/Unicode.h"
#include "support/ZbarDecode.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>

namespace {

// The grammar phones read: "WIFI:", then fields "<label>:<value>;", then ";" closes the record.
// In a value a backslash takes the next character literally, and each of ; : , " \ must come
// escaped. Answers the fields by label (each label once) and the text after the record, or nothing
// when Text breaks the grammar.
struct TParsedRecord {
  std::map<std::u16string, std::u16string> Fields;
  std::u16string After;
};

std::optional<TParsedRecord> ParseRecord(std::u16string_view Text) {
  constexpr std::u16string_view Specials = u";:,\"\\";
  if (!Text.starts_with(u"WIFI:")) return std::nullopt;
  TParsedRecord Parsed;
  std::size_t I = 5;
  while (I < Text.size()) {
    if (Text[I] == u';') {
      Parsed.After = Text.substr(I + 1);
      return Parsed;
    }
    const std::size_t Colon = Text.find(u':', I);
    if (Colon == std::u16string_view::npos) return std::nullopt;
    const std::u16string Label(Text.substr(I, Colon - I));
    if (Label.find_first_of(Specials) != std::u16string::npos) return std::nullopt;
    std::u16string Value;
    for (I = Colon + 1;; ++I) {
      if (I >= Text.size()) return std::nullopt; // a field without its ";"
      const char16_t C = Text[I];
      if (C == u'\\') {
        if (++I >= Text.size()) return std::nullopt;
        Value += Text[I];
      } else if (C == u';') {
        ++I;
        break;
      } else if (Specials.find(C) != std::u16string_view::npos) {
        return std::nullopt; // unescaped : , or "
      } else {
        Value += C;
      }
    }
    if (!Parsed.Fields.emplace(Label, Value).second) return std::nullopt;
  }
  return std::nullopt; // no closing ";"
}

TEST(WifiGrammarReader, RefusesWhatBreaksTheGrammar) {
  for (const char16_t* Text :
       {u"WIFI:T:WPA;S:x;P:y;", u"WIFI:S:a,b;;", u"WIFI:S:a\"b;;", u"WIFI:S:a:b;;",
        u"WIFI:S:x;S:y;;", u"wifi:S:x;;", u"WIFI:S:x\\", u"WIFI:Sx;;"})
    EXPECT_FALSE(ParseRecord(Text))
        << std::string(Text, Text + std::char_traits<char16_t>::length(Text));
  const auto Read = ParseRecord(u"WIFI:S:a\\;b;;rest");
  ASSERT_TRUE(Read);
  EXPECT_EQ(Read->Fields.at(u"S"), u"a;b");
  EXPECT_EQ(Read->After, u"rest");
}

struct TRecordCase {
  TWifiPage Page;
  const char16_t* Record; // written by hand from the grammar
};

constexpr char16_t kPlainName[] = u"Home";
constexpr char16_t kPlainKey[] = u"s3cret pass";
constexpr char16_t kOddName[] = u"Caf\u00E9;\"Bar\":1,2\\";
constexpr char16_t kOddKey[] = u"p;w:d,\"\\x";

const TRecordCase kRecords[] = {
    {{kPlainName, kPlainKey, kWifiWPA, false}, uR"(WIFI:T:WPA;S:Home;P:s3cret pass;;)"},
    {{kPlainName, kPlainKey, kWifiWPA, true}, uR"(WIFI:T:WPA;S:Home;P:s3cret pass;H:true;;)"},
    {{kPlainName, kPlainKey, kWifiSAE, false}, uR"(WIFI:T:SAE;S:Home;P:s3cret pass;;)"},
    {{kPlainName, kPlainKey, kWifiSAE, true}, uR"(WIFI:T:SAE;S:Home;P:s3cret pass;H:true;;)"},
    {{kPlainName, kPlainKey, kWifiWEP, false}, uR"(WIFI:T:WEP;S:Home;P:s3cret pass;;)"},
    {{kPlainName, kPlainKey, kWifiWEP, true}, uR"(WIFI:T:WEP;S:Home;P:s3cret pass;H:true;;)"},
    {{kPlainName, u"", kWifiOpen, false}, uR"(WIFI:T:nopass;S:Home;;)"},
    {{kPlainName, u"", kWifiOpen, true}, uR"(WIFI:T:nopass;S:Home;H:true;;)"},
    {{kOddName, kOddKey, kWifiWPA, false},
     uR"(WIFI:T:WPA;S:Café\;\"Bar\"\:1\,2\\;P:p\;w\:d\,\"\\x;;)"},
    {{kOddName, kOddKey, kWifiWPA, true},
     uR"(WIFI:T:WPA;S:Café\;\"Bar\"\:1\,2\\;P:p\;w\:d\,\"\\x;H:true;;)"},
    {{kOddName, kOddKey, kWifiSAE, false},
     uR"(WIFI:T:SAE;S:Café\;\"Bar\"\:1\,2\\;P:p\;w\:d\,\"\\x;;)"},
    {{kOddName, kOddKey, kWifiSAE, true},
     uR"(WIFI:T:SAE;S:Café\;\"Bar\"\:1\,2\\;P:p\;w\:d\,\"\\x;H:true;;)"},
    {{kOddName, kOddKey, kWifiWEP, false},
     uR"(WIFI:T:WEP;S:Café\;\"Bar\"\:1\,2\\;P:p\;w\:d\,\"\\x;;)"},
    {{kOddName, kOddKey, kWifiWEP, true},
     uR"(WIFI:T:WEP;S:Café\;\"Bar\"\:1\,2\\;P:p\;w\:d\,\"\\x;H:true;;)"},
    {{kOddName, u"", kWifiOpen, false}, uR"(WIFI:T:nopass;S:Café\;\"Bar\"\:1\,2\\;;)"},
    {{kOddName, u"", kWifiOpen, true}, uR"(WIFI:T:nopass;S:Café\;\"Bar\"\:1\,2\\;H:true;;)"},
    // Values that look hexadecimal are not quoted; an empty name and key stay empty fields.
    {{u"ABCDEF", u"0123456789", kWifiWEP, false}, uR"(WIFI:T:WEP;S:ABCDEF;P:0123456789;;)"},
    {{u"", u"", kWifiWPA, true}, uR"(WIFI:T:WPA;S:;P:;H:true;;)"},
};

std::string Name(const TRecordCase& C) {
  return Utf16ToUtf8(C.Record);
}

TEST(WifiRecord, EveryTypeHiddenAndEscapeMatchesTheHandWrittenRecord) {
  for (const TRecordCase& C : kRecords) {
    EXPECT_EQ(NetworkRecord(C.Page), C.Record);
    EXPECT_EQ(WifiPayload(C.Page), C.Record + std::u16string(u"\r\n"));
  }
  // An open network writes no key, whatever the (disabled) key field holds.
  EXPECT_EQ(NetworkRecord({u"n", u"left over", kWifiOpen, false}), u"WIFI:T:nopass;S:n;;");
  // Indices beyond the list are WEP, as they always were.
  EXPECT_EQ(NetworkRecord({u"n", u"k", 7, false}), u"WIFI:T:WEP;S:n;P:k;;");
}

TEST(WifiRecord, ZbarReadsTheExactBytesAndTheGrammarReaderTheSameFields) {
  for (const TRecordCase& C : kRecords) {
    const std::u16string Payload = WifiPayload(C.Page);
    const std::optional<std::string> Read =
        DecodeWithZbar(EncodeToGrid(Payload, qrUTF8NoBOM), 4, 3);
    ASSERT_TRUE(Read) << Name(C);
    EXPECT_EQ(*Read, Utf16ToUtf8(Payload)) << Name(C);

    const std::optional<TParsedRecord> Parsed = ParseRecord(Utf8ToUtf16(*Read));
    ASSERT_TRUE(Parsed) << Name(C);
    std::map<std::u16string, std::u16string> Expected{{u"T", WifiType(C.Page.WPA)},
                                                      {u"S", C.Page.SSID}};
    if (C.Page.WPA != kWifiOpen) Expected[u"P"] = C.Page.NetworkKey;
    if (C.Page.Hidden) Expected[u"H"] = u"true";
    EXPECT_EQ(Parsed->Fields, Expected) << Name(C);
    EXPECT_EQ(Parsed->After, u"\r\n") << Name(C); // the line break after the record
  }
}

TEST(WifiRecord, EveryCaseSurvivesANetworkKeyFile) {
  for (const TRecordCase& C : kRecords) {
    const std::optional<std::string> Bytes = SaveNetworkBytes(C.Page);
    ASSERT_TRUE(Bytes) << Name(C);
    EXPECT_EQ(LoadNetworkBytes(*Bytes), C.Page) << Name(C);
  }
  // The key of an open network is not saved, so it does not come back.
  EXPECT_EQ(LoadNetworkBytes(SaveNetworkBytes({u"n", u"left over", kWifiOpen, true}).value()),
            (TWifiPage{u"n", u"", kWifiOpen, true}));
}

struct TNoteCase {
  int WPA;
  std::u16string Key;
  std::u16string Note; // "" for none
};

TEST(WifiRecord, KeysThatPhonesRefuseGetANote) {
  const std::u16string Short = u"Phones refuse WPA keys shorter than 8 characters";
  const std::u16string Long =
      u"Phones refuse WPA keys longer than 63 characters (64 hexadecimal digits excepted)";
  const std::u16string Short3 = u"Phones refuse WPA3 keys shorter than 8 characters";
  const std::u16string Wep =
      u"Phones refuse WEP keys other than 5 or 13 characters or 10 or 26 hexadecimal digits";
  const std::u16string Hex64(64, u'a');
  const TNoteCase Cases[] = {
      {kWifiWPA, u"", Short},
      {kWifiWPA, u"1234567", Short},
      {kWifiWPA, u"12345678", u""},
      {kWifiWPA, std::u16string(63, u'x'), u""},
      {kWifiWPA, std::u16string(64, u'x'), Long},
      {kWifiWPA, Hex64, u""},
      {kWifiWPA, std::u16string(65, u'a'), Long},
      {kWifiWPA, u"\u00E9\u00E9\u00E9\u00E9", u""}, // 8 bytes of UTF-8, as phones count
      {kWifiSAE, u"1234567", Short3},
      {kWifiSAE, Hex64, u""},
      {kWifiWEP, u"abcde", u""},
      {kWifiWEP, u"abcdefghijklm", u""},
      {kWifiWEP, u"0123456789", u""},
      {kWifiWEP, u"0123456789abcdefABCDEF0123", u""},
      {kWifiWEP, u"012345678g", Wep},
      {kWifiWEP, u"abcdef", Wep},
      {kWifiWEP, u"", Wep},
      {kWifiOpen, u"", u""},
      {kWifiOpen, u"x", u""},
  };
  for (const TNoteCase& C : Cases)
    EXPECT_EQ(WifiKeyNote({u"n", C.Key, C.WPA, false}).Text(), C.Note)
        << C.WPA << " " << Utf16ToUtf8(C.Key);
}

} // namespace
