#include "conduction/NearestPointGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantrel {

namespace {

constexpr double kPointsPerCell = 2.0;
constexpr int kMaximumCellsPerAxis = 256;

double Axis(const Vector3& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

}  // namespace

NearestPointGrid::NearestPointGrid(const std::vector<Vector3>& points) : points_(points) {
    if (points_.empty()) return;
    Vector3 high = points_.front();
    low_ = points_.front();
    for (const Vector3& p : points_) {
        low_.x = std::min(low_.x, p.x), high.x = std::max(high.x, p.x);
        low_.y = std::min(low_.y, p.y), high.y = std::max(high.y, p.y);
        low_.z = std::min(low_.z, p.z), high.z = std::max(high.z, p.z);
    }
    const double extent = std::max(high.x - low_.x, std::max(high.y - low_.y, high.z - low_.z));
    // Cells sized for the volume of the bounding box; a flat or point-like set gets
    // cells sized from its largest extent alone.
    const double volume = std::max(high.x - low_.x, extent * 1e-3) *
                          std::max(high.y - low_.y, extent * 1e-3) *
                          std::max(high.z - low_.z, extent * 1e-3);
    cellSize_ = std::cbrt(volume * kPointsPerCell / static_cast<double>(points_.size()));
    if (!(cellSize_ > 0.0) || !std::isfinite(cellSize_)) cellSize_ = 1.0;
    cellSize_ = std::max(cellSize_, extent / kMaximumCellsPerAxis);
    for (int axis = 0; axis < 3; ++axis) {
        const double span = Axis(high, axis) - Axis(low_, axis);
        cells_[axis] = std::min(kMaximumCellsPerAxis, static_cast<int>(span / cellSize_) + 1);
    }

    const std::size_t cellCount = static_cast<std::size_t>(cells_[0]) * cells_[1] * cells_[2];
    std::vector<int> cellOf(points_.size());
    cellStart_.assign(cellCount + 1, 0);
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const Vector3& p = points_[i];
        cellOf[i] =
            CellIndex(CellCoordinate(p.x, 0), CellCoordinate(p.y, 1), CellCoordinate(p.z, 2));
        ++cellStart_[static_cast<std::size_t>(cellOf[i]) + 1];
    }
    for (std::size_t c = 0; c < cellCount; ++c) cellStart_[c + 1] += cellStart_[c];
    order_.resize(points_.size());
    std::vector<int> cursor(cellStart_.begin(), cellStart_.end() - 1);
    for (std::size_t i = 0; i < points_.size(); ++i)
        order_[static_cast<std::size_t>(cursor[static_cast<std::size_t>(cellOf[i])]++)] =
            static_cast<int>(i);
}

int NearestPointGrid::CellCoordinate(double value, int axis) const {
    const double cell = std::floor((value - Axis(low_, axis)) / cellSize_);
    if (!(cell > 0.0)) return 0;
    return static_cast<int>(std::min(cell, static_cast<double>(cells_[axis] - 1)));
}

int NearestPointGrid::Nearest(const Vector3& query, double& distance) const {
    distance = std::numeric_limits<double>::infinity();
    if (points_.empty()) return -1;
    const int cx = CellCoordinate(query.x, 0);
    const int cy = CellCoordinate(query.y, 1);
    const int cz = CellCoordinate(query.z, 2);
    const int maxRing = std::max(cells_[0], std::max(cells_[1], cells_[2]));
    int best = -1;
    double bestSquared = std::numeric_limits<double>::infinity();
    for (int ring = 0; ring <= maxRing; ++ring) {
        for (int z = std::max(0, cz - ring); z <= std::min(cells_[2] - 1, cz + ring); ++z) {
            for (int y = std::max(0, cy - ring); y <= std::min(cells_[1] - 1, cy + ring); ++y) {
                const bool onShell = std::abs(z - cz) == ring || std::abs(y - cy) == ring;
                // Inside the shell only the two cells at x = cx -+ ring are new.
                const int step = onShell ? 1 : std::max(1, 2 * ring);
                for (int x = cx - ring; x <= cx + ring; x += step) {
                    if (x < 0 || x >= cells_[0]) continue;
                    const int cell = CellIndex(x, y, z);
                    for (int k = cellStart_[static_cast<std::size_t>(cell)];
                         k < cellStart_[static_cast<std::size_t>(cell) + 1]; ++k) {
                        const int i = order_[static_cast<std::size_t>(k)];
                        const double d =
                            (points_[static_cast<std::size_t>(i)] - query).LengthSquared();
                        if (d < bestSquared || (d == bestSquared && i < best)) {
                            bestSquared = d;
                            best = i;
                        }
                    }
                }
            }
        }
        // Every cell of the next ring lies at least `ring` cells from the query.
        const double reach = ring * cellSize_;
        if (best >= 0 && bestSquared <= reach * reach) break;
    }
    distance = std::sqrt(bestSquared);
    return best;
}

}  // namespace vantrel
