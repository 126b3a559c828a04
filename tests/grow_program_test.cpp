// vantrel-grow: the start-polygon placement and the command line's refusals
// in-process, and the built program run on the demo heart (every option) for its
// exit statuses, its files and their reproducibility across processes and locales.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/GrowJob.h"
#include "cli/GrowOptions.h"
#include "cli/StartPolygon.h"
#include "mesh_format_writers.h"
#include "simulator_file_rules.h"
#include "vtk_python_reader.h"

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
        {"--heart", "h.obj", "--seed", "-1"},
        {"--heart", "h.obj", "--seed", "4294967296"},
        {"--heart", "h.obj", "--root", "-1"},
        {"--heart", "h.obj", "--mesh-units", "km"},
        {"--heart", "h.obj", "--frame", "world"},
        {"--heart", "h.obj", "--purkinje-velocity", "0"},
        {"--heart", "h.obj", "--purkinje-velocity", "-2.5"},
        {"--heart", "h.obj", "--purkinje-velocity", "nan"},
        {"--heart", "h.obj", "--myocardial-velocity", "inf"},
        {"--heart", "h.obj", "--myocardial-velocity", "1e999"},
        {"--heart", "h.obj", "--myocardial-velocity", "0,8"},
        {"--heart", "h.obj", "--pmj-delay", "-0.5"},
        {"--heart", "h.obj", "--pmj-delay", "five"},
        {"--heart", "h.obj", "--pkje-radius", "0"},
        {"--heart", "h.obj", "--pkje-rgj", "-100"},
        {"--heart", "h.obj", "--pkje-sigma", "x"},
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

