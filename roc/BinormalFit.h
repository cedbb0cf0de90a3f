#pragma once
#include <optional>
#include <span>
#include <vector>

#include "experiment/ExperimentState.h"

namespace roc {

// Rating counts of one observer: noise[k] and signal[k] are the numbers of
// noise and signal trials answered k + 1. Both have the same size K, the
// number of rating categories.
struct RatingCounts {
  std::vector<int> noise;
  std::vector<int> signal;
};

// The counts (K = 4) of the recorded trials: each record with a response 1..4
// adds one; records never written (response 0) are skipped.
RatingCounts CountRecordedRatings(const experiment::TrialRecords& records);

// Maximum-likelihood estimates of the binormal rating model: noise N(0, 1),
// signal N(d, R^2), criteria c1 < ... < c(K-1); a trial is answered 1 + the
// number of criteria below its observation. Standard errors come from the
// inverse of the observed information (Hessian of -log L) at the optimum.
struct BinormalFit {
  double d = 0;
  double d_se = 0;
  double R = 0;
  double R_se = 0;
  std::vector<double> criteria;     // c1 .. c(K-1)
  std::vector<double> criteria_se;  // their standard errors
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

// -log L (without the multinomial constant) of the given parameters, for
// criteria.size() == K - 1. Empty when the parameters are not finite, R <= 0,
// the sizes do not match, or a used cell gets a probability <= 0 (which is
// what unordered criteria give).
std::optional<double> BinormalNegLogLik(const RatingCounts& counts, double d, double R,
                                        std::span<const double> criteria);

// The upper tail Q(df / 2, x / 2) of the chi-square distribution, df >= 1, x >= 0.
double ChiSquareUpperTail(double x, int df);

}  // namespace roc
