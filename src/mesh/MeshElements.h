#pragma once
// The three records of a triangle mesh: vertices, triangles ("polygons") and the
// winged-edge table that links them. Indices are 0-based; -1 means "none".
#include "geometry/Vector3.h"

namespace vantrel {

struct MeshVertex {
    Vector3 position;
    // Vertex normal: (0, 0, 0) until ComputeNormals.
    Vector3 normal;
    // Texture coordinate (u, v, 0); (0, 0, 0) unless the OBJ file gives one.
    Vector3 texCoord;
    // One edge that ends at this vertex (set by BuildEdgeTable), -1 when none.
    int edge = -1;
};

struct MeshPolygon {
    // Vertex indices in the file's winding order.
    int vertex[3] = {-1, -1, -1};
    // edge[0] joins vertex[0]-vertex[1], edge[1] vertex[1]-vertex[2],
    // edge[2] vertex[2]-vertex[0] (set by BuildEdgeTable).
    int edge[3] = {-1, -1, -1};
    // Unit normal of (p1 - p0) x (p2 - p0); `zero` set for a degenerate triangle.
    Vector3 normal;
};

// An edge between lowVertex < highVertex (equal only for a triangle that repeats a
// vertex). The forward polygon runs along it from lowVertex to highVertex, the
// backward polygon from highVertex to lowVertex; a boundary edge has -1 on one side.
// The four wings are the neighbouring edges of this edge inside those polygons,
// following each polygon's edge order edge[0], edge[1], edge[2] cyclically.
struct MeshEdge {
    bool sharp = false;
    int forwardPrev = -1;
    int forwardNext = -1;
    int backwardNext = -1;
    int backwardPrev = -1;
    int forwardPolygon = -1;
    int backwardPolygon = -1;
    int lowVertex = -1;
    int highVertex = -1;
};

}  // namespace vantrel
