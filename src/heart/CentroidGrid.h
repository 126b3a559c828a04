#pragma once
// Nearest segmented-polygon centroid, for the fibre layer's grown cells. Answers
// exactly what a loop over the segmented polygons in index order answers when it
// keeps a candidate only if its squared distance is strictly below the best so far,
// starting from a cut-off: the lowest-index polygon of least squared distance,
// provided that distance is below the cut-off.
//
// The centroids, (P0 + P1 + P2) * 0.33333333333, are sorted into a uniform grid; a
// query visits the cells in growing cubic shells around the query's cell and stops
// once no unvisited cell can hold a centroid as near as the best found.
#include <cstdint>
#include <vector>

#include "geometry/Vector3.h"

namespace vantrel {

class RkPolygonModel;

class CentroidGrid {
public:
    // Takes the polygons whose region id is non-zero (a polygon beyond the end of
    // regionIds counts as 0) and whose corners are valid vertex indices; a centroid
    // with a non-finite coordinate is never found.
    CentroidGrid(const RkPolygonModel& mesh, const std::vector<std::int32_t>& regionIds);

    // The polygon of the nearest centroid to q (ties: lowest index) whose squared
    // distance (q - c).LengthSquared() is < cutoff; -1 when there is none.
    int Nearest(const Vector3& q, double cutoff) const;

    bool Empty() const { return polygons_.empty(); }

private:
    struct Point {
        double x, y, z;
    };
    int CellOf(double coordinate, int axis) const;
    int CellOf(const Point& p) const;

    std::vector<Point> centroids_;  // grouped by cell, ascending polygon within a cell
    std::vector<int> polygons_;
    std::vector<int> cellStart_;  // centroids of cell c: cellStart_[c] .. cellStart_[c+1]
    int cells_[3] = {1, 1, 1};
    double origin_[3] = {0.0, 0.0, 0.0};
    double cellSize_ = 1.0;
};

}  // namespace vantrel
