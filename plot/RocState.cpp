#include "RocState.h"

namespace roc {

numeric::Extended& Criterion(ModelParameterSet& m, int j) {
  switch (j) {
    case 1: return m.c1;
    case 2: return m.c2;
    case 3: return m.c3;
    default: return m.cHigher.at(static_cast<std::size_t>(j - 4));
  }
}

numeric::Extended Criterion(const ModelParameterSet& m, int j) { return Criterion(const_cast<ModelParameterSet&>(m), j); }

BinormalParameters ToBinormal(const ModelParameterSet& m) {
  BinormalParameters p{static_cast<double>(m.d), static_cast<double>(m.R), {}};
  for (int j = 1; j <= m.Criteria; ++j) p.criteria.push_back(static_cast<double>(Criterion(m, j)));
  return p;
}

ModelParameterSet FromBinormal(const BinormalParameters& p) {
  ModelParameterSet m{p.d, 0, 0, 0, p.R};
  m.Criteria = static_cast<std::int32_t>(p.criteria.size());
  for (int j = 1; j <= m.Criteria; ++j) Criterion(m, j) = p.criteria[j - 1];
  return m;
}

}  // namespace roc
