// Choosing a mesh reader by the file's extension.
#include "geometry/ConsoleLog.h"
#include "mesh/FileExtension.h"
#include "mesh/MeshReaders.h"
#include "mesh/TextLines.h"

namespace vantrel {
namespace {

using ByteReader = bool (*)(const std::string&, const std::string&, RkPolygonModel&);

struct MeshFormat {
    const char* extension;
    ByteReader read;  // nullptr for OBJ, which has its own loader
};

const MeshFormat kFormats[] = {
    {"obj", nullptr},      {"stl", ReadStlBytes}, {"ply", ReadPlyBytes},
    {"off", ReadOffBytes}, {"vtk", ReadVtkBytes},
};

const MeshFormat* FormatOf(const std::string& path) {
    for (const MeshFormat& format : kFormats)
        if (HasExtension(path, format.extension)) return &format;
    return nullptr;
}

}  // namespace

bool IsMeshFilePath(const std::string& path) {
    return FormatOf(path) != nullptr;
}

bool LoadNonObjMesh(const std::string& path, RkPolygonModel& model) {
    const MeshFormat* format = FormatOf(path);
    if (format == nullptr || format->read == nullptr) {
        ConsoleLog("%s: not a mesh file (.obj, .stl, .ply, .off or .vtk are read)\n", path.c_str());
        return false;
    }
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ConsoleLog("%s: cannot open or read the file\n", path.c_str());
        return false;
    }
    return format->read(bytes, path, model);
}

void MeshParts::MoveInto(RkPolygonModel& model) {
    model.Clear();
    model.vertices = std::move(vertices);
    model.polygons = std::move(polygons);
}

}  // namespace vantrel
