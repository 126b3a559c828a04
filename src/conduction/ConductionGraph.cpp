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
// order in which points arrive. Nodes are hashed into cells much larger than the
// merge distance, so a point usually looks into its own cell only.
class NodeMerger {
public:
    explicit NodeMerger(std::vector<Vector3>& nodes) : nodes_(nodes) {}

    void Reserve(std::size_t count) {
        next_.reserve(count);
        Rehash(count);
    }

    int Add(const Vector3& p) {
        const Cell low = CellOf(p - Vector3(kMergeDistance, kMergeDistance, kMergeDistance));
        const Cell high = CellOf(p + Vector3(kMergeDistance, kMergeDistance, kMergeDistance));
        int found = -1;
        for (std::int64_t x = low[0]; x <= high[0]; ++x) {
            for (std::int64_t y = low[1]; y <= high[1]; ++y) {
                for (std::int64_t z = low[2]; z <= high[2]; ++z) {
                    const Slot& slot = slots_[Find(Cell{x, y, z})];
                    for (int node = slot.head; node >= 0;
                         node = next_[static_cast<std::size_t>(node)]) {
                        if ((found < 0 || node < found) &&
                            (nodes_[static_cast<std::size_t>(node)] - p).Length() < kMergeDistance)
                            found = node;
                    }
                }
            }
        }
        if (found >= 0) return found;
        const int node = static_cast<int>(nodes_.size());
        nodes_.push_back(p);
        if (2 * (used_ + 1) > slots_.size()) Rehash(2 * (used_ + 1));
        Slot& slot = slots_[Find(CellOf(p))];
        if (slot.head < 0) {
            slot.cell = CellOf(p);
            ++used_;
        }
        next_.push_back(slot.head);
        slot.head = node;
        return node;
    }

private:
    using Cell = std::array<std::int64_t, 3>;
    static constexpr double kCellSize = 1e-6;

    // One cell of the open-addressed table: the latest node in it (-1: empty slot).
    struct Slot {
        Cell cell{};
        int head = -1;
    };

    static std::uint64_t Mix(std::uint64_t h) {
        h ^= h >> 30;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 27;
        h *= 0x94D049BB133111EBull;
        return h ^ (h >> 31);
    }
    static std::uint64_t Hash(const Cell& c) {
        return Mix(Mix(Mix(static_cast<std::uint64_t>(c[0])) ^ static_cast<std::uint64_t>(c[1])) ^
                   static_cast<std::uint64_t>(c[2]));
    }

    // The slot of `cell`, or the empty slot where it would go (linear probing).
    std::size_t Find(const Cell& cell) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = static_cast<std::size_t>(Hash(cell)) & mask;
        while (slots_[i].head >= 0 && slots_[i].cell != cell) i = (i + 1) & mask;
        return i;
    }

    // A power-of-two table with room for `count` cells at half load.
    void Rehash(std::size_t count) {
        std::size_t size = 16;
        while (size < 2 * count) size *= 2;
        if (size <= slots_.size()) return;
        std::vector<Slot> old(size);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.head >= 0) slots_[Find(slot.cell)] = slot;
        }
    }

    static Cell CellOf(const Vector3& p) {
        return Cell{static_cast<std::int64_t>(std::floor(p.x / kCellSize)),
                    static_cast<std::int64_t>(std::floor(p.y / kCellSize)),
                    static_cast<std::int64_t>(std::floor(p.z / kCellSize))};
    }

    std::vector<Vector3>& nodes_;
    std::vector<Slot> slots_ = std::vector<Slot>(16);
    std::size_t used_ = 0;
    std::vector<int> next_;  // node -> earlier node of its cell, -1 at the end
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

// The nodes of one stroke's path points.
struct PathNodes {
    const int* at;
    std::size_t count;
    int First() const { return at[0]; }
    int Last() const { return at[count - 1]; }
};

class GraphBuilder {
public:
    GraphBuilder(const FiberCore& core, const HeartFrame& frame)
        : order_(OrderStrokes(core)), frame_(frame), merger_(modelNodes_) {
        index_.reserve(order_.size());
        for (std::size_t i = 0; i < order_.size(); ++i)
            index_[order_[i].stroke] = static_cast<int>(i);
        splits_.resize(order_.size());
        gaps_.resize(order_.size());
    }

