// Fibre OBJ export: every tube's vertices followed by its faces, all tubes sharing
// one running vertex numbering. Numbers are formatted with std::to_chars, which
// writes exactly what printf's "%f" and "%d" write in the C locale, whatever the
// process locale is, and is much faster for large networks.
#include <cstdio>
#include <string>

#include "geometry/NumberText.h"
#include "growth/FiberCore.h"
#include "growth/TubeMesh.h"
#include "heart/HeartModel.h"

namespace vantrel {

namespace {

bool WriteAll(std::FILE* file, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

}  // namespace

bool TubeMesh::WriteObj(std::FILE* file, int& offset, const HeartNormalisation* toHeart) const {
    std::string text;
    text.reserve(static_cast<std::size_t>(rows) * columns * 80);
    for (const Vector3& model : vertices) {
        const Vector3 v = toHeart != nullptr ? toHeart->ToFile(model) : model;
        text += "v ";
        AppendTriplet(text, v.x, v.y, v.z, AppendFixed6);
        text += '\n';
    }
    if (rows >= 2) {
        for (int i = 0; i <= rows - 2; ++i) {
            for (int k = 0; k <= columns - 2; ++k) {
                // 1-based index of vertex (i, k); each quad becomes two triangles.
                const long long a = static_cast<long long>(offset) + columns * i + k + 1;
                const long long c = columns;
                const long long faces[2][3] = {{a, a + 1, a + c}, {a + c, a + 1, a + c + 1}};
                for (const auto& face : faces) {
                    text += 'f';
                    for (long long index : face) {
                        text += ' ';
                        AppendInteger(text, index);
                    }
                    text += '\n';
                }
            }
        }
    }
    offset += rows * columns;
    return WriteAll(file, text);
}

bool FiberCore::ExportFibersObj(std::FILE* file, const HeartNormalisation* toHeart) const {
    int offset = 0;
    bool ok = true;
    for (const Fiber& fiber : fibers) {
        // The growth front is not written; after a finished run it is empty.
        for (const auto& stroke : fiber.strokes)
            ok = stroke->tube.WriteObj(file, offset, toHeart) && ok;
    }
    return ok && std::fflush(file) == 0 && !std::ferror(file);
}

}  // namespace vantrel
