// Level-of-detail simplification: the heap rules and exceptions on small shapes,
// and on real closed meshes that repeated collapses keep a valid closed
// manifold close to the original surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "mesh/LodPolygonModel.h"
#include "shapes.h"

namespace vantrel {
namespace {

LodPolygonModel AsLod(const RkPolygonModel& model) {
    LodPolygonModel lod;
    lod.CopyFrom(model);
    return lod;
}

bool LoadShared(const std::string& name, LodPolygonModel& model) {
    const std::string path = std::string(VANTREL_SHARED_DATA_DIR) + "/" + name;
    return std::ifstream(path).good() && model.LoadObj(path);
}

std::string ThrownMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

int NextPairIndex(LodPolygonModel& model) { return static_cast<int>(&model.NextVPair() - model.vertexPairs.data()); }

// A closed block whose top is a flat 4 x 3 grid (two adjacent interior vertices,
// 1 and 2 in the middle row: indices 5 and 6) and whose sides run down to one apex.
RkPolygonModel FlatTopBlock() {
    RkPolygonModel model;
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 4; ++i) {
            MeshVertex vertex;
            vertex.position = Vector3(i, j, 0.0);
            model.vertices.push_back(vertex);
        }
    }
    MeshVertex apex;
    apex.position = Vector3(1.5, 1.0, -1.0);
    model.vertices.push_back(apex);
    auto add = [&model](int a, int b, int c) {
        MeshPolygon polygon;
        polygon.vertex[0] = a;
        polygon.vertex[1] = b;
        polygon.vertex[2] = c;
        model.polygons.push_back(polygon);
    };
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 3; ++i) {
            const int corner = j * 4 + i;
            add(corner, corner + 1, corner + 5);
            add(corner, corner + 5, corner + 4);
        }
    }
    const int ring[] = {0, 1, 2, 3, 7, 11, 10, 9, 8, 4};
    for (int k = 0; k < 10; ++k) {
        add(ring[(k + 1) % 10], ring[k], 12);
    }
    return model;
}

// Checks that the winged-edge table of a compacted model is exactly what the
// polygons imply: every polygon edge joins its corners, each side of every edge
// names a polygon that runs along it in that direction with the right wings,
// no vertex pair has two edges, and every vertex link touches its vertex.
void ExpectConsistentClosedTable(const RkPolygonModel& model) {
    std::set<std::pair<int, int>> pairs;
    for (std::size_t i = 0; i < model.edges.size(); ++i) {
        const MeshEdge& edge = model.edges[i];
        ASSERT_LT(edge.lowVertex, edge.highVertex) << "edge " << i;
        ASSERT_TRUE(pairs.insert({edge.lowVertex, edge.highVertex}).second) << "duplicate edge " << i;
        for (bool forward : {true, false}) {
            const int polygonIndex = forward ? edge.forwardPolygon : edge.backwardPolygon;
            ASSERT_GE(polygonIndex, 0) << "edge " << i << " lacks a side";
            ASSERT_LT(polygonIndex, static_cast<int>(model.polygons.size()));
            const MeshPolygon& polygon = model.polygons[polygonIndex];
            const int from = forward ? edge.lowVertex : edge.highVertex;
            const int k = static_cast<int>(std::find(polygon.vertex, polygon.vertex + 3, from) - polygon.vertex);
            ASSERT_LT(k, 3) << "edge " << i;
            EXPECT_EQ(polygon.edge[k], static_cast<int>(i));
            EXPECT_EQ(polygon.vertex[(k + 1) % 3], forward ? edge.highVertex : edge.lowVertex);
            EXPECT_EQ(forward ? edge.forwardPrev : edge.backwardPrev, polygon.edge[(k + 2) % 3]);
            EXPECT_EQ(forward ? edge.forwardNext : edge.backwardNext, polygon.edge[(k + 1) % 3]);
        }
    }
    for (std::size_t v = 0; v < model.vertices.size(); ++v) {
        const int link = model.vertices[v].edge;
        ASSERT_GE(link, 0) << "vertex " << v << " has no edge";
        EXPECT_TRUE(model.edges[link].lowVertex == static_cast<int>(v) ||
                    model.edges[link].highVertex == static_cast<int>(v));
    }
}

