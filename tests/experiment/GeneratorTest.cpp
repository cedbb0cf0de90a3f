#include "experiment/Generator.h"

#include <gtest/gtest.h>

#include "experiment/ExperimentState.h"

namespace experiment {
namespace {

// Sets the state so that the next step produces newState: 0xD94FA8CD is the
// inverse of the multiplier 134775813 mod 2^32.
void ArrangeNextState(std::uint32_t newState) {
  static_assert(134775813u * 0xD94FA8CDu == 1u);
  Experiment.RandomState = (newState - 1u) * 0xD94FA8CDu;
}

class GeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override { Experiment.Reset(); }
  void TearDown() override {
    SetClockForTests({});
    Experiment.Reset();
  }
};

TEST_F(GeneratorTest, SequenceFromZero) {
  EXPECT_EQ(RandomFraction(Experiment.RandomState), 0x1p-32);
  EXPECT_EQ(Experiment.RandomState, 1u);
  EXPECT_EQ(RandomFraction(Experiment.RandomState), 0.031379939522594213);
  EXPECT_EQ(Experiment.RandomState, 134775814u);
  EXPECT_EQ(RandomFraction(Experiment.RandomState), 0.8610484672244638);
  EXPECT_EQ(Experiment.RandomState, 3698175007u);
  RandomFraction(Experiment.RandomState);
  EXPECT_EQ(Experiment.RandomState, 870078620u);

  ArrangeNextState(0xFFFFFFFFu);
  EXPECT_EQ(RandomFraction(Experiment.RandomState), 1.0 - 0x1p-32);
}

TEST_F(GeneratorTest, IndexBoundaries) {
  for (std::int32_t n : {1, 2, 7, 100, 2147483647}) {
    ArrangeNextState(0);
    EXPECT_EQ(RandomIndex(Experiment.RandomState, n), 1) << "n = " << n;
    ArrangeNextState(0xFFFFFFFFu);
    EXPECT_EQ(RandomIndex(Experiment.RandomState, n), n) << "n = " << n;
  }
  ArrangeNextState(0x7FFFFFFFu);
  EXPECT_EQ(RandomIndex(Experiment.RandomState, 2), 1);
  ArrangeNextState(0x80000000u);
  EXPECT_EQ(RandomIndex(Experiment.RandomState, 2), 2);
  // (state * 100) div 2^32 needs the full 64-bit product.
  ArrangeNextState(3698175007u);
  EXPECT_EQ(RandomIndex(Experiment.RandomState, 100), 87);
}

TEST_F(GeneratorTest, SeedIsMillisecondsSinceMidnightUtc) {
  struct Case {
    TimeOfDay time;
    std::uint32_t seed;
  };
  for (const Case& c : {Case{{12, 34, 56, 789}, 45296789u}, Case{{0, 0, 0, 0}, 0u}, Case{{23, 59, 59, 999}, 86399999u}}) {
    SetClockForTests([&] { return c.time; });
    Experiment.RandomState = 777;
    SeedRandomFromClock(Experiment.RandomState);
    EXPECT_EQ(Experiment.RandomState, c.seed);
  }
}

TEST_F(GeneratorTest, SystemClockGivesATimeOfDay) {
  const TimeOfDay t = SystemTimeOfDayUtc();
  EXPECT_TRUE(t.Hour >= 0 && t.Hour < 24 && t.Minute >= 0 && t.Minute < 60 && t.Second >= 0 && t.Second < 60 &&
              t.Millisecond >= 0 && t.Millisecond < 1000);
}

}  // namespace
}  // namespace experiment
