#include "encoder/QRCodeSymbol.h"

namespace {

void Report(const qrfast::TSymbol& Symbol, TEncodeReport& Out) {
  Out = TEncodeReport{};
  Out.DataTooLong = Symbol.DataTooLong;
  Out.NeededUnits = Symbol.NeededUnits;
  Out.MaxUnits = Symbol.MaxUnits;
  Out.Units = Symbol.Units;
  if (!Symbol.DataTooLong) {
    Out.Version = Symbol.Version;
    Out.MaskPattern = Symbol.MaskPattern;
  }
}

} // namespace

T2DBooleanArray EncodeToGrid(const std::u16string& Text, int EncodingOrdinal,
                             TEncodeReport* Report) {
  qrfast::TSymbol Symbol;
  qrfast::BuildSymbol(qrfast::MakeSegment(Text, EncodingOrdinal), Symbol);
  if (Report) {
    ::Report(Symbol, *Report);
  }
  const auto Side = static_cast<std::size_t>(Symbol.Side);
  T2DBooleanArray Grid(Side, std::vector<bool>(Side, false));
  for (std::size_t X = 0; X < Side; ++X) {
    for (std::size_t Y = 0; Y < Side; ++Y) {
      Grid[X][Y] = Symbol.IsDark(static_cast<int>(X), static_cast<int>(Y));
    }
  }
  return Grid;
}

std::string SymbolContentBytes(const std::u16string& Text, int EncodingOrdinal) {
  const qrfast::TSegment Segment = qrfast::MakeSegment(Text, EncodingOrdinal);
  if (Segment.Mode == qmByte) {
    return std::string(Segment.Bits.begin(), Segment.Bits.end());
  }
  std::string Kept;
  for (const char16_t C : Text) {
    if (qrfast::CarriesCharacter(Segment.Mode, C)) {
      Kept.push_back(static_cast<char>(C));
    }
  }
  return Kept;
}

void TQRCodeSymbol::SetData(const std::u16string& Value) {
  if (Value != FData) {
    FData = Value;
    Regenerate(true);
  }
}

void TQRCodeSymbol::SetEncoding(TQRCodeEncoding Value) {
  if (Value != FEncoding) {
    FEncoding = Value;
    Regenerate(true);
  }
}

void TQRCodeSymbol::SetQuietZone(int Value) {
  if (Value != FQuietZone && Value >= 0 && Value <= MaxQuietZone) {
    FQuietZone = Value;
    Regenerate(false);
  }
}

void TQRCodeSymbol::Regenerate(bool SegmentMayChange) {
  // The first run always encodes, whatever changed: a fresh facade holds no symbol yet.
  if (FEncodeCount == 0 || SegmentMayChange) {
    qrfast::TSegment Segment = qrfast::MakeSegment(FData, FEncoding);
    if (FEncodeCount == 0 || !(Segment == FSegment)) {
      qrfast::TSymbol Symbol;
      qrfast::BuildSymbol(Segment, Symbol);
      Report(Symbol, FReport);
      FElements = std::move(Symbol.Rows);
      FSide = static_cast<unsigned>(Symbol.Side);
      FSegment = std::move(Segment);
      ++FEncodeCount;
    }
  }
  FRows = static_cast<int>(FSide) + 2 * FQuietZone;
  FColumns = FRows;
}
