// A fibre's growth passes: tracing its feature curve, expanding its growth front,
// and sprouting one lateral child.
#include <cmath>

#include "growth/Fiber.h"
#include "growth/GrowthContext.h"
#include "growth/GrowthRandom.h"
#include "growth/LayerLookup.h"
#include "growth/RewritingRule.h"
#include "growth/WalkStroke.h"
#include "heart/SurfaceFitting.h"

namespace vantrel {

namespace {

// Front strokes deeper than this are not expanded, so 51 is the deepest stroke.
constexpr int kMaximumExpandedDepth = 50;

}  // namespace

bool Fiber::GrowStep(GrowthContext& context, const RewritingRule& rule1,
                     const RewritingRule& rule2) {
    if (fromCurve && !curveTraced) return TraceCurve(context, rule1);
    return ExpandApexes(context, rule2);
}

namespace {

// The piece of `curve` from arc length `from` to `to`, with the curve's tangents at
// both ends. The corner points strictly between are kept, except the start of the
// segment that holds the end: the piece cuts that corner.
Polyline CurvePiece(const Polyline& curve, double from, double to, Vector3& startTangent,
                    Vector3& endTangent) {
    Vector3 p0, p1;
    int i0 = 0, i1 = 0;
    curve.PointAtArcLength(from, p0, startTangent, i0);
    curve.PointAtArcLength(to, p1, endTangent, i1);
    Polyline piece;
    piece.points.push_back(p0);
    for (int i = i0 + 1; i <= i1 - 1; ++i)
        piece.points.push_back(curve.points[static_cast<std::size_t>(i)]);
    piece.points.push_back(p1);
    return piece;
}

// The next curve stroke along `piece`, following `previous` (none for the first, which
// starts upright at the curve's first point): its radius narrows by the continuation
// width, and its end frame turns along the curve, then by the continuation matrix.
std::unique_ptr<Stroke> CurveStroke(Polyline piece, const Vector3& endTangent,
                                    const Stroke* previous, const Vector3& curveStart,
                                    const RewritingRule& rule1) {
    const double r0 = previous ? previous->endRadius : rule1.stemWidth * kInitialRadiusFactor;
    Matrix4 frame;
    if (previous) {
        frame = previous->endFrame;
    } else {
        frame.SetIdentity();
        SetFrameOrigin(frame, curveStart);
    }
    auto stroke = std::make_unique<Stroke>();
    stroke->startFrame = frame;
    stroke->startRadius = r0;
    stroke->endRadius = rule1.continuationWidth * r0;
    stroke->branchDepth = 0;
    stroke->endFrame = TurnedTowards(frame, endTangent).Multiply(rule1.continuationMatrix);
    SetFrameOrigin(stroke->endFrame, piece.points.back());
    stroke->path = std::move(piece);
    return stroke;
}

}  // namespace

bool Fiber::TraceCurve(GrowthContext& context, const RewritingRule& rule1) {
    curveTraced = true;
    VoxelVolume& volume = context.volume;
    const double total = curve.Length();
    // A curve with a non-finite coordinate has no length to cut into steps.
    if (!std::isfinite(total)) return true;
    for (;;) {
        double step = segmentLength;
        if (kMinimumLengthFactor * segmentLength > step)
            step = kMinimumLengthFactor * segmentLength;
        // A remainder shorter than one step is not traced; a step that does not
        // advance would never end the loop.
        if (!(step > 0.0) || !(curvePosition + step <= total)) break;
        if (!context.RoomForStroke()) break;

        Vector3 t0, t1;
        Polyline piece = CurvePiece(curve, curvePosition, curvePosition + step, t0, t1);
        Stroke* prev = lastCurveStroke;
        std::unique_ptr<Stroke> stroke =
            CurveStroke(std::move(piece), t1, prev, curve.points.front(), rule1);
        Stroke& s = *stroke;
        lastCurveStroke = &s;
        strokes.push_back(std::move(stroke));
        context.KeptStroke();
        volume.MarkStroke(&s);
        s.tube.BuildTube(s.path, s.startRadius, s.endRadius, kTubeColumns, t0);
        if (prev) prev->links.insert(&s);
        if (const LayerVoxel* record = LayerRecordAt(volume, s.path.points.back()))
            AlignFrameToSurface(s.endFrame, record->normal);
        curvePosition += step;

        if (prev) SproutAtCurveJoint(*prev, s, rule1, context);
    }
    return true;
}

void Fiber::SproutAtCurveJoint(Stroke& earlier, Stroke& later, const RewritingRule& rule1,
                               GrowthContext& context) {
    VoxelVolume& volume = context.volume;
    if (!volume.IsLayerVoxel(volume.VoxelIndexAt(earlier.path.points.back()))) return;
    for (const Lateral& lateral : rule1.laterals) {
        context.excluded.assign({&earlier, &later});
        std::unique_ptr<Stroke> child = SproutLateral(lateral, earlier, context.excluded, context);
        if (!child) continue;
        if (!context.RoomForStroke()) break;
        child->tube.BuildTube(child->path, child->startRadius, child->endRadius, kTubeColumns,
                              FrameYAxis(earlier.endFrame));
        volume.MarkStroke(child.get());
        earlier.links.insert(child.get());
        apexes.push_back(std::move(child));
        context.KeptStroke();
    }
}

bool Fiber::ExpandApexes(GrowthContext& context, const RewritingRule& rule2) {
    VoxelVolume& volume = context.volume;
    if (context.parameters.ShuffleGrowthApexOrder) ShuffleWithGenerator(apexes, context.random);

    std::vector<Stroke*> front;
    front.reserve(apexes.size());
    for (std::unique_ptr<Stroke>& apex : apexes) {
        front.push_back(apex.get());
        strokes.push_back(std::move(apex));
    }
    apexes.clear();

    std::vector<std::unique_ptr<Stroke>> newFront;
    for (Stroke* a : front) {
        // Every front stroke is aligned, also those not expanded below.
        if (const LayerVoxel* record = LayerRecordAt(volume, FrameOrigin(a->endFrame))) {
            AlignFrameToSurface(a->endFrame, record->normal);
        }
        if (a->branchDepth > kMaximumExpandedDepth || a->finished) continue;
        a->finished = true;
        ExcludedStrokes& excluded = context.excluded;
        excluded.clear();
        excluded.push_back(a);
        for (Stroke* linked : a->links) excluded.push_back(linked);
        const Vector3 y = FrameYAxis(a->endFrame);
        for (const Lateral& lateral : rule2.laterals) {
            std::unique_ptr<Stroke> child = SproutLateral(lateral, *a, excluded, context);
            if (!child) continue;
            if (!context.RoomForStroke()) break;
            child->tube.BuildTube(child->path, child->startRadius, child->endRadius, kTubeColumns,
                                  y);
            // Stamped at once, so the following siblings already see it.
            volume.MarkStroke(child.get());
            excluded.push_back(child.get());
            a->links.insert(child.get());
            a->finished = false;
            newFront.push_back(std::move(child));
            context.KeptStroke();
        }
    }
    apexes = std::move(newFront);
    return !apexes.empty();
}

std::unique_ptr<Stroke> Fiber::SproutLateral(const Lateral& lateral, const Stroke& parent,
                                             const ExcludedStrokes& excluded,
                                             GrowthContext& context) {
    auto child = std::make_unique<Stroke>();
    child->startFrame = parent.endFrame.Multiply(lateral.matrix);
    child->startRadius = parent.endRadius;
    child->endRadius = lateral.width * parent.endRadius;
    child->branchDepth = parent.branchDepth + 1;

    // The lateral's own length factor does not enter: every child is drawn around
    // the fibre's segment length.
    double length =
        (GaussianFactor(context.random, context.parameters.RandomDirectionRate * segmentLength) -
         1.0) +
        segmentLength;
    if (kMinimumLengthFactor * segmentLength > length)
        length = kMinimumLengthFactor * segmentLength;

    VolumeStroke* hit = nullptr;
    WalkStroke(*child, length, child->collided, child->leftVolume, excluded, hit, context);
    if (child->collided) {
        if (!context.parameters.CreateTreeStructure) return nullptr;
        // A junction: it ends on the stroke it met and never grows.
        child->finished = true;
        child->links.insert(static_cast<Stroke*>(hit));
        context.collisionCount += 1;
        return child;
    }
    if (child->leftVolume) return nullptr;
    if (child->path.Length() < kMinimumChildLength) return nullptr;
    return child;
}

}  // namespace vantrel
