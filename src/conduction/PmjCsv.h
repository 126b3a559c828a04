#pragma once
// The Purkinje-muscle junctions as comma-separated text, one header line and one line
// per junction in node order:
//   x_mm,y_mm,z_mm,activation_ms,fiber,nearest_vertex_0based,vertex_distance_mm
// (the unit in the names is the heart file's). Position in the heart file's frame;
// activation -1 when the wave never arrives; fibre index; the nearest vertex of the
// heart file's own mesh, counted from 0 in file order, and its distance.
#include <string>
#include <vector>

#include "conduction/ConductionGraph.h"
#include "conduction/PurkinjeMuscleJunctions.h"

namespace vantrel {

std::string PmjCsvText(const ConductionGraph& graph,
                       const std::vector<PurkinjeMuscleJunction>& junctions, LengthUnit unit);

}  // namespace vantrel
