// Legacy VTK polydata reader, ASCII and BINARY (big endian).
//
// After the four header lines ("# vtk DataFile Version x.y", a title, ASCII or
// BINARY, "DATASET POLYDATA") come sections: POINTS (float or double),
// POLYGONS, TRIANGLE_STRIPS, and VERTICES, LINES, FIELD and METADATA, which are
// read past. Cells use the "n size" layout of versions before 5, or the OFFSETS
// and CONNECTIVITY arrays of version 5. Reading stops at POINT_DATA or CELL_DATA:
// the attributes are not needed. Polygons come first, then the triangles of the
// strips, which is the cell order of the data set. Every count is checked
// against the bytes left before anything is sized by it.
#include <strings.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "mesh/MeshFileCursor.h"
#include "mesh/MeshReaders.h"

namespace vantrel {
namespace {

bool Is(std::string_view token, const char* word) {
    return token.size() == std::strlen(word) && strncasecmp(token.data(), word, token.size()) == 0;
}

// Bytes of one binary value of a VTK data type; 0 for types that are not read.
int BinarySize(std::string_view type) {
    if (Is(type, "unsigned_char") || Is(type, "char")) return 1;
    if (Is(type, "short") || Is(type, "unsigned_short")) return 2;
    if (Is(type, "int") || Is(type, "unsigned_int") || Is(type, "float") ||
        Is(type, "vtktypeint32") || Is(type, "vtktypeuint32"))
        return 4;
    if (Is(type, "long") || Is(type, "unsigned_long") || Is(type, "double") ||
        Is(type, "vtkIdType") || Is(type, "vtktypeint64") || Is(type, "vtktypeuint64"))
        return 8;
    return 0;
}

// A cell section as offsets into one connectivity array.
struct CellArray {
    std::vector<long long> offsets;  // cells + 1 entries, offsets[0] == 0
    std::vector<long long> connectivity;
};

class VtkParser {
public:
    explicit VtkParser(MeshFileCursor& cursor) : cursor_(cursor) {}

    bool Parse(MeshParts& parts) {
        if (!ReadHeader()) return false;
        std::vector<MeshPolygon> strips;
        std::string_view keyword;
        while (cursor_.NextToken(keyword)) {
            const size_t at = cursor_.Offset() - keyword.size();
            bool ok = true;
            if (Is(keyword, "POINTS")) {
                ok = ReadPoints(at, parts);
            } else if (Is(keyword, "POLYGONS") || Is(keyword, "TRIANGLE_STRIPS") ||
                       Is(keyword, "VERTICES") || Is(keyword, "LINES")) {
                CellArray cells;
                ok = ReadCells(at, cells);
                const size_t points = parts.vertices.size();
                if (ok && Is(keyword, "POLYGONS"))
                    ok = AddPolygons(at, cells, points, parts.polygons);
                if (ok && Is(keyword, "TRIANGLE_STRIPS")) ok = AddStrips(at, cells, points, strips);
            } else if (Is(keyword, "FIELD")) {
                ok = SkipField(at);
            } else if (Is(keyword, "METADATA")) {
                SkipMetadata();
            } else if (Is(keyword, "POINT_DATA") || Is(keyword, "CELL_DATA")) {
                break;
            } else {
                return Fail(at, "unknown section \"%.*s\"", static_cast<int>(keyword.size()),
                            keyword.data());
            }
            if (!ok) return false;
        }
        parts.polygons.insert(parts.polygons.end(), strips.begin(), strips.end());
        if (parts.polygons.empty()) return cursor_.Fail("no faces");
        return true;
    }

private:
    template <typename... Args>
    bool Fail(size_t at, const char* format, Args... args) {
        if (binary_) return cursor_.FailAtByte(at, format, args...);
        return cursor_.FailAtLineOf(at, format, args...);
    }

