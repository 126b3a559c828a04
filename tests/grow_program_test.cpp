// vantrel-grow: the start-polygon placement and the command line's refusals
// in-process, and the built program run on the demo heart (every option) for its
// exit statuses, its files and their reproducibility across processes and locales.
#include <sys/stat.h>
#include <sys/wait.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/GrowJob.h"
#include "cli/GrowOptions.h"
#include "cli/StartPolygon.h"

namespace vantrel {
namespace {

// ---- start points of one placement

TEST(StartPolygon, FourQuarterTurnsUnderTheCentroidPointingAtTheFirstCorner) {
    const Vector3 p0(3.0, 0.0, 1.0), p1(0.0, 3.0, 1.0), p2(0.0, 0.0, 1.0), normal(0.0, 0.0, 1.0);
    const auto placed = StartPointsOnPolygon(p0, p1, p2, normal, 0.0390625);
    const Vector3 centroid = (p0 + p1 + p2) * 0.33333333333;
    const Vector3 start = centroid - normal * 0.0390625;
    // 0.2 towards the first corner, then quarter turns counter-clockwise about the normal.
    Vector3 direction = p0 - centroid;
    direction.Normalize();
    direction = direction * 0.2;
    for (int i = 0; i < 4; ++i, direction = normal.Cross(direction)) {
        const StartPoint& sp = placed[i];
        EXPECT_TRUE(sp.position.x == start.x && sp.position.y == start.y &&
                    sp.position.z == start.z)
            << i;
        const Vector3 d = sp.directionPoint - sp.position;
        EXPECT_NEAR((d - direction).Length(), 0.0, 1e-12) << i;
    }
}

TEST(StartPolygon, TriangleCollapsedOnItsCentroidGivesZeroDirections) {
    const Vector3 origin(0.0, 0.0, 0.0);
    for (const StartPoint& sp :
         StartPointsOnPolygon(origin, origin, origin, Vector3(0.0, 0.0, 1.0), 0.04)) {
        EXPECT_EQ(sp.position.z, -0.04);
        EXPECT_EQ((sp.directionPoint - sp.position).Length(), 0.0);
    }
}

// ---- command line

std::optional<int> Parse(std::vector<const char*> arguments, GrowOptions& options) {
    arguments.insert(arguments.begin(), "vantrel-grow");
    return ParseGrowOptions(static_cast<int>(arguments.size()), arguments.data(), options);
}

TEST(GrowOptions, CommandLineErrorsGiveTwoAndHelpGivesZero) {
    const std::vector<std::vector<const char*>> errors = {
        {},                                                                  // --heart is required
        {"--heart", "h.obj", "--segmentation", "s.kxseg", "--segment-all"},  // exclusive
        {"--heart", "h.obj", "--runs", "-1"},
        {"--heart", "h.obj", "--runs", "two"},
        {"--heart", "h.obj", "--runs", "99999999999"},
        {"--heart", "h.obj", "--start-polygon", "abc"},
        {"--heart", "h.obj", "--start-polygon", "3", "5"},  // one index per option
        {"--heart", "h.obj", "--start-polygon"},
        {"--heart", "h.obj", "--colour", "red"},
    };
    for (const auto& arguments : errors) {
        GrowOptions options;
        EXPECT_EQ(Parse(arguments, options), std::optional<int>(kExitUsageError))
            << (arguments.empty() ? "(none)" : arguments.back());
    }
    GrowOptions options;
    EXPECT_EQ(Parse({"--help"}, options), std::optional<int>(kExitSuccess));
}

TEST(GrowOptions, StartPolygonIndicesBeyondLongLongSaturate) {
    const long long max = std::numeric_limits<long long>::max();
    const struct {
        const char* text;
        long long index;
    } cases[] = {{"0", 0},
                 {"-7", -7},
                 {"4096", 4096},
                 {"9223372036854775807", max},
                 {"9223372036854775808", max},
                 {"99999999999999999999", max},
                 {"-99999999999999999999", -max}};
    for (const auto& c : cases) EXPECT_EQ(StartPolygonIndex(c.text), c.index) << c.text;
}

// ---- the program on the demo heart

struct ProgramRun {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) {
    return std::ifstream(path).good();
}

std::string WorkDir() {
    const std::string dir = ::testing::TempDir() + "grow_program_test/";
    mkdir(dir.c_str(), 0755);
    return dir;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// Runs vantrel-grow with `arguments` (already quoted where needed) under the
// environment settings `environment` ("" or "LC_ALL=...").
ProgramRun RunProgram(const std::string& arguments, const std::string& environment = "") {
    // CTest runs the tests of this file in parallel processes: name the captured
    // streams after the test.
    const std::string prefix =
        WorkDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string outPath = prefix + ".stdout.txt";
    const std::string errPath = prefix + ".stderr.txt";
    const std::string command = "env " + environment + " " + Quoted(VANTREL_GROW_PROGRAM) + " " +
                                arguments + " >" + Quoted(outPath) + " 2>" + Quoted(errPath);
    const int raw = std::system(command.c_str());
    ProgramRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

// The growth statistics from the console text: the part that must be the same in
// every process (the loading lines carry processor times).
std::string Statistics(const std::string& text) {
    const std::size_t start = text.find("mean length = ");
    return start == std::string::npos ? std::string() : text.substr(start);
}

std::string LastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.find_last_of('\n') + 1);  // npos + 1 is 0: a single line
}

const std::string kHeart = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
const std::string kSegmentation = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";

// The first polygon of the demo segmentation whose id is (not) 0.
std::optional<int> FirstPolygon(bool segmented) {
    std::ifstream in(kSegmentation);
    std::string word;
    int index = 0, id = 0;
    in >> word >> word >> word >> word;  // "segmentationdata polygon number N"
    while (in >> word >> index >> id) {
        if ((id != 0) == segmented) return index;
    }
    return std::nullopt;
}

std::string DemoInputs() {
    return "--heart " + Quoted(kHeart) + " --segmentation " + Quoted(kSegmentation);
}

class GrowProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(kHeart) || !FileExists(kSegmentation))
            GTEST_SKIP() << "demo heart not found in data/";
        const std::optional<int> polygon = FirstPolygon(true);
        ASSERT_TRUE(polygon.has_value()) << "the demo segmentation marks no polygon";
        startPolygon_ = std::to_string(*polygon);
    }

    // One growth run from the first segmented polygon, written to files named
    // after `tag`.
    ProgramRun Grow(const std::string& tag, const std::string& extra = "",
                    const std::string& environment = "") {
        return RunProgram(DemoInputs() + " --start-polygon=" + startPolygon_ + " --out " +
                              Quoted(Obj(tag)) + " --centrelines " + Quoted(Vtk(tag)) + " " + extra,
                          environment);
    }

    static std::string Obj(const std::string& tag) { return WorkDir() + tag + ".obj"; }
    static std::string Vtk(const std::string& tag) { return WorkDir() + tag + ".vtk"; }

    std::string startPolygon_;
};

