// Polygon and vertex normals.
#include <cassert>

#include "mesh/RkPolygonModel.h"

namespace vantrel {

void RkPolygonModel::ComputeNormals() {
    for (MeshVertex& vertex : vertices) vertex.normal = Vector3();

    for (MeshPolygon& polygon : polygons) {
        const Vector3& p0 = vertices[polygon.vertex[0]].position;
        const Vector3& p1 = vertices[polygon.vertex[1]].position;
        const Vector3& p2 = vertices[polygon.vertex[2]].position;
        polygon.normal = (p1 - p0).Cross(p2 - p0);
        // A degenerate triangle has no direction to contribute.
        if (!polygon.normal.Normalize()) continue;
        for (int k = 0; k < 3; ++k) vertices[polygon.vertex[k]].normal += polygon.normal;
    }

    for (MeshVertex& vertex : vertices) vertex.normal.Normalize();
}

Vector3 RkPolygonModel::PolygonNormal(int polygon) const {
    assert(polygon >= 0 && polygon < static_cast<int>(polygons.size()));
    const MeshPolygon& p = polygons[polygon];
    const Vector3& p0 = vertices[p.vertex[0]].position;
    const Vector3& p1 = vertices[p.vertex[1]].position;
    const Vector3& p2 = vertices[p.vertex[2]].position;
    Vector3 normal = (p1 - p0).Cross(p2 - p0);
    // Normalize leaves a zero-area triangle's normal at (0, 0, 0) with `zero` set
    // rather than dividing by its zero length into NaN.
    normal.Normalize();
    return normal;
}

}  // namespace vantrel
