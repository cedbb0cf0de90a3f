#include "ResponseTally.h"

namespace roc {

using numeric::Extended;

namespace {

void MakeRowCumulative(std::int32_t (&row)[5]) {
  row[3] += row[4];
  row[2] += row[3];
  row[1] += row[2];
}

}  // namespace

void RefillResponseTally(const experiment::TrialRecords& records, TallyTable& tally) {
  for (auto& row : tally.counts) {
    for (auto& count : row) count = 0;
  }
  for (int i = 1; i <= experiment::kRecordedTrials; ++i) {
    const experiment::TrialRecord& record = records[i];
    // Only responses 1..4 count: a record never written holds 0. A written
    // record's stimulus is always 0 or 1.
    if (record.Response >= 1 && record.Response <= 4 && record.Stimulus <= experiment::kSignal) {
      ++tally.counts[record.Stimulus][record.Response];
    }
  }
  MakeRowCumulative(tally.counts[0]);
  MakeRowCumulative(tally.counts[1]);
}

std::optional<ObservedRates> ObservedPoint(const TallyTable& tally, int p) {
  const std::int32_t noiseTotal = tally.counts[0][1];
  const std::int32_t signalTotal = tally.counts[1][1];
  if (p < 1 || p > 3 || noiseTotal == 0 || signalTotal == 0) return std::nullopt;
  const int r = p + 1;
  return ObservedRates{static_cast<Extended>(tally.counts[0][r]) / static_cast<Extended>(noiseTotal),
                       static_cast<Extended>(tally.counts[1][r]) / static_cast<Extended>(signalTotal)};
}

}  // namespace roc
