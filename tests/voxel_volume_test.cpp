// The voxel volume against plain references (Build, the nearest-centroid grid, the
// density stamps and escape directions), box membership, collision queries, and the
// voxel file's round trip and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
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

reference::Volume Snapshot(const VoxelVolume& v) {
    return {v.surfaceFlags(),   v.insideFlags(),  v.layerFlags(), v.layerIndex(),
            v.polygonOfVoxel(), v.densityField(), v.layerVoxels()};
}

void ExpectSameVolume(const reference::Volume& got, const reference::Volume& want) {
    EXPECT_TRUE(got.surface == want.surface && got.inside == want.inside);
    EXPECT_TRUE(got.layer == want.layer && got.layerIndex == want.layerIndex);
    EXPECT_TRUE(got.polygonOfVoxel == want.polygonOfVoxel && got.density == want.density);
    ASSERT_EQ(got.records.size(), want.records.size());
    for (std::size_t i = 0; i < got.records.size(); ++i) {
        const LayerVoxel &a = got.records[i], &b = want.records[i];
        ASSERT_TRUE(a.voxel == b.voxel && a.index == b.index && a.polygon == b.polygon &&
                    Bitwise(a.centre, b.centre) && Bitwise(a.normal, b.normal) &&
                    a.strokes == b.strokes)
            << "record " << i;
    }
}

// "cube": [1, 9]^3; "box": the cube filling the box, its faces on the upper box faces;
// "sheet": an open sheet at z = 5 split along x + y = 10, so that z rays run through
// the shared edge; "corner" and "high corner": a triangle whose third corner lies on a
// z ray at the bottom or the top of its y range; "demo": the demo heart with its
// segmentation.
class VoxelBuildEquality : public ::testing::TestWithParam<const char*> {};

TEST_P(VoxelBuildEquality, FastBuildEqualsTheLoopOverAllPolygons) {
    HeartModel heart;
    RkPolygonModel& mesh = heart.mesh;
    std::vector<std::int32_t>& ids = heart.regionIds;
    const std::string which = GetParam(), data = VANTREL_DATA_DIR;
    const double c = 64.5 * kExtent / kN;  // a cell centre, exactly
    if (which == "demo") {
        ASSERT_TRUE(heart.LoadHeart(data + "/demo-heart.obj",
                                    SegmentationChoice::File(data + "/demo-heart.kxseg")));
    } else if (which == "cube" || which == "box") {
        mesh = which == "cube" ? Cube(1.0, 9.0) : Cube(0.0, kExtent);
        ids.assign(12, 1);
    } else if (which == "corner" || which == "high corner") {
        const double y = which == "corner" ? 1.0 : -1.0;  // the corner lowest or highest in y
        mesh =
            shapes::MakeModel({{c + 1, c + 0.5 * y, c}, {c - 1, c + y, c}, {c, c, c}}, {{0, 1, 2}});
        ids = {1};
    } else {
        mesh =
            shapes::MakeModel({{2, 2, 5}, {8, 2, 5}, {2, 8, 5}, {8, 8, 5}}, {{0, 1, 2}, {2, 1, 3}});
        ids = {1, 0};
    }
    mesh.ComputeNormals();
    // Built over another volume with a stroke stamped, so that anything Build fails
    // to reset shows.
    TestStroke stroke(1, {Vector3(1.1, 4.0, 4.0), Vector3(1.1, 4.0, 6.0)});
    heart.volume.Build(Cube(2.0, 8.0), std::vector<std::int32_t>(12, 1));
    heart.volume.MarkStroke(&stroke);
    heart.volume.Build(mesh, ids);
    ASSERT_GT(heart.volume.LayerVoxelCount(), 0);
    ExpectSameVolume(Snapshot(heart.volume), reference::Build(mesh, ids, kN, kExtent));
}

INSTANTIATE_TEST_SUITE_P(Meshes, VoxelBuildEquality,
                         ::testing::Values("cube", "box", "sheet", "corner", "high corner",
                                           "demo"));

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
            ASSERT_EQ(grid.Nearest(q, cutoff), reference::NearestCentroid(mesh, ids, q, cutoff))
                << k << " cut-off " << cutoff;
        }
    }
}

// The layer of the cube [1, 9]^3, all segmented.
VoxelVolume CubeLayer() {
    VoxelVolume volume(kN, kExtent);
    volume.Build(Cube(1.0, 9.0), std::vector<std::int32_t>(12, 1));
    return volume;
}

