// Drawing-surface costs of what the windows draw in one handler: a stimulus
// grid, a plotted curve and a line of Japanese text.
#include <benchmark/benchmark.h>

#include <cmath>

#include "ui/Surface.h"

namespace {

constexpr ui::Colour kBrown = ui::Colour::FromBgr(0x2A2AA5);
constexpr ui::Colour kGreen = ui::Colour::FromBgr(0x008000);

// 10 x 10 squares of 50 x 50 pixels over a 500 x 500 surface, white pen,
// alternating brushes.
void BM_StimulusGrid(benchmark::State& state) {
  ui::Surface surface(500, 500);
  surface.SetPenColor(ui::clWhite);
  for (auto _ : state) {
    for (int cell = 0; cell < 100; ++cell) {
      const int x = (cell % 10) * 50;
      const int y = (cell / 10) * 50;
      surface.SetBrushColor(cell % 2 == 0 ? kBrown : kGreen);
      surface.Rectangle(x, y, x + 50, y + 50);
    }
    benchmark::DoNotOptimize(surface.Bits());
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_StimulusGrid)->Repetitions(9)->ReportAggregatesOnly(true);

// 101 segments of a rising curve across a 450 x 450 plot area at (25, 25).
void BM_PlotCurve(benchmark::State& state) {
  ui::Surface surface(500, 500);
  surface.SetPenColor(ui::clBlue);
  int xs[102];
  int ys[102];
  for (int i = 0; i <= 101; ++i) {
    const double t = i / 101.0;
    xs[i] = 25 + static_cast<int>(std::lround(450 * t));
    ys[i] = 475 - static_cast<int>(std::lround(450 * std::sqrt(t)));
  }
  for (auto _ : state) {
    surface.MoveTo(xs[0], ys[0]);
    for (int i = 1; i <= 101; ++i) surface.LineTo(xs[i], ys[i]);
    benchmark::DoNotOptimize(surface.Bits());
  }
  state.SetItemsProcessed(state.iterations() * 101);
}
BENCHMARK(BM_PlotCurve)->Repetitions(9)->ReportAggregatesOnly(true);

// A 20-pixel line of Japanese text, glyphs already cached.
void BM_JapaneseText(benchmark::State& state) {
  ui::Surface surface(500, 500);
  surface.SetFontHeight(20);
  const std::string text = "茶色の増えたパターンが提示されました";
  surface.TextOut(10, 200, text);  // opens the face and fills the glyph cache
  for (auto _ : state) {
    surface.TextOut(10, 200, text);
    benchmark::DoNotOptimize(surface.Bits());
  }
}
BENCHMARK(BM_JapaneseText)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
