// The part of a QR symbol that does not depend on the data (ISO/IEC 18004 clauses 6.3, 7.9,
// 7.10): finder patterns with separators, the dark module, alignment and timing patterns, and
// the format and version information. Both encoders start every symbol from this layer: the one
// the programs run reads its layouts from it once per version (encoder/Layout.h), the step-by-step
// one places its data bits into it.
#pragma once

#include "encoder/ByteMatrix.h"
#include "encoder/Version.h"

#include <cstdint>

class TFunctionLayer {
public:
  // True once any placement step met an inconsistency (a pattern placed over a set cell);
  // never cleared.
  bool LayoutError() const { return FLayoutError; }

  // Matrix (of side 17 + 4 x Version) holds the function patterns, the format information for
  // ECLevel and MaskPattern and the version information; every data cell is still empty (255).
  void BuildFunctionLayer(const TErrorCorrectionLevel& ECLevel, int Version, int MaskPattern,
                          TByteMatrix& Matrix);

  // The 15-bit format word, masked (Table C.1), and the 18-bit version word (Table D.1); bit 0
  // is the least significant.
  static std::uint32_t FormatWord(const TErrorCorrectionLevel& ECLevel, int MaskPattern);
  static std::uint32_t VersionWord(int Version);

protected:
  bool FLayoutError = false;

private:
  void PlaceFunctionPatterns(int Version, TByteMatrix& Matrix);
  void PlaceFinderPatterns(TByteMatrix& Matrix);
  void PlaceDarkModule(TByteMatrix& Matrix);
  void PlaceAlignmentPatterns(int Version, TByteMatrix& Matrix);
  void PlaceTimingPatterns(TByteMatrix& Matrix);
  void PlaceFormatInformation(const TErrorCorrectionLevel& ECLevel, int MaskPattern,
                              TByteMatrix& Matrix);
  void PlaceVersionInformation(int Version, TByteMatrix& Matrix);
  // Copies Height x Width table cells with the top-left at (Left, Top); stops
  // and sets the error flag at the first cell that is not empty.
  void PlacePattern(const std::uint8_t* Cells, int Width, int Height, int Left, int Top,
                    TByteMatrix& Matrix);
};
