// Second phase of Build: the fibre layer, the cells just inside the segmented part
// of the surface in which fibres may grow, and the polygon each of its cells belongs to.
#include <algorithm>
#include <vector>

#include "heart/CentroidGrid.h"
#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

namespace {

// A polygon beyond the end of regionIds counts as not segmented.
bool IsSegmented(const std::vector<std::int32_t>& regionIds, int polygon) {
    return polygon >= 0 && polygon < static_cast<int>(regionIds.size()) && regionIds[polygon] != 0;
}

}  // namespace

void VoxelVolume::GrowFibreLayer(const RkPolygonModel& mesh,
                                 const std::vector<std::int32_t>& regionIds) {
    const int cells = CellCount();
    std::fill(layerFlags_.begin(), layerFlags_.end(), 0);

    // Seed: the surface cells of segmented polygons.
    for (int v = 0; v < cells; ++v) {
        if (surfaceFlags_[v] != 0 && IsSegmented(regionIds, polygonOfVoxel_[v])) layerFlags_[v] = 1;
    }

    // Two passes, each adding the inside cells with a layer cell among their six
    // face neighbours before the pass: the layer reaches two cells into the inside.
    // The cells a pass adds are set only after the pass, so they do not count yet.
    std::vector<int> added;
    for (int pass = 0; pass < 2; ++pass) {
        added.clear();
        for (int z = 1; z <= n_ - 2; ++z) {
            for (int y = 1; y <= n_ - 2; ++y) {
                for (int x = 1; x <= n_ - 2; ++x) {
                    const int v = x + n_ * y + nn_ * z;
                    if (insideFlags_[v] == 0 || layerFlags_[v] != 0) continue;
                    if (layerFlags_[v - 1] || layerFlags_[v + 1] || layerFlags_[v - n_] ||
                        layerFlags_[v + n_] || layerFlags_[v - nn_] || layerFlags_[v + nn_]) {
                        added.push_back(v);
                    }
                }
            }
        }
        for (int v : added) layerFlags_[v] = 1;
    }

    // The layer keeps off the outer shell, so every layer cell has all 26 neighbours.
    for (int a = 0; a < n_; ++a) {
        for (int b = 0; b < n_; ++b) {
            layerFlags_[0 + n_ * a + nn_ * b] = 0;
            layerFlags_[(n_ - 1) + n_ * a + nn_ * b] = 0;
            layerFlags_[a + n_ * 0 + nn_ * b] = 0;
            layerFlags_[a + n_ * (n_ - 1) + nn_ * b] = 0;
            layerFlags_[a + n_ * b + nn_ * 0] = 0;
            layerFlags_[a + n_ * b + nn_ * (n_ - 1)] = 0;
        }
    }

    // Grown cells have no polygon of their own: they take the segmented polygon with
    // the nearest centroid (cut-off 1e6, lowest index on a tie).
    const CentroidGrid nearest(mesh, regionIds);
    if (nearest.Empty()) return;
    for (int v = 0; v < cells; ++v) {
        if (layerFlags_[v] == 0 || polygonOfVoxel_[v] != -1) continue;
        polygonOfVoxel_[v] = nearest.Nearest(CellCentre(v), 1e6);
    }
}

}  // namespace vantrel
