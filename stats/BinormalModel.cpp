#include "BinormalModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "NormalDouble.h"

namespace roc {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// The upper bound of category k + 1 on the kind's own standard scale.
double Bound(const BinormalParameters& m, experiment::StimulusKind kind, std::size_t k) {
  if (k >= m.criteria.size()) return kInf;
  return kind == experiment::kNoise ? m.criteria[k] : (m.criteria[k] - m.d) / m.R;
}

}  // namespace

std::vector<double> CategoryProbabilities(const BinormalParameters& m, experiment::StimulusKind kind) {
  const std::size_t K = m.criteria.size() + 1;
  std::vector<double> P(K);
  double lo = -kInf;
  for (std::size_t k = 0; k < K; ++k) {
    const double hi = Bound(m, kind, k);
    P[k] = lo <= hi ? NormalBetween(lo, hi) : 0.0;
    lo = hi;
  }
  return P;
}

std::optional<double> BinormalNegLogLik(const RatingCounts& counts, const BinormalParameters& m) {
  const std::size_t K = counts.noise.size();
  if (K < 2 || counts.signal.size() != K || m.criteria.size() != K - 1) return std::nullopt;
  if (!std::isfinite(m.d) || !std::isfinite(m.R) || !(m.R > 0)) return std::nullopt;
  for (double c : m.criteria) {
    if (!std::isfinite(c)) return std::nullopt;
  }
  double nll = 0;
  for (experiment::StimulusKind kind : {experiment::kNoise, experiment::kSignal}) {
    const std::vector<int>& row = kind == experiment::kNoise ? counts.noise : counts.signal;
    const std::vector<double> P = CategoryProbabilities(m, kind);
    for (std::size_t k = 0; k < K; ++k) {
      if (row[k] == 0) continue;
      if (!(P[k] > 0)) return std::nullopt;
      nll -= row[k] * std::log(P[k]);
    }
  }
  if (!std::isfinite(nll)) return std::nullopt;
  return nll;
}

double PearsonChiSquare(const RatingCounts& counts, const BinormalParameters& m) {
  double chi2 = 0;
  for (experiment::StimulusKind kind : {experiment::kNoise, experiment::kSignal}) {
    const std::vector<int>& row = kind == experiment::kNoise ? counts.noise : counts.signal;
    const double total = Total(row);
    const std::vector<double> P = CategoryProbabilities(m, kind);
    for (std::size_t k = 0; k < row.size(); ++k) {
      const double expected = total * P[k];
      if (expected > 0) chi2 += (row[k] - expected) * (row[k] - expected) / expected;
    }
  }
  return chi2;
}

BinormalLikelihood::BinormalLikelihood(const RatingCounts& counts)
    : grad(counts.noise.size() + 1), hess((counts.noise.size() + 1) * (counts.noise.size() + 1)), info(hess.size()),
      counts_(counts), K_(static_cast<int>(counts.noise.size())), n_(K_ + 1), dF_((K_ + 1) * n_),
      d2F_((K_ + 1) * n_ * n_), dP_(n_) {}

bool BinormalLikelihood::Evaluate(const std::vector<double>& theta) {
  nll = 0;
  std::fill(grad.begin(), grad.end(), 0.0);
  std::fill(hess.begin(), hess.end(), 0.0);
  std::fill(info.begin(), info.end(), 0.0);
  const BinormalParameters m = BinormalParameters::FromVector(theta);
  for (int kind = 0; kind < 2; ++kind) {
    const std::vector<int>& row = kind == 0 ? counts_.noise : counts_.signal;
    const double total = Total(row);
    for (int j = 1; j < K_; ++j) BoundaryDerivatives(kind, j, theta[1 + j], m.d, m.R);
    const std::vector<double> P = CategoryProbabilities(m, static_cast<experiment::StimulusKind>(kind));
    for (int k = 1; k <= K_; ++k) {
      const double p = P[k - 1];
      const int observed = row[k - 1];
      if (observed > 0 && !(p > 0)) return false;
      if (!(p > 0)) continue;
      const double* g1 = &dF_[k * n_];
      const double* g0 = &dF_[(k - 1) * n_];
      const double* h1 = &d2F_[k * n_ * n_];
      const double* h0 = &d2F_[(k - 1) * n_ * n_];
      for (int a = 0; a < n_; ++a) dP_[a] = g1[a] - g0[a];
      if (observed > 0) nll -= observed * std::log(p);
      for (int a = 0; a < n_; ++a) {
        grad[a] -= observed * dP_[a] / p;
        for (int b = 0; b < n_; ++b) {
          const double outer = dP_[a] * dP_[b] / p;
          hess[a * n_ + b] -= observed * ((h1[a * n_ + b] - h0[a * n_ + b]) - outer) / p;
          info[a * n_ + b] += total * outer;
        }
      }
    }
  }
  return true;
}

// The first and second derivatives of Phi(z) there.
void BinormalLikelihood::BoundaryDerivatives(int kind, int j, double c, double d, double R) {
  double* g = &dF_[j * n_];
  double* h = &d2F_[j * n_ * n_];
  std::fill(g, g + n_, 0.0);
  std::fill(h, h + n_ * n_, 0.0);
  const int ic = 1 + j;
  if (kind == 0) {
    const double f = NormalDensity(c);
    g[ic] = f;
    h[ic * n_ + ic] = -c * f;
    return;
  }
  const double z = (c - d) / R;
  const double f = NormalDensity(z);
  const int idx[3] = {0, 1, ic};
  const double dz[3] = {-1 / R, -z / R, 1 / R};
  for (int a = 0; a < 3; ++a) {
    g[idx[a]] = f * dz[a];
    for (int b = 0; b < 3; ++b) h[idx[a] * n_ + idx[b]] = -f * z * dz[a] * dz[b];
  }
  const double r2 = R * R;
  h[0 * n_ + 1] += f / r2;
  h[1 * n_ + 0] += f / r2;
  h[1 * n_ + 1] += f * 2 * z / r2;
  h[ic * n_ + 1] -= f / r2;
  h[1 * n_ + ic] -= f / r2;
}

}  // namespace roc
