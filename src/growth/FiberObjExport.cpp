// Fibre OBJ export: every tube's vertices followed by its faces, all tubes sharing
// one running vertex numbering. Numbers are formatted with std::to_chars, which
// writes exactly what printf's "%f" and "%d" write in the C locale, whatever the
// process locale is, and is much faster for large networks.
#include <charconv>
#include <string>

#include "growth/FiberCore.h"
#include "growth/TubeMesh.h"
#include "heart/HeartModel.h"

namespace vantrel {

namespace {

void AppendFixed6(std::string& out, double value) {
    char buffer[400];  // enough for any double in fixed notation
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

void AppendInt(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

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
        AppendFixed6(text, v.x);
        text += ' ';
        AppendFixed6(text, v.y);
        text += ' ';
        AppendFixed6(text, v.z);
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
                        AppendInt(text, index);
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
