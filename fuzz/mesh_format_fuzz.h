#pragma once
// The body shared by the STL, PLY, OFF and VTK reader fuzzers: feeds arbitrary
// bytes to one reader, then runs what the program does with a loaded heart,
// capping included: boundary-loop caps, edge table, centroid refinement, normals
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

inline int FuzzMeshReader(bool (*read)(const std::string&, const std::string&, RkPolygonModel&),
                          const uint8_t* data, size_t size) {
    RkPolygonModel model;
    if (!read(std::string(reinterpret_cast<const char*>(data), size), "fuzz", model)) return 0;
    for (const MeshPolygon& polygon : model.polygons)
        for (int corner : polygon.vertex)
            if (corner < 0 || corner >= static_cast<int>(model.vertices.size())) __builtin_trap();

    CapBoundaryLoops(model);
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
    return 0;
}

}  // namespace vantrel
