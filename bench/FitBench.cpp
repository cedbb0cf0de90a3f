// The maximum-likelihood fit of one observer's 50 recorded trials (target:
// median under 100 us), and the likelihood of given parameters, which the
// analysis window evaluates at every step of a parameter (target: median
// under 2 us).
#include <benchmark/benchmark.h>

#include <cstdint>

#include "experiment/ExperimentState.h"
#include "roc/BinormalFit.h"

namespace {

// A plausible observer's 50 recorded trials, {stimulus kind, response code}:
// 25 noise trials answered 9/8/5/3 from "異常なし" up, 25 signal trials
// answered 3/5/8/9, in a mixed order.
constexpr std::int32_t kRecords[50][2] = {
    {0, 4}, {1, 3}, {0, 2}, {1, 2}, {0, 2}, {1, 4}, {0, 2}, {0, 2}, {1, 2}, {1, 2}, {1, 4}, {1, 3}, {1, 2},
    {0, 1}, {0, 1}, {1, 4}, {0, 3}, {0, 2}, {0, 3}, {1, 4}, {1, 4}, {0, 4}, {1, 4}, {0, 1}, {1, 3}, {0, 3},
    {1, 3}, {0, 1}, {1, 3}, {0, 3}, {1, 3}, {0, 2}, {1, 4}, {1, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 2}, {1, 2},
    {1, 4}, {1, 3}, {0, 4}, {0, 1}, {1, 3}, {0, 1}, {0, 1}, {1, 4}, {1, 1}, {0, 2}, {0, 3}};

experiment::TrialRecords Records() {
  experiment::TrialRecords records{};
  for (int i = 1; i <= experiment::kRecordedTrials; ++i) {
    records[i] = {i + 10, static_cast<experiment::StimulusKind>(kRecords[i - 1][0]), kRecords[i - 1][1]};
  }
  return records;
}

// Counting the records and fitting them, from starting values to standard errors.
void BM_FitBinormal(benchmark::State& state) {
  const experiment::TrialRecords records = Records();
  for (auto _ : state) {
    auto fit = roc::FitBinormal(roc::CountRecordedRatings(records));
    if (!fit) state.SkipWithError("the benchmark's data did not fit");
    benchmark::DoNotOptimize(fit);
  }
}
BENCHMARK(BM_FitBinormal)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// -log L of by-eye parameters (d = 1, R = 1, criteria 0, 0.5, 1).
void BM_BinormalNegLogLik(benchmark::State& state) {
  const roc::RatingCounts counts = roc::CountRecordedRatings(Records());
  const double criteria[3] = {0, 0.5, 1};
  double d = 1, R = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(d);
    benchmark::DoNotOptimize(R);
    auto value = roc::BinormalNegLogLik(counts, d, R, criteria);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_BinormalNegLogLik)->Unit(benchmark::kNanosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
