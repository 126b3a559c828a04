// Growth on the box heart, for what the pinned outputs do not reach. A lateral's
// survival and the depth limit (which the pinned runs never reach) on the box's top
// face, where the layer is flat and every layer cell near the middle has the normal
// (0, 0, 1); whole runs with degenerate starts and curves, junction links, determinism
// over a stale volume, and the work limit that stops a run a rule the scene file
// refuses would make endless.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "demo_growth.h"
#include "growth/Fiber.h"
#include "growth/FiberCore.h"
#include "growth/RewritingRule.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::ConsoleCapture;
using growth_test::OnTop;
using growth_test::Path;

class OnBoxHeart : public ::testing::Test {
protected:
    void SetUp() override { heart.volume.ResetOccupancy(); }

    GrowthContext Context() {
        return GrowthContext(heart.volume, heart.mesh, growth_test::kLayerDepth, parameters, random,
                             collisions);
    }

    // A front stroke of the given depth ending at `at`, heading along +x.
    Stroke* AddApex(Fiber& fiber, const Vector3& at, int depth) {
        fiber.apexes.push_back(std::make_unique<Stroke>());
        Stroke* apex = fiber.apexes.back().get();
        apex->endFrame.SetRotationZ(-1.5707963267948966);  // +y along +x, +z the face normal
        SetFrameOrigin(apex->endFrame, at);
        apex->branchDepth = depth;
        apex->endRadius = 0.03;
        return apex;
    }

    GrowthSummary Grow(FiberCore& core) {
        return core.GoGrowth(heart.Target(), parameters, random);
    }

    growth_test::BoxHeart& heart = growth_test::SharedBoxHeart();
    GrowthParameters parameters;
    GrowthRandom random;
    int collisions = 0;
    RewritingRule rule2{1, false, 2};
};

TEST_F(OnBoxHeart, DepthFiftySproutsAndFiftyOneDoesNot) {
    parameters.RandomDirectionRate = 0.0;
    Fiber fiber;
    fiber.segmentLength = rule2.stemLength * kSegmentLengthFactor;
    Stroke* fifty = AddApex(fiber, OnTop(4.5, 4.5), 50);
    Stroke* fiftyOne = AddApex(fiber, OnTop(5.5, 6), 51);
    GrowthContext context = Context();
    EXPECT_TRUE(fiber.ExpandApexes(context, rule2));
    ASSERT_EQ(fiber.apexes.size(), 2u);
    for (const auto& child : fiber.apexes) {
        EXPECT_EQ(child->branchDepth, 51);
        EXPECT_EQ(fifty->links.count(child.get()), 1u);
    }
    EXPECT_TRUE(fiftyOne->links.empty());
    // The children at depth 51 are not expanded: the growth ends.
    EXPECT_FALSE(fiber.ExpandApexes(context, rule2));
    EXPECT_EQ(fiber.strokes.size(), 4u);
}

TEST_F(OnBoxHeart, ChildrenOutsideTheLayerOrTooShortAreDropped) {
    parameters.RandomDirectionRate = 0.0;
    parameters.SegmentResolution = 2;  // one step of a whole segment: out of the box
    Fiber fiber;
    fiber.segmentLength = kSegmentLengthFactor;
    Stroke* edge = AddApex(fiber, OnTop(8.95, 5), 0);
    GrowthContext context = Context();
    EXPECT_FALSE(fiber.ExpandApexes(context, rule2));
    EXPECT_TRUE(edge->finished);  // expanded, and no child survived

    // A segment of 0.01 gives children of 0.01 < 0.01462629808395495.
    Fiber tiny;
    tiny.segmentLength = 0.01;
    AddApex(tiny, OnTop(5, 5), 0);
    EXPECT_FALSE(tiny.ExpandApexes(context, rule2));
}

TEST_F(OnBoxHeart, ZeroStartDirectionGivesAPointStrokeWithIdentityEndFrame) {
    FiberCore core;
    core.startPoints.push_back({OnTop(5, 5), OnTop(5, 5)});
    Grow(core);
    const Stroke& first = *core.fibers[0].strokes[0];
    Matrix4 expected;
    expected.SetIdentity();
    SetFrameOrigin(expected, OnTop(5, 5));
    EXPECT_TRUE(std::equal(std::begin(expected.m), std::end(expected.m), first.endFrame.m));
    for (const Vector3& v : first.tube.vertices) EXPECT_FALSE(std::isnan(v.x + v.y + v.z));
}

