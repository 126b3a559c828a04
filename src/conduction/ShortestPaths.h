#pragma once
// Multi-source Dijkstra over an undirected weighted graph held as compressed rows:
// a binary heap with lazy deletion (a node popped with a time later than its best is
// skipped), ties broken by node index so every run gives the same result.
#include <vector>

namespace vantrel {

// Undirected graph in compressed-row form: the neighbours of node v are
// target[offset[v] .. offset[v + 1]) with the edge weights alongside.
struct WeightedAdjacency {
    std::vector<int> offset;  // node count + 1 entries
    std::vector<int> target;
    std::vector<double> weight;

    // Builds the rows of `nodeCount` nodes from undirected edges (a[i], b[i], w[i]).
    static WeightedAdjacency FromEdges(int nodeCount, const std::vector<int>& a,
                                       const std::vector<int>& b, const std::vector<double>& w);
};

struct ShortestPathSource {
    int node;
    double time;
};

// Earliest arrival per node (infinity where none arrives) from the sources at their
// start times.
std::vector<double> EarliestArrival(const WeightedAdjacency& graph,
                                    const std::vector<ShortestPathSource>& sources);

}  // namespace vantrel
