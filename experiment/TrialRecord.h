#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Design.h"
#include "ui/Colour.h"

namespace experiment {

// Kind of a stimulus: which of the two patterns a trial shows.
using StimulusKind = std::uint8_t;
inline constexpr StimulusKind kNoise = 0;
inline constexpr StimulusKind kSignal = 1;

// Code of a rating button, K for the top one down to 1; 0 only in a record
// that was never written.
using ResponseCode = std::int32_t;
// The buttons of the standard design's four categories.
inline constexpr ResponseCode kCertainN = 1;   // "異常なし"
inline constexpr ResponseCode kProbablyN = 2;  // "たぶん異常なし"
inline constexpr ResponseCode kProbablyS = 3;  // "たぶん異常あり"
inline constexpr ResponseCode kCertainS = 4;   // "異常あり"

// One recorded trial.
struct TrialRecord {
  std::int32_t TrialNumber;
  StimulusKind Stimulus;
  ResponseCode Response;

  bool operator==(const TrialRecord&) const = default;
};

// A fixed array indexed from 1 to N, as the unit's arrays are numbered:
// a[1] is the first element and a[N] the last. Iteration runs from 1 to N.
template <typename T, int N>
struct OneBasedArray {
  std::array<T, N> items;

  T& operator[](int i) { return items[static_cast<std::size_t>(i - 1)]; }
  const T& operator[](int i) const { return items[static_cast<std::size_t>(i - 1)]; }
  auto begin() { return items.begin(); }
  auto end() { return items.end(); }
  auto begin() const { return items.begin(); }
  auto end() const { return items.end(); }
  bool operator==(const OneBasedArray&) const = default;
};

// The recorded trials of a run, indexed from 1 like the fixed arrays: one
// record for each recorded trial of the design, answered on its K categories.
// Default-constructed, it holds the standard design's records, none written
// yet.
class TrialRecords {
 public:
  TrialRecords() : TrialRecords(Design::Standard()) {}
  explicit TrialRecords(const Design& design)
      : items_(static_cast<std::size_t>(design.RecordedTrials)), categories_(design.Categories()) {}

  TrialRecord& operator[](int i) { return items_.at(static_cast<std::size_t>(i - 1)); }
  const TrialRecord& operator[](int i) const { return items_.at(static_cast<std::size_t>(i - 1)); }
  int Size() const { return static_cast<int>(items_.size()); }
  int Categories() const { return categories_; }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  bool operator==(const TrialRecords&) const = default;

 private:
  std::vector<TrialRecord> items_;
  int categories_;
};

inline constexpr int kPatternCells = 100;

// A stimulus pattern: cell k (1..100) lies in row (k - 1) div 10 + 1 and
// column (k - 1) mod 10 + 1; row 1 is the top row, column 1 the left one.
using Pattern = OneBasedArray<ui::Colour, kPatternCells>;

}  // namespace experiment
