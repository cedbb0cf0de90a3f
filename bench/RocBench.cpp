// The cost of one ROC redraw: what the ROC window does on "Disp" and on every
// repetition of a held step button. Target: at most 50 us median.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "experiment/ExperimentState.h"
#include "roc/ResponseTally.h"
#include "roc/RocPlot.h"
#include "roc/RocState.h"
#include "numeric/Extended.h"
#include "ui/Surface.h"

namespace {

// A plausible observer's 50 recorded trials, {stimulus kind, response code}:
// 25 noise trials answered 9/8/5/3 from "異常なし" up, 25 signal trials
// answered 3/5/8/9, in a mixed order. All three observed points are defined.
constexpr std::int32_t kRecords[50][2] = {
    {0, 4}, {1, 3}, {0, 2}, {1, 2}, {0, 2}, {1, 4}, {0, 2}, {0, 2}, {1, 2}, {1, 2}, {1, 4}, {1, 3}, {1, 2},
    {0, 1}, {0, 1}, {1, 4}, {0, 3}, {0, 2}, {0, 3}, {1, 4}, {1, 4}, {0, 4}, {1, 4}, {0, 1}, {1, 3}, {0, 3},
    {1, 3}, {0, 1}, {1, 3}, {0, 3}, {1, 3}, {0, 2}, {1, 4}, {1, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 2}, {1, 2},
    {1, 4}, {1, 3}, {0, 4}, {0, 1}, {1, 3}, {0, 1}, {0, 1}, {1, 4}, {1, 1}, {0, 2}, {0, 3}};

// The process-wide state as the ROC window sees it after "Disp": the records
// tallied, the default model and the plot frame of its 500 x 500 image.
void PrepareRocState() {
  numeric::InitFloatingPoint();
  experiment::Experiment.Reset();
  roc::Analysis.Reset();
  for (int i = 1; i <= experiment::kRecordedTrials; ++i) {
    experiment::Experiment.TrialResults[i] = {i, static_cast<experiment::StimulusKind>(kRecords[i - 1][0]),
                                         kRecords[i - 1][1]};
  }
  roc::RefillResponseTally(experiment::Experiment.TrialResults, roc::Analysis.ResponseTally);
  roc::Analysis.ModelParameters = {1, 0, 1, 2, 1};
  roc::Analysis.PlotFrame = {40, 460, 450};
}

// One full plot: clear, frame, diagonal, three observed points, the model
// curve of 101 segments (208 NormalCdf calls) and the three criterion markers.
void BM_DrawRocPlot(benchmark::State& state) {
  PrepareRocState();
  ui::Surface plot(500, 500);
  for (auto _ : state) {
    roc::DrawRocPlot(plot, roc::Analysis.PlotFrame, roc::Analysis.ResponseTally, roc::Analysis.ModelParameters);
    benchmark::DoNotOptimize(plot.Bits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawRocPlot)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The model curve and the criterion markers alone, the part of a redraw that
// evaluates the normal distribution: tells the arithmetic from the clearing
// and outlining.
void BM_DrawModelCurve(benchmark::State& state) {
  PrepareRocState();
  ui::Surface plot(500, 500);
  for (auto _ : state) {
    roc::DrawModelCurve(plot, roc::Analysis.PlotFrame, roc::Analysis.ModelParameters);
    benchmark::DoNotOptimize(plot.Bits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawModelCurve)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
