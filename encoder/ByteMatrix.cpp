#include "encoder/ByteMatrix.h"

#include <algorithm>

TByteMatrix::TByteMatrix(int Width, int Height)
    : Bytes(static_cast<std::size_t>(std::max(Height, 0)),
            TByteArray(static_cast<std::size_t>(std::max(Width, 0)), 0)),
      FWidth(Width), FHeight(Height) {}

void TByteMatrix::Clear(std::uint8_t Value) {
  for (TByteArray& Row : Bytes)
    std::fill(Row.begin(), Row.end(), Value);
}
