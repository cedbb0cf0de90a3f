#pragma once

namespace roc {

// The upper tail Q(df / 2, x / 2) of the chi-square distribution, df >= 1, x >= 0.
double ChiSquareUpperTail(double x, int df);

}  // namespace roc
