// Lays out a complete QR symbol (ISO/IEC 18004 clauses 6.3, 7.7, 7.8, 7.9):
// finder patterns with separators, the dark module, alignment and timing
// patterns, format and version information, and the masked data bits in
// the zig-zag placement order.
#pragma once

#include "encoder/BitArray.h"
#include "encoder/ByteMatrix.h"
#include "encoder/Version.h"

class TMatrixUtil {
public:
  TMatrixUtil() = default;

  // True once any placement step met an inconsistency; never cleared.
  bool MatrixUtilError() const { return FMatrixUtilError; }

  // Fills every cell of Matrix (size 17 + 4 x Version) with 0 or 1. DataBits is
  // the final interleaved codeword sequence, bit 0 first; of ECLevel only its
  // format indicator is used. Failures only set the error flag.
  void BuildMatrix(const TBitArray& DataBits, const TErrorCorrectionLevel& ECLevel, int Version,
                   int MaskPattern, TByteMatrix& Matrix);
  // The same build without the data: Matrix holds the function patterns, the format
  // information for MaskPattern and the version information, and every data cell is still
  // empty (255). BuildMatrix is this followed by the data placement.
  void BuildFunctionLayer(const TErrorCorrectionLevel& ECLevel, int Version, int MaskPattern,
                          TByteMatrix& Matrix);

  // The 15-bit format word (Table C.1) and the 18-bit version word (Table D.1).
  TBitArray BuildFormatBits(const TErrorCorrectionLevel& ECLevel, int MaskPattern);
  TBitArray BuildVersionBits(int Version);

private:
  void PlaceFunctionPatterns(int Version, TByteMatrix& Matrix);
  void PlaceFinderPatterns(TByteMatrix& Matrix);
  void PlaceDarkModule(TByteMatrix& Matrix);
  void PlaceAlignmentPatterns(int Version, TByteMatrix& Matrix);
  void PlaceTimingPatterns(TByteMatrix& Matrix);
  void PlaceFormatInformation(const TErrorCorrectionLevel& ECLevel, int MaskPattern,
                              TByteMatrix& Matrix);
  void PlaceVersionInformation(int Version, TByteMatrix& Matrix);
  void PlaceDataBits(const TBitArray& DataBits, int MaskPattern, TByteMatrix& Matrix);
  // Copies Height x Width table cells with the top-left at (Left, Top); stops
  // and sets the error flag at the first cell that is not empty.
  void PlacePattern(const std::uint8_t* Cells, int Width, int Height, int Left, int Top,
                    TByteMatrix& Matrix);

  bool FMatrixUtilError = false;
};
