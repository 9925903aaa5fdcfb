// The long random round trip: thousands of random texts over all six encoding options and all 40
// versions, each symbol read back by zbar to exactly the bytes the option must carry. The expected
// bytes are worked out here from the option's rules (ISO/IEC 18004 clause 7.4 modes, RFC 3629
// UTF-8), not taken from the encoder. Run with: ctest -L long (MARBECK_LONG_COUNT and
// MARBECK_LONG_SEED change the number of texts and the seed).
#include "encoder/QRCodeSymbol.h"
#include "support/ZbarDecode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

constexpr std::u16string_view kAlphanumeric = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

bool IsDigit(char16_t C) {
  return C >= u'0' && C <= u'9';
}
bool IsAlphanumeric(char16_t C) {
  return kAlphanumeric.find(C) != std::u16string_view::npos;
}

// RFC 3629 UTF-8 of well-formed UTF-16.
std::string Utf8(const std::u16string& T) {
  std::string Out;
  for (std::size_t I = 0; I < T.size(); ++I) {
    std::uint32_t C = T[I];
    if (C >= 0xD800 && C <= 0xDBFF) C = 0x10000 + ((C - 0xD800) << 10) + (T[++I] - 0xDC00);
    if (C < 0x80) {
      Out += static_cast<char>(C);
    } else if (C < 0x800) {
      Out += static_cast<char>(0xC0 | (C >> 6));
      Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
      Out += static_cast<char>(0xE0 | (C >> 12));
      Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
      Out += static_cast<char>(0xF0 | (C >> 18));
      Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
      Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      Out += static_cast<char>(0x80 | (C & 0x3F));
    }
  }
  return Out;
}

template <class Keep> std::string Kept(const std::u16string& T, Keep K) {
  std::string Out;
  for (const char16_t C : T)
    if (K(C)) Out += static_cast<char>(C);
  return Out;
}

// The bytes a reader must get for Text under Option (a non-empty text).
std::string ExpectedBytes(const std::u16string& Text, TQRCodeEncoding Option) {
  const auto Latin1 = [](char16_t C) { return C <= 0xFF; };
  bool AllDigits = true, AllAlnum = true, AllLatin1 = true;
  for (const char16_t C : Text) {
    AllDigits &= IsDigit(C);
    AllAlnum &= IsAlphanumeric(C);
    AllLatin1 &= Latin1(C);
  }
  switch (Option) {
  case qrAuto:
    if (AllDigits || AllAlnum || AllLatin1) return Kept(Text, Latin1);
    return Utf8(Text);
  case qrNumeric:
    return Kept(Text, IsDigit);
  case qrAlphanumeric:
    return Kept(Text, IsAlphanumeric);
  case qrISO88591:
    return Kept(Text, Latin1);
  case qrUTF8NoBOM:
  case qrUTF8ECI: // the designator is no part of the bytes
    return Utf8(Text);
  case qrUTF8BOM:
    return "\xEF\xBB\xBF" + Utf8(Text);
  }
  return {};
}

