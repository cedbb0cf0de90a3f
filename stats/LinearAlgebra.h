#pragma once
#include <vector>

namespace roc {

// Small dense symmetric matrices, row-major n x n.

// In-place Cholesky factor (lower triangle) of a symmetric n x n matrix;
// false when it is not positive definite.
bool Cholesky(std::vector<double>& m, int n);

// Solves L L^T x = b in place, L from Cholesky.
void CholeskySolve(const std::vector<double>& l, int n, std::vector<double>& b);

// The inverse of L L^T, column by column.
std::vector<double> CholeskyInverse(const std::vector<double>& l, int n);

}  // namespace roc
