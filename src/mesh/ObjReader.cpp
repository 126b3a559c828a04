// Wavefront OBJ reader.
//
// Each "f" line gives one triangle: the first three corners, in the forms
// "i", "i/t", "i/t/n" or "i//n" (tried in that order). Positive indices count
// from 1 and may name a vertex defined further down; negative ones count back
// from the vertices read so far. Texture coordinates are copied to the vertices
// that use them; when any u (or v) is negative, 1.0 is added to every u (or v).
//
// Real files are large and sometimes broken, so nothing read is trusted: a
// malformed or non-finite "v"/"vt" value, a face with fewer than three corners
// or an index outside the vertices rejects the whole file, naming its line.
#include "mesh/ObjReader.h"
#include "mesh/FileExtension.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

#include "geometry/ConsoleLog.h"
#include "mesh/MeshReaders.h"
#include "mesh/TextLines.h"

namespace vantrel {
namespace {

enum class Keyword { kOther, kVertex, kTexture, kFace };

bool SameIgnoringCase(const char* token, size_t length, const char* word) {
    size_t i = 0;
    for (; i < length; ++i) {
        if (word[i] == '\0') return false;
        if (std::tolower(static_cast<unsigned char>(token[i])) != word[i]) return false;
    }
    return word[i] == '\0';
}

// Classifies the line by its first blank- or tab-delimited token; `rest`
// points just past that token.
Keyword ReadKeyword(const char* line, const char*& rest) {
    while (*line == ' ' || *line == '\t') ++line;
    const char* end = line;
    while (*end != '\0' && *end != ' ' && *end != '\t') ++end;
    rest = end;
    const size_t length = static_cast<size_t>(end - line);
    if (SameIgnoringCase(line, length, "vt")) return Keyword::kTexture;
    if (SameIgnoringCase(line, length, "v")) return Keyword::kVertex;
    if (SameIgnoringCase(line, length, "f")) return Keyword::kFace;
    return Keyword::kOther;
}

// The first three vertex and texture indices of a face line as written in the
// file (texture 0 when the form has none). False when no form gives three corners.
bool ScanFace(const char* values, long vertex[3], long texture[3]) {
    long v[4] = {0, 0, 0, 0};
    long t[4] = {0, 0, 0, 0};
    long n[4] = {0, 0, 0, 0};
    bool matched = std::sscanf(values, " %ld %ld %ld %ld", &v[0], &v[1], &v[2], &v[3]) >= 3;
    if (!matched)
        matched = std::sscanf(values, " %ld/%ld %ld/%ld %ld/%ld %ld/%ld", &v[0], &t[0], &v[1],
                              &t[1], &v[2], &t[2], &v[3], &t[3]) /
                      2 >=
                  3;
    if (!matched)
        matched =
            std::sscanf(values, " %ld/%ld/%ld %ld/%ld/%ld %ld/%ld/%ld %ld/%ld/%ld", &v[0], &t[0],
                        &n[0], &v[1], &t[1], &n[1], &v[2], &t[2], &n[2], &v[3], &t[3], &n[3]) /
                3 >=
            3;
    if (!matched) {
        // "i//n" leaves the texture indices absent.
        t[0] = t[1] = t[2] = 0;
        matched = std::sscanf(values, " %ld//%ld %ld//%ld %ld//%ld %ld//%ld", &v[0], &n[0], &v[1],
                              &n[1], &v[2], &n[2], &v[3], &n[3]) /
                      2 >=
                  3;
    }
    for (int k = 0; k < 3; ++k) {
        vertex[k] = v[k];
        texture[k] = t[k];
    }
    return matched;
}

// Turns a file index (1-based, or negative counting back from `countSoFar`)
// into a 0-based one; -1 for 0 and for negative indices that reach before the
// first element. Positive indices are not checked against `countSoFar`.
long ResolveIndex(long fileIndex, long countSoFar) {
    if (fileIndex > 0) return fileIndex - 1;
    if (fileIndex < 0 && countSoFar + fileIndex >= 0) return countSoFar + fileIndex;
    return -1;
}

struct PendingIndex {
    long index;
    int line;
};

class ObjParser {
public:
    explicit ObjParser(const std::string& sourceName) : sourceName_(sourceName) {}

    bool Parse(const std::string& text) {
        if (HoldsNulByte(text)) return Fail(0, "binary data, not an OBJ text file");
        LineCursor cursor(text);
        while (cursor.Next()) {
            const char* values = nullptr;
            bool ok = true;
            switch (ReadKeyword(cursor.Line(), values)) {
                case Keyword::kVertex:
                    ok = ReadVertex(values, cursor.LineNumber());
                    break;
                case Keyword::kTexture:
                    ok = ReadTexture(values, cursor.LineNumber());
                    break;
                case Keyword::kFace:
                    ok = ReadFace(values, cursor.LineNumber());
                    break;
                case Keyword::kOther:
                    break;
            }
            if (!ok) return false;
        }
        for (const PendingIndex& pending : forwardIndices_) {
            if (pending.index >= static_cast<long>(vertices_.size()))
                return Fail(pending.line, "face index %ld is past the last vertex (%zu)",
                            pending.index + 1, vertices_.size());
        }
        if (polygons_.empty()) return Fail(0, "no faces");
        return true;
    }

