#pragma once
// Everything the conduction layer derives from one grown network, in one place, for the
// exports and the program: graph, activation times, junctions and the endocardial map.
#include <vector>

#include "conduction/Activation.h"
#include "conduction/ConductionGraph.h"
#include "conduction/EndocardialMap.h"
#include "conduction/PurkinjeMuscleJunctions.h"

namespace vantrel {

struct ConductionResult {
    ConductionGraph graph;
    std::vector<double> activation;  // ms per node
    std::vector<PurkinjeMuscleJunction> junctions;
    EndocardialMap endocardium;
};

// Applies nothing to `core` or `heart`; reads them only.
ConductionResult RunConduction(const FiberCore& core, const HeartModel& heart,
                               const PhysiologySettings& settings);

// RunConduction again on `graph`, a graph that BuildConductionGraph made from `core`
// (it holds heart-file coordinates, whatever the unit), after only the strokes'
// blocks or the physiology changed since: the blocks are taken from `core` into the graph, which is
// kept, so the result equals RunConduction's without rebuilding the graph (most of
// the run's time).
ConductionResult RerunConduction(const FiberCore& core, const HeartModel& heart,
                                 const PhysiologySettings& settings, ConductionGraph graph);

}  // namespace vantrel
