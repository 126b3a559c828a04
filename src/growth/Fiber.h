#pragma once
// One fibre: a tree of strokes grown from a start point or along a feature curve.
// `strokes` holds every stroke no longer on the growth front, in order of creation
// (generation by generation); `apexes` is the current front. The fibre owns both;
// it is move-only, since a copy would share the strokes.
#include <memory>
#include <vector>

#include "growth/Polyline.h"
#include "growth/Stroke.h"
#include "heart/VoxelVolume.h"

namespace vantrel {

struct GrowthContext;
struct Lateral;
class RewritingRule;
struct StartPoint;

// Nominal stroke length in model units per unit of rule 2's stemLength (1.8 mm at
// 6.837 mm per model unit).
constexpr double kSegmentLengthFactor = 0.26327336551118913;
// No child is drawn shorter than this factor of the segment length.
constexpr double kMinimumLengthFactor = 0.01;
// Children shorter than this (0.1 mm in model units) are discarded.
constexpr double kMinimumChildLength = 0.01462629808395495;
// Tube radius at a fibre's start, per unit of the rule's stemWidth.
constexpr double kInitialRadiusFactor = 0.2;
// Every stroke's tube: a triangular cross-section, the fourth column closing the seam.
constexpr int kTubeColumns = 4;

class Fiber {
public:
    Fiber() = default;
    Fiber(Fiber&&) = default;
    Fiber& operator=(Fiber&&) = default;
    Fiber(const Fiber&) = delete;
    Fiber& operator=(const Fiber&) = delete;

    std::vector<std::unique_ptr<Stroke>> strokes;
    std::vector<std::unique_ptr<Stroke>> apexes;
    double segmentLength = 0.0;  // nominal stroke length, model units
    bool fromCurve = false;
    double curvePosition = 0.0;  // arc length of `curve` already cut into strokes
    Polyline curve;
    Stroke* lastCurveStroke = nullptr;  // not owning
    // Set once TraceCurve has run: a curve is traced in one go, also when it is too
    // short to give a single stroke (otherwise such a fibre would be traced again
    // in every pass and the growth would never end).
    bool curveTraced = false;

    // Empties the fibre and makes its first stroke, from sp.position towards
    // sp.directionPoint, one segment long; stamps it into the volume and puts it on
    // the front. A direction point equal to the position gives a zero-length stroke.
    void SetUpFromStartPoint(const StartPoint& sp, GrowthContext& context,
                             const RewritingRule& rule2);

    // Empties the fibre and keeps a copy of the curve to trace; no stroke yet.
    void SetUpFromCurve(const Polyline& featureCurve, const RewritingRule& rule2);

    // One growth pass of this fibre: traces the curve the first time, afterwards
    // expands the front. True when the fibre changed.
    bool GrowStep(GrowthContext& context, const RewritingRule& rule1, const RewritingRule& rule2);

    // Cuts the curve into strokes of segmentLength (a remainder shorter than one
    // step is not traced), chains them, and sprouts rule 1's laterals at every joint
    // whose cell is in the fibre layer; the laterals become the front. Always true.
    bool TraceCurve(GrowthContext& context, const RewritingRule& rule1);

    // Sprouts rule 1's laterals from the earlier of two consecutive curve strokes when
    // their joint lies in a fibre-layer cell; the children join the front.
    void SproutAtCurveJoint(Stroke& earlier, Stroke& later, const RewritingRule& rule1,
                            GrowthContext& context);

    // Moves the front to `strokes` (shuffled first when the option is on) and
    // sprouts rule 2's laterals from every front stroke of depth <= 50 that is not
    // finished; the surviving children become the new front. True when it is not
    // empty.
    bool ExpandApexes(GrowthContext& context, const RewritingRule& rule2);

    // Grows one child of `parent` along `lateral`: its length is drawn from the
    // generator, its path walked over the fibre layer. Returns none when the walk
    // left the layer, collided (unless junctions are kept: then the child ends on
    // the stroke it met, finished, linked to it, and collisionCount grows) or came
    // out shorter than 0.1 mm. The child is neither stamped nor given a tube here.
    std::unique_ptr<Stroke> SproutLateral(const Lateral& lateral, const Stroke& parent,
                                          const ExcludedStrokes& excluded, GrowthContext& context);
};

}  // namespace vantrel
