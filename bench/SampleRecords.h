#pragma once
#include <cstdint>

#include "experiment/TrialRecord.h"

// A plausible observer's 50 recorded trials, for the benchmarks: 25 noise
// trials answered 9/8/5/3 from "異常なし" up, 25 signal trials answered
// 3/5/8/9, in a mixed order. All three observed points are defined.
inline experiment::TrialRecords SampleRecords() {
  // {stimulus kind, response code}
  constexpr std::int32_t kRecords[50][2] = {
      {0, 4}, {1, 3}, {0, 2}, {1, 2}, {0, 2}, {1, 4}, {0, 2}, {0, 2}, {1, 2}, {1, 2}, {1, 4}, {1, 3}, {1, 2},
      {0, 1}, {0, 1}, {1, 4}, {0, 3}, {0, 2}, {0, 3}, {1, 4}, {1, 4}, {0, 4}, {1, 4}, {0, 1}, {1, 3}, {0, 3},
      {1, 3}, {0, 1}, {1, 3}, {0, 3}, {1, 3}, {0, 2}, {1, 4}, {1, 1}, {1, 1}, {0, 1}, {0, 1}, {0, 2}, {1, 2},
      {1, 4}, {1, 3}, {0, 4}, {0, 1}, {1, 3}, {0, 1}, {0, 1}, {1, 4}, {1, 1}, {0, 2}, {0, 3}};
  experiment::TrialRecords records{};
  for (int i = 1; i <= records.Size(); ++i)
    records[i] = {i, static_cast<experiment::StimulusKind>(kRecords[i - 1][0]), kRecords[i - 1][1]};
  return records;
}
