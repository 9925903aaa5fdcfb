#include "encoder/reference/QRCode.h"

void TQRCode::SetECLevel(const TErrorCorrectionLevel& NewECLevel) {
  auto Level = std::make_unique<TErrorCorrectionLevel>();
  Level->Assign(NewECLevel);
  FECLevel = std::move(Level);
}

void TQRCode::SetAll(int VersionNum, int NumBytes, int NumDataBytes, int NumRSBlocks,
                     int NumECBytes, int MatrixWidth) {
  FVersion = VersionNum;
  FNumTotalBytes = NumBytes;
  FNumDataBytes = NumDataBytes;
  FNumRSBlocks = NumRSBlocks;
  FNumECBytes = NumECBytes;
  FMatrixWidth = MatrixWidth;
}

int TQRCode::At(int X, int Y) {
  if (!FMatrix || X < 0 || Y < 0 || X >= FMatrix->Width() || Y >= FMatrix->Height()) {
    FQRCodeError = true;
    return -1;
  }
  const int Value = FMatrix->Get(X, Y);
  if (Value != 0 && Value != 1) {
    FQRCodeError = true;
  }
  return Value;
}

bool TQRCode::IsValid() const {
  return FECLevel && FVersion != -1 && FNumTotalBytes != -1 && FNumDataBytes != -1 &&
         FNumECBytes != -1 && FNumRSBlocks != -1 && FMatrixWidth != -1 &&
         IsValidMaskPattern(FMaskPattern) && FNumDataBytes + FNumECBytes == FNumTotalBytes &&
         FMatrix && FMatrix->Width() == FMatrixWidth && FMatrix->Width() == FMatrix->Height();
}
