#include "RatingCounts.h"

namespace roc {

namespace {

void Add(RatingCounts& counts, experiment::StimulusKind kind, experiment::ResponseCode response) {
  const int K = static_cast<int>(counts.noise.size());
  if (response < 1 || response > K || kind > experiment::kSignal) return;
  (kind == experiment::kNoise ? counts.noise : counts.signal)[response - 1] += 1;
}

}  // namespace

RatingCounts CountRecordedRatings(const experiment::TrialRecords& records) {
  const int K = records.Categories();
  RatingCounts counts{std::vector<int>(K, 0), std::vector<int>(K, 0)};
  for (const experiment::TrialRecord& r : records) Add(counts, r.Stimulus, r.Response);
  return counts;
}

RatingCounts CountRecordedRows(const std::vector<experiment::TrialLogRow>& rows, int K) {
  RatingCounts counts{std::vector<int>(K, 0), std::vector<int>(K, 0)};
  for (const experiment::TrialLogRow& row : rows) {
    if (!row.Practice) Add(counts, row.Stimulus, row.Response);
  }
  return counts;
}

int Total(const std::vector<int>& row) {
  int total = 0;
  for (int n : row) total += n;
  return total;
}

}  // namespace roc
