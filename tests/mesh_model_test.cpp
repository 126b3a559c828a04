// The polygon model: the winged-edge table and its adjacency walks, centroid
// refinement and tangential smoothing, normals and whole-model transforms, and the
// capping of boundary loops (the open LV against its capped twin).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "mesh/HoleCapping.h"
#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using namespace meshchecks;  // the shared mesh and file checks

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

TEST(EdgeTable, NumbersEdgesInOrderOfFirstUseAndRebuildsFromScratch) {
    RkPolygonModel model = Built(shapes::TwoTriangles());
    ASSERT_EQ(model.edges.size(), 5u);
    EXPECT_EQ(model.vertices[1].edge, 3) << "numbered by first use; linked to the last";
    ExpectConsistentEdgeTable(model);
    model.polygons.pop_back();
    model.BuildEdgeTable();
    EXPECT_EQ(model.vertices[3].edge, -1) << "links of vertices no longer used are forgotten";
    EXPECT_TRUE(SortedPolygonsAround(model, 3).empty());
}

// The optional length-weighted smoothing: the centre of a fan with six equal edges moves
// 0.63 of the way down to the ring's plane; a vertex without edges stays.
TEST(EdgeTable, LengthWeightedSmoothingPullsASpikeInAndLeavesLoneVertices) {
    RkPolygonModel model = shapes::HexagonFan();
    model.vertices[0].position.z = 1.0;
    model.vertices.push_back(MeshVertex());
    model.vertices.back().position = Vector3(5, 5, 5);
    model.smoothingPasses = 1;
    model.BuildEdgeTable();
    EXPECT_NEAR(model.vertices[0].position.z, 0.37, 1e-12);
    EXPECT_EQ(model.vertices[7].position.x, 5.0);
}

// Around every vertex the walks find exactly the polygons and edges that touch it, on
// the boundary and at a vertex no polygon uses too; around an interior vertex they turn
// in order, starting at the vertex's link edge.
TEST(AdjacencyWalk, FindsEveryPolygonAndEdgeAroundAVertexInTurningOrder) {
    RkPolygonModel box = shapes::OpenBox();
    box.vertices.push_back(MeshVertex());
    for (const RkPolygonModel& model : {Built(shapes::HexagonFan()), Built(box)}) {
        for (int v = 0; v < static_cast<int>(model.vertices.size()); ++v) {
            std::vector<int> polygons, edges, walked;
            for (int i = 0; i < static_cast<int>(model.polygons.size()); ++i)
                if (std::count(model.polygons[i].vertex, model.polygons[i].vertex + 3, v))
                    polygons.push_back(i);
            for (int e = 0; e < static_cast<int>(model.edges.size()); ++e)
                if (model.edges[e].lowVertex == v || model.edges[e].highVertex == v)
                    edges.push_back(e);
            EXPECT_EQ(SortedPolygonsAround(model, v), polygons) << "vertex " << v;
            model.EdgesAroundVertex(v, walked);
            std::sort(walked.begin(), walked.end());
            EXPECT_EQ(walked, edges) << "vertex " << v;
            EXPECT_EQ(model.Valence(v), static_cast<int>(edges.size())) << "vertex " << v;
        }
    }
    const RkPolygonModel fan = Built(shapes::HexagonFan());
    std::vector<int> neighbours, edges, walked;
    fan.NeighboursOfVertex(0, neighbours, edges);
    fan.EdgesAroundVertex(0, walked);
    EXPECT_EQ(edges, walked);
    ASSERT_EQ(neighbours.size(), 6u);
    EXPECT_EQ(edges[0], fan.vertices[0].edge);
    for (size_t i = 0; i < neighbours.size(); ++i) {
        const int step = (neighbours[(i + 1) % 6] - neighbours[i] + 6) % 6;
        EXPECT_TRUE(step == 1 || step == 5) << "neighbours " << i << " and " << i + 1;
    }
}

