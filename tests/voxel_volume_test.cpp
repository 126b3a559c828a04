// The voxel volume: ray casting and the fibre layer against a straightforward
// reference, the density stamp, escape directions on demand against the eager
// version, collision queries, the box faces, and the voxel file's refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "heart/CentroidGrid.h"
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

struct TestStroke : VolumeStroke {
    TestStroke(std::uint64_t serial, std::vector<Vector3> path)
        : VolumeStroke(serial), points(std::move(path)) {}
    const std::vector<Vector3>& PathPoints() const override { return points; }
    std::vector<Vector3> points;
};

// The unit cube scaled to [low, high]^3, normals computed.
RkPolygonModel Cube(double low, double high) {
    RkPolygonModel cube = shapes::UnitCube();
    for (MeshVertex& vertex : cube.vertices)
        vertex.position = vertex.position * (high - low) + Vector3(low, low, low);
    cube.ComputeNormals();
    return cube;
}

// Translated and scaled so that the bounding box starts at 0 and its largest extent is 10.
void NormaliseIntoBox(RkPolygonModel& mesh) {
    Vector3 low, high;
    meshchecks::BoundingBox(mesh, low, high);
    mesh.Translate(Vector3(-low.x, -low.y, -low.z));
    const double largest = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
    for (MeshVertex& vertex : mesh.vertices) vertex.position *= kExtent / largest;
    mesh.ComputeNormals();
}

int CellIndex(int x, int y, int z, int n = kN) {
    return x + n * y + n * n * z;
}

// How many cells of the 128^3 grid `wrong(x, y, z, v)` flags.
template <class Predicate>
int CountCells(Predicate wrong) {
    int count = 0;
    for (int z = 0; z < kN; ++z)
        for (int y = 0; y < kN; ++y)
            for (int x = 0; x < kN; ++x) count += wrong(x, y, z, CellIndex(x, y, z)) ? 1 : 0;
    return count;
}

bool Bitwise(const Vector3& a, const Vector3& b) {
    const double left[3] = {a.x, a.y, a.z}, right[3] = {b.x, b.y, b.z};
    return std::memcmp(left, right, sizeof(left)) == 0;
}

// A volume's arrays and records in the reference's form, for whole-volume comparisons.
reference::Volume Snapshot(const VoxelVolume& volume) {
    reference::Volume snapshot{volume.surfaceFlags(), volume.insideFlags(),    volume.layerFlags(),
                               volume.layerIndex(),   volume.polygonOfVoxel(), {}};
    for (const LayerVoxel& r : volume.layerVoxels()) {
        snapshot.records.push_back({r.voxel, r.index, r.polygon, r.centre, r.normal});
    }
    return snapshot;
}

void ExpectSameVolume(const reference::Volume& got, const reference::Volume& want) {
    EXPECT_TRUE(got.surfaceFlags == want.surfaceFlags);
    EXPECT_TRUE(got.insideFlags == want.insideFlags);
    EXPECT_TRUE(got.layerFlags == want.layerFlags);
    EXPECT_TRUE(got.layerIndex == want.layerIndex);
    EXPECT_TRUE(got.polygonOfVoxel == want.polygonOfVoxel);
    ASSERT_EQ(got.records.size(), want.records.size());
    for (std::size_t i = 0; i < got.records.size(); ++i) {
        const reference::Record &a = got.records[i], &b = want.records[i];
        ASSERT_TRUE(a.voxel == b.voxel && a.index == b.index && a.polygon == b.polygon &&
                    Bitwise(a.centre, b.centre) && Bitwise(a.normal, b.normal))
            << "record " << i;
    }
}

// ---- the box and its faces

