#pragma once

namespace roc {

// The regularized incomplete beta function I_x(a, b), for a, b > 0 and
// 0 <= x <= 1 (NaN outside).
double RegularizedIncompleteBeta(double x, double a, double b);

// P(T <= t) for Student's t with df > 0 degrees of freedom (not necessarily
// whole: Welch's df is not).
double StudentTCdf(double t, double df);

// The quantile: t with P(T <= t) = p, for 0 < p < 1 and df > 0; NaN otherwise.
double StudentTQuantile(double p, double df);

}  // namespace roc
