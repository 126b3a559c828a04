#include "conduction/EndocardialMap.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "conduction/ShortestPaths.h"

namespace vantrel {

namespace {

// The distinct vertex pairs of the triangles' sides, lower index first, sorted.
std::vector<std::pair<int, int>> MeshEdges(const RkPolygonModel& mesh) {
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    std::vector<std::pair<int, int>> edges;
    edges.reserve(3 * mesh.polygons.size());
    for (const MeshPolygon& polygon : mesh.polygons) {
        for (int side = 0; side < 3; ++side) {
            const int a = polygon.vertex[side];
            const int b = polygon.vertex[(side + 1) % 3];
            if (a == b || a < 0 || b < 0 || a >= vertexCount || b >= vertexCount) continue;
            edges.emplace_back(std::min(a, b), std::max(a, b));
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

}  // namespace

EndocardialMap ComputeEndocardialMap(const RkPolygonModel& fileMesh,
                                     const std::vector<bool>& fileSegmented,
                                     const std::vector<PurkinjeMuscleJunction>& junctions,
                                     const PhysiologySettings& settings,
                                     double metresPerHeartUnit) {
    const double msPerHeartUnit = metresPerHeartUnit / settings.myocardialVelocity * 1000.0;
    const std::vector<std::pair<int, int>> edges = MeshEdges(fileMesh);
    std::vector<int> a, b;
    std::vector<double> weight;
    a.reserve(edges.size());
    b.reserve(edges.size());
    weight.reserve(edges.size());
    for (const auto& edge : edges) {
        a.push_back(edge.first);
        b.push_back(edge.second);
        const Vector3 d = fileMesh.vertices[static_cast<std::size_t>(edge.second)].position -
                          fileMesh.vertices[static_cast<std::size_t>(edge.first)].position;
        weight.push_back(d.Length() * msPerHeartUnit);
    }
    const int vertexCount = static_cast<int>(fileMesh.vertices.size());
    const WeightedAdjacency adjacency = WeightedAdjacency::FromEdges(vertexCount, a, b, weight);

    std::vector<ShortestPathSource> sources;
    for (const PurkinjeMuscleJunction& junction : junctions) {
        if (!std::isfinite(junction.activation) || junction.nearestVertex < 0 ||
            junction.nearestVertex >= vertexCount) {
            continue;
        }
        sources.push_back(
            ShortestPathSource{junction.nearestVertex, junction.activation + settings.pmjDelay});
    }

    EndocardialMap map;
    map.vertexActivation = EarliestArrival(adjacency, sources);
    map.segmented.assign(fileMesh.vertices.size(), false);
    std::vector<double> reached;
    for (std::size_t v = 0; v < fileMesh.vertices.size(); ++v) {
        map.segmented[v] = v < fileSegmented.size() && fileSegmented[v];
        if (map.segmented[v] && std::isfinite(map.vertexActivation[v]))
            reached.push_back(map.vertexActivation[v]);
    }
    if (!reached.empty()) {
        std::sort(reached.begin(), reached.end());
        map.total = reached.back();
        // Nearest rank: the smallest time that at least 90 % of the times do not exceed.
        const std::size_t rank =
            static_cast<std::size_t>(std::ceil(0.9 * static_cast<double>(reached.size())));
        map.percentile90 = reached[std::max<std::size_t>(rank, 1) - 1];
    }
    return map;
}

std::vector<bool> SegmentedFileVertices(const HeartModel& heart) {
    const std::size_t fileVertexCount = heart.fileMesh.vertices.size();
    std::vector<bool> segmented(fileVertexCount, false);
    const std::size_t polygonCount = std::min(heart.mesh.polygons.size(), heart.regionIds.size());
    for (std::size_t p = 0; p < polygonCount; ++p) {
        if (heart.regionIds[p] == 0) continue;
        for (const int vertex : heart.mesh.polygons[p].vertex) {
            if (vertex >= 0 && static_cast<std::size_t>(vertex) < fileVertexCount)
                segmented[static_cast<std::size_t>(vertex)] = true;
        }
    }
    return segmented;
}

}  // namespace vantrel
