// The counted text format: "<vertex count> <polygon count>", then one
// "x y z" line per vertex and one "i j k" line (0-based) per polygon.
#include <climits>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <utility>
#include <vector>

#include "geometry/ConsoleLog.h"
#include "geometry/SafeFileWriter.h"
#include "mesh/IndexedTextFormat.h"
#include "mesh/TextLines.h"

namespace vantrel {
namespace {

[[noreturn]] void RejectFile(const std::string& sourceName, int line, const char* reason) {
    ConsoleLog("%s:%d: %s\n", sourceName.c_str(), line, reason);
    throw std::runtime_error("Illegal file");
}

}  // namespace

int RkPolygonModel::SaveIndexedText(const std::string& path) const {
    const FileWriteResult result = WriteFileSafely(path, [this](std::FILE* file) {
        std::fprintf(file, "%d %d\n", static_cast<int>(vertices.size()),
                     static_cast<int>(polygons.size()));
        for (const MeshVertex& vertex : vertices)
            std::fprintf(file, "%f %f %f\n", vertex.position.x, vertex.position.y,
                         vertex.position.z);
        for (const MeshPolygon& polygon : polygons)
            std::fprintf(file, "%d %d %d\n", polygon.vertex[0], polygon.vertex[1],
                         polygon.vertex[2]);
        // A full disk must not pass for a written file.
        return std::ferror(file) == 0;
    });
    LogFileWriteFailure(path, result);
    if (result == FileWriteResult::kCannotOpen) throw std::runtime_error("cannot open file.");
    return result == FileWriteResult::kCannotWrite ? EOF : 0;
}

void RkPolygonModel::LoadIndexedText(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        ConsoleLog("%s: cannot open or read the file\n", path.c_str());
        throw std::runtime_error("Can't load file");
    }
    ReadIndexedText(text, path, *this);
}

void ReadIndexedText(const std::string& text, const std::string& sourceName,
                     RkPolygonModel& model) {
    if (HoldsNulByte(text)) RejectFile(sourceName, 1, "binary data, not a text file");

    LineCursor cursor(text);
    long vertexCount = 0, polygonCount = 0;
    if (!cursor.Next() || std::sscanf(cursor.Line(), "%ld %ld", &vertexCount, &polygonCount) != 2)
        RejectFile(sourceName, 1, "the first line must hold the vertex and polygon counts");
    // The counts decide how much is allocated, so they are checked against the
    // lines the file really has before anything is reserved.
    if (vertexCount < 0 || polygonCount < 0 || vertexCount > INT_MAX || polygonCount > INT_MAX ||
        static_cast<size_t>(vertexCount) + static_cast<size_t>(polygonCount) >
            cursor.RemainingLines())
        RejectFile(sourceName, 1, "the counts do not match the lines of the file");

    std::vector<MeshVertex> newVertices(static_cast<size_t>(vertexCount));
    for (MeshVertex& vertex : newVertices) {
        float x, y, z;
        if (!cursor.Next() || std::sscanf(cursor.Line(), "%f %f %f", &x, &y, &z) != 3)
            RejectFile(sourceName, cursor.LineNumber(), "a vertex line needs three numbers");
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
            RejectFile(sourceName, cursor.LineNumber(), "vertex coordinate is not a finite number");
        vertex.position = Vector3(x, y, z);
    }
    std::vector<MeshPolygon> newPolygons(static_cast<size_t>(polygonCount));
    for (MeshPolygon& polygon : newPolygons) {
        long index[3];
        if (!cursor.Next() ||
            std::sscanf(cursor.Line(), "%ld %ld %ld", &index[0], &index[1], &index[2]) != 3)
            RejectFile(sourceName, cursor.LineNumber(),
                       "a polygon line needs three vertex indices");
        for (int k = 0; k < 3; ++k) {
            if (index[k] < 0 || index[k] >= vertexCount)
                RejectFile(sourceName, cursor.LineNumber(), "polygon index outside the vertices");
            polygon.vertex[k] = static_cast<int>(index[k]);
        }
    }

    model.Clear();
    model.vertices = std::move(newVertices);
    model.polygons = std::move(newPolygons);
    model.BuildEdgeTable();
}

}  // namespace vantrel
