#include "render/Code.h"

#include "encoder/QRCodeSymbol.h"

#include <QLocale>
#include <algorithm>
#include <string>

namespace {

TMessage UnitsName(TCapacityUnit Units) {
  switch (Units) {
  case cuDigits:
    return Say(QT_TRANSLATE_NOOP("Messages", "digits"));
  case cuCharacters:
    return Say(QT_TRANSLATE_NOOP("Messages", "characters"));
  case cuBytes:
    break;
  }
  return Say(QT_TRANSLATE_NOOP("Messages", "bytes"));
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

TMessage TooLongMessage(const TCode& Code, TMessageForm Form) {
  const bool Note = Form == TMessageForm::Note;
  const auto Number = [Note](int N) {
    return Note ? Plain(QLocale(QLocale::English).toString(N).toStdU16String())
                : PlainUtf8(std::to_string(N));
  };
  // The command line's form is English only: it is not marked for translation.
  if (Code.AskedLevel == ecL)
    return Say(Note
                   ? QT_TRANSLATE_NOOP("Messages", "Too long for a QR code: %1 %2; at most %3 fit.")
                   : "too long for a QR code: %1 %2; at most %3 fit",
               {Number(Code.NeededUnits), UnitsName(Code.Units), Number(Code.MaxUnits)});
  return Say(Note ? QT_TRANSLATE_NOOP("Messages", "Too long for a QR code at level %1: %2 %3; at "
                                                  "most %4 fit (a lower level holds more).")
                  : "too long for a QR code at level %1: %2 %3; at most %4 fit (a lower level "
                    "holds more)",
             {PlainUtf8(std::string(1, ECLevelLetter(Code.AskedLevel))), Number(Code.NeededUnits),
              UnitsName(Code.Units), Number(Code.MaxUnits)});
}
