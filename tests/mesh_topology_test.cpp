// The winged-edge table and the adjacency walks over it, on well-formed,
// open and broken meshes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using meshchecks::BoundaryEdgeCount;
using meshchecks::EulerCharacteristic;
using meshchecks::ExpectConsistentEdgeTable;

RkPolygonModel Built(RkPolygonModel model) {
    model.BuildEdgeTable();
    return model;
}

std::vector<int> PolygonsAround(const RkPolygonModel& model, int vertex) {
    std::vector<int> out;
    model.PolygonsAroundVertex(vertex, out);
    return out;
}

std::vector<int> Sorted(std::vector<int> values) {
    std::sort(values.begin(), values.end());
    return values;
}

TEST(EdgeTable, TwoTrianglesShareOneEdgeWithAPolygonOnEachSide) {
    const RkPolygonModel model = Built(shapes::TwoTriangles());
    ASSERT_EQ(model.edges.size(), 5u);
    const MeshEdge& shared = model.edges[model.polygons[0].edge[1]];
    EXPECT_EQ(shared.lowVertex, 1);
    EXPECT_EQ(shared.highVertex, 2);
    EXPECT_EQ(shared.forwardPolygon, 0);
    EXPECT_EQ(shared.backwardPolygon, 1);
    EXPECT_EQ(model.polygons[1].edge[0], model.polygons[0].edge[1]);
    EXPECT_EQ(BoundaryEdgeCount(model), 4);
    ExpectConsistentEdgeTable(model);
}

TEST(EdgeTable, EdgesAreNumberedInOrderOfFirstUseAndLinksTakeTheLastEdge) {
    const RkPolygonModel model = Built(shapes::TwoTriangles());
    // Polygon 0 creates edges 0 (0-1), 1 (1-2), 2 (0-2); polygon 1 adds 3 (1-3), 4 (2-3).
    EXPECT_EQ(model.edges[2].lowVertex, 0);
    EXPECT_EQ(model.edges[2].highVertex, 2);
    EXPECT_EQ(model.edges[3].highVertex, 3);
    EXPECT_EQ(model.vertices[0].edge, 2);
    EXPECT_EQ(model.vertices[1].edge, 3);
    EXPECT_EQ(model.vertices[2].edge, 4);
    EXPECT_EQ(model.vertices[3].edge, 4);
}

TEST(EdgeTable, WingsFollowEachPolygonsEdgeOrder) {
    const RkPolygonModel model = Built(shapes::UnitCube());
    for (size_t i = 0; i < model.polygons.size(); ++i) {
        const MeshPolygon& polygon = model.polygons[i];
        for (int k = 0; k < 3; ++k) {
            const MeshEdge& edge = model.edges[polygon.edge[k]];
            const bool forward = edge.forwardPolygon == static_cast<int>(i);
            EXPECT_EQ(forward ? edge.forwardPrev : edge.backwardPrev, polygon.edge[(k + 2) % 3]);
            EXPECT_EQ(forward ? edge.forwardNext : edge.backwardNext, polygon.edge[(k + 1) % 3]);
        }
    }
}

TEST(EdgeTable, ClosedShapesHaveEulerCharacteristicTwo) {
    for (RkPolygonModel model : {shapes::UnitCube(), shapes::Tetrahedron()}) {
        model.BuildEdgeTable();
        EXPECT_EQ(EulerCharacteristic(model), 2);
        EXPECT_EQ(BoundaryEdgeCount(model), 0);
        EXPECT_EQ(2 * model.edges.size(), 3 * model.polygons.size());
        ExpectConsistentEdgeTable(model);
    }
}

TEST(EdgeTable, PolygonNormalsAreUnitAndOutward) {
    const RkPolygonModel model = Built(shapes::UnitCube());
    for (const MeshPolygon& polygon : model.polygons) {
        EXPECT_NEAR(polygon.normal.Length(), 1.0, 1e-15);
        const Vector3& p = model.vertices[polygon.vertex[0]].position;
        // Every face of the unit cube lies on a coordinate plane at 0 or 1.
        EXPECT_GT(polygon.normal.Dot(p - Vector3(0.5, 0.5, 0.5)), 0.0);
    }
}

TEST(EdgeTable, RebuildingForgetsLinksOfVerticesNoLongerUsed) {
    RkPolygonModel model = Built(shapes::TwoTriangles());
    model.polygons.pop_back();
    model.BuildEdgeTable();
    EXPECT_EQ(model.edges.size(), 3u);
    EXPECT_EQ(model.vertices[3].edge, -1);
    EXPECT_TRUE(PolygonsAround(model, 3).empty());
}

