#include <gtest/gtest.h>

#include "growth/Polyline.h"

namespace vantrel {
namespace {

Polyline Path(std::initializer_list<Vector3> points) {
    Polyline line;
    line.points = points;
    return line;
}

TEST(Polyline, LengthSumsSegmentsAndIsZeroBelowTwoPoints) {
    EXPECT_EQ(Path({}).Length(), 0.0);
    EXPECT_EQ(Path({Vector3(1, 2, 3)}).Length(), 0.0);
    EXPECT_DOUBLE_EQ(Path({Vector3(0, 0, 0), Vector3(3, 4, 0), Vector3(3, 4, 2)}).Length(), 7.0);
}

TEST(Polyline, PointAtArcLengthFindsSegmentPointAndTangent) {
    const Polyline line = Path({Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(2, 3, 0)});
    Vector3 point, tangent;
    int index = -1;

    line.PointAtArcLength(0.0, point, tangent, index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(point.x, 0.0);
    EXPECT_EQ(tangent.x, 1.0);

    // A segment's end length belongs to that segment (>=), not to the next one.
    line.PointAtArcLength(2.0, point, tangent, index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(point.x, 2.0);
    EXPECT_EQ(tangent.x, 1.0);

    line.PointAtArcLength(3.5, point, tangent, index);
    EXPECT_EQ(index, 1);
    EXPECT_DOUBLE_EQ(point.x, 2.0);
    EXPECT_DOUBLE_EQ(point.y, 1.5);
    EXPECT_EQ(tangent.y, 1.0);
}

TEST(Polyline, PointAtArcLengthBeyondTheEndGivesLastPoint) {
    const Polyline line = Path({Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(2, 3, 0)});
    Vector3 point, tangent;
    int index = -1;
    line.PointAtArcLength(9.0, point, tangent, index);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(point.y, 3.0);
    EXPECT_EQ(tangent.y, 1.0);
    EXPECT_FALSE(tangent.zero);

    // Coinciding last points: a zero tangent, flagged.
    const Polyline repeated = Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 0, 0)});
    repeated.PointAtArcLength(5.0, point, tangent, index);
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(tangent.zero);
    EXPECT_EQ(tangent.x, 0.0);
}

TEST(Polyline, PointAtArcLengthOfTooShortLineIsOrigin) {
    Vector3 point(5, 5, 5), tangent(1, 1, 1);
    tangent.zero = true;
    int index = 7;
    Path({Vector3(4, 4, 4)}).PointAtArcLength(1.0, point, tangent, index);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(point.x, 0.0);
    EXPECT_EQ(tangent.x, 0.0);
    EXPECT_FALSE(tangent.zero);
}

TEST(Polyline, SmoothAveragesInteriorPointsFromOldValues) {
    Polyline line = Path({Vector3(0, 0, 0), Vector3(1, 4, 0), Vector3(2, 0, 0), Vector3(3, 4, 0)});
    line.Smooth();
    ASSERT_EQ(line.points.size(), 4u);
    EXPECT_EQ(line.points[0].y, 0.0);
    EXPECT_EQ(line.points[1].y, 2.0);  // 0.25*0 + 0.5*4 + 0.25*0 (old point 2)
    EXPECT_EQ(line.points[2].y, 2.0);  // 0.25*4 + 0.5*0 + 0.25*4 (old point 1)
    EXPECT_EQ(line.points[3].y, 4.0);

    Polyline pair = Path({Vector3(0, 0, 0), Vector3(1, 1, 1)});
    pair.Smooth();
    EXPECT_EQ(pair.points[1].x, 1.0);
}

}  // namespace
}  // namespace vantrel
