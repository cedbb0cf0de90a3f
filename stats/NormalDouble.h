#pragma once

namespace roc {

// The standard normal distribution in double precision, for the fit and what
// is drawn from it (the program's model curve uses the extended NormalCdf).

// P(Z <= z).
double StandardNormalCdf(double z);

// The density at z.
double NormalDensity(double z);

// P(lo < Z <= hi) for lo <= hi, from whichever tail keeps the difference
// accurate.
double NormalBetween(double lo, double hi);

// The standard normal quantile: x with P(Z <= x) = prob, for 0 < prob < 1;
// -infinity at 0, +infinity at 1, NaN outside [0, 1].
double NormalDeviate(double prob);

}  // namespace roc
