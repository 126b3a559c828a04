// vantrel-grow: the start-polygon placement and the command line in-process, and
// the built program run on the demo heart for its exit statuses, its files and
// their reproducibility across processes and locales.
#include <sys/stat.h>
#include <sys/wait.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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
    const Vector3 p0(3.0, 0.0, 1.0), p1(0.0, 3.0, 1.0), p2(0.0, 0.0, 1.0);
    const Vector3 normal(0.0, 0.0, 1.0);
    const auto placed = StartPointsOnPolygon(p0, p1, p2, normal, 0.0390625);
    const Vector3 centroid = (p0 + p1 + p2) * 0.33333333333;
    const Vector3 expectedStart = centroid - normal * 0.0390625;
    Vector3 towardsFirst = p0 - centroid;
    towardsFirst.Normalize();
    Vector3 previous;
    for (int i = 0; i < 4; ++i) {
        const StartPoint& sp = placed[i];
        EXPECT_EQ(sp.position.x, expectedStart.x);
        EXPECT_EQ(sp.position.y, expectedStart.y);
        EXPECT_EQ(sp.position.z, expectedStart.z);
        const Vector3 direction = sp.directionPoint - sp.position;
        EXPECT_NEAR(direction.Length(), 0.2, 1e-12);
        EXPECT_NEAR(direction.Dot(normal), 0.0, 1e-12);  // in the polygon's plane
        if (i == 0) {
            EXPECT_NEAR(direction.Dot(towardsFirst), 0.2, 1e-12);
        } else {
            // A quarter turn counter-clockwise about the normal from the one before.
            EXPECT_NEAR(previous.Cross(direction).Dot(normal), 0.04, 1e-12);
        }
        previous = direction;
    }
}

TEST(StartPolygon, TriangleCollapsedOnItsCentroidGivesZeroDirections) {
    const Vector3 origin(0.0, 0.0, 0.0);
    const auto placed = StartPointsOnPolygon(origin, origin, origin, Vector3(0.0, 0.0, 1.0), 0.04);
    for (const StartPoint& sp : placed) {
        EXPECT_EQ(sp.position.z, -0.04);
        EXPECT_EQ((sp.directionPoint - sp.position).Length(), 0.0);
    }
}

// ---- command line

std::optional<int> Parse(std::vector<const char*> arguments, GrowOptions& options) {
    arguments.insert(arguments.begin(), "vantrel-grow");
    return ParseGrowOptions(static_cast<int>(arguments.size()), arguments.data(), options);
}

TEST(GrowOptions, ReadsEveryOptionAndKeepsStartPolygonsInOrder) {
    GrowOptions options;
    EXPECT_FALSE(Parse({"--heart", "h.obj", "--segmentation", "h.kxseg", "--scene", "s.json", "--start-polygon", "7",
                        "--start-polygon", "-3", "--start-polygon=12", "--runs", "0", "--out", "f.obj",
                        "--centrelines", "f.vtk", "--save-scene", "t.json", "--timings"},
                       options));
    EXPECT_EQ(options.heartPath, "h.obj");
    EXPECT_EQ(options.segmentationPath, "h.kxseg");
    EXPECT_EQ(options.scenePath, "s.json");
    EXPECT_EQ(options.startPolygons, (std::vector<std::string>{"7", "-3", "12"}));
    EXPECT_EQ(options.runs, 0);
    EXPECT_EQ(options.outPath, "f.obj");
    EXPECT_EQ(options.centrelinesPath, "f.vtk");
    EXPECT_EQ(options.saveScenePath, "t.json");
    EXPECT_TRUE(options.timings);
    EXPECT_FALSE(options.segmentAll);

    GrowOptions defaults;
    EXPECT_FALSE(Parse({"--heart", "h.obj", "--segment-all"}, defaults));
    EXPECT_EQ(defaults.runs, 1);
    EXPECT_TRUE(defaults.segmentAll);
    EXPECT_FALSE(defaults.timings);
}

