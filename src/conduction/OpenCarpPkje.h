#pragma once
// The conduction network as openCARP's Purkinje file (.pkje): the cable count, then
// for every cable a line "Cable i", its two parent and two child cable indices (-1 for
// none), its node count, radius, gap-junction resistance R_gj and intracellular
// conductivity sigma_i, then one "x y z" line per node in micrometres in the heart
// file's frame. Nothing else: no comments, no separator lines.
//
// Only edges that conduct and whose both ends the wave reaches are written, each
// directed from its earlier to its later activated end (ties by node index), so
// every cable runs in the direction of activation. A cable is a maximal run of
// nodes with exactly one edge in and one out; it breaks where the network branches
// or where two wavefronts merge (a junction splits the cable it meets, and the
// downstream piece gets the second parent). A child cable's first node repeats its
// parents' last node. Cables that start where no edge arrives (the roots) have
// parents -1 -1. At a node with more than two outgoing (incoming) cables, short
// connector cables make a chain so that no cable has more than two children
// (parents): the j-th extra cable then starts (ends) on its own first (last) edge,
// at a distance below a fifth of the shortest edge at that node, and the connectors
// join those points. Cables are written parents first; none has zero length.
#include <string>
#include <vector>

#include "conduction/ConductionGraph.h"

namespace vantrel {

// Per-cable values. Defaults: those of openCARP's published Purkinje sample.
struct PkjeCableSettings {
    double radius = 75.0;        // as openCARP reads it (micrometres in its sample)
    double gapResistance = 100;  // R_gj, kOhm
    double sigmaI = 0.0006;      // sigma_i, as openCARP reads it
};

std::string OpenCarpPkjeText(const ConductionGraph& graph, const std::vector<double>& activation,
                             LengthUnit unit, const PkjeCableSettings& settings);

}  // namespace vantrel
