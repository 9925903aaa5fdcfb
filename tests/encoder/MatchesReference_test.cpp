// The encoder against the step-by-step encoder (TEncoder, TReedSolomonEncoder,
// TMatrixUtil, the penalty rules): same EC codewords, same interleaving, same modules for
// every mask, same penalty per rule and mask, same chosen mask, same finished symbol.
#include "encoder/ByteMatrix.h"
#include "encoder/QRCodeSymbol.h"
#include "encoder/SymbolBuilder.h"
#include "encoder/Version.h"
#include "encoder/reference/Encoder.h"
#include "encoder/reference/MatrixUtil.h"
#include "encoder/reference/QRCode.h"
#include "support/Bits.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

const TErrorCorrectionLevel LevelL(TErrorCorrectionLevel::BitsL);

std::vector<std::uint8_t> BytesOf(const TBitArray& A) {
  TByteArray Out(static_cast<std::size_t>(A.GetSizeInBytes()));
  A.ToBytes(0, Out, 0, A.GetSizeInBytes());
  return Out;
}

std::vector<std::uint8_t> RandomBytes(std::mt19937& Rng, int N) {
  std::vector<std::uint8_t> Out(static_cast<std::size_t>(N));
  for (auto& B : Out)
    B = static_cast<std::uint8_t>(Rng() & 0xFF);
  return Out;
}

// ISO/IEC 18004 Annex I, version 1-M: 16 data codewords, 10 EC codewords.
TEST(MatchesReference, BlockECOfTheAnnexIExample) {
  const std::uint8_t Data[16] = {16,  32, 12,  86, 97,  128, 236, 17,
                                 236, 17, 236, 17, 236, 17,  236, 17};
  std::uint8_t EC[10];
  qr::ComputeBlockEC(Data, 16, 10, EC);
  EXPECT_EQ(std::vector<std::uint8_t>(EC, EC + 10),
            (std::vector<std::uint8_t>{165, 36, 212, 193, 237, 54, 199, 135, 44, 85}));
}

// Every EC length 1..30 on random blocks, leading zero codewords and all-zero blocks included.
TEST(MatchesReference, BlockECAgreesWithTheReedSolomonEncoder) {
  std::mt19937 Rng(77);
  TEncoder Encoder;
  for (int NumEC = 1; NumEC <= 30; ++NumEC)
    for (int Trial = 0; Trial < 4; ++Trial) {
      std::vector<std::uint8_t> Data = RandomBytes(Rng, 1 + static_cast<int>(Rng() % 150));
      if (Trial == 1) Data[0] = 0;
      if (Trial == 2) std::fill(Data.begin(), Data.end(), 0);
      std::vector<std::uint8_t> EC(static_cast<std::size_t>(NumEC), 0xAA);
      qr::ComputeBlockEC(Data.data(), static_cast<int>(Data.size()), NumEC, EC.data());
      ASSERT_EQ(EC, Encoder.ComputeBlockEC(Data, NumEC))
          << NumEC << " EC codewords, trial " << Trial;
    }
}

// The interleaved codewords of every version at level L, and a level-Q layout whose blocks
// differ in length (version 5-Q: 2 x 15 and 2 x 16 data codewords).
TEST(MatchesReference, InterleavingAgreesForEveryVersion) {
  std::mt19937 Rng(5);
  struct Layout {
    int Total, Data, Blocks;
  };
  std::vector<Layout> Layouts = {{134, 62, 4}};
  for (int V = 1; V <= 40; ++V) {
    const auto Version = TVersion::GetVersionForNumber(V);
    const TECBlocks& B = Version->GetECBlocksForLevel(LevelL);
    Layouts.push_back({Version->GetTotalCodewords(),
                       Version->GetTotalCodewords() - B.GetTotalECCodewords(), B.GetNumBlocks()});
  }
  for (const Layout& L : Layouts) {
    const std::vector<std::uint8_t> Data = RandomBytes(Rng, L.Data);
    TEncoder Encoder;
    TBitArray Expected;
    Encoder.InterleaveBlocks(BitsOfCodewords(Data), L.Total, L.Data, L.Blocks, Expected);
    ASSERT_FALSE(Encoder.EncoderError());
    std::vector<std::uint8_t> Out(static_cast<std::size_t>(L.Total));
    ASSERT_TRUE(qr::InterleaveWithEC(Data.data(), L.Total, L.Data, L.Blocks, Out.data()));
    ASSERT_EQ(Out, BytesOf(Expected)) << L.Total << " codewords";
  }
  // Totals that do not split into blocks of one EC length are refused, as the driver refuses them.
  std::vector<std::uint8_t> Data(21), Out(26);
  TEncoder Encoder;
  TBitArray Refused;
  Encoder.InterleaveBlocks(BitsOfCodewords(Data), 26, 21, 3, Refused);
  EXPECT_TRUE(Encoder.EncoderError());
  EXPECT_FALSE(qr::InterleaveWithEC(Data.data(), 26, 21, 3, Out.data()));
  EXPECT_FALSE(qr::InterleaveWithEC(Data.data(), 26, 21, 0, Out.data()));
}

