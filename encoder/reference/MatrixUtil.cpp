#include "encoder/reference/MatrixUtil.h"

#include "encoder/MaskUtil.h"

void TMatrixUtil::BuildMatrix(const TBitArray& DataBits, const TErrorCorrectionLevel& ECLevel,
                              int Version, int MaskPattern, TByteMatrix& Matrix) {
  BuildFunctionLayer(ECLevel, Version, MaskPattern, Matrix);
  PlaceDataBits(DataBits, MaskPattern, Matrix);
}

void TMatrixUtil::PlaceDataBits(const TBitArray& DataBits, int MaskPattern, TByteMatrix& Matrix) {
  const int Size = Matrix.Width();
  const int NumBits = DataBits.GetSize();
  int Index = 0;
  int Direction = -1;
  int X = Size - 1;
  int Y = Size - 1;
  while (X > 0) {
    if (X == 6) X = 5;
    while (Y >= 0 && Y < Size) {
      for (int Column = X; Column >= X - 1; --Column) {
        if (Matrix.Get(Column, Y) != -1) continue;
        bool Bit = false;
        if (Index < NumBits) Bit = DataBits.Get(Index++);
        if (TMaskUtil::GetDataMaskBit(MaskPattern, Column, Y)) Bit = !Bit;
        Matrix.SetBoolean(Column, Y, Bit);
      }
      Y += Direction;
    }
    Direction = -Direction;
    Y += Direction;
    X -= 2;
  }
  if (Index != NumBits) FLayoutError = true;
}
