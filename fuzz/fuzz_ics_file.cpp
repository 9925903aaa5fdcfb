// .ics reader on any bytes (the first VEVENT of a file or a code): it never fails, and an event it
// reads that the page can write again reads back as the same page (local time UTC here, so that
// no time falls into a change to summer time).
#include "FuzzInput.h"
#include "payload/Event.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const bool Utc = [] {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    return true;
  }();
  (void)Utc;
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  const std::optional<TEventRead> Read = ReadEvent(DecodeText(Bytes).Text);
  if (!Read) return 0;
  const TRecord Record = EventRecord(Read->Page);
  if (!Record.Made) {
    FUZZ_CHECK(!Record.Refusal.Empty() && Record.Payload.empty());
    return 0;
  }
  const std::optional<TEventRead> Again = ReadEvent(Record.Payload);
  FUZZ_CHECK(Again.has_value());
  FUZZ_CHECK(Again->Page == Read->Page);
  FUZZ_CHECK(EventRecord(Again->Page).Payload == Record.Payload);
  // Every line of the record within 75 octets.
  const std::string Written = EncodeText(Record.Payload, TTextEncoding::teUTF8NoBOM).Bytes;
  for (std::size_t Start = 0, End; (End = Written.find("\r\n", Start)) != std::string::npos;
       Start = End + 2)
    FUZZ_CHECK(End - Start <= 75);
  return 0;
}