// Numbers are read with a decimal point whatever the locale; the edges of each range
// are accepted (a delay of 0, the largest seed).
TEST(GrowOptions, ConductionValuesAreReadWithoutTheLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    GrowOptions options;
    const auto status = Parse({"--heart",
                               "h.obj",
                               "--purkinje-velocity",
                               "3.5",
                               "--myocardial-velocity",
                               "6e-1",
                               "--pmj-delay",
                               "0",
                               "--seed",
                               "4294967295",
                               "--root",
                               "3",
                               "--mesh-units",
                               "cm",
                               "--frame",
                               "heart",
                               "--pkje-radius",
                               "12.5",
                               "--pkje-rgj",
                               "200",
                               "--pkje-sigma",
                               "0.002"},
                              options);
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_EQ(status, std::nullopt);
    EXPECT_EQ(options.purkinjeVelocity, 3.5);
    EXPECT_EQ(options.myocardialVelocity, 0.6);
    EXPECT_EQ(options.pmjDelay, 0.0);
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_EQ(options.root, 3);
    EXPECT_EQ(options.meshUnits, std::optional<std::string>("cm"));
    EXPECT_TRUE(options.heartFrame);
    EXPECT_EQ(options.pkje.radius, 12.5);
    EXPECT_EQ(options.pkje.gapResistance, 200.0);
    EXPECT_EQ(options.pkje.sigmaI, 0.002);
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

// One folder per test process: other processes (parallel tests, other build trees) may
// run the same test at the same time.
std::string WorkDir() {
    const std::string dir =
        ::testing::TempDir() + "grow_program_test-" + std::to_string(getpid()) + "/";
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

// The numbers of a legacy VTK section such as "POINTS N double": the N triplets.
std::vector<simulator_files::Point> VtkPoints(const std::string& text) {
    std::istringstream in(text.substr(text.find("POINTS ")));
    std::string word, type;
    std::size_t count = 0;
    in >> word >> count >> type;
    std::vector<simulator_files::Point> points(count);
    for (auto& p : points) in >> p[0] >> p[1] >> p[2];
    return points;
}

// The command of the README's worked example: every conduction file, each read the
// way its consumer reads it, all telling the same story as the summary.
TEST_F(GrowProgram, ConductionFilesAreWrittenAndReadByTheirConsumers) {
    const std::string dir = WorkDir() + "conduction_";
    const ProgramRun run = RunProgram(
        DemoInputs() + " --start-polygon " + startPolygon_ + " --network " + Quoted(dir + "n.vtk") +
        " --pmj " + Quoted(dir + "p.csv") + " --endocardium " + Quoted(dir + "e.vtk") +
        " --opencarp " + Quoted(dir + "n.pkje") + " --monoalg3d " + Quoted(dir + "m.vtk") +
        " --monoalg3d-pmj " + Quoted(dir + "mp.vtk") + " --summary " + Quoted(dir + "s.json"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("monoalg3d: root 0 "), std::string::npos) << run.err;
    const auto summary = nlohmann::json::parse(ReadFile(dir + "s.json"));
    const int nodes = summary["network"]["nodes"];
    EXPECT_GT(nodes, 1000);
    EXPECT_EQ(summary["unit"], "mm");
    EXPECT_GT(summary["pmjs"]["reached"].get<int>(), 0);
    EXPECT_LE(summary["pmjs"]["activation"]["max"].get<double>(),
              summary["endocardium"]["total"].get<double>());

    // Every node in the heart file's own box (millimetres), not the normalised one.
    const auto low = summary["heart"]["extentMin"], high = summary["heart"]["extentMax"];
    const std::string network = ReadFile(dir + "n.vtk");
    const auto points = VtkPoints(network);
    EXPECT_EQ(static_cast<int>(points.size()), nodes);
    for (const auto& p : points) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_GE(p[k], low[k].get<double>() - 1.0);
            ASSERT_LE(p[k], high[k].get<double>() + 1.0);
        }
    }

    std::vector<simulator_files::PkjeCable> cables;
    ASSERT_EQ(simulator_files::ReadPkje(ReadFile(dir + "n.pkje"), cables), "");
    EXPECT_EQ(simulator_files::CheckPkjeStructure(cables), "");
    simulator_files::MonoAlg3dNetwork tree;
    ASSERT_EQ(simulator_files::ReadMonoAlg3d(ReadFile(dir + "m.vtk"), tree), "");
    EXPECT_EQ(simulator_files::CheckMonoAlg3dRules(tree), "");
    // One header line and one line per junction.
    const std::string pmj = ReadFile(dir + "p.csv");
    EXPECT_EQ(std::count(pmj.begin(), pmj.end(), '\n'), 1 + summary["pmjs"]["count"].get<long>());

    if (!VtkPythonAvailable()) GTEST_SKIP() << "python3 with the vtk module is not installed";
    const std::vector<std::string> networkRead = ReadWithVtk(dir + "n.vtk");
    const std::vector<std::string> endocardiumRead = ReadWithVtk(dir + "e.vtk");
    ASSERT_FALSE(networkRead.empty());
    ASSERT_FALSE(endocardiumRead.empty());
    EXPECT_EQ(networkRead[0], "points " + std::to_string(nodes));
    EXPECT_EQ(endocardiumRead[0],
              "points " + std::to_string(summary["heart"]["vertices"].get<int>()));
    EXPECT_FALSE(ReadWithVtk(dir + "mp.vtk").empty());
}

// The options reach the run: in centimetres at twice the velocity every time is five
// times the default's; a root that does not exist writes no file at all.
TEST_F(GrowProgram, PhysiologyOptionsScaleTheTimesAndABadRootWritesNothing) {
    const std::string dir = WorkDir() + "physiology_";
    const ProgramRun base = RunProgram(DemoInputs() + " --start-polygon " + startPolygon_ +
                                       " --summary " + Quoted(dir + "mm.json"));
    const ProgramRun scaled =
        RunProgram(DemoInputs() + " --start-polygon " + startPolygon_ +
                   " --mesh-units cm --purkinje-velocity 5 --summary " + Quoted(dir + "cm.json"));
    ASSERT_EQ(base.status, 0) << base.err;
    ASSERT_EQ(scaled.status, 0) << scaled.err;
    const auto mm = nlohmann::json::parse(ReadFile(dir + "mm.json"));
    const auto cm = nlohmann::json::parse(ReadFile(dir + "cm.json"));
    EXPECT_EQ(cm["unit"], "cm");
    for (const char* key : {"min", "median", "max"}) {
        EXPECT_NEAR(cm["pmjs"]["activation"][key].get<double>(),
                    5 * mm["pmjs"]["activation"][key].get<double>(), 1e-9)
            << key;
    }

    const std::string network = dir + "bad_root.vtk";
    std::remove(network.c_str());
    const ProgramRun badRoot =
        RunProgram(DemoInputs() + " --start-polygon " + startPolygon_ + " --root 4 --network " +
                   Quoted(network) + " --monoalg3d " + Quoted(dir + "bad_root_m.vtk"));
    EXPECT_EQ(badRoot.status, 1);
    EXPECT_NE(LastLine(badRoot.err).find("--root: root 4 does not exist"), std::string::npos)
        << badRoot.err;
    EXPECT_FALSE(FileExists(network));
}

// The scene's physiology and blocks reach the run; the command line overrides the
// scene; --save-scene keeps them; a block beyond the strokes grown is refused by path.
TEST_F(GrowProgram, SceneGivesPhysiologyAndBlocksTheCommandLineOverrides) {
    const std::string dir = WorkDir() + "scene_physiology_";
    std::ofstream(dir + "in.json") << R"({"version": 1, "physiology": {"purkinjeVelocity": 5,
        "pmjDelay": 0, "rootDelays": {"startPoints": [0, 0, 0, 2]}}, "blockedStrokes": [0, 3]})";
    const ProgramRun run =
        RunProgram(DemoInputs() + " --scene " + Quoted(dir + "in.json") + " --start-polygon " +
                   startPolygon_ + " --purkinje-velocity 2.5 --save-scene " +
                   Quoted(dir + "saved.json") + " --summary " + Quoted(dir + "s.json"));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto summary = nlohmann::json::parse(ReadFile(dir + "s.json"));
    EXPECT_EQ(summary["physiology"]["purkinjeVelocity"], 2.5);
    EXPECT_EQ(summary["physiology"]["pmjDelay"], 0.0);
    EXPECT_EQ(summary["physiology"]["rootDelays"], nlohmann::json::parse("[0, 0, 0, 2]"));
    EXPECT_EQ(summary["network"]["blockedStrokes"], 2);
    const auto saved = nlohmann::json::parse(ReadFile(dir + "saved.json"));
    EXPECT_EQ(saved["physiology"]["purkinjeVelocity"], 2.5);
    EXPECT_EQ(saved["blockedStrokes"], nlohmann::json::parse("[0, 3]"));

    std::ofstream(dir + "too_far.json") << R"({"version": 1, "blockedStrokes": [1, 99999999]})";
    const ProgramRun tooFar =
        RunProgram(DemoInputs() + " --scene " + Quoted(dir + "too_far.json") + " --start-polygon " +
                   startPolygon_ + " --out " + Quoted(dir + "f.obj"));
    EXPECT_EQ(tooFar.status, 1);
    EXPECT_NE(LastLine(tooFar.err).find("blockedStrokes[1]"), std::string::npos) << tooFar.err;
}

