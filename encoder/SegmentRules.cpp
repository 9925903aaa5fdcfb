#include "encoder/SegmentRules.h"

#include "text/Utf16.h"

#include <algorithm>
#include <array>

namespace {

// Mode indicators (Table 2) and character-count widths (Table 3) by TMode ordinal.
// clang-format off
constexpr std::array<int, 10> ModeIndicators = {0x0, 0x1, 0x2, 0x3, 0x4, 0x7, 0x8, 0x5, 0x9, 0xD};
constexpr std::array<std::array<int, 3>, 10> CountWidths = {{
    {0, 0, 0},     // terminator
    {10, 12, 14},  // numeric
    {9, 11, 13},   // alphanumeric
    {0, 0, 0},     // structured append
    {8, 16, 16},   // byte
    {0, 0, 0},     // ECI
    {8, 10, 12},   // Kanji
    {0, 0, 0},     // FNC1 first position
    {0, 0, 0},     // FNC1 second position
    {8, 10, 12},   // Hanzi
}};
// clang-format on

// Table 5: alphanumeric values by character code 0..95, -1 for none.
// clang-format off
constexpr std::array<std::int8_t, 96> AlphanumericTable = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x00
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  // 0x10
    36, -1, -1, -1, 37, 38, -1, -1, -1, -1, 39, 40, -1, 41, 42, 43,  // 0x20  space $ % * + - . /
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  44, -1, -1, -1, -1, -1,  // 0x30  0-9 :
    -1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,  // 0x40  A-O
    25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, -1, -1, -1, -1, -1,  // 0x50  P-Z
};
// clang-format on

bool IsDigit(char16_t C) {
  return C >= u'0' && C <= u'9';
}

} // namespace

int TSegmentRules::ModeIndicatorBits(TMode Mode) {
  return Mode < ModeIndicators.size() ? ModeIndicators[Mode] : 0;
}

int TSegmentRules::CharCountWidth(TMode Mode, int VersionNum) {
  if (Mode >= CountWidths.size()) {
    return 0;
  }
  const std::size_t Column = VersionNum <= 9 ? 0 : VersionNum <= 26 ? 1 : 2;
  return CountWidths[Mode][Column];
}

int TSegmentRules::CharCountWidth(TMode Mode, const TVersion& Version) {
  return CharCountWidth(Mode, Version.GetVersionNumber());
}

int TSegmentRules::AlphanumericValue(int Code) {
  return Code >= 0 && Code < static_cast<int>(AlphanumericTable.size())
             ? AlphanumericTable[static_cast<std::size_t>(Code)]
             : -1;
}

TMode TSegmentRules::SelectMode(const std::u16string& Content, int& EncodeOptions) {
  if (EncodeOptions == qrNumeric) {
    return qmNumeric;
  }
  if (EncodeOptions == qrAlphanumeric) {
    return qmAlphanumeric;
  }
  if (EncodeOptions != qrAuto) {
    return qmByte;
  }
  if (!Content.empty()) {
    if (std::all_of(Content.begin(), Content.end(), IsDigit)) {
      return qmNumeric;
    }
    if (std::all_of(Content.begin(), Content.end(),
                    [](char16_t C) { return AlphanumericValue(C) >= 0; })) {
      return qmAlphanumeric;
    }
    if (std::all_of(Content.begin(), Content.end(), [](char16_t C) { return C <= 0xFF; })) {
      EncodeOptions = qrISO88591;
      return qmByte;
    }
  }
  EncodeOptions = qrUTF8NoBOM;
  return qmByte;
}

std::vector<std::uint8_t> TSegmentRules::ByteSegmentBytes(const std::u16string& Text,
                                                          int EncodeOptions) {
  std::vector<std::uint8_t> Bytes;
  switch (EncodeOptions) {
  case qrISO88591:
    Bytes.reserve(Text.size());
    for (char16_t C : Text) {
      Bytes.push_back(static_cast<std::uint8_t>(C & 0xFF));
    }
    break;
  case qrUTF8BOM:
    Bytes = {0xEF, 0xBB, 0xBF};
    AppendUtf8(Bytes, Text);
    break;
  case qrUTF8NoBOM:
  case qrUTF8ECI:
    AppendUtf8(Bytes, Text);
    break;
  default:
    break;
  }
  return Bytes;
}

int TSegmentRules::EciAssignment(int EncodeOptions) {
  return EncodeOptions == qrUTF8ECI ? kEciUtf8 : -1;
}

std::uint32_t TSegmentRules::EciHeader(int Assignment, int& NumBits) {
  constexpr std::uint32_t Indicator = 0x7;
  if (Assignment >= 0 && Assignment <= 127) {
    NumBits = 12;
    return Indicator << 8 | static_cast<std::uint32_t>(Assignment);
  }
  if (Assignment >= 128 && Assignment <= 16383) {
    NumBits = 20;
    return Indicator << 16 | 0x8000u | static_cast<std::uint32_t>(Assignment);
  }
  if (Assignment >= 16384 && Assignment <= 999999) {
    NumBits = 28;
    return Indicator << 24 | 0xC00000u | static_cast<std::uint32_t>(Assignment);
  }
  NumBits = 0;
  return 0;
}

int TSegmentRules::MaxUnitsFor(TMode Mode, int VersionNum, const TErrorCorrectionLevel& ECLevel,
                               int ExtraHeaderBits) {
  const auto Version = TVersion::GetVersionForNumber(VersionNum);
  if (!Version) {
    return 0;
  }
  const int Width = CharCountWidth(Mode, *Version);
  const int DataCodewords =
      Version->GetTotalCodewords() - Version->GetECBlocksForLevel(ECLevel).GetTotalECCodewords();
  const int Available = DataCodewords * 8 - ExtraHeaderBits - 4 - Width;
  if (Available < 0) {
    return 0;
  }
  int Units = 0;
  switch (Mode) {
  case qmNumeric: // 10 bits per 3 digits, 7 for a final pair, 4 for a final digit
    Units = 3 * (Available / 10) + (Available % 10 >= 7 ? 2 : Available % 10 >= 4 ? 1 : 0);
    break;
  case qmAlphanumeric: // 11 bits per pair, 6 for a final character
    Units = 2 * (Available / 11) + (Available % 11 >= 6 ? 1 : 0);
    break;
  case qmByte:
    Units = Available / 8;
    break;
  default:
    return 0;
  }
  const int CountLimit = (1 << Width) - 1; // the character-count field caps it too
  return Units < CountLimit ? Units : CountLimit;
}