// A random text whose characters suit the option (with some that the option drops), of a length
// drawn on a log scale up to about what version 40 holds, so that every version is reached.
std::u16string RandomText(std::mt19937& Rng, TQRCodeEncoding Option) {
  const auto Draw = [&Rng](int Low, int High) {
    return std::uniform_int_distribution<int>(Low, High)(Rng);
  };
  int Kind = Option == qrAuto ? Draw(1, 5) : static_cast<int>(Option);
  int Max = 0;
  switch (Kind) {
  case qrNumeric:
    Max = 7089;
    break;
  case qrAlphanumeric:
    Max = 4296;
    break;
  case qrISO88591:
    Max = 2953;
    break;
  default:
    Max = 1200;
    break; // up to three bytes each in UTF-8
  }
  const double Scale = std::uniform_real_distribution<double>(0.0, 1.0)(Rng);
  const int Length = std::max(1, static_cast<int>(Max * std::pow(Scale, 2.0)));
  const bool Noise = Option != qrAuto && Draw(0, 3) == 0;
  std::u16string T;
  while (static_cast<int>(T.size()) < Length) {
    if (Noise && Draw(0, 9) == 0) {
      T += static_cast<char16_t>(Draw(0x20, 0x7E)); // dropped by some options, kept by others
      continue;
    }
    switch (Kind) {
    case qrNumeric:
      T += static_cast<char16_t>(u'0' + Draw(0, 9));
      break;
    case qrAlphanumeric:
      T += kAlphanumeric[static_cast<std::size_t>(Draw(0, 44))];
      break;
    case qrISO88591:
      T += static_cast<char16_t>(Draw(1, 0xFF));
      break;
    default: {
      const int Plane = Draw(0, 9);
      if (Plane < 3) {
        T += static_cast<char16_t>(Draw(0x20, 0x7E));
      } else if (Plane < 5) {
        T += static_cast<char16_t>(Draw(0x80, 0x7FF));
      } else if (Plane < 8) {
        T += static_cast<char16_t>(Draw(0x800, 0xD7FF));
      } else if (Plane < 9) {
        T += static_cast<char16_t>(Draw(0xE000, 0xFFFD));
      } else {
        const std::uint32_t C = static_cast<std::uint32_t>(Draw(0x10000, 0x10FFFF)) - 0x10000;
        T += static_cast<char16_t>(0xD800 + (C >> 10));
        T += static_cast<char16_t>(0xDC00 + (C & 0x3FF));
      }
    }
    }
  }
  return T;
}

int EnvInt(const char* Name, int Default) {
  const char* V = std::getenv(Name);
  return V && *V ? std::atoi(V) : Default;
}

TEST(LongZbarRoundTrip, RandomTextsOverAllOptionsAndVersionsReadBackExactly) {
  const int Count = EnvInt("MARBECK_LONG_COUNT", 3000);
  const unsigned Seed = static_cast<unsigned>(EnvInt("MARBECK_LONG_SEED", 20240518));
  std::mt19937 Rng(Seed);
  std::array<int, 41> PerVersion{};
  int Decoded = 0, TooLong = 0;
  for (int I = 0; I < Count; ++I) {
    const auto Option = static_cast<TQRCodeEncoding>(I % 7);
    const std::u16string Text = RandomText(Rng, Option);
    const std::string Expected = ExpectedBytes(Text, Option);
    if (Expected.empty()) continue; // nothing the option keeps: not a round trip
    TEncodeReport Report;
    const T2DBooleanArray Grid = EncodeToGrid(Text, Option, &Report);
    if (Report.DataTooLong) {
      ASSERT_TRUE(Grid.empty());
      ++TooLong;
      continue;
    }
    ASSERT_GE(Report.Version, 1);
    ASSERT_LE(Report.Version, 40);
    ++PerVersion[static_cast<std::size_t>(Report.Version)];
    const std::optional<std::string> Bytes = DecodeWithZbar(Grid, 4, Report.Version > 20 ? 3 : 4);
    ASSERT_TRUE(Bytes.has_value()) << "seed " << Seed << ", text " << I << ", option " << Option
                                   << ", version " << Report.Version;
    ASSERT_EQ(*Bytes, Expected) << "seed " << Seed << ", text " << I << ", option " << Option;
    ++Decoded;
  }
  int VersionsReached = 0;
  for (int V = 1; V <= 40; ++V)
    VersionsReached += PerVersion[static_cast<std::size_t>(V)] > 0;
  std::printf("zbar round trip: %d symbols decoded exactly, %d texts too long for version 40, %d "
              "of 40 versions, seed %u\n",
              Decoded, TooLong, VersionsReached, Seed);
  EXPECT_GE(Decoded, Count * 9 / 10);
  if (Count >= 1000) {
    EXPECT_EQ(VersionsReached, 40);
  }
}

} // namespace
