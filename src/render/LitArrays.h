#pragma once
// The state shared by the lit vertex-array drawings (heart polygons, fibre tubes):
// BeginLitArrays saves the enable, lighting, polygon, colour-buffer and depth-buffer
// state and the client arrays, lights with lights 0 and 1, smooth shading, and
// points the vertex and normal arrays at `positions` and `normals` (3 floats per
// vertex); EndLitArrays restores all of it.
#include <vector>

namespace vantrel {

void BeginLitArrays(const float* positions, const float* normals);
void EndLitArrays();

// Triangles of the bound arrays by `indices`; nothing for an empty list.
void DrawIndexedTriangles(const std::vector<unsigned>& indices);

}  // namespace vantrel
