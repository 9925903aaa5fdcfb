// .nwk reader on any bytes: a refused file is no scrambled record; an accepted one gives a name and
// key of at most 999 characters (no key for an open network) and one of the four types, and what
// can be saved again reads back equal, the hidden switch included.
#include "FuzzInput.h"
#include "payload/PayloadFiles.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  const std::optional<TWifiPage> Read = LoadNetworkBytes(Bytes);
  if (!Read) return 0;
  FUZZ_CHECK(Read->SSID.size() <= 999 && Read->NetworkKey.size() <= 999);
  FUZZ_CHECK(Read->WPA >= kWifiWPA && Read->WPA <= kWifiOpen);
  FUZZ_CHECK(Read->WPA != kWifiOpen || Read->NetworkKey.empty());
  bool Fits = true;
  for (const char16_t C : Read->SSID + Read->NetworkKey)
    Fits &= C <= 455;
  const std::optional<std::string> Saved = SaveNetworkBytes(*Read);
  FUZZ_CHECK(Saved.has_value() == Fits);
  if (Saved) FUZZ_CHECK(LoadNetworkBytes(*Saved) == Read);
  return 0;
}