// Around every vertex not retired, the walk closes: as many polygons as edges,
// each polygon live and using the vertex. Works in the kept-array state too.
void ExpectWalksClose(const LodPolygonModel& model) {
    const bool flagged = model.vertexQuadrics.size() == model.vertices.size();
    std::vector<int> polygons;
    for (std::size_t v = 0; v < model.vertices.size(); ++v) {
        if (flagged && model.vertexQuadrics[v].removed) {
            continue;
        }
        polygons.clear();
        model.PolygonsAroundVertex(static_cast<int>(v), polygons);
        const int valence = model.Valence(static_cast<int>(v));
        ASSERT_GE(valence, 3) << "vertex " << v;
        ASSERT_EQ(static_cast<int>(polygons.size()), valence) << "open fan at vertex " << v;
        for (int p : polygons) {
            const MeshPolygon& polygon = model.polygons[p];
            if (flagged) {
                EXPECT_FALSE(model.polygonPlanes[p].removed) << "walk reached a retired polygon";
            }
            EXPECT_TRUE(std::count(polygon.vertex, polygon.vertex + 3, static_cast<int>(v)) == 1);
        }
    }
}

int EulerCharacteristic(const LodPolygonModel& model) {
    return model.LiveVertexCount() - model.LiveEdgeCount() + model.LivePolygonCount();
}

// Distance from p to the triangle (a, b, c), by the closest-point regions.
double PointTriangleDistance(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c) {
    const Vector3 ab = b - a, ac = c - a, ap = p - a;
    const double d1 = ab.Dot(ap), d2 = ac.Dot(ap);
    if (d1 <= 0 && d2 <= 0) return ap.Length();
    const Vector3 bp = p - b;
    const double d3 = ab.Dot(bp), d4 = ac.Dot(bp);
    if (d3 >= 0 && d4 <= d3) return bp.Length();
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return (p - (a + ab * (d1 / (d1 - d3)))).Length();
    const Vector3 cp = p - c;
    const double d5 = ab.Dot(cp), d6 = ac.Dot(cp);
    if (d6 >= 0 && d5 <= d6) return cp.Length();
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return (p - (a + ac * (d2 / (d2 - d6)))).Length();
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        return (p - (b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6))))).Length();
    }
    const double denominator = 1.0 / (va + vb + vc);
    return (p - (a + ab * (vb * denominator) + ac * (vc * denominator))).Length();
}

double DistanceToSurface(const Vector3& p, const RkPolygonModel& surface) {
    double best = 1e300;
    for (const MeshPolygon& polygon : surface.polygons) {
        best = std::min(best, PointTriangleDistance(p, surface.vertices[polygon.vertex[0]].position,
                                                    surface.vertices[polygon.vertex[1]].position,
                                                    surface.vertices[polygon.vertex[2]].position));
    }
    return best;
}

