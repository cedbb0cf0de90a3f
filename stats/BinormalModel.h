#pragma once
#include <optional>
#include <vector>

#include "BinormalParameters.h"
#include "RatingCounts.h"
#include "experiment/TrialRecord.h"

namespace roc {

// The probabilities of the K categories for a trial of the given kind: for
// noise the observation is N(0, 1), for signal N(d, R^2), and category k lies
// between criteria c(k-1) and ck (c0 = -infinity, cK = +infinity). A category
// whose criteria are out of order gets 0.
std::vector<double> CategoryProbabilities(const BinormalParameters& m, experiment::StimulusKind kind);

// -log L (without the multinomial constant) of the parameters, for
// criteria.size() == K - 1. Empty when the parameters are not finite, R <= 0,
// the sizes do not match, or a used cell gets a probability <= 0 (which is
// what unordered criteria give).
std::optional<double> BinormalNegLogLik(const RatingCounts& counts, const BinormalParameters& m);

// Pearson's chi-square of the counts against the counts the parameters expect.
double PearsonChiSquare(const RatingCounts& counts, const BinormalParameters& m);

// -log L with its gradient, its Hessian (the observed information) and the
// expected information, all in the parameter vector d, R, c1 .. c(K-1).
class BinormalLikelihood {
 public:
  explicit BinormalLikelihood(const RatingCounts& counts);

  // False when a used cell gets no probability.
  bool Evaluate(const std::vector<double>& theta);

  double nll = 0;
  std::vector<double> grad, hess, info;

 private:
  void BoundaryDerivatives(int kind, int j, double c, double d, double R);

  const RatingCounts& counts_;
  int K_, n_;
  std::vector<double> dF_, d2F_, dP_;
};

}  // namespace roc
