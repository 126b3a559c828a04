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

int SharpEdgeCount(const RkPolygonModel& model) {
    int count = 0;
    for (const MeshEdge& edge : model.edges) count += edge.sharp ? 1 : 0;
    return count;
}

TEST(EdgeTable, NumbersEdgesInOrderOfFirstUseAndRebuildsFromScratch) {
    RkPolygonModel model = Built(shapes::TwoTriangles());
    ASSERT_EQ(model.edges.size(), 5u);
    const MeshEdge& shared = model.edges[model.polygons[0].edge[1]];
    EXPECT_EQ(shared.lowVertex, 1);
    EXPECT_EQ(shared.highVertex, 2);
    EXPECT_EQ(shared.forwardPolygon, 0);
    EXPECT_EQ(shared.backwardPolygon, 1);
    EXPECT_EQ(model.edges[3].highVertex, 3);
    EXPECT_EQ(model.vertices[1].edge, 3) << "a vertex links to its last edge";
    ExpectConsistentEdgeTable(model);
    model.polygons.pop_back();
    model.BuildEdgeTable();
    EXPECT_EQ(model.vertices[3].edge, -1) << "links of vertices no longer used are forgotten";
    EXPECT_TRUE(SortedPolygonsAround(model, 3).empty());
}

TEST(EdgeTable, SharpMarksFollowTheCreaseThresholdAndIncludeTheBoundary) {
    RkPolygonModel cube = Built(shapes::UnitCube());
    ExpectConsistentEdgeTable(cube);
    EXPECT_EQ(SharpEdgeCount(cube), 0);
    cube.creaseThreshold = 0.5;
    cube.BuildEdgeTable();
    EXPECT_EQ(SharpEdgeCount(cube), 12) << "the cube edges, not the 6 face diagonals";
    RkPolygonModel open = shapes::OpenBox();
    open.creaseThreshold = 0.5;
    open.BuildEdgeTable();
    EXPECT_EQ(SharpEdgeCount(open), 12) << "8 inner cube edges and the 4 boundary edges";
}

TEST(EdgeTable, LengthWeightedSmoothingPullsASpikeInAndLeavesLoneVertices) {
    RkPolygonModel model = shapes::HexagonFan();
    model.vertices[0].position.z = 1.0;
    model.vertices.push_back(MeshVertex());
    model.vertices.back().position = Vector3(5, 5, 5);
    model.smoothingPasses = 1;
    model.BuildEdgeTable();
    // All six edges of the centre are equally long: it moves 0.63 of the way down to the ring's
    // plane.
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
        EXPECT_TRUE(step == 1 || step == 5)
            << "neighbours " << i << " and " << i + 1 << " are not adjacent";
    }
}

TEST(AdjacencyWalk, BoundaryVerticesYieldThePolygonsOfBothWalksAndUnusedOnesNothing) {
    RkPolygonModel model = shapes::OpenBox();
    model.vertices.push_back(MeshVertex());
    model.BuildEdgeTable();
    EXPECT_EQ(model.Valence(4), 3);
    for (int v = 0; v < 9; ++v) {
        std::vector<int> expected;
        for (size_t i = 0; i < model.polygons.size(); ++i) {
            const int* corners = model.polygons[i].vertex;
            if (std::count(corners, corners + 3, v)) expected.push_back(static_cast<int>(i));
        }
        EXPECT_EQ(SortedPolygonsAround(model, v), expected) << "vertex " << v;
    }
    std::vector<int> neighbours, edges;
    model.NeighboursOfVertex(8, neighbours, edges);
    EXPECT_TRUE(neighbours.empty());
    EXPECT_EQ(model.Valence(8), 0);
}

// Broken meshes: every walk must end, report only polygons that exist and never list an edge twice.
TEST(AdjacencyWalk, WalksOnBrokenMeshesEndAndStayInside) {
    const struct {
        const char* what;
        RkPolygonModel model;
    } cases[] = {
        {"edge shared by three polygons", Built(shapes::ThreeFinsOnOneEdge())},
        // The same triangle in both windings plus a third on one of its edges: following the wings
        // from vertex 0 circles between edges that never lead back to its link edge.
        {"doubled face", Built(shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                                                 {{0, 2, 1}, {1, 2, 0}, {2, 0, 3}}))},
        // Polygon 1 names vertex 1 twice; its (1, 1) edge must not borrow edge 0-1.
        {"triangle repeating a vertex",
         Built(shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}},
                                 {{0, 1, 2}, {1, 1, 3}}))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int v = 0; v < static_cast<int>(c.model.vertices.size()); ++v) {
            for (int polygon : SortedPolygonsAround(c.model, v)) {
                ASSERT_GE(polygon, 0);
                ASSERT_LT(polygon, static_cast<int>(c.model.polygons.size()));
            }
            std::vector<int> edges;
            c.model.EdgesAroundVertex(v, edges);
            EXPECT_EQ(std::set<int>(edges.begin(), edges.end()).size(), edges.size())
                << "vertex " << v;
        }
    }
    // The edge of three fins keeps the last polygon on each side.
    const RkPolygonModel& fins = cases[0].model;
    ASSERT_EQ(fins.edges.size(), 7u);
    EXPECT_EQ(fins.edges[fins.polygons[0].edge[0]].forwardPolygon, 2);
    EXPECT_EQ(fins.edges[fins.polygons[0].edge[0]].backwardPolygon, 1);
    EXPECT_EQ(cases[2].model.edges.size(), 5u);
    ExpectConsistentEdgeTable(cases[2].model);
}

}  // namespace
}  // namespace vantrel
