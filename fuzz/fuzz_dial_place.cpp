// tel:, SMSTO: / sms: and geo: readers on any text after their prefix: they never fail, and what
// they read that the page accepts is written as a record that reads back into the same record.
#include "FuzzInput.h"
#include "payload/PayloadParse.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  static const char16_t* const kPrefixes[] = {u"tel:", u"SMSTO:", u"sms:", u"geo:", u"GEO:"};
  const std::u16string Text = kPrefixes[In.Pick(5)] + In.Text(200);
  const TParsedPayload Parsed = ParsePayload(Text);
  TRecord Record;
  switch (Parsed.Kind) {
  case TKind::Phone:
    Record = PhoneRecord(Parsed.Phone);
    break;
  case TKind::Sms:
    Record = SmsRecord(Parsed.Sms);
    break;
  case TKind::Geo:
    Record = GeoRecord(Parsed.Geo);
    break;
  default:
    FUZZ_CHECK(false);
  }
  FUZZ_CHECK(Record.Made != Record.Payload.empty() || !Record.Made);
  if (!Record.Made) return 0;
  const TParsedPayload Back = ParsePayload(Record.Payload);
  FUZZ_CHECK(Back.Kind == Parsed.Kind);
  const TRecord Again = Back.Kind == TKind::Phone ? PhoneRecord(Back.Phone)
                        : Back.Kind == TKind::Sms ? SmsRecord(Back.Sms)
                                                  : GeoRecord(Back.Geo);
  FUZZ_CHECK(Again.Made && Again.Payload == Record.Payload);
  return 0;
}
