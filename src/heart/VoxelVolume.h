#pragma once
// The voxel volume over the normalised heart: a dense grid of n x n x n cells over
// the box [0, extent]^3 (the program uses n = 128, extent = 10.0, so the voxel size
// h = extent / n = 0.078125). Build voxelises the heart mesh (surface and inside
// cells by ray casting along x, y and z), grows the fibre layer two cells into the
// inside of the segmented surface and makes one LayerVoxel record per layer cell.
// During growth the volume keeps a density field (how close each cell is to strokes
// already grown, 0 to 6.0), registers strokes in the layer cells they pass, derives
// escape directions from the density and answers collision queries.
//
// Cell (x, y, z), each 0 to n-1, covers [x*h, (x+1)*h) on x (likewise y, z); its
// linear index is v = x + n*y + n*n*z and every per-cell array is indexed by v.
// A point on the upper face of the box (coordinate == extent) belongs to cell n-1;
// points outside the box belong to no cell.
//
// Single-threaded; nothing here is safe against concurrent use of one volume.
#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "geometry/Vector3.h"
#include "heart/LayerVoxel.h"
#include "heart/VolumeStroke.h"

namespace vantrel {

class RkPolygonModel;

// Strokes that a collision query must not report (the growing stroke, its parent...).
using ExcludedStrokes = std::vector<const VolumeStroke*>;

class VoxelVolume {
public:
    // Stamping kernel: entry (i, j, k), each 0 to 5, at i + 6j + 36k, holds
    // max(0, 6 - sqrt(i*i + j*j + k*k)).
    using KernelTable = std::array<double, 216>;
    // The 27 directions (dx, dy, dz), each -1, 0, 1, x fastest, normalised; entry 13
    // is (0,0,0) with its `zero` flag set. Entry (dx, dy, dz) is the neighbour cell
    // v + dx + n*dy + n*n*dz.
    using NeighbourTable = std::array<Vector3, 27>;

    // Allocates every per-cell array (about 21 bytes a cell) in its initial state:
    // flags 0, layerIndex and polygonOfVoxel -1, density 0.0, no records.
    // resolution: 1 to 1290 (so that n^3 fits an int32); extent > 0 in model units.
    VoxelVolume(int resolution, double extent);

    // Voxelises `mesh` (its polygon normals must be current: they are copied into
    // the records) and builds the fibre layer from the polygons whose region id is
    // non-zero (a polygon without an entry in regionIds counts as 0). A crossing on
    // the upper face of the box belongs to cell n-1, one outside the box is dropped,
    // and a polygon with a corner outside the vertex array is ignored. Starts from
    // the initial state, so a volume can be built again; the density field and every
    // stroke registration are emptied. Prints the progress and timing lines.
    void Build(const RkPolygonModel& mesh, const std::vector<std::int32_t>& regionIds);

    // Empties the density field and every record's strokes; every escape direction
    // becomes (0,0,0). Called before each growth run.
    void ResetOccupancy();

    // Stamps the stroke's path into the density field at samples half a voxel apart
    // (both end points included) and registers the stroke in the layer cells passed.
    // Samples outside the box are skipped. Nothing for fewer than two points. The
    // stroke must stay alive until the next ResetOccupancy or Build.
    void MarkStroke(VolumeStroke* stroke);

    // Registers the stroke in cell v when v is a layer cell; then, unless the cell
    // has been stamped before (density >= 6.0), raises the density around it to the
    // kernel (a maximum, not a sum). v outside 0..n^3-1 is ignored.
    void MarkVoxel(int voxel, VolumeStroke* stroke);

    // Recomputes record.escapeDirection from the current density field around its
    // cell: the density gradient summed over the 26 neighbours, its component along
    // record.normal removed, normalised; (0,0,0) where the gradient vanishes.
    void UpdateEscapeDirection(LayerVoxel& record) const;

    // Walks the segment from -> to at half-voxel steps (and at `to`) and reports the
    // first layer cell, other than start's, that holds a stamped stroke not in
    // `excluded`: true with the nearest point of that stroke and the stroke.
    // False (outputs untouched) when the segment meets none.
    bool FindCollision(const LayerVoxel& start, const Vector3& from, const Vector3& to,
                       Vector3& outPoint, VolumeStroke*& outStroke,
                       const ExcludedStrokes& excluded) const;

    // Nearest point to `point` over the record's strokes not in `excluded`; on an
    // exact tie the stroke with the lower serial wins. False when none qualifies.
    bool NearestStrokePoint(const LayerVoxel& record, const Vector3& point,
                            VolumeStroke*& outStroke, Vector3& outPoint,
                            const ExcludedStrokes& excluded) const;

    // Nearest point of the polyline to `point` and its squared distance; zero-length
    // segments are skipped. False (outputs untouched) for fewer than two points or
    // when no segment has a length.
    static bool NearestPointOnPolyline(const Vector3& point, const std::vector<Vector3>& polyline,
                                       Vector3& outPoint, double& outSquaredDistance);

    // 0 <= c <= extent for each coordinate (both faces of the box included; NaN is out).
    bool Contains(double x, double y, double z) const;
    bool Contains(const Vector3& point) const { return Contains(point.x, point.y, point.z); }

