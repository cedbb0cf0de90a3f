#include "StimulusPatterns.h"

#include "Generator.h"

namespace experiment {

void FillPattern(Pattern& P, int brownCells) {
  for (int k = 1; k <= kPatternCells; ++k) P[k] = k > kPatternCells - brownCells ? kBrown : kGreen;
}

void ShufflePattern(Pattern& P, std::uint32_t& random) {
  for (int i = kPatternCells; i >= 2; --i) {
    const int j = RandomIndex(random, i);
    const ui::Colour t = P[i];
    P[i] = P[j];
    P[j] = t;
  }
}

void DrawPattern(const Pattern& P, ui::Surface& surface, Palette palette) {
  const GridColours colours = ColoursOf(palette);
  for (int c = 1; c <= kGridSide; ++c) {
    for (int r = 1; r <= kGridSide; ++r) {
      surface.SetBrushColor(P[(r - 1) * kGridSide + c] == kBrown ? colours.Counted : colours.Other);
      surface.GridSquare(c - 1, r - 1, kCellSize, kGridSide);
    }
  }
}

StimulusKind ChooseStimulusKind(std::uint32_t& random, double signalProbability) {
  return RandomFraction(random) >= 1 - signalProbability ? kSignal : kNoise;
}

}  // namespace experiment
