// Loading and normalising the heart, the refusals that leave the empty model, the
// segmentation operations and the segmentation file, capping on load, and the demo
// heart in data/.
#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "heart/HeartModel.h"
#include "heart/SegmentationFile.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using namespace meshchecks;  // the shared mesh and file checks
using Ids = std::vector<std::int32_t>;

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

// Refinement and its smoothing are linear in each axis, so a 4 x 2 x 8 box keeps its
// proportions and lands in [0, 5] x [0, 2.5] x [0, 10] wherever it starts, with its
// normals, and the recorded transform maps the normalised mesh back onto the refined
// file mesh.
TEST(NormalizeHeart, ScalesTheLargestExtentToTenAtTheOriginAndMapsBackToTheFile) {
    for (const Vector3& offset : {Vector3(-3, 7, 1), Vector3(-5e4, 2e5, 1e6)}) {
        SCOPED_TRACE(offset.y);
        const RkPolygonModel file = Box(4, 2, 8, offset);
        HeartModel heart;
        heart.mesh = file;
        ASSERT_TRUE(heart.NormalizeHeart());
        Vector3 low, high;
        BoundingBox(heart.mesh, low, high);
        EXPECT_TRUE(low.x == 0.0 && low.y == 0.0 && low.z == 0.0);
        EXPECT_LT((high - Vector3(5.0, 2.5, 10.0)).Length(), 1e-9);
        EXPECT_NEAR(heart.mesh.vertices[7].normal.Length(), 1.0, 1e-12);  // normals computed
        RkPolygonModel refined = file;
        refined.BuildEdgeTable();
        refined.RefineByCentroids();
        ASSERT_EQ(heart.mesh.vertices.size(), refined.vertices.size());
        // Rounding is relative to the file's extent (8) and distance from the origin.
        for (std::size_t i = 0; i < refined.vertices.size(); ++i)
            ExpectNear(heart.normalisation.ToFile(heart.mesh.vertices[i].position),
                       refined.vertices[i].position, 1e-12 * (8.0 + offset.Length()));
    }
}

// Each refusal, of a mesh handed to NormalizeHeart or of a file to LoadHeart, says why
// in one line and leaves the empty model a new one has.
TEST(HeartModel, RefusesBadMeshesAndFilesWithOneLineAndStaysEmpty) {
    std::vector<RkPolygonModel> bad(1, Box(1, 1, 1, Vector3(0, 0, 0)));
    bad[0].vertices[3].position.y = std::numeric_limits<double>::quiet_NaN();
    bad.push_back(Box(0, 0, 0, Vector3(2, 2, 2)));  // every corner the same point
    bad.push_back(Box(1e308, 1e308, 1e308, Vector3(-1e308, -1e308, -1e308)));  // extent overflows
    bad.push_back(Box(5e307, 5e307, 5e307, Vector3(1.5e308, 0, 0)));  // refinement overflows
    bad.push_back(RkPolygonModel());
    const std::string files[] = {
        WriteScratchFile("bad-index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"),
        SaveScratchMesh(shapes::UnitCube(), "cube.txt"), ScratchPath("missing.obj")};
    for (std::size_t k = 0; k < bad.size() + 3; ++k) {
        HeartModel heart;
        ConsoleCapture console;
        if (k < bad.size()) heart.mesh = bad[k];
        EXPECT_FALSE(k < bad.size() ? heart.NormalizeHeart()
                                    : heart.LoadHeart(files[k - bad.size()],
                                                      SegmentationChoice::AllSegmented()))
            << k;
        EXPECT_EQ(console.Lines().size(), 1u) << k;
        EXPECT_TRUE(heart.mesh.vertices.empty() && heart.mesh.polygons.empty() &&
                    heart.regionIds.empty())
            << k;
    }
}

// Left open, the LV loads with a line on its boundary edges. Capping closes it: the
// inside test no longer warns, every refined polygon touching a cap stays unsegmented
// under --segment-all, and the fibre layer lies inside the cavity and reaches the caps
// only along the rim.
TEST(LoadHeart, OpenLvWarnsAndCappedKeepsItsFibreLayerInsideAndOffTheCaps) {
    const std::string path = SharedMesh("bivme_p1_lv_endo_open.obj");
    if (!std::ifstream(path).good()) GTEST_SKIP() << path << " not found";
    HeartModel open, heart;
    ConsoleCapture console;
    ASSERT_TRUE(open.LoadHeart(path, SegmentationChoice::None()));
    const std::string warning =
        " boundary edges; the inside test of the voxel volume may be unreliable";
    EXPECT_NE(console.Text().find(warning), std::string::npos) << console.Text();
    const std::size_t openLines = console.Text().size();
    ASSERT_TRUE(heart.LoadHeart(path, SegmentationChoice::AllSegmented(), ValveCapping::kCap));
    EXPECT_EQ(console.Text().find(warning, openLines), std::string::npos);
    ASSERT_FALSE(heart.capPolygons.empty());
    std::vector<bool> isCap(heart.mesh.polygons.size(), false);
    for (const int p : heart.capPolygons) isCap[static_cast<std::size_t>(p)] = true;
    for (std::size_t p = 0; p < isCap.size(); ++p) ASSERT_EQ(heart.regionIds[p], isCap[p] ? 0 : 1);
    int onCaps = 0;
    for (const LayerVoxel& record : heart.volume.layerVoxels()) {
        ASSERT_EQ(heart.volume.insideFlags()[record.voxel], 1) << "record " << record.index;
        onCaps += isCap[static_cast<std::size_t>(record.polygon)];
    }
    ASSERT_GT(heart.volume.LayerVoxelCount(), 0);
    EXPECT_LT(onCaps, heart.volume.LayerVoxelCount() / 100);
}

