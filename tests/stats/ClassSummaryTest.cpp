#include "stats/ClassSummary.h"

#include <gtest/gtest.h>

#include <cmath>

#include "stats/NormalDouble.h"
#include "stats/StudentT.h"

namespace roc {
namespace {

// Published two-sided 95 % points t(0.975, df), and t(0.995, df).
struct Known {
  double p;
  double df;
  double t;
};
class StudentTQuantileTest : public ::testing::TestWithParam<Known> {};

TEST_P(StudentTQuantileTest, MatchesTables) {
  const Known k = GetParam();
  EXPECT_NEAR(StudentTQuantile(k.p, k.df), k.t, 1e-9 * k.t);
  EXPECT_NEAR(StudentTQuantile(1 - k.p, k.df), -k.t, 1e-9 * k.t);
  EXPECT_NEAR(StudentTCdf(k.t, k.df), k.p, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Tables, StudentTQuantileTest,
                         ::testing::Values(Known{0.975, 1, 12.706204736174698}, Known{0.975, 2, 4.302652729749464},
                                           Known{0.975, 4, 2.7764451051977934}, Known{0.975, 8, 2.3060041352041662},
                                           Known{0.975, 29, 2.045229642132703}, Known{0.975, 100, 1.983971518523552},
                                           Known{0.995, 3, 5.840909309733355}, Known{0.975, 10, 2.2281388519649385}));

ClassSession Fitted(const std::string& observer, const std::string& design, double az) {
  BinormalFit fit;
  fit.az = az;
  fit.d_a = 2 * az;
  fit.criteria = {-1, 0, 1};
  return {observer, design, 4, {}, fit};
}

// Az 0.99, 0.80, 0.97: mean 0.92, the t interval of Az [0.661, 1.179]; that
// of z(Az) mapped back through Phi stays below 1.
TEST(SummarizeDesignsTest, AzIntervalStaysWithinZeroAndOne) {
  std::vector<ClassSession> sessions;
  for (double az : {0.99, 0.80, 0.97}) sessions.push_back(Fitted("S", "A", az));
  std::vector<const ClassSession*> all;
  for (ClassSession& s : sessions) all.push_back(&s), s.fit->d_a = std::sqrt(2.0) * NormalDeviate(s.fit->az);
  const std::optional<MeanEstimate> e = SummarizeDesigns(all).at(0).az;
  ASSERT_TRUE(e && e->low);
  EXPECT_NEAR(e->mean, 0.92, 1e-12);
  EXPECT_NEAR(*e->low, 0.4169485909979635, 1e-9);
  EXPECT_NEAR(*e->high, 0.9998252523187021, 1e-9);
}

// Paired when every observer ran both designs: differences -1 -2 -3 -2 -2,
// mean -2, sd sqrt(0.5), t(0.975, 4). Welch when no observer ran both; here
// x = 1..5 against 3..7 gives equal variances and sizes: df = 8, se = 1.
TEST(CompareDesignsTest, PairedWhenObserversRanBothElseWelch) {
  const double first[] = {1, 2, 3, 4, 5};
  const double paired[] = {2, 4, 6, 6, 7};
  const double other[] = {3, 4, 5, 6, 7};
  std::vector<ClassSession> sessions;
  for (int i = 0; i < 5; ++i) sessions.push_back(Fitted("S" + std::to_string(i), "A", first[i]));
  for (int i = 0; i < 5; ++i) sessions.push_back(Fitted("S" + std::to_string(i), "B", paired[i]));
  std::vector<const ClassSession*> all;
  for (const ClassSession& s : sessions) all.push_back(&s);

  const DesignComparison p = CompareDesigns(all, "A", "B");
  ASSERT_TRUE(p.paired);
  EXPECT_EQ(p.pairs, 5);
  ASSERT_TRUE(p.az);
  EXPECT_DOUBLE_EQ(p.az->estimate, -2);
  EXPECT_DOUBLE_EQ(p.az->df, 4);
  EXPECT_NEAR(p.az->high, -2 + 2.7764451051977934 * std::sqrt(0.5 / 5), 1e-12);
  EXPECT_NEAR(p.d_a->estimate, -4, 1e-12);

  for (int i = 0; i < 5; ++i) sessions[5 + i] = Fitted("T" + std::to_string(i), "B", other[i]);
  const DesignComparison w = CompareDesigns(all, "A", "B");
  ASSERT_FALSE(w.paired);
  ASSERT_TRUE(w.az);
  EXPECT_NEAR(w.az->estimate, -2, 1e-12);
  EXPECT_NEAR(w.az->df, 8, 1e-12);
  EXPECT_NEAR(w.az->low, -2 - 2.3060041352041662, 1e-9);
  EXPECT_NEAR(w.az->high, -2 + 2.3060041352041662, 1e-9);
}

// Thirty observers, two unfitted in B, one unnamed session: 28 pairs, each 1
// lower in A; the left-out sessions would pull an unpaired mean far off.
TEST(CompareDesignsTest, PairsTheObserversFittedInBothDesigns) {
  std::vector<ClassSession> sessions{Fitted("", "B", -100)};
  for (int i = 0; i < 30; ++i) {
    sessions.push_back(Fitted("S" + std::to_string(i), "A", i == 7 || i == 21 ? 100 : i));
    sessions.push_back(Fitted("S" + std::to_string(i), "B", i + 1));
    if (i == 7 || i == 21) sessions.back().fit.reset();
  }
  std::vector<const ClassSession*> all;
  for (const ClassSession& s : sessions) all.push_back(&s);
  const DesignComparison c = CompareDesigns(all, "A", "B");
  ASSERT_TRUE(c.paired && c.az);
  EXPECT_EQ(c.pairs, 28);
  EXPECT_EQ(c.leftOut, (std::vector<std::string>{"S21", "S7"}));
  EXPECT_EQ(c.unnamedLeftOut, 1);
  EXPECT_NEAR(c.az->estimate, -1, 1e-12);
}

}  // namespace
}  // namespace roc
