#include "BinormalFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "StandardNormal.h"

namespace roc {

namespace {

constexpr double kInvSqrt2 = 0.70710678118654752440;
constexpr double kInvSqrt2Pi = 0.39894228040143267794;
constexpr double kInf = std::numeric_limits<double>::infinity();

double NormalDensity(double z) { return kInvSqrt2Pi * std::exp(-0.5 * z * z); }

// P(lo < Z <= hi) for a standard normal Z and lo <= hi, from whichever tail
// keeps the difference accurate.
double Between(double lo, double hi) {
  if (lo > 0) return 0.5 * (std::erfc(lo * kInvSqrt2) - std::erfc(hi * kInvSqrt2));
  return 0.5 * (std::erfc(-hi * kInvSqrt2) - std::erfc(-lo * kInvSqrt2));
}

int Total(const std::vector<int>& row) {
  int total = 0;
  for (int n : row) total += n;
  return total;
}

// Whether a kind's answers can be matched exactly by a limit of the model (one
// category; two neighbours, by a vanishing spread; the two outermost, by an
// unbounded one): then the likelihood has no maximum.
bool KindFitsExactlyInTheLimit(const std::vector<int>& row) {
  std::vector<int> used;
  for (int k = 0; k < static_cast<int>(row.size()); ++k) {
    if (row[k] > 0) used.push_back(k);
  }
  if (used.size() <= 1) return true;
  if (used.size() > 2) return false;
  return used[1] == used[0] + 1 || (used[0] == 0 && used[1] == static_cast<int>(row.size()) - 1);
}

// The checks that rule out a finite maximum before any search.
bool HasFiniteMaximumCandidate(const RatingCounts& c) {
  const int K = static_cast<int>(c.noise.size());
  if (K < 3 || static_cast<int>(c.signal.size()) != K) return false;
  int lowNoise = K, highNoise = -1, lowSignal = K, highSignal = -1;
  for (int k = 0; k < K; ++k) {
    if (c.noise[k] < 0 || c.signal[k] < 0 || c.noise[k] + c.signal[k] == 0) return false;
    if (c.noise[k] > 0) lowNoise = std::min(lowNoise, k), highNoise = k;
    if (c.signal[k] > 0) lowSignal = std::min(lowSignal, k), highSignal = k;
  }
  // Kinds that overlap in at most one category are separated: the shared
  // category can absorb the tails of both.
  if (highNoise <= lowSignal || highSignal <= lowNoise) return false;
  return !KindFitsExactlyInTheLimit(c.noise) && !KindFitsExactlyInTheLimit(c.signal);
}

// Parameters in the reported order: d, R, c1 .. c(K-1).
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

// -log L with its gradient, its Hessian (the observed information) and the
// expected information, all in the parameters d, R, c1 .. c(K-1).
class Likelihood {
  const RatingCounts& counts_;
  int K_, n_;

 public:
  explicit Likelihood(const RatingCounts& counts)
      : counts_(counts), K_(static_cast<int>(counts.noise.size())), n_(K_ + 1),
        grad(n_), hess(n_ * n_), info(n_ * n_), z_(K_ + 1), dF_((K_ + 1) * n_), d2F_((K_ + 1) * n_ * n_), dP_(n_) {}

  // False when a used cell gets no probability.
  bool Evaluate(const std::vector<double>& theta) {
    nll = 0;
    std::fill(grad.begin(), grad.end(), 0.0);
    std::fill(hess.begin(), hess.end(), 0.0);
    std::fill(info.begin(), info.end(), 0.0);
    const double d = theta[0], R = theta[1];
    for (int kind = 0; kind < 2; ++kind) {
      const std::vector<int>& row = kind == 0 ? counts_.noise : counts_.signal;
      const double total = Total(row);
      z_[0] = -kInf;
      z_[K_] = kInf;
      for (int j = 1; j < K_; ++j) BoundaryDerivatives(kind, j, theta[1 + j], d, R);
      for (int k = 1; k <= K_; ++k) {
        const double P = Between(z_[k - 1], z_[k]);
        const int observed = row[k - 1];
        if (observed > 0 && !(P > 0)) return false;
        if (!(P > 0)) continue;
        const double* g1 = &dF_[k * n_];
        const double* g0 = &dF_[(k - 1) * n_];
        const double* h1 = &d2F_[k * n_ * n_];
        const double* h0 = &d2F_[(k - 1) * n_ * n_];
        for (int a = 0; a < n_; ++a) dP_[a] = g1[a] - g0[a];
        if (observed > 0) nll -= observed * std::log(P);
        for (int a = 0; a < n_; ++a) {
          grad[a] -= observed * dP_[a] / P;
          for (int b = 0; b < n_; ++b) {
            const double outer = dP_[a] * dP_[b] / P;
            hess[a * n_ + b] -= observed * ((h1[a * n_ + b] - h0[a * n_ + b]) - outer) / P;
            info[a * n_ + b] += total * outer;
          }
        }
      }
    }
    return true;
  }

