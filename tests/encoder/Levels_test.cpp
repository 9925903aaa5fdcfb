// The four error-correction levels held against outside truths: Nayuki's qrcodegen builds the same
// symbol (version, level and mask forced to ours) for every version and level in numeric,
// alphanumeric and byte mode, zbar reads each one back, the step-by-step encoder agrees module for
// module, a damaged H code still reads where an L code does not, and boost raises the level
// only within the same version.
#include "encoder/FunctionLayer.h"
#include "encoder/QRCodeSymbol.h"
#include "encoder/reference/Encoder.h"
#include "encoder/reference/QRCode.h"
#include "support/ZbarDecode.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <qrcodegen.hpp>
#include <set>
#include <string>
#include <vector>

namespace {

using qrcodegen::QrCode;
using qrcodegen::QrSegment;

constexpr std::array<TQRCodeECLevel, 4> Levels = {ecL, ecM, ecQ, ecH};
constexpr std::array<char, 4> LevelNames = {'L', 'M', 'Q', 'H'};

QrCode::Ecc PeerLevel(TQRCodeECLevel Level) {
  switch (Level) {
  case ecM:
    return QrCode::Ecc::MEDIUM;
  case ecQ:
    return QrCode::Ecc::QUARTILE;
  case ecH:
    return QrCode::Ecc::HIGH;
  default:
    return QrCode::Ecc::LOW;
  }
}

enum class TPeerMode { Numeric, Alphanumeric, Byte };

// Count characters (digits, the alphanumeric set, Latin-1 bytes 1..255) from a fixed-seed
// generator: the same texts on every run.
std::string Payload(TPeerMode Mode, int Count, std::uint32_t Seed) {
  static constexpr std::string_view Alnum = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
  std::string Out;
  std::uint32_t X = Seed * 2654435761u + 1;
  for (int I = 0; I < Count; ++I) {
    X = X * 1664525u + 1013904223u;
    const std::uint32_t R = X >> 16;
    switch (Mode) {
    case TPeerMode::Numeric:
      Out += static_cast<char>('0' + R % 10);
      break;
    case TPeerMode::Alphanumeric:
      Out += Alnum[R % Alnum.size()];
      break;
    case TPeerMode::Byte:
      Out += static_cast<char>(1 + R % 255);
      break;
    }
  }
  return Out;
}

std::u16string Widen(const std::string& Bytes) {
  std::u16string Text;
  for (const char C : Bytes)
    Text += static_cast<char16_t>(static_cast<unsigned char>(C));
  return Text;
}

TQRCodeEncoding EncodingFor(TPeerMode Mode) {
  return Mode == TPeerMode::Numeric        ? qrNumeric
         : Mode == TPeerMode::Alphanumeric ? qrAlphanumeric
                                           : qrISO88591;
}

TMode SegmentModeFor(TPeerMode Mode) {
  return Mode == TPeerMode::Numeric        ? qmNumeric
         : Mode == TPeerMode::Alphanumeric ? qmAlphanumeric
                                           : qmByte;
}

std::optional<QrCode> PeerSymbol(TPeerMode Mode, const std::string& Text, TQRCodeECLevel Level,
                                 int Version, int Mask) {
  std::vector<QrSegment> Segs;
  if (Mode == TPeerMode::Numeric)
    Segs.push_back(QrSegment::makeNumeric(Text.c_str()));
  else if (Mode == TPeerMode::Alphanumeric)
    Segs.push_back(QrSegment::makeAlphanumeric(Text.c_str()));
  else
    Segs.push_back(QrSegment::makeBytes(std::vector<std::uint8_t>(Text.begin(), Text.end())));
  try {
    return QrCode::encodeSegments(Segs, PeerLevel(Level), Version, Version, Mask, false);
  } catch (const qrcodegen::data_too_long&) {
    return std::nullopt;
  }
}

T2DBooleanArray GridOf(const TQRCodeSymbol& Symbol) {
  const int Side = Symbol.Rows() - 2 * Symbol.QuietZone();
  T2DBooleanArray Grid(static_cast<std::size_t>(Side),
                       std::vector<bool>(static_cast<std::size_t>(Side)));
  for (int X = 0; X < Side; ++X)
    for (int Y = 0; Y < Side; ++Y)
      Grid[static_cast<std::size_t>(X)][static_cast<std::size_t>(Y)] =
          Symbol.IsDark(Y + Symbol.QuietZone(), X + Symbol.QuietZone());
  return Grid;
}

struct TSweep {
  const char* Name;
  std::vector<int> Versions;
  bool ReadBack;
};

// For each version, level and mode: the fullest text that still fits the version at the level
// (so a capacity one unit too high or too low shows), made by both our routes and by qrcodegen
// forced to our version, level and mask; one unit more must not fit the version, for qrcodegen
// either.
void Sweep(const std::vector<int>& Versions, bool ReadBack) {
  for (const TPeerMode Mode : {TPeerMode::Numeric, TPeerMode::Alphanumeric, TPeerMode::Byte})
    for (const TQRCodeECLevel Level : Levels)
      for (const int V : Versions) {
        SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(Mode) << " version " << V
                                        << "-" << LevelNames[Level]);
        const auto RefLevel = TErrorCorrectionLevel::ForOrdinal(Level);
        const int Units = TSegmentRules::MaxUnitsFor(SegmentModeFor(Mode), V, RefLevel);
        const std::string Text = Payload(Mode, Units, static_cast<std::uint32_t>(V * 4 + Level));
        TQRCodeSymbol Symbol;
        Symbol.SetQuietZone(0);
        Symbol.SetEncoding(EncodingFor(Mode));
        Symbol.SetECLevel(Level);
        Symbol.SetData(Widen(Text));
        ASSERT_EQ(Symbol.Version(), V);
        ASSERT_EQ(Symbol.UsedECLevel(), Level);

        const auto Peer = PeerSymbol(Mode, Text, Level, V, Symbol.MaskPattern());
        ASSERT_TRUE(Peer.has_value()) << "qrcodegen: the text does not fit this version";
        const int Side = Symbol.Rows();
        ASSERT_EQ(Peer->getSize(), Side);
        int Differ = 0;
        for (int Y = 0; Y < Side; ++Y)
          for (int X = 0; X < Side; ++X)
            Differ += Symbol.IsDark(Y, X) != Peer->getModule(X, Y);
        EXPECT_EQ(Differ, 0);
        EXPECT_FALSE(PeerSymbol(Mode, Payload(Mode, Units + 1, 7), Level, V, 0).has_value())
            << "qrcodegen fits one unit more";

        TEncoder Reference;
        TQRCode Code;
        Reference.EncodeSymbol(Widen(Text), EncodingFor(Mode), RefLevel, Code);
        ASSERT_NE(Code.Matrix(), nullptr);
        EXPECT_EQ(Code.Version(), V);
        EXPECT_EQ(Code.MaskPattern(), Symbol.MaskPattern());
        int RefDiffer = 0;
        for (int Y = 0; Y < Side; ++Y)
          for (int X = 0; X < Side; ++X)
            RefDiffer += Symbol.IsDark(Y, X) != (Code.Matrix()->Get(X, Y) == 1);
        EXPECT_EQ(RefDiffer, 0);

        if (ReadBack) {
          EXPECT_EQ(DecodeWithZbar(GridOf(Symbol), 4, 3), Text);
        }
      }
}

