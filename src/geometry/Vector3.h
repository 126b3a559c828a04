#pragma once
// Double-precision 3-vector used by every layer for points and directions.
// A plain value record: x, y, z plus a `zero` flag that Normalize raises when it
// meets a vector of length exactly 0 (callers test the flag instead of a result).

namespace vantrel {

struct Vector3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    // Set by Normalize on a zero-length vector; nothing here clears it.
    bool zero = false;

    Vector3() = default;
    Vector3(double xValue, double yValue, double zValue) : x(xValue), y(yValue), z(zValue) {}

    // A copy (copy construction, passing by value) carries all four fields.
    Vector3(const Vector3& other) = default;

    // Assignment copies x, y and z only: the target keeps its own `zero` flag.
    // Returns a copy of the target after the assignment (all four fields).
    Vector3 operator=(const Vector3& other);

    // Divides x, y, z by sqrt(x*x + y*y + z*z) and returns true. On a length of
    // exactly 0.0 the vector stays unchanged, `zero` becomes true and the result
    // is false. A NaN length counts as non-zero (the division is carried out).
    bool Normalize();

    // this x b = (y*b.z - z*b.y, z*b.x - x*b.z, x*b.y - y*b.x), `zero` false.
    Vector3 Cross(const Vector3& b) const;

    // x*b.x + y*b.y + z*b.z, summed left to right.
    double Dot(const Vector3& b) const;

    // sqrt(x*x + y*y + z*z), the length Normalize divides by.
    double Length() const;
    // x*x + y*y + z*z.
    double LengthSquared() const;

    // Component-wise updates of x, y, z; the `zero` flag is kept.
    Vector3& operator+=(const Vector3& b);
    Vector3& operator-=(const Vector3& b);
    Vector3& operator*=(double s);
    Vector3& operator/=(double s);

    // (-x, -y, -z), `zero` false.
    Vector3 operator-() const;
};

// Component-wise arithmetic; every result is a new vector with `zero` false.
Vector3 operator+(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a, const Vector3& b);
Vector3 operator*(const Vector3& v, double s);
Vector3 operator*(double s, const Vector3& v);
// Divides each component by s (no guard: s == 0 gives infinities as IEEE says).
Vector3 operator/(const Vector3& v, double s);

// a.Dot(b) and a.Cross(b) as free functions, for formulas that read better so.
double Dot(const Vector3& a, const Vector3& b);
Vector3 Cross(const Vector3& a, const Vector3& b);

}  // namespace vantrel
