#include "StimulusPatterns.h"

#include "Generator.h"

namespace experiment {

Pattern& PatternOf(StimulusKind kind) { return kind == kSignal ? State.SignalPattern : State.NoisePattern; }

void FillPatterns() {
  for (int k = 1; k <= kPatternCells; ++k) {
    State.NoisePattern[k] = k > kPatternCells - kNoiseBrownCells ? kBrown : kGreen;
    State.SignalPattern[k] = k > kPatternCells - kSignalBrownCells ? kBrown : kGreen;
  }
}

void ShufflePattern(Pattern& P) {
  for (int i = kPatternCells; i >= 2; --i) {
    const int j = RandomIndex(i);
    const ui::Colour t = P[i];
    P[i] = P[j];
    P[j] = t;
  }
}

void DrawPattern(const Pattern& P, ui::Surface& surface) {
  for (int c = 1; c <= kGridSide; ++c) {
    for (int r = 1; r <= kGridSide; ++r) {
      surface.SetBrushColor(P[(r - 1) * kGridSide + c]);
      surface.Rectangle((c - 1) * kCellSize, (r - 1) * kCellSize, c * kCellSize, r * kCellSize);
    }
  }
}

StimulusKind ChooseStimulusKind() { return RandomFraction() >= 0.5 ? kSignal : kNoise; }

void PrepareNextStimulus(ui::Surface& image1) {
  const StimulusKind kind = ChooseStimulusKind();
  State.NextStimulus = kind;
  Pattern& P = PatternOf(kind);
  DrawPattern(P, image1);
  ShufflePattern(P);
}

void SetUpPatterns(ui::Surface& image1) {
  FillPatterns();
  SeedRandomFromClock();
  ShufflePattern(State.NoisePattern);
  ShufflePattern(State.SignalPattern);
  image1.SetPenColor(ui::clWhite);
  PrepareNextStimulus(image1);
}

}  // namespace experiment
