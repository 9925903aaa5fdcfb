#include "encoder/GaloisField.h"

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
  const auto n = static_cast<std::size_t>(FSize);
  FExpTable.assign(n, 0);
  FLogTable.assign(n, 0);
  std::int32_t x = 1;
  for (std::size_t i = 0; i < n; ++i) {
    FExpTable[i] = x;
    x <<= 1;
    if (x >= FSize) x = (x ^ FPrimitive) & (FSize - 1);
  }
  for (std::size_t i = 0; i + 1 < n; ++i)
    FLogTable[static_cast<std::size_t>(FExpTable[i])] = static_cast<std::int32_t>(i);
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
  const std::int32_t e =
      (FLogTable[static_cast<std::size_t>(A)] + FLogTable[static_cast<std::size_t>(B)]) %
      (FSize - 1);
  return FExpTable[static_cast<std::size_t>(e)];
}

TGenericGFPoly* TGenericGF::GetZero() {
  EnsureTables();
  return FZero;
}

TGenericGFPoly* TGenericGF::BuildMonomial(int Degree, std::int32_t Coefficient) {
  EnsureTables();
  if (Degree < 0) return nullptr;
  if (Coefficient == 0) return FZero;
  TIntegerArray coefficients(static_cast<std::size_t>(Degree) + 1, 0);
  coefficients[0] = Coefficient;
  return TGenericGFPoly::Create(this, std::move(coefficients));
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
  const auto firstNonZero = std::find_if(ACoefficients.begin() + 1, ACoefficients.end(),
                                         [](std::int32_t c) { return c != 0; });
  if (firstNonZero == ACoefficients.end())
    FCoefficients = TIntegerArray{0};
  else
    FCoefficients.assign(firstNonZero, ACoefficients.end());
}

TGenericGFPoly* TGenericGFPoly::AddOrSubtract(TGenericGFPoly* Other) {
  if (Other == nullptr || Other->FField != FField) return nullptr;
  if (IsZero()) return Other;
  if (Other->IsZero()) return this;
  const TIntegerArray* larger = &Other->FCoefficients;
  const TIntegerArray* smaller = &FCoefficients;
  if (smaller->size() > larger->size()) std::swap(larger, smaller);
  const std::size_t d = larger->size() - smaller->size();
  TIntegerArray sum(larger->size());
  std::copy(larger->begin(), larger->begin() + static_cast<std::ptrdiff_t>(d), sum.begin());
  for (std::size_t i = d; i < larger->size(); ++i)
    sum[i] = (*smaller)[i - d] ^ (*larger)[i];
  return Create(FField, std::move(sum));
}

TGenericGFPoly* TGenericGFPoly::Multiply(TGenericGFPoly* Other) {
  if (Other == nullptr || Other->FField != FField) return nullptr;
  if (IsZero() || Other->IsZero()) return FField->GetZero();
  const TIntegerArray& a = FCoefficients;
  const TIntegerArray& b = Other->FCoefficients;
  TIntegerArray product(a.size() + b.size() - 1, 0);
  for (std::size_t i = 0; i < a.size(); ++i)
    for (std::size_t j = 0; j < b.size(); ++j)
      product[i + j] ^= FField->Multiply(a[i], b[j]);
  return Create(FField, std::move(product));
}

TGenericGFPoly* TGenericGFPoly::MultiplyByMonomial(int Degree, std::int32_t Coefficient) {
  if (Degree < 0) return nullptr;
  if (Coefficient == 0) return FField->GetZero();
  TIntegerArray product(FCoefficients.size() + static_cast<std::size_t>(Degree), 0);
  for (std::size_t i = 0; i < FCoefficients.size(); ++i)
    product[i] = FField->Multiply(FCoefficients[i], Coefficient);
  return Create(FField, std::move(product));
}

TGenericGFPolyArray TGenericGFPoly::Divide(TGenericGFPoly* Other) {
  if (Other == nullptr || Other->FField != FField || Other->IsZero()) return {};
  TGenericGFPoly* quotient = FField->GetZero();
  TGenericGFPoly* remainder = this;
  const std::int32_t inverse = FField->Inverse(Other->GetCoefficient(Other->GetDegree()));
  while (remainder->GetDegree() >= Other->GetDegree() && !remainder->IsZero()) {
    const int d = remainder->GetDegree() - Other->GetDegree();
    const std::int32_t scale =
        FField->Multiply(remainder->GetCoefficient(remainder->GetDegree()), inverse);
    TGenericGFPoly* term = Other->MultiplyByMonomial(d, scale);
    quotient = quotient->AddOrSubtract(FField->BuildMonomial(d, scale));
    remainder = remainder->AddOrSubtract(term);
  }
  return {quotient, remainder};
}