TEST(EdgeTable, SharpMarksFollowTheCreaseThreshold) {
    RkPolygonModel model = shapes::UnitCube();
    model.BuildEdgeTable();
    for (const MeshEdge& edge : model.edges) EXPECT_FALSE(edge.sharp);

    model.creaseThreshold = 0.5;
    model.BuildEdgeTable();
    int sharp = 0;
    for (const MeshEdge& edge : model.edges) sharp += edge.sharp ? 1 : 0;
    // The 12 cube edges are sharp; the 6 face diagonals are flat.
    EXPECT_EQ(sharp, 12);

    RkPolygonModel open = shapes::OpenBox();
    open.creaseThreshold = 0.5;
    open.BuildEdgeTable();
    for (const MeshEdge& edge : open.edges)
        if (edge.forwardPolygon < 0 || edge.backwardPolygon < 0) {
            EXPECT_TRUE(edge.sharp);
        }
}

TEST(EdgeTable, LengthWeightedSmoothingPullsASpikeIn) {
    RkPolygonModel model = shapes::HexagonFan();
    model.vertices[0].position.z = 1.0;
    model.smoothingPasses = 1;
    model.BuildEdgeTable();
    // All six edges of the centre have the same length, so it moves 0.63 of
    // the way to the ring's plane. Ring vertices move too, but stay finite.
    EXPECT_NEAR(model.vertices[0].position.z, 0.37, 1e-12);
    EXPECT_NEAR(model.vertices[0].position.x, 0.0, 1e-12);
    for (const MeshVertex& vertex : model.vertices) EXPECT_TRUE(std::isfinite(vertex.position.x));
}

TEST(EdgeTable, LengthWeightedSmoothingLeavesAVertexWithoutEdges) {
    RkPolygonModel model = shapes::TwoTriangles();
    MeshVertex lonely;
    lonely.position = Vector3(5, 5, 5);
    model.vertices.push_back(lonely);
    model.smoothingPasses = 2;
    model.BuildEdgeTable();
    EXPECT_EQ(model.vertices[4].position.x, 5.0);
}

