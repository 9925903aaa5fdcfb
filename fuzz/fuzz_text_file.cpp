// .txt reader on any bytes: the text has only CR LF breaks, and saving it again in the encoding the
// reader reported and reading that back gives the same text.
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/PayloadFiles.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  const TDecodedText Read = LoadTextBytes(Bytes);
  FUZZ_CHECK(OnlyCRLFBreaks(Read.Text));
  const TEncodedText Saved = SaveTextBytes(Read.Text, Read.Encoding);
  FUZZ_CHECK(LoadTextBytes(Saved.Bytes).Text == Read.Text);
  return 0;
}
