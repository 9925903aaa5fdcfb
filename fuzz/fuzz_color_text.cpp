// Colour text: any text reads as a colour or is refused; every colour value written as text reads
// back as the same value.
#include "FuzzInput.h"
#include "util/ColorText.h"

#include <cstdint>

namespace {
bool Hex8(const std::u16string& T) {
  if (T.size() != 9 || T[0] != u'$') return false;
  for (std::size_t I = 1; I < 9; ++I)
    if (!((T[I] >= u'0' && T[I] <= u'9') || (T[I] >= u'A' && T[I] <= u'F'))) return false;
  return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const TColor Value = static_cast<TColor>(In.Int32());
  const std::u16string Written = ColorToText(Value);
  FUZZ_CHECK(Hex8(Written) || Written.starts_with(u"cl"));
  FUZZ_CHECK(TextToColor(Written) == Value);

  // Any text, and the same text in other letter cases.
  std::u16string Text;
  while (!In.Empty())
    Text += In.Pick(2) ? static_cast<char16_t>(In.Byte() % 0x80) : In.Char();
  const std::optional<TColor> Read = TextToColor(Text);
  if (Read) FUZZ_CHECK(TextToColor(ColorToText(*Read)) == Read);
  std::u16string Upper = Text;
  for (char16_t& C : Upper)
    if (C >= u'a' && C <= u'z') C = static_cast<char16_t>(C - 32);
  FUZZ_CHECK(TextToColor(Upper) == Read); // names and hexadecimal digits in any case
  return 0;
}
