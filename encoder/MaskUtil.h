// The eight data masks of ISO/IEC 18004 clause 7.8.2 (Table 10), with the
// standard's row i = Y and column j = X.
#pragma once

class TMaskUtil {
public:
  // True when data mask MaskPattern (0..7) inverts the data cell at column X, row Y.
  static bool GetDataMaskBit(int MaskPattern, int X, int Y);
};