TEST(VoxelGrid, ContainsBothFacesOfTheBoxAndNothingOutside) {
    VoxelVolume volume(8, kExtent);
    // The upper face belongs to the last cell; outside points (NaN too) have no cell.
    const struct {
        Vector3 point;
        int cell;
    } cases[] = {{Vector3(10.0, 10.0, 10.0), 8 * 8 * 8 - 1},
                 {Vector3(0.0, 0.0, 0.0), 0},
                 {Vector3(0.0, 10.0, 0.0), CellIndex(0, 7, 0, 8)},
                 {Vector3(1.25, 2.5, 3.75), CellIndex(1, 2, 3, 8)},
                 {Vector3(-0.0001, 5.0, 5.0), -1},
                 {Vector3(5.0, 10.0000001, 5.0), -1},
                 {Vector3(5.0, 5.0, std::nan("")), -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(volume.Contains(c.point.x, c.point.y, c.point.z), c.cell >= 0) << c.cell;
        EXPECT_EQ(volume.VoxelIndexAt(c.point), c.cell);
        EXPECT_EQ(volume.LayerVoxelAt(c.point), nullptr);  // no layer yet
    }
}

TEST(VoxelRayCasting, FacesOnTheUpperBoxFacesStayInTheGridAndTheLayerOffTheShell) {
    // A cube filling the whole box: the x = 10, y = 10 and z = 10 faces are crossed
    // at depth exactly 10.0, which belongs to cell 127.
    VoxelVolume volume(kN, kExtent);
    volume.Build(Cube(0.0, kExtent), std::vector<std::int32_t>(12, 1));
    const auto shell = [](int c) { return std::min(c, kN - 1 - c); };
    EXPECT_EQ(CountCells([&](int x, int y, int z, int v) {
                  const int depth = std::min({shell(x), shell(y), shell(z)});
                  // Inner cells of the main diagonal are missed by all three rays (see
                  // ClosedCubeFillsItsInsideAndFlagsItsFaces).
                  const bool inside = depth == 0 || !(x == y && y == z);
                  // The layer is seeded on the shell, grown two cells inwards, then cleared off the
                  // shell.
                  return volume.insideFlags()[v] != (inside ? 1 : 0) ||
                         volume.surfaceFlags()[v] != (depth == 0) ||
                         volume.layerFlags()[v] != ((depth == 1 || depth == 2) && inside ? 1 : 0);
              }),
              0);
    EXPECT_EQ(volume.LayerVoxelCount(), 126 * 126 * 126 - 122 * 122 * 122 - 4);
}

// Built without segmented polygons, so the layer is empty.
TEST(VoxelRayCasting, ClosedCubeFillsItsInsideAndFlagsItsFaces) {
    VoxelVolume volume(kN, kExtent);
    ConsoleCapture console;
    volume.Build(Cube(1.0, 9.0), std::vector<std::int32_t>(12, 0));
    // Faces at 1.0 and 9.0 lie in cells 12 and 115; centres within [1, 9] are 13..114.
    const auto onFace = [](int c) { return c == 12 || c == 115; };
    const auto within = [](int c) { return c >= 13 && c <= 114; };
    int inside = 0;
    EXPECT_EQ(CountCells([&](int x, int y, int z, int v) {
                  const bool faceCell = (onFace(x) && within(y) && within(z)) ||
                                        (within(x) && onFace(y) && within(z)) ||
                                        (within(x) && within(y) && onFace(z));
                  // Each face is split along its diagonal y = z, x = z or x = y, and on
                  // the main diagonal all three rays through a cell graze a shared edge
                  // at both ends: two crossings in one cell leave the state unchanged,
                  // so no ray finds those cells inside.
                  const bool expectInside =
                      faceCell || (within(x) && within(y) && within(z) && !(x == y && y == z));
                  inside += volume.insideFlags()[v];
                  return volume.insideFlags()[v] != (expectInside ? 1 : 0) ||
                         volume.surfaceFlags()[v] != faceCell;
              }),
              0);
    EXPECT_EQ(inside, 102 * 102 * 102 - 102 + 6 * 102 * 102);
    EXPECT_EQ(volume.LayerVoxelCount(), 0);
    const std::string text = console.Text();
    const std::string fixedPart =
        "system initialize Voxel __ray casting...\n"
        "xdir done...ydir done...zdir done...system constructs Fiber Layer\n"
        " volume is created !\nvolume size is        2097152\nfiber layer voxel size is 0\nvolume "
        "creation ";
    ASSERT_EQ(text.substr(0, fixedPart.size()), fixedPart);
    // Three processor times with six decimals.
    const std::regex times("[0-9]+\\.[0-9]{6} [0-9]+\\.[0-9]{6} [0-9]+\\.[0-9]{6}\n");
    EXPECT_TRUE(std::regex_match(text.substr(fixedPart.size()), times)) << text;
}

TEST(VoxelRayCasting, RayThroughASharedEdgeCrossesTwiceInOneCell) {
    // An open sheet in the plane z = 5 (cell 64) over [2, 8]^2, split along x + y = 10:
    // the z rays with a + b = 127 run exactly through the shared edge.
    RkPolygonModel sheet =
        shapes::MakeModel({{2, 2, 5}, {8, 2, 5}, {2, 8, 5}, {8, 8, 5}}, {{0, 1, 2}, {2, 1, 3}});
    sheet.ComputeNormals();
    VoxelVolume volume(kN, kExtent);
    volume.Build(sheet, std::vector<std::int32_t>(2, 0));
    // Through the shared edge both triangles cross in cell 64 (the later one wins) and
    // the state is back to "outside" after them; beside it the one crossing of the
    // open sheet leaves "inside" up to the end of the ray.
    EXPECT_EQ(volume.surfaceFlags()[CellIndex(60, 67, 64)], 1);
    EXPECT_EQ(volume.polygonOfVoxel()[CellIndex(60, 67, 64)], 1);
    const int zs[] = {63, 64, 65, kN - 1}, throughEdge[] = {0, 1, 0, 0}, beside[] = {0, 1, 1, 1};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(volume.insideFlags()[CellIndex(60, 67, zs[k])], throughEdge[k]) << "z " << zs[k];
        EXPECT_EQ(volume.insideFlags()[CellIndex(60, 66, zs[k])], beside[k]) << "z " << zs[k];
    }
}

