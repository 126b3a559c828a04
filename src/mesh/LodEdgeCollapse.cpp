// Edge collapse on the winged-edge table of LodPolygonModel: the collapsibility
// test, the merge of an edge's high vertex into its low vertex with the wings
// relinked, and the compaction that drops retired records.
#include <algorithm>
#include <utility>
#include <vector>

#include "mesh/LodPolygonModel.h"

namespace vantrel {

namespace {

int OtherEnd(const MeshEdge& edge, int vertex) {
    return edge.lowVertex == vertex ? edge.highVertex : edge.lowVertex;
}

bool Touches(const std::vector<MeshEdge>& edges, int edge, int vertex) {
    return edge >= 0 && edge < static_cast<int>(edges.size()) &&
           (edges[edge].lowVertex == vertex || edges[edge].highVertex == vertex);
}

// The ring of edges, neighbours and polygons around a vertex whose polygons
// close all the way round.
struct ClosedFan {
    std::vector<int> edges;
    std::vector<int> neighbours;
    std::vector<int> polygons;
};

// Walks round `vertex` from its edge link the way the adjacency walks do (through
// the prev wings). False when the walk meets a side without polygon, a wing that
// leaves the vertex, or an edge it has seen before other than the start: the
// vertex then lies on a boundary or the table is broken there.
bool WalkClosedFan(const RkPolygonModel& model, int vertex, ClosedFan& fan) {
    fan.edges.clear();
    fan.neighbours.clear();
    fan.polygons.clear();
    if (vertex < 0 || vertex >= static_cast<int>(model.vertices.size())) {
        return false;
    }
    const int start = model.vertices[vertex].edge;
    if (!Touches(model.edges, start, vertex)) {
        return false;
    }
    int current = start;
    for (;;) {
        const MeshEdge& edge = model.edges[current];
        const bool fromLow = edge.lowVertex == vertex;
        const int polygon = fromLow ? edge.forwardPolygon : edge.backwardPolygon;
        const int next = fromLow ? edge.forwardPrev : edge.backwardPrev;
        if (polygon < 0 || polygon >= static_cast<int>(model.polygons.size()) ||
            !Touches(model.edges, next, vertex)) {
            return false;
        }
        fan.edges.push_back(current);
        fan.neighbours.push_back(OtherEnd(edge, vertex));
        fan.polygons.push_back(polygon);
        if (next == start) {
            return true;
        }
        if (std::find(fan.edges.begin(), fan.edges.end(), next) != fan.edges.end()) {
            return false;
        }
        current = next;
    }
}

// Sets the side, wings and polygon of each of the polygon's three edges from its
// corner order, the rule the edge table is built by.
void LinkPolygonEdges(std::vector<MeshEdge>& edges, const MeshPolygon& polygon, int polygonIndex) {
    for (int k = 0; k < 3; ++k) {
        MeshEdge& edge = edges[polygon.edge[k]];
        const int previous = polygon.edge[(k + 2) % 3];
        const int next = polygon.edge[(k + 1) % 3];
        if (edge.lowVertex == polygon.vertex[k]) {
            edge.forwardPrev = previous;
            edge.forwardNext = next;
            edge.forwardPolygon = polygonIndex;
        } else {
            edge.backwardPrev = previous;
            edge.backwardNext = next;
            edge.backwardPolygon = polygonIndex;
        }
    }
}

// Old index -> new index over the records not dropped; -1 for dropped ones.
std::vector<int> Renumbering(const std::vector<bool>& dropped) {
    std::vector<int> newIndex(dropped.size(), -1);
    int next = 0;
    for (std::size_t i = 0; i < dropped.size(); ++i) {
        if (!dropped[i]) {
            newIndex[i] = next++;
        }
    }
    return newIndex;
}

int Renumbered(const std::vector<int>& newIndex, int index) {
    return (index >= 0 && index < static_cast<int>(newIndex.size())) ? newIndex[index] : -1;
}

template <typename Record>
void DropRecords(std::vector<Record>& records, const std::vector<bool>& dropped) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!dropped[i]) {
            records[kept++] = records[i];
        }
    }
    records.resize(kept);
}

