#pragma once
// Operations on polylines (ordered arrays of points; segment i joins points i-1
// and i): length, resampling into equal pieces, and smoothing with a uniform
// cubic B-spline that takes the points as control points. The growth uses them
// to tidy a stroke that ran into another one.
#include <vector>

#include "geometry/Vector3.h"

namespace vantrel {

// Sum of the segment lengths; 0.0 for fewer than two points.
double PolylineLength(const std::vector<Vector3>& polyline);

// Replaces out by pieces + 1 points spaced equally by path length along in,
// starting at in[0]; the last point is the end of in. A polyline of zero length
// (or of fewer than two points) gives pieces + 1 points (0, 0, 0).
// pieces < 1, or an input whose length is not finite (NaN or infinite
// coordinates), would never finish: out then becomes a copy of in.
// in and out may be the same vector.
void ResamplePolyline(int pieces, const std::vector<Vector3>& in, std::vector<Vector3>& out);

// Replaces out by samples of the clamped uniform cubic B-spline over in's
// points, at t = -1, -1 + step, ... while t <= N (N points, step = (N + 1) / (k - 1)),
// which is k samples unless rounding of the repeated addition drops the last.
// Fewer than two points, or k < 1, give a copy of in. in and out may be the same
// vector.
void SmoothPolyline(const std::vector<Vector3>& in, std::vector<Vector3>& out, int k);

// Point of the clamped uniform cubic B-spline at parameter t: the sum over
// k = -2 .. N+1 of P[clamp(k)] * B(t - k), the first and last control points
// repeated twice beyond the ends. An empty control polygon gives (0, 0, 0).
Vector3 EvaluateClampedBSpline(const std::vector<Vector3>& controlPoints, double t);

// The uniform cubic B-spline basis centred at 0, with a = |t|:
// (3a^3 - 6a^2 + 4) / 6 for a < 1, (2 - a)^3 / 6 for 1 <= a < 2, 0 beyond.
double CubicBSplineBasis(double t);

}  // namespace vantrel
