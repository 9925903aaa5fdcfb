#include "encoder/FunctionLayer.h"

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

void TFunctionLayer::BuildFunctionLayer(const TErrorCorrectionLevel& ECLevel, int Version,
                                        int MaskPattern, TByteMatrix& Matrix) {
  Matrix.Clear(255);
  PlaceFunctionPatterns(Version, Matrix);
  PlaceFormatInformation(ECLevel, MaskPattern, Matrix);
  if (Version >= 7) PlaceVersionInformation(Version, Matrix);
}

void TFunctionLayer::PlaceFunctionPatterns(int Version, TByteMatrix& Matrix) {
  PlaceFinderPatterns(Matrix);
  PlaceDarkModule(Matrix);
  PlaceAlignmentPatterns(Version, Matrix);
  PlaceTimingPatterns(Matrix);
}

void TFunctionLayer::PlacePattern(const std::uint8_t* Cells, int Width, int Height, int Left,
                                  int Top, TByteMatrix& Matrix) {
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      if (!IsEmpty(Matrix, Left + X, Top + Y)) {
        FLayoutError = true;
        return;
      }
      Matrix.SetInteger(Left + X, Top + Y, Cells[Y * Width + X]);
    }
}

void TFunctionLayer::PlaceFinderPatterns(TByteMatrix& Matrix) {
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

void TFunctionLayer::PlaceDarkModule(TByteMatrix& Matrix) {
  const int Y = Matrix.Height() - 8;
  if (Matrix.Get(8, Y) == 0)
    FLayoutError = true;
  else
    Matrix.SetInteger(8, Y, 1);
}

void TFunctionLayer::PlaceAlignmentPatterns(int Version, TByteMatrix& Matrix) {
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

void TFunctionLayer::PlaceTimingPatterns(TByteMatrix& Matrix) {
  const int Size = Matrix.Width();
  for (int I = 8; I < Size - 8; ++I) {
    const int Value = (I + 1) % 2;
    if (IsEmpty(Matrix, I, 6)) Matrix.SetInteger(I, 6, Value);
    if (IsEmpty(Matrix, 6, I)) Matrix.SetInteger(6, I, Value);
  }
}

std::uint32_t TFunctionLayer::FormatWord(const TErrorCorrectionLevel& ECLevel, int MaskPattern) {
  const auto Data = static_cast<std::uint32_t>((ECLevel.Bits() << 3) | MaskPattern);
  return ((Data << 10) | BchRemainder(Data, FormatInfoGenerator)) ^ FormatInfoMask;
}

std::uint32_t TFunctionLayer::VersionWord(int Version) {
  const auto V = static_cast<std::uint32_t>(Version);
  return (V << 12) | BchRemainder(V, VersionInfoGenerator);
}

void TFunctionLayer::PlaceFormatInformation(const TErrorCorrectionLevel& ECLevel, int MaskPattern,
                                            TByteMatrix& Matrix) {
  const std::uint32_t Word = FormatWord(ECLevel, MaskPattern);
  const int Size = Matrix.Width();
  for (int I = 0; I < 15; ++I) {
    const bool Bit = ((Word >> I) & 1u) != 0;
    Matrix.SetBoolean(FormatBitPositions[I][0], FormatBitPositions[I][1], Bit);
    if (I <= 7)
      Matrix.SetBoolean(Size - 1 - I, 8, Bit);
    else
      Matrix.SetBoolean(8, Size - 15 + I, Bit);
  }
}

void TFunctionLayer::PlaceVersionInformation(int Version, TByteMatrix& Matrix) {
  const std::uint32_t Word = VersionWord(Version);
  const int Size = Matrix.Width();
  for (int I = 0; I < 6; ++I)
    for (int J = 0; J < 3; ++J) {
      const bool Bit = ((Word >> (3 * I + J)) & 1u) != 0;
      Matrix.SetBoolean(I, Size - 11 + J, Bit);
      Matrix.SetBoolean(Size - 11 + J, I, Bit);
    }
}
