#include "heart/CentroidGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "mesh/RkPolygonModel.h"

namespace vantrel {

namespace {

constexpr int kMaxCellsPerAxis = 256;
constexpr double kCellsPerCubeRoot = 1.0;

}  // namespace

CentroidGrid::CentroidGrid(const RkPolygonModel& mesh, const std::vector<std::int32_t>& regionIds) {
    const int polygonCount = static_cast<int>(mesh.polygons.size());
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    // The centroid of a polygon that takes part, computed the same way in every pass
    // (the arrays are built in passes over the mesh rather than from a copy of all
    // centroids: fresh memory is what costs most here).
    const auto centroidOf = [&](int i, Point& centroid) {
        if (i >= static_cast<int>(regionIds.size()) || regionIds[i] == 0) return false;
        const MeshPolygon& polygon = mesh.polygons[i];
        for (int corner : polygon.vertex) {
            if (corner < 0 || corner >= vertexCount) return false;
        }
        const Vector3 c =
            (mesh.vertices[polygon.vertex[0]].position + mesh.vertices[polygon.vertex[1]].position +
             mesh.vertices[polygon.vertex[2]].position) *
            0.33333333333;
        centroid = Point{c.x, c.y, c.z};
        return std::isfinite(c.x) && std::isfinite(c.y) && std::isfinite(c.z);
    };

    // The grid spans the vertices' bounding box: one sequential pass instead of a
    // pass gathering every centroid. A centroid just outside it (the factor is a
    // little below 1/3) is clamped into a border cell, which the search allows for.
    int count = 0;
    double low[3] = {0.0, 0.0, 0.0}, high[3] = {0.0, 0.0, 0.0};
    bool anyVertex = false;
    for (const MeshVertex& vertex : mesh.vertices) {
        const double p[3] = {vertex.position.x, vertex.position.y, vertex.position.z};
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) continue;
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = anyVertex ? std::min(low[axis], p[axis]) : p[axis];
            high[axis] = anyVertex ? std::max(high[axis], p[axis]) : p[axis];
        }
        anyVertex = true;
    }
    if (!anyVertex) return;
    // The grid's fineness follows the number of segmented polygons (a cheap count:
    // a non-finite centroid found later only makes the estimate a little high).
    int expected = 0;
    for (int i = 0; i < polygonCount && i < static_cast<int>(regionIds.size()); ++i)
        expected += regionIds[i] != 0;
    if (expected == 0) return;

    const double largest = std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
    // Centroids lie on a surface: about cbrt(count) cells along the largest extent
    // leave a few dozen in each occupied cell and keep the cell table small (its
    // fresh memory costs more than scanning those centroids). The search skips
    // cells farther than the best distance found, so coarse cells cost little.
    const int cellsAlongLargest = std::clamp(
        static_cast<int>(std::ceil(kCellsPerCubeRoot * std::cbrt(static_cast<double>(expected)))),
        1, kMaxCellsPerAxis);
    cellSize_ = largest > 0.0 ? largest / cellsAlongLargest : 1.0;
    for (int axis = 0; axis < 3; ++axis) {
        origin_[axis] = low[axis];
        cells_[axis] =
            std::min(static_cast<int>((high[axis] - low[axis]) / cellSize_) + 1, kMaxCellsPerAxis);
    }

    // Counting sort by cell. Filling each cell from its end while walking the
    // polygons backwards keeps the polygons ascending within a cell.
    const std::size_t cellCount = static_cast<std::size_t>(cells_[0]) * cells_[1] * cells_[2];
    cellStart_.assign(cellCount + 1, 0);
    Point c;
    for (int i = 0; i < polygonCount; ++i) {
        if (!centroidOf(i, c)) continue;
        ++cellStart_[CellOf(c)];
        ++count;
    }
    if (count == 0) {
        cellStart_.clear();
        return;
    }
    int end = 0;
    for (std::size_t cell = 0; cell < cellCount; ++cell) {
        end += cellStart_[cell];
        cellStart_[cell] = end;
    }
    cellStart_[cellCount] = end;
    centroids_.resize(count);
    polygons_.resize(count);
    for (int i = polygonCount - 1; i >= 0; --i) {
        if (!centroidOf(i, c)) continue;
        const int slot = --cellStart_[CellOf(c)];
        centroids_[slot] = c;
        polygons_[slot] = i;
    }
}

int CentroidGrid::CellOf(double coordinate, int axis) const {
    const double cell = std::floor((coordinate - origin_[axis]) / cellSize_);
    if (!(cell >= 0.0)) return 0;
    return cell >= cells_[axis] - 1 ? cells_[axis] - 1 : static_cast<int>(cell);
}

int CentroidGrid::CellOf(const Point& p) const {
    return CellOf(p.x, 0) + cells_[0] * (CellOf(p.y, 1) + cells_[1] * CellOf(p.z, 2));
}

int CentroidGrid::Nearest(const Vector3& q, double cutoff) const {
    if (polygons_.empty() || !std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z))
        return -1;
    const int centre[3] = {CellOf(q.x, 0), CellOf(q.y, 1), CellOf(q.z, 2)};
    const double query[3] = {q.x, q.y, q.z};
    // Cell borders and centroids are both rounded; a border is trusted only up to
    // this distance, far above the rounding of values of this size.
    const double margin = 1e-9 * (cellSize_ * kMaxCellsPerAxis + std::abs(origin_[0]) +
                                  std::abs(origin_[1]) + std::abs(origin_[2]) + 1.0);
    double best = cutoff;
    int bestPolygon = -1;
    // Squared distance from q to cell `index` along one axis, less the margin; the
    // border cells reach to infinity outwards.
    const auto axisGap = [&](int axis, int index) {
        double gap = 0.0;
        if (index > 0) gap = std::max(gap, origin_[axis] + index * cellSize_ - query[axis]);
        if (index < cells_[axis] - 1)
            gap = std::max(gap, query[axis] - (origin_[axis] + (index + 1) * cellSize_));
        gap = std::max(0.0, gap - margin);
        return gap * gap;
    };
    const auto visitCell = [&](int x, int y, int z) {
        // Cells that cannot hold a centroid as near as the best are not opened.
        if (axisGap(0, x) + axisGap(1, y) + axisGap(2, z) > best) return;
        const int cell = x + cells_[0] * (y + cells_[1] * z);
        for (int k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) {
            // (q - c).LengthSquared(), written out.
            const double dx = q.x - centroids_[k].x;
            const double dy = q.y - centroids_[k].y;
            const double dz = q.z - centroids_[k].z;
            const double distance = dx * dx + dy * dy + dz * dz;
            if (distance < best ||
                (distance == best && bestPolygon != -1 && polygons_[k] < bestPolygon)) {
                best = distance;
                bestPolygon = polygons_[k];
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
        // Every centroid not yet visited lies beyond one of the block's inner faces
        // (the outermost cells also hold whatever was clamped into them).
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
    return bestPolygon;
}

}  // namespace vantrel
