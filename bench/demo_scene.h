#pragma once
// The demo heart's usual growth scene, shared by the growth benchmarks: eight start
// points spread over the segmented wall from apex to base, and two feature curves
// running half way round the wall at two heights.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "growth/FiberCore.h"
#include "heart/HeartModel.h"

namespace vantrel::demo_scene {

inline Vector3 Centroid(const RkPolygonModel& mesh, int polygon) {
    const MeshPolygon& p = mesh.polygons[polygon];
    return (mesh.vertices[p.vertex[0]].position + mesh.vertices[p.vertex[1]].position +
            mesh.vertices[p.vertex[2]].position) *
           0.33333333333;
}

// The point layerDepth under a polygon's centroid, where the program places points.
inline Vector3 LayerPoint(const HeartModel& heart, int polygon) {
    return Centroid(heart.mesh, polygon) - heart.mesh.polygons[polygon].normal * heart.LayerDepth();
}

// Layer points of the segmented polygons whose centroids lie within 0.15 of height
// z and on the +y side of the long axis, ordered by angle about the axis.
inline Polyline HalfRing(const HeartModel& heart, double z) {
    double centreX = 0.0, centreY = 0.0;
    for (const MeshVertex& v : heart.mesh.vertices)
        centreX += v.position.x, centreY += v.position.y;
    centreX /= heart.mesh.vertices.size();
    centreY /= heart.mesh.vertices.size();
    std::vector<std::pair<double, int>> around;
    for (int i = 0; i < static_cast<int>(heart.mesh.polygons.size()); ++i) {
        const Vector3 c = Centroid(heart.mesh, i);
        if (heart.regionIds[i] == 0 || std::fabs(c.z - z) > 0.15 || c.y < centreY) continue;
        around.emplace_back(std::atan2(c.y - centreY, c.x - centreX), i);
    }
    std::sort(around.begin(), around.end());
    Polyline curve;
    curve.color = {0.0f, 1.0f, 0.0f, 1.0f};
    for (const auto& [angle, polygon] : around) curve.points.push_back(LayerPoint(heart, polygon));
    return curve;
}

// Eight start points on segmented polygons picked at even steps through the list
// (ordered from apex to base), aimed 0.2 towards each polygon's first vertex.
// The scene's start points and curves are added to `core`.
inline void AddDemoScene(const HeartModel& heart, FiberCore& core) {
    std::vector<int> segmented;
    for (int i = 0; i < static_cast<int>(heart.regionIds.size()); ++i) {
        if (heart.regionIds[i] != 0) segmented.push_back(i);
    }
    for (int k = 0; k < 8; ++k) {
        const int polygon = segmented[(2 * k + 1) * segmented.size() / 16];
        const Vector3 start = LayerPoint(heart, polygon);
        Vector3 towards = heart.mesh.vertices[heart.mesh.polygons[polygon].vertex[0]].position -
                          Centroid(heart.mesh, polygon);
        towards.Normalize();
        core.startPoints.push_back({start, start + towards * 0.2});
    }
    core.featureCurves.push_back(HalfRing(heart, 3.0));
    core.featureCurves.push_back(HalfRing(heart, 6.5));
}

}  // namespace vantrel::demo_scene
