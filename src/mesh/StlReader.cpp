// STL reader, ASCII and binary.
//
// STL stores every triangle with its own three corners, so corners are welded
// into vertices where their coordinates are exactly equal (as float32 values,
// the precision of the format; -0 and +0 are one value), numbered in order of
// first use. Facet normals are ignored: the winding gives the orientation.
#include <strings.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mesh/MeshFileCursor.h"
#include "mesh/MeshReaders.h"

namespace vantrel {
namespace {

constexpr size_t kBinaryHeaderBytes = 84;
constexpr size_t kBinaryTriangleBytes = 50;

// Open-addressing table from a corner's coordinate bits to its vertex index.
class CornerWelder {
public:
    explicit CornerWelder(MeshParts& parts) : parts_(parts) { Rehash(1024); }

    int VertexAt(float x, float y, float z) {
        // Adding +0.0f turns -0.0f into +0.0f, so both weld.
        const Key key{Bits(x + 0.0f), Bits(y + 0.0f), Bits(z + 0.0f)};
        size_t slot = Hash(key) & mask_;
        while (slots_[slot] >= 0) {
            if (keys_[slots_[slot]] == key) return slots_[slot];
            slot = (slot + 1) & mask_;
        }
        const int index = static_cast<int>(keys_.size());
        keys_.push_back(key);
        slots_[slot] = index;
        MeshVertex vertex;
        vertex.position = Vector3(x, y, z);
        parts_.vertices.push_back(vertex);
        if (keys_.size() * 2 > slots_.size()) Rehash(slots_.size() * 2);
        return index;
    }

private:
    struct Key {
        std::uint32_t x, y, z;
        bool operator==(const Key& other) const {
            return x == other.x && y == other.y && z == other.z;
        }
    };

    static std::uint32_t Bits(float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }

    static size_t Hash(const Key& key) {
        std::uint64_t h = key.x * 0x9E3779B97F4A7C15ull;
        h ^= (h >> 29) + key.y * 0xBF58476D1CE4E5B9ull;
        h ^= (h >> 31) + key.z * 0x94D049BB133111EBull;
        return static_cast<size_t>(h ^ (h >> 32));
    }

    void Rehash(size_t size) {
        slots_.assign(size, -1);
        mask_ = size - 1;
        for (size_t i = 0; i < keys_.size(); ++i) {
            size_t slot = Hash(keys_[i]) & mask_;
            while (slots_[slot] >= 0) slot = (slot + 1) & mask_;
            slots_[slot] = static_cast<int>(i);
        }
    }

