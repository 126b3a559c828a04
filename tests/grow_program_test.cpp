// vantrel-grow: the start-polygon placement and the command line's parsing in-process,
// and the built program run on the demo heart: its files, read the way their consumers
// read them, their reproducibility across processes, locales and replays, and its
// refusals (exit status and one line).
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/GrowOptions.h"
#include "cli/StartPolygon.h"
#include "mesh_format_writers.h"
#include "simulator_file_rules.h"

namespace vantrel {
namespace {

TEST(StartPolygon, FourQuarterTurnsUnderTheCentroidPointingAtTheFirstCorner) {
    const Vector3 p0(3.0, 0.0, 1.0), p1(0.0, 3.0, 1.0), p2(0.0, 0.0, 1.0), normal(0.0, 0.0, 1.0);
    const auto placed = StartPointsOnPolygon(p0, p1, p2, normal, 0.0390625);
    const Vector3 centroid = (p0 + p1 + p2) * 0.33333333333;
    const Vector3 start = centroid - normal * 0.0390625;
    // 0.2 towards the first corner, then quarter turns counter-clockwise about the normal.
    Vector3 direction = (p0 - centroid) * (0.2 / (p0 - centroid).Length());
    for (int i = 0; i < 4; ++i, direction = normal.Cross(direction)) {
        const StartPoint& sp = placed[i];
        EXPECT_EQ((sp.position - start).Length(), 0.0) << i;
        EXPECT_NEAR((sp.directionPoint - sp.position - direction).Length(), 0.0, 1e-12) << i;
    }
    // A triangle collapsed on its centroid gives zero directions, not NaN.
    const Vector3 origin;
    for (const StartPoint& sp : StartPointsOnPolygon(origin, origin, origin, normal, 0.04)) {
        EXPECT_EQ(sp.position.z, -0.04);
        EXPECT_EQ((sp.directionPoint - sp.position).Length(), 0.0);
    }
}

// Parses the words of `line` as vantrel-grow's arguments.
std::optional<int> Parse(const std::string& line, GrowOptions& options) {
    std::istringstream in(line);
    std::vector<std::string> words = {"vantrel-grow"};
    for (std::string word; in >> word;) words.push_back(word);
    std::vector<const char*> arguments;
    for (const std::string& word : words) arguments.push_back(word.c_str());
    return ParseGrowOptions(static_cast<int>(arguments.size()), arguments.data(), options);
}

TEST(GrowOptions, BadArgumentsAreUsageErrors) {
    // clang-format off
    const char* const errors[] = {
        "--segmentation s.kxseg --segment-all", "--runs two", "--runs 99999999999",
        "--start-polygon abc", "--start-polygon 3 5", "--start-polygon", "--colour red",
        "--seed -1", "--seed 4294967296", "--root -1", "--mesh-units km", "--frame world",
        "--purkinje-velocity 0", "--myocardial-velocity inf", "--myocardial-velocity 0,8",
        "--pmj-delay -0.5", "--pkje-radius 0", "--pkje-rgj -100", "--pkje-sigma x"};
    // clang-format on
    for (const char* error : errors) {
        GrowOptions options;
        EXPECT_EQ(Parse(std::string("--heart h.obj ") + error, options), kExitUsageError) << error;
    }
}

TEST(GrowOptions, StartPolygonIndicesBeyondLongLongSaturate) {
    const long long max = std::numeric_limits<long long>::max();
    const std::pair<const char*, long long> cases[] = {
        {"-7", -7}, {"9223372036854775808", max}, {"-99999999999999999999", -max}};
    for (const auto& [text, index] : cases) EXPECT_EQ(StartPolygonIndex(text), index) << text;
}

// Numbers are read with a decimal point whatever the locale; the edges of each range
// are accepted (a delay of 0, the largest seed).
TEST(GrowOptions, ValuesAreReadWithoutTheLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    GrowOptions options;
    const auto status = Parse(
        "--heart h.obj --purkinje-velocity 3.5 --myocardial-velocity 6e-1 --pmj-delay 0 "
        "--seed 4294967295 --root 3 --mesh-units cm --frame heart --pkje-radius 12.5 "
        "--pkje-rgj 200 --pkje-sigma 0.002",
        options);
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_EQ(status, std::nullopt);
    EXPECT_EQ((std::vector<double>{*options.purkinjeVelocity, *options.myocardialVelocity,
                                   *options.pmjDelay, options.pkje.radius,
                                   options.pkje.gapResistance, options.pkje.sigmaI}),
              (std::vector<double>{3.5, 0.6, 0.0, 12.5, 200.0, 0.002}));
    EXPECT_EQ(std::tie(options.seed, options.root, options.meshUnits, options.heartFrame),
              std::make_tuple(4294967295u, 3, std::optional<std::string>("cm"), true));
}

// ---- the program on the demo heart

struct ProgramRun {
    int status = -1;
    std::string out, err;  // standard output and standard error
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
    const std::string command = "env " + environment + " " + Quoted(VANTREL_GROW_PROGRAM) + " " +
                                arguments + " >" + Quoted(prefix + ".out") + " 2>" +
                                Quoted(prefix + ".err");
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(prefix + ".out"),
            ReadFile(prefix + ".err")};
}

// The growth statistics from the console text: the part that must be the same in
// every process and locale (the loading lines carry processor times).
std::string Statistics(const std::string& text) {
    const std::size_t start = text.find("mean length = ");
    return start == std::string::npos ? std::string() : text.substr(start);
}

std::string LastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.find_last_of('\n') + 1);  // npos + 1 is 0: a single line
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

