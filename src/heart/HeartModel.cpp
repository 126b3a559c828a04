#include "heart/HeartModel.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "geometry/ConsoleLog.h"
#include "heart/SegmentationFile.h"
#include "mesh/HoleCapping.h"
#include "mesh/MeshReaders.h"

namespace vantrel {
namespace {

bool AllPositionsFinite(const RkPolygonModel& mesh) {
    for (const MeshVertex& vertex : mesh.vertices) {
        const Vector3& p = vertex.position;
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
    }
    return true;
}

struct Extent {
    Vector3 low;
    double largest = 0.0;
};

// The bounding box starts from the first vertex, so any finite coordinates are
// measured (not only those within a fixed starting range).
Extent MeasureExtent(const RkPolygonModel& mesh) {
    Vector3 low = mesh.vertices.front().position;
    Vector3 high = low;
    for (const MeshVertex& vertex : mesh.vertices) {
        const Vector3& p = vertex.position;
        low.x = std::min(low.x, p.x);
        low.y = std::min(low.y, p.y);
        low.z = std::min(low.z, p.z);
        high.x = std::max(high.x, p.x);
        high.y = std::max(high.y, p.y);
        high.z = std::max(high.z, p.z);
    }
    const double dx = high.x - low.x;
    const double dy = high.y - low.y;
    const double dz = high.z - low.z;
    return Extent{low, std::max(dx, std::max(dy, dz))};
}

int CountBoundaryEdges(const RkPolygonModel& mesh) {
    int count = 0;
    for (const MeshEdge& edge : mesh.edges) {
        if (edge.forwardPolygon < 0 || edge.backwardPolygon < 0) ++count;
    }
    return count;
}

}  // namespace

HeartModel::HeartModel() : volume(kVolumeResolution, kVolumeExtent) {}

bool HeartModel::LoadHeart(const std::string& heartPath, const SegmentationChoice& segmentation,
                           ValveCapping capping) {
    if (!mesh.vertices.empty() || !mesh.polygons.empty()) {
        ConsoleLog("a heart is already loaded; %s is not loaded\n", heartPath.c_str());
        return false;
    }
    if (!LoadHeartMesh(heartPath, capping)) return false;
    ApplySegmentation(segmentation);
    return true;
}

void HeartModel::ApplySegmentation(const SegmentationChoice& segmentation) {
    regionIds.assign(mesh.polygons.size(), 0);
    switch (segmentation.kind) {
        case SegmentationChoice::Kind::kNone:
            break;
        case SegmentationChoice::Kind::kFile:
            ImportSegmentation(segmentation.path);
            break;
        case SegmentationChoice::Kind::kAllSegmented:
            std::fill(regionIds.begin(), regionIds.end(), 1);
            break;
    }
    RebuildFibreLayer();
}

void HeartModel::RebuildFibreLayer() {
    UnmarkCaps();
    volume.Build(mesh, regionIds);
}

void HeartModel::SwapHeart(HeartModel& other) {
    std::swap(volume, other.volume);
    std::swap(mesh, other.mesh);
    std::swap(fileMesh, other.fileMesh);
    std::swap(normalisation, other.normalisation);
    regionIds.swap(other.regionIds);
    capPolygons.swap(other.capPolygons);
}

bool HeartModel::LoadHeartMesh(const std::string& heartPath, ValveCapping capping) {
    capPolygons.clear();
    if (!IsMeshFilePath(heartPath)) {
        ConsoleLog("heart mesh %s is not an .obj, .stl, .ply, .off or .vtk file; no heart loaded\n",
                   heartPath.c_str());
        return false;
    }
    // The mesh reader prints its own line naming the file and the fault.
    if (!mesh.Load(heartPath)) return false;
    const int filePolygons = static_cast<int>(mesh.polygons.size());
    CappingSummary caps;
    if (capping == ValveCapping::kCap) {
        caps = CapBoundaryLoops(mesh);
        if (caps.triangles == 0)
            ConsoleLog("heart mesh %s has no open boundary loop to cap\n", heartPath.c_str());
        else
            ConsoleLog(
                "heart mesh %s: %d open boundary loops capped with %d triangles, appended after "
                "the file's %d polygons (polygons %d to %d before refinement); the caps stay "
                "unsegmented\n",
                heartPath.c_str(), caps.loops, caps.triangles, filePolygons, filePolygons,
                filePolygons + caps.triangles - 1);
        // A rim that does not close (a non-manifold opening) stays open; NormalizeHeart
        // then warns about its boundary edges.
    }
    const int firstCapCentroid = static_cast<int>(mesh.vertices.size()) + filePolygons;
    if (!NormalizeHeart()) return false;
    // The refinement adds one vertex per polygon at its centroid, in polygon order
    // after the existing vertices; a refined polygon touches a cap exactly when it
    // uses the centroid of a cap triangle.
    if (caps.triangles > 0) {
        for (size_t i = 0; i < mesh.polygons.size(); ++i) {
            const int* v = mesh.polygons[i].vertex;
            if (std::max(v[0], std::max(v[1], v[2])) >= firstCapCentroid)
                capPolygons.push_back(static_cast<int>(i));
        }
    }
    return true;
}

void HeartModel::UnmarkCaps() {
    for (const int polygon : capPolygons)
        if (static_cast<std::size_t>(polygon) < regionIds.size())
            regionIds[static_cast<std::size_t>(polygon)] = 0;
}

bool HeartModel::NormalizeHeart() {
    fileMesh.Clear();
    normalisation = HeartNormalisation();
    if (mesh.polygons.empty() || mesh.vertices.empty()) {
        ConsoleLog("heart mesh has no polygons; no heart loaded\n");
        mesh.Clear();
        return false;
    }
    if (!AllPositionsFinite(mesh)) {
        ConsoleLog("heart mesh has coordinates that are not finite numbers; no heart loaded\n");
        mesh.Clear();
        return false;
    }

    // A mesh without extent cannot be scaled; it is judged before the refinement,
    // whose inexact third would give a point-like mesh a spurious tiny extent.
    const Extent loaded = MeasureExtent(mesh);
    if (!std::isfinite(loaded.largest) || !(loaded.largest > 0.0)) {
        ConsoleLog(
            "heart mesh has no finite, non-zero extent (largest extent %g); no heart loaded\n",
            loaded.largest);
        mesh.Clear();
        return false;
    }

    mesh.BuildEdgeTable();
    const int boundaryEdges = CountBoundaryEdges(mesh);
    // The file's own mesh, for everything written in the heart's frame. The
    // refinement appends its centroids after the file's vertices, so vertex i < V of
    // the refined mesh is (smoothed) file vertex i.
    fileMesh.CopyFrom(mesh);
    mesh.RefineByCentroids();

    const Extent refined = MeasureExtent(mesh);
    const Vector3& low = refined.low;
    const double scale = kVolumeExtent / refined.largest;
    // Coordinates near the largest doubles can still overflow in the refinement.
    if (!std::isfinite(scale) || !(scale > 0.0) || !AllPositionsFinite(mesh)) {
        ConsoleLog(
            "heart mesh is too large or too small to scale (largest extent %g); no heart "
            "loaded\n",
            refined.largest);
        mesh.Clear();
        fileMesh.Clear();
        return false;
    }

    normalisation.low = low;
    normalisation.scale = scale;
    mesh.Translate(Vector3(-low.x, -low.y, -low.z));
    for (MeshVertex& vertex : mesh.vertices) vertex.position *= scale;
    mesh.ComputeNormals();

    if (boundaryEdges > 0) {
        ConsoleLog(
            "heart mesh is open: %d boundary edges; the inside test of the voxel volume may be "
            "unreliable\n",
            boundaryEdges);
    }
    return true;
}

bool HeartModel::ImportSegmentation(const std::string& path) {
    return ImportSegmentationFile(path, regionIds);
}

bool HeartModel::ExportSegmentation(const std::string& chosenPath) const {
    ConsoleLog("system save the segemntationfile _segmentation.kxseg_");
    return WriteSegmentationFile(SegmentationExportPath(chosenPath), regionIds);
}

void HeartModel::PaintAround(int polygon) {
    SetRegionAround(polygon, 1);
}

void HeartModel::EraseAround(int polygon) {
    SetRegionAround(polygon, 0);
}

void HeartModel::SetRegionAround(int polygon, std::int32_t id) {
    if (polygon < 0 || static_cast<std::size_t>(polygon) >= mesh.polygons.size()) return;
    std::vector<int> around;
    for (const int vertex : mesh.polygons[static_cast<std::size_t>(polygon)].vertex) {
        around.clear();
        mesh.PolygonsAroundVertex(vertex, around);
        for (const int p : around) {
            if (p >= 0 && static_cast<std::size_t>(p) < regionIds.size()) {
                regionIds[static_cast<std::size_t>(p)] = id;
            }
        }
    }
}

void HeartModel::ResetFieldForGrowth() {
    volume.ResetOccupancy();
}

double HeartModel::LayerDepth() const {
    return 0.5 * volume.VoxelSize();
}

}  // namespace vantrel
