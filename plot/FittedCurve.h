#pragma once

#include "plot/PlotColours.h"
#include "plot/RocState.h"
#include "stats/BinormalParameters.h"
#include "ui/Surface.h"

namespace roc {

// The binormal ROC curve of m's d and R (noise N(0, 1), signal N(d, R^2)) in the
// plot of the given frame: 101 samples of the criterion from -5 to 5, rate to
// pixel as x0 + round(fa * scale), y0 - round(hit * scale). Drawn in
// kFittedCurveColour with pen width 1; nothing for R <= 0 or a value that is
// not finite.
void DrawFittedCurve(ui::Surface& plot, const PlotGeometry& frame, const BinormalParameters& m);

}  // namespace roc