// --frame heart writes the designed files in the heart file's coordinates: the same
// points, mapped by one translation and one scale, inside the heart file's box.
TEST_F(GrowProgram, HeartFrameMapsTheCentrelinesByOneScaleAndTranslation) {
    const ProgramRun model = Grow("frame_model");
    const ProgramRun heart =
        Grow("frame_heart", "--frame heart --summary " + Quoted(WorkDir() + "frame.json"));
    ASSERT_EQ(model.status, 0) << model.err;
    ASSERT_EQ(heart.status, 0) << heart.err;
    const auto p = VtkPoints(ReadFile(Vtk("frame_model")));
    const auto q = VtkPoints(ReadFile(Vtk("frame_heart")));
    ASSERT_EQ(p.size(), q.size());
    ASSERT_GT(p.size(), 2u);
    const double scale =
        simulator_files::Distance(q[0], q[1]) / simulator_files::Distance(p[0], p[1]);
    const auto summary = nlohmann::json::parse(ReadFile(WorkDir() + "frame.json"));
    const auto low = summary["heart"]["extentMin"], high = summary["heart"]["extentMax"];
    for (std::size_t i = 0; i < p.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            ASSERT_NEAR(q[i][k] - q[0][k], (p[i][k] - p[0][k]) * scale, 1e-9) << i;
            ASSERT_GE(q[i][k], low[k].get<double>() - 1.0);
            ASSERT_LE(q[i][k], high[k].get<double>() + 1.0);
        }
    }
    EXPECT_GT(scale, 1.0) << "the demo heart is larger than the normalised box";
}

