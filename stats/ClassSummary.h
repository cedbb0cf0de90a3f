#pragma once
#include <optional>
#include <string>
#include <vector>

#include "BinormalFit.h"
#include "RatingCounts.h"

namespace roc {

// What the class statistics need of one session: who ran which design on
// which scale, the counts of its recorded trials and their fit (empty when
// degenerate), and how many recorded trials its design has.
struct ClassSession {
  std::string observer;
  std::string design;
  int categories = 0;  // K
  RatingCounts counts;
  std::optional<BinormalFit> fit;
  int designRecorded = 0;  // as the session's rows say; 0 when they do not
  int expected = 0;        // set by MarkIncomplete: the recorded trials of a whole run

  // A run broken off: fewer recorded trials than its design has.
  bool Incomplete() const { return Total(counts.noise) + Total(counts.signal) < expected; }
};

// Sets each session's expected recorded trials: its design's as its rows say,
// or, where they say none, the most recorded by a session of its design.
void MarkIncomplete(const std::vector<ClassSession*>& sessions);

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

// One design of the class: every number over its sessions but the
// incomplete ones, unless they are included.
struct DesignSummary {
  std::string design;
  int sessions = 0;
  int fitted = 0;      // sessions whose fit is ok
  int degenerate = 0;  // the rest
  int incomplete = 0;  // of the design's sessions, whether included or not
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

// The designs in order of their first session; a design whose sessions are
// all left out has its counts of them only.
std::vector<DesignSummary> SummarizeDesigns(const std::vector<const ClassSession*>& sessions,
                                            bool withIncomplete = false);

// A difference of means (first design minus second) with its 95 % interval.
struct MeanDifference {
  double estimate = 0;
  double low = 0, high = 0;
  double df = 0;  // of the t quantile
};

// Two designs compared on their fitted sessions, the incomplete ones left out
// unless included. Paired by observer over the named observers with a fitted
// session in both designs (an observer's several sessions of a design count
// as their mean) when there are at least two of them; the other fitted
// sessions are left out. With fewer than two
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
                                const std::string& second, bool withIncomplete = false);

}  // namespace roc
