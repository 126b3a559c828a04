#include "conduction/OpenCarpPkje.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "conduction/ExportFile.h"
#include "geometry/NumberText.h"

namespace vantrel {

namespace {

struct Cable {
    std::vector<Vector3> points;  // heart-file frame
    int parents[2] = {-1, -1};
    int children[2] = {-1, -1};
};

void AddLink(std::vector<Cable>& cables, int parent, int child) {
    int* freeChild =
        cables[parent].children[0] < 0 ? &cables[parent].children[0] : &cables[parent].children[1];
    int* freeParent =
        cables[child].parents[0] < 0 ? &cables[child].parents[0] : &cables[child].parents[1];
    *freeChild = child;
    *freeParent = parent;
}

// The point at `distance` from `from` towards `to`.
Vector3 Towards(const Vector3& from, const Vector3& to, double distance) {
    const Vector3 d = to - from;
    return from + d * (distance / d.Length());
}

// Neighbour lists of every node in one array (compressed rows), in edge order.
class NodeLists {
public:
    explicit NodeLists(std::size_t nodeCount) : offset_(nodeCount + 1, 0) {}
    void Count(int node) { ++offset_[node + 1]; }
    void StartFilling() {
        for (std::size_t i = 1; i < offset_.size(); ++i) offset_[i] += offset_[i - 1];
        items_.resize(offset_.back());
        fill_.assign(offset_.begin(), offset_.end() - 1);
    }
    void Add(int node, int item) { items_[fill_[node]++] = item; }
    int Size(int node) const { return offset_[node + 1] - offset_[node]; }
    const int* begin(int node) const { return items_.data() + offset_[node]; }
    const int* end(int node) const { return items_.data() + offset_[node + 1]; }

private:
    std::vector<int> offset_, items_, fill_;
};

// The activation-directed subgraph of the reached, conducting edges.
class DirectedNetwork {
public:
    DirectedNetwork(const ConductionGraph& graph, const std::vector<double>& activation)
        : in_(graph.nodes.size()), out_(graph.nodes.size()), activation_(activation) {
        for (int pass = 0; pass < 2; ++pass) {
            for (const ConductionEdge& edge : graph.edges) {
                if (!edge.conducts || !std::isfinite(activation[edge.from]) ||
                    !std::isfinite(activation[edge.to]))
                    continue;
                const bool forward = Earlier(edge.from, edge.to);
                const int tail = forward ? edge.from : edge.to;
                const int head = forward ? edge.to : edge.from;
                if (pass == 0) {
                    out_.Count(tail);
                    in_.Count(head);
                } else {
                    out_.Add(tail, head);
                    in_.Add(head, tail);
                }
            }
            if (pass == 0) {
                out_.StartFilling();
                in_.StartFilling();
            }
        }
    }

    // Activation order with ties broken by node index: a strict order, so the
    // directed edges never form a cycle.
    bool Earlier(int a, int b) const {
        return activation_[a] < activation_[b] || (activation_[a] == activation_[b] && a < b);
    }
    bool Used(int node) const { return in_.Size(node) > 0 || out_.Size(node) > 0; }
    bool Breaks(int node) const { return in_.Size(node) != 1 || out_.Size(node) != 1; }
    const NodeLists& In() const { return in_; }
    const NodeLists& Out() const { return out_; }

private:
    NodeLists in_, out_;
    const std::vector<double>& activation_;
};

class CableBuilder {
public:
    CableBuilder(const ConductionGraph& graph, const DirectedNetwork& network)
        : graph_(graph), network_(network), endingAt_(graph.nodes.size()) {}