    bool ReadHeader() {
        std::string_view line;
        if (!cursor_.NextLine(line) || line.rfind("# vtk DataFile Version", 0) != 0)
            return cursor_.FailAtLineOf(0, "not a legacy VTK file (no \"# vtk DataFile Version\")");
        const std::string_view version = line.substr(std::strlen("# vtk DataFile Version"));
        long long major = 0;
        const size_t digits = version.find_first_not_of(' ');
        const size_t dot = version.find('.', digits == std::string_view::npos ? 0 : digits);
        if (digits != std::string_view::npos && dot != std::string_view::npos)
            MeshFileCursor::ParseInteger(version.substr(digits, dot - digits), major);
        offsetLayout_ = major >= 5;
        std::string_view title, encoding, token;
        if (!cursor_.NextLine(title) || !cursor_.NextToken(encoding))
            return cursor_.Fail("file ends inside the header");
        if (Is(encoding, "BINARY"))
            binary_ = true;
        else if (!Is(encoding, "ASCII"))
            return cursor_.FailAtLineOf(cursor_.Offset(), "expected ASCII or BINARY");
        if (!cursor_.NextToken(token) || !Is(token, "DATASET") || !cursor_.NextToken(token))
            return cursor_.FailAtLineOf(cursor_.Offset(), "expected DATASET POLYDATA");
        if (!Is(token, "POLYDATA"))
            return cursor_.FailAtLineOf(cursor_.Offset(), "data set is %.*s, not POLYDATA",
                                        static_cast<int>(token.size()), token.data());
        return true;
    }

    bool ReadCount(size_t at, long long& count) {
        std::string_view token;
        if (!cursor_.NextToken(token) || !MeshFileCursor::ParseInteger(token, count) || count < 0)
            return Fail(at, "expected a count");
        return true;
    }

    // True when `count` values of at least `binaryBytes` each (two characters in
    // ASCII) can still be in the file.
    bool Fits(long long count, size_t binaryBytes) const {
        const size_t each = binary_ ? binaryBytes : 2;
        return static_cast<unsigned long long>(count) <= cursor_.Remaining() / each;
    }

    // Reads `count` numbers of `type` (the VTK type name) as doubles.
    bool ReadNumbers(size_t at, long long count, std::string_view type, std::vector<double>& out) {
        const int size = BinarySize(type);
        if (size == 0)
            return Fail(at, "data type \"%.*s\" is not read", static_cast<int>(type.size()),
                        type.data());
        if (!Fits(count, static_cast<size_t>(size)))
            return Fail(at, "count %lld is more than the file holds", count);
        out.resize(static_cast<size_t>(count));
        if (binary_) {
            cursor_.SkipToNextLine();
            const unsigned char* bytes = cursor_.Take(static_cast<size_t>(count) * size);
            if (bytes == nullptr) return Fail(cursor_.Offset(), "binary data ends early");
            const bool isFloat = Is(type, "float") || Is(type, "double");
            const bool isSigned = !isFloat && !Is(type.substr(0, 8), "unsigned") &&
                                  !Is(type, "vtktypeuint32") && !Is(type, "vtktypeuint64");
            for (size_t i = 0; i < out.size(); ++i) {
                const unsigned char* value = bytes + i * size;
                if (Is(type, "float")) {
                    out[i] = LoadFloat32(value, ByteOrder::kBig);
                } else if (Is(type, "double")) {
                    out[i] = LoadFloat64(value, ByteOrder::kBig);
                } else {
                    const std::uint64_t raw = LoadUnsigned(value, size, ByteOrder::kBig);
                    const int shift = 64 - 8 * size;
                    out[i] =
                        isSigned
                            ? static_cast<double>(static_cast<std::int64_t>(raw << shift) >> shift)
                            : static_cast<double>(raw);
                }
            }
            return true;
        }
        const bool single = Is(type, "float");
        std::string_view token;
        for (double& value : out) {
            const size_t tokenAt = cursor_.Offset();
            bool parsed = cursor_.NextToken(token);
            if (parsed && single) {
                float f = 0.0f;
                parsed = MeshFileCursor::ParseFloat(token, f);
                value = f;
            } else if (parsed) {
                parsed = MeshFileCursor::ParseDouble(token, value);
            }
            if (!parsed) return Fail(tokenAt, "expected a number");
        }
        return true;
    }

