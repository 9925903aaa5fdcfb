#include "encoder/reference/BitArray.h"
#include "support/Bits.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(BitArray, FreshBufferHasOneZeroWordAndNoBits) {
  TBitArray A;
  EXPECT_EQ(A.GetSize(), 0);
  EXPECT_EQ(A.GetSizeInBytes(), 0);
  ASSERT_EQ(A.GetBits().size(), 1u);
  EXPECT_EQ(A.GetBits()[0], 0u);
  EXPECT_EQ(TBitArray(0).GetSize(), 0);
  EXPECT_EQ(TBitArray(33).GetBits().size(), 2u);
  EXPECT_EQ(TBitArray(33).GetSize(), 0);
}

TEST(BitArray, StorageIsLsbFirstAndValuesAreAppendedMsbFirst) {
  TBitArray A;
  A.AppendBits(5, 4);
  EXPECT_EQ(BitString(A), "0101");
  // bit i at weight 2^i of its word: bits 1 and 3 set -> 0b1010
  EXPECT_EQ(A.GetBits()[0], 0xAu);

  TBitArray B;
  B.AppendBits(0xFFFFFFFFu, 32);
  B.AppendBits(0x80000001u, 32);
  B.AppendBits(7, 0); // nothing
  TBitArray Long;
  Long.AppendBits(0x80000001u, 40); // eight leading zeros, no out-of-range shift
  EXPECT_EQ(BitString(Long), std::string(8, '0') + "1" + std::string(30, '0') + "1");
  ASSERT_EQ(B.GetSize(), 64);
  EXPECT_EQ(B.GetBits()[0], 0xFFFFFFFFu);
  EXPECT_EQ(B.GetBits()[1], 0x80000001u); // symmetric pattern reads the same both ways
  EXPECT_TRUE(B.Get(32));
  EXPECT_FALSE(B.Get(33));
  EXPECT_TRUE(B.Get(63));
}

TEST(BitArray, SingleBitsGrowAcrossWords) {
  TBitArray A;
  for (int I = 0; I < 33; ++I) {
    A.AppendBit(I % 2 == 0);
  }
  EXPECT_EQ(A.GetSize(), 33);
  EXPECT_EQ(A.GetBits().size(), 2u);
  EXPECT_EQ(A.GetSizeInBytes(), 5);
  EXPECT_EQ(A.GetBits()[0], 0x55555555u);
  EXPECT_EQ(A.GetBits()[1], 1u);
  TBitArray Nine;
  Nine.AppendBits(0, 9);
  EXPECT_EQ(Nine.GetSizeInBytes(), 2);
}

TEST(BitArray, ToBytesReadsMsbFirstAtAnyBitOffset) {
  TBitArray A;
  A.AppendBits(1, 4);
  A.AppendBits(3, 2); // 0001 11, bits beyond the size read 0
  TByteArray Out(3, 0xAA);
  A.ToBytes(0, Out, 1, 1);
  EXPECT_EQ(Out, (TByteArray{0xAA, 0x1C, 0xAA}));

  TBitArray B;
  B.AppendBits(0xEC, 8);
  B.AppendBits(0x11, 8);
  B.AppendBits(0xA5, 8);
  TByteArray Two(2, 0);
  B.ToBytes(8, Two, 0, 2);
  EXPECT_EQ(Two, (TByteArray{0x11, 0xA5}));
  B.ToBytes(4, Two, 0, 1); // unaligned: low nibble of EC, high nibble of 11
  EXPECT_EQ(Two[0], 0xC1);
  B.ToBytes(0, Two, 0, 0); // nothing written
  B.ToBytes(0, Two, 0, -1);
  EXPECT_EQ(Two[0], 0xC1);
}

TEST(BitArray, AppendBitArrayCopiesInOrderAndLeavesSourceAlone) {
  TBitArray A;
  A.AppendBits(0b101, 3);
  TBitArray B;
  B.AppendBits(0x3FFFFFFFu, 30);
  B.AppendBits(0b0110, 4);
  A.AppendBitArray(B);
  EXPECT_EQ(A.GetSize(), 37);
  EXPECT_EQ(BitString(A), "101" + std::string(30, '1') + "0110");
  EXPECT_EQ(B.GetSize(), 34);
  A.AppendBitArray(A); // appending a buffer to itself doubles it
  EXPECT_EQ(BitString(A), std::string("101") + std::string(30, '1') + "0110" + "101" +
                              std::string(30, '1') + "0110");
}

TEST(BitArray, XorOperationWorksOnEqualWordCountsOnly) {
  TBitArray A;
  A.AppendBits(0b10101, 5);
  TBitArray B;
  B.AppendBits(0b11000, 5);
  A.XorOperation(B);
  EXPECT_EQ(BitString(A), "01101");
  EXPECT_EQ(A.GetSize(), 5);

  TBitArray OneWord;
  OneWord.AppendBits(0xF, 4);
  TBitArray TwoWords;
  TwoWords.AppendBits(0xFFFFFFFFu, 32);
  TwoWords.AppendBits(1, 1);
  OneWord.XorOperation(TwoWords);
  TwoWords.XorOperation(OneWord);
  EXPECT_EQ(BitString(OneWord), "1111");
  EXPECT_EQ(BitString(TwoWords), std::string(33, '1'));
}

TEST(BitArray, SetBitDoesNotChangeSize) {
  TBitArray A;
  A.AppendBits(0, 3);
  A.SetBit(1);
  EXPECT_EQ(BitString(A), "010");
  A.SetBit(10); // beyond the size but inside the word
  EXPECT_EQ(A.GetSize(), 3);
  EXPECT_TRUE(A.Get(10));
}

} // namespace
