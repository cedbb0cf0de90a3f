// Every step below is one extended operation in the order written; the build
// keeps the compiler from contracting or reordering them (-ffp-contract=off,
// no fast-math), and the plot's pixels depend on that.
#include "stats/NormalExtended.h"

#include <cmath>

#include "numeric/Errors.h"

namespace roc {

using numeric::Extended;

namespace {

constexpr Extended kTailThreshold = 6.8L;
constexpr Extended kTailCoefficient = 0.22L;
constexpr Extended kTailOffset = 0.704L;
// The extended value nearest to 2 pi. Its square root is taken at each use.
constexpr Extended kTwoPi = 6.283185307179586476925286766559L;

// One half minus phi(a)/a (1 - 1/(a^2 + 3 - 1/(0.22 a^2 + 0.704))), for a > 6.8.
Extended UpperTailArea(Extended a) {
  const Extended t = numeric::MultiplyExtended(a, a);
  const Extended q = (t + 3) - 1 / (kTailCoefficient * t + kTailOffset);
  const Extended m = 1 - 1 / q;
  return 0.5L - (numeric::ExpExtended(-0.5L * t) * m) / numeric::MultiplyExtended(a, numeric::SqrtExtended(kTwoPi));
}

}  // namespace

namespace {

// The state of the series for one A = a^2 / 4.
struct Series {
  explicit Series(Extended A) : A(A), D(A) {}

  // One pass of the loop; false once the pass left the sum unchanged.
  bool Pass() {
    ++passes;
    E = (A * (D - E)) / static_cast<Extended>(k);
    ++k;
    S = S + E / static_cast<Extended>(k);
    if (S == P) return false;
    D = (A * (E - D)) / static_cast<Extended>(k);
    ++k;
    P = S;
    return true;
  }

  Extended A;
  std::int32_t k = 2;
  Extended E = 1;
  Extended D;
  Extended S = 1;
  Extended P = 0;
  std::int32_t passes = 0;
};

// The series branch for 0 < a <= 6.8, from its finished sum.
Extended SeriesArea(Extended a, Extended A, Extended S) {
  return ((numeric::ExpExtended(-0.5L * A) * a) * S) / numeric::SqrtExtended(kTwoPi);
}

bool TakesSeries(Extended a) { return a <= kTailThreshold && a > 0; }

// NormalCdf from the area of |x|.
Extended CdfFromArea(Extended x, Extended area) {
  if (x < 0) {
    const Extended r = 0.5L - area;
    return !(r >= 0) ? 0 : r;
  }
  const Extended r = area + 0.5L;
  return r > 1 ? 1 : r;
}

}  // namespace

NormalSeries NormalSeriesSum(Extended A) {
  Series s(A);
  while (s.Pass()) {
  }
  return NormalSeries{s.S, s.passes};
}

Extended NormalAreaFromZero(Extended x) {
  // Comparing a NaN is an invalid operation in the program's environment.
  if (std::isnan(x)) throw numeric::EInvalidOp();
  const Extended a = std::fabs(x);
  if (!(a <= kTailThreshold)) return UpperTailArea(a);
  if (a <= 0) return 0;
  const Extended A = (a * a) * 0.25L;
  return SeriesArea(a, A, NormalSeriesSum(A).Sum);
}

Extended NormalCdf(Extended x) {
  if (std::isnan(x)) throw numeric::EInvalidOp();
  if (!(x < 0) && !(x > 0)) return 0.5L;
  return CdfFromArea(x, NormalAreaFromZero(std::fabs(x)));
}

std::pair<Extended, Extended> NormalCdfPair(Extended x, Extended y) {
  if (std::isnan(x) || std::isnan(y)) throw numeric::EInvalidOp();
  const Extended a = std::fabs(x);
  const Extended b = std::fabs(y);
  if (!TakesSeries(a) || !TakesSeries(b)) return {NormalCdf(x), NormalCdf(y)};
  // Both series run side by side: two independent chains of divisions keep
  // the processor busy where one would wait. Each chain does exactly the
  // operations of NormalSeriesSum.
  Series sx((a * a) * 0.25L);
  Series sy((b * b) * 0.25L);
  bool xRuns = true;
  bool yRuns = true;
  while (xRuns && yRuns) {
    xRuns = sx.Pass();
    yRuns = sy.Pass();
  }
  while (xRuns) xRuns = sx.Pass();
  while (yRuns) yRuns = sy.Pass();
  return {CdfFromArea(x, SeriesArea(a, sx.A, sx.S)), CdfFromArea(y, SeriesArea(b, sy.A, sy.S))};
}

}  // namespace roc
