// marbeck_bench: our QR encoder raced against libqrencode, qrcodegen and Zint in one process, on
// the six workloads of Workloads.h at level L and again at level H (the three version-40 payloads
// cut to what version 40 holds at H, so they stay version-40 races), plus one full generation
// pass for the version-40 byte payload.
//
//   marbeck_bench [Google Benchmark flags]   the plain benchmark report
//   marbeck_bench --table [flags]            9 interleaved repetitions, then a Markdown table of
//   the
//                                            median CPU time per workload and encoder, the ratio
//                                            ours / fastest peer and the pass / encode ratio
//   marbeck_bench --smoke                    the agreement check and one iteration of everything
//
// Before anything is timed, every encoder encodes every workload once; the run stops with exit
// code 2 unless all of them chose the same version and produced a well-formed grid.
#include "Ours.h"
#include "Peers.h"
#include "Smoke.h"
#include "platform/Memory.h"
#include "render/Code.h"
#include "render/Raster.h"
#include "support/Workloads.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace marbeck_bench;

enum class TEncoderId { Ours, Libqrencode, Qrcodegen, Zint };

const TEncoderId AllEncoders[] = {TEncoderId::Ours, TEncoderId::Libqrencode, TEncoderId::Qrcodegen,
                                  TEncoderId::Zint};
const TEncoderId Peers[] = {TEncoderId::Libqrencode, TEncoderId::Qrcodegen, TEncoderId::Zint};

const char* NameOf(TEncoderId Id) {
  switch (Id) {
  case TEncoderId::Ours:
    return "ours";
  case TEncoderId::Libqrencode:
    return "libqrencode";
  case TEncoderId::Qrcodegen:
    return "qrcodegen";
  case TEncoderId::Zint:
    return "zint";
  }
  return "?";
}

// A workload with the inputs each encoder takes and its level, prepared once outside the timed
// loops.
struct TPrepared {
  const TWorkload* Work;
  std::u16string Text;
  TQRCodeEncoding Encoding;
  TQRCodeECLevel Level;
};

// The workloads at level H: the same texts, the version-40 ones cut to the most version 40 holds
// at H (ISO/IEC 18004 Table 7: 1273 bytes, 3057 digits, 1852 characters) and named by their new
// length.
const std::vector<TWorkload>& WorkloadsAtH() {
  static const std::vector<TWorkload> All = [] {
    std::vector<TWorkload> w;
    for (const TWorkload& W : Workloads()) {
      const std::size_t Max = W.Mode == TSegmentMode::Numeric        ? 3057
                              : W.Mode == TSegmentMode::Alphanumeric ? 1852
                                                                     : 1273;
      if (W.Bytes.size() <= Max) {
        w.push_back(W);
        continue;
      }
      std::string Stem = W.Name;
      while (!Stem.empty() && Stem.back() >= '0' && Stem.back() <= '9')
        Stem.pop_back();
      w.push_back({Stem + std::to_string(Max), W.Mode, W.Bytes.substr(0, Max)});
    }
    return w;
  }();
  return All;
}

const std::vector<TPrepared>& Prepared() {
  static const std::vector<TPrepared> All = [] {
    std::vector<TPrepared> p;
    for (const TWorkload& W : Workloads())
      p.push_back({&W, ToUtf16(W.Bytes), ForcedEncoding(W.Mode), ecL});
    for (const TWorkload& W : WorkloadsAtH())
      p.push_back({&W, ToUtf16(W.Bytes), ForcedEncoding(W.Mode), ecH});
    return p;
  }();
  return All;
}

const char* LevelName(const TPrepared& P) {
  return P.Level == ecH ? "H" : "L";
}

template <class TVisit> TGridShape Encode(TEncoderId Id, const TPrepared& P, TVisit&& Visit) {
  switch (Id) {
  case TEncoderId::Ours:
    return EncodeOurs(P.Text, P.Encoding, P.Level, Visit);
  case TEncoderId::Libqrencode:
    return EncodeLibqrencode(*P.Work, P.Level, Visit);
  case TEncoderId::Qrcodegen:
    return EncodeQrcodegen(*P.Work, P.Level, Visit);
  case TEncoderId::Zint:
    return EncodeZint(*P.Work, P.Level, Visit);
  }
  return {};
}

