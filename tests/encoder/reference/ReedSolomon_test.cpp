// Reed-Solomon error-correction codewords of QR Code blocks.
#include "encoder/reference/ReedSolomon.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace {

TEST(ReedSolomon, AnnexIExampleVersion1M) {
  auto Field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder Encoder(Field.get());
  TIntegerArray Block = {16, 32,  12, 86, 97, 128, 236, 17, 236, 17, 236, 17, 236,
                         17, 236, 17, 0,  0,  0,   0,   0,  0,   0,  0,   0,  0};
  Encoder.Encode(Block, 10);
  EXPECT_EQ(Block, (TIntegerArray{16, 32,  12, 86,  97, 128, 236, 17,  236, 17,  236, 17, 236,
                                  17, 236, 17, 165, 36, 212, 193, 237, 54,  199, 135, 44, 85}));
}

// Generator polynomials as exponents of alpha (ISO/IEC 18004 Annex A).
TEST(ReedSolomon, GeneratorsMatchAnnexA) {
  auto Field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder Encoder(Field.get());
  const std::vector<std::pair<int, std::vector<int>>> AnnexA = {
      {7, {0, 87, 229, 146, 149, 238, 102, 21}},
      {10, {0, 251, 67, 46, 61, 118, 70, 64, 94, 32, 45}},
  };
  for (const auto& [degree, exponents] : AnnexA) {
    TIntegerArray Expected;
    for (int E : exponents)
      Expected.push_back(Field->Exp(E));
    EXPECT_EQ(Encoder.BuildGenerator(degree)->GetCoefficients(), Expected) << "degree " << degree;
  }
  EXPECT_EQ(Encoder.BuildGenerator(7)->GetCoefficients(),
            (TIntegerArray{1, 127, 122, 154, 164, 11, 68, 117}));
  EXPECT_EQ(Encoder.BuildGenerator(0)->GetCoefficients(), TIntegerArray{1});
  EXPECT_EQ(Encoder.BuildGenerator(1)->GetCoefficients(), (TIntegerArray{1, 1}));
  EXPECT_EQ(Encoder.BuildGenerator(2)->GetCoefficients(), (TIntegerArray{1, 3, 2}));
}

TEST(ReedSolomon, GeneratorsAreCached) {
  auto Field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder Encoder(Field.get());
  TGenericGFPoly* Ten = Encoder.BuildGenerator(10);
  const std::size_t Polys = Field->PolyCount();
  TGenericGFPoly* Seven = Encoder.BuildGenerator(7);
  EXPECT_EQ(Field->PolyCount(), Polys); // built on the way to 10
  EXPECT_EQ(Encoder.BuildGenerator(7), Seven);
  EXPECT_EQ(Encoder.BuildGenerator(10), Ten);
  EXPECT_EQ(Seven->GetDegree(), 7);
}

// c(x) = data(x) * x^n + ec(x) is a multiple of the generator, so it vanishes at
// alpha^0 .. alpha^(n-1). Evaluated with Horner's rule, needing no worked example.
TEST(ReedSolomon, CodewordsVanishAtGeneratorRootsForRandomBlocks) {
  const unsigned Seed = 20240611u;
  std::printf("random block seed: %u\n", Seed);
  std::mt19937 Rng(Seed);
  const int ECSizes[] = {7, 10, 13, 15, 16, 17, 18, 20, 22, 24, 26, 28, 30};
  auto Field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder Encoder(Field.get());
  for (int Trial = 0; Trial < 300; ++Trial) {
    const int EC = ECSizes[Rng() % std::size(ECSizes)];
    const int Data = 1 + static_cast<int>(Rng() % 150);
    TIntegerArray Block(static_cast<std::size_t>(Data + EC));
    for (auto& B : Block)
      B = static_cast<int>(Rng() % 256); // EC area starts as garbage
    Encoder.Encode(Block, EC);
    for (int I = 0; I < EC; ++I) {
      const int Root = Field->Exp(I);
      int Value = 0;
      for (int C : Block)
        Value = Field->Multiply(Value, Root) ^ C;
      ASSERT_EQ(Value, 0) << "trial " << Trial << ", data " << Data << ", ec " << EC
                          << ", root alpha^" << I;
    }
  }
}

// Encode must give exactly the remainder of the polynomial long division,
// right-aligned in the error-correction area, whatever method it uses.
TEST(ReedSolomon, EncodeAgreesWithPolynomialDivision) {
  const unsigned Seed = 77031u;
  std::printf("random block seed: %u\n", Seed);
  std::mt19937 Rng(Seed);
  for (int Trial = 0; Trial < 200; ++Trial) {
    auto Field = TGenericGF::CreateQRCodeField256();
    TReedSolomonEncoder Encoder(Field.get());
    const int EC = 1 + static_cast<int>(Rng() % 30);
    const int Data = 1 + static_cast<int>(Rng() % 120);
    TIntegerArray Block(static_cast<std::size_t>(Data + EC), 0);
    // Every few trials, leading zero data codewords and sparse data.
    const int LeadingZeros =
        Trial % 4 == 0 ? static_cast<int>(Rng() % static_cast<unsigned>(Data)) : 0;
    for (int I = LeadingZeros; I < Data; ++I)
      Block[static_cast<std::size_t>(I)] = static_cast<int>(Rng() % 256);

    TIntegerArray DataPart(Block.begin(), Block.begin() + Data);
    TGenericGFPoly* Dividend =
        TGenericGFPoly::Create(Field.get(), DataPart)->MultiplyByMonomial(EC, 1);
    const TIntegerArray Remainder =
        Dividend->Divide(Encoder.BuildGenerator(EC))[1]->GetCoefficients();
    ASSERT_LE(Remainder.size(), static_cast<std::size_t>(EC));
    TIntegerArray Expected = DataPart;
    Expected.resize(static_cast<std::size_t>(Data + EC) - Remainder.size(), 0);
    Expected.insert(Expected.end(), Remainder.begin(), Remainder.end());

    Encoder.Encode(Block, EC);
    ASSERT_EQ(Block, Expected) << "trial " << Trial;
  }
}

TEST(ReedSolomon, ZeroAndLeadingZeroData) {
  auto Field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder Encoder(Field.get());
  TIntegerArray Zeros = {0, 0, 0, 9, 9, 9, 9};
  Encoder.Encode(Zeros, 4);
  EXPECT_EQ(Zeros, (TIntegerArray{0, 0, 0, 0, 0, 0, 0}));

  TIntegerArray Plain = {16, 32, 12, 86, 97, 0, 0, 0, 0, 0, 0, 0};
  TIntegerArray Padded = {0, 0, 16, 32, 12, 86, 97, 0, 0, 0, 0, 0, 0, 0};
  Encoder.Encode(Plain, 7);
  Encoder.Encode(Padded, 7);
  EXPECT_EQ(TIntegerArray(Plain.end() - 7, Plain.end()),
            TIntegerArray(Padded.end() - 7, Padded.end()));
}

TEST(ReedSolomon, NothingToEncodeLeavesTheArrayAlone) {
  auto Field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder Encoder(Field.get());
  const TIntegerArray Original = {5, 6, 7, 8};
  for (int EC : {0, -1, 4, 5}) {
    TIntegerArray Block = Original;
    Encoder.Encode(Block, EC);
    EXPECT_EQ(Block, Original) << "ec " << EC;
  }
}

} // namespace
