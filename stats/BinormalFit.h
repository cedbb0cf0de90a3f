#pragma once
#include <optional>
#include <vector>

#include "BinormalModel.h"
#include "BinormalParameters.h"
#include "ChiSquare.h"
#include "RatingCounts.h"

namespace roc {

// Maximum-likelihood estimates of the binormal rating model (the parameters
// themselves) with what follows from them. Standard errors come from the
// inverse of the observed information (Hessian of -log L) at the optimum.
struct BinormalFit : BinormalParameters {
  double d_se = 0;
  double R_se = 0;
  std::vector<double> criteria_se;  // the criteria's standard errors
  double a = 0;                     // d / R
  double b = 0;                     // 1 / R
  double az = 0;                    // Phi(a / sqrt(1 + b^2))
  double az_se = 0;                 // delta method
  double d_a = 0;                   // sqrt(2) a / sqrt(1 + b^2)
  double neg_loglik = 0;            // -log L without the multinomial constant
  double chi2 = 0;                  // Pearson, observed against expected counts
  int df = 0;                       // 2 (K - 1) - (K + 1)
  std::optional<double> p;          // upper tail of chi2; empty when df <= 0
};

// Empty when the likelihood has no finite maximum ("degenerate"): fewer than
// 3 categories, sizes that differ, a negative count, a kind without trials, a
// response nobody used, ratings that separate the kinds, a kind answered in
// one category or in two that a vanishing or unbounded spread fits exactly,
// or an optimisation that does not settle on a finite, well-defined optimum.
std::optional<BinormalFit> FitBinormal(const RatingCounts& counts);

// What keeps counts from being fitted, in the order FitBinormal checks.
enum class FitObstacle {
  kTooFewCategories,      // fewer than 3
  kSizesDiffer,           // noise and signal counts of different lengths
  kNegativeCount,
  kKindWithoutTrials,     // no noise or no signal trials
  kCategoryUnused,        // a response neither kind gave
  kKindsSeparated,        // the kinds share at most one category
  kKindInOneCategory,     // a kind answered in one category only
  kKindFitsInTheLimit,    // a kind in two neighbouring or the two outermost categories
  kSearchDidNotConverge,  // the counts pass the checks; the search settles on no finite, well-defined optimum
};
inline constexpr FitObstacle kFitObstacles[] = {
    FitObstacle::kTooFewCategories,  FitObstacle::kSizesDiffer,        FitObstacle::kNegativeCount,
    FitObstacle::kKindWithoutTrials, FitObstacle::kCategoryUnused,     FitObstacle::kKindsSeparated,
    FitObstacle::kKindInOneCategory, FitObstacle::kKindFitsInTheLimit, FitObstacle::kSearchDidNotConverge};

// Why FitBinormal gives no fit for the counts; empty when it gives one.
std::optional<FitObstacle> WhyNoFit(const RatingCounts& counts);

// Where the search starts: criteria from the noise ratings, d and R from a
// line through the signal ratings' normal deviates against them; proportions
// are nudged away from 0 and 1 so that every deviate is finite and the
// criteria are ordered. For counts of K >= 2 categories.
BinormalParameters StartingValues(const RatingCounts& counts);

}  // namespace roc
