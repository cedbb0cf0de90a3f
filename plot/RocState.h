#pragma once
#include <array>
#include <cstdint>

#include "numeric/Extended.h"
#include "stats/BinormalParameters.h"
#include "experiment/Design.h"
#include "stats/ResponseTally.h"

namespace roc {

// The binormal model: noise N(0, 1), signal N(d, R^2), criteria c1 < c2 < ...
// (as the user sets them; nothing enforces the order). A four-point scale has
// c1 .. c3; a longer one goes on in cHigher.
struct ModelParameterSet {
  numeric::Extended d;
  numeric::Extended c1;
  numeric::Extended c2;
  numeric::Extended c3;
  numeric::Extended R;
  std::array<numeric::Extended, experiment::kMaxCategories - 4> cHigher{};  // c4 ..
  std::int32_t Criteria = 3;  // K - 1: c1 .. cCriteria are in use
};

// Criterion cj, j = 1 .. kMaxCategories - 1.
numeric::Extended& Criterion(ModelParameterSet& m, int j);
numeric::Extended Criterion(const ModelParameterSet& m, int j);

// The by-eye parameters in the form the fit and the analysis window use, and
// back: the one place where the window's extended values meet the doubles.
BinormalParameters ToBinormal(const ModelParameterSet& m);
ModelParameterSet FromBinormal(const BinormalParameters& p);

// Rate (0, 0) lies at pixel (x0, y0); one unit of rate is scale pixels.
struct PlotGeometry {
  std::int32_t x0;
  std::int32_t y0;
  std::int32_t scale;
};

// What a ROC window shows of its run: the tally, the model fitted by eye,
// the plot's frame, and the adjustment a press on a step button started and
// the timer repeats (the buttons of the window's row r, from the top: d, the
// criteria from the highest down, R, start 2r + 1 (up) and 2r + 2 (down);
// 0: none).
struct RocState {
  TallyTable ResponseTally{};
  ModelParameterSet ModelParameters{};
  PlotGeometry PlotFrame{};
  std::uint8_t StepKind = 0;
};

}  // namespace roc