TEST(AdjacencyWalk, InteriorVertexOfValenceSixYieldsItsSixPolygonsOnce) {
    const RkPolygonModel model = Built(shapes::HexagonFan());
    EXPECT_EQ(Sorted(PolygonsAround(model, 0)), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(model.Valence(0), 6);
    std::vector<int> around;
    model.VerticesAroundVertex(0, around);
    EXPECT_EQ(Sorted(around), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST(AdjacencyWalk, WalkOrderTurnsAroundTheVertexFromItsLink) {
    const RkPolygonModel model = Built(shapes::HexagonFan());
    std::vector<int> neighbours, edges;
    model.NeighboursOfVertex(0, neighbours, edges);
    ASSERT_EQ(neighbours.size(), 6u);
    EXPECT_EQ(edges[0], model.vertices[0].edge);
    for (size_t i = 0; i < neighbours.size(); ++i) {
        // Consecutive neighbours are adjacent ring vertices.
        const int a = neighbours[i], b = neighbours[(i + 1) % neighbours.size()];
        const int step = (b - a + 6) % 6;
        EXPECT_TRUE(step == 1 || step == 5) << a << " then " << b;
        const MeshEdge& edge = model.edges[edges[i]];
        EXPECT_TRUE((edge.lowVertex == 0 && edge.highVertex == a));
    }
    std::vector<int> edgesOnly;
    model.EdgesAroundVertex(0, edgesOnly);
    EXPECT_EQ(edgesOnly, edges);
}

TEST(AdjacencyWalk, BoundaryVertexYieldsThePolygonsOfBothWalks) {
    const RkPolygonModel model = Built(shapes::OpenBox());
    // Vertex 4 (a corner of the open top) is used by polygons 3 (y = 0) and
    // 6 (x = 0); whatever edge its link is, both directions are walked.
    EXPECT_EQ(Sorted(PolygonsAround(model, 4)), (std::vector<int>{3, 6}));
    EXPECT_EQ(model.Valence(4), 3);
    for (int v = 0; v < 8; ++v) {
        std::set<int> expected;
        for (size_t i = 0; i < model.polygons.size(); ++i)
            for (int k = 0; k < 3; ++k)
                if (model.polygons[i].vertex[k] == v) expected.insert(static_cast<int>(i));
        const std::vector<int> walked = Sorted(PolygonsAround(model, v));
        EXPECT_EQ(walked, std::vector<int>(expected.begin(), expected.end())) << "vertex " << v;
    }
}

TEST(AdjacencyWalk, VertexUsedByNoPolygonYieldsNothing) {
    RkPolygonModel model = shapes::TwoTriangles();
    model.vertices.push_back(MeshVertex());
    model.BuildEdgeTable();
    std::vector<int> neighbours, edges;
    model.NeighboursOfVertex(4, neighbours, edges);
    EXPECT_TRUE(PolygonsAround(model, 4).empty());
    EXPECT_TRUE(neighbours.empty());
    EXPECT_EQ(model.Valence(4), 0);
}

TEST(AdjacencyWalk, WalksAppendToWhatTheCallerHolds) {
    const RkPolygonModel model = Built(shapes::Tetrahedron());
    std::vector<int> out{99};
    model.PolygonsAroundVertex(0, out);
    EXPECT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], 99);
}

// An edge shared by three polygons keeps the last one on each side; the table
// must still be self-consistent and every walk must end with real polygons.
TEST(AdjacencyWalk, NonManifoldEdgeKeepsTheTableUsable) {
    const RkPolygonModel model = Built(shapes::ThreeFinsOnOneEdge());
    ASSERT_EQ(model.edges.size(), 7u);
    const MeshEdge& fin = model.edges[model.polygons[0].edge[0]];
    EXPECT_EQ(fin.forwardPolygon, 2);
    EXPECT_EQ(fin.backwardPolygon, 1);
    for (int v = 0; v < 5; ++v) {
        for (int polygon : PolygonsAround(model, v)) {
            ASSERT_GE(polygon, 0);
            ASSERT_LT(polygon, 3);
        }
        std::vector<int> neighbours, edges;
        model.NeighboursOfVertex(v, neighbours, edges);
        EXPECT_EQ(std::set<int>(edges.begin(), edges.end()).size(), edges.size()) << "edge repeated";
        EXPECT_LE(edges.size(), model.edges.size());
    }
}

TEST(AdjacencyWalk, DoubledFaceDoesNotTrapTheWalkInALoop) {
    // The same triangle in both windings plus a third triangle on one of its
    // edges: following the wings from vertex 0 circles between edges that never
    // lead back to its link edge, so only the visited-edge rule ends the walk.
    const RkPolygonModel model =
        Built(shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 2, 1}, {1, 2, 0}, {2, 0, 3}}));
    for (int v = 0; v < 4; ++v) {
        const std::vector<int> around = PolygonsAround(model, v);
        EXPECT_LE(around.size(), model.edges.size());
        for (int polygon : around) EXPECT_TRUE(polygon >= 0 && polygon < 3);
        std::vector<int> edges;
        model.EdgesAroundVertex(v, edges);
        EXPECT_EQ(std::set<int>(edges.begin(), edges.end()).size(), edges.size());
    }
}

TEST(AdjacencyWalk, TriangleThatRepeatsAVertexGetsItsOwnEdgeAndWalksStayInside) {
    // Polygon 1 names vertex 1 twice; its (1, 1) edge must not borrow edge 0-1.
    RkPolygonModel model =
        shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 1, 3}});
    model.BuildEdgeTable();
    ExpectConsistentEdgeTable(model);
    EXPECT_TRUE(model.polygons[1].normal.zero);
    EXPECT_EQ(model.edges.size(), 5u);
    for (int v = 0; v < 4; ++v)
        for (int polygon : PolygonsAround(model, v)) EXPECT_TRUE(polygon == 0 || polygon == 1);
}

TEST(AdjacencyWalk, MixedWindingEndsEveryWalk) {
    // The cube with one triangle flipped: two polygons run the same way along
    // two of its edges.
    RkPolygonModel model = shapes::UnitCube();
    std::swap(model.polygons[5].vertex[1], model.polygons[5].vertex[2]);
    model.BuildEdgeTable();
    for (int v = 0; v < 8; ++v) {
        const std::vector<int> around = PolygonsAround(model, v);
        EXPECT_LE(around.size(), model.polygons.size());
        EXPECT_GE(model.Valence(v), 1);
    }
}

}  // namespace
}  // namespace vantrel
