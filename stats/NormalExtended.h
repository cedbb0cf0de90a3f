#pragma once
#include <cstdint>
#include <utility>

#include "numeric/Extended.h"

namespace roc {

// The area under the standard normal density from 0 to |x|, in [0, 0.5]:
// a power series up to |x| = 6.8, a closed upper-tail approximation beyond.
// A NaN argument is EInvalidOp.
numeric::Extended NormalAreaFromZero(numeric::Extended x);

// P(Z <= x) for a standard normal Z, clamped to [0, 1]; exactly 0.5 at 0.
numeric::Extended NormalCdf(numeric::Extended x);

// NormalCdf of two arguments at once, each result exactly NormalCdf's; faster
// than two calls when both take the series.
std::pair<numeric::Extended, numeric::Extended> NormalCdfPair(numeric::Extended x, numeric::Extended y);

// The series of NormalAreaFromZero for A = a^2 / 4: its sum and the number of
// passes its loop ran until a pass left the sum unchanged.
struct NormalSeries {
  numeric::Extended Sum;
  std::int32_t Passes;
};
NormalSeries NormalSeriesSum(numeric::Extended A);

}  // namespace roc
