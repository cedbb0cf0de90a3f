#include "StudentT.h"

#include <cmath>
#include <limits>

namespace roc {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The continued fraction of I_x(a, b) (modified Lentz), which converges fast
// for x < (a + 1) / (a + b + 2).
double BetaContinuedFraction(double x, double a, double b) {
  constexpr double kTiny = 1e-300;
  constexpr double kEpsilon = 1e-16;
  const double qab = a + b, qap = a + 1, qam = a - 1;
  double c = 1;
  double d = 1 - qab * x / qap;
  if (std::abs(d) < kTiny) d = kTiny;
  d = 1 / d;
  double h = d;
  for (int m = 1; m <= 1000; ++m) {
    const int m2 = 2 * m;
    double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
    d = 1 + aa * d;
    if (std::abs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::abs(c) < kTiny) c = kTiny;
    d = 1 / d;
    h *= d * c;
    aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d = 1 + aa * d;
    if (std::abs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::abs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const double step = d * c;
    h *= step;
    if (std::abs(step - 1) < kEpsilon) break;
  }
  return h;
}

}  // namespace

double RegularizedIncompleteBeta(double x, double a, double b) {
  if (!(a > 0) || !(b > 0) || !(x >= 0) || !(x <= 1)) return kNaN;
  if (x == 0 || x == 1) return x;
  // x^a (1 - x)^b / (a B(a, b)), through logarithms.
  const double front =
      std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1) / (a + b + 2)) return front * BetaContinuedFraction(x, a, b) / a;
  return 1 - front * BetaContinuedFraction(1 - x, b, a) / b;
}

double StudentTCdf(double t, double df) {
  if (!(df > 0) || std::isnan(t)) return kNaN;
  if (std::isinf(t)) return t > 0 ? 1 : 0;
  // P(|T| > |t|) = I_{df / (df + t^2)}(df / 2, 1 / 2).
  const double tail = 0.5 * RegularizedIncompleteBeta(df / (df + t * t), df / 2, 0.5);
  return t > 0 ? 1 - tail : tail;
}

double StudentTQuantile(double p, double df) {
  if (!(p > 0) || !(p < 1) || !(df > 0)) return kNaN;
  if (p == 0.5) return 0;
  // By symmetry, the upper half; its tail q = 1 - p is solved for directly,
  // so that a p near 1 keeps its precision.
  const bool upper = p > 0.5;
  const double q = upper ? 1 - p : p;
  auto tail = [df](double t) { return 0.5 * RegularizedIncompleteBeta(df / (df + t * t), df / 2, 0.5); };
  double lo = 0, hi = 1;
  while (tail(hi) > q) {
    lo = hi;
    hi *= 2;
    if (!std::isfinite(hi)) return upper ? hi : -hi;
  }
  // The tail falls with t: bisection to the last bit.
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (mid <= lo || mid >= hi) break;
    (tail(mid) > q ? lo : hi) = mid;
  }
  const double t = 0.5 * (lo + hi);
  return upper ? t : -t;
}

}  // namespace roc
