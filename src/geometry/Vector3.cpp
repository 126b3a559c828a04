#include "geometry/Vector3.h"

#include <cmath>

namespace vantrel {

Vector3 Vector3::operator=(const Vector3& other) {
    // The flag belongs to the target: it records that this variable once failed
    // to normalise, which a plain coordinate update must not erase.
    x = other.x;
    y = other.y;
    z = other.z;
    return *this;
}

bool Vector3::Normalize() {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0) {
        zero = true;
        return false;
    }
    x /= length;
    y /= length;
    z /= length;
    return true;
}

Vector3 Vector3::Cross(const Vector3& b) const {
    return Vector3(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
}

double Vector3::Dot(const Vector3& b) const { return x * b.x + y * b.y + z * b.z; }

double Vector3::Length() const { return std::sqrt(x * x + y * y + z * z); }

double Vector3::LengthSquared() const { return x * x + y * y + z * z; }

Vector3& Vector3::operator+=(const Vector3& b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
}

Vector3& Vector3::operator-=(const Vector3& b) {
    x -= b.x;
    y -= b.y;
    z -= b.z;
    return *this;
}

Vector3& Vector3::operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

Vector3& Vector3::operator/=(double s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
}

Vector3 Vector3::operator-() const { return Vector3(-x, -y, -z); }

Vector3 operator+(const Vector3& a, const Vector3& b) { return Vector3(a.x + b.x, a.y + b.y, a.z + b.z); }

Vector3 operator-(const Vector3& a, const Vector3& b) { return Vector3(a.x - b.x, a.y - b.y, a.z - b.z); }

Vector3 operator*(const Vector3& v, double s) { return Vector3(v.x * s, v.y * s, v.z * s); }

Vector3 operator*(double s, const Vector3& v) { return Vector3(s * v.x, s * v.y, s * v.z); }

Vector3 operator/(const Vector3& v, double s) { return Vector3(v.x / s, v.y / s, v.z / s); }

double Dot(const Vector3& a, const Vector3& b) { return a.Dot(b); }

Vector3 Cross(const Vector3& a, const Vector3& b) { return a.Cross(b); }

}  // namespace vantrel