// ---- fibre layer and the equality of the fast Build with the straightforward loop

// Segmented where the first corner lies left of x = 6 (ids 1 and 7), so cells of the
// right part look far for their nearest segmented centroid.
std::vector<std::int32_t> PartialSegmentation(const RkPolygonModel& mesh) {
    std::vector<std::int32_t> ids(mesh.polygons.size(), 0);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (mesh.vertices[mesh.polygons[i].vertex[0]].position.x < 6.0) ids[i] = i % 5 == 0 ? 7 : 1;
    }
    return ids;
}

// A mesh of ../shared/data normalised into the box; false when the file is absent.
bool LoadSharedMesh(const char* name, RkPolygonModel& mesh) {
    const std::string path = meshchecks::SharedMesh(name);
    if (!std::ifstream(path)) return false;
    EXPECT_TRUE(mesh.Load(path)) << path;
    NormaliseIntoBox(mesh);
    return true;
}

// "cube": [1, 9]^3 all segmented; "demo": the demo heart loaded with its
// segmentation; otherwise a shared mesh, partly segmented.
class VoxelBuildEquality : public ::testing::TestWithParam<const char*> {};

TEST_P(VoxelBuildEquality, FastBuildEqualsTheLoopOverAllPolygons) {
    auto heart = std::make_unique<HeartModel>();
    const std::string which = GetParam(), data = VANTREL_DATA_DIR;
    TestStroke stroke(1, {Vector3(1.1, 4.0, 4.0), Vector3(1.1, 4.0, 6.0)});
    if (which == "demo") {
        ASSERT_TRUE(heart->LoadHeart(data + "/demo-heart.obj",
                                     SegmentationChoice::File(data + "/demo-heart.kxseg")));
    } else {
        if (which == "cube") {
            heart->mesh = Cube(1.0, 9.0);
            heart->regionIds.assign(12, 1);
        } else {
            if (!LoadSharedMesh(GetParam(), heart->mesh)) GTEST_SKIP() << which << " is absent";
            heart->regionIds = PartialSegmentation(heart->mesh);
        }
        // Built over an earlier volume with a stroke stamped, so that anything Build
        // fails to reset shows.
        heart->volume.Build(Cube(2.0, 8.0), std::vector<std::int32_t>(12, 1));
        heart->volume.MarkStroke(&stroke);
        heart->volume.Build(heart->mesh, heart->regionIds);
    }
    ASSERT_GT(heart->volume.LayerVoxelCount(), 0);
    ExpectSameVolume(Snapshot(heart->volume),
                     reference::BuildReferenceVolume(heart->mesh, heart->regionIds, kN, kExtent));
    for (double d : heart->volume.densityField()) ASSERT_EQ(d, 0.0);
    for (const LayerVoxel& record : heart->volume.layerVoxels())
        ASSERT_TRUE(record.strokes.empty());
}