    ConductionGraph Build() {
        // Every stroke's path points as nodes, in stroke order.
        pathStart_.reserve(order_.size() + 1);
        pathStart_.push_back(0);
        for (const OrderedStroke& entry : order_) {
            pathStart_.push_back(pathStart_.back() +
                                 static_cast<int>(entry.stroke->path.points.size()));
        }
        pathNodes_.reserve(static_cast<std::size_t>(pathStart_.back()));
        merger_.Reserve(static_cast<std::size_t>(pathStart_.back()));
        for (const OrderedStroke& entry : order_) {
            for (const Vector3& p : entry.stroke->path.points) pathNodes_.push_back(merger_.Add(p));
        }
        for (std::size_t i = 0; i < order_.size(); ++i) JoinLinks(static_cast<int>(i));

        ConductionGraph graph;
        graph.nodes.reserve(modelNodes_.size());
        for (const Vector3& p : modelNodes_) graph.nodes.push_back(frame_.ToHeart(p));
        graph.strokes.reserve(order_.size());
        graph.edges.reserve(pathNodes_.size());
        int lastRootFiber = -1;
        for (std::size_t i = 0; i < order_.size(); ++i) {
            const Stroke& stroke = *order_[i].stroke;
            graph.strokes.push_back(ConductionStroke{order_[i].fiber, stroke.branchDepth,
                                                     stroke.blocked, stroke.collided});
            const PathNodes nodes = NodesOf(static_cast<int>(i));
            if (order_[i].fiber != lastRootFiber && nodes.count > 0) {
                graph.roots.push_back(ConductionRoot{nodes.First(), order_[i].fiber});
                lastRootFiber = order_[i].fiber;
            }
            EmitStrokeEdges(static_cast<int>(i), !stroke.blocked, graph);
        }
        graph.BuildAdjacency();
        return graph;
    }

private:
    PathNodes NodesOf(int stroke) const {
        const std::size_t s = static_cast<std::size_t>(stroke);
        return PathNodes{pathNodes_.data() + pathStart_[s],
                         static_cast<std::size_t>(pathStart_[s + 1] - pathStart_[s])};
    }

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
                const int end = NodesOf(i).Last();
                const int foot = FootNode(other, stroke.path.points.back());
                if (foot != end) gaps_[static_cast<std::size_t>(i)].push_back(Gap{end, foot});
            } else {
                if (linked->path.points.empty() || stroke.path.points.empty()) continue;
                const int start = NodesOf(other).First();
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
        const PathNodes nodes = NodesOf(target);
        const NearestOnPath nearest = NearestPointOnPath(points, p);
        const std::size_t k = static_cast<std::size_t>(nearest.segment);
        if (points.size() == 1 || nearest.t <= 0.0) return nodes.at[k];
        if (nearest.t >= 1.0) return nodes.at[k + 1];
        const int node = merger_.Add(nearest.point);
        if (node != nodes.at[k] && node != nodes.at[k + 1])
            splits_[static_cast<std::size_t>(target)].push_back(
                Split{nearest.segment, nearest.t, node});
        return node;
    }

    void AddEdge(int from, int to, int stroke, bool conducts, bool isGap,
                 ConductionGraph& graph) const {
        if (from == to) return;
        ConductionEdge edge;
        edge.from = from;
        edge.to = to;
        edge.length = (graph.nodes[static_cast<std::size_t>(to)] -
                       graph.nodes[static_cast<std::size_t>(from)])
                          .Length();
        edge.stroke = stroke;
        edge.conducts = conducts;
        edge.isLinkGap = isGap;
        graph.edges.push_back(edge);
    }

    // The stroke's path segments, cut at its split points, then its link gaps.
    void EmitStrokeEdges(int i, bool conducts, ConductionGraph& graph) {
        const std::size_t s = static_cast<std::size_t>(i);
        std::vector<Split>& splits = splits_[s];
        std::sort(splits.begin(), splits.end(), [](const Split& a, const Split& b) {
            if (a.segment != b.segment) return a.segment < b.segment;
            if (a.t != b.t) return a.t < b.t;
            return a.node < b.node;
        });
        const PathNodes nodes = NodesOf(i);
        std::size_t nextSplit = 0;
        int previous = nodes.count == 0 ? -1 : nodes.First();
        for (std::size_t k = 0; k + 1 < nodes.count; ++k) {
            while (nextSplit < splits.size() && splits[nextSplit].segment == static_cast<int>(k)) {
                AddEdge(previous, splits[nextSplit].node, i, conducts, false, graph);
                previous = splits[nextSplit].node;
                ++nextSplit;
            }
            AddEdge(previous, nodes.at[k + 1], i, conducts, false, graph);
            previous = nodes.at[k + 1];
        }
        for (const Gap& gap : gaps_[s]) AddEdge(gap.from, gap.to, i, conducts, true, graph);
    }

    std::vector<OrderedStroke> order_;
    const HeartFrame& frame_;
    std::vector<Vector3> modelNodes_;
    NodeMerger merger_;
    std::unordered_map<const Stroke*, int> index_;
    // The nodes of stroke i's path points: pathNodes_[pathStart_[i] .. pathStart_[i + 1]).
    std::vector<int> pathStart_;
    std::vector<int> pathNodes_;
    std::vector<std::vector<Split>> splits_;
    std::vector<std::vector<Gap>> gaps_;
};

}  // namespace

double ConductionGraph::TotalLength() const {
    double length = 0.0;
    for (const ConductionEdge& edge : edges) length += edge.length;
    return length;
}

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

bool BlockStrokesInGraphOrder(FiberCore& core, const std::vector<int>& indices,
                              std::string& error) {
    const std::vector<const Stroke*> strokes = StrokesInGraphOrder(core);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (indices[i] >= static_cast<int>(strokes.size())) {
            error = "scene blockedStrokes[" + std::to_string(i) + "]: stroke " +
                    std::to_string(indices[i]) + " does not exist (the last run grew " +
                    std::to_string(strokes.size()) + " strokes)";
            return false;
        }
    }
    // The graph order lists `core`'s own strokes, which the caller lets this change.
    for (int index : indices)
        const_cast<Stroke*>(strokes[static_cast<std::size_t>(index)])->blocked = true;
    return true;
}

}  // namespace vantrel
