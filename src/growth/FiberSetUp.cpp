// Setting a fibre up: the first stroke of a start point, or the copy of a feature
// curve that the first growth pass traces.
#include "growth/Fiber.h"
#include "growth/GrowthContext.h"
#include "growth/LayerLookup.h"
#include "growth/RewritingRule.h"
#include "growth/StartPoint.h"
#include "heart/SurfaceFitting.h"

namespace vantrel {

void Fiber::SetUpFromStartPoint(const StartPoint& sp, GrowthContext& context,
                                const RewritingRule& rule2) {
    strokes.clear();
    apexes.clear();
    fromCurve = false;
    curveTraced = false;
    lastCurveStroke = nullptr;
    segmentLength = rule2.stemLength * kSegmentLengthFactor;

    const double r0 = rule2.stemWidth * kInitialRadiusFactor;
    const double r1 = r0 * rule2.continuationWidth;
    Vector3 direction = sp.directionPoint - sp.position;
    // A zero direction stays (0,0,0): the first stroke degenerates to a point.
    direction.Normalize();
    const Vector3 end = sp.position + direction * segmentLength;

    auto stroke = std::make_unique<Stroke>();
    Stroke& s = *stroke;
    SetFrameOrigin(s.startFrame, sp.position);
    s.path.points = {sp.position, end};
    s.startRadius = r0;
    s.endRadius = r1;
    s.branchDepth = 0;

    Vector3 towardsEnd = end - sp.position;
    towardsEnd.Normalize();
    s.endFrame = TurnedTowards(s.startFrame, towardsEnd);
    SetFrameOrigin(s.endFrame, end);

    context.volume.MarkStroke(&s);
    apexes.push_back(std::move(stroke));
    s.tube.BuildTube(s.path, r0, r1, kTubeColumns, direction);

    // The cell of the start (not of the end) gives the surface normal.
    if (const LayerVoxel* record = LayerRecordAt(context.volume, sp.position)) {
        AlignFrameToSurface(s.endFrame, record->normal);
    }
}

void Fiber::SetUpFromCurve(const Polyline& featureCurve, const RewritingRule& rule2) {
    strokes.clear();
    apexes.clear();
    curve = featureCurve;
    fromCurve = true;
    curveTraced = false;
    lastCurveStroke = nullptr;
    segmentLength = rule2.stemLength * kSegmentLengthFactor;
    curvePosition = 0.0;
}

}  // namespace vantrel