std::vector<int> EveryVersion() {
  std::vector<int> All;
  for (int V = 1; V <= 40; ++V)
    All.push_back(V);
  return All;
}

#ifdef MARBECK_LEVELS_EVERY_VERSION
// The long run (tests/long): zbar reads every version at every level in every mode.
TEST(Levels, ZbarReadsEveryVersionAtEveryLevel) {
  Sweep(EveryVersion(), true);
}
#else
TEST(Levels, EveryVersionAndLevelMatchesQrcodegenAndTheReference) {
  Sweep(EveryVersion(), false);
}

// zbar on a spread of versions (each count-field width, with and without version information,
// one to many blocks); the long run reads every version back.
TEST(Levels, ZbarReadsEveryLevelBackToTheExactBytes) {
  Sweep({1, 2, 5, 7, 10, 14, 27, 40}, true);
}

TEST(Levels, BoostRaisesTheLevelAsFarAsTheSameVersionHolds) {
  struct TCase {
    int Bytes;
    TQRCodeECLevel Asked;
    int Version;
    TQRCodeECLevel Used;
  };
  // ISO/IEC 18004 Table 7, byte mode, the most bytes at L/M/Q/H: version 1 17/14/11/7,
  // version 2 32/26/20/14, version 3 53/42/32/24.
  const TCase Cases[] = {
      {20, ecL, 2, ecQ}, {21, ecL, 2, ecM}, {14, ecL, 1, ecM}, {7, ecL, 1, ecH},
      {8, ecM, 1, ecQ},  {20, ecH, 3, ecH}, {26, ecM, 2, ecM}, {33, ecL, 3, ecM},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Bytes << " bytes at " << LevelNames[C.Asked]);
    const std::u16string Text = Widen(Payload(TPeerMode::Byte, C.Bytes, 3));
    TQRCodeSymbol Symbol;
    Symbol.SetEncoding(qrISO88591);
    Symbol.SetECLevel(C.Asked);
    Symbol.SetData(Text);
    EXPECT_EQ(Symbol.Version(), C.Version);
    EXPECT_EQ(Symbol.UsedECLevel(), C.Asked);
    const int Before = Symbol.EncodeCount();
    Symbol.SetBoost(true);
    EXPECT_EQ(Symbol.EncodeCount(), Before + 1);
    EXPECT_EQ(Symbol.Version(), C.Version);
    EXPECT_EQ(Symbol.UsedECLevel(), C.Used);

    // The boosted symbol is exactly the symbol made at the raised level.
    TQRCodeSymbol AtUsed;
    AtUsed.SetEncoding(qrISO88591);
    AtUsed.SetECLevel(C.Used);
    AtUsed.SetData(Text);
    EXPECT_EQ(GridOf(AtUsed), GridOf(Symbol));
    EXPECT_EQ(DecodeSymbolWithZbar(Symbol), Payload(TPeerMode::Byte, C.Bytes, 3));
  }
}

