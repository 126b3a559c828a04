#include "geometry/Matrix4.h"

#include <cmath>
#include <cstring>

#include "geometry/MatrixN.h"

namespace vantrel {

namespace {

// Below this absolute determinant a matrix counts as singular.
constexpr double kSingularDeterminant = 1e-11;

void Clear(Matrix4& matrix) {
    std::memset(matrix.m, 0, sizeof(matrix.m));
}

}  // namespace

void Matrix4::SetIdentity() {
    Clear(*this);
    m[0] = m[5] = m[10] = m[15] = 1.0;
}

void Matrix4::SetRotationX(double angle) {
    SetIdentity();
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    m[5] = c;
    m[9] = -s;
    m[6] = s;
    m[10] = c;
}

void Matrix4::SetRotationY(double angle) {
    SetIdentity();
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    m[0] = c;
    m[8] = s;
    m[2] = -s;
    m[10] = c;
}

void Matrix4::SetRotationZ(double angle) {
    SetIdentity();
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    m[0] = c;
    m[4] = -s;
    m[1] = s;
    m[5] = c;
}

bool Matrix4::SetRotation(const Vector3& axis, double c, double s) {
    // A zero turn needs no axis, so it succeeds even for a zero axis.
    if (c == 1.0 && s == 0.0) {
        SetIdentity();
        return true;
    }
    const double length = axis.Length();
    if (length == 0.0) {
        SetIdentity();
        return false;
    }
    Vector3 unit = axis;
    unit.Normalize();
    const double x = unit.x;
    const double y = unit.y;
    const double z = unit.z;
    const double t = 1.0 - c;
    Clear(*this);
    m[15] = 1.0;
    m[0] = x * x + (1.0 - x * x) * c;
    m[5] = y * y + (1.0 - y * y) * c;
    m[10] = z * z + (1.0 - z * z) * c;
    m[4] = x * y * t - z * s;
    m[1] = x * y * t + z * s;
    m[8] = x * z * t + y * s;
    m[2] = x * z * t - y * s;
    m[9] = y * z * t - x * s;
    m[6] = y * z * t + x * s;
    return true;
}

bool Matrix4::SetRotation(const Vector3& axis, double angle) {
    const double s = std::sin(angle);
    const double c = std::cos(angle);
    return SetRotation(axis, c, s);
}

bool Matrix4::SetRotationBetween(Vector3 a, Vector3 b) {
    a.Normalize();
    b.Normalize();
    const Vector3 axis = a.Cross(b);
    const double c = a.Dot(b);
    const double s = axis.Length();
    return SetRotation(axis, c, s);
}

void Matrix4::SetTranslation(const Vector3& t) {
    SetIdentity();
    m[12] = t.x;
    m[13] = t.y;
    m[14] = t.z;
}

void Matrix4::SetScale(double sx, double sy, double sz) {
    SetIdentity();
    m[0] = sx;
    m[5] = sy;
    m[10] = sz;
}

Vector3 Matrix4::Transform(const Vector3& p) const {
    return Vector3(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                   m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                   m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]);
}

Matrix4 Matrix4::Multiply(const Matrix4& b) const {
    Matrix4 product;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += At(row, k) * b.At(k, column);
            }
            product.At(row, column) = sum;
        }
    }
    return product;
}

Matrix4 Matrix4::Transposed() const {
    Matrix4 result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            result.At(row, column) = At(column, row);
        }
    }
    return result;
}

bool Matrix4::Invert() {
    const double determinant = DeterminantN(m, 4);
    if (std::fabs(determinant) < kSingularDeterminant) {
        return false;
    }
    // InverseN works on row-major arrays; the inverse of the transposed array is
    // the transposed inverse, so transposing in and out yields the ordinary
    // inverse in column-major order.
    double transposed[16];
    double inverse[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            transposed[i * 4 + j] = m[j * 4 + i];
        }
    }
    if (!InverseN(transposed, inverse, 4)) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            m[j * 4 + i] = inverse[i * 4 + j];
        }
    }
    return true;
}

