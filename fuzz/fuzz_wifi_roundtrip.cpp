// .nwk writer -> reader for any network name, key, type and hidden switch: equal after the round
// trip, the escapes of ; : , " \ included; the type comes back as WPA, SAE, open, or WEP for any
// other index; an open network's key is not kept; name and key are cut to 999 characters; a name
// or key with a code above 455 is refused before anything is written.
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
  Page.WPA = In.Pick(4) == 0 ? In.Int32() : static_cast<int>(In.Pick(4));
  Page.Hidden = In.Pick(2) == 1;
  Page.SSID = Field(In);
  Page.NetworkKey = Field(In);
  const bool Open = Page.WPA == kWifiOpen;

  bool Fits = true;
  for (const char16_t C : Page.SSID + (Open ? std::u16string() : Page.NetworkKey))
    Fits &= C <= 455;
  const std::optional<std::string> Saved = SaveNetworkBytes(Page);
  FUZZ_CHECK(Saved.has_value() == Fits);
  if (!Saved) return 0;
  const std::optional<TWifiPage> Read = LoadNetworkBytes(*Saved);
  FUZZ_CHECK(Read.has_value());
  FUZZ_CHECK(Read->SSID == Page.SSID.substr(0, 999));
  FUZZ_CHECK(Read->NetworkKey == (Open ? std::u16string() : Page.NetworkKey.substr(0, 999)));
  const bool Known = Page.WPA == kWifiWPA || Page.WPA == kWifiSAE || Open;
  FUZZ_CHECK(Read->WPA == (Known ? Page.WPA : kWifiWEP));
  FUZZ_CHECK(Read->Hidden == Page.Hidden);
  return 0;
}
