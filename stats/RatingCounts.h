#pragma once
#include <vector>

#include "experiment/TrialRecord.h"
#include "experiment/TrialLog.h"

namespace roc {

// Rating counts of one observer: noise[k] and signal[k] are the numbers of
// noise and signal trials answered k + 1. Both have the same size K, the
// number of rating categories.
struct RatingCounts {
  std::vector<int> noise;
  std::vector<int> signal;
};

// The counts of the recorded trials, K from the records' design: each record
// with a response 1..K adds one; records never written (response 0) are
// skipped.
RatingCounts CountRecordedRatings(const experiment::TrialRecords& records);

// The counts of the recorded rows of one session of the per-trial file, on a
// scale of K categories; rows outside it are skipped.
RatingCounts CountRecordedRows(const std::vector<experiment::TrialLogRow>& rows, int K);

// All trials of one kind.
int Total(const std::vector<int>& row);

}  // namespace roc
