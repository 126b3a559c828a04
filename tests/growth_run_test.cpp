// Whole growth runs on the box heart, for what the pinned outputs do not reach: the
// pass callback, degenerate starts and curves, the statistics lines' bins, junction
// links, determinism over a stale volume, and the work limit that stops a run a rule
// the scene file refuses would make endless.
#include <gtest/gtest.h>

#include <cmath>

#include "demo_growth.h"
#include "growth/FiberCore.h"
#include "growth/GrowthStatistics.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::ConsoleCapture;
using growth_test::ExportedObj;
using growth_test::OnTop;

Polyline Line(const Vector3& from, const Vector3& to) {
    return growth_test::Path({from, to});
}

class GrowthRun : public ::testing::Test {
protected:
    GrowthSummary Grow(FiberCore& core, GrowthRandom& random,
                       const GrowthPassCallback& onPass = {}) {
        return core.GoGrowth(heart.Target(), parameters, random, onPass);
    }
    GrowthSummary Grow(FiberCore& core) { return Grow(core, random); }
    growth_test::BoxHeart& heart = growth_test::SharedBoxHeart();
    GrowthParameters parameters;
    GrowthRandom random;
};

TEST_F(GrowthRun, PassCallbackSeesEveryPassAndTheKeptStrokes) {
    FiberCore core;
    core.startPoints.push_back({OnTop(5, 5), OnTop(5, 7)});
    std::vector<std::pair<int, int>> calls;
    const GrowthSummary summary =
        Grow(core, random, [&](int pass, int kept) { calls.emplace_back(pass, kept); });
    ASSERT_EQ(static_cast<int>(calls.size()), summary.passes + 1);
    EXPECT_EQ(calls.front(), std::make_pair(0, 1));
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].first, static_cast<int>(i));
        EXPECT_GE(calls[i].second, calls[i - 1].second);
    }
    EXPECT_EQ(calls.back().second, summary.strokeCount);
    EXPECT_GT(summary.strokeCount, 10);
}

TEST_F(GrowthRun, ZeroStartDirectionGivesAPointStrokeWithIdentityEndFrame) {
    FiberCore core;
    core.startPoints.push_back({OnTop(5, 5), OnTop(5, 5)});
    Grow(core);
    const Stroke& first = *core.fibers[0].strokes[0];
    ASSERT_EQ(first.path.points.size(), 2u);
    EXPECT_EQ(first.path.points[0].x, first.path.points[1].x);
    EXPECT_EQ(first.path.points[0].y, first.path.points[1].y);
    Matrix4 expected;
    expected.SetIdentity();
    SetFrameOrigin(expected, OnTop(5, 5));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(first.endFrame.m[i], expected.m[i]) << i;
    for (const Vector3& v : first.tube.vertices) EXPECT_FALSE(std::isnan(v.x + v.y + v.z));
}

TEST_F(GrowthRun, InitAllStrokesKeepsTheStartPointsOnly) {
    FiberCore core;
    core.startPoints.push_back({OnTop(2, 2), OnTop(2, 3)});
    core.featureCurves.push_back(Line(OnTop(2, 6), OnTop(4, 6)));
    Grow(core);
    ASSERT_EQ(core.fibers.size(), 2u);
    core.InitAllStrokes();
    EXPECT_TRUE(core.fibers.empty());
    EXPECT_TRUE(core.featureCurves.empty());
    Grow(core);
    EXPECT_EQ(core.fibers.size(), 1u);
}

