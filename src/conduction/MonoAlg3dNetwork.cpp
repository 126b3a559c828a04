#include "conduction/MonoAlg3dNetwork.h"

#include <functional>
#include <limits>
#include <queue>
#include <utility>
#include <vector>

#include "conduction/ExportFile.h"
#include "geometry/NumberText.h"

namespace vantrel {

namespace {

struct Tree {
    std::vector<int> order;       // graph nodes in the order they were settled
    std::vector<int> parentEdge;  // per graph node, -1 for the root and unreached nodes
    std::vector<int> parentNode;  // per graph node
    std::vector<char> inTree;     // per graph node
};

// Dijkstra by edge length from `root` over the conducting edges; ties settle the
// lower node index first, so the tree is the same in every process.
Tree ShortestPathTree(const ConductionGraph& graph, int root) {
    const std::size_t n = graph.nodes.size();
    // Conducting edges at each node, in edge order, as compressed rows.
    std::vector<int> offset(n + 1, 0);
    for (const ConductionEdge& edge : graph.edges) {
        if (!edge.conducts) continue;
        ++offset[edge.from + 1];
        ++offset[edge.to + 1];
    }
    for (std::size_t i = 1; i <= n; ++i) offset[i] += offset[i - 1];
    std::vector<int> incident(offset[n]);
    std::vector<int> fill(offset.begin(), offset.end() - 1);
    for (std::size_t e = 0; e < graph.edges.size(); ++e) {
        const ConductionEdge& edge = graph.edges[e];
        if (!edge.conducts) continue;
        incident[fill[edge.from]++] = static_cast<int>(e);
        incident[fill[edge.to]++] = static_cast<int>(e);
    }
    Tree tree;
    tree.parentEdge.assign(n, -1);
    tree.parentNode.assign(n, -1);
    tree.inTree.assign(n, 0);
    std::vector<double> distance(n, std::numeric_limits<double>::infinity());
    using Entry = std::pair<double, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    distance[root] = 0.0;
    queue.push({0.0, root});
    while (!queue.empty()) {
        const auto [d, node] = queue.top();
        queue.pop();
        if (tree.inTree[node] || d > distance[node]) continue;
        tree.inTree[node] = 1;
        tree.order.push_back(node);
        for (int i = offset[node]; i < offset[node + 1]; ++i) {
            const int e = incident[i];
            const ConductionEdge& edge = graph.edges[e];
            const int other = edge.from == node ? edge.to : edge.from;
            const double through = d + edge.length;
            if (tree.inTree[other] || !(through < distance[other])) continue;
            distance[other] = through;
            tree.parentEdge[other] = e;
            tree.parentNode[other] = node;
            queue.push({through, other});
        }
    }
    return tree;
}

void AppendMicrometrePoint(std::string& out, const Vector3& p, double scale) {
    AppendTriplet(out, p.x * scale, p.y * scale, p.z * scale);
    out += '\n';
}

}  // namespace

bool BuildMonoAlg3dExport(const ConductionGraph& graph, int rootIndex, LengthUnit unit,
                          MonoAlg3dExport& result, std::string& error) {
    if (rootIndex < 0 || rootIndex >= static_cast<int>(graph.roots.size())) {
        error = "root " + std::to_string(rootIndex) + " does not exist (the network has " +
                std::to_string(graph.roots.size()) + " roots, 0 to " +
                std::to_string(static_cast<long long>(graph.roots.size()) - 1) + ")";
        return false;
    }
    result = MonoAlg3dExport();
    result.rootNode = graph.roots[rootIndex].node;
    const Tree tree = ShortestPathTree(graph, result.rootNode);
    const double scale = MicrometresPerUnit(unit);

    std::vector<int> pointOf(graph.nodes.size(), -1);
    std::vector<int> childCount(graph.nodes.size(), 0);
    for (std::size_t i = 0; i < tree.order.size(); ++i) {
        pointOf[tree.order[i]] = static_cast<int>(i);
        if (tree.parentNode[tree.order[i]] >= 0) ++childCount[tree.parentNode[tree.order[i]]];
    }
    result.points = static_cast<int>(tree.order.size());
    result.lines = result.points - 1;
    for (std::size_t e = 0; e < graph.edges.size(); ++e) {
        const ConductionEdge& edge = graph.edges[e];
        if (!edge.conducts) {
            ++result.blockedEdges;
        } else if (!tree.inTree[edge.from]) {
            ++result.unreachableEdges;
        } else if (tree.parentEdge[edge.from] != static_cast<int>(e) &&
                   tree.parentEdge[edge.to] != static_cast<int>(e)) {
            ++result.loopClosingEdges;
        }
    }

    std::string& out = result.networkText;
    out.reserve(tree.order.size() * 80 + 256);
    AppendVtkPolyDataHeader(out, "Vantrel conduction network for MonoAlg3D, micrometres");
    out += "POINTS ";
    AppendInteger(out, result.points);
    out += " float\n";
    for (int node : tree.order) AppendMicrometrePoint(out, graph.nodes[node], scale);
    out += "LINES ";
    AppendInteger(out, result.lines);
    out += ' ';
    AppendInteger(out, 3LL * result.lines);
    out += '\n';
    for (int node : tree.order) {
        if (tree.parentNode[node] < 0) continue;
        out += "2 ";
        AppendInteger(out, pointOf[tree.parentNode[node]]);
        out += ' ';
        AppendInteger(out, pointOf[node]);
        out += '\n';
    }

    std::vector<int> terminals;
    for (int node : tree.order) {
        if (node != result.rootNode && childCount[node] == 0) terminals.push_back(node);
    }
    result.terminals = static_cast<int>(terminals.size());
    std::string& pmj = result.pmjText;
    pmj.reserve(terminals.size() * 80 + 256);
    AppendVtkPolyDataHeader(pmj, "Vantrel Purkinje-muscle junctions for MonoAlg3D, micrometres");
    pmj += "POINTS ";
    AppendInteger(pmj, result.terminals);
    pmj += " float\n";
    for (int node : terminals) AppendMicrometrePoint(pmj, graph.nodes[node], scale);
    pmj += "VERTICES ";
    AppendInteger(pmj, result.terminals);
    pmj += ' ';
    AppendInteger(pmj, 2LL * result.terminals);
    pmj += '\n';
    for (int i = 0; i < result.terminals; ++i) {
        pmj += "1 ";
        AppendInteger(pmj, i);
        pmj += '\n';
    }
    if (result.terminals > 0) {
        pmj += "POINT_DATA ";
        AppendInteger(pmj, result.terminals);
        pmj += "\nFIELD FieldData 2\n";
        for (const char* array : {"Rpmj 1 ", "Nmin_pmj 1 "}) {
            pmj += array;
            AppendInteger(pmj, result.terminals);
            pmj += " float\n";
            const char* value = array[0] == 'R' ? "1000\n" : "10\n";
            for (int i = 0; i < result.terminals; ++i) pmj += value;
        }
    }
    return true;
}

std::string DescribeMonoAlg3dExport(const MonoAlg3dExport& result, int rootIndex) {
    return "monoalg3d: root " + std::to_string(rootIndex) + " (node " +
           std::to_string(result.rootNode) + "): " + std::to_string(result.points) + " points, " +
           std::to_string(result.lines) + " lines, " + std::to_string(result.terminals) +
           " terminals; left out " + std::to_string(result.loopClosingEdges) +
           " loop-closing (junction) edges, " + std::to_string(result.blockedEdges) +
           " blocked edges, " + std::to_string(result.unreachableEdges) +
           " edges the root does not reach";
}

}  // namespace vantrel
