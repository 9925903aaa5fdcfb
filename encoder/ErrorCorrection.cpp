#include "encoder/ErrorCorrection.h"

#include <array>
#include <cstddef>
#include <mutex>

namespace qr {

namespace {

// ---- GF(256) with x^8 + x^4 + x^3 + x^2 + 1, computed at compile time ----

struct TFieldTables {
  std::array<std::uint8_t, 512>
      Exp{}; // alpha^i, twice over so that Log[a] + Log[b] needs no modulo
  std::array<std::uint8_t, 256> Log{};
};

constexpr TFieldTables MakeFieldTables() {
  TFieldTables T;
  int X = 1;
  for (int I = 0; I < 255; ++I) {
    T.Exp[static_cast<std::size_t>(I)] = static_cast<std::uint8_t>(X);
    T.Log[static_cast<std::size_t>(X)] = static_cast<std::uint8_t>(I);
    X <<= 1;
    if (X >= 256) X ^= 0x11D;
  }
  for (int I = 255; I < 512; ++I)
    T.Exp[static_cast<std::size_t>(I)] = T.Exp[static_cast<std::size_t>(I - 255)];
  return T;
}

constexpr TFieldTables Field = MakeFieldTables();

constexpr std::uint8_t Mul(std::uint8_t A, std::uint8_t B) {
  return A == 0 || B == 0 ? 0 : Field.Exp[static_cast<std::size_t>(Field.Log[A] + Field.Log[B])];
}

constexpr int MaxECPerBlock = 30;

// Generator polynomials of degree 0..30: the product of (x + alpha^i), i < degree, highest
// power first (ISO/IEC 18004 Annex A).
using TGenerators = std::array<std::array<std::uint8_t, MaxECPerBlock + 1>, MaxECPerBlock + 1>;

constexpr TGenerators MakeGenerators() {
  TGenerators G{};
  G[0][0] = 1;
  for (int D = 1; D <= MaxECPerBlock; ++D) {
    const std::uint8_t Root = Field.Exp[static_cast<std::size_t>(D - 1)];
    const auto& Prev = G[static_cast<std::size_t>(D - 1)];
    auto& Next = G[static_cast<std::size_t>(D)];
    Next[0] = 1;
    for (int K = 1; K <= D; ++K)
      Next[static_cast<std::size_t>(K)] =
          static_cast<std::uint8_t>((K < D ? Prev[static_cast<std::size_t>(K)] : 0) ^
                                    Mul(Prev[static_cast<std::size_t>(K - 1)], Root));
  }
  return G;
}

constexpr TGenerators Generators = MakeGenerators();

// For one generator degree D: row F holds F times the generator's coefficients 1..D, byte K of
// the row (K < D) at bits 8 (K mod 8) of word K / 8. One shift-register step is then a shift
// of the 32-byte register by one byte and an exclusive or with one row.
struct TProductTable {
  std::array<std::array<std::uint64_t, 4>, 256> Rows;
};

const TProductTable& ProductTable(int Degree) {
  static std::array<TProductTable, MaxECPerBlock + 1> Tables{};
  static std::array<std::once_flag, MaxECPerBlock + 1> Built;
  const auto D = static_cast<std::size_t>(Degree);
  std::call_once(Built[D], [D] {
    for (std::size_t F = 0; F < 256; ++F)
      for (std::size_t K = 0; K < D; ++K)
        Tables[D].Rows[F][K / 8] |=
            std::uint64_t{Mul(static_cast<std::uint8_t>(F), Generators[D][K + 1])} << (8 * (K % 8));
  });
  return Tables[D];
}

// The shift register after NumData steps: byte K (bits 8 (K mod 8) of R[K / 8]) is EC
// codeword K.
void ShiftRegister(const std::uint8_t* Data, int NumData, int NumEC, std::uint64_t R[4]) {
  const TProductTable& T = ProductTable(NumEC);
  std::uint64_t R0 = 0, R1 = 0, R2 = 0, R3 = 0;
  for (int I = 0; I < NumData; ++I) {
    const auto& Row = T.Rows[static_cast<std::size_t>(Data[I] ^ (R0 & 0xFF))];
    R0 = ((R0 >> 8) | (R1 << 56)) ^ Row[0];
    R1 = ((R1 >> 8) | (R2 << 56)) ^ Row[1];
    R2 = ((R2 >> 8) | (R3 << 56)) ^ Row[2];
    R3 = (R3 >> 8) ^ Row[3];
  }
  R[0] = R0;
  R[1] = R1;
  R[2] = R2;
  R[3] = R3;
}

// EC codeword K of a register filled by ShiftRegister.
std::uint8_t RegisterByte(const std::uint64_t R[4], int K) {
  return static_cast<std::uint8_t>(R[K / 8] >> (8 * (K % 8)));
}

} // namespace

void ComputeBlockEC(const std::uint8_t* Data, int NumData, int NumEC, std::uint8_t* EC) {
  std::uint64_t R[4];
  ShiftRegister(Data, NumData, NumEC, R);
  for (int K = 0; K < NumEC; ++K)
    EC[K] = RegisterByte(R, K);
}

bool InterleaveWithEC(const std::uint8_t* Data, int NumTotalBytes, int NumDataBytes,
                      int NumRSBlocks, std::uint8_t* Out) {
  if (NumRSBlocks <= 0) return false;
  const int LongBlocks = NumTotalBytes % NumRSBlocks;
  const int ShortBlocks = NumRSBlocks - LongBlocks;
  const int ShortData = NumDataBytes / NumRSBlocks;
  const int ECBytes = NumTotalBytes / NumRSBlocks - ShortData;
  if (ShortData * ShortBlocks + (ShortData + 1) * LongBlocks != NumDataBytes || ECBytes < 1 ||
      ECBytes > MaxECPerBlock)
    return false;

  // Data codeword J of block B goes to J x NumRSBlocks + B, except the extra last codeword
  // of a long block, which follows all the others; EC codeword J of block B goes to
  // NumDataBytes + J x NumRSBlocks + B.
  const std::uint8_t* Block = Data;
  for (int B = 0; B < NumRSBlocks; ++B) {
    const int Size = ShortData + (B < ShortBlocks ? 0 : 1);
    std::uint8_t* To = Out + B;
    for (int J = 0; J < ShortData; ++J, To += NumRSBlocks)
      *To = Block[J];
    if (B >= ShortBlocks) Out[ShortData * NumRSBlocks + (B - ShortBlocks)] = Block[ShortData];
    std::uint64_t R[4];
    ShiftRegister(Block, Size, ECBytes, R);
    To = Out + NumDataBytes + B;
    for (int K = 0; K < ECBytes; ++K, To += NumRSBlocks)
      *To = RegisterByte(R, K);
    Block += Size;
  }
  return true;
}

} // namespace qr
