#include "growth/WalkStroke.h"

#include <cmath>

#include "growth/LayerLookup.h"
#include "heart/PolylineOps.h"
#include "heart/SurfaceFitting.h"

namespace vantrel {

namespace {

// The first sub-steps of a walk go straight along the surface; from this one on
// they bend towards the layer's escape direction.
constexpr int kFirstBendingStep = 3;

}  // namespace

void WalkStroke(Stroke& s, double length, bool& collided, bool& leftVolume,
                const ExcludedStrokes& excluded, VolumeStroke*& hit, GrowthContext& context) {
    VoxelVolume& volume = context.volume;
    const GrowthParameters& parameters = context.parameters;
    const int resolution = parameters.SegmentResolution < 2 ? 2 : parameters.SegmentResolution;

    Vector3 position = FrameOrigin(s.startFrame);
    Vector3 direction = FrameYAxis(s.startFrame);
    const LayerVoxel* start = LayerRecordAt(volume, position);
    if (!start) {
        leftVolume = true;
        return;
    }
    const LayerVoxel* cell = start;
    const double stepLength = length / (resolution - 1);
    std::vector<Vector3>& path = s.path.points;
    path.reserve(static_cast<std::size_t>(resolution) + 2);
    path.push_back(position);

    Vector3 heading;
    for (int k = 1; k <= resolution - 1; ++k) {
        const Vector3 normal = cell->normal;
        direction = direction - direction.Dot(normal) * normal;
        direction.Normalize();
        if (k < kFirstBendingStep) {
            heading = direction;
        } else {
            // Nothing has been stamped since the cell was reached, so the direction
            // brought up to date now is the one it had then.
            const Vector3 escape = volume.LayerVoxelByIndex(cell->index).escapeDirection;
            heading = direction + parameters.GradientDirectionRate * escape;
            heading = heading - heading.Dot(normal) * normal;
            heading.Normalize();
        }
        Vector3 next = position + stepLength * heading;
        if (parameters.FitOffsetFromTargetPolygon) {
            if (const LayerVoxel* record = LayerRecordAt(volume, next)) {
                SnapToLayerPlane(context.mesh, *record, context.layerDepth, next);
            }
        }
        path.push_back(next);
        cell = LayerRecordAt(volume, next);
        if (!cell) {
            leftVolume = true;
            return;
        }
        Vector3 contact;
        VolumeStroke* other = nullptr;
        if (volume.FindCollision(*start, position, next, contact, other, excluded)) {
            // End on the stroke met, then even the path out into equal pieces.
            path.push_back(contact);
            ResamplePolyline(resolution, path, path);
            SmoothPolyline(path, path, static_cast<int>(path.size()));
            collided = true;
            hit = other;
            return;
        }
        position = next;
        direction = heading;
    }

    s.endFrame = TurnedTowards(s.startFrame, heading);
    SetFrameOrigin(s.endFrame, position);
}

}  // namespace vantrel
