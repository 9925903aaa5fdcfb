// The rules of a segment that both encoders follow (ISO/IEC 18004 clause 7.4): mode indicators
// (Table 2), character-count widths (Table 3), the alphanumeric set (Table 5), the mode a text
// takes under an encoding option, the bytes of a byte-mode segment, and how many units one
// segment can carry in a version.
#pragma once

#include "encoder/Mode.h"
#include "encoder/Version.h"

#include <cstdint>
#include <string>
#include <vector>

class TSegmentRules {
public:
  static int ModeIndicatorBits(TMode Mode);
  static int CharCountWidth(TMode Mode, int VersionNum);
  static int CharCountWidth(TMode Mode, const TVersion& Version);
  // The alphanumeric value of a character code, -1 outside the 45-character set.
  static int AlphanumericValue(int Code);

  // The mode of the one segment Content makes under the option: the forced mode, or with qrAuto
  // the first of numeric, alphanumeric and byte that carries every character (an empty text
  // goes to byte mode). Rewrites EncodeOptions from qrAuto to qrISO88591 or qrUTF8NoBOM when
  // it picks byte mode.
  static TMode SelectMode(const std::u16string& Content, int& EncodeOptions);

  // The bytes a byte-mode segment carries for Text under the option (3, 4 or 5);
  // no bytes for any other option. A lone surrogate becomes U+FFFD.
  static std::vector<std::uint8_t> ByteSegmentBytes(const std::u16string& Text, int EncodeOptions);

  // The most characters (numeric, alphanumeric) or bytes (byte mode) that one segment of
  // Mode can carry in a version at ECLevel.
  static int MaxUnitsFor(TMode Mode, int VersionNum, const TErrorCorrectionLevel& ECLevel);
};
