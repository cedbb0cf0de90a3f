#include "stats/ResponseTally.h"

#include <gtest/gtest.h>

#include <array>

namespace roc {
namespace {

using experiment::kNoise;
using experiment::kSignal;
using Counts = std::array<std::int32_t, 4>;

// Records from index 1 on: noise answered 1..4 in noise[0..3] cases, then signal likewise.
experiment::TrialRecords Records(Counts noise, Counts signal) {
  experiment::TrialRecords records{};
  int i = 0;
  for (auto [kind, perCode] : {std::pair{kNoise, noise}, std::pair{kSignal, signal}}) {
    for (int code = 1; code <= 4; ++code) {
      for (int n = 0; n < perCode[code - 1]; ++n, ++i) records[i + 1] = {i + 1, kind, code};
    }
  }
  return records;
}

Counts Row(const TallyTable& t, int s) { return {t.counts[s][1], t.counts[s][2], t.counts[s][3], t.counts[s][4]}; }

class ResponseTallyTest : public ::testing::Test {
 protected:
  TallyTable tally_{};
};

TEST_F(ResponseTallyTest, WorkedExampleFromTrialResults) {
  const experiment::TrialRecords records = Records({10, 8, 5, 2}, {2, 5, 8, 10});
  EXPECT_FALSE(ObservedPoint(tally_, 1).has_value()) << "before the first refill";

  RefillResponseTally(records, tally_);
  RefillResponseTally(records, tally_);  // a second refill starts from zero again
  EXPECT_EQ(Row(tally_, 0), (Counts{25, 15, 7, 2}));
  EXPECT_EQ(Row(tally_, 1), (Counts{25, 23, 18, 10}));

  // Each rate is one correctly rounded quotient: the nearest extended to the decimal.
  const numeric::Extended expected[3][2] = {{0.6L, 0.92L}, {0.28L, 0.72L}, {0.08L, 0.4L}};
  for (int p = 1; p <= 3; ++p) {
    const auto point = ObservedPoint(tally_, p);
    ASSERT_TRUE(point.has_value()) << "point " << p;
    EXPECT_EQ(point->FalseAlarmRate, expected[p - 1][0]) << "point " << p;
    EXPECT_EQ(point->HitRate, expected[p - 1][1]) << "point " << p;
  }
}

TEST_F(ResponseTallyTest, OnlyResponsesOneToFourCount) {
  // An experiment left early: records 16..50 were never written (all zero).
  experiment::TrialRecords records = Records({2, 2, 2, 2}, {1, 2, 2, 2});
  records[20] = {20, kSignal, 5};
  records[21] = {21, kNoise, -1};
  TallyTable t{};
  t.counts[0][1] = 99;
  RefillResponseTally(records, t);
  EXPECT_EQ(Row(t, 0), (Counts{8, 6, 4, 2}));
  EXPECT_EQ(Row(t, 1), (Counts{7, 6, 4, 2}));
}

TEST_F(ResponseTallyTest, PointsAreOrderedAndMissingResponsesGiveEqualColumns) {
  TallyTable t{};
  RefillResponseTally(Records({3, 9, 7, 6}, {5, 4, 1, 15}), t);
  for (int p = 1; p < 3; ++p) {
    EXPECT_GE(ObservedPoint(t, p)->FalseAlarmRate, ObservedPoint(t, p + 1)->FalseAlarmRate);
    EXPECT_GE(ObservedPoint(t, p)->HitRate, ObservedPoint(t, p + 1)->HitRate);
  }

  RefillResponseTally(Records({30, 0, 0, 0}, {0, 0, 0, 20}), t);
  EXPECT_EQ(Row(t, 1), (Counts{20, 20, 20, 20}));
  for (int p = 1; p <= 3; ++p) {
    EXPECT_EQ(ObservedPoint(t, p)->HitRate, 1) << "point " << p;
    EXPECT_EQ(ObservedPoint(t, p)->FalseAlarmRate, 0) << "point " << p;
  }
}

TEST_F(ResponseTallyTest, EmptyRowLeavesThePointsUndefined) {
  TallyTable t{};
  RefillResponseTally(Records({1, 2, 3, 4}, {0, 0, 0, 0}), t);
  for (int p = 1; p <= 3; ++p) EXPECT_FALSE(ObservedPoint(t, p).has_value()) << "no signal trial, point " << p;
  RefillResponseTally(Records({0, 0, 0, 0}, {1, 2, 3, 4}), t);
  for (int p = 1; p <= 3; ++p) EXPECT_FALSE(ObservedPoint(t, p).has_value()) << "no noise trial, point " << p;

  RefillResponseTally(Records({0, 0, 0, 1}, {1, 0, 0, 0}), t);
  EXPECT_TRUE(ObservedPoint(t, 3).has_value());
  EXPECT_FALSE(ObservedPoint(t, 4).has_value()) << "only points 1..3 exist";
}

}  // namespace
}  // namespace roc