const std::string kHeart = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
const std::string kSegmentation = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";

// Polygon 0 of the demo heart is segmented, polygon 7198 (the first such) is not.
const std::string kStart = "--start-polygon 0 ";
const std::string kUnsegmented = "7198";

const std::string kDemoInputs =
    "--heart " + Quoted(kHeart) + " --segmentation " + Quoted(kSegmentation) + " ";

// The conduction files' options; a run names its files "<tag>-<option>".
const char* const kConductionFiles[] = {"network",   "pmj",           "endocardium", "opencarp",
                                        "monoalg3d", "monoalg3d-pmj", "summary"};

std::string File(const std::string& tag, const std::string& name) {
    return WorkDir() + tag + "-" + name;
}

// The demo heart grown with `arguments`, fibres and centrelines written to files named
// after `tag`.
ProgramRun Grow(const std::string& tag, const std::string& arguments,
                const std::string& environment = "") {
    return RunProgram(kDemoInputs + "--out " + Quoted(File(tag, "obj")) + " --centrelines " +
                          Quoted(File(tag, "vtk")) + " " + arguments,
                      environment);
}

// The options that write every conduction file of `tag`.
std::string Conduction(const std::string& tag) {
    std::string arguments;
    for (const char* option : kConductionFiles)
        arguments += " --" + std::string(option) + " " + Quoted(File(tag, option));
    return arguments;
}

nlohmann::json Json(const std::string& path) {
    return nlohmann::json::parse(ReadFile(path));
}

// The command of the README's worked example writes every file, the simulator files
// keeping their consumers' rules. Another process under a comma
// locale with seed 1 (the default) and a replay of the saved scene write the same
// bytes; another seed and a second run in one process grow other fibres. --frame heart
// maps the centrelines by one scale and translation into the heart file's box; in
// centimetres at twice the velocity every time is five times the default's (the root,
// which does not exist here, matters only to the MonoAlg3D files).
TEST(GrowProgram, FilesReadBackAndChangeOnlyWithSeedRunCountFrameAndPhysiology) {
    const std::string scene = WorkDir() + "saved_scene.json";
    const ProgramRun reference =
        Grow("reference", kStart + Conduction("reference") + " --save-scene " + Quoted(scene));
    ASSERT_EQ(reference.status, 0) << reference.err;
    ASSERT_NE(Statistics(reference.err), "");
    const auto summary = Json(File("reference", "summary"));
    std::vector<simulator_files::PkjeCable> cables;
    ASSERT_EQ(simulator_files::ReadPkje(ReadFile(File("reference", "opencarp")), cables), "");
    EXPECT_EQ(simulator_files::CheckPkjeStructure(cables), "");
    simulator_files::MonoAlg3dNetwork tree;
    ASSERT_EQ(simulator_files::ReadMonoAlg3d(ReadFile(File("reference", "monoalg3d")), tree), "");
    EXPECT_EQ(simulator_files::CheckMonoAlg3dRules(tree), "");

    const std::pair<std::string, std::string> same[] = {{"comma_locale", kStart + "--seed 1"},
                                                        {"replay", "--scene " + Quoted(scene)}};
    for (const auto& [tag, arguments] : same) {
        const ProgramRun run = Grow(tag, arguments + Conduction(tag), "LC_ALL=de_DE.UTF-8");
        ASSERT_EQ(run.status, 0) << tag << ": " << run.err;
        EXPECT_EQ(Statistics(run.err), Statistics(reference.err)) << tag;
        // The summary alone names its inputs and times.
        for (const std::string file : {"obj", "vtk", "network", "pmj", "endocardium", "opencarp",
                                       "monoalg3d", "monoalg3d-pmj"})
            EXPECT_TRUE(ReadFile(File(tag, file)) == ReadFile(File("reference", file)))
                << tag << " " << file;
    }
    for (const auto& [tag, arguments] :
         {std::pair<std::string, std::string>{"seed_seven", "--seed 7"}, {"twice", "--runs 2"}}) {
        ASSERT_EQ(Grow(tag, kStart + arguments).status, 0) << tag;
        EXPECT_FALSE(ReadFile(File(tag, "obj")) == ReadFile(File("reference", "obj"))) << tag;
    }

    const ProgramRun heart =
        Grow("heart", kStart + "--frame heart --mesh-units cm --purkinje-velocity 5 --root 4 " +
                          "--summary " + Quoted(File("heart", "summary")));
    ASSERT_EQ(heart.status, 0) << heart.err;
    const auto cm = Json(File("heart", "summary"));
    for (const char* key : {"min", "median", "max"}) {
        EXPECT_NEAR(cm["pmjs"]["activation"][key].get<double>(),
                    5 * summary["pmjs"]["activation"][key].get<double>(), 1e-9)
            << key;
    }
    const auto p = VtkPoints(ReadFile(File("reference", "vtk")));
    const auto q = VtkPoints(ReadFile(File("heart", "vtk")));
    ASSERT_EQ(p.size(), q.size());
    ASSERT_GT(p.size(), 2u);
    const double scale =
        simulator_files::Distance(q[0], q[1]) / simulator_files::Distance(p[0], p[1]);
    EXPECT_GT(scale, 1.0) << "the demo heart is larger than the normalised box";
    for (std::size_t i = 0; i < p.size(); ++i) {
        for (int k = 0; k < 3; ++k)
            ASSERT_NEAR(q[i][k] - q[0][k], (p[i][k] - p[0][k]) * scale, 1e-9) << i;
    }
    // The first point (so all) inside the heart file's box, give or take 1.
    for (int k = 0; k < 3; ++k) {
        EXPECT_GE(q[0][k], cm["heart"]["extentMin"][k].get<double>() - 1.0) << k;
        EXPECT_LE(q[0][k], cm["heart"]["extentMax"][k].get<double>() + 1.0) << k;
    }
}