double BoundingBoxDiagonal(const RkPolygonModel& model) {
    Vector3 low(1e300, 1e300, 1e300), high(-1e300, -1e300, -1e300);
    for (const MeshVertex& vertex : model.vertices) {
        const Vector3& p = vertex.position;
        low = Vector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = Vector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    return (high - low).Length();
}

// ---------------------------------------------------------------- rules and exceptions

TEST(LodExceptions, TetrahedronHasNoCollapsiblePair) {
    LodPolygonModel model = AsLod(shapes::Tetrahedron());
    model.ConstructLOD();
    ASSERT_EQ(model.vertexPairs.size(), 6u);
    for (int edge = -1; edge <= 6; ++edge) {
        EXPECT_FALSE(model.IsCollapsible(edge));
        EXPECT_FALSE(model.CollapseEdge(edge, edge % 2 == 0));
    }
    EXPECT_EQ(ThrownMessage([&] { model.Simplify(1); }), "No available next vpair!");
    EXPECT_EQ(model.LiveVertexCount(), 4);
    EXPECT_EQ(model.vertices.size(), 4u);
}

TEST(LodExceptions, LinkConditionBlocksEveryEdgeOfATriangularBipyramid) {
    // Equator vertices have valence 4, but each equator edge's ends share the
    // third equator vertex besides the two apexes; the apexes have valence 3.
    RkPolygonModel bipyramid = shapes::MakeModel(
        {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-0.5, 0.866, 0}, {-0.5, -0.866, 0}},
        {{2, 3, 0}, {3, 4, 0}, {4, 2, 0}, {3, 2, 1}, {4, 3, 1}, {2, 4, 1}});
    LodPolygonModel model = AsLod(bipyramid);
    model.ConstructLOD();
    for (std::size_t edge = 0; edge < model.edges.size(); ++edge) {
        EXPECT_FALSE(model.IsCollapsible(static_cast<int>(edge))) << "edge " << edge;
    }
    EXPECT_EQ(ThrownMessage([&] { model.Simplify(1); }), "No available next vpair!");
}

TEST(LodExceptions, SimplifyRunsOncePerConstruction) {
    LodPolygonModel model = AsLod(shapes::Octahedron());
    model.ConstructLOD();
    model.Simplify(1);
    const int vertices = model.LiveVertexCount();
    EXPECT_EQ(vertices, 5);
    EXPECT_EQ(ThrownMessage([&] { model.Simplify(1); }),
              "Simplify() method can be called only once after each call of ConstructLOD().");
    EXPECT_EQ(model.LiveVertexCount(), vertices) << "nothing collapses after the refusal";

    model.CompactRetired();
    model.ConstructLOD();
    EXPECT_NO_THROW(model.Simplify(0));
}

TEST(LodExceptions, MissingDataIsReportedWithTheQuotedMessages) {
    LodPolygonModel unbuilt = AsLod(shapes::Octahedron());
    EXPECT_EQ(ThrownMessage([&] { unbuilt.Simplify(1); }), "No LOD data to be simplified.");

    LodPolygonModel empty;
    EXPECT_EQ(ThrownMessage([&] { empty.ConstructLOD(); }),
              "VPair_Heap_SetupFromEdgeExtData(): Edge data is not defined!");
    EXPECT_EQ(ThrownMessage([&] { empty.SimplifyStep(); }), "No available next vpair!");

    LodPolygonModel model = AsLod(shapes::Octahedron());
    model.ConstructLOD();
    model.vertexPairs.pop_back();
    EXPECT_EQ(ThrownMessage([&] { model.VPair_Heap_SetupFromEdgeExtData(); }),
              "VPair_Heap_SetupFromEdgeExtData(): Edge data is not defined!");
}

TEST(LodExceptions, RunningOutOfPairsKeepsTheCollapsesDone) {
    LodPolygonModel model = AsLod(shapes::Octahedron());
    model.ConstructLOD();
    EXPECT_EQ(ThrownMessage([&] { model.Simplify(100); }), "No available next vpair!");
    EXPECT_LT(model.LiveVertexCount(), 6);
    EXPECT_EQ(EulerCharacteristic(model), 2);
    ExpectWalksClose(model);
    model.CompactRetired();
    ExpectConsistentClosedTable(model);
}

// ---------------------------------------------------------------- heap

TEST(LodHeap, EntriesWithAnOldStampAreSkipped) {
    LodPolygonModel model = AsLod(shapes::Octahedron());
    model.ConstructLOD();
    const int first = NextPairIndex(model);
    model.vertexPairs[first].stamp += 1;  // as if re-costed: its entry is now stale
    EXPECT_NE(NextPairIndex(model), first);
}

