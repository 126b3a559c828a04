// Scene file: exact round trips, start values for missing keys, and refusals that
// name the JSON path of the offending value.
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "growth/FiberCore.h"
#include "growth/SceneFile.h"

namespace vantrel {
namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ExpectSameVector(const Vector3& a, const Vector3& b) {
    EXPECT_TRUE(SameBits(a.x, b.x)) << a.x << " vs " << b.x;
    EXPECT_TRUE(SameBits(a.y, b.y)) << a.y << " vs " << b.y;
    EXPECT_TRUE(SameBits(a.z, b.z)) << a.z << " vs " << b.z;
}

void ExpectSameMatrix(const Matrix4& a, const Matrix4& b) {
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(SameBits(a.m[i], b.m[i])) << "element " << i;
}

void ExpectSameRule(const RewritingRule& a, const RewritingRule& b) {
    EXPECT_EQ(a.ruleId, b.ruleId);
    EXPECT_EQ(a.hasContinuation, b.hasContinuation);
    EXPECT_TRUE(SameBits(a.stemLength, b.stemLength));
    EXPECT_TRUE(SameBits(a.stemWidth, b.stemWidth));
    EXPECT_TRUE(SameBits(a.continuationLength, b.continuationLength));
    EXPECT_TRUE(SameBits(a.continuationWidth, b.continuationWidth));
    ExpectSameMatrix(a.continuationMatrix, b.continuationMatrix);
    ASSERT_EQ(a.laterals.size(), b.laterals.size());
    for (std::size_t i = 0; i < a.laterals.size(); ++i) {
        EXPECT_TRUE(SameBits(a.laterals[i].length, b.laterals[i].length)) << "lateral " << i;
        EXPECT_TRUE(SameBits(a.laterals[i].width, b.laterals[i].width)) << "lateral " << i;
        ExpectSameMatrix(a.laterals[i].matrix, b.laterals[i].matrix);
    }
}

void ExpectSameScene(const Scene& a, const Scene& b) {
    ASSERT_EQ(a.startPoints.size(), b.startPoints.size());
    for (std::size_t i = 0; i < a.startPoints.size(); ++i) {
        ExpectSameVector(a.startPoints[i].position, b.startPoints[i].position);
        ExpectSameVector(a.startPoints[i].directionPoint, b.startPoints[i].directionPoint);
    }
    ASSERT_EQ(a.featureCurves.size(), b.featureCurves.size());
    for (std::size_t i = 0; i < a.featureCurves.size(); ++i) {
        ASSERT_EQ(a.featureCurves[i].points.size(), b.featureCurves[i].points.size());
        for (std::size_t k = 0; k < a.featureCurves[i].points.size(); ++k) {
            ExpectSameVector(a.featureCurves[i].points[k], b.featureCurves[i].points[k]);
        }
        EXPECT_EQ(a.featureCurves[i].color, b.featureCurves[i].color);
    }
    ExpectSameRule(a.rule1, b.rule1);
    ExpectSameRule(a.rule2, b.rule2);
    EXPECT_EQ(a.parameters.SegmentResolution, b.parameters.SegmentResolution);
    EXPECT_TRUE(SameBits(a.parameters.GradientDirectionRate, b.parameters.GradientDirectionRate));
    EXPECT_TRUE(SameBits(a.parameters.RandomDirectionRate, b.parameters.RandomDirectionRate));
    EXPECT_EQ(a.parameters.ShuffleGrowthApexOrder, b.parameters.ShuffleGrowthApexOrder);
    EXPECT_EQ(a.parameters.CreateTreeStructure, b.parameters.CreateTreeStructure);
    EXPECT_EQ(a.parameters.FitOffsetFromTargetPolygon, b.parameters.FitOffsetFromTargetPolygon);
}

// A scene in which every value differs from the start scene, with doubles that
// need all 17 digits, the smallest subnormal and a negative zero.
Scene UnusualScene() {
    Scene scene;
    scene.startPoints.push_back({Vector3(0.1 + 0.2, 1.0 / 3.0, 9.999999999999998),
                                 Vector3(5e-324, -0.0, 6.837000000000001)});
    scene.startPoints.push_back({Vector3(2.0, 3.0, 4.0), Vector3(2.0, 3.0, 4.0)});
    Polyline curve;
    curve.points = {Vector3(1.0, 1.0, 1.0), Vector3(1.2345678901234567, 2.0, 1e-300), Vector3(3.0, 2.5, 1.5)};
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
    return scene;
}

bool Parse(const std::string& text, Scene& scene, SceneFileError& error) { return ParseSceneText(text, scene, error); }

TEST(SceneFile, RoundTripKeepsEveryValueBitForBit) {
    const Scene original = UnusualScene();
    const std::string text = SceneText(original);
    Scene read;
    SceneFileError error;
    ASSERT_TRUE(Parse(text, read, error)) << error.Describe();
    ExpectSameScene(original, read);
    EXPECT_TRUE(std::signbit(read.startPoints[0].directionPoint.y));
    // Writing what was read gives the same text again.
    EXPECT_EQ(SceneText(read), text);
}

TEST(SceneFile, TextIsTheSameUnderACommaLocale) {
    const std::string inC = SceneText(UnusualScene());
    const char* commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* chosen = nullptr;
    for (const char* name : commaLocales) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) GTEST_SKIP() << "no comma locale installed";
    const std::string inComma = SceneText(UnusualScene());
    Scene read;
    SceneFileError error;
    const bool parsed = Parse(inC, read, error);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(inComma, inC) << chosen;
    ASSERT_TRUE(parsed) << error.Describe();
    ExpectSameScene(UnusualScene(), read);
}