// The scene's physiology and blocks reach the run; the command line overrides the
// scene; --save-scene keeps them.
TEST(GrowProgram, SceneGivesPhysiologyAndBlocksTheCommandLineOverrides) {
    const std::string dir = WorkDir() + "scene_physiology_";
    std::ofstream(dir + "in.json") << R"({"version": 1, "physiology": {"purkinjeVelocity": 5,
        "pmjDelay": 0, "rootDelays": {"startPoints": [0, 0, 0, 2]}}, "blockedStrokes": [0, 3]})";
    const ProgramRun run =
        RunProgram(kDemoInputs + "--scene " + Quoted(dir + "in.json") + " " + kStart +
                   "--purkinje-velocity 2.5 --save-scene " + Quoted(dir + "saved.json") +
                   " --summary " + Quoted(dir + "s.json"));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto summary = Json(dir + "s.json");
    EXPECT_EQ(summary["physiology"]["purkinjeVelocity"], 2.5);
    EXPECT_EQ(summary["physiology"]["rootDelays"], nlohmann::json::parse("[0, 0, 0, 2]"));
    EXPECT_EQ(summary["network"]["blockedStrokes"], 2);
    const auto saved = Json(dir + "saved.json");
    EXPECT_EQ(saved["physiology"]["purkinjeVelocity"], 2.5);
    EXPECT_EQ(saved["blockedStrokes"], nlohmann::json::parse("[0, 3]"));
}

