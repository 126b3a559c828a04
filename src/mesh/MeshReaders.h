#pragma once
// Readers of the surface-mesh formats other than OBJ: STL (ASCII and binary),
// PLY (ASCII, binary little and big endian), OFF and legacy VTK polydata
// (ASCII and BINARY). Each reads the bytes of a whole file held in memory.
//
// Every reader keeps the file's face order: polygon i of the model is face i of
// the file (a VTK triangle strip of n points gives its n - 2 triangles in strip
// order). A face with more than three corners keeps its first triangle, as an
// OBJ face does. On a refused file a reader prints one console line naming
// `sourceName`, the reason and, where known, the line or byte offset, returns
// false and leaves the model unchanged. On success the whole model is replaced;
// normals and the edge table are not computed.
#include <string>
#include <vector>

#include "mesh/MeshElements.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

// STL: binary when the size is exactly 84 + 50 x the header's triangle count,
// otherwise ASCII when it begins with "solid". Corners with exactly equal
// coordinates become one vertex, numbered in order of first use.
bool ReadStlBytes(const std::string& bytes, const std::string& sourceName, RkPolygonModel& model);

// PLY: element "vertex" with scalar properties x, y, z (any type); element
// "face" with a list property "vertex_indices" or "vertex_index" of any integer
// type. Other elements and properties are read past and ignored.
bool ReadPlyBytes(const std::string& bytes, const std::string& sourceName, RkPolygonModel& model);

// OFF (also "COFF", "NOFF", "CNOFF" headers; '#' comments): vertex lines may
// carry extra values (colours, normals), which are ignored.
bool ReadOffBytes(const std::string& bytes, const std::string& sourceName, RkPolygonModel& model);

// Legacy VTK "DATASET POLYDATA", ASCII or BINARY (big endian): POINTS (float or
// double), POLYGONS and TRIANGLE_STRIPS in the classic "n size" layout or the
// OFFSETS/CONNECTIVITY layout; VERTICES, LINES and METADATA are skipped, and
// reading stops at POINT_DATA or CELL_DATA.
bool ReadVtkBytes(const std::string& bytes, const std::string& sourceName, RkPolygonModel& model);

// The mesh file kinds RkPolygonModel::Load reads, chosen by extension in any
// letter case: "obj", "stl", "ply", "off", "vtk". False for any other path.
bool IsMeshFilePath(const std::string& path);

// Reads a non-OBJ mesh file by its extension (RkPolygonModel::Load does OBJ);
// an unknown extension or an unreadable file is refused with one console line.
bool LoadNonObjMesh(const std::string& path, RkPolygonModel& model);

// What a reader collects before it replaces the model.
struct MeshParts {
    std::vector<MeshVertex> vertices;
    std::vector<MeshPolygon> polygons;

    // Replaces the whole model by the parts.
    void MoveInto(RkPolygonModel& model);
};

}  // namespace vantrel
