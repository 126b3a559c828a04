#pragma once
// The state shared by the vertex-array drawings. Both Begin routines save the
// enable, lighting, polygon, line, current, colour-buffer and depth-buffer state and
// the client arrays, and point the vertex array at `positions` (3 floats per
// vertex); EndVertexArrays restores all of it.
//  - BeginLitArrays (heart polygons, fibre tubes): lights 0 and 1, smooth shading,
//    the normal array at `normals` (3 floats per vertex).
//  - BeginColourArrays (wire frame, pick ids): unlit, flat shading, the colour array
//    at `colours` (`colourSize` components of the GL type `colourType` per vertex).
#include <vector>

namespace vantrel {

void BeginLitArrays(const float* positions, const float* normals);
void BeginColourArrays(const float* positions, int colourSize, unsigned colourType,
                       const void* colours);
void EndVertexArrays();

// Triangles of the bound arrays by `indices`; nothing for an empty list.
void DrawIndexedTriangles(const std::vector<unsigned>& indices);

}  // namespace vantrel
