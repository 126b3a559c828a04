#pragma once
// Earliest activation time of every node of a conduction graph: Dijkstra from all
// roots over the conducting edges at one conduction velocity.
#include <limits>
#include <vector>

#include "conduction/ConductionGraph.h"

namespace vantrel {

// The time of a node the wave never reaches.
constexpr double kNotReached = std::numeric_limits<double>::infinity();

// The physiological settings of a run, with their defaults.
struct PhysiologySettings {
    LengthUnit meshUnit = LengthUnit::kMillimetre;
    double purkinjeVelocity = 2.5;    // m/s
    double myocardialVelocity = 0.8;  // m/s
    double pmjDelay = 5.0;            // ms
    // Delay of each fibre's root in ms, by fibre index (start points first, then
    // curves); a fibre beyond the end starts at 0 ms.
    std::vector<double> rootDelays;
};

// Activation time in ms per node (kNotReached where no conducting path leads).
std::vector<double> ComputeActivation(const ConductionGraph& graph,
                                      const PhysiologySettings& settings,
                                      double metresPerHeartUnit);

}  // namespace vantrel
