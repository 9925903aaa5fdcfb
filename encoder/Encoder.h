// TEncoder: the encode driver of the QR encoder (ISO/IEC 18004, model 2, level L).
// Its member routines are spread over one source file per stage:
//   Segments.cpp     mode selection and segment encoding (clause 7.4)
//   Codewords.cpp    termination, padding, RS blocks and interleaving (clauses 7.4.10, 7.5, 7.6)
//   MaskPenalty.cpp  data-mask evaluation and choice (clause 7.8.3)
//   Encoder.cpp      EncodeSymbol, the driver itself
#pragma once

#include <cstdint>
#include <string>

class TEncoder {
public:
  TEncoder() = default;

  bool EncoderError() const { return FEncoderError; }

  // ---- driver ----

  // ---- segment encoding ----

  // ---- codeword assembly ----

  // ---- mask penalty and choice ----

private:
  bool FEncoderError = false;
};