// Stamps in the middle, at the corners and near the end of the field, overlapping,
// against the plain kernel maximum; cells outside the grid are ignored. A stroke's
// point on the upper box face stamps the last cell; points beyond either face
// (infinite too) and NaN have no cell and stamp nothing.
TEST(VoxelDensity, StampsEqualThePlainKernelMaximumUpToTheGridsFaces) {
    constexpr int n = 16;
    VoxelVolume volume(n, kExtent);
    reference::Density plain(n, kExtent);
    TestStroke stroke(1, {});
    for (int v : {-1, n * n * n, 0, CellIndex(8, 8, 8, n), n * n * n - 1, CellIndex(8, 15, 15, n),
                  CellIndex(3, 9, 4, n)}) {
        volume.MarkVoxel(v, &stroke);
        if (v >= 0 && v < n * n * n) plain.Stamp(v);
    }
    EXPECT_TRUE(volume.densityField() == plain.field);

    VoxelVolume faces(kN, kExtent);
    TestStroke onFaces(
        2, {Vector3(9.95, 5.0, 5.0), Vector3(10.0, 5.0, 5.0), Vector3(10.6, 5, 5),
            Vector3(kInf, 5.0, 5.0), Vector3(5.0, 5.0, std::nan("")), Vector3(-0.0001, 5.0, 5.0)});
    faces.MarkStroke(&onFaces);
    for (const Vector3& p : onFaces.points)
        EXPECT_EQ(faces.Contains(p), faces.VoxelIndexAt(p) >= 0);
    EXPECT_EQ(faces.densityField()[CellIndex(127, 64, 64)], 6.0);
    EXPECT_EQ(std::count(faces.densityField().begin(), faces.densityField().end(), 6.0), 1);
}

// Random strokes over the layer; after each one the density field and every record's
// escape direction handed out by the volume must equal the plain ones bit for bit.
// ResetOccupancy then empties the field and every record's strokes.
void ExpectEscapeDirectionsEqualPlain(VoxelVolume& volume, int strokeCount) {
    reference::Density plain(volume.Resolution(), volume.Extent());
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> pickRecord(0, volume.LayerVoxelCount() - 1);
    std::uniform_real_distribution<double> offset(-0.4, 0.4);
    std::deque<TestStroke> strokes;
    for (int s = 0; s < strokeCount; ++s) {
        std::vector<Vector3> points{volume.layerVoxels()[pickRecord(random)].centre};
        for (int k = 0; k <= s % 5; ++k)
            points.push_back(points.back() +
                             Vector3(offset(random), offset(random), offset(random)));
        strokes.emplace_back(s + 1, points);
        volume.MarkStroke(&strokes.back());
        plain.MarkStroke(points);
        ASSERT_TRUE(volume.densityField() == plain.field) << "stroke " << s;
        for (int i = 0; i < volume.LayerVoxelCount(); ++i) {
            const Vector3& lazy = volume.LayerVoxelByIndex(i).escapeDirection;
            ASSERT_TRUE(Bitwise(lazy, plain.Escape(volume.layerVoxels()[i])))
                << "stroke " << s << " record " << i;
        }
    }
    volume.ResetOccupancy();
    EXPECT_EQ(volume.densityField(), std::vector<double>(volume.CellCount(), 0.0));
    for (const LayerVoxel& record : volume.layerVoxels()) ASSERT_TRUE(record.strokes.empty());
}

TEST(VoxelDensity, EscapeDirectionsOnDemandEqualThePlainOnes) {
    VoxelVolume cube = CubeLayer();
    ExpectEscapeDirectionsEqualPlain(cube, 25);
    // A record whose cell lies past the grid (its x and y inside) has no neighbourhood.
    const int n = cube.Resolution();
    LayerVoxel outside;
    outside.voxel = cube.CellCount() + n * n + n + 1;
    outside.escapeDirection = Vector3(1, 1, 1);
    cube.UpdateEscapeDirection(outside);
    EXPECT_EQ(outside.escapeDirection.Length(), 0.0);
}

