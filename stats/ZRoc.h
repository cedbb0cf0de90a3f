#pragma once
#include <vector>

#include "stats/RatingCounts.h"

namespace roc {

// Observed point p (1 .. K-1) of rating counts: the cumulative false-alarm and
// hit rates P(response >= p + 1) of the noise and the signal trials.
struct RatePoint {
  int p;
  double fa;
  double hit;
};

// The K - 1 observed points, in the order p = 1, 2, ...; empty when the two
// kinds differ in size, there are fewer than two categories, or a kind has no
// trials (its rates are undefined).
std::vector<RatePoint> CumulativeRates(const RatingCounts& counts);

// The observed points on normal-deviate axes: x = z(false-alarm rate),
// y = z(hit rate). A point with a rate of 0 or 1 has no finite deviate: it is
// left out and counted.
struct ZRocPoint {
  int p;
  double zfa;
  double zhit;
};
struct ZRocPoints {
  std::vector<ZRocPoint> points;
  int left_out = 0;
};
ZRocPoints ToNormalDeviates(const std::vector<RatePoint>& rates);

}  // namespace roc
