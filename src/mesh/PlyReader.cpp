// PLY reader: ASCII, binary little endian and binary big endian.
//
// The header declares elements in file order, each with a count and scalar or
// list properties. The "vertex" element gives x, y, z (any scalar type); the
// "face" element's "vertex_indices" (or "vertex_index") list gives the corners.
// Every other element and property is read past. Counts are checked against the
// bytes after the header before anything is sized by them, and every index
// against the declared vertex count as soon as it is read.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "mesh/MeshFileCursor.h"
#include "mesh/MeshReaders.h"

namespace vantrel {
namespace {

enum class ScalarType { kInt8, kUint8, kInt16, kUint16, kInt32, kUint32, kFloat32, kFloat64 };

struct TypeName {
    const char* name;
    ScalarType type;
};

const TypeName kTypeNames[] = {
    {"char", ScalarType::kInt8},      {"int8", ScalarType::kInt8},
    {"uchar", ScalarType::kUint8},    {"uint8", ScalarType::kUint8},
    {"short", ScalarType::kInt16},    {"int16", ScalarType::kInt16},
    {"ushort", ScalarType::kUint16},  {"uint16", ScalarType::kUint16},
    {"int", ScalarType::kInt32},      {"int32", ScalarType::kInt32},
    {"uint", ScalarType::kUint32},    {"uint32", ScalarType::kUint32},
    {"float", ScalarType::kFloat32},  {"float32", ScalarType::kFloat32},
    {"double", ScalarType::kFloat64}, {"float64", ScalarType::kFloat64},
};

bool TypeFromName(std::string_view name, ScalarType& type) {
    for (const TypeName& entry : kTypeNames) {
        if (name == entry.name) {
            type = entry.type;
            return true;
        }
    }
    return false;
}

int SizeOf(ScalarType type) {
    switch (type) {
        case ScalarType::kInt8:
        case ScalarType::kUint8:
            return 1;
        case ScalarType::kInt16:
        case ScalarType::kUint16:
            return 2;
        case ScalarType::kInt32:
        case ScalarType::kUint32:
        case ScalarType::kFloat32:
            return 4;
        case ScalarType::kFloat64:
            return 8;
    }
    return 1;
}

bool IsInteger(ScalarType type) {
    return type != ScalarType::kFloat32 && type != ScalarType::kFloat64;
}

struct Property {
    std::string name;
    bool isList = false;
    ScalarType countType = ScalarType::kUint8;  // lists only
    ScalarType type = ScalarType::kFloat32;     // the value, or a list's items
};

struct Element {
    std::string name;
    long long count = 0;
    std::vector<Property> properties;
};

enum class Encoding { kAscii, kLittle, kBig };

class PlyParser {
public:
    explicit PlyParser(MeshFileCursor& cursor) : cursor_(cursor) {}

    bool Parse(MeshParts& parts) {
        if (!ReadHeader()) return false;
        if (!CheckCountsAgainstBody()) return false;
        for (const Element& element : elements_) {
            if (element.properties.empty()) continue;
            const bool isVertex = &element == vertexElement_;
            const bool isFace = &element == faceElement_;
            if (isVertex) parts.vertices.reserve(static_cast<size_t>(element.count));
            if (isFace) parts.polygons.reserve(static_cast<size_t>(element.count));
            for (long long i = 0; i < element.count; ++i) {
                if (!ReadInstance(element, isVertex, isFace, parts)) return false;
            }
        }
        return true;
    }

private:
    bool ReadHeader() {
        std::string_view line;
        if (!cursor_.NextLine(line) || line != "ply")
            return cursor_.FailAtLineOf(0, "not a PLY file (no \"ply\" line)");
        std::vector<std::string_view> tokens;
        bool formatSeen = false;
        while (true) {
            const size_t lineStart = cursor_.Offset();
            if (!cursor_.NextLine(line)) return cursor_.Fail("file ends before \"end_header\"");
            SplitBlanks(line, tokens);
            if (tokens.empty() || tokens[0] == "comment" || tokens[0] == "obj_info") continue;
            if (tokens[0] == "end_header") break;
            if (tokens[0] == "format") {
                if (tokens.size() < 2)
                    return cursor_.FailAtLineOf(lineStart, "format needs a name");
                if (tokens[1] == "ascii")
                    encoding_ = Encoding::kAscii;
                else if (tokens[1] == "binary_little_endian")
                    encoding_ = Encoding::kLittle;
                else if (tokens[1] == "binary_big_endian")
                    encoding_ = Encoding::kBig;
                else
                    return cursor_.FailAtLineOf(lineStart, "unknown format");
                formatSeen = true;
            } else if (tokens[0] == "element") {
                Element element;
                if (tokens.size() != 3 || !MeshFileCursor::ParseInteger(tokens[2], element.count) ||
                    element.count < 0)
                    return cursor_.FailAtLineOf(lineStart, "element needs a name and a count");
                element.name = std::string(tokens[1]);
                elements_.push_back(element);
            } else if (tokens[0] == "property") {
                if (elements_.empty())
                    return cursor_.FailAtLineOf(lineStart, "property before any element");
                Property property;
                bool typesKnown = false;
                if (tokens.size() == 5 && tokens[1] == "list") {
                    property.isList = true;
                    typesKnown = TypeFromName(tokens[2], property.countType) &&
                                 IsInteger(property.countType) &&
                                 TypeFromName(tokens[3], property.type);
                    property.name = std::string(tokens[4]);
                } else if (tokens.size() == 3) {
                    typesKnown = TypeFromName(tokens[1], property.type);
                    property.name = std::string(tokens[2]);
                }
                if (!typesKnown) return cursor_.FailAtLineOf(lineStart, "malformed property");
                elements_.back().properties.push_back(property);
            } else {
                return cursor_.FailAtLineOf(lineStart, "unknown header line");
            }
        }
        if (!formatSeen) return cursor_.Fail("header has no format line");
        return FindVertexAndFace();
    }

