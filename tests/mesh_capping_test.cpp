// Closing boundary loops by fans: the open LV becomes a closed, consistently
// wound, outward-facing surface like the shipped capped twin; closed meshes are
// left alone.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "mesh/HoleCapping.h"
#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using namespace meshchecks;  // the shared mesh and file checks

TEST(CapBoundaryLoops, ClosesTheOpenLvLikeItsCappedTwinFacingOutwards) {
    const std::string openPath = SharedMesh("bivme_p1_lv_endo_open.obj");
    const std::string cappedPath = SharedMesh("bivme_p1_lv_endo_capped.obj");
    if (!std::ifstream(openPath).good()) GTEST_SKIP() << openPath << " not found";
    RkPolygonModel model, twin;
    ASSERT_TRUE(model.Load(openPath));
    ASSERT_TRUE(twin.Load(cappedPath));
    const RkPolygonModel original = model;

    const CappingSummary summary = CapBoundaryLoops(model);
    EXPECT_EQ(summary.loops, 2);
    EXPECT_EQ(summary.openChains, 0);
    EXPECT_EQ(model.vertices.size(), twin.vertices.size());
    EXPECT_EQ(model.polygons.size(), twin.polygons.size());
    EXPECT_EQ(summary.triangles, static_cast<int>(twin.polygons.size() - original.polygons.size()));
    // The file's polygons stay first and unchanged.
    for (size_t i = 0; i < original.polygons.size(); ++i)
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(model.polygons[i].vertex[k], original.polygons[i].vertex[k]);

    model.BuildEdgeTable();
    ExpectConsistentEdgeTable(model);
    EXPECT_EQ(BoundaryEdgeCount(model), 0);
    EXPECT_EQ(EulerCharacteristic(model), 2);
    EXPECT_GT(SignedVolume(model), 0.0);
    EXPECT_NEAR(SignedVolume(model), SignedVolume(twin), 1e-6 * SignedVolume(twin));
}

TEST(CapBoundaryLoops, AddsNothingToAClosedMeshAndOneFanToAnOpenBox) {
    RkPolygonModel cube = shapes::UnitCube();
    const CappingSummary closed = CapBoundaryLoops(cube);
    EXPECT_EQ(closed.loops + closed.triangles + closed.openChains, 0);
    EXPECT_EQ(cube.polygons.size(), shapes::UnitCube().polygons.size());

    RkPolygonModel box = shapes::OpenBox();
    const CappingSummary open = CapBoundaryLoops(box);
    EXPECT_EQ(open.loops, 1);
    EXPECT_EQ(open.triangles, 4);
    box.BuildEdgeTable();
    ExpectConsistentEdgeTable(box);
    EXPECT_EQ(EulerCharacteristic(box), 2);
}

}  // namespace
}  // namespace vantrel
