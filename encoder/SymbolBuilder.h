// The encoder the programs run. It makes exactly the symbols of TEncoder::EncodeSymbol (the
// step-by-step encoder in encoder/reference/: same segment, version, codewords, mask choice and
// modules) with less work, one file per concern:
//   ErrorCorrection  GF(256) tables and generators made once; EC codewords by a shift register
//                    with a product table per generator (clause 7.5);
//   Layout           a version's function patterns, format cells and data placement laid out
//                    once and reused; symbols held as bit-packed lines, as rows and as columns
//                    (clauses 6.3, 7.7, 7.9, 7.10);
//   MaskChoice       masks applied with a few word operations per line, the four penalty rules
//                    scored 64 cells at a time (clause 7.8);
//   SymbolBuilder    (this header) the segment of a text and the assembly of the whole symbol:
//                    version, bit stream, padding, codewords, mask (clauses 7.4, 7.4.10).
// Every level, L, M, Q and H, goes the same way.
//
// Thread safety: the shared tables are built on first use under std::call_once and never
// change afterwards; everything else lives in the caller's objects.
#pragma once

#include "encoder/ErrorCorrection.h"
#include "encoder/Layout.h"
#include "encoder/MaskChoice.h"
#include "encoder/Mode.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qr {

// ---- the whole route ----

// The one segment a text makes under an encoding option: the ECI assignment number in front of
// it (-1: no ECI header), its mode, its character count field value and its data bits (MSB
// first, the last byte padded with 0 bits). Two equal segments give the same symbol.
struct TSegment {
  int Eci = -1;
  TMode Mode = qmTerminator;
  int NumLetters = 0;
  int NumBits = 0;
  std::vector<std::uint8_t> Bits;

  bool operator==(const TSegment&) const = default;
};

TSegment MakeSegment(const std::u16string& Text, int EncodingOrdinal);

// Whether a numeric or alphanumeric segment carries the character C (digits; the
// 45-character set); the others are dropped. False for every other mode.
bool CarriesCharacter(TMode Mode, char16_t C);

// The symbol of a segment, bit-packed by rows: module (X, Y) is bit X % 64 of
// PackedRows[Y * LineWords + X / 64], 1 dark. When the segment needs more than version 40 holds,
// Side is 0, PackedRows empty and DataTooLong true.
struct TSymbol {
  int Version = 0;
  int MaskPattern = -1;
  int Side = 0;
  std::vector<std::uint64_t> PackedRows;
  bool DataTooLong = false;
  int NeededUnits = 0;
  int MaxUnits = 0; // at the requested level
  TCapacityUnit Units = cuBytes;
  TQRCodeECLevel Level = ecL; // the level the symbol was made at (boost may raise it)

  bool IsDark(int X, int Y) const {
    return ((PackedRows[static_cast<std::size_t>(Y) * LineWords +
                        (static_cast<std::size_t>(X) >> 6)] >>
             (X & 63)) &
            1u) != 0;
  }
};

// The symbol at Level in the smallest version that holds the segment at that level. With Boost
// the level is then raised as far as the segment still fits that same version.
void BuildSymbol(const TSegment& Segment, TSymbol& Out, TQRCodeECLevel Level = ecL,
                 bool Boost = false);

} // namespace qr
