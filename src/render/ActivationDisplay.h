#pragma once
// What the main view needs to draw the Activation Map: the time at which the wave
// reaches each stroke and each vertex of the drawn (refined) heart mesh, the range
// of the colour map, and the time cursor of the ms-wave. Built from a conduction
// run by the program after every growth, block toggle or physiology change.
#include <limits>
#include <unordered_map>
#include <vector>

#include "conduction/ConductionRun.h"
#include "growth/FiberCore.h"
#include "heart/HeartModel.h"

namespace vantrel {

struct ActivationDisplay {
    bool enabled = false;
    // Things reached later than the cursor are drawn grey; infinity shows the map whole.
    double cursor = std::numeric_limits<double>::infinity();
    double maxTime = 0.0;  // last finite time over strokes and surface (ms)
    // When the wave first reaches each stroke (the earliest time of its path's nodes).
    std::unordered_map<const Stroke*, double> strokeTimes;
    // Per vertex of the drawn mesh; infinity where the wave does not arrive.
    std::vector<double> vertexTimes;
    // Counts the fills, so drawing code can keep colours made from the same times.
    unsigned revision = 0;

    // The time shown for `time` at the current cursor: itself when reached by then,
    // otherwise infinity (drawn grey).
    double Shown(double time) const { return time <= cursor ? time : NotShown(); }
    double StrokeTime(const Stroke* stroke) const;
    static double NotShown() { return std::numeric_limits<double>::infinity(); }
};

// Fills the times of `display` (keeps `enabled` and `cursor`). The refined mesh keeps
// the heart file's vertices first, in file order, so they take the endocardial map's
// times directly; each centroid vertex added by refinement takes the mean of the
// reached file vertices of the triangles around it (grey when none is reached).
void FillActivationDisplay(const FiberCore& fibers, const HeartModel& heart,
                           const ConductionResult& result, ActivationDisplay& display);

}  // namespace vantrel
