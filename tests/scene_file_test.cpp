// Scene file: exact round trips, start values for missing keys, and refusals that
// name the JSON path of the offending value.
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "growth/FiberCore.h"
#include "growth/SceneFile.h"

namespace vantrel {
namespace {

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every number a scene holds, counts and flags included, in a fixed order.
std::vector<double> Values(const Scene& scene) {
    std::vector<double> values;
    auto add = [&](std::initializer_list<double> more) { values.insert(values.end(), more); };
    auto addAll = [&](const auto& more) {
        add({double(std::size(more))});
        values.insert(values.end(), std::begin(more), std::end(more));
    };
    for (const StartPoint& sp : scene.startPoints) {
        add({sp.position.x, sp.position.y, sp.position.z, sp.directionPoint.x, sp.directionPoint.y,
             sp.directionPoint.z});
    }
    for (const Polyline& curve : scene.featureCurves) {
        addAll(curve.color);
        for (const Vector3& p : curve.points) add({p.x, p.y, p.z});
    }
    for (const RewritingRule* rule : {&scene.rule1, &scene.rule2}) {
        add({double(rule->ruleId), double(rule->hasContinuation), rule->stemLength, rule->stemWidth,
             rule->continuationLength, rule->continuationWidth});
        addAll(rule->continuationMatrix.m);
        for (const Lateral& lateral : rule->laterals) {
            add({lateral.length, lateral.width});
            addAll(lateral.matrix.m);
        }
    }
    const GrowthParameters& p = scene.parameters;
    add({double(p.SegmentResolution), p.GradientDirectionRate, p.RandomDirectionRate,
         double(p.ShuffleGrowthApexOrder), double(p.CreateTreeStructure),
         double(p.FitOffsetFromTargetPolygon)});
    const PhysiologySettings& s = scene.physiology.settings;
    add({double(s.meshUnit), s.purkinjeVelocity, s.myocardialVelocity, s.pmjDelay});
    addAll(s.rootDelays);
    addAll(scene.physiology.rootDelays.startPoints);
    addAll(scene.physiology.rootDelays.featureCurves);
    addAll(scene.blockedStrokes);
    return values;
}

void ExpectSameScene(const Scene& a, const Scene& b) {
    const std::vector<double> x = Values(a), y = Values(b);
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_TRUE(SameBits(x[i], y[i])) << "value " << i << ": " << x[i] << " vs " << y[i];
}

// A scene in which every value differs from the start scene, with doubles that
// need all 17 digits, the smallest subnormal and a negative zero.
Scene UnusualScene() {
    Scene scene;
    scene.startPoints.push_back({Vector3(0.1 + 0.2, 1.0 / 3.0, 9.999999999999998),
                                 Vector3(5e-324, -0.0, 6.837000000000001)});
    scene.startPoints.push_back({Vector3(2.0, 3.0, 4.0), Vector3(2.0, 3.0, 4.0)});
    Polyline curve;
    curve.points = {Vector3(1.0, 1.0, 1.0), Vector3(1.2345678901234567, 2.0, 1e-300),
                    Vector3(3.0, 2.5, 1.5)};
    curve.color = {0.1f, 1.0f / 3.0f, 0.0f, 1.0f};
    scene.featureCurves.push_back(curve);
    scene.featureCurves.push_back(Polyline());  // a curve without points stays one

    scene.rule1.stemLength = 2.718281828459045;
    scene.rule1.DragHandle(0, 0, 1, 7.0, 13.0, Vector3());  // twists the continuation
    scene.rule2.AddLateral();
    scene.rule2.laterals[1].length = 1.4142135623730951;
    scene.rule2.laterals[2].width = 0.123456789;
    scene.rule2.laterals[0].matrix.m[12] = 0.7;  // a matrix no Rebuild would make
    scene.rule2.stemWidth = 0.3;
    scene.rule2.continuationWidth = 0.5;
    scene.rule2.continuationLength = 1.25;

    scene.parameters.SegmentResolution = 102;
    scene.parameters.GradientDirectionRate = 0.0;
    scene.parameters.RandomDirectionRate = 1.0;
    scene.parameters.ShuffleGrowthApexOrder = false;
    scene.parameters.CreateTreeStructure = false;
    scene.parameters.FitOffsetFromTargetPolygon = false;

    PhysiologySettings& physiology = scene.physiology.settings;
    physiology.meshUnit = LengthUnit::kMicrometre;
    physiology.purkinjeVelocity = 3.3000000000000003;
    physiology.myocardialVelocity = 0.6;
    physiology.pmjDelay = 0.0;
    scene.physiology.rootDelays.startPoints = {0.0, 12.5};
    scene.physiology.rootDelays.featureCurves = {1e-9};
    scene.blockedStrokes = {7, 0, 2147483647};
    return scene;
}

bool Parse(const std::string& text, Scene& scene, SceneFileError& error) {
    return ParseSceneText(text, scene, error);
}

// Written and read under a comma locale where one is installed: numbers never follow it.
TEST(SceneFile, RoundTripThroughAFileKeepsEveryValueBitForBit) {
    const Scene original = UnusualScene();
    const std::string path = ::testing::TempDir() + "scene_file_test_roundtrip.json";
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    std::string writeError;
    const bool written = WriteSceneFile(path, original, writeError);
    Scene read;
    SceneFileError error;
    const bool wasRead = written && ReadSceneFile(path, read, error);
    std::setlocale(LC_NUMERIC, previous.c_str());
    std::remove(path.c_str());
    ASSERT_TRUE(written) << writeError;
    ASSERT_TRUE(wasRead) << error.Describe();
    ExpectSameScene(original, read);
    EXPECT_TRUE(std::signbit(read.startPoints[0].directionPoint.y));
    // Writing what was read gives the same text again: number arrays on one line, arrays
    // of objects one object a line.
    const std::string text = SceneText(original);
    EXPECT_EQ(SceneText(read), text);
    EXPECT_NE(text.find("\"continuationMatrix\": [-1.0, "), std::string::npos);
    EXPECT_NE(text.find("\"laterals\": [\n"), std::string::npos);
}

TEST(SceneFile, MissingKeysTakeTheProgramsStartValues) {
    Scene read = UnusualScene();
    SceneFileError error;
    ASSERT_TRUE(Parse(R"({"version": 1})", read, error)) << error.Describe();
    ExpectSameScene(Scene(), read);
}

TEST(SceneFile, BoundaryValuesAreAccepted) {
    Scene read;
    SceneFileError error;
    EXPECT_TRUE(Parse(R"({"version": 1.0, "parameters": {"SegmentResolution": 102.0,
        "GradientDirectionRate": 0, "RandomDirectionRate": 1}, "rule1": {"stemLength": 0.06,
        "continuationLength": 0.01}, "rule2": {"stemLength": 37, "laterals": [{"length": 10}]}})",
                      read, error))
        << error.Describe();
    EXPECT_TRUE(Parse(R"({"version": 1, "parameters": {"SegmentResolution": 2}})", read, error));
}