    // Moves what was read into `model`, replacing all of it.
    void Deliver(RkPolygonModel& model) {
        model.Clear();
        model.vertices = std::move(vertices_);
        model.polygons = std::move(polygons_);
        if (texCoords_.empty()) return;
        for (Vector3& uv : texCoords_) {
            if (anyNegativeU_) uv.x += 1.0;
            if (anyNegativeV_) uv.y += 1.0;
        }
        const long textureCount = static_cast<long>(texCoords_.size());
        for (size_t i = 0; i < model.polygons.size(); ++i) {
            for (int k = 0; k < 3; ++k) {
                const long t = textureCorners_[i * 3 + k];
                // A corner without a usable texture index keeps what the vertex has.
                if (t < 0 || t >= textureCount) continue;
                model.vertices[model.polygons[i].vertex[k]].texCoord = texCoords_[t];
            }
        }
    }

private:
    bool ReadVertex(const char* values, int line) {
        float x, y, z;
        if (std::sscanf(values, " %f %f %f", &x, &y, &z) < 3)
            return Fail(line, "a vertex needs three numbers");
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
            return Fail(line, "vertex coordinate is not a finite number");
        MeshVertex vertex;
        vertex.position = Vector3(x, y, z);
        vertices_.push_back(vertex);
        return true;
    }

    bool ReadTexture(const char* values, int line) {
        float u = 0.0f, v = 0.0f;
        // v is optional in OBJ and then 0.
        if (std::sscanf(values, " %f %f", &u, &v) < 1)
            return Fail(line, "a texture coordinate needs a number");
        if (!std::isfinite(u) || !std::isfinite(v))
            return Fail(line, "texture coordinate is not a finite number");
        if (u < 0.0f) anyNegativeU_ = true;
        if (v < 0.0f) anyNegativeV_ = true;
        texCoords_.push_back(Vector3(u, v, 0.0));
        return true;
    }

    bool ReadFace(const char* values, int line) {
        long fileVertex[3], fileTexture[3];
        if (!ScanFace(values, fileVertex, fileTexture))
            return Fail(line, "a face needs three vertex indices");
        const long vertexCount = static_cast<long>(vertices_.size());
        MeshPolygon polygon;
        for (int k = 0; k < 3; ++k) {
            const long index = ResolveIndex(fileVertex[k], vertexCount);
            if (index < 0 || index >= INT_MAX)
                return Fail(line, "face index %ld is outside the vertices", fileVertex[k]);
            // A later line may still define it; checked once all vertices are read.
            if (index >= vertexCount) forwardIndices_.push_back({index, line});
            polygon.vertex[k] = static_cast<int>(index);
            textureCorners_.push_back(
                ResolveIndex(fileTexture[k], static_cast<long>(texCoords_.size())));
        }
        polygons_.push_back(polygon);
        return true;
    }

    // Writes "<source>:<line>: <reason>" (no line number when line is 0); false.
    bool Fail(int line, const char* reasonFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
    {
        char reason[256];
        va_list args;
        va_start(args, reasonFormat);
        std::vsnprintf(reason, sizeof reason, reasonFormat, args);
        va_end(args);
        if (line > 0)
            ConsoleLog("%s:%d: %s\n", sourceName_.c_str(), line, reason);
        else
            ConsoleLog("%s: %s\n", sourceName_.c_str(), reason);
        return false;
    }

    const std::string& sourceName_;
    std::vector<MeshVertex> vertices_;
    std::vector<MeshPolygon> polygons_;
    std::vector<Vector3> texCoords_;
    // Three 0-based texture indices per polygon, -1 when absent.
    std::vector<long> textureCorners_;
    std::vector<PendingIndex> forwardIndices_;
    bool anyNegativeU_ = false;
    bool anyNegativeV_ = false;
};

}  // namespace

bool ReadObjText(const std::string& text, const std::string& sourceName, RkPolygonModel& model) {
    ObjParser parser(sourceName);
    if (!parser.Parse(text)) return false;
    parser.Deliver(model);
    return true;
}

bool RkPolygonModel::LoadObj(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        ConsoleLog("%s: cannot open or read the file\n", path.c_str());
        return false;
    }
    return ReadObjText(text, path, *this);
}

bool RkPolygonModel::Load(const std::string& path) {
    if (HasExtension(path, "obj")) return LoadObj(path);
    return LoadNonObjMesh(path, *this);
}

}  // namespace vantrel