// For every version, with random, all-zero and repetitive codeword streams: the modules of
// every mask, each rule's penalty, and the chosen mask are those of BuildMatrix, the penalty
// rules and SelectMaskPattern, at each level.
TEST(MatchesReference, EveryMaskBuildsAndScoresLikeTheMatrixBuilder) {
  std::mt19937 Rng(2024);
  for (int V = 1; V <= 40; ++V) {
    const int Total = TVersion::GetVersionForNumber(V)->GetTotalCodewords();
    const int Side = 17 + 4 * V;
    const qr::TVersionLayout& Layout = qr::LayoutFor(V);
    ASSERT_EQ(Layout.Side, Side);
    ASSERT_EQ(Layout.DataCells / 8, Total) << "version " << V;

    std::vector<std::vector<std::uint8_t>> Streams = {
        RandomBytes(Rng, Total), std::vector<std::uint8_t>(static_cast<std::size_t>(Total), 0)};
    if (V % 5 == 0) { // the same codeword again and again: long runs and finder-like stretches
      Streams.emplace_back(static_cast<std::size_t>(Total), static_cast<std::uint8_t>(0xF0 | V));
    }
    for (std::size_t S = 0; S < Streams.size(); ++S) {
      SCOPED_TRACE("version " + std::to_string(V) + ", stream " + std::to_string(S));
      // The level (its format information) turns with version and stream: all four are met.
      const int Ordinal = static_cast<int>((static_cast<std::size_t>(V) + S) % 4);
      const TErrorCorrectionLevel Level = TErrorCorrectionLevel::ForOrdinal(Ordinal);
      const TBitArray Bits = BitsOfCodewords(Streams[S]);
      const qr::TMaskTrials Trials(V, Streams[S].data(), Ordinal);
      int FastTotals[8];
      const int FastChoice = Trials.ChooseMask(FastTotals);
      TByteMatrix M(Side, Side);
      for (int Mask = 0; Mask < 8; ++Mask) {
        TMatrixUtil Util;
        Util.BuildMatrix(Bits, Level, V, Mask, M);
        qr::TBitGrid Rows, Cols;
        Trials.Build(Mask, Rows, Cols);
        for (int Y = 0; Y < Side; ++Y)
          for (int X = 0; X < Side; ++X) {
            ASSERT_EQ(Rows.Get(Y, X), M.Get(X, Y) == 1)
                << "mask " << Mask << " cell " << X << "," << Y;
            ASSERT_EQ(Cols.Get(X, Y), M.Get(X, Y) == 1)
                << "mask " << Mask << " cell " << X << "," << Y;
          }
        EXPECT_EQ(qr::ScoreRuns(Rows, Cols), TEncoder::ScoreRuns(M)) << "mask " << Mask;
        EXPECT_EQ(qr::ScoreBlocks(Rows), TEncoder::ScoreBlocks(M)) << "mask " << Mask;
        EXPECT_EQ(qr::ScoreFinderLikePatterns(Rows, Cols), TEncoder::ScoreFinderLikePatterns(M))
            << "mask " << Mask;
        EXPECT_EQ(qr::ScoreDarkBalance(Rows), TEncoder::ScoreDarkBalance(M)) << "mask " << Mask;
        EXPECT_EQ(FastTotals[Mask], TEncoder::MaskPenalty(M)) << "mask " << Mask;
      }
      EXPECT_EQ(FastChoice, TEncoder::SelectMaskPattern(Bits, Level, V, M));
    }
  }
}

