// marbeck_readback_bench: what the read-back of one picture costs (grey conversion and zbar),
// the check that runs after every generation pass and for every file the command line writes.
// The goal: a version-40 picture at the preview's largest zoom (800 x 800) in at most 50 ms.
//
//   marbeck_readback_bench [Google Benchmark flags]
//   marbeck_readback_bench --smoke     the read-back check and one iteration of everything
//
// Before anything is timed, every picture is read back once; the run stops with exit code 2
// unless each one reads back exactly.
#include "render/ReadBack.h"

#include "Smoke.h"
#include "encoder/QRCodeSymbol.h"
#include "render/Raster.h"
#include "support/Workloads.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace marbeck_bench;

// The picture as the preview draws it, at Side x Side pixels.
QImage PaintCode(const TQRCodeSymbol& Symbol, const TCodeStyle& Style, int Side) {
  return RenderRaster(GridOf(Symbol), Style, Side);
}

struct TPicture {
  std::string Name;
  QImage Picture;
  std::string Expected;
};

// The workload's bytes in ISO-8859-1 byte mode (all printable ASCII, so the symbol carries them
// as they are), the window's default spacing of 2, at Side x Side pixels; a Side of 0 stands for
// two pixels a module, where the read-back scans every line (see render/ReadBack.cpp).
TPicture MakePicture(const char* Workload, int Side) {
  for (const TWorkload& W : Workloads())
    if (W.Name == Workload) {
      TCodeStyle Style;
      Style.QuietZone = 2;
      TQRCodeSymbol Symbol;
      Symbol.SetData(ToUtf16(W.Bytes));
      Symbol.SetEncoding(qrISO88591);
      Symbol.SetQuietZone(Style.QuietZoneWithFrame());
      if (Side == 0) Side = 2 * Symbol.Rows();
      return {std::string(Workload) + "/v" + std::to_string(Symbol.Version()) + "/" +
                  std::to_string(Side),
              PaintCode(Symbol, Style, Side), W.Bytes};
    }
  return {};
}

const std::vector<TPicture>& Pictures() {
  static const std::vector<TPicture> All = {MakePicture("bytes2953", 800),
                                            MakePicture("bytes2953", 0), MakePicture("url", 800),
                                            MakePicture("url", 200)};
  return All;
}

void ReadBackBenchmark(benchmark::State& State, const TPicture* Picture) {
  for (auto _ : State) {
    TReadBack Read = ReadBack(Picture->Picture, Picture->Expected);
    benchmark::DoNotOptimize(Read);
  }
}

} // namespace

int main(int argc, char** argv) {
  const TSmoke Smoke(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  for (const TPicture& P : Pictures())
    if (ReadBack(P.Picture, P.Expected).Result != TReadBackResult::Exact) {
      std::fprintf(stderr, "read-back of %s is not exact\n", P.Name.c_str());
      return 2;
    }
  for (const TPicture& P : Pictures()) {
    auto* B = benchmark::RegisterBenchmark(("readback/" + P.Name).c_str(), ReadBackBenchmark, &P);
    Smoke(B)->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
