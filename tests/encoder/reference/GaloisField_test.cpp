// GF(256) of QR Code and polynomials over it.
#include "encoder/reference/GaloisField.h"

#include <gtest/gtest.h>

namespace {

// Carry-less product reduced by x^8 + x^4 + x^3 + x^2 + 1, bit by bit: an
// arithmetic independent of the field's log/exp tables.
int SlowMultiply(int A, int B) {
  int Product = 0;
  while (B != 0) {
    if (B & 1) Product ^= A;
    B >>= 1;
    A <<= 1;
    if (A & 0x100) A ^= 0x11D;
  }
  return Product;
}

TEST(GaloisField, ElementArithmeticMatchesBitwiseReduction) {
  auto Field = TGenericGF::CreateQRCodeField256();
  int Power = 1;
  for (int I = 0; I < 255; ++I) {
    ASSERT_EQ(Field->Exp(I), Power) << "alpha^" << I;
    Power = SlowMultiply(Power, 2);
  }
  EXPECT_EQ(Field->Exp(255), 1);
  for (int A = 0; A < 256; ++A) {
    for (int B = 0; B < 256; ++B)
      ASSERT_EQ(Field->Multiply(A, B), SlowMultiply(A, B)) << A << " * " << B;
    if (A != 0) {
      ASSERT_EQ(SlowMultiply(A, Field->Inverse(A)), 1) << "inverse of " << A;
    }
  }
}

TEST(GaloisField, KnownValuesOfTheQrField) {
  auto Field = TGenericGF::CreateQRCodeField256();
  EXPECT_EQ(Field->Exp(8), 29);
  EXPECT_EQ(Field->Exp(254), 142);
  EXPECT_EQ(Field->Inverse(0), 0);
  EXPECT_EQ(Field->Inverse(1), 1);
  EXPECT_EQ(Field->Inverse(2), 142);
  EXPECT_EQ(Field->Multiply(2, 128), 29);
  EXPECT_EQ(Field->Multiply(0, 7), 0);
  EXPECT_EQ(Field->Multiply(7, 0), 0);
  EXPECT_EQ(TGenericGF::AddOrSubtract(0x53, 0xCA), 0x99);
  EXPECT_EQ(Field->GetGeneratorBase(), 0);
}

TEST(GaloisFieldPoly, ConstructorStripsLeadingZeros) {
  auto Field = TGenericGF::CreateQRCodeField256();
  struct Case {
    TIntegerArray in, out;
    bool zero;
  };
  const Case Cases[] = {
      {{0, 0, 5, 1}, {5, 1}, false}, {{0, 0, 0}, {0}, true}, {{0}, {0}, true}, {{7}, {7}, false},
      {{3, 0, 0}, {3, 0, 0}, false},
  };
  for (const Case& C : Cases) {
    TGenericGFPoly* P = TGenericGFPoly::Create(Field.get(), C.in);
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->GetCoefficients(), C.out);
    EXPECT_EQ(P->GetDegree(), static_cast<int>(C.out.size()) - 1);
    EXPECT_EQ(P->IsZero(), C.zero);
  }
  TGenericGFPoly* P = TGenericGFPoly::Create(Field.get(), {4, 0, 9});
  EXPECT_EQ(P->GetCoefficient(0), 9);
  EXPECT_EQ(P->GetCoefficient(1), 0);
  EXPECT_EQ(P->GetCoefficient(2), 4);
  EXPECT_EQ(TGenericGFPoly::Create(Field.get(), {}), nullptr);
  EXPECT_EQ(TGenericGFPoly::Create(nullptr, {1}), nullptr);
}

