#include "render/CameraMath.h"

#include <cmath>

namespace vantrel {

Matrix4 PerspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double radians = fovyDegrees / 2 * 3.14159265358979323846 / 180;
    const double deltaZ = zFar - zNear;
    const double cotangent = std::cos(radians) / std::sin(radians);
    Matrix4 m{};
    m.At(0, 0) = cotangent / aspect;
    m.At(1, 1) = cotangent;
    m.At(2, 2) = -(zFar + zNear) / deltaZ;
    m.At(3, 2) = -1.0;
    m.At(2, 3) = -2 * zNear * zFar / deltaZ;
    return m;
}

Matrix4 LookAtMatrix(const Camera& camera) {
    Vector3 forward = camera.center - camera.eye;
    forward.Normalize();
    Vector3 side = forward.Cross(camera.up);
    side.Normalize();
    const Vector3 up = side.Cross(forward);

    Matrix4 m;
    m.SetIdentity();
    m.At(0, 0) = side.x;
    m.At(0, 1) = side.y;
    m.At(0, 2) = side.z;
    m.At(1, 0) = up.x;
    m.At(1, 1) = up.y;
    m.At(1, 2) = up.z;
    m.At(2, 0) = -forward.x;
    m.At(2, 1) = -forward.y;
    m.At(2, 2) = -forward.z;
    // The rotation followed by the translation that moves the eye to the origin.
    const Vector3 moved = m.Transform(-camera.eye);
    m.m[12] = moved.x;
    m.m[13] = moved.y;
    m.m[14] = moved.z;
    return m;
}

bool UnprojectWindowPoint(double winX, double winY, double winZ, const Matrix4& modelView,
                          const Matrix4& projection, const Viewport& viewport, Vector3* out) {
    if (viewport.width <= 0 || viewport.height <= 0) return false;
    Matrix4 inverse = projection.Multiply(modelView);
    if (!inverse.Invert()) return false;

    const double in[4] = {(winX - viewport.x) / viewport.width * 2 - 1,
                          (winY - viewport.y) / viewport.height * 2 - 1, winZ * 2 - 1, 1.0};
    double result[4];
    for (int row = 0; row < 4; ++row) {
        result[row] = 0.0;
        for (int k = 0; k < 4; ++k) result[row] += inverse.At(row, k) * in[k];
    }
    if (result[3] == 0.0 || !std::isfinite(result[3])) return false;
    *out = Vector3(result[0] / result[3], result[1] / result[3], result[2] / result[3]);
    return true;
}

bool ZoomStep(Camera& camera, int lastY, int y) {
    const double t = (y - lastY) / 100.0;
    Vector3 direction = camera.center - camera.eye;
    direction.Normalize();
    const Vector3 candidate = camera.eye + direction * t;
    if ((candidate - camera.center).Length() > 0.02) {
        camera.eye = candidate;
        return true;
    }
    return false;
}

void RotateStep(Camera& camera, int lastX, int lastY, int x, int y) {
    const double a = (x - lastX) / -200.0;
    const double b = (y - lastY) / -200.0;
    const Vector3 direction = camera.center - camera.eye;
    const Vector3 side = direction.Cross(camera.up);
    Matrix4 aboutUp;
    aboutUp.SetRotation(camera.up, a);
    Matrix4 aboutSide;
    aboutSide.SetRotation(side, b);
    const Matrix4 rotation = aboutSide.Multiply(aboutUp);
    camera.eye = camera.center + rotation.Transform(camera.eye - camera.center);
    camera.up = rotation.Transform(camera.up);
}

void PanStep(Camera& camera, int lastX, int lastY, int x, int y) {
    Matrix4 rotationOnly = LookAtMatrix(camera);
    rotationOnly.m[12] = 0.0;
    rotationOnly.m[13] = 0.0;
    rotationOnly.m[14] = 0.0;
    rotationOnly.Invert();
    const Vector3 motion =
        rotationOnly.Transform(Vector3((lastX - x) / 50.0, (y - lastY) / 50.0, 0.0));
    camera.eye += motion;
    camera.center += motion;
}

}  // namespace vantrel
