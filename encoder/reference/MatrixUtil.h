// Lays out a complete QR symbol the plain way (ISO/IEC 18004 clause 7.7.3): the shared function
// layer (encoder/FunctionLayer.h), then the masked data bits placed one module at a time in the
// zig-zag order.
#pragma once

#include "encoder/ByteMatrix.h"
#include "encoder/FunctionLayer.h"
#include "encoder/Version.h"
#include "encoder/reference/BitArray.h"

class TMatrixUtil : public TFunctionLayer {
public:
  TMatrixUtil() = default;

  // True once any placement step met an inconsistency; never cleared.
  bool MatrixUtilError() const { return LayoutError(); }

  // Fills every cell of Matrix (size 17 + 4 x Version) with 0 or 1. DataBits is
  // the final interleaved codeword sequence, bit 0 first; of ECLevel only its
  // format indicator is used. Failures only set the error flag.
  void BuildMatrix(const TBitArray& DataBits, const TErrorCorrectionLevel& ECLevel, int Version,
                   int MaskPattern, TByteMatrix& Matrix);

private:
  void PlaceDataBits(const TBitArray& DataBits, int MaskPattern, TByteMatrix& Matrix);
};
