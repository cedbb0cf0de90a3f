#pragma once
#include <vector>

namespace roc {

// The binormal rating model: noise N(0, 1), signal N(d, R^2), and K - 1
// criteria c1 < ... < c(K-1); a trial is answered 1 + the number of criteria
// below its observation. The one form in which parameters travel between the
// fit, the analysis window, the z-ROC and the fitted curve.
struct BinormalParameters {
  double d = 0;
  double R = 0;
  std::vector<double> criteria;  // c1 .. c(K-1)

  // As one vector in the order d, R, c1 .. c(K-1), for the optimiser.
  std::vector<double> ToVector() const {
    std::vector<double> theta{d, R};
    theta.insert(theta.end(), criteria.begin(), criteria.end());
    return theta;
  }
  static BinormalParameters FromVector(const std::vector<double>& theta) {
    return {theta[0], theta[1], std::vector<double>(theta.begin() + 2, theta.end())};
  }
};

}  // namespace roc
