#include "render/Code.h"

#include "encoder/QRCodeSymbol.h"

TModuleGrid GridOf(const TQRCodeSymbol& Symbol) {
  TModuleGrid Grid;
  const int Side = Symbol.Rows();
  Grid.Side = Side;
  Grid.Cells.resize(static_cast<std::size_t>(Side) * static_cast<std::size_t>(Side));
  const auto Width = static_cast<std::size_t>(Side);
  for (int Row = 0; Row < Side; ++Row)
    Symbol.ReadRow(Row, Grid.Cells.data() + static_cast<std::size_t>(Row) * Width);
  return Grid;
}

TCode MakeCode(const std::u16string& Payload, TQRCodeEncoding Encoding, const TCodeStyle& Style) {
  TQRCodeSymbol Symbol;
  Symbol.SetData(Payload);
  Symbol.SetEncoding(Encoding);
  Symbol.SetQuietZone(Style.QuietZoneWithFrame());

  TCode Code;
  Code.Grid = GridOf(Symbol);
  Code.Version = Symbol.Version();
  Code.DataTooLong = Symbol.DataTooLong();
  Code.NeededUnits = Symbol.NeededUnits();
  Code.MaxUnits = Symbol.MaxUnits();
  Code.Units = Symbol.Units();
  if (Code.Version != 0) Code.Bytes = SymbolContentBytes(Payload, Encoding);
  return Code;
}
