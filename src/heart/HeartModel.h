#pragma once
// HeartModel: the target of the fibre growth. It holds the heart surface mesh,
// normalised into the box [0, 10]^3, one region id per polygon (the segmentation:
// 0 = not segmented, otherwise segmented), the voxel volume built from both, and
// the seven flags that the menu commands toggle and the drawing reads. Drawing
// and picking live with the program; this class has no graphics.
#include <cstdint>
#include <string>
#include <vector>

#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

// Which segmentation LoadHeart applies after loading the heart.
struct SegmentationChoice {
    enum class Kind {
        kNone,          // every region id stays 0 (the fibre layer is empty)
        kFile,          // ImportSegmentation(path)
        kAllSegmented,  // every region id 1, in place of a file
    };
    Kind kind = Kind::kNone;
    std::string path;

    static SegmentationChoice None() { return {Kind::kNone, std::string()}; }
    static SegmentationChoice File(const std::string& path) { return {Kind::kFile, path}; }
    static SegmentationChoice AllSegmented() { return {Kind::kAllSegmented, std::string()}; }
};

// Whether the heart's open boundary loops (valve openings) are closed on loading.
enum class ValveCapping { kLeaveOpen, kCap };

// The translation and uniform scale that NormalizeHeart applied to the refined mesh:
// model = (file - low) * scale.
struct HeartNormalisation {
    Vector3 low;         // bounding-box minimum of the refined mesh, file coordinates
    double scale = 1.0;  // model units per file unit
    Vector3 ToFile(const Vector3& model) const { return model / scale + low; }
};

class HeartModel {
public:
    static constexpr int kVolumeResolution = 128;
    static constexpr double kVolumeExtent = 10.0;

    // An empty model: flags at their defaults, a 128^3 volume over [0, 10]^3 in its
    // initial state, no mesh, no region ids.
    HeartModel();
    // One heart per program: copies of the 60 MB volume are never wanted.
    HeartModel(const HeartModel&) = delete;
    HeartModel& operator=(const HeartModel&) = delete;

    // Loads the heart once, on a model as constructed: LoadHeartMesh, regionIds
    // zeroed (one per polygon), the chosen segmentation, UnmarkCaps, VoxelVolume::Build. Returns
    // true when the heart was loaded (a segmentation file that is refused leaves every id 0 and
    // still counts as loaded). Any refusal of the heart (other extension, unreadable or bad mesh,
    // non-finite or flat mesh) prints one console line and leaves the model empty: no polygons, no
    // region ids, the volume in its initial state. A second call on a loaded model changes nothing
    // and returns false. An open mesh loads, with one console line counting its
    // boundary edges.
    bool LoadHeart(const std::string& heartPath, const SegmentationChoice& segmentation,
                   ValveCapping capping = ValveCapping::kLeaveOpen);

    // The segmentation part of LoadHeart, for a model whose mesh LoadHeartMesh has just
    // loaded: regionIds zeroed (one per polygon), the chosen segmentation, then
    // RebuildFibreLayer.
    void ApplySegmentation(const SegmentationChoice& segmentation);

    // UnmarkCaps, then VoxelVolume::Build from the mesh and the current region ids (with
    // its console lines): the fibre layer follows the segmentation as it now stands.
    void RebuildFibreLayer();

    // Exchanges the heart (mesh, file mesh, normalisation, region ids, caps and volume)
    // with `other`'s; the render flags stay. Replaces a loaded heart by one loaded
    // into a fresh model, so a refused file never touches the heart in use.
    void SwapHeart(HeartModel& other);

    // The mesh part of LoadHeart: refuses a path that is not a mesh file (.obj,
    // .stl, .ply, .off or .vtk in any case), reads it, with kCap closes each boundary
    // loop by a fan (CapBoundaryLoops: the cap triangles follow the file's polygons)
    // and says so in one console line, then NormalizeHeart and records capPolygons.
    // False, with one console line and the mesh empty, on any refusal.
    bool LoadHeartMesh(const std::string& heartPath, ValveCapping capping);

    // Sets the region id of every polygon in capPolygons to 0: no fibre grows on a
    // valve plane, whatever the segmentation marked.
    void UnmarkCaps();

    // Refines the mesh (BuildEdgeTable, RefineByCentroids: the vertex normals are
    // still zero, so its smoothing moves every vertex to the mean of its neighbours),
    // then translates its bounding-box minimum to the origin and scales it uniformly
    // so that its largest extent is 10.0, and computes its normals. Keeps the mesh as
    // it was before refining in `fileMesh` and the translation and scale it applied in
    // `normalisation` (both emptied first, and again on a refusal). Refuses a mesh
    // without polygons, with a non-finite coordinate, or whose extent is 0 (or too
    // small to scale): one console line, the mesh emptied, false.
    bool NormalizeHeart();

    // Reads a segmentation file (extension exactly "kxseg") into regionIds, whose size
    // must equal the file's polygon count; see ImportSegmentationFile for the console
    // lines. Returns false and changes no id on any refusal.
    bool ImportSegmentation(const std::string& path);

    // Writes regionIds as a segmentation file to `chosenPath`, with ".kxseg" appended
    // unless that is already its extension. Prints "system save the segemntationfile
    // _segmentation.kxseg_" first; a file that cannot be written prints one more line
    // and gives false.
    bool ExportSegmentation(const std::string& chosenPath) const;

    // Region id 1 (Paint) or 0 (Erase) for every polygon that shares a vertex with
    // `polygon`, itself included. An index outside the polygons changes nothing.
    void PaintAround(int polygon);
    void EraseAround(int polygon);

    // Empties the volume's density field and stroke registrations before a growth run.
    void ResetFieldForGrowth();

    // Depth below the surface at which points are placed: half the voxel size
    // (0.0390625 model units for the 128-cell volume).
    double LayerDepth() const;

    // Draw the fibre-layer voxels as points.
    bool showVolumeField = true;
    // Draw fibres as polygons (true) or as wire frame (false).
    bool fiberAsPolygon = true;
    // Segmentation painting is active.
    bool segmentationMode = false;
    // Draw the heart as an edge wire frame.
    bool targetFrame = false;
    // Draw the heart as lit, opaque polygons.
    bool targetPolygon = true;
    // Draw the heart with its segmented polygons transparent.
    bool targetTransparent = false;
    // Shown as the "Outer Frame" check mark; no drawing reads it.
    bool outerFrame = true;

    VoxelVolume volume;
    RkPolygonModel mesh;
    // The heart as read from its file (vertices and triangles in file order, its own
    // frame), kept by NormalizeHeart before it refines; and the transform it applied.
    RkPolygonModel fileMesh;
    HeartNormalisation normalisation;
    // One per polygon of `mesh` once a heart is loaded.
    std::vector<std::int32_t> regionIds;
    // Polygons of the refined `mesh` that touch a cap triangle (ascending); empty
    // unless the heart was capped.
    std::vector<int> capPolygons;

private:
    void SetRegionAround(int polygon, std::int32_t id);
};

}  // namespace vantrel
