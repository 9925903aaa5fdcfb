// Our encoder on the race's terms, through the symbol facade exactly as a generation pass
// drives it: a fresh TQRCodeSymbol, Data, then Encoding forced to the workload's mode, then
// the whole grid read through IsDark (the quiet zone included, as the painter reads it).
#pragma once

#include "Workloads.h"
#include "encoder/QRCodeSymbol.h"

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
TGridShape EncodeOurs(const std::u16string& Text, TQRCodeEncoding Encoding, TVisit&& Visit) {
  TQRCodeSymbol Symbol;
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

// One whole generation pass for a payload: a fresh facade with its three writes, then every
// pixel of a Rows x Columns picture painted singly from IsDark. The picture is a plain RGB
// buffer standing in for the pass bitmap.
inline std::vector<std::uint32_t> GenerationPass(const std::u16string& Text,
                                                 TQRCodeEncoding Encoding, int QuietZone) {
  constexpr std::uint32_t MatrixColor = 0x00000000; // black
  constexpr std::uint32_t BackColor = 0x00FFFFFF;   // white
  TQRCodeSymbol Symbol;
  Symbol.SetData(Text);
  Symbol.SetEncoding(Encoding);
  Symbol.SetQuietZone(QuietZone);
  const int Rows = Symbol.Rows();
  const int Columns = Symbol.Columns();
  // A new bitmap per pass, white when created, like the pass's own.
  std::vector<std::uint32_t> Picture(
      static_cast<std::size_t>(Rows) * static_cast<std::size_t>(Columns), 0x00FFFFFF);
  for (int r = 0; r < Rows; ++r)
    for (int c = 0; c < Columns; ++c)
      Picture[static_cast<std::size_t>(r) * static_cast<std::size_t>(Columns) +
              static_cast<std::size_t>(c)] = Symbol.IsDark(r, c) ? MatrixColor : BackColor;
  return Picture;
}

} // namespace marbeck_bench
