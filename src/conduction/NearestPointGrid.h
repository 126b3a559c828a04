#pragma once
// Nearest of a fixed set of points to a query point, through a uniform grid of about
// two points per cell searched ring by ring outwards from the query's cell.
#include <vector>

#include "geometry/Vector3.h"

namespace vantrel {

class NearestPointGrid {
public:
    explicit NearestPointGrid(const std::vector<Vector3>& points);

    // Index of the nearest point (the lowest index among equally near ones) and its
    // distance; -1 when the set is empty.
    int Nearest(const Vector3& query, double& distance) const;

private:
    int CellIndex(int x, int y, int z) const { return (z * cells_[1] + y) * cells_[0] + x; }
    int CellCoordinate(double value, int axis) const;

    std::vector<Vector3> points_;
    Vector3 low_;
    double cellSize_ = 1.0;
    int cells_[3] = {1, 1, 1};
    std::vector<int> cellStart_;  // points of cell c: order_[cellStart_[c] .. cellStart_[c + 1])
    std::vector<int> order_;
};

}  // namespace vantrel
