#include "encoder/MatrixUtil.h"

#include "encoder/MaskUtil.h"

#include <cstdint>

namespace {

constexpr std::uint8_t FinderPatternCells[7 * 7] = {
    1, 1, 1, 1, 1, 1, 1, //
    1, 0, 0, 0, 0, 0, 1, //
    1, 0, 1, 1, 1, 0, 1, //
    1, 0, 1, 1, 1, 0, 1, //
    1, 0, 1, 1, 1, 0, 1, //
    1, 0, 0, 0, 0, 0, 1, //
    1, 1, 1, 1, 1, 1, 1,
};

constexpr std::uint8_t AlignmentPatternCells[5 * 5] = {
    1, 1, 1, 1, 1, //
    1, 0, 0, 0, 1, //
    1, 0, 1, 0, 1, //
    1, 0, 0, 0, 1, //
    1, 1, 1, 1, 1,
};

constexpr std::uint8_t HorizontalSeparatorCells[8] = {0, 0, 0, 0, 0, 0, 0, 0};
constexpr std::uint8_t VerticalSeparatorCells[7] = {0, 0, 0, 0, 0, 0, 0};

// Row and column coordinates of the alignment-pattern centres per version
// (ISO/IEC 18004 Annex E, Table E.1); -1 fills the unused places.
constexpr int AlignmentCentreTable[40][7] = {
    {-1, -1, -1, -1, -1, -1, -1},   {6, 18, -1, -1, -1, -1, -1},    {6, 22, -1, -1, -1, -1, -1},
    {6, 26, -1, -1, -1, -1, -1},    {6, 30, -1, -1, -1, -1, -1},    {6, 34, -1, -1, -1, -1, -1},
    {6, 22, 38, -1, -1, -1, -1},    {6, 24, 42, -1, -1, -1, -1},    {6, 26, 46, -1, -1, -1, -1},
    {6, 28, 50, -1, -1, -1, -1},    {6, 30, 54, -1, -1, -1, -1},    {6, 32, 58, -1, -1, -1, -1},
    {6, 34, 62, -1, -1, -1, -1},    {6, 26, 46, 66, -1, -1, -1},    {6, 26, 48, 70, -1, -1, -1},
    {6, 26, 50, 74, -1, -1, -1},    {6, 30, 54, 78, -1, -1, -1},    {6, 30, 56, 82, -1, -1, -1},
    {6, 30, 58, 86, -1, -1, -1},    {6, 34, 62, 90, -1, -1, -1},    {6, 28, 50, 72, 94, -1, -1},
    {6, 26, 50, 74, 98, -1, -1},    {6, 30, 54, 78, 102, -1, -1},   {6, 28, 54, 80, 106, -1, -1},
    {6, 32, 58, 84, 110, -1, -1},   {6, 30, 58, 86, 114, -1, -1},   {6, 34, 62, 90, 118, -1, -1},
    {6, 26, 50, 74, 98, 122, -1},   {6, 30, 54, 78, 102, 126, -1},  {6, 26, 52, 78, 104, 130, -1},
    {6, 30, 56, 82, 108, 134, -1},  {6, 34, 60, 86, 112, 138, -1},  {6, 30, 58, 86, 114, 142, -1},
    {6, 34, 62, 90, 118, 146, -1},  {6, 30, 54, 78, 102, 126, 150}, {6, 24, 50, 76, 102, 128, 154},
    {6, 28, 54, 80, 106, 132, 158}, {6, 32, 58, 84, 110, 136, 162}, {6, 26, 54, 82, 110, 138, 166},
    {6, 30, 58, 86, 114, 142, 170},
};

// Cell (X, Y) of format bit i in the copy around the top-left finder pattern;
// bit 0 is the least significant bit of the 15-bit word.
constexpr int FormatBitPositions[15][2] = {
    {8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
    {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8},
};

constexpr int FormatInfoGenerator = 0x537;   // x^10 + x^8 + x^5 + x^4 + x^2 + x + 1
constexpr int FormatInfoMask = 0x5412;       // 101010000010010
constexpr int VersionInfoGenerator = 0x1F25; // x^12 + x^11 + x^10 + x^9 + x^8 + x^5 + x^2 + 1

int BitLength(std::uint32_t Value) {
  int N = 0;
  while (Value != 0) {
    ++N;
    Value >>= 1;
  }
  return N;
}

// Remainder of Value * x^(deg Generator) divided by Generator over GF(2): the
// BCH check bits.
std::uint32_t BchRemainder(std::uint32_t Value, std::uint32_t Generator) {
  const int N = BitLength(Generator);
  Value <<= N - 1;
  while (BitLength(Value) >= N)
    Value ^= Generator << (BitLength(Value) - N);
  return Value;
}

bool IsEmpty(const TByteMatrix& Matrix, int X, int Y) {
  return Matrix.Get(X, Y) == -1;
}

} // namespace

void TMatrixUtil::BuildMatrix(const TBitArray& DataBits, const TErrorCorrectionLevel& ECLevel,
                              int Version, int MaskPattern, TByteMatrix& Matrix) {
  BuildFunctionLayer(ECLevel, Version, MaskPattern, Matrix);
  PlaceDataBits(DataBits, MaskPattern, Matrix);
}

void TMatrixUtil::BuildFunctionLayer(const TErrorCorrectionLevel& ECLevel, int Version,
                                     int MaskPattern, TByteMatrix& Matrix) {
  Matrix.Clear(255);
  PlaceFunctionPatterns(Version, Matrix);
  PlaceFormatInformation(ECLevel, MaskPattern, Matrix);
  if (Version >= 7) PlaceVersionInformation(Version, Matrix);
}

void TMatrixUtil::PlaceFunctionPatterns(int Version, TByteMatrix& Matrix) {
  PlaceFinderPatterns(Matrix);
  PlaceDarkModule(Matrix);
  PlaceAlignmentPatterns(Version, Matrix);
  PlaceTimingPatterns(Matrix);
}

void TMatrixUtil::PlacePattern(const std::uint8_t* Cells, int Width, int Height, int Left, int Top,
                               TByteMatrix& Matrix) {
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      if (!IsEmpty(Matrix, Left + X, Top + Y)) {
        FMatrixUtilError = true;
        return;
      }
      Matrix.SetInteger(Left + X, Top + Y, Cells[Y * Width + X]);
    }
}

