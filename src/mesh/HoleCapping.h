#pragma once
// Closing the open boundary loops of a triangle mesh (a ventricle's valve
// openings) with flat fans, so that the surface encloses a volume.
#include "mesh/RkPolygonModel.h"

namespace vantrel {

struct CappingSummary {
    int loops = 0;       // boundary loops closed
    int triangles = 0;   // triangles appended (one per boundary edge of those loops)
    int openChains = 0;  // boundary paths that do not close (non-manifold rims), left open
};

// Finds every boundary loop of `model` (edges used by one polygon only, walked
// the way the polygons run along them), adds one vertex at the mean of the loop's
// vertices and, for each boundary edge a->b, the triangle (b, a, centre): it runs
// the edge the other way, so the caps wind consistently with the mesh and face
// outwards when the mesh does. New vertices and triangles are appended after the
// existing ones, loop by loop in order of each loop's first edge in the polygon
// list. Positions of existing vertices and the order of existing polygons are
// unchanged. The edge table and normals are not updated.
CappingSummary CapBoundaryLoops(RkPolygonModel& model);

}  // namespace vantrel
