// TBitArray: a growable bit string. Bit i lives in word i / 32 at weight 2^(i % 32), so
// inside a word the string runs from the least significant bit upward; numbers are
// appended most significant bit first (ISO/IEC 18004 writes every field that way).
#pragma once

#include "encoder/ByteMatrix.h" // TByteArray

#include <cstdint>
#include <vector>

// The step-by-step encoder's 32-bit integer arrays.
using TIntegerArray = std::vector<std::int32_t>;

class TBitArray {
public:
  // An empty string with one zero word of room.
  TBitArray();
  // An empty string with room for InitialBits bits; the size still starts at 0.
  explicit TBitArray(int InitialBits);

  int GetSize() const { return Size; }
  // Bytes the bits occupy, the last one possibly partial.
  int GetSizeInBytes() const { return (Size + 7) / 8; }
  // The storage words; the array never shrinks.
  const std::vector<std::uint32_t>& GetBits() const { return Bits; }

  // Bit I; I must lie inside the word array (below 32 x word count).
  bool Get(int I) const { return ((Bits[static_cast<std::size_t>(I) >> 5] >> (I & 31)) & 1u) != 0; }
  // Sets bit Index to 1 without changing the size; Index must lie inside the word array.
  void SetBit(int Index) { Bits[static_cast<std::size_t>(Index) >> 5] |= 1u << (Index & 31); }

  void AppendBit(bool Bit);
  // Appends the NumBits low bits of Value, bit NumBits - 1 first (NumBits above 32 gives
  // leading zero bits).
  void AppendBits(std::uint32_t Value, int NumBits);
  // Appends all bits of Other in order; Other is unchanged.
  void AppendBitArray(const TBitArray& Other);
  // Writes NumBytes bytes into Source[Offset ...]; byte k takes the 8 bits from
  // BitOffset + 8k, the first of them as the most significant. Source is not resized.
  void ToBytes(int BitOffset, TByteArray& Source, int Offset, int NumBytes) const;
  // Word-wise exclusive or with Other; nothing happens when the word counts differ.
  void XorOperation(const TBitArray& Other);

private:
  void ReserveBits(int N);

  std::vector<std::uint32_t> Bits;
  int Size = 0;
};
