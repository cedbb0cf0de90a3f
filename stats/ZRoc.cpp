#include "stats/ZRoc.h"

#include <cmath>
#include <limits>

#include "stats/NormalDouble.h"

namespace roc {

std::vector<RatePoint> CumulativeRates(const RatingCounts& counts) {
  const std::size_t K = counts.noise.size();
  if (K < 2 || counts.signal.size() != K) return {};
  long long noiseTotal = 0;
  long long signalTotal = 0;
  for (std::size_t k = 0; k < K; ++k) {
    noiseTotal += counts.noise[k];
    signalTotal += counts.signal[k];
  }
  if (noiseTotal <= 0 || signalTotal <= 0) return {};

  std::vector<RatePoint> points;
  long long noiseAbove = noiseTotal;
  long long signalAbove = signalTotal;
  for (std::size_t k = 0; k + 1 < K; ++k) {
    noiseAbove -= counts.noise[k];
    signalAbove -= counts.signal[k];
    points.push_back({static_cast<int>(k) + 1, static_cast<double>(noiseAbove) / static_cast<double>(noiseTotal),
                      static_cast<double>(signalAbove) / static_cast<double>(signalTotal)});
  }
  return points;
}

ZRocPoints ToNormalDeviates(const std::vector<RatePoint>& rates) {
  ZRocPoints out;
  for (const RatePoint& r : rates) {
    const double zfa = NormalDeviate(r.fa);
    const double zhit = NormalDeviate(r.hit);
    if (std::isfinite(zfa) && std::isfinite(zhit)) {
      out.points.push_back({r.p, zfa, zhit});
    } else {
      ++out.left_out;
    }
  }
  return out;
}

}  // namespace roc
