// Normals, whole-model transforms and the model's life cycle.
#include <gtest/gtest.h>

#include <cmath>

#include "mesh/RkPolygonModel.h"
#include "shapes.h"

namespace vantrel {
namespace {

void ExpectVector(const Vector3& actual, double x, double y, double z, double tolerance = 1e-15) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}

TEST(ComputeNormals, VertexNormalIsTheUnweightedMeanOfItsPolygonsDirections) {
    RkPolygonModel model = shapes::UnitCube();
    model.ComputeNormals();
    // Vertex 0 touches two triangles on each of three faces; vertex 1 one triangle
    // of z = 0 and of y = 0 but two of x = 1.
    const double third = 1.0 / std::sqrt(3.0), sixth = 1.0 / std::sqrt(6.0);
    ExpectVector(model.vertices[0].normal, -third, -third, -third);
    ExpectVector(model.vertices[1].normal, 2 * sixth, -sixth, -sixth);
    ExpectVector(model.polygons[0].normal, 0, 0, -1);
}

TEST(ComputeNormals, ZeroAreaTriangleGivesAFlaggedZeroNormalAndAddsNothing) {
    // Triangle 1 is (1, 2, 4) with 4 on the segment 1-2: zero area.
    RkPolygonModel model = shapes::MakeModel(
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.5, 0.5, 0}}, {{0, 1, 3}, {1, 2, 4}});
    const Vector3 normal = model.PolygonNormal(1);
    EXPECT_TRUE(normal.zero);
    ExpectVector(normal, 0, 0, 0);  // not NaN
    EXPECT_NEAR(model.PolygonNormal(0).Length(), 1.0, 1e-15);
    model.ComputeNormals();
    EXPECT_TRUE(model.polygons[1].normal.zero);
    EXPECT_FALSE(model.polygons[0].normal.zero);
    ExpectVector(model.vertices[1].normal, 0, -1, 0);
    // Vertices 2 and 4 have only the flat triangle: no direction at all, like a vertex used by no
    // polygon.
    EXPECT_TRUE(model.vertices[4].normal.zero);
    ExpectVector(model.vertices[2].normal, 0, 0, 0);
}

TEST(FitToSize, CentresTheBoxAndScalesItsLargestExtentOrOnlyCentresWithoutExtent) {
    RkPolygonModel model = shapes::UnitCube();
    model.ScaleAbout(2.0, Vector3(0, 0, 0));
    for (MeshVertex& vertex : model.vertices) vertex.position.z *= 0.5;  // box 2 x 2 x 1
    model.Translate(Vector3(10, 20, 30));
    model.FitToSize(10.0);
    ExpectVector(model.vertices[0].position, -5, -5, -2.5);
    ExpectVector(model.vertices[7].position, 5, 5, 2.5);

    RkPolygonModel point = shapes::MakeModel({{4, 5, 6}, {4, 5, 6}, {4, 5, 6}}, {{0, 1, 2}}), empty;
    point.FitToSize(10.0);
    for (const MeshVertex& vertex : point.vertices) ExpectVector(vertex.position, 0, 0, 0);
    empty.FitToSize(10.0);
    EXPECT_TRUE(empty.vertices.empty());
}

TEST(ScaleAbout, ScalesAboutTheCentreAndFactorOneChangesNothing) {
    RkPolygonModel model = shapes::UnitCube();
    model.ScaleAbout(3.0, Vector3(1, 1, 1));
    ExpectVector(model.vertices[0].position, -2, -2, -2);
    ExpectVector(model.vertices[7].position, 1, 1, 1);
    // Scaling by exactly 1 must not even round positions through (p - c) + c.
    RkPolygonModel awkward = shapes::MakeModel({{0.1, 0.2, 0.3}}, {});
    awkward.ScaleAbout(1.0, Vector3(1e17, 0, 0));
    EXPECT_EQ(awkward.vertices[0].position.x, 0.1);
}

TEST(ModelLifeCycle, CopyFromIsDeepAndKeepsSettingsWhileClearResetsThem) {
    RkPolygonModel source = shapes::UnitCube();
    source.creaseThreshold = 0.2;
    source.smoothingPasses = 1;
    source.BuildEdgeTable();
    RkPolygonModel copy = shapes::Tetrahedron();
    copy.CopyFrom(source);
    EXPECT_TRUE(copy.SameCounts(source));
    EXPECT_FALSE(copy.SameCounts(shapes::Tetrahedron()));
    EXPECT_EQ(copy.edges.size(), source.edges.size());
    EXPECT_EQ(copy.creaseThreshold, 0.2);
    EXPECT_EQ(copy.smoothingPasses, 1);
    source.vertices[0].position.x = 42;
    EXPECT_NE(copy.vertices[0].position.x, 42);
    copy.CopyFrom(copy);
    EXPECT_EQ(copy.polygons.size(), 12u);

    copy.Clear();
    EXPECT_TRUE(copy.vertices.empty() && copy.polygons.empty() && copy.edges.empty());
    EXPECT_EQ(copy.creaseThreshold, -1.0);
    EXPECT_EQ(copy.smoothingPasses, 0);
}

}  // namespace
}  // namespace vantrel