TEST(LodHeap, LiveEntriesCarryTheirPairsCurrentCost) {
    LodPolygonModel model;
    if (!LoadShared("stanford_bunny.obj", model)) GTEST_SKIP() << "shared mesh missing";
    model.ConstructLOD();
    for (int i = 0; i < 300; ++i) model.SimplifyStep();

    VPairHeap heap = model.pairHeap;
    int stale = 0;
    double previousCost = -1e300;
    while (!heap.empty()) {
        const VPairHeapEntry entry = heap.top();
        heap.pop();
        EXPECT_GE(entry.cost, previousCost) << "heap order broken";
        previousCost = entry.cost;
        const VPair& pair = model.vertexPairs[entry.pair];
        if (entry.stamp == pair.stamp) {
            EXPECT_EQ(entry.cost, pair.cost);
        } else {
            EXPECT_LT(entry.stamp, pair.stamp);
            ++stale;
        }
    }
    EXPECT_GT(stale, 0) << "re-costing leaves the older entries behind";
}

// ---------------------------------------------------------------- costing

TEST(LodCosting, FlatRegionPairsGetAFiniteTargetOnTheirEdgeAtNoCost) {
    // Both ends of edge 5-6 see only the plane z = 0: the quadric is singular.
    LodPolygonModel model = AsLod(FlatTopBlock());
    model.ConstructLOD();
    ASSERT_EQ(EulerCharacteristic(model), 2);
    int flatPairs = 0;
    for (const VPair& pair : model.vertexPairs) {
        const MeshEdge& edge = model.edges[pair.edge];
        const Vector3& a = model.vertices[edge.lowVertex].position;
        const Vector3& b = model.vertices[edge.highVertex].position;
        ASSERT_TRUE(std::isfinite(pair.cost)) << "edge " << pair.edge;
        EXPECT_LE((pair.target - (a + b) * 0.5).Length(), (b - a).Length() + 1e-12);
        EXPECT_GE(pair.cost, -1e-9);
        if (edge.lowVertex == 5 && edge.highVertex == 6) {
            EXPECT_NEAR(pair.cost, 0.0, 1e-12);
            EXPECT_NEAR(pair.target.z, 0.0, 1e-12);
            ++flatPairs;
        }
    }
    EXPECT_EQ(flatPairs, 1);
}

TEST(LodCosting, ZeroAreaPolygonsLeaveQuadricsAndCostsFinite) {
    // +z moved onto the middle of the edge from +x to +y: triangle (0, 2, 4) has
    // no area and no plane.
    LodPolygonModel model = AsLod(shapes::Octahedron());
    model.vertices[4].position = Vector3(0.5, 0.5, 0.0);
    model.ConstructLOD();
    for (const VertexQuadric& record : model.vertexQuadrics) {
        for (double element : record.quadric) ASSERT_TRUE(std::isfinite(element));
    }
    for (const VPair& pair : model.vertexPairs) {
        EXPECT_TRUE(std::isfinite(pair.cost));
        EXPECT_TRUE(std::isfinite(pair.target.x) && std::isfinite(pair.target.y) && std::isfinite(pair.target.z));
    }
}

// ---------------------------------------------------------------- collapse

TEST(LodCollapse, CompactingCollapseRenumbersAValidTable) {
    LodPolygonModel model = AsLod(shapes::Octahedron());
    model.BuildEdgeTable();
    EXPECT_FALSE(model.CollapseEdge(0, true)) << "keeping arrays needs the flags of ConstructLOD";
    ASSERT_TRUE(model.CollapseEdge(0, false));
    EXPECT_EQ(model.vertices.size(), 5u);
    EXPECT_EQ(model.polygons.size(), 6u);
    EXPECT_EQ(model.edges.size(), 9u);
    ExpectConsistentClosedTable(model);
    ExpectWalksClose(model);
}

TEST(LodCollapse, CompactingCollapseAfterConstructionDropsTheLodData) {
    LodPolygonModel model;
    if (!LoadShared("bivme_p1_lv_endo_capped.obj", model)) GTEST_SKIP() << "shared mesh missing";
    model.ConstructLOD();
    const std::size_t vertices = model.vertices.size();
    const int edge = model.NextVPair().edge;
    ASSERT_TRUE(model.CollapseEdge(edge, false));
    EXPECT_EQ(model.vertices.size(), vertices - 1);
    EXPECT_TRUE(model.vertexPairs.empty());
    ExpectConsistentClosedTable(model);
    EXPECT_EQ(ThrownMessage([&] { model.Simplify(1); }), "No LOD data to be simplified.");
}

