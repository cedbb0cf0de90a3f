#pragma once
#include <optional>
#include <string>
#include <vector>

#include "BinormalFit.h"
#include "RatingCounts.h"

namespace roc {

// What the class statistics need of one session: who ran which design on
// which scale, the counts of its recorded trials and their fit (empty when
// degenerate).
struct ClassSession {
  std::string observer;
  std::string design;
  int categories = 0;  // K
  RatingCounts counts;
  std::optional<BinormalFit> fit;
};

// A mean over sessions with its sample standard deviation (n - 1) and the
// 95 % interval mean ± t(0.975, n - 1) sd / sqrt(n); sd and the interval are
// empty for fewer than 2 values.
struct MeanEstimate {
  int n = 0;
  double mean = 0;
  std::optional<double> sd;
  std::optional<double> low, high;
};
std::optional<MeanEstimate> Estimate(const std::vector<double>& values);

// One design of the class.
struct DesignSummary {
  std::string design;
  int sessions = 0;
  int fitted = 0;      // sessions whose fit is ok
  int degenerate = 0;  // the rest
  long long recorded = 0;
  // Sessions on different rating scales: nothing that needs one scale (the
  // pooled fit, the mean criteria) is computed.
  bool mixedScales = false;
  int categories = 0;        // K of the sessions, when they agree
  RatingCounts pooledCounts;  // summed over every session; empty with mixed scales
  std::optional<BinormalFit> pooled;  // the fit of the summed counts
  // Over the fitted sessions (empty when none): a = d / R, b = 1 / R, Az, d_a.
  // Az's interval is not mean ± t sd / sqrt(n) of the Az values, which can
  // leave [0, 1]: it is that interval of z(Az) = d_a / sqrt(2) mapped back
  // through Phi; its mean stays the mean of the Az values.
  std::optional<MeanEstimate> a, b, az, d_a;
  std::vector<double> meanCriteria;  // c1 .. c(K-1); empty with mixed scales or none fitted
};

// The designs in order of their first session.
std::vector<DesignSummary> SummarizeDesigns(const std::vector<const ClassSession*>& sessions);

// A difference of means (first design minus second) with its 95 % interval.
struct MeanDifference {
  double estimate = 0;
  double low = 0, high = 0;
  double df = 0;  // of the t quantile
};

// Two designs compared on their fitted sessions. Paired by observer over the
// named observers with a fitted session in both designs (an observer's
// several sessions of a design count as their mean) when there are at least
// two of them; the other fitted sessions are left out. With fewer than two
// pairs, Welch's test over every fitted session with the Welch–Satterthwaite
// degrees of freedom. A difference is empty when there is too little to
// estimate it (fewer than two sessions on a side, no spread at all).
struct DesignComparison {
  std::string first, second;
  bool paired = false;
  int pairs = 0;                // paired: the observers
  int nFirst = 0, nSecond = 0;  // fitted sessions
  // Paired: the observers with a fitted session in one design only, in order
  // of name, and the fitted sessions that name no observer.
  std::vector<std::string> leftOut;
  int unnamedLeftOut = 0;
  std::optional<MeanDifference> az, d_a;
};
DesignComparison CompareDesigns(const std::vector<const ClassSession*>& sessions, const std::string& first,
                                const std::string& second);

}  // namespace roc
