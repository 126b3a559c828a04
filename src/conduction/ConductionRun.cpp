#include "conduction/ConductionRun.h"

namespace vantrel {

ConductionResult RunConduction(const FiberCore& core, const HeartModel& heart,
                               const PhysiologySettings& settings) {
    const HeartFrame frame(heart.normalisation, settings.meshUnit);
    const double metres = frame.MetresPerHeartUnit();
    ConductionResult result;
    result.graph = BuildConductionGraph(core, frame);
    result.activation = ComputeActivation(result.graph, settings, metres);
    result.junctions = FindPurkinjeMuscleJunctions(result.graph, result.activation, heart.fileMesh);
    result.endocardium = ComputeEndocardialMap(heart.fileMesh, SegmentedFileVertices(heart),
                                               result.junctions, settings, metres);
    return result;
}

}  // namespace vantrel
