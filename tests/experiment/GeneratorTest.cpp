#include "experiment/Generator.h"

#include <gtest/gtest.h>


namespace experiment {
namespace {

// Sets the state so that the next step produces newState: 0xD94FA8CD is the
// inverse of the multiplier 134775813 mod 2^32.
void ArrangeNextState(std::uint32_t& state, std::uint32_t newState) {
  static_assert(134775813u * 0xD94FA8CDu == 1u);
  state = (newState - 1u) * 0xD94FA8CDu;
}

class GeneratorTest : public ::testing::Test {
 protected:
  void TearDown() override { SetClockForTests({}); }
  std::uint32_t state = 0;
};

TEST_F(GeneratorTest, SequenceFromZero) {
  EXPECT_EQ(RandomFraction(state), 0x1p-32);
  EXPECT_EQ(state, 1u);
  EXPECT_EQ(RandomFraction(state), 0.031379939522594213);
  EXPECT_EQ(state, 134775814u);
  EXPECT_EQ(RandomFraction(state), 0.8610484672244638);
  EXPECT_EQ(state, 3698175007u);
  RandomFraction(state);
  EXPECT_EQ(state, 870078620u);

  ArrangeNextState(state, 0xFFFFFFFFu);
  EXPECT_EQ(RandomFraction(state), 1.0 - 0x1p-32);
}

TEST_F(GeneratorTest, IndexBoundaries) {
  for (std::int32_t n : {1, 2, 7, 100, 2147483647}) {
    ArrangeNextState(state, 0);
    EXPECT_EQ(RandomIndex(state, n), 1) << "n = " << n;
    ArrangeNextState(state, 0xFFFFFFFFu);
    EXPECT_EQ(RandomIndex(state, n), n) << "n = " << n;
  }
  ArrangeNextState(state, 0x7FFFFFFFu);
  EXPECT_EQ(RandomIndex(state, 2), 1);
  ArrangeNextState(state, 0x80000000u);
  EXPECT_EQ(RandomIndex(state, 2), 2);
  // (state * 100) div 2^32 needs the full 64-bit product.
  ArrangeNextState(state, 3698175007u);
  EXPECT_EQ(RandomIndex(state, 100), 87);
}

TEST_F(GeneratorTest, SeedIsMillisecondsSinceMidnightUtc) {
  struct Case {
    TimeOfDay time;
    std::uint32_t seed;
  };
  for (const Case& c : {Case{{12, 34, 56, 789}, 45296789u}, Case{{0, 0, 0, 0}, 0u}, Case{{23, 59, 59, 999}, 86399999u}}) {
    SetClockForTests([&] { return c.time; });
    EXPECT_EQ(ClockSeed(), c.seed);
  }
}

TEST_F(GeneratorTest, SystemClockGivesATimeOfDay) {
  const TimeOfDay t = SystemTimeOfDayUtc();
  EXPECT_TRUE(t.Hour >= 0 && t.Hour < 24 && t.Minute >= 0 && t.Minute < 60 && t.Second >= 0 && t.Second < 60 &&
              t.Millisecond >= 0 && t.Millisecond < 1000);
}

}  // namespace
}  // namespace experiment
