// Whole growth runs on the box heart: fibre set-up from start points and curves,
// junctions, the statistics lines, termination on degenerate curves, and
// determinism.
#include <gtest/gtest.h>

#include <cmath>

#include "growth/FiberCore.h"
#include "growth/GrowthStatistics.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::ConsoleCapture;
using growth_test::ExportedObj;
using growth_test::kTopLayerZ;
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
    // A context for growing one fibre by hand, on an emptied volume.
    GrowthContext Context(int& collisionCount) {
        heart.volume.ResetOccupancy();
        return GrowthContext(heart.volume, heart.mesh, growth_test::kLayerDepth, parameters, random,
                             collisionCount);
    }

    growth_test::BoxHeart& heart = growth_test::SharedBoxHeart();
    GrowthParameters parameters;
    GrowthRandom random;
    int collisions = 0;
};

// The frame's rotation columns are x, y and z.
void ExpectRotation(const Matrix4& frame, const Vector3& x, const Vector3& y, const Vector3& z) {
    const Vector3 axes[] = {x, y, z};
    for (int c = 0; c < 3; ++c)
        growth_test::ExpectNear(Vector3(frame.m[4 * c], frame.m[4 * c + 1], frame.m[4 * c + 2]),
                                axes[c]);
}

TEST_F(GrowthRun, FirstStrokeIsOneSegmentTowardsTheDirectionPoint) {
    FiberCore core;
    core.startPoints.push_back({OnTop(5, 5), OnTop(5, 7)});
    std::vector<std::pair<int, int>>
        calls;  // the pass callback sees every pass and the kept strokes
    const GrowthSummary summary =
        Grow(core, random, [&](int pass, int kept) { calls.emplace_back(pass, kept); });
    ASSERT_EQ(static_cast<int>(calls.size()), summary.passes + 1);
    EXPECT_EQ(calls.front(), std::make_pair(0, 1));
    for (std::size_t i = 1; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].first, static_cast<int>(i));
        EXPECT_GE(calls[i].second, calls[i - 1].second);
    }
    EXPECT_EQ(calls.back().second, summary.strokeCount);
    const Stroke& first = *core.fibers[0].strokes[0];
    const double segment = kSegmentLengthFactor;
    ASSERT_EQ(first.path.points.size(), 2u);
    EXPECT_NEAR(first.path.points[1].y, 5 + segment, 1e-12);
    EXPECT_EQ(first.startRadius, 0.15 * 0.2);
    EXPECT_EQ(first.endRadius, 0.15 * 0.2 * 0.95);
    EXPECT_EQ(first.branchDepth, 0);
    // The start frame is the identity at the start point; the end frame turns +y
    // onto the stroke (here +y already) and keeps +z on the face normal.
    ExpectRotation(first.startFrame, Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1));
    ExpectRotation(first.endFrame, Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1));
    EXPECT_EQ(FrameOrigin(first.endFrame).y, first.path.points[1].y);
    EXPECT_GT(core.fibers[0].strokes.size(), 10u);

    FiberCore sideways;
    sideways.startPoints.push_back({OnTop(5, 5), OnTop(8, 5)});
    Grow(sideways);
    ExpectRotation(sideways.fibers[0].strokes[0]->endFrame, Vector3(0, -1, 0), Vector3(1, 0, 0),
                   Vector3(0, 0, 1));
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

TEST_F(GrowthRun, FibresFromStartPointsComeBeforeFibresFromCurves) {
    FiberCore core;
    for (int i = 0; i < 3; ++i)
        core.startPoints.push_back({OnTop(2 + 2 * i, 2), OnTop(2 + 2 * i, 3)});
    core.featureCurves.push_back(Line(OnTop(2, 6), OnTop(4, 6)));
    core.featureCurves.push_back(Line(OnTop(5, 8), OnTop(8, 8)));
    Grow(core);
    ASSERT_EQ(core.fibers.size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(core.fibers[i].fromCurve, i >= 3) << i;
    EXPECT_NEAR(core.fibers[4].strokes[0]->path.points[0].x, 5.0, 1e-12);

    // Init All Strokes keeps the start points only.
    core.InitAllStrokes();
    EXPECT_TRUE(core.fibers.empty());
    EXPECT_TRUE(core.featureCurves.empty());
    Grow(core);
    EXPECT_EQ(core.fibers.size(), 3u);
}

TEST_F(GrowthRun, CurveOfTwoAndAHalfSegmentsGivesTwoStrokesAndOneJoint) {
    const double segment = kSegmentLengthFactor;
    GrowthContext context = Context(collisions);
    const RewritingRule rule1(0, true, 1), rule2(1, false, 2);
    Fiber fiber;
    fiber.SetUpFromCurve(Line(OnTop(3, 5), OnTop(3 + 2.5 * segment, 5)), rule2);
    EXPECT_TRUE(fiber.GrowStep(context, rule1, rule2));

    ASSERT_EQ(fiber.strokes.size(), 2u);
    EXPECT_NEAR(fiber.curvePosition, 2 * segment, 1e-15);
    const Stroke& first = *fiber.strokes[0];
    const Stroke& second = *fiber.strokes[1];
    EXPECT_NEAR(second.path.points.back().x, 3 + 2 * segment, 1e-12);
    EXPECT_EQ(first.startRadius, 0.15 * 0.2);
    EXPECT_EQ(second.startRadius, first.endRadius);
    EXPECT_EQ(first.links.count(const_cast<Stroke*>(&second)), 1u);
    // The second stroke starts with the first one's end frame.
    for (int i = 0; i < 16; ++i) EXPECT_EQ(second.startFrame.m[i], first.endFrame.m[i]);
    // End frame: +y along the curve, turned half about +y by the continuation, so
    // +z points away from the face (and alignment keeps that side).
    ExpectRotation(first.endFrame, Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 0, -1));
    ExpectRotation(second.endFrame, Vector3(0, -1, 0), Vector3(1, 0, 0), Vector3(0, 0, 1));

    // One joint, rule 1's one lateral, from the first stroke.
    ASSERT_EQ(fiber.apexes.size(), 1u);
    EXPECT_EQ(first.links.count(fiber.apexes[0].get()), 1u);
    EXPECT_EQ(fiber.apexes[0]->branchDepth, 1);

    // The curve is traced once; the next pass expands the front.
    fiber.GrowStep(context, rule1, rule2);
    EXPECT_EQ(fiber.strokes.size(), 3u);
}