// The program loads in steps (to time the volume build and to refuse a bad
// segmentation file); the result must be what the heart model's own LoadHeart gives.
TEST_F(GrowProgram, StagedLoadEqualsTheHeartModelsLoad) {
    GrowOptions options;
    options.heartPath = kHeart;
    options.segmentationPath = kSegmentation;
    auto staged = std::make_unique<GrowSession>();
    std::string error;
    ASSERT_TRUE(LoadHeartStep(options, *staged, error)) << error;
    BuildVolumeStep(*staged);

    auto direct = std::make_unique<HeartModel>();
    ASSERT_TRUE(direct->LoadHeart(kHeart, SegmentationChoice::File(kSegmentation)));

    const HeartModel& a = staged->heart;
    const HeartModel& b = *direct;
    ASSERT_EQ(a.mesh.vertices.size(), b.mesh.vertices.size());
    ASSERT_EQ(a.mesh.polygons.size(), b.mesh.polygons.size());
    for (std::size_t i = 0; i < a.mesh.vertices.size(); ++i) {
        const Vector3& p = a.mesh.vertices[i].position;
        const Vector3& q = b.mesh.vertices[i].position;
        ASSERT_TRUE(p.x == q.x && p.y == q.y && p.z == q.z) << "vertex " << i;
    }
    EXPECT_EQ(a.regionIds, b.regionIds);
    EXPECT_EQ(a.volume.LayerVoxelCount(), b.volume.LayerVoxelCount());
    EXPECT_GT(a.volume.LayerVoxelCount(), 0);
}

