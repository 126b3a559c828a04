// Centroid refinement and tangential smoothing.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using namespace meshchecks;  // the shared mesh and file checks

TEST(RefineByCentroids, ClosedMeshStaysClosedWithVPlusFVerticesAndThreeTimesTheTriangles) {
    // The cube comes without an edge table: refinement builds it first.
    for (bool tableFirst : {true, false}) {
        RkPolygonModel model = tableFirst ? shapes::Tetrahedron() : shapes::UnitCube();
        const size_t v = model.vertices.size(), f = model.polygons.size();
        if (tableFirst) {
            model.BuildEdgeTable();
            ASSERT_EQ(EulerCharacteristic(model), 2);
        }
        for (int round = 1; round <= 2; ++round) {
            model.RefineByCentroids();
            EXPECT_EQ(EulerCharacteristic(model), 2);
            EXPECT_EQ(BoundaryEdgeCount(model), 0);
            ExpectConsistentEdgeTable(model);
        }
        EXPECT_EQ(model.polygons.size(), 9 * f);
        EXPECT_EQ(model.vertices.size(), v + f + 3 * f);
        // Smoothing without vertex normals shrinks the shape, but the winding carries over.
        EXPECT_GT(SignedVolume(model), 0.0) << "turned inside out";
    }
}

TEST(RefineByCentroids, OldEdgesAreFlippedToJoinCentroidsWhichStartWithoutTexture) {
    RkPolygonModel model = shapes::Tetrahedron();
    for (MeshVertex& vertex : model.vertices) vertex.texCoord = Vector3(0.5, 0.5, 0.0);
    model.RefineByCentroids();
    // Old vertices now touch only the centroids of their three faces; each
    // centroid touches three old vertices and three centroids.
    for (int i = 0; i < 8; ++i) {
        std::vector<int> around;
        model.VerticesAroundVertex(i, around);
        int centroids = 0;
        for (int j : around) centroids += j >= 4 ? 1 : 0;
        EXPECT_EQ(around.size(), i < 4 ? 3u : 6u) << i;
        EXPECT_EQ(centroids, 3) << i;
        // Two smoothing passes of neighbour means: old vertices 0 -> 0.25, centroids 0.25 -> 0.125.
        EXPECT_EQ(model.vertices[i].texCoord.x, i < 4 ? 0.25 : 0.125) << i;
    }
}

TEST(RefineByCentroids, UsesTheWrittenConstantRatherThanAnExactThird) {
    // With every corner at 3.0 an exact third would keep every coordinate at exactly 3.0;
    // 0.33333333333 puts the centroids (and their neighbours after smoothing) just below it.
    RkPolygonModel model = shapes::Tetrahedron();
    for (MeshVertex& vertex : model.vertices) vertex.position = Vector3(3.0, 3.0, 3.0);
    model.RefineByCentroids();
    for (const MeshVertex& vertex : model.vertices) {
        EXPECT_LT(vertex.position.x, 3.0);
        EXPECT_GT(vertex.position.x, 3.0 - 1e-9);
    }
}

TEST(RefineByCentroids, OpenMeshKeepsItsBoundaryAndWinding) {
    RkPolygonModel model = shapes::OpenBox();
    model.BuildEdgeTable();
    const size_t e = model.edges.size();
    ASSERT_EQ(BoundaryEdgeCount(model), 4);
    model.RefineByCentroids();
    EXPECT_EQ(model.polygons.size(), 2 * (e - 4) + 4)
        << "interior edges give two triangles, boundary edges one";
    EXPECT_EQ(BoundaryEdgeCount(model), 4);
    EXPECT_EQ(EulerCharacteristic(model), 1);
    ExpectConsistentEdgeTable(model);  // no edge has two polygons on one side: the windings agree
    for (const MeshEdge& edge : model.edges)
        if (edge.forwardPolygon < 0 || edge.backwardPolygon < 0) {
            EXPECT_GE(edge.lowVertex, 4) << "the boundary still joins the corners of the open top";
            EXPECT_LE(edge.highVertex, 7);
        }
}

TEST(SmoothTangential, MovesEachVertexToItsNeighboursMeanKeepingTheOffsetAlongItsNormal) {
    for (bool withNormal : {false, true}) {
        RkPolygonModel model = shapes::HexagonFan();
        model.vertices[0].position = Vector3(0.3, 0.2, 1.0);
        if (withNormal) model.vertices[0].normal = Vector3(0.0, 0.0, 1.0);
        for (int i = 1; i <= 6; ++i) model.vertices[i].texCoord = Vector3(0.25, 0.5, 0.0);
        model.vertices.push_back(MeshVertex());  // no neighbours: no mean to move to
        model.vertices[7].position = Vector3(7, 8, 9);
        model.vertices[7].texCoord = Vector3(0.5, 0.5, 0);
        model.BuildEdgeTable();
        model.SmoothTangential(1);
        EXPECT_NEAR(model.vertices[0].position.x, 0.0, 1e-15);
        EXPECT_NEAR(model.vertices[0].position.y, 0.0, 1e-15);
        EXPECT_EQ(model.vertices[0].position.z, withNormal ? 1.0 : 0.0);
        EXPECT_EQ(model.vertices[0].texCoord.x, 0.25);
        EXPECT_EQ(model.vertices[0].texCoord.y, 0.5);
        EXPECT_EQ(model.vertices[7].position.z, 9.0);
        EXPECT_EQ(model.vertices[7].texCoord.x, 0.5);
    }
}

TEST(SmoothTangential, AllVerticesMoveTogetherAfterThePass) {
    RkPolygonModel model = shapes::TwoTriangles();
    model.BuildEdgeTable();
    model.SmoothTangential(1);
    // Vertex 0 goes to the mean of 1 and 2; vertex 1 to the mean of the old
    // positions of 0, 2 and 3 (not of vertex 0's new one).
    EXPECT_EQ(model.vertices[0].position.x, 0.5);
    EXPECT_EQ(model.vertices[0].position.y, 0.5);
    EXPECT_DOUBLE_EQ(model.vertices[1].position.x, 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(model.vertices[1].position.y, 2.0 / 3.0);
}

}  // namespace
}  // namespace vantrel
