#include "conduction/ShortestPaths.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace vantrel {

WeightedAdjacency WeightedAdjacency::FromEdges(int nodeCount, const std::vector<int>& a,
                                               const std::vector<int>& b,
                                               const std::vector<double>& w) {
    WeightedAdjacency graph;
    const std::size_t n = static_cast<std::size_t>(nodeCount);
    graph.offset.assign(n + 1, 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        ++graph.offset[static_cast<std::size_t>(a[i]) + 1];
        ++graph.offset[static_cast<std::size_t>(b[i]) + 1];
    }
    for (std::size_t v = 0; v < n; ++v) graph.offset[v + 1] += graph.offset[v];
    graph.target.resize(2 * a.size());
    graph.weight.resize(2 * a.size());
    std::vector<int> cursor(graph.offset.begin(), graph.offset.end() - 1);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int fromSlot = cursor[static_cast<std::size_t>(a[i])]++;
        graph.target[static_cast<std::size_t>(fromSlot)] = b[i];
        graph.weight[static_cast<std::size_t>(fromSlot)] = w[i];
        const int toSlot = cursor[static_cast<std::size_t>(b[i])]++;
        graph.target[static_cast<std::size_t>(toSlot)] = a[i];
        graph.weight[static_cast<std::size_t>(toSlot)] = w[i];
    }
    return graph;
}

std::vector<double> EarliestArrival(const WeightedAdjacency& graph,
                                    const std::vector<ShortestPathSource>& sources) {
    const std::size_t n = graph.offset.empty() ? 0 : graph.offset.size() - 1;
    std::vector<double> time(n, std::numeric_limits<double>::infinity());
    using Entry = std::pair<double, int>;
    std::vector<Entry> heap;
    heap.reserve(n);
    const auto later = std::greater<Entry>();
    for (const ShortestPathSource& source : sources) {
        double& best = time[static_cast<std::size_t>(source.node)];
        if (source.time < best) {
            best = source.time;
            heap.emplace_back(source.time, source.node);
            std::push_heap(heap.begin(), heap.end(), later);
        }
    }
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), later);
        const Entry entry = heap.back();
        heap.pop_back();
        const std::size_t v = static_cast<std::size_t>(entry.second);
        if (entry.first > time[v]) continue;  // superseded by an earlier arrival
        const int end = graph.offset[v + 1];
        for (int slot = graph.offset[v]; slot < end; ++slot) {
            const std::size_t s = static_cast<std::size_t>(slot);
            const double arrival = entry.first + graph.weight[s];
            const std::size_t u = static_cast<std::size_t>(graph.target[s]);
            if (arrival < time[u]) {
                time[u] = arrival;
                heap.emplace_back(arrival, graph.target[s]);
                std::push_heap(heap.begin(), heap.end(), later);
            }
        }
    }
    return time;
}

}  // namespace vantrel
