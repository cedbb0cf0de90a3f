#include "experiment/StimulusPatterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "experiment/Generator.h"
#include "experiment/Run.h"
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

// A run of the design from the seed, as a window starts it: the grid's pen
// white and the first stimulus drawn.
class StimulusPatternsTest : public ::testing::Test {
 protected:
  void Start(std::uint32_t seed) {
    run = experiment::Run(Design::Standard(), {.Seed = seed});
    image1_.SetPenColor(ui::clWhite);
    DrawPattern(run.Start(), image1_);
  }
  void PrepareNextStimulus() { DrawPattern(run.NextTrial(), image1_); }

  experiment::Run run;
  ui::Surface image1_{kSide, kSide};
};

TEST_F(StimulusPatternsTest, KindIsSignalFromHalfUp) {
  constexpr std::uint32_t kInverse = 0xD94FA8CDu;  // undoes one generator step
  std::uint32_t state = 2147483646u * kInverse;
  EXPECT_EQ(ChooseStimulusKind(state), kNoise);
  state = 2147483647u * kInverse;
  EXPECT_EQ(ChooseStimulusKind(state), kSignal);
}

TEST_F(StimulusPatternsTest, SetUpFromSeedZeroShowsTheKnownFirstTwoStimuli) {
  Start(0);

  EXPECT_EQ(run.NextStimulus, kSignal);
  const std::set<int> first{2, 5, 8, 12, 14, 22, 24, 26, 28, 30, 31, 33, 35,
                            47, 48, 51, 53, 59, 66, 77, 82, 83, 93, 97, 99};
  EXPECT_EQ(DrawnBrownCells(image1_), first);
  // The drawn pattern has been reshuffled at once.
  EXPECT_NE(BrownCells(run.SignalPattern), first);
  // Fill, 2 shuffles and one preparation: 99 + 99 + 1 + 99 draws from seed 0.
  EXPECT_EQ(run.RandomState, StateAfter(0, 298));

  const Pattern noiseBefore = run.NoisePattern;
  const Pattern signalBefore = run.SignalPattern;
  PrepareNextStimulus();
  EXPECT_EQ(run.NextStimulus, kNoise);
  const std::set<int> second{1, 2, 3, 5, 12, 15, 18, 26, 32, 39, 40, 53, 55, 58, 63, 65, 71, 74, 75, 81, 82, 98};
  EXPECT_EQ(BrownCells(noiseBefore), second);
  EXPECT_EQ(DrawnBrownCells(image1_), second);
  EXPECT_NE(run.NoisePattern, noiseBefore);
  EXPECT_EQ(run.SignalPattern, signalBefore) << "the pattern not shown stays as it was";
  EXPECT_EQ(run.RandomState, StateAfter(0, 398));
}

TEST_F(StimulusPatternsTest, GridCoversTheSurfaceWithWhiteOutlines) {
  // Something else on the surface before: none of it may survive.
  image1_.SetPenColor(ui::clBlue);
  image1_.SetBrushColor(ui::clBlue);
  image1_.Rectangle(0, 0, kSide, kSide);

  Start(0);

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
  Start(34867311);
  for (int trial = 2; trial <= 300; ++trial) {
    PrepareNextStimulus();
    ASSERT_EQ(DrawnBrownCells(image1_).size(), run.NextStimulus == kSignal ? 25u : 22u);
  }
  EXPECT_EQ(BrownCount(run.NoisePattern), Design::Standard().NoiseBrownCells);
  EXPECT_EQ(BrownCount(run.SignalPattern), Design::Standard().SignalBrownCells);
}

// Two runs of one process, answered in turn, each exactly as it would run
// alone: different seeds, designs and sinks.
TEST_F(StimulusPatternsTest, InterleavedRunsDoNotSeeEachOther) {
  struct Rows : TrialSink {
    std::vector<TrialLogRow> rows;
    numeric::Status Append(const TrialLogRow& row) override {
      rows.push_back(row);
      return {};
    }
    std::string Path() const override { return "memory"; }
  };
  Design six = Design::Standard();
  six.Name = "six-point";
  six.PracticeTrials = 2;
  six.RecordedTrials = 30;
  six.SignalBrownCells = 27;
  six.Ratings = {{"6", "a"}, {"5", "b"}, {"4", "c"}, {"3", "d"}, {"2", "e"}, {"1", "f"}};
  const auto make = [&](int which) {
    return which == 0 ? experiment::Run(Design::Standard(), {.Session = "2026-12-09T10:00:00.000Z", .Seed = 4711})
                      : experiment::Run(six, {.Session = "2026-12-09T10:00:00.001Z", .Seed = 86399999}, TrialLogFormat::kClass);
  };
  // Trial t of run `which`: its pattern and its answer.
  const auto trial = [](experiment::Run& run, int which, int t, std::vector<Pattern>& shown) {
    shown.push_back(t == 0 ? run.Start() : run.NextTrial());
    run.Show();
    run.Answer((t * (which + 3)) % run.design.Categories() + 1, {.ExposureMs = 1000.0 + t, .RatingMs = t});
  };
  experiment::Run runs[2] = {make(0), make(1)};
  Rows sinks[2];
  std::vector<Pattern> shown[2];
  for (int k = 0; k < 2; ++k) runs[k].AddSink(&sinks[k]);
  for (int t = 0; !runs[0].Over() || !runs[1].Over(); ++t) {
    for (int k = 0; k < 2; ++k) {
      if (!runs[k].Over()) trial(runs[k], k, t, shown[k]);
    }
  }
  for (int k = 0; k < 2; ++k) {
    experiment::Run alone = make(k);
    std::vector<Pattern> aloneShown;
    for (int t = 0; !alone.Over(); ++t) trial(alone, k, t, aloneShown);
    EXPECT_EQ(shown[k], aloneShown) << "run " << k;
    EXPECT_EQ(runs[k].TrialResults, alone.TrialResults) << "run " << k;
    EXPECT_EQ(runs[k].Log().Rows, alone.Log().Rows) << "run " << k;
    EXPECT_EQ(sinks[k].rows, alone.Log().Rows) << "run " << k;
    EXPECT_EQ(runs[k].RandomState, alone.RandomState) << "run " << k;
  }
  EXPECT_EQ(runs[1].TrialResults.Size(), 30);
  EXPECT_EQ(runs[1].Log().Rows.back().DesignName, "six-point");
}

}  // namespace
}  // namespace experiment
