#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "growth/FiberCore.h"
#include "growth/TubeMesh.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::ExportedObj;
using growth_test::Path;

double RingRadius(const TubeMesh& tube, const Polyline& path, int ring) {
    return (tube.Vertex(ring, 0) - path.points[ring]).Length();
}

TEST(TubeMesh, RadiusRunsQuadraticallyFromR0ToR1) {
    const Polyline path = Path({Vector3(0, 0, 0), Vector3(0, 1, 0), Vector3(0, 2, 0)});
    TubeMesh tube;
    tube.BuildTube(path, 0.03, 0.0285, 4, Vector3(0, 1, 0));
    ASSERT_EQ(tube.rows, 3);
    ASSERT_EQ(tube.columns, 4);
    EXPECT_NEAR(RingRadius(tube, path, 0), 0.03, 1e-15);
    EXPECT_NEAR(RingRadius(tube, path, 1), 0.01425, 1e-15);
    EXPECT_NEAR(RingRadius(tube, path, 2), 0.0285, 1e-15);

    // Below 0.005 the radius is raised to 0.005 (here at every ring).
    tube.BuildTube(path, 0.001, 0.001, 4, Vector3(0, 1, 0));
    for (int ring = 0; ring < 3; ++ring) EXPECT_NEAR(RingRadius(tube, path, ring), 0.005, 1e-15);

    // On a straight path the frame is carried along unchanged: every ring is the
    // first one moved.
    tube.BuildTube(Path({Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(0, 0, 2)}), 0.1, 0.1, 4,
                   Vector3(0, 0, 1));
    for (int k = 0; k < 4; ++k) {
        const Vector3 d = tube.Vertex(2, k) - tube.Vertex(0, k);
        EXPECT_NEAR(d.x, 0.0, 1e-15);
        EXPECT_NEAR(d.y, 0.0, 1e-15);
    }
}

TEST(TubeMesh, RingsStandAcrossThePathWithOutwardNormalsAndAClosedSeam) {
    // Every ring lies in the plane normal to its tangent (the sum of the
    // neighbouring segments; the given start direction at the first ring).
    const Polyline paths[] = {
        Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 1, 0), Vector3(2, 2, 1)}),
        Path({Vector3(1, 1, 1), Vector3(2, 1.5, 1)}),
    };
    for (const Polyline& path : paths) {
        const Vector3 startDirection = path.points[1] - path.points[0];
        TubeMesh tube;
        tube.BuildTube(path, 0.1, 0.1, 5, startDirection);
        for (int i = 0; i < tube.rows; ++i) {
            Vector3 tangent =
                path.points[std::min(i + 1, tube.rows - 1)] - path.points[std::max(i - 1, 0)];
            if (i == 0) tangent = startDirection;
            tangent.Normalize();
            // The last column repeats the first; the others are a regular square.
            EXPECT_NEAR((tube.Vertex(i, 4) - tube.Vertex(i, 0)).Length(), 0.0, 1e-14);
            const double side = (tube.Vertex(i, 1) - tube.Vertex(i, 0)).Length();
            for (int k = 0; k < tube.columns; ++k) {
                SCOPED_TRACE(testing::Message() << "path of " << path.points.size() << ", ring "
                                                << i << ", column " << k);
                const Vector3 spoke = tube.Vertex(i, k) - path.points[i];
                EXPECT_NEAR(spoke.Dot(tangent), 0.0, 1e-12);
                const int nextK = (k + 1) % (tube.columns - 1);
                EXPECT_NEAR((tube.Vertex(i, nextK) - tube.Vertex(i, k)).Length(), side, 1e-12);
                const Vector3& n = tube.Normal(i, k);
                EXPECT_NEAR(n.Length(), 1.0, 1e-12);
                EXPECT_GT(n.Dot(spoke), 0.0);  // outwards
            }
        }
    }
}

TEST(TubeMesh, ShortPathsGiveNoNotANumber) {
    TubeMesh tube;
    tube.BuildTube(Path({Vector3(1, 1, 1)}), 0.03, 0.02, 4, Vector3());
    EXPECT_EQ(tube.rows, 1);
    for (const Vector3& v : tube.vertices) EXPECT_FALSE(std::isnan(v.x + v.y + v.z));
    tube.BuildTube(Path({}), 0.03, 0.02, 4, Vector3());
    EXPECT_EQ(tube.rows, 0);
    EXPECT_TRUE(tube.vertices.empty());
}

// A fibre with two strokes of two points each, straight up the y axis.
FiberCore TwoStrokeNetwork() {
    FiberCore core;
    core.fibers.resize(1);
    for (int s = 0; s < 2; ++s) {
        auto stroke = std::make_unique<Stroke>();
        stroke->path = Path({Vector3(0, s, 0), Vector3(0, s + 1, 0)});
        stroke->tube.BuildTube(stroke->path, 0.03, 0.0285, 4, Vector3(0, 1, 0));
        core.fibers[0].strokes.push_back(std::move(stroke));
    }
    return core;
}

TEST(ExportFibersObj, EachStrokeWritesItsVerticesThenFacesNumberedOnFromTheLast) {
    const FiberCore core = TwoStrokeNetwork();
    std::string expected;
    const int faces[6][3] = {{1, 2, 5}, {5, 2, 6}, {2, 3, 6}, {6, 3, 7}, {3, 4, 7}, {7, 4, 8}};
    int offset = 0;
    for (const auto& stroke : core.fibers[0].strokes) {
        ASSERT_EQ(stroke->tube.vertices.size(), 8u);
        char line[256];
        for (const Vector3& v : stroke->tube.vertices) {
            std::snprintf(line, sizeof line, "v %f %f %f\n", v.x, v.y, v.z);
            expected += line;
        }
        for (const auto& f : faces) {
            std::snprintf(line, sizeof line, "f %d %d %d\n", f[0] + offset, f[1] + offset,
                          f[2] + offset);
            expected += line;
        }
        offset += 8;
    }
    EXPECT_EQ(ExportedObj(core), expected);
}

TEST(ExportFibersObj, FrontAndEmptyNetworksWriteNothing) {
    FiberCore core;
    EXPECT_TRUE(ExportedObj(core).empty());
    core = TwoStrokeNetwork();
    core.fibers[0].apexes = std::move(core.fibers[0].strokes);
    core.fibers[0].strokes.clear();
    EXPECT_TRUE(ExportedObj(core).empty());
}

TEST(ExportFibersObj, ReportsAFileThatCannotBeWritten) {
    std::FILE* readOnly = std::fopen("/dev/null", "r");
    ASSERT_NE(readOnly, nullptr);
    EXPECT_FALSE(TwoStrokeNetwork().ExportFibersObj(readOnly));
    std::fclose(readOnly);
}

}  // namespace
}  // namespace vantrel
