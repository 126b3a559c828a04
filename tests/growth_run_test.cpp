// Whole growth runs on the box heart, for what the pinned outputs do not reach: the
// pass callback, degenerate starts and curves, the statistics' long-stroke bins,
// junction links, determinism over a stale volume, and the work limit that stops a run
// a rule the scene file refuses would make endless.
#include <gtest/gtest.h>

#include <cmath>

#include "demo_growth.h"
#include "growth/FiberCore.h"
#include "growth/GrowthStatistics.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::ConsoleCapture;
using growth_test::OnTop;
using growth_test::Path;

class GrowthRun : public ::testing::Test {
protected:
    GrowthSummary Grow(FiberCore& core, const GrowthPassCallback& onPass = {}) {
        return core.GoGrowth(heart.Target(), parameters, random, onPass);
    }
    growth_test::BoxHeart& heart = growth_test::SharedBoxHeart();
    GrowthParameters parameters;
    GrowthRandom random;
};

TEST_F(GrowthRun, PassCallbackSeesEveryPassAndTheKeptStrokes) {
    FiberCore core;
    core.startPoints.push_back({OnTop(5, 5), OnTop(5, 7)});
    std::vector<std::pair<int, int>> calls;
    const GrowthSummary summary =
        Grow(core, [&](int pass, int kept) { calls.emplace_back(pass, kept); });
    ASSERT_EQ(static_cast<int>(calls.size()), summary.passes + 1);
    EXPECT_EQ(calls.front(), std::make_pair(0, 1));
    for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_EQ(calls[i].first, static_cast<int>(i));
    EXPECT_EQ(calls.back().second, summary.strokeCount);
    EXPECT_GT(summary.strokeCount, 10);
}

TEST_F(GrowthRun, ZeroStartDirectionGivesAPointStrokeWithIdentityEndFrame) {
    FiberCore core;
    core.startPoints.push_back({OnTop(5, 5), OnTop(5, 5)});
    Grow(core);
    const Stroke& first = *core.fibers[0].strokes[0];
    Matrix4 expected;
    expected.SetIdentity();
    SetFrameOrigin(expected, OnTop(5, 5));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(first.endFrame.m[i], expected.m[i]) << i;
    for (const Vector3& v : first.tube.vertices) EXPECT_FALSE(std::isnan(v.x + v.y + v.z));
}

TEST_F(GrowthRun, DegenerateCurvesEndTheirFibresAndStatisticsPrintZeros) {
    FiberCore core;
    core.featureCurves = {Polyline(), Path({OnTop(5, 5)}), Path({OnTop(5, 5), OnTop(5.1, 5)}),
                          Path({OnTop(5, 5), Vector3(std::nan(""), 5, 5), OnTop(6, 5)})};
    ConsoleCapture console;
    EXPECT_EQ(Grow(core).strokeCount, 0);
    for (const Fiber& fiber : core.fibers)
        EXPECT_TRUE(fiber.strokes.empty() && fiber.apexes.empty());
    // A run without strokes: counts of 0 and no not-a-number.
    EXPECT_EQ(console.Text().find("nan"), std::string::npos);
    EXPECT_NE(console.Text().find("mean length = 0.000000!!!!!!!!!\n"), std::string::npos);
}

TEST(GrowthStatistics, LongStrokesFallInTheirBinsAndTheLastBinTakesTheRest) {
    // Lengths 10, 30, 30 and 500 mm: bins 0, 1, 1 and (above 20) 20; 50 dashes a quarter.
    std::vector<Fiber> fibers(1);
    for (double mm : {10.0, 30.0, 30.0, 500.0}) {
        fibers[0].strokes.push_back(std::make_unique<Stroke>());
        fibers[0].strokes.back()->path.points = {Vector3(), Vector3(mm / kModelUnitMm, 0, 0)};
    }
    ConsoleCapture console;
    PrintGrowthStatistics(fibers, 1);
    const std::string quarter(50, '-');
    for (const std::string& line :
         {"\n" + quarter + "  1[0-20]0.250000\n", "\n" + quarter + quarter + "  2[20-40]0.500000\n",
          std::string("\n  0[380-400]0.000000\n"), "\n" + quarter + "  1[400-420]0.250000\n"}) {
        EXPECT_NE(console.Text().find(line), std::string::npos) << line << console.Text();
    }
}