INSTANTIATE_TEST_SUITE_P(Meshes, VoxelBuildEquality,
                         ::testing::Values("cube", "demo", "bivme_p1_lv_endo_capped.obj",
                                           "bivme_p1_lv_endo_open.obj",
                                           "bivme_p1_rv_endo_capped.obj", "stanford_bunny.obj"));

// The nearest-centroid search, straightforwardly: every polygon in index order, kept
// only when strictly nearer than the best so far, starting from the cut-off.
int NearestCentroidByLoop(const RkPolygonModel& mesh, const std::vector<std::int32_t>& ids,
                          const Vector3& q, double cutoff) {
    int best = -1;
    for (std::size_t i = 0; i < mesh.polygons.size() && i < ids.size(); ++i) {
        const int* corner = mesh.polygons[i].vertex;
        if (ids[i] == 0 || std::any_of(corner, corner + 3, [&](int v) {
                return v < 0 || v >= static_cast<int>(mesh.vertices.size());
            }))
            continue;
        const Vector3 c = (mesh.vertices[corner[0]].position + mesh.vertices[corner[1]].position +
                           mesh.vertices[corner[2]].position) *
                          0.33333333333;
        const double d = (q - c).LengthSquared();
        if (std::isfinite(c.x + c.y + c.z) && d < cutoff) cutoff = d, best = static_cast<int>(i);
    }
    return best;
}

// Small triangles around clustered and scattered points, with repeated triangles (ties),
// unsegmented polygons, a bad corner index and a NaN corner; queries inside and around
// the box, on centroids, with and without a cut-off.
TEST(CentroidGrid, NearestEqualsTheLoopOverAllPolygons) {
    std::mt19937 random(77);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RkPolygonModel mesh;
    std::vector<std::int32_t> ids;
    for (int t = 0; t < 3000; ++t) {
        const bool clustered = t % 3 == 0;
        const Vector3 at = clustered ? Vector3(2 + unit(random), 7 + unit(random), 3)
                                     : Vector3(unit(random), unit(random), unit(random)) * 10.0;
        const int first = static_cast<int>(mesh.vertices.size());
        for (int k = 0; k < 3; ++k) {
            mesh.vertices.emplace_back();
            mesh.vertices.back().position = at + Vector3(unit(random), unit(random), 0) * 0.01;
        }
        const int copies = t % 50 == 0 ? 2 : 1;
        for (int c = 0; c < copies; ++c) shapes::AddTriangle(mesh, first, first + 1, first + 2);
    }
    for (std::size_t i = 0; i < mesh.polygons.size(); ++i)
        ids.push_back(i % 7 == 3 ? 0 : 1 + i % 4);
    mesh.polygons[5].vertex[1] = static_cast<int>(mesh.vertices.size());
    mesh.vertices[mesh.polygons[8].vertex[2]].position.y = std::nan("");
    ids.resize(ids.size() - 20);
    const CentroidGrid grid(mesh, ids);
    const double inf = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 1500; ++k) {
        const Vector3 q = k % 4 == 0 ? mesh.vertices[3 * (k % 2900)].position
                                     : Vector3(unit(random), unit(random), unit(random)) * 16.0 -
                                           Vector3(3, 3, 3);
        for (double cutoff : {inf, 0.04, 1.0}) {
            ASSERT_EQ(grid.Nearest(q, cutoff), NearestCentroidByLoop(mesh, ids, q, cutoff))
                << k << " cut-off " << cutoff;
        }
    }
}

