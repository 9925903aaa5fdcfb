// .eml reader on any bytes: a refused file has fewer than two lines; an accepted one gives a
// single-line address and subject and a message whose only breaks are CR LF, and saves and reads
// back equal.
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/PayloadFiles.h"

#include <cstdint>
#include <string_view>

namespace {
std::size_t CRLFCount(const std::u16string& Text) {
  std::size_t Count = 0;
  for (std::size_t I = 0; I + 1 < Text.size(); ++I)
    Count += Text[I] == u'\r' && Text[I + 1] == u'\n';
  return Count;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  const std::optional<TEMailFile> Read = LoadEMailBytes(Bytes);
  const std::u16string Text = LoadTextBytes(Bytes).Text;
  const std::size_t Lines = CRLFCount(Text) + (!Text.empty() && !Text.ends_with(u"\r\n") ? 1 : 0);
  if (!Read) {
    FUZZ_CHECK(Lines < 2);
    return 0;
  }
  const TEMailPage& Page = Read->Page;
  FUZZ_CHECK(WithoutBreaks(Page.EditAddress) == Page.EditAddress);
  FUZZ_CHECK(WithoutBreaks(Page.EditSubject) == Page.EditSubject);
  FUZZ_CHECK(OnlyCRLFBreaks(Page.MemoMessage));
  // The message is the file's lines but the last two: one break fewer than it has lines.
  FUZZ_CHECK(CRLFCount(Page.MemoMessage) == (Lines > 3 ? Lines - 3 : 0));

  const std::optional<TEMailFile> Again =
      LoadEMailBytes(SaveEMailBytes(Page, Read->Encoding).Bytes);
  FUZZ_CHECK(Again.has_value());
  FUZZ_CHECK(Again->Page.EditAddress == Page.EditAddress);
  FUZZ_CHECK(Again->Page.EditSubject == Page.EditSubject);
  FUZZ_CHECK(Again->Page.MemoMessage == Page.MemoMessage);
  return 0;
}
