// .txt writer -> reader: any memo text in any of the encodings comes back as it was (line breaks
// CR LF), and the reader reports the encoding that was really written.
#include "FuzzInput.h"
#include "Normalise.h"
#include "payload/PayloadFiles.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const TTextEncoding Encoding = PickEncoding(In.Byte());
  const std::u16string Memo = UnifiedBreaks(In.Text(255));
  const TEncodedText Saved = SaveTextBytes(Memo, Encoding);
  const TDecodedText Read = LoadTextBytes(Saved.Bytes);
  FUZZ_CHECK(Read.Text == AsStored(Memo, Saved.Encoding));
  // A file without a mark and without high bytes reads as the 8-bit code page, which is the same
  // text.
  if (Read.Encoding != Saved.Encoding)
    FUZZ_CHECK(Saved.Encoding == TTextEncoding::teUTF8NoBOM &&
               Read.Encoding == TTextEncoding::teAnsi);
  return 0;
}