// True when the 7 x 7 finder pattern sits at (Offset, Offset): dark ring, light ring, dark 3 x 3.
bool HasTopLeftFinder(const std::vector<unsigned char>& Grid, const TGridShape& S) {
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 7; ++c) {
      const int Ring = std::max(std::abs(r - 3), std::abs(c - 3));
      const bool WantDark = Ring != 2;
      const bool Dark = Grid[static_cast<std::size_t>((S.Offset + r) * S.Side + S.Offset + c)] != 0;
      if (Dark != WantDark) return false;
    }
  return true;
}

// Every encoder once on every workload: same version everywhere, grids of the right size.
bool CheckAgreement() {
  bool Ok = true;
  std::printf("%-12s %5s %6s", "workload", "level", "bytes");
  for (TEncoderId Id : AllEncoders)
    std::printf(" %12s", NameOf(Id));
  std::printf("  verdict\n");
  for (const TPrepared& P : Prepared()) {
    std::printf("%-12s %5s %6zu", P.Work->Name.c_str(), LevelName(P), P.Work->Bytes.size());
    bool Agree = true;
    int Reference = 0;
    for (TEncoderId Id : AllEncoders) {
      std::vector<unsigned char> Grid;
      const TGridShape S =
          Encode(Id, P, [&Grid](int, int, bool Dark) { Grid.push_back(Dark ? 1 : 0); });
      const bool WellFormed =
          S.Version >= 1 && S.Version <= 40 && S.Side == 4 * S.Version + 17 + 2 * S.Offset &&
          Grid.size() == static_cast<std::size_t>(S.Side) * static_cast<std::size_t>(S.Side) &&
          HasTopLeftFinder(Grid, S);
      if (Reference == 0) Reference = S.Version;
      Agree = Agree && WellFormed && S.Version == Reference;
      std::printf(" %11d%s", S.Version, WellFormed ? " " : "!");
    }
    std::printf("  %s\n", Agree ? "same version" : "DISAGREE");
    Ok = Ok && Agree;
  }
  std::fflush(stdout);
  if (!Ok)
    std::fprintf(
        stderr,
        "marbeck_bench: the encoders do not agree on the version, or a grid marked ! is malformed; "
        "nothing was timed.\n");
  return Ok;
}

void EncodeBenchmark(benchmark::State& State, TEncoderId Id, const TPrepared* P) {
  for (auto _ : State) {
    unsigned Dark = 0;
    TGridShape S = Encode(Id, *P, [&Dark](int, int, bool IsDark) { Dark += IsDark ? 1u : 0u; });
    benchmark::DoNotOptimize(Dark);
    benchmark::DoNotOptimize(S);
  }
}

// One whole generation pass for a payload, as the window makes it: a fresh facade with its three
// writes and the grid read out (MakeCode), then the one-pixel-per-module picture painted in the
// swatches' colours (RenderModules). The read-back runs on the window's worker, not in the pass.
inline QImage GenerationPass(const std::u16string& Text, TQRCodeEncoding Encoding, int QuietZone) {
  TCodeStyle Style;
  Style.QuietZone = QuietZone;
  return RenderModules(MakeCode(Text, Encoding, Style).Grid, Style);
}

// The pass uses quiet zone 1: spacing "1" without Frame, the program's first-run setting.
constexpr int PassQuietZone = 1;
const char* const PassWorkload = "bytes2953";

void PassBenchmark(benchmark::State& State, const TPrepared* P) {
  for (auto _ : State) {
    QImage Picture = GenerationPass(P->Text, P->Encoding, PassQuietZone);
    benchmark::DoNotOptimize(Picture.constBits());
    benchmark::ClobberMemory();
  }
}

