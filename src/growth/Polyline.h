#pragma once
// An ordered list of points with an RGBA colour: the type of feature curves and of
// every stroke's path. Copying copies the points and the colour.
#include <array>
#include <vector>

#include "geometry/Vector3.h"

namespace vantrel {

struct Polyline {
    std::vector<Vector3> points;
    // Colour (r, g, b, a) used when the polyline is drawn as lines.
    std::array<float, 4> color{0.0f, 0.0f, 1.0f, 0.5f};

    // Sum of the distances between consecutive points; 0.0 for fewer than 2 points.
    double Length() const;

    // The point at arc length s from the first point, the unit tangent there and
    // the index of the segment's first point. Segment i runs from points[i-1] to
    // points[i]; the first whose cumulative end length is >= s is used. Beyond the
    // end: the last point, the normalised last segment (its `zero` flag set when its
    // two points coincide) and index size - 1. Fewer than 2 points: (0,0,0),
    // (0,0,0) and index 0. A zero-length segment gives a zero tangent (flag set).
    void PointAtArcLength(double s, Vector3& point, Vector3& tangent, int& index) const;

    // Replaces each interior point by 0.25 p[i-1] + 0.5 p[i] + 0.25 p[i+1] of the
    // old points; the ends stay. No change for fewer than 3 points.
    void Smooth();
};

}  // namespace vantrel
