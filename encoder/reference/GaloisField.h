// GF(2^8) arithmetic and polynomials over it, as used by the Reed-Solomon
// error correction of ISO/IEC 18004 (clause 7.5.2).
//
// A field owns every polynomial built over it. Polynomials are handed out as
// non-owning pointers that stay valid until the field is destroyed; no caller
// ever frees one. Misuse answers neutral values (nullptr, empty arrays, 0).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

using TIntegerArray = std::vector<std::int32_t>;

class TGenericGF;

// A polynomial with coefficients in a TGenericGF, highest power first.
// Immutable after construction.
class TGenericGFPoly {
public:
  // Builds a polynomial over AField and registers it with the field, which
  // owns it. Leading zero coefficients are stripped; an all-zero array gives
  // the zero polynomial (0). Answers nullptr when AField is null or the array
  // is empty.
  static TGenericGFPoly* Create(TGenericGF* AField, TIntegerArray ACoefficients);

  TGenericGFPoly(const TGenericGFPoly&) = delete;
  TGenericGFPoly& operator=(const TGenericGFPoly&) = delete;

  const TIntegerArray& GetCoefficients() const { return FCoefficients; }
  int GetDegree() const { return static_cast<int>(FCoefficients.size()) - 1; }
  bool IsZero() const { return FCoefficients[0] == 0; }
  // Coefficient of x^Degree; Degree must lie in 0..GetDegree().
  std::int32_t GetCoefficient(int Degree) const {
    return FCoefficients[FCoefficients.size() - 1 - static_cast<std::size_t>(Degree)];
  }
  TGenericGF* Field() const { return FField; }

  // Sum (= difference). nullptr when Other is null or over another field;
  // answers an operand itself when the other one is zero.
  TGenericGFPoly* AddOrSubtract(TGenericGFPoly* Other);
  // Product. nullptr when Other is null or over another field.
  TGenericGFPoly* Multiply(TGenericGFPoly* Other);
  // This polynomial times Coefficient * x^Degree. nullptr when Degree < 0.
  TGenericGFPoly* MultiplyByMonomial(int Degree, std::int32_t Coefficient);
  // Long division: {quotient, remainder}, or an empty array when Other is
  // null, zero or over another field.
  std::vector<TGenericGFPoly*> Divide(TGenericGFPoly* Other);

private:
  friend class TGenericGF;
  TGenericGFPoly(TGenericGF* AField, TIntegerArray ACoefficients);

  TGenericGF* FField;
  TIntegerArray FCoefficients;
};

using TGenericGFPolyArray = std::vector<TGenericGFPoly*>;

class TGenericGF {
public:
  // GF(256) with reduction polynomial x^8 + x^4 + x^3 + x^2 + 1 (0x11D) and
  // generator base 0, the field of QR Code.
  static std::unique_ptr<TGenericGF> CreateQRCodeField256();

  TGenericGF(std::int32_t Primitive, std::int32_t Size, std::int32_t B);
  ~TGenericGF();
  TGenericGF(const TGenericGF&) = delete;
  TGenericGF& operator=(const TGenericGF&) = delete;

  static std::int32_t AddOrSubtract(std::int32_t A, std::int32_t B) { return A ^ B; }
  // alpha^A; A must lie in 0..size-1.
  std::int32_t Exp(std::int32_t A);
  std::int32_t Inverse(std::int32_t A);
  std::int32_t Multiply(std::int32_t A, std::int32_t B);
  TGenericGFPoly* GetZero();
  std::int32_t GetGeneratorBase() const { return FGeneratorBase; }
  // Coefficient * x^Degree: nullptr when Degree < 0, the zero polynomial when
  // Coefficient is 0.
  TGenericGFPoly* BuildMonomial(int Degree, std::int32_t Coefficient);

  // Number of polynomials the field currently owns.
  std::size_t PolyCount() const { return FPolyList.size(); }

private:
  friend class TGenericGFPoly;
  void EnsureTables();
  void BuildTables();
  TGenericGFPoly* Register(std::unique_ptr<TGenericGFPoly> Poly);

  TIntegerArray FExpTable;
  TIntegerArray FLogTable;
  TGenericGFPoly* FZero = nullptr;
  TGenericGFPoly* FOne = nullptr;
  std::int32_t FSize;
  std::int32_t FPrimitive;
  std::int32_t FGeneratorBase;
  bool FInitialized = false;
  std::vector<std::unique_ptr<TGenericGFPoly>> FPolyList;
};
