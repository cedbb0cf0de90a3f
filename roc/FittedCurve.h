#pragma once

#include "RocState.h"
#include "ui/Surface.h"

namespace roc {

// The grey of the fitted curve laid over the plot (0x00BBGGRR).
inline constexpr ui::Colour kFittedCurveColour = 0x808080;

// The binormal ROC curve of d and R (noise N(0, 1), signal N(d, R^2)) in the
// plot of the given frame: 101 samples of the criterion from -5 to 5, rate to
// pixel as x0 + round(fa * scale), y0 - round(hit * scale). Drawn in
// kFittedCurveColour with pen width 1; nothing for R <= 0 or a value that is
// not finite.
void DrawFittedCurve(ui::Surface& plot, const PlotGeometry& frame, double d, double R);

}  // namespace roc
