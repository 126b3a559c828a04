// Quadrics, pair costing, the stamped heap and the simplification loop of
// LodPolygonModel. The collapse itself is in LodEdgeCollapse.cpp.
#include "mesh/LodPolygonModel.h"

#include <cmath>
#include <stdexcept>

#include "geometry/MatrixN.h"

namespace vantrel {

namespace {

void AddPlaneQuadric(const Vector3& normal, const Vector3& point, double* quadric) {
    const double plane[4] = {normal.x, normal.y, normal.z,
                             -(normal.x * point.x + normal.y * point.y + normal.z * point.z)};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            quadric[i * 4 + j] += plane[i] * plane[j];
        }
    }
}

// v^T Q v with v = (p, 1).
double QuadricError(const double* quadric, const Vector3& p) {
    const double v[4] = {p.x, p.y, p.z, 1.0};
    double qv[4];
    MultiplyMatVecN(quadric, v, qv, 4);
    double error = 0.0;
    for (int i = 0; i < 4; ++i) {
        error += v[i] * qv[i];
    }
    return error;
}

bool IsFinite(const Vector3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

void LodPolygonModel::CopyFrom(const RkPolygonModel& other) {
    RkPolygonModel::CopyFrom(other);
    ClearLodData();
}

void LodPolygonModel::ClearLodData() {
    vertexQuadrics.clear();
    vertexPairs.clear();
    polygonPlanes.clear();
    pairHeap = VPairHeap();
    simplified = false;
}

bool LodPolygonModel::LodDataMatchesModel() const {
    return !vertexPairs.empty() && vertexPairs.size() == edges.size() &&
           vertexQuadrics.size() == vertices.size() && polygonPlanes.size() == polygons.size();
}

void LodPolygonModel::ConstructLOD() {
    BuildEdgeTable();

    polygonPlanes.assign(polygons.size(), PolygonPlane());
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        polygonPlanes[i].normal = PolygonNormal(static_cast<int>(i));
    }

    vertexQuadrics.assign(vertices.size(), VertexQuadric());
    std::vector<int> fan;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        VertexQuadric& record = vertexQuadrics[i];
        record.vertex = static_cast<int>(i);
        fan.clear();
        PolygonsAroundVertex(static_cast<int>(i), fan);
        for (int polygon : fan) {
            const Vector3& normal = polygonPlanes[polygon].normal;
            // A zero-area polygon has no plane; its zero normal would add nothing
            // anyway, but a NaN from a broken position must not spread.
            if (normal.zero || !IsFinite(normal)) {
                continue;
            }
            AddPlaneQuadric(normal, vertices[i].position, record.quadric);
        }
    }

    vertexPairs.assign(edges.size(), VPair());
    for (std::size_t i = 0; i < edges.size(); ++i) {
        VPair& pair = vertexPairs[i];
        pair.edge = static_cast<int>(i);
        const double* low = vertexQuadrics[edges[i].lowVertex].quadric;
        const double* high = vertexQuadrics[edges[i].highVertex].quadric;
        for (int k = 0; k < 16; ++k) {
            pair.quadric[k] = low[k] + high[k];
        }
        CostPair(pair);
    }

    VPair_Heap_SetupFromEdgeExtData();
    simplified = false;
}

void LodPolygonModel::CostPair(VPair& pair) const {
    // The minimiser solves the gradient of the quadric error set to zero:
    // Q with its last row replaced by (0, 0, 0, 1), right-hand side (0, 0, 0, 1).
    double system[16];
    for (int k = 0; k < 12; ++k) {
        system[k] = pair.quadric[k];
    }
    system[12] = 0.0;
    system[13] = 0.0;
    system[14] = 0.0;
    system[15] = 1.0;
    const double rightHandSide[4] = {0.0, 0.0, 0.0, 1.0};
    const std::vector<double> solution = SolveLinearN(system, rightHandSide, 4);
    const Vector3 solved(solution[0], solution[1], solution[2]);

    const MeshEdge& edge = edges[pair.edge];
    const Vector3& low = vertices[edge.lowVertex].position;
    const Vector3& high = vertices[edge.highVertex].position;
    const Vector3 middle = (low + high) * 0.5;
    // On flat or creased regions the quadric is singular and the solve yields
    // NaN or a point far off the surface; only a target near the edge is kept.
    if (IsFinite(solved) && (solved - middle).Length() <= (high - low).Length()) {
        pair.target = solved;
        pair.cost = QuadricError(pair.quadric, solved);
        return;
    }
    const Vector3 candidates[3] = {middle, low, high};
    pair.target = candidates[0];
    pair.cost = QuadricError(pair.quadric, candidates[0]);
    for (int i = 1; i < 3; ++i) {
        const double cost = QuadricError(pair.quadric, candidates[i]);
        if (cost < pair.cost) {
            pair.target = candidates[i];
            pair.cost = cost;
        }
    }
}