// Drops the marked records and renumbers every index that the survivors hold.
void CompactModel(RkPolygonModel& model, const std::vector<bool>& vertexDropped,
                  const std::vector<bool>& polygonDropped, const std::vector<bool>& edgeDropped) {
    const std::vector<int> vertexIndex = Renumbering(vertexDropped);
    const std::vector<int> polygonIndex = Renumbering(polygonDropped);
    const std::vector<int> edgeIndex = Renumbering(edgeDropped);
    DropRecords(model.vertices, vertexDropped);
    DropRecords(model.polygons, polygonDropped);
    DropRecords(model.edges, edgeDropped);
    for (MeshVertex& vertex : model.vertices) {
        vertex.edge = Renumbered(edgeIndex, vertex.edge);
    }
    for (MeshPolygon& polygon : model.polygons) {
        for (int k = 0; k < 3; ++k) {
            polygon.vertex[k] = Renumbered(vertexIndex, polygon.vertex[k]);
            polygon.edge[k] = Renumbered(edgeIndex, polygon.edge[k]);
        }
    }
    for (MeshEdge& edge : model.edges) {
        edge.lowVertex = Renumbered(vertexIndex, edge.lowVertex);
        edge.highVertex = Renumbered(vertexIndex, edge.highVertex);
        edge.forwardPolygon = Renumbered(polygonIndex, edge.forwardPolygon);
        edge.backwardPolygon = Renumbered(polygonIndex, edge.backwardPolygon);
        edge.forwardPrev = Renumbered(edgeIndex, edge.forwardPrev);
        edge.forwardNext = Renumbered(edgeIndex, edge.forwardNext);
        edge.backwardPrev = Renumbered(edgeIndex, edge.backwardPrev);
        edge.backwardNext = Renumbered(edgeIndex, edge.backwardNext);
    }
}

// The records one edge collapse touches: edge (a, b) merges b into a; its two
// polygons vanish, and with each the edge it has at b, whose place the polygon's
// edge at a takes.
struct CollapseRecords {
    int edge, a, b;
    int forwardPolygon, backwardPolygon;
    int keptForward;   // (x, a), survives
    int lostForward;   // (b, x), vanishes
    int keptBackward;  // (a, y), survives
    int lostBackward;  // (y, b), vanishes
    int x, y;
};

CollapseRecords RecordsOfCollapse(const std::vector<MeshEdge>& edges, int edgeIndex) {
    const MeshEdge& collapsed = edges[edgeIndex];
    CollapseRecords r{};
    r.edge = edgeIndex;
    r.a = collapsed.lowVertex;
    r.b = collapsed.highVertex;
    r.forwardPolygon = collapsed.forwardPolygon;
    r.backwardPolygon = collapsed.backwardPolygon;
    r.keptForward = collapsed.forwardPrev;
    r.lostForward = collapsed.forwardNext;
    r.keptBackward = collapsed.backwardNext;
    r.lostBackward = collapsed.backwardPrev;
    r.x = OtherEnd(edges[r.keptForward], r.a);
    r.y = OtherEnd(edges[r.keptBackward], r.a);
    return r;
}

bool Vanishes(const CollapseRecords& r, int polygonIndex) {
    return polygonIndex == r.forwardPolygon || polygonIndex == r.backwardPolygon;
}

// Every polygon around b now uses a, and the edge it shared with a vanishing polygon
// is replaced by the surviving edge on that side.
void MovePolygonsToLowVertex(const ClosedFan& fanB, const CollapseRecords& r,
                             std::vector<MeshPolygon>& polygons) {
    for (int polygonIndex : fanB.polygons) {
        if (Vanishes(r, polygonIndex)) continue;
        MeshPolygon& polygon = polygons[polygonIndex];
        for (int k = 0; k < 3; ++k) {
            if (polygon.vertex[k] == r.b) polygon.vertex[k] = r.a;
            if (polygon.edge[k] == r.lostForward) {
                polygon.edge[k] = r.keptForward;
            } else if (polygon.edge[k] == r.lostBackward) {
                polygon.edge[k] = r.keptBackward;
            }
        }
    }
}

// Every surviving edge at b now ends at a; where that puts its ends out of order,
// the ends and the two sides swap so that lowVertex < highVertex.
void MoveEdgesToLowVertex(const ClosedFan& fanB, const CollapseRecords& r,
                          std::vector<MeshEdge>& edges) {
    for (int around : fanB.edges) {
        if (around == r.edge || around == r.lostForward || around == r.lostBackward) continue;
        MeshEdge& edge = edges[around];
        if (edge.lowVertex == r.b) {
            edge.lowVertex = r.a;
        } else {
            edge.highVertex = r.a;
        }
        if (edge.lowVertex > edge.highVertex) {
            std::swap(edge.lowVertex, edge.highVertex);
            std::swap(edge.forwardPolygon, edge.backwardPolygon);
            std::swap(edge.forwardPrev, edge.backwardPrev);
            std::swap(edge.forwardNext, edge.backwardNext);
        }
    }
}

// Relinks the wings inside every changed polygon. The surviving edges (x, a) and
// (a, y) thereby take the vanished polygons' sides over from the polygons across the
// vanished edges; their other sides are untouched.
void RelinkChangedPolygons(const ClosedFan& fanB, const CollapseRecords& r,
                           const std::vector<MeshPolygon>& polygons, std::vector<MeshEdge>& edges) {
    for (int polygonIndex : fanB.polygons) {
        if (!Vanishes(r, polygonIndex))
            LinkPolygonEdges(edges, polygons[polygonIndex], polygonIndex);
    }
}

