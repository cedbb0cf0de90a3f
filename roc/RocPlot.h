#pragma once
#include <cstdint>

#include "numeric/Extended.h"
#include "ui/Surface.h"

namespace roc {

// Rate to pixel on the plot of the current PlotFrame, rounded to the nearest
// integer with ties to even.
std::int32_t ToScreenX(numeric::Extended v);
std::int32_t ToScreenY(numeric::Extended v);

// The circle of observed point p (1 green, 2 maroon, other red) around the
// pixel of the rates, filled with the current brush.
void PlotObservedPoint(ui::Surface& plot, int p, numeric::Extended fa, numeric::Extended hit);

// The plot area: cleared with a margin of 3 pixels, the frame, the chance
// diagonal, the observed points of ResponseTally whose rates are defined, and
// the model curve. Draws nothing while PlotFrame is unset (no "Disp" yet).
void DrawRocPlot(ui::Surface& plot);

// The binormal ROC curve of ModelParameters in 101 samples, and the markers
// of the three criteria.
void DrawModelCurve(ui::Surface& plot);

}  // namespace roc
