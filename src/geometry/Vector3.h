#pragma once
// Double-precision 3-vector used by every layer for points and directions.
// A plain value record: x, y, z plus a `zero` flag that Normalize raises when it
// meets a vector of length exactly 0 (callers test the flag instead of a result).
#include <cmath>

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
    Vector3 operator=(const Vector3& other) {
        // The flag belongs to the target: it records that this variable once
        // failed to normalise, which a plain coordinate update must not erase.
        x = other.x;
        y = other.y;
        z = other.z;
        return *this;
    }

    // Divides x, y, z by sqrt(x*x + y*y + z*z) and returns true. On a length of
    // exactly 0.0 the vector stays unchanged, `zero` becomes true and the result
    // is false. A NaN length counts as non-zero (the division is carried out).
    bool Normalize();

    // this x b = (y*b.z - z*b.y, z*b.x - x*b.z, x*b.y - y*b.x), `zero` false.
    Vector3 Cross(const Vector3& b) const {
        return Vector3(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
    }

    // x*b.x + y*b.y + z*b.z, summed left to right.
    double Dot(const Vector3& b) const { return x * b.x + y * b.y + z * b.z; }

    // sqrt(x*x + y*y + z*z), the length Normalize divides by.
    double Length() const { return std::sqrt(x * x + y * y + z * z); }
    // x*x + y*y + z*z.
    double LengthSquared() const { return x * x + y * y + z * z; }

    // Component-wise updates of x, y, z; the `zero` flag is kept.
    Vector3& operator+=(const Vector3& b) {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& b) {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    Vector3& operator*=(double s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    Vector3& operator/=(double s) {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }

    // (-x, -y, -z), `zero` false.
    Vector3 operator-() const { return Vector3(-x, -y, -z); }
};

// Component-wise arithmetic; every result is a new vector with `zero` false.
inline Vector3 operator+(const Vector3& a, const Vector3& b) {
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vector3 operator-(const Vector3& a, const Vector3& b) {
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vector3 operator*(const Vector3& v, double s) {
    return Vector3(v.x * s, v.y * s, v.z * s);
}
inline Vector3 operator*(double s, const Vector3& v) {
    return Vector3(s * v.x, s * v.y, s * v.z);
}
// Divides each component by s (no guard: s == 0 gives infinities as IEEE says).
inline Vector3 operator/(const Vector3& v, double s) {
    return Vector3(v.x / s, v.y / s, v.z / s);
}

// a.Dot(b) and a.Cross(b) as free functions, for formulas that read better so.
inline double Dot(const Vector3& a, const Vector3& b) {
    return a.Dot(b);
}
inline Vector3 Cross(const Vector3& a, const Vector3& b) {
    return a.Cross(b);
}

}  // namespace vantrel
