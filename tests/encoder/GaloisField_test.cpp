// GF(256) of QR Code and polynomials over it.
#include "encoder/GaloisField.h"

#include <gtest/gtest.h>

namespace {

// Carry-less product reduced by x^8 + x^4 + x^3 + x^2 + 1, bit by bit: an
// arithmetic independent of the field's log/exp tables.
int SlowMultiply(int a, int b) {
  int product = 0;
  while (b != 0) {
    if (b & 1) product ^= a;
    b >>= 1;
    a <<= 1;
    if (a & 0x100) a ^= 0x11D;
  }
  return product;
}

TEST(GaloisField, ElementArithmeticMatchesBitwiseReduction) {
  auto field = TGenericGF::CreateQRCodeField256();
  int power = 1;
  for (int i = 0; i < 255; ++i) {
    ASSERT_EQ(field->Exp(i), power) << "alpha^" << i;
    power = SlowMultiply(power, 2);
  }
  EXPECT_EQ(field->Exp(255), 1);
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b)
      ASSERT_EQ(field->Multiply(a, b), SlowMultiply(a, b)) << a << " * " << b;
    if (a != 0) {
      ASSERT_EQ(SlowMultiply(a, field->Inverse(a)), 1) << "inverse of " << a;
    }
  }
}

TEST(GaloisField, KnownValuesOfTheQrField) {
  auto field = TGenericGF::CreateQRCodeField256();
  EXPECT_EQ(field->Exp(8), 29);
  EXPECT_EQ(field->Exp(254), 142);
  EXPECT_EQ(field->Inverse(0), 0);
  EXPECT_EQ(field->Inverse(1), 1);
  EXPECT_EQ(field->Inverse(2), 142);
  EXPECT_EQ(field->Multiply(2, 128), 29);
  EXPECT_EQ(field->Multiply(0, 7), 0);
  EXPECT_EQ(field->Multiply(7, 0), 0);
  EXPECT_EQ(TGenericGF::AddOrSubtract(0x53, 0xCA), 0x99);
  EXPECT_EQ(field->GetGeneratorBase(), 0);
}

TEST(GaloisFieldPoly, ConstructorStripsLeadingZeros) {
  auto field = TGenericGF::CreateQRCodeField256();
  struct Case {
    TIntegerArray in, out;
    bool zero;
  };
  const Case cases[] = {
      {{0, 0, 5, 1}, {5, 1}, false}, {{0, 0, 0}, {0}, true}, {{0}, {0}, true}, {{7}, {7}, false},
      {{3, 0, 0}, {3, 0, 0}, false},
  };
  for (const Case& c : cases) {
    TGenericGFPoly* p = TGenericGFPoly::Create(field.get(), c.in);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetCoefficients(), c.out);
    EXPECT_EQ(p->GetDegree(), static_cast<int>(c.out.size()) - 1);
    EXPECT_EQ(p->IsZero(), c.zero);
  }
  TGenericGFPoly* p = TGenericGFPoly::Create(field.get(), {4, 0, 9});
  EXPECT_EQ(p->GetCoefficient(0), 9);
  EXPECT_EQ(p->GetCoefficient(1), 0);
  EXPECT_EQ(p->GetCoefficient(2), 4);
  EXPECT_EQ(TGenericGFPoly::Create(field.get(), {}), nullptr);
  EXPECT_EQ(TGenericGFPoly::Create(nullptr, {1}), nullptr);
}

