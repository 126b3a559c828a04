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

void VoxelVolume::GrowFibreLayer(const RkPolygonModel& mesh, const std::vector<std::int32_t>& regionIds) {
    const int cells = CellCount();
    std::fill(layerFlags_.begin(), layerFlags_.end(), 0);

    // Seed: the surface cells of segmented polygons.
    for (int v = 0; v < cells; ++v) {
        if (surfaceFlags_[v] != 0 && IsSegmented(regionIds, polygonOfVoxel_[v])) layerFlags_[v] = 1;
    }

    // Two passes, each adding the inside cells with a layer cell among their six
    // face neighbours before the pass: the layer reaches two cells into the inside.
    std::vector<std::int32_t> grown;
    for (int pass = 0; pass < 2; ++pass) {
        grown = layerFlags_;
        for (int z = 1; z <= n_ - 2; ++z) {
            for (int y = 1; y <= n_ - 2; ++y) {
                for (int x = 1; x <= n_ - 2; ++x) {
                    const int v = x + n_ * y + nn_ * z;
                    if (insideFlags_[v] == 0 || grown[v] != 0) continue;
                    if (layerFlags_[v - 1] || layerFlags_[v + 1] || layerFlags_[v - n_] || layerFlags_[v + n_] ||
                        layerFlags_[v - nn_] || layerFlags_[v + nn_]) {
                        grown[v] = 1;
                    }
                }
            }
        }
        layerFlags_.swap(grown);
    }

    // The layer keeps off the outer shell, so every layer cell has all 26 neighbours.
    for (int z = 0; z < n_; ++z) {
        for (int y = 0; y < n_; ++y) {
            for (int x = 0; x < n_; ++x) {
                if (x == 0 || y == 0 || z == 0 || x == n_ - 1 || y == n_ - 1 || z == n_ - 1) {
                    layerFlags_[x + n_ * y + nn_ * z] = 0;
                }
            }
        }
    }

    // Grown cells have no polygon of their own: they take the segmented polygon with
    // the nearest centroid (cut-off 1e6, lowest index on a tie).
    std::vector<Vector3> centroids;
    std::vector<int> centroidPolygons;
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    for (int i = 0; i < static_cast<int>(mesh.polygons.size()); ++i) {
        if (!IsSegmented(regionIds, i)) continue;
        const MeshPolygon& polygon = mesh.polygons[i];
        bool valid = true;
        for (int corner : polygon.vertex) valid = valid && corner >= 0 && corner < vertexCount;
        if (!valid) continue;
        const Vector3& p0 = mesh.vertices[polygon.vertex[0]].position;
        const Vector3& p1 = mesh.vertices[polygon.vertex[1]].position;
        const Vector3& p2 = mesh.vertices[polygon.vertex[2]].position;
        centroids.push_back((p0 + p1 + p2) * 0.33333333333);
        centroidPolygons.push_back(i);
    }
    const CentroidGrid nearest(centroids, centroidPolygons);
    if (nearest.Empty()) return;
    for (int v = 0; v < cells; ++v) {
        if (layerFlags_[v] == 0 || polygonOfVoxel_[v] != -1) continue;
        polygonOfVoxel_[v] = nearest.Nearest(CellCentre(v), 1e6);
    }
}

}  // namespace vantrel
