#pragma once
// 4x4 double matrix in column-major order, exactly as glMultMatrixd takes it:
// the element in row r, column c is m[c*4 + r]. Points are column vectors
// multiplied from the left (p' = M p); an affine matrix keeps its translation in
// m[12], m[13], m[14]. All angles are radians.
//
// Matrix4 has no initialising constructor (it is a plain 128-byte record);
// every builder below clears all 16 elements first. Write `Matrix4 m{}` for a
// zero matrix.
#include "geometry/Vector3.h"

namespace vantrel {

struct Matrix4 {
    double m[16];

    // Element access by row and column (0 to 3).
    double& At(int row, int column) { return m[column * 4 + row]; }
    double At(int row, int column) const { return m[column * 4 + row]; }

    // All 0, then m[0], m[5], m[10], m[15] = 1.
    void SetIdentity();
    // Counter-clockwise rotations about the coordinate axes (column vectors).
    void SetRotationX(double angle);
    void SetRotationY(double angle);
    void SetRotationZ(double angle);

    // Rotation about `axis` given the cosine c and sine s of the angle (the
    // matrix glRotate builds). c == 1 and s == 0 exactly: identity, true, even for
    // a zero axis. Otherwise a zero-length axis gives the identity and false.
    // The caller's axis is not changed (a normalised copy is used).
    bool SetRotation(const Vector3& axis, double c, double s);
    // The same with the angle in radians.
    bool SetRotation(const Vector3& axis, double angle);

    // Rotation turning direction a into direction b (copies are normalised),
    // built from c = a.b and s = |a x b| without acos. Parallel and anti-parallel
    // directions give the identity; the bool is SetRotation's.
    bool SetRotationBetween(Vector3 a, Vector3 b);

    // Pure translation by t (identity with m[12..14] = t).
    void SetTranslation(const Vector3& t);
    // Diagonal scale (sx, sy, sz, 1).
    void SetScale(double sx, double sy, double sz);

    // M p with w = 1; the fourth row is ignored (no division by w). `zero` false.
    Vector3 Transform(const Vector3& p) const;

    // this * b: element (r, c) = sum over k = 0..3 of this(r, k) * b(k, c),
    // accumulated from 0.0. Applied to a point, b acts first.
    Matrix4 Multiply(const Matrix4& b) const;

    // Element (r, c) of the result = this(c, r).
    Matrix4 Transposed() const;

    // Replaces the matrix by its inverse and returns true; returns false and
    // leaves it unchanged when abs(determinant) < 1e-11 (a NaN determinant is
    // not treated as singular).
    bool Invert();
    // The inverse as a new matrix; for a singular matrix (as Invert judges it)
    // an unchanged copy of this matrix.
    Matrix4 Inverse() const;

    // Axis (unit length) and angle (radians) of the rotation part, through a
    // quaternion; SetRotation(axis, angle) rebuilds the rotation. For the
    // identity the angle is 0 and the axis cannot be normalised: it is then
    // (0, 0, 0) with its `zero` flag set.
    void ToAxisAngle(Vector3& axis, double& angle) const;

    // Splits a matrix made of translation * uniform scale * rotation into its
    // parts: translation = (m[12], m[13], m[14]), scale = length of the first
    // column, axis and angle of the remaining rotation.
    void Decompose(Vector3& axis, double& angle, double& scale, Vector3& translation) const;
};

// Rotation turning direction a into direction b, written into out. When a x b has
// length exactly 0 (parallel, opposite, or a zero vector) out is the identity
// (so opposite directions give no half turn) and a, b are untouched. Otherwise a
// and b are normalised in place, their dot product is clamped to [-1, 1] and the
// angle is acos of it.
void RotationBetween(Vector3& a, Vector3& b, Matrix4& out);

// Rotation turning +y into direction d; d is normalised in place. A zero d gives
// the identity and leaves `axis` unwritten; otherwise axis = +y x d = (d.z, 0, -d.x).
void RotationFromYAxis(Vector3& d, Vector3& axis, Matrix4& out);

// Rotation turning +z into direction d; d is normalised in place. A zero d gives
// the identity and leaves `axis` unwritten; otherwise axis = +z x d = (-d.y, d.x, 0).
void RotationFromZAxis(Vector3& d, Vector3& axis, Matrix4& out);

}  // namespace vantrel
