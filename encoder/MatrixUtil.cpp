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
  int n = 0;
  while (Value != 0) {
    ++n;
    Value >>= 1;
  }
  return n;
}

// Remainder of Value * x^(deg Generator) divided by Generator over GF(2): the
// BCH check bits.
std::uint32_t BchRemainder(std::uint32_t Value, std::uint32_t Generator) {
  const int n = BitLength(Generator);
  Value <<= n - 1;
  while (BitLength(Value) >= n)
    Value ^= Generator << (BitLength(Value) - n);
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
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      if (!IsEmpty(Matrix, Left + x, Top + y)) {
        FMatrixUtilError = true;
        return;
      }
      Matrix.SetInteger(Left + x, Top + y, Cells[y * Width + x]);
    }
}

void TMatrixUtil::PlaceFinderPatterns(TByteMatrix& Matrix) {
  const int size = Matrix.Width();
  PlacePattern(FinderPatternCells, 7, 7, 0, 0, Matrix);
  PlacePattern(FinderPatternCells, 7, 7, size - 7, 0, Matrix);
  PlacePattern(FinderPatternCells, 7, 7, 0, size - 7, Matrix);
  PlacePattern(HorizontalSeparatorCells, 8, 1, 0, 7, Matrix);
  PlacePattern(HorizontalSeparatorCells, 8, 1, size - 8, 7, Matrix);
  PlacePattern(HorizontalSeparatorCells, 8, 1, 0, size - 8, Matrix);
  PlacePattern(VerticalSeparatorCells, 1, 7, 7, 0, Matrix);
  PlacePattern(VerticalSeparatorCells, 1, 7, size - 8, 0, Matrix);
  PlacePattern(VerticalSeparatorCells, 1, 7, 7, size - 7, Matrix);
}

void TMatrixUtil::PlaceDarkModule(TByteMatrix& Matrix) {
  const int y = Matrix.Height() - 8;
  if (Matrix.Get(8, y) == 0)
    FMatrixUtilError = true;
  else
    Matrix.SetInteger(8, y, 1);
}

void TMatrixUtil::PlaceAlignmentPatterns(int Version, TByteMatrix& Matrix) {
  if (Version < 2 || Version > 40) return;
  const int* centres = AlignmentCentreTable[Version - 1];
  for (int i = 0; i < 7; ++i) {
    const int y = centres[i];
    if (y == -1) continue;
    for (int j = 0; j < 7; ++j) {
      const int x = centres[j];
      if (x == -1 || !IsEmpty(Matrix, x, y)) continue;
      PlacePattern(AlignmentPatternCells, 5, 5, x - 2, y - 2, Matrix);
    }
  }
}

void TMatrixUtil::PlaceTimingPatterns(TByteMatrix& Matrix) {
  const int size = Matrix.Width();
  for (int i = 8; i < size - 8; ++i) {
    const int value = (i + 1) % 2;
    if (IsEmpty(Matrix, i, 6)) Matrix.SetInteger(i, 6, value);
    if (IsEmpty(Matrix, 6, i)) Matrix.SetInteger(6, i, value);
  }
}

TBitArray TMatrixUtil::BuildFormatBits(const TErrorCorrectionLevel& ECLevel, int MaskPattern) {
  const auto data = static_cast<std::uint32_t>((ECLevel.Bits() << 3) | MaskPattern);
  TBitArray word;
  word.AppendBits(data, 5);
  word.AppendBits(BchRemainder(data, FormatInfoGenerator), 10);
  TBitArray mask;
  mask.AppendBits(FormatInfoMask, 15);
  word.XorOperation(mask);
  if (word.GetSize() != 15) FMatrixUtilError = true;
  return word;
}

TBitArray TMatrixUtil::BuildVersionBits(int Version) {
  TBitArray word;
  word.AppendBits(static_cast<std::uint32_t>(Version), 6);
  word.AppendBits(BchRemainder(static_cast<std::uint32_t>(Version), VersionInfoGenerator), 12);
  if (word.GetSize() != 18) FMatrixUtilError = true;
  return word;
}

// In the bit arrays the first appended bit is the word's most significant one,
// so bit i of the word (0 = least significant) is array bit Size - 1 - i.
void TMatrixUtil::PlaceFormatInformation(const TErrorCorrectionLevel& ECLevel, int MaskPattern,
                                         TByteMatrix& Matrix) {
  const TBitArray word = BuildFormatBits(ECLevel, MaskPattern);
  const int size = Matrix.Width();
  for (int i = 0; i < 15; ++i) {
    const bool bit = word.Get(14 - i);
    Matrix.SetBoolean(FormatBitPositions[i][0], FormatBitPositions[i][1], bit);
    if (i <= 7)
      Matrix.SetBoolean(size - 1 - i, 8, bit);
    else
      Matrix.SetBoolean(8, size - 15 + i, bit);
  }
}

void TMatrixUtil::PlaceVersionInformation(int Version, TByteMatrix& Matrix) {
  const TBitArray word = BuildVersionBits(Version);
  const int size = Matrix.Width();
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 3; ++j) {
      const bool bit = word.Get(17 - (3 * i + j));
      Matrix.SetBoolean(i, size - 11 + j, bit);
      Matrix.SetBoolean(size - 11 + j, i, bit);
    }
}

void TMatrixUtil::PlaceDataBits(const TBitArray& DataBits, int MaskPattern, TByteMatrix& Matrix) {
  const int size = Matrix.Width();
  const int numBits = DataBits.GetSize();
  int index = 0;
  int direction = -1;
  int x = size - 1;
  int y = size - 1;
  while (x > 0) {
    if (x == 6) x = 5;
    while (y >= 0 && y < size) {
      for (int column = x; column >= x - 1; --column) {
        if (!IsEmpty(Matrix, column, y)) continue;
        bool bit = false;
        if (index < numBits) bit = DataBits.Get(index++);
        if (TMaskUtil::GetDataMaskBit(MaskPattern, column, y)) bit = !bit;
        Matrix.SetBoolean(column, y, bit);
      }
      y += direction;
    }
    direction = -direction;
    y += direction;
    x -= 2;
  }
  if (index != numBits) FMatrixUtilError = true;
}
