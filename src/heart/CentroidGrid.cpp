#include "heart/CentroidGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vantrel {

namespace {

constexpr int kMaxCellsPerAxis = 256;

double Component(const Vector3& p, int axis) { return axis == 0 ? p.x : (axis == 1 ? p.y : p.z); }

bool IsFinite(const Vector3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

}  // namespace

CentroidGrid::CentroidGrid(const std::vector<Vector3>& points, const std::vector<int>& ids) {
    std::vector<Vector3> finitePoints;
    std::vector<int> finiteIds;
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (!IsFinite(points[k])) continue;
        finitePoints.push_back(points[k]);
        finiteIds.push_back(ids[k]);
    }
    if (finitePoints.empty()) return;

    double low[3], high[3];
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = high[axis] = Component(finitePoints[0], axis);
    }
    for (const Vector3& p : finitePoints) {
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], Component(p, axis));
            high[axis] = std::max(high[axis], Component(p, axis));
        }
    }
    const double largest = std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
    // The centroids lie on a surface, so about 2*cbrt(count) cells along the largest
    // extent leave a few points in each occupied cell.
    const int cellsAlongLargest = std::clamp(
        static_cast<int>(std::ceil(2.0 * std::cbrt(static_cast<double>(finitePoints.size())))), 1,
        kMaxCellsPerAxis);
    cellSize_ = largest > 0.0 ? largest / cellsAlongLargest : 1.0;
    for (int axis = 0; axis < 3; ++axis) {
        origin_[axis] = low[axis];
        cells_[axis] = std::min(static_cast<int>((high[axis] - low[axis]) / cellSize_) + 1, kMaxCellsPerAxis);
    }

    // Counting sort by cell; stable, so ids stay ascending within a cell.
    const std::size_t cellCount = static_cast<std::size_t>(cells_[0]) * cells_[1] * cells_[2];
    std::vector<int> cellOfPoint(finitePoints.size());
    cellStart_.assign(cellCount + 1, 0);
    for (std::size_t k = 0; k < finitePoints.size(); ++k) {
        const Vector3& p = finitePoints[k];
        cellOfPoint[k] = CellOf(p.x, 0) + cells_[0] * (CellOf(p.y, 1) + cells_[1] * CellOf(p.z, 2));
        ++cellStart_[cellOfPoint[k] + 1];
    }
    for (std::size_t c = 1; c <= cellCount; ++c) cellStart_[c] += cellStart_[c - 1];
    std::vector<int> fill(cellStart_.begin(), cellStart_.end() - 1);
    points_.resize(finitePoints.size());
    ids_.resize(finitePoints.size());
    for (std::size_t k = 0; k < finitePoints.size(); ++k) {
        const int slot = fill[cellOfPoint[k]]++;
        points_[slot] = finitePoints[k];
        ids_[slot] = finiteIds[k];
    }
}

int CentroidGrid::CellOf(double coordinate, int axis) const {
    const double cell = std::floor((coordinate - origin_[axis]) / cellSize_);
    if (!(cell >= 0.0)) return 0;
    return cell >= cells_[axis] - 1 ? cells_[axis] - 1 : static_cast<int>(cell);
}

int CentroidGrid::Nearest(const Vector3& q, double cutoff) const {
    if (points_.empty() || !IsFinite(q)) return -1;
    const int centre[3] = {CellOf(q.x, 0), CellOf(q.y, 1), CellOf(q.z, 2)};
    const double query[3] = {q.x, q.y, q.z};
    // Cell borders and point coordinates are both rounded; a border is trusted only
    // up to this distance, far above the rounding of values of this size.
    const double margin = 1e-9 * (cellSize_ * kMaxCellsPerAxis + std::abs(origin_[0]) +
                                  std::abs(origin_[1]) + std::abs(origin_[2]) + 1.0);
    double best = cutoff;
    int bestId = -1;
    const auto visitCell = [&](int x, int y, int z) {
        const int cell = x + cells_[0] * (y + cells_[1] * z);
        for (int k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
            const double distance = (q - points_[k]).LengthSquared();
            if (distance < best || (distance == best && bestId != -1 && ids_[k] < bestId)) {
                best = distance;
                bestId = ids_[k];
            }
        }
    };
    const int maxRadius = std::max({cells_[0], cells_[1], cells_[2]});
    for (int r = 0; r <= maxRadius; ++r) {
        // The shell of cells at Chebyshev distance r from the query's cell.
        for (int dz = -r; dz <= r; ++dz) {
            const int z = centre[2] + dz;
            if (z < 0 || z >= cells_[2]) continue;
            for (int dy = -r; dy <= r; ++dy) {
                const int y = centre[1] + dy;
                if (y < 0 || y >= cells_[1]) continue;
                const bool onFace = std::abs(dz) == r || std::abs(dy) == r;
                for (int dx = -r; dx <= r; dx += (onFace || r == 0) ? 1 : 2 * r) {
                    const int x = centre[0] + dx;
                    if (x >= 0 && x < cells_[0]) visitCell(x, y, z);
                }
            }
        }
        // Every point not yet visited lies beyond one of the block's inner faces.
        bool anyFace = false;
        double gap = 0.0;
        for (int axis = 0; axis < 3; ++axis) {
            if (centre[axis] - r > 0) {
                const double face = origin_[axis] + (centre[axis] - r) * cellSize_;
                gap = anyFace ? std::min(gap, query[axis] - face) : query[axis] - face;
                anyFace = true;
            }
            if (centre[axis] + r + 1 < cells_[axis]) {
                const double face = origin_[axis] + (centre[axis] + r + 1) * cellSize_;
                gap = anyFace ? std::min(gap, face - query[axis]) : face - query[axis];
                anyFace = true;
            }
        }
        if (!anyFace) break;
        const double safeGap = gap - margin;
        if (safeGap > 0.0 && safeGap * safeGap > best) break;
    }
    return bestId;
}

}  // namespace vantrel
