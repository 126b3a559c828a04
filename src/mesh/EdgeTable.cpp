// BuildEdgeTable: polygon normals, the winged-edge table, the vertices' edge
// links, sharp-edge marks and the optional length-weighted smoothing.
#include <cassert>
#include <cstddef>
#include <vector>

#include "mesh/RkPolygonModel.h"

namespace vantrel {
namespace {

// Length-weighted smoothing pass: every vertex moves 0.63 of the way towards the
// length-weighted mean offset of its edges' other ends. `incident` lists each
// vertex's edges in ascending edge index (the order they were created in).
void SmoothByEdgeLength(std::vector<MeshVertex>& vertices, const std::vector<MeshEdge>& edges,
                        const std::vector<int>& incidentStart, const std::vector<int>& incident) {
    std::vector<Vector3> displacement(vertices.size());
    for (size_t i = 0; i < vertices.size(); ++i) {
        const Vector3& pi = vertices[i].position;
        Vector3 weightedSum;
        double lengthSum = 0.0;
        for (int k = incidentStart[i]; k < incidentStart[i + 1]; ++k) {
            const MeshEdge& edge = edges[incident[k]];
            const int j = edge.lowVertex == static_cast<int>(i) ? edge.highVertex : edge.lowVertex;
            const Vector3 offset = vertices[j].position - pi;
            const double length = offset.Length();
            weightedSum += offset * length;
            lengthSum += length;
        }
        // A vertex without edges (or with only zero-length ones) stays where it is.
        if (lengthSum > 0.0) displacement[i] = weightedSum / lengthSum;
    }
    for (size_t i = 0; i < vertices.size(); ++i)
        vertices[i].position = vertices[i].position + displacement[i] * 0.63;
}

// Edges are found through a per-vertex chain of the edges that start at their lower
// vertex: the same edge an incident-list search finds, without one heap list per
// vertex. An edge is matched on both ends, so a triangle that repeats a vertex gets
// its own (v, v) edge instead of borrowing another.
class EdgeFinder {
public:
    EdgeFinder(std::size_t vertexCount, std::vector<MeshEdge>& edges)
        : firstFromLow_(vertexCount, -1), edges_(edges) {
        nextFromLow_.reserve(edges.capacity());
    }

