#pragma once
// The rotation step of meshless shape matching, with the small 3 x 3 routines it
// needs. No command of the program uses it yet ("Fit Rotation" has no effect); it
// is kept working and tested for that command.
//
// 3 x 3 matrices are nine consecutive doubles in row-major order: element (i, j)
// at a[3*i + j].
#include <vector>

#include "geometry/Matrix4.h"
#include "geometry/Vector3.h"
#include "mesh/MeshElements.h"

namespace vantrel {

// out = a * b. out must not alias a or b.
void Multiply3x3(const double* a, const double* b, double* out);

// a = a * b.
void MultiplyInPlace3x3(double* a, const double* b);

// Replaces a by its inverse (adjugate over determinant) and returns true; returns
// false and leaves a unchanged when |det a| < 1e-7.
bool Invert3x3(double* a);

// Diagonalises the symmetric matrix a in place by at most five Jacobi rotations,
// each zeroing the largest element above the diagonal (the first found on a tie),
// stopping once that element is at most 1e-6 in magnitude. v receives the product
// of the rotations, whose columns are the eigenvector estimates: a_in = v a_out v^T.
void JacobiDiagonalize3x3(double* a, double* v);

// Rotation R = Apq * S^-1 between the rest and current positions (equal weights),
// where Apq = (1/n) sum (rest_i - restCentre)(current_i - currentCentre)^T has its
// rows over the rest components and S = sqrt(Apq^T Apq). For current = Q rest about
// the centres, R is Q^T. R goes into rotation's m[0..2], m[4..6], m[8..10] (column
// major, so rotation.Transform applies R); the other elements are left as they were.
// Prints the centres and every intermediate matrix on the console. Returns false,
// with one console line and nothing written, when the arrays are empty or differ
// in length. When S cannot be inverted it goes on with S itself, as printed.
bool ShapeMatchRotation(const std::vector<MeshVertex>& rest, const std::vector<MeshVertex>& current,
                        Matrix4& rotation, Vector3& restCentre, Vector3& currentCentre);

}  // namespace vantrel
