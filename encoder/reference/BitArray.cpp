#include "encoder/reference/BitArray.h"

TBitArray::TBitArray() : Bits(1, 0u) {}

TBitArray::TBitArray(int InitialBits)
    : Bits(static_cast<std::size_t>(InitialBits > 0 ? (InitialBits + 31) / 32 : 0), 0u) {}

void TBitArray::ReserveBits(int N) {
  if (static_cast<long long>(Bits.size()) * 32 < N) {
    Bits.resize(static_cast<std::size_t>((N + 31) / 32), 0u);
  }
}

void TBitArray::AppendBit(bool Bit) {
  ReserveBits(Size + 1);
  if (Bit) {
    SetBit(Size);
  }
  ++Size;
}

void TBitArray::AppendBits(std::uint32_t Value, int NumBits) {
  ReserveBits(Size + NumBits);
  for (int NumBitsLeft = NumBits; NumBitsLeft > 0; --NumBitsLeft) {
    // A count above 32 appends leading zeros rather than shifting out of range.
    if (NumBitsLeft <= 32 && ((Value >> (NumBitsLeft - 1)) & 1u) != 0) {
      SetBit(Size);
    }
    ++Size;
  }
}

void TBitArray::AppendBitArray(const TBitArray& Other) {
  const int OtherSize = Other.Size; // read first: Other may be this buffer
  ReserveBits(Size + OtherSize);
  for (int I = 0; I < OtherSize; ++I) {
    if (Other.Get(I)) {
      SetBit(Size);
    }
    ++Size;
  }
}

void TBitArray::ToBytes(int BitOffset, TByteArray& Source, int Offset, int NumBytes) const {
  for (int K = 0; K < NumBytes; ++K) {
    unsigned TheByte = 0;
    for (int J = 0; J < 8; ++J) {
      if (Get(BitOffset)) {
        TheByte |= 1u << (7 - J);
      }
      ++BitOffset;
    }
    Source[static_cast<std::size_t>(Offset + K)] = static_cast<std::uint8_t>(TheByte);
  }
}

void TBitArray::XorOperation(const TBitArray& Other) {
  if (Bits.size() != Other.Bits.size()) {
    return;
  }
  for (std::size_t I = 0; I < Bits.size(); ++I) {
    Bits[I] ^= Other.Bits[I];
  }
}
