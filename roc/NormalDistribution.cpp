// Every step below is one extended operation in the order written; the build
// keeps the compiler from contracting or reordering them (-ffp-contract=off,
// no fast-math), and the plot's pixels depend on that.
#include "NormalDistribution.h"

#include <cmath>

#include "ui/Errors.h"

namespace roc {

using ui::Extended;

namespace {

constexpr Extended kTailThreshold = 6.8L;
constexpr Extended kTailCoefficient = 0.22L;
constexpr Extended kTailOffset = 0.704L;
// The extended value nearest to 2 pi. Its square root is taken at each use.
constexpr Extended kTwoPi = 6.283185307179586476925286766559L;

// One half minus phi(a)/a (1 - 1/(a^2 + 3 - 1/(0.22 a^2 + 0.704))), for a > 6.8.
Extended UpperTailArea(Extended a) {
  const Extended t = ui::MultiplyExtended(a, a);
  const Extended q = (t + 3) - 1 / (kTailCoefficient * t + kTailOffset);
  const Extended m = 1 - 1 / q;
  return 0.5L - (ui::ExpExtended(-0.5L * t) * m) / ui::MultiplyExtended(a, ui::SqrtExtended(kTwoPi));
}

}  // namespace

NormalSeries NormalSeriesSum(Extended A) {
  std::int32_t k = 2;
  Extended E = 1;
  Extended D = A;
  Extended S = 1;
  Extended P = 0;
  std::int32_t passes = 0;
  for (;;) {
    ++passes;
    E = (A * (D - E)) / static_cast<Extended>(k);
    ++k;
    S = S + E / static_cast<Extended>(k);
    if (S == P) break;
    D = (A * (E - D)) / static_cast<Extended>(k);
    ++k;
    P = S;
  }
  return NormalSeries{S, passes};
}

Extended NormalAreaFromZero(Extended x) {
  // Comparing a NaN is an invalid operation in the program's environment.
  if (std::isnan(x)) throw ui::EInvalidOp();
  const Extended a = std::fabs(x);
  if (!(a <= kTailThreshold)) return UpperTailArea(a);
  if (a <= 0) return 0;
  const Extended A = (a * a) * 0.25L;
  const Extended S = NormalSeriesSum(A).Sum;
  return ((ui::ExpExtended(-0.5L * A) * a) * S) / ui::SqrtExtended(kTwoPi);
}

Extended NormalCdf(Extended x) {
  if (std::isnan(x)) throw ui::EInvalidOp();
  if (x < 0) {
    const Extended r = 0.5L - NormalAreaFromZero(std::fabs(x));
    return !(r >= 0) ? 0 : r;
  }
  if (!(x > 0)) return 0.5L;
  const Extended r = NormalAreaFromZero(x) + 0.5L;
  return r > 1 ? 1 : r;
}

}  // namespace roc
