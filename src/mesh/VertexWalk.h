#pragma once
// The walk around one vertex through the winged-edge table that every
// adjacency query of RkPolygonModel (and the smoothing) is built on.
//
// A walk starts at the vertex's edge link and turns one way ("forward", through
// the prev wings) until it is back at the link edge. If it meets a side without
// a polygon (a boundary) it walks the other way ("backward", through the next
// wings) from the link edge until the other boundary. On a manifold mesh every
// edge of the fan is met once. Broken input (edges shared by more than two
// polygons, doubled faces) can send the walk round a loop that misses the link
// edge, so a walk also ends at any edge it has already visited: it is then
// bounded by the number of edges and reports no edge twice.
#include <algorithm>
#include <cassert>
#include <vector>

#include "mesh/RkPolygonModel.h"

namespace vantrel {

// The end of `edge` that is not `vertex`.
inline int OtherEnd(const MeshEdge& edge, int vertex) {
    return edge.lowVertex == vertex ? edge.highVertex : edge.lowVertex;
}

class VertexWalk {
public:
    VertexWalk(const RkPolygonModel& model, int vertex) : model_(model), vertex_(vertex) {}

    // Calls onEdge(edge) for every edge met and onPolygon(polygon) for every
    // polygon passed between two edges, in walk order.
    template <typename OnEdge, typename OnPolygon>
    void Run(OnEdge onEdge, OnPolygon onPolygon) {
        if (vertex_ < 0 || vertex_ >= static_cast<int>(model_.vertices.size())) {
            assert(!"vertex index outside the model");
            return;
        }
        const int start = model_.vertices[vertex_].edge;
        if (!Touches(start)) return;

        int edge = start;
        Visit(edge, onEdge);
        for (;;) {
            int polygon = -1;
            const int next = Step(edge, /*forward=*/true, polygon);
            if (next < 0) break;  // boundary: walk the other way from the link
            onPolygon(polygon);
            if (Visited(next)) return;
            edge = next;
            Visit(edge, onEdge);
        }

        edge = start;
        for (;;) {
            int polygon = -1;
            const int next = Step(edge, /*forward=*/false, polygon);
            if (next < 0) return;
            onPolygon(polygon);
            if (Visited(next)) return;
            edge = next;
            Visit(edge, onEdge);
        }
    }

private:
    // True when `edge` is an edge of the table with the walk's vertex at one end.
    bool Touches(int edge) const {
        if (edge < 0 || edge >= static_cast<int>(model_.edges.size())) return false;
        const MeshEdge& e = model_.edges[edge];
        return e.lowVertex == vertex_ || e.highVertex == vertex_;
    }

    // The edge after `edge` around the vertex and the polygon between them, or
    // -1 when that side has no polygon (or the table is inconsistent there).
    int Step(int edge, bool forward, int& polygon) const {
        const MeshEdge& e = model_.edges[edge];
        const bool fromLow = e.lowVertex == vertex_;
        int next;
        if (forward) {
            next = fromLow ? e.forwardPrev : e.backwardPrev;
            polygon = fromLow ? e.forwardPolygon : e.backwardPolygon;
        } else {
            next = fromLow ? e.backwardNext : e.forwardNext;
            polygon = fromLow ? e.backwardPolygon : e.forwardPolygon;
        }
        if (polygon < 0 || polygon >= static_cast<int>(model_.polygons.size())) return -1;
        return Touches(next) ? next : -1;
    }

    template <typename OnEdge>
    void Visit(int edge, OnEdge& onEdge) {
        // Typical valences fit the fixed buffer; only unusual fans allocate.
        if (visitedCount_ < kInline)
            inlineVisited_[visitedCount_] = edge;
        else
            moreVisited_.push_back(edge);
        ++visitedCount_;
        onEdge(edge);
    }

    bool Visited(int edge) const {
        const int* end = inlineVisited_ + std::min(visitedCount_, kInline);
        if (std::find(inlineVisited_, end, edge) != end) return true;
        return std::find(moreVisited_.begin(), moreVisited_.end(), edge) != moreVisited_.end();
    }

    static constexpr size_t kInline = 32;
    const RkPolygonModel& model_;
    const int vertex_;
    int inlineVisited_[kInline];
    size_t visitedCount_ = 0;
    std::vector<int> moreVisited_;
};

}  // namespace vantrel
