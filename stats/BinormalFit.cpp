#include "BinormalFit.h"

#include <algorithm>
#include <cmath>

#include "LinearAlgebra.h"
#include "NormalDouble.h"

namespace roc {

namespace {

// Whether a kind's answers can be matched exactly by a limit of the model (one
// category; two neighbours, by a vanishing spread; the two outermost, by an
// unbounded one): then the likelihood has no maximum.
std::optional<FitObstacle> KindFitsExactlyInTheLimit(const std::vector<int>& row) {
  std::vector<int> used;
  for (int k = 0; k < static_cast<int>(row.size()); ++k) {
    if (row[k] > 0) used.push_back(k);
  }
  if (used.size() <= 1) return FitObstacle::kKindInOneCategory;
  if (used.size() > 2) return std::nullopt;
  if (used[1] == used[0] + 1 || (used[0] == 0 && used[1] == static_cast<int>(row.size()) - 1))
    return FitObstacle::kKindFitsInTheLimit;
  return std::nullopt;
}

// The checks that rule out a finite maximum before any search: the first
// that fails, empty when all pass.
std::optional<FitObstacle> ObstacleBeforeSearch(const RatingCounts& c) {
  const int K = static_cast<int>(c.noise.size());
  if (K < 3) return FitObstacle::kTooFewCategories;
  if (static_cast<int>(c.signal.size()) != K) return FitObstacle::kSizesDiffer;
  for (int k = 0; k < K; ++k) {
    if (c.noise[k] < 0 || c.signal[k] < 0) return FitObstacle::kNegativeCount;
  }
  if (Total(c.noise) == 0 || Total(c.signal) == 0) return FitObstacle::kKindWithoutTrials;
  int lowNoise = K, highNoise = -1, lowSignal = K, highSignal = -1;
  for (int k = 0; k < K; ++k) {
    if (c.noise[k] + c.signal[k] == 0) return FitObstacle::kCategoryUnused;
    if (c.noise[k] > 0) lowNoise = std::min(lowNoise, k), highNoise = k;
    if (c.signal[k] > 0) lowSignal = std::min(lowSignal, k), highSignal = k;
  }
  // Kinds that overlap in at most one category are separated: the shared
  // category can absorb the tails of both.
  if (highNoise <= lowSignal || highSignal <= lowNoise) return FitObstacle::kKindsSeparated;
  if (auto noise = KindFitsExactlyInTheLimit(c.noise)) return noise;
  return KindFitsExactlyInTheLimit(c.signal);
}

// Parameters in the vector order: d, R, c1 .. c(K-1).
bool Admissible(const std::vector<double>& theta) {
  for (double v : theta) {
    if (!std::isfinite(v)) return false;
  }
  if (theta[1] <= 0) return false;
  for (std::size_t j = 3; j < theta.size(); ++j) {
    if (!(theta[j] > theta[j - 1])) return false;
  }
  return true;
}

// Beyond these the normal tails underflow: a search that gets there is
// following a likelihood that rises towards infinity.
bool WithinBounds(const std::vector<double>& theta) {
  if (theta[1] < 0.01 || theta[1] > 100) return false;
  return std::all_of(theta.begin(), theta.end(), [](double v) { return std::fabs(v) <= 30; });
}

// Newton steps while the observed information is positive definite, Fisher
// scoring otherwise; each step halved until it keeps the parameters
// admissible and does not raise -log L. The optimum, with the likelihood
// evaluated there; empty when the search does not settle on a finite one.
std::optional<std::vector<double>> Solve(const RatingCounts& counts, BinormalLikelihood& like) {
  std::vector<double> theta = StartingValues(counts).ToVector();
  const int n = static_cast<int>(theta.size());
  if (!Admissible(theta) || !like.Evaluate(theta)) return std::nullopt;
  std::vector<double> l(n * n), step(n), trial(n);
  bool converged = false;
  for (int iteration = 0; iteration < 100 && !converged; ++iteration) {
    l = like.hess;
    if (!Cholesky(l, n)) {
      l = like.info;
      if (!Cholesky(l, n)) return std::nullopt;
    }
    for (int i = 0; i < n; ++i) step[i] = -like.grad[i];
    CholeskySolve(l, n, step);
    double decrement = 0;
    for (int i = 0; i < n; ++i) decrement -= like.grad[i] * step[i];
    if (!(decrement >= 0)) return std::nullopt;
    if (decrement < 1e-20) {
      converged = true;
      break;
    }
    const double allowed = like.nll + 1e-13 * (1 + std::fabs(like.nll));
    bool accepted = false;
    for (double t = 1; t > 1e-12 && !accepted; t *= 0.5) {
      for (int i = 0; i < n; ++i) trial[i] = theta[i] + t * step[i];
      if (!Admissible(trial)) continue;
      const auto value = BinormalNegLogLik(counts, BinormalParameters::FromVector(trial));
      accepted = value && *value <= allowed;
    }
    if (!accepted) {
      // Rounding stops the descent: only acceptable at the optimum itself.
      converged = decrement < 1e-10;
      break;
    }
    theta = trial;
    if (!WithinBounds(theta) || !like.Evaluate(theta)) return std::nullopt;
  }
  if (!converged || !WithinBounds(theta)) return std::nullopt;
  return theta;
}

// The covariance of the estimates: the inverse of the observed information.
std::optional<std::vector<double>> Covariance(const BinormalLikelihood& like, int n) {
  std::vector<double> l = like.hess;
  if (!Cholesky(l, n)) return std::nullopt;
  return CholeskyInverse(l, n);
}

// The estimates with their standard errors, the summary indices and the fit's
// goodness; empty when any of them is not finite.
std::optional<BinormalFit> Summary(const RatingCounts& counts, const std::vector<double>& theta,
                                   const std::vector<double>& cov, double negLogLik) {
  const int n = static_cast<int>(theta.size());
  const int K = n - 1;
  BinormalFit fit;
  static_cast<BinormalParameters&>(fit) = BinormalParameters::FromVector(theta);
  fit.d_se = std::sqrt(cov[0]);
  fit.R_se = std::sqrt(cov[n + 1]);
  for (int j = 2; j < n; ++j) fit.criteria_se.push_back(std::sqrt(cov[j * n + j]));
  fit.a = fit.d / fit.R;
  fit.b = 1 / fit.R;
  const double s = std::sqrt(1 + fit.R * fit.R);
  const double u = fit.d / s;
  fit.az = StandardNormalCdf(u);
  const double gd = NormalDensity(u) / s;
  const double gR = -NormalDensity(u) * fit.d * fit.R / (s * s * s);
  fit.az_se = std::sqrt(std::max(0.0, gd * gd * cov[0] + 2 * gd * gR * cov[1] + gR * gR * cov[n + 1]));
  fit.d_a = std::sqrt(2.0) * u;
  fit.neg_loglik = negLogLik;
  fit.chi2 = PearsonChiSquare(counts, fit);
  fit.df = 2 * (K - 1) - (K + 1);
  if (fit.df > 0) fit.p = ChiSquareUpperTail(fit.chi2, fit.df);

  for (double v : {fit.d_se, fit.R_se, fit.az_se, fit.chi2, fit.neg_loglik}) {
    if (!std::isfinite(v)) return std::nullopt;
  }
  for (double v : fit.criteria_se) {
    if (!std::isfinite(v)) return std::nullopt;
  }
  return fit;
}

}  // namespace

BinormalParameters StartingValues(const RatingCounts& counts) {
  const int K = static_cast<int>(counts.noise.size());
  const double noiseTotal = Total(counts.noise), signalTotal = Total(counts.signal);
  std::vector<double> c(K - 1), y(K - 1);
  double cumNoise = 0, cumSignal = 0, meanC = 0, meanY = 0;
  for (int j = 1; j < K; ++j) {
    cumNoise += counts.noise[j - 1];
    cumSignal += counts.signal[j - 1];
    c[j - 1] = NormalDeviate((cumNoise + static_cast<double>(j) / K) / (noiseTotal + 1));
    y[j - 1] = NormalDeviate((cumSignal + static_cast<double>(j) / K) / (signalTotal + 1));
    meanC += c[j - 1] / (K - 1);
    meanY += y[j - 1] / (K - 1);
  }
  double sxy = 0, sxx = 0;
  for (int j = 0; j < K - 1; ++j) {
    sxy += (c[j] - meanC) * (y[j] - meanY);
    sxx += (c[j] - meanC) * (c[j] - meanC);
  }
  const double b = std::clamp(sxx > 0 ? sxy / sxx : 1.0, 0.2, 5.0);  // y = b c - a
  const double a = b * meanC - meanY;
  return {a / b, 1 / b, c};
}

std::optional<BinormalFit> FitBinormal(const RatingCounts& counts) {
  if (ObstacleBeforeSearch(counts)) return std::nullopt;
  BinormalLikelihood like(counts);
  const std::optional<std::vector<double>> theta = Solve(counts, like);
  if (!theta) return std::nullopt;
  const int n = static_cast<int>(theta->size());
  const std::optional<std::vector<double>> cov = Covariance(like, n);
  if (!cov) return std::nullopt;
  return Summary(counts, *theta, *cov, like.nll);
}

std::optional<FitObstacle> WhyNoFit(const RatingCounts& counts) {
  if (const std::optional<FitObstacle> obstacle = ObstacleBeforeSearch(counts)) return obstacle;
  if (FitBinormal(counts)) return std::nullopt;
  return FitObstacle::kSearchDidNotConverge;
}

}  // namespace roc
