// Choosing a mesh reader by the file's extension.
#include <algorithm>
#include <cctype>

#include "geometry/ConsoleLog.h"
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

// The text after the last dot of the file name (not of a folder), in lower case.
std::string LowerCaseExtension(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    const std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string::size_type dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return std::string();
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

const MeshFormat* FormatOf(const std::string& path) {
    const std::string extension = LowerCaseExtension(path);
    for (const MeshFormat& format : kFormats)
        if (extension == format.extension) return &format;
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
