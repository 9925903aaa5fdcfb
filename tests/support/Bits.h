// Test helpers for bit strings: codewords in, a bit buffer out, and a buffer as '0'/'1' text.
#pragma once

#include "encoder/reference/BitArray.h"

#include <cstdint>
#include <string>
#include <vector>

// The codewords appended 8 bits each, most significant bit first.
template <typename TCodeword> TBitArray BitsOfCodewords(const std::vector<TCodeword>& Codewords) {
  TBitArray Bits;
  for (const TCodeword C : Codewords)
    Bits.AppendBits(static_cast<std::uint32_t>(C), 8);
  return Bits;
}
inline TBitArray BitsOf(const std::vector<int>& Codewords) {
  return BitsOfCodewords(Codewords);
}

// Bits 0 .. size - 1 as '0' and '1'.
inline std::string BitString(const TBitArray& A) {
  std::string S;
  for (int I = 0; I < A.GetSize(); ++I)
    S += A.Get(I) ? '1' : '0';
  return S;
}
