// mailto: parser: any text is parsed without a fault into text that holds no escape it did not
// have, and every e-mail page the page writes comes back as the same page (the body's line breaks
// made CR LF, unpaired surrogates as U+FFFD, since the link carries UTF-8).
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/Payload.h"
#include "payload/PayloadParse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  TEMailPage Page;
  Page.EditAddress = In.Text(40);
  Page.EditSubject = In.Text(60);
  Page.MemoMessage = In.Text(200);
  const std::u16string Raw = In.Text(200);

  // Anything at all: no fault, and no more text than it was given.
  const TMailto Any = ParseMailto(u"mailto:" + Raw);
  FUZZ_CHECK(Any.Page.EditSubject.size() <= Raw.size());
  (void)ParseMailto(Raw);

  const std::u16string Link = EMailPayload(Page);
  FUZZ_CHECK(DetectKind(Link) == TKind::Email);
  const TParsedPayload Back = ParsePayload(Link);
  FUZZ_CHECK(Back.Kind == TKind::Email);
  FUZZ_CHECK(Back.NotKept.empty());
  FUZZ_CHECK(Back.EMail.EditAddress == WithoutLoneSurrogates(Page.EditAddress));
  FUZZ_CHECK(Back.EMail.EditSubject == WithoutLoneSurrogates(Page.EditSubject));
  FUZZ_CHECK(Back.EMail.MemoMessage == UnifiedBreaks(WithoutLoneSurrogates(Page.MemoMessage)));
  return 0;
}
