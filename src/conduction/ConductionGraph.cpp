#include "conduction/ConductionGraph.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

#include "growth/FiberCore.h"

namespace vantrel {

namespace {

// Path points closer than this (model units) are one node.
constexpr double kMergeDistance = 1e-9;

struct OrderedStroke {
    const Stroke* stroke;
    int fiber;
};

// Each fibre's grown strokes by serial (creation order), fibre by fibre.
std::vector<OrderedStroke> OrderStrokes(const FiberCore& core) {
    std::vector<OrderedStroke> order;
    for (std::size_t f = 0; f < core.fibers.size(); ++f) {
        const std::size_t first = order.size();
        for (const auto& stroke : core.fibers[f].strokes)
            order.push_back({stroke.get(), static_cast<int>(f)});
        std::stable_sort(order.begin() + static_cast<std::ptrdiff_t>(first), order.end(),
                         [](const OrderedStroke& a, const OrderedStroke& b) {
                             return a.stroke->Serial() < b.stroke->Serial();
                         });
    }
    return order;
}

// Merges points closer than kMergeDistance into one node: a new point joins the
// lowest-numbered existing node within reach, so the numbering depends only on the
// order in which points arrive.
class NodeMerger {
public:
    explicit NodeMerger(std::vector<Vector3>& nodes) : nodes_(nodes) {}

    int Add(const Vector3& p) {
        const Cell c = CellOf(p);
        int found = -1;
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    const auto it = cells_.find(Cell{c[0] + dx, c[1] + dy, c[2] + dz});
                    if (it == cells_.end()) continue;
                    for (const int node : it->second) {
                        if ((found < 0 || node < found) &&
                            (nodes_[static_cast<std::size_t>(node)] - p).Length() <
                                kMergeDistance) {
                            found = node;
                        }
                    }
                }
            }
        }
        if (found >= 0) return found;
        const int node = static_cast<int>(nodes_.size());
        nodes_.push_back(p);
        cells_[c].push_back(node);
        return node;
    }

private:
    using Cell = std::array<std::int64_t, 3>;
    struct CellHash {
        std::size_t operator()(const Cell& c) const {
            std::uint64_t h = static_cast<std::uint64_t>(c[0]) * 0x9E3779B97F4A7C15ull;
            h ^= static_cast<std::uint64_t>(c[1]) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
            h ^= static_cast<std::uint64_t>(c[2]) + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
            return static_cast<std::size_t>(h);
        }
    };

    static Cell CellOf(const Vector3& p) {
        return Cell{static_cast<std::int64_t>(std::floor(p.x / kMergeDistance)),
                    static_cast<std::int64_t>(std::floor(p.y / kMergeDistance)),
                    static_cast<std::int64_t>(std::floor(p.z / kMergeDistance))};
    }

    std::vector<Vector3>& nodes_;
    std::unordered_map<Cell, std::vector<int>, CellHash> cells_;
};

// A link foot that falls strictly inside segment `segment` of a path, at parameter t.
struct Split {
    int segment;
    double t;
    int node;
};

struct Gap {
    int from;
    int to;
};

struct NearestOnPath {
    int segment = 0;  // the foot lies on points[segment] .. points[segment + 1]
    double t = 0.0;
    Vector3 point;
};

// The nearest point of `points` to `p`; the first segment wins a tie.
NearestOnPath NearestPointOnPath(const std::vector<Vector3>& points, const Vector3& p) {
    NearestOnPath best;
    best.point = points.front();
    double bestDistance = (p - points.front()).LengthSquared();
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        const Vector3& a = points[k];
        const Vector3 ab = points[k + 1] - a;
        const double abLength = ab.LengthSquared();
        double t = abLength > 0.0 ? (p - a).Dot(ab) / abLength : 0.0;
        t = std::min(1.0, std::max(0.0, t));
        const Vector3 q = a + t * ab;
        const double distance = (p - q).LengthSquared();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = NearestOnPath{static_cast<int>(k), t, q};
        }
    }
    return best;
}

class GraphBuilder {
public:
    GraphBuilder(const FiberCore& core, const HeartFrame& frame)
        : order_(OrderStrokes(core)), frame_(frame), merger_(modelNodes_) {
        for (std::size_t i = 0; i < order_.size(); ++i)
            index_[order_[i].stroke] = static_cast<int>(i);
        pathNodes_.resize(order_.size());
        splits_.resize(order_.size());
        gaps_.resize(order_.size());
    }

