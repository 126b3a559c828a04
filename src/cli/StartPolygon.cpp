#include "cli/StartPolygon.h"

#include "geometry/Matrix4.h"

namespace vantrel {

std::array<StartPoint, 4> StartPointsOnPolygon(const Vector3& p0, const Vector3& p1,
                                               const Vector3& p2, const Vector3& normal,
                                               double layerDepth) {
    // The press: the picked point, moved layerDepth under the surface.
    const Vector3 centroid = (p0 + p1 + p2) * 0.33333333333;
    const Vector3 start = centroid - normal * layerDepth;
    // The sketch's last point, a short drag towards the polygon's first vertex.
    Vector3 towardsFirst = p0 - centroid;
    towardsFirst.Normalize();
    const Vector3 end = start + towardsFirst * 0.2;

    // The release: four directions a quarter turn apart about the normal.
    Matrix4 quarterTurn;
    quarterTurn.SetRotation(normal, 1.5707963267948966);
    Vector3 direction = end - start;
    std::array<StartPoint, 4> startPoints;
    for (StartPoint& startPoint : startPoints) {
        startPoint.position = start;
        startPoint.directionPoint = start + direction;
        direction = quarterTurn.Transform(direction);
    }
    return startPoints;
}

}  // namespace vantrel