// ---- density stamp, escape directions, occupancy

// The layer of the cube [1, 9]^3, all segmented, built once; occupancy reset on every call.
VoxelVolume& CubeLayer() {
    static VoxelVolume volume = [] {
        VoxelVolume built(kN, kExtent);
        built.Build(Cube(1.0, 9.0), std::vector<std::int32_t>(12, 1));
        return built;
    }();
    volume.ResetOccupancy();
    return volume;
}

TEST(VoxelDensity, StampFollowsTheKernelAndStaysInTheGridAtItsCorners) {
    VoxelVolume volume(kN, kExtent);
    TestStroke stroke(1, {});
    volume.MarkVoxel(CellIndex(64, 64, 64), &stroke);
    const std::vector<double>& density = volume.densityField();
    // 6 - distance within the 11^3 block around the cell (6, 5, 6 - sqrt 2, ..., 1 at
    // 5 cells), 0 from 6 cells on and outside the block.
    EXPECT_EQ(CountCells([&](int x, int y, int z, int v) {
                  const int dx = x - 64, dy = y - 64, dz = z - 64;
                  const bool inBlock = std::max({std::abs(dx), std::abs(dy), std::abs(dz)}) <= 5;
                  const double want =
                      inBlock ? std::max(0.0, 6.0 - std::sqrt(double(dx * dx + dy * dy + dz * dz)))
                              : 0.0;
                  return density[v] != want;
              }),
              0);

    // At the grid's corners and beyond it the stamp stays in the grid.
    VoxelVolume corners(16, kExtent);
    for (int v : {0, 16 * 16 * 16 - 1, -1, 16 * 16 * 16}) corners.MarkVoxel(v, &stroke);
    EXPECT_EQ(corners.densityField()[0], 6.0);
    EXPECT_EQ(corners.densityField()[16 * 16 * 16 - 1], 6.0);
    EXPECT_EQ(corners.densityField()[CellIndex(5, 0, 0, 16)], 1.0);
}

TEST(VoxelDensity, StrokePointsOnOrBeyondTheBoxFacesStayInTheGrid) {
    VoxelVolume volume(kN, kExtent);
    const double inf = std::numeric_limits<double>::infinity();
    TestStroke stroke(1, {Vector3(9.95, 5.0, 5.0), Vector3(10.0, 5.0, 5.0), Vector3(10.6, 5.0, 5.0),
                          Vector3(inf, 5.0, 5.0), Vector3(5.0, 5.0, std::nan(""))});
    volume.MarkStroke(&stroke);
    EXPECT_EQ(volume.densityField()[CellIndex(127, 64, 64)], 6.0);
    EXPECT_EQ(volume.densityField()[CellIndex(126, 64, 64)], 5.0);  // 9.95 lies in 127 too
    EXPECT_EQ(std::count(volume.densityField().begin(), volume.densityField().end(), 6.0), 1);
    // The lower corner is cell 0, which is in the grid too.
    VoxelVolume small(16, kExtent);
    TestStroke corner(2, {Vector3(0.0, 0.0, 0.0), Vector3(0.01, 0.0, 0.0)});
    small.MarkStroke(&corner);
    EXPECT_EQ(small.densityField()[0], 6.0);
}

