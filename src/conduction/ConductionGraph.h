#pragma once
// The grown fibres as a conduction graph in the heart file's frame. Nodes are path
// points (points closer than 1e-9 model units merged); edges are path segments, plus
// one edge per link whose end does not touch the stroke it links to (the gap). Built
// in stroke order (fibre by fibre, each fibre's strokes in creation order, the growth
// front left out), so node and edge numbering is the same in every process.
//
// A link joins the linked stroke's first path point (a child) or last path point (a
// junction: the stroke ran into another one) to the nearest point of the other
// stroke's path; a segment is split at that foot point when it falls strictly between
// two path points. Junctions close loops; they are kept.
#include <cstdint>
#include <string>
#include <vector>

#include "conduction/HeartFrame.h"
#include "geometry/Vector3.h"

namespace vantrel {

class FiberCore;

struct ConductionEdge {
    int from = 0;  // node indices; `from` lies nearer the stroke's start
    int to = 0;
    double length = 0.0;     // heart-file unit
    int stroke = 0;          // index of the stroke in graph order (see above)
    bool conducts = true;    // false for the edges of a blocked stroke
    bool isLinkGap = false;  // the gap edge of a link, owned by the linked stroke
};

// Per stroke in graph order: what the exports write as cell data.
struct ConductionStroke {
    int fiber = 0;  // index in FiberCore::fibers
    int branchDepth = 0;
    bool blocked = false;
    bool junction = false;  // ended on another stroke
};

struct ConductionRoot {
    int node = 0;
    int fiber = 0;  // the fibre whose first path point this is
};

class ConductionGraph {
public:
    std::vector<Vector3> nodes;  // heart-file frame
    std::vector<ConductionEdge> edges;
    std::vector<ConductionStroke> strokes;
    std::vector<ConductionRoot> roots;  // one per fibre with a path point, fibre order

    // Edge indices at each node (both directions), valid after BuildAdjacency.
    const std::vector<int>& EdgesAt(int node) const { return incident_[node]; }
    // Sum of the edge lengths in edge order (heart-file unit): the network's length.
    double TotalLength() const;
    // Number of conducting edges at `node`.
    int ConductingDegree(int node) const;
    void BuildAdjacency();

private:
    std::vector<std::vector<int>> incident_;
};

// Builds the graph of `core`'s grown fibres; an empty graph when nothing is grown.
ConductionGraph BuildConductionGraph(const FiberCore& core, const HeartFrame& frame);

// The stroke pointers in graph order (what `ConductionEdge::stroke` indexes); also
// the numbering of the scene file's "blockedStrokes".
std::vector<const class Stroke*> StrokesInGraphOrder(const FiberCore& core);

// Blocks the strokes of `core` at `indices` in graph order (a scene's "blockedStrokes").
// When an index is beyond the strokes grown, blocks none and returns false with
// `error` naming the entry.
bool BlockStrokesInGraphOrder(FiberCore& core, const std::vector<int>& indices, std::string& error);

}  // namespace vantrel
