#pragma once
// Plain versions of the voxel volume's fast paths, which the fast paths must equal
// bit for bit: Build with every ray tested against every polygon and every grown
// layer cell's polygon found by a loop over all polygons; the density field as the
// maximum of the kernel over every stamp, and escape directions read from it.
#include <cstdint>
#include <vector>

#include "geometry/Vector3.h"
#include "heart/LayerVoxel.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {
namespace reference {

// A volume's per-cell arrays and records (escape directions left out).
struct Volume {
    std::vector<std::int32_t> surface, inside, layer, layerIndex, polygonOfVoxel;
    std::vector<double> density;
    std::vector<LayerVoxel> records;
};

// An n^3 grid over [0, extent]^3 built from the mesh's polygons, those with a non-zero
// id forming the fibre layer.
Volume Build(const RkPolygonModel& mesh, const std::vector<std::int32_t>& ids, int n,
             double extent);

// The segmented polygon with valid corners whose centroid's squared distance to q is
// least and below cutoff, the lowest index on a tie; -1 for none.
int NearestCentroid(const RkPolygonModel& mesh, const std::vector<std::int32_t>& ids,
                    const Vector3& q, double cutoff);

// The density field of an n^3 grid over [0, extent]^3.
struct Density {
    Density(int n, double extent) : n(n), extent(extent), field(n * n * n, 0.0) {}
    // Raises every cell of the 11^3 block around cell v to max(0, 6 - distance in cells).
    void Stamp(int v);
    // Stamps the cells of points half a voxel apart along each segment, and of its end.
    void MarkStroke(const std::vector<Vector3>& points);
    // The density differences to the 26 neighbours along their directions, summed,
    // projected into the record's tangent plane and normalised; (0,0,0) when it vanishes.
    Vector3 Escape(const LayerVoxel& record) const;

    int n;
    double extent;
    std::vector<double> field;
};

}  // namespace reference
}  // namespace vantrel
