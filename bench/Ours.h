// Our encoder on the race's terms, through the symbol facade exactly as a generation pass
// drives it: a fresh TQRCodeSymbol, the level (when not L), Data, then Encoding forced to the
// workload's mode, then the whole grid read through IsDark (the quiet zone included, as the painter
// reads it).
#pragma once

#include "encoder/QRCodeSymbol.h"
#include "support/Workloads.h"

#include <cstdint>
#include <string>
#include <vector>

namespace marbeck_bench {

inline TQRCodeEncoding ForcedEncoding(TSegmentMode Mode) {
  switch (Mode) {
  case TSegmentMode::Numeric:
    return qrNumeric;
  case TSegmentMode::Alphanumeric:
    return qrAlphanumeric;
  case TSegmentMode::Byte:
    break;
  }
  return qrISO88591;
}

template <class TVisit>
TGridShape EncodeOurs(const std::u16string& Text, TQRCodeEncoding Encoding, TQRCodeECLevel Level,
                      TVisit&& Visit) {
  TQRCodeSymbol Symbol;
  if (Level != ecL) Symbol.SetECLevel(Level);
  Symbol.SetData(Text);
  Symbol.SetEncoding(Encoding);
  const int Rows = Symbol.Rows();
  const int Columns = Symbol.Columns();
  for (int r = 0; r < Rows; ++r)
    for (int c = 0; c < Columns; ++c)
      Visit(r, c, Symbol.IsDark(r, c));
  TGridShape Shape;
  Shape.Side = Rows;
  Shape.Offset = Symbol.QuietZone();
  Shape.Version = Symbol.Version();
  return Shape;
}

} // namespace marbeck_bench