void RelinkVertices(const CollapseRecords& r, std::vector<MeshVertex>& vertices) {
    vertices[r.a].edge = r.keptForward;
    vertices[r.x].edge = r.keptForward;
    vertices[r.y].edge = r.keptBackward;
    vertices[r.b].edge = -1;
}

// Without level-of-detail flags: drops this collapse's vanished records at once.
void DropCollapsedRecords(const CollapseRecords& r, RkPolygonModel& model) {
    std::vector<bool> vertexRetired(model.vertices.size(), false);
    std::vector<bool> polygonRetired(model.polygons.size(), false);
    std::vector<bool> edgeRetired(model.edges.size(), false);
    vertexRetired[r.b] = true;
    polygonRetired[r.forwardPolygon] = polygonRetired[r.backwardPolygon] = true;
    edgeRetired[r.edge] = edgeRetired[r.lostForward] = edgeRetired[r.lostBackward] = true;
    CompactModel(model, vertexRetired, polygonRetired, edgeRetired);
}

}  // namespace

bool LodPolygonModel::IsCollapsible(int edgeIndex) const {
    if (edgeIndex < 0 || edgeIndex >= static_cast<int>(edges.size())) {
        return false;
    }
    if (LodDataMatchesModel() && vertexPairs[edgeIndex].removed) {
        return false;
    }
    const MeshEdge& edge = edges[edgeIndex];
    const int a = edge.lowVertex;
    const int b = edge.highVertex;
    if (a == b || edge.forwardPolygon < 0 || edge.backwardPolygon < 0 ||
        !Touches(edges, edge.forwardPrev, a) || !Touches(edges, edge.backwardNext, a)) {
        return false;
    }
    // Both ends need closed fans: merging at a boundary would pinch the surface.
    ClosedFan fanA;
    ClosedFan fanB;
    if (!WalkClosedFan(*this, a, fanA) || !WalkClosedFan(*this, b, fanB)) {
        return false;
    }
    // With three edges the merge would leave a vertex of valence two (or fold a
    // tetrahedron flat).
    if (fanA.edges.size() < 4 || fanB.edges.size() < 4) {
        return false;
    }
    const int x = OtherEnd(edges[edge.forwardPrev], a);
    const int y = OtherEnd(edges[edge.backwardNext], a);
    if (x == y) {
        return false;
    }
    // Link condition: a common neighbour besides x and y would end up joined to
    // the merged vertex by two edges.
    for (int neighbour : fanB.neighbours) {
        if (neighbour == x || neighbour == y || neighbour == a) {
            continue;
        }
        if (std::find(fanA.neighbours.begin(), fanA.neighbours.end(), neighbour) !=
            fanA.neighbours.end()) {
            return false;
        }
    }
    return true;
}

bool LodPolygonModel::CollapseEdge(int edgeIndex, bool keepArrays) {
    if (!IsCollapsible(edgeIndex)) {
        return false;
    }
    const bool haveLodData = LodDataMatchesModel();
    // Keeping the arrays relies on the removed flags to retire the vanished records.
    if (keepArrays && !haveLodData) {
        return false;
    }

    // The collapsed edge's record itself is not changed: UpdatePairsAround reads the
    // vanished records from it.
    const CollapseRecords r = RecordsOfCollapse(edges, edgeIndex);
    ClosedFan fanB;
    WalkClosedFan(*this, r.b, fanB);
    MovePolygonsToLowVertex(fanB, r, polygons);
    MoveEdgesToLowVertex(fanB, r, edges);
    RelinkChangedPolygons(fanB, r, polygons, edges);
    RelinkVertices(r, vertices);

    if (haveLodData) {
        vertexQuadrics[r.b].removed = true;
        polygonPlanes[r.forwardPolygon].removed = true;
        polygonPlanes[r.backwardPolygon].removed = true;
        vertexPairs[r.edge].removed = true;
        vertexPairs[r.lostForward].removed = true;
        vertexPairs[r.lostBackward].removed = true;
        if (!keepArrays) CompactRetired();
    } else {
        DropCollapsedRecords(r, *this);
        ComputeNormals();
    }
    return true;
}

void LodPolygonModel::CompactRetired() {
    if (LodDataMatchesModel()) {
        std::vector<bool> vertexRetired(vertices.size());
        std::vector<bool> polygonRetired(polygons.size());
        std::vector<bool> edgeRetired(edges.size());
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            vertexRetired[i] = vertexQuadrics[i].removed;
        }
        for (std::size_t i = 0; i < polygons.size(); ++i) {
            polygonRetired[i] = polygonPlanes[i].removed;
        }
        for (std::size_t i = 0; i < edges.size(); ++i) {
            edgeRetired[i] = vertexPairs[i].removed;
        }
        CompactModel(*this, vertexRetired, polygonRetired, edgeRetired);
    }
    ComputeNormals();
    ClearLodData();
}

}  // namespace vantrel
