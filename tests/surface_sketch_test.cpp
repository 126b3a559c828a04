// The geometry of a left drag on the heart: points under the surface, the aimed
// start-point placement and its four start points, and the feature-curve sketch.
#include "interaction/SurfaceSketch.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

void ExpectNear(const Vector3& a, const Vector3& b, double tolerance = 1e-12) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

Polyline Placement(const Vector3& position) {
  Polyline placement;
  placement.points = {position, position};
  return placement;
}

TEST(SurfaceSketch, PointUnderSurfaceGoesAgainstTheNormal) {
  ExpectNear(PointUnderSurface(Vector3(1, 2, 3), Vector3(0, 0, 1), 0.25), Vector3(1, 2, 2.75));
  ExpectNear(PointUnderSurface(Vector3(1, 2, 3), Vector3(-1, 0, 0), 0.5), Vector3(1.5, 2, 3));
}

TEST(SurfaceSketch, PlacementPointsAFixedShortDirectionAtTheTarget) {
  Polyline placement = Placement(Vector3(5, 5, 5));
  AimPlacement(placement, Vector3(8, 9, 5));  // 3-4-5 triangle: unit (0.6, 0.8, 0)
  ASSERT_EQ(placement.points.size(), 2u);
  ExpectNear(placement.points[0], Vector3(5, 5, 5));
  ExpectNear(placement.points[1], Vector3(5.12, 5.16, 5));
  // Re-aiming replaces the direction; a target close by gives the same length.
  AimPlacement(placement, Vector3(5, 5, 4.99));
  ExpectNear(placement.points[1], Vector3(5, 5, 4.8));
}

TEST(SurfaceSketch, PlacementAimedAtItsOwnPositionHasNoDirection) {
  Polyline placement = Placement(Vector3(1, 1, 1));
  AimPlacement(placement, Vector3(2, 1, 1));
  AimPlacement(placement, Vector3(1, 1, 1));
  EXPECT_EQ(placement.points[1].x, 1.0);
  EXPECT_EQ(placement.points[1].y, 1.0);
  EXPECT_EQ(placement.points[1].z, 1.0);
}

TEST(SurfaceSketch, OnlyATwoPointPlacementIsAimed) {
  Polyline sketch;
  sketch.points = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 0, 0)};
  AimPlacement(sketch, Vector3(0, 5, 0));
  ExpectNear(sketch.points[1], Vector3(1, 0, 0));
  Polyline empty;
  AimPlacement(empty, Vector3(0, 5, 0));
  EXPECT_TRUE(empty.points.empty());
}

TEST(SurfaceSketch, FourStartPointsTurnAQuarterAboutTheNormal) {
  const Vector3 position(2, 3, 4);
  const Vector3 normal(0, 0, 1);
  const auto starts = QuarterTurnStartPoints(position, position + Vector3(0.2, 0, 0), normal);
  // Counter-clockwise about the normal: +x, +y, -x, -y.
  const Vector3 expected[4] = {Vector3(0.2, 0, 0), Vector3(0, 0.2, 0), Vector3(-0.2, 0, 0), Vector3(0, -0.2, 0)};
  for (int i = 0; i < 4; ++i) {
    ExpectNear(starts[i].position, position, 0.0);
    ExpectNear(starts[i].directionPoint - starts[i].position, expected[i], 1e-15);
  }
}

TEST(SurfaceSketch, StartDirectionsKeepLengthAndNormalComponentOnAnyAxis) {
  Vector3 normal(1, 2, 2);  // not unit: the turn uses its direction only
  const Vector3 position(1, 1, 1);
  const Vector3 direction(0.3, -0.1, 0.05);
  const auto starts = QuarterTurnStartPoints(position, position + direction, normal);
  Vector3 unit = normal;
  unit.Normalize();
  for (int i = 0; i < 4; ++i) {
    const Vector3 d = starts[i].directionPoint - starts[i].position;
    EXPECT_NEAR(d.Length(), direction.Length(), 1e-12);
    EXPECT_NEAR(d.Dot(unit), direction.Dot(unit), 1e-12);
    const Vector3 next = starts[(i + 1) % 4].directionPoint - starts[(i + 1) % 4].position;
    // Consecutive directions differ by a quarter turn: their tangential parts are
    // perpendicular (and the fourth turns back onto the first).
    const Vector3 tangential = d - unit * d.Dot(unit);
    const Vector3 nextTangential = next - unit * next.Dot(unit);
    EXPECT_NEAR(tangential.Dot(nextTangential), 0.0, 1e-12);
    EXPECT_GT(tangential.Cross(nextTangential).Dot(unit), 0.0);
  }
}

TEST(SurfaceSketch, PlacementWithoutDirectionGivesFourPointsOnTheirPosition) {
  const Vector3 position(4, 4, 4);
  for (const StartPoint& start : QuarterTurnStartPoints(position, position, Vector3(0, 1, 0))) {
    EXPECT_EQ(start.directionPoint.x, position.x);
    EXPECT_EQ(start.directionPoint.y, position.y);
    EXPECT_EQ(start.directionPoint.z, position.z);
  }
}

TEST(SurfaceSketch, SketchOfFourPointsIsNoCurve) {
  Polyline sketch;
  sketch.points = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 1, 0), Vector3(3, 0, 0)};
  EXPECT_FALSE(FeatureCurveFromSketch(sketch).has_value());
  EXPECT_FALSE(FeatureCurveFromSketch(Polyline()).has_value());
}

TEST(SurfaceSketch, SketchOfFivePointsIsSmoothedTwiceWithItsColour) {
  Polyline sketch;
  sketch.color = {1.0f, 1.0f, 0.0f, 1.0f};
  sketch.points = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 0, 0), Vector3(3, 4, 0), Vector3(4, 0, 0)};
  const auto curve = FeatureCurveFromSketch(sketch);
  ASSERT_TRUE(curve.has_value());
  // The spike in y spreads: 0 0 0 4 0 -> 0 0 1 2 0 -> 0 0.25 1 1.25 0; x stays even.
  const double y[5] = {0.0, 0.25, 1.0, 1.25, 0.0};
  ASSERT_EQ(curve->points.size(), 5u);
  for (int i = 0; i < 5; ++i) ExpectNear(curve->points[i], Vector3(i, y[i], 0));
  EXPECT_EQ(curve->color, sketch.color);
  // The sketch itself is not changed.
  EXPECT_EQ(sketch.points[3].y, 4.0);
}

}  // namespace
}  // namespace vantrel