// The penalty rules on hand-made lines, where the expected scores are plain to see, at every
// word boundary of the packed lines (a 177-cell symbol spans three 64-bit words).
TEST(MatchesReference, PenaltyRulesAcrossWordBoundaries) {
  for (const int Side : {21, 63, 64, 65, 129, 177}) {
    for (const int Start : {0, 3, 56, 57, 59, 60, 62, 120, 124, 125, 166, 170}) {
      if (Start + 11 > Side) continue;
      SCOPED_TRACE("side " + std::to_string(Side) + ", start " + std::to_string(Start));
      // A checkerboard scores nothing; one row gets 0 0 0 0 1 0 1 1 1 0 1 at Start.
      TByteMatrix M(Side, Side);
      for (int Y = 0; Y < Side; ++Y)
        for (int X = 0; X < Side; ++X)
          M.SetBoolean(X, Y, (X + Y) % 2 == 1);
      const int Pattern[11] = {0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1};
      for (int K = 0; K < 11; ++K)
        M.SetBoolean(Start + K, Side / 2, Pattern[K] == 1);
      qr::TBitGrid Rows, Cols;
      Rows.Side = Cols.Side = Side;
      for (int Y = 0; Y < Side; ++Y)
        for (int X = 0; X < Side; ++X)
          if (M.Get(X, Y) == 1) {
            Rows.Lines[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X / 64)] |=
                std::uint64_t{1} << (X % 64);
            Cols.Lines[static_cast<std::size_t>(X)][static_cast<std::size_t>(Y / 64)] |=
                std::uint64_t{1} << (Y % 64);
          }
      EXPECT_EQ(TEncoder::ScoreFinderLikePatterns(M), 40);
      EXPECT_EQ(qr::ScoreFinderLikePatterns(Rows, Cols), 40);
      EXPECT_EQ(qr::ScoreRuns(Rows, Cols), TEncoder::ScoreRuns(M));
      EXPECT_EQ(qr::ScoreBlocks(Rows), TEncoder::ScoreBlocks(M));
      EXPECT_EQ(qr::MaskPenalty(Rows, Cols), TEncoder::MaskPenalty(M));
    }
  }
}

std::u16string RandomText(std::mt19937& Rng, int Length, int Kind) {
  static const std::u16string Alphanumeric = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
  std::u16string Text;
  for (int I = 0; I < Length; ++I) {
    switch (Kind) {
    case 0:
      Text += static_cast<char16_t>(u'0' + Rng() % 10);
      break;
    case 1:
      Text += Alphanumeric[Rng() % Alphanumeric.size()];
      break;
    case 2:
      Text += static_cast<char16_t>(0x20 + Rng() % 0xE0);
      break; // Latin-1
    default:
      Text += static_cast<char16_t>(Rng() % 4 == 0 ? 0x3B1 + Rng() % 24 : 0x20 + Rng() % 0x5F);
      break;
    }
  }
  return Text;
}

