// Reed-Solomon error-correction codewords of one QR block (ISO/IEC 18004
// clause 7.5.2): the remainder of data(x) * x^n divided by the generator
// polynomial of degree n.
#pragma once

#include "encoder/reference/GaloisField.h"

class TReedSolomonEncoder {
public:
  // AField must outlive the encoder; the cached generators belong to it.
  explicit TReedSolomonEncoder(TGenericGF* AField);

  // Generator polynomial of the given degree (>= 0): the product of
  // (x + alpha^(base + i)) for i = 0 .. Degree - 1. Cached per encoder.
  TGenericGFPoly* BuildGenerator(int Degree);

  // ToEncode holds the data codewords followed by ECBytes further entries,
  // which are overwritten with the error-correction codewords. Leaves the
  // array untouched when ECBytes <= 0 or there are no data entries.
  void Encode(TIntegerArray& ToEncode, int ECBytes);

private:
  TGenericGF* FField;
  std::vector<TGenericGFPoly*> FCachedGenerators;
};
