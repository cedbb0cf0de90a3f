#include "experiment/StimulusPatterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "experiment/Generator.h"
#include "ui/Surface.h"

namespace experiment {
namespace {

constexpr int kSide = kGridSide * kCellSize;  // 500

int BrownCount(const Pattern& P) { return static_cast<int>(std::count(P.begin(), P.end(), kBrown)); }

std::set<int> BrownCells(const Pattern& P) {
  std::set<int> cells;
  for (int k = 1; k <= kPatternCells; ++k) {
    if (P[k] == kBrown) cells.insert(k);
  }
  return cells;
}

// The cells whose centre pixel is brown on the surface; every other centre
// must be green.
std::set<int> DrawnBrownCells(const ui::Surface& s) {
  std::set<int> cells;
  for (int k = 1; k <= kPatternCells; ++k) {
    const int r = (k - 1) / kGridSide + 1;
    const int c = (k - 1) % kGridSide + 1;
    const ui::Colour centre = s.Pixel((c - 1) * kCellSize + kCellSize / 2, (r - 1) * kCellSize + kCellSize / 2);
    EXPECT_TRUE(centre == kBrown || centre == kGreen) << "cell " << k << " colour " << std::hex << centre;
    if (centre == kBrown) cells.insert(k);
  }
  return cells;
}

// The state after `steps` steps of the generator from `from`.
std::uint32_t StateAfter(std::uint32_t from, int steps) {
  for (int i = 0; i < steps; ++i) from = from * 134775813u + 1u;
  return from;
}

class StimulusPatternsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Experiment.Reset();
    SetClockForTests([] { return TimeOfDay{0, 0, 0, 0}; });
  }
  void TearDown() override {
    SetClockForTests({});
    Experiment.Reset();
  }

  ui::Surface image1_{kSide, kSide};
};

TEST_F(StimulusPatternsTest, KindIsSignalFromHalfUp) {
  constexpr std::uint32_t kInverse = 0xD94FA8CDu;  // undoes one generator step
  Experiment.RandomState = 2147483646u * kInverse;
  EXPECT_EQ(ChooseStimulusKind(Experiment.RandomState), kNoise);
  Experiment.RandomState = 2147483647u * kInverse;
  EXPECT_EQ(ChooseStimulusKind(Experiment.RandomState), kSignal);
}

TEST_F(StimulusPatternsTest, SetUpFromSeedZeroShowsTheKnownFirstTwoStimuli) {
  SetUpPatterns(Experiment, image1_);

  EXPECT_EQ(image1_.PenColor(), ui::clWhite);
  EXPECT_EQ(Experiment.NextStimulus, kSignal);
  const std::set<int> first{2, 5, 8, 12, 14, 22, 24, 26, 28, 30, 31, 33, 35,
                            47, 48, 51, 53, 59, 66, 77, 82, 83, 93, 97, 99};
  EXPECT_EQ(DrawnBrownCells(image1_), first);
  // The drawn pattern has been reshuffled at once.
  EXPECT_NE(BrownCells(Experiment.SignalPattern), first);
  // Fill, 2 shuffles and one preparation: 99 + 99 + 1 + 99 draws from seed 0.
  EXPECT_EQ(Experiment.RandomState, StateAfter(0, 298));

  const Pattern noiseBefore = Experiment.NoisePattern;
  const Pattern signalBefore = Experiment.SignalPattern;
  PrepareNextStimulus(Experiment, image1_);
  EXPECT_EQ(Experiment.NextStimulus, kNoise);
  const std::set<int> second{1, 2, 3, 5, 12, 15, 18, 26, 32, 39, 40, 53, 55, 58, 63, 65, 71, 74, 75, 81, 82, 98};
  EXPECT_EQ(BrownCells(noiseBefore), second);
  EXPECT_EQ(DrawnBrownCells(image1_), second);
  EXPECT_NE(Experiment.NoisePattern, noiseBefore);
  EXPECT_EQ(Experiment.SignalPattern, signalBefore) << "the pattern not shown stays as it was";
  EXPECT_EQ(Experiment.RandomState, StateAfter(0, 398));
}

TEST_F(StimulusPatternsTest, GridCoversTheSurfaceWithWhiteOutlines) {
  // Something else on the surface before: none of it may survive.
  image1_.SetPenColor(ui::clBlue);
  image1_.SetBrushColor(ui::clBlue);
  image1_.Rectangle(0, 0, kSide, kSide);

  SetUpPatterns(Experiment, image1_);

  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const ui::Colour p = image1_.Pixel(x, y);
      // The 1-pixel white outline lies on each cell's outermost pixels.
      const int cx = x % kCellSize;
      const int cy = y % kCellSize;
      const bool outline = cx == 0 || cy == 0 || cx == kCellSize - 1 || cy == kCellSize - 1;
      if (outline) {
        ASSERT_EQ(p, ui::clWhite) << "(" << x << ", " << y << ")";
      } else {
        ASSERT_TRUE(p == kBrown || p == kGreen) << "(" << x << ", " << y << ")";
        ASSERT_EQ(p, image1_.Pixel(x - cx + kCellSize / 2, y - cy + kCellSize / 2)) << "a cell has one colour";
      }
    }
  }
}

TEST_F(StimulusPatternsTest, PatternsKeepTheirBrownCountsOverAnExperiment) {
  SetClockForTests([] { return TimeOfDay{9, 41, 7, 311}; });
  SetUpPatterns(Experiment, image1_);
  for (int trial = 2; trial <= 300; ++trial) {
    PrepareNextStimulus(Experiment, image1_);
    ASSERT_EQ(DrawnBrownCells(image1_).size(), Experiment.NextStimulus == kSignal ? 25u : 22u);
  }
  EXPECT_EQ(BrownCount(Experiment.NoisePattern), Design::Standard().NoiseBrownCells);
  EXPECT_EQ(BrownCount(Experiment.SignalPattern), Design::Standard().SignalBrownCells);
}

TEST_F(StimulusPatternsTest, NewSetUpStartsAfresh) {
  SetUpPatterns(Experiment, image1_);
  const Pattern noise = Experiment.NoisePattern;
  const Pattern signal = Experiment.SignalPattern;
  const StimulusKind kind = Experiment.NextStimulus;
  for (int i = 0; i < 7; ++i) PrepareNextStimulus(Experiment, image1_);

  // A second window's set-up with the same clock reading repeats the first.
  ui::Surface again(kSide, kSide);
  SetUpPatterns(Experiment, again);
  EXPECT_EQ(Experiment.NoisePattern, noise);
  EXPECT_EQ(Experiment.SignalPattern, signal);
  EXPECT_EQ(Experiment.NextStimulus, kind);
}

}  // namespace
}  // namespace experiment
