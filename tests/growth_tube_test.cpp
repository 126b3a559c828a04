#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "growth/FiberCore.h"
#include "growth/TubeMesh.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::ExportedObj;

Polyline Path(std::initializer_list<Vector3> points) {
    Polyline line;
    line.points = points;
    return line;
}

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
}

TEST(TubeMesh, SeamColumnRepeatsTheFirstAlmostExactly) {
    const Polyline path = Path({Vector3(1, 1, 1), Vector3(2, 1.5, 1)});
    TubeMesh tube;
    tube.BuildTube(path, 0.2, 0.1, 4, Vector3(1, 0.5, 0));
    for (int ring = 0; ring < 2; ++ring) {
        EXPECT_NEAR((tube.Vertex(ring, 3) - tube.Vertex(ring, 0)).Length(), 0.0, 1e-14);
        // The cross-section is a triangle: its three corners are equally far apart.
        const double side = (tube.Vertex(ring, 1) - tube.Vertex(ring, 0)).Length();
        EXPECT_NEAR((tube.Vertex(ring, 2) - tube.Vertex(ring, 1)).Length(), side, 1e-12);
    }
}

TEST(TubeMesh, RingsStandAcrossThePathWithoutTwisting) {
    // A bent path: every ring lies in the plane normal to its tangent (the sum of
    // the neighbouring segments), at its radius.
    const Polyline path = Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 1, 0), Vector3(2, 2, 1)});
    TubeMesh tube;
    tube.BuildTube(path, 0.1, 0.1, 5, Vector3(1, 0, 0));
    for (int i = 0; i < tube.rows; ++i) {
        Vector3 tangent = path.points[std::min(i + 1, tube.rows - 1)] - path.points[std::max(i - 1, 0)];
        if (i == 0) tangent = Vector3(1, 0, 0);
        tangent.Normalize();
        for (int k = 0; k < tube.columns; ++k) {
            const Vector3 spoke = tube.Vertex(i, k) - path.points[i];
            EXPECT_NEAR(spoke.Dot(tangent), 0.0, 1e-12) << i << "," << k;
        }
    }

    // On a straight path the frame is carried along unchanged: every ring is the
    // first one moved.
    const Polyline straight = Path({Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(0, 0, 2)});
    tube.BuildTube(straight, 0.1, 0.1, 4, Vector3(0, 0, 1));
    for (int k = 0; k < 4; ++k) {
        const Vector3 d = tube.Vertex(2, k) - tube.Vertex(0, k);
        EXPECT_NEAR(d.x, 0.0, 1e-15);
        EXPECT_NEAR(d.y, 0.0, 1e-15);
    }
}

TEST(TubeMesh, NormalsAreUnitAndPointOutwards) {
    const Polyline path = Path({Vector3(0, 0, 0), Vector3(0, 1, 0), Vector3(0, 2, 0)});
    TubeMesh tube;
    tube.BuildTube(path, 0.05, 0.05, 4, Vector3(0, 1, 0));
    for (int i = 0; i < tube.rows; ++i) {
        for (int k = 0; k < tube.columns; ++k) {
            const Vector3& n = tube.Normal(i, k);
            EXPECT_NEAR(n.Length(), 1.0, 1e-12);
            // Outwards: towards the vertex's side of the axis more than away from it.
            EXPECT_GT(n.Dot(tube.Vertex(i, k) - path.points[i]), 0.0) << i << "," << k;
        }
    }
}

TEST(TubeMesh, ShortPathsGiveNoNotANumber) {
    TubeMesh tube;
    tube.BuildTube(Path({Vector3(1, 1, 1)}), 0.03, 0.02, 4, Vector3());
    EXPECT_EQ(tube.rows, 1);
    for (const Vector3& v : tube.vertices) EXPECT_FALSE(std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z));
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

std::vector<std::string> Lines(const std::string& text, char kind) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == kind) lines.push_back(line);
    }
    return lines;
}

TEST(ExportFibersObj, OneStrokeWritesEightVerticesAndSixFaces) {
    FiberCore core = TwoStrokeNetwork();
    core.fibers[0].strokes.pop_back();
    const std::string text = ExportedObj(core);
    EXPECT_EQ(Lines(text, 'v').size(), 8u);
    EXPECT_EQ(Lines(text, 'f'),
              (std::vector<std::string>{"f 1 2 5", "f 5 2 6", "f 2 3 6", "f 6 3 7", "f 3 4 7", "f 7 4 8"}));
    // Vertices first, faces after, nothing else.
    std::istringstream in(text);
    std::string line;
    bool facesBegun = false;
    while (std::getline(in, line)) {
        ASSERT_TRUE(line.rfind("v ", 0) == 0 || line.rfind("f ", 0) == 0) << line;
        if (line[0] == 'f') facesBegun = true;
        EXPECT_FALSE(facesBegun && line[0] == 'v');
    }
}

TEST(ExportFibersObj, VertexLinesAreFormattedLikePrintf) {
    const FiberCore core = TwoStrokeNetwork();
    const std::vector<std::string> vertexLines = Lines(ExportedObj(core), 'v');
    ASSERT_EQ(vertexLines.size(), 16u);
    std::size_t line = 0;
    for (const auto& stroke : core.fibers[0].strokes) {
        for (const Vector3& v : stroke->tube.vertices) {
            char expected[256];
            std::snprintf(expected, sizeof expected, "v %f %f %f", v.x, v.y, v.z);
            EXPECT_EQ(vertexLines[line++], expected);
        }
    }
}

TEST(ExportFibersObj, StrokesShareOneRunningVertexNumbering) {
    const std::vector<std::string> faces = Lines(ExportedObj(TwoStrokeNetwork()), 'f');
    ASSERT_EQ(faces.size(), 12u);
    EXPECT_EQ(faces[6], "f 9 10 13");
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
