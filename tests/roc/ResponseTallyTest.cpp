#include "roc/ResponseTally.h"

#include <gtest/gtest.h>

#include <array>

namespace roc {
namespace {

using experiment::kNoise;
using experiment::kSignal;
using experiment::StimulusKind;
using experiment::TrialRecords;

// Records 1.. in order: for each response code 1..4, that many records of the kind.
class TallyBuilder {
 public:
  TallyBuilder& Add(StimulusKind kind, std::array<int, 4> perResponse) {
    for (int code = 1; code <= 4; ++code) {
      for (int i = 0; i < perResponse[code - 1]; ++i) {
        ++next_;
        records_[next_] = {next_, kind, code};
      }
    }
    return *this;
  }
  const TrialRecords& Records() const { return records_; }

 private:
  TrialRecords records_{};
  int next_ = 0;
};

std::array<std::int32_t, 4> Row(const TallyTable& t, int s) {
  return {t.counts[s][1], t.counts[s][2], t.counts[s][3], t.counts[s][4]};
}

class ResponseTallyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    experiment::State.Reset();
    State.Reset();
  }
  void TearDown() override { SetUp(); }
};

TEST_F(ResponseTallyTest, WorkedExample) {
  TallyBuilder b;
  b.Add(kNoise, {10, 8, 5, 2}).Add(kSignal, {2, 5, 8, 10});
  TallyTable t{};
  RefillResponseTally(b.Records(), t);

  EXPECT_EQ(Row(t, 0), (std::array<std::int32_t, 4>{25, 15, 7, 2}));
  EXPECT_EQ(Row(t, 1), (std::array<std::int32_t, 4>{25, 23, 18, 10}));
  EXPECT_EQ(t.counts[0][1] + t.counts[1][1], 50);

  const ui::Extended expected[3][2] = {{0.6L, 0.92L}, {0.28L, 0.72L}, {0.08L, 0.4L}};
  for (int p = 1; p <= 3; ++p) {
    const auto point = ObservedPoint(t, p);
    ASSERT_TRUE(point.has_value()) << "point " << p;
    // One correctly rounded extended quotient: the nearest extended to the decimal.
    EXPECT_EQ(point->FalseAlarmRate, expected[p - 1][0]) << "point " << p;
    EXPECT_EQ(point->HitRate, expected[p - 1][1]) << "point " << p;
  }
}

TEST_F(ResponseTallyTest, RefillStartsFromZeroEveryTime) {
  TallyBuilder b;
  b.Add(kSignal, {1, 0, 3, 2}).Add(kNoise, {4, 4, 0, 1});
  TallyTable t{};
  t.counts[0][1] = 99;
  t.counts[1][4] = -5;
  RefillResponseTally(b.Records(), t);
  const TallyTable first = t;
  RefillResponseTally(b.Records(), t);
  EXPECT_EQ(Row(t, 0), Row(first, 0));
  EXPECT_EQ(Row(t, 1), Row(first, 1));
  EXPECT_EQ(Row(t, 0), (std::array<std::int32_t, 4>{9, 5, 1, 1}));
  EXPECT_EQ(Row(t, 1), (std::array<std::int32_t, 4>{6, 5, 5, 2}));
}

TEST_F(ResponseTallyTest, UnwrittenRecordsAreSkipped) {
  // An experiment left after 25 answers: records 1..15 written, 16..50 zero.
  TallyBuilder b;
  b.Add(kNoise, {2, 2, 2, 2}).Add(kSignal, {1, 2, 2, 2});
  TallyTable t{};
  RefillResponseTally(b.Records(), t);
  EXPECT_EQ(Row(t, 0), (std::array<std::int32_t, 4>{8, 6, 4, 2}));
  EXPECT_EQ(Row(t, 1), (std::array<std::int32_t, 4>{7, 6, 4, 2}));

  // Codes outside 1..4 change nothing, whatever the record's kind.
  TrialRecords odd = b.Records();
  odd[20] = {20, kSignal, 5};
  odd[21] = {21, kNoise, -1};
  RefillResponseTally(odd, t);
  EXPECT_EQ(Row(t, 0), (std::array<std::int32_t, 4>{8, 6, 4, 2}));
  EXPECT_EQ(Row(t, 1), (std::array<std::int32_t, 4>{7, 6, 4, 2}));
}