// Level L keeps the names of the earlier tables; level H runs are encodeH/...
std::string EncodeName(const TPrepared& P, TEncoderId Id) {
  return std::string(P.Level == ecH ? "encodeH/" : "encode/") + P.Work->Name + "/" + NameOf(Id);
}
std::string PassName() {
  return std::string("pass/") + PassWorkload + "/ours";
}

void RegisterAll(const TSmoke& Smoke) {
  auto Configure = [&Smoke](benchmark::internal::Benchmark* B) {
    Smoke(B)->Unit(benchmark::kMicrosecond);
  };
  for (const TPrepared& P : Prepared())
    for (TEncoderId Id : AllEncoders)
      Configure(benchmark::RegisterBenchmark(EncodeName(P, Id).c_str(), EncodeBenchmark, Id, &P));
  for (const TPrepared& P : Prepared())
    if (P.Work->Name == PassWorkload && P.Level == ecL)
      Configure(benchmark::RegisterBenchmark(PassName().c_str(), PassBenchmark, &P));
}

// Collects, per benchmark, the median CPU time (µs) while the console report goes to stderr.
class TTableReporter : public benchmark::ConsoleReporter {
public:
  explicit TTableReporter(bool Colour) : ConsoleReporter(Colour ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& Reports) override {
    for (const Run& R : Reports) {
      const std::string Name = R.run_name.function_name;
      if (R.error_occurred) continue;
      if (R.run_type == Run::RT_Aggregate && R.aggregate_name == "median")
        FMedian[Name] = R.GetAdjustedCPUTime();
      else if (R.run_type == Run::RT_Iteration)
        FSamples[Name].push_back(R.GetAdjustedCPUTime());
    }
    ConsoleReporter::ReportRuns(Reports);
  }

  // The median, from the library's aggregate or else from the single runs it saw.
  bool Median(const std::string& Name, double& Out) const {
    if (auto It = FMedian.find(Name); It != FMedian.end()) {
      Out = It->second;
      return true;
    }
    auto It = FSamples.find(Name);
    if (It == FSamples.end() || It->second.empty()) return false;
    std::vector<double> v = It->second;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    Out = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return true;
  }

private:
  std::map<std::string, double> FMedian;
  std::map<std::string, std::vector<double>> FSamples;
};

