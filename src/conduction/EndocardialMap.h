#pragma once
// Endocardial activation: from every reached junction the wave enters the wall after
// the PMJ delay and spreads over the edges of the heart file's own mesh at the
// myocardial velocity (multi-source Dijkstra). Edge paths overestimate the true
// surface distance by a few per cent.
#include <vector>

#include "conduction/Activation.h"
#include "conduction/PurkinjeMuscleJunctions.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

struct EndocardialMap {
    std::vector<double> vertexActivation;  // ms per file vertex, kNotReached if none
    std::vector<bool> segmented;           // the vertex touches a segmented polygon
    double total = kNotReached;            // last segmented vertex reached (ms)
    double percentile90 = kNotReached;     // 90th percentile over segmented vertices (ms)
};

// `fileSegmented` marks the segmented vertices of `fileMesh` (see SegmentedFileVertices).
EndocardialMap ComputeEndocardialMap(const RkPolygonModel& fileMesh,
                                     const std::vector<bool>& fileSegmented,
                                     const std::vector<PurkinjeMuscleJunction>& junctions,
                                     const PhysiologySettings& settings, double metresPerHeartUnit);

// The file vertices that belong to at least one segmented polygon of the refined
// mesh (refinement keeps the file's vertices first, in file order).
std::vector<bool> SegmentedFileVertices(const HeartModel& heart);

}  // namespace vantrel
