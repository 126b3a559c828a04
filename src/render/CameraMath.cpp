#include "render/CameraMath.h"

#include <algorithm>
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

void SceneBox::Include(const Vector3& point) {
    if (empty) {
        low = point;
        high = point;
        empty = false;
        return;
    }
    low = Vector3(std::min(low.x, point.x), std::min(low.y, point.y), std::min(low.z, point.z));
    high = Vector3(std::max(high.x, point.x), std::max(high.y, point.y), std::max(high.z, point.z));
}

Vector3 SceneBox::Centre() const {
    return (low + high) * 0.5;
}

double SceneBox::Radius() const {
    return empty ? 0.0 : (high - low).Length() * 0.5;
}

Camera FitCameraToBox(const Camera& camera, const SceneBox& box, double fovyDegrees, double aspect,
                      double margin) {
    if (box.empty) return camera;
    const double halfVertical = fovyDegrees / 2 * 3.14159265358979323846 / 180;
    const double halfHorizontal = std::atan(std::tan(halfVertical) * aspect);
    const double halfNarrow = std::min(halfVertical, halfHorizontal);
    // A point-sized box is framed as a unit sphere.
    const double radius = std::max(box.Radius(), 0.5) * margin;
    const double distance = radius / std::sin(halfNarrow);
    Vector3 direction = camera.center - camera.eye;
    if (direction.Length() == 0.0) direction = Vector3(0, 0, -1);
    direction.Normalize();
    Camera fitted = camera;
    fitted.center = box.Centre();
    fitted.eye = fitted.center - direction * distance;
    return fitted;
}

void ClipPlanesForBox(const Camera& camera, const SceneBox& box, double* zNear, double* zFar) {
    if (box.empty) {
        *zNear = 0.01;
        *zFar = 40.0;
        return;
    }
    const double radius = std::max(box.Radius(), 1e-3);
    const double distance = (box.Centre() - camera.eye).Length();
    *zFar = (distance + radius) * 1.05;
    *zNear = std::max((distance - radius) * 0.95, *zFar * 1e-3);
}

bool ZoomTowards(Camera& camera, const Vector3& target, double steps, double minDistance,
                 double maxDistance) {
    const double factor = std::pow(0.85, steps);
    const Vector3 eye = target + (camera.eye - target) * factor;
    const double distance = (eye - target).Length();
    if (!std::isfinite(distance) || distance < minDistance || distance > maxDistance) return false;
    camera.center = target + (camera.center - target) * factor;
    camera.eye = eye;
    return true;
}

}  // namespace vantrel
