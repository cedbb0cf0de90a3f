#include "plot/FittedCurve.h"

#include <cmath>

#include "stats/NormalDouble.h"

namespace roc {

void DrawFittedCurve(ui::Surface& plot, const PlotGeometry& frame, const BinormalParameters& m) {
  const double d = m.d, R = m.R;
  if (!std::isfinite(d) || !std::isfinite(R) || R <= 0 || frame.scale == 0) return;
  const double scale = frame.scale;
  auto toX = [&](double fa) { return frame.x0 + static_cast<int>(std::lround(fa * scale)); };
  auto toY = [&](double hit) { return frame.y0 - static_cast<int>(std::lround(hit * scale)); };

  plot.SetPenColor(kFittedCurveColour);
  plot.SetPenWidth(1);
  // The sweep starts at the first sample, not at a corner, so that no segment
  // runs along the chance diagonal.
  for (int i = -50; i <= 50; ++i) {
    const double c = i * 0.1;
    const int x = toX(StandardNormalCdf(-c));
    const int y = toY(StandardNormalCdf((d - c) / R));
    if (i == -50) {
      plot.MoveTo(x, y);
    } else {
      plot.LineTo(x, y);
    }
  }
}

}  // namespace roc
