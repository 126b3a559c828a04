#pragma once
// One cell of the fibre layer: the volume keeps one record per layer cell, in the
// order z, y, x of the cells. The growth engine reads `normal`, `escapeDirection`
// and `polygon`, and hands a record back to FindCollision as the start record.
#include <cstdint>

#include "geometry/Vector3.h"
#include "heart/VolumeStroke.h"

namespace vantrel {

struct LayerVoxel {
    // Linear index of the cell (x + n*y + n*n*z).
    std::int32_t voxel = 0;
    // Position of this record in the volume's record array.
    std::int32_t index = 0;
    // Heart polygon the cell belongs to.
    std::int32_t polygon = -1;
    // Centre of the cell in model units.
    Vector3 centre;
    // Unit vector in the tangent plane pointing from denser towards emptier cells
    // (away from strokes already grown), or (0,0,0). Current in every record that
    // VoxelVolume::LayerVoxelAt / LayerVoxelByIndex hands out.
    Vector3 escapeDirection;
    // Copy of the unit normal of `polygon` ((0,0,0) for a cell without polygon).
    Vector3 normal;
    // Every stroke that has passed through the cell since the last ResetOccupancy,
    // ordered by the strokes' creation serial. Not owning.
    StrokeSet strokes;
};

}  // namespace vantrel
