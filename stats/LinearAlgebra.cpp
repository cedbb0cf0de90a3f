#include "LinearAlgebra.h"

#include <algorithm>
#include <cmath>

namespace roc {

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

std::vector<double> CholeskyInverse(const std::vector<double>& l, int n) {
  std::vector<double> inverse(n * n), column(n);
  for (int col = 0; col < n; ++col) {
    std::fill(column.begin(), column.end(), 0.0);
    column[col] = 1;
    CholeskySolve(l, n, column);
    for (int row = 0; row < n; ++row) inverse[row * n + col] = column[row];
  }
  return inverse;
}

}  // namespace roc
