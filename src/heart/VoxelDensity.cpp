// The density field and stroke registrations that growth fills, and the escape
// directions derived from the density.
//
// Escape directions are computed when a record is handed out instead of after every
// stamp: a stamp changes the density up to 5 cells away and a record's direction
// reads its own cell and its 26 neighbours, so recomputing every record within 6
// cells after each stamp (13^3 records) and computing from the current field on
// demand give the same values.
#include <algorithm>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "heart/VoxelVolume.h"

namespace vantrel {

void VoxelVolume::ResetOccupancy() {
    std::fill(stampDistance_.begin(), stampDistance_.end(), kNoStamp);
    densityCopyCurrent_ = false;
    for (LayerVoxel& record : layerVoxels_) {
        record.escapeDirection = Vector3(0.0, 0.0, 0.0);
        record.strokes.clear();
    }
}

bool VoxelVolume::IsWalkable(double length) const {
    // A segment longer than this cannot come from growth in the box; walking it at
    // half-voxel steps would take practically forever (for an infinite length,
    // really forever), so only its end points are looked at. A NaN length ends the
    // walk after its first sample, as it always has.
    return !(length > 1000.0 * extent_);
}

void VoxelVolume::MarkStroke(VolumeStroke* stroke) {
    const std::vector<Vector3>& points = stroke->PathPoints();
    if (points.size() < 2) return;
    const auto markAt = [&](const Vector3& position) {
        const int voxel = VoxelIndexAt(position);
        if (voxel >= 0) MarkVoxel(voxel, stroke);
    };
    const double halfVoxel = h_ / 2;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Vector3& a = points[i - 1];
        const Vector3& b = points[i];
        const double length = (b - a).Length();
        if (IsWalkable(length)) {
            const Vector3 step = (b - a) * (h_ / 2) / length;
            Vector3 position = a;
            double travelled = 0.0;
            do {
                markAt(position);
                position += step;
                travelled += halfVoxel;
            } while (travelled <= length);
        }
        markAt(b);
    }
}

void VoxelVolume::MarkVoxel(int voxel, VolumeStroke* stroke) {
    if (voxel < 0 || voxel >= CellCount()) return;
    if (layerFlags_[voxel] != 0 && layerIndex_[voxel] >= 0)
        layerVoxels_[layerIndex_[voxel]].strokes.insert(stroke);
    // A cell stamped before holds the kernel's peak; stamping again changes nothing.
    if (stampDistance_[voxel] == 0) return;
    StampDensity(voxel);
}

namespace {

// A stamp row as 16 lanes from dx = -5: lane 5 + dx holds rowDistance + dx^2 for
// dx -5..5 and the last five lanes hold VoxelVolume's "no stamp" value, so that a
// lane-wise minimum leaves the five cells after the row as they are. One pattern per
// rowDistance below 36 (rows farther away lie wholly outside the kernel).
struct StampRows {
    std::uint8_t lanes[36][16];
    StampRows() {
        for (int rowDistance = 0; rowDistance < 36; ++rowDistance) {
            for (int lane = 0; lane < 16; ++lane) {
                const int dx = lane - 5;
                lanes[rowDistance][lane] =
                    lane < 11 ? static_cast<std::uint8_t>(rowDistance + dx * dx) : 255;
            }
        }
    }
};

const StampRows kStampRows;

// window[i] = min(window[i], pattern[i]) for 16 bytes, one vector instruction where
// the processor has SSE2 (every x86-64 has).
inline void MinimumOf16(std::uint8_t* window, const std::uint8_t* pattern) {
#if defined(__SSE2__)
    const __m128i current = _mm_loadu_si128(reinterpret_cast<const __m128i*>(window));
    const __m128i stamp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(window), _mm_min_epu8(current, stamp));
#else
    for (int lane = 0; lane < 16; ++lane) window[lane] = std::min(window[lane], pattern[lane]);
#endif
}

}  // namespace

void VoxelVolume::StampDensity(int voxel) {
    static_assert(kNoStamp == 255, "the stamp rows pad with the no-stamp value");
    densityCopyCurrent_ = false;
    const int x = voxel % n_;
    const int y = (voxel / n_) % n_;
    const int z = voxel / nn_;
    const int xFrom = std::max(-5, -x), xTo = std::min(5, n_ - 1 - x);
    const int yFrom = std::max(-5, -y), yTo = std::min(5, n_ - 1 - y);
    const int zFrom = std::max(-5, -z), zTo = std::min(5, n_ - 1 - z);
    // Away from the x faces every row is one 16-byte minimum; its last five bytes,
    // past the row's end, are written back unchanged, so the window must end inside
    // the field.
    const std::size_t lastWindowEnd =
        static_cast<std::size_t>(voxel + n_ * yTo + nn_ * zTo - 5 + 16);
    const bool wholeRows = xFrom == -5 && xTo == 5 && lastWindowEnd <= stampDistance_.size();
    for (int dz = zFrom; dz <= zTo; ++dz) {
        for (int dy = yFrom; dy <= yTo; ++dy) {
            const int rowDistance = dz * dz + dy * dy;
            if (rowDistance >= 36) continue;  // 6 or more cells away: the kernel is 0
            std::uint8_t* row = &stampDistance_[voxel + n_ * dy + nn_ * dz];
            if (wholeRows) {
                MinimumOf16(row - 5, kStampRows.lanes[rowDistance]);
                continue;
            }
            for (int dx = xFrom; dx <= xTo; ++dx) {
                const std::uint8_t distance = static_cast<std::uint8_t>(rowDistance + dx * dx);
                if (distance < row[dx]) row[dx] = distance;
            }
        }
    }
}

const std::vector<double>& VoxelVolume::densityField() const {
    if (!densityCopyCurrent_) {
        densityCopy_.resize(stampDistance_.size());
        for (std::size_t v = 0; v < stampDistance_.size(); ++v)
            densityCopy_[v] = densityOfDistance_[stampDistance_[v]];
        densityCopyCurrent_ = true;
    }
    return densityCopy_;
}

void VoxelVolume::UpdateEscapeDirection(LayerVoxel& record) const {
    const int c = record.voxel;
    const int x = c % n_;
    const int y = (c / n_) % n_;
    const int z = c / nn_;
    // Records never lie on the outer shell; anything else has no full neighbourhood.
    if (c < 0 || c >= CellCount() || x == 0 || y == 0 || z == 0 || x == n_ - 1 || y == n_ - 1 ||
        z == n_ - 1) {
        record.escapeDirection = Vector3(0.0, 0.0, 0.0);
        return;
    }
    const NeighbourTable& directions = neighbourDirections();
    Vector3 gradient(0.0, 0.0, 0.0);
    int entry = 0;
    for (int dz = -1; dz <= 1; ++dz) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx, ++entry) {
                if (entry == 13) continue;
                const double difference = DensityAt(c) - DensityAt(c + dx + n_ * dy + nn_ * dz);
                gradient += difference * directions[entry];
            }
        }
    }
    const Vector3& normal = record.normal;
    gradient = gradient - gradient.Dot(normal) * normal;
    if (gradient.Dot(gradient) == 0.0) {
        record.escapeDirection = Vector3(0.0, 0.0, 0.0);
        return;
    }
    gradient.Normalize();
    record.escapeDirection = gradient;
}

}  // namespace vantrel
