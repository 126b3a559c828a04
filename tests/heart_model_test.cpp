// Loading and normalising the heart, the refusals that leave the empty model, the
// segmentation operations of the model, and the demo heart in data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "heart/HeartModel.h"
#include "heart/VolumeStroke.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using meshchecks::ConsoleCapture;
using meshchecks::ScratchPath;
using meshchecks::WriteScratchFile;

// The unit cube scaled by (sx, sy, sz) and moved by offset.
RkPolygonModel Box(double sx, double sy, double sz, const Vector3& offset) {
    RkPolygonModel box = shapes::UnitCube();
    for (MeshVertex& vertex : box.vertices) {
        const Vector3 p = vertex.position;
        vertex.position = Vector3(p.x * sx, p.y * sy, p.z * sz) + offset;
    }
    return box;
}

std::string SaveScratchMesh(const RkPolygonModel& mesh, const std::string& name) {
    const std::string path = ScratchPath(name);
    EXPECT_TRUE(mesh.SaveObj(path));
    return path;
}

void ExpectEmptyModel(const HeartModel& heart) {
    EXPECT_TRUE(heart.mesh.vertices.empty() && heart.mesh.polygons.empty() &&
                heart.regionIds.empty());
    EXPECT_EQ(heart.volume.LayerVoxelCount(), 0);
    const std::vector<std::int32_t>& inside = heart.volume.insideFlags();
    EXPECT_EQ(std::count(inside.begin(), inside.end(), 1), 0);
}

// The highest coordinate on each axis; fails the test unless the lowest is 0 on each.
Vector3 HighCornerOfABoxAtTheOrigin(const RkPolygonModel& mesh) {
    Vector3 low, high;
    meshchecks::BoundingBox(mesh, low, high);
    EXPECT_TRUE(low.x == 0.0 && low.y == 0.0 && low.z == 0.0);
    return high;
}

// Refinement and its smoothing are linear in each axis, so a 4 x 2 x 8 box keeps its
// proportions and lands in [0, 5] x [0, 2.5] x [0, 10] wherever it starts. The
// refinement's centroid constant is a little short of a third, so a centroid moves by
// about 1e-11 of its distance from the origin: far meshes agree to that.
TEST(NormalizeHeart, ScalesTheLargestExtentToTenWithTheBoxAtTheOriginFromAnyCoordinates) {
    HeartModel nearOrigin;
    nearOrigin.mesh = Box(4, 2, 8, Vector3(-3, 7, 1));
    ASSERT_TRUE(nearOrigin.NormalizeHeart());
    EXPECT_EQ(nearOrigin.mesh.polygons.size(), 36u);
    for (const MeshVertex& vertex : nearOrigin.mesh.vertices)
        EXPECT_NEAR(vertex.normal.Length(), 1.0, 1e-12);
    for (const Vector3& offset :
         {Vector3(-3, 7, 1), Vector3(-5e4, 2e5, 1e6), Vector3(3e4, 3e4, 3e4)}) {
        SCOPED_TRACE(offset.x);
        HeartModel heart;
        heart.mesh = Box(4, 2, 8, offset);
        ASSERT_TRUE(heart.NormalizeHeart());
        const Vector3 high = HighCornerOfABoxAtTheOrigin(heart.mesh);
        EXPECT_NEAR(high.z, 10.0, 1e-12);
        EXPECT_LT((high - Vector3(5.0, 2.5, 10.0)).Length(), 1e-9);
        ASSERT_EQ(heart.mesh.vertices.size(), nearOrigin.mesh.vertices.size());
        for (std::size_t i = 0; i < heart.mesh.vertices.size(); ++i) {
            EXPECT_LT(
                (heart.mesh.vertices[i].position - nearOrigin.mesh.vertices[i].position).Length(),
                1e-4)
                << i;
        }
    }
}

