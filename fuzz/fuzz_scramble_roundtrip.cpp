// ScrambleText -> UnscrambleText gives back every text of codes 0..455 for any target length, and
// the record keeps to its character ranges; a text with a higher code is refused.
#include "FuzzInput.h"
#include "platform/Messages.h"
#include "util/MyFunctions.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  static const bool Quiet = (SetMessageHook([](const std::u16string&) {}), true);
  (void)Quiet;
  TFuzzInput In(Data, Size);
  const int Length = In.Pick(8) == 0 ? In.Int32() : static_cast<int>(In.Unit() % 1100);
  const bool Reversible = In.Pick(8) != 0;
  std::u16string Text;
  const std::size_t Count = In.Byte() * 2u;
  for (std::size_t I = 0; I < Count && !In.Empty(); ++I)
    Text += Reversible ? static_cast<char16_t>(In.Unit() % 456) : In.Char();

  bool Fits = true;
  for (const char16_t C : Text)
    Fits &= C <= 455;
  const std::optional<std::u16string> Record = ScrambleText(Text, Length);
  FUZZ_CHECK(Record.has_value() == Fits);
  if (!Record) return 0;

  FUZZ_CHECK(Record->size() >= 3 + 3);
  const long long Wanted = Length > 999 ? 999 : Length;
  FUZZ_CHECK(static_cast<long long>(Record->size()) >= Wanted);
  for (std::size_t I = 0; I < Record->size(); ++I) {
    const char16_t C = (*Record)[I];
    if (I < 3) FUZZ_CHECK(C >= 148 && C <= 157);
    FUZZ_CHECK(C >= 35 && C <= 174);
  }
  FUZZ_CHECK(UnscrambleText(*Record) == Text);
  return 0;
}