Matrix4 Matrix4::Inverse() const {
    Matrix4 result = *this;
    result.Invert();
    return result;
}

void Matrix4::ToAxisAngle(Vector3& axis, double& angle) const {
    double w;
    double qx;
    double qy;
    double qz;
    const double trace = m[0] + m[5] + m[10] + 1.0;
    if (trace > 0.0) {
        const double s = 0.5 / std::sqrt(trace);
        qx = (m[6] - m[9]) * s;
        qy = (m[8] - m[2]) * s;
        qz = (m[1] - m[4]) * s;
        w = 0.25 / s;
    } else if (m[0] > m[5] && m[0] > m[10]) {
        const double s = std::sqrt(1.0 + m[0] - m[5] - m[10]) * 2.0;
        qx = 0.25 * s;
        qy = (m[4] + m[1]) / s;
        qz = (m[8] + m[2]) / s;
        w = (m[6] - m[9]) / s;
    } else if (m[5] > m[10]) {
        const double s = std::sqrt(1.0 + m[5] - m[0] - m[10]) * 2.0;
        qx = (m[4] + m[1]) / s;
        qy = 0.25 * s;
        qz = (m[9] + m[6]) / s;
        w = (m[8] - m[2]) / s;
    } else {
        const double s = std::sqrt(1.0 + m[10] - m[0] - m[5]) * 2.0;
        qx = (m[8] + m[2]) / s;
        qy = (m[9] + m[6]) / s;
        qz = 0.25 * s;
        w = (m[1] - m[4]) / s;
    }
    // Rounding can push w a hair past 1 for a rotation by ~0; acos would then
    // give NaN instead of the angle 0.
    if (w > 1.0) {
        w = 1.0;
    } else if (w < -1.0) {
        w = -1.0;
    }
    angle = 2.0 * std::acos(w);
    axis = Vector3(qx, qy, qz);
    axis.Normalize();
}

void Matrix4::Decompose(Vector3& axis, double& angle, double& scale, Vector3& translation) const {
    translation = Transform(Vector3(0.0, 0.0, 0.0));
    Matrix4 untranslate;
    untranslate.SetTranslation(-translation);
    const Matrix4 scaledRotation = untranslate.Multiply(*this);
    scale = scaledRotation.Transform(Vector3(1.0, 0.0, 0.0)).Length();
    Matrix4 unscale;
    unscale.SetScale(1.0 / scale, 1.0 / scale, 1.0 / scale);
    unscale.Multiply(scaledRotation).ToAxisAngle(axis, angle);
}

void RotationBetween(Vector3& a, Vector3& b, Matrix4& out) {
    Vector3 axis = a.Cross(b);
    const double length = axis.Length();
    if (length == 0.0) {
        // Parallel, opposite or zero directions: no unique axis, so no turn at all.
        out.SetIdentity();
        return;
    }
    axis /= length;
    a.Normalize();
    b.Normalize();
    double d = a.Dot(b);
    // Rounding can leave the dot product of unit vectors just outside acos' domain.
    if (d > 1.0) {
        d = 1.0;
    } else if (d < -1.0) {
        d = -1.0;
    }
    const double angle = std::acos(d);
    out.SetRotation(axis, std::cos(angle), std::sin(angle));
}

void RotationFromYAxis(Vector3& d, Vector3& axis, Matrix4& out) {
    if (!d.Normalize()) {
        out.SetIdentity();
        return;
    }
    axis = Vector3(d.z, 0.0, -d.x);
    const double angle = std::acos(d.y);
    out.SetRotation(axis, std::cos(angle), std::sin(angle));
}

void RotationFromZAxis(Vector3& d, Vector3& axis, Matrix4& out) {
    if (!d.Normalize()) {
        out.SetIdentity();
        return;
    }
    axis = Vector3(-d.y, d.x, 0.0);
    const double angle = std::acos(d.z);
    out.SetRotation(axis, std::cos(angle), std::sin(angle));
}

}  // namespace vantrel