TEST_F(GrowProgram, GrowsThousandsOfStrokesInsideTheHeartBox) {
    const ProgramRun run = Grow("first", "--timings");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "") << "nothing goes to standard output";
    for (const char* line : {"mean length = ", "collisionEdge ", "timing: load ", "timing: volume ",
                             "timing: growth ", "timing: export "}) {
        EXPECT_NE(run.err.find(line), std::string::npos) << line;
    }
    long strokes = -1;  // from "timing: growth 0.183 s (8740 strokes)"
    const std::size_t timing = run.err.find("timing: growth ");
    if (timing != std::string::npos)
        std::sscanf(run.err.c_str() + timing, "timing: growth %*f s (%ld", &strokes);
    EXPECT_GE(strokes, 1000) << run.err;

    std::ifstream obj(Obj("first"));
    std::string line;
    long vertices = 0;
    while (std::getline(obj, line)) {
        if (line.rfind("v ", 0) != 0) continue;
        double x = -1, y = -1, z = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "v %lf %lf %lf", &x, &y, &z), 3) << line;
        EXPECT_TRUE(x >= 0.0 && x <= 10.0 && y >= 0.0 && y <= 10.0 && z >= 0.0 && z <= 10.0)
            << line;
        ++vertices;
    }
    // Four tube vertices per path point of every stroke, at least two points each.
    EXPECT_GE(vertices, 8 * strokes);
    const std::string vtk = ReadFile(Vtk("first"));
    EXPECT_NE(vtk.find("LINES " + std::to_string(strokes) + " "), std::string::npos);
}

// Separate processes and a replay of the scene the first one saved write the same
// bytes; a second run in one process carries the random sequence on and differs.
TEST_F(GrowProgram, SeparateProcessesWriteIdenticalFilesASecondRunInOneDiffers) {
    const std::string scene = WorkDir() + "saved_scene.json";
    const ProgramRun a = Grow("same_a", "--save-scene " + Quoted(scene));
    const ProgramRun b = Grow("same_b");
    const ProgramRun replay =
        RunProgram(DemoInputs() + " --scene " + Quoted(scene) + " --out " + Quoted(Obj("replay")));
    const ProgramRun twice = Grow("twice", "--runs 2");
    for (const ProgramRun* run : {&a, &b, &replay, &twice}) ASSERT_EQ(run->status, 0) << run->err;
    EXPECT_NE(Statistics(a.err), "");
    EXPECT_EQ(Statistics(a.err), Statistics(b.err));
    const std::string objA = ReadFile(Obj("same_a"));
    EXPECT_FALSE(objA.empty());
    EXPECT_TRUE(objA == ReadFile(Obj("same_b")));
    EXPECT_TRUE(ReadFile(Vtk("same_a")) == ReadFile(Vtk("same_b")));
    EXPECT_TRUE(objA == ReadFile(Obj("replay")));

    // Two runs, two sets of statistics; the files hold the second.
    const std::size_t first = twice.err.find("mean length");
    EXPECT_NE(twice.err.find("mean length", first + 1), std::string::npos);
    EXPECT_FALSE(objA == ReadFile(Obj("twice")));
}

TEST_F(GrowProgram, CommaLocaleWritesTheSameBytes) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool available = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    std::setlocale(LC_ALL, previous.c_str());
    if (!available) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    const ProgramRun inC = Grow("locale_c", "", "LC_ALL=C");
    const ProgramRun inGerman = Grow("locale_de", "", "LC_ALL=de_DE.UTF-8");
    ASSERT_EQ(inC.status, 0) << inC.err;
    ASSERT_EQ(inGerman.status, 0) << inGerman.err;
    EXPECT_NE(Statistics(inC.err), "");
    EXPECT_EQ(Statistics(inGerman.err),
              Statistics(inC.err));  // console numbers keep their point too
    EXPECT_TRUE(ReadFile(Obj("locale_de")) == ReadFile(Obj("locale_c")));
    EXPECT_TRUE(ReadFile(Vtk("locale_de")) == ReadFile(Vtk("locale_c")));
}

