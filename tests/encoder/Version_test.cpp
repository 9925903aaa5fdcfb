#include "encoder/Version.h"

#include <array>
#include <gtest/gtest.h>

namespace {

// ISO/IEC 18004 Table 1: total codewords per version.
// clang-format off
constexpr std::array<int, 40> TotalCodewords = {
    26,   44,   70,   100,  134,  172,  196,  242,  292,  346,  404,  466,  532,  581,
    655,  733,  815,  901,  991,  1085, 1156, 1258, 1364, 1474, 1588, 1706, 1828, 1921,
    2051, 2185, 2323, 2465, 2611, 2761, 2876, 3034, 3196, 3362, 3532, 3706};

// ISO/IEC 18004 Table 7: data codewords per version at L, M, Q, H.
constexpr std::array<std::array<int, 40>, 4> DataCodewords = {{
    {19,   34,   55,   80,   108,  136,  156,  194,  232,  274,  324,  370,  428,  461,
     523,  589,  647,  721,  795,  861,  932,  1006, 1094, 1174, 1276, 1370, 1468, 1531,
     1631, 1735, 1843, 1955, 2071, 2191, 2306, 2434, 2566, 2702, 2812, 2956},
    {16,   28,   44,   64,   86,   108,  124,  154,  182,  216,  254,  290,  334,  365,
     415,  453,  507,  563,  627,  669,  714,  782,  860,  914,  1000, 1062, 1128, 1193,
     1267, 1373, 1455, 1541, 1631, 1725, 1812, 1914, 1992, 2102, 2216, 2334},
    {13,  22,  34,  48,  62,  76,  88,  110, 132, 154, 180,  206,  244,  261,
     295, 325, 367, 397, 445, 485, 512, 568, 614, 664, 718,  754,  808,  871,
     911, 985, 1033, 1115, 1171, 1231, 1286, 1354, 1426, 1502, 1582, 1666},
    {9,   16,  26,  36,  46,  60,  66,  86,  100, 122, 140, 158, 180, 197,
     223, 253, 283, 313, 341, 385, 406, 442, 464, 514, 538, 596, 628, 661,
     701, 745, 793, 845, 901, 961, 986, 1054, 1096, 1142, 1222, 1276},
}};
// clang-format on

TEST(Version, EveryLayoutAddsUpToTheStandardsTotalsAndCapacities) {
  for (int V = 1; V <= 40; ++V) {
    SCOPED_TRACE(V);
    const auto Version = TVersion::GetVersionForNumber(V);
    ASSERT_NE(Version, nullptr);
    EXPECT_EQ(Version->GetVersionNumber(), V);
    EXPECT_EQ(Version->GetTotalCodewords(), TotalCodewords[static_cast<std::size_t>(V - 1)]);
    EXPECT_EQ(Version->GetDimensionForVersion(), 17 + 4 * V);
    EXPECT_EQ(Version->GetECCodewords(), Version->GetECBlocks()[0].GetECCodewordsPerBlock());
    for (std::size_t Level = 0; Level < 4; ++Level) {
      SCOPED_TRACE(Level);
      const TECBlocks& Layout = Version->GetECBlocks()[Level];
      const auto& Groups = Layout.GetECBlocks();
      ASSERT_GE(Groups.size(), 1u);
      ASSERT_LE(Groups.size(), 2u);
      int Total = 0;
      int Data = 0;
      for (const TECB& G : Groups) {
        EXPECT_GT(G.GetCount(), 0);
        Total += G.GetCount() * (G.GetDataCodewords() + Layout.GetECCodewordsPerBlock());
        Data += G.GetCount() * G.GetDataCodewords();
      }
      if (Groups.size() == 2) {
        EXPECT_EQ(Groups[1].GetDataCodewords(), Groups[0].GetDataCodewords() + 1);
      }
      EXPECT_EQ(Total, Version->GetTotalCodewords());
      EXPECT_EQ(Data, DataCodewords[Level][static_cast<std::size_t>(V - 1)]);
      EXPECT_EQ(Version->GetTotalCodewords() - Layout.GetTotalECCodewords(), Data);
    }
  }
}

TEST(Version, TellingRowsOfTheBlockTable) {
  const auto V1 = TVersion::GetVersionForNumber(1);
  EXPECT_TRUE(V1->GetAlignmentPatternCenters().empty());
  EXPECT_EQ(V1->GetECCodewords(), 7);
  const auto V5 = TVersion::GetVersionForNumber(5);
  const TECBlocks& Q5 = V5->GetECBlocks()[2];
  EXPECT_EQ(Q5.GetECCodewordsPerBlock(), 18);
  EXPECT_EQ(Q5.GetNumBlocks(), 4);
  EXPECT_EQ(Q5.GetECBlocks()[0].GetDataCodewords(), 15);
  const auto V40 = TVersion::GetVersionForNumber(40);
  const TECBlocks& L40 = V40->GetECBlocks()[0];
  EXPECT_EQ(L40.GetNumBlocks(), 25);
  EXPECT_EQ(L40.GetECBlocks()[0].GetCount(), 19);
  EXPECT_EQ(L40.GetECBlocks()[1].GetDataCodewords(), 119);
  EXPECT_EQ(V40->GetECBlocks()[3].GetNumBlocks(), 81);
}

// Annex E: the first centre is 6, the last is side - 7, there are V / 7 + 2 of them, and
// after the second the spacing is an even constant (the first gap differs).
TEST(Version, AlignmentCentresFollowTheStandardsLayout) {
  for (int V = 2; V <= 40; ++V) {
    SCOPED_TRACE(V);
    const auto Version = TVersion::GetVersionForNumber(V);
    const auto& C = Version->GetAlignmentPatternCenters();
    ASSERT_EQ(static_cast<int>(C.size()), V / 7 + 2);
    EXPECT_EQ(C.front(), 6);
    EXPECT_EQ(C.back(), Version->GetDimensionForVersion() - 7);
    const int Step = C.back() - C[C.size() - 2];
    EXPECT_EQ(Step % 2, 0);
    for (std::size_t I = 2; I < C.size(); ++I) {
      EXPECT_EQ(C[I] - C[I - 1], Step);
    }
  }
  // A few rows verbatim from Table E.1.
  EXPECT_EQ(TVersion::GetVersionForNumber(7)->GetAlignmentPatternCenters(),
            (std::vector<int>{6, 22, 38}));
  EXPECT_EQ(TVersion::GetVersionForNumber(14)->GetAlignmentPatternCenters(),
            (std::vector<int>{6, 26, 46, 66}));
  EXPECT_EQ(TVersion::GetVersionForNumber(36)->GetAlignmentPatternCenters(),
            (std::vector<int>{6, 24, 50, 76, 102, 128, 154}));
  EXPECT_EQ(TVersion::GetVersionForNumber(40)->GetAlignmentPatternCenters(),
            (std::vector<int>{6, 30, 58, 86, 114, 142, 170}));
}

TEST(Version, NumbersOutsideOneToFortyGiveNoVersion) {
  for (int V : {-1, 0, 41, 1000}) {
    EXPECT_EQ(TVersion::GetVersionForNumber(V), nullptr) << V;
  }
}

TEST(Version, ChooseVersionPicksTheSmallestThatHoldsTheBits) {
  const TErrorCorrectionLevel L(TErrorCorrectionLevel::BitsL);
  EXPECT_EQ(TVersion::ChooseVersion(0, L)->GetVersionNumber(), 1);
  EXPECT_EQ(TVersion::ChooseVersion(23648, L)->GetVersionNumber(), 40);
  EXPECT_EQ(TVersion::ChooseVersion(23649, L), nullptr);
  // Exact fit and one bit over at every boundary.
  for (int V = 1; V < 40; ++V) {
    SCOPED_TRACE(V);
    const int Capacity = DataCodewords[0][static_cast<std::size_t>(V - 1)] * 8;
    EXPECT_EQ(TVersion::ChooseVersion(Capacity, L)->GetVersionNumber(), V);
    EXPECT_EQ(TVersion::ChooseVersion(Capacity + 1, L)->GetVersionNumber(), V + 1);
  }
}

TEST(Version, EachLevelSelectsItsOwnLayout) {
  const auto V5 = TVersion::GetVersionForNumber(5);
  // Format indicators of clause 7.9.1, Table 12: L 01, M 00, Q 11, H 10; layouts in the
  // order L, M, Q, H.
  const std::array<int, 4> Indicators = {1, 0, 3, 2};
  for (int Ordinal = 0; Ordinal < 4; ++Ordinal) {
    SCOPED_TRACE(Ordinal);
    const int Bits = Indicators[static_cast<std::size_t>(Ordinal)];
    TErrorCorrectionLevel Level(Bits);
    TErrorCorrectionLevel Copy;
    Copy.Assign(Level);
    EXPECT_EQ(Copy.Bits(), Bits);
    EXPECT_EQ(Level.Ordinal(), Ordinal);
    EXPECT_EQ(TErrorCorrectionLevel::ForOrdinal(Ordinal).Bits(), Bits);
    EXPECT_EQ(&V5->GetECBlocksForLevel(Level),
              &V5->GetECBlocks()[static_cast<std::size_t>(Ordinal)]);
  }
}

TEST(Version, ChooseVersionAtEveryLevelFollowsTheCapacityTable) {
  for (int Ordinal = 0; Ordinal < 4; ++Ordinal) {
    const auto Level = TErrorCorrectionLevel::ForOrdinal(Ordinal);
    const auto& Row = DataCodewords[static_cast<std::size_t>(Ordinal)];
    for (int V = 1; V <= 40; ++V) {
      SCOPED_TRACE(testing::Message() << "level " << Ordinal << " version " << V);
      const int Capacity = Row[static_cast<std::size_t>(V - 1)] * 8;
      EXPECT_EQ(TVersion::ChooseVersion(Capacity, Level)->GetVersionNumber(), V);
      const auto Next = TVersion::ChooseVersion(Capacity + 1, Level);
      if (V < 40) {
        EXPECT_EQ(Next->GetVersionNumber(), V + 1);
      } else {
        EXPECT_EQ(Next, nullptr);
      }
    }
  }
}

} // namespace
