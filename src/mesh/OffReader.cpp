// OFF reader (Object File Format, text).
//
// Line based: a header line ending in "OFF" (optionally followed by the counts),
// the counts "vertices faces edges", one vertex per line ("x y z", further values
// such as colours or normals ignored) and one face per line ("n i1 .. in", 0-based
// indices, a colour after them ignored). '#' starts a comment; blank lines are
// skipped. The counts are checked against the size of the file before anything
// is sized by them.
#include <cmath>
#include <string_view>
#include <vector>

#include "mesh/MeshFileCursor.h"
#include "mesh/MeshReaders.h"

namespace vantrel {
namespace {

// Shortest text of a vertex line ("0 0 0\n") and of a face line ("3 0 1 2\n").
constexpr size_t kMinimalVertexBytes = 6;
constexpr size_t kMinimalFaceBytes = 8;

class OffParser {
public:
    explicit OffParser(MeshFileCursor& cursor) : cursor_(cursor) {}

    bool Parse(MeshParts& parts) {
        if (!NextContentLine()) return cursor_.Fail("empty file, no \"OFF\" header");
        const std::string_view keyword = tokens_[0];
        if (keyword.size() < 3 || keyword.substr(keyword.size() - 3) != "OFF")
            return cursor_.FailAtLineOf(lineStart_, "expected an \"OFF\" header");
        if (tokens_.size() > 1 && tokens_[1] == "BINARY")
            return cursor_.FailAtLineOf(lineStart_, "binary OFF is not read");
        // The counts may follow the keyword on the header line.
        tokens_.erase(tokens_.begin());
        if (tokens_.empty() && !NextContentLine())
            return cursor_.Fail("file ends before the vertex and face counts");
        long long vertexCount = 0, faceCount = 0;
        if (tokens_.size() < 2 || !MeshFileCursor::ParseInteger(tokens_[0], vertexCount) ||
            !MeshFileCursor::ParseInteger(tokens_[1], faceCount) || vertexCount < 0 ||
            faceCount < 0)
            return cursor_.FailAtLineOf(lineStart_, "expected the vertex and face counts");
        if (faceCount == 0) return cursor_.FailAtLineOf(lineStart_, "no faces");
        const size_t remaining = cursor_.Remaining();
        if (static_cast<unsigned long long>(vertexCount) > remaining / kMinimalVertexBytes ||
            static_cast<unsigned long long>(faceCount) > remaining / kMinimalFaceBytes ||
            static_cast<unsigned long long>(vertexCount) * kMinimalVertexBytes +
                    static_cast<unsigned long long>(faceCount) * kMinimalFaceBytes >
                remaining)
            return cursor_.FailAtLineOf(
                lineStart_, "counts of %lld vertices and %lld faces are more than the file holds",
                vertexCount, faceCount);

        parts.vertices.reserve(static_cast<size_t>(vertexCount));
        for (long long v = 0; v < vertexCount; ++v)
            if (!ReadVertex(parts, v, vertexCount)) return false;
        parts.polygons.reserve(static_cast<size_t>(faceCount));
        for (long long f = 0; f < faceCount; ++f)
            if (!ReadFace(parts, f, faceCount, vertexCount)) return false;
        return true;
    }

private:
    // Moves to the next line that holds anything but blanks and a comment and
    // splits it; false at the end of the file.
    bool NextContentLine() {
        std::string_view line;
        while (true) {
            lineStart_ = cursor_.Offset();
            if (!cursor_.NextLine(line)) return false;
            const size_t hash = line.find('#');
            if (hash != std::string_view::npos) line = line.substr(0, hash);
            SplitBlanks(line, tokens_);
            if (!tokens_.empty()) return true;
        }
    }

    bool ReadVertex(MeshParts& parts, long long index, long long count) {
        if (!NextContentLine())
            return cursor_.Fail("file ends after %lld of its %lld vertices", index, count);
        double xyz[3];
        for (int k = 0; k < 3; ++k) {
            if (k >= static_cast<int>(tokens_.size()) ||
                !MeshFileCursor::ParseDouble(tokens_[k], xyz[k]))
                return cursor_.FailAtLineOf(lineStart_, "a vertex needs three numbers");
            if (!std::isfinite(xyz[k]))
                return cursor_.FailAtLineOf(lineStart_, "vertex coordinate is not a finite number");
        }
        MeshVertex vertex;
        vertex.position = Vector3(xyz[0], xyz[1], xyz[2]);
        parts.vertices.push_back(vertex);
        return true;
    }

    bool ReadFace(MeshParts& parts, long long index, long long count, long long vertexCount) {
        if (!NextContentLine())
            return cursor_.Fail("file ends after %lld of its %lld faces", index, count);
        long long corners = 0;
        if (!MeshFileCursor::ParseInteger(tokens_[0], corners) || corners < 3)
            return cursor_.FailAtLineOf(lineStart_, "a face needs three vertex indices");
        if (static_cast<long long>(tokens_.size()) - 1 < corners)
            return cursor_.FailAtLineOf(lineStart_, "face announces %lld indices but has %zu",
                                        corners, tokens_.size() - 1);
        MeshPolygon polygon;
        // Every index is checked; a face with more corners keeps its first triangle.
        for (long long k = 0; k < corners; ++k) {
            long long vertex = -1;
            if (!MeshFileCursor::ParseInteger(tokens_[static_cast<size_t>(k) + 1], vertex))
                return cursor_.FailAtLineOf(lineStart_, "face index is not a whole number");
            if (vertex < 0 || vertex >= vertexCount)
                return cursor_.FailAtLineOf(lineStart_,
                                            "face index %lld is outside the %lld vertices", vertex,
                                            vertexCount);
            if (k < 3) polygon.vertex[k] = static_cast<int>(vertex);
        }
        parts.polygons.push_back(polygon);
        return true;
    }

    MeshFileCursor& cursor_;
    std::vector<std::string_view> tokens_;
    size_t lineStart_ = 0;
};

}  // namespace

bool ReadOffBytes(const std::string& bytes, const std::string& sourceName, RkPolygonModel& model) {
    MeshFileCursor cursor(bytes, sourceName);
    MeshParts parts;
    if (!OffParser(cursor).Parse(parts)) return false;
    parts.MoveInto(model);
    return true;
}

}  // namespace vantrel