    ConductionGraph Build() {
        for (std::size_t i = 0; i < order_.size(); ++i) {
            for (const Vector3& p : order_[i].stroke->path.points)
                pathNodes_[i].push_back(merger_.Add(p));
        }
        for (std::size_t i = 0; i < order_.size(); ++i) JoinLinks(static_cast<int>(i));

        ConductionGraph graph;
        graph.nodes.reserve(modelNodes_.size());
        for (const Vector3& p : modelNodes_) graph.nodes.push_back(frame_.ToHeart(p));
        int lastRootFiber = -1;
        for (std::size_t i = 0; i < order_.size(); ++i) {
            const Stroke& stroke = *order_[i].stroke;
            graph.strokes.push_back(ConductionStroke{order_[i].fiber, stroke.branchDepth,
                                                     stroke.blocked, stroke.collided});
            if (order_[i].fiber != lastRootFiber && !pathNodes_[i].empty()) {
                graph.roots.push_back(ConductionRoot{pathNodes_[i].front(), order_[i].fiber});
                lastRootFiber = order_[i].fiber;
            }
            EmitStrokeEdges(static_cast<int>(i), graph);
        }
        graph.BuildAdjacency();
        return graph;
    }

private:
    // A child's first point joins its parent's path; a junction's last point joins
    // the path of the stroke it ran into. Links to strokes outside the graph (the
    // growth front) are left out.
    void JoinLinks(int i) {
        const Stroke& stroke = *order_[static_cast<std::size_t>(i)].stroke;
        for (const Stroke* linked : stroke.links) {
            const auto found = index_.find(linked);
            if (found == index_.end()) continue;
            const int other = found->second;
            if (stroke.collided) {
                if (stroke.path.points.empty() || linked->path.points.empty()) continue;
                const int end = pathNodes_[static_cast<std::size_t>(i)].back();
                const int foot = FootNode(other, stroke.path.points.back());
                if (foot != end) gaps_[static_cast<std::size_t>(i)].push_back(Gap{end, foot});
            } else {
                if (linked->path.points.empty() || stroke.path.points.empty()) continue;
                const int start = pathNodes_[static_cast<std::size_t>(other)].front();
                const int foot = FootNode(i, linked->path.points.front());
                if (foot != start)
                    gaps_[static_cast<std::size_t>(other)].push_back(Gap{foot, start});
            }
        }
    }

    // The node at the nearest point of stroke `target`'s path to `p`, splitting the
    // segment there when the point falls strictly between two path points.
    int FootNode(int target, const Vector3& p) {
        const std::vector<Vector3>& points =
            order_[static_cast<std::size_t>(target)].stroke->path.points;
        const std::vector<int>& nodes = pathNodes_[static_cast<std::size_t>(target)];
        const NearestOnPath nearest = NearestPointOnPath(points, p);
        const std::size_t k = static_cast<std::size_t>(nearest.segment);
        if (points.size() == 1 || nearest.t <= 0.0) return nodes[k];
        if (nearest.t >= 1.0) return nodes[k + 1];
        const int node = merger_.Add(nearest.point);
        if (node != nodes[k] && node != nodes[k + 1])
            splits_[static_cast<std::size_t>(target)].push_back(
                Split{nearest.segment, nearest.t, node});
        return node;
    }

    void AddEdge(int from, int to, int stroke, bool isGap, ConductionGraph& graph) const {
        if (from == to) return;
        ConductionEdge edge;
        edge.from = from;
        edge.to = to;
        edge.length = (graph.nodes[static_cast<std::size_t>(to)] -
                       graph.nodes[static_cast<std::size_t>(from)])
                          .Length();
        edge.stroke = stroke;
        edge.conducts = !order_[static_cast<std::size_t>(stroke)].stroke->blocked;
        edge.isLinkGap = isGap;
        graph.edges.push_back(edge);
    }

    // The stroke's path segments, cut at its split points, then its link gaps.
    void EmitStrokeEdges(int i, ConductionGraph& graph) {
        const std::size_t s = static_cast<std::size_t>(i);
        std::vector<Split>& splits = splits_[s];
        std::sort(splits.begin(), splits.end(), [](const Split& a, const Split& b) {
            if (a.segment != b.segment) return a.segment < b.segment;
            if (a.t != b.t) return a.t < b.t;
            return a.node < b.node;
        });
        const std::vector<int>& nodes = pathNodes_[s];
        std::size_t nextSplit = 0;
        int previous = nodes.empty() ? -1 : nodes.front();
        for (std::size_t k = 0; k + 1 < nodes.size(); ++k) {
            while (nextSplit < splits.size() && splits[nextSplit].segment == static_cast<int>(k)) {
                AddEdge(previous, splits[nextSplit].node, i, false, graph);
                previous = splits[nextSplit].node;
                ++nextSplit;
            }
            AddEdge(previous, nodes[k + 1], i, false, graph);
            previous = nodes[k + 1];
        }
        for (const Gap& gap : gaps_[s]) AddEdge(gap.from, gap.to, i, true, graph);
    }

    std::vector<OrderedStroke> order_;
    const HeartFrame& frame_;
    std::vector<Vector3> modelNodes_;
    NodeMerger merger_;
    std::unordered_map<const Stroke*, int> index_;
    std::vector<std::vector<int>> pathNodes_;
    std::vector<std::vector<Split>> splits_;
    std::vector<std::vector<Gap>> gaps_;
};

}  // namespace

int ConductionGraph::ConductingDegree(int node) const {
    int degree = 0;
    for (const int e : incident_[static_cast<std::size_t>(node)]) {
        if (edges[static_cast<std::size_t>(e)].conducts) ++degree;
    }
    return degree;
}

void ConductionGraph::BuildAdjacency() {
    incident_.assign(nodes.size(), {});
    for (std::size_t e = 0; e < edges.size(); ++e) {
        incident_[static_cast<std::size_t>(edges[e].from)].push_back(static_cast<int>(e));
        incident_[static_cast<std::size_t>(edges[e].to)].push_back(static_cast<int>(e));
    }
}

ConductionGraph BuildConductionGraph(const FiberCore& core, const HeartFrame& frame) {
    return GraphBuilder(core, frame).Build();
}

std::vector<const Stroke*> StrokesInGraphOrder(const FiberCore& core) {
    std::vector<const Stroke*> strokes;
    for (const OrderedStroke& entry : OrderStrokes(core)) strokes.push_back(entry.stroke);
    return strokes;
}

}  // namespace vantrel
