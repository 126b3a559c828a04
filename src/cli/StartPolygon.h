#pragma once
// Start points placed on a heart polygon the way a press and release of the mouse
// on that polygon places them in the program: one placement, four start points.
#include <array>

#include "geometry/Vector3.h"
#include "growth/StartPoint.h"

namespace vantrel {

// The four start points of one placement on the triangle (p0, p1, p2) with unit
// normal `normal`. s = centroid - normal * layerDepth, with centroid =
// (p0 + p1 + p2) * 0.33333333333 (the pick point); the sketch ends at
// e = s + 0.2 * d, d the unit vector from the centroid towards p0. With v = e - s,
// four times: the start point (s, s + v), then v is turned a quarter turn
// (1.5707963267948966) about the normal. A triangle whose first corner is its
// centroid gives four start points whose direction point equals their position.
std::array<StartPoint, 4> StartPointsOnPolygon(const Vector3& p0, const Vector3& p1,
                                               const Vector3& p2, const Vector3& normal,
                                               double layerDepth);

}  // namespace vantrel
