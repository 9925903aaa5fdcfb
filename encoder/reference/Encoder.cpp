// EncodeSymbol: text in, one single-segment QR symbol out (ISO/IEC 18004 clause 7.1).
#include "encoder/reference/Encoder.h"

#include "encoder/ByteMatrix.h"
#include "encoder/reference/MatrixUtil.h"
#include "encoder/reference/QRCode.h"

void TEncoder::EncodeSymbol(const std::u16string& Content, int EncodeOptions,
                            const TErrorCorrectionLevel& ECLevel, TQRCode& QRCode) {
  TBitArray DataBits;
  TBitArray HeaderBits;

  const TMode Mode = SelectMode(Content, EncodeOptions);
  const std::u16string Filtered = StripUnencodable(Content, Mode, EncodeOptions);
  WriteSegmentData(Filtered, Mode, DataBits, EncodeOptions);
  // An ECI header, when the option has one, goes before the mode indicator (clause 7.4.2).
  int EciBits = 0;
  const std::uint32_t EciHeader = TSegmentRules::EciHeader(EciAssignment(EncodeOptions), EciBits);
  if (EciBits > 0) HeaderBits.AppendBits(EciHeader, EciBits);
  WriteModeIndicator(Mode, HeaderBits);

  // In byte mode the count is of bytes (any byte-order mark included), otherwise of characters.
  const int NumLetters =
      Mode == qmByte ? DataBits.GetSizeInBytes() : static_cast<int>(Filtered.size());
  FNeededUnits = NumLetters;
  FUnits = Mode == qmNumeric ? cuDigits : Mode == qmAlphanumeric ? cuCharacters : cuBytes;
  FMaxUnits = MaxUnitsFor(Mode, TVersion::MaxVersion, ECLevel, EciBits);

  // The count width depends on the version, and the version on the count width: choose
  // once with the narrowest width, then again with the width of that first choice.
  const int ProvisionalBits = CharCountWidth(Mode, 1) + HeaderBits.GetSize() + DataBits.GetSize();
  std::unique_ptr<TVersion> Version;
  if (const auto V = TVersion::ChooseVersion(ProvisionalBits, ECLevel)) {
    const int NumInputBits = CharCountWidth(Mode, *V) + HeaderBits.GetSize() + DataBits.GetSize();
    Version = TVersion::ChooseVersion(NumInputBits, ECLevel);
  }
  QRCode.SetECLevel(ECLevel);
  QRCode.SetMode(Mode);
  FDataTooLong = !Version;
  if (FDataTooLong) {
    return; // more than version 40 holds: no symbol
  }
  const int VersionNum = Version->GetVersionNumber();

  TBitArray Final;
  TBitArray Codewords;
  Final.AppendBitArray(HeaderBits);
  WriteCharCount(NumLetters, VersionNum, Mode, Final);
  Final.AppendBitArray(DataBits);

  const TECBlocks& ECBlocks = Version->GetECBlocksForLevel(ECLevel);
  const int NumDataBytes = Version->GetTotalCodewords() - ECBlocks.GetTotalECCodewords();
  PadToCapacity(NumDataBytes, Final);
  InterleaveBlocks(Final, Version->GetTotalCodewords(), NumDataBytes, ECBlocks.GetNumBlocks(),
                   Codewords);

  QRCode.SetVersion(VersionNum);
  const int Dimension = Version->GetDimensionForVersion();
  {
    TByteMatrix Scratch(Dimension, Dimension);
    QRCode.SetMaskPattern(SelectMaskPattern(Codewords, ECLevel, VersionNum, Scratch));
  }
  auto Matrix = std::make_unique<TByteMatrix>(Dimension, Dimension);
  TMatrixUtil MatrixUtil;
  MatrixUtil.BuildMatrix(Codewords, *QRCode.ECLevel(), QRCode.Version(), QRCode.MaskPattern(),
                         *Matrix);
  QRCode.SetMatrix(std::move(Matrix));
}
