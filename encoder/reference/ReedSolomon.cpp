#include "encoder/reference/ReedSolomon.h"

#include <algorithm>

TReedSolomonEncoder::TReedSolomonEncoder(TGenericGF* AField) : FField(AField) {
  FCachedGenerators.push_back(TGenericGFPoly::Create(FField, TIntegerArray{1}));
}

TGenericGFPoly* TReedSolomonEncoder::BuildGenerator(int Degree) {
  const auto Wanted = static_cast<std::size_t>(Degree);
  if (Wanted >= FCachedGenerators.size()) {
    TGenericGFPoly* Last = FCachedGenerators.back();
    for (std::size_t D = FCachedGenerators.size(); D <= Wanted; ++D) {
      TGenericGFPoly* Factor = TGenericGFPoly::Create(
          FField, TIntegerArray{1, FField->Exp(FField->GetGeneratorBase() +
                                               static_cast<std::int32_t>(D) - 1)});
      TGenericGFPoly* Next = Last->Multiply(Factor);
      FCachedGenerators.push_back(Next);
      Last = Next;
    }
  }
  return FCachedGenerators[Wanted];
}

void TReedSolomonEncoder::Encode(TIntegerArray& ToEncode, int ECBytes) {
  if (ECBytes <= 0) return;
  const int DataBytes = static_cast<int>(ToEncode.size()) - ECBytes;
  if (DataBytes <= 0) return;
  TGenericGFPoly* Generator = BuildGenerator(ECBytes);
  TIntegerArray InfoCoefficients(ToEncode.begin(), ToEncode.begin() + DataBytes);
  TGenericGFPoly* Info = TGenericGFPoly::Create(FField, std::move(InfoCoefficients));
  Info = Info->MultiplyByMonomial(ECBytes, 1);
  const TIntegerArray& Coefficients = Info->Divide(Generator)[1]->GetCoefficients();
  const int NumZeros = ECBytes - static_cast<int>(Coefficients.size());
  const auto ECStart = ToEncode.begin() + DataBytes;
  std::fill(ECStart, ECStart + NumZeros, 0);
  std::copy(Coefficients.begin(), Coefficients.end(), ECStart + NumZeros);
}
