// The voxel volume: ray casting and the fibre layer against a straightforward
// reference, the density stamp, escape directions on demand against the eager
// version, collision queries, the box faces, and the voxel file's refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "heart/HeartModel.h"
#include "heart/VoxelVolume.h"
#include "mesh_checks.h"
#include "shapes.h"
#include "voxel_reference.h"

namespace vantrel {
namespace {

using meshchecks::ConsoleCapture;

constexpr int kN = 128;
constexpr double kExtent = 10.0;

class TestStroke : public VolumeStroke {
 public:
    TestStroke(std::uint64_t serial, std::vector<Vector3> points)
        : VolumeStroke(serial), points_(std::move(points)) {}
    const std::vector<Vector3>& PathPoints() const override { return points_; }

 private:
    std::vector<Vector3> points_;
};

std::string AllText(const ConsoleCapture& console) {
    std::string text;
    for (const std::string& line : console.Lines()) text += line;
    return text;
}

// The unit cube scaled to [low, high]^3, normals computed.
RkPolygonModel Cube(double low, double high) {
    RkPolygonModel cube = shapes::UnitCube();
    for (MeshVertex& vertex : cube.vertices) {
        const Vector3 p = vertex.position;
        vertex.position = Vector3(low + p.x * (high - low), low + p.y * (high - low), low + p.z * (high - low));
    }
    cube.ComputeNormals();
    return cube;
}

// Translated and scaled so that the bounding box starts at 0 and its largest extent is 10.
void NormaliseIntoBox(RkPolygonModel& mesh) {
    Vector3 low = mesh.vertices.front().position;
    Vector3 high = low;
    for (const MeshVertex& vertex : mesh.vertices) {
        const Vector3& p = vertex.position;
        low = Vector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = Vector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    const double largest = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
    mesh.Translate(Vector3(-low.x, -low.y, -low.z));
    for (MeshVertex& vertex : mesh.vertices) vertex.position *= kExtent / largest;
    mesh.ComputeNormals();
}

int CellIndex(int x, int y, int z, int n = kN) { return x + n * y + n * n * z; }

bool Bitwise(const Vector3& a, const Vector3& b) {
    return std::memcmp(&a.x, &b.x, sizeof(double)) == 0 && std::memcmp(&a.y, &b.y, sizeof(double)) == 0 &&
           std::memcmp(&a.z, &b.z, sizeof(double)) == 0;
}

void ExpectSameVolume(const VoxelVolume& volume, const reference::Volume& expected) {
    EXPECT_TRUE(volume.surfaceFlags() == expected.surfaceFlags);
    EXPECT_TRUE(volume.insideFlags() == expected.insideFlags);
    EXPECT_TRUE(volume.layerFlags() == expected.layerFlags);
    EXPECT_TRUE(volume.layerIndex() == expected.layerIndex);
    EXPECT_TRUE(volume.polygonOfVoxel() == expected.polygonOfVoxel);
    ASSERT_EQ(volume.LayerVoxelCount(), static_cast<int>(expected.records.size()));
    for (int i = 0; i < volume.LayerVoxelCount(); ++i) {
        const LayerVoxel& record = volume.layerVoxels()[i];
        const reference::Record& want = expected.records[i];
        ASSERT_EQ(record.voxel, want.voxel) << "record " << i;
        ASSERT_EQ(record.index, want.index) << "record " << i;
        ASSERT_EQ(record.polygon, want.polygon) << "record " << i;
        ASSERT_TRUE(Bitwise(record.centre, want.centre)) << "record " << i;
        ASSERT_TRUE(Bitwise(record.normal, want.normal)) << "record " << i;
    }
}

// ---- the box and its faces

TEST(VoxelGrid, ContainsBothFacesOfTheBoxAndNothingOutside) {
    VoxelVolume volume(8, kExtent);
    EXPECT_TRUE(volume.Contains(10.0, 10.0, 10.0));
    EXPECT_TRUE(volume.Contains(0.0, 0.0, 0.0));
    EXPECT_FALSE(volume.Contains(-0.0001, 5.0, 5.0));
    EXPECT_FALSE(volume.Contains(5.0, 10.0000001, 5.0));
    EXPECT_FALSE(volume.Contains(5.0, 5.0, std::nan("")));

    // The upper face belongs to the last cell; outside points have no cell.
    EXPECT_EQ(volume.VoxelIndexAt(Vector3(10.0, 10.0, 10.0)), 8 * 8 * 8 - 1);
    EXPECT_EQ(volume.VoxelIndexAt(Vector3(0.0, 10.0, 0.0)), CellIndex(0, 7, 0, 8));
    EXPECT_EQ(volume.VoxelIndexAt(Vector3(1.25, 2.5, 3.75)), CellIndex(1, 2, 3, 8));
    EXPECT_EQ(volume.VoxelIndexAt(Vector3(-0.0001, 5.0, 5.0)), -1);
    EXPECT_EQ(volume.LayerVoxelAt(Vector3(10.5, 5.0, 5.0)), nullptr);
    EXPECT_EQ(volume.LayerVoxelAt(Vector3(5.0, 5.0, 5.0)), nullptr);  // no layer yet
}

TEST(VoxelRayCasting, FacesOnTheUpperBoxFacesStayInTheGridAndTheLayerOffTheShell) {
    // A cube filling the whole box: the x = 10, y = 10 and z = 10 faces are crossed
    // at depth exactly 10.0, which belongs to cell 127.
    VoxelVolume volume(kN, kExtent);
    const RkPolygonModel box = Cube(0.0, kExtent);
    volume.Build(box, std::vector<std::int32_t>(box.polygons.size(), 1));
    const auto shellDistance = [](int c) { return std::min(c, kN - 1 - c); };
    int wrong = 0;
    for (int z = 0; z < kN; ++z) {
        for (int y = 0; y < kN; ++y) {
            for (int x = 0; x < kN; ++x) {
                const int v = CellIndex(x, y, z);
                const int depth = std::min({shellDistance(x), shellDistance(y), shellDistance(z)});
                // Inner cells of the main diagonal are missed by all three rays (see
                // ClosedCubeFillsItsInsideAndFlagsItsFaces).
                const bool inside = depth == 0 || !(x == y && y == z);
                if (volume.insideFlags()[v] != (inside ? 1 : 0)) ++wrong;
                if (volume.surfaceFlags()[v] != (depth == 0 ? 1 : 0)) ++wrong;
                // Seeded on the shell, grown two cells inwards, then cleared off the shell.
                if (volume.layerFlags()[v] != ((depth == 1 || depth == 2) && inside ? 1 : 0)) ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(volume.LayerVoxelCount(), 126 * 126 * 126 - 122 * 122 * 122 - 4);
}

TEST(VoxelRayCasting, ClosedCubeFillsItsInsideAndFlagsItsFaces) {
    VoxelVolume volume(kN, kExtent);
    volume.Build(Cube(1.0, 9.0), std::vector<std::int32_t>(12, 0));
    // Faces at 1.0 and 9.0 lie in cells 12 and 115; centres within [1, 9] are 13..114.
    const auto onFace = [](int c) { return c == 12 || c == 115; };
    const auto within = [](int c) { return c >= 13 && c <= 114; };
    int wrongInside = 0, wrongSurface = 0, inside = 0;
    for (int z = 0; z < kN; ++z) {
        for (int y = 0; y < kN; ++y) {
            for (int x = 0; x < kN; ++x) {
                const int v = CellIndex(x, y, z);
                const bool centreWithin = within(x) && within(y) && within(z);
                const bool faceCell = (onFace(x) && within(y) && within(z)) || (within(x) && onFace(y) && within(z)) ||
                                      (within(x) && within(y) && onFace(z));
                // Each face is split along its diagonal y = z, x = z or x = y, and on
                // the main diagonal all three rays through a cell graze a shared edge
                // at both ends: two crossings in one cell leave the state unchanged,
                // so no ray finds those cells inside.
                const bool mainDiagonal = x == y && y == z;
                const bool expectInside = faceCell || (centreWithin && !mainDiagonal);
                inside += volume.insideFlags()[v];
                if (volume.insideFlags()[v] != (expectInside ? 1 : 0)) ++wrongInside;
                if (volume.surfaceFlags()[v] != (faceCell ? 1 : 0)) ++wrongSurface;
            }
        }
    }
    EXPECT_EQ(wrongInside, 0);
    EXPECT_EQ(wrongSurface, 0);
    EXPECT_EQ(inside, 102 * 102 * 102 - 102 + 6 * 102 * 102);
}

TEST(VoxelRayCasting, RayThroughASharedEdgeCrossesTwiceInOneCell) {
    // An open sheet in the plane z = 5 over [2, 8]^2, split along x + y = 10: the z
    // rays with a + b = 127 run exactly through the shared edge.
    RkPolygonModel sheet = shapes::TwoTriangles();
    for (MeshVertex& vertex : sheet.vertices) {
        vertex.position = Vector3(2.0 + 6.0 * vertex.position.x, 2.0 + 6.0 * vertex.position.y, 5.0);
    }
    sheet.ComputeNormals();
    VoxelVolume volume(kN, kExtent);
    volume.Build(sheet, std::vector<std::int32_t>(2, 0));
    const int zCell = 64;  // 5.0 * 128 / 10
    // Through the shared edge: both triangles cross in cell 64, the later one wins,
    // and the inside state is back to "outside" after them.
    EXPECT_EQ(volume.surfaceFlags()[CellIndex(60, 67, zCell)], 1);
    EXPECT_EQ(volume.polygonOfVoxel()[CellIndex(60, 67, zCell)], 1);
    EXPECT_EQ(volume.insideFlags()[CellIndex(60, 67, zCell)], 1);
    EXPECT_EQ(volume.insideFlags()[CellIndex(60, 67, zCell + 1)], 0);
    EXPECT_EQ(volume.insideFlags()[CellIndex(60, 67, kN - 1)], 0);
    // Beside it one crossing: the open sheet leaves "inside" up to the end of the ray.
    EXPECT_EQ(volume.insideFlags()[CellIndex(60, 66, zCell + 1)], 1);
    EXPECT_EQ(volume.insideFlags()[CellIndex(60, 66, kN - 1)], 1);
    EXPECT_EQ(volume.insideFlags()[CellIndex(60, 66, zCell - 1)], 0);
}

// ---- fibre layer and the equality of the fast Build with the straightforward loop

TEST(VoxelFibreLayer, WithoutSegmentedPolygonsTheLayerIsEmpty) {
    VoxelVolume volume(kN, kExtent);
    ConsoleCapture console;
    volume.Build(Cube(1.0, 9.0), std::vector<std::int32_t>(12, 0));
    EXPECT_EQ(volume.LayerVoxelCount(), 0);
    const std::string text = AllText(console);
    const std::string fixedPart =
        "system initialize Voxel __ray casting...\n"
        "xdir done...ydir done...zdir done...system constructs Fiber Layer\n"
        " volume is created !\nvolume size is        2097152\nfiber layer voxel size is 0\n"
        "volume creation ";
    ASSERT_EQ(text.substr(0, fixedPart.size()), fixedPart);
    // Three processor times with six decimals.
    double seconds[3];
    char end = 0;
    EXPECT_EQ(std::sscanf(text.c_str() + fixedPart.size(), "%lf %lf %lf%c", &seconds[0], &seconds[1],
                          &seconds[2], &end),
              4);
    EXPECT_EQ(end, '\n');
    EXPECT_EQ(std::count(text.begin() + fixedPart.size(), text.end(), '.'), 3);
}

TEST(VoxelFibreLayer, BuildingAgainStartsFromTheInitialState) {
    const RkPolygonModel small = Cube(2.0, 8.0);
    const std::vector<std::int32_t> segmented(12, 1);
    VoxelVolume reused(kN, kExtent);
    reused.Build(Cube(1.0, 9.0), segmented);
    TestStroke stroke(1, {Vector3(1.1, 4.0, 4.0), Vector3(1.1, 4.0, 6.0)});
    reused.MarkStroke(&stroke);
    reused.Build(small, segmented);
    VoxelVolume fresh(kN, kExtent);
    fresh.Build(small, segmented);
    EXPECT_TRUE(reused.insideFlags() == fresh.insideFlags());
    EXPECT_TRUE(reused.layerFlags() == fresh.layerFlags());
    EXPECT_TRUE(reused.layerIndex() == fresh.layerIndex());
    EXPECT_TRUE(reused.polygonOfVoxel() == fresh.polygonOfVoxel());
    EXPECT_TRUE(reused.densityField() == fresh.densityField());
    for (const LayerVoxel& record : reused.layerVoxels()) ASSERT_TRUE(record.strokes.empty());
}

struct EqualityCase {
    const char* name;
    const char* sharedFile;  // nullptr: the cube [1, 9]^3
};

void PrintTo(const EqualityCase& equalityCase, std::ostream* out) { *out << equalityCase.name; }

// Segmented where the centroid lies left of x = 6 (ids 1 and 7), so cells of the
// right part look far for their nearest segmented centroid.
std::vector<std::int32_t> PartialSegmentation(const RkPolygonModel& mesh) {
    std::vector<std::int32_t> ids(mesh.polygons.size(), 0);
    for (std::size_t i = 0; i < mesh.polygons.size(); ++i) {
        const MeshPolygon& polygon = mesh.polygons[i];
        const double x = (mesh.vertices[polygon.vertex[0]].position.x + mesh.vertices[polygon.vertex[1]].position.x +
                          mesh.vertices[polygon.vertex[2]].position.x) / 3.0;
        if (x < 6.0) ids[i] = i % 5 == 0 ? 7 : 1;
    }
    return ids;
}

class VoxelBuildEquality : public ::testing::TestWithParam<EqualityCase> {};

TEST_P(VoxelBuildEquality, FastBuildEqualsTheLoopOverAllPolygons) {
    RkPolygonModel mesh;
    std::vector<std::int32_t> ids;
    if (GetParam().sharedFile == nullptr) {
        mesh = Cube(1.0, 9.0);
        ids.assign(mesh.polygons.size(), 1);
    } else {
        const std::string path = meshchecks::SharedMesh(GetParam().sharedFile);
        if (!std::ifstream(path)) GTEST_SKIP() << path << " is absent";
        ASSERT_TRUE(mesh.Load(path));
        NormaliseIntoBox(mesh);
        ids = PartialSegmentation(mesh);
    }
    VoxelVolume volume(kN, kExtent);
    volume.Build(mesh, ids);
    ASSERT_GT(volume.LayerVoxelCount(), 0);
    ExpectSameVolume(volume, reference::BuildReferenceVolume(mesh, ids, kN, kExtent));
}

INSTANTIATE_TEST_SUITE_P(Meshes, VoxelBuildEquality,
                         ::testing::Values(EqualityCase{"Cube", nullptr},
                                           EqualityCase{"LvCapped", "bivme_p1_lv_endo_capped.obj"},
                                           EqualityCase{"LvOpen", "bivme_p1_lv_endo_open.obj"},
                                           EqualityCase{"RvCapped", "bivme_p1_rv_endo_capped.obj"},
                                           EqualityCase{"Bunny", "stanford_bunny.obj"}),
                         [](const ::testing::TestParamInfo<EqualityCase>& info) { return info.param.name; });

TEST(VoxelBuildEquality, DemoHeartWithItsSegmentationEqualsTheLoopOverAllPolygons) {
    const std::string heartPath = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
    const std::string segmentationPath = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";
    if (!std::ifstream(heartPath) || !std::ifstream(segmentationPath)) GTEST_SKIP() << "no demo heart yet";
    auto heart = std::make_unique<HeartModel>();
    ASSERT_TRUE(heart->LoadHeart(heartPath, SegmentationChoice::File(segmentationPath)));
    ASSERT_GT(heart->volume.LayerVoxelCount(), 0);
    ExpectSameVolume(heart->volume, reference::BuildReferenceVolume(heart->mesh, heart->regionIds, kN, kExtent));
    for (const LayerVoxel& record : heart->volume.layerVoxels()) {
        ASSERT_EQ(heart->volume.insideFlags()[record.voxel], 1);
    }
}

// ---- density stamp, escape directions, occupancy

// A volume with the layer of the cube [1, 9]^3, all segmented, built once.
class CubeLayer : public ::testing::Test {
 protected:
    static void SetUpTestSuite() {
        volume_ = new VoxelVolume(kN, kExtent);
        volume_->Build(Cube(1.0, 9.0), std::vector<std::int32_t>(12, 1));
    }
    static void TearDownTestSuite() {
        delete volume_;
        volume_ = nullptr;
    }
    void SetUp() override { volume_->ResetOccupancy(); }
    VoxelVolume& volume() { return *volume_; }

 private:
    static VoxelVolume* volume_;
};
VoxelVolume* CubeLayer::volume_ = nullptr;

TEST(VoxelDensity, StampOfAnIsolatedCellFollowsTheKernel) {
    VoxelVolume volume(kN, kExtent);
    TestStroke stroke(1, {});
    const int v = CellIndex(64, 64, 64);
    volume.MarkVoxel(v, &stroke);
    const std::vector<double>& density = volume.densityField();
    EXPECT_EQ(density[v], 6.0);
    EXPECT_EQ(density[v + 1], 5.0);
    EXPECT_EQ(density[v - kN * kN], 5.0);
    EXPECT_EQ(density[CellIndex(65, 65, 64)], 6.0 - std::sqrt(2.0));
    EXPECT_NEAR(density[CellIndex(67, 67, 67)], 6.0 - std::sqrt(27.0), 1e-15);
    EXPECT_EQ(density[CellIndex(69, 64, 64)], 1.0);
    EXPECT_EQ(density[CellIndex(64, 59, 64)], 1.0);
    EXPECT_EQ(density[CellIndex(70, 64, 64)], 0.0);
    EXPECT_EQ(density[CellIndex(68, 68, 68)], 0.0);
    // Nothing outside the 11^3 block, and exactly the kernel's non-zero entries in it.
    int stamped = 0;
    for (double d : density) stamped += d > 0.0;
    int kernelCells = 0;
    for (int dz = -5; dz <= 5; ++dz)
        for (int dy = -5; dy <= 5; ++dy)
            for (int dx = -5; dx <= 5; ++dx) kernelCells += dx * dx + dy * dy + dz * dz < 36;
    EXPECT_EQ(stamped, kernelCells);
}

TEST(VoxelDensity, StampsAtTheGridCornersStayInTheGrid) {
    VoxelVolume volume(16, kExtent);
    TestStroke stroke(1, {});
    volume.MarkVoxel(0, &stroke);
    volume.MarkVoxel(16 * 16 * 16 - 1, &stroke);
    volume.MarkVoxel(-1, &stroke);
    volume.MarkVoxel(16 * 16 * 16, &stroke);
    EXPECT_EQ(volume.densityField()[0], 6.0);
    EXPECT_EQ(volume.densityField()[16 * 16 * 16 - 1], 6.0);
    EXPECT_EQ(volume.densityField()[CellIndex(5, 0, 0, 16)], 1.0);
}

TEST(VoxelDensity, StrokePointsOnOrBeyondTheBoxFacesStayInTheGrid) {
    VoxelVolume volume(kN, kExtent);
    const double inf = std::numeric_limits<double>::infinity();
    TestStroke stroke(1, {Vector3(9.95, 5.0, 5.0), Vector3(10.0, 5.0, 5.0), Vector3(10.6, 5.0, 5.0),
                          Vector3(inf, 5.0, 5.0), Vector3(5.0, 5.0, std::nan(""))});
    volume.MarkStroke(&stroke);
    EXPECT_EQ(volume.densityField()[CellIndex(127, 64, 64)], 6.0);
    EXPECT_EQ(volume.densityField()[CellIndex(126, 64, 64)], 5.0);  // 9.95 lies in 127 too
    int stamped = 0;
    for (double d : volume.densityField()) stamped += d == 6.0;
    EXPECT_EQ(stamped, 1);
}

TEST_F(CubeLayer, MarkingAStampedCellOnlyRegistersTheStroke) {
    LayerVoxel* record = volume().LayerVoxelAt(Vector3(1.1, 4.0, 4.0));
    ASSERT_NE(record, nullptr);
    TestStroke first(1, {}), second(2, {});
    volume().MarkVoxel(record->voxel, &first);
    const std::vector<double> before = volume().densityField();
    volume().MarkVoxel(record->voxel, &second);
    EXPECT_TRUE(volume().densityField() == before);
    EXPECT_EQ(record->strokes.size(), 2u);
    // A neighbour at 5.0 has not been stamped yet: marking it stamps around it.
    volume().MarkVoxel(record->voxel + kN, &second);
    EXPECT_EQ(volume().densityField()[record->voxel + kN], 6.0);
    EXPECT_EQ(volume().densityField()[record->voxel + 6 * kN], 1.0);
}

TEST_F(CubeLayer, ResetOccupancyEmptiesDensityStrokesAndEscapeDirections) {
    TestStroke stroke(1, {Vector3(1.1, 3.0, 3.0), Vector3(1.1, 3.0, 7.0)});
    volume().MarkStroke(&stroke);
    LayerVoxel* near = volume().LayerVoxelAt(Vector3(1.1, 3.3, 5.0));
    ASSERT_NE(near, nullptr);
    EXPECT_GT(near->escapeDirection.Length(), 0.5);
    volume().ResetOccupancy();
    for (double d : volume().densityField()) ASSERT_EQ(d, 0.0);
    for (const LayerVoxel& record : volume().layerVoxels()) {
        ASSERT_TRUE(record.strokes.empty());
        ASSERT_EQ(record.escapeDirection.Length(), 0.0);
    }
    EXPECT_EQ(volume().LayerVoxelAt(Vector3(1.1, 3.3, 5.0))->escapeDirection.Length(), 0.0);
}

// Random strokes over the layer; after each one every record's escape direction
// handed out by the volume must equal the eager recomputation bit for bit.
void ExpectEscapeDirectionsEqualEager(VoxelVolume& volume, int strokeCount) {
    volume.ResetOccupancy();
    reference::EagerEscapeDirections eager(volume);
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> pickRecord(0, volume.LayerVoxelCount() - 1);
    std::uniform_real_distribution<double> offset(-0.4, 0.4);
    std::vector<std::unique_ptr<TestStroke>> strokes;
    int nonZero = 0;
    for (int s = 0; s < strokeCount; ++s) {
        std::vector<Vector3> points{volume.layerVoxels()[pickRecord(random)].centre};
        const int more = 1 + s % 5;
        for (int k = 0; k < more; ++k) {
            points.push_back(points.back() + Vector3(offset(random), offset(random), offset(random)));
        }
        strokes.push_back(std::make_unique<TestStroke>(s + 1, points));
        volume.MarkStroke(strokes.back().get());
        eager.MarkStroke(points);
        ASSERT_TRUE(volume.densityField() == eager.density()) << "stroke " << s;
        for (int i = 0; i < volume.LayerVoxelCount(); ++i) {
            const Vector3& lazy = volume.LayerVoxelByIndex(i).escapeDirection;
            ASSERT_TRUE(Bitwise(lazy, eager.escape()[i])) << "stroke " << s << " record " << i;
            nonZero += lazy.Length() > 0.0;
        }
    }
    EXPECT_GT(nonZero, 0);
}

TEST_F(CubeLayer, EscapeDirectionsOnDemandEqualTheEagerRecomputation) {
    ExpectEscapeDirectionsEqualEager(volume(), 25);
}

TEST(VoxelDensity, EscapeDirectionsOnDemandEqualTheEagerRecomputationOnAHeart) {
    const std::string path = meshchecks::SharedMesh("bivme_p1_lv_endo_capped.obj");
    if (!std::ifstream(path)) GTEST_SKIP() << path << " is absent";
    RkPolygonModel mesh;
    ASSERT_TRUE(mesh.Load(path));
    NormaliseIntoBox(mesh);
    VoxelVolume volume(kN, kExtent);
    volume.Build(mesh, std::vector<std::int32_t>(mesh.polygons.size(), 1));
    ExpectEscapeDirectionsEqualEager(volume, 25);
}

// ---- collision queries

TEST_F(CubeLayer, FindCollisionIgnoresTheStartCellAndExcludedStrokes) {
    TestStroke stroke(1, {Vector3(1.1, 3.0, 3.0), Vector3(1.1, 3.0, 6.0)});
    volume().MarkStroke(&stroke);
    const LayerVoxel start = *volume().LayerVoxelAt(Vector3(1.1, 3.0, 4.0));
    const LayerVoxel elsewhere = *volume().LayerVoxelAt(Vector3(1.1, 7.0, 7.0));
    Vector3 hit(-1.0, -1.0, -1.0);
    VolumeStroke* hitStroke = nullptr;
    // Within the start cell, where the stroke is registered, nothing is reported.
    EXPECT_FALSE(volume().FindCollision(start, Vector3(1.1, 3.0, 4.0), Vector3(1.1, 3.01, 4.01), hit, hitStroke, {}));
    EXPECT_EQ(hitStroke, nullptr);
    // The same segment seen from another start record runs into the stroke.
    ASSERT_TRUE(
        volume().FindCollision(elsewhere, Vector3(1.1, 3.0, 4.0), Vector3(1.1, 3.01, 4.01), hit, hitStroke, {}));
    EXPECT_EQ(hitStroke, &stroke);
    EXPECT_NEAR(hit.x, 1.1, 1e-12);
    EXPECT_NEAR(hit.y, 3.0, 1e-12);
    EXPECT_NEAR(hit.z, 4.0, 1e-12);
    // A segment crossing the stroke from the side, unless the stroke is excluded.
    EXPECT_TRUE(
        volume().FindCollision(elsewhere, Vector3(1.1, 2.0, 5.0), Vector3(1.1, 4.0, 5.0), hit, hitStroke, {}));
    EXPECT_FALSE(
        volume().FindCollision(elsewhere, Vector3(1.1, 2.0, 5.0), Vector3(1.1, 4.0, 5.0), hit, hitStroke, {&stroke}));
    // Beside the stroke (density below 6.0) nothing is hit.
    EXPECT_FALSE(
        volume().FindCollision(elsewhere, Vector3(1.1, 5.0, 5.0), Vector3(1.1, 5.0, 5.5), hit, hitStroke, {}));
}

TEST_F(CubeLayer, NearestStrokePointBreaksTiesByCreationSerial) {
    const std::vector<Vector3> path{Vector3(1.1, 5.0, 3.0), Vector3(1.1, 5.0, 6.0)};
    // The later serial is created (and registered) first.
    auto later = std::make_unique<TestStroke>(9, path);
    auto earlier = std::make_unique<TestStroke>(4, path);
    volume().MarkStroke(later.get());
    volume().MarkStroke(earlier.get());
    const LayerVoxel& record = *volume().LayerVoxelAt(Vector3(1.1, 5.0, 4.0));
    VolumeStroke* found = nullptr;
    Vector3 point;
    ASSERT_TRUE(volume().NearestStrokePoint(record, Vector3(1.1, 5.2, 4.0), found, point, {}));
    EXPECT_EQ(found, earlier.get());
    ASSERT_TRUE(volume().NearestStrokePoint(record, Vector3(1.1, 5.2, 4.0), found, point, {earlier.get()}));
    EXPECT_EQ(found, later.get());
    EXPECT_FALSE(
        volume().NearestStrokePoint(record, Vector3(1.1, 5.2, 4.0), found, point, {earlier.get(), later.get()}));
}

TEST(VoxelCollision, NearestPointOnPolylineClampsToEndsAndSkipsRepeatedPoints) {
    Vector3 point;
    double squared = -1.0;
    EXPECT_FALSE(VoxelVolume::NearestPointOnPolyline(Vector3(0, 0, 0), {Vector3(1, 1, 1)}, point, squared));
    EXPECT_FALSE(
        VoxelVolume::NearestPointOnPolyline(Vector3(0, 0, 0), {Vector3(1, 1, 1), Vector3(1, 1, 1)}, point, squared));
    EXPECT_EQ(squared, -1.0);
    const std::vector<Vector3> line{Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(2, 0, 0)};
    ASSERT_TRUE(VoxelVolume::NearestPointOnPolyline(Vector3(0.5, 1, 0), line, point, squared));
    EXPECT_TRUE(Bitwise(point, Vector3(0.5, 0, 0)));
    EXPECT_EQ(squared, 1.0);
    ASSERT_TRUE(VoxelVolume::NearestPointOnPolyline(Vector3(3, 0, 2), line, point, squared));
    EXPECT_TRUE(Bitwise(point, Vector3(2, 0, 0)));
    EXPECT_EQ(squared, 5.0);
    ASSERT_TRUE(VoxelVolume::NearestPointOnPolyline(Vector3(-1, 0, 0), line, point, squared));
    EXPECT_TRUE(Bitwise(point, Vector3(0, 0, 0)));
}

// ---- the voxel file

constexpr int kSmallN = 16;

class VoxelFile : public ::testing::Test {
 protected:
    void SetUp() override {
        mesh_ = Cube(1.0, 9.0);
        built_ = std::make_unique<VoxelVolume>(kSmallN, kExtent);
        built_->Build(mesh_, std::vector<std::int32_t>(12, 1));
        ASSERT_GT(built_->LayerVoxelCount(), 0);
        std::FILE* file = std::tmpfile();
        ASSERT_TRUE(built_->SaveVoxelFile(file));
        std::rewind(file);
        for (int c = std::getc(file); c != EOF; c = std::getc(file)) text_.push_back(static_cast<char>(c));
        std::fclose(file);
    }

    static bool Load(VoxelVolume& volume, const RkPolygonModel& mesh, const std::string& text) {
        std::FILE* file = std::tmpfile();
        std::fputs(text.c_str(), file);
        std::rewind(file);
        const bool loaded = volume.LoadVoxelFile(file, mesh);
        std::fclose(file);
        return loaded;
    }

    // The text with the cell line of v replaced.
    std::string WithCellLine(int v, const std::string& line) const {
        std::string text = text_;
        const std::string start = "\n" + std::to_string(v) + " ";
        const std::size_t at = text.find(start) + 1;
        text.replace(at, text.find('\n', at) - at, line);
        return text;
    }

    // A refused file prints one line and changes nothing of a built volume.
    void ExpectRefused(const std::string& text, const std::string& reason) {
        VoxelVolume volume(kSmallN, kExtent);
        volume.Build(mesh_, std::vector<std::int32_t>(12, 1));
        TestStroke stroke(1, {Vector3(1.1, 4.0, 4.0), Vector3(1.1, 4.0, 6.0)});
        volume.MarkStroke(&stroke);
        const std::vector<double> density = volume.densityField();
        ConsoleCapture console;
        EXPECT_FALSE(Load(volume, mesh_, text));
        ASSERT_EQ(console.Lines().size(), 1u);
        EXPECT_NE(console.Lines()[0].find(reason), std::string::npos) << console.Lines()[0];
        EXPECT_TRUE(volume.layerFlags() == built_->layerFlags());
        EXPECT_TRUE(volume.layerIndex() == built_->layerIndex());
        EXPECT_TRUE(volume.polygonOfVoxel() == built_->polygonOfVoxel());
        EXPECT_TRUE(volume.densityField() == density);
        EXPECT_EQ(volume.LayerVoxelCount(), built_->LayerVoxelCount());
    }

    RkPolygonModel mesh_;
    std::unique_ptr<VoxelVolume> built_;
    std::string text_;
};

TEST_F(VoxelFile, RoundTripRestoresTheLayerAndItsRecords) {
    EXPECT_EQ(text_.rfind("#vodelSize 4096\n0 0 0 0 -1 -1\n", 0), 0u);
    VoxelVolume loaded(kSmallN, kExtent);
    ConsoleCapture console;
    ASSERT_TRUE(Load(loaded, mesh_, text_));
    EXPECT_EQ(console.Lines().at(0), "#end scceeded!\n");
    EXPECT_NE(AllText(console).find("fiber layer voxel size is " + std::to_string(built_->LayerVoxelCount())),
              std::string::npos);
    EXPECT_TRUE(loaded.surfaceFlags() == built_->surfaceFlags());
    EXPECT_TRUE(loaded.insideFlags() == built_->insideFlags());
    EXPECT_TRUE(loaded.layerFlags() == built_->layerFlags());
    EXPECT_TRUE(loaded.layerIndex() == built_->layerIndex());
    EXPECT_TRUE(loaded.polygonOfVoxel() == built_->polygonOfVoxel());
    ASSERT_EQ(loaded.LayerVoxelCount(), built_->LayerVoxelCount());
    for (int i = 0; i < loaded.LayerVoxelCount(); ++i) {
        const LayerVoxel& a = loaded.layerVoxels()[i];
        const LayerVoxel& b = built_->layerVoxels()[i];
        ASSERT_EQ(a.voxel, b.voxel);
        ASSERT_EQ(a.polygon, b.polygon);
        ASSERT_TRUE(Bitwise(a.centre, b.centre) && Bitwise(a.normal, b.normal));
    }
}

TEST_F(VoxelFile, RejectsACountOtherThanTheGridsCells) {
    std::string text = text_;
    text.replace(0, text.find('\n'), "#vodelSize 99999999999");
    ExpectRefused(text, "count");
    text.replace(0, text.find('\n'), "#vodelSize 512");
    ExpectRefused(text, "count");
}

TEST_F(VoxelFile, RejectsAnotherHeaderWord) {
    ExpectRefused("#voxelSize 4096\n" + text_.substr(text_.find('\n') + 1), "header");
    ExpectRefused("", "header");
}

TEST_F(VoxelFile, RejectsATruncatedFile) {
    ExpectRefused(text_.substr(0, text_.size() / 2), "cell line");
    ExpectRefused(text_.substr(0, text_.rfind("#end")), "#end");
}

TEST_F(VoxelFile, RejectsMalformedNumbers) {
    ExpectRefused(WithCellLine(100, "100 0 x 0 -1 -1"), "cell 100");
    ExpectRefused(WithCellLine(100, "100 0 0 0 -1 99999999999"), "cell 100");
    ExpectRefused(WithCellLine(100, "100 0 0 0 -1 " + std::string(200, '1')), "cell 100");
}

TEST_F(VoxelFile, RejectsAPolygonOutsideTheMesh) {
    ExpectRefused(WithCellLine(7, "7 0 0 0 -1 12"), "polygon outside the mesh");
    ExpectRefused(WithCellLine(7, "7 0 0 0 -1 -2"), "polygon outside the mesh");
}

TEST_F(VoxelFile, RejectsALayerCellOnTheOuterShellOrWithoutPolygon) {
    ExpectRefused(WithCellLine(CellIndex(0, 5, 5, kSmallN), std::to_string(CellIndex(0, 5, 5, kSmallN)) + " 1 1 1 0 3"),
                  "outer shell");
    const int inner = built_->layerVoxels().front().voxel;
    ExpectRefused(WithCellLine(inner, std::to_string(inner) + " 1 1 1 0 -1"), "without a polygon");
}

}  // namespace
}  // namespace vantrel