  double nll = 0;
  std::vector<double> grad, hess, info;

 private:
  // z of boundary j, and the first and second derivatives of Phi(z) there.
  void BoundaryDerivatives(int kind, int j, double c, double d, double R) {
    double* g = &dF_[j * n_];
    double* h = &d2F_[j * n_ * n_];
    std::fill(g, g + n_, 0.0);
    std::fill(h, h + n_ * n_, 0.0);
    const int ic = 1 + j;
    if (kind == 0) {
      const double f = NormalDensity(c);
      z_[j] = c;
      g[ic] = f;
      h[ic * n_ + ic] = -c * f;
      return;
    }
    const double z = (c - d) / R;
    const double f = NormalDensity(z);
    z_[j] = z;
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

  std::vector<double> z_, dF_, d2F_, dP_;
};

// In-place Cholesky factor (lower triangle) of a symmetric n x n matrix;
// false when it is not positive definite.
bool Cholesky(std::vector<double>& m, int n) {
  for (int j = 0; j < n; ++j) {
    double s = m[j * n + j];
    for (int k = 0; k < j; ++k) s -= m[j * n + k] * m[j * n + k];
    if (!(s > 0) || !std::isfinite(s)) return false;
    const double l = std::sqrt(s);
    m[j * n + j] = l;
    for (int i = j + 1; i < n; ++i) {
      double t = m[i * n + j];
      for (int k = 0; k < j; ++k) t -= m[i * n + k] * m[j * n + k];
      m[i * n + j] = t / l;
    }
  }
  return true;
}

// Solves L L^T x = b in place.
void CholeskySolve(const std::vector<double>& l, int n, std::vector<double>& b) {
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < i; ++k) b[i] -= l[i * n + k] * b[k];
    b[i] /= l[i * n + i];
  }
  for (int i = n - 1; i >= 0; --i) {
    for (int k = i + 1; k < n; ++k) b[i] -= l[k * n + i] * b[k];
    b[i] /= l[i * n + i];
  }
}

// Criteria from the noise ratings, d and R from a line through the signal
// ratings' normal deviates against them; proportions are nudged away from 0
// and 1 so that every deviate is finite and the criteria are ordered.
std::vector<double> StartingValues(const RatingCounts& counts) {
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
  std::vector<double> theta{a / b, 1 / b};
  theta.insert(theta.end(), c.begin(), c.end());
  return theta;
}

double RegularizedUpperGamma(double a, double x) {
  if (x <= 0) return 1;
  const double prefix = std::exp(a * std::log(x) - x - std::lgamma(a));
  if (x < a + 1) {
    // Series for the lower part.
    double term = 1 / a, sum = term;
    for (int i = 1; i < 1000 && std::fabs(term) > std::fabs(sum) * 1e-17; ++i) {
      term *= x / (a + i);
      sum += term;
    }
    return std::clamp(1 - sum * prefix, 0.0, 1.0);
  }
  // Continued fraction (modified Lentz).
  constexpr double kTiny = 1e-300;
  double b = x + 1 - a, c = 1 / kTiny, d = 1 / b, h = d;
  for (int i = 1; i < 1000; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = b + an / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const double delta = d * c;
    h *= delta;
    if (std::fabs(delta - 1) < 1e-16) break;
  }
  return std::clamp(prefix * h, 0.0, 1.0);
}

}  // namespace

double ChiSquareUpperTail(double x, int df) { return RegularizedUpperGamma(0.5 * df, 0.5 * x); }

