// TEncoder: the step-by-step QR encoder (ISO/IEC 18004, model 2, level L), kept as the oracle the
// encoder the programs run (encoder/SymbolBuilder.h) is compared with. Each stage is written
// plainly, one field, one codeword, one module at a time, so that a reader can check it against
// the standard; the programs never run it. The tables and the mode choice come from
// encoder/SegmentRules.h, shared with the encoder the programs run. Its member routines are
// spread over one source file per stage:
//   Segments.cpp     segment encoding (clause 7.4)
//   Codewords.cpp    termination, padding, RS blocks and interleaving (clauses 7.4.10, 7.5, 7.6)
//   MaskPenalty.cpp  data-mask evaluation and choice (clause 7.8.3)
//   Encoder.cpp      EncodeSymbol, the driver itself
#pragma once

#include "encoder/Mode.h"
#include "encoder/SegmentRules.h"
#include "encoder/Version.h"
#include "encoder/reference/BitArray.h"

#include <cstdint>
#include <string>
#include <utility>

class TQRCode;
class TByteMatrix;

// One Reed-Solomon block: its data codewords and its error-correction codewords.
class TBlockPair {
public:
  TBlockPair(TByteArray BA1, TByteArray BA2)
      : FDataBytes(std::move(BA1)), FErrorCorrectionBytes(std::move(BA2)) {}
  const TByteArray& GetDataBytes() const { return FDataBytes; }
  const TByteArray& GetErrorCorrectionBytes() const { return FErrorCorrectionBytes; }

private:
  TByteArray FDataBytes;
  TByteArray FErrorCorrectionBytes;
};

class TEncoder : public TSegmentRules {
public:
  TEncoder() = default;

  // Set by any step that meets an inconsistency; the run goes on regardless.
  bool EncoderError() const { return FEncoderError; }

  // ---- driver ----

  // Encodes Content as one segment at ECLevel into QRCode. EncodeOptions is a
  // TQRCodeEncoding ordinal. When the text does not fit version 40 no matrix is built
  // and DataTooLong() answers true.
  void EncodeSymbol(const std::u16string& Content, int EncodeOptions,
                    const TErrorCorrectionLevel& ECLevel, TQRCode& QRCode);

  // After EncodeSymbol: whether the text needed more than version 40 holds, how many
  // units (digits, characters or bytes, any byte-order mark included) the segment
  // carries, and the most that fit version 40 in the chosen mode.
  bool DataTooLong() const { return FDataTooLong; }
  int NeededUnits() const { return FNeededUnits; }
  int MaxUnits() const { return FMaxUnits; }
  TCapacityUnit Units() const { return FUnits; }

  // ---- segment encoding ----

  // The characters of Content that the mode and option carry, in order.
  static std::u16string StripUnencodable(const std::u16string& Content, TMode Mode,
                                         int EncodeOptions);
  void WriteSegmentData(const std::u16string& Text, TMode Mode, TBitArray& Bits, int EncodeOptions);
  void WriteNumericData(const std::u16string& Text, TBitArray& Bits);
  void WriteAlphanumericData(const std::u16string& Text, TBitArray& Bits);
  void WriteByteData(const std::u16string& Text, TBitArray& Bits, int EncodeOptions);
  void WriteModeIndicator(TMode Mode, TBitArray& Bits);
  void WriteCharCount(int NumLetters, int VersionNum, TMode Mode, TBitArray& Bits);

  // ---- codeword assembly ----

  // Terminator, byte alignment and pad codewords up to NumDataBytes codewords.
  void PadToCapacity(int NumDataBytes, TBitArray& Bits);
  // Data and EC codewords of block BlockID; false (and the error flag) when the totals
  // do not split into blocks.
  bool GetBlockSizes(int NumTotalBytes, int NumDataBytes, int NumRSBlocks, int BlockID,
                     int& NumDataBytesInBlock, int& NumECBytesInBlock);
  TByteArray ComputeBlockEC(const TByteArray& DataBytes, int NumECBytes);
  // Appends the interleaved data and EC codewords of all blocks to Result.
  void InterleaveBlocks(const TBitArray& Bits, int NumTotalBytes, int NumDataBytes, int NumRSBlocks,
                        TBitArray& Result);

  // ---- mask penalty and choice ----

  // Builds Matrix (of the version's size) with each of the eight data masks and
  // answers the one with the lowest penalty, the lowest number on a tie. Leaves
  // Matrix holding the build with mask 7.
  static int SelectMaskPattern(const TBitArray& Bits, const TErrorCorrectionLevel& ECLevel,
                               int Version, TByteMatrix& Matrix);
  // Penalty of a completely built matrix: the sum of the four rules below.
  static int MaskPenalty(const TByteMatrix& Matrix);
  // Rule 1: each run of L >= 5 equal cells in a row or column scores 3 + (L - 5).
  static int ScoreRuns(const TByteMatrix& Matrix);
  static int ScoreRunsInDirection(const TByteMatrix& Matrix, bool Horizontal);
  // Rule 2: 3 for each 2 x 2 block of one colour, overlapping blocks counted apart.
  static int ScoreBlocks(const TByteMatrix& Matrix);
  // Rule 3: 40 for each 1:1:3:1:1 pattern with four light cells inside the
  // matrix on at least one side, in rows and in columns.
  static int ScoreFinderLikePatterns(const TByteMatrix& Matrix);
  // Rule 4: 1 when fewer than 25 % or more than 75 % of the cells are dark, else 0.
  static int ScoreDarkBalance(const TByteMatrix& Matrix);

private:
  bool FEncoderError = false;
  bool FDataTooLong = false;
  int FNeededUnits = 0;
  int FMaxUnits = 0;
  TCapacityUnit FUnits = cuBytes;
};
