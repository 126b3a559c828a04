// Centreline export: the exact layout of an empty file, the ring radius against
// the tube builder, and a hand-made network read back with VTK's own reader.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "growth/CentrelineExport.h"
#include "growth/FiberCore.h"
#include "vtk_python_reader.h"

namespace vantrel {
namespace {

std::unique_ptr<Stroke> MakeStroke(std::vector<Vector3> points, double r0, double r1, int depth,
                                   bool blocked, bool collided) {
    auto stroke = std::make_unique<Stroke>();
    stroke->path.points = std::move(points);
    stroke->startRadius = r0;
    stroke->endRadius = r1;
    stroke->branchDepth = depth;
    stroke->blocked = blocked;
    stroke->collided = collided;
    if (!stroke->path.points.empty())
        stroke->tube.BuildTube(stroke->path, r0, r1, 4, Vector3(0, 1, 0));
    return stroke;
}

// Two fibres: the first with a three-point and a two-point stroke, the second with
// a stroke without points (no tube, not exported), a five-point junction stroke
// whose radius falls under the floor, and one front stroke (not exported).
void BuildNetwork(FiberCore& core) {
    core.fibers.resize(2);
    core.fibers[0].strokes.push_back(
        MakeStroke({Vector3(1.0, 2.0, 3.0), Vector3(0.1 + 0.2, 1.0 / 3.0, 2.0 / 3.0),
                    Vector3(1.5, 2.5, 9.999999999999998)},
                   0.03, 0.0285, 0, false, false));
    core.fibers[0].strokes.push_back(MakeStroke({Vector3(1.5, 2.5, 3.5), Vector3(1.75, 2.25, 3.5)},
                                                0.0285, 0.02793, 1, true, false));
    core.fibers[1].strokes.push_back(MakeStroke({}, 0.03, 0.03, 7, false, false));
    core.fibers[1].strokes.push_back(
        MakeStroke({Vector3(5, 5, 5), Vector3(5.1, 5, 5), Vector3(5.2, 5.05, 5),
                    Vector3(5.3, 5.1, 5), Vector3(5.4, 5.1, 5.05)},
                   0.006, 0.004, 51, false, true));
    core.fibers[1].apexes.push_back(
        MakeStroke({Vector3(6, 6, 6), Vector3(6.1, 6, 6)}, 0.02, 0.02, 2, false, false));
}

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + name;
}

// Exports `core` to the temporary file `name` and gives back the file's text.
std::string Export(const FiberCore& core, const std::string& name) {
    std::FILE* file = std::fopen(TempPath(name).c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return std::string();
    EXPECT_TRUE(ExportCentrelinesVtk(core, file));
    std::fclose(file);
    std::ifstream in(TempPath(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CentrelineExport, EmptyNetworkWritesZeroPointsAndNoData) {
    FiberCore core;
    core.fibers.resize(1);  // a fibre without strokes writes nothing either
    EXPECT_EQ(Export(core, "centreline_export_empty.vtk"),
              "# vtk DataFile Version 3.0\nVantrel fibre centrelines\nASCII\nDATASET POLYDATA\n"
              "POINTS 0 double\nLINES 0 0\n");
    if (!VtkPythonAvailable()) GTEST_SKIP() << "python3 with the vtk module is not installed";
    EXPECT_EQ(ReadWithVtk(TempPath("centreline_export_empty.vtk")),
              (std::vector<std::string>{"points 0", "lines 0"}));
}

// A write that fails only when the buffer is flushed (a full disc) is reported.
TEST(CentrelineExport, ReportsAFileThatCannotBeWritten) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full == nullptr) GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(ExportCentrelinesVtk(FiberCore(), full));
    std::fclose(full);
}

TEST(CentrelineExport, RingRadiusIsTheTubeBuildersRadius) {
    EXPECT_EQ(TubeRingRadius(0.02, 0.01, 0, 1), 0.02);  // one ring keeps r0
    // Every other ring: the radius the tube was really built with (the distance of a
    // ring vertex from its path point), the floor included.
    FiberCore core;
    BuildNetwork(core);
    for (const Fiber& fiber : core.fibers) {
        for (const auto& stroke : fiber.strokes) {
            const int rows = stroke->tube.rows;
            ASSERT_EQ(rows, static_cast<int>(stroke->path.points.size()));
            for (int i = 0; i < rows; ++i) {
                const double built = (stroke->tube.Vertex(i, 0) - stroke->path.points[i]).Length();
                EXPECT_NEAR(TubeRingRadius(stroke->startRadius, stroke->endRadius, i, rows), built,
                            1e-15)
                    << "ring " << i;
            }
        }
    }
}

TEST(CentrelineExport, TextDoesNotFollowTheLocale) {
    FiberCore core;
    BuildNetwork(core);
    const std::string inC = Export(core, "centreline_export_c.vtk");
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no comma locale installed";
    }
    const std::string inComma = Export(core, "centreline_export_comma.vtk");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(inComma, inC);
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(CentrelineExport, VtkReaderReadsBackEveryValueExactly) {
    if (!VtkPythonAvailable()) GTEST_SKIP() << "python3 with the vtk module is not installed";
    FiberCore core;
    BuildNetwork(core);
    Export(core, "centreline_export_readback.vtk");

    // What should come back: the exported strokes' points and ring radii, in export order.
    std::vector<Vector3> points;
    std::vector<double> radii;
    for (const Stroke* stroke : {core.fibers[0].strokes[0].get(), core.fibers[0].strokes[1].get(),
                                 core.fibers[1].strokes[1].get()}) {
        const int rows = static_cast<int>(stroke->path.points.size());
        for (int i = 0; i < rows; ++i) {
            points.push_back(stroke->path.points[i]);
            radii.push_back(TubeRingRadius(stroke->startRadius, stroke->endRadius, i, rows));
        }
    }

    const std::vector<std::string> lines = ReadWithVtk(TempPath("centreline_export_readback.vtk"));
    std::size_t at = 0;
    auto next = [&]() { return at < lines.size() ? lines[at++] : std::string("<end of output>"); };

    ASSERT_EQ(next(), "points " + std::to_string(points.size()));
    for (const Vector3& p : points) {
        const std::string line = next();
        double x, y, z;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf", &x, &y, &z), 3) << line;
        EXPECT_TRUE(SameBits(x, p.x) && SameBits(y, p.y) && SameBits(z, p.z)) << line;
    }
    ASSERT_EQ(next(), "lines 3");
    EXPECT_EQ(next(), "0 1 2");
    EXPECT_EQ(next(), "3 4");
    EXPECT_EQ(next(), "5 6 7 8 9");

    ASSERT_EQ(next(), "point radius double " + std::to_string(points.size()));
    for (double radius : radii) EXPECT_TRUE(SameBits(std::strtod(next().c_str(), nullptr), radius));

    auto expectCellArray = [&](const char* name, std::vector<int> values) {
        ASSERT_EQ(next(), std::string("cell ") + name + " int 3");
        for (int value : values) EXPECT_EQ(next(), std::to_string(value)) << name;
    };
    expectCellArray("fiber", {0, 0, 1});
    expectCellArray("branchDepth", {0, 1, 51});
    expectCellArray("blocked", {0, 1, 0});
    expectCellArray("junction", {0, 0, 1});
    EXPECT_EQ(at, lines.size()) << "more arrays than written";
}

}  // namespace
}  // namespace vantrel
