// A new stroke's walk over the fibre layer, a lateral's survival and the depth
// limit, on the box heart's top face, where the layer is flat: every walked point
// lies at z = 9 - layerDepth, and straight walks can be reasoned out exactly. The
// walks stay near the middle of the face, where every layer cell takes a top
// polygon (the nearest polygon centroid) and so the normal (0, 0, 1). The pinned
// runs walk at resolutions 5 and 7 and never reach the depth limit.
#include <gtest/gtest.h>

#include "growth/Fiber.h"
#include "growth/RewritingRule.h"
#include "growth/WalkStroke.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::kTopLayerZ;
using growth_test::OnTop;
using growth_test::TopFrame;

class WalkOnTopFace : public ::testing::Test {
protected:
    void SetUp() override { heart.volume.ResetOccupancy(); }

    GrowthContext Context() {
        return GrowthContext(heart.volume, heart.mesh, growth_test::kLayerDepth, parameters, random,
                             collisions);
    }

    struct Walk {
        Stroke stroke;
        bool collided = false;
        bool leftVolume = false;
        VolumeStroke* hit = nullptr;
    };
    std::unique_ptr<Walk> WalkFrom(const Vector3& start, const Vector3& heading, double length) {
        auto walk = std::make_unique<Walk>();
        walk->stroke.startFrame = TopFrame(start, heading);
        GrowthContext context = Context();
        WalkStroke(walk->stroke, length, walk->collided, walk->leftVolume, {}, walk->hit, context);
        return walk;
    }

    // A front stroke of the given depth ending at `at`, heading along +x.
    Stroke* AddApex(Fiber& fiber, const Vector3& at, int depth) {
        fiber.apexes.push_back(std::make_unique<Stroke>());
        Stroke* apex = fiber.apexes.back().get();
        apex->endFrame = TopFrame(at, Vector3(1, 0, 0));
        apex->branchDepth = depth;
        apex->endRadius = 0.03;
        return apex;
    }

    growth_test::BoxHeart& heart = growth_test::SharedBoxHeart();
    GrowthParameters parameters;
    GrowthRandom random;
    int collisions = 0;
    RewritingRule rule2{1, false, 2};
};

void ExpectPoint(const Vector3& p, double x, double y, double z) {
    growth_test::ExpectNear(p, Vector3(x, y, z));
}

TEST_F(WalkOnTopFace, ResolutionTwoOrBelowTakesOneStepAndGetsAnEndFrame) {
    for (int resolution : {2, 1}) {
        SCOPED_TRACE(resolution);
        parameters.SegmentResolution = resolution;
        const auto walk = WalkFrom(OnTop(5, 5), Vector3(0.6, 0.8, 0), 0.25);
        ASSERT_FALSE(walk->collided || walk->leftVolume);
        const std::vector<Vector3>& path = walk->stroke.path.points;
        ASSERT_EQ(path.size(), 2u);
        ExpectPoint(path[1], 5.15, 5.2, kTopLayerZ);
        // The end frame carries the start frame's +y onto the last step's direction.
        const Matrix4& end = walk->stroke.endFrame;
        ExpectPoint(FrameYAxis(end), 0.6, 0.8, 0.0);
        ExpectPoint(Vector3(end.m[8], end.m[9], end.m[10]), 0.0, 0.0, 1.0);
        EXPECT_EQ(FrameOrigin(end).x, path[1].x);
    }
}

TEST_F(WalkOnTopFace, WalkThatLeavesTheLayerStopsThere) {
    // One step of 0.3 from 0.1 inside the box's edge ends outside the box.
    parameters.SegmentResolution = 2;
    const auto walk = WalkFrom(OnTop(8.9, 5), Vector3(1, 0, 0), 0.3);
    EXPECT_TRUE(walk->leftVolume);
    EXPECT_FALSE(walk->collided);
    // The path keeps the point outside; the end frame stays as it was.
    ASSERT_EQ(walk->stroke.path.points.size(), 2u);
    ExpectPoint(walk->stroke.path.points[1], 9.2, 5.0, kTopLayerZ);
    EXPECT_EQ(walk->stroke.endFrame.m[5], 1.0);
    // A start outside the layer walks nowhere.
    EXPECT_TRUE(WalkFrom(Vector3(0.5, 5, 5), Vector3(1, 0, 0), 0.4)->stroke.path.points.empty());
}

TEST_F(WalkOnTopFace, DepthFiftySproutsAndFiftyOneDoesNot) {
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

TEST_F(WalkOnTopFace, ChildrenOutsideTheLayerOrTooShortAreDropped) {
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

}  // namespace
}  // namespace vantrel
