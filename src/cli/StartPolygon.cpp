#include "cli/StartPolygon.h"

#include "growth/SurfaceSketch.h"

namespace vantrel {

std::array<StartPoint, 4> StartPointsOnPolygon(const Vector3& p0, const Vector3& p1,
                                               const Vector3& p2, const Vector3& normal,
                                               double layerDepth) {
    // The press: the picked point, moved layerDepth under the surface.
    const Vector3 centroid = (p0 + p1 + p2) * 0.33333333333;
    const Vector3 start = PointUnderSurface(centroid, normal, layerDepth);
    // The sketch's last point, a short drag towards the polygon's first vertex.
    Vector3 towardsFirst = p0 - centroid;
    towardsFirst.Normalize();
    const Vector3 end = start + kStartDirectionLength * towardsFirst;
    // The release: four directions a quarter turn apart about the normal.
    return QuarterTurnStartPoints(start, end, normal);
}

}  // namespace vantrel
