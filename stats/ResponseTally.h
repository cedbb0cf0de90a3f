#pragma once
#include <cstdint>
#include <optional>

#include "RatingCounts.h"
#include "experiment/Design.h"
#include "experiment/TrialRecord.h"
#include "numeric/Extended.h"

namespace roc {

// counts[s][r]: row s the stimulus kind (0 noise, 1 signal), column r the
// response code 1..Categories; column 0 is unused. After a refill the columns
// are cumulative: counts[s][r] is the number of records of kind s answered r
// or higher.
struct TallyTable {
  std::int32_t Categories;
  std::int32_t counts[2][experiment::kMaxCategories + 1];
};

// The cumulative table of rating counts.
TallyTable CumulativeTally(const RatingCounts& counts);

// Rebuilds a tally from the recorded trials: their rating counts, each row
// made cumulative from the top response down.
void RefillResponseTally(const experiment::TrialRecords& records, TallyTable& tally);

// Observed ROC point p (1 .. Categories - 1), whose "yes" means a response of
// p + 1 or more: false-alarm rate counts[0][p+1] / counts[0][1], hit rate
// counts[1][p+1] / counts[1][1], each a quotient of two counts in extended.
struct ObservedRates {
  numeric::Extended FalseAlarmRate;
  numeric::Extended HitRate;
};

// Empty when a row total is 0 (the rates would be 0/0, undefined) or p is
// out of range.
std::optional<ObservedRates> ObservedPoint(const TallyTable& tally, int p);

}  // namespace roc
