#include "RocState.h"

namespace roc {

BinormalParameters ToBinormal(const ModelParameterSet& m) {
  return {static_cast<double>(m.d), static_cast<double>(m.R),
          {static_cast<double>(m.c1), static_cast<double>(m.c2), static_cast<double>(m.c3)}};
}

ModelParameterSet FromBinormal(const BinormalParameters& p) {
  return {p.d, p.criteria.at(0), p.criteria.at(1), p.criteria.at(2), p.R};
}

}  // namespace roc