    // Linear index of the cell of a Contains-ed point (truncation toward zero; a
    // coordinate equal to the extent maps to cell n-1); -1 for any other point.
    int VoxelIndexAt(const Vector3& point) const;

    // The record of the point's cell with its escapeDirection brought up to date, or
    // nullptr when the point lies outside the box or its cell is not in the layer.
    LayerVoxel* LayerVoxelAt(const Vector3& point);

    // Record by position in the record array (0 to LayerVoxelCount()-1, asserted),
    // with its escapeDirection brought up to date.
    LayerVoxel& LayerVoxelByIndex(int index);

    // Writes the voxel file: "#vodelSize n^3", one line per cell "v surface inside
    // layer layerIndex polygon", "#end". False when a write fails.
    bool SaveVoxelFile(std::FILE* file) const;

    // Reads a voxel file written by SaveVoxelFile and rebuilds the records against
    // `mesh`. Refuses (false, one console line, volume unchanged) a header other than
    // "#vodelSize n^3", a short or malformed cell line, a polygon outside the mesh, a
    // layer cell without a polygon or on the outer shell of the grid, and a missing
    // "#end". On success the density field and stroke registrations are empty.
    bool LoadVoxelFile(std::FILE* file, const RkPolygonModel& mesh);

    // Grid geometry.
    int Resolution() const { return n_; }
    double Extent() const { return extent_; }
    // Voxel size h = extent / n.
    double VoxelSize() const { return h_; }
    int CellCount() const { return static_cast<int>(surfaceFlags_.size()); }
    // Centre of cell v: (x*h + h/2, y*h + h/2, z*h + h/2).
    Vector3 CellCentre(int voxel) const;

    // Per-cell arrays, indexed by v (read-only views).
    const std::vector<std::int32_t>& surfaceFlags() const { return surfaceFlags_; }
    const std::vector<std::int32_t>& insideFlags() const { return insideFlags_; }
    const std::vector<std::int32_t>& layerFlags() const { return layerFlags_; }
    const std::vector<std::int32_t>& layerIndex() const { return layerIndex_; }
    const std::vector<std::int32_t>& polygonOfVoxel() const { return polygonOfVoxel_; }
    // The density of every cell (0 to 6.0), rebuilt from the stamp distances when a
    // stamp has changed them since the last call. The reference stays valid until
    // the next stamp, reset or build.
    const std::vector<double>& densityField() const;
    // The density of one cell: the kernel value of its stamp distance.
    double DensityAt(int voxel) const { return densityOfDistance_[stampDistance_[voxel]]; }
    // True when v is a cell index of the fibre layer (false for v == -1).
    bool IsLayerVoxel(int voxel) const;

    // The records in order. Their escapeDirection is only current in records handed
    // out by LayerVoxelAt / LayerVoxelByIndex (or passed to UpdateEscapeDirection).
    const std::vector<LayerVoxel>& layerVoxels() const { return layerVoxels_; }
    int LayerVoxelCount() const { return static_cast<int>(layerVoxels_.size()); }

    const KernelTable& kernelTable() const { return kernelTable_; }
    static const NeighbourTable& neighbourDirections();

private:
    // Cell coordinate along one axis of a coordinate c: trunc(c*n/extent), n-1 for
    // c == extent; -1 when c lies outside [0, extent] or is NaN.
    int CellCoordinate(double c) const;
    void ResetToInitialState();
    // The three phases of Build (see the .cpp files of the same names).
    void CastRays(const RkPolygonModel& mesh);
    void GrowFibreLayer(const RkPolygonModel& mesh, const std::vector<std::int32_t>& regionIds);
    // Makes the records of the layer cells and prints the "volume is created" lines
    // with the phase times (processor seconds).
    void MakeRecords(const RkPolygonModel& mesh, double rayCastingSeconds,
                     double fibreLayerSeconds);
    // Raises the density around cell v to the kernel (MarkVoxel's stamp).
    void StampDensity(int voxel);
    // Whether a segment of this length is walked at half-voxel steps.
    bool IsWalkable(double length) const;

    int n_;
    int nn_;
    double extent_;
    double h_;
    std::vector<std::int32_t> surfaceFlags_;
    std::vector<std::int32_t> insideFlags_;
    std::vector<std::int32_t> layerFlags_;
    std::vector<std::int32_t> layerIndex_;
    std::vector<std::int32_t> polygonOfVoxel_;
    std::vector<LayerVoxel> layerVoxels_;
    // Density is kept as each cell's squared distance (in cells, per axis at most 5)
    // to the nearest stamped cell, kNoStamp where no stamp reaches: the kernel falls
    // with that distance, so its maximum over the stamps is the kernel of the
    // minimum, and a byte a cell keeps the field small enough to stay in cache.
    static constexpr std::uint8_t kNoStamp = 255;
    std::vector<std::uint8_t> stampDistance_;
    // The kernel value of each squared distance: kernelTable_'s value where a cube
    // offset has it, 0 elsewhere (beyond the kernel's reach and for kNoStamp).
    std::array<double, 256> densityOfDistance_{};
    // densityField()'s copy and whether a stamp has changed the field since it was made.
    mutable std::vector<double> densityCopy_;
    mutable bool densityCopyCurrent_ = false;
    KernelTable kernelTable_;
};

}  // namespace vantrel