// The file's mesh is kept as read, and the recorded transform maps the normalised
// mesh back onto the refined file mesh; the refinement keeps the file's vertices
// first, in file order.
TEST(NormalizeHeart, KeepsTheFileMeshAndATransformThatMapsTheModelBackToTheFile) {
    for (const Vector3& offset : {Vector3(-3, 7, 1), Vector3(-5e4, 2e5, 1e6)}) {
        SCOPED_TRACE(offset.y);
        const RkPolygonModel file = Box(4, 2, 8, offset);
        HeartModel heart;
        heart.mesh = file;
        ASSERT_TRUE(heart.NormalizeHeart());
        ASSERT_EQ(heart.fileMesh.vertices.size(), file.vertices.size());
        ASSERT_EQ(heart.fileMesh.polygons.size(), file.polygons.size());
        for (std::size_t i = 0; i < file.vertices.size(); ++i)
            EXPECT_EQ(heart.fileMesh.vertices[i].position.z, file.vertices[i].position.z);
        for (std::size_t p = 0; p < file.polygons.size(); ++p)
            EXPECT_EQ(heart.fileMesh.polygons[p].vertex[2], file.polygons[p].vertex[2]);

        RkPolygonModel refined = file;
        refined.BuildEdgeTable();
        refined.RefineByCentroids();
        ASSERT_EQ(heart.mesh.vertices.size(), refined.vertices.size());
        const double extent = 8.0;  // the file's largest extent; rounding is relative to it
        for (std::size_t i = 0; i < refined.vertices.size(); ++i) {
            const Vector3 back = heart.normalisation.ToFile(heart.mesh.vertices[i].position);
            EXPECT_LT((back - refined.vertices[i].position).Length(),
                      1e-12 * (extent + offset.Length()))
                << i;
        }
        // The first vertices of the refined mesh are the file's own, smoothed: each
        // is still nearer its own corner than any other.
        for (std::size_t i = 0; i < file.vertices.size(); ++i) {
            std::size_t nearest = 0;
            for (std::size_t k = 0; k < file.vertices.size(); ++k) {
                if ((refined.vertices[i].position - file.vertices[k].position).Length() <
                    (refined.vertices[i].position - file.vertices[nearest].position).Length())
                    nearest = k;
            }
            EXPECT_EQ(nearest, i);
        }
    }
}

TEST(NormalizeHeart, RefusesNonFiniteAndFlatMeshesWithOneLine) {
    std::vector<RkPolygonModel> bad(2, Box(1, 1, 1, Vector3(0, 0, 0)));
    bad[0].vertices[3].position.y = std::numeric_limits<double>::quiet_NaN();
    bad[1].vertices[5].position.z = -std::numeric_limits<double>::infinity();
    bad.push_back(Box(0, 0, 0, Vector3(2, 2, 2)));  // every corner the same point
    bad.push_back(Box(1e308, 1e308, 1e308, Vector3(-1e308, -1e308, -1e308)));  // extent overflows
    bad.push_back(Box(5e307, 5e307, 5e307, Vector3(1.5e308, 0, 0)));  // refinement overflows
    bad.push_back(RkPolygonModel());
    for (std::size_t k = 0; k < bad.size(); ++k) {
        SCOPED_TRACE(k);
        HeartModel heart;
        heart.mesh = bad[k];
        ConsoleCapture console;
        EXPECT_FALSE(heart.NormalizeHeart());
        EXPECT_EQ(console.Lines().size(), 1u);
        EXPECT_TRUE(heart.mesh.vertices.empty() && heart.mesh.polygons.empty());
    }
}

// Each refusal says why in one line and leaves the empty model a new one has.
TEST(LoadHeart, RefusesBadHeartFilesWithOneLineAndStaysEmpty) {
    const HeartModel fresh;
    ExpectEmptyModel(fresh);
    EXPECT_EQ(fresh.LayerDepth(), 0.0390625);  // half of 10 / 128
    for (const std::string& path :
         {WriteScratchFile("flat.obj", "v 1 1 1\nv 1 1 1\nv 1 1 1\nf 1 2 3\n"),
          WriteScratchFile("bad-index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"),
          WriteScratchFile("nan.obj", "v 0 0 nan\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"),
          SaveScratchMesh(shapes::UnitCube(), "cube.txt"), ScratchPath("missing.obj")}) {
        SCOPED_TRACE(path);
        HeartModel heart;
        ConsoleCapture console;
        EXPECT_FALSE(heart.LoadHeart(path, SegmentationChoice::AllSegmented()));
        EXPECT_EQ(console.Lines().size(), 1u);
        ExpectEmptyModel(heart);
    }
}

struct PathStroke : VolumeStroke {
    using VolumeStroke::VolumeStroke;
    const std::vector<Vector3>& PathPoints() const override { return points; }
    std::vector<Vector3> points;
};

