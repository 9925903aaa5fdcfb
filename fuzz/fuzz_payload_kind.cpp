// Reading a code's bytes: any bytes decode without a fault, as UTF-8 exactly when they are valid
// UTF-8 (after a mark, which is dropped) and otherwise one character per byte; the kind found is
// the one the text's start names, and any text is cut into its page's fields without a fault.
// The Wi-Fi page's own record comes back as the same page.
#include "FuzzInput.h"
#include "payload/Payload.h"
#include "payload/PayloadParse.h"
#include "platform/Unicode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  TWifiPage Wifi;
  Wifi.WPA = static_cast<int>(In.Pick(4));
  Wifi.Hidden = In.Pick(2) == 1;
  Wifi.SSID = In.Text(40);
  Wifi.NetworkKey = Wifi.WPA == kWifiOpen ? std::u16string() : In.Text(40);
  const std::string Bytes = In.Rest();

  const TPayloadText Text = DecodePayloadBytes(Bytes);
  const bool Mark = Bytes.rfind("\xEF\xBB\xBF", 0) == 0;
  FUZZ_CHECK(Text.ByteOrderMark == Mark);
  const std::string Body = Mark ? Bytes.substr(3) : Bytes;
  if (IsValidUtf8(Body)) {
    FUZZ_CHECK(Utf16ToUtf8(Text.Text) == Body);
  } else {
    FUZZ_CHECK(!Text.Utf8);
    FUZZ_CHECK(Text.Text.size() == Body.size());
    for (std::size_t I = 0; I < Body.size(); ++I)
      FUZZ_CHECK(Text.Text[I] == static_cast<unsigned char>(Body[I]));
  }

  const TParsedPayload Parsed = ParsePayload(Text.Text);
  FUZZ_CHECK(Parsed.Text == Text.Text);
  switch (Parsed.Kind) {
  case TKind::Wifi:
    FUZZ_CHECK(Text.Text.starts_with(u"WIFI:"));
    break;
  case TKind::VCard:
    FUZZ_CHECK(StartsWithIgnoringAsciiCase(Text.Text, u"BEGIN:VCARD"));
    break;
  case TKind::Email:
    FUZZ_CHECK(StartsWithIgnoringAsciiCase(Text.Text, u"mailto:"));
    break;
  case TKind::Url:
    FUZZ_CHECK(Text.Text.find_first_of(u" \r\n\t") == std::u16string::npos);
    break;
  case TKind::Phone:
    FUZZ_CHECK(StartsWithIgnoringAsciiCase(Text.Text, u"tel:"));
    break;
  case TKind::Sms:
    FUZZ_CHECK(StartsWithIgnoringAsciiCase(Text.Text, u"SMSTO:") ||
               StartsWithIgnoringAsciiCase(Text.Text, u"sms:"));
    break;
  case TKind::Geo:
    FUZZ_CHECK(StartsWithIgnoringAsciiCase(Text.Text, u"geo:"));
    break;
  case TKind::Event:
    FUZZ_CHECK(StartsWithIgnoringAsciiCase(Text.Text, u"BEGIN:VEVENT") ||
               StartsWithIgnoringAsciiCase(Text.Text, u"BEGIN:VCALENDAR"));
    break;
  case TKind::Pay:
    FUZZ_CHECK(Text.Text.starts_with(u"BCD\n") || Text.Text.starts_with(u"BCD\r\n"));
    break;
  case TKind::Text:
    break;
  }

  const std::u16string Record = WifiPayload(Wifi);
  FUZZ_CHECK(DetectKind(Record) == TKind::Wifi);
  FUZZ_CHECK(ParsePayload(Record).Wifi == Wifi);
  return 0;
}