// Whole symbols: texts of every kind and option, sized to land all over versions 1 to 40, made
// by the driver (EncodeSymbol, its record and matrix) and by the encoder (EncodeToGrid and
// the facade).
TEST(MatchesReference, WholeSymbolsAgreeWithTheDriver) {
  const unsigned Seed = 99;
  std::printf("random text seed: %u\n", Seed);
  std::mt19937 Rng(Seed);
  std::vector<bool> VersionSeen(41, false);
  for (int Trial = 0; Trial < 90; ++Trial) {
    const int Kind = Trial % 4;
    const int MaxLength[4] = {7089, 4296, 2953, 1400};
    // Lengths spread evenly on a square-root scale, so that small versions get their share.
    const double Fraction = static_cast<double>(Rng() % 1000) / 1000.0;
    const int Length = static_cast<int>(Fraction * Fraction * MaxLength[Kind]);
    const std::u16string Text = RandomText(Rng, Length, Kind);
    const int Option = static_cast<int>(Rng() % 7);
    SCOPED_TRACE("trial " + std::to_string(Trial) + ": kind " + std::to_string(Kind) + ", length " +
                 std::to_string(Length) + ", option " + std::to_string(Option));

    TEncoder Encoder;
    TQRCode Record;
    Encoder.EncodeSymbol(Text, Option, LevelL, Record);
    TEncodeReport Report;
    const T2DBooleanArray Grid = EncodeToGrid(Text, Option, &Report);
    EXPECT_EQ(Report.DataTooLong, Encoder.DataTooLong());
    EXPECT_EQ(Report.NeededUnits, Encoder.NeededUnits());
    EXPECT_EQ(Report.MaxUnits, Encoder.MaxUnits());
    EXPECT_EQ(Report.Units, Encoder.Units());
    const TByteMatrix* M = Record.Matrix();
    if (!M) {
      EXPECT_TRUE(Grid.empty());
      continue;
    }
    VersionSeen[static_cast<std::size_t>(Record.Version())] = true;
    EXPECT_EQ(Report.Version, Record.Version());
    EXPECT_EQ(Report.MaskPattern, Record.MaskPattern());
    ASSERT_EQ(static_cast<int>(Grid.size()), M->Width());
    for (int X = 0; X < M->Width(); ++X)
      for (int Y = 0; Y < M->Height(); ++Y)
        ASSERT_EQ(Grid[static_cast<std::size_t>(X)][static_cast<std::size_t>(Y)], M->Get(X, Y) == 1)
            << X << "," << Y;

    TQRCodeSymbol Symbol;
    Symbol.SetData(Text);
    Symbol.SetEncoding(static_cast<TQRCodeEncoding>(Option));
    Symbol.SetQuietZone(0);
    ASSERT_EQ(Symbol.Rows(), M->Width());
    for (int R = 0; R < Symbol.Rows(); ++R)
      for (int C = 0; C < Symbol.Columns(); ++C)
        ASSERT_EQ(Symbol.IsDark(R, C), M->Get(C, R) == 1) << R << "," << C;
  }
  int Seen = 0;
  for (bool B : VersionSeen)
    Seen += B ? 1 : 0;
  EXPECT_GE(Seen, 25) << "the texts should spread over most versions";
}

// The encoder chooses the version from its own table: at each change of the count width
// (versions 9/10 and 26/27) and at the end of version 40 it must choose as the driver does.
TEST(MatchesReference, VersionChoiceAtCountWidthBoundariesAgreesWithTheDriver) {
  struct Case {
    char16_t Unit;
    std::vector<int> Lengths;
  };
  const Case Cases[] = {
      {u'q', {229, 230, 231, 232, 1365, 1366, 1367, 1368, 2953, 2954}},
      {u'5', {551, 552, 553, 554, 555, 3280, 3281, 3282, 3283, 3284, 3285, 7089, 7090}},
      {u'Q', {334, 335, 336, 337, 1989, 1990, 1991, 1992, 4296, 4297}},
  };
  for (const Case& C : Cases)
    for (const int N : C.Lengths) {
      const std::u16string Text(static_cast<std::size_t>(N), C.Unit);
      TEncoder Encoder;
      TQRCode Record;
      Encoder.EncodeSymbol(Text, qrAuto, LevelL, Record);
      TEncodeReport Report;
      EncodeToGrid(Text, qrAuto, &Report);
      EXPECT_EQ(Report.DataTooLong, Encoder.DataTooLong()) << N;
      EXPECT_EQ(Report.Version, Record.Matrix() ? Record.Version() : 0)
          << static_cast<char>(C.Unit) << " x " << N;
    }
}

// The shared tables are built on first use; threads that need the same version at the same
// time all get the same symbol.
TEST(MatchesReference, ThreadsBuildingTheSameVersionAtOnceAgree) {
  const std::u16string Text(1500, u'x'); // a version-28 symbol
  const T2DBooleanArray Expected = [&] {
    TEncoder Encoder;
    TQRCode Record;
    Encoder.EncodeSymbol(Text, qrAuto, LevelL, Record);
    T2DBooleanArray G(static_cast<std::size_t>(Record.Matrix()->Width()),
                      std::vector<bool>(static_cast<std::size_t>(Record.Matrix()->Height())));
    for (std::size_t X = 0; X < G.size(); ++X)
      for (std::size_t Y = 0; Y < G[X].size(); ++Y)
        G[X][Y] = Record.Matrix()->Get(static_cast<int>(X), static_cast<int>(Y)) == 1;
    return G;
  }();
  std::vector<T2DBooleanArray> Results(4);
  std::vector<std::thread> Threads;
  for (auto& R : Results)
    Threads.emplace_back([&R, &Text] { R = EncodeToGrid(Text, qrAuto); });
  for (auto& T : Threads)
    T.join();
  for (const auto& R : Results)
    EXPECT_EQ(R, Expected);
}

} // namespace
