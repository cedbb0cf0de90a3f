#include "experiment/Generator.h"

#include <gtest/gtest.h>

#include "experiment/ExperimentState.h"

namespace experiment {
namespace {

class GeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override { State.Reset(); }
  void TearDown() override {
    SetClockForTests({});
    State.Reset();
  }

  // Sets the state so that the next step produces newState.
  static void ArrangeNextState(std::uint32_t newState) {
    // The inverse of 134775813 mod 2^32 undoes one step.
    constexpr std::uint32_t kInverse = 0xD94FA8CDu;
    static_assert(0x08088405u * kInverse == 1u);
    State.RandomState = (newState - 1u) * kInverse;
  }
};

TEST_F(GeneratorTest, SequenceFromZero) {
  RandomFraction();
  EXPECT_EQ(State.RandomState, 1u);
  RandomFraction();
  EXPECT_EQ(State.RandomState, 134775814u);
  RandomFraction();
  EXPECT_EQ(State.RandomState, 3698175007u);
  RandomFraction();
  EXPECT_EQ(State.RandomState, 870078620u);

  State.Reset();
  EXPECT_EQ(RandomFraction(), 0x1p-32);
  EXPECT_EQ(RandomFraction(), 0.031379939522594213);
  EXPECT_EQ(RandomFraction(), 0.8610484672244638);
}

TEST_F(GeneratorTest, FractionCoversZeroToJustBelowOne) {
  ArrangeNextState(0);
  EXPECT_EQ(RandomFraction(), 0.0);
  ArrangeNextState(0xFFFFFFFFu);
  EXPECT_EQ(RandomFraction(), 1.0 - 0x1p-32);
  ArrangeNextState(0x80000000u);
  EXPECT_EQ(RandomFraction(), 0.5);
}

TEST_F(GeneratorTest, IndexBoundaries) {
  for (std::int32_t n : {1, 2, 7, 100, 2147483647}) {
    ArrangeNextState(0);
    EXPECT_EQ(RandomIndex(n), 1) << "n = " << n;
    ArrangeNextState(0xFFFFFFFFu);
    EXPECT_EQ(RandomIndex(n), n) << "n = " << n;
  }
  ArrangeNextState(0x7FFFFFFFu);
  EXPECT_EQ(RandomIndex(2), 1);
  ArrangeNextState(0x80000000u);
  EXPECT_EQ(RandomIndex(2), 2);
  // (state * 100) div 2^32 needs the full 64-bit product.
  ArrangeNextState(3698175007u);
  EXPECT_EQ(RandomIndex(100), 87);
}

TEST_F(GeneratorTest, IndexAlwaysInRangeAndUsesEveryValue) {
  State.RandomState = 12345;
  int seen[11] = {};
  for (int i = 0; i < 10000; ++i) {
    const std::int32_t j = RandomIndex(10);
    ASSERT_GE(j, 1);
    ASSERT_LE(j, 10);
    ++seen[j];
  }
  for (int j = 1; j <= 10; ++j) EXPECT_GT(seen[j], 800) << "index " << j;
}

TEST_F(GeneratorTest, SeedIsMillisecondsSinceMidnightUtc) {
  struct Case {
    TimeOfDay time;
    std::uint32_t seed;
  };
  for (const Case& c : {Case{{12, 34, 56, 789}, 45296789u}, Case{{0, 0, 0, 0}, 0u}, Case{{23, 59, 59, 999}, 86399999u}}) {
    SetClockForTests([&] { return c.time; });
    State.RandomState = 777;
    SeedRandomFromClock();
    EXPECT_EQ(State.RandomState, c.seed);
  }
}

TEST_F(GeneratorTest, SystemClockGivesATimeOfDay) {
  const TimeOfDay t = SystemTimeOfDayUtc();
  EXPECT_GE(t.Hour, 0);
  EXPECT_LE(t.Hour, 23);
  EXPECT_GE(t.Minute, 0);
  EXPECT_LE(t.Minute, 59);
  EXPECT_GE(t.Second, 0);
  EXPECT_LE(t.Second, 59);
  EXPECT_GE(t.Millisecond, 0);
  EXPECT_LE(t.Millisecond, 999);

  SetClockForTests({});
  SeedRandomFromClock();
  EXPECT_LE(State.RandomState, 86399999u);
}

}  // namespace
}  // namespace experiment
