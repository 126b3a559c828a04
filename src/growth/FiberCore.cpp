// "Go Growth" and "Init All Strokes".
#include "growth/FiberCore.h"

#include "geometry/ConsoleLog.h"
#include "growth/GrowthContext.h"
#include "growth/GrowthStatistics.h"

namespace vantrel {

namespace {

int CountStrokes(const std::vector<Fiber>& fibers) {
    std::size_t count = 0;
    for (const Fiber& fiber : fibers) count += fiber.strokes.size() + fiber.apexes.size();
    return static_cast<int>(count);
}

}  // namespace

GrowthSummary FiberCore::GoGrowth(const GrowthTarget& target, const GrowthParameters& parameters,
                                  GrowthRandom& random, const GrowthPassCallback& onPass,
                                  int strokeLimit, const GrowthCancelled& cancelled) {
    // The volume's records still name the strokes of the previous run, which are
    // deleted below; empty them first so no stale stroke is ever looked at.
    target.volume.ResetOccupancy();
    collisionCount = 0;
    fibers.clear();
    fibers.resize(startPoints.size() + featureCurves.size());

    GrowthContext context(target.volume, target.mesh, target.layerDepth, parameters, random,
                          collisionCount);
    context.strokeLimit = strokeLimit;
    for (std::size_t i = 0; i < startPoints.size(); ++i)
        fibers[i].SetUpFromStartPoint(startPoints[i], context, rule2);
    for (std::size_t j = 0; j < featureCurves.size(); ++j) {
        fibers[startPoints.size() + j].SetUpFromCurve(featureCurves[j], rule2);
    }
    context.strokesKept = CountStrokes(fibers);
    if (onPass) onPass(0, context.strokesKept);

    int pass = 0;
    bool changed = true;
    bool stopRequested = false;
    while (changed && !context.stoppedAtStrokeLimit && !stopRequested) {
        changed = false;
        // Every fibre is stepped in every pass, also those that no longer change.
        for (Fiber& fiber : fibers) changed = fiber.GrowStep(context, rule1, rule2) || changed;
        ++pass;
        if (onPass) onPass(pass, CountStrokes(fibers));
        // A run that has just ended by itself is complete, whatever the answer.
        stopRequested = changed && cancelled && cancelled();
    }

    if (context.stoppedAtStrokeLimit) {
        ConsoleLog("growth stopped: the work limit of %d strokes was reached\n", strokeLimit);
    }
    if (stopRequested) ConsoleLog("growth cancelled after pass %d: the network is partial\n", pass);
    GrowthSummary summary = PrintGrowthStatistics(fibers, collisionCount);
    summary.passes = pass;
    summary.stoppedAtStrokeLimit = context.stoppedAtStrokeLimit;
    summary.cancelled = stopRequested;
    return summary;
}

void FiberCore::InitAllStrokes() {
    fibers.clear();
    featureCurves.clear();
}

}  // namespace vantrel