TEST(Levels, ALevelChangeEncodesAgainAndTheCapacityIsThatLevels) {
  // ISO/IEC 18004 Table 7, version 40 byte mode: 2953 bytes at L, 2331 at M, 1663 at Q, 1273
  // at H.
  TQRCodeSymbol Symbol;
  Symbol.SetEncoding(qrISO88591);
  Symbol.SetData(Widen(Payload(TPeerMode::Byte, 2000, 5)));
  EXPECT_FALSE(Symbol.DataTooLong());
  EXPECT_EQ(Symbol.MaxUnits(), 2953);
  const int Count = Symbol.EncodeCount();
  Symbol.SetECLevel(ecH);
  EXPECT_EQ(Symbol.EncodeCount(), Count + 1);
  EXPECT_TRUE(Symbol.DataTooLong());
  EXPECT_EQ(Symbol.Rows(), 2 * Symbol.QuietZone());
  EXPECT_EQ(Symbol.MaxUnits(), 1273);
  EXPECT_EQ(Symbol.NeededUnits(), 2000);
  EXPECT_EQ(Symbol.UsedECLevel(), ecH);
  Symbol.SetECLevel(ecH); // no change, no new encode
  EXPECT_EQ(Symbol.EncodeCount(), Count + 1);
  Symbol.SetECLevel(static_cast<TQRCodeECLevel>(4)); // not a level: ignored
  EXPECT_EQ(Symbol.ECLevel(), ecH);
  Symbol.SetBoost(true); // boost never makes room
  EXPECT_TRUE(Symbol.DataTooLong());
  Symbol.SetECLevel(ecQ);
  EXPECT_TRUE(Symbol.DataTooLong());
  EXPECT_EQ(Symbol.MaxUnits(), 1663);
  Symbol.SetECLevel(ecM); // 2003 data codewords needed: version 38-M holds 2102, 37-M 1992
  EXPECT_FALSE(Symbol.DataTooLong());
  EXPECT_EQ(Symbol.MaxUnits(), 2331);
  EXPECT_EQ(Symbol.Version(), 38);
  EXPECT_EQ(Symbol.UsedECLevel(), ecM); // boost finds no room for Q in version 38
}

