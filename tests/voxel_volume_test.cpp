// The voxel volume: Build and the nearest-centroid grid against straightforward
// references, the density stamp, escape directions on demand against the eager
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
const double kInf = std::numeric_limits<double>::infinity();

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

int CellIndex(int x, int y, int z, int n = kN) {
    return x + n * y + n * n * z;
}

bool Bitwise(const Vector3& a, const Vector3& b) {
    const double left[3] = {a.x, a.y, a.z}, right[3] = {b.x, b.y, b.z};
    return std::memcmp(left, right, sizeof(left)) == 0;
}

// A volume's arrays and records in the reference's form, for whole-volume comparisons.
reference::Volume Snapshot(const VoxelVolume& volume) {
    reference::Volume snapshot{volume.surfaceFlags(), volume.insideFlags(),    volume.layerFlags(),
                               volume.layerIndex(),   volume.polygonOfVoxel(), {}};
    for (const LayerVoxel& r : volume.layerVoxels())
        snapshot.records.push_back({r.voxel, r.index, r.polygon, r.centre, r.normal});
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

// Segmented where the first corner lies left of x = 6 (ids 1 and 7), so cells of the
// right part look far for their nearest segmented centroid.
std::vector<std::int32_t> PartialSegmentation(const RkPolygonModel& mesh) {
    std::vector<std::int32_t> ids(mesh.polygons.size(), 0);
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (mesh.vertices[mesh.polygons[i].vertex[0]].position.x < 6.0) ids[i] = i % 5 ? 1 : 7;
    return ids;
}

// A mesh of ../shared/data moved and scaled into the box [0, 10]^3; false when absent.
bool LoadSharedMesh(const char* name, RkPolygonModel& mesh) {
    const std::string path = meshchecks::SharedMesh(name);
    if (!std::ifstream(path)) return false;
    EXPECT_TRUE(mesh.Load(path)) << path;
    Vector3 low, high;
    meshchecks::BoundingBox(mesh, low, high);
    const double largest = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
    for (MeshVertex& vertex : mesh.vertices)
        vertex.position = (vertex.position - low) * (kExtent / largest);
    mesh.ComputeNormals();
    return true;
}

// "cube": [1, 9]^3; "box": the cube filling the box, its faces on the upper box faces;
// "sheet": an open sheet at z = 5 split along x + y = 10, so that z rays run through
// the shared edge; "corner": a triangle whose third corner lies on a z ray; "demo": the
// demo heart with its segmentation; otherwise a shared mesh, partly segmented.
class VoxelBuildEquality : public ::testing::TestWithParam<const char*> {};

TEST_P(VoxelBuildEquality, FastBuildEqualsTheLoopOverAllPolygons) {
    auto heart = std::make_unique<HeartModel>();
    const std::string which = GetParam(), data = VANTREL_DATA_DIR;
    TestStroke stroke(1, {Vector3(1.1, 4.0, 4.0), Vector3(1.1, 4.0, 6.0)});
    if (which == "demo") {
        ASSERT_TRUE(heart->LoadHeart(data + "/demo-heart.obj",
                                     SegmentationChoice::File(data + "/demo-heart.kxseg")));
    } else {
        if (which == "cube" || which == "box") {
            heart->mesh = which == "cube" ? Cube(1.0, 9.0) : Cube(0.0, kExtent);
            heart->regionIds.assign(12, 1);
        } else if (which == "corner") {
            const double c = 64.5 * kExtent / kN;  // a cell centre, exactly
            heart->mesh =
                shapes::MakeModel({{c + 1, c + 0.5, c}, {c - 1, c + 1, c}, {c, c, c}}, {{0, 1, 2}});
            heart->mesh.ComputeNormals();
            heart->regionIds = {1};
        } else if (which == "sheet") {
            heart->mesh = shapes::MakeModel({{2, 2, 5}, {8, 2, 5}, {2, 8, 5}, {8, 8, 5}},
                                            {{0, 1, 2}, {2, 1, 3}});
            heart->mesh.ComputeNormals();
            heart->regionIds = {1, 0};
        } else {
            if (!LoadSharedMesh(GetParam(), heart->mesh)) GTEST_SKIP() << which << " is absent";
            heart->regionIds = PartialSegmentation(heart->mesh);
        }
        // Built over an earlier volume with a stroke stamped, so that anything Build
        // fails to reset shows.
        heart->volume.Build(Cube(2.0, 8.0), std::vector<std::int32_t>(12, 1));
        heart->volume.MarkStroke(&stroke);
        ConsoleCapture console;
        heart->volume.Build(heart->mesh, heart->regionIds);
        EXPECT_EQ(console.Text().rfind("system initialize Voxel __ray casting...\n", 0), 0u);
    }
    ASSERT_GT(heart->volume.LayerVoxelCount(), 0);
    ExpectSameVolume(Snapshot(heart->volume),
                     reference::BuildReferenceVolume(heart->mesh, heart->regionIds, kN, kExtent));
    for (double d : heart->volume.densityField()) ASSERT_EQ(d, 0.0);
    for (const LayerVoxel& record : heart->volume.layerVoxels())
        ASSERT_TRUE(record.strokes.empty());
}

INSTANTIATE_TEST_SUITE_P(Meshes, VoxelBuildEquality,
                         ::testing::Values("cube", "box", "sheet", "corner", "demo",
                                           "bivme_p1_lv_endo_open.obj"));

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
        const Vector3 at = t % 3 == 0 ? Vector3(2 + unit(random), 7 + unit(random), 3)
                                      : Vector3(unit(random), unit(random), unit(random)) * 10.0;
        const int first = static_cast<int>(mesh.vertices.size());
        for (int k = 0; k < 3; ++k) {
            mesh.vertices.emplace_back();
            mesh.vertices.back().position = at + Vector3(unit(random), unit(random), 0) * 0.01;
        }
        for (int c = t % 50 == 0 ? 2 : 1; c > 0; --c)
            shapes::AddTriangle(mesh, first, first + 1, first + 2);
    }
    for (std::size_t i = 0; i < mesh.polygons.size(); ++i)
        ids.push_back(i % 7 == 3 ? 0 : 1 + i % 4);
    mesh.polygons[5].vertex[1] = static_cast<int>(mesh.vertices.size());
    mesh.vertices[mesh.polygons[8].vertex[2]].position.y = std::nan("");
    ids.resize(ids.size() - 20);
    const CentroidGrid grid(mesh, ids);
    for (int k = 0; k < 1500; ++k) {
        const Vector3 q = k % 4 == 0 ? mesh.vertices[3 * (k % 2900)].position
                                     : Vector3(unit(random), unit(random), unit(random)) * 16.0 -
                                           Vector3(3, 3, 3);
        for (double cutoff : {kInf, 0.04, 1.0}) {
            ASSERT_EQ(grid.Nearest(q, cutoff), NearestCentroidByLoop(mesh, ids, q, cutoff))
                << k << " cut-off " << cutoff;
        }
    }
}

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

