#pragma once
#include "Design.h"
#include "Palette.h"
#include "TrialRecord.h"
#include "ui/Colour.h"
#include "ui/Surface.h"

namespace experiment {

// The two kinds of cell, in the colours of the standard palette. The window's
// texts call the brown 茶色.
inline constexpr ui::Colour kBrown = ui::RgbColour(0x80, 0, 0);  // maroon
inline constexpr ui::Colour kGreen = ui::RgbColour(0, 0x80, 0);

// Side of one square of the 10 x 10 grid, in pixels (the grid is 500 x 500).
inline constexpr int kCellSize = 50;
inline constexpr int kGridSide = 10;

// A pattern's initial content: brown in the last `brownCells` cells, green
// in the others.
void FillPattern(Pattern& P, int brownCells);

// Fisher-Yates from the top: for i = 100 down to 2, exchange P[i] and
// P[RandomIndex(i)]. Draws 99 random numbers from the generator state.
void ShufflePattern(Pattern& P, std::uint32_t& random);

// Draws P as the 10 x 10 grid: column by column (outer loop), each column from
// the top row down, every cell a rectangle filled with its colour in the
// palette and outlined in the surface's current pen.
void DrawPattern(const Pattern& P, ui::Surface& surface, Palette palette = Palette::kStandard);

// One random draw: signal when the fraction is 1 - signalProbability or more
// (0.5 in the standard design), else noise.
StimulusKind ChooseStimulusKind(std::uint32_t& random, double signalProbability = Design::Standard().SignalProbability);

}  // namespace experiment
