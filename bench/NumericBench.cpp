// The pure numeric work behind one redraw and one trial: a NormalCdf call
// (208 per ROC redraw), one random index and one pattern shuffle (one per trial).
#include <benchmark/benchmark.h>

#include "experiment/TrialRecord.h"
#include "experiment/Generator.h"
#include "experiment/StimulusPatterns.h"
#include "stats/NormalExtended.h"
#include "numeric/Extended.h"

namespace {

void BM_NormalCdf(benchmark::State& state) {
  numeric::InitFloatingPoint();
  // The argument in hundredths: 50 -> 0.5.
  const numeric::Extended x = static_cast<numeric::Extended>(state.range(0)) / 100;
  for (auto _ : state) {
    numeric::Extended v = x;
    benchmark::DoNotOptimize(v);
    benchmark::DoNotOptimize(roc::NormalCdf(v));
  }
}
BENCHMARK(BM_NormalCdf)->Arg(50)->Arg(300)->Arg(680)->Arg(-700);

void BM_NormalCdfRedrawSweep(benchmark::State& state) {
  // The 208 calls of one model curve, over the range a curve typically spans.
  numeric::InitFloatingPoint();
  for (auto _ : state) {
    numeric::Extended sum = 0;
    for (int i = 0; i < 208; ++i) sum += roc::NormalCdf(-5 + static_cast<numeric::Extended>(i) / 20);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_NormalCdfRedrawSweep);

void BM_RandomIndex(benchmark::State& state) {
  std::uint32_t random = 12345;
  for (auto _ : state) benchmark::DoNotOptimize(experiment::RandomIndex(random, 100));
}
BENCHMARK(BM_RandomIndex);

void BM_ShufflePattern(benchmark::State& state) {
  std::uint32_t random = 12345;
  experiment::Pattern signal;
  experiment::FillPattern(signal, experiment::Design::Standard().SignalBrownCells);
  for (auto _ : state) {
    experiment::ShufflePattern(signal, random);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ShufflePattern);

}  // namespace

BENCHMARK_MAIN();