// A junction links its stroke to the stroke it met, and its path ends there (or one
// sample before, when rounding drops the last sample); the conduction graph is built
// on these links. (Without tree structure there are none: the pinned right ventricle.)
TEST_F(GrowthRun, JunctionsLinkToTheStrokeTheyMetAndEndOnIt) {
    FiberCore core;  // a start point aimed at a curve: its tree runs into the curve's strokes
    core.startPoints.push_back({OnTop(4.4, 5), OnTop(5, 5)});
    core.featureCurves.push_back(Path({OnTop(5, 2), OnTop(5, 8)}));
    ConsoleCapture quiet;
    const GrowthSummary summary = Grow(core);
    int collided = 0;
    bool curveWasHit = false;
    for (const Fiber& fiber : core.fibers) {
        for (const auto& stroke : fiber.strokes) {
            if (!stroke->collided) continue;
            ++collided;
            ASSERT_EQ(stroke->links.size(), 1u);
            const Stroke* met = *stroke->links.begin();
            Vector3 nearest;
            double squared = 0.0;
            ASSERT_TRUE(VoxelVolume::NearestPointOnPolyline(stroke->path.points.back(),
                                                            met->path.points, nearest, squared));
            EXPECT_LT(squared, 0.01);
            for (const auto& curveStroke : core.fibers[1].strokes)
                curveWasHit |= curveStroke.get() == met;
        }
    }
    EXPECT_GT(collided, 0);
    EXPECT_EQ(collided, summary.collisionCount);
    EXPECT_TRUE(curveWasHit);
}

// Three start points and a curve on the box heart, grown with the given generator.
std::string GrowScene(growth_test::BoxHeart& heart, GrowthRandom& random) {
    FiberCore core;
    core.startPoints.push_back({OnTop(3, 3), OnTop(4, 3.5)});
    core.startPoints.push_back(
        {Vector3(5, 5, 1 + growth_test::kLayerDepth), Vector3(5, 6, 1 + growth_test::kLayerDepth)});
    core.startPoints.push_back(
        {Vector3(9 - growth_test::kLayerDepth, 4, 4), Vector3(9 - growth_test::kLayerDepth, 4, 5)});
    core.featureCurves.push_back(Path({OnTop(6, 2), OnTop(6, 8)}));
    ConsoleCapture console;
    core.GoGrowth(heart.Target(), GrowthParameters(), random);
    return growth_test::ExportedObj(core) + console.Text();
}

TEST_F(GrowthRun, SameInputsGrowTheSameFibresEvenAfterStaleVolumeContents) {
    GrowthRandom first, second;
    const std::string a = GrowScene(heart, first);
    EXPECT_GT(a.size(), 100000u);
    // Grow, then drop the strokes (keeping the start points only) without resetting the
    // volume: the next run must see none of them (nor their density).
    FiberCore old;
    old.startPoints.push_back({OnTop(5, 5), OnTop(5, 6)});
    old.featureCurves.push_back(Path({OnTop(2, 6), OnTop(4, 6)}));
    {
        ConsoleCapture quiet;
        Grow(old);
    }
    old.InitAllStrokes();
    EXPECT_TRUE(old.fibers.empty() && old.featureCurves.empty() && old.startPoints.size() == 1);
    EXPECT_TRUE(GrowScene(heart, second) == a);
    // A second run with the same generator draws on and grows differently.
    EXPECT_FALSE(GrowScene(heart, first) == a);
}

// ---- the work limit, on the demo heart

SceneGrowth& DemoHeartGrowth() {
    static SceneGrowth* growth = [] {
        auto* loaded = new SceneGrowth();  // lives for the whole test program
        EXPECT_TRUE(loaded->Load(DemoDataPath("demo-heart.obj"),
                                 SegmentationChoice::File(DemoDataPath("demo-heart.kxseg")),
                                 kDemoHeartScene));
        return loaded;
    }();
    return *growth;
}

int KeptStrokes(const FiberCore& core) {
    std::size_t count = 0;
    for (const Fiber& fiber : core.fibers) count += fiber.strokes.size() + fiber.apexes.size();
    return static_cast<int>(count);
}

// The scene: the curve cut into strokes of a micrometre gives millions of
// strokes; a limit of 1,000 ends the run at exactly 1,000.
TEST(GrowthLimit, StopsAMicrometreStemAtTheLimitWithAConsoleLine) {
    SceneGrowth& growth = DemoHeartGrowth();
    growth.core.rule2.stemLength = 1e-6;
    ConsoleCapture console;
    EXPECT_TRUE(growth.Grow(1000).stoppedAtStrokeLimit);
    EXPECT_EQ(KeptStrokes(growth.core), 1000);
    EXPECT_NE(console.Text().find("growth stopped: the work limit of 1000 strokes was reached\n"),
              std::string::npos);
    growth.core.rule2.stemLength = 1.0;
}

// A run that ends by itself at exactly the limit's size is not reported as stopped.
TEST(GrowthLimit, ARunThatFitsIsNotStopped) {
    SceneGrowth& growth = DemoHeartGrowth();
    growth.random = GrowthRandom();
    growth.Grow();
    const int size = KeptStrokes(growth.core);
    growth.random = GrowthRandom();
    ConsoleCapture console;
    EXPECT_FALSE(growth.Grow(size).stoppedAtStrokeLimit);
    EXPECT_EQ(KeptStrokes(growth.core), size);
    EXPECT_EQ(console.Text().find("work limit"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
