#include "mesh/HoleCapping.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vantrel {
namespace {

struct DirectedEdge {
    int from;
    int to;
};

std::uint64_t EdgeKey(int a, int b) {
    const std::uint32_t low = static_cast<std::uint32_t>(std::min(a, b));
    const std::uint32_t high = static_cast<std::uint32_t>(std::max(a, b));
    return (static_cast<std::uint64_t>(low) << 32) | high;
}

// The edges used by exactly one polygon, in the direction that polygon runs
// along them, in polygon order.
std::vector<DirectedEdge> BoundaryEdges(const RkPolygonModel& model) {
    std::unordered_map<std::uint64_t, int> uses;
    uses.reserve(model.polygons.size() * 2);
    for (const MeshPolygon& polygon : model.polygons)
        for (int k = 0; k < 3; ++k) ++uses[EdgeKey(polygon.vertex[k], polygon.vertex[(k + 1) % 3])];
    std::vector<DirectedEdge> boundary;
    for (const MeshPolygon& polygon : model.polygons) {
        for (int k = 0; k < 3; ++k) {
            const int a = polygon.vertex[k];
            const int b = polygon.vertex[(k + 1) % 3];
            if (a != b && uses[EdgeKey(a, b)] == 1) boundary.push_back({a, b});
        }
    }
    return boundary;
}

}  // namespace

CappingSummary CapBoundaryLoops(RkPolygonModel& model) {
    CappingSummary summary;
    const std::vector<DirectedEdge> boundary = BoundaryEdges(model);
    // Boundary edges leaving each vertex, in boundary order.
    std::unordered_map<int, std::vector<int>> leaving;
    for (size_t i = 0; i < boundary.size(); ++i)
        leaving[boundary[i].from].push_back(static_cast<int>(i));
    std::vector<bool> used(boundary.size(), false);

    std::vector<int> loop;
    for (size_t start = 0; start < boundary.size(); ++start) {
        if (used[start]) continue;
        // Follow the boundary from edge `start` until it comes back to its first vertex.
        loop.assign(1, static_cast<int>(start));
        used[start] = true;
        bool closed = false;
        while (true) {
            const int at = boundary[loop.back()].to;
            if (at == boundary[start].from) {
                closed = true;
                break;
            }
            int next = -1;
            for (const int candidate : leaving[at]) {
                if (!used[candidate]) {
                    next = candidate;
                    break;
                }
            }
            if (next < 0) break;
            used[next] = true;
            loop.push_back(next);
        }
        if (!closed) {
            ++summary.openChains;
            continue;
        }
        Vector3 centre;
        for (const int edge : loop) centre += model.vertices[boundary[edge].from].position;
        MeshVertex centreVertex;
        centreVertex.position = centre / static_cast<double>(loop.size());
        const int centreIndex = static_cast<int>(model.vertices.size());
        model.vertices.push_back(centreVertex);
        for (const int edge : loop) {
            MeshPolygon triangle;
            triangle.vertex[0] = boundary[edge].to;
            triangle.vertex[1] = boundary[edge].from;
            triangle.vertex[2] = centreIndex;
            model.polygons.push_back(triangle);
        }
        ++summary.loops;
        summary.triangles += static_cast<int>(loop.size());
    }
    return summary;
}

}  // namespace vantrel