TEST_F(OnBoxHeart, DegenerateCurvesEndTheirFibresAndStatisticsPrintZeros) {
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

// A junction links its stroke to the stroke it met, and its path ends there (or one
// sample before, when rounding drops the last sample); the conduction graph is built
// on these links. (Without tree structure there are none: the pinned right ventricle.)
TEST_F(OnBoxHeart, JunctionsLinkToTheStrokeTheyMetAndEndOnIt) {
    FiberCore core;  // a start point aimed at a curve: its tree runs into the curve's strokes
    core.startPoints.push_back({OnTop(4.4, 5), OnTop(5, 5)});
    core.featureCurves.push_back(Path({OnTop(5, 2), OnTop(5, 8)}));
    ConsoleCapture quiet;
    const GrowthSummary summary = Grow(core);
    int collided = 0;
    for (const Fiber& fiber : core.fibers) {
        for (const auto& stroke : fiber.strokes) {
            if (!stroke->collided) continue;
            ++collided;
            ASSERT_EQ(stroke->links.size(), 1u);
            Vector3 nearest;
            double squared = 0.0;
            ASSERT_TRUE(VoxelVolume::NearestPointOnPolyline(stroke->path.points.back(),
                                                            (*stroke->links.begin())->path.points,
                                                            nearest, squared));
            EXPECT_LT(squared, 0.01);
        }
    }
    EXPECT_GT(collided, 0);
    EXPECT_EQ(collided, summary.collisionCount);
}

// Three start points and a curve on the box heart, grown into `core` with the given
// generator.
std::string GrowScene(growth_test::BoxHeart& heart, GrowthRandom& random, FiberCore& core) {
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

// A second run with the same generator draws on and grows differently; its strokes,
// still alive in the volume's cells, must leave no trace (nor density) in the next run.
TEST_F(OnBoxHeart, SameInputsGrowTheSameFibresEvenAfterStaleVolumeContents) {
    GrowthRandom first, second;
    FiberCore cores[3];
    const std::string a = GrowScene(heart, first, cores[0]);
    EXPECT_GT(a.size(), 100000u);
    EXPECT_FALSE(GrowScene(heart, first, cores[1]) == a);
    EXPECT_TRUE(GrowScene(heart, second, cores[2]) == a);
}

// ---- the work limit, on the demo heart

int KeptStrokes(const FiberCore& core) {
    std::size_t count = 0;
    for (const Fiber& fiber : core.fibers) count += fiber.strokes.size() + fiber.apexes.size();
    return static_cast<int>(count);
}

// A run that ends by itself at exactly the limit's size is not reported as stopped.
// The scene, the curve cut into strokes of a micrometre, gives millions of
// strokes: a limit of 1,000 ends the run at exactly 1,000.
TEST(GrowthLimit, StopsAMicrometreStemAtTheLimitButNotARunThatFits) {
    SceneGrowth growth;
    ASSERT_TRUE(growth.Load(DemoDataPath("demo-heart.obj"),
                            SegmentationChoice::File(DemoDataPath("demo-heart.kxseg")),
                            kDemoHeartScene));
    growth.Grow();
    const int size = KeptStrokes(growth.core);
    growth.random = GrowthRandom();
    ConsoleCapture console;
    EXPECT_FALSE(growth.Grow(size).stoppedAtStrokeLimit);
    EXPECT_EQ(KeptStrokes(growth.core), size);
    EXPECT_EQ(console.Text().find("work limit"), std::string::npos);
    growth.core.rule2.stemLength = 1e-6;
    EXPECT_TRUE(growth.Grow(1000).stoppedAtStrokeLimit);
    EXPECT_EQ(KeptStrokes(growth.core), 1000);
    EXPECT_NE(console.Text().find("growth stopped: the work limit of 1000 strokes was reached\n"),
              std::string::npos);
}

}  // namespace
}  // namespace vantrel
