// Reed-Solomon error-correction codewords of QR Code blocks.
#include "encoder/ReedSolomon.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>

namespace {

TEST(ReedSolomon, AnnexIExampleVersion1M) {
  auto field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder encoder(field.get());
  TIntegerArray block = {16, 32,  12, 86, 97, 128, 236, 17, 236, 17, 236, 17, 236,
                         17, 236, 17, 0,  0,  0,   0,   0,  0,   0,  0,   0,  0};
  encoder.Encode(block, 10);
  EXPECT_EQ(block, (TIntegerArray{16, 32,  12, 86,  97, 128, 236, 17,  236, 17,  236, 17, 236,
                                  17, 236, 17, 165, 36, 212, 193, 237, 54,  199, 135, 44, 85}));
}

// Generator polynomials as exponents of alpha (ISO/IEC 18004 Annex A).
TEST(ReedSolomon, GeneratorsMatchAnnexA) {
  auto field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder encoder(field.get());
  const std::vector<std::pair<int, std::vector<int>>> annexA = {
      {7, {0, 87, 229, 146, 149, 238, 102, 21}},
      {10, {0, 251, 67, 46, 61, 118, 70, 64, 94, 32, 45}},
  };
  for (const auto& [degree, exponents] : annexA) {
    TIntegerArray expected;
    for (int e : exponents)
      expected.push_back(field->Exp(e));
    EXPECT_EQ(encoder.BuildGenerator(degree)->GetCoefficients(), expected) << "degree " << degree;
  }
  EXPECT_EQ(encoder.BuildGenerator(7)->GetCoefficients(),
            (TIntegerArray{1, 127, 122, 154, 164, 11, 68, 117}));
  EXPECT_EQ(encoder.BuildGenerator(0)->GetCoefficients(), TIntegerArray{1});
  EXPECT_EQ(encoder.BuildGenerator(1)->GetCoefficients(), (TIntegerArray{1, 1}));
  EXPECT_EQ(encoder.BuildGenerator(2)->GetCoefficients(), (TIntegerArray{1, 3, 2}));
}

TEST(ReedSolomon, GeneratorsAreCached) {
  auto field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder encoder(field.get());
  TGenericGFPoly* ten = encoder.BuildGenerator(10);
  const std::size_t polys = field->PolyCount();
  TGenericGFPoly* seven = encoder.BuildGenerator(7);
  EXPECT_EQ(field->PolyCount(), polys); // built on the way to 10
  EXPECT_EQ(encoder.BuildGenerator(7), seven);
  EXPECT_EQ(encoder.BuildGenerator(10), ten);
  EXPECT_EQ(seven->GetDegree(), 7);
}

// c(x) = data(x) * x^n + ec(x) is a multiple of the generator, so it vanishes at
// alpha^0 .. alpha^(n-1). Evaluated with Horner's rule, needing no worked example.
TEST(ReedSolomon, CodewordsVanishAtGeneratorRootsForRandomBlocks) {
  const unsigned seed = 20240611u;
  std::printf("random block seed: %u\n", seed);
  std::mt19937 rng(seed);
  const int ecSizes[] = {7, 10, 13, 15, 16, 17, 18, 20, 22, 24, 26, 28, 30};
  auto field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder encoder(field.get());
  for (int trial = 0; trial < 300; ++trial) {
    const int ec = ecSizes[rng() % std::size(ecSizes)];
    const int data = 1 + static_cast<int>(rng() % 150);
    TIntegerArray block(static_cast<std::size_t>(data + ec));
    for (auto& b : block)
      b = static_cast<int>(rng() % 256); // EC area starts as garbage
    encoder.Encode(block, ec);
    for (int i = 0; i < ec; ++i) {
      const int root = field->Exp(i);
      int value = 0;
      for (int c : block)
        value = field->Multiply(value, root) ^ c;
      ASSERT_EQ(value, 0) << "trial " << trial << ", data " << data << ", ec " << ec
                          << ", root alpha^" << i;
    }
  }
}

// Encode must give exactly the remainder of the polynomial long division,
// right-aligned in the error-correction area, whatever method it uses.
TEST(ReedSolomon, EncodeAgreesWithPolynomialDivision) {
  const unsigned seed = 77031u;
  std::printf("random block seed: %u\n", seed);
  std::mt19937 rng(seed);
  for (int trial = 0; trial < 200; ++trial) {
    auto field = TGenericGF::CreateQRCodeField256();
    TReedSolomonEncoder encoder(field.get());
    const int ec = 1 + static_cast<int>(rng() % 30);
    const int data = 1 + static_cast<int>(rng() % 120);
    TIntegerArray block(static_cast<std::size_t>(data + ec), 0);
    // Every few trials, leading zero data codewords and sparse data.
    const int leadingZeros =
        trial % 4 == 0 ? static_cast<int>(rng() % static_cast<unsigned>(data)) : 0;
    for (int i = leadingZeros; i < data; ++i)
      block[static_cast<std::size_t>(i)] = static_cast<int>(rng() % 256);

    TIntegerArray dataPart(block.begin(), block.begin() + data);
    TGenericGFPoly* dividend =
        TGenericGFPoly::Create(field.get(), dataPart)->MultiplyByMonomial(ec, 1);
    const TIntegerArray remainder =
        dividend->Divide(encoder.BuildGenerator(ec))[1]->GetCoefficients();
    ASSERT_LE(remainder.size(), static_cast<std::size_t>(ec));
    TIntegerArray expected = dataPart;
    expected.resize(static_cast<std::size_t>(data + ec) - remainder.size(), 0);
    expected.insert(expected.end(), remainder.begin(), remainder.end());

    encoder.Encode(block, ec);
    ASSERT_EQ(block, expected) << "trial " << trial;
  }
}

TEST(ReedSolomon, ZeroAndLeadingZeroData) {
  auto field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder encoder(field.get());
  TIntegerArray zeros = {0, 0, 0, 9, 9, 9, 9};
  encoder.Encode(zeros, 4);
  EXPECT_EQ(zeros, (TIntegerArray{0, 0, 0, 0, 0, 0, 0}));

  TIntegerArray plain = {16, 32, 12, 86, 97, 0, 0, 0, 0, 0, 0, 0};
  TIntegerArray padded = {0, 0, 16, 32, 12, 86, 97, 0, 0, 0, 0, 0, 0, 0};
  encoder.Encode(plain, 7);
  encoder.Encode(padded, 7);
  EXPECT_EQ(TIntegerArray(plain.end() - 7, plain.end()),
            TIntegerArray(padded.end() - 7, padded.end()));
}

TEST(ReedSolomon, NothingToEncodeLeavesTheArrayAlone) {
  auto field = TGenericGF::CreateQRCodeField256();
  TReedSolomonEncoder encoder(field.get());
  const TIntegerArray original = {5, 6, 7, 8};
  for (int ec : {0, -1, 4, 5}) {
    TIntegerArray block = original;
    encoder.Encode(block, ec);
    EXPECT_EQ(block, original) << "ec " << ec;
  }
}

} // namespace
