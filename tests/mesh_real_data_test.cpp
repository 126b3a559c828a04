// The real meshes kept beside the project (heart cavities and a bunny): they
// load with the counts their README gives, are closed or open as documented,
// face outwards, and stay closed through refinement. Skipped when absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"

namespace vantrel {
namespace {

using meshchecks::BoundaryEdgeCount;
using meshchecks::EulerCharacteristic;
using meshchecks::ExpectConsistentEdgeTable;
using meshchecks::SharedMesh;
using meshchecks::SignedVolume;

struct RealMesh {
    const char* file;
    size_t vertices;
    size_t triangles;
    int boundaryLoops;  // 0 for a closed genus-0 surface
};

class RealMeshTest : public ::testing::TestWithParam<RealMesh> {
protected:
    // Loads the file with its edge table, or skips the test when it is absent.
    bool LoadOrSkip(RkPolygonModel& model) {
        const std::string path = SharedMesh(GetParam().file);
        if (!std::ifstream(path).good()) return false;
        EXPECT_TRUE(model.Load(path));
        model.BuildEdgeTable();
        return true;
    }
};

TEST_P(RealMeshTest, LoadsWithTheDocumentedCountsAndClosedness) {
    RkPolygonModel model;
    if (!LoadOrSkip(model)) GTEST_SKIP() << GetParam().file << " not found";
    const RealMesh& mesh = GetParam();
    EXPECT_EQ(model.vertices.size(), mesh.vertices);
    EXPECT_EQ(model.polygons.size(), mesh.triangles);
    // Consistent winding: no edge has two triangles running the same way.
    ExpectConsistentEdgeTable(model);
    // A sphere has V - E + F = 2; every boundary loop cut into it takes one off.
    EXPECT_EQ(EulerCharacteristic(model), 2 - mesh.boundaryLoops);
    EXPECT_EQ(BoundaryEdgeCount(model) == 0, mesh.boundaryLoops == 0);
}

TEST_P(RealMeshTest, NormalsPointOutOfTheEnclosedVolume) {
    RkPolygonModel model;
    if (!LoadOrSkip(model)) GTEST_SKIP() << GetParam().file << " not found";
    model.ComputeNormals();
    // Only a closed surface encloses a volume.
    if (GetParam().boundaryLoops == 0) {
        EXPECT_GT(SignedVolume(model), 0.0);
    }
    // The vertex farthest out along +x must have a normal facing +x.
    size_t far = 0;
    for (size_t i = 0; i < model.vertices.size(); ++i)
        if (model.vertices[i].position.x > model.vertices[far].position.x) far = i;
    EXPECT_GT(model.vertices[far].normal.x, 0.0);
    for (const MeshVertex& vertex : model.vertices) EXPECT_NEAR(vertex.normal.Length(), 1.0, 1e-12);
}

TEST_P(RealMeshTest, RefinementKeepsTheSurfaceTopology) {
    RkPolygonModel model;
    if (!LoadOrSkip(model)) GTEST_SKIP() << GetParam().file << " not found";
    const size_t v = model.vertices.size(), f = model.polygons.size(), e = model.edges.size();
    const int boundary = BoundaryEdgeCount(model);
    model.RefineByCentroids();
    EXPECT_EQ(model.vertices.size(), v + f);
    EXPECT_EQ(model.polygons.size(), 2 * (e - boundary) + boundary);
    EXPECT_EQ(BoundaryEdgeCount(model), boundary);
    EXPECT_EQ(EulerCharacteristic(model), 2 - GetParam().boundaryLoops);
    ExpectConsistentEdgeTable(model);
    model.ComputeNormals();
    if (GetParam().boundaryLoops == 0) {
        EXPECT_GT(SignedVolume(model), 0.0);
    }
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

TEST(RealMeshes, LeftVentricleFillsItsDocumentedBox) {
    RkPolygonModel model;
    if (!model.Load(SharedMesh("bivme_p1_lv_endo_capped.obj"))) GTEST_SKIP() << "LV cavity not found";
    Vector3 low = model.vertices[0].position, high = low;
    for (const MeshVertex& vertex : model.vertices) {
        const Vector3& p = vertex.position;
        low = Vector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = Vector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    EXPECT_NEAR(low.x, -22.3, 0.05);
    EXPECT_NEAR(low.y, -23.8, 0.05);
    EXPECT_NEAR(low.z, -99.3, 0.05);
    EXPECT_NEAR(high.x, 49.7, 0.05);
    EXPECT_NEAR(high.y, 48.6, 0.05);
    EXPECT_NEAR(high.z, -7.7, 0.05);
}

TEST(RealMeshes, RightVentricleRefinedThreeTimesHas101304Triangles) {
    RkPolygonModel model;
    if (!std::ifstream(SharedMesh("bivme_p1_rv_endo_capped.obj")).good()) GTEST_SKIP() << "RV cavity not found";
    ASSERT_TRUE(model.Load(SharedMesh("bivme_p1_rv_endo_capped.obj")));
    model.BuildEdgeTable();
    for (int i = 0; i < 3; ++i) model.RefineByCentroids();
    EXPECT_EQ(model.polygons.size(), 101304u);
    EXPECT_EQ(EulerCharacteristic(model), 2);
    EXPECT_EQ(BoundaryEdgeCount(model), 0);
}

}  // namespace
}  // namespace vantrel