TEST(SceneFile, WriteThenReadFileKeepsTheScene) {
    const std::string path = ::testing::TempDir() + "scene_file_test_roundtrip.json";
    std::string writeError;
    ASSERT_TRUE(WriteSceneFile(path, UnusualScene(), writeError)) << writeError;
    Scene read;
    SceneFileError error;
    ASSERT_TRUE(ReadSceneFile(path, read, error)) << error.Describe();
    ExpectSameScene(UnusualScene(), read);
    std::remove(path.c_str());
}

TEST(SceneFile, MissingKeysTakeTheProgramsStartValues) {
    Scene read = UnusualScene();
    SceneFileError error;
    ASSERT_TRUE(Parse(R"({"version": 1})", read, error)) << error.Describe();
    ExpectSameScene(Scene(), read);

    // Partial objects: only the given members change.
    ASSERT_TRUE(Parse(R"({"version": 1, "rule2": {"stemLength": 2},
                          "parameters": {"RandomDirectionRate": 0.25},
                          "startPoints": [{"position": [1, 2, 3]}],
                          "featureCurves": [{"points": [[1, 1, 1], [2, 2, 2]]}]})",
                      read, error))
        << error.Describe();
    Scene expected;
    expected.rule2.stemLength = 2.0;
    expected.parameters.RandomDirectionRate = 0.25;
    expected.startPoints.push_back({Vector3(1, 2, 3), Vector3()});
    Polyline curve;
    curve.points = {Vector3(1, 1, 1), Vector3(2, 2, 2)};
    expected.featureCurves.push_back(curve);
    ExpectSameScene(expected, read);
}

TEST(SceneFile, LateralsStartFromTheShapeOfThatCountAndAreNotRebuilt) {
    Scene read;
    SceneFileError error;
    // Three laterals, the middle one given a matrix and width of its own, and a
    // stem length that a Rebuild would reset to 1.
    ASSERT_TRUE(Parse(R"({"version": 1, "rule2": {"stemLength": 1.5, "laterals": [{}, {"width": 0.5,
                          "matrix": [1,0,0,0, 0,1,0,0, 0,0,1,0, 0.25,0,0,1]}, {"length": 2}]}})",
                      read, error))
        << error.Describe();
    RewritingRule expected(1, false, 3);
    expected.stemLength = 1.5;
    expected.laterals[1].width = 0.5;
    expected.laterals[1].matrix.SetIdentity();
    expected.laterals[1].matrix.m[12] = 0.25;
    expected.laterals[2].length = 2.0;
    ExpectSameRule(expected, read.rule2);

    // An empty array leaves rule 1 without laterals, keeping its continuation.
    ASSERT_TRUE(Parse(R"({"version": 1, "rule1": {"laterals": []}})", read, error)) << error.Describe();
    EXPECT_TRUE(read.rule1.laterals.empty());
    EXPECT_TRUE(read.rule1.hasContinuation);
    EXPECT_EQ(read.rule1.ruleId, 0u);
}