TEST(SceneFile, RefusesTheWholeFileNamingThePath) {
    struct Refusal {
        const char* text;  // starting with a quote: the members after "version": 1
        const char* path;
    };
    // clang-format off
    const Refusal cases[] = {
        // unknown keys, at every level
        {R"("colour": 1)", "colour"},
        {R"("rule2": {"laterals": [{}, {"colour": 1}]})", "rule2.laterals[1].colour"},
        // wrong types
        {R"("startPoints": {})", "startPoints"},
        {R"("startPoints": [[1,2,3]])", "startPoints[0]"},
        {R"("startPoints": [{"position": "x"}])", "startPoints[0].position"},
        {R"("featureCurves": [{"points": [[1,1,1], [1,"x",3]]}])", "featureCurves[0].points[1][1]"},
        {R"("parameters": {"CreateTreeStructure": 1})", "parameters.CreateTreeStructure"},
        {R"([1, 2])", ""},
        {R"("startPoints": [{}, {"directionPoint": [1, 2]}])", "startPoints[1].directionPoint"},
        // numbers no double holds, widths above 0
        {R"("rule1": {"stemWidth": 1e400})", "rule1.stemWidth"},
        {R"("rule2": {"laterals": [{}, {"width": 0}]})", "rule2.laterals[1].width"},
        // lengths keep growth finite (a curve cut into strokes of a micrometre runs for hours)
        {R"("rule2": {"stemLength": 1e-6})", "rule2.stemLength"},
        {R"("rule1": {"stemLength": 37.5})", "rule1.stemLength"},
        {R"("rule1": {"continuationLength": 0.005})", "rule1.continuationLength"},
        {R"("rule2": {"laterals": [{"length": 11}]})", "rule2.laterals[0].length"},
        // points on the heart lie in its box
        {R"("startPoints": [{"position": [1, 10.5, 3]}])", "startPoints[0].position[1]"},
        {R"("featureCurves": [{"points": [[2, 2, -1e9]]}])", "featureCurves[0].points[0][2]"},
        // SegmentResolution: whole numbers 2 to 102; rates and colours in [0, 1]
        {R"("parameters": {"SegmentResolution": 1})", "parameters.SegmentResolution"},
        {R"("parameters": {"SegmentResolution": 5.5})", "parameters.SegmentResolution"},
        {R"("parameters": {"RandomDirectionRate": 1.5})", "parameters.RandomDirectionRate"},
        {R"("featureCurves": [{"color": [0, 0, 1, 2]}])", "featureCurves[0].color[3]"},
        // physiology and blocked strokes
        {R"("physiology": {"meshUnits": "km"})", "physiology.meshUnits"},
        {R"("physiology": {"purkinjeVelocity": 0})", "physiology.purkinjeVelocity"},
        {R"("physiology": {"pmjDelay": -0.001})", "physiology.pmjDelay"},
        {R"("physiology": {"rootDelays": {"startPoints": [-1]}})",
         "physiology.rootDelays.startPoints[0]"},
        {R"("blockedStrokes": [-1])", "blockedStrokes[0]"},
        {R"("blockedStrokes": [3e9])", "blockedStrokes[0]"},
        // the version
        {R"({"rule1": {}})", "version"},
        {R"({"version": 2})", "version"},
        {R"({"version": "1"})", "version"},
        {R"("version": 1)", "version"},
        // malformed JSON
        {R"("rule1": {"stemLength": })", "rule1.stemLength"},
        {R"("startPoints": [{"position": [1, 2, 3]}, ])", "startPoints[1]"},
        {"", ""},
    };
    // clang-format on
    for (const Refusal& refusal : cases) {
        const std::string text = refusal.text[0] == '"'
                                     ? std::string(R"({"version": 1, )") + refusal.text + "}"
                                     : refusal.text;
        SCOPED_TRACE(text);
        Scene scene = UnusualScene();
        SceneFileError error;
        EXPECT_FALSE(Parse(text, scene, error));
        EXPECT_EQ(error.path, refusal.path) << error.Describe();
        // The parser's own exception tag is not for the user.
        EXPECT_EQ(error.message.find("[json.exception"), std::string::npos) << error.Describe();
        ExpectSameScene(UnusualScene(), scene);  // refused as a whole: nothing reaches the scene
    }
    SceneFileError error;
    Scene scene;
    EXPECT_FALSE(Parse(R"({"version": 1, "rule2": {"stemLength": 1e-6}})", scene, error));
    EXPECT_EQ(error.Describe(), "rule2.stemLength: must be from 0.06 to 37");
}

}  // namespace
}  // namespace vantrel
