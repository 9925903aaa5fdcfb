// UnscrambleText on any text: it answers a text or refuses, and what it answers scrambles back to
// itself when its codes allow.
#include "FuzzInput.h"
#include "util/MyFunctions.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  std::u16string Record;
  // Mostly characters of the record's own ranges, so that the reader gets past its header checks.
  while (!In.Empty()) {
    const std::uint8_t Kind = In.Byte();
    if (Kind < 64)
      Record += static_cast<char16_t>(148 + In.Byte() % 10);
    else if (Kind < 224)
      Record += static_cast<char16_t>(35 + In.Byte() % 140);
    else
      Record += In.Char();
  }
  const std::optional<std::u16string> Text = UnscrambleText(Record);
  if (!Text) return 0;
  bool Fits = true;
  for (const char16_t C : *Text) {
    FUZZ_CHECK(C <= 999); // (999 - 0) / 1 is the largest a three-digit group can give
    Fits &= C <= 455;
  }
  if (Fits) FUZZ_CHECK(UnscrambleText(ScrambleText(*Text, 50).value()) == *Text);
  return 0;
}
