// The maximum-likelihood fit of one observer's 50 recorded trials (target:
// median under 100 us), and the likelihood of given parameters, which the
// analysis window evaluates at every step of a parameter (target: median
// under 2 us).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/SampleRecords.h"
#include "experiment/TrialRecord.h"
#include "stats/BinormalFit.h"

namespace {

// Counting the records and fitting them, from starting values to standard errors.
void BM_FitBinormal(benchmark::State& state) {
  const experiment::TrialRecords records = SampleRecords();
  for (auto _ : state) {
    auto fit = roc::FitBinormal(roc::CountRecordedRatings(records));
    if (!fit) state.SkipWithError("the benchmark's data did not fit");
    benchmark::DoNotOptimize(fit);
  }
}
BENCHMARK(BM_FitBinormal)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// -log L of by-eye parameters (d = 1, R = 1, criteria 0, 0.5, 1).
void BM_BinormalNegLogLik(benchmark::State& state) {
  const roc::RatingCounts counts = roc::CountRecordedRatings(SampleRecords());
  roc::BinormalParameters byEye{1, 1, {0, 0.5, 1}};
  for (auto _ : state) {
    benchmark::DoNotOptimize(byEye);
    auto value = roc::BinormalNegLogLik(counts, byEye);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_BinormalNegLogLik)->Unit(benchmark::kNanosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