TEST(LoadHeart, UpperCaseObjLoadsOnceAllSegmentedAndResetsItsFieldForGrowth) {
    HeartModel heart;
    ASSERT_TRUE(heart.LoadHeart(SaveScratchMesh(shapes::UnitCube(), "cube.OBJ"),
                                SegmentationChoice::AllSegmented()));
    EXPECT_EQ(heart.mesh.polygons.size(), 36u);
    EXPECT_EQ(heart.regionIds, std::vector<std::int32_t>(36, 1));
    const int layer = heart.volume.LayerVoxelCount();
    ASSERT_GT(layer, 0);
    for (const LayerVoxel& record : heart.volume.layerVoxels())
        ASSERT_EQ(heart.volume.insideFlags()[record.voxel], 1);
    // A second load is refused with one line and changes nothing.
    ConsoleCapture console;
    EXPECT_FALSE(heart.LoadHeart(SaveScratchMesh(shapes::Tetrahedron(), "tetrahedron.obj"),
                                 SegmentationChoice::None()));
    EXPECT_EQ(console.Lines().size(), 1u);
    EXPECT_EQ(heart.regionIds, std::vector<std::int32_t>(36, 1));
    EXPECT_EQ(heart.volume.LayerVoxelCount(), layer);
    // ResetFieldForGrowth empties what a stroke through the first layer cell left.
    PathStroke stroke(1);
    stroke.points = {heart.volume.layerVoxels().front().centre, Vector3(5, 5, 5)};
    heart.volume.MarkStroke(&stroke);
    ASSERT_FALSE(heart.volume.layerVoxels().front().strokes.empty());
    heart.ResetFieldForGrowth();
    for (double d : heart.volume.densityField()) ASSERT_EQ(d, 0.0);
    for (const LayerVoxel& record : heart.volume.layerVoxels()) ASSERT_TRUE(record.strokes.empty());
}

// The open box refines to 30 polygons, so a segmentation file of 2 is refused.
TEST(LoadHeart, OpenMeshLoadsWithABoundaryLineAndASegmentationOfAnotherMeshLeavesIdsZero) {
    const std::string segmentation = WriteScratchFile(
        "other.kxseg", "segmentationdata\npolygon number 2\nid: 0 1\nid: 1 1\nend\n");
    HeartModel heart;
    ConsoleCapture console;
    ASSERT_TRUE(heart.LoadHeart(SaveScratchMesh(shapes::OpenBox(), "open-box.obj"),
                                SegmentationChoice::File(segmentation)));
    EXPECT_EQ(heart.regionIds, std::vector<std::int32_t>(30, 0));
    EXPECT_EQ(heart.volume.LayerVoxelCount(), 0);
    const std::string all = console.Text();
    EXPECT_NE(all.find("polygon number 2\n"), std::string::npos) << all;
    EXPECT_NE(all.find(" 4 boundary edges"), std::string::npos) << all;
    EXPECT_NE(all.find("may be unreliable"), std::string::npos) << all;
}

// Capping closes the open LV: the console says where the cap triangles went, the
// inside test no longer warns, every refined polygon touching a cap stays unsegmented
// under --segment-all, and the fibre layer lies inside the cavity off the caps.
TEST(LoadHeart, CappedOpenLvKeepsItsFibreLayerInsideAndOffTheCaps) {
    const std::string path = meshchecks::SharedMesh("bivme_p1_lv_endo_open.obj");
    if (!std::ifstream(path).good()) GTEST_SKIP() << path << " not found";
    HeartModel heart;
    ConsoleCapture console;
    ASSERT_TRUE(heart.LoadHeart(path, SegmentationChoice::AllSegmented(), ValveCapping::kCap));
    const std::string all = AllText(console);
    EXPECT_NE(all.find("2 open boundary loops capped with 72 triangles, appended after the "
                       "file's 3072 polygons (polygons 3072 to 3143"),
              std::string::npos)
        << all;
    EXPECT_EQ(all.find("unreliable"), std::string::npos) << all;

    ASSERT_FALSE(heart.capPolygons.empty());
    std::vector<bool> isCap(heart.mesh.polygons.size(), false);
    for (const int p : heart.capPolygons) isCap[static_cast<std::size_t>(p)] = true;
    for (std::size_t p = 0; p < isCap.size(); ++p)
        ASSERT_EQ(heart.regionIds[p], isCap[p] ? 0 : 1) << "polygon " << p;
    ASSERT_GT(heart.volume.LayerVoxelCount(), 0);
    // The layer grows two cells in from the segmented surface cells, so along the
    // rim it reaches a few cells of the caps, but none farther from the wall.
    std::vector<Vector3> wall;
    for (std::size_t p = 0; p < isCap.size(); ++p) {
        if (isCap[p]) continue;
        for (const int v : heart.mesh.polygons[p].vertex)
            wall.push_back(heart.mesh.vertices[v].position);
    }
    const double reach = 3.0 * heart.volume.VoxelSize();
    int onCaps = 0;
    double farthest = 0.0;
    for (const LayerVoxel& record : heart.volume.layerVoxels()) {
        ASSERT_EQ(heart.volume.insideFlags()[record.voxel], 1) << "record " << record.index;
        if (!isCap[static_cast<std::size_t>(record.polygon)]) continue;
        ++onCaps;
        double nearest = 1e300;
        for (const Vector3& w : wall) nearest = std::min(nearest, (w - record.centre).Length());
        farthest = std::max(farthest, nearest);
    }
    EXPECT_LT(onCaps, heart.volume.LayerVoxelCount() / 100);
    EXPECT_LT(farthest, reach);
}

