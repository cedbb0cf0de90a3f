#include "stats/BinormalFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace roc {
namespace {

// Published rating data (five categories) and its maximum-likelihood solution.
TEST(BinormalFitTest, PublishedFiveCategoryExample) {
  const auto fit = FitBinormal({{30, 19, 8, 2, 1}, {5, 6, 5, 12, 22}});
  ASSERT_TRUE(fit.has_value());
  auto near5 = [](double expected) { return std::fabs(expected) * 5e-6; };
  EXPECT_NEAR(fit->a, 1.3204526, near5(1.3204526));
  EXPECT_NEAR(fit->b, 0.6074929, near5(0.6074929));
  ASSERT_EQ(fit->criteria.size(), 4u);
  EXPECT_NEAR(fit->criteria[0], 0.0076805, 2e-6);
  EXPECT_NEAR(fit->criteria[1], 0.8962731, near5(0.8962731));
  EXPECT_NEAR(fit->criteria[2], 1.5156478, near5(1.5156478));
  EXPECT_NEAR(fit->criteria[3], 2.3967221, near5(2.3967221));
  EXPECT_NEAR(fit->az, 0.8704522, near5(0.8704522));
  // Only the observed information gives this standard error.
  EXPECT_NEAR(fit->az_se, 0.0379042, near5(0.0379042));
  EXPECT_NEAR(fit->d, fit->a / fit->b, 1e-12);
  EXPECT_NEAR(fit->d_a, std::sqrt(2.0) * fit->a / std::sqrt(1 + fit->b * fit->b), 1e-12);
  EXPECT_EQ(fit->df, 2);
  ASSERT_TRUE(fit->p.has_value());
  EXPECT_NEAR(*fit->p, std::exp(-fit->chi2 / 2), 1e-12) << "two degrees of freedom";

  // The likelihood of the estimates is the fit's; unordered criteria give none.
  const auto nll = BinormalNegLogLik({{30, 19, 8, 2, 1}, {5, 6, 5, 12, 22}}, *fit);
  ASSERT_TRUE(nll.has_value());
  EXPECT_NEAR(*nll, fit->neg_loglik, 1e-9);
  const std::vector<double> unordered = {0.0, 1.5, 0.9, 2.4};
  EXPECT_FALSE(BinormalNegLogLik({{30, 19, 8, 2, 1}, {5, 6, 5, 12, 22}}, {2, 1.6, unordered}).has_value());
  EXPECT_FALSE(BinormalNegLogLik({{30, 19, 8, 2, 1}, {5, 6, 5, 12, 22}}, {2, -1, fit->criteria}).has_value());
}

TEST(BinormalFitTest, ChiSquareUpperTail) {
  EXPECT_NEAR(ChiSquareUpperTail(3.841458820694124, 1), 0.05, 1e-12);
  EXPECT_NEAR(ChiSquareUpperTail(0.1, 1), 0.7518296340458492, 1e-12);
  EXPECT_NEAR(ChiSquareUpperTail(30, 5), 1.4748581038443e-05, 1e-15);
}

// Counts drawn from known parameters, K = 4: the fit lands near them.
RatingCounts Simulate(double d, double R, const std::vector<double>& c, int perKind, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> normal;
  RatingCounts counts{std::vector<int>(c.size() + 1), std::vector<int>(c.size() + 1)};
  for (int kind = 0; kind < 2; ++kind) {
    for (int i = 0; i < perKind; ++i) {
      const double x = kind == 0 ? normal(gen) : d + R * normal(gen);
      int response = 0;
      while (response < static_cast<int>(c.size()) && x > c[response]) ++response;
      ++(kind == 0 ? counts.noise : counts.signal)[response];
    }
  }
  return counts;
}

TEST(BinormalFitTest, RecoversSimulatedParametersAndMirrorsWhenKindsSwap) {
  const RatingCounts counts = Simulate(1.2, 1.4, {-0.3, 0.6, 1.5}, 20000, 20261208);
  const auto fit = FitBinormal(counts);
  ASSERT_TRUE(fit.has_value());
  EXPECT_NEAR(fit->d, 1.2, 4 * fit->d_se);
  EXPECT_NEAR(fit->R, 1.4, 4 * fit->R_se);
  EXPECT_NEAR(fit->criteria[0], -0.3, 4 * fit->criteria_se[0]);
  EXPECT_NEAR(fit->criteria[1], 0.6, 4 * fit->criteria_se[1]);
  EXPECT_NEAR(fit->criteria[2], 1.5, 4 * fit->criteria_se[2]);
  EXPECT_LT(fit->d_se, 0.05);
  EXPECT_EQ(fit->df, 1);

  // Calling signal noise standardises on the other distribution.
  const auto swapped = FitBinormal({counts.signal, counts.noise});
  ASSERT_TRUE(swapped.has_value());
  EXPECT_NEAR(swapped->d, -fit->d / fit->R, 1e-7);
  EXPECT_NEAR(swapped->R, 1 / fit->R, 1e-7);
  EXPECT_NEAR(swapped->criteria[1], (fit->criteria[1] - fit->d) / fit->R, 1e-7);
  EXPECT_NEAR(swapped->az, 1 - fit->az, 1e-9);
  EXPECT_NEAR(swapped->az_se, fit->az_se, 1e-7);
  EXPECT_NEAR(swapped->neg_loglik, fit->neg_loglik, 1e-7);
  EXPECT_NEAR(swapped->chi2, fit->chi2, 1e-6);
}

// The search starts near the truth on plentiful data of any scale, and from
// finite, ordered criteria even where categories are empty.
TEST(BinormalFitTest, StartingValuesAreNearTheTruthAndAlwaysOrdered) {
  const std::vector<double> truth{-0.8, -0.2, 0.4, 1.0, 1.7};
  const BinormalParameters start = StartingValues(Simulate(1.5, 1.25, truth, 20000, 9));
  ASSERT_EQ(start.criteria.size(), truth.size());
  EXPECT_NEAR(start.d, 1.5, 0.1);
  EXPECT_NEAR(start.R, 1.25, 0.1);
  for (std::size_t j = 0; j < truth.size(); ++j) EXPECT_NEAR(start.criteria[j], truth[j], 0.05) << j;

  const BinormalParameters sparse = StartingValues({{5, 0, 0, 3}, {0, 0, 4, 7}});
  EXPECT_TRUE(std::isfinite(sparse.d) && sparse.R > 0);
  for (std::size_t j = 1; j < sparse.criteria.size(); ++j) EXPECT_LT(sparse.criteria[j - 1], sparse.criteria[j]);
}

TEST(BinormalFitTest, EmptyCellsAloneStillFit) {
  const auto fit = FitBinormal({{10, 8, 5, 0}, {2, 5, 8, 10}});
  ASSERT_TRUE(fit.has_value());
  EXPECT_TRUE(std::isfinite(fit->az) && fit->az > 0.5);
  ASSERT_TRUE(fit->p.has_value());
  EXPECT_TRUE(*fit->p >= 0 && *fit->p <= 1);
}

// Each with what keeps it from a fit.
TEST(BinormalFitTest, DegenerateDataHasNoFit) {
  using enum FitObstacle;
  const std::pair<RatingCounts, FitObstacle> cases[] = {
      {{{25, 0, 0, 0}, {25, 0, 0, 0}}, kCategoryUnused},      // every answer in one category
      {{{20, 5, 0, 0}, {0, 0, 5, 20}}, kKindsSeparated},      // perfectly separated
      {{{20, 5, 0, 0}, {0, 5, 5, 15}}, kKindsSeparated},      // overlapping in one category only
      {{{0, 0, 0, 0}, {5, 5, 5, 10}}, kKindWithoutTrials},    // no noise trials
      {{{10, 8, 0, 2}, {2, 5, 0, 10}}, kCategoryUnused},      // a response nobody used
      {{{0, 25, 0, 0}, {2, 5, 8, 10}}, kKindInOneCategory},   // noise in one category
      {{{9, 8, 5, 3}, {0, 0, 12, 13}}, kKindFitsInTheLimit},  // signal in two neighbouring categories
      {{{9, 8, 5, 3}, {12, 0, 0, 13}}, kKindFitsInTheLimit},  // signal at the two ends only
      {{{9, 8, 5, 3}, {2, 5, 8}}, kSizesDiffer},              // categories that differ in number
      {{{9, 2, 2, 1, 0, 0}, {2, 0, 0, 1, 2, 1}}, kSearchDidNotConverge},  // every rating used, overlapping
  };
  for (const auto& [counts, why] : cases) {
    EXPECT_FALSE(FitBinormal(counts).has_value()) << static_cast<int>(why);
    EXPECT_EQ(WhyNoFit(counts), why) << static_cast<int>(why);
  }
  EXPECT_FALSE(WhyNoFit({{9, 8, 5}, {2, 5, 8}}).has_value());
  // Three categories are the fewest that fit; there are no degrees of freedom left.
  const auto three = FitBinormal({{9, 8, 5}, {2, 5, 8}});
  ASSERT_TRUE(three.has_value());
  EXPECT_EQ(three->df, 0);
  EXPECT_FALSE(three->p.has_value());
}

TEST(BinormalFitTest, CountsOnlyWrittenRecords) {
  experiment::TrialRecords records{};
  records[1] = {11, experiment::kNoise, 2};
  records[2] = {12, experiment::kSignal, 4};
  records[3] = {13, experiment::kSignal, 4};
  const RatingCounts counts = CountRecordedRatings(records);
  EXPECT_EQ(counts.noise, (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(counts.signal, (std::vector<int>{0, 0, 0, 2}));
}

}  // namespace
}  // namespace roc
