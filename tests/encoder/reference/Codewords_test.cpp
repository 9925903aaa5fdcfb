#include "encoder/reference/Encoder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TByteArray Bytes(const TBitArray& A) {
  TByteArray Out(static_cast<std::size_t>(A.GetSizeInBytes()));
  A.ToBytes(0, Out, 0, A.GetSizeInBytes());
  return Out;
}

TBitArray FromBytes(const TByteArray& B) {
  TBitArray A;
  for (std::uint8_t X : B) {
    A.AppendBits(X, 8);
  }
  return A;
}

TEST(Codewords, PaddingTerminatesAlignsAndAlternatesPadCodewords) {
  struct Case {
    int SegmentBits; // all ones
    int NumDataBytes;
    TByteArray Tail; // the bytes after the whole 0xFF bytes of the segment
  };
  const Case Cases[] = {
      {16, 2, {}},                      // exactly at capacity: nothing appended
      {15, 2, {0xFE}},                  // 1 bit short: one terminator bit only
      {13, 2, {0xF8}},                  // 3 bits short: three terminator bits only
      {12, 3, {0xF0, 0xEC}},            // 4 terminator bits end on the byte boundary
      {9, 3, {0x80, 0xEC}},             // terminator 4 bits, then 3 alignment bits
      {8, 2, {0x00}},                   // terminator and alignment fill the last byte
      {8, 3, {0x00, 0xEC}},             // one pad codeword
      {8, 4, {0x00, 0xEC, 0x11}},       // two
      {8, 5, {0x00, 0xEC, 0x11, 0xEC}}, // three
      {0, 2, {0x00, 0xEC}},             // empty segment: 4 terminator and 4 alignment bits, one pad
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.SegmentBits);
    TEncoder E;
    TBitArray Bits;
    for (int I = 0; I < C.SegmentBits; ++I) {
      Bits.AppendBit(true);
    }
    E.PadToCapacity(C.NumDataBytes, Bits);
    EXPECT_FALSE(E.EncoderError());
    ASSERT_EQ(Bits.GetSize(), C.NumDataBytes * 8);
    const TByteArray All = Bytes(Bits);
    const TByteArray Tail(All.begin() + C.SegmentBits / 8, All.end());
    EXPECT_EQ(Tail, C.Tail);
  }
}

TEST(Codewords, HelloWorldPadsToNineteenCodewords) {
  // 74 segment bits at version 1-L: 78 after the terminator, 80 after alignment, then
  // EC 11 EC 11 EC 11 EC 11 EC.
  TEncoder E;
  TBitArray Bits;
  Bits.AppendBits(0, 74);
  E.PadToCapacity(19, Bits);
  const TByteArray B = Bytes(Bits);
  ASSERT_EQ(B.size(), 19u);
  EXPECT_EQ(TByteArray(B.begin() + 10, B.end()),
            (TByteArray{0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC}));
}

TEST(Codewords, PaddingRefusesBitsBeyondCapacity) {
  TEncoder E;
  TBitArray Bits;
  Bits.AppendBits(0, 17);
  E.PadToCapacity(2, Bits);
  EXPECT_TRUE(E.EncoderError());
  EXPECT_EQ(Bits.GetSize(), 17);
}

TEST(Codewords, BlockSizesReproduceTheTableForEveryVersionAndLevel) {
  for (int V = 1; V <= 40; ++V) {
    const auto Version = TVersion::GetVersionForNumber(V);
    for (std::size_t Level = 0; Level < 4; ++Level) {
      SCOPED_TRACE(std::to_string(V) + "/" + std::to_string(Level));
      const TECBlocks& Layout = Version->GetECBlocks()[Level];
      const int Total = Version->GetTotalCodewords();
      const int Data = Total - Layout.GetTotalECCodewords();
      std::vector<std::pair<int, int>> Expected;
      for (const TECB& G : Layout.GetECBlocks()) {
        for (int I = 0; I < G.GetCount(); ++I) {
          Expected.emplace_back(G.GetDataCodewords(), Layout.GetECCodewordsPerBlock());
        }
      }
      TEncoder E;
      std::vector<std::pair<int, int>> Got;
      for (int B = 0; B < Layout.GetNumBlocks(); ++B) {
        int D = -1;
        int EC = -1;
        ASSERT_TRUE(E.GetBlockSizes(Total, Data, Layout.GetNumBlocks(), B, D, EC));
        Got.emplace_back(D, EC);
      }
      EXPECT_EQ(Got, Expected);
      EXPECT_FALSE(E.EncoderError());
    }
  }
}

TEST(Codewords, BlockSizesThatDoNotAddUpAreRefused) {
  int D = 0;
  int EC = 0;
  TEncoder OutOfRange;
  EXPECT_FALSE(OutOfRange.GetBlockSizes(26, 19, 1, 1, D, EC));
  EXPECT_TRUE(OutOfRange.EncoderError());
  TEncoder NoBlocks;
  EXPECT_FALSE(NoBlocks.GetBlockSizes(26, 19, 0, 0, D, EC));
  EXPECT_TRUE(NoBlocks.EncoderError());
  // 51 data codewords cannot share 100 codewords in two blocks with equal EC counts.
  TEncoder Uneven;
  EXPECT_FALSE(Uneven.GetBlockSizes(100, 51, 2, 0, D, EC));
  EXPECT_TRUE(Uneven.EncoderError());
}

