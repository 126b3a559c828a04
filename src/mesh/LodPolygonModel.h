#pragma once
// LodPolygonModel: level-of-detail simplification of a closed triangle mesh by
// repeated edge collapses in order of a quadric error.
//
// Every vertex sums the squared distances to the planes of its polygons (a 4x4
// quadric); every edge (vertex pair) gets the position that minimises the summed
// quadric of its two ends and the error there as its cost; the cheapest
// collapsible pair is merged first. Collapsed records stay in the base arrays,
// retired through the `removed` flags below, until CompactRetired drops them.
//
// Use: ConstructLOD(); Simplify(n); CompactRetired(); then the base arrays hold
// the simplified mesh. Failures are std::runtime_error with the messages quoted
// at each operation.
#include <queue>
#include <vector>

#include "geometry/Vector3.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

struct VertexQuadric {
    bool removed = false;
    // Symmetric 4x4 quadric, row-major: sum of p p^T over the planes p = (a, b, c, d)
    // of the vertex's polygons.
    double quadric[16] = {};
    int vertex = -1;
};

struct PolygonPlane {
    // Unit normal of the polygon when the level-of-detail data was built.
    Vector3 normal;
    bool removed = false;
};

struct VPair {
    bool removed = false;
    // Sum of the quadrics of the edge's two ends.
    double quadric[16] = {};
    // Where the merged vertex goes.
    Vector3 target;
    // The edge this pair belongs to (the pair array runs parallel to the edges).
    int edge = -1;
    // Quadric error at the target.
    double cost = 0.0;
    // Raised each time the pair is re-costed; heap entries with an older stamp are stale.
    int stamp = 0;
};

// A pair as it was when it was pushed. The cost is stored with the entry, so
// the heap's order never changes under it; an entry whose stamp no longer
// matches its pair's is stale and skipped.
struct VPairHeapEntry {
    int stamp = 0;
    int pair = -1;
    double cost = 0.0;
};

// Orders the heap so that the smallest cost is on top.
struct VPairCostAbove {
    bool operator()(const VPairHeapEntry& a, const VPairHeapEntry& b) const {
        return b.cost < a.cost;
    }
};

using VPairHeap = std::priority_queue<VPairHeapEntry, std::vector<VPairHeapEntry>, VPairCostAbove>;

class LodPolygonModel : public RkPolygonModel {
public:
    // Copies the base model; level-of-detail data is dropped (ConstructLOD again).
    void CopyFrom(const RkPolygonModel& other) override;

    // Builds the edge table, polygon planes, vertex quadrics, pairs and heap from
    // the current arrays, and allows the next Simplify. Zero-area polygons add
    // nothing to the quadrics. Throws like VPair_Heap_SetupFromEdgeExtData for a
    // model without edges.
    void ConstructLOD();

    // Empties the heap and pushes one entry per pair in index order. Throws
    // "VPair_Heap_SetupFromEdgeExtData(): Edge data is not defined!" when there
    // are no pairs or their count differs from the edge count.
    void VPair_Heap_SetupFromEdgeExtData();

    // The cheapest valid pair (current stamp, not removed, collapsible); invalid
    // entries met on top are popped, the returned one stays. Throws
    // "No available next vpair!" when the heap runs empty.
    VPair& NextVPair();

    // True when the edge can be merged without breaking the closed manifold: both
    // ends have closed fans of at least 4 edges, and no neighbour of the high end
    // other than the two vertices opposite the edge is also a neighbour of the
    // low end. Boundary edges, edges at boundary vertices, retired edges and
    // indices outside the table give false.
    bool IsCollapsible(int edge) const;

    // Merges the edge's highVertex into its lowVertex (which keeps its position):
    // the two polygons of the edge and two of its neighbouring edges vanish and
    // the winged-edge table stays valid for the adjacency walks.
    // keepArrays true: the vanished records stay in the arrays, retired through
    // the removed flags (needs ConstructLOD's data; without it the result is
    // false). keepArrays false: all retired records are dropped at once as in
    // CompactRetired. False, without change, when IsCollapsible says no.
    bool CollapseEdge(int edge, bool keepArrays);

    // After a collapse of `collapsed`'s edge: retires its pair records, quadric and
    // planes, moves the surviving vertex to the pair's target with the pair's
    // quadric, and re-costs and re-pushes every pair around the survivor.
    void UpdatePairsAround(const VPair& collapsed);

    // `count` collapse steps. Throws "Simplify() method can be called only once
    // after each call of ConstructLOD()." on a second call, then
    // "No LOD data to be simplified." when the heap is empty, and
    // "No available next vpair!" when the pairs run out (the collapses done so
    // far stay done).
    void Simplify(int count);

    // One collapse step without Simplify's checks; returns true. Throws
    // "No available next vpair!" when no pair is left.
    bool SimplifyStep();

    // Drops every retired vertex, polygon and edge, renumbers all indices in
    // order (the survivors keep their relative order), recomputes the normals
    // and clears the level-of-detail data.
    void CompactRetired();

    // Number of vertices, polygons and edges not retired.
    int LiveVertexCount() const;
    int LivePolygonCount() const;
    int LiveEdgeCount() const;

    std::vector<VertexQuadric> vertexQuadrics;
    std::vector<VPair> vertexPairs;
    std::vector<PolygonPlane> polygonPlanes;
    VPairHeap pairHeap;
    bool simplified = false;

private:
    // True when the level-of-detail arrays run parallel to the base arrays.
    bool LodDataMatchesModel() const;
    void ClearLodData();
    // Target and cost of a pair from its quadric and its edge's end positions.
    void CostPair(VPair& pair) const;
};

}  // namespace vantrel
