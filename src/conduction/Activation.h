#pragma once
// Earliest activation time of every node of a conduction graph: Dijkstra from all
// roots over the conducting edges at one conduction velocity.
#include <limits>
#include <vector>

#include "conduction/ConductionGraph.h"
#include "growth/PhysiologySettings.h"

namespace vantrel {

// The time of a node the wave never reaches.
constexpr double kNotReached = std::numeric_limits<double>::infinity();

// Activation time in ms per node (kNotReached where no conducting path leads).
std::vector<double> ComputeActivation(const ConductionGraph& graph,
                                      const PhysiologySettings& settings,
                                      double metresPerHeartUnit);

}  // namespace vantrel
