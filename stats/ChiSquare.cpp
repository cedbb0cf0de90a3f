#include "ChiSquare.h"

#include <algorithm>
#include <cmath>

namespace roc {

namespace {

double RegularizedUpperGamma(double a, double x) {
  if (x <= 0) return 1;
  const double prefix = std::exp(a * std::log(x) - x - std::lgamma(a));
  if (x < a + 1) {
    // Series for the lower part.
    double term = 1 / a, sum = term;
    for (int i = 1; i < 1000 && std::fabs(term) > std::fabs(sum) * 1e-17; ++i) {
      term *= x / (a + i);
      sum += term;
    }
    return std::clamp(1 - sum * prefix, 0.0, 1.0);
  }
  // Continued fraction (modified Lentz).
  constexpr double kTiny = 1e-300;
  double b = x + 1 - a, c = 1 / kTiny, d = 1 / b, h = d;
  for (int i = 1; i < 1000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1) < 1e-16) break;
  }
  return std::clamp(prefix * h, 0.0, 1.0);
}

}  // namespace

double ChiSquareUpperTail(double x, int df) { return RegularizedUpperGamma(0.5 * df, 0.5 * x); }

}  // namespace roc
