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

  // The bytes a byte-mode segment carries for Text under the option (3, 4, 5 or 6);
  // no bytes for any other option. A lone surrogate becomes U+FFFD.
  static std::vector<std::uint8_t> ByteSegmentBytes(const std::u16string& Text, int EncodeOptions);

  // The ECI assignment number the option puts before its segment (kEciUtf8 for qrUTF8ECI), or -1
  // for none.
  static int EciAssignment(int EncodeOptions);
  // The ECI header of an assignment number (ISO/IEC 18004 7.4.2, Table 4): the mode indicator
  // 0111 and the designator, 8 bits for 0..127, 16 bits (10 and 14 bits) for 128..16383, 24 bits
  // (110 and 21 bits) for 16384..999999. NumBits is 0 (and the answer 0) for -1 or a number out
  // of range.
  static std::uint32_t EciHeader(int Assignment, int& NumBits);

  // The most characters (numeric, alphanumeric) or bytes (byte mode) that one segment of
  // Mode can carry in a version at ECLevel, after ExtraHeaderBits in front of it (an ECI header).
  static int MaxUnitsFor(TMode Mode, int VersionNum, const TErrorCorrectionLevel& ECLevel,
                         int ExtraHeaderBits = 0);
};
