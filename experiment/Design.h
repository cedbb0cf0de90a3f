#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Palette.h"

namespace experiment {

// The largest rating scale a design may have.
inline constexpr int kMaxCategories = 8;

// One rating category: the caption of its button and the statement the
// instruction screen gives for it.
struct RatingCategory {
  std::string Caption;
  std::string Statement;

  bool operator==(const RatingCategory&) const = default;
};

// What an experiment is: how many trials of each phase, what the two patterns
// show, how often the signal comes, how long the grid stays and how the
// observer answers. Every part of the program reads these values from the
// design its run was started with; a default-constructed design is the
// standard experiment.
struct Design {
  std::string Name = "standard";
  std::int32_t PracticeTrials = 10;
  std::int32_t RecordedTrials = 50;
  std::int32_t NoiseBrownCells = 22;   // brown squares of the 100 in the noise pattern
  std::int32_t SignalBrownCells = 25;  // and in the signal pattern
  // A trial shows the signal when the generator's fraction f is at least
  // 1 - SignalProbability.
  double SignalProbability = 0.5;
  std::int32_t ExposureMs = 1000;
  bool Feedback = true;  // the signal/noise message after each answer
  bool AskObserver = false;  // ask the observer's name when a run is started, unless given already
  Palette GridPalette = Palette::kStandard;  // the colours of the grid's squares
  // From the surest "signal" answer down; category i (1-based) is answered
  // with response code K + 1 - i.
  std::vector<RatingCategory> Ratings = {
      {"異常あり", "確かに茶色が増えた"},
      {"たぶん異常あり", "茶色が増えたと思う"},
      {"たぶん異常なし", "茶色が増えたと思わない"},
      {"異常なし", "絶対に茶色は増えていない"},
  };

  static const Design& Standard();

  bool operator==(const Design&) const = default;

  // K, the number of rating categories; response codes run from K down to 1.
  std::int32_t Categories() const { return static_cast<std::int32_t>(Ratings.size()); }
  std::int32_t TotalTrials() const { return PracticeTrials + RecordedTrials; }
  // Trials 1 .. PracticeTrials are practice, the rest recorded.
  bool IsPractice(std::int32_t trial) const { return trial <= PracticeTrials; }

  // The design as the per-trial file names it: its name, and after it the
  // palette's in brackets when that is not the standard one
  // ("colour-safe [blue-orange]"), so that a reader tells runs on other
  // colours apart without a column of their own.
  std::string RecordedName() const;
};

}  // namespace experiment