TEST(VoxelCubeLayer, MarkVoxelRegistersEveryStrokeAndResetOccupancyEmptiesAll) {
    VoxelVolume& volume = CubeLayer();
    LayerVoxel* record = volume.LayerVoxelAt(Vector3(1.1, 4.0, 4.0));
    ASSERT_NE(record, nullptr);
    TestStroke first(1, {Vector3(1.1, 3.0, 3.0), Vector3(1.1, 3.0, 7.0)}), second(2, {});
    volume.MarkStroke(&first);
    volume.MarkVoxel(record->voxel, &first);
    volume.MarkVoxel(record->voxel, &second);
    EXPECT_EQ(record->strokes.size(), 2u);
    // A neighbour at 5.0 has not been stamped yet: marking it stamps around it.
    volume.MarkVoxel(record->voxel + kN, &second);
    EXPECT_EQ(volume.densityField()[record->voxel + kN], 6.0);
    EXPECT_EQ(volume.densityField()[record->voxel + 6 * kN], 1.0);
    ASSERT_GT(volume.LayerVoxelAt(Vector3(1.1, 3.3, 5.0))->escapeDirection.Length(), 0.5);

    volume.ResetOccupancy();
    for (double d : volume.densityField()) ASSERT_EQ(d, 0.0);
    for (int i = 0; i < volume.LayerVoxelCount(); ++i) {
        ASSERT_TRUE(volume.layerVoxels()[i].strokes.empty());
        ASSERT_EQ(volume.LayerVoxelByIndex(i).escapeDirection.Length(), 0.0);
    }
}