    MeshParts& parts_;
    std::vector<Key> keys_;
    std::vector<int> slots_;
    size_t mask_ = 0;
};

bool AllFinite(const float* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

bool StartsWithSolid(const std::string& bytes) {
    size_t i = 0;
    while (i < bytes.size() && std::strchr(" \t\r\n", bytes[i]) != nullptr) ++i;
    return bytes.size() - i >= 5 && strncasecmp(bytes.data() + i, "solid", 5) == 0;
}

bool ReadBinary(MeshFileCursor& cursor, std::uint32_t count, MeshParts& parts) {
    cursor.Take(kBinaryHeaderBytes);
    parts.polygons.reserve(count);
    CornerWelder welder(parts);
    for (std::uint32_t t = 0; t < count; ++t) {
        const size_t offset = cursor.Offset();
        const unsigned char* record = cursor.Take(kBinaryTriangleBytes);
        float corners[9];
        for (int k = 0; k < 9; ++k)
            corners[k] = LoadFloat32(record + 12 + 4 * k, ByteOrder::kLittle);
        if (!AllFinite(corners, 9))
            return cursor.FailAtByte(offset, "triangle %u has a coordinate that is not finite", t);
        MeshPolygon polygon;
        for (int k = 0; k < 3; ++k)
            polygon.vertex[k] =
                welder.VertexAt(corners[3 * k], corners[3 * k + 1], corners[3 * k + 2]);
        parts.polygons.push_back(polygon);
    }
    if (parts.polygons.empty()) return cursor.Fail("no faces");
    return true;
}

bool Is(std::string_view token, const char* word) {
    return token.size() == std::strlen(word) && strncasecmp(token.data(), word, token.size()) == 0;
}

class AsciiStlParser {
public:
    AsciiStlParser(MeshFileCursor& cursor, MeshParts& parts)
        : cursor_(cursor), parts_(parts), welder_(parts) {}

    bool Parse() {
        std::string_view token;
        bool insideSolid = false;
        while (cursor_.NextToken(token)) {
            const size_t at = cursor_.Offset() - token.size();
            if (!insideSolid) {
                if (!Is(token, "solid")) return cursor_.FailAtLineOf(at, "expected \"solid\"");
                std::string_view name;
                cursor_.NextLine(name);
                insideSolid = true;
            } else if (Is(token, "endsolid")) {
                std::string_view name;
                cursor_.NextLine(name);
                insideSolid = false;
            } else if (Is(token, "facet")) {
                if (!ReadFacet(at)) return false;
            } else {
                return cursor_.FailAtLineOf(at, "expected \"facet\" or \"endsolid\"");
            }
        }
        if (insideSolid)
            return cursor_.FailAtLineOf(cursor_.Offset(), "file ends before \"endsolid\"");
        if (parts_.polygons.empty()) return cursor_.Fail("no faces");
        return true;
    }

private:
    bool Expect(const char* word) {
        std::string_view token;
        if (cursor_.NextToken(token) && Is(token, word)) return true;
        return cursor_.FailAtLineOf(cursor_.Offset(), "expected \"%s\"", word);
    }

    bool ReadNumbers(float* values, int count, bool mustBeFinite) {
        std::string_view token;
        for (int i = 0; i < count; ++i) {
            if (!cursor_.NextToken(token) || !MeshFileCursor::ParseFloat(token, values[i]))
                return cursor_.FailAtLineOf(cursor_.Offset(), "expected a number");
        }
        if (mustBeFinite && !AllFinite(values, count))
            return cursor_.FailAtLineOf(cursor_.Offset(),
                                        "vertex coordinate is not a finite number");
        return true;
    }

    bool ReadFacet(size_t facetOffset) {
        float normal[3];
        if (!Expect("normal") || !ReadNumbers(normal, 3, false)) return false;
        if (!Expect("outer") || !Expect("loop")) return false;
        int corners[3];
        int cornerCount = 0;
        std::string_view token;
        while (true) {
            if (!cursor_.NextToken(token))
                return cursor_.FailAtLineOf(cursor_.Offset(), "file ends inside a facet");
            if (Is(token, "endloop")) break;
            if (!Is(token, "vertex"))
                return cursor_.FailAtLineOf(cursor_.Offset(), "expected \"vertex\" or \"endloop\"");
            float p[3];
            if (!ReadNumbers(p, 3, true)) return false;
            const int vertex = welder_.VertexAt(p[0], p[1], p[2]);
            // A facet with more corners keeps its first triangle.
            if (cornerCount < 3) corners[cornerCount] = vertex;
            ++cornerCount;
        }
        if (cornerCount < 3)
            return cursor_.FailAtLineOf(facetOffset, "a facet needs three vertices");
        if (!Expect("endfacet")) return false;
        MeshPolygon polygon;
        for (int k = 0; k < 3; ++k) polygon.vertex[k] = corners[k];
        parts_.polygons.push_back(polygon);
        return true;
    }

    MeshFileCursor& cursor_;
    MeshParts& parts_;
    CornerWelder welder_;
};

}  // namespace

bool ReadStlBytes(const std::string& bytes, const std::string& sourceName, RkPolygonModel& model) {
    MeshFileCursor cursor(bytes, sourceName);
    MeshParts parts;
    std::uint64_t count = 0;
    if (bytes.size() >= kBinaryHeaderBytes)
        count = LoadUnsigned(reinterpret_cast<const unsigned char*>(bytes.data()) + 80, 4,
                             ByteOrder::kLittle);
    const bool binarySize = bytes.size() >= kBinaryHeaderBytes &&
                            bytes.size() - kBinaryHeaderBytes == count * kBinaryTriangleBytes;
    bool read = false;
    if (binarySize) {
        read = ReadBinary(cursor, static_cast<std::uint32_t>(count), parts);
    } else if (StartsWithSolid(bytes)) {
        read = AsciiStlParser(cursor, parts).Parse();
    } else if (bytes.size() < kBinaryHeaderBytes) {
        return cursor.Fail("too short for a binary STL (%zu bytes) and not ASCII STL",
                           bytes.size());
    } else {
        return cursor.FailAtByte(
            bytes.size(),
            "binary STL body is %zu bytes where the header's %llu triangles need %llu",
            bytes.size() - kBinaryHeaderBytes, static_cast<unsigned long long>(count),
            static_cast<unsigned long long>(count * kBinaryTriangleBytes));
    }
    if (!read) return false;
    parts.MoveInto(model);
    return true;
}

}  // namespace vantrel
