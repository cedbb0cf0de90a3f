#include "ClassSummary.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>

#include "NormalDouble.h"
#include "StudentT.h"

namespace roc {

namespace {

MeanDifference FromMeanAndSe(double estimate, double se, double df) {
  const double t = StudentTQuantile(0.975, df);
  return {estimate, estimate - t * se, estimate + t * se, df};
}

// Paired: the mean difference over the observers, t with n - 1 df.
std::optional<MeanDifference> Paired(const std::vector<double>& differences) {
  const std::optional<MeanEstimate> e = Estimate(differences);
  if (!e || !e->low) return std::nullopt;
  return MeanDifference{e->mean, *e->low, *e->high, static_cast<double>(e->n - 1)};
}

// Welch: unequal variances, Welch–Satterthwaite df.
std::optional<MeanDifference> Welch(const std::vector<double>& x, const std::vector<double>& y) {
  const std::optional<MeanEstimate> ex = Estimate(x), ey = Estimate(y);
  if (!ex || !ey || !ex->sd || !ey->sd) return std::nullopt;
  const double vx = *ex->sd * *ex->sd / ex->n, vy = *ey->sd * *ey->sd / ey->n;
  if (!(vx + vy > 0)) return std::nullopt;
  const double df = (vx + vy) * (vx + vy) / (vx * vx / (ex->n - 1) + vy * vy / (ey->n - 1));
  return FromMeanAndSe(ex->mean - ey->mean, std::sqrt(vx + vy), df);
}

}  // namespace

std::optional<MeanEstimate> Estimate(const std::vector<double>& values) {
  if (values.empty()) return std::nullopt;
  MeanEstimate e;
  e.n = static_cast<int>(values.size());
  double sum = 0;
  for (double v : values) sum += v;
  e.mean = sum / e.n;
  if (e.n < 2) return e;
  double squares = 0;
  for (double v : values) squares += (v - e.mean) * (v - e.mean);
  e.sd = std::sqrt(squares / (e.n - 1));
  const double half = StudentTQuantile(0.975, e.n - 1) * *e.sd / std::sqrt(static_cast<double>(e.n));
  e.low = e.mean - half;
  e.high = e.mean + half;
  return e;
}

void MarkIncomplete(const std::vector<ClassSession*>& sessions) {
  std::map<std::string, int> most;  // recorded trials, per design
  for (const ClassSession* s : sessions) {
    int& m = most[s->design];
    m = std::max(m, Total(s->counts.noise) + Total(s->counts.signal));
  }
  for (ClassSession* s : sessions) s->expected = s->designRecorded > 0 ? s->designRecorded : most[s->design];
}

std::vector<DesignSummary> SummarizeDesigns(const std::vector<const ClassSession*>& sessions, bool withIncomplete) {
  std::vector<DesignSummary> designs;
  std::vector<std::vector<const ClassSession*>> members;
  for (const ClassSession* s : sessions) {
    auto at = std::find_if(designs.begin(), designs.end(), [&](const DesignSummary& d) { return d.design == s->design; });
    if (at == designs.end()) {
      designs.push_back({});
      designs.back().design = s->design;
      designs.back().categories = s->categories;
      members.emplace_back();
      at = designs.end() - 1;
    }
    at->incomplete += s->Incomplete();
    if (withIncomplete || !s->Incomplete()) members[at - designs.begin()].push_back(s);
  }
  for (std::size_t i = 0; i < designs.size(); ++i) {
    DesignSummary& d = designs[i];
    if (!members[i].empty()) d.categories = members[i].front()->categories;
    std::vector<double> a, b, az, da;
    std::vector<std::vector<double>> criteria(std::max(0, d.categories - 1));
    for (const ClassSession* s : members[i]) {
      ++d.sessions;
      d.recorded += Total(s->counts.noise) + Total(s->counts.signal);
      d.mixedScales |= s->categories != d.categories;
      if (!s->fit) {
        ++d.degenerate;
        continue;
      }
      ++d.fitted;
      a.push_back(s->fit->a);
      b.push_back(s->fit->b);
      az.push_back(s->fit->az);
      da.push_back(s->fit->d_a);
      for (std::size_t j = 0; j < criteria.size() && j < s->fit->criteria.size(); ++j)
        criteria[j].push_back(s->fit->criteria[j]);
    }
    d.a = Estimate(a);
    d.b = Estimate(b);
    d.az = Estimate(az);
    d.d_a = Estimate(da);
    if (d.az && d.d_a->low) {
      // The mean Az stays the point estimate; only the bounds come from z(Az).
      d.az->low = StandardNormalCdf(*d.d_a->low / std::sqrt(2.0));
      d.az->high = StandardNormalCdf(*d.d_a->high / std::sqrt(2.0));
    }
    if (d.mixedScales) continue;
    d.pooledCounts = {std::vector<int>(d.categories, 0), std::vector<int>(d.categories, 0)};
    for (const ClassSession* s : members[i]) {
      for (int k = 0; k < d.categories && k < static_cast<int>(s->counts.noise.size()); ++k) {
        d.pooledCounts.noise[k] += s->counts.noise[k];
        d.pooledCounts.signal[k] += s->counts.signal[k];
      }
    }
    d.pooled = FitBinormal(d.pooledCounts);
    if (d.fitted > 0) {
      for (const std::vector<double>& c : criteria) d.meanCriteria.push_back(Estimate(c)->mean);
    }
  }
  return designs;
}

DesignComparison CompareDesigns(const std::vector<const ClassSession*>& sessions, const std::string& first,
                                const std::string& second, bool withIncomplete) {
  DesignComparison c;
  c.first = first;
  c.second = second;
  // Per design: the fitted sessions' values, and per observer their sums and counts.
  struct Side {
    std::vector<double> az, da;
    std::map<std::string, std::pair<std::array<double, 2>, int>> byObserver;
  };
  Side sides[2];
  for (const ClassSession* s : sessions) {
    if (!s->fit || (s->Incomplete() && !withIncomplete)) continue;
    const int side = s->design == first ? 0 : s->design == second ? 1 : -1;
    if (side < 0) continue;
    Side& sd = sides[side];
    sd.az.push_back(s->fit->az);
    sd.da.push_back(s->fit->d_a);
    auto& [sums, n] = sd.byObserver[s->observer];
    sums[0] += s->fit->az;
    sums[1] += s->fit->d_a;
    ++n;
  }
  c.nFirst = static_cast<int>(sides[0].az.size());
  c.nSecond = static_cast<int>(sides[1].az.size());
  std::vector<std::string> both;
  std::set<std::string> once;
  for (int i = 0; i < 2; ++i) {
    const Side& other = sides[1 - i];
    for (const auto& [name, value] : sides[i].byObserver) {
      if (name.empty()) continue;
      if (!other.byObserver.contains(name)) once.insert(name);
      else if (i == 0) both.push_back(name);
    }
  }
  c.paired = first != second && both.size() >= 2;
  if (c.paired) {
    c.pairs = static_cast<int>(both.size());
    c.leftOut.assign(once.begin(), once.end());
    for (const Side& side : sides) {
      const auto unnamed = side.byObserver.find("");
      if (unnamed != side.byObserver.end()) c.unnamedLeftOut += unnamed->second.second;
    }
    std::vector<double> daz, dda;
    for (const std::string& name : both) {
      const auto& [s0, n0] = sides[0].byObserver.at(name);
      const auto& [s1, n1] = sides[1].byObserver.at(name);
      daz.push_back(s0[0] / n0 - s1[0] / n1);
      dda.push_back(s0[1] / n0 - s1[1] / n1);
    }
    c.az = Paired(daz);
    c.d_a = Paired(dda);
  } else {
    c.az = Welch(sides[0].az, sides[1].az);
    c.d_a = Welch(sides[0].da, sides[1].da);
  }
  return c;
}

}  // namespace roc
