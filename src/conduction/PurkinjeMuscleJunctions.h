#pragma once
// Purkinje-muscle junctions: the terminal nodes of the conducting network (exactly one
// conducting edge, not a root), each with its time and nearest vertex of the heart
// file's own mesh.
#include <vector>

#include "conduction/ConductionGraph.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

struct PurkinjeMuscleJunction {
    int node = 0;
    int fiber = 0;
    double activation = 0.0;      // ms, kNotReached when the wave never arrives
    int nearestVertex = -1;       // 0-based index into the heart file's vertices
    double vertexDistance = 0.0;  // heart-file unit
};

// In node order. `fileMesh` is the heart as read from its file, in its own frame.
std::vector<PurkinjeMuscleJunction> FindPurkinjeMuscleJunctions(
    const ConductionGraph& graph, const std::vector<double>& activation,
    const RkPolygonModel& fileMesh);

}  // namespace vantrel
