#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/Colour.h"

namespace experiment {

// Kind of a stimulus: which of the two patterns a trial shows.
using StimulusKind = std::uint8_t;
inline constexpr StimulusKind kNoise = 0;
inline constexpr StimulusKind kSignal = 1;

// Code of a rating button; 0 only in a record that was never written.
using ResponseCode = std::int32_t;
inline constexpr ResponseCode kCertainN = 1;   // "異常なし"
inline constexpr ResponseCode kProbablyN = 2;  // "たぶん異常なし"
inline constexpr ResponseCode kProbablyS = 3;  // "たぶん異常あり"
inline constexpr ResponseCode kCertainS = 4;   // "異常あり"

// One recorded trial.
struct TrialRecord {
  std::int32_t TrialNumber;
  StimulusKind Stimulus;
  ResponseCode Response;
};

// A fixed array indexed from 1 to N, as the unit's arrays are numbered:
// a[1] is the first element and a[N] the last. Iteration runs from 1 to N.
template <typename T, int N>
struct OneBasedArray {
  static constexpr int kFirst = 1;
  static constexpr int kLast = N;

  std::array<T, N> items;

  T& operator[](int i) { return items[static_cast<std::size_t>(i - 1)]; }
  const T& operator[](int i) const { return items[static_cast<std::size_t>(i - 1)]; }
  auto begin() { return items.begin(); }
  auto end() { return items.end(); }
  auto begin() const { return items.begin(); }
  auto end() const { return items.end(); }
  bool operator==(const OneBasedArray&) const = default;
};

inline constexpr int kPatternCells = 100;
inline constexpr int kRecordedTrials = 50;

// A stimulus pattern: cell k (1..100) lies in row (k - 1) div 10 + 1 and
// column (k - 1) mod 10 + 1; row 1 is the top row, column 1 the left one.
using Pattern = OneBasedArray<ui::Colour, kPatternCells>;
using TrialRecords = OneBasedArray<TrialRecord, kRecordedTrials>;

// The process-wide state of the experiment unit. It outlives the experiment
// windows: a later window and the ROC analysis see what an earlier one left.
struct ExperimentState {
  Pattern NoisePattern;        // always a permutation of 22 brown, 78 green cells
  Pattern SignalPattern;       // always a permutation of 25 brown, 75 green cells
  StimulusKind NextStimulus;   // kind already drawn into Image1 for the coming trial
  std::uint32_t RandomState;   // state of the pseudo-random generator
  TrialRecords TrialResults;   // record i holds the i-th recorded trial; never cleared
  std::int32_t TrialCounter;   // -9 at window creation; k - 10 before the answer to trial k
  StimulusKind ShownStimulus;  // kind shown in the trial now being answered

  // Back to the state at process start: everything zero. For tests.
  void Reset() { *this = ExperimentState{}; }
};

// The single instance; all zero at process start.
inline ExperimentState Experiment{};

}  // namespace experiment
