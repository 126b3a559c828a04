// The conduction layer on the real heart meshes beside the project (millimetres),
// grown as vantrel-grow grows them with every polygon segmented: the network lies
// on the heart file's own surface, in its own coordinates, and the map covers it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>

#include "cli/GrowJob.h"
#include "conduction/ConductionRun.h"
#include "conduction/NearestPointGrid.h"

namespace vantrel {
namespace {

// Distance from p to the triangle (a, b, c): to its plane where the foot falls inside,
// otherwise to the nearest of its edges.
double DistanceToTriangle(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c) {
    auto toSegment = [&](const Vector3& s, const Vector3& t) {
        const double f = std::clamp((p - s).Dot(t - s) / (t - s).LengthSquared(), 0.0, 1.0);
        return (p - (s + (t - s) * f)).Length();
    };
    const Vector3 n = (b - a).Cross(c - a);
    const Vector3 foot = p - n * ((p - a).Dot(n) / n.LengthSquared());
    if ((b - a).Cross(foot - a).Dot(n) >= 0 && (c - b).Cross(foot - b).Dot(n) >= 0 &&
        (a - c).Cross(foot - c).Dot(n) >= 0)
        return (p - foot).Length();
    return std::min({toSegment(a, b), toSegment(b, c), toSegment(c, a)});
}

double DistanceToSurface(const RkPolygonModel& mesh, const Vector3& p) {
    double best = INFINITY;
    for (const MeshPolygon& polygon : mesh.polygons) {
        auto corner = [&](int k) {
            return mesh.vertices[static_cast<std::size_t>(polygon.vertex[k])].position;
        };
        best = std::min(best, DistanceToTriangle(p, corner(0), corner(1), corner(2)));
    }
    return best;
}

struct RealMesh {
    const char* file;
    // How far (in voxel diagonals) the network may lie from the file's own surface.
    double diagonals;
};

class RealHeart : public ::testing::TestWithParam<RealMesh> {};

TEST_P(RealHeart, NetworkLiesWithinItsVoxelDiagonalsOfTheFilesOwnSurface) {
    const std::string path = std::string(VANTREL_SHARED_DATA_DIR) + "/" + GetParam().file;
    if (!std::ifstream(path)) GTEST_SKIP() << path << " not found";
    auto session = std::make_unique<GrowSession>();
    GrowOptions options;
    options.heartPath = path;
    options.segmentAll = true;
    options.startPolygons = {"0"};
    std::string error;
    ASSERT_TRUE(LoadHeartStep(options, *session, error)) << error;
    BuildVolumeStep(*session);
    ASSERT_TRUE(AddStartPolygonsStep(options, *session, error)) << error;
    ASSERT_TRUE(GrowStep(1, *session, error)) << error;
    const HeartModel& heart = session->heart;
    const ConductionResult result = RunConduction(session->core, heart, PhysiologySettings());

    const RkPolygonModel& file = heart.fileMesh;
    ASSERT_GT(result.graph.nodes.size(), 1000u);
    // The voxel's diagonal in millimetres: 10/128 model units, scale model units per mm.
    const double limit =
        GetParam().diagonals * std::sqrt(3.0) * (10.0 / 128) / heart.normalisation.scale;
    std::vector<Vector3> fileVertices;
    for (const MeshVertex& vertex : file.vertices) fileVertices.push_back(vertex.position);
    const NearestPointGrid grid(fileVertices);
    for (const Vector3& node : result.graph.nodes) {
        double distance = 0.0;
        grid.Nearest(node, distance);
        // A file vertex near enough settles it; otherwise every triangle is asked.
        if (distance > limit) distance = DistanceToSurface(file, node);
        ASSERT_LE(distance, limit) << node.x << " " << node.y << " " << node.z;
    }

    // Every junction is reached; from them every file vertex, all of them segmented, is
    // reached over the closed (or opened) surface.
    ASSERT_GT(result.junctions.size(), 10u);
    for (const PurkinjeMuscleJunction& junction : result.junctions)
        EXPECT_TRUE(std::isfinite(junction.activation));
    const EndocardialMap& map = result.endocardium;
    EXPECT_EQ(map.segmented, std::vector<bool>(file.vertices.size(), true));
    EXPECT_TRUE(std::isfinite(map.total));
}

// The fibres grow half a voxel under the refined mesh, whose smoothing rounds the
// file's sharp rims off: at the capped valve openings of the left ventricle it pulls
// the surface in by up to 1.8 diagonals, so a few nodes there lie just beyond two
// diagonals of the file's own surface (2.08 at most) while 0.3 from the refined one.
INSTANTIATE_TEST_SUITE_P(Meshes, RealHeart,
                         ::testing::Values(RealMesh{"bivme_p1_lv_endo_capped.obj", 2.25},
                                           RealMesh{"bivme_p1_lv_endo_open.obj", 2.0},
                                           RealMesh{"bivme_p1_rv_endo_capped.obj", 2.0}),
                         [](const ::testing::TestParamInfo<RealMesh>& info) {
                             const std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace vantrel
