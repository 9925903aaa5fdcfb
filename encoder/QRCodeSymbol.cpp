#include "encoder/QRCodeSymbol.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

void Report(const qr::TSymbol& Symbol, TEncodeReport& Out) {
  Out = TEncodeReport{};
  Out.DataTooLong = Symbol.DataTooLong;
  Out.NeededUnits = Symbol.NeededUnits;
  Out.MaxUnits = Symbol.MaxUnits;
  Out.Units = Symbol.Units;
  Out.Level = Symbol.Level;
  if (!Symbol.DataTooLong) {
    Out.Version = Symbol.Version;
    Out.MaskPattern = Symbol.MaskPattern;
  }
}

} // namespace

T2DBooleanArray EncodeToGrid(const std::u16string& Text, int EncodingOrdinal, TEncodeReport* Report,
                             TQRCodeECLevel Level, bool Boost) {
  qr::TSymbol Symbol;
  qr::BuildSymbol(qr::MakeSegment(Text, EncodingOrdinal), Symbol, Level, Boost);
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
  const qr::TSegment Segment = qr::MakeSegment(Text, EncodingOrdinal);
  if (Segment.Mode == qmByte) {
    return std::string(Segment.Bits.begin(), Segment.Bits.end());
  }
  std::string Kept;
  for (const char16_t C : Text) {
    if (qr::CarriesCharacter(Segment.Mode, C)) {
      Kept.push_back(static_cast<char>(C));
    }
  }
  return Kept;
}

void TQRCodeSymbol::ReadRow(int Row, std::uint8_t* Out) const {
  const auto Columns = static_cast<std::size_t>(FColumns);
  std::fill_n(Out, Columns, std::uint8_t{0});
  const unsigned R = static_cast<unsigned>(Row) - static_cast<unsigned>(FQuietZone);
  if (R >= FSide) return;
  std::uint8_t* Cells = Out + FQuietZone;
  const std::uint64_t* Words = FElements.data() + std::size_t{R} * qr::LineWords;
  // Eight modules at a time: each byte of a word spread into eight bytes of 0 or 1, laid out in
  // memory order (module C + k in the k-th byte).
  static constexpr auto Spread = [] {
    std::array<std::uint64_t, 256> Table{};
    for (unsigned Byte = 0; Byte < 256; ++Byte)
      for (unsigned Bit = 0; Bit < 8; ++Bit) {
        const unsigned Place = std::endian::native == std::endian::little ? Bit : 7 - Bit;
        if ((Byte >> Bit) & 1u) Table[Byte] |= std::uint64_t{1} << (8 * Place);
      }
    return Table;
  }();
  unsigned C = 0;
  for (; C + 8 <= FSide; C += 8) {
    const std::uint64_t Eight = Spread[static_cast<std::uint8_t>(Words[C >> 6] >> (C & 63))];
    std::memcpy(Cells + C, &Eight, sizeof Eight);
  }
  for (; C < FSide; ++C)
    Cells[C] = static_cast<std::uint8_t>((Words[C >> 6] >> (C & 63)) & 1u);
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

void TQRCodeSymbol::SetECLevel(TQRCodeECLevel Value) {
  if (Value != FECLevel && Value <= ecH) {
    FECLevel = Value;
    Regenerate(true);
  }
}

void TQRCodeSymbol::SetBoost(bool Value) {
  if (Value != FBoost) {
    FBoost = Value;
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
    qr::TSegment Segment = qr::MakeSegment(FData, FEncoding);
    if (FEncodeCount == 0 || !(Segment == FSegment) || FECLevel != FSymbolECLevel ||
        FBoost != FSymbolBoost) {
      qr::TSymbol Symbol;
      qr::BuildSymbol(Segment, Symbol, FECLevel, FBoost);
      FSymbolECLevel = FECLevel;
      FSymbolBoost = FBoost;
      Report(Symbol, FReport);
      FElements = std::move(Symbol.PackedRows);
      FSide = static_cast<unsigned>(Symbol.Side);
      FSegment = std::move(Segment);
      ++FEncodeCount;
    }
  }
  FRows = static_cast<int>(FSide) + 2 * FQuietZone;
  FColumns = FRows;
}