TEST(Codewords, BlockEcMatchesTheAnnexIExample) {
  // ISO/IEC 18004 Annex I: version 1-M, "01234567".
  TEncoder E;
  const TByteArray Data = {16, 32, 12, 86, 97, 128, 236, 17, 236, 17, 236, 17, 236, 17, 236, 17};
  EXPECT_EQ(E.ComputeBlockEC(Data, 10), (TByteArray{165, 36, 212, 193, 237, 54, 199, 135, 44, 85}));
}

// Interleaves Data of the given layout and checks clause 7.6: data byte j of every block in
// block order, then EC byte j of every block; the EC bytes are those of each block's data.
void CheckInterleaving(int VersionNum, std::size_t Level) {
  const auto Version = TVersion::GetVersionForNumber(VersionNum);
  const TECBlocks& Layout = Version->GetECBlocks()[Level];
  const int Total = Version->GetTotalCodewords();
  const int NumData = Total - Layout.GetTotalECCodewords();
  TByteArray Data(static_cast<std::size_t>(NumData));
  for (std::size_t I = 0; I < Data.size(); ++I) {
    Data[I] = static_cast<std::uint8_t>(I * 7 + 3);
  }
  std::vector<TByteArray> BlockData;
  std::vector<TByteArray> BlockEC;
  std::size_t Offset = 0;
  TEncoder Ref;
  for (const TECB& G : Layout.GetECBlocks()) {
    for (int I = 0; I < G.GetCount(); ++I) {
      const auto N = static_cast<std::size_t>(G.GetDataCodewords());
      BlockData.emplace_back(Data.begin() + static_cast<long>(Offset),
                             Data.begin() + static_cast<long>(Offset + N));
      BlockEC.push_back(Ref.ComputeBlockEC(BlockData.back(), Layout.GetECCodewordsPerBlock()));
      Offset += N;
    }
  }
  TByteArray Expected;
  for (std::size_t J = 0; J < 200; ++J) {
    for (const TByteArray& B : BlockData) {
      if (J < B.size()) {
        Expected.push_back(B[J]);
      }
    }
  }
  for (std::size_t J = 0; J < 40; ++J) {
    for (const TByteArray& B : BlockEC) {
      if (J < B.size()) {
        Expected.push_back(B[J]);
      }
    }
  }
  TEncoder E;
  TBitArray Result;
  E.InterleaveBlocks(FromBytes(Data), Total, NumData, Layout.GetNumBlocks(), Result);
  EXPECT_FALSE(E.EncoderError());
  EXPECT_EQ(Result.GetSize(), Total * 8);
  EXPECT_EQ(Bytes(Result), Expected);
}

TEST(Codewords, InterleavingOfTheStandardsExamples) {
  CheckInterleaving(1, 0);  // one block: 19 data then 7 EC
  CheckInterleaving(5, 2);  // 2 x 15 + 2 x 16: the last two data codewords come from blocks 3 and 4
  CheckInterleaving(10, 0); // 2 x 68 + 2 x 69
  CheckInterleaving(40, 0);
  CheckInterleaving(40, 3); // 81 blocks

  // Spot values of 5-Q: position 60 and 61 are D3[15] and D4[15], i.e. data bytes 45 and 61.
  const auto V5 = TVersion::GetVersionForNumber(5);
  TByteArray Data(62);
  for (std::size_t I = 0; I < Data.size(); ++I) {
    Data[I] = static_cast<std::uint8_t>(I);
  }
  TEncoder E;
  TBitArray Result;
  E.InterleaveBlocks(FromBytes(Data), 134, 62, 4, Result);
  const TByteArray Out = Bytes(Result);
  ASSERT_EQ(Out.size(), 134u);
  EXPECT_EQ((TByteArray(Out.begin(), Out.begin() + 8)), (TByteArray{0, 15, 30, 46, 1, 16, 31, 47}));
  EXPECT_EQ(Out[60], 45);
  EXPECT_EQ(Out[61], 61);
}

TEST(Codewords, EverySymbolGetsExactlyItsTotalCodewords) {
  const TErrorCorrectionLevel L;
  for (int V = 1; V <= 40; ++V) {
    const auto Version = TVersion::GetVersionForNumber(V);
    const TECBlocks& Layout = Version->GetECBlocksForLevel(L);
    const int NumData = Version->GetTotalCodewords() - Layout.GetTotalECCodewords();
    TEncoder E;
    TBitArray Bits;
    E.PadToCapacity(NumData, Bits);
    TBitArray Result;
    E.InterleaveBlocks(Bits, Version->GetTotalCodewords(), NumData, Layout.GetNumBlocks(), Result);
    EXPECT_FALSE(E.EncoderError()) << V;
    EXPECT_EQ(Result.GetSize(), Version->GetTotalCodewords() * 8) << V;
  }
}

TEST(Codewords, InterleavingRefusesInputOfTheWrongLength) {
  TEncoder E;
  TBitArray Short;
  Short.AppendBits(0, 8 * 18);
  TBitArray Result;
  E.InterleaveBlocks(Short, 26, 19, 1, Result);
  EXPECT_TRUE(E.EncoderError());
  EXPECT_EQ(Result.GetSize(), 0);

  TEncoder Uneven;
  TBitArray Data;
  Data.AppendBits(0, 8 * 51);
  Uneven.InterleaveBlocks(Data, 100, 51, 2, Result);
  EXPECT_TRUE(Uneven.EncoderError());
  EXPECT_EQ(Result.GetSize(), 0);
}

} // namespace
