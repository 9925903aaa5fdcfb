// The 40 QR Code versions: symbol size, alignment-pattern centres (ISO/IEC 18004 Annex E,
// Table E.1) and the error-correction block layouts of the four levels (Table 9).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// An error-correction level (ISO/IEC 18004 clause 7.5.1), held as its 2-bit format indicator:
// L 1, M 0, Q 3, H 2.
class TErrorCorrectionLevel {
public:
  static constexpr int BitsL = 1;
  static constexpr int BitsM = 0;
  static constexpr int BitsQ = 3;
  static constexpr int BitsH = 2;

  TErrorCorrectionLevel() = default;
  explicit TErrorCorrectionLevel(int Bits) : FBits(Bits) {}

  int Bits() const { return FBits; }
  void SetBits(int Bits) { FBits = Bits; }
  void Assign(const TErrorCorrectionLevel& Source) { FBits = Source.FBits; }
  // Index of the level's layout within a version: L 0, M 1, Q 2, H 3 (the format indicators
  // 1, 0, 3, 2 with the low bit flipped).
  int Ordinal() const { return FBits ^ 1; }
  // The level of layout index 0..3 (L, M, Q, H).
  static TErrorCorrectionLevel ForOrdinal(int Ordinal) {
    return TErrorCorrectionLevel(Ordinal ^ 1);
  }

private:
  int FBits = BitsL;
};

// One group of equally sized blocks.
struct TECB {
  int Count = 0;         // blocks in the group
  int DataCodewords = 0; // data codewords per block

  int GetCount() const { return Count; }
  int GetDataCodewords() const { return DataCodewords; }
};

// The block layout of one version at one level: one or two groups, the second group's
// blocks one data codeword longer; every block carries the same number of EC codewords.
class TECBlocks {
public:
  TECBlocks() = default;
  TECBlocks(int ECCodewordsPerBlock, TECB ECBlocks1);
  TECBlocks(int ECCodewordsPerBlock, TECB ECBlocks1, TECB ECBlocks2);

  int GetECCodewordsPerBlock() const { return ECCodewordsPerBlock; }
  const std::vector<TECB>& GetECBlocks() const { return ECBlocks; }
  int GetNumBlocks() const;
  int GetTotalECCodewords() const { return GetNumBlocks() * ECCodewordsPerBlock; }

private:
  int ECCodewordsPerBlock = 0;
  std::vector<TECB> ECBlocks;
};

class TVersion {
public:
  static constexpr int MinVersion = 1;
  static constexpr int MaxVersion = 40;

  // Layouts in the order L, M, Q, H.
  TVersion(int VersionNumber, std::vector<int> AlignmentPatternCenters,
           std::array<TECBlocks, 4> ECBlocks);

  // A new version for 1..40; empty for any other number.
  static std::unique_ptr<TVersion> GetVersionForNumber(int VersionNum);
  // The smallest version whose data capacity at ECLevel holds NumInputBits (rounded up
  // to whole bytes); empty when not even version 40 does.
  static std::unique_ptr<TVersion> ChooseVersion(int NumInputBits,
                                                 const TErrorCorrectionLevel& ECLevel);

  int GetVersionNumber() const { return VersionNumber; }
  const std::vector<int>& GetAlignmentPatternCenters() const { return AlignmentPatternCenters; }
  int GetTotalCodewords() const { return TotalCodewords; }
  // EC codewords per block of the L layout.
  int GetECCodewords() const { return ECCodewords; }
  const TECBlocks& GetECBlocksForLevel(const TErrorCorrectionLevel& ECLevel) const {
    return ECBlocks[static_cast<std::size_t>(ECLevel.Ordinal())];
  }
  // All four layouts, L, M, Q, H.
  const std::array<TECBlocks, 4>& GetECBlocks() const { return ECBlocks; }
  // The symbol's side in modules: 17 + 4 x version.
  int GetDimensionForVersion() const { return 17 + 4 * VersionNumber; }

private:
  int VersionNumber;
  std::vector<int> AlignmentPatternCenters;
  std::array<TECBlocks, 4> ECBlocks;
  int TotalCodewords;
  int ECCodewords;
};
