#pragma once
// The conduction network as a legacy VTK file (ASCII POLYDATA) in the heart file's
// frame and unit, for ParaView and other analysis tools.
//
// Title line: "Vantrel conduction network, lengths in <unit>, activation_ms -1 = not
// reached". POINTS: the graph's nodes (shared by every edge that meets there), double.
// LINES: one 2-point line per graph edge, in edge order, from the earlier to the later
// activated end (an unreached end comes last; equal times or two unreached ends keep
// the stroke's own direction). POINT_DATA: "activation_ms" (double; -1 where the wave
// never arrives). CELL_DATA, one int per edge: "fiber", "branchDepth", "blocked"
// (0/1), "junction" (1 when the edge's stroke ended on another stroke) and "stroke"
// (the stroke's index in graph order, the numbering of the scene's "blockedStrokes").
// An empty graph writes "POINTS 0 double", "LINES 0 0" and no data sections.
#include <string>
#include <vector>

#include "conduction/ConductionGraph.h"

namespace vantrel {

std::string NetworkVtkText(const ConductionGraph& graph, const std::vector<double>& activation,
                           LengthUnit unit);

}  // namespace vantrel