// Every refusal exits with its status and a last line naming the cause, on standard
// error only, and writes no file. With every polygon segmented an unsegmented one is a
// valid start, and --runs 0 only checks the inputs.
TEST(GrowProgram, RefusalsExitWithTheirStatusAndALineNamingTheCause) {
    const std::string dir = WorkDir();
    const std::string never = dir + "never.vtk";
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir + name) << text;
        return Quoted(dir + name);
    };
    const std::string badPhysiology =
        write("bad_physiology.json", R"({"version": 1, "physiology": {"rootDelays":
        {"startPoints": [-5]}}})");
    const std::string tooFar =
        write("too_far.json", R"({"version": 1, "blockedStrokes": [1, 99999999]})");
    const std::string heart = "--heart " + Quoted(kHeart) + " ";
    const struct {
        std::string arguments;
        int status;
        std::string messagePart;
    } cases[] = {
        {"", 2, "--heart"},
        {"--heart " + Quoted(dir + "missing.obj"), 1, "cannot load heart mesh"},
        {heart + "--segmentation " + Quoted(kHeart), 1, "segmentation file"},
        {kDemoInputs + "--scene " + badPhysiology, 1, "physiology.rootDelays.startPoints[0]"},
        {kDemoInputs + "--scene " + tooFar + " " + kStart + "--network " + Quoted(never), 1,
         "blockedStrokes[1]"},
        {kDemoInputs + kStart + "--start-polygon 99999999", 1, "out of range"},
        {kDemoInputs + "--start-polygon -1", 1, "out of range"},
        {kDemoInputs + "--start-polygon " + kUnsegmented, 1, "not segmented"},
        {kDemoInputs + kStart + "--root 4 --network " + Quoted(never) + " --monoalg3d " +
             Quoted(never),
         1, "--root: root 4 does not exist"},
        {kDemoInputs + kStart + "--out /nonexistent-folder/f.obj", 1, "f.obj"},
        {kDemoInputs + kStart + "--centrelines /nonexistent-folder/f.vtk", 1, "f.vtk"},
        {kDemoInputs + "--save-scene /nonexistent-folder/s.json", 1, "s.json"},
    };
    std::remove(never.c_str());
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(c.arguments);
        SCOPED_TRACE(c.arguments + "\n" + run.err);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(LastLine(run.err).rfind("vantrel-grow: ", 0), 0u);
        EXPECT_NE(LastLine(run.err).find(c.messagePart), std::string::npos);
    }
    EXPECT_FALSE(FileExists(never));

    const std::string fibres = dir + "runs_zero.obj";
    const ProgramRun runsZero =
        RunProgram(heart + "--segment-all --runs 0 --timings " + "--start-polygon " + kUnsegmented +
                   " --out " + Quoted(fibres));
    ASSERT_EQ(runsZero.status, 0) << runsZero.err;
    EXPECT_FALSE(FileExists(fibres)) << "no fibre file without a run";
    for (const char* line :
         {"timing: load ", "timing: volume ", "timing: growth 0.000 s (0 strokes)\n",
          "timing: conduction ", "timing: export "})
        EXPECT_NE(runsZero.err.find(line), std::string::npos) << line;
    const ProgramRun help = RunProgram("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, "") << "help goes to standard error too";
    EXPECT_NE(help.err.find("--start-polygon"), std::string::npos);
}

// A heart given in another format (binary STL) grows the very fibres its OBJ twin
// grows, and the open LV grows with its valves capped. With every polygon segmented
// every junction is reached and from them every vertex over the closed surface.
TEST(GrowProgramMeshFormats, StlTwinGrowsTheObjsFibresAndCapHolesClosesTheOpenLv) {
    const std::string objPath =
        std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_capped.obj";
    const std::string openPath =
        std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_open.obj";
    if (!FileExists(objPath) || !FileExists(openPath)) GTEST_SKIP() << "shared LV meshes not found";
    RkPolygonModel model;
    ASSERT_TRUE(model.Load(objPath));
    const std::string stlPath = WorkDir() + "lv.stl";
    std::ofstream(stlPath, std::ios::binary) << formatwriters::BinaryStl(model);
    auto grow = [](const std::string& heart, const std::string& tag, const std::string& extra) {
        const std::string out = WorkDir() + "formats-" + tag;
        const ProgramRun run =
            RunProgram("--heart " + Quoted(heart) + " --segment-all --start-polygon 0 --out " +
                       Quoted(out + ".obj") + " --summary " + Quoted(out + ".json") + " " + extra);
        EXPECT_EQ(run.status, 0) << tag << ": " << run.err;
        const auto summary = nlohmann::json::parse(ReadFile(out + ".json"));
        EXPECT_EQ(summary["pmjs"]["reached"], summary["pmjs"]["count"]) << tag;
        // The two caps' centres are left unsegmented.
        EXPECT_EQ(summary["endocardium"]["segmentedVertices"].get<int>() + (extra.empty() ? 0 : 2),
                  summary["heart"]["vertices"].get<int>())
            << tag;
        EXPECT_TRUE(summary["endocardium"]["total"].is_number()) << tag;
        return std::make_pair(run, ReadFile(out + ".obj"));
    };
    const std::string reference = grow(objPath, "obj", "").second;
    ASSERT_GT(reference.size(), 1000u);
    EXPECT_TRUE(grow(stlPath, "stl", "").second == reference);
    const auto [run, capped] = grow(openPath, "capped", "--cap-holes");
    EXPECT_NE(run.err.find("2 open boundary loops capped with 72 triangles"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("unreliable"), std::string::npos) << run.err;
    EXPECT_GT(capped.size(), 1000u);
}

}  // namespace
}  // namespace vantrel