// An upper-case .obj loads all segmented and only once: a second load is refused with
// one line and changes nothing. Painting around an index outside the polygons changes
// nothing (painting itself is followed through the mouse in the program tests).
TEST(HeartModel, LoadsOnceAndIgnoresPaintingOutsideItsPolygons) {
    HeartModel heart;
    ASSERT_TRUE(heart.LoadHeart(SaveScratchMesh(shapes::UnitCube(), "cube.OBJ"),
                                SegmentationChoice::AllSegmented()));
    EXPECT_EQ(heart.regionIds, Ids(36, 1));
    const int layer = heart.volume.LayerVoxelCount();
    ASSERT_GT(layer, 0);
    ConsoleCapture console;
    EXPECT_FALSE(heart.LoadHeart(SaveScratchMesh(shapes::Tetrahedron(), "tetrahedron.obj"),
                                 SegmentationChoice::None()));
    EXPECT_EQ(console.Lines().size(), 1u);
    EXPECT_EQ(heart.regionIds, Ids(36, 1));
    EXPECT_EQ(heart.volume.LayerVoxelCount(), layer);
    heart.EraseAround(0);
    const Ids painted = heart.regionIds;
    EXPECT_EQ(painted[0], 0) << "the polygon painted around is erased too";
    for (int outside : {-1, 36}) heart.PaintAround(outside);
    EXPECT_EQ(heart.regionIds, painted);
}

bool ReadFromText(const std::string& text, Ids& ids) {
    std::istringstream in(text);
    return ReadSegmentation(in, "test.kxseg", ids);
}

// Any words and white space; the index column is ignored.
TEST(SegmentationFile, ReadsAnyLayoutAndAnyNonZeroIdAsOne) {
    Ids ids(4, 0);
    ASSERT_TRUE(ReadFromText("seg\r\n count is\t+4 a 9 7\n\nb -1 0   c 5 -3 d 0 1 done", ids));
    EXPECT_EQ(ids, (Ids{1, 0, 1, 1}));
}

// Every malformed file is refused as a whole with one line: a partial import would
// leave a segmentation that matches neither the file nor the state before.
TEST(SegmentationFile, RejectsTruncatedNonNumericAndOtherMeshFilesWithoutChangingIds) {
    const std::string head = "segmentationdata\npolygon number 3\n";
    const std::string badFiles[] = {
        "segmentationdata\n",
        head + "id: 0 1\nid: 1 1\nid: 2\n",           // last entry cut
        head + "id: 0 1\nid: 1 1\nid: 2 1\n",         // no closing word (could be cut in a number)
        "segmentationdata\npolygon number three\n",   // non-numeric count
        head + "id: 0 1\nid: 1 1x\nid: 2 1\nend\n",   // non-numeric id
        head + "id: 0 1\nid: one 1\nid: 2 1\nend\n",  // non-numeric index
        head + "id: 0 1\nid: 1 99999999999\nid: 2 1\nend\n",  // out of the int range
        head + "id: 0 1\nid: 1 +-1\nid: 2 1\nend\n",
        "segmentationdata\npolygon number 2\nid: 0 1\nid: 1 1\nend\n",  // a count of another mesh
    };
    for (const std::string& text : badFiles) {
        SCOPED_TRACE(text);
        Ids ids = {0, 1, 0};
        ConsoleCapture console;
        EXPECT_FALSE(ReadFromText(text, ids));
        EXPECT_EQ(ids, (Ids{0, 1, 0}));
        const std::string all = console.Text();
        EXPECT_NE(all.find("no region id changed"), std::string::npos);
        EXPECT_EQ(all.find("no region id changed"), all.rfind("no region id changed"));
    }
}

// Other extensions (in any case) and missing files are refused on import with one
// line. The export path keeps its folder, even one with a dot, and ends in .kxseg.
TEST(SegmentationFile, ImportRefusalsAreReportedWithOneLineAndExportPathsEndInKxseg) {
    const std::string good = "segmentationdata\npolygon number 1\nid: 0 1\nend\n";
    for (const std::string& path :
         {WriteScratchFile("seg.txt", good), WriteScratchFile("seg.KXSEG", good),
          ScratchPath("missing.kxseg")}) {
        Ids ids = {0};
        ConsoleCapture console;
        EXPECT_FALSE(ImportSegmentationFile(path, ids)) << path;
        ASSERT_EQ(console.Lines().size(), 1u);
        EXPECT_NE(console.Lines()[0].find(path), std::string::npos);
    }
    EXPECT_EQ(SegmentationExportPath("/data/left.kxseg"), "/data/left.kxseg");
    EXPECT_EQ(SegmentationExportPath("/data/v1.2/left"), "/data/v1.2/left.kxseg");
}

}  // namespace
}  // namespace vantrel
