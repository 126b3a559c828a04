// Writing a scene file. Keys keep the key table's order, and arrays of numbers
// (vectors, colours, matrices) stay on one line so that the file remains readable.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "geometry/SafeFileWriter.h"
#include "growth/SceneFile.h"
#include "growth/SceneFileKeys.h"

namespace vantrel {

using OrderedJson = nlohmann::ordered_json;

namespace {

OrderedJson VectorJson(const Vector3& v) {
    return OrderedJson::array({v.x, v.y, v.z});
}

template <typename Record>
OrderedJson ObjectJson(const Record& record);

// Writes the members of one object as the key table lists them, in its order.
class MemberWriter {
public:
    void Version(const char* key) { json[key] = kSceneFileVersion; }
    void Number(const char* key, double number, const NumberRange&) { json[key] = number; }
    void Whole(const char* key, int number, int, int) { json[key] = number; }
    void Flag(const char* key, bool flag) { json[key] = flag; }
    void Point(const char* key, const Vector3& point, Place) { json[key] = VectorJson(point); }

    void Matrix(const char* key, const Matrix4& matrix) {
        OrderedJson elements = OrderedJson::array();
        for (double element : matrix.m) elements.push_back(element);
        json[key] = elements;
    }

    // Widened to double, each float component prints in the shortest form that
    // reads back to the same float.
    void Color(const char* key, const std::array<float, 4>& color) {
        json[key] = OrderedJson::array({color[0], color[1], color[2], color[3]});
    }

    void Unit(const char* key, LengthUnit unit) { json[key] = LengthUnitName(unit); }

    void Numbers(const char* key, const std::vector<double>& numbers, const NumberRange&) {
        json[key] = numbers;
    }

    void Wholes(const char* key, const std::vector<int>& numbers, int, int) { json[key] = numbers; }

    void Points(const char* key, const std::vector<Vector3>& points) {
        OrderedJson array = OrderedJson::array();
        for (const Vector3& point : points) array.push_back(VectorJson(point));
        json[key] = array;
    }

    template <typename Element, typename StartValues>
    void Objects(const char* key, const std::vector<Element>& elements, StartValues) {
        OrderedJson array = OrderedJson::array();
        for (const Element& element : elements) array.push_back(ObjectJson(element));
        json[key] = array;
    }

    template <typename Record>
    void Object(const char* key, const Record& record) {
        json[key] = ObjectJson(record);
    }

    OrderedJson json = OrderedJson::object();
};

template <typename Record>
OrderedJson ObjectJson(const Record& record) {
    MemberWriter writer;
    VisitFields(writer, record);
    return writer.json;
}

bool IsNumberArray(const OrderedJson& value) {
    if (!value.is_array()) return false;
    for (const OrderedJson& element : value) {
        if (!element.is_number()) return false;
    }
    return true;
}

// Pretty-prints with two-space indentation, arrays of numbers on one line. Scalars
// use nlohmann's own output: shortest round-trip form, "." as decimal point always.
void Print(const OrderedJson& value, int indent, std::string& out) {
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    const std::string closing(static_cast<std::size_t>(indent), ' ');
    if (value.is_object() && !value.empty()) {
        out += "{\n";
        std::size_t remaining = value.size();
        for (auto member = value.begin(); member != value.end(); ++member) {
            out += inner + OrderedJson(member.key()).dump() + ": ";
            Print(member.value(), indent + 2, out);
            out += --remaining > 0 ? ",\n" : "\n";
        }
        out += closing + "}";
    } else if (value.is_array() && !value.empty() && !IsNumberArray(value)) {
        out += "[\n";
        for (std::size_t i = 0; i < value.size(); ++i) {
            out += inner;
            Print(value[i], indent + 2, out);
            out += i + 1 < value.size() ? ",\n" : "\n";
        }
        out += closing + "]";
    } else if (value.is_array()) {
        out += "[";
        for (std::size_t i = 0; i < value.size(); ++i) out += (i > 0 ? ", " : "") + value[i].dump();
        out += "]";
    } else {
        out += value.dump();
    }
}

}  // namespace

std::string SceneText(const Scene& scene) {
    std::string text;
    Print(ObjectJson(scene), 0, text);
    text += "\n";
    return text;
}

bool WriteSceneFile(const std::string& path, const Scene& scene, std::string& error) {
    const FileWriteResult result = WriteTextSafely(path, SceneText(scene));
    if (result != FileWriteResult::kWritten) error = FileWriteFailureReason(path, result);
    return result == FileWriteResult::kWritten;
}

}  // namespace vantrel