TEST(GaloisFieldPoly, SumsAnswerOperandsForZeroAndCancelLeadingTerms) {
  auto Field = TGenericGF::CreateQRCodeField256();
  TGenericGFPoly* Zero = Field->GetZero();
  TGenericGFPoly* P = TGenericGFPoly::Create(Field.get(), {3, 1, 4});
  TGenericGFPoly* Self = P->AddOrSubtract(P);
  EXPECT_NE(Self, P);
  EXPECT_TRUE(Self->IsZero());
  EXPECT_EQ(Self->GetCoefficients(), TIntegerArray{0});
  EXPECT_EQ(P->AddOrSubtract(Zero), P);
  EXPECT_EQ(Zero->AddOrSubtract(P), P);
  // (3 1 4) + (3 5 6) cancels the leading term: (4 2).
  EXPECT_EQ(P->AddOrSubtract(TGenericGFPoly::Create(Field.get(), {3, 5, 6}))->GetCoefficients(),
            (TIntegerArray{4, 2}));
  // Different lengths either way round: the shorter one is aligned to the constant term.
  TGenericGFPoly* Shorter = TGenericGFPoly::Create(Field.get(), {8, 9});
  EXPECT_EQ(P->AddOrSubtract(Shorter)->GetCoefficients(), (TIntegerArray{3, 9, 13}));
  EXPECT_EQ(Shorter->AddOrSubtract(P)->GetCoefficients(), (TIntegerArray{3, 9, 13}));
  // The operands are untouched.
  EXPECT_EQ(P->GetCoefficients(), (TIntegerArray{3, 1, 4}));
  EXPECT_EQ(Shorter->GetCoefficients(), (TIntegerArray{8, 9}));
}

TEST(GaloisFieldPoly, ProductsAndMonomials) {
  auto Field = TGenericGF::CreateQRCodeField256();
  TGenericGFPoly* A = TGenericGFPoly::Create(Field.get(), {1, 2}); // x + 2
  TGenericGFPoly* B = TGenericGFPoly::Create(Field.get(), {1, 4}); // x + 4
  EXPECT_EQ(A->Multiply(B)->GetCoefficients(), (TIntegerArray{1, 6, 8}));
  EXPECT_EQ(A->Multiply(Field->GetZero()), Field->GetZero());
  EXPECT_EQ(A->MultiplyByMonomial(2, 3)->GetCoefficients(), (TIntegerArray{3, 6, 0, 0}));
  EXPECT_EQ(A->MultiplyByMonomial(1, 0), Field->GetZero());
  EXPECT_EQ(A->MultiplyByMonomial(-1, 3), nullptr);
  EXPECT_EQ(Field->BuildMonomial(2, 5)->GetCoefficients(), (TIntegerArray{5, 0, 0}));
  EXPECT_EQ(Field->BuildMonomial(3, 0), Field->GetZero());
  EXPECT_EQ(Field->BuildMonomial(-1, 5), nullptr);
}

TEST(GaloisFieldPoly, DivisionRebuildsTheDividend) {
  auto Field = TGenericGF::CreateQRCodeField256();
  TGenericGFPoly* Dividend = TGenericGFPoly::Create(Field.get(), {17, 200, 3, 0, 99, 1, 254});
  TGenericGFPoly* Divisor = TGenericGFPoly::Create(Field.get(), {5, 77, 12});
  TGenericGFPolyArray Division = Dividend->Divide(Divisor);
  ASSERT_EQ(Division.size(), 2u);
  EXPECT_EQ(Division[0]->GetDegree(), 4);
  EXPECT_LT(Division[1]->GetDegree(), Divisor->GetDegree());
  EXPECT_EQ(Division[0]->Multiply(Divisor)->AddOrSubtract(Division[1])->GetCoefficients(),
            Dividend->GetCoefficients());

  // A dividend of lower degree than the divisor is its own remainder.
  TGenericGFPoly* Small = TGenericGFPoly::Create(Field.get(), {9, 8});
  Division = Small->Divide(Divisor);
  ASSERT_EQ(Division.size(), 2u);
  EXPECT_TRUE(Division[0]->IsZero());
  EXPECT_EQ(Division[1], Small);

  EXPECT_TRUE(Dividend->Divide(Field->GetZero()).empty());
  EXPECT_TRUE(Dividend->Divide(nullptr).empty());
}

TEST(GaloisFieldPoly, OperationsAcrossTwoFieldsAnswerNothing) {
  auto One = TGenericGF::CreateQRCodeField256();
  auto Other = TGenericGF::CreateQRCodeField256();
  TGenericGFPoly* P = TGenericGFPoly::Create(One.get(), {1, 2});
  TGenericGFPoly* Q = TGenericGFPoly::Create(Other.get(), {1, 2});
  EXPECT_EQ(P->AddOrSubtract(Q), nullptr);
  EXPECT_EQ(P->AddOrSubtract(nullptr), nullptr);
  EXPECT_EQ(P->Multiply(Q), nullptr);
  EXPECT_TRUE(P->Divide(Q).empty());
}

} // namespace
