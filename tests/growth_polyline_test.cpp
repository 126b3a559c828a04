#include <gtest/gtest.h>

#include "growth/Polyline.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::ExpectNear;
using growth_test::Path;

TEST(Polyline, LengthAndPointAtArcLength) {
    const Polyline bent = Path({Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(2, 3, 0)});
    const Polyline repeatedEnd = Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 0, 0)});
    const Polyline single = Path({Vector3(4, 4, 4)});
    EXPECT_EQ(Path({}).Length(), 0.0);
    EXPECT_EQ(single.Length(), 0.0);
    EXPECT_EQ(bent.Length(), 5.0);
    struct Case {
        const char* name;
        const Polyline& line;
        double length;
        int index;
        Vector3 point, tangent;
        bool zeroTangent;
    };
    const Case cases[] = {
        {"start", bent, 0.0, 0, Vector3(0, 0, 0), Vector3(1, 0, 0), false},
        // A segment's end length belongs to that segment (>=), not to the next one.
        {"end of first segment", bent, 2.0, 0, Vector3(2, 0, 0), Vector3(1, 0, 0), false},
        {"inside second segment", bent, 3.5, 1, Vector3(2, 1.5, 0), Vector3(0, 1, 0), false},
        {"beyond the end: last point", bent, 9.0, 2, Vector3(2, 3, 0), Vector3(0, 1, 0), false},
        {"coinciding last points: zero tangent, flagged", repeatedEnd, 5.0, 2, Vector3(1, 0, 0),
         Vector3(), true},
        {"too short: origin", single, 1.0, 0, Vector3(), Vector3(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Vector3 point(5, 5, 5), tangent(1, 1, 1);
        tangent.zero = !c.zeroTangent;
        int index = 7;
        c.line.PointAtArcLength(c.length, point, tangent, index);
        EXPECT_EQ(index, c.index);
        ExpectNear(point, c.point, 1e-15);
        ExpectNear(tangent, c.tangent, 0.0);
        EXPECT_EQ(tangent.zero, c.zeroTangent);
    }
}

TEST(Polyline, SmoothAveragesInteriorPointsFromOldValues) {
    Polyline line = Path({Vector3(0, 0, 0), Vector3(1, 4, 0), Vector3(2, 0, 0), Vector3(3, 4, 0)});
    line.Smooth();
    ASSERT_EQ(line.points.size(), 4u);
    EXPECT_EQ(line.points[0].y, 0.0);
    EXPECT_EQ(line.points[1].y, 2.0);  // 0.25*0 + 0.5*4 + 0.25*0 (old point 2)
    EXPECT_EQ(line.points[2].y, 2.0);  // 0.25*4 + 0.5*0 + 0.25*4 (old point 1)
    EXPECT_EQ(line.points[3].y, 4.0);

    Polyline three = Path({Vector3(0, 0, 0), Vector3(1, 4, 0), Vector3(2, 0, 0)});
    three.Smooth();
    EXPECT_EQ(three.points[1].y, 2.0);
}

}  // namespace
}  // namespace vantrel
