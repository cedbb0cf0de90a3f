#pragma once
#include <optional>

#include "RocState.h"
#include "experiment/ExperimentState.h"
#include "numeric/Extended.h"

namespace roc {

// Rebuilds a tally from the recorded trials: all counts to 0; each record with
// a response 1..4 adds one to counts[Stimulus][Response] (other records are
// skipped); then each row is made cumulative from column 4 down to column 1.
void RefillResponseTally(const experiment::TrialRecords& records, TallyTable& tally);

// Observed ROC point p (1, 2 or 3), whose "yes" means a response of p + 1 or
// more: false-alarm rate counts[0][p+1] / counts[0][1], hit rate
// counts[1][p+1] / counts[1][1], each a quotient of two counts in extended.
struct ObservedRates {
  numeric::Extended FalseAlarmRate;
  numeric::Extended HitRate;
};

// Empty when a row total is 0 (the rates would be 0/0, undefined) or p is
// not 1..3.
std::optional<ObservedRates> ObservedPoint(const TallyTable& tally, int p);

}  // namespace roc
