#pragma once
// The conduction network as MonoAlg3D's Purkinje network file, and its terminals as
// MonoAlg3D's PMJ-location file. MonoAlg3D walks its network as a tree from point 0
// and drops loops, so what is written is the shortest-path tree of one root over the
// conducting edges: every edge that would close a loop (where a junction made one),
// every blocked edge and everything the root cannot reach is left out and counted.
//
// Network file: legacy VTK POLYDATA, ASCII; "POINTS N float" in micrometres in the
// heart file's frame, the root at point 0, every other point after the point it is
// reached from; "LINES E 3E", each "2 a b" from the proximal point a to the distal
// point b; no point data. Points are distinct graph nodes, so no two coincide and no
// line has zero length.
//
// PMJ file: the tree's terminals (points with one line, other than point 0) in point
// order: "POINTS n float" (micrometres), "VERTICES n 2n" with "1 i" lines, then
// POINT_DATA n with a two-array FIELD: "Rpmj 1 n float" (1000 kOhm each, MonoAlg3D's
// default) and "Nmin_pmj 1 n float" (10 each, MonoAlg3D's default).
#include <string>

#include "conduction/ConductionGraph.h"

namespace vantrel {

struct MonoAlg3dExport {
    std::string networkText;
    std::string pmjText;
    int rootNode = 0;  // graph node at point 0
    int points = 0;
    int lines = 0;
    int terminals = 0;
    // Graph edges left out, by reason.
    int loopClosingEdges = 0;  // both ends in the tree, not a tree edge
    int blockedEdges = 0;
    int unreachableEdges = 0;  // conducting, but the root cannot reach them
};

// Builds both files for root `rootIndex` (an index into graph.roots). False with a
// one-line reason when there is no such root.
bool BuildMonoAlg3dExport(const ConductionGraph& graph, int rootIndex, LengthUnit unit,
                          MonoAlg3dExport& result, std::string& error);

// "monoalg3d: root K (node N): P points, L lines; left out: ..." (no line end).
std::string DescribeMonoAlg3dExport(const MonoAlg3dExport& result, int rootIndex);

}  // namespace vantrel
