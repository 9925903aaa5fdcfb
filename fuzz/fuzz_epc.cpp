// EPC payment reader on any bytes: it never fails, and a payment it reads that the page accepts is
// written as a record of at most 331 bytes whose IBAN passes its check, which reads back into a
// page that writes the same record.
#include "FuzzInput.h"
#include "payload/PayloadParse.h"
#include "platform/Unicode.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  const std::u16string Text = DecodePayloadBytes(Bytes).Text;
  const std::optional<TPaymentRead> Read = ReadPayment(Text);
  const TParsedPayload Parsed = ParsePayload(Text);
  FUZZ_CHECK(Parsed.Kind != TKind::Pay || Read.has_value());
  if (!Read) return 0;
  const TRecord Record = PaymentRecord(Read->Page);
  if (!Record.Made) {
    FUZZ_CHECK(!Record.Refusal.Empty());
    return 0;
  }
  FUZZ_CHECK(Utf16ToUtf8(Record.Payload).size() <= kMaxPaymentBytes);
  FUZZ_CHECK(Record.Payload.starts_with(u"BCD\n002\n1\nSCT\n"));
  FUZZ_CHECK(!Record.Payload.ends_with(u"\n"));
  FUZZ_CHECK(IbanRefusal(Read->Page.IBAN).Empty());
  const TParsedPayload Back = ParsePayload(Record.Payload);
  FUZZ_CHECK(Back.Kind == TKind::Pay);
  FUZZ_CHECK(PaymentRecord(Back.Payment).Payload == Record.Payload);
  return 0;
}