TEST(SceneFile, BoundaryValuesAreAccepted) {
    Scene read;
    SceneFileError error;
    ASSERT_TRUE(Parse(R"({"version": 1, "parameters": {"SegmentResolution": 2, "GradientDirectionRate": 0,
                          "RandomDirectionRate": 1}})",
                      read, error))
        << error.Describe();
    EXPECT_EQ(read.parameters.SegmentResolution, 2);
    ASSERT_TRUE(Parse(R"({"version": 1.0, "parameters": {"SegmentResolution": 102.0}})", read, error))
        << error.Describe();
    EXPECT_EQ(read.parameters.SegmentResolution, 102);
}

struct RefusalCase {
    const char* text;
    const char* path;
    const char* messagePart;
};

TEST(SceneFile, RefusesTheWholeFileNamingThePath) {
    const RefusalCase cases[] = {
        // unknown keys, at every level
        {R"({"version": 1, "colour": 1})", "colour", "unknown key"},
        {R"({"version": 1, "rule2": {"laterals": [{}, {"colour": 1}]}})", "rule2.laterals[1].colour", "unknown key"},
        {R"({"version": 1, "rule1": {"ruleId": 0}})", "rule1.ruleId", "unknown key"},
        {R"({"version": 1, "rule1": {"hasContinuation": false}})", "rule1.hasContinuation", "unknown key"},
        {R"({"version": 1, "parameters": {"segmentResolution": 5}})", "parameters.segmentResolution", "unknown key"},
        {R"({"version": 1, "startPoints": [{"position": [1,2,3], "direction": [1,2,3]}]})",
         "startPoints[0].direction", "unknown key"},
        // wrong types
        {R"({"version": 1, "startPoints": {}})", "startPoints", "expected an array"},
        {R"({"version": 1, "startPoints": [[1,2,3]]})", "startPoints[0]", "expected an object"},
        {R"({"version": 1, "startPoints": [{"position": "here"}]})", "startPoints[0].position", "expected an array"},
        {R"({"version": 1, "featureCurves": [{"points": [[1,2,3], [1,2,3], [1,"x",3]]}]})",
         "featureCurves[0].points[2][1]", "expected a number"},
        {R"({"version": 1, "rule2": {"laterals": [{}, {"width": "wide"}]}})", "rule2.laterals[1].width",
         "expected a number"},
        {R"({"version": 1, "rule2": {"laterals": {}}})", "rule2.laterals", "expected an array"},
        {R"({"version": 1, "parameters": {"CreateTreeStructure": 1}})", "parameters.CreateTreeStructure",
         "expected true or false"},
        {R"({"version": 1, "parameters": {"SegmentResolution": true}})", "parameters.SegmentResolution",
         "expected a number"},
        {R"({"version": 1, "rule1": null})", "rule1", "expected an object"},
        {R"([1, 2])", "", "expected an object"},
        // vectors of the wrong length
        {R"({"version": 1, "startPoints": [{}, {"directionPoint": [1, 2]}]})", "startPoints[1].directionPoint",
         "expected 3 numbers, found 2"},
        {R"({"version": 1, "rule1": {"continuationMatrix": [1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0]}})",
         "rule1.continuationMatrix", "expected 16 numbers, found 15"},
        {R"({"version": 1, "featureCurves": [{"color": [1, 1, 1]}]})", "featureCurves[0].color",
         "expected 4 numbers, found 3"},
        // numbers no double holds
        {R"({"version": 1, "rule1": {"stemWidth": 1e400}})", "rule1.stemWidth", "not a finite double"},
        {R"({"version": 1, "featureCurves": [{"points": [[1,2,3], [1,2,-1e999]]}]})",
         "featureCurves[0].points[1][2]", "not a finite double"},
        // lengths and widths must be above 0
        {R"({"version": 1, "rule1": {"stemLength": 0}})", "rule1.stemLength", "greater than 0"},
        {R"({"version": 1, "rule1": {"continuationWidth": -0.5}})", "rule1.continuationWidth", "greater than 0"},
        {R"({"version": 1, "rule2": {"laterals": [{}, {"width": 0}]}})", "rule2.laterals[1].width", "greater than 0"},
        {R"({"version": 1, "rule2": {"laterals": [{"length": -1}]}})", "rule2.laterals[0].length", "greater than 0"},
        // points on the heart lie in its box
        {R"({"version": 1, "startPoints": [{"position": [1, 10.5, 3]}]})", "startPoints[0].position[1]",
         "box [0, 10]"},
        {R"({"version": 1, "featureCurves": [{"points": [[1, 1, 1], [2, 2, -1e9]]}]})",
         "featureCurves[0].points[1][2]", "box [0, 10]"},
        // SegmentResolution: whole numbers 2 to 102
        {R"({"version": 1, "parameters": {"SegmentResolution": 1}})", "parameters.SegmentResolution", "2 to 102"},
        {R"({"version": 1, "parameters": {"SegmentResolution": 103}})", "parameters.SegmentResolution", "2 to 102"},
        {R"({"version": 1, "parameters": {"SegmentResolution": 5.5}})", "parameters.SegmentResolution", "2 to 102"},
        // rates and colours in [0, 1]
        {R"({"version": 1, "parameters": {"GradientDirectionRate": -0.01}})", "parameters.GradientDirectionRate",
         "between 0 and 1"},
        {R"({"version": 1, "parameters": {"RandomDirectionRate": 1.5}})", "parameters.RandomDirectionRate",
         "between 0 and 1"},
        {R"({"version": 1, "featureCurves": [{"color": [0, 0, 1, 2]}]})", "featureCurves[0].color[3]",
         "between 0 and 1"},
        // the version
        {R"({"rule1": {}})", "version", "missing"},
        {R"({"version": 2})", "version", "unsupported version 2"},
        {R"({"version": "1"})", "version", "expected a number"},
        // malformed JSON
        {R"({"version": 1, "rule1": {"stemLength": }})", "rule1.stemLength", "syntax error"},
        {R"({"version": 1, "startPoints": [{"position": [1, 2, 3]}, ]})", "startPoints[1]", "syntax error"},
        {R"({"version": 1, "version": 1})", "version", "duplicate key"},
        {R"({"version": 1} trailing)", "", "syntax error"},
        {"", "", "syntax error"},
    };
    for (const RefusalCase& refusal : cases) {
        Scene scene = UnusualScene();
        SceneFileError error;
        EXPECT_FALSE(Parse(refusal.text, scene, error)) << refusal.text;
        EXPECT_EQ(error.path, refusal.path) << refusal.text << "\n  -> " << error.Describe();
        EXPECT_NE(error.message.find(refusal.messagePart), std::string::npos)
            << refusal.text << "\n  -> " << error.Describe();
        // Refused as a whole: nothing of the file reaches the scene.
        ExpectSameScene(UnusualScene(), scene);
    }
}

