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

}  // namespace vantrel
