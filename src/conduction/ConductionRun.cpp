#include "conduction/ConductionRun.h"

#include <utility>

#include "growth/FiberCore.h"

namespace vantrel {
namespace {

// The times, junctions and endocardial map of `result.graph`.
void RunOnGraph(const HeartModel& heart, const PhysiologySettings& settings,
                ConductionResult& result) {
    const double metres = MetresPerUnit(settings.meshUnit);
    result.activation = ComputeActivation(result.graph, settings, metres);
    result.junctions = FindPurkinjeMuscleJunctions(result.graph, result.activation, heart.fileMesh);
    result.endocardium = ComputeEndocardialMap(heart.fileMesh, SegmentedFileVertices(heart),
                                               result.junctions, settings, metres);
}

}  // namespace

ConductionResult RunConduction(const FiberCore& core, const HeartModel& heart,
                               const PhysiologySettings& settings) {
    ConductionResult result;
    result.graph = BuildConductionGraph(core, HeartFrame(heart.normalisation, settings.meshUnit));
    RunOnGraph(heart, settings, result);
    return result;
}

ConductionResult RerunConduction(const FiberCore& core, const HeartModel& heart,
                                 const PhysiologySettings& settings, ConductionGraph graph) {
    // A stroke's block is all the graph holds of it that may have changed: its flag
    // and whether its edges (link gaps included) conduct.
    const std::vector<const Stroke*> strokes = StrokesInGraphOrder(core);
    for (std::size_t s = 0; s < strokes.size() && s < graph.strokes.size(); ++s)
        graph.strokes[s].blocked = strokes[s]->blocked;
    for (ConductionEdge& edge : graph.edges)
        edge.conducts = !graph.strokes[static_cast<std::size_t>(edge.stroke)].blocked;
    ConductionResult result;
    result.graph = std::move(graph);
    RunOnGraph(heart, settings, result);
    return result;
}

}  // namespace vantrel
