// The real meshes kept beside the project (heart cavities and a bunny): they
// load with the counts their README gives, are closed or open as documented,
// face outwards, and stay closed through refinement. Skipped when absent.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"

namespace vantrel {
namespace {

using namespace meshchecks;  // the shared mesh and file checks

struct RealMesh {
    const char* file;
    size_t vertices;
    size_t triangles;
    int boundaryLoops;  // 0 for a closed genus-0 surface
};

class RealMeshTest : public ::testing::TestWithParam<RealMesh> {};

TEST_P(RealMeshTest, LoadsAsDocumentedFacesOutwardsAndRefinesKeepingTheTopology) {
    const RealMesh& mesh = GetParam();
    const std::string path = SharedMesh(mesh.file);
    if (!std::ifstream(path).good()) GTEST_SKIP() << mesh.file << " not found";
    RkPolygonModel model;
    ASSERT_TRUE(model.Load(path));
    model.BuildEdgeTable();
    EXPECT_EQ(model.vertices.size(), mesh.vertices);
    EXPECT_EQ(model.polygons.size(), mesh.triangles);
    // Consistent winding: no edge has two triangles running the same way.
    ExpectConsistentEdgeTable(model);
    // A sphere has V - E + F = 2; every boundary loop cut into it takes one off.
    EXPECT_EQ(EulerCharacteristic(model), 2 - mesh.boundaryLoops);
    const int boundary = BoundaryEdgeCount(model);
    EXPECT_EQ(boundary == 0, mesh.boundaryLoops == 0);

    // Only a closed surface encloses a volume; the vertex farthest out along +x faces +x.
    model.ComputeNormals();
    EXPECT_TRUE(mesh.boundaryLoops > 0 || SignedVolume(model) > 0.0) << "faces inwards";
    size_t far = 0;
    for (size_t i = 0; i < model.vertices.size(); ++i)
        if (model.vertices[i].position.x > model.vertices[far].position.x) far = i;
    EXPECT_GT(model.vertices[far].normal.x, 0.0);
    for (const MeshVertex& vertex : model.vertices) EXPECT_NEAR(vertex.normal.Length(), 1.0, 1e-12);

    const size_t e = model.edges.size();
    model.RefineByCentroids();
    EXPECT_EQ(model.vertices.size(), mesh.vertices + mesh.triangles);
    EXPECT_EQ(model.polygons.size(), 2 * (e - boundary) + boundary);
    EXPECT_EQ(BoundaryEdgeCount(model), boundary);
    EXPECT_EQ(EulerCharacteristic(model), 2 - mesh.boundaryLoops);
    ExpectConsistentEdgeTable(model);
    EXPECT_TRUE(mesh.boundaryLoops > 0 || SignedVolume(model) > 0.0) << "faces inwards";
}

INSTANTIATE_TEST_SUITE_P(SharedData, RealMeshTest,
                         ::testing::Values(RealMesh{"bivme_p1_lv_endo_capped.obj", 1574, 3144, 0},
                                           RealMesh{"bivme_p1_lv_endo_open.obj", 1572, 3072, 2},
                                           RealMesh{"bivme_p1_rv_endo_capped.obj", 1878, 3752, 0},
                                           RealMesh{"stanford_bunny.obj", 1839, 3674, 0}),
                         [](const ::testing::TestParamInfo<RealMesh>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(RealMeshes, LeftVentricleFillsItsDocumentedBoxAndRightVentricleRefinesTo101304Triangles) {
    RkPolygonModel lv, rv;
    if (!std::ifstream(SharedMesh("bivme_p1_rv_endo_capped.obj")).good() ||
        !std::ifstream(SharedMesh("bivme_p1_lv_endo_capped.obj")).good())
        GTEST_SKIP() << "ventricle cavities not found";
    ASSERT_TRUE(lv.Load(SharedMesh("bivme_p1_lv_endo_capped.obj")));
    Vector3 low, high;
    meshchecks::BoundingBox(lv, low, high);
    const double found[] = {low.x, low.y, low.z, high.x, high.y, high.z};
    const double documented[] = {-22.3, -23.8, -99.3, 49.7, 48.6, -7.7};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(found[i], documented[i], 0.05) << i;

    ASSERT_TRUE(rv.Load(SharedMesh("bivme_p1_rv_endo_capped.obj")));
    for (int i = 0; i < 3; ++i) rv.RefineByCentroids();
    EXPECT_EQ(rv.polygons.size(), 101304u);
    EXPECT_EQ(EulerCharacteristic(rv), 2);
    EXPECT_EQ(BoundaryEdgeCount(rv), 0);
}

}  // namespace
}  // namespace vantrel
