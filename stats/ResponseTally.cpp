#include "ResponseTally.h"

namespace roc {

using numeric::Extended;

TallyTable CumulativeTally(const RatingCounts& counts) {
  TallyTable tally{};
  tally.Categories = static_cast<std::int32_t>(counts.noise.size());
  for (int s = 0; s < 2; ++s) {
    const std::vector<int>& row = s == 0 ? counts.noise : counts.signal;
    std::int32_t above = 0;
    for (int r = tally.Categories; r >= 1; --r) tally.counts[s][r] = above += row[r - 1];
  }
  return tally;
}

void RefillResponseTally(const experiment::TrialRecords& records, TallyTable& tally) {
  tally = CumulativeTally(CountRecordedRatings(records));
}

std::optional<ObservedRates> ObservedPoint(const TallyTable& tally, int p) {
  const std::int32_t noiseTotal = tally.counts[0][1];
  const std::int32_t signalTotal = tally.counts[1][1];
  if (p < 1 || p >= tally.Categories || noiseTotal == 0 || signalTotal == 0) return std::nullopt;
  const int r = p + 1;
  return ObservedRates{static_cast<Extended>(tally.counts[0][r]) / static_cast<Extended>(noiseTotal),
                       static_cast<Extended>(tally.counts[1][r]) / static_cast<Extended>(signalTotal)};
}

}  // namespace roc
