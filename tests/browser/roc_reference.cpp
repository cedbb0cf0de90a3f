// The desktop's side of the ROC page's comparisons: for rating counts and
// parameters of a fit by eye, the pixels of the ROC window's model curve and
// markers on its plot frame, the parameters' texts in its rows (d, the
// criteria from the highest down, R) and the analysis window's G^2, printed
// as JSON.
//
//   roc_reference "NOISE COUNTS" "SIGNAL COUNTS" d R c1 ... c(K-1)
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "plot/ParameterFormat.h"
#include "plot/RocPlot.h"
#include "plot/RocState.h"
#include "stats/BinormalFit.h"
#include "stats/NormalExtended.h"

namespace {

std::vector<int> Counts(const char* text) {
  std::istringstream in(text);
  std::vector<int> counts;
  for (int n; in >> n;) counts.push_back(n);
  return counts;
}

// The pixel of the model's point at criterion c, as the ROC window draws it.
void PrintPoint(const roc::PlotGeometry& f, const roc::ModelParameterSet& m, numeric::Extended c) {
  const auto [noise, signal] = roc::NormalCdfPair(c, numeric::DivideExtended(c - m.d, m.R));
  std::printf("[%d,%d]", roc::ToScreenX(f, 1 - noise), roc::ToScreenY(f, 1 - signal));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const roc::RatingCounts counts{Counts(argv[1]), Counts(argv[2])};
  roc::BinormalParameters byEye{std::strtod(argv[3], nullptr), std::strtod(argv[4], nullptr), {}};
  for (int i = 5; i < argc; ++i) byEye.criteria.push_back(std::strtod(argv[i], nullptr));
  const roc::ModelParameterSet m = roc::FromBinormal(byEye);
  const roc::PlotGeometry f{40, 460, 450};

  std::printf("{\"path\":[[%d,%d]", roc::ToScreenX(f, 0), roc::ToScreenY(f, 0));
  for (int i = -50; i <= 50; ++i) {
    std::printf(",");
    PrintPoint(f, m, static_cast<numeric::Extended>(i) * 0.1L);
  }
  std::printf("],\"markers\":[");
  for (int j = m.Criteria; j >= 1; --j) {
    PrintPoint(f, m, roc::Criterion(m, j));
    if (j > 1) std::printf(",");
  }
  std::printf("],\"texts\":[\"%s\"", roc::FormatParameter(m.d).c_str());
  for (int j = m.Criteria; j >= 1; --j) std::printf(",\"%s\"", roc::FormatParameter(roc::Criterion(m, j)).c_str());
  std::printf(",\"%s\"", roc::FormatParameter(m.R).c_str());
  const auto fit = roc::FitBinormal(counts);
  const auto nll = roc::BinormalNegLogLik(counts, roc::ToBinormal(m));
  if (fit && nll) std::printf("],\"g2\":%.17g}\n", 2 * (*nll - fit->neg_loglik));
  else std::printf("],\"g2\":null}\n");
  return 0;
}
