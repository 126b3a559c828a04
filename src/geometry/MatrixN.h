#pragma once
// Small dense n x n routines on plain row-major arrays (element (i, j) at
// a[i*n + j]), n given by the caller. Used by the 4x4 inverse and by the
// quadric solve of the level-of-detail simplification.
#include <vector>

namespace vantrel {

// Determinant by expansion along the first column (n >= 4, recursively), the rule
// of Sarrus for n = 3 and the direct formulas below. 0.0 for n < 1.
double DeterminantN(const double* a, int n);

// Inverse as adjugate / determinant into out (n*n doubles). Returns false and
// leaves out untouched when n < 1 or the determinant is exactly 0.0.
bool InverseN(const double* a, double* out, int n);

// out (n doubles) = a x. out is cleared first; for n < 1 nothing is written.
void MultiplyMatVecN(const double* a, const double* x, double* out, int n);

// Gaussian elimination with scaled partial pivoting, in place. perm (n ints)
// receives the row order: row perm[i] of a holds the i-th pivot row. a is
// replaced by its factors in that row-permuted storage: below the pivot the
// multipliers, from the pivot on the upper factor.
// Returns the determinant; 0.0 when a row's largest absolute element is below
// 1e-11, and the determinant so far when a pivot's absolute value is below 1e-11
// (the factorisation then stops there). perm is always filled (at least with the
// identity order).
double DecomposeLU(int n, double* a, int* perm);

// x with a x = b (n doubles), via DecomposeLU on a copy of a and forward and
// back substitution. A zero or tiny pivot is not guarded against: the result then
// holds infinities or NaNs. Empty for n < 1.
std::vector<double> SolveLinearN(const double* a, const double* b, int n);

}  // namespace vantrel