// Paint around polygon 0, then paint around 35 and erase around 0: the ids must match
// the polygons sharing a corner with them; indices outside the mesh change nothing;
// export and import back.
TEST(HeartModel, PaintEraseExportAndImportSegmentation) {
    HeartModel heart;
    ASSERT_TRUE(heart.LoadHeart(SaveScratchMesh(shapes::UnitCube(), "cube.obj"),
                                SegmentationChoice::None()));
    const auto shareAVertex = [&](int p, int q) {
        for (const int a : heart.mesh.polygons[p].vertex)
            for (const int b : heart.mesh.polygons[q].vertex)
                if (a == b) return true;
        return false;
    };
    heart.PaintAround(0);
    for (int q = 0; q < 36; ++q) EXPECT_EQ(heart.regionIds[q], shareAVertex(0, q)) << q;
    heart.PaintAround(35);
    heart.EraseAround(0);
    for (int q = 0; q < 36; ++q)
        EXPECT_EQ(heart.regionIds[q], shareAVertex(35, q) && !shareAVertex(0, q)) << q;
    const std::vector<std::int32_t> painted = heart.regionIds;
    for (int outside : {-1, 36, 1 << 24}) heart.PaintAround(outside), heart.EraseAround(outside);
    EXPECT_EQ(heart.regionIds, painted);

    // Written to the full chosen path, with the extension appended.
    ConsoleCapture console;
    const std::string chosen = ScratchPath("painted");
    ASSERT_TRUE(heart.ExportSegmentation(chosen));
    EXPECT_EQ(console.Text(), "system save the segemntationfile _segmentation.kxseg_");
    std::fill(heart.regionIds.begin(), heart.regionIds.end(), 0);
    ASSERT_TRUE(heart.ImportSegmentation(chosen + ".kxseg"));
    EXPECT_EQ(heart.regionIds, painted);
}

const std::string kDemoHeart = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";

TEST(DemoHeart, IsAClosedOutwardCavityOfAFewThousandTriangles) {
    RkPolygonModel mesh;
    ASSERT_TRUE(mesh.Load(kDemoHeart));
    mesh.BuildEdgeTable();
    EXPECT_GE(mesh.polygons.size(), 2000u);
    EXPECT_LE(mesh.polygons.size(), 5000u);
    EXPECT_EQ(meshchecks::BoundaryEdgeCount(mesh), 0);
    EXPECT_EQ(meshchecks::EulerCharacteristic(mesh), 2);
    meshchecks::ExpectConsistentEdgeTable(mesh);
    EXPECT_GT(meshchecks::SignedVolume(mesh), 0.0);
}

// The layer lies inside the cavity; the valve plane (the polygons facing the base)
// is left out of the segmentation and the whole wall is in it.
TEST(DemoHeart, LoadsWithItsSegmentationIntoAFibreLayerInsideTheWall) {
    HeartModel heart;
    ASSERT_TRUE(heart.LoadHeart(
        kDemoHeart, SegmentationChoice::File(std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg")));
    ASSERT_GT(heart.volume.LayerVoxelCount(), 0);
    for (const LayerVoxel& record : heart.volume.layerVoxels()) {
        ASSERT_EQ(heart.volume.insideFlags()[record.voxel], 1) << "record " << record.index;
        ASSERT_GE(record.polygon, 0);
    }
    int valve = 0, wronglySegmented = 0;
    for (std::size_t p = 0; p < heart.mesh.polygons.size(); ++p) {
        const bool facesBase = heart.mesh.polygons[p].normal.z > 0.7;
        valve += facesBase;
        wronglySegmented += facesBase == (heart.regionIds[p] != 0);
    }
    EXPECT_GT(valve, 0);
    EXPECT_EQ(wronglySegmented, 0);
}

}  // namespace
}  // namespace vantrel
