#pragma once
#include <cstdint>

#include "plot/RocState.h"
#include "numeric/Extended.h"
#include "ui/Surface.h"

namespace roc {

// Rate to pixel on a plot frame, rounded to the nearest integer with ties to even.
std::int32_t ToScreenX(const PlotGeometry& frame, numeric::Extended v);
std::int32_t ToScreenY(const PlotGeometry& frame, numeric::Extended v);

// The circle of observed point p, in its PointColour, around the
// pixel of the rates, filled with the current brush.
void PlotObservedPoint(ui::Surface& plot, const PlotGeometry& frame, int p, numeric::Extended fa,
                       numeric::Extended hit);

// The plot area: cleared with a margin of 3 pixels, the frame, the chance
// diagonal, the observed points of the tally whose rates are defined, and the
// model curve. Draws nothing while the frame is unset (no "Disp" yet).
void DrawRocPlot(ui::Surface& plot, const PlotGeometry& frame, const TallyTable& tally,
                 const ModelParameterSet& model);

// The binormal ROC curve of the model in 101 samples, and the markers of its
// criteria, the highest first.
void DrawModelCurve(ui::Surface& plot, const PlotGeometry& frame, const ModelParameterSet& model);

}  // namespace roc