    // Makes the cables that leave `node` and links them to those that end there.
    void ConnectAt(int node) {
        const Vector3& at = graph_.nodes[node];
        const std::vector<int>& ending = endingAt_[node];
        const std::vector<int> leaving(network_.Out().begin(node), network_.Out().end(node));
        const int k = static_cast<int>(ending.size());
        const int m = static_cast<int>(leaving.size());
        if (m == 0) return;
        const double step = 0.2 * ShortestEdgeAt(node);

        // Parents at `node`: every ending cable, or the first and a merge chain.
        std::vector<int> parents = ending;
        if (k > 2) {
            // The j-th ending cable (j >= 1) now ends at p_j, on its last edge at
            // distance step * j / k; connector Y_j joins p_j to p_(j-1) (p_0 = node).
            std::vector<Vector3> p(k);
            p[0] = at;
            for (int j = 1; j < k; ++j) {
                std::vector<Vector3>& points = cables_[ending[j]].points;
                p[j] = Towards(at, points[points.size() - 2], step * j / k);
                points.back() = p[j];
            }
            int downstream = ending[k - 1];  // the chain's cable that ends at p_j
            for (int j = k - 1; j >= 1; --j) {
                const int connector = NewCable({p[j], p[j - 1]});
                AddLink(cables_, downstream, connector);
                if (j < k - 1) AddLink(cables_, ending[j], connector);
                downstream = connector;
            }
            parents = {ending[0], downstream};
        }

        // Children at `node`: the first leaving cable and a split chain.
        const auto linkToParents = [&](int child) {
            for (int parent : parents) AddLink(cables_, parent, child);
        };
        // Cables that leave a node where none arrives are roots: no connectors needed.
        if (m <= 2 || k == 0) {
            for (int head : leaving) linkToParents(WalkCable(node, head));
            return;
        }
        linkToParents(WalkCable(node, leaving[0]));
        // The j-th leaving cable (j >= 1) starts at q_j, on its first edge at distance
        // step * j / m; connector X_j joins q_(j-1) to q_j (q_0 = node).
        Vector3 previous = at;
        int upstream = -1;
        for (int j = 1; j < m; ++j) {
            const Vector3 q = Towards(at, graph_.nodes[leaving[j]], step * j / m);
            const int connector = NewCable({previous, q});
            if (upstream < 0) {
                linkToParents(connector);
            } else {
                AddLink(cables_, upstream, connector);
            }
            const int child = WalkCable(node, leaving[j]);
            cables_[child].points.front() = q;
            AddLink(cables_, connector, child);
            previous = q;
            upstream = connector;
        }
    }

    std::vector<Cable>& Cables() { return cables_; }

private:
    int NewCable(std::vector<Vector3> points) {
        cables_.push_back(Cable{std::move(points), {-1, -1}, {-1, -1}});
        return static_cast<int>(cables_.size()) - 1;
    }

    // The cable from `start` through `next` to the next node where the network
    // branches or merges.
    int WalkCable(int start, int next) {
        std::vector<Vector3> points = {graph_.nodes[start]};
        int node = next;
        points.push_back(graph_.nodes[node]);
        while (!network_.Breaks(node)) {
            node = *network_.Out().begin(node);
            points.push_back(graph_.nodes[node]);
        }
        const int cable = NewCable(std::move(points));
        endingAt_[node].push_back(cable);
        return cable;
    }

    double ShortestEdgeAt(int node) const {
        double shortest = std::numeric_limits<double>::infinity();
        for (const NodeLists* lists : {&network_.In(), &network_.Out()}) {
            for (const int* other = lists->begin(node); other != lists->end(node); ++other) {
                shortest = std::min(shortest, (graph_.nodes[*other] - graph_.nodes[node]).Length());
            }
        }
        return shortest;
    }

    const ConductionGraph& graph_;
    const DirectedNetwork& network_;
    std::vector<std::vector<int>> endingAt_;
    std::vector<Cable> cables_;
};

}  // namespace

std::string OpenCarpPkjeText(const ConductionGraph& graph, const std::vector<double>& activation,
                             LengthUnit unit, const PkjeCableSettings& settings) {
    const DirectedNetwork network(graph, activation);
    // Cable ends in activation order: every cable that ends at a node was made at an
    // earlier node, so its links are complete when the node is reached.
    std::vector<int> ends;
    for (int node = 0; node < static_cast<int>(graph.nodes.size()); ++node) {
        if (network.Used(node) && network.Breaks(node)) ends.push_back(node);
    }
    std::sort(ends.begin(), ends.end(), [&](int a, int b) { return network.Earlier(a, b); });
    CableBuilder builder(graph, network);
    for (int node : ends) builder.ConnectAt(node);
    const std::vector<Cable>& cables = builder.Cables();

    const double scale = MicrometresPerUnit(unit);
    std::size_t pointCount = 0;
    for (const Cable& cable : cables) pointCount += cable.points.size();
    std::string out;
    out.reserve(cables.size() * 48 + pointCount * 64 + 32);
    AppendInteger(out, static_cast<long long>(cables.size()));
    out += '\n';
    std::string values;
    AppendTriplet(values, settings.radius, settings.gapResistance, settings.sigmaI);
    values += '\n';
    for (std::size_t i = 0; i < cables.size(); ++i) {
        const Cable& cable = cables[i];
        out += "Cable ";
        AppendInteger(out, static_cast<long long>(i));
        out += '\n';
        AppendInteger(out, cable.parents[0]);
        out += ' ';
        AppendInteger(out, cable.parents[1]);
        out += '\n';
        AppendInteger(out, cable.children[0]);
        out += ' ';
        AppendInteger(out, cable.children[1]);
        out += '\n';
        AppendInteger(out, static_cast<long long>(cable.points.size()));
        out += '\n';
        out += values;
        for (const Vector3& p : cable.points) {
            AppendTriplet(out, p.x * scale, p.y * scale, p.z * scale);
            out += '\n';
        }
    }
    return out;
}

}  // namespace vantrel