    bool ReadPoints(size_t at, MeshParts& parts) {
        if (pointsRead_) return Fail(at, "a second POINTS section");
        pointsRead_ = true;
        long long count = 0;
        std::string_view type;
        if (!ReadCount(at, count) || !cursor_.NextToken(type))
            return Fail(at, "POINTS needs a count and a type");
        if (!Is(type, "float") && !Is(type, "double"))
            return Fail(at, "point type \"%.*s\" is not read (float or double)",
                        static_cast<int>(type.size()), type.data());
        if (count > 0x7fffffffLL / 3) return Fail(at, "too many points");
        std::vector<double> values;
        if (!ReadNumbers(at, count * 3, type, values)) return false;
        parts.vertices.resize(static_cast<size_t>(count));
        for (size_t i = 0; i < parts.vertices.size(); ++i) {
            const double* p = &values[3 * i];
            if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
                return Fail(at, "point %zu has a coordinate that is not a finite number", i);
            parts.vertices[i].position = Vector3(p[0], p[1], p[2]);
        }
        return true;
    }

    // Integers of a cell array: whole numbers in ASCII, int32 in the old binary layout.
    bool ReadIntegers(size_t at, long long count, std::string_view type,
                      std::vector<long long>& out) {
        std::vector<double> values;
        if (!ReadNumbers(at, count, type, values)) return false;
        out.resize(values.size());
        for (size_t i = 0; i < values.size(); ++i) {
            if (values[i] != std::floor(values[i]) || std::fabs(values[i]) > 9.0e15)
                return Fail(at, "cell data holds a value that is not a whole number");
            out[i] = static_cast<long long>(values[i]);
        }
        return true;
    }

    bool ReadCells(size_t at, CellArray& cells) {
        long long first = 0, second = 0;
        if (!ReadCount(at, first) || !ReadCount(at, second)) return false;
        if (offsetLayout_) {
            // "n_offsets n_connectivity", then OFFSETS type ..., CONNECTIVITY type ...
            std::string_view word, type;
            if (!cursor_.NextToken(word) || !Is(word, "OFFSETS") || !cursor_.NextToken(type))
                return Fail(at, "expected OFFSETS and a type");
            if (!ReadIntegers(at, first, type, cells.offsets)) return false;
            if (!cursor_.NextToken(word) || !Is(word, "CONNECTIVITY") || !cursor_.NextToken(type))
                return Fail(at, "expected CONNECTIVITY and a type");
            if (!ReadIntegers(at, second, type, cells.connectivity)) return false;
            if (cells.offsets.empty() || cells.offsets.front() != 0 ||
                cells.offsets.back() != second)
                return Fail(at, "offsets do not span the connectivity array");
            for (size_t i = 1; i < cells.offsets.size(); ++i)
                if (cells.offsets[i] < cells.offsets[i - 1])
                    return Fail(at, "offsets decrease at cell %zu", i - 1);
            return true;
        }
        // "n size", then per cell its point count and points (size numbers in all).
        std::vector<long long> flat;
        if (!ReadIntegers(at, second, "int", flat)) return false;
        cells.offsets.reserve(static_cast<size_t>(std::min(first, second)) + 1);
        cells.offsets.push_back(0);
        size_t i = 0;
        for (long long c = 0; c < first; ++c) {
            if (i >= flat.size())
                return Fail(at, "%lld cells need more than %lld numbers", first, second);
            const long long points = flat[i++];
            if (points < 0 || static_cast<unsigned long long>(points) > flat.size() - i)
                return Fail(at, "cell %lld has %lld points, more than the section holds", c,
                            points);
            cells.connectivity.insert(cells.connectivity.end(), flat.begin() + i,
                                      flat.begin() + i + points);
            i += static_cast<size_t>(points);
            cells.offsets.push_back(static_cast<long long>(cells.connectivity.size()));
        }
        if (i != flat.size()) return Fail(at, "section size %lld does not match its cells", second);
        return true;
    }

