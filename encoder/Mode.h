// Segment modes (ISO/IEC 18004 clause 7.4, Table 2 and Table 3), the encoding option and the
// error-correction level.
#pragma once

#include <cstdint>

// The encoding option; its ordinal is the item index of the "Encoding Mode" list and the
// integer option the encoder receives.
enum TQRCodeEncoding : std::uint8_t {
  qrAuto,         // numeric, alphanumeric, ISO-8859-1 or UTF-8, whichever fits first
  qrNumeric,      // digits only; other characters are dropped
  qrAlphanumeric, // the 45-character set; other characters are dropped
  qrISO88591,     // one byte per character up to U+00FF; other characters are dropped
  qrUTF8NoBOM,    // UTF-8 with nothing in front
  qrUTF8BOM,      // EF BB BF, then UTF-8
  qrUTF8ECI, // ECI designator 26 (UTF-8, ISO/IEC 18004 7.4.2), then UTF-8 with nothing in front
};

// The ECI assignment number that names UTF-8 (ISO/IEC 18004 7.4.2).
inline constexpr int kEciUtf8 = 26;

// The error-correction level a symbol is made at (ISO/IEC 18004 clause 7.5.1), in the order of
// the block table; its ordinal is the item index of the "Error Correction" list. L restores
// about 7 % of the codewords, M 15 %, Q 25 %, H 30 %.
enum TQRCodeECLevel : std::uint8_t { ecL, ecM, ecQ, ecH };
// The level's letter: 'L', 'M', 'Q' or 'H'.
constexpr char ECLevelLetter(TQRCodeECLevel Level) {
  return "LMQH"[Level & 3];
}

enum TMode : std::uint8_t {
  qmTerminator,
  qmNumeric,
  qmAlphanumeric,
  qmStructuredAppend,
  qmByte,
  qmECI,
  qmKanji,
  qmFNC1FirstPosition,
  qmFNC1SecondPosition,
  qmHanzi,
};

// What a character count of a mode counts, for reports to the user.
enum TCapacityUnit : std::uint8_t { cuDigits, cuCharacters, cuBytes };