TEST_F(GrowthRun, DegenerateCurvesEndTheirFibresAndStatisticsPrintZeros) {
    FiberCore core;
    Polyline nan = growth_test::Path({OnTop(5, 5), Vector3(std::nan(""), 5, 5), OnTop(6, 5)});
    core.featureCurves = {Polyline(), growth_test::Path({OnTop(5, 5)}),
                          Line(OnTop(5, 5), OnTop(5.1, 5)), nan};
    ConsoleCapture console;
    const GrowthSummary summary = Grow(core);
    EXPECT_EQ(summary.strokeCount, 0);
    EXPECT_LE(summary.passes, 2);
    for (const Fiber& fiber : core.fibers)
        EXPECT_TRUE(fiber.strokes.empty() && fiber.apexes.empty());
    // A run without strokes: counts of 0 and no not-a-number.
    const std::string& text = console.Text();
    EXPECT_EQ(text.find("nan"), std::string::npos);
    for (const char* line : {"mean length = 0.000000!!!!!!!!!\n", "\n  0[400-420]0.000000\n",
                             "area = 4674.456900, numOfBranchPointParUnit 0.000000 \n",
                             "collisionEdge 0 / 0  rate = 0.000000 \n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(GrowthStatistics, LinesFollowTheStrokeLengths) {
    // Lengths 10, 30, 30 and 500 mm: bins 0, 1, 1 and (above 20) 20.
    std::vector<Fiber> fibers(2);
    for (double mm : {10.0, 30.0, 30.0, 500.0}) {
        auto stroke = std::make_unique<Stroke>();
        stroke->path.points = {Vector3(), Vector3(mm / kModelUnitMm, 0, 0)};
        fibers[mm > 100 ? 1 : 0].strokes.push_back(std::move(stroke));
    }
    ConsoleCapture console;
    const GrowthSummary summary = PrintGrowthStatistics(fibers, 1);
    EXPECT_EQ(summary.strokeCount, 4);
    const std::string dashes25(50, '-');
    char density[64];
    std::snprintf(density, sizeof density, "%f", 4 * 1000.0 / kStatisticsArea);
    std::string expected = "mean length = 142.500000!!!!!!!!!\n" + dashes25 +
                           "  1[0-20]0.250000\n" + dashes25 + dashes25 + "  2[20-40]0.500000\n";
    for (int bin = 2; bin < 20; ++bin) {
        expected +=
            "  0[" + std::to_string(20 * bin) + "-" + std::to_string(20 * bin + 20) + "]0.000000\n";
    }
    expected += dashes25 + "  1[400-420]0.250000\n";
    expected += std::string("area = 4674.456900, numOfBranchPointParUnit ") + density + " \n";
    expected += "collisionEdge 1 / 4  rate = 0.250000 \n";
    EXPECT_EQ(console.Text(), expected);
}

// A junction links its stroke to the stroke it met, and its path ends there (or one
// sample before, when rounding drops the last sample); the conduction graph is built
// on these links. (Without tree structure there are none: the pinned right ventricle.)
TEST_F(GrowthRun, JunctionsLinkToTheStrokeTheyMetAndEndOnIt) {
    FiberCore core;  // a start point aimed at a curve: its tree runs into the curve's strokes
    core.startPoints.push_back({OnTop(4.4, 5), OnTop(5, 5)});
    core.featureCurves.push_back(Line(OnTop(5, 2), OnTop(5, 8)));
    ConsoleCapture quiet;
    const GrowthSummary summary = Grow(core);
    int collided = 0;
    bool curveWasHit = false;
    for (const Fiber& fiber : core.fibers) {
        for (const auto& stroke : fiber.strokes) {
            if (!stroke->collided) continue;
            ++collided;
            EXPECT_TRUE(stroke->finished);
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
std::string GrowScene(growth_test::BoxHeart& heart, GrowthRandom& random,
                      FiberCore* keep = nullptr) {
    FiberCore core;
    core.startPoints.push_back({OnTop(3, 3), OnTop(4, 3.5)});
    core.startPoints.push_back(
        {Vector3(5, 5, 1 + growth_test::kLayerDepth), Vector3(5, 6, 1 + growth_test::kLayerDepth)});
    core.startPoints.push_back(
        {Vector3(9 - growth_test::kLayerDepth, 4, 4), Vector3(9 - growth_test::kLayerDepth, 4, 5)});
    core.featureCurves.push_back(Line(OnTop(6, 2), OnTop(6, 8)));
    const GrowthParameters parameters;
    core.GoGrowth(heart.Target(), parameters, random);
    std::string obj = ExportedObj(core);
    if (keep) *keep = std::move(core);
    return obj;
}

TEST_F(GrowthRun, SameInputsGrowTheSameFibresEvenAfterStaleVolumeContents) {
    GrowthRandom first, second;
    FiberCore grown;
    std::string a, statisticsA;
    {
        ConsoleCapture console;
        a = GrowScene(heart, first, &grown);
        statisticsA = console.Text();
    }
    EXPECT_GT(a.size(), 100000u);
    for (const Fiber& fiber : grown.fibers) {
        for (const auto& stroke : fiber.strokes) {
            EXPECT_GT(stroke->path.points.size(), 1u);
            for (const Vector3& p : stroke->path.points) ASSERT_TRUE(heart.volume.Contains(p));
        }
    }
    {
        // Grow, then drop the strokes without resetting the volume: the next run
        // must see none of them (nor their density).
        ConsoleCapture quiet;
        FiberCore old;
        old.startPoints.push_back({OnTop(5, 5), OnTop(5, 6)});
        old.GoGrowth(heart.Target(), parameters, random);
        old.InitAllStrokes();
    }
    ConsoleCapture console;
    EXPECT_TRUE(GrowScene(heart, second) == a);
    EXPECT_EQ(console.Text(), statisticsA);

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
    growth_test::ConsoleCapture console;
    const GrowthSummary summary = growth.Grow(1000);
    EXPECT_TRUE(summary.stoppedAtStrokeLimit);
    EXPECT_EQ(KeptStrokes(growth.core), 1000);
    EXPECT_NE(console.Text().find("growth stopped: the work limit of 1000 strokes was reached\n"),
              std::string::npos)
        << console.Text();
    growth.core.rule2.stemLength = 1.0;
}

// A run that ends by itself below the limit is not reported as stopped, also when
// the limit is its exact size.
TEST(GrowthLimit, ARunThatFitsIsNotStopped) {
    SceneGrowth& growth = DemoHeartGrowth();
    growth.random = GrowthRandom();
    const GrowthSummary full = growth.Grow();
    EXPECT_FALSE(full.stoppedAtStrokeLimit);
    const int size = KeptStrokes(growth.core);
    growth.random = GrowthRandom();
    growth_test::ConsoleCapture console;
    const GrowthSummary atLimit = growth.Grow(size);
    EXPECT_EQ(KeptStrokes(growth.core), size);
    EXPECT_EQ(console.Text().find("work limit"), std::string::npos);
    EXPECT_EQ(atLimit.stoppedAtStrokeLimit, false);
}

}  // namespace
}  // namespace vantrel
