#include "conduction/PurkinjeMuscleJunctions.h"

#include "conduction/Activation.h"
#include "conduction/NearestPointGrid.h"

namespace vantrel {

std::vector<PurkinjeMuscleJunction> FindPurkinjeMuscleJunctions(
    const ConductionGraph& graph, const std::vector<double>& activation,
    const RkPolygonModel& fileMesh) {
    const std::size_t n = graph.nodes.size();
    std::vector<int> degree(n, 0);
    std::vector<int> lastEdge(n, -1);
    for (std::size_t e = 0; e < graph.edges.size(); ++e) {
        const ConductionEdge& edge = graph.edges[e];
        if (!edge.conducts) continue;
        for (const int node : {edge.from, edge.to}) {
            ++degree[static_cast<std::size_t>(node)];
            lastEdge[static_cast<std::size_t>(node)] = static_cast<int>(e);
        }
    }
    std::vector<bool> isRoot(n, false);
    for (const ConductionRoot& root : graph.roots)
        isRoot[static_cast<std::size_t>(root.node)] = true;

    std::vector<Vector3> vertices;
    vertices.reserve(fileMesh.vertices.size());
    for (const MeshVertex& vertex : fileMesh.vertices) vertices.push_back(vertex.position);
    const NearestPointGrid grid(vertices);

    std::vector<PurkinjeMuscleJunction> junctions;
    for (std::size_t v = 0; v < n; ++v) {
        if (degree[v] != 1 || isRoot[v]) continue;
        PurkinjeMuscleJunction junction;
        junction.node = static_cast<int>(v);
        const ConductionEdge& edge = graph.edges[static_cast<std::size_t>(lastEdge[v])];
        junction.fiber = graph.strokes[static_cast<std::size_t>(edge.stroke)].fiber;
        junction.activation = v < activation.size() ? activation[v] : kNotReached;
        junction.nearestVertex = grid.Nearest(graph.nodes[v], junction.vertexDistance);
        if (junction.nearestVertex < 0) junction.vertexDistance = 0.0;
        junctions.push_back(junction);
    }
    return junctions;
}

}  // namespace vantrel
