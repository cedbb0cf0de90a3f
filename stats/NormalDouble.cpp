#include "stats/NormalDouble.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace roc {

namespace {

constexpr double kInvSqrt2 = 0.70710678118654752440;
constexpr double kInvSqrt2Pi = 0.39894228040143267794;

}  // namespace

double StandardNormalCdf(double z) { return 0.5 * std::erfc(-z * kInvSqrt2); }

double NormalDensity(double z) { return kInvSqrt2Pi * std::exp(-0.5 * z * z); }

double NormalBetween(double lo, double hi) {
  if (lo > 0) return 0.5 * (std::erfc(lo * kInvSqrt2) - std::erfc(hi * kInvSqrt2));
  return 0.5 * (std::erfc(-hi * kInvSqrt2) - std::erfc(-lo * kInvSqrt2));
}

double NormalDeviate(double prob) {
  if (!(prob >= 0 && prob <= 1)) return std::numeric_limits<double>::quiet_NaN();
  if (prob == 0) return -std::numeric_limits<double>::infinity();
  if (prob == 1) return std::numeric_limits<double>::infinity();

  // A rational approximation (relative error about 1e-9), then one Halley
  // step on P(Z <= x) - prob to full double precision.
  static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                                 1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                                 6.680131188771972e+01,  -1.328068155288572e+01};
  static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                                 -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                                 3.754408661907416e+00};
  constexpr double low = 0.02425;
  double x;
  if (prob < low) {
    const double q = std::sqrt(-2 * std::log(prob));
    x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  } else if (prob <= 1 - low) {
    const double q = prob - 0.5;
    const double r = q * q;
    x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
        (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
  } else {
    const double q = std::sqrt(-2 * std::log1p(-prob));
    x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  }
  const double e = StandardNormalCdf(x) - prob;
  const double u = e * std::sqrt(2 * std::numbers::pi) * std::exp(x * x / 2);
  return x - u / (1 + x * u / 2);
}

}  // namespace roc
