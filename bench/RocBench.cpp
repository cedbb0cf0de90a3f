// The cost of one ROC redraw: what the ROC window does on "Disp" and on every
// repetition of a held step button. Target: at most 50 us median.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/SampleRecords.h"
#include "experiment/TrialRecord.h"
#include "stats/ResponseTally.h"
#include "plot/RocPlot.h"
#include "plot/RocState.h"
#include "numeric/Extended.h"
#include "ui/Surface.h"

namespace {

// A ROC window's state after "Disp": the records tallied, the default model
// and the plot frame of its 500 x 500 image.
roc::RocState Analysis;

void PrepareRocState() {
  numeric::InitFloatingPoint();
  Analysis = {};
  roc::RefillResponseTally(SampleRecords(), Analysis.ResponseTally);
  Analysis.ModelParameters = {1, 0, 1, 2, 1};
  Analysis.PlotFrame = {40, 460, 450};
}

// One full plot: clear, frame, diagonal, three observed points, the model
// curve of 101 segments (208 NormalCdf calls) and the three criterion markers.
void BM_DrawRocPlot(benchmark::State& state) {
  PrepareRocState();
  ui::Surface plot(500, 500);
  for (auto _ : state) {
    roc::DrawRocPlot(plot, Analysis.PlotFrame, Analysis.ResponseTally, Analysis.ModelParameters);
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
    roc::DrawModelCurve(plot, Analysis.PlotFrame, Analysis.ModelParameters);
    benchmark::DoNotOptimize(plot.Bits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawModelCurve)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
