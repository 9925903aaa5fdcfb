#include "encoder/QRCodeSymbol.h"

#include "encoder/Encoder.h"
#include "encoder/QRCode.h"

T2DBooleanArray EncodeToGrid(const std::u16string& Text, int EncodingOrdinal,
                             TEncodeReport* Report) {
  const TErrorCorrectionLevel Level(TErrorCorrectionLevel::BitsL);
  TEncoder Encoder;
  TQRCode QRCode;
  Encoder.EncodeSymbol(Text, EncodingOrdinal, Level, QRCode);
  const TByteMatrix* Matrix = QRCode.Matrix();
  if (Report) {
    *Report = TEncodeReport{};
    Report->DataTooLong = Encoder.DataTooLong();
    Report->NeededUnits = Encoder.NeededUnits();
    Report->MaxUnits = Encoder.MaxUnits();
    Report->Units = Encoder.Units();
    if (Matrix) {
      Report->Version = QRCode.Version();
      Report->MaskPattern = QRCode.MaskPattern();
    }
  }
  if (!Matrix) {
    return {};
  }
  const auto& Cells = Matrix->GetArray(); // [row][column]
  T2DBooleanArray Grid(static_cast<std::size_t>(Matrix->Height()),
                       std::vector<bool>(static_cast<std::size_t>(Matrix->Width()), false));
  for (std::size_t X = 0; X < Grid.size(); ++X) {
    for (std::size_t Y = 0; Y < Grid[X].size(); ++Y) {
      Grid[X][Y] = Cells[Y][X] == 1;
    }
  }
  return Grid;
}

void TQRCodeSymbol::SetData(const std::u16string& Value) {
  if (Value != FData) {
    FData = Value;
    Regenerate();
  }
}

void TQRCodeSymbol::SetEncoding(TQRCodeEncoding Value) {
  if (Value != FEncoding) {
    FEncoding = Value;
    Regenerate();
  }
}

void TQRCodeSymbol::SetQuietZone(int Value) {
  if (Value != FQuietZone && Value >= 0 && Value <= MaxQuietZone) {
    FQuietZone = Value;
    Regenerate();
  }
}

bool TQRCodeSymbol::IsDark(int Row, int Column) const {
  const long long R = static_cast<long long>(Row) - FQuietZone;
  const long long C = static_cast<long long>(Column) - FQuietZone;
  const long long Side = static_cast<long long>(FElements.size());
  if (R < 0 || C < 0 || R >= Side || C >= Side) {
    return false;
  }
  return FElements[static_cast<std::size_t>(C)][static_cast<std::size_t>(R)];
}

void TQRCodeSymbol::Regenerate() {
  FElements = EncodeToGrid(FData, FEncoding, &FReport);
  FRows = static_cast<int>(FElements.size()) + 2 * FQuietZone;
  FColumns = FRows;
  ++FEncodeCount;
}
