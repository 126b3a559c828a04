#pragma once
// Everything the user builds before and during growth: feature curves, start
// points, the two rewriting rules and the fibres grown from them; "Go Growth", the
// excitation animation, conduction blocks and the fibre OBJ export. Plain C++: the
// volume, mesh, parameters, random generator and repaint callbacks come in as
// arguments, so a test can build a FiberCore next to a hand-made volume.
#include <cstdio>
#include <functional>
#include <vector>

#include "growth/Fiber.h"
#include "growth/GrowthParameters.h"
#include "growth/GrowthRandom.h"
#include "growth/Polyline.h"
#include "growth/RewritingRule.h"
#include "growth/StartPoint.h"

namespace vantrel {

class RkPolygonModel;
struct HeartNormalisation;
class VoxelVolume;

// What the fibres grow on: the heart's volume with its fibre layer, the mesh the
// volume was built from (its polygon planes and normals), and the depth under the
// surface at which walked points are placed (half the volume's voxel size).
struct GrowthTarget {
    VoxelVolume& volume;
    const RkPolygonModel& mesh;
    double layerDepth;
};

// Called after the set-up (pass 0) and after every growth pass (1, 2, ...) with the
// number of strokes that exist so far (kept strokes and front); a progress display.
using GrowthPassCallback = std::function<void(int pass, int keptStrokes)>;
// Called after every animation step to show the new state.
using RepaintCallback = std::function<void()>;

// The default work limit of a growth run, in strokes: far above any real network (a
// biventricular heart grows about 322,600), so it only ever stops a run that would
// otherwise go on for hours. At about 2.2 kB a stroke it keeps memory near 4.4 GB.
constexpr int kDefaultStrokeLimit = 2000000;

// What a growth run reports back besides its console lines.
struct GrowthSummary {
    int strokeCount = 0;     // strokes the statistics count (all of `strokes`)
    int collisionCount = 0;  // junctions made
    int passes = 0;          // growth passes run
    double totalLengthMm = 0.0;
    bool stoppedAtStrokeLimit = false;  // the work limit ended the run early
};

class FiberCore {
public:
    FiberCore() = default;
    FiberCore(const FiberCore&) = delete;
    FiberCore& operator=(const FiberCore&) = delete;
    FiberCore(FiberCore&&) = default;
    FiberCore& operator=(FiberCore&&) = default;

    // Grows the fibres anew: first empties the volume's stroke registrations and
    // density (they would name the strokes about to be deleted), then makes one
    // fibre per start point and one per feature curve, in that order, and repeats
    // growth passes over every fibre until none changes. Draws only from `random`,
    // which carries on from one run to the next. Prints the statistics lines. When
    // the fibres would hold more than `strokeLimit` strokes, the run stops there with
    // a console line, and the summary says so; the fibres keep what has grown.
    GrowthSummary GoGrowth(const GrowthTarget& target, const GrowthParameters& parameters,
                           GrowthRandom& random, const GrowthPassCallback& onPass = {},
                           int strokeLimit = kDefaultStrokeLimit);

    // Deletes every fibre and feature curve; start points and rules stay. The
    // caller resets the volume's occupancy (GoGrowth does so itself anyway).
    void InitAllStrokes();

    // Links every stroke with its linked strokes in both directions (neighbours).
    void StartAnimation();
    // Advances the excitation wave one step, fibre by fibre, and calls `repaint`.
    // When a step excites nothing, every activation is reset and each fibre's
    // first stroke is excited again.
    void AnimationStep(const RepaintCallback& repaint = {});

    // Inverts `blocked` of the stroke of each fibre that has a path point nearest
    // to the ray (squared distance below 0.001); the front is not searched.
    void ToggleBlockAt(const Vector3& rayOrigin, const Vector3& rayDirection);
    // The grown stroke with a path point within the same distance of the ray that is
    // nearest the ray's origin (what the user sees first there); null when none.
    const Stroke* StrokeUnderRay(const Vector3& rayOrigin, const Vector3& rayDirection) const;

    // Writes every stroke's tube (fibre by fibre, the front excluded) as one OBJ
    // vertex list with running indices: in the normalised frame, or mapped to the heart
    // file's frame by `toHeart` when given. False when the file reported a write error.
    bool ExportFibersObj(std::FILE* file, const HeartNormalisation* toHeart = nullptr) const;

    std::vector<Fiber> fibers;
    std::vector<Polyline> featureCurves;
    std::vector<StartPoint> startPoints;
    RewritingRule rule1{0, true, 1};   // along feature curves and their laterals
    RewritingRule rule2{1, false, 2};  // start points and every later generation
    bool placeStartPoint = true;       // a drag places a start point (else draws a curve)
    bool animation = false;            // the animation timer runs
    int collisionCount = 0;            // junctions made in the last growth run
};

}  // namespace vantrel
