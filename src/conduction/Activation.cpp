#include "conduction/Activation.h"

#include "conduction/ShortestPaths.h"

namespace vantrel {

std::vector<double> ComputeActivation(const ConductionGraph& graph,
                                      const PhysiologySettings& settings,
                                      double metresPerHeartUnit) {
    // m / (m/s) = s, times 1000 for ms.
    const double msPerHeartUnit = metresPerHeartUnit / settings.purkinjeVelocity * 1000.0;
    std::vector<int> from, to;
    std::vector<double> weight;
    from.reserve(graph.edges.size());
    to.reserve(graph.edges.size());
    weight.reserve(graph.edges.size());
    for (const ConductionEdge& edge : graph.edges) {
        if (!edge.conducts) continue;
        from.push_back(edge.from);
        to.push_back(edge.to);
        weight.push_back(edge.length * msPerHeartUnit);
    }
    const WeightedAdjacency adjacency =
        WeightedAdjacency::FromEdges(static_cast<int>(graph.nodes.size()), from, to, weight);

    std::vector<ShortestPathSource> sources;
    sources.reserve(graph.roots.size());
    for (const ConductionRoot& root : graph.roots) {
        const std::size_t fiber = static_cast<std::size_t>(root.fiber);
        const double delay = fiber < settings.rootDelays.size() ? settings.rootDelays[fiber] : 0.0;
        sources.push_back(ShortestPathSource{root.node, delay});
    }
    return EarliestArrival(adjacency, sources);
}

}  // namespace vantrel