// Two strokes on one path also check that a cell already stamped still registers a stroke.
TEST(VoxelCubeLayer, CollisionQueriesSkipTheStartCellAndExcludedStrokesAndBreakTiesBySerial) {
    VoxelVolume volume = CubeLayer();
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
    // The same segment seen from another start record runs into the stroke.
    ASSERT_TRUE(collides(elsewhere, Vector3(1.1, 3.0, 4.0), Vector3(1.1, 3.01, 4.01), {}));
    EXPECT_EQ(hitStroke, &stroke);
    EXPECT_LT((hit - Vector3(1.1, 3.0, 4.0)).Length(), 1e-12);
    // A segment crossing the stroke from the side, unless the stroke is excluded.
    EXPECT_TRUE(collides(elsewhere, Vector3(1.1, 2.0, 5.0), Vector3(1.1, 4.0, 5.0), {}));
    EXPECT_FALSE(collides(elsewhere, Vector3(1.1, 2.0, 5.0), Vector3(1.1, 4.0, 5.0), {&stroke}));

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
    // Beyond either end of the path the nearest point is that end.
    for (const Vector3& end : path) {
        ASSERT_TRUE(volume.NearestStrokePoint(record, end * 2.0 - Vector3(1.1, 5.0, 4.5), hitStroke,
                                              hit, {}));
        EXPECT_TRUE(Bitwise(hit, end));
    }
}

// The voxel file of the cube [1, 9]^3 on a 16^3 grid is loaded into the volume of
// another cube with a stroke stamped: the file as written gives the built volume (no
// density, no strokes); a bad file is refused with one line naming the reason and
// changes nothing.
TEST(VoxelFile, RoundTripRestoresTheVolumeAndBadFilesChangeNothing) {
    const RkPolygonModel mesh = Cube(1.0, 9.0);
    VoxelVolume built(16, kExtent);
    built.Build(mesh, std::vector<std::int32_t>(12, 1));
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&buffer, &size);
    ASSERT_TRUE(built.SaveVoxelFile(file));
    std::fclose(file);
    const std::string text(buffer, size);
    std::free(buffer);
    // The text with the cell line of v replaced by "v <rest>".
    const auto withCellLine = [&](int v, const std::string& rest) {
        std::string changed = text;
        const std::size_t at = changed.find("\n" + std::to_string(v) + " ") + 1;
        return changed.replace(at, changed.find('\n', at) - at, std::to_string(v) + " " + rest);
    };
    const std::string afterHeader = text.substr(text.find('\n'));
    const int shellCell = CellIndex(0, 5, 5, 16), layerCell = built.layerVoxels().front().voxel;
    const struct {
        const char* rejects;
        std::string text, reason;
    } cases[] = {
        {"nothing: the file as written", text, ""},
        {"a count other than the grid's cells", "#vodelSize 512" + afterHeader, "count"},
        {"another header word", "#voxelSize 4096" + afterHeader, "header"},
        {"a file cut in its cell lines", text.substr(0, text.size() / 2), "cell line"},
        {"a file without its end line", text.substr(0, text.rfind("#end")), "#end"},
        {"a non-numeric flag", withCellLine(100, "0 x 0 -1 -1"), "cell 100"},
        {"a word of 33 characters", withCellLine(100, std::string(32, '0') + "0 0 0 -1 -1"),
         "cell 100"},
        {"a polygon beyond the int range", withCellLine(100, "0 0 0 -1 99999999999"), "cell 100"},
        {"a polygon past the mesh", withCellLine(7, "0 0 0 -1 12"), "polygon outside the mesh"},
        {"a layer cell on the outer shell", withCellLine(shellCell, "1 1 1 0 3"), "outer shell"},
        {"a layer cell without polygon", withCellLine(layerCell, "1 1 1 0 -1"),
         "without a polygon"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rejects);
        VoxelVolume volume(16, kExtent);
        volume.Build(Cube(2.0, 8.0), std::vector<std::int32_t>(12, 1));
        TestStroke stroke(1, {Vector3(2.1, 4.0, 4.0), Vector3(2.1, 4.0, 6.0)});
        volume.MarkStroke(&stroke);
        const reference::Volume before = Snapshot(volume);
        file = fmemopen(const_cast<char*>(c.text.data()), c.text.size(), "r");
        ConsoleCapture console;
        EXPECT_EQ(volume.LoadVoxelFile(file, mesh), c.reason.empty());
        std::fclose(file);
        ExpectSameVolume(Snapshot(volume), c.reason.empty() ? Snapshot(built) : before);
        if (c.reason.empty()) continue;
        ASSERT_EQ(console.Lines().size(), 1u);
        EXPECT_NE(console.Lines()[0].find(c.reason), std::string::npos) << console.Lines()[0];
    }
}

}  // namespace
}  // namespace vantrel
