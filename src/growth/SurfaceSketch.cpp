#include "growth/SurfaceSketch.h"

#include "geometry/Matrix4.h"

namespace vantrel {

Vector3 PointUnderSurface(const Vector3& surfacePoint, const Vector3& normal, double depth) {
    return surfacePoint - normal * depth;
}

void AimPlacement(Polyline& placement, const Vector3& target) {
    if (placement.points.size() != 2) return;
    const Vector3 position = placement.points[0];
    Vector3 direction = target - position;
    // A zero direction stays zero: the arrow then has no length and is not drawn.
    direction.Normalize();
    placement.points[1] = position + kStartDirectionLength * direction;
}

std::array<StartPoint, 4> QuarterTurnStartPoints(const Vector3& position,
                                                 const Vector3& directionPoint,
                                                 const Vector3& normal) {
    Matrix4 quarterTurn;
    quarterTurn.SetRotation(normal, kStartQuarterTurn);
    Vector3 direction = directionPoint - position;
    std::array<StartPoint, 4> startPoints;
    for (StartPoint& startPoint : startPoints) {
        startPoint.position = position;
        startPoint.directionPoint = position + direction;
        direction = quarterTurn.Transform(direction);
    }
    return startPoints;
}

std::optional<Polyline> FeatureCurveFromSketch(const Polyline& sketch) {
    if (sketch.points.size() < kMinFeatureCurvePoints) return std::nullopt;
    Polyline curve = sketch;
    curve.Smooth();
    curve.Smooth();
    return curve;
}

}  // namespace vantrel
