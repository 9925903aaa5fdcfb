// .eml writer -> reader for any field contents. The address and subject come from single-line
// fields, so they carry no line break (the window's edit fields cannot hold one); the message is
// the memo's text, whose breaks are CR LF. It comes back as it was, line for line.
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/PayloadFiles.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const TTextEncoding Encoding = PickEncoding(In.Byte());
  TEMailPage Page;
  Page.EditAddress = WithoutBreaks(In.Text(40));
  Page.EditSubject = WithoutBreaks(In.Text(40));
  Page.MemoMessage = UnifiedBreaks(In.Text(200));

  const TEncodedText Saved = SaveEMailBytes(Page, Encoding);
  const std::optional<TEMailFile> Read = LoadEMailBytes(Saved.Bytes);
  FUZZ_CHECK(Read.has_value());
  FUZZ_CHECK(Read->Page.EditAddress == AsStored(Page.EditAddress, Saved.Encoding));
  FUZZ_CHECK(Read->Page.EditSubject == AsStored(Page.EditSubject, Saved.Encoding));
  FUZZ_CHECK(Read->Page.MemoMessage == AsStored(Page.MemoMessage, Saved.Encoding));
  return 0;
}
