// .eml reader on any bytes: a refused file has fewer than two lines; an accepted one gives a
// single-line address and subject and a message of whole CR LF lines, and saves and reads back
// equal.
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/PayloadFiles.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  const std::optional<TEMailFile> Read = LoadEMailBytes(Bytes);
  if (!Read) {
    const std::u16string Text = LoadTextBytes(Bytes).Text;
    std::size_t Breaks = 0;
    for (std::size_t I = 0; I + 1 < Text.size(); ++I)
      Breaks += Text[I] == u'\r' && Text[I + 1] == u'\n';
    const bool OpenLast = !Text.empty() && !Text.ends_with(u"\r\n");
    FUZZ_CHECK(Breaks + (OpenLast ? 1 : 0) < 2);
    return 0;
  }
  const TEMailPage& Page = Read->Page;
  FUZZ_CHECK(WithoutBreaks(Page.EditAddress) == Page.EditAddress);
  FUZZ_CHECK(WithoutBreaks(Page.EditSubject) == Page.EditSubject);
  FUZZ_CHECK(Page.MemoMessage.empty() || Page.MemoMessage.ends_with(u"\r\n"));
  FUZZ_CHECK(OnlyCRLFBreaks(Page.MemoMessage));

  const std::optional<TEMailFile> Again =
      LoadEMailBytes(SaveEMailBytes(Page, Read->Encoding).Bytes);
  FUZZ_CHECK(Again.has_value());
  FUZZ_CHECK(Again->Page.EditAddress == Page.EditAddress);
  FUZZ_CHECK(Again->Page.EditSubject == Page.EditSubject);
  FUZZ_CHECK(Again->Page.MemoMessage == Page.MemoMessage);
  return 0;
}