// Random strokes over the layer; after each one every record's escape direction
// handed out by the volume must equal the eager recomputation bit for bit.
void ExpectEscapeDirectionsEqualEager(VoxelVolume& volume, int strokeCount) {
    volume.ResetOccupancy();
    reference::EagerEscapeDirections eager(volume);
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> pickRecord(0, volume.LayerVoxelCount() - 1);
    std::uniform_real_distribution<double> offset(-0.4, 0.4);
    std::deque<TestStroke> strokes;
    int nonZero = 0;
    for (int s = 0; s < strokeCount; ++s) {
        std::vector<Vector3> points{volume.layerVoxels()[pickRecord(random)].centre};
        for (int k = 0; k <= s % 5; ++k) {
            points.push_back(points.back() +
                             Vector3(offset(random), offset(random), offset(random)));
        }
        strokes.emplace_back(s + 1, points);
        volume.MarkStroke(&strokes.back());
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

TEST(VoxelDensity, EscapeDirectionsOnDemandEqualTheEagerRecomputation) {
    ExpectEscapeDirectionsEqualEager(CubeLayer(), 25);
    RkPolygonModel mesh;
    if (!LoadSharedMesh("bivme_p1_lv_endo_capped.obj", mesh)) GTEST_SKIP() << "no shared heart";
    VoxelVolume heart(kN, kExtent);
    heart.Build(mesh, std::vector<std::int32_t>(mesh.polygons.size(), 1));
    ExpectEscapeDirectionsEqualEager(heart, 25);
}

// ---- collision queries

TEST(VoxelCubeLayer, CollisionQueriesSkipTheStartCellAndExcludedStrokesAndBreakTiesBySerial) {
    VoxelVolume& volume = CubeLayer();
    TestStroke stroke(1, {Vector3(1.1, 3.0, 3.0), Vector3(1.1, 3.0, 6.0)});
    volume.MarkStroke(&stroke);
    const LayerVoxel start = *volume.LayerVoxelAt(Vector3(1.1, 3.0, 4.0));
    const LayerVoxel elsewhere = *volume.LayerVoxelAt(Vector3(1.1, 7.0, 7.0));
    Vector3 hit;
    VolumeStroke* hitStroke = nullptr;
    const auto collides = [&](const LayerVoxel& from, Vector3 a, Vector3 b,
                              const ExcludedStrokes& excluded) {
        return volume.FindCollision(from, a, b, hit, hitStroke, excluded);
    };
    // Within the start cell, where the stroke is registered, nothing is reported.
    EXPECT_FALSE(collides(start, Vector3(1.1, 3.0, 4.0), Vector3(1.1, 3.01, 4.01), {}));
    EXPECT_EQ(hitStroke, nullptr);
    // The same segment seen from another start record runs into the stroke.
    ASSERT_TRUE(collides(elsewhere, Vector3(1.1, 3.0, 4.0), Vector3(1.1, 3.01, 4.01), {}));
    EXPECT_EQ(hitStroke, &stroke);
    EXPECT_LT((hit - Vector3(1.1, 3.0, 4.0)).Length(), 1e-12);
    // A segment crossing the stroke from the side, unless the stroke is excluded.
    EXPECT_TRUE(collides(elsewhere, Vector3(1.1, 2.0, 5.0), Vector3(1.1, 4.0, 5.0), {}));
    EXPECT_FALSE(collides(elsewhere, Vector3(1.1, 2.0, 5.0), Vector3(1.1, 4.0, 5.0), {&stroke}));
    // Beside the stroke (density below 6.0) nothing is hit.
    EXPECT_FALSE(collides(elsewhere, Vector3(1.1, 5.0, 5.0), Vector3(1.1, 5.0, 5.5), {}));

    // Two strokes on one path: the later serial, registered first, loses the tie.
    const std::vector<Vector3> path{Vector3(1.1, 5.0, 3.0), Vector3(1.1, 5.0, 6.0)};
    TestStroke later(9, path), earlier(4, path);
    volume.MarkStroke(&later);
    volume.MarkStroke(&earlier);
    const LayerVoxel& record = *volume.LayerVoxelAt(Vector3(1.1, 5.0, 4.0));
    const Vector3 from(1.1, 5.2, 4.0);
    ASSERT_TRUE(volume.NearestStrokePoint(record, from, hitStroke, hit, {}));
    EXPECT_EQ(hitStroke, &earlier);
    ASSERT_TRUE(volume.NearestStrokePoint(record, from, hitStroke, hit, {&earlier}));
    EXPECT_EQ(hitStroke, &later);
    EXPECT_FALSE(volume.NearestStrokePoint(record, from, hitStroke, hit, {&earlier, &later}));
}

TEST(VoxelCollision, NearestPointOnPolylineClampsToEndsAndSkipsRepeatedPoints) {
    Vector3 point;
    double squared = -1.0;
    // Fewer than two distinct points make no segment: false, outputs untouched.
    for (const std::vector<Vector3>& degenerate :
         {std::vector<Vector3>{Vector3(1, 1, 1)}, {Vector3(1, 1, 1), Vector3(1, 1, 1)}}) {
        EXPECT_FALSE(
            VoxelVolume::NearestPointOnPolyline(Vector3(0, 0, 0), degenerate, point, squared));
    }
    EXPECT_EQ(squared, -1.0);
    const std::vector<Vector3> line{Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(2, 0, 0)};
    const Vector3 cases[][2] = {{Vector3(0.5, 1, 0), Vector3(0.5, 0, 0)},
                                {Vector3(3, 0, 2), Vector3(2, 0, 0)},
                                {Vector3(-1, 0, 0), Vector3(0, 0, 0)}};
    for (const auto& c : cases) {
        ASSERT_TRUE(VoxelVolume::NearestPointOnPolyline(c[0], line, point, squared));
        EXPECT_TRUE(Bitwise(point, c[1]));
        EXPECT_EQ(squared, (c[0] - c[1]).Dot(c[0] - c[1]));
    }
}

// ---- the voxel file

constexpr int kSmallN = 16;

// The cube [1, 9]^3 all segmented on a 16^3 grid, and its voxel file's text.
class VoxelFile : public ::testing::Test {
protected:
    void SetUp() override {
        built_.Build(mesh_, std::vector<std::int32_t>(12, 1));
        std::FILE* file = std::tmpfile();
        ASSERT_TRUE(built_.SaveVoxelFile(file));
        std::rewind(file);
        for (int c = std::getc(file); c != EOF; c = std::getc(file))
            text_.push_back(static_cast<char>(c));
        std::fclose(file);
    }

    bool Load(VoxelVolume& volume, const std::string& text) {
        std::FILE* file = std::tmpfile();
        std::fputs(text.c_str(), file);
        std::rewind(file);
        const bool loaded = volume.LoadVoxelFile(file, mesh_);
        std::fclose(file);
        return loaded;
    }

    // The text with the cell line of v replaced by "v <rest>".
    std::string WithCellLine(int v, const std::string& rest) const {
        std::string text = text_;
        const std::size_t at = text.find("\n" + std::to_string(v) + " ") + 1;
        return text.replace(at, text.find('\n', at) - at, std::to_string(v) + " " + rest);
    }

    const RkPolygonModel mesh_ = Cube(1.0, 9.0);
    VoxelVolume built_{kSmallN, kExtent};
    std::string text_;
};

TEST_F(VoxelFile, RoundTripRestoresTheLayerAndItsRecords) {
    EXPECT_EQ(text_.rfind("#vodelSize 4096\n0 0 0 0 -1 -1\n", 0), 0u);
    VoxelVolume loaded(kSmallN, kExtent);
    ConsoleCapture console;
    ASSERT_TRUE(Load(loaded, text_));
    EXPECT_EQ(console.Lines().at(0), "#end scceeded!\n");
    EXPECT_NE(console.Text().find("fiber layer voxel size is " +
                                  std::to_string(built_.LayerVoxelCount())),
              std::string::npos);
    ExpectSameVolume(Snapshot(loaded), Snapshot(built_));
}

// A refused file prints one line naming the reason and changes nothing of a built
// volume that has a stroke stamped.
TEST_F(VoxelFile, RejectsBadFilesWithOneLineAndChangesNothing) {
    const std::string afterHeader = text_.substr(text_.find('\n'));
    const int shellCell = CellIndex(0, 5, 5, kSmallN),
              layerCell = built_.layerVoxels().front().voxel;
    const struct {
        const char* rejects;
        std::string text, reason;
    } cases[] = {
        {"a huge count", "#vodelSize 99999999999" + afterHeader, "count"},
        {"a count other than the grid's cells", "#vodelSize 512" + afterHeader, "count"},
        {"another header word", "#voxelSize 4096" + afterHeader, "header"},
        {"an empty file", "", "header"},
        {"a file cut in its cell lines", text_.substr(0, text_.size() / 2), "cell line"},
        {"a file without its end line", text_.substr(0, text_.rfind("#end")), "#end"},
        {"a non-numeric flag", WithCellLine(100, "0 x 0 -1 -1"), "cell 100"},
        {"a polygon beyond the int range", WithCellLine(100, "0 0 0 -1 99999999999"), "cell 100"},
        {"a polygon past the mesh", WithCellLine(7, "0 0 0 -1 12"), "polygon outside the mesh"},
        {"a polygon below -1", WithCellLine(7, "0 0 0 -1 -2"), "polygon outside the mesh"},
        {"a layer cell on the outer shell", WithCellLine(shellCell, "1 1 1 0 3"), "outer shell"},
        {"a layer cell without polygon", WithCellLine(layerCell, "1 1 1 0 -1"),
         "without a polygon"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rejects);
        VoxelVolume volume(kSmallN, kExtent);
        volume.Build(mesh_, std::vector<std::int32_t>(12, 1));
        TestStroke stroke(1, {Vector3(1.1, 4.0, 4.0), Vector3(1.1, 4.0, 6.0)});
        volume.MarkStroke(&stroke);
        const std::vector<double> density = volume.densityField();
        ConsoleCapture console;
        EXPECT_FALSE(Load(volume, c.text));
        ASSERT_EQ(console.Lines().size(), 1u);
        EXPECT_NE(console.Lines()[0].find(c.reason), std::string::npos) << console.Lines()[0];
        ExpectSameVolume(Snapshot(volume), Snapshot(built_));
        EXPECT_TRUE(volume.densityField() == density);
    }
}

}  // namespace
}  // namespace vantrel
