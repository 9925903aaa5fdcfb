// Termination, padding, Reed-Solomon blocks and interleaving (ISO/IEC 18004 clauses
// 7.4.9, 7.4.10, 7.5 and 7.6).
#include "encoder/reference/Encoder.h"
#include "encoder/reference/ReedSolomon.h"

#include <algorithm>
#include <vector>

void TEncoder::PadToCapacity(int NumDataBytes, TBitArray& Bits) {
  const int Capacity = NumDataBytes * 8;
  if (Bits.GetSize() > Capacity) {
    FEncoderError = true;
    return;
  }
  // Terminator: up to four 0 bits, fewer when the capacity is reached first.
  for (int I = 0; I < 4 && Bits.GetSize() < Capacity; ++I) {
    Bits.AppendBit(false);
  }
  const int Partial = Bits.GetSize() & 7;
  if (Partial > 0) {
    Bits.AppendBits(0, 8 - Partial);
  }
  const int PadCount = NumDataBytes - Bits.GetSizeInBytes();
  for (int I = 0; I < PadCount; ++I) {
    Bits.AppendBits((I & 1) == 0 ? 0xEC : 0x11, 8);
  }
  if (Bits.GetSize() != Capacity) {
    FEncoderError = true;
  }
}

// The sizes are derived from the totals: the short blocks come first, the long blocks
// carry one more data codeword, and every block has the same number of EC codewords.
bool TEncoder::GetBlockSizes(int NumTotalBytes, int NumDataBytes, int NumRSBlocks, int BlockID,
                             int& NumDataBytesInBlock, int& NumECBytesInBlock) {
  if (NumRSBlocks <= 0 || BlockID < 0 || BlockID >= NumRSBlocks) {
    FEncoderError = true;
    return false;
  }
  const int LongBlocks = NumTotalBytes % NumRSBlocks;
  const int ShortBlocks = NumRSBlocks - LongBlocks;
  const int ShortTotal = NumTotalBytes / NumRSBlocks;
  const int LongTotal = ShortTotal + 1;
  const int ShortData = NumDataBytes / NumRSBlocks;
  const int LongData = ShortData + 1;
  const int ShortEC = ShortTotal - ShortData;
  const int LongEC = LongTotal - LongData;
  if (ShortEC != LongEC || ShortBlocks + LongBlocks != NumRSBlocks ||
      (ShortData + ShortEC) * ShortBlocks + (LongData + LongEC) * LongBlocks != NumTotalBytes ||
      ShortData * ShortBlocks + LongData * LongBlocks != NumDataBytes) {
    FEncoderError = true;
    return false;
  }
  if (BlockID < ShortBlocks) {
    NumDataBytesInBlock = ShortData;
    NumECBytesInBlock = ShortEC;
  } else {
    NumDataBytesInBlock = LongData;
    NumECBytesInBlock = LongEC;
  }
  return true;
}

TByteArray TEncoder::ComputeBlockEC(const TByteArray& DataBytes, int NumECBytes) {
  if (NumECBytes <= 0) {
    return {};
  }
  const std::size_t N = DataBytes.size();
  TIntegerArray ToEncode(N + static_cast<std::size_t>(NumECBytes), 0);
  std::copy(DataBytes.begin(), DataBytes.end(), ToEncode.begin());
  {
    const std::unique_ptr<TGenericGF> Field = TGenericGF::CreateQRCodeField256();
    TReedSolomonEncoder Encoder(Field.get());
    Encoder.Encode(ToEncode, NumECBytes);
  } // the encoder goes before its field
  TByteArray ECBytes(static_cast<std::size_t>(NumECBytes));
  for (std::size_t I = 0; I < ECBytes.size(); ++I) {
    ECBytes[I] = static_cast<std::uint8_t>(ToEncode[N + I] & 0xFF);
  }
  return ECBytes;
}

void TEncoder::InterleaveBlocks(const TBitArray& Bits, int NumTotalBytes, int NumDataBytes,
                                int NumRSBlocks, TBitArray& Result) {
  if (Bits.GetSizeInBytes() != NumDataBytes) {
    FEncoderError = true;
    return;
  }
  int Offset = 0;
  std::size_t MaxData = 0;
  std::size_t MaxEC = 0;
  std::vector<TBlockPair> Blocks;
  Blocks.reserve(static_cast<std::size_t>(std::max(NumRSBlocks, 0)));
  for (int I = 0; I < NumRSBlocks; ++I) {
    int Size = 0;
    int ECSize = 0;
    if (!GetBlockSizes(NumTotalBytes, NumDataBytes, NumRSBlocks, I, Size, ECSize)) {
      return; // nothing appended; the flag is set
    }
    TByteArray DataBytes(static_cast<std::size_t>(Size));
    Bits.ToBytes(8 * Offset, DataBytes, 0, Size);
    TByteArray ECBytes = ComputeBlockEC(DataBytes, ECSize);
    MaxData = std::max(MaxData, DataBytes.size());
    MaxEC = std::max(MaxEC, ECBytes.size());
    Blocks.emplace_back(std::move(DataBytes), std::move(ECBytes));
    Offset += Size;
  }
  if (Offset != NumDataBytes) {
    FEncoderError = true;
    return;
  }
  for (std::size_t J = 0; J < MaxData; ++J) {
    for (const TBlockPair& Block : Blocks) {
      if (J < Block.GetDataBytes().size()) {
        Result.AppendBits(Block.GetDataBytes()[J], 8);
      }
    }
  }
  for (std::size_t J = 0; J < MaxEC; ++J) {
    for (const TBlockPair& Block : Blocks) {
      if (J < Block.GetErrorCorrectionBytes().size()) {
        Result.AppendBits(Block.GetErrorCorrectionBytes()[J], 8);
      }
    }
  }
  if (Result.GetSizeInBytes() != NumTotalBytes) {
    FEncoderError = true;
  }
}