// Broken meshes: every walk must end, report only polygons that exist and never list an
// edge twice.
TEST(AdjacencyWalk, WalksOnBrokenMeshesEndAndStayInside) {
    const RkPolygonModel cases[] = {
        // Three triangles on the one edge 0-1, two of them running along it in the same
        // direction.
        Built(shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0.5, 1, 0}, {0.5, -1, 0}, {0.5, 0, 1}},
                                {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}})),
        // The same triangle in both windings plus a third on one of its edges: following the
        // wings from vertex 0 circles between edges that never lead back to its link edge.
        Built(shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                                {{0, 2, 1}, {1, 2, 0}, {2, 0, 3}})),
        // Polygon 1 names vertex 1 twice; its (1, 1) edge must not borrow edge 0-1.
        Built(shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}},
                                {{0, 1, 2}, {1, 1, 3}})),
    };
    for (const RkPolygonModel& model : cases) {
        for (int v = 0; v < static_cast<int>(model.vertices.size()); ++v) {
            for (int polygon : SortedPolygonsAround(model, v))
                ASSERT_TRUE(polygon >= 0 && polygon < static_cast<int>(model.polygons.size()));
            std::vector<int> edges;
            model.EdgesAroundVertex(v, edges);
            EXPECT_EQ(std::set<int>(edges.begin(), edges.end()).size(), edges.size()) << v;
        }
    }
    EXPECT_EQ(cases[2].edges.size(), 5u);
    ExpectConsistentEdgeTable(cases[2]);
}

// Each round adds a vertex per triangle and turns each interior edge into two triangles and
// each boundary edge into one; closed stays closed, the open box keeps its top loop, and
// the winding carries over (smoothing without vertex normals shrinks the shape).
TEST(RefineByCentroids, KeepsTheTopologyTheBoundaryAndTheWinding) {
    const struct {
        RkPolygonModel shape;
        int boundary;
    } cases[] = {
        {Built(shapes::Tetrahedron()), 0}, {shapes::UnitCube(), 0}, {shapes::OpenBox(), 4}};
    for (const auto& c : cases) {
        RkPolygonModel model = c.shape;  // the cube comes without an edge table
        for (int round = 1; round <= 2; ++round) {
            const RkPolygonModel before = Built(model);
            model.RefineByCentroids();
            EXPECT_EQ(model.vertices.size(), before.vertices.size() + before.polygons.size());
            EXPECT_EQ(model.polygons.size(), 2 * before.edges.size() - c.boundary);
            EXPECT_EQ(BoundaryEdgeCount(model), c.boundary);
            EXPECT_EQ(EulerCharacteristic(model), c.boundary > 0 ? 1 : 2);
            ExpectConsistentEdgeTable(model);
        }
        EXPECT_GT(SignedVolume(model), 0.0) << "turned inside out";
        for (const MeshEdge& edge : model.edges)
            if (edge.forwardPolygon < 0 || edge.backwardPolygon < 0)
                EXPECT_TRUE(edge.lowVertex >= 4 && edge.highVertex <= 7) << "the open top moved";
    }
}

TEST(RefineByCentroids, OldEdgesAreFlippedToJoinCentroids) {
    RkPolygonModel model = shapes::Tetrahedron();
    model.RefineByCentroids();
    // Old vertices now touch only the centroids of their three faces; each centroid
    // touches three old vertices and three centroids.
    for (int i = 0; i < 8; ++i) {
        std::vector<int> around;
        model.VerticesAroundVertex(i, around);
        EXPECT_EQ(around.size(), i < 4 ? 3u : 6u) << i;
        EXPECT_EQ(std::count_if(around.begin(), around.end(), [](int j) { return j >= 4; }), 3);
    }
}

TEST(Smoothing, MovesEachVertexToItsNeighboursMeanKeepingTheOffsetAlongItsNormal) {
    for (bool withNormal : {false, true}) {
        RkPolygonModel model = shapes::HexagonFan();
        model.vertices[0].position = Vector3(0.3, 0.2, 1.0);
        if (withNormal) model.vertices[0].normal = Vector3(0.0, 0.0, 1.0);
        model.vertices.push_back(MeshVertex());  // no neighbours: no mean to move to
        model.vertices[7].position = Vector3(7, 8, 9);
        model.BuildEdgeTable();
        model.SmoothTangential(1);
        ExpectNear(model.vertices[0].position, Vector3(0.0, 0.0, withNormal ? 1.0 : 0.0));
        EXPECT_EQ(model.vertices[7].position.z, 9.0);
    }
    // All vertices move together after the pass: vertex 1 goes to the mean of the old
    // positions of 0, 2 and 3 (not of vertex 0's new one).
    RkPolygonModel model = Built(shapes::TwoTriangles());
    model.SmoothTangential(1);
    ExpectNear(model.vertices[0].position, Vector3(0.5, 0.5, 0.0));
    ExpectNear(model.vertices[1].position, Vector3(1.0 / 3.0, 2.0 / 3.0, 0.0));
}