void PrintTable(const TTableReporter& Rep, int Repetitions) {
  std::printf("\nMedian CPU time per encode in microseconds (%d repetitions, interleaved).\n\n",
              Repetitions);
  std::printf("| workload | level | version |");
  for (TEncoderId Id : AllEncoders)
    std::printf(" %s |", NameOf(Id));
  std::printf(" ours / fastest peer | ours / libqrencode | goal |\n|---|---|---:|");
  for (std::size_t i = 0; i < std::size(AllEncoders); ++i)
    std::printf("---:|");
  std::printf("---:|---:|---|\n");
  for (const TPrepared& P : Prepared()) {
    double Ours = 0;
    const bool HaveOurs = Rep.Median(EncodeName(P, TEncoderId::Ours), Ours);
    const TGridShape S = EncodeLibqrencode(*P.Work, P.Level, [](int, int, bool) {});
    std::printf("| %s | %s | %d |", P.Work->Name.c_str(), LevelName(P), S.Version);
    double Fastest = 0, Libqrencode = 0;
    const char* FastestName = "";
    for (TEncoderId Id : AllEncoders) {
      double t = 0;
      if (!Rep.Median(EncodeName(P, Id), t)) {
        std::printf(" - |");
        continue;
      }
      std::printf(" %.1f |", t);
      if (Id == TEncoderId::Libqrencode) Libqrencode = t;
      if (Id != TEncoderId::Ours && (Fastest == 0 || t < Fastest)) {
        Fastest = t;
        FastestName = NameOf(Id);
      }
    }
    const double Ceiling = S.Version == 40 ? 0.20 : 0.50;
    if (HaveOurs && Fastest > 0 && Libqrencode > 0)
      std::printf(" %.2f (%s) | %.2f | <= %.2f: %s |\n", Ours / Fastest, FastestName,
                  Ours / Libqrencode, Ceiling, Ours / Libqrencode <= Ceiling ? "met" : "not met");
    else
      std::printf(" - | - | <= %.2f |\n", Ceiling);
  }
  double Pass = 0, Encode = 0;
  for (const TPrepared& P : Prepared())
    if (P.Work->Name == PassWorkload && P.Level == ecL && Rep.Median(PassName(), Pass) &&
        Rep.Median(EncodeName(P, TEncoderId::Ours), Encode) && Encode > 0)
      std::printf("\nGeneration pass (%s: fresh facade, Data, Encoding, QuietZone %d, %d x %d "
                  "pixels painted): "
                  "%.1f us = %.2f x one encode (goal <= 1.50: %s).\n",
                  PassWorkload, PassQuietZone, 4 * 40 + 17 + 2 * PassQuietZone,
                  4 * 40 + 17 + 2 * PassQuietZone, Pass, Pass / Encode,
                  Pass / Encode <= 1.5 ? "met" : "not met");
  // How many full encoder runs each measured road costs today (the facade counts them).
  for (const TPrepared& P : Prepared())
    if (P.Work->Name == PassWorkload && P.Level == ecL) {
      TQRCodeSymbol Encode2;
      Encode2.SetData(P.Text);
      Encode2.SetEncoding(P.Encoding);
      TQRCodeSymbol Pass2;
      Pass2.SetData(P.Text);
      Pass2.SetEncoding(P.Encoding);
      Pass2.SetQuietZone(PassQuietZone);
      std::printf("Encoder runs inside one measured call: encode %d, pass %d.\n",
                  Encode2.EncodeCount(), Pass2.EncodeCount());
    }
  std::fflush(stdout);
}

bool HasFlag(const std::vector<std::string>& Args, const char* Prefix) {
  return std::any_of(Args.begin(), Args.end(),
                     [Prefix](const std::string& a) { return a.rfind(Prefix, 0) == 0; });
}

} // namespace

int main(int argc, char** argv) {
  KeepFreedMemoryForReuse(); // as the programs do
  const TSmoke Smoke(argc, argv);
  std::vector<std::string> Args;
  bool Table = false;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--table") == 0)
      Table = true;
    else
      Args.push_back(argv[i]);
  }
  int Repetitions = 1;
  if (Table) {
    if (!HasFlag(Args, "--benchmark_repetitions=")) Args.push_back("--benchmark_repetitions=9");
    if (!HasFlag(Args, "--benchmark_enable_random_interleaving"))
      Args.push_back("--benchmark_enable_random_interleaving=true");
    if (!HasFlag(Args, "--benchmark_min_time=")) Args.push_back("--benchmark_min_time=0.2");
    if (!HasFlag(Args, "--benchmark_display_aggregates_only") &&
        !HasFlag(Args, "--benchmark_report_aggregates_only"))
      Args.push_back("--benchmark_display_aggregates_only=true");
  }
  for (const std::string& a : Args)
    if (a.rfind("--benchmark_repetitions=", 0) == 0)
      Repetitions = std::max(1, std::atoi(a.c_str() + 24));

  std::vector<char*> Argv;
  for (std::string& a : Args)
    Argv.push_back(a.data());
  int Argc = static_cast<int>(Argv.size());
  benchmark::Initialize(&Argc, Argv.data());
  if (benchmark::ReportUnrecognizedArguments(Argc, Argv.data())) return 1;

  if (!CheckAgreement()) return 2;
  RegisterAll(Smoke);

  // With --table the running report goes to stderr, so stdout carries only the check and the table.
  TTableReporter Reporter(isatty(Table ? STDERR_FILENO : STDOUT_FILENO) != 0);
  if (Table) Reporter.SetOutputStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  if (Table) PrintTable(Reporter, Smoke.On() ? 1 : Repetitions);
  benchmark::Shutdown();
  return 0;
}