TEST_F(GrowProgram, RunsZeroOnlyChecksTheInputs) {
    const std::string out = Obj("runs_zero");
    const std::string scene = WorkDir() + "runs_zero.json";
    std::remove(out.c_str());
    std::remove(scene.c_str());
    const ProgramRun run =
        RunProgram(DemoInputs() + " --start-polygon " + startPolygon_ +
                   " --runs 0 --timings --out " + Quoted(out) + " --save-scene " + Quoted(scene));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(FileExists(out)) << "no fibre file without a run";
    EXPECT_TRUE(FileExists(scene)) << "the scene is not a fibre file";
    EXPECT_EQ(run.err.find("mean length"), std::string::npos);
    EXPECT_NE(run.err.find("timing: growth 0.000 s (0 strokes)\n"), std::string::npos) << run.err;
}

TEST_F(GrowProgram, InputAndOutputFailuresExitWithOneAndOneLine) {
    const std::string dir = WorkDir();
    const std::string empty = dir + "empty.obj";
    std::ofstream(empty) << "v 0 0 0\nv 1 0 0\n";
    const std::string wrongCount = dir + "wrong_count.kxseg";
    std::ofstream(wrongCount)
        << "segmentationdata\npolygon number 3\nid: 0 1\nid: 1 1\nid: 2 1\nend\n";
    const std::string badScene = dir + "bad_scene.json";
    std::ofstream(badScene) << R"({"version": 1, "rule2": {"laterals": [{}, {"width": -1}]}})";
    const std::optional<int> unsegmented = FirstPolygon(false);

    struct Case {
        std::string arguments, messagePart;
    };
    std::vector<Case> cases = {
        {"--heart " + Quoted(dir + "missing.obj"), "cannot load heart mesh"},
        {"--heart " + Quoted(empty), "cannot load heart mesh"},
        {"--heart " + Quoted(kSegmentation), "cannot load heart mesh"},
        {"--heart " + Quoted(kHeart) + " --segmentation " + Quoted(wrongCount),
         "segmentation file"},
        {"--heart " + Quoted(kHeart) + " --segmentation " + Quoted(dir + "missing.kxseg"),
         "segmentation file"},
        {DemoInputs() + " --scene " + Quoted(badScene), "rule2.laterals[1].width"},
        {DemoInputs() + " --scene " + Quoted(dir + "missing.json"), "scene file"},
        {DemoInputs() + " --start-polygon " + startPolygon_ + " --start-polygon 99999999",
         "out of range"},
        {DemoInputs() + " --start-polygon -1", "out of range"},
        {DemoInputs() + " --start-polygon 99999999999999999999999", "out of range"},
        {DemoInputs() + " --start-polygon -99999999999999999999999", "out of range"},
        {DemoInputs() + " --start-polygon " + startPolygon_ + " --out /nonexistent-folder/f.obj",
         "f.obj"},
        {DemoInputs() + " --start-polygon " + startPolygon_ +
             " --centrelines /nonexistent-folder/f.vtk",
         "f.vtk"},
        {DemoInputs() + " --save-scene /nonexistent-folder/s.json", "s.json"},
    };
    if (unsegmented) {
        cases.push_back(
            {DemoInputs() + " --start-polygon " + std::to_string(*unsegmented), "not segmented"});
    }
    for (const Case& c : cases) {
        const ProgramRun run = RunProgram(c.arguments);
        SCOPED_TRACE(c.arguments + "\n" + run.err);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(LastLine(run.err).rfind("vantrel-grow: ", 0), 0u);
        EXPECT_NE(LastLine(run.err).find(c.messagePart), std::string::npos);
    }
    // Every polygon marked segmented: the same polygon is now a valid start.
    if (unsegmented) {
        const std::string polygon = std::to_string(*unsegmented);
        EXPECT_EQ(RunProgram("--heart " + Quoted(kHeart) +
                             " --segment-all --runs 0 --start-polygon " + polygon)
                      .status,
                  0);
    }
}

TEST(GrowProgramCommandLine, UsageErrorsExitWithTwoHelpWithZero) {
    const ProgramRun none = RunProgram("");
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.rfind("vantrel-grow: ", 0), 0u) << none.err;
    EXPECT_EQ(none.err.find('\n'), none.err.size() - 1) << "one line: " << none.err;

    const ProgramRun help = RunProgram("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, "") << "help goes to standard error too";
    EXPECT_NE(help.err.find("--start-polygon"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
