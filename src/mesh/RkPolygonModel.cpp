// Life cycle, counts and whole-model transforms of RkPolygonModel.
#include "mesh/RkPolygonModel.h"

namespace vantrel {

void RkPolygonModel::CopyFrom(const RkPolygonModel& other) {
    // Clear would empty the source too.
    if (&other == this) return;
    Clear();
    edges = other.edges;
    creaseThreshold = other.creaseThreshold;
    polygons = other.polygons;
    smoothingPasses = other.smoothingPasses;
    vertices = other.vertices;
}

void RkPolygonModel::Clear() {
    creaseThreshold = -1.0;
    smoothingPasses = 0;
    vertices.clear();
    polygons.clear();
    edges.clear();
}

bool RkPolygonModel::SameCounts(const RkPolygonModel& other) const {
    return vertices.size() == other.vertices.size() && polygons.size() == other.polygons.size();
}

void RkPolygonModel::Translate(const Vector3& d) {
    for (MeshVertex& vertex : vertices) {
        vertex.position.x += d.x;
        vertex.position.y += d.y;
        vertex.position.z += d.z;
    }
}

void RkPolygonModel::FitToSize(double size) {
    if (vertices.empty()) return;
    // The single-precision extremes are the starting values of the box.
    const double far = 3.4028234663852886e38;
    Vector3 low(far, far, far);
    Vector3 high(-far, -far, -far);
    for (const MeshVertex& vertex : vertices) {
        const Vector3& p = vertex.position;
        if (p.x < low.x) low.x = p.x;
        if (p.y < low.y) low.y = p.y;
        if (p.z < low.z) low.z = p.z;
        if (p.x > high.x) high.x = p.x;
        if (p.y > high.y) high.y = p.y;
        if (p.z > high.z) high.z = p.z;
    }
    double largest = high.x - low.x;
    if (high.y - low.y > largest) largest = high.y - low.y;
    if (high.z - low.z > largest) largest = high.z - low.z;

    const Vector3 centre = (low + high) * 0.5;
    // A model without extent (one point) cannot be scaled to a size: dividing by
    // 0 would turn every position into NaN, so it is only centred.
    const double factor = largest > 0.0 ? size / largest : 1.0;
    for (MeshVertex& vertex : vertices) vertex.position = (vertex.position - centre) * factor;
}

void RkPolygonModel::ScaleAbout(double factor, const Vector3& centre) {
    if (factor == 1.0) return;
    for (MeshVertex& vertex : vertices)
        vertex.position = centre + (vertex.position - centre) * factor;
}

}  // namespace vantrel