TEST(GaloisFieldPoly, SumsAnswerOperandsForZeroAndCancelLeadingTerms) {
  auto field = TGenericGF::CreateQRCodeField256();
  TGenericGFPoly* zero = field->GetZero();
  TGenericGFPoly* p = TGenericGFPoly::Create(field.get(), {3, 1, 4});
  TGenericGFPoly* self = p->AddOrSubtract(p);
  EXPECT_NE(self, p);
  EXPECT_TRUE(self->IsZero());
  EXPECT_EQ(self->GetCoefficients(), TIntegerArray{0});
  EXPECT_EQ(p->AddOrSubtract(zero), p);
  EXPECT_EQ(zero->AddOrSubtract(p), p);
  // (3 1 4) + (3 5 6) cancels the leading term: (4 2).
  EXPECT_EQ(p->AddOrSubtract(TGenericGFPoly::Create(field.get(), {3, 5, 6}))->GetCoefficients(),
            (TIntegerArray{4, 2}));
  // Different lengths either way round: the shorter one is aligned to the constant term.
  TGenericGFPoly* shorter = TGenericGFPoly::Create(field.get(), {8, 9});
  EXPECT_EQ(p->AddOrSubtract(shorter)->GetCoefficients(), (TIntegerArray{3, 9, 13}));
  EXPECT_EQ(shorter->AddOrSubtract(p)->GetCoefficients(), (TIntegerArray{3, 9, 13}));
  // The operands are untouched.
  EXPECT_EQ(p->GetCoefficients(), (TIntegerArray{3, 1, 4}));
  EXPECT_EQ(shorter->GetCoefficients(), (TIntegerArray{8, 9}));
}

TEST(GaloisFieldPoly, ProductsAndMonomials) {
  auto field = TGenericGF::CreateQRCodeField256();
  TGenericGFPoly* a = TGenericGFPoly::Create(field.get(), {1, 2}); // x + 2
  TGenericGFPoly* b = TGenericGFPoly::Create(field.get(), {1, 4}); // x + 4
  EXPECT_EQ(a->Multiply(b)->GetCoefficients(), (TIntegerArray{1, 6, 8}));
  EXPECT_EQ(a->Multiply(field->GetZero()), field->GetZero());
  EXPECT_EQ(a->MultiplyByMonomial(2, 3)->GetCoefficients(), (TIntegerArray{3, 6, 0, 0}));
  EXPECT_EQ(a->MultiplyByMonomial(1, 0), field->GetZero());
  EXPECT_EQ(a->MultiplyByMonomial(-1, 3), nullptr);
  EXPECT_EQ(field->BuildMonomial(2, 5)->GetCoefficients(), (TIntegerArray{5, 0, 0}));
  EXPECT_EQ(field->BuildMonomial(3, 0), field->GetZero());
  EXPECT_EQ(field->BuildMonomial(-1, 5), nullptr);
}

TEST(GaloisFieldPoly, DivisionRebuildsTheDividend) {
  auto field = TGenericGF::CreateQRCodeField256();
  TGenericGFPoly* dividend = TGenericGFPoly::Create(field.get(), {17, 200, 3, 0, 99, 1, 254});
  TGenericGFPoly* divisor = TGenericGFPoly::Create(field.get(), {5, 77, 12});
  TGenericGFPolyArray qr = dividend->Divide(divisor);
  ASSERT_EQ(qr.size(), 2u);
  EXPECT_EQ(qr[0]->GetDegree(), 4);
  EXPECT_LT(qr[1]->GetDegree(), divisor->GetDegree());
  EXPECT_EQ(qr[0]->Multiply(divisor)->AddOrSubtract(qr[1])->GetCoefficients(),
            dividend->GetCoefficients());

  // A dividend of lower degree than the divisor is its own remainder.
  TGenericGFPoly* small = TGenericGFPoly::Create(field.get(), {9, 8});
  qr = small->Divide(divisor);
  ASSERT_EQ(qr.size(), 2u);
  EXPECT_TRUE(qr[0]->IsZero());
  EXPECT_EQ(qr[1], small);

  EXPECT_TRUE(dividend->Divide(field->GetZero()).empty());
  EXPECT_TRUE(dividend->Divide(nullptr).empty());
}

TEST(GaloisFieldPoly, OperationsAcrossTwoFieldsAnswerNothing) {
  auto one = TGenericGF::CreateQRCodeField256();
  auto other = TGenericGF::CreateQRCodeField256();
  TGenericGFPoly* p = TGenericGFPoly::Create(one.get(), {1, 2});
  TGenericGFPoly* q = TGenericGFPoly::Create(other.get(), {1, 2});
  EXPECT_EQ(p->AddOrSubtract(q), nullptr);
  EXPECT_EQ(p->AddOrSubtract(nullptr), nullptr);
  EXPECT_EQ(p->Multiply(q), nullptr);
  EXPECT_TRUE(p->Divide(q).empty());
}

} // namespace
