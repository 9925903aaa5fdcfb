#include "encoder/reference/GaloisField.h"

#include <algorithm>
#include <utility>

// ---- TGenericGF ----

std::unique_ptr<TGenericGF> TGenericGF::CreateQRCodeField256() {
  return std::make_unique<TGenericGF>(285, 256, 0);
}

TGenericGF::TGenericGF(std::int32_t Primitive, std::int32_t Size, std::int32_t B)
    : FSize(Size), FPrimitive(Primitive), FGeneratorBase(B) {}

// The polynomials are owned by FPolyList, each exactly once.
TGenericGF::~TGenericGF() = default;

void TGenericGF::EnsureTables() {
  if (!FInitialized) BuildTables();
}

void TGenericGF::BuildTables() {
  const auto N = static_cast<std::size_t>(FSize);
  FExpTable.assign(N, 0);
  FLogTable.assign(N, 0);
  std::int32_t X = 1;
  for (std::size_t I = 0; I < N; ++I) {
    FExpTable[I] = X;
    X <<= 1;
    if (X >= FSize) X = (X ^ FPrimitive) & (FSize - 1);
  }
  for (std::size_t I = 0; I + 1 < N; ++I)
    FLogTable[static_cast<std::size_t>(FExpTable[I])] = static_cast<std::int32_t>(I);
  FZero = Register(std::unique_ptr<TGenericGFPoly>(new TGenericGFPoly(this, TIntegerArray{0})));
  FOne = Register(std::unique_ptr<TGenericGFPoly>(new TGenericGFPoly(this, TIntegerArray{1})));
  FInitialized = true;
}

TGenericGFPoly* TGenericGF::Register(std::unique_ptr<TGenericGFPoly> Poly) {
  FPolyList.push_back(std::move(Poly));
  return FPolyList.back().get();
}

std::int32_t TGenericGF::Exp(std::int32_t A) {
  EnsureTables();
  return FExpTable[static_cast<std::size_t>(A)];
}

std::int32_t TGenericGF::Inverse(std::int32_t A) {
  EnsureTables();
  if (A == 0) return 0;
  return FExpTable[static_cast<std::size_t>(FSize - FLogTable[static_cast<std::size_t>(A)] - 1)];
}

std::int32_t TGenericGF::Multiply(std::int32_t A, std::int32_t B) {
  EnsureTables();
  if (A == 0 || B == 0) return 0;
  const std::int32_t E =
      (FLogTable[static_cast<std::size_t>(A)] + FLogTable[static_cast<std::size_t>(B)]) %
      (FSize - 1);
  return FExpTable[static_cast<std::size_t>(E)];
}

TGenericGFPoly* TGenericGF::GetZero() {
  EnsureTables();
  return FZero;
}

TGenericGFPoly* TGenericGF::BuildMonomial(int Degree, std::int32_t Coefficient) {
  EnsureTables();
  if (Degree < 0) return nullptr;
  if (Coefficient == 0) return FZero;
  TIntegerArray Coefficients(static_cast<std::size_t>(Degree) + 1, 0);
  Coefficients[0] = Coefficient;
  return TGenericGFPoly::Create(this, std::move(Coefficients));
}

// ---- TGenericGFPoly ----

TGenericGFPoly* TGenericGFPoly::Create(TGenericGF* AField, TIntegerArray ACoefficients) {
  if (AField == nullptr || ACoefficients.empty()) return nullptr;
  return AField->Register(
      std::unique_ptr<TGenericGFPoly>(new TGenericGFPoly(AField, std::move(ACoefficients))));
}

TGenericGFPoly::TGenericGFPoly(TGenericGF* AField, TIntegerArray ACoefficients) : FField(AField) {
  if (ACoefficients.size() < 2 || ACoefficients[0] != 0) {
    FCoefficients = std::move(ACoefficients);
    return;
  }
  const auto FirstNonZero = std::find_if(ACoefficients.begin() + 1, ACoefficients.end(),
                                         [](std::int32_t C) { return C != 0; });
  if (FirstNonZero == ACoefficients.end())
    FCoefficients = TIntegerArray{0};
  else
    FCoefficients.assign(FirstNonZero, ACoefficients.end());
}

TGenericGFPoly* TGenericGFPoly::AddOrSubtract(TGenericGFPoly* Other) {
  if (Other == nullptr || Other->FField != FField) return nullptr;
  if (IsZero()) return Other;
  if (Other->IsZero()) return this;
  const TIntegerArray* Larger = &Other->FCoefficients;
  const TIntegerArray* Smaller = &FCoefficients;
  if (Smaller->size() > Larger->size()) std::swap(Larger, Smaller);
  const std::size_t D = Larger->size() - Smaller->size();
  TIntegerArray Sum(Larger->size());
  std::copy(Larger->begin(), Larger->begin() + static_cast<std::ptrdiff_t>(D), Sum.begin());
  for (std::size_t I = D; I < Larger->size(); ++I)
    Sum[I] = (*Smaller)[I - D] ^ (*Larger)[I];
  return Create(FField, std::move(Sum));
}

TGenericGFPoly* TGenericGFPoly::Multiply(TGenericGFPoly* Other) {
  if (Other == nullptr || Other->FField != FField) return nullptr;
  if (IsZero() || Other->IsZero()) return FField->GetZero();
  const TIntegerArray& A = FCoefficients;
  const TIntegerArray& B = Other->FCoefficients;
  TIntegerArray Product(A.size() + B.size() - 1, 0);
  for (std::size_t I = 0; I < A.size(); ++I)
    for (std::size_t J = 0; J < B.size(); ++J)
      Product[I + J] ^= FField->Multiply(A[I], B[J]);
  return Create(FField, std::move(Product));
}

TGenericGFPoly* TGenericGFPoly::MultiplyByMonomial(int Degree, std::int32_t Coefficient) {
  if (Degree < 0) return nullptr;
  if (Coefficient == 0) return FField->GetZero();
  TIntegerArray Product(FCoefficients.size() + static_cast<std::size_t>(Degree), 0);
  for (std::size_t I = 0; I < FCoefficients.size(); ++I)
    Product[I] = FField->Multiply(FCoefficients[I], Coefficient);
  return Create(FField, std::move(Product));
}

TGenericGFPolyArray TGenericGFPoly::Divide(TGenericGFPoly* Other) {
  if (Other == nullptr || Other->FField != FField || Other->IsZero()) return {};
  TGenericGFPoly* Quotient = FField->GetZero();
  TGenericGFPoly* Remainder = this;
  const std::int32_t LeadInverse = FField->Inverse(Other->GetCoefficient(Other->GetDegree()));
  while (Remainder->GetDegree() >= Other->GetDegree() && !Remainder->IsZero()) {
    const int D = Remainder->GetDegree() - Other->GetDegree();
    const std::int32_t Scale =
        FField->Multiply(Remainder->GetCoefficient(Remainder->GetDegree()), LeadInverse);
    TGenericGFPoly* Term = Other->MultiplyByMonomial(D, Scale);
    Quotient = Quotient->AddOrSubtract(FField->BuildMonomial(D, Scale));
    Remainder = Remainder->AddOrSubtract(Term);
  }
  return {Quotient, Remainder};
}
