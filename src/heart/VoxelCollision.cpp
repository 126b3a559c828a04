// Collision queries of growth: does a new segment run into a stroke already grown,
// and where is the nearest point of that stroke.
#include <algorithm>

#include "heart/VoxelVolume.h"

namespace vantrel {

bool VoxelVolume::FindCollision(const LayerVoxel& start, const Vector3& from, const Vector3& to,
                                Vector3& outPoint, VolumeStroke*& outStroke,
                                const ExcludedStrokes& excluded) const {
    // A stamped layer cell (other than the one the walk starts in) with a stroke to
    // report. The start cell is left out because the growing stroke's own parent is
    // registered there.
    const auto hitsStroke = [&](const Vector3& position) {
        if (!Contains(position)) return false;
        const int voxel = VoxelIndexAt(position);
        if (layerFlags_[voxel] == 0 || voxel == start.voxel || stampDistance_[voxel] != 0)
            return false;
        const int record = layerIndex_[voxel];
        if (record < 0) return false;
        return NearestStrokePoint(layerVoxels_[record], position, outStroke, outPoint, excluded);
    };
    const double length = (to - from).Length();
    const double halfVoxel = h_ / 2;
    if (length > 0.0 && IsWalkable(length)) {
        const Vector3 step = (to - from) * (h_ / 2) / length;
        Vector3 position = from;
        double travelled = 0.0;
        do {
            if (hitsStroke(position)) return true;
            position += step;
            travelled += halfVoxel;
        } while (travelled < length);
    }
    return hitsStroke(to);
}

bool VoxelVolume::NearestStrokePoint(const LayerVoxel& record, const Vector3& point,
                                     VolumeStroke*& outStroke, Vector3& outPoint,
                                     const ExcludedStrokes& excluded) const {
    double best = 1e7;
    bool found = false;
    for (VolumeStroke* stroke : record.strokes) {
        if (std::find(excluded.begin(), excluded.end(), stroke) != excluded.end()) continue;
        Vector3 candidate;
        double squaredDistance = 0.0;
        if (NearestPointOnPolyline(point, stroke->PathPoints(), candidate, squaredDistance) &&
            squaredDistance < best) {
            best = squaredDistance;
            outPoint = candidate;
            outStroke = stroke;
            found = true;
        }
    }
    return found;
}

bool VoxelVolume::NearestPointOnPolyline(const Vector3& point, const std::vector<Vector3>& polyline,
                                         Vector3& outPoint, double& outSquaredDistance) {
    if (polyline.size() < 2) return false;
    double best = 1e9;
    bool found = false;
    for (std::size_t i = 1; i < polyline.size(); ++i) {
        const Vector3& a = polyline[i - 1];
        const Vector3 d = polyline[i] - a;
        const double dd = d.Dot(d);
        if (dd == 0.0) continue;
        const double t = (point - a).Dot(d) / dd;
        Vector3 candidate;
        if (t < 0.0) {
            candidate = a;
        } else if (t > 1.0) {
            candidate = polyline[i];
        } else {
            candidate = a + t * d;  // also a NaN t, whose distance is never kept
        }
        const double squaredDistance = (candidate - point).Dot(candidate - point);
        if (squaredDistance < best) {
            best = squaredDistance;
            outPoint = candidate;
            outSquaredDistance = squaredDistance;
            found = true;
        }
    }
    return found;
}

}  // namespace vantrel
