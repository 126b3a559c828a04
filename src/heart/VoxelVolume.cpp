// Grid geometry, cell lookups and the Build sequence of the voxel volume; the
// phases live in VoxelRayCasting.cpp, VoxelFibreLayer.cpp and VoxelRecords.cpp.
#include "heart/VoxelVolume.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <ctime>

#include "geometry/ConsoleLog.h"
#include "heart/ProcessorClock.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

VoxelVolume::VoxelVolume(int resolution, double extent)
    : n_(resolution), nn_(resolution * resolution), extent_(extent), h_(extent / resolution) {
    assert(resolution >= 1 && resolution <= 1290 && extent > 0.0);
    const std::size_t cells = static_cast<std::size_t>(nn_) * static_cast<std::size_t>(n_);
    surfaceFlags_.assign(cells, 0);
    insideFlags_.assign(cells, 0);
    layerFlags_.assign(cells, 0);
    layerIndex_.assign(cells, -1);
    polygonOfVoxel_.assign(cells, -1);
    stampDistance_.assign(cells, kNoStamp);
    for (int k = 0; k < 6; ++k) {
        for (int j = 0; j < 6; ++j) {
            for (int i = 0; i < 6; ++i) {
                const double value = 6.0 - std::sqrt(static_cast<double>(i * i + j * j + k * k));
                kernelTable_[i + 6 * j + 36 * k] = value > 0.0 ? value : 0.0;
                densityOfDistance_[i * i + j * j + k * k] = kernelTable_[i + 6 * j + 36 * k];
            }
        }
    }
}

const VoxelVolume::NeighbourTable& VoxelVolume::neighbourDirections() {
    // Normalised once for the whole process: normalising the shared table again at
    // every construction could move an entry by a rounding step, so that a second
    // volume would compute different escape directions than the first.
    static const NeighbourTable table = [] {
        NeighbourTable directions;
        int entry = 0;
        for (int dz = -1; dz <= 1; ++dz) {
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    Vector3& direction = directions[entry++];
                    direction = Vector3(dx, dy, dz);
                    direction.Normalize();
                }
            }
        }
        return directions;
    }();
    return table;
}

void VoxelVolume::ResetToInitialState() {
    std::fill(surfaceFlags_.begin(), surfaceFlags_.end(), 0);
    std::fill(insideFlags_.begin(), insideFlags_.end(), 0);
    std::fill(layerFlags_.begin(), layerFlags_.end(), 0);
    std::fill(layerIndex_.begin(), layerIndex_.end(), -1);
    std::fill(polygonOfVoxel_.begin(), polygonOfVoxel_.end(), -1);
    std::fill(stampDistance_.begin(), stampDistance_.end(), kNoStamp);
    densityCopyCurrent_ = false;
    layerVoxels_.clear();
}

void VoxelVolume::Build(const RkPolygonModel& mesh, const std::vector<std::int32_t>& regionIds) {
    ResetToInitialState();

    std::clock_t start = std::clock();
    ConsoleLog("system initialize Voxel __ray casting...\n");
    CastRays(mesh);
    const double rayCastingSeconds = ProcessorSecondsSince(start);

    start = std::clock();
    ConsoleLog("system constructs Fiber Layer\n");
    GrowFibreLayer(mesh, regionIds);
    const double fibreLayerSeconds = ProcessorSecondsSince(start);

    MakeRecords(mesh, rayCastingSeconds, fibreLayerSeconds);
}

bool VoxelVolume::Contains(double x, double y, double z) const {
    // Written as "inside" tests so that NaN falls outside.
    return 0.0 <= x && x <= extent_ && 0.0 <= y && y <= extent_ && 0.0 <= z && z <= extent_;
}

int VoxelVolume::CellCoordinate(double c) const {
    if (!(0.0 <= c && c <= extent_)) return -1;
    const int cell = static_cast<int>(c * n_ / extent_);
    // The upper face of the box (and a value just below it that rounds up) would
    // give cell n, one past the grid.
    return cell < n_ ? cell : n_ - 1;
}

int VoxelVolume::VoxelIndexAt(const Vector3& point) const {
    const int x = CellCoordinate(point.x);
    const int y = CellCoordinate(point.y);
    const int z = CellCoordinate(point.z);
    if (x < 0 || y < 0 || z < 0) return -1;
    return x + n_ * y + nn_ * z;
}

Vector3 VoxelVolume::CellCentre(int voxel) const {
    const int x = voxel % n_;
    const int y = (voxel / n_) % n_;
    const int z = voxel / nn_;
    return Vector3(x * h_ + h_ / 2, y * h_ + h_ / 2, z * h_ + h_ / 2);
}

bool VoxelVolume::IsLayerVoxel(int voxel) const {
    return voxel >= 0 && voxel < CellCount() && layerFlags_[voxel] != 0;
}

LayerVoxel* VoxelVolume::LayerVoxelAt(const Vector3& point) {
    const int voxel = VoxelIndexAt(point);
    if (voxel < 0 || layerIndex_[voxel] == -1) return nullptr;
    return &LayerVoxelByIndex(layerIndex_[voxel]);
}

LayerVoxel& VoxelVolume::LayerVoxelByIndex(int index) {
    assert(index >= 0 && index < LayerVoxelCount());
    LayerVoxel& record = layerVoxels_[index];
    UpdateEscapeDirection(record);
    return record;
}

}  // namespace vantrel