    bool FindVertexAndFace() {
        for (const Element& element : elements_) {
            if (element.name == "vertex" && vertexElement_ == nullptr) vertexElement_ = &element;
            if (element.name == "face" && faceElement_ == nullptr) faceElement_ = &element;
        }
        if (vertexElement_ == nullptr) return cursor_.Fail("header has no vertex element");
        if (vertexElement_->count > std::numeric_limits<int>::max())
            return cursor_.Fail("too many vertices");
        const char* const axes[3] = {"x", "y", "z"};
        for (int k = 0; k < 3; ++k) {
            axis_[k] = FindProperty(*vertexElement_, axes[k], false);
            if (axis_[k] < 0)
                return cursor_.Fail("vertex element has no scalar property %s", axes[k]);
        }
        if (faceElement_ == nullptr || faceElement_->count == 0) return cursor_.Fail("no faces");
        indices_ = FindProperty(*faceElement_, "vertex_indices", true);
        if (indices_ < 0) indices_ = FindProperty(*faceElement_, "vertex_index", true);
        if (indices_ < 0 || !IsInteger(faceElement_->properties[indices_].type))
            return cursor_.Fail("face element has no integer list vertex_indices");
        return true;
    }

    static int FindProperty(const Element& element, const char* name, bool isList) {
        for (size_t i = 0; i < element.properties.size(); ++i) {
            const Property& property = element.properties[i];
            if (property.name == name && property.isList == isList) return static_cast<int>(i);
        }
        return -1;
    }

    // Each instance takes at least this many bytes: its scalars and list counts in
    // binary; two characters ("0 ") per value in ASCII.
    size_t MinimalInstanceBytes(const Element& element) const {
        size_t bytes = 0;
        for (const Property& property : element.properties) {
            if (encoding_ == Encoding::kAscii)
                bytes += 2;
            else
                bytes += SizeOf(property.isList ? property.countType : property.type);
        }
        return bytes;
    }

    bool CheckCountsAgainstBody() {
        size_t left = cursor_.Remaining();
        for (const Element& element : elements_) {
            const size_t perInstance = MinimalInstanceBytes(element);
            if (perInstance == 0) continue;
            if (static_cast<unsigned long long>(element.count) > left / perInstance)
                return cursor_.FailAtByte(cursor_.Offset(),
                                          "element %s count %lld is more than the file holds",
                                          element.name.c_str(), element.count);
            left -= static_cast<size_t>(element.count) * perInstance;
        }
        return true;
    }

    // Reads one value of `type`; false (having said why) on malformed or missing data.
    bool ReadValue(ScalarType type, double& value) {
        if (encoding_ == Encoding::kAscii) {
            std::string_view token;
            const size_t at = cursor_.Offset();
            if (!cursor_.NextToken(token)) return cursor_.FailAtLineOf(at, "file ends early");
            if (IsInteger(type)) {
                long long integer = 0;
                if (!MeshFileCursor::ParseInteger(token, integer) || !FitsType(integer, type))
                    return cursor_.FailAtLineOf(at, "expected a whole number of the declared type");
                value = static_cast<double>(integer);
            } else if (type == ScalarType::kFloat32) {
                float single = 0.0f;
                if (!MeshFileCursor::ParseFloat(token, single))
                    return cursor_.FailAtLineOf(at, "expected a number");
                value = single;
            } else if (!MeshFileCursor::ParseDouble(token, value)) {
                return cursor_.FailAtLineOf(at, "expected a number");
            }
            return true;
        }
        const size_t at = cursor_.Offset();
        const unsigned char* bytes = cursor_.Take(static_cast<size_t>(SizeOf(type)));
        if (bytes == nullptr) return cursor_.FailAtByte(at, "binary body ends early");
        const ByteOrder order = encoding_ == Encoding::kBig ? ByteOrder::kBig : ByteOrder::kLittle;
        const int size = SizeOf(type);
        switch (type) {
            case ScalarType::kInt8:
            case ScalarType::kInt16:
            case ScalarType::kInt32: {
                const std::uint64_t raw = LoadUnsigned(bytes, size, order);
                const int shift = 64 - 8 * size;
                // Sign-extends the value from its own width.
                value = static_cast<double>(static_cast<std::int64_t>(raw << shift) >> shift);
                break;
            }
            case ScalarType::kUint8:
            case ScalarType::kUint16:
            case ScalarType::kUint32:
                value = static_cast<double>(LoadUnsigned(bytes, size, order));
                break;
            case ScalarType::kFloat32:
                value = LoadFloat32(bytes, order);
                break;
            case ScalarType::kFloat64:
                value = LoadFloat64(bytes, order);
                break;
        }
        return true;
    }