TEST(GrowOptions, CommandLineErrorsGiveTwoAndHelpGivesZero) {
    const std::vector<std::vector<const char*>> errors = {
        {},                                                          // --heart is required
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

TEST(GrowOptions, StartPolygonIndexSaturatesBeyondLongLong) {
    EXPECT_EQ(StartPolygonIndex("0"), 0);
    EXPECT_EQ(StartPolygonIndex("8675"), 8675);
    EXPECT_EQ(StartPolygonIndex("-1"), -1);
    EXPECT_EQ(StartPolygonIndex("99999999999999999999999"), 9223372036854775807LL);
    EXPECT_LT(StartPolygonIndex("-99999999999999999999999"), 0);
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
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string WorkDir() {
    const std::string dir = ::testing::TempDir() + "grow_program_test/";
    mkdir(dir.c_str(), 0755);
    return dir;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Runs vantrel-grow with `arguments` (already quoted where needed) under the
// environment settings `environment` ("" or "LC_ALL=...").
ProgramRun RunProgram(const std::string& arguments, const std::string& environment = "") {
    // CTest runs the tests of this file in parallel processes: name the captured
    // streams after the test.
    const std::string prefix = WorkDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string outPath = prefix + ".stdout.txt";
    const std::string errPath = prefix + ".stderr.txt";
    const std::string command = "env " + environment + " " + Quoted(VANTREL_GROW_PROGRAM) + " " + arguments + " >" +
                                Quoted(outPath) + " 2>" + Quoted(errPath);
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

std::string LastLine(const std::string& text) {
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
    const std::size_t start = trimmed.find_last_of('\n');
    return start == std::string::npos ? trimmed : trimmed.substr(start + 1);
}

const std::string kHeart = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
const std::string kSegmentation = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";

// The first polygon of the demo segmentation whose id is (not) 0.
std::optional<int> FirstPolygon(bool segmented) {
    std::ifstream in(kSegmentation);
    std::string word;
    int count = 0;
    in >> word >> word >> word >> count;
    std::string label;
    int index = 0, id = 0;
    while (in >> label >> index >> id) {
        if ((id != 0) == segmented) return index;
    }
    return std::nullopt;
}

std::string DemoInputs() { return "--heart " + Quoted(kHeart) + " --segmentation " + Quoted(kSegmentation); }

// The number in "timing: growth 0.183 s (8740 strokes)", or -1.
long StrokesOfTimingLine(const std::string& err) {
    const std::size_t at = err.find("timing: growth ");
    if (at == std::string::npos) return -1;
    const std::size_t open = err.find('(', at);
    return open == std::string::npos ? -1 : std::strtol(err.c_str() + open + 1, nullptr, 10);
}

class GrowProgram : public ::testing::Test {
 protected:
    void SetUp() override {
        if (!FileExists(kHeart) || !FileExists(kSegmentation)) GTEST_SKIP() << "demo heart not found in data/";
        const std::optional<int> polygon = FirstPolygon(true);
        ASSERT_TRUE(polygon.has_value()) << "the demo segmentation marks no polygon";
        startPolygon_ = std::to_string(*polygon);
    }

    // One growth run from the first segmented polygon, written to files named
    // after `tag`.
    ProgramRun Grow(const std::string& tag, const std::string& extra = "", const std::string& environment = "") {
        return RunProgram(DemoInputs() + " --start-polygon " + startPolygon_ + " --out " + Quoted(Obj(tag)) +
                              " --centrelines " + Quoted(Vtk(tag)) + " " + extra,
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
    // The statistics, then the four timing lines.
    EXPECT_NE(run.err.find("mean length = "), std::string::npos);
    EXPECT_NE(run.err.find("collisionEdge "), std::string::npos);
    for (const char* line : {"timing: load ", "timing: volume ", "timing: growth ", "timing: export "}) {
        EXPECT_NE(run.err.find(line), std::string::npos) << line;
    }
    const long strokes = StrokesOfTimingLine(run.err);
    EXPECT_GE(strokes, 1000) << run.err;

    std::ifstream obj(Obj("first"));
    std::string line;
    long vertices = 0;
    while (std::getline(obj, line)) {
        if (line.rfind("v ", 0) != 0) continue;
        double x = -1, y = -1, z = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "v %lf %lf %lf", &x, &y, &z), 3) << line;
        EXPECT_TRUE(x >= 0.0 && x <= 10.0 && y >= 0.0 && y <= 10.0 && z >= 0.0 && z <= 10.0) << line;
        ++vertices;
    }
    // Four tube vertices per path point of every stroke, at least two points each.
    EXPECT_GE(vertices, 8 * strokes);
    const std::string vtk = ReadFile(Vtk("first"));
    EXPECT_NE(vtk.find("LINES " + std::to_string(strokes) + " "), std::string::npos);
}

TEST_F(GrowProgram, SeparateProcessesWriteIdenticalFiles) {
    const ProgramRun a = Grow("same_a");
    const ProgramRun b = Grow("same_b");
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_NE(Statistics(a.err), "");
    EXPECT_EQ(Statistics(a.err), Statistics(b.err));
    const std::string objA = ReadFile(Obj("same_a"));
    EXPECT_FALSE(objA.empty());
    EXPECT_TRUE(objA == ReadFile(Obj("same_b")));
    EXPECT_TRUE(ReadFile(Vtk("same_a")) == ReadFile(Vtk("same_b")));
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
    // Console numbers keep their decimal point too.
    EXPECT_NE(Statistics(inC.err), "");
    EXPECT_EQ(Statistics(inGerman.err), Statistics(inC.err));
    EXPECT_TRUE(ReadFile(Obj("locale_de")) == ReadFile(Obj("locale_c")));
    EXPECT_TRUE(ReadFile(Vtk("locale_de")) == ReadFile(Vtk("locale_c")));
}

TEST_F(GrowProgram, SecondRunInOneProcessCarriesTheRandomSequenceOn) {
    const ProgramRun once = Grow("once");
    const ProgramRun twice = Grow("twice", "--runs 2");
    ASSERT_EQ(once.status, 0) << once.err;
    ASSERT_EQ(twice.status, 0) << twice.err;
    // Two runs, two sets of statistics; the files hold the second, which differs.
    std::size_t statistics = 0;
    for (std::size_t at = twice.err.find("mean length"); at != std::string::npos;
         at = twice.err.find("mean length", at + 1)) {
        ++statistics;
    }
    EXPECT_EQ(statistics, 2u);
    EXPECT_FALSE(ReadFile(Obj("once")) == ReadFile(Obj("twice")));
}

TEST_F(GrowProgram, SavedSceneGrowsTheSameFibres) {
    const std::string scene = WorkDir() + "saved_scene.json";
    const ProgramRun original = Grow("scene_original", "--save-scene " + Quoted(scene));
    ASSERT_EQ(original.status, 0) << original.err;
    const ProgramRun replay =
        RunProgram(DemoInputs() + " --scene " + Quoted(scene) + " --out " + Quoted(Obj("scene_replay")));
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_TRUE(ReadFile(Obj("scene_original")) == ReadFile(Obj("scene_replay")));
}

TEST_F(GrowProgram, RunsZeroOnlyChecksTheInputs) {
    const std::string out = Obj("runs_zero");
    const std::string scene = WorkDir() + "runs_zero.json";
    std::remove(out.c_str());
    std::remove(scene.c_str());
    const ProgramRun run = RunProgram(DemoInputs() + " --start-polygon " + startPolygon_ + " --runs 0 --timings --out " +
                               Quoted(out) + " --save-scene " + Quoted(scene));
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
    std::ofstream(wrongCount) << "segmentationdata\npolygon number 3\nid: 0 1\nid: 1 1\nid: 2 1\nend\n";
    const std::string badScene = dir + "bad_scene.json";
    std::ofstream(badScene) << R"({"version": 1, "rule2": {"laterals": [{}, {"width": -1}]}})";
    const std::optional<int> unsegmented = FirstPolygon(false);

    struct Case {
        std::string arguments;
        std::string messagePart;
    };
    std::vector<Case> cases = {
        {"--heart " + Quoted(dir + "missing.obj"), "cannot load heart mesh"},
        {"--heart " + Quoted(empty), "cannot load heart mesh"},
        {"--heart " + Quoted(kSegmentation), "cannot load heart mesh"},
        {"--heart " + Quoted(kHeart) + " --segmentation " + Quoted(wrongCount), "segmentation file"},
        {"--heart " + Quoted(kHeart) + " --segmentation " + Quoted(dir + "missing.kxseg"), "segmentation file"},
        {DemoInputs() + " --scene " + Quoted(badScene), "rule2.laterals[1].width"},
        {DemoInputs() + " --scene " + Quoted(dir + "missing.json"), "scene file"},
        {DemoInputs() + " --start-polygon " + startPolygon_ + " --start-polygon 99999999", "out of range"},
        {DemoInputs() + " --start-polygon -1", "out of range"},
        {DemoInputs() + " --start-polygon 99999999999999999999999", "out of range"},
        {DemoInputs() + " --start-polygon " + startPolygon_ + " --out /nonexistent-folder/f.obj", "f.obj"},
        {DemoInputs() + " --start-polygon " + startPolygon_ + " --centrelines /nonexistent-folder/f.vtk", "f.vtk"},
        {DemoInputs() + " --save-scene /nonexistent-folder/s.json", "s.json"},
    };
    if (unsegmented) {
        cases.push_back({DemoInputs() + " --start-polygon " + std::to_string(*unsegmented), "not segmented"});
    }
    for (const Case& c : cases) {
        const ProgramRun run = RunProgram(c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments << "\n" << run.err;
        EXPECT_EQ(run.out, "");
        const std::string last = LastLine(run.err);
        EXPECT_EQ(last.rfind("vantrel-grow: ", 0), 0u) << c.arguments << "\n" << run.err;
        EXPECT_NE(last.find(c.messagePart), std::string::npos) << c.arguments << "\n" << run.err;
    }

    // Every polygon marked segmented: the same polygon is now a valid start.
    if (unsegmented) {
        const ProgramRun run =
            RunProgram("--heart " + Quoted(kHeart) + " --segment-all --runs 0 --start-polygon " +
                       std::to_string(*unsegmented));
        EXPECT_EQ(run.status, 0) << run.err;
    }
}

TEST(GrowProgramCommandLine, UsageErrorsExitWithTwoHelpWithZero) {
    const ProgramRun none = RunProgram("");
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err.rfind("vantrel-grow: ", 0), 0u) << none.err;
    EXPECT_EQ(none.err.find('\n'), none.err.size() - 1) << "one line: " << none.err;

    EXPECT_EQ(RunProgram("--heart h.obj --runs many").status, 2);
    EXPECT_EQ(RunProgram("--heart h.obj --segmentation s.kxseg --segment-all").status, 2);

    const ProgramRun help = RunProgram("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, "") << "help goes to standard error too";
    EXPECT_NE(help.err.find("--start-polygon"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