TEST_F(GrowthRun, CurvePieceCutsTheCornerBeforeItsEnd) {
    GrowthContext context = Context(collisions);
    const RewritingRule rule1(0, true, 0), rule2(1, false, 2);
    // Segments of 0.1, 0.1 and 0.4: the first step (0.26327...) ends on the third.
    Polyline curve;
    curve.points = {OnTop(3, 3), OnTop(3.1, 3), OnTop(3.1, 3.1), OnTop(3.1, 3.5)};
    Fiber fiber;
    fiber.SetUpFromCurve(curve, rule2);
    fiber.GrowStep(context, rule1, rule2);
    ASSERT_EQ(fiber.strokes.size(), 2u);  // 0.6 holds two steps
    const std::vector<Vector3>& piece = fiber.strokes[0]->path.points;
    // Start, point 1, then the end point: point 2 (the start of the end's segment)
    // is left out.
    ASSERT_EQ(piece.size(), 3u);
    EXPECT_EQ(piece[1].x, 3.1);
    EXPECT_EQ(piece[1].y, 3.0);
    EXPECT_NEAR(piece[2].y, 3.1 + (kSegmentLengthFactor - 0.2), 1e-12);
}

TEST_F(GrowthRun, LateralsAlongACurveAlternateSides) {
    parameters.RandomDirectionRate = 0.0;
    const double segment = kSegmentLengthFactor;
    FiberCore core;
    core.featureCurves.push_back(Line(OnTop(2, 5), OnTop(2 + 4.5 * segment, 5)));
    GrowthContext context = Context(core.collisionCount);
    Fiber fiber;
    fiber.SetUpFromCurve(core.featureCurves[0], core.rule2);
    fiber.TraceCurve(context, core.rule1);
    ASSERT_EQ(fiber.strokes.size(), 4u);
    ASSERT_EQ(fiber.apexes.size(), 3u);
    auto side = [&](int i) {
        return fiber.apexes[i]->path.points[1].y - fiber.apexes[i]->path.points[0].y;
    };
    for (int i = 0; i < 3; ++i) EXPECT_GT(std::fabs(side(i)), 0.01) << i;
    EXPECT_LT(side(0) * side(1), 0.0);
    EXPECT_LT(side(1) * side(2), 0.0);
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

TEST_F(GrowthRun, JunctionsEndOnTheStrokeTheyMetUnlessSwitchedOff) {
    for (bool junctions : {true, false}) {
        SCOPED_TRACE(junctions);
        parameters.CreateTreeStructure = junctions;
        // A start point aimed at a curve: its tree runs into the curve's strokes.
        FiberCore core;
        core.startPoints.push_back({OnTop(4.4, 5), OnTop(5, 5)});
        core.featureCurves.push_back(Line(OnTop(5, 2), OnTop(5, 8)));
        ConsoleCapture console;
        const GrowthSummary summary = Grow(core);
        EXPECT_EQ(summary.collisionCount, core.collisionCount);
        EXPECT_EQ(core.collisionCount > 0, junctions);
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
                ASSERT_TRUE(VoxelVolume::NearestPointOnPolyline(
                    stroke->path.points.back(), met->path.points, nearest, squared));
                // The smoothed path ends at the contact point (or one sample before
                // it, when rounding drops the last sample).
                EXPECT_LT(squared, 0.01);
                for (const auto& curveStroke : core.fibers[1].strokes)
                    curveWasHit |= curveStroke.get() == met;
            }
        }
        EXPECT_EQ(collided, core.collisionCount);
        EXPECT_EQ(curveWasHit, junctions);
        EXPECT_NE(console.Text().find("collisionEdge " + std::to_string(collided) + " / "),
                  std::string::npos);
    }
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

}  // namespace
}  // namespace vantrel
