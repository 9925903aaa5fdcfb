// .nwk writer -> reader for any network name, key and type: equal after the round trip, the escapes
// of ; : , " \ included; the type comes back as 0 (WPA) or 1 (WEP); name and key are cut to 999
// characters; a name or key with a code above 455 is refused before anything is written.
#include "FuzzInput.h"
#include "payload/PayloadFiles.h"

#include <cstdint>

namespace {
std::u16string Field(TFuzzInput& In) {
  const bool Scramblable = In.Pick(8) != 0;
  std::u16string Out;
  const std::size_t Length = In.Pick(4) == 0 ? In.Unit() % 1200 : In.Byte() % 64;
  for (std::size_t I = 0; I < Length && !In.Empty(); ++I) {
    const char16_t C = In.Char();
    Out += Scramblable ? static_cast<char16_t>(C % 456) : C;
  }
  return Out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  TWifiPage Page;
  Page.WPA = In.Pick(4) == 0 ? In.Int32() : static_cast<int>(In.Pick(2));
  Page.SSID = Field(In);
  Page.NetworkKey = Field(In);

  bool Fits = true;
  for (const char16_t C : Page.SSID + Page.NetworkKey)
    Fits &= C <= 455;
  const std::optional<std::string> Saved = SaveNetworkBytes(Page);
  FUZZ_CHECK(Saved.has_value() == Fits);
  if (!Saved) return 0;
  const std::optional<TWifiPage> Read = LoadNetworkBytes(*Saved);
  FUZZ_CHECK(Read.has_value());
  FUZZ_CHECK(Read->SSID == Page.SSID.substr(0, 999));
  FUZZ_CHECK(Read->NetworkKey == Page.NetworkKey.substr(0, 999));
  FUZZ_CHECK(Read->WPA == (Page.WPA == 0 ? 0 : 1));
  return 0;
}
