#pragma once
// The fibre layer drawn as one translucent point per layer cell, coloured by the
// density of strokes around it (dark blue where nothing has grown, towards light
// yellow where the density reaches 6).
#include "heart/VoxelVolume.h"

namespace vantrel {

// Nothing in a pick pass. Points of size 10 at the cell centres, colour
// (d / 6, d / 6, 0.5, 0.1) for density d, blended, without writing depth.
void DrawField(const VoxelVolume& volume, bool pickPass);

}  // namespace vantrel