TEST(LodCollapse, OpenMeshKeepsItsBoundary) {
    LodPolygonModel model;
    if (!LoadShared("bivme_p1_lv_endo_open.obj", model)) GTEST_SKIP() << "shared mesh missing";
    model.BuildEdgeTable();
    std::vector<Vector3> boundaryBefore;
    for (const MeshEdge& edge : model.edges) {
        if (edge.forwardPolygon < 0 || edge.backwardPolygon < 0) {
            boundaryBefore.push_back(model.vertices[edge.lowVertex].position + model.vertices[edge.highVertex].position);
        }
    }
    model.ConstructLOD();
    const int euler = EulerCharacteristic(model);
    model.Simplify(500);
    EXPECT_EQ(EulerCharacteristic(model), euler);
    model.CompactRetired();
    model.BuildEdgeTable();
    std::vector<Vector3> boundaryAfter;
    for (const MeshEdge& edge : model.edges) {
        if (edge.forwardPolygon < 0 || edge.backwardPolygon < 0) {
            boundaryAfter.push_back(model.vertices[edge.lowVertex].position + model.vertices[edge.highVertex].position);
        }
    }
    ASSERT_EQ(boundaryAfter.size(), boundaryBefore.size());
    auto less = [](const Vector3& a, const Vector3& b) {
        return a.x != b.x ? a.x < b.x : (a.y != b.y ? a.y < b.y : a.z < b.z);
    };
    std::sort(boundaryBefore.begin(), boundaryBefore.end(), less);
    std::sort(boundaryAfter.begin(), boundaryAfter.end(), less);
    for (std::size_t i = 0; i < boundaryAfter.size(); ++i) {
        EXPECT_EQ(boundaryAfter[i].x, boundaryBefore[i].x);
        EXPECT_EQ(boundaryAfter[i].y, boundaryBefore[i].y);
        EXPECT_EQ(boundaryAfter[i].z, boundaryBefore[i].z);
    }
}

// ---------------------------------------------------------------- real closed meshes

class LodOnClosedMesh : public ::testing::TestWithParam<std::string> {};

TEST_P(LodOnClosedMesh, CollapsesKeepAClosedManifoldNearTheOriginal) {
    LodPolygonModel model;
    const std::string& path = GetParam();
    if (!std::ifstream(path).good()) GTEST_SKIP() << path << " missing";
    ASSERT_TRUE(model.LoadObj(path));
    LodPolygonModel original;
    original.CopyFrom(model);

    model.ConstructLOD();
    ASSERT_EQ(EulerCharacteristic(model), 2) << "input is not a closed genus-0 mesh";
    const int vertices = model.LiveVertexCount();
    const int collapses = vertices / 4;
    model.Simplify(collapses);

    EXPECT_EQ(model.LiveVertexCount(), vertices - collapses);
    EXPECT_EQ(EulerCharacteristic(model), 2);
    ExpectWalksClose(model);

    model.CompactRetired();
    EXPECT_EQ(static_cast<int>(model.vertices.size()), vertices - collapses);
    ExpectConsistentClosedTable(model);
    ExpectWalksClose(model);

    const double tolerance = 0.003 * BoundingBoxDiagonal(original);
    double worst = 0.0;
    for (const MeshVertex& vertex : model.vertices) {
        worst = std::max(worst, DistanceToSurface(vertex.position, original));
    }
    EXPECT_LT(worst, tolerance) << "worst vertex distance " << worst;
}

INSTANTIATE_TEST_SUITE_P(SharedAndDemoMeshes, LodOnClosedMesh,
                         ::testing::Values(std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_capped.obj",
                                           std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_rv_endo_capped.obj",
                                           std::string(VANTREL_SHARED_DATA_DIR) + "/stanford_bunny.obj",
                                           std::string(VANTREL_DATA_DIR) + "/demo-heart.obj"));

}  // namespace
}  // namespace vantrel