TEST_F(GrowProgram, SeedOneIsTheDefaultAnotherSeedGrowsAnotherNetwork) {
    const ProgramRun byDefault = Grow("seed_default");
    const ProgramRun one = Grow("seed_one", "--seed 1");
    const ProgramRun seven = Grow("seed_seven", "--seed 7");
    for (const ProgramRun* run : {&byDefault, &one, &seven}) ASSERT_EQ(run->status, 0) << run->err;
    const std::string obj = ReadFile(Obj("seed_default"));
    EXPECT_TRUE(obj == ReadFile(Obj("seed_one")));
    EXPECT_FALSE(obj == ReadFile(Obj("seed_seven")));
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
    const std::string badPhysiology = dir + "bad_physiology.json";
    std::ofstream(badPhysiology) << R"({"version": 1, "physiology": {"rootDelays":
        {"startPoints": [-5]}}})";
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
        {DemoInputs() + " --scene " + Quoted(badPhysiology),
         "physiology.rootDelays.startPoints[0]"},
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

// A heart given as STL, PLY, OFF or VTK grows the very fibres its OBJ twin grows,
// and the open LV grows with its valves capped.
TEST(GrowProgramMeshFormats, EveryFormatGrowsTheObjTwinsFibresAndCapHolesClosesTheOpenLv) {
    const std::string objPath =
        std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_capped.obj";
    const std::string openPath =
        std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_open.obj";
    if (!FileExists(objPath) || !FileExists(openPath)) GTEST_SKIP() << "shared LV meshes not found";
    RkPolygonModel model;
    ASSERT_TRUE(model.Load(objPath));
    auto grow = [](const std::string& heart, const std::string& tag, const std::string& extra) {
        const std::string out = WorkDir() + "formats-" + tag + ".obj";
        const ProgramRun run =
            RunProgram("--heart " + Quoted(heart) + " --segment-all --start-polygon 0 --out " +
                       Quoted(out) + " " + extra);
        EXPECT_EQ(run.status, 0) << tag << ": " << run.err;
        return std::make_pair(run, ReadFile(out));
    };
    const std::string reference = grow(objPath, "obj", "").second;
    ASSERT_GT(reference.size(), 1000u);
    namespace fw = formatwriters;
    const std::pair<const char*, std::string> twins[] = {
        {"lv.stl", fw::BinaryStl(model)},
        {"lv.ply", fw::Ply(model, fw::PlyEncoding::kLittle)},
        {"lv.off", fw::Off(model)},
        {"lv.vtk", fw::Vtk(model, true, false)},
    };
    for (const auto& [name, bytes] : twins) {
        const std::string path = WorkDir() + name;
        std::ofstream(path, std::ios::binary) << bytes;
        EXPECT_TRUE(grow(path, name, "").second == reference) << name;
    }
    const auto [run, capped] = grow(openPath, "capped", "--cap-holes");
    EXPECT_NE(run.err.find("2 open boundary loops capped with 72 triangles"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("unreliable"), std::string::npos) << run.err;
    EXPECT_GT(capped.size(), 1000u);
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