// A vertex normal is the unweighted mean of its polygons' directions; a zero-area
// triangle gets a flagged zero normal and adds nothing.
TEST(ComputeNormals, VertexNormalIsTheMeanOfItsPolygonsDirectionsIgnoringZeroAreas) {
    RkPolygonModel model = shapes::UnitCube();
    model.ComputeNormals();
    // Vertex 1 touches one triangle of z = 0 and of y = 0 but two of x = 1.
    const double sixth = 1.0 / std::sqrt(6.0);
    ExpectNear(model.vertices[1].normal, Vector3(2 * sixth, -sixth, -sixth));
    // Triangle 1 is (1, 2, 4) with 4 on the segment 1-2.
    model = shapes::MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.5, 0.5, 0}},
                              {{0, 1, 3}, {1, 2, 4}});
    model.ComputeNormals();
    EXPECT_TRUE(model.polygons[1].normal.zero && !model.polygons[0].normal.zero);
    ExpectNear(model.polygons[1].normal, Vector3(0, 0, 0));  // not NaN
    ExpectNear(model.vertices[1].normal, Vector3(0, -1, 0));
    // Vertex 4 has only the flat triangle: no direction at all.
    EXPECT_TRUE(model.vertices[4].normal.zero);
}

TEST(ModelTransforms, FitToSizeCentresTheModelAndScalesItsLargestExtent) {
    RkPolygonModel model = shapes::UnitCube();
    model.ScaleAbout(3.0, Vector3(1, 1, 1));
    ExpectNear(model.vertices[0].position, Vector3(-2, -2, -2));
    for (MeshVertex& vertex : model.vertices) vertex.position.z *= 0.5;  // box 3 x 3 x 1.5
    model.FitToSize(10.0);
    ExpectNear(model.vertices[7].position, Vector3(5, 5, 2.5));
}

TEST(ModelLifeCycle, CopyFromIsDeep) {
    RkPolygonModel source = Built(shapes::UnitCube());
    RkPolygonModel copy = shapes::Tetrahedron();
    copy.CopyFrom(source);
    EXPECT_TRUE(copy.SameCounts(source) && copy.edges.size() == source.edges.size());
    source.vertices[0].position.x = 42;
    EXPECT_NE(copy.vertices[0].position.x, 42);
    copy.CopyFrom(copy);
    EXPECT_EQ(copy.polygons.size(), 12u);
}

TEST(CapBoundaryLoops, AddsNothingToAClosedMeshAndOneFanToAnOpenBox) {
    RkPolygonModel cube = shapes::UnitCube();
    const CappingSummary closed = CapBoundaryLoops(cube);
    EXPECT_EQ(closed.loops + closed.triangles + closed.openChains, 0);
    RkPolygonModel box = shapes::OpenBox();
    const CappingSummary open = CapBoundaryLoops(box);
    EXPECT_EQ(open.loops, 1);
    EXPECT_EQ(open.triangles, 4);
    box.BuildEdgeTable();
    ExpectConsistentEdgeTable(box);
    EXPECT_EQ(EulerCharacteristic(box), 2);
}

TEST(CapBoundaryLoops, ClosesTheOpenLvLikeItsCappedTwinFacingOutwards) {
    const std::string openPath = SharedMesh("bivme_p1_lv_endo_open.obj");
    if (!std::ifstream(openPath).good()) GTEST_SKIP() << openPath << " not found";
    RkPolygonModel model, twin;
    ASSERT_TRUE(model.Load(openPath));
    ASSERT_TRUE(twin.Load(SharedMesh("bivme_p1_lv_endo_capped.obj")));
    const RkPolygonModel original = model;
    EXPECT_EQ(CapBoundaryLoops(model).loops, 2);
    EXPECT_TRUE(model.SameCounts(twin));
    // The file's polygons stay first and unchanged.
    for (size_t i = 0; i < original.polygons.size(); ++i)
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(model.polygons[i].vertex[k], original.polygons[i].vertex[k]);
    model.BuildEdgeTable();
    ExpectConsistentEdgeTable(model);
    EXPECT_EQ(BoundaryEdgeCount(model), 0);
    EXPECT_EQ(EulerCharacteristic(model), 2);
    EXPECT_NEAR(SignedVolume(model), SignedVolume(twin), 1e-6 * SignedVolume(twin));
}

}  // namespace
}  // namespace vantrel
