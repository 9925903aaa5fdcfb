// The encoder's Reed-Solomon coding (ISO/IEC 18004 clause 7.5.2 and Annex A), level L only
// in practice but general in the block sizes: GF(256) and the generator polynomials are tables
// made at compile time, and each block's EC codewords come from a shift register that adds one
// precomputed product row per data codeword. Gives exactly TEncoder::ComputeBlockEC and
// TEncoder::InterleaveBlocks.
//
// Thread safety: a generator's product table is built on first use under std::call_once and
// never changes afterwards.
#pragma once

#include <cstdint>

namespace qr {

// Writes the NumEC error-correction codewords (1..30) of the NumData data codewords to EC.
void ComputeBlockEC(const std::uint8_t* Data, int NumData, int NumEC, std::uint8_t* EC);

// Splits NumDataBytes data codewords into NumRSBlocks blocks (short blocks first), adds each
// block's EC codewords and writes the interleaved sequence of NumTotalBytes codewords to Out.
// False when the totals do not split into blocks of one EC length (nothing is written then).
bool InterleaveWithEC(const std::uint8_t* Data, int NumTotalBytes, int NumDataBytes,
                      int NumRSBlocks, std::uint8_t* Out);

} // namespace qr
