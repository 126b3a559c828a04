// Centreline export: the exact layout of an empty file, a write that fails at the
// flush, and a hand-made network read back with VTK's own reader: every point exactly,
// and every ring radius the one the tube was really built with.
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
    stroke->tube.BuildTube(stroke->path, r0, r1, 4, Vector3(0, 1, 0));
    return stroke;
}

// Exports `core` to the temporary file `name` and gives back the file's path.
std::string Export(const FiberCore& core, const std::string& name) {
    const std::string path = ::testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(file != nullptr && ExportCentrelinesVtk(core, file));
    if (file != nullptr) std::fclose(file);
    return path;
}

TEST(CentrelineExport, EmptyNetworkWritesZeroPointsAndNoData) {
    FiberCore core;
    core.fibers.resize(1);  // a fibre without strokes writes nothing either
    std::ostringstream text;
    text << std::ifstream(Export(core, "centreline_export_empty.vtk"), std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(),
              "# vtk DataFile Version 3.0\nVantrel fibre centrelines\nASCII\nDATASET POLYDATA\n"
              "POINTS 0 double\nLINES 0 0\n");
}

// A write that fails only when the buffer is flushed (a full disc) is reported.
TEST(CentrelineExport, ReportsAFileThatCannotBeWritten) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full == nullptr) GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(ExportCentrelinesVtk(FiberCore(), full));
    std::fclose(full);
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Written under a comma locale where one is installed: numbers never follow it.
TEST(CentrelineExport, VtkReaderReadsBackEveryValueExactly) {
    if (!VtkPythonAvailable()) GTEST_SKIP() << "python3 with the vtk module is not installed";
    // Two fibres: the first with a three-point and a two-point stroke, the second with
    // a stroke without points (not exported), a junction stroke whose radius falls
    // under the tube's floor, a one-point stroke and a front stroke (not exported).
    FiberCore core;
    core.fibers.resize(2);
    std::vector<std::unique_ptr<Stroke>>& first = core.fibers[0].strokes;
    std::vector<std::unique_ptr<Stroke>>& second = core.fibers[1].strokes;
    first.push_back(MakeStroke({Vector3(1.0, 2.0, 3.0), Vector3(0.1 + 0.2, 1.0 / 3.0, 2.0 / 3.0),
                                Vector3(1.5, 2.5, 9.999999999999998)},
                               0.03, 0.0285, 0, false, false));
    first.push_back(MakeStroke({Vector3(1.5, 2.5, 3.5), Vector3(1.75, 2.25, 3.5)}, 0.0285, 0.02793,
                               1, true, false));
    second.push_back(MakeStroke({}, 0.03, 0.03, 7, false, false));
    second.push_back(MakeStroke({Vector3(5, 5, 5), Vector3(5.1, 5, 5), Vector3(5.2, 5.05, 5),
                                 Vector3(5.3, 5.1, 5), Vector3(5.4, 5.1, 5.05)},
                                0.006, 0.004, 51, false, true));
    second.push_back(MakeStroke({Vector3(7, 7, 7)}, 0.02, 0.01, 3, false, false));
    core.fibers[1].apexes.push_back(
        MakeStroke({Vector3(6, 6, 6), Vector3(6.1, 6, 6)}, 0.02, 0.02, 2, false, false));

    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    const std::string path = Export(core, "centreline_export_readback.vtk");
    std::setlocale(LC_NUMERIC, previous.c_str());
    const std::vector<std::string> lines = ReadWithVtk(path);
    std::size_t at = 0;
    auto next = [&]() { return at < lines.size() ? lines[at++] : std::string("<end of output>"); };

    const Stroke* exported[] = {first[0].get(), first[1].get(), second[1].get(), second[2].get()};
    ASSERT_EQ(next(), "points 11");
    for (const Stroke* stroke : exported) {
        for (const Vector3& p : stroke->path.points) {
            const std::string line = next();
            double x, y, z;
            ASSERT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf", &x, &y, &z), 3) << line;
            EXPECT_TRUE(SameBits(x, p.x) && SameBits(y, p.y) && SameBits(z, p.z)) << line;
        }
    }
    for (const char* expected :
         {"lines 4", "0 1 2", "3 4", "5 6 7 8 9", "10", "point radius double 11"})
        ASSERT_EQ(next(), expected);
    for (const Stroke* stroke : exported) {
        for (int i = 0; i < stroke->tube.rows; ++i) {
            const double built = (stroke->tube.Vertex(i, 0) - stroke->path.points[i]).Length();
            EXPECT_NEAR(std::strtod(next().c_str(), nullptr), built, 1e-15) << "ring " << i;
        }
    }
    auto expectCellArray = [&](const char* name, std::vector<int> values) {
        ASSERT_EQ(next(), std::string("cell ") + name + " int 4");
        for (int value : values) EXPECT_EQ(next(), std::to_string(value)) << name;
    };
    expectCellArray("fiber", {0, 0, 1, 1});
    expectCellArray("branchDepth", {0, 1, 51, 3});
    expectCellArray("blocked", {0, 1, 0, 0});
    expectCellArray("junction", {0, 0, 1, 0});
    EXPECT_EQ(at, lines.size()) << "more arrays than written";
}

}  // namespace
}  // namespace vantrel
