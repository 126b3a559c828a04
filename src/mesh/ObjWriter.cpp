// The simple OBJ writer: positions and triangles only.
#include <cstdio>

#include "geometry/SafeFileWriter.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

bool RkPolygonModel::SaveObj(const std::string& path) const {
    const FileWriteResult result = WriteFileSafely(path, [this](std::FILE* file) {
        std::fprintf(file, "#Polygon model by RkPolygonModel\n");
        for (const MeshVertex& vertex : vertices)
            std::fprintf(file, "v %f %f %f\n", vertex.position.x, vertex.position.y,
                         vertex.position.z);
        for (const MeshPolygon& polygon : polygons)
            std::fprintf(file, "f %d %d %d\n", polygon.vertex[0] + 1, polygon.vertex[1] + 1,
                         polygon.vertex[2] + 1);
        // A full disk must not pass for a written file.
        return std::ferror(file) == 0;
    });
    LogFileWriteFailure(path, result);
    return result == FileWriteResult::kWritten;
}

}  // namespace vantrel
