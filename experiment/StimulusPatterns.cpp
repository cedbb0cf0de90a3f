#include "StimulusPatterns.h"

#include "Generator.h"

namespace experiment {

Pattern& PatternOf(ExperimentState& x, StimulusKind kind) {
  return kind == kSignal ? x.SignalPattern : x.NoisePattern;
}

void FillPatterns(ExperimentState& x) {
  for (int k = 1; k <= kPatternCells; ++k) {
    x.NoisePattern[k] = k > kPatternCells - x.design.NoiseBrownCells ? kBrown : kGreen;
    x.SignalPattern[k] = k > kPatternCells - x.design.SignalBrownCells ? kBrown : kGreen;
  }
}

void ShufflePattern(Pattern& P, std::uint32_t& random) {
  for (int i = kPatternCells; i >= 2; --i) {
    const int j = RandomIndex(random, i);
    const ui::Colour t = P[i];
    P[i] = P[j];
    P[j] = t;
  }
}

void DrawPattern(const Pattern& P, ui::Surface& surface) {
  for (int c = 1; c <= kGridSide; ++c) {
    for (int r = 1; r <= kGridSide; ++r) {
      surface.SetBrushColor(P[(r - 1) * kGridSide + c]);
      surface.GridSquare(c - 1, r - 1, kCellSize, kGridSide);
    }
  }
}

StimulusKind ChooseStimulusKind(std::uint32_t& random, double signalProbability) {
  return RandomFraction(random) >= 1 - signalProbability ? kSignal : kNoise;
}

void PrepareNextStimulus(ExperimentState& x, ui::Surface& image1) {
  const StimulusKind kind = ChooseStimulusKind(x.RandomState, x.design.SignalProbability);
  x.NextStimulus = kind;
  Pattern& P = PatternOf(x, kind);
  DrawPattern(P, image1);
  ShufflePattern(P, x.RandomState);
}

std::uint32_t SetUpPatterns(ExperimentState& x, ui::Surface& image1) {
  FillPatterns(x);
  SeedRandomFromClock(x.RandomState);
  const std::uint32_t seed = x.RandomState;
  ShufflePattern(x.NoisePattern, x.RandomState);
  ShufflePattern(x.SignalPattern, x.RandomState);
  image1.SetPenColor(ui::clWhite);
  PrepareNextStimulus(x, image1);
  return seed;
}

}  // namespace experiment
