// Loading and normalising the heart, the refusals that leave the empty model, the
// segmentation operations of the model, and the demo heart in data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
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

std::string AllText(const ConsoleCapture& console) {
  std::string all;
  for (const std::string& text : console.Lines()) all += text;
  return all;
}

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
  EXPECT_TRUE(heart.mesh.vertices.empty());
  EXPECT_TRUE(heart.mesh.polygons.empty());
  EXPECT_TRUE(heart.regionIds.empty());
  EXPECT_EQ(heart.volume.LayerVoxelCount(), 0);
  const std::vector<std::int32_t>& inside = heart.volume.insideFlags();
  EXPECT_EQ(std::count(inside.begin(), inside.end(), 1), 0);
}

struct Box3 {
  Vector3 low, high;
};

Box3 BoundingBox(const RkPolygonModel& mesh) {
  Box3 box{mesh.vertices.front().position, mesh.vertices.front().position};
  for (const MeshVertex& vertex : mesh.vertices) {
    const Vector3& p = vertex.position;
    box.low = Vector3(std::min(box.low.x, p.x), std::min(box.low.y, p.y), std::min(box.low.z, p.z));
    box.high =
        Vector3(std::max(box.high.x, p.x), std::max(box.high.y, p.y), std::max(box.high.z, p.z));
  }
  return box;
}

TEST(HeartModel, StartsEmptyWithAHalfVoxelLayerDepth) {
  const HeartModel heart;
  EXPECT_EQ(heart.volume.Resolution(), 128);
  EXPECT_EQ(heart.volume.Extent(), 10.0);
  EXPECT_EQ(heart.LayerDepth(), 0.0390625);
  ExpectEmptyModel(heart);
}

// Refinement and its smoothing are linear in each axis, so a 4 x 2 x 8 box keeps
// its proportions and lands in [0, 5] x [0, 2.5] x [0, 10].
TEST(NormalizeHeart, ScalesTheLargestExtentToTenWithTheBoxAtTheOrigin) {
  HeartModel heart;
  heart.mesh = Box(4, 2, 8, Vector3(-3, 7, 1));
  ASSERT_TRUE(heart.NormalizeHeart());
  EXPECT_EQ(heart.mesh.polygons.size(), 36u);
  const Box3 box = BoundingBox(heart.mesh);
  EXPECT_EQ(box.low.x, 0.0);
  EXPECT_EQ(box.low.y, 0.0);
  EXPECT_EQ(box.low.z, 0.0);
  EXPECT_NEAR(box.high.x, 5.0, 1e-12);
  EXPECT_NEAR(box.high.y, 2.5, 1e-12);
  EXPECT_NEAR(box.high.z, 10.0, 1e-12);
  for (const MeshVertex& vertex : heart.mesh.vertices) {
    EXPECT_NEAR(vertex.normal.Length(), 1.0, 1e-12);
  }
}

// The refinement's centroid constant is a little short of a third, so a centroid
// moves by about 1e-11 of its distance from the origin: far meshes agree to that.
TEST(NormalizeHeart, MeasuresCoordinatesBeyondTenThousand) {
  HeartModel nearOrigin;
  nearOrigin.mesh = Box(4, 2, 8, Vector3(0, 0, 0));
  ASSERT_TRUE(nearOrigin.NormalizeHeart());
  for (const Vector3& offset : {Vector3(-5e4, 2e5, 1e6), Vector3(3e4, 3e4, 3e4)}) {
    HeartModel far;
    far.mesh = Box(4, 2, 8, offset);
    ASSERT_TRUE(far.NormalizeHeart());
    ASSERT_EQ(far.mesh.vertices.size(), nearOrigin.mesh.vertices.size());
    for (std::size_t i = 0; i < far.mesh.vertices.size(); ++i) {
      const Vector3 d = far.mesh.vertices[i].position - nearOrigin.mesh.vertices[i].position;
      EXPECT_LT(d.Length(), 1e-4) << "vertex " << i;
    }
    const Box3 box = BoundingBox(far.mesh);
    EXPECT_EQ(box.low.z, 0.0);
    EXPECT_NEAR(box.high.z, 10.0, 1e-12);
  }
}

TEST(NormalizeHeart, RefusesNonFiniteAndFlatMeshesWithOneLine) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<RkPolygonModel> bad;
  bad.push_back(Box(1, 1, 1, Vector3(0, 0, 0)));
  bad.back().vertices[3].position.y = nan;
  bad.push_back(Box(1, 1, 1, Vector3(0, 0, 0)));
  bad.back().vertices[5].position.z = -inf;
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
    EXPECT_TRUE(heart.mesh.vertices.empty());
    EXPECT_TRUE(heart.mesh.polygons.empty());
  }
}