    bool CheckIndex(size_t at, long long index, size_t vertexCount) {
        if (index >= 0 && static_cast<unsigned long long>(index) < vertexCount) return true;
        return Fail(at, "point index %lld is outside the %zu points", index, vertexCount);
    }

    bool AddPolygons(size_t at, const CellArray& cells, size_t vertexCount,
                     std::vector<MeshPolygon>& polygons) {
        for (size_t c = 0; c + 1 < cells.offsets.size(); ++c) {
            const long long begin = cells.offsets[c];
            const long long end = cells.offsets[c + 1];
            if (end - begin < 3) return Fail(at, "polygon %zu has fewer than three points", c);
            MeshPolygon polygon;
            for (long long k = begin; k < end; ++k) {
                if (!CheckIndex(at, cells.connectivity[k], vertexCount)) return false;
                // A polygon with more corners keeps its first triangle.
                if (k - begin < 3)
                    polygon.vertex[k - begin] = static_cast<int>(cells.connectivity[k]);
            }
            polygons.push_back(polygon);
        }
        return true;
    }

    bool AddStrips(size_t at, const CellArray& cells, size_t vertexCount,
                   std::vector<MeshPolygon>& triangles) {
        for (size_t c = 0; c + 1 < cells.offsets.size(); ++c) {
            const long long begin = cells.offsets[c];
            const long long end = cells.offsets[c + 1];
            if (end - begin < 3) return Fail(at, "strip %zu has fewer than three points", c);
            for (long long k = begin; k < end; ++k)
                if (!CheckIndex(at, cells.connectivity[k], vertexCount)) return false;
            // Triangle i of a strip joins points i, i+1, i+2, every other one turned
            // round so that all keep the strip's orientation.
            for (long long k = begin; k + 2 < end; ++k) {
                const bool odd = ((k - begin) & 1) != 0;
                MeshPolygon triangle;
                triangle.vertex[0] = static_cast<int>(cells.connectivity[odd ? k + 1 : k]);
                triangle.vertex[1] = static_cast<int>(cells.connectivity[odd ? k : k + 1]);
                triangle.vertex[2] = static_cast<int>(cells.connectivity[k + 2]);
                triangles.push_back(triangle);
            }
        }
        return true;
    }

    // FIELD name n, then per array: name components tuples type, its values, and
    // (version 5) an optional METADATA block.
    bool SkipField(size_t at) {
        std::string_view name;
        long long arrays = 0;
        if (!cursor_.NextToken(name) || !ReadCount(at, arrays)) return false;
        for (long long a = 0; a < arrays; ++a) {
            std::string_view arrayName, type;
            long long components = 0, tuples = 0;
            if (!cursor_.NextToken(arrayName) || !ReadCount(at, components) ||
                !ReadCount(at, tuples) || !cursor_.NextToken(type))
                return Fail(at, "malformed FIELD array");
            if (components > 0 && tuples > 0x7fffffffffffLL / components)
                return Fail(at, "FIELD array is larger than the file");
            std::vector<double> ignored;
            if (!ReadNumbers(at, components * tuples, type, ignored)) return false;
        }
        return true;
    }

    // METADATA is text up to the next empty line.
    void SkipMetadata() {
        std::string_view line;
        cursor_.NextLine(line);
        while (cursor_.NextLine(line))
            if (line.find_first_not_of(" \t") == std::string_view::npos) break;
    }

    MeshFileCursor& cursor_;
    bool binary_ = false;
    bool offsetLayout_ = false;
    bool pointsRead_ = false;
};

}  // namespace

bool ReadVtkBytes(const std::string& bytes, const std::string& sourceName, RkPolygonModel& model) {
    MeshFileCursor cursor(bytes, sourceName);
    MeshParts parts;
    if (!VtkParser(cursor).Parse(parts)) return false;
    parts.MoveInto(model);
    return true;
}

}  // namespace vantrel
