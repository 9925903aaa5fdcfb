#include "encoder/ReedSolomon.h"

#include <algorithm>

TReedSolomonEncoder::TReedSolomonEncoder(TGenericGF* AField) : FField(AField) {
  FCachedGenerators.push_back(TGenericGFPoly::Create(FField, TIntegerArray{1}));
}

TGenericGFPoly* TReedSolomonEncoder::BuildGenerator(int Degree) {
  const auto wanted = static_cast<std::size_t>(Degree);
  if (wanted >= FCachedGenerators.size()) {
    TGenericGFPoly* last = FCachedGenerators.back();
    for (std::size_t d = FCachedGenerators.size(); d <= wanted; ++d) {
      TGenericGFPoly* factor = TGenericGFPoly::Create(
          FField, TIntegerArray{1, FField->Exp(FField->GetGeneratorBase() +
                                               static_cast<std::int32_t>(d) - 1)});
      TGenericGFPoly* next = last->Multiply(factor);
      FCachedGenerators.push_back(next);
      last = next;
    }
  }
  return FCachedGenerators[wanted];
}

void TReedSolomonEncoder::Encode(TIntegerArray& ToEncode, int ECBytes) {
  if (ECBytes <= 0) return;
  const int dataBytes = static_cast<int>(ToEncode.size()) - ECBytes;
  if (dataBytes <= 0) return;
  TGenericGFPoly* generator = BuildGenerator(ECBytes);
  TIntegerArray infoCoefficients(ToEncode.begin(), ToEncode.begin() + dataBytes);
  TGenericGFPoly* info = TGenericGFPoly::Create(FField, std::move(infoCoefficients));
  info = info->MultiplyByMonomial(ECBytes, 1);
  const TIntegerArray& coefficients = info->Divide(generator)[1]->GetCoefficients();
  const int numZeros = ECBytes - static_cast<int>(coefficients.size());
  const auto ecStart = ToEncode.begin() + dataBytes;
  std::fill(ecStart, ecStart + numZeros, 0);
  std::copy(coefficients.begin(), coefficients.end(), ecStart + numZeros);
}
