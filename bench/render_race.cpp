// marbeck_render_bench: how long writing the pictures of a version-40 symbol takes, ours against
// segno (python3-segno) drawing the same symbol, with the sizes of both files.
//
//   marbeck_render_bench [--repetitions N] [--scale S] [--python PATH]
//
// The payload is the race's bytes2953 workload (2,953 printable ASCII bytes, version 40-L, one
// byte segment). Ours: MakeCode once (quiet zone 4, black on white), then timed: RenderSvg at
// 1 mm per module, and EncodePng of RenderRaster at 1 and at S pixels per module (default 4).
// segno: bench/segno_render.py makes the symbol once with our mask and times its own save to SVG
// and PNG (border 4, scale 1 and S) inside one Python process. Both sides write into memory and
// report the median thread CPU time of N repetitions (default 31). The program checks that both
// drew the same modules, then prints a Markdown table. Not a test: the timings are never
// asserted.
#include "encoder/QRCodeSymbol.h"
#include "render/Code.h"
#include "render/Raster.h"
#include "render/Svg.h"
#include "support/Workloads.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#ifndef MARBECK_BENCH_DIR
#error "MARBECK_BENCH_DIR must name the bench/ folder"
#endif

namespace {

double ThreadMicroseconds() {
  timespec Now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
  return static_cast<double>(Now.tv_sec) * 1e6 + static_cast<double>(Now.tv_nsec) / 1e3;
}

struct TMeasure {
  double Microseconds = 0;
  std::size_t Bytes = 0;
};

// Median thread CPU time of Repetitions runs of Write, and the size of what it wrote.
TMeasure Time(int Repetitions, const std::function<std::size_t()>& Write) {
  std::vector<double> Times;
  std::size_t Bytes = 0;
  for (int I = 0; I < Repetitions; ++I) {
    const double Start = ThreadMicroseconds();
    Bytes = Write();
    Times.push_back(ThreadMicroseconds() - Start);
  }
  std::sort(Times.begin(), Times.end());
  return {Times[Times.size() / 2], Bytes};
}

std::string RunAndRead(const std::string& Command) {
  std::string Out;
  FILE* Pipe = ::popen(Command.c_str(), "r");
  if (!Pipe) return Out;
  char Buffer[4096];
  std::size_t Got;
  while ((Got = std::fread(Buffer, 1, sizeof Buffer, Pipe)) > 0)
    Out.append(Buffer, Got);
  if (::pclose(Pipe) != 0) Out.clear();
  return Out;
}

} // namespace

int main(int argc, char** argv) {
  int Repetitions = 31, Scale = 4;
  std::string Python = "/usr/bin/python3"; // Debian's interpreter, where python3-segno lives
  for (int I = 1; I + 1 < argc; I += 2) {
    if (std::strcmp(argv[I], "--repetitions") == 0)
      Repetitions = std::max(1, std::atoi(argv[I + 1]));
    else if (std::strcmp(argv[I], "--scale") == 0)
      Scale = std::max(1, std::atoi(argv[I + 1]));
    else if (std::strcmp(argv[I], "--python") == 0)
      Python = argv[I + 1];
  }

  const marbeck_bench::TWorkload* Workload = nullptr;
  for (const marbeck_bench::TWorkload& W : marbeck_bench::Workloads())
    if (W.Name == "bytes2953") Workload = &W;
  const std::u16string Text = marbeck_bench::ToUtf16(Workload->Bytes);

  TCodeStyle Style;
  Style.QuietZone = 4;
  const TCode Code = MakeCode(Text, qrISO88591, Style);
  TQRCodeSymbol Symbol; // for the mask the encoder chose, handed to segno
  Symbol.SetData(Text);
  Symbol.SetEncoding(qrISO88591);
  Symbol.SetQuietZone(4);
  if (Code.Version != 40 || Symbol.MaskPattern() < 0) {
    std::fprintf(stderr, "the workload did not make a version-40 symbol\n");
    return 2;
  }
  const int Side = Code.Grid.Side;

  const TMeasure Svg =
      Time(Repetitions, [&] { return RenderSvg(Code.Grid, Style, 1.0, "Text").size(); });
  const TMeasure Png1 = Time(Repetitions, [&] {
    return static_cast<std::size_t>(EncodePng(RenderRaster(Code.Grid, Style, Side)).size());
  });
  const TMeasure PngS = Time(Repetitions, [&] {
    return static_cast<std::size_t>(EncodePng(RenderRaster(Code.Grid, Style, Side * Scale)).size());
  });

  char Folder[] = "/tmp/marbeck-render-bench-XXXXXX";
  if (!::mkdtemp(Folder)) return 2;
  const std::string PayloadFile = std::string(Folder) + "/payload.txt";
  std::ofstream(PayloadFile, std::ios::binary) << Workload->Bytes;
  const std::string Output =
      RunAndRead(Python + " " + MARBECK_BENCH_DIR "/segno_render.py " + PayloadFile + " " +
                 std::to_string(Symbol.MaskPattern()) + " " + std::to_string(Scale) + " " +
                 std::to_string(Repetitions));
  std::remove(PayloadFile.c_str());
  ::rmdir(Folder);
  if (Output.empty()) {
    std::fprintf(stderr, "segno_render.py failed (is python3-segno installed for %s?)\n",
                 Python.c_str());
    return 2;
  }
  std::map<std::string, TMeasure> Segno;
  std::string Modules, Versions;
  std::istringstream Lines(Output);
  for (std::string Line; std::getline(Lines, Line);) {
    std::istringstream Fields(Line);
    std::string Name;
    Fields >> Name;
    if (Name.find_first_not_of("01") == std::string::npos)
      Modules = Name;
    else if (Name == "segno")
      Versions = Line;
    else
      Fields >> Segno[Name].Microseconds >> Segno[Name].Bytes;
  }
  std::string Ours;
  for (const std::uint8_t Cell : Code.Grid.Cells)
    Ours += Cell ? '1' : '0';
  if (Modules != Ours) {
    std::fprintf(stderr, "segno drew other modules than ours\n");
    return 2;
  }

  std::printf("Same symbol on both sides: version 40-L, mask %d, %d x %d modules with the border; "
              "%s; median thread CPU time of %d repetitions.\n\n",
              Symbol.MaskPattern(), Side, Side, Versions.c_str(), Repetitions);
  std::printf(
      "| output | ours (µs) | segno (µs) | ours / segno | goal | ours (bytes) | segno (bytes) |\n");
  std::printf("|---|---:|---:|---:|---|---:|---:|\n");
  const auto Row = [](const std::string& Name, const TMeasure& A, const TMeasure& B,
                      bool SizeGoal) {
    const double Ratio = A.Microseconds / B.Microseconds;
    std::string Goal = std::string("time <= 1/20: ") + (Ratio <= 0.05 ? "met" : "not met");
    if (SizeGoal)
      Goal += std::string(", size <= segno: ") + (A.Bytes <= B.Bytes ? "met" : "not met");
    std::printf("| %s | %.1f | %.1f | %.3f | %s | %zu | %zu |\n", Name.c_str(), A.Microseconds,
                B.Microseconds, Ratio, Goal.c_str(), A.Bytes, B.Bytes);
  };
  Row("SVG", Svg, Segno["svg"], true);
  Row("PNG, 1 px per module", Png1, Segno["png1"], false);
  Row("PNG, " + std::to_string(Scale) + " px per module", PngS,
      Segno["png" + std::to_string(Scale)], false);
  return 0;
}
