#include "render/Code.h"

#include "encoder/QRCodeSymbol.h"

#include <QLocale>
#include <algorithm>
#include <string>

namespace {

std::string_view UnitsName(TCapacityUnit Units) {
  switch (Units) {
  case cuDigits:
    return "digits";
  case cuCharacters:
    return "characters";
  case cuBytes:
    break;
  }
  return "bytes";
}

} // namespace

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

TCode MakeCode(const std::u16string& Payload, TQRCodeEncoding Encoding, const TCodeStyle& Style,
               TQRCodeECLevel Level, bool Boost) {
  TQRCodeSymbol Symbol;
  // Set before the data, so that the one encode of the text is made at the right level.
  if (Level != ecL) Symbol.SetECLevel(Level);
  if (Boost) Symbol.SetBoost(true);
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
  Code.AskedLevel = Symbol.ECLevel();
  Code.Level = Symbol.UsedECLevel();
  if (Code.Version != 0) Code.Bytes = SymbolContentBytes(Payload, Encoding);
  return Code;
}

TQRCodeEncoding RecordEncoding(TQRCodeEncoding Chosen, const std::u16string& Record, bool VCard) {
  if (Chosen == qrUTF8BOM) return qrUTF8NoBOM;
  const bool BeyondAscii =
      std::any_of(Record.begin(), Record.end(), [](char16_t Unit) { return Unit > 0x7F; });
  return VCard && Chosen == qrAuto && BeyondAscii ? qrUTF8NoBOM : Chosen;
}

std::string TooLongMessage(const TCode& Code, TMessageForm Form) {
  const bool Note = Form == TMessageForm::Note;
  const auto Number = [Note](int N) {
    return Note ? QLocale(QLocale::English).toString(N).toStdString() : std::to_string(N);
  };
  std::string Message = Note ? "Too" : "too";
  Message += " long for a QR code";
  if (Code.AskedLevel != ecL) Message += std::string(" at level ") + ECLevelLetter(Code.AskedLevel);
  Message += ": " + Number(Code.NeededUnits) + " ";
  Message += UnitsName(Code.Units);
  Message += "; at most " + Number(Code.MaxUnits) + " fit";
  if (Code.AskedLevel != ecL) Message += " (a lower level holds more)";
  if (Note) Message += '.';
  return Message;
}