void LodPolygonModel::VPair_Heap_SetupFromEdgeExtData() {
    if (vertexPairs.size() != edges.size() || vertexPairs.empty()) {
        throw std::runtime_error("VPair_Heap_SetupFromEdgeExtData(): Edge data is not defined!");
    }
    pairHeap = VPairHeap();
    for (std::size_t i = 0; i < vertexPairs.size(); ++i) {
        pairHeap.push(
            VPairHeapEntry{vertexPairs[i].stamp, static_cast<int>(i), vertexPairs[i].cost});
    }
}

VPair& LodPolygonModel::NextVPair() {
    while (!pairHeap.empty()) {
        const VPairHeapEntry& top = pairHeap.top();
        VPair& pair = vertexPairs[top.pair];
        if (top.stamp == pair.stamp && !pair.removed && IsCollapsible(pair.edge)) {
            return pair;
        }
        pairHeap.pop();
    }
    throw std::runtime_error("No available next vpair!");
}

void LodPolygonModel::UpdatePairsAround(const VPair& collapsed) {
    const int edgeIndex = collapsed.edge;
    if (edgeIndex < 0 || edgeIndex >= static_cast<int>(edges.size()) || !LodDataMatchesModel()) {
        return;
    }
    // The collapsed edge's own record is left as it was, so its wings still name
    // the records that vanished with it.
    const MeshEdge edge = edges[edgeIndex];
    vertexPairs[edgeIndex].removed = true;
    vertexPairs[edge.forwardNext].removed = true;
    vertexPairs[edge.backwardPrev].removed = true;
    vertexQuadrics[edge.highVertex].removed = true;
    polygonPlanes[edge.forwardPolygon].removed = true;
    polygonPlanes[edge.backwardPolygon].removed = true;

    const int survivor = edge.lowVertex;
    vertices[survivor].position = collapsed.target;
    for (int k = 0; k < 16; ++k) {
        vertexQuadrics[survivor].quadric[k] = collapsed.quadric[k];
    }

    const int start = edge.forwardPrev;
    int current = start;
    // A closed fan returns to its start; the bound only guards a broken table.
    for (std::size_t steps = 0; current >= 0 && steps < edges.size(); ++steps) {
        const MeshEdge& around = edges[current];
        VPair& pair = vertexPairs[current];
        const double* low = vertexQuadrics[around.lowVertex].quadric;
        const double* high = vertexQuadrics[around.highVertex].quadric;
        for (int k = 0; k < 16; ++k) {
            pair.quadric[k] = low[k] + high[k];
        }
        CostPair(pair);
        pair.stamp += 1;
        pairHeap.push(VPairHeapEntry{pair.stamp, current, pair.cost});

        current = (around.lowVertex == survivor) ? around.forwardPrev : around.backwardPrev;
        if (current == start) {
            break;
        }
    }
}

void LodPolygonModel::Simplify(int count) {
    if (simplified) {
        throw std::runtime_error(
            "Simplify() method can be called only once after each call of ConstructLOD().");
    }
    simplified = true;
    if (pairHeap.empty()) {
        throw std::runtime_error("No LOD data to be simplified.");
    }
    for (int i = 0; i < count; ++i) {
        SimplifyStep();
    }
}

bool LodPolygonModel::SimplifyStep() {
    VPair& pair = NextVPair();
    pairHeap.pop();
    CollapseEdge(pair.edge, true);
    UpdatePairsAround(pair);
    return true;
}

int LodPolygonModel::LiveVertexCount() const {
    if (!LodDataMatchesModel()) {
        return static_cast<int>(vertices.size());
    }
    int count = 0;
    for (const VertexQuadric& record : vertexQuadrics) {
        count += record.removed ? 0 : 1;
    }
    return count;
}

int LodPolygonModel::LivePolygonCount() const {
    if (!LodDataMatchesModel()) {
        return static_cast<int>(polygons.size());
    }
    int count = 0;
    for (const PolygonPlane& plane : polygonPlanes) {
        count += plane.removed ? 0 : 1;
    }
    return count;
}

int LodPolygonModel::LiveEdgeCount() const {
    if (!LodDataMatchesModel()) {
        return static_cast<int>(edges.size());
    }
    int count = 0;
    for (const VPair& pair : vertexPairs) {
        count += pair.removed ? 0 : 1;
    }
    return count;
}

}  // namespace vantrel
