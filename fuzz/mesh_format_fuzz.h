#pragma once
// The body shared by the mesh reader fuzzers: FuzzMeshReader feeds arbitrary
// bytes to one of the STL, PLY, OFF and VTK readers, then runs what the program
// does with a loaded heart, capping included (the OBJ fuzzer runs the same without
// capping): boundary-loop caps, edge table, centroid refinement, normals
// and the polygon walk around every vertex. Nothing may crash, hang or touch
// memory outside. (Each rejected input prints its console line; run with
// -close_fd_mask=2 to silence them.)
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh/HoleCapping.h"
#include "mesh/MeshReaders.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

// What the program does with a heart once it is loaded: edge table, centroid
// refinement, normals and the polygon walk around every vertex, which must only
// name polygons of the model.
inline void ExerciseLoadedModel(RkPolygonModel& model) {
    model.BuildEdgeTable();
    model.RefineByCentroids();
    model.ComputeNormals();
    std::vector<int> polygons;
    for (int v = 0; v < static_cast<int>(model.vertices.size()); ++v) {
        polygons.clear();
        model.PolygonsAroundVertex(v, polygons);
        for (int polygon : polygons)
            if (polygon < 0 || polygon >= static_cast<int>(model.polygons.size())) __builtin_trap();
    }
}

inline int FuzzMeshReader(bool (*read)(const std::string&, const std::string&, RkPolygonModel&),
                          const uint8_t* data, size_t size) {
    RkPolygonModel model;
    if (!read(std::string(reinterpret_cast<const char*>(data), size), "fuzz", model)) return 0;
    for (const MeshPolygon& polygon : model.polygons)
        for (int corner : polygon.vertex)
            if (corner < 0 || corner >= static_cast<int>(model.vertices.size())) __builtin_trap();

    CapBoundaryLoops(model);
    ExerciseLoadedModel(model);
    return 0;
}

}  // namespace vantrel
