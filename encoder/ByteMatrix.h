// The square cell matrix of a symbol: 0 light, 1 dark, 255 not yet assigned.
// Cell (X, Y) is column X, row Y, counted from the top-left corner.
#pragma once

#include <cstdint>
#include <vector>

// The encoder's byte arrays: bytes and rows of bytes.
using TByteArray = std::vector<std::uint8_t>;
using T2DByteArray = std::vector<TByteArray>;

class TByteMatrix {
public:
  // Every cell starts light (0).
  TByteMatrix(int Width, int Height);

  // The cell as 0 or 1, or -1 when it is still empty. No coordinate checks.
  int Get(int X, int Y) const {
    const std::uint8_t Byte = Bytes[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X)];
    return Byte == 255 ? -1 : Byte;
  }
  void SetBoolean(int X, int Y, bool Value) { Cell(X, Y) = Value ? 1 : 0; }
  // Stores the low 8 bits of Value.
  void SetInteger(int X, int Y, std::int32_t Value) {
    Cell(X, Y) = static_cast<std::uint8_t>(Value & 0xFF);
  }
  void Clear(std::uint8_t Value);
  // The rows themselves: GetArray()[Y][X] is cell (X, Y).
  const T2DByteArray& GetArray() const { return Bytes; }

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

private:
  std::uint8_t& Cell(int X, int Y) {
    return Bytes[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X)];
  }

  T2DByteArray Bytes;
  int FWidth;
  int FHeight;
};
