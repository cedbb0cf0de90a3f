// The cost of one ROC redraw: what the ROC window does on "Disp" and on every
// repetition of a held step button. Target: at most 50 us median.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/SampleRecords.h"
#include "experiment/ExperimentState.h"
#include "stats/ResponseTally.h"
#include "plot/RocPlot.h"
#include "plot/RocState.h"
#include "numeric/Extended.h"
#include "ui/Surface.h"

namespace {

// The process-wide state as the ROC window sees it after "Disp": the records
// tallied, the default model and the plot frame of its 500 x 500 image.
void PrepareRocState() {
  numeric::InitFloatingPoint();
  experiment::Experiment.Reset();
  roc::Analysis.Reset();
  experiment::Experiment.TrialResults = SampleRecords();
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