TEST_F(ResponseTallyTest, PointsAreOrderedFromLargestToSmallestRates) {
  TallyBuilder b;
  b.Add(kNoise, {3, 9, 7, 6}).Add(kSignal, {5, 4, 1, 15});
  TallyTable t{};
  RefillResponseTally(b.Records(), t);
  for (int p = 1; p < 3; ++p) {
    EXPECT_GE(ObservedPoint(t, p)->FalseAlarmRate, ObservedPoint(t, p + 1)->FalseAlarmRate);
    EXPECT_GE(ObservedPoint(t, p)->HitRate, ObservedPoint(t, p + 1)->HitRate);
  }
}

TEST_F(ResponseTallyTest, OnlyCertainAnswersGiveEqualColumns) {
  TallyBuilder b;
  b.Add(kSignal, {0, 0, 0, 20}).Add(kNoise, {30, 0, 0, 0});
  TallyTable t{};
  RefillResponseTally(b.Records(), t);
  EXPECT_EQ(Row(t, 1), (std::array<std::int32_t, 4>{20, 20, 20, 20}));
  for (int p = 1; p <= 3; ++p) {
    EXPECT_EQ(ObservedPoint(t, p)->HitRate, 1) << "point " << p;
    EXPECT_EQ(ObservedPoint(t, p)->FalseAlarmRate, 0) << "point " << p;
  }
}

TEST_F(ResponseTallyTest, EmptyRowLeavesThePointsUndefined) {
  TallyTable t{};
  EXPECT_FALSE(ObservedPoint(t, 1).has_value()) << "nothing tallied yet";

  TallyBuilder onlyNoise;
  onlyNoise.Add(kNoise, {1, 2, 3, 4});
  RefillResponseTally(onlyNoise.Records(), t);
  for (int p = 1; p <= 3; ++p) EXPECT_FALSE(ObservedPoint(t, p).has_value()) << "point " << p;

  TallyBuilder onlySignal;
  onlySignal.Add(kSignal, {1, 2, 3, 4});
  RefillResponseTally(onlySignal.Records(), t);
  for (int p = 1; p <= 3; ++p) EXPECT_FALSE(ObservedPoint(t, p).has_value()) << "point " << p;

  TallyBuilder both;
  both.Add(kSignal, {1, 0, 0, 0}).Add(kNoise, {0, 0, 0, 1});
  RefillResponseTally(both.Records(), t);
  EXPECT_TRUE(ObservedPoint(t, 1).has_value());
  EXPECT_FALSE(ObservedPoint(t, 0).has_value()) << "only points 1..3 exist";
  EXPECT_FALSE(ObservedPoint(t, 4).has_value()) << "only points 1..3 exist";
}

TEST_F(ResponseTallyTest, ProcessWideRefillReadsTrialResults) {
  TallyBuilder b;
  b.Add(kNoise, {10, 8, 5, 2}).Add(kSignal, {2, 5, 8, 10});
  experiment::State.TrialResults = b.Records();
  EXPECT_FALSE(ObservedPoint(2).has_value()) << "before the first refill";

  RefillResponseTally();
  EXPECT_EQ(Row(State.ResponseTally, 0), (std::array<std::int32_t, 4>{25, 15, 7, 2}));
  EXPECT_EQ(Row(State.ResponseTally, 1), (std::array<std::int32_t, 4>{25, 23, 18, 10}));
  ASSERT_TRUE(ObservedPoint(2).has_value());
  EXPECT_EQ(ObservedPoint(2)->FalseAlarmRate, 0.28L);
  EXPECT_EQ(ObservedPoint(2)->HitRate, 0.72L);
}

}  // namespace
}  // namespace roc