TEST(LoadHeart, ReadsAnUpperCaseObjExtension) {
  const std::string path = SaveScratchMesh(shapes::UnitCube(), "cube.OBJ");
  HeartModel heart;
  ASSERT_TRUE(heart.LoadHeart(path, SegmentationChoice::None()));
  EXPECT_EQ(heart.mesh.polygons.size(), 36u);
  EXPECT_EQ(heart.regionIds, std::vector<std::int32_t>(36, 0));
  EXPECT_EQ(heart.volume.LayerVoxelCount(), 0);
}

// Each refusal says why in one line and leaves the empty model of a failed start.
TEST(LoadHeart, RefusesBadHeartFilesWithOneLineAndStaysEmpty) {
  const std::string flat =
      WriteScratchFile("flat.obj", "v 1 1 1\nv 1 1 1\nv 1 1 1\nf 1 2 3\n");
  const std::string badIndex =
      WriteScratchFile("bad-index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");
  const std::string notFinite =
      WriteScratchFile("nan.obj", "v 0 0 nan\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  const std::string wrongExtension = SaveScratchMesh(shapes::UnitCube(), "cube.txt");
  for (const std::string& path :
       {flat, badIndex, notFinite, wrongExtension, ScratchPath("missing.obj")}) {
    SCOPED_TRACE(path);
    HeartModel heart;
    ConsoleCapture console;
    EXPECT_FALSE(heart.LoadHeart(path, SegmentationChoice::AllSegmented()));
    EXPECT_EQ(console.Lines().size(), 1u);
    ExpectEmptyModel(heart);
  }
}

TEST(LoadHeart, EverySegmentedMarksAllPolygonsAndGrowsALayerInside) {
  const std::string path = SaveScratchMesh(shapes::UnitCube(), "cube.obj");
  HeartModel heart;
  ASSERT_TRUE(heart.LoadHeart(path, SegmentationChoice::AllSegmented()));
  EXPECT_EQ(heart.regionIds, std::vector<std::int32_t>(36, 1));
  ASSERT_GT(heart.volume.LayerVoxelCount(), 0);
  for (const LayerVoxel& record : heart.volume.layerVoxels()) {
    ASSERT_EQ(heart.volume.insideFlags()[record.voxel], 1);
  }
}

TEST(LoadHeart, SegmentationFileOfAnotherMeshLeavesEveryIdZero) {
  const std::string mesh = SaveScratchMesh(shapes::UnitCube(), "cube.obj");
  const std::string segmentation = WriteScratchFile(
      "other.kxseg", "segmentationdata\npolygon number 2\nid: 0 1\nid: 1 1\nend\n");
  HeartModel heart;
  ConsoleCapture console;
  ASSERT_TRUE(heart.LoadHeart(mesh, SegmentationChoice::File(segmentation)));
  EXPECT_EQ(heart.regionIds, std::vector<std::int32_t>(36, 0));
  EXPECT_EQ(heart.volume.LayerVoxelCount(), 0);
  EXPECT_NE(AllText(console).find("polygon number 2\n"), std::string::npos);
}

TEST(LoadHeart, OpenMeshLoadsWithOneLineCountingItsBoundaryEdges) {
  const std::string path = SaveScratchMesh(shapes::OpenBox(), "open-box.obj");
  HeartModel heart;
  ConsoleCapture console;
  ASSERT_TRUE(heart.LoadHeart(path, SegmentationChoice::None()));
  EXPECT_FALSE(heart.mesh.polygons.empty());
  EXPECT_EQ(heart.regionIds.size(), heart.mesh.polygons.size());
  const std::string all = AllText(console);
  EXPECT_NE(all.find(" 4 boundary edges"), std::string::npos) << all;
  EXPECT_NE(all.find("may be unreliable"), std::string::npos);
}

TEST(LoadHeart, SecondLoadChangesNothing) {
  const std::string cube = SaveScratchMesh(shapes::UnitCube(), "cube.obj");
  const std::string tetrahedron = SaveScratchMesh(shapes::Tetrahedron(), "tetrahedron.obj");
  HeartModel heart;
  ASSERT_TRUE(heart.LoadHeart(cube, SegmentationChoice::AllSegmented()));
  const int layer = heart.volume.LayerVoxelCount();
  ConsoleCapture console;
  EXPECT_FALSE(heart.LoadHeart(tetrahedron, SegmentationChoice::None()));
  EXPECT_EQ(console.Lines().size(), 1u);
  EXPECT_EQ(heart.mesh.polygons.size(), 36u);
  EXPECT_EQ(heart.regionIds, std::vector<std::int32_t>(36, 1));
  EXPECT_EQ(heart.volume.LayerVoxelCount(), layer);
}

// The polygons sharing a vertex with p, found by comparing corners.
std::set<int> SharingAVertex(const RkPolygonModel& mesh, int p) {
  std::set<int> result;
  const MeshPolygon& centre = mesh.polygons[p];
  for (int q = 0; q < static_cast<int>(mesh.polygons.size()); ++q) {
    for (const int a : mesh.polygons[q].vertex) {
      if (std::find(std::begin(centre.vertex), std::end(centre.vertex), a) !=
          std::end(centre.vertex)) {
        result.insert(q);
      }
    }
  }
  return result;
}

TEST(HeartModel, PaintAndEraseAroundReachEveryPolygonSharingAVertex) {
  HeartModel heart;
  ASSERT_TRUE(heart.LoadHeart(SaveScratchMesh(shapes::UnitCube(), "cube.obj"),
                              SegmentationChoice::None()));
  const std::set<int> aroundFirst = SharingAVertex(heart.mesh, 0);
  const std::set<int> aroundLast = SharingAVertex(heart.mesh, 35);

  heart.PaintAround(0);
  for (int p = 0; p < 36; ++p) EXPECT_EQ(heart.regionIds[p], aroundFirst.count(p) ? 1 : 0) << p;

  heart.PaintAround(35);
  heart.EraseAround(0);
  for (int p = 0; p < 36; ++p) {
    EXPECT_EQ(heart.regionIds[p], aroundLast.count(p) && !aroundFirst.count(p) ? 1 : 0) << p;
  }

  const std::vector<std::int32_t> before = heart.regionIds;
  heart.PaintAround(-1);
  heart.PaintAround(36);
  heart.EraseAround(1 << 24);
  EXPECT_EQ(heart.regionIds, before);
}

TEST(HeartModel, ExportWritesToTheChosenFolderAndImportsBack) {
  HeartModel heart;
  ASSERT_TRUE(heart.LoadHeart(SaveScratchMesh(shapes::UnitCube(), "cube.obj"),
                              SegmentationChoice::None()));
  heart.PaintAround(7);
  ConsoleCapture console;
  const std::string chosen = ScratchPath("painted");
  ASSERT_TRUE(heart.ExportSegmentation(chosen));
  EXPECT_EQ(AllText(console), "system save the segemntationfile _segmentation.kxseg_");

  const std::vector<std::int32_t> painted = heart.regionIds;
  std::fill(heart.regionIds.begin(), heart.regionIds.end(), 0);
  ASSERT_TRUE(heart.ImportSegmentation(chosen + ".kxseg"));
  EXPECT_EQ(heart.regionIds, painted);
}

class PathStroke : public VolumeStroke {
 public:
  PathStroke(std::uint64_t serial, std::vector<Vector3> points)
      : VolumeStroke(serial), points_(std::move(points)) {}
  const std::vector<Vector3>& PathPoints() const override { return points_; }

 private:
  std::vector<Vector3> points_;
};

TEST(HeartModel, ResetFieldForGrowthEmptiesDensityAndRegistrations) {
  HeartModel heart;
  ASSERT_TRUE(heart.LoadHeart(SaveScratchMesh(shapes::UnitCube(), "cube.obj"),
                              SegmentationChoice::AllSegmented()));
  ASSERT_GT(heart.volume.LayerVoxelCount(), 0);
  // A stroke through the first layer cell and across the box.
  PathStroke stroke(1, {heart.volume.layerVoxels().front().centre, Vector3(5, 5, 5)});
  heart.volume.MarkStroke(&stroke);
  ASSERT_FALSE(heart.volume.layerVoxels().front().strokes.empty());

  heart.ResetFieldForGrowth();
  const std::vector<double>& density = heart.volume.densityField();
  EXPECT_EQ(std::count(density.begin(), density.end(), 0.0),
            static_cast<std::ptrdiff_t>(density.size()));
  for (const LayerVoxel& record : heart.volume.layerVoxels()) ASSERT_TRUE(record.strokes.empty());
}

const std::string kDemoHeart = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
const std::string kDemoSegmentation = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";

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
  ASSERT_TRUE(heart.LoadHeart(kDemoHeart, SegmentationChoice::File(kDemoSegmentation)));
  ASSERT_GT(heart.volume.LayerVoxelCount(), 0);
  for (const LayerVoxel& record : heart.volume.layerVoxels()) {
    ASSERT_EQ(heart.volume.insideFlags()[record.voxel], 1) << "record " << record.index;
    ASSERT_GE(record.polygon, 0);
  }
  int valve = 0, segmentedValve = 0, unsegmentedWall = 0;
  for (std::size_t p = 0; p < heart.mesh.polygons.size(); ++p) {
    const bool facesBase = heart.mesh.polygons[p].normal.z > 0.7;
    valve += facesBase;
    segmentedValve += facesBase && heart.regionIds[p] != 0;
    unsegmentedWall += !facesBase && heart.regionIds[p] == 0;
  }
  EXPECT_GT(valve, 0);
  EXPECT_EQ(segmentedValve, 0);
  EXPECT_EQ(unsegmentedWall, 0);
}

}  // namespace
}  // namespace vantrel