void TMatrixUtil::PlaceFinderPatterns(TByteMatrix& Matrix) {
  const int Size = Matrix.Width();
  PlacePattern(FinderPatternCells, 7, 7, 0, 0, Matrix);
  PlacePattern(FinderPatternCells, 7, 7, Size - 7, 0, Matrix);
  PlacePattern(FinderPatternCells, 7, 7, 0, Size - 7, Matrix);
  PlacePattern(HorizontalSeparatorCells, 8, 1, 0, 7, Matrix);
  PlacePattern(HorizontalSeparatorCells, 8, 1, Size - 8, 7, Matrix);
  PlacePattern(HorizontalSeparatorCells, 8, 1, 0, Size - 8, Matrix);
  PlacePattern(VerticalSeparatorCells, 1, 7, 7, 0, Matrix);
  PlacePattern(VerticalSeparatorCells, 1, 7, Size - 8, 0, Matrix);
  PlacePattern(VerticalSeparatorCells, 1, 7, 7, Size - 7, Matrix);
}

void TMatrixUtil::PlaceDarkModule(TByteMatrix& Matrix) {
  const int Y = Matrix.Height() - 8;
  if (Matrix.Get(8, Y) == 0)
    FMatrixUtilError = true;
  else
    Matrix.SetInteger(8, Y, 1);
}

void TMatrixUtil::PlaceAlignmentPatterns(int Version, TByteMatrix& Matrix) {
  if (Version < 2 || Version > 40) return;
  const int* Centres = AlignmentCentreTable[Version - 1];
  for (int I = 0; I < 7; ++I) {
    const int Y = Centres[I];
    if (Y == -1) continue;
    for (int J = 0; J < 7; ++J) {
      const int X = Centres[J];
      if (X == -1 || !IsEmpty(Matrix, X, Y)) continue;
      PlacePattern(AlignmentPatternCells, 5, 5, X - 2, Y - 2, Matrix);
    }
  }
}

void TMatrixUtil::PlaceTimingPatterns(TByteMatrix& Matrix) {
  const int Size = Matrix.Width();
  for (int I = 8; I < Size - 8; ++I) {
    const int Value = (I + 1) % 2;
    if (IsEmpty(Matrix, I, 6)) Matrix.SetInteger(I, 6, Value);
    if (IsEmpty(Matrix, 6, I)) Matrix.SetInteger(6, I, Value);
  }
}

TBitArray TMatrixUtil::BuildFormatBits(const TErrorCorrectionLevel& ECLevel, int MaskPattern) {
  const auto Data = static_cast<std::uint32_t>((ECLevel.Bits() << 3) | MaskPattern);
  TBitArray Word;
  Word.AppendBits(Data, 5);
  Word.AppendBits(BchRemainder(Data, FormatInfoGenerator), 10);
  TBitArray Mask;
  Mask.AppendBits(FormatInfoMask, 15);
  Word.XorOperation(Mask);
  if (Word.GetSize() != 15) FMatrixUtilError = true;
  return Word;
}

TBitArray TMatrixUtil::BuildVersionBits(int Version) {
  TBitArray Word;
  Word.AppendBits(static_cast<std::uint32_t>(Version), 6);
  Word.AppendBits(BchRemainder(static_cast<std::uint32_t>(Version), VersionInfoGenerator), 12);
  if (Word.GetSize() != 18) FMatrixUtilError = true;
  return Word;
}

// In the bit arrays the first appended bit is the word's most significant one,
// so bit i of the word (0 = least significant) is array bit Size - 1 - i.
void TMatrixUtil::PlaceFormatInformation(const TErrorCorrectionLevel& ECLevel, int MaskPattern,
                                         TByteMatrix& Matrix) {
  const TBitArray Word = BuildFormatBits(ECLevel, MaskPattern);
  const int Size = Matrix.Width();
  for (int I = 0; I < 15; ++I) {
    const bool Bit = Word.Get(14 - I);
    Matrix.SetBoolean(FormatBitPositions[I][0], FormatBitPositions[I][1], Bit);
    if (I <= 7)
      Matrix.SetBoolean(Size - 1 - I, 8, Bit);
    else
      Matrix.SetBoolean(8, Size - 15 + I, Bit);
  }
}

void TMatrixUtil::PlaceVersionInformation(int Version, TByteMatrix& Matrix) {
  const TBitArray Word = BuildVersionBits(Version);
  const int Size = Matrix.Width();
  for (int I = 0; I < 6; ++I)
    for (int J = 0; J < 3; ++J) {
      const bool Bit = Word.Get(17 - (3 * I + J));
      Matrix.SetBoolean(I, Size - 11 + J, Bit);
      Matrix.SetBoolean(Size - 11 + J, I, Bit);
    }
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
        if (!IsEmpty(Matrix, Column, Y)) continue;
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
  if (Index != NumBits) FMatrixUtilError = true;
}
