#pragma once
#include "ExperimentState.h"
#include "ui/Colour.h"
#include "ui/Surface.h"

namespace experiment {

// The two cell colours. The window's texts call the brown 茶色.
inline constexpr ui::Colour kBrown = ui::clMaroon;  // 128
inline constexpr ui::Colour kGreen = ui::clGreen;   // 0x8000

// Side of one square of the 10 x 10 grid, in pixels (the grid is 500 x 500).
inline constexpr int kCellSize = 50;
inline constexpr int kGridSide = 10;

// The pattern of a kind: NoisePattern for 0, SignalPattern for 1.
Pattern& PatternOf(ExperimentState& x, StimulusKind kind);

// Both patterns back to their initial content: brown in the last cells, as
// many as the design gives each pattern, green in the others.
void FillPatterns(ExperimentState& x);

// Fisher-Yates from the top: for i = 100 down to 2, exchange P[i] and
// P[RandomIndex(i)]. Draws 99 random numbers from the generator state.
void ShufflePattern(Pattern& P, std::uint32_t& random);

// Draws P as the 10 x 10 grid: column by column (outer loop), each column from
// the top row down, every cell a rectangle filled with its colour and outlined
// in the surface's current pen.
void DrawPattern(const Pattern& P, ui::Surface& surface);

// One random draw: signal when the fraction is 1 - signalProbability or more
// (0.5 in the standard design), else noise.
StimulusKind ChooseStimulusKind(std::uint32_t& random, double signalProbability = Design::Standard().SignalProbability);

// Chooses the kind of the coming trial, records it in NextStimulus, draws that
// pattern on image1 and reshuffles it. Draws 100 random numbers.
void PrepareNextStimulus(ExperimentState& x, ui::Surface& image1);

// The whole set-up of a new experiment window: fill both patterns, seed the
// generator from the clock, shuffle the noise then the signal pattern, make
// image1's pen white, and prepare the first stimulus. Returns the seed.
std::uint32_t SetUpPatterns(ExperimentState& x, ui::Surface& image1);

}  // namespace experiment
