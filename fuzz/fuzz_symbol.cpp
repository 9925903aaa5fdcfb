// The symbol facade under any text, encoding option 0..5, error-correction level, boost and
// quiet-zone width: the grid is square,
// its side is 4v + 17 + 2q (or 2q when the text does not fit version 40), the quiet zone is light,
// the fixed patterns of ISO/IEC 18004 clause 6.3 stand where they belong, and the same inputs give
// the same grid however they are written.
#include "FuzzInput.h"
#include "encoder/QRCodeSymbol.h"

#include <cstdint>

namespace {

constexpr char16_t kAlphanumeric[] = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

// Texts of the shapes that reach every mode and every version.
std::u16string MakeText(TFuzzInput& In) {
  const unsigned Shape = In.Pick(4);
  const std::size_t Repeat = 1 + In.Pick(8); // stretches short inputs towards the large versions
  std::u16string Unit;
  switch (Shape) {
  case 0:
    Unit = In.Text(4000);
    break;
  case 1:
    while (!In.Empty())
      Unit += static_cast<char16_t>(u'0' + In.Byte() % 10);
    break;
  case 2:
    while (!In.Empty())
      Unit += kAlphanumeric[In.Byte() % 45];
    break;
  default:
    while (!In.Empty())
      Unit += static_cast<char16_t>(In.Byte());
    break;
  }
  std::u16string Text;
  for (std::size_t I = 0; I < Repeat; ++I)
    Text += Unit;
  return Text;
}

bool Finder(const TQRCodeSymbol& S, int Top, int Left) {
  for (int R = 0; R < 7; ++R)
    for (int C = 0; C < 7; ++C) {
      const bool Ring = R == 0 || R == 6 || C == 0 || C == 6;
      const bool Core = R >= 2 && R <= 4 && C >= 2 && C <= 4;
      if (S.IsDark(Top + R, Left + C) != (Ring || Core)) return false;
    }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const auto Encoding = static_cast<TQRCodeEncoding>(In.Pick(6));
  const int QuietZoneIn = In.Pick(4) == 0 ? In.Int32() : static_cast<int>(In.Pick(12));
  const bool QuietZoneFirst = In.Pick(2) == 0;
  const auto Level = static_cast<TQRCodeECLevel>(In.Pick(4));
  const bool Boost = In.Pick(2) == 0;
  const std::u16string Text = MakeText(In);

  TQRCodeSymbol Symbol;
  if (QuietZoneFirst) Symbol.SetQuietZone(QuietZoneIn);
  Symbol.SetECLevel(Level);
  Symbol.SetBoost(Boost);
  Symbol.SetData(Text);
  Symbol.SetEncoding(Encoding);
  Symbol.SetQuietZone(QuietZoneIn);

  const int Q = QuietZoneIn >= 0 && QuietZoneIn <= 100 ? QuietZoneIn : 4;
  FUZZ_CHECK(Symbol.QuietZone() == Q);
  FUZZ_CHECK(Symbol.Rows() == Symbol.Columns());

  // Probes outside the grid never fail and are light.
  for (const int P : {-1, -2147483647 - 1, 2147483647, Symbol.Rows(), Symbol.Rows() + 1}) {
    FUZZ_CHECK(!Symbol.IsDark(P, 0));
    FUZZ_CHECK(!Symbol.IsDark(0, P));
  }

  if (Symbol.EncodeCount() == 0) {
    // Nothing changed from the fresh state (empty text, qrAuto, L, no boost, width 4): no symbol
    // yet.
    FUZZ_CHECK(Text.empty() && Encoding == qrAuto && Level == ecL && !Boost);
    FUZZ_CHECK(Symbol.Rows() == 0);
    return 0;
  }

  // The level used is the one asked for, or with boost a higher one.
  FUZZ_CHECK(Symbol.ECLevel() == Level);
  FUZZ_CHECK(Boost ? Symbol.UsedECLevel() >= Level : Symbol.UsedECLevel() == Level);

  const int Side = Symbol.Rows() - 2 * Q;
  if (Symbol.DataTooLong()) {
    FUZZ_CHECK(Side == 0);
    FUZZ_CHECK(Symbol.Version() == 0);
    FUZZ_CHECK(Symbol.NeededUnits() > Symbol.MaxUnits());
    for (int R = 0; R < Symbol.Rows(); ++R)
      for (int C = 0; C < Symbol.Columns(); ++C)
        FUZZ_CHECK(!Symbol.IsDark(R, C));
  } else {
    const int V = Symbol.Version();
    FUZZ_CHECK(V >= 1 && V <= 40);
    FUZZ_CHECK(Side == 4 * V + 17);
    FUZZ_CHECK(Symbol.MaskPattern() >= 0 && Symbol.MaskPattern() <= 7);
    // Quiet zone light on all four sides.
    for (int I = 0; I < Symbol.Rows(); ++I)
      for (int D = 0; D < Q; ++D) {
        FUZZ_CHECK(!Symbol.IsDark(D, I) && !Symbol.IsDark(Symbol.Rows() - 1 - D, I));
        FUZZ_CHECK(!Symbol.IsDark(I, D) && !Symbol.IsDark(I, Symbol.Columns() - 1 - D));
      }
    // Three finder patterns, their light separators, the timing patterns and the dark module.
    FUZZ_CHECK(Finder(Symbol, Q, Q) && Finder(Symbol, Q, Q + Side - 7) &&
               Finder(Symbol, Q + Side - 7, Q));
    for (int I = 0; I < 8; ++I) {
      FUZZ_CHECK(!Symbol.IsDark(Q + 7, Q + I) && !Symbol.IsDark(Q + I, Q + 7));
      FUZZ_CHECK(!Symbol.IsDark(Q + 7, Q + Side - 1 - I) && !Symbol.IsDark(Q + Side - 8, Q + I));
    }
    for (int I = 8; I < Side - 8; ++I) {
      FUZZ_CHECK(Symbol.IsDark(Q + 6, Q + I) == (I % 2 == 0));
      FUZZ_CHECK(Symbol.IsDark(Q + I, Q + 6) == (I % 2 == 0));
    }
    FUZZ_CHECK(Symbol.IsDark(Q + 4 * V + 9, Q + 8));
  }

  // The same inputs, written in the other order, give the same grid.
  TQRCodeSymbol Again;
  Again.SetEncoding(Encoding);
  Again.SetQuietZone(QuietZoneIn);
  Again.SetData(Text);
  Again.SetBoost(Boost);
  Again.SetECLevel(Level);
  FUZZ_CHECK(Again.Rows() == Symbol.Rows() && Again.Version() == Symbol.Version());
  for (int R = 0; R < Symbol.Rows(); ++R)
    for (int C = 0; C < Symbol.Columns(); ++C)
      FUZZ_CHECK(Again.IsDark(R, C) == Symbol.IsDark(R, C));
  return 0;
}