RatingCounts CountRecordedRatings(const experiment::TrialRecords& records) {
  RatingCounts counts{std::vector<int>(4, 0), std::vector<int>(4, 0)};
  for (const experiment::TrialRecord& r : records) {
    if (r.Response < 1 || r.Response > 4 || r.Stimulus > experiment::kSignal) continue;
    (r.Stimulus == experiment::kNoise ? counts.noise : counts.signal)[r.Response - 1] += 1;
  }
  return counts;
}

std::optional<double> BinormalNegLogLik(const RatingCounts& counts, double d, double R,
                                        std::span<const double> criteria) {
  const std::size_t K = counts.noise.size();
  if (K < 2 || counts.signal.size() != K || criteria.size() != K - 1) return std::nullopt;
  if (!std::isfinite(d) || !std::isfinite(R) || !(R > 0)) return std::nullopt;
  for (double c : criteria) {
    if (!std::isfinite(c)) return std::nullopt;
  }
  double nll = 0;
  for (int kind = 0; kind < 2; ++kind) {
    const std::vector<int>& row = kind == 0 ? counts.noise : counts.signal;
    double lo = -kInf;
    for (std::size_t k = 0; k < K; ++k) {
      const double hi = k + 1 < K ? (kind == 0 ? criteria[k] : (criteria[k] - d) / R) : kInf;
      if (row[k] > 0) {
        const double P = lo <= hi ? Between(lo, hi) : 0.0;
        if (!(P > 0)) return std::nullopt;
        nll -= row[k] * std::log(P);
      }
      lo = hi;
    }
  }
  if (!std::isfinite(nll)) return std::nullopt;
  return nll;
}

std::optional<BinormalFit> FitBinormal(const RatingCounts& counts) {
  if (!HasFiniteMaximumCandidate(counts)) return std::nullopt;
  const int K = static_cast<int>(counts.noise.size());
  const int n = K + 1;
  std::vector<double> theta = StartingValues(counts);
  Likelihood like(counts);
  if (!Admissible(theta) || !like.Evaluate(theta)) return std::nullopt;

  // Newton steps while the observed information is positive definite, Fisher
  // scoring otherwise; each step halved until it keeps the parameters
  // admissible and does not raise -log L.
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
      const auto value = BinormalNegLogLik(counts, trial[0], trial[1], std::span(trial).subspan(2));
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

  // Covariance: the inverse of the observed information.
  l = like.hess;
  if (!Cholesky(l, n)) return std::nullopt;
  std::vector<double> cov(n * n);
  for (int col = 0; col < n; ++col) {
    std::fill(step.begin(), step.end(), 0.0);
    step[col] = 1;
    CholeskySolve(l, n, step);
    for (int row = 0; row < n; ++row) cov[row * n + col] = step[row];
  }

  BinormalFit fit;
  fit.d = theta[0];
  fit.R = theta[1];
  fit.d_se = std::sqrt(cov[0]);
  fit.R_se = std::sqrt(cov[n + 1]);
  for (int j = 2; j < n; ++j) {
    fit.criteria.push_back(theta[j]);
    fit.criteria_se.push_back(std::sqrt(cov[j * n + j]));
  }
  fit.a = fit.d / fit.R;
  fit.b = 1 / fit.R;
  const double s = std::sqrt(1 + fit.R * fit.R);
  const double u = fit.d / s;
  fit.az = StandardNormalCdf(u);
  const double gd = NormalDensity(u) / s;
  const double gR = -NormalDensity(u) * fit.d * fit.R / (s * s * s);
  fit.az_se = std::sqrt(std::max(0.0, gd * gd * cov[0] + 2 * gd * gR * cov[1] + gR * gR * cov[n + 1]));
  fit.d_a = std::sqrt(2.0) * u;
  fit.neg_loglik = like.nll;

  // Pearson chi-square over all 2K cells.
  for (int kind = 0; kind < 2; ++kind) {
    const std::vector<int>& row = kind == 0 ? counts.noise : counts.signal;
    const double total = Total(row);
    double lo = -kInf;
    for (int k = 0; k < K; ++k) {
      const double hi = k + 1 < K ? (kind == 0 ? theta[2 + k] : (theta[2 + k] - fit.d) / fit.R) : kInf;
      const double expected = total * Between(lo, hi);
      if (expected > 0) fit.chi2 += (row[k] - expected) * (row[k] - expected) / expected;
      lo = hi;
    }
  }
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

}  // namespace roc
