#pragma once
// Nearest-point search over a fixed set of points (the centroids of the segmented
// polygons), answering exactly what a loop over all points in index order answers
// when it keeps a candidate only if its squared distance is strictly below the best
// so far, starting from a cut-off: the lowest-index point of least squared
// distance, provided that distance is below the cut-off.
//
// The points are sorted into a uniform grid; a query visits the cells in growing
// cubic shells around the query's cell and stops once no unvisited cell can hold a
// point as near as the best found.
#include <vector>

#include "geometry/Vector3.h"

namespace vantrel {

class CentroidGrid {
 public:
    // points[k] belongs to item ids[k]; ids must be ascending. Points with a
    // non-finite coordinate are never found (their distance is never below a bound).
    CentroidGrid(const std::vector<Vector3>& points, const std::vector<int>& ids);

    // The id of the nearest point to q (ties: lowest id) whose squared distance
    // (q - p).LengthSquared() is < cutoff; -1 when there is none.
    int Nearest(const Vector3& q, double cutoff) const;

    bool Empty() const { return points_.empty(); }

 private:
    int CellOf(double coordinate, int axis) const;

    std::vector<Vector3> points_;  // grouped by cell, ascending id within a cell
    std::vector<int> ids_;
    std::vector<int> cellStart_;  // points of cell c: cellStart_[c] .. cellStart_[c+1]
    int cells_[3] = {1, 1, 1};
    double origin_[3] = {0.0, 0.0, 0.0};
    double cellSize_ = 1.0;
};

}  // namespace vantrel