// Which codeword each data module of a version carries, walked in the placement order of clause
// 7.7.3 over the cells the function layer leaves empty; -1 for function and remainder cells.
std::vector<std::vector<int>> CodewordOfModule(int Version, int TotalCodewords) {
  const int N = 17 + 4 * Version;
  TByteMatrix Function(N, N);
  TFunctionLayer().BuildFunctionLayer(TErrorCorrectionLevel::ForOrdinal(0), Version, 0, Function);
  std::vector<std::vector<int>> Of(static_cast<std::size_t>(N),
                                   std::vector<int>(static_cast<std::size_t>(N), -1));
  int Bit = 0;
  bool Upward = true;
  for (int Right = N - 1; Right >= 1; Right -= 2) {
    if (Right == 6) Right = 5;
    for (int Step = 0; Step < N; ++Step) {
      const int Y = Upward ? N - 1 - Step : Step;
      for (int X = Right; X >= Right - 1; --X)
        if (Function.Get(X, Y) == -1) {
          if (Bit / 8 < TotalCodewords)
            Of[static_cast<std::size_t>(X)][static_cast<std::size_t>(Y)] = Bit / 8;
          ++Bit;
        }
    }
    Upward = !Upward;
  }
  return Of;
}

// A block of a version-10 symbol blacked out in the data region, clear of the finder, timing and
// alignment patterns: about a fifth of the 346 codewords are hit. Level H (28 EC codewords per
// block of 15 or 16) corrects that; level L (18 per block of 68 or 69) cannot.
TEST(Levels, HReadsThroughDamageThatDefeatsL) {
  constexpr int Left = 31, Right = 47, Top = 9, Bottom = 33; // inclusive
  const auto Of = CodewordOfModule(10, 346);
  std::set<int> Hit;
  for (int X = Left; X <= Right; ++X)
    for (int Y = Top; Y <= Bottom; ++Y)
      if (const int C = Of[static_cast<std::size_t>(X)][static_cast<std::size_t>(Y)]; C >= 0)
        Hit.insert(C);
  const double Share = static_cast<double>(Hit.size()) / 346.0;
  EXPECT_GT(Share, 0.17);
  EXPECT_LT(Share, 0.23);

  for (const auto& [Level, Bytes, ReadsBack] :
       {std::tuple{ecH, 110, true}, std::tuple{ecL, 260, false}}) {
    SCOPED_TRACE(LevelNames[Level]);
    const std::string Text = Payload(TPeerMode::Byte, Bytes, 11);
    TQRCodeSymbol Symbol;
    Symbol.SetQuietZone(0);
    Symbol.SetEncoding(qrISO88591);
    Symbol.SetECLevel(Level);
    Symbol.SetData(Widen(Text));
    ASSERT_EQ(Symbol.Version(), 10);
    T2DBooleanArray Grid = GridOf(Symbol);
    ASSERT_EQ(DecodeWithZbar(Grid), Text); // whole, it reads
    for (int X = Left; X <= Right; ++X)
      for (int Y = Top; Y <= Bottom; ++Y)
        Grid[static_cast<std::size_t>(X)][static_cast<std::size_t>(Y)] = true;
    if (ReadsBack) {
      EXPECT_EQ(DecodeWithZbar(Grid), Text);
    } else {
      EXPECT_FALSE(DecodeWithZbar(Grid).has_value());
    }
  }
}
#endif

} // namespace
