// VRML 1.0 writer: one Coordinate3 node and one IndexedFaceSet.
#include <cstdio>
#include <locale>
#include <sstream>

#include "geometry/SafeFileWriter.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

bool RkPolygonModel::SaveVrml(const std::string& path) const {
    // Default stream formatting (six significant digits) with a decimal point,
    // whatever locale the program runs in.
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "#VRML V1.0 ascii\n\nSeparator {\n\tCoordinate3 {\n\t\tpoint [" << '\n';
    for (const MeshVertex& vertex : vertices)
        out << "\t\t\t" << vertex.position.x << "\t" << vertex.position.y << "\t"
            << vertex.position.z << "," << '\n';
    out << "\t\t]\n\t}\n\tIndexedFaceSet {\n\t\tcoordIndex [" << '\n';
    for (const MeshPolygon& polygon : polygons)
        out << "\t\t\t" << polygon.vertex[0] << ",\t" << polygon.vertex[1] << ",\t"
            << polygon.vertex[2] << ",\t-1," << '\n';
    out << "\t\t]\n\t}\n}" << '\n';
    const FileWriteResult result = WriteTextSafely(path, out.str());
    LogFileWriteFailure(path, result);
    return result == FileWriteResult::kWritten;
}

}  // namespace vantrel
