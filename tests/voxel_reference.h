#pragma once
// Straightforward versions of the voxel volume's fast paths, kept as the reference
// that the fast paths must equal exactly:
// - BuildReferenceVolume: every ray tests every polygon, and every grown layer cell
//   scans every segmented polygon for the nearest centroid;
// - EagerEscapeDirections: after every stamp, the escape direction of every record
//   within 6 cells is recomputed, instead of computing it when read.
#include <cstdint>
#include <vector>

#include "geometry/Vector3.h"
#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {
namespace reference {

struct Record {
    int voxel;
    int index;
    int polygon;
    Vector3 centre;
    Vector3 normal;
};

struct Volume {
    std::vector<std::int32_t> surfaceFlags, insideFlags, layerFlags, layerIndex, polygonOfVoxel;
    std::vector<Record> records;
};

Volume BuildReferenceVolume(const RkPolygonModel& mesh, const std::vector<std::int32_t>& regionIds,
                            int n, double extent);

// The density field and escape directions of a built volume's layer, kept the
// eager way. Mark mirrors VoxelVolume::MarkStroke's sampling.
class EagerEscapeDirections {
public:
    explicit EagerEscapeDirections(const VoxelVolume& layout);
    void MarkStroke(const std::vector<Vector3>& points);
    const std::vector<double>& density() const { return density_; }
    const std::vector<Vector3>& escape() const { return escape_; }

private:
    void MarkVoxel(int v);
    void Update(int record);

    const VoxelVolume& layout_;
    int n_;
    std::vector<double> density_;
    std::vector<Vector3> escape_;
};

}  // namespace reference
}  // namespace vantrel
