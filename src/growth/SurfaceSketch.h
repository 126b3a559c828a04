#pragma once
// The geometry of what a left drag on the heart builds: points placed under the
// surface, the start-point placement (a position and a provisional direction point,
// turned into four start points at the release) and the feature-curve sketch
// (kept when long enough, smoothed twice). The program's mouse listener and
// vantrel-grow's start polygons both build on it.
#include <array>
#include <optional>

#include "geometry/Vector3.h"
#include "growth/Polyline.h"
#include "growth/StartPoint.h"

namespace vantrel {

// Length (model units) of the direction a placement shows while it is dragged.
constexpr double kStartDirectionLength = 0.2;
// Quarter turn (radians) between the four start points of one placement.
constexpr double kStartQuarterTurn = 1.5707963267948966;
// Fewest sketch points that make a feature curve.
constexpr std::size_t kMinFeatureCurvePoints = 5;

// The point `depth` model units under the surface point `surfacePoint`, that is
// against the polygon's outward unit normal `normal` (into the fibre layer).
Vector3 PointUnderSurface(const Vector3& surfacePoint, const Vector3& normal, double depth);

// Aims a placement (points[0] the position, points[1] the direction point) at
// `target`: points[1] = points[0] + 0.2 * unit(target - points[0]). A target on the
// position gives a zero direction, so points[1] = points[0]. A placement without
// exactly two points is left alone.
void AimPlacement(Polyline& placement, const Vector3& target);

// The four start points of one placement: all at `position`; the first aimed at
// `directionPoint`, each next one's direction (directionPoint - position) turned a
// quarter turn about `normal`. A zero normal gives four equal start points.
std::array<StartPoint, 4> QuarterTurnStartPoints(const Vector3& position,
                                                 const Vector3& directionPoint,
                                                 const Vector3& normal);

// The feature curve a finished sketch becomes: a copy (points and colour) smoothed
// twice; nothing for a sketch of fewer than 5 points.
std::optional<Polyline> FeatureCurveFromSketch(const Polyline& sketch);

}  // namespace vantrel
