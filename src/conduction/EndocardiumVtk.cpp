#include "conduction/EndocardiumVtk.h"

#include "conduction/ExportFile.h"
#include "geometry/NumberText.h"

namespace vantrel {

std::string EndocardiumVtkText(const RkPolygonModel& fileMesh, const EndocardialMap& map,
                               LengthUnit unit) {
    const std::size_t vertexCount = fileMesh.vertices.size();
    const std::size_t polygonCount = fileMesh.polygons.size();
    std::string out;
    out.reserve(vertexCount * 90 + polygonCount * 30 + 256);
    AppendVtkPolyDataHeader(out, std::string("Vantrel endocardial activation, lengths in ") +
                                     LengthUnitName(unit) + ", activation_ms -1 = not reached");
    out += "POINTS ";
    AppendInteger(out, static_cast<long long>(vertexCount));
    out += " double\n";
    for (const MeshVertex& vertex : fileMesh.vertices) {
        AppendTriplet(out, vertex.position.x, vertex.position.y, vertex.position.z);
        out += '\n';
    }
    out += "POLYGONS ";
    AppendInteger(out, static_cast<long long>(polygonCount));
    out += ' ';
    AppendInteger(out, 4 * static_cast<long long>(polygonCount));
    out += '\n';
    for (const MeshPolygon& polygon : fileMesh.polygons) {
        out += '3';
        for (int corner : polygon.vertex) {
            out += ' ';
            AppendInteger(out, corner);
        }
        out += '\n';
    }
    if (vertexCount == 0) return out;

    out += "POINT_DATA ";
    AppendInteger(out, static_cast<long long>(vertexCount));
    out += "\nFIELD FieldData 2\nactivation_ms 1 ";
    AppendInteger(out, static_cast<long long>(vertexCount));
    out += " double\n";
    for (std::size_t v = 0; v < vertexCount; ++v) {
        AppendShortest(out, v < map.vertexActivation.size()
                                ? ActivationForFile(map.vertexActivation[v])
                                : kNotReachedInFiles);
        out += '\n';
    }
    out += "segmented 1 ";
    AppendInteger(out, static_cast<long long>(vertexCount));
    out += " int\n";
    for (std::size_t v = 0; v < vertexCount; ++v) {
        out += v < map.segmented.size() && map.segmented[v] ? "1\n" : "0\n";
    }
    return out;
}

}  // namespace vantrel
