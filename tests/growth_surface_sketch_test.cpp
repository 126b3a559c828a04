// The geometry of a left drag on the heart: the aimed start-point placement, its
// four start points, and the feature-curve sketch.
#include "growth/SurfaceSketch.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

void ExpectNear(const Vector3& a, const Vector3& b, double tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(SurfaceSketch, PlacementPointsAFixedShortDirectionAtTheTargetOrNone) {
    Polyline placement;
    placement.points = {Vector3(5, 5, 5), Vector3(5, 5, 5)};
    AimPlacement(placement, Vector3(8, 9, 5));  // 3-4-5 triangle: unit (0.6, 0.8, 0)
    ExpectNear(placement.points[0], Vector3(5, 5, 5), 0.0);
    ExpectNear(placement.points[1], Vector3(5.12, 5.16, 5), 1e-12);
    // A target on the position leaves no direction (the arrow is not drawn).
    AimPlacement(placement, Vector3(5, 5, 5));
    ExpectNear(placement.points[1], Vector3(5, 5, 5), 0.0);
}

TEST(SurfaceSketch, FourStartPointsTurnAQuarterCounterClockwiseAboutTheNormal) {
    const Vector3 position(2, 3, 4);
    const auto starts =
        QuarterTurnStartPoints(position, position + Vector3(0.2, 0, 0), Vector3(0, 0, 1));
    const Vector3 expected[4] = {Vector3(0.2, 0, 0), Vector3(0, 0.2, 0), Vector3(-0.2, 0, 0),
                                 Vector3(0, -0.2, 0)};
    for (int i = 0; i < 4; ++i) {
        ExpectNear(starts[i].position, position, 0.0);
        ExpectNear(starts[i].directionPoint - starts[i].position, expected[i], 1e-15);
    }
}

TEST(SurfaceSketch, StartDirectionsKeepLengthAndNormalPartAboutAnyAxis) {
    Vector3 unit(1, 2, 2);  // the turn uses the normal's direction only
    const auto starts =
        QuarterTurnStartPoints(Vector3(1, 1, 1), Vector3(1.3, 0.9, 1.05), Vector3(1, 2, 2));
    unit.Normalize();
    const Vector3 first = starts[0].directionPoint - starts[0].position;
    for (int i = 0; i < 4; ++i) {
        const Vector3 d = starts[i].directionPoint - starts[i].position;
        const Vector3 next = starts[(i + 1) % 4].directionPoint - starts[(i + 1) % 4].position;
        EXPECT_NEAR(d.Length(), first.Length(), 1e-12);
        EXPECT_NEAR(d.Dot(unit), first.Dot(unit), 1e-12);
        // The next direction is this one turned a quarter about the normal.
        ExpectNear(next, unit.Cross(d) + unit * unit.Dot(d), 1e-12);
    }
}

TEST(SurfaceSketch, SketchBecomesACurveFromFivePointsSmoothedTwiceWithItsColour) {
    Polyline sketch;
    sketch.color = {1.0f, 1.0f, 0.0f, 1.0f};
    sketch.points = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 0, 0), Vector3(3, 4, 0)};
    EXPECT_FALSE(FeatureCurveFromSketch(sketch).has_value());
    sketch.points.push_back(Vector3(4, 0, 0));
    const auto curve = FeatureCurveFromSketch(sketch);
    ASSERT_TRUE(curve.has_value());
    // The spike in y spreads: 0 0 0 4 0 -> 0 0 1 2 0 -> 0 0.25 1 1.25 0; x stays even.
    const double y[5] = {0.0, 0.25, 1.0, 1.25, 0.0};
    ASSERT_EQ(curve->points.size(), 5u);
    for (int i = 0; i < 5; ++i) ExpectNear(curve->points[i], Vector3(i, y[i], 0), 1e-15);
    EXPECT_EQ(curve->color, sketch.color);
    EXPECT_EQ(sketch.points[3].y, 4.0);  // the sketch itself stays
}

}  // namespace
}  // namespace vantrel