    // The index of edge (lo, hi), added when it is new.
    int FindOrAdd(int lo, int hi) {
        int found = firstFromLow_[lo];
        while (found >= 0 && edges_[found].highVertex != hi) found = nextFromLow_[found];
        if (found >= 0) return found;
        found = static_cast<int>(edges_.size());
        MeshEdge edge;
        edge.lowVertex = lo;
        edge.highVertex = hi;
        edges_.push_back(edge);
        nextFromLow_.push_back(firstFromLow_[lo]);
        firstFromLow_[lo] = found;
        return found;
    }

private:
    std::vector<int> firstFromLow_;
    std::vector<int> nextFromLow_;
    std::vector<MeshEdge>& edges_;
};

void ComputeNormal(MeshPolygon& polygon, const std::vector<MeshVertex>& vertices) {
    const Vector3& p0 = vertices[polygon.vertex[0]].position;
    const Vector3& p1 = vertices[polygon.vertex[1]].position;
    const Vector3& p2 = vertices[polygon.vertex[2]].position;
    polygon.normal = (p1 - p0).Cross(p2 - p0);
    polygon.normal.Normalize();
}

// Finds or adds the three edges of polygon `index`, records the polygon on each
// edge's side (forward when the edge runs from lower to higher vertex), and links
// both end vertices to the edge.
void AddPolygonEdges(int index, MeshPolygon& polygon, std::vector<MeshVertex>& vertices,
                     std::vector<MeshEdge>& edges, EdgeFinder& finder) {
    for (int k = 0; k < 3; ++k) {
        const int a = polygon.vertex[k];
        const int b = polygon.vertex[(k + 1) % 3];
        const int lo = a < b ? a : b;
        const int hi = a < b ? b : a;
        const int found = finder.FindOrAdd(lo, hi);
        vertices[lo].edge = found;
        vertices[hi].edge = found;
        // An edge used by more than two polygons keeps the last one on each side.
        if (a < b)
            edges[found].forwardPolygon = index;
        else
            edges[found].backwardPolygon = index;
        polygon.edge[k] = found;
    }
}

// Wings go to the same side as the polygon in AddPolygonEdges (a < b: forward), and
// the last polygon wins on both, so every wing belongs to the polygon recorded on its
// side. (Deciding by "lowVertex == vertex[k]" instead would put a (v, v) edge's wings
// on the side without a polygon.)
void SetWings(const std::vector<MeshPolygon>& polygons, std::vector<MeshEdge>& edges) {
    for (const MeshPolygon& polygon : polygons) {
        for (int k = 0; k < 3; ++k) {
            MeshEdge& edge = edges[polygon.edge[k]];
            const int previous = polygon.edge[(k + 2) % 3];
            const int next = polygon.edge[(k + 1) % 3];
            if (polygon.vertex[k] < polygon.vertex[(k + 1) % 3]) {
                edge.forwardPrev = previous;
                edge.forwardNext = next;
            } else {
                edge.backwardPrev = previous;
                edge.backwardNext = next;
            }
        }
    }
}

// An edge is sharp when its polygons' normals meet below `creaseThreshold`, or when
// it is a boundary edge; nothing is sharp when the threshold is -1 or below.
void MarkSharpEdges(const std::vector<MeshPolygon>& polygons, double creaseThreshold,
                    std::vector<MeshEdge>& edges) {
    if (!(creaseThreshold > -1.0)) {
        for (MeshEdge& edge : edges) edge.sharp = false;
        return;
    }
    for (MeshEdge& edge : edges) {
        // A boundary edge has no dihedral angle; it is a feature line of its own.
        if (edge.forwardPolygon < 0 || edge.backwardPolygon < 0) {
            edge.sharp = true;
            continue;
        }
        const Vector3& n1 = polygons[edge.forwardPolygon].normal;
        const Vector3& n2 = polygons[edge.backwardPolygon].normal;
        edge.sharp = n1.Dot(n2) < creaseThreshold;
    }
}

// Incident edges of each vertex in ascending edge index, the order in which they
// were added to that vertex's list: vertex v's are incident[incidentStart[v]] up to
// incident[incidentStart[v + 1]].
void ListIncidentEdges(std::size_t vertexCount, const std::vector<MeshEdge>& edges,
                       std::vector<int>& incidentStart, std::vector<int>& incident) {
    incidentStart.assign(vertexCount + 1, 0);
    for (const MeshEdge& edge : edges) {
        ++incidentStart[edge.lowVertex + 1];
        if (edge.highVertex != edge.lowVertex) ++incidentStart[edge.highVertex + 1];
    }
    for (std::size_t v = 0; v < vertexCount; ++v) incidentStart[v + 1] += incidentStart[v];
    std::vector<int> fill(incidentStart.begin(), incidentStart.end() - 1);
    incident.assign(edges.size() * 2, 0);
    for (std::size_t e = 0; e < edges.size(); ++e) {
        incident[fill[edges[e].lowVertex]++] = static_cast<int>(e);
        if (edges[e].highVertex != edges[e].lowVertex)
            incident[fill[edges[e].highVertex]++] = static_cast<int>(e);
    }
}

}  // namespace

void RkPolygonModel::BuildEdgeTable() {
    edges.clear();
    // A vertex that no polygon uses any more must not keep a link into the old table.
    for (MeshVertex& vertex : vertices) vertex.edge = -1;
    // A closed triangle mesh has 3F/2 edges; open ones a few more.
    edges.reserve(polygons.size() * 3 / 2 + 16);

    EdgeFinder finder(vertices.size(), edges);
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        MeshPolygon& polygon = polygons[i];
        for (int k = 0; k < 3; ++k) {
            assert(polygon.vertex[k] >= 0 && polygon.vertex[k] < static_cast<int>(vertices.size()));
        }
        ComputeNormal(polygon, vertices);
        AddPolygonEdges(static_cast<int>(i), polygon, vertices, edges, finder);
    }
    SetWings(polygons, edges);
    MarkSharpEdges(polygons, creaseThreshold, edges);

    if (smoothingPasses > 0) {
        std::vector<int> incidentStart, incident;
        ListIncidentEdges(vertices.size(), edges, incidentStart, incident);
        for (int pass = 0; pass < smoothingPasses; ++pass)
            SmoothByEdgeLength(vertices, edges, incidentStart, incident);
    }
}

}  // namespace vantrel
