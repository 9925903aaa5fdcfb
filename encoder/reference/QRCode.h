// TQRCode: the result record of one encode run.
#pragma once

#include "encoder/ByteMatrix.h"
#include "encoder/Mode.h"
#include "encoder/Version.h"

#include <memory>

class TQRCode {
public:
  TQRCode() = default;

  bool QRCodeError() const { return FQRCodeError; }
  TMode Mode() const { return FMode; }
  int Version() const { return FVersion; }
  int NumDataBytes() const { return FNumDataBytes; }
  int NumTotalBytes() const { return FNumTotalBytes; }
  int NumECBytes() const { return FNumECBytes; }
  int NumRSBlocks() const { return FNumRSBlocks; }
  int MatrixWidth() const { return FMatrixWidth; }
  int MaskPattern() const { return FMaskPattern; }
  // nullptr until a level is set.
  const TErrorCorrectionLevel* ECLevel() const { return FECLevel.get(); }
  // nullptr until a matrix is set.
  const TByteMatrix* Matrix() const { return FMatrix.get(); }

  void SetMode(TMode Value) { FMode = Value; }
  void SetVersion(int Value) { FVersion = Value; }
  void SetMaskPattern(int Value) { FMaskPattern = Value; }
  // Keeps a private copy of the level's format bits.
  void SetECLevel(const TErrorCorrectionLevel& NewECLevel);
  // Takes ownership of the matrix, releasing the one held before.
  void SetMatrix(std::unique_ptr<TByteMatrix> NewMatrix) { FMatrix = std::move(NewMatrix); }
  void SetAll(int VersionNum, int NumBytes, int NumDataBytes, int NumRSBlocks, int NumECBytes,
              int MatrixWidth);

  // The cell at column X, row Y: 0 light, 1 dark, -1 unset (which also sets the error
  // flag, as does a missing matrix).
  int At(int X, int Y);

  static bool IsValidMaskPattern(int MaskPattern) { return MaskPattern >= 0 && MaskPattern < 8; }
  bool IsValid() const;

private:
  TMode FMode = qmTerminator;
  std::unique_ptr<TErrorCorrectionLevel> FECLevel;
  int FVersion = -1;
  int FMatrixWidth = -1;
  int FMaskPattern = -1;
  int FNumTotalBytes = -1;
  int FNumDataBytes = -1;
  int FNumECBytes = -1;
  int FNumRSBlocks = -1;
  std::unique_ptr<TByteMatrix> FMatrix;
  bool FQRCodeError = false;
};