TEST(SceneFile, DescribeJoinsPathAndMessage) {
    EXPECT_EQ((SceneFileError{"rule2.laterals[1].width", "must be greater than 0"}).Describe(),
              "rule2.laterals[1].width: must be greater than 0");
    EXPECT_EQ((SceneFileError{"", "cannot open 'x'"}).Describe(), "cannot open 'x'");
}

TEST(SceneFile, UnreadableAndUnwritableFilesAreReported) {
    Scene scene;
    SceneFileError error;
    EXPECT_FALSE(ReadSceneFile("/nonexistent-folder/scene.json", scene, error));
    EXPECT_EQ(error.path, "");
    EXPECT_NE(error.message.find("/nonexistent-folder/scene.json"), std::string::npos);

    std::string writeError;
    EXPECT_FALSE(WriteSceneFile("/nonexistent-folder/scene.json", scene, writeError));
    EXPECT_NE(writeError.find("/nonexistent-folder/scene.json"), std::string::npos);
}

TEST(SceneFile, CaptureAndApplyMoveTheSceneThroughAFiberCore) {
    FiberCore core;
    GrowthParameters parameters;
    ApplyScene(UnusualScene(), core, parameters);
    EXPECT_EQ(core.startPoints.size(), 2u);
    EXPECT_EQ(parameters.SegmentResolution, 102);
    ExpectSameScene(UnusualScene(), CaptureScene(core, parameters));
}

}  // namespace
}  // namespace vantrel
