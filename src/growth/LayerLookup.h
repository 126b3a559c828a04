#pragma once
// Fibre-layer record lookup for readers of a record's polygon and normal only.
// VoxelVolume::LayerVoxelAt also brings the record's escape direction up to date
// (26 neighbour reads); the growth asks for that only where it uses the direction.
#include "heart/VoxelVolume.h"

namespace vantrel {

// The record of the point's cell, or nullptr outside the box or the layer. Its
// escapeDirection may be stale: read it through VoxelVolume::LayerVoxelByIndex.
inline const LayerVoxel* LayerRecordAt(const VoxelVolume& volume, const Vector3& point) {
    const int voxel = volume.VoxelIndexAt(point);
    if (voxel < 0) return nullptr;
    const int index = volume.layerIndex()[static_cast<std::size_t>(voxel)];
    return index < 0 ? nullptr : &volume.layerVoxels()[static_cast<std::size_t>(index)];
}

}  // namespace vantrel
