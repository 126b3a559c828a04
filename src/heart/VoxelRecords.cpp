// The last step of Build and of LoadVoxelFile: one LayerVoxel record per layer cell.
#include <algorithm>
#include <ctime>

#include "geometry/ConsoleLog.h"
#include "heart/ProcessorClock.h"
#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

void VoxelVolume::MakeRecords(const RkPolygonModel& mesh, double rayCastingSeconds,
                              double fibreLayerSeconds) {
    const std::clock_t start = std::clock();

    int layerCells = 0;
    for (std::int32_t flag : layerFlags_) {
        if (flag != 0) ++layerCells;
    }
    layerVoxels_.clear();
    layerVoxels_.resize(layerCells);
    // Every cell outside the layer gets -1, not only new entries: a stale index
    // (from an earlier layer or a voxel file) would hand out a wrong record.
    std::fill(layerIndex_.begin(), layerIndex_.end(), -1);
    // The layer never touches the outer shell, so only inner cells are visited.
    int k = 0;
    for (int z = 1; z <= n_ - 2; ++z) {
        for (int y = 1; y <= n_ - 2; ++y) {
            for (int x = 1; x <= n_ - 2; ++x) {
                const int v = x + n_ * y + nn_ * z;
                if (layerFlags_[v] == 0) continue;
                layerIndex_[v] = k;
                LayerVoxel& record = layerVoxels_[k];
                record.voxel = v;
                record.index = k;
                record.polygon = polygonOfVoxel_[v];
                if (record.polygon >= 0 &&
                    record.polygon < static_cast<int>(mesh.polygons.size())) {
                    record.normal = mesh.polygons[record.polygon].normal;
                }
                record.centre = Vector3(x * h_ + h_ / 2, y * h_ + h_ / 2, z * h_ + h_ / 2);
                ++k;
            }
        }
    }
    // Layer flags on the outer shell (which Build clears and LoadVoxelFile refuses)
    // would leave records without a cell; drop them rather than hand them out.
    layerVoxels_.resize(k);
    const double recordSeconds = ProcessorSecondsSince(start);

    ConsoleLog(" volume is created !\nvolume size is        %d\nfiber layer voxel size is %d\n",
               CellCount(), LayerVoxelCount());
    ConsoleLog("volume creation %f %f %f\n", rayCastingSeconds, fibreLayerSeconds, recordSeconds);
}

}  // namespace vantrel
