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

using meshchecks::ExpectConsistentEdgeTable;

RkPolygonModel Built(RkPolygonModel model) {
    model.BuildEdgeTable();
    return model;
}

std::vector<int> SortedPolygonsAround(const RkPolygonModel& model, int vertex) {
    std::vector<int> out;
    model.PolygonsAroundVertex(vertex, out);
    std::sort(out.begin(), out.end());
    return out;
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
    // Edges are numbered in order of first use; a vertex links to its last one.
    EXPECT_EQ(model.edges[3].highVertex, 3);
    EXPECT_EQ(model.vertices[1].edge, 3);
    ExpectConsistentEdgeTable(model);
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

TEST(EdgeTable, RebuildingForgetsLinksOfVerticesNoLongerUsed) {
    RkPolygonModel model = Built(shapes::TwoTriangles());
    model.polygons.pop_back();
    model.BuildEdgeTable();
    EXPECT_EQ(model.vertices[3].edge, -1);
    EXPECT_TRUE(SortedPolygonsAround(model, 3).empty());
}

int SharpEdgeCount(const RkPolygonModel& model) {
    return static_cast<int>(
        std::count_if(model.edges.begin(), model.edges.end(), [](const MeshEdge& edge) { return edge.sharp; }));
}

TEST(EdgeTable, SharpMarksFollowTheCreaseThresholdAndIncludeTheBoundary) {
    RkPolygonModel cube = Built(shapes::UnitCube());
    EXPECT_EQ(SharpEdgeCount(cube), 0);
    cube.creaseThreshold = 0.5;
    cube.BuildEdgeTable();
    // The 12 cube edges are sharp; the 6 face diagonals are flat.
    EXPECT_EQ(SharpEdgeCount(cube), 12);
    // Without its top: 8 inner cube edges, and the 4 boundary edges count as sharp.
    RkPolygonModel open = shapes::OpenBox();
    open.creaseThreshold = 0.5;
    open.BuildEdgeTable();
    EXPECT_EQ(SharpEdgeCount(open), 12);
}

TEST(EdgeTable, LengthWeightedSmoothingPullsASpikeInAndLeavesLoneVertices) {
    RkPolygonModel model = shapes::HexagonFan();
    model.vertices[0].position.z = 1.0;
    MeshVertex lonely;
    lonely.position = Vector3(5, 5, 5);
    model.vertices.push_back(lonely);
    model.smoothingPasses = 1;
    model.BuildEdgeTable();
    // All six edges of the centre are equally long: it moves 0.63 of the way
    // down to the ring's plane.
    EXPECT_NEAR(model.vertices[0].position.z, 0.37, 1e-12);
    EXPECT_EQ(model.vertices[7].position.x, 5.0);
}

TEST(AdjacencyWalk, InteriorVertexOfValenceSixYieldsItsFanOnceInTurningOrder) {
    const RkPolygonModel model = Built(shapes::HexagonFan());
    EXPECT_EQ(SortedPolygonsAround(model, 0), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(model.Valence(0), 6);
    std::vector<int> neighbours, edges, edgesOnly;
    model.NeighboursOfVertex(0, neighbours, edges);
    model.EdgesAroundVertex(0, edgesOnly);
    EXPECT_EQ(edgesOnly, edges);
    ASSERT_EQ(neighbours.size(), 6u);
    EXPECT_EQ(edges[0], model.vertices[0].edge);
    for (size_t i = 0; i < neighbours.size(); ++i) {
        const int step = (neighbours[(i + 1) % 6] - neighbours[i] + 6) % 6;
        EXPECT_TRUE(step == 1 || step == 5) << "neighbours " << i << " and " << i + 1 << " are not adjacent";
    }
}

TEST(AdjacencyWalk, BoundaryVerticesYieldThePolygonsOfBothWalks) {
    const RkPolygonModel model = Built(shapes::OpenBox());
    EXPECT_EQ(model.Valence(4), 3);
    for (int v = 0; v < 8; ++v) {
        std::vector<int> expected;
        for (size_t i = 0; i < model.polygons.size(); ++i)
            for (int k = 0; k < 3; ++k)
                if (model.polygons[i].vertex[k] == v) expected.push_back(static_cast<int>(i));
        EXPECT_EQ(SortedPolygonsAround(model, v), expected) << "vertex " << v;
    }
}

TEST(AdjacencyWalk, VertexUsedByNoPolygonYieldsNothing) {
    RkPolygonModel model = shapes::TwoTriangles();
    model.vertices.push_back(MeshVertex());
    model.BuildEdgeTable();
    std::vector<int> neighbours, edges;
    model.NeighboursOfVertex(4, neighbours, edges);
    EXPECT_TRUE(SortedPolygonsAround(model, 4).empty());
    EXPECT_TRUE(neighbours.empty());
    EXPECT_EQ(model.Valence(4), 0);
}

// Broken meshes: every walk must end, report only polygons that exist and
// never list an edge twice.
void ExpectBoundedWalks(const RkPolygonModel& model) {
    for (int v = 0; v < static_cast<int>(model.vertices.size()); ++v) {
        for (int polygon : SortedPolygonsAround(model, v)) {
            ASSERT_GE(polygon, 0);
            ASSERT_LT(polygon, static_cast<int>(model.polygons.size()));
        }
        std::vector<int> edges;
        model.EdgesAroundVertex(v, edges);
        EXPECT_EQ(std::set<int>(edges.begin(), edges.end()).size(), edges.size()) << "vertex " << v;
    }
}

TEST(AdjacencyWalk, EdgeSharedByThreePolygonsKeepsTheLastOnEachSide) {
    const RkPolygonModel model = Built(shapes::ThreeFinsOnOneEdge());
    ASSERT_EQ(model.edges.size(), 7u);
    const MeshEdge& fin = model.edges[model.polygons[0].edge[0]];
    EXPECT_EQ(fin.forwardPolygon, 2);
    EXPECT_EQ(fin.backwardPolygon, 1);
    ExpectBoundedWalks(model);
}

TEST(AdjacencyWalk, DoubledFaceDoesNotTrapTheWalkInALoop) {
    // The same triangle in both windings plus a third triangle on one of its
    // edges: following the wings from vertex 0 circles between edges that never
    // lead back to its link edge, so only the visited-edge rule ends the walk.
    ExpectBoundedWalks(
        Built(shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 2, 1}, {1, 2, 0}, {2, 0, 3}})));
}

TEST(AdjacencyWalk, TriangleThatRepeatsAVertexGetsItsOwnEdge) {
    // Polygon 1 names vertex 1 twice; its (1, 1) edge must not borrow edge 0-1,
    // and its wings must sit on the side that records the polygon.
    const RkPolygonModel model =
        Built(shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 1, 3}}));
    EXPECT_EQ(model.edges.size(), 5u);
    ExpectConsistentEdgeTable(model);
    ExpectBoundedWalks(model);
}

}  // namespace
}  // namespace vantrel
