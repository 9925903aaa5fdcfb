// What marbeck-cli reads from its options and CSV columns: colours, output names, and the
// payloads of the fields (checked against the payload/ functions the window's pages call).
#include "batch/Fields.h"
#include "batch/Options.h"
#include "payload/Payload.h"

#include <gtest/gtest.h>

namespace {

TEST(CliColor, SettingsTextAndHash) {
  struct TCase {
    const char* Text;
    std::optional<QRgb> Expected;
  };
  const TCase Cases[] = {
      {"#000000", qRgb(0, 0, 0)},
      {"#1a2B3c", qRgb(0x1A, 0x2B, 0x3C)},
      {"clNavy", qRgb(0, 0, 128)},
      {"CLCREAM", qRgb(255, 251, 240)},
      {"$0000FF", qRgb(255, 0, 0)}, // the settings' order: BBGGRR
      {"$00FF8000", qRgb(0, 128, 255)},
      {"255", qRgb(255, 0, 0)},
      {"#12345", std::nullopt},
      {"#1234567", std::nullopt},
      {"#gg0000", std::nullopt},
      {"navy", std::nullopt},
      {"", std::nullopt},
      {"clWindowText", std::nullopt}, // system colour: no value without the window's palette
      {"clBtnFace", std::nullopt},
      {"-16777201", std::nullopt}, // clBtnFace as a number
      {"clNone", std::nullopt},
      {"\xFF", std::nullopt},
  };
  for (const TCase& C : Cases) {
    std::string Error;
    const std::optional<QRgb> Got = ParseColor(C.Text, Error);
    EXPECT_EQ(Got, C.Expected) << C.Text;
    EXPECT_EQ(Error.empty(), C.Expected.has_value()) << C.Text << ": " << Error;
  }
}

TEST(CliOptions, EncodingsAndFormats) {
  EXPECT_EQ(ParseEncoding("utf-8"), qrUTF8NoBOM);
  EXPECT_EQ(ParseEncoding("UTF-8-BOM"), qrUTF8BOM);
  EXPECT_EQ(ParseEncoding("iso-8859-1"), qrISO88591);
  EXPECT_EQ(ParseEncoding("latin1"), std::nullopt);
  EXPECT_EQ(FormatOfPath("a/b.PnG"), TOutputFormat::Png);
  EXPECT_EQ(FormatOfPath("x.pdf"), TOutputFormat::Pdf);
  EXPECT_EQ(FormatOfPath("x.txt"), std::nullopt);
  EXPECT_EQ(FormatOfPath("svg"), std::nullopt);
}

TEST(CliOptions, FileNamesThatWouldLeaveTheFolderAreRefused) {
  for (const char* Bad :
       {"", ".", "..", "/etc/passwd", "../x", "a/b", "a/../../b", "/", ".hidden", "-rf",
        "manifest.csv", "MANIFEST.CSV", "a\nb", "a\x7F",
        // what Windows and its ZIP extractors read as folders and drives
        "a\\..\\..\\..\\evil", "C:\\Windows\\x", "\\\\server\\share", "c:x.svg", "Z:"})
    EXPECT_NE(CheckFileName(Bad), "") << Bad;
  EXPECT_NE(CheckFileName(std::string("a\0b", 3)), "");
  EXPECT_NE(CheckFileName("\xC3"), "");
  EXPECT_NE(CheckFileName(std::string(256, 'a')), "");
  for (const char* Good :
       {"badge-001", "Müller.svg", "a..b", "a b", "x.png", "manifest.csv.png", "ab:c.svg", "1:2"})
    EXPECT_EQ(CheckFileName(Good), "") << Good;
}

TEST(CliFields, PayloadsAreThePagesPayloads) {
  TWifiPage Wifi;
  Wifi.SSID = u"Caf\u00e9;Net";
  Wifi.NetworkKey = u"p:w";
  Wifi.WPA = 1;
  EXPECT_EQ(MakePayload(TKind::Wifi, {{"ssid", "Caf\xC3\xA9;Net"}, {"key", "p:w"}, {"type", "wep"}})
                .Payload,
            WifiPayload(Wifi));
  // Memo fields: any line break becomes the memo's CR LF.
  EXPECT_EQ(MakePayload(TKind::Email, {{"to", "a@b.c"}, {"subject", "Hi"}, {"body", "x\ny\rz\r\n"}})
                .Payload,
            EMailPayload(TEMailPage{u"a@b.c", u"Hi", u"x\r\ny\r\nz\r\n"}));
  EXPECT_EQ(MakePayload(TKind::Text, {{"text", "a\nb"}}).Payload, TextPayload(u"a\r\nb"));
  // The contact name follows the name fields unless given.
  TVCardPage Card;
  Card.FirstName = u"Ada";
  Card.MiddleName = u"K";
  Card.LastName = u"Lovelace";
  Card.ContactName = u"Ada K Lovelace";
  Card.Birthday = u"1815.12.10";
  EXPECT_EQ(MakePayload(TKind::VCard, {{"first-name", "Ada"},
                                       {"middle-name", "K"},
                                       {"last-name", "Lovelace"},
                                       {"birthday", "1815.12.10"}})
                .Payload,
            VCardPayload(Card));
  Card.ContactName = u"Countess";
  EXPECT_EQ(MakePayload(TKind::VCard, {{"first-name", "Ada"},
                                       {"middle-name", "K"},
                                       {"last-name", "Lovelace"},
                                       {"contact-name", "Countess"},
                                       {"birthday", "1815.12.10"}})
                .Payload,
            VCardPayload(Card));
}

TEST(CliFields, WifiTypesInAnyCaseAndHiddenValues) {
  struct TCase {
    const char* Type;
    const char* Hidden;
    int WPA;
    bool IsHidden;
  };
  const TCase Cases[] = {
      {"", "", kWifiWPA, false},          {"wpa", "true", kWifiWPA, true},
      {"SAE", "YES", kWifiSAE, true},     {"Wep", "1", kWifiWEP, true},
      {"NoPass", "no", kWifiOpen, false}, {"sae", "False", kWifiSAE, false},
      {"WPA", "0", kWifiWPA, false},
  };
  for (const TCase& C : Cases) {
    const TPayloadResult R =
        MakePayload(TKind::Wifi, {{"ssid", "n"}, {"type", C.Type}, {"hidden", C.Hidden}});
    EXPECT_EQ(R.Error, "") << C.Type << " " << C.Hidden;
    EXPECT_EQ(R.Payload, WifiPayload({u"n", u"", C.WPA, C.IsHidden})) << C.Type << " " << C.Hidden;
  }
}

TEST(CliFields, BadFieldsAreRefusedWithTheReason) {
  struct TCase {
    TKind Kind;
    TFieldValues Values;
    const char* Reason;
  };
  const TCase Cases[] = {
      {TKind::Url, {}, "missing field url"},
      {TKind::Url, {{"url", ""}}, "missing field url"},
      {TKind::Wifi, {{"key", "k"}}, "missing field ssid"},
      {TKind::Email, {{"subject", "s"}}, "missing field to"},
      {TKind::VCard, {{"company", "ACME"}}, "missing field contact-name"},
      {TKind::Wifi, {{"ssid", "n"}, {"type", "WPA2"}}, "type must be WPA, SAE, WEP or nopass"},
      {TKind::Wifi, {{"ssid", "n"}, {"type", "nopass"}, {"key", "k"}}, "takes no key"},
      {TKind::Wifi, {{"ssid", "n"}, {"hidden", "maybe"}}, "hidden must be true or false"},
      {TKind::Url, {{"url", "x"}, {"ssid", "n"}}, "ssid is not a field of url codes"},
      {TKind::Text, {{"text", "a\xC0\xAF"}}, "invalid UTF-8 in text"},
      {TKind::Text, {{"text", "x"}, {"colour", "x"}}, "unknown field colour"},
  };
  for (const TCase& C : Cases) {
    const TPayloadResult R = MakePayload(C.Kind, C.Values);
    EXPECT_NE(R.Error.find(C.Reason), std::string::npos) << C.Reason << " / got: " << R.Error;
  }
  // A column of another kind left empty is no error (files mixing kinds).
  EXPECT_EQ(MakePayload(TKind::Url, {{"url", "x"}, {"ssid", ""}}).Error, "");
}

} // namespace
