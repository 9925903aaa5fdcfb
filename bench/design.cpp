// marbeck_design_bench: what a designed code costs against the plain one, for a version-25 symbol
// at level H: the window's generation pass (encode, then the picture the preview shows: one pixel
// a module for a plain code, painted at the 800-pixel zoom for a designed one) and the read-back
// the worker runs after it (the picture at 4 pixels a module, then zbar). The design: round dots,
// rounded finder patterns in their own colour and a 20 % logo. The goals: the designed pass at
// most 3 x the plain one, its read-back under 50 ms (it runs off the window's thread).
//
//   marbeck_design_bench [Google Benchmark flags]
//   marbeck_design_bench --smoke     the read-back check and one iteration of everything
//
// Before anything is timed, both pictures are read back once; the run stops with exit code 2
// unless each one reads back exactly.
#include "render/Code.h"
#include "render/Logo.h"
#include "render/Raster.h"
#include "render/ReadBack.h"

#include <QBuffer>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kZoom = 800;
constexpr int kReadBackScale = 4;

// Lower-case text that fills version 25 at level H in byte mode (the most it holds).
std::u16string Version25Text() {
  static const std::u16string Words = u"the quick brown fox jumps over the lazy dog; marbeck. ";
  std::u16string Text;
  while (Text.size() < 535)
    Text += Words;
  Text.resize(535);
  return Text;
}

// A logo of the kind people use: an orange block and a navy disc on a transparent ground.
std::shared_ptr<const TLogo> Logo() {
  QImage Picture(320, 200, QImage::Format_ARGB32);
  Picture.fill(Qt::transparent);
  {
    QPainter Painter(&Picture);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.fillRect(QRect(0, 0, 220, 200), QColor(0xf0, 0x80, 0x20));
    Painter.setBrush(QColor(0x14, 0x14, 0x60));
    Painter.setPen(Qt::NoPen);
    Painter.drawEllipse(QRect(100, 20, 160, 160));
  }
  QByteArray Png;
  QBuffer Buffer(&Png);
  Buffer.open(QIODevice::WriteOnly);
  Picture.save(&Buffer, "PNG");
  return LogoFromBytes(Png, QStringLiteral("logo.png")).Logo;
}

struct TCase {
  const char* Name;
  TCodeStyle Style;
};

const std::vector<TCase>& Cases() {
  static const std::vector<TCase> All = [] {
    TCodeStyle Plain;
    Plain.QuietZone = 2;
    TCodeStyle Designed = Plain;
    Designed.Shape = msDots;
    Designed.FinderShape = fsRounded;
    Designed.FinderColor = qRgb(0xb0, 0x10, 0x30);
    Designed.Logo = Logo();
    Designed.LogoPercent = kDefaultLogoPercent;
    return std::vector<TCase>{{"plain", Plain}, {"designed", Designed}};
  }();
  return All;
}

// The window's pass: encode, then the picture the preview shows.
QImage Pass(const TCodeStyle& Style, TCode& Code) {
  Code = MakeCode(Version25Text(), qrAuto, Style, ecH);
  return Style.PaintedAtFinalSize() ? RenderRaster(Code.Grid, Style, kZoom)
                                    : RenderModules(Code.Grid, Style);
}

// The worker's read-back of that pass.
TVerdict ReadBackOf(const TCode& Code, const TCodeStyle& Style) {
  return Verify(RenderRaster(Code.Grid, Style, Code.Grid.Side * kReadBackScale), Code.Bytes, Style);
}

void PassBenchmark(benchmark::State& State, const TCase* Case) {
  for (auto _ : State) {
    TCode Code;
    QImage Picture = Pass(Case->Style, Code);
    benchmark::DoNotOptimize(Picture);
  }
}

// For comparison: the plain pass with its picture stretched to the zoom, which the preview does
// when it paints (the designed pass paints at the zoom at once).
void PlainAtZoomBenchmark(benchmark::State& State, const TCase* Case) {
  for (auto _ : State) {
    const TCode Code = MakeCode(Version25Text(), qrAuto, Case->Style, ecH);
    QImage Picture = RenderRaster(Code.Grid, Case->Style, kZoom);
    benchmark::DoNotOptimize(Picture);
  }
}

void ReadBackBenchmark(benchmark::State& State, const TCase* Case) {
  TCode Code;
  Pass(Case->Style, Code);
  for (auto _ : State) {
    TVerdict Verdict = ReadBackOf(Code, Case->Style);
    benchmark::DoNotOptimize(Verdict);
  }
}

} // namespace

int main(int argc, char** argv) {
  std::vector<char*> Args;
  bool Smoke = false;
  for (int I = 0; I < argc; ++I) {
    if (std::strcmp(argv[I], "--smoke") == 0)
      Smoke = true;
    else
      Args.push_back(argv[I]);
  }
  int Argc = static_cast<int>(Args.size());
  benchmark::Initialize(&Argc, Args.data());
  if (benchmark::ReportUnrecognizedArguments(Argc, Args.data())) return 1;

  for (const TCase& Case : Cases()) {
    TCode Code;
    Pass(Case.Style, Code);
    if (Code.Version != 25 || !ReadBackOf(Code, Case.Style).Verified()) {
      std::fprintf(stderr, "the %s version-25 code (version %d) does not read back exactly\n",
                   Case.Name, Code.Version);
      return 2;
    }
  }
  for (const TCase& Case : Cases()) {
    using TFunction = void (*)(benchmark::State&, const TCase*);
    const std::pair<const char*, TFunction> Kinds[] = {{"pass", PassBenchmark},
                                                       {"readback", ReadBackBenchmark}};
    for (const auto& [Kind, Function] : Kinds) {
      auto* B = benchmark::RegisterBenchmark((std::string(Kind) + "/v25-H/" + Case.Name).c_str(),
                                             Function, &Case);
      B->Unit(benchmark::kMillisecond);
      if (Smoke) B->Iterations(1);
    }
  }
  auto* AtZoom = benchmark::RegisterBenchmark("pass/v25-H/plain-stretched-to-zoom",
                                              PlainAtZoomBenchmark, &Cases().front());
  AtZoom->Unit(benchmark::kMillisecond);
  if (Smoke) AtZoom->Iterations(1);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
