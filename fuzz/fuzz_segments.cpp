// The segment parser of symbols read from pictures, on any data codewords and version: it never
// reads past the stream, answers the same twice, and what it answers holds together: the
// designator in force is one it read, and the bytes no more than the stream can carry.
#include "FuzzInput.h"
#include "render/SymbolRead.h"

#include <algorithm>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 1) return 0;
  const int Version = 1 + Data[0] % 40;
  const std::vector<std::uint8_t> Codewords(Data + 1, Data + Size);
  const std::optional<TSegmentsRead> Read = ReadSegments(Codewords, Version);
  const std::optional<TSegmentsRead> Again = ReadSegments(Codewords, Version);
  FUZZ_CHECK(Read.has_value() == Again.has_value());
  if (!Read) return 0;
  FUZZ_CHECK(Read->Bytes == Again->Bytes && Read->Ecis == Again->Ecis && Read->Eci == Again->Eci);
  FUZZ_CHECK(Read->Eci == -1 ||
             std::find(Read->Ecis.begin(), Read->Ecis.end(), Read->Eci) != Read->Ecis.end());
  // The densest mode is numeric: three digits in 10 bits.
  FUZZ_CHECK(Read->Bytes.size() * 10 <= Codewords.size() * 8 * 3 + 10);
  return 0;
}