    static bool FitsType(long long value, ScalarType type) {
        switch (type) {
            case ScalarType::kInt8:
                return value >= -128 && value <= 127;
            case ScalarType::kUint8:
                return value >= 0 && value <= 255;
            case ScalarType::kInt16:
                return value >= -32768 && value <= 32767;
            case ScalarType::kUint16:
                return value >= 0 && value <= 65535;
            case ScalarType::kInt32:
                return value >= -2147483648LL && value <= 2147483647LL;
            case ScalarType::kUint32:
                return value >= 0 && value <= 4294967295LL;
            default:
                return true;
        }
    }

    bool FailHere(size_t at, const char* reason) {
        if (encoding_ == Encoding::kAscii) return cursor_.FailAtLineOf(at, "%s", reason);
        return cursor_.FailAtByte(at, "%s", reason);
    }

    bool ReadInstance(const Element& element, bool isVertex, bool isFace, MeshParts& parts) {
        const size_t start = cursor_.Offset();
        double xyz[3] = {0.0, 0.0, 0.0};
        MeshPolygon polygon;
        for (size_t p = 0; p < element.properties.size(); ++p) {
            const Property& property = element.properties[p];
            double value = 0.0;
            if (!property.isList) {
                if (!ReadValue(property.type, value)) return false;
                if (isVertex) {
                    for (int k = 0; k < 3; ++k)
                        if (axis_[k] == static_cast<int>(p)) xyz[k] = value;
                }
                continue;
            }
            double length = 0.0;
            if (!ReadValue(property.countType, length)) return false;
            const bool corners = isFace && static_cast<int>(p) == indices_;
            if (length < 0) return FailHere(start, "negative list length");
            if (corners && length < 3) return FailHere(start, "a face needs three vertex indices");
            const size_t minimal =
                encoding_ == Encoding::kAscii ? 2 : static_cast<size_t>(SizeOf(property.type));
            if (length > static_cast<double>(cursor_.Remaining() / minimal))
                return FailHere(start, "list is longer than the rest of the file");
            const long long count = static_cast<long long>(length);
            for (long long k = 0; k < count; ++k) {
                if (!ReadValue(property.type, value)) return false;
                if (!corners) continue;
                if (value < 0 || value >= static_cast<double>(vertexElement_->count)) {
                    char reason[96];
                    std::snprintf(reason, sizeof reason,
                                  "face index %.0f is outside the %lld vertices", value,
                                  vertexElement_->count);
                    return FailHere(start, reason);
                }
                // A face with more corners keeps its first triangle.
                if (k < 3) polygon.vertex[k] = static_cast<int>(value);
            }
        }
        if (isVertex) {
            if (!std::isfinite(xyz[0]) || !std::isfinite(xyz[1]) || !std::isfinite(xyz[2]))
                return FailHere(start, "vertex coordinate is not a finite number");
            MeshVertex vertex;
            vertex.position = Vector3(xyz[0], xyz[1], xyz[2]);
            parts.vertices.push_back(vertex);
        }
        if (isFace) parts.polygons.push_back(polygon);
        return true;
    }

    MeshFileCursor& cursor_;
    Encoding encoding_ = Encoding::kAscii;
    std::vector<Element> elements_;
    const Element* vertexElement_ = nullptr;
    const Element* faceElement_ = nullptr;
    int axis_[3] = {-1, -1, -1};
    int indices_ = -1;
};

}  // namespace

bool ReadPlyBytes(const std::string& bytes, const std::string& sourceName, RkPolygonModel& model) {
    MeshFileCursor cursor(bytes, sourceName);
    MeshParts parts;
    if (!PlyParser(cursor).Parse(parts)) return false;
    parts.MoveInto(model);
    return true;
}

}  // namespace vantrel
