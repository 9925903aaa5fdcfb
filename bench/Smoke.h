// The benchmarks' --smoke switch: taken off the command line before Google Benchmark reads it;
// in a smoke run every benchmark runs one iteration, one repetition, so that ctest sees each
// one work without timing anything.
#pragma once

#include <benchmark/benchmark.h>
#include <cstring>

namespace marbeck_bench {

class TSmoke {
public:
  // Takes every --smoke out of argv (Argc shrinks, the order of the rest is kept).
  TSmoke(int& Argc, char** Argv) {
    int Kept = 0;
    for (int I = 0; I < Argc; ++I) {
      if (std::strcmp(Argv[I], "--smoke") == 0)
        FOn = true;
      else
        Argv[Kept++] = Argv[I];
    }
    Argc = Kept;
  }

  bool On() const { return FOn; }

  // B as registered, cut to one iteration and one repetition in a smoke run.
  benchmark::internal::Benchmark* operator()(benchmark::internal::Benchmark* B) const {
    if (FOn) B->Iterations(1)->Repetitions(1);
    return B;
  }

private:
  bool FOn = false;
};

} // namespace marbeck_bench