// 6 - distance within the 11^3 block around a stamped cell, 0 from 6 cells on; at the
// grid's corners, on the box faces and beyond them the stamp stays in the grid.
TEST(VoxelDensity, StampFollowsTheKernelAndStaysInTheGrid) {
    constexpr int n = 16;
    VoxelVolume volume(n, kExtent);
    TestStroke stroke(1, {});
    volume.MarkVoxel(CellIndex(8, 8, 8, n), &stroke);
    for (int v = 0; v < n * n * n; ++v) {
        const int dx = v % n - 8, dy = v / n % n - 8, dz = v / (n * n) - 8;
        const bool inBlock = std::max({std::abs(dx), std::abs(dy), std::abs(dz)}) <= 5;
        const double d = std::sqrt(double(dx * dx + dy * dy + dz * dz));
        ASSERT_EQ(volume.densityField()[v], inBlock ? std::max(0.0, 6.0 - d) : 0.0) << v;
    }
    VoxelVolume corners(n, kExtent);
    for (int v : {0, n * n * n - 1, -1, n * n * n}) corners.MarkVoxel(v, &stroke);
    EXPECT_EQ(corners.densityField()[0], 6.0);
    EXPECT_EQ(corners.densityField()[n * n * n - 1], 6.0);
    EXPECT_EQ(corners.densityField()[CellIndex(5, 0, 0, n)], 1.0);

    VoxelVolume faces(kN, kExtent);
    TestStroke onFaces(2, {Vector3(9.95, 5.0, 5.0), Vector3(10.0, 5.0, 5.0), Vector3(10.6, 5, 5),
                           Vector3(kInf, 5.0, 5.0), Vector3(5.0, 5.0, std::nan(""))});
    faces.MarkStroke(&onFaces);
    EXPECT_EQ(faces.densityField()[CellIndex(127, 64, 64)], 6.0);
    EXPECT_EQ(faces.densityField()[CellIndex(126, 64, 64)], 5.0);  // 9.95 lies in 127 too
    EXPECT_EQ(std::count(faces.densityField().begin(), faces.densityField().end(), 6.0), 1);
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
        for (int k = 0; k <= s % 5; ++k)
            points.push_back(points.back() +
                             Vector3(offset(random), offset(random), offset(random)));
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
    EXPECT_FALSE(VoxelVolume::NearestPointOnPolyline(
        Vector3(0, 0, 0), {Vector3(1, 1, 1), Vector3(1, 1, 1)}, point, squared));
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
        {"a word of 33 characters", WithCellLine(100, std::string(32, '0') + "0 0 0 -1 -1"),
         "cell 100"},
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
