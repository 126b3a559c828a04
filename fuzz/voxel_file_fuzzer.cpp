// Feeds arbitrary bytes to the voxel file reader of a 4 x 4 x 4 volume over a
// tetrahedron (polygons 0 to 3). A refused file must leave the volume as it was;
// an accepted one must give records that match the layer, and the growth queries
// over every record must stay inside the grid.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace {

using namespace vantrel;

class FuzzStroke : public VolumeStroke {
public:
    explicit FuzzStroke(std::vector<Vector3> points)
        : VolumeStroke(1), points_(std::move(points)) {}
    const std::vector<Vector3>& PathPoints() const override { return points_; }

private:
    std::vector<Vector3> points_;
};

RkPolygonModel Tetrahedron() {
    RkPolygonModel mesh;
    const double corners[4][3] = {{1, 1, 1}, {9, 1, 1}, {1, 9, 1}, {1, 1, 9}};
    for (const auto& c : corners) {
        MeshVertex vertex;
        vertex.position = Vector3(c[0], c[1], c[2]);
        mesh.vertices.push_back(vertex);
    }
    const int triangles[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    for (const auto& t : triangles) {
        MeshPolygon polygon;
        for (int k = 0; k < 3; ++k) polygon.vertex[k] = t[k];
        mesh.polygons.push_back(polygon);
    }
    mesh.ComputeNormals();
    return mesh;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const RkPolygonModel mesh = Tetrahedron();
    VoxelVolume volume(4, 10.0);
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (file == nullptr) return 0;  // fmemopen refuses an empty buffer
    const bool loaded = volume.LoadVoxelFile(file, mesh);
    std::fclose(file);

    if (!loaded) {
        for (int v = 0; v < volume.CellCount(); ++v) {
            if (volume.layerFlags()[v] != 0 || volume.layerIndex()[v] != -1 ||
                volume.polygonOfVoxel()[v] != -1) {
                __builtin_trap();
            }
        }
        if (volume.LayerVoxelCount() != 0) __builtin_trap();
        return 0;
    }

    FuzzStroke stroke({Vector3(0.0, 0.0, 0.0), Vector3(10.0, 10.0, 10.0), Vector3(10.0, 0.0, 5.0)});
    volume.MarkStroke(&stroke);
    for (int i = 0; i < volume.LayerVoxelCount(); ++i) {
        LayerVoxel& record = volume.LayerVoxelByIndex(i);
        if (record.index != i || volume.layerIndex()[record.voxel] != i ||
            !volume.IsLayerVoxel(record.voxel)) {
            __builtin_trap();
        }
        if (record.polygon < 0 || record.polygon >= static_cast<int>(mesh.polygons.size()))
            __builtin_trap();
        if (volume.LayerVoxelAt(record.centre) != &record) __builtin_trap();
        Vector3 hit;
        VolumeStroke* hitStroke = nullptr;
        volume.FindCollision(record, record.centre, Vector3(5.0, 5.0, 5.0), hit, hitStroke, {});
    }
    return 0;
}
